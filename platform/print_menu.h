#pragma once

#include "platform/platform.h"

#include <QString>

#include <functional>

class QAbstractButton;
class QMenu;

namespace wirtello {

// Where the user sends a printout.
enum class PrintDestination { Printer, Preview, Pdf };

// What the preview and the PDF path need to know of a printout.
struct PrintoutTarget {
    QString title;                   // the preview's caption, "Lista kontaktów"
    PaperSize paper = PaperSize::A4; // preview and PDF; a printer keeps the paper chosen in its dialog
    QString pdfName;                 // offered by the save dialog, "lista kontaktów.pdf"
};

// The drawing of a printout, told where it goes: a real print may do what a
// preview or a PDF must not (take the next document number).
using DestinedDrawing = std::function<void(PrintSurface&, PrintDestination)>;

// Runs `draw` for `destination`: on the printer chosen in the print dialog; in
// the print preview (a print asked for there takes the printer path); or into
// a PDF file chosen with the save dialog. A cancelled dialog does nothing.
// Failures (IoError and others) are raised to the caller.
void printTo(Platform& platform, PrintDestination destination, const PrintoutTarget& target,
             const DestinedDrawing& draw);

// Gives a print button its menu "Drukuj…", "Podgląd wydruku…", "Zapisz jako
// PDF…", opened by the right mouse button or the Menu key (then with its first
// entry chosen); each entry calls `print` with its destination. The left click
// stays the button's own. The tooltip and the accessible description name both
// ways. The menu is the button's child "printMenu".
QMenu* addPrintMenu(QAbstractButton* button, std::function<void(PrintDestination)> print);

} // namespace wirtello
