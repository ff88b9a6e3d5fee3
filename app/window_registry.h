#pragma once

#include "program_windows.h"

#include <memory>
#include <span>

namespace wirtello {

class Platform;
class CurrentPrintFont;
struct AppData;

// What the program makes its windows from.
struct WindowMaking {
    AppData& data;
    Platform& platform;
    CurrentPrintFont& printFont;
    const ProgramWindows& windows; // those made before, for a window that works with one
};

// A window of the program after the main window: its role, how it is made,
// and the main window's button that opens it (none when the main window
// prepares it first, as the envelope and the cash document).
struct RegisteredWindow {
    WindowRole role;
    std::unique_ptr<ProgramWindow> (*make)(const WindowMaking& making);
    const char* openingButton;
};

// Every window after the main window, in the order the program makes them.
// A new window is its own files and one row here.
std::span<const RegisteredWindow> registeredWindows();

} // namespace wirtello
