#include "cash_printout.h"

#include "cash/amount_in_words.h"
#include "cash/cash_amount.h"
#include "print/millimetre_page.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace wirtello {
namespace {

constexpr int kHeadingExtraPoints = 5;
const char* const kAmountFace = "Courier New";
constexpr std::int32_t kAmountPoints = 9;

std::int32_t headingPoints(std::int32_t points)
{
    // A damaged font file may hold any size; the heading must not overflow.
    return std::min(points, std::numeric_limits<std::int32_t>::max() - kHeadingExtraPoints) + kHeadingExtraPoints;
}

// Abandons the job when drawing stops half way, so the printer is not left waiting.
class JobGuard {
public:
    explicit JobGuard(PrintSurface& surface) : surface_(surface) {}
    ~JobGuard()
    {
        if (!finished_ && surface_.jobOpen())
            surface_.abortJob();
    }
    JobGuard(const JobGuard&) = delete;
    JobGuard& operator=(const JobGuard&) = delete;
    void finished() { finished_ = true; }

private:
    PrintSurface& surface_;
    bool finished_ = false;
};

class CopyDrawer {
public:
    CopyDrawer(CashPrintPage& page, const CurrentPrintFont& font, const CashDocumentPrint& document,
               const std::string& words)
        : page_(page), face_(font.face()), size_(font.size()), document_(document), words_(words)
    {
    }

    void draw(std::int32_t a)
    {
        const bool colour = document_.colour;
        const bool cashIn = document_.kind != DocumentKind::Kw;

        if (colour)
            page_.SetLineColor(kCashRed);
        page_.SetPrintFont(face_, headingPoints(size_));
        page_.SetBold(1);
        page_.FrameAt(10, a + 3, 170, 1);
        if (colour)
            page_.SetTextColor(kCashTeal);
        page_.TextAt(10, a + 6, cashDocumentTitle(document_.kind, document_.number, document_.extension));
        page_.TextAt(155, a + 6, document_.date);

        page_.SetBold(0);
        page_.SetPrintFont(face_, size_);
        if (colour)
            page_.SetTextColor(kCashBlack);
        page_.TextAt(10, a + 12, "Wystawił :");
        page_.TextAt(100, a + 12, cashIn ? "Od kogo :" : "Komu :");

        page_.SetPrintFont(face_, size_);
        page_.FrameAt(10, a + 16, 80, 20);
        if (colour)
            page_.SetTextColor(kCashRed);
        for (int i = 0; i < 4; ++i)
            page_.TextAt(12, a + 17 + 4 * i, document_.issuer[i]);
        page_.FrameAt(100, a + 16, 80, 20);
        for (int i = 0; i < 4; ++i)
            page_.TextAt(102, a + 17 + 4 * i, document_.counterparty[i]);

        page_.SetBold(1);
        if (colour)
            page_.SetTextColor(kCashBlack);
        page_.TextAt(12, a + 40, "Tytułem");
        page_.TextAt(152, a + 40, "Kwota");
        page_.SetBold(0);
        for (std::int32_t r = 0; r < static_cast<std::int32_t>(kDocumentRows); ++r) {
            page_.FrameAt(10, a + 45 + 5 * r, 140, 5);
            page_.TextAt(12, a + 46 + 5 * r, document_.lines.descriptions[r]);
        }

        page_.SetPrintFont(kAmountFace, kAmountPoints);
        for (std::int32_t r = 0; r <= static_cast<std::int32_t>(kDocumentRows); ++r) {
            page_.FrameAt(150, a + 45 + 5 * r, 30, 5);
            if (r < static_cast<std::int32_t>(kDocumentRows))
                page_.TextAt(152, a + 46 + 5 * r, document_.lines.amounts[r]);
        }
        page_.TextAt(135, a + 96, "Razem");
        page_.TextAt(152, a + 96, document_.total);

        page_.SetPrintFont(face_, size_);
        page_.TextAt(12, a + 95, "Słownie :" + words_);

        static constexpr std::int32_t kBoxLefts[] = {10, 35, 60, 85, 110};
        static constexpr std::int32_t kBoxWidths[] = {25, 25, 25, 25, 70};
        static constexpr const char* kCaptions[] = {"wystawił", "sprawdził", "zatwierdził", "raport kasowy",
                                                    "pokwitowanie kwoty"};
        for (int i = 0; i < 5; ++i)
            page_.FrameAt(kBoxLefts[i], a + 105, kBoxWidths[i], 5);
        if (colour)
            page_.SetTextColor(kCashRed);
        for (int i = 0; i < 5; ++i)
            page_.TextAt(kBoxLefts[i] + 1, a + 106, kCaptions[i]);
        for (int i = 0; i < 5; ++i)
            page_.FrameAt(kBoxLefts[i], a + 110, kBoxWidths[i], 10);
    }

private:
    CashPrintPage& page_;
    std::string face_;
    std::int32_t size_;
    const CashDocumentPrint& document_;
    const std::string& words_;
};

} // namespace

std::string cashDocumentTitle(DocumentKind kind, const std::string& number, const std::string& extension)
{
    const char* const lead = kind == DocumentKind::Kw ? "Dowód wypłaty KW nr " : "Dowód wpłaty KP nr ";
    return lead + number + "/" + extension;
}

void drawCashDocument(PrintSurface& surface, const CurrentPrintFont& font, const CashDocumentPrint& document)
{
    // The words first: a total that has none stops the printout before the job starts.
    const AmountReading total = readAmount(document.total);
    if (!total.isNumber() || !amountHasWords(total.grosze))
        throw std::out_of_range("cash document total without words");
    const std::string words = KwotaSlownie(total.grosze);

    CashPrintPage page(surface);
    JobGuard guard(surface);
    page.BeginCalibratedDocument(0, 0, cashDocumentTitle(document.kind, document.number, document.extension));
    page.SetTextColor(kCashBlack);
    page.SetLineColor(kCashBlack);

    CopyDrawer copy(page, font, document, words);
    copy.draw(0);
    if (document.colour) {
        page.SetTextColor(kCashBlack);
        page.SetLineColor(kCashBlack);
    }
    copy.draw(kSecondCopyOffset);

    page.EndDocument();
    guard.finished();
}

} // namespace wirtello
