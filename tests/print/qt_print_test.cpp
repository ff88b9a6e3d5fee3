#include "print/contact_list_printout.h"
#include "print/print_font_window.h"
#include "platform/qt_print_surface.h"

#include "platform/qt_platform.h"
#include "tests/support/scripted_platform.h"
#include "store/io_error.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPalette>
#include <QPrinter>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace wirtello {
namespace {

using test::TempFolder;

struct Word {
    int page = 0;
    double xMin = 0, yMin = 0;
    std::string text;
};

bool havePdftotext()
{
    return std::system("pdftotext -v >/dev/null 2>&1") == 0;
}

// Words of a PDF with their boxes in points, from pdftotext -bbox.
std::vector<Word> pdfWords(const std::filesystem::path& pdf)
{
    const std::filesystem::path html = pdf.parent_path() / "words.html";
    const std::string command = "pdftotext -bbox '" + pdf.string() + "' '" + html.string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    std::ifstream in(html);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();

    std::vector<Word> words;
    const std::regex token(R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    int page = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it) {
        if ((*it)[0].str().starts_with("<page")) {
            ++page;
            continue;
        }
        words.push_back({page, std::stod((*it)[1]), std::stod((*it)[2]), (*it)[3]});
    }
    return words;
}

const Word* find(const std::vector<Word>& words, int page, const std::string& text)
{
    for (const Word& word : words)
        if (word.page == page && word.text == text)
            return &word;
    return nullptr;
}

std::unique_ptr<QtPrintSurface> pdfSurface(const std::filesystem::path& file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(file.string()));
    printer->setPageSize(QPageSize(QPageSize::A4));
    return std::make_unique<QtPrintSurface>(std::move(printer));
}

std::vector<std::string> entries(int count)
{
    std::vector<std::string> result;
    for (int i = 1; i <= count; ++i) {
        char text[40];
        std::snprintf(text, sizeof text, "%03d Kowalski Żaneta %d", i, i);
        result.emplace_back(text);
    }
    return result;
}

TEST(QtPrint, ContactListLandsInThePdfAtPageMillimetres)
{
    if (!havePdftotext())
        GTEST_SKIP() << "pdftotext is not installed";
    TempFolder folder({"FONT"});
    ScriptedPlatform platform;
    CurrentPrintFont font;
    Tfont_f fontWindow(platform, font);
    platform.fontAnswers.push_back(FontChoice{kWindowTextColour, "Arial", 10, 0});
    fontWindow.ZapiszFonty(kPrintFontFile);

    const std::filesystem::path pdf = folder / "lista.pdf";
    auto surface = pdfSurface(pdf);
    const QRectF paint = surface->printer().pageLayout().paintRect(QPageLayout::Point);
    fontWindow.CzytajFonty(kPrintFontFile);
    drawContactList(*surface, font, entries(60));
    surface.reset();
    if (const char* keep = std::getenv("WIRTELLO_KEEP_PRINT_SAMPLE"))
        std::filesystem::copy_file(pdf, keep, std::filesystem::copy_options::overwrite_existing);

    const std::vector<Word> words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    // A page millimetre is resolution / 25 dots: 72 / 25 points on the PDF.
    const auto expectAt = [&](int page, const std::string& text, int xMm, int yMm) {
        const Word* word = find(words, page, text);
        ASSERT_NE(word, nullptr) << text << " on page " << page;
        EXPECT_NEAR(word->xMin, paint.left() + xMm * 72.0 / 25, 1.0) << text;
        EXPECT_NEAR(word->yMin, paint.top() + yMm * 72.0 / 25, 1.5) << text;
    };
    expectAt(1, "Lista", 10, 6);
    expectAt(1, "001", 10, 16);
    expectAt(1, "002", 10, 21);
    expectAt(1, "051", 10, 266);
    expectAt(2, "052", 10, 6);
    expectAt(2, "060", 10, 46);
    EXPECT_NE(find(words, 1, "kontaktów"), nullptr);
    EXPECT_NE(find(words, 1, "Żaneta"), nullptr);
    EXPECT_EQ(find(words, 2, "Lista"), nullptr);
    EXPECT_EQ(words.back().page, 2);
}

TEST(QtPrint, UnknownOrOverlongFacesFallBackAndStillPrint)
{
    if (!havePdftotext())
        GTEST_SKIP() << "pdftotext is not installed";
    TempFolder folder;
    const std::filesystem::path pdf = folder / "x.pdf";
    auto surface = pdfSurface(pdf);
    surface->setFontFace(std::string(40, 'Q') + " Nieznana");
    EXPECT_EQ(surface->fontFace(), std::string(31, 'Q'));
    surface->beginJob("x");
    surface->setFontHeight(-100);
    surface->textOut(100, 100, "Widać");
    surface->setFontHeight(0); // the face's default size
    surface->textOut(100, 400, "Domyślna");
    surface->textOut(1 << 30, 1 << 30, "Poza"); // far off the page: not drawn
    surface->endJob();
    surface.reset();
    const auto words = pdfWords(pdf);
    EXPECT_NE(find(words, 1, "Widać"), nullptr);
    EXPECT_NE(find(words, 1, "Domyślna"), nullptr);
}

TEST(QtPrint, JobThatCannotStartIsReportedAndLeftClosed)
{
    TempFolder folder;
    auto surface = pdfSurface(folder / "brak" / "folderu" / "x.pdf");
    EXPECT_GT(surface->resolutionX(), 0); // readable before any job
    EXPECT_THROW(surface->beginJob("x"), IoError);
    EXPECT_FALSE(surface->jobOpen());
    surface->textOut(0, 0, "nic"); // no job: nothing happens

    // Without any installed printer Qt's printer is a PDF writer with no file.
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    ASSERT_TRUE(printer->outputFileName().isEmpty());
    auto noPrinter = std::make_unique<QtPrintSurface>(std::move(printer));
    EXPECT_THROW(noPrinter->beginJob("x"), IoError);
    EXPECT_FALSE(noPrinter->jobOpen());
}

TEST(QtPrint, OrientationChangesOnlyWhileNoJobIsOpen)
{
    TempFolder folder;
    auto surface = pdfSurface(folder / "o.pdf");
    surface->setOrientation(Orientation::Landscape);
    EXPECT_EQ(surface->printer().pageLayout().orientation(), QPageLayout::Landscape);
    surface->beginJob("o");
    surface->setOrientation(Orientation::Portrait);
    EXPECT_EQ(surface->printer().pageLayout().orientation(), QPageLayout::Landscape);
    surface->endJob();
    surface->setOrientation(Orientation::Portrait);
    EXPECT_EQ(surface->printer().pageLayout().orientation(), QPageLayout::Portrait);
}

TEST(QtPrint, PlatformColours)
{
    EXPECT_EQ(toQColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(0x00804020), QColor(0x20, 0x40, 0x80));

    // System colours take the desktop's current value.
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::WindowText, QColor(0x12, 0x34, 0x56));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(toQColor(kWindowTextColour), QColor(0x12, 0x34, 0x56));
    QGuiApplication::setPalette(saved);
    EXPECT_EQ(toQColor(kWindowTextColour), saved.color(QPalette::Active, QPalette::WindowText));
}

// Answers the next modal dialog once the event loop runs.
void whenDialogOpens(std::function<void(QDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

TEST(QtPrint, FontDialogReturnsTheChoiceAndKeepsUnknownFaces)
{
    QtPlatform platform;
    const FontChoice initial{kWindowTextColour, "Tahoma", 8, 0};
    whenDialogOpens([](QDialog& dialog) { dialog.accept(); });
    EXPECT_EQ(platform.chooseFont(initial), initial);

    whenDialogOpens([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("bold"))->setChecked(true);
        dialog.findChild<QCheckBox*>(QStringLiteral("strikeOut"))->setChecked(true);
        auto* colour = dialog.findChild<QComboBox*>(QStringLiteral("colour"));
        colour->setCurrentIndex(colour->findText(QStringLiteral("Czerwony")));
        dialog.accept();
    });
    const auto chosen = platform.chooseFont(FontChoice{0x00123456, "Arial", 12, FontStyle::Italic});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, (FontChoice{0x000000FF, "Arial", 12,
                                   FontStyle::Bold | FontStyle::Italic | FontStyle::StrikeOut}));

    whenDialogOpens([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(platform.chooseFont(initial));
}

TEST(QtPrint, CancelledPrintDialogGivesNoSurface)
{
    QtPlatform platform;
    whenDialogOpens([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(platform.choosePrinter(), nullptr);
}

} // namespace
} // namespace wirtello
