#include "platform/qt_print_surface.h"
#include "print/contact_list_printout.h"
#include "print/print_job.h"
#include "tests/print/pdf_reading.h"
#include "tests/support/temp_folder.h"

#include <QPrinter>

#include <gtest/gtest.h>

#include <cstdio>

namespace wirtello {
namespace {

using test::findWord;
using test::havePdfTools;
using test::pdfSurface;
using test::TempFolder;

QPageRanges pages(std::initializer_list<std::pair<int, int>> parts)
{
    QPageRanges range;
    for (const auto& [from, to] : parts)
        range.addRange(from, to);
    return range;
}

TEST(PrintRange, PagesGoOutInTheChosenRangeCopiesAndOrder)
{
    struct Row {
        const char* what;
        int pageCount;
        PagePlayback playback;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {"everything once", 3, {}, {0, 1, 2}},
        {"one page of three", 3, {pages({{2, 2}})}, {1}},
        {"range running past the end", 3, {pages({{2, 9}})}, {1, 2}},
        {"range beyond the end", 3, {pages({{5, 7}})}, {}},
        {"two ranges", 5, {pages({{1, 1}, {4, 5}})}, {0, 3, 4}},
        {"collated copies", 3, {{}, 2, true}, {0, 1, 2, 0, 1, 2}},
        {"uncollated copies", 3, {{}, 2, false}, {0, 0, 1, 1, 2, 2}},
        {"last page first, collated", 3, {pages({{2, 3}}), 2, true, true}, {2, 1, 2, 1}},
        {"no copies counts as one", 2, {{}, 0, false}, {0, 1}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(pagesToPlay(row.pageCount, row.playback), row.expected) << row.what;
}

TEST(PrintRange, PrinterSettingsBecomeThePlayback)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    EXPECT_TRUE(playbackFor(printer).range.isEmpty());
    EXPECT_EQ(playbackFor(printer).copies, 1);

    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 4);
    printer.setCopyCount(3);
    printer.setCollateCopies(false);
    printer.setPageOrder(QPrinter::LastPageFirst);
    const PagePlayback playback = playbackFor(printer);
    EXPECT_EQ(playback.range, pages({{2, 4}}));
    // The PDF writer makes no copies of its own: each one is drawn.
    ASSERT_FALSE(printer.supportsMultipleCopies());
    EXPECT_EQ(playback.copies, 3);
    EXPECT_FALSE(playback.collate);
    EXPECT_TRUE(playback.lastPageFirst);
    EXPECT_EQ(describePages(pages({{2, 4}, {7, 7}})), QStringLiteral("2–4, 7"));
}

std::vector<std::string> entries(int count)
{
    std::vector<std::string> result;
    for (int i = 1; i <= count; ++i) {
        char text[24];
        std::snprintf(text, sizeof text, "%03d Kontakt", i);
        result.emplace_back(text);
    }
    return result;
}

// Which page of the 130-entry list each page of the PDF shows: 1 carries the
// heading, 2 starts with entry 052, 3 with entry 103.
std::vector<int> listPagesIn(const std::filesystem::path& pdf)
{
    const int count = test::pdfPageCount(pdf);
    const auto words = test::pdfWords(pdf);
    std::vector<int> shown;
    const char* const firstWord[] = {"Lista", "052", "103"};
    for (int page = 1; page <= count; ++page) {
        int which = 0;
        for (int i = 0; i < 3 && which == 0; ++i)
            if (findWord(words, page, firstWord[i]))
                which = i + 1;
        shown.push_back(which);
    }
    return shown;
}

TEST(PrintRange, ContactListPdfHoldsOnlyTheChosenPagesAndCopies)
{
    if (!havePdfTools())
        GTEST_SKIP() << "poppler's pdftotext and pdfinfo are not installed";
    struct Row {
        const char* what;
        int from, to; // 0: every page
        int copies;
        bool collate;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {"default", 0, 0, 1, true, {1, 2, 3}},
        {"pages 2-2", 2, 2, 1, true, {2}},
        {"two copies, collated", 0, 0, 2, true, {1, 2, 3, 1, 2, 3}},
        {"pages 2-9, two copies, uncollated", 2, 9, 2, false, {2, 2, 3, 3}},
    };
    TempFolder folder;
    CurrentPrintFont font;
    int n = 0;
    for (const Row& row : rows) {
        const std::filesystem::path pdf = folder / ("lista" + std::to_string(++n) + ".pdf");
        auto surface = pdfSurface(pdf);
        if (row.from > 0) {
            surface->printer().setPrintRange(QPrinter::PageRange);
            surface->printer().setFromTo(row.from, row.to);
        }
        surface->printer().setCopyCount(row.copies);
        surface->printer().setCollateCopies(row.collate);
        drawContactList(*surface, font, entries(130));
        EXPECT_EQ(listPagesIn(pdf), row.expected) << row.what;
    }
}

TEST(PrintRange, NothingComesOutForPagesBeyondTheEndOrAnAbandonedJob)
{
    TempFolder folder;
    CurrentPrintFont font;
    QStringList notices;
    const auto notice = [&notices](const QString& text) { notices << text; };

    const std::string nothing = "\rNic nie zostało wydrukowane.";
    const struct {
        int entries, from, to;
        std::string notice;
    } rows[] = {
        {10, 2, 2, "Wybrany zakres stron (2) leży poza wydrukiem, który ma 1 stronę." + nothing},
        {130, 5, 7, "Wybrany zakres stron (5–7) leży poza wydrukiem, który ma 3 strony." + nothing},
        {230, 6, 6, "Wybrany zakres stron (6) leży poza wydrukiem, który ma 5 stron." + nothing},
    };
    for (const auto& row : rows) {
        notices.clear();
        auto surface = pdfSurface(folder / "poza.pdf", notice);
        surface->printer().setPrintRange(QPrinter::PageRange);
        surface->printer().setFromTo(row.from, row.to);
        drawContactList(*surface, font, entries(row.entries));
        EXPECT_FALSE(std::filesystem::exists(folder / "poza.pdf")) << row.notice;
        ASSERT_EQ(notices.size(), 1);
        EXPECT_EQ(notices[0].toStdString(), row.notice);
        EXPECT_FALSE(surface->jobOpen());
    }

    // A printout that stops half way leaves no half-printed job behind.
    auto abandoned = pdfSurface(folder / "przerwany.pdf", notice);
    {
        PrintJob job(*abandoned, "x");
        abandoned->textOut(100, 100, "Pierwsza");
        abandoned->newPage();
    }
    EXPECT_FALSE(abandoned->jobOpen());
    EXPECT_FALSE(std::filesystem::exists(folder / "przerwany.pdf"));
    EXPECT_EQ(notices.size(), 1); // no notice for an abandoned job
}

} // namespace
} // namespace wirtello
