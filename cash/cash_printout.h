#pragma once

#include "cash/cash_document.h"
#include "cash/cash_document_kind.h"
#include "platform/print_surface.h"
#include "print/print_font.h"

#include <array>
#include <cstdint>
#include <string>

namespace wirtello {

// Colours of the colour printout (0x00BBGGRR).
inline constexpr std::int32_t kCashBlack = 0x000000;
inline constexpr std::int32_t kCashRed = 0x0000FF;
inline constexpr std::int32_t kCashTeal = 0x808000;

// Page millimetres between the tops of the two copies on the sheet.
inline constexpr std::int32_t kSecondCopyOffset = 140;

// Everything a printed cash document shows, as the window holds it at printing time.
struct CashDocumentPrint {
    DocumentKind kind = DocumentKind::Kp;
    std::string number;    // after the numbering step
    std::string extension; // printed after "/", which is printed even when this is empty
    std::string date;
    std::array<std::string, 4> issuer;
    std::array<std::string, 4> counterparty;
    DocumentLines lines;
    std::string total; // the total box's text, "   12.50"
    bool colour = false;
};

// What the document shows on paper: its kind, blocks and lines, and its total
// as the total box shows it. The number, extension, date and colour are left
// to the printing.
CashDocumentPrint printOf(const CashDocument& document);

// "Dowód wpłaty KP nr 5/2026", "Dowód wypłaty KW nr 5/".
std::string cashDocumentTitle(DocumentKind kind, const std::string& number, const std::string& extension);

// Draws the document as one print job on one sheet: two identical copies, the
// second 140 page millimetres below the first, in the print font's face and
// size (its style and colour are not used). The amount in words never
// reaches "Razem" and the total: it wraps into a second line between words
// and, where two lines are not enough, is drawn smaller. The total text must read as an
// amount the words can spell (printableTotal); otherwise std::out_of_range is
// raised before the job starts. A failure of the printer abandons the job and
// raises IoError.
void drawCashDocument(PrintSurface& surface, const CurrentPrintFont& font, const CashDocumentPrint& document);

} // namespace wirtello
