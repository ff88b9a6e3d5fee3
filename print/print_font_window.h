#pragma once

#include "platform/program_window.h"
#include "print/print_font.h"

#include <string>

namespace wirtello {

class Platform;

// Holder of the font dialog, caption "Fonty"; created at start-up and never
// shown. Its two operations work on the program's current print font.
class Tfont_f : public ProgramWindow {
    Q_OBJECT
public:
    Tfont_f(Platform& platform, CurrentPrintFont& printFont, QWidget* parent = nullptr);

    // Both raise IoError; the button that called them shows it.
    void CzytajFonty(const std::string& name);
    void ZapiszFonty(const std::string& name);

    CurrentPrintFont& printFont() { return printFont_; }

private:
    Platform& platform_;
    CurrentPrintFont& printFont_;
};

} // namespace wirtello
