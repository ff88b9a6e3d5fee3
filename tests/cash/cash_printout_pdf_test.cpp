#include "cash/cash_document_window.h"

#include "cash/text_editor_window.h"
#include "platform/qt_print_surface.h"
#include "print/print_font.h"
#include "store/record_file.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
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
        kp.rozszerzeniekp->setText(QStringLiteral("9"));
        std::ofstream(folder / (row.kind == DocumentKind::Kp ? "DOKUMENTY/nrkp.dat" : "DOKUMENTY/nrkw.dat"),
                      std::ios::binary)
            .write("\x01\x00\x00\x00\x04" "2026\0\0\0\0\0\0", 15);
        if (row.colour)
            kp.k2->setChecked(true);
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

} // namespace
} // namespace wirtello
