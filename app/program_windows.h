#pragma once

#include "platform/program_window.h"

#include <utility>
#include <vector>

namespace wirtello {

// The part each later window plays for the main window.
enum class WindowRole { About, Company, TextEditor, RunHistory, PrintFont, CashDocument, Envelope, AdminTools };

// The windows of a run after the main window, in creation order, found by
// their role. The program fills it; the main window opens from it.
class ProgramWindows {
public:
    void add(WindowRole role, ProgramWindow* window) { windows_.emplace_back(role, window); }

    ProgramWindow* find(WindowRole role) const
    {
        for (const auto& [r, window] : windows_) {
            if (r == role)
                return window;
        }
        return nullptr;
    }

    template <typename Window>
    Window* find(WindowRole role) const
    {
        return dynamic_cast<Window*>(find(role));
    }

    const std::vector<std::pair<WindowRole, ProgramWindow*>>& all() const { return windows_; }

private:
    std::vector<std::pair<WindowRole, ProgramWindow*>> windows_;
};

} // namespace wirtello
