#pragma once

#include "main_window.h"

#include "admin/about_window.h"
#include "admin/run_history_window.h"
#include "admin/admin_tools_window.h"
#include "cash/company_window.h"
#include "cash/text_editor_window.h"
#include "cash/cash_document_window.h"
#include "envelope/envelope_window.h"
#include "print/print_font_window.h"

#include <memory>
#include <vector>

namespace wirtello {

// Every window of a run. They are created at start-up in a fixed order, each
// running its creation handler as it is created, and live to the end.
class Program {
public:
    Program(AppData& data, Platform& platform);

    Tzadania_f& mainWindow() { return *zadania_; }
    // The windows in the order they were created.
    const std::vector<ProgramWindow*>& creationOrder() const { return creationOrder_; }

private:
    template <typename Window, typename... Args>
    std::unique_ptr<Window> create(Args&&... args);

    CurrentPrintFont printFont_;
    std::vector<ProgramWindow*> creationOrder_;
    std::unique_ptr<Tzadania_f> zadania_;
    std::unique_ptr<Tform3> form3_;
    std::unique_ptr<Tfirma_f> firma_;
    std::unique_ptr<Tlogowania_f> logowania_;
    std::unique_ptr<Thisto_f> histo_;
    std::unique_ptr<Tfont_f> font_;
    std::unique_ptr<Tkp_f> kp_;
    std::unique_ptr<Tkoperta_f> koperta_;
    std::unique_ptr<Tnarzedzia_f> narzedzia_;
};

} // namespace wirtello
