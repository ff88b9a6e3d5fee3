#include "cash/cash_document_window.h"

#include "cash/amount_in_words.h"
#include "cash/cash_printout.h"
#include "cash/text_editor_window.h"
#include "platform/qt_print_surface.h"
#include "print/print_font.h"
#include "store/record_file.h"
#include "tests/print/pdf_reading.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace wirtello {
namespace {

using test::TempFolder;

bool havePdftotext()
{
    return std::system("pdftotext -v >/dev/null 2>&1") == 0;
}

std::string pdfText(const std::filesystem::path& pdf)
{
    const std::filesystem::path text = pdf.parent_path() / (pdf.stem().string() + ".txt");
    const std::string command = "pdftotext -enc UTF-8 '" + pdf.string() + "' '" + text.string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    std::ifstream in(text);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Prints a KP and a KW through the window's print button into PDF files, as
// the user's printer would get them, and reads their text back.
TEST(CashPrintoutPdf, KpAndKwComeOutAsTwoCopiesWithTheTotalInWords)
{
    if (!havePdftotext())
        GTEST_SKIP() << "pdftotext is not installed";
    TempFolder folder({"Admini", "DOKUMENTY", "FONT"});
    PrintFontRecord arial;
    arial.setFace("Arial");
    arial.setPoints(10);
    writeRecord(folder / "FONT/font_zaplo_3906.dat", arial.bytes());

    AppData data{folder.path()};
    ScriptedPlatform platform;
    CurrentPrintFont font;
    Tlogowania_f editor(data, platform, font);
    Tkp_f kp(data, platform, font, editor);
    kp.initialise();

    const struct {
        DocumentKind kind;
        const char* file;
        bool colour;
        const char* title;
        const char* party;
    } rows[] = {
        {DocumentKind::Kp, "kp.pdf", false, "Dowód wpłaty KP nr 1/2026", "Od kogo :"},
        {DocumentKind::Kw, "kw.pdf", true, "Dowód wypłaty KW nr 1/2026", "Komu :"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const std::filesystem::path pdf = folder / row.file;
        platform.printerFactory = [&pdf] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromStdString(pdf.string()));
            printer->setPageSize(QPageSize(QPageSize::A4));
            return std::unique_ptr<PrintSurface>(std::make_unique<QtPrintSurface>(std::move(printer)));
        };
        kp.prepareDocument(row.kind, QStringLiteral("Żaneta"), QStringLiteral("Wiśniewska"),
                           QStringLiteral("ul. Źródlana 12"), QStringLiteral("Gdańsk"),
                           {QStringLiteral("Biuro Rachunkowe Ćma"), QStringLiteral("ul. Długa 1"),
                            QStringLiteral("00-950 Warszawa"), QStringLiteral("NIP 123-456-78-90")});
        kp.open();
        ASSERT_TRUE(kp.isVisible());
        DocumentLines lines;
        lines.descriptions[0] = "Czynsz za grudzień";
        lines.amounts[0] = "   2000.00";
        lines.descriptions[1] = "Opłata za wywóz śmieci";
        lines.amounts[1] = "   22.50";
        kp.setDocumentLines(lines);
        test::control<QLineEdit>(kp, "rozszerzeniekp")->setText(QStringLiteral("9"));
        std::ofstream(folder / (row.kind == DocumentKind::Kp ? "DOKUMENTY/nrkp.dat" : "DOKUMENTY/nrkw.dat"),
                      std::ios::binary)
            .write("\x01\x00\x00\x00\x04" "2026\0\0\0\0\0\0", 15);
        if (row.colour)
            test::control<QRadioButton>(kp, "k2")->setChecked(true);
        kp.printDocument();
        ASSERT_TRUE(platform.errors.empty());
        if (const char* keep = std::getenv("WIRTELLO_KEEP_CASH_SAMPLE"))
            std::filesystem::copy_file(pdf, std::filesystem::path(keep) / row.file,
                                       std::filesystem::copy_options::overwrite_existing);

        const std::string text = pdfText(pdf);
        EXPECT_EQ(occurrences(text, row.title), 2) << text;
        EXPECT_EQ(occurrences(text, row.party), 2);
        EXPECT_EQ(occurrences(text, "Słownie :dwa tysiące dwadzieścia dwa złote pięćdziesiąt groszy"), 2) << text;
        EXPECT_EQ(occurrences(text, "Żaneta Wiśniewska"), 2);
        EXPECT_EQ(occurrences(text, "Opłata za wywóz śmieci"), 2);
        EXPECT_EQ(occurrences(text, "2022.50"), 2);
        EXPECT_EQ(occurrences(text, "pokwitowanie kwoty"), 2);
        kp.dismiss();
    }
}

bool overlap(const test::PdfWord& a, const test::PdfWord& b)
{
    return a.xMin < b.xMax && b.xMin < a.xMax && a.yMin < b.yMax && b.yMin < a.yMax;
}

// The amount in words, for the longest total and a common one, in every print
// font size and with no font file at all, as a PDF reader finds the words on
// the page: whole, left of "Razem", above the signature row, and covering
// neither "Razem" nor the total in figures in either copy.
TEST(CashPrintoutPdf, AmountInWordsNeverCoversRazemOrTheTotal)
{
    if (!test::havePdfTools())
        GTEST_SKIP() << "pdftotext or pdfinfo is not installed";
    for (const std::int64_t grosze : {std::int64_t{123456}, kLargestWordedTotal}) {
        for (const std::int32_t points : {0, 8, 10, 12, 16}) {
            const std::string figures = std::to_string(grosze / 100) + "." + std::to_string(grosze % 100);
            SCOPED_TRACE(figures + " at " + std::to_string(points) + " points");
            TempFolder folder({"FONT"});
            PrintFontRecord arial;
            arial.setFace("Arial");
            arial.setPoints(points);
            if (points > 0)
                writeRecord(folder / "FONT/font_zaplo_3906.dat", arial.bytes());
            CurrentPrintFont font;
            CzytajFonty(font, kPrintFontFile);
            CashDocumentPrint document;
            document.lines.amounts[0] = document.total = figures;
            const std::filesystem::path pdf = folder / ("kp-" + figures + "-" + std::to_string(points) + ".pdf");
            {
                const auto surface = test::pdfSurface(pdf);
                surface->printer().setResolution(300); // as the program prints PDF files
                drawCashDocument(*surface, font, document);
            }
            if (const char* keep = std::getenv("WIRTELLO_KEEP_CASH_SAMPLE"))
                std::filesystem::copy_file(pdf, keep / pdf.filename(), std::filesystem::copy_options::overwrite_existing);

            const std::vector<test::PdfWord> words = test::pdfWords(pdf);
            std::map<std::string, std::vector<const test::PdfWord*>> named;
            for (const test::PdfWord& word : words)
                named[word.text].push_back(&word);
            const auto& labels = named["Słownie"];
            const auto& razem = named["Razem"];
            const auto& captions = named["wystawił"];
            ASSERT_EQ(labels.size() + razem.size() + captions.size(), 6u);
            for (std::size_t copy = 0; copy < 2; ++copy) {
                const auto total = std::find_if(words.begin(), words.end(), [&](const test::PdfWord& word) {
                    return word.text == figures && std::abs(word.yMin - razem[copy]->yMin) < 3;
                });
                ASSERT_NE(total, words.end()) << "the total in figures of copy " << copy;
                std::vector<const test::PdfWord*> band; // the words' lines, top to bottom
                for (const test::PdfWord& word : words) {
                    if (&word != razem[copy] && &word != &*total) {
                        EXPECT_FALSE(overlap(word, *razem[copy])) << word.text << " covers Razem";
                        EXPECT_FALSE(overlap(word, *total)) << word.text << " covers the total";
                    }
                    if (word.yMin > labels[copy]->yMin - 1 && word.yMin < captions[copy]->yMin - 1
                        && word.xMin < razem[copy]->xMin - 1)
                        band.push_back(&word);
                }
                std::string read;
                for (const test::PdfWord* word : band) {
                    read += (read.empty() ? "" : " ") + word->text;
                    EXPECT_LE(word->xMax, razem[copy]->xMin) << word->text;
                    EXPECT_LE(word->yMax, captions[copy]->yMin) << word->text;
                    for (const test::PdfWord* other : band)
                        EXPECT_TRUE(other == word || !overlap(*word, *other)) << word->text << " / " << other->text;
                }
                EXPECT_EQ(read, "Słownie :" + KwotaSlownie(grosze));
            }
        }
    }
}

} // namespace
} // namespace wirtello
