#include "cash_printout.h"

#include "cash/amount_in_words.h"
#include "cash/cash_amount.h"
#include "print/millimetre_page.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>

namespace wirtello {
namespace {

constexpr int kHeadingExtraPoints = 5;
const char* const kAmountFace = "Courier New";
constexpr std::int32_t kAmountPoints = 9;

// The amount in words starts at (12, a+95) and stays left of x = 133, as
// "Razem" begins at 135 and the total at 152: when the words would pass it
// they go on in a second line at a+100, above the signature row at a+105.
const std::string kWordsLabel = "Słownie :";
constexpr std::int32_t kWordsLeft = 12;
constexpr std::int32_t kWordsRight = 133;
constexpr std::int32_t kWordsTop = 95;
constexpr std::int32_t kWordsLineStep = 5;

struct WordLines {
    std::string first;
    std::string second; // empty: one line
};

// The label and the words in the surface's current font: one line no wider
// than `width` dots, or two, broken between words, whose cells are also
// shorter than `lineStep` dots (by a dot, for the rounding of the metrics) so
// that neither covers the other. Nothing when they do not fit.
std::optional<WordLines> layWords(const PrintSurface& surface, const std::string& text, int width, int lineStep)
{
    const TextExtent whole = surface.textExtent(text);
    if (whole.width <= width)
        return WordLines{text, {}};
    if (whole.height >= lineStep)
        return std::nullopt;
    // The longest first line wins; the label itself is never broken.
    for (std::size_t blank = text.rfind(' '); blank != std::string::npos && blank >= kWordsLabel.size();
         blank = text.rfind(' ', blank - 1)) {
        const std::string first = text.substr(0, text.find_last_not_of(' ', blank) + 1);
        if (surface.textExtent(first).width > width)
            continue;
        const std::size_t secondStart = text.find_first_not_of(' ', blank);
        const std::string second = secondStart == std::string::npos ? std::string() : text.substr(secondStart);
        if (surface.textExtent(second).width > width)
            return std::nullopt;
        return WordLines{first, second};
    }
    return std::nullopt;
}

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
        drawWords(a);

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
    // "Słownie :" and the words, in the print font when they fit left of
    // "Razem" in one or two lines, else in the largest smaller size that does.
    void drawWords(std::int32_t a)
    {
        const std::string text = kWordsLabel + words_;
        const PrintSurface& surface = page_.surface();
        const int width = (kWordsRight - kWordsLeft) * page_.state().dotsPerMmX;
        const int lineStep = kWordsLineStep * page_.state().dotsPerMmY;
        std::optional<WordLines> lines = layWords(surface, text, width, lineStep);
        const bool smaller = !lines;
        if (smaller) {
            // A size of 0 or less leaves the height to the face; its cell, in
            // points, is taller than the face's own size, which did not fit.
            const std::int64_t cellPoints =
                static_cast<std::int64_t>(surface.textExtent(text).height) * 72 / std::max(1, page_.state().resolutionY);
            std::int32_t fits = 1;
            std::int32_t tooLarge =
                size_ > 0 ? size_ : static_cast<std::int32_t>(std::clamp<std::int64_t>(cellPoints, 2, 1000));
            page_.SetPrintFont(face_, fits);
            lines = layWords(surface, text, width, lineStep);
            while (lines && tooLarge - fits > 1) {
                const std::int32_t middle = fits + (tooLarge - fits) / 2;
                page_.SetPrintFont(face_, middle);
                if (layWords(surface, text, width, lineStep))
                    fits = middle;
                else
                    tooLarge = middle;
            }
            page_.SetPrintFont(face_, fits);
            lines = layWords(surface, text, width, lineStep);
            if (!lines)
                lines = WordLines{text, {}}; // a face too wide even at 1 point
        }
        page_.TextAt(kWordsLeft, a + kWordsTop, lines->first);
        if (!lines->second.empty())
            page_.TextAt(kWordsLeft, a + kWordsTop + kWordsLineStep, lines->second);
        if (smaller)
            page_.SetPrintFont(face_, size_); // the signature captions keep the print font
    }

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

CashDocumentPrint printOf(const CashDocument& document)
{
    CashDocumentPrint print;
    print.kind = document.kind();
    print.issuer = document.issuer();
    print.counterparty = document.counterparty();
    print.lines = document.lines();
    print.total = totalText(document.total());
    return print;
}

} // namespace wirtello
