#pragma once

#include "platform/print_surface.h"

#include <string>

namespace wirtello {

// A print job that never stays open: a printout that stops half way, on an
// exception, abandons its job instead of leaving the printer waiting.
class PrintJob {
public:
    PrintJob(PrintSurface& surface, const std::string& title) : surface_(surface) { surface_.beginJob(title); }
    ~PrintJob()
    {
        if (!finished_)
            surface_.abortJob();
    }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // Ends the job, which sends it to the printer.
    void finish()
    {
        finished_ = true;
        surface_.endJob();
    }

private:
    PrintSurface& surface_;
    bool finished_ = false;
};

} // namespace wirtello
