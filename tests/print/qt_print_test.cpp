#include "print/contact_list_printout.h"
#include "print/print_font_window.h"
#include "platform/qt_platform.h"
#include "platform/qt_print_surface.h"
#include "store/io_error.h"
#include "tests/print/pdf_reading.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPrinter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace wirtello {
namespace {

using test::findWord;
using test::havePdfTools;
using test::pdfSurface;
using test::pdfWords;
using test::TempFolder;

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
    if (!havePdfTools())
        GTEST_SKIP() << "poppler's pdftotext and pdfinfo are not installed";
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

    const std::vector<test::PdfWord> words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    // A page millimetre is resolution / 25 dots: 72 / 25 points on the PDF.
    const auto expectAt = [&](int page, const std::string& text, int xMm, int yMm) {
        const test::PdfWord* word = findWord(words, page, text);
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
    EXPECT_NE(findWord(words, 1, "kontaktów"), nullptr);
    EXPECT_NE(findWord(words, 1, "Żaneta"), nullptr);
    EXPECT_EQ(findWord(words, 2, "Lista"), nullptr);
    EXPECT_EQ(words.back().page, 2);
}

TEST(QtPrint, UnknownOrOverlongFacesFallBackAndStillPrint)
{
    if (!havePdfTools())
        GTEST_SKIP() << "poppler's pdftotext and pdfinfo are not installed";
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
    EXPECT_NE(findWord(words, 1, "Widać"), nullptr);
    EXPECT_NE(findWord(words, 1, "Domyślna"), nullptr);
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

TEST(QtPrint, FontDialogOffersOnlyInstalledFacesAndKeepsAStoredOneAsItIs)
{
    QStringList installed;
    for (const QString& family : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(family))
            installed << family;
    ASSERT_GE(installed.size(), 2);
    const QString unknown = QStringLiteral("Nieznana Czcionka");
    ASSERT_FALSE(installed.contains(unknown));

    struct Row {
        const char* what;
        QString stored;
        QString pick; // chosen in the dialog; empty: accepted as shown
        QString shown, result;
        int extraEntries;
    };
    const Row rows[] = {
        {"installed face", installed[1], {}, installed[1], installed[1], 0},
        {"other letter case", installed[1].toUpper(), {}, installed[1], installed[1], 0},
        {"face this machine lacks", unknown, {}, unknown, unknown, 1},
        {"lacking face, another chosen", unknown, installed[0], unknown, installed[0], 1},
    };
    QtPlatform platform;
    for (const Row& row : rows) {
        QString shown;
        bool onlyInstalled = true;
        bool editable = true;
        whenDialogOpens([&](QDialog& dialog) {
            auto* face = dialog.findChild<QComboBox*>(QStringLiteral("face"));
            ASSERT_NE(face, nullptr);
            editable = face->isEditable();
            shown = face->currentText();
            int extra = 0;
            for (int i = 0; i < face->count(); ++i)
                extra += installed.contains(face->itemText(i)) ? 0 : 1;
            onlyInstalled = extra == row.extraEntries && face->count() == installed.size() + extra;
            if (!row.pick.isEmpty())
                face->setCurrentIndex(face->findText(row.pick));
            dialog.accept();
        });
        const auto chosen = platform.chooseFont(FontChoice{0, row.stored.toStdString(), 10, 0});
        ASSERT_TRUE(chosen) << row.what;
        EXPECT_FALSE(editable) << row.what;
        EXPECT_TRUE(onlyInstalled) << row.what;
        EXPECT_EQ(shown.toStdString(), row.shown.toStdString()) << row.what;
        EXPECT_EQ(chosen->face, row.result.toStdString()) << row.what;
    }

    // An empty stored face still comes back as an installed one.
    whenDialogOpens([](QDialog& dialog) { dialog.accept(); });
    const auto chosen = platform.chooseFont(FontChoice{0, "", 10, 0});
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(installed.contains(QString::fromStdString(chosen->face)));
}

TEST(QtPrint, PrintDialogPageRangeAndCopiesReachThePrintout)
{
    if (!havePdfTools())
        GTEST_SKIP() << "poppler's pdftotext and pdfinfo are not installed";
    struct Row {
        int from, to, copies;
        int pdfPages; // -1: no file
        QString notice;
    };
    const Row rows[] = {
        {2, 2, 2, 2, {}},
        {1, 3, 1, 3, {}},
        {5, 7, 1, -1,
         QStringLiteral("Wybrany zakres stron (5–7) leży poza wydrukiem, który ma 3 strony.\n"
                        "Nic nie zostało wydrukowane.")},
    };
    TempFolder folder;
    QtPlatform platform;
    CurrentPrintFont font;
    int n = 0;
    for (const Row& row : rows) {
        const std::filesystem::path pdf = folder / ("dialog" + std::to_string(++n) + ".pdf");
        whenDialogOpens([&](QDialog& dialog) {
            auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
            auto* range = dialog.findChild<QRadioButton*>(QStringLiteral("printRange"));
            auto* from = dialog.findChild<QSpinBox*>(QStringLiteral("from"));
            auto* to = dialog.findChild<QSpinBox*>(QStringLiteral("to"));
            auto* copies = dialog.findChild<QSpinBox*>(QStringLiteral("copies"));
            ASSERT_TRUE(file && range && from && to && copies);
            file->setText(QString::fromStdString(pdf.string()));
            range->setChecked(true);
            from->setValue(row.from);
            to->setValue(row.to);
            copies->setValue(row.copies);
            dialog.accept();
        });
        const std::unique_ptr<PrintSurface> surface = platform.choosePrinter();
        ASSERT_NE(surface, nullptr);
        QString notice;
        if (!row.notice.isEmpty())
            whenDialogOpens([&notice](QDialog& dialog) {
                if (auto* box = qobject_cast<QMessageBox*>(&dialog))
                    notice = box->text();
                dialog.accept();
            });
        drawContactList(*surface, font, entries(130));
        QCoreApplication::processEvents(); // a notice that never came must not answer a later dialog
        EXPECT_EQ(test::pdfPageCount(pdf), row.pdfPages) << row.from << "-" << row.to;
        EXPECT_EQ(notice.toStdString(), row.notice.toStdString());
    }
}

TEST(QtPrint, CancelledPrintDialogGivesNoSurface)
{
    QtPlatform platform;
    whenDialogOpens([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(platform.choosePrinter(), nullptr);
}

} // namespace
} // namespace wirtello
