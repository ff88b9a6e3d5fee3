#pragma once

#include "main_window.h"
#include "program_windows.h"

#include "print/print_font.h"

#include <functional>
#include <memory>
#include <vector>

namespace wirtello {

class DesktopNotifications;
class ReminderWatcher;

// Every window of a run. They are created at start-up in a fixed order, each
// running its creation handler as it is created, and live to the end.
class Program {
public:
    // `notifications` shows the reminders; without it they come in a window of their own.
    Program(AppData& data, Platform& platform, DesktopNotifications* notifications = nullptr);

    Tzadania_f& mainWindow() { return *main_; }
    // The windows in the order they were created, the main window first.
    std::vector<ProgramWindow*> creationOrder() const;
    ReminderWatcher& reminders() { return *reminders_; }

private:
    CurrentPrintFont printFont_;
    ProgramWindows windows_;
    std::unique_ptr<Tzadania_f> main_;
    std::vector<std::unique_ptr<ProgramWindow>> owned_;
    ReminderWatcher* reminders_ = nullptr; // a child of the main window
};

// The whole run: the application, the program folder (the current folder at
// start), every window, the event loop. `beforeShow` sees the main window just
// before it is shown (the start-up benchmark's probe); the program passes none.
int runProgram(int argc, char* argv[], const std::function<void(QWidget&)>& beforeShow = {});

} // namespace wirtello
