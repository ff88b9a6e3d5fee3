#include "cash/cash_printout.h"

#include "cash/amount_in_words.h"
#include "cash/cash_amount.h"

#include "print/print_font.h"
#include "store/io_error.h"
#include "store/record_file.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace wirtello {
namespace {

using test::TempFolder;

// The current print font as a stored choice: Arial 10 points, italic and
// green, which the cash printout must not use.
CurrentPrintFont arial10()
{
    TempFolder folder({"FONT"});
    PrintFontRecord record;
    record.setFace("Arial");
    record.setPoints(10);
    record.setStyle(FontStyle::Italic);
    record.setColour(0x00FF00);
    writeRecord(folder / "FONT/font_zaplo_3906.dat", record.bytes());
    CurrentPrintFont font;
    CzytajFonty(font, kPrintFontFile);
    return font;
}

CashDocumentPrint sampleDocument(DocumentKind kind, bool colour)
{
    CashDocumentPrint document;
    document.kind = kind;
    document.number = "5";
    document.extension = "2026";
    document.date = "06.12.2026";
    document.issuer = {"Biuro Rachunkowe Żak", "ul. Długa 1", "00-950 Warszawa", "NIP 123-456-78-90"};
    document.counterparty = {"Jan Kowalski", "ul. Polna 3", "Łódź", ""};
    for (std::size_t r = 0; r < kDocumentRows; ++r)
        document.lines.descriptions[r] = "Pozycja " + std::to_string(r);
    document.lines.amounts[0] = "   10.00";
    document.lines.amounts[1] = "    2.50";
    document.total = "   12.50";
    document.colour = colour;
    return document;
}

enum class Font { Heading, Body, BodyBold, Amounts };
enum class Colour { Black, Red, Teal };

struct ExpectedText {
    int x, y;
    std::string text;
    Font font;
    Colour colour; // in the colour printout; the black one is all black
};

// One copy at vertical offset a, as the layout of the document has it.
std::vector<ExpectedText> expectedCopy(const CashDocumentPrint& d, int a, const std::string& words)
{
    const bool kp = d.kind == DocumentKind::Kp;
    std::vector<ExpectedText> texts = {
        {10, a + 6, (kp ? "Dowód wpłaty KP nr " : "Dowód wypłaty KW nr ") + d.number + "/" + d.extension, Font::Heading,
         Colour::Teal},
        {155, a + 6, d.date, Font::Heading, Colour::Teal},
        {10, a + 12, "Wystawił :", Font::Body, Colour::Black},
        {100, a + 12, kp ? "Od kogo :" : "Komu :", Font::Body, Colour::Black},
    };
    for (int i = 0; i < 4; ++i)
        texts.push_back({12, a + 17 + 4 * i, d.issuer[i], Font::Body, Colour::Red});
    for (int i = 0; i < 4; ++i)
        texts.push_back({102, a + 17 + 4 * i, d.counterparty[i], Font::Body, Colour::Red});
    texts.push_back({12, a + 40, "Tytułem", Font::BodyBold, Colour::Black});
    texts.push_back({152, a + 40, "Kwota", Font::BodyBold, Colour::Black});
    for (int r = 0; r < 10; ++r)
        texts.push_back({12, a + 46 + 5 * r, d.lines.descriptions[r], Font::Body, Colour::Black});
    for (int r = 0; r < 10; ++r)
        texts.push_back({152, a + 46 + 5 * r, d.lines.amounts[r], Font::Amounts, Colour::Black});
    texts.push_back({135, a + 96, "Razem", Font::Amounts, Colour::Black});
    texts.push_back({152, a + 96, d.total, Font::Amounts, Colour::Black});
    texts.push_back({12, a + 95, "Słownie :" + words, Font::Body, Colour::Black});
    const std::pair<int, const char*> captions[] = {
        {11, "wystawił"}, {36, "sprawdził"}, {61, "zatwierdził"}, {86, "raport kasowy"}, {111, "pokwitowanie kwoty"}};
    for (const auto& [x, caption] : captions)
        texts.push_back({x, a + 106, caption, Font::Body, Colour::Red});
    return texts;
}

struct ExpectedFrame {
    int x, y, width, height;
};

std::vector<ExpectedFrame> expectedFrames(int a)
{
    std::vector<ExpectedFrame> frames = {{10, a + 3, 170, 1}, {10, a + 16, 80, 20}, {100, a + 16, 80, 20}};
    for (int r = 0; r < 10; ++r)
        frames.push_back({10, a + 45 + 5 * r, 140, 5});
    for (int r = 0; r <= 10; ++r)
        frames.push_back({150, a + 45 + 5 * r, 30, 5});
    for (const int height : {5, 10}) {
        const int top = height == 5 ? a + 105 : a + 110;
        frames.insert(frames.end(), {{10, top, 25, height}, {35, top, 25, height}, {60, top, 25, height},
                                     {85, top, 25, height}, {110, top, 70, height}});
    }
    return frames;
}

std::int32_t colourValue(Colour colour)
{
    switch (colour) {
    case Colour::Red:
        return 0x0000FF;
    case Colour::Teal:
        return 0x808000;
    case Colour::Black:
        break;
    }
    return 0;
}

TEST(CashPrintout, BothCopiesFollowTheLayoutInBlackAndInColour)
{
    const CurrentPrintFont font = arial10();
    const struct {
        DocumentKind kind;
        bool colour;
        int dpiX, dpiY;
    } rows[] = {
        {DocumentKind::Kp, false, 300, 300},
        {DocumentKind::Kp, true, 300, 300},
        {DocumentKind::Kw, false, 300, 300},
        {DocumentKind::Kw, true, 600, 300},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.kind == DocumentKind::Kp ? "KP" : "KW") + (row.colour ? " colour " : " black ")
                     + std::to_string(row.dpiX));
        const CashDocumentPrint document = sampleDocument(row.kind, row.colour);
        RecordingPrintSurface surface(row.dpiX, row.dpiY);
        drawCashDocument(surface, font, document);

        EXPECT_EQ(surface.jobsStarted, 1);
        EXPECT_EQ(surface.jobsEnded, 1);
        EXPECT_EQ(surface.pages, 1);
        EXPECT_EQ(surface.misuses, 0);
        EXPECT_EQ(std::count(surface.calls.begin(), surface.calls.end(), "setOrientation landscape"), 0);

        const int mmX = row.dpiX / 25;
        const int mmY = row.dpiY / 25;
        const std::string words = "dwanaście złotych pięćdziesiąt groszy";
        std::vector<ExpectedText> texts = expectedCopy(document, 0, words);
        const std::vector<ExpectedText> second = expectedCopy(document, 140, words);
        texts.insert(texts.end(), second.begin(), second.end());
        ASSERT_EQ(surface.texts.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const ExpectedText& want = texts[i];
            const RecordingPrintSurface::Text& got = surface.texts[i];
            SCOPED_TRACE(want.text);
            EXPECT_EQ(got.text, want.text);
            EXPECT_EQ(got.x, want.x * mmX);
            EXPECT_EQ(got.y, want.y * mmY);
            EXPECT_EQ(got.colour, row.colour ? colourValue(want.colour) : 0);
            // At 300 dpi down the page: 15 points 62.5 dots (to even), 10 points 41.7, 9 points 37.5.
            EXPECT_EQ(got.height, want.font == Font::Heading ? -62 : want.font == Font::Amounts ? -38 : -42);
            EXPECT_EQ(got.face, want.font == Font::Amounts ? "Courier New" : "Arial");
            const bool bold = want.font == Font::Heading || want.font == Font::BodyBold;
            EXPECT_EQ(got.style, bold ? FontStyle::Bold : 0);
        }

        std::vector<ExpectedFrame> frames = expectedFrames(0);
        const std::vector<ExpectedFrame> secondFrames = expectedFrames(140);
        frames.insert(frames.end(), secondFrames.begin(), secondFrames.end());
        ASSERT_EQ(surface.rectangles.size(), frames.size());
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const ExpectedFrame& want = frames[i];
            const RecordingPrintSurface::Frame& got = surface.rectangles[i];
            EXPECT_EQ(got.left, want.x * mmX) << i;
            EXPECT_EQ(got.top, want.y * mmY) << i;
            EXPECT_EQ(got.right, (want.x + want.width) * mmX) << i;
            EXPECT_EQ(got.bottom, (want.y + want.height) * mmY) << i;
            EXPECT_EQ(got.pen, row.colour ? 0x0000FF : 0) << i;
        }

        // The second copy starts from black text and black lines before its own colours.
        const auto secondBar = std::find(surface.calls.begin(), surface.calls.end(),
                                         "rectangle " + std::to_string(10 * mmX) + " " + std::to_string(143 * mmY)
                                             + " " + std::to_string(180 * mmX) + " " + std::to_string(144 * mmY));
        ASSERT_NE(secondBar, surface.calls.end());
        const std::vector<std::string> before(secondBar - (row.colour ? 6 : 3), secondBar);
        if (row.colour)
            EXPECT_EQ(before[0] + "|" + before[1] + "|" + before[2], "setFontColour 0|setPenColour 0|setPenColour 255");
        else
            EXPECT_EQ(std::count_if(surface.calls.begin(), surface.calls.end(),
                                    [](const std::string& call) {
                                        return (call.starts_with("setFontColour") || call.starts_with("setPenColour"))
                                            && !call.ends_with(" 0");
                                    }),
                      0);
    }
}

// The lines of the amount in words of the copy at offset a, 300 dpi down the page.
std::vector<RecordingPrintSurface::Text> wordLines(const RecordingPrintSurface& surface, int a, int mmX = 12)
{
    std::vector<RecordingPrintSurface::Text> lines;
    for (const auto& text : surface.texts)
        if (text.x == 12 * mmX && (text.y == (a + 95) * 12 || text.y == (a + 100) * 12))
            lines.push_back(text);
    return lines;
}

std::string wordsOf(const RecordingPrintSurface& surface, int a, int mmX = 12)
{
    std::string words;
    for (const auto& line : wordLines(surface, a, mmX))
        words += (words.empty() ? "" : " ") + line.text;
    return words;
}

TEST(CashPrintout, TitleAndWordsForTheTotal)
{
    const CurrentPrintFont font;
    const struct {
        DocumentKind kind;
        const char* number;
        const char* extension;
        const char* total;
        const char* title;
        const char* words;
    } rows[] = {
        {DocumentKind::Kp, "5", "", "   12.50", "Dowód wpłaty KP nr 5/", "Słownie :dwanaście złotych pięćdziesiąt groszy"},
        {DocumentKind::Kw, "17", "2026", "    0.00", "Dowód wypłaty KW nr 17/2026", "Słownie : "},
        {DocumentKind::Kp, "1", "a", "    1.00", "Dowód wpłaty KP nr 1/a", "Słownie :jeden złoty "},
        {DocumentKind::Kp, "1", "a", "    0.99", "Dowód wpłaty KP nr 1/a", "Słownie : dziewięćdziesiąt dziewięć groszy"},
        {DocumentKind::Kw, "2", "", "2147483647.99", "Dowód wypłaty KW nr 2/",
         "Słownie :dwa miliardy sto czterdzieści siedem milionów czterysta osiemdziesiąt trzy tysiące sześćset "
         "czterdzieści siedem złotych dziewięćdziesiąt dziewięć groszy"},
    };
    for (const auto& row : rows) {
        CashDocumentPrint document = sampleDocument(row.kind, false);
        document.number = row.number;
        document.extension = row.extension;
        document.total = row.total;
        RecordingPrintSurface surface;
        drawCashDocument(surface, font, document);
        for (const int a : {0, 140}) {
            EXPECT_EQ(surface.texts.at(a == 0 ? 0 : surface.texts.size() / 2).text, row.title);
            EXPECT_EQ(wordsOf(surface, a), row.words);
        }
        EXPECT_EQ(surface.calls.front(), std::string("beginJob ") + row.title);
    }
}

// Whatever the print font, the words stay left of x = 133 ("Razem" begins at
// 135) in at most two lines whose cells do not reach each other; they are
// drawn smaller only when two lines in the print font are not enough, and the
// signature captions after them are in the print font again.
TEST(CashPrintout, WordsWrapAndShrinkToStayLeftOfRazem)
{
    const struct {
        std::int32_t points; // 0: no font file
        const char* total;
        std::size_t lines;
        bool smaller;
    } rows[] = {
        {10, "1234.56", 2, false},       {8, "2147483647.99", 2, false}, {16, "2147483647.99", 2, true},
        {0, "1234.56", 2, true},         {30, "    1.00", 1, false},     {72, "1234.56", 2, true},
    };
    for (const auto& row : rows) {
        for (const int dpiX : {300, 600}) {
            SCOPED_TRACE(std::string(row.total) + " at " + std::to_string(row.points) + " points, " + std::to_string(dpiX));
            TempFolder folder({"FONT"});
            PrintFontRecord record;
            record.setFace("Arial");
            record.setPoints(row.points);
            if (row.points > 0)
                writeRecord(folder / "FONT/font_zaplo_3906.dat", record.bytes());
            CurrentPrintFont font;
            CzytajFonty(font, kPrintFontFile);
            CashDocumentPrint document = sampleDocument(DocumentKind::Kp, false);
            document.total = row.total;
            RecordingPrintSurface surface(dpiX, 300), measure(dpiX, 300);
            drawCashDocument(surface, font, document);

            const int printHeight = -static_cast<int>(std::lround(row.points * 300 / 72.0));
            const auto lines = wordLines(surface, 140, dpiX / 25);
            ASSERT_EQ(lines.size(), row.lines);
            for (const auto& line : lines) {
                measure.setFontHeight(line.height);
                const TextExtent extent = measure.textExtent(line.text);
                EXPECT_LE(line.x + extent.width, 133 * dpiX / 25) << line.text;
                EXPECT_TRUE(lines.size() == 1 || extent.height < 5 * 12) << line.text;
                EXPECT_EQ(line.height != printHeight, row.smaller) << line.height;
            }
            EXPECT_EQ(wordsOf(surface, 140, dpiX / 25), "Słownie :" + KwotaSlownie(readAmount(row.total).grosze));
            EXPECT_EQ(surface.texts.back().height, printHeight);
        }
    }
}

TEST(CashPrintout, TotalsWithoutWordsStopBeforeTheJobAndPrinterFailuresAbandonIt)
{
    const CurrentPrintFont font;
    for (const char* total : {"2147483648.00", "   -0.01", "1.2.3"}) {
        CashDocumentPrint document = sampleDocument(DocumentKind::Kp, false);
        document.total = total;
        RecordingPrintSurface surface;
        EXPECT_THROW(drawCashDocument(surface, font, document), std::out_of_range) << total;
        EXPECT_EQ(surface.jobsStarted, 0) << total;
        EXPECT_TRUE(surface.calls.empty()) << total;
    }

    RecordingPrintSurface failing;
    failing.failBeginJob = true;
    EXPECT_THROW(drawCashDocument(failing, font, sampleDocument(DocumentKind::Kp, true)), IoError);
    EXPECT_FALSE(failing.jobOpen());
}

} // namespace
} // namespace wirtello
