// The Qt side of preview and PDF: the files written and the preview window.
#include "platform/qt_platform.h"
#include "print/print_job.h"
#include "store/io_error.h"
#include "tests/print/pdf_reading.h"
#include "tests/support/temp_folder.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include <unistd.h>

namespace wirtello {
namespace {

using test::TempFolder;

// Two pages, the first with a text at 10 mm from the top-left.
void drawTwoPages(PrintSurface& surface, Orientation orientation)
{
    surface.setOrientation(orientation);
    PrintJob job(surface, "Próba");
    surface.setFontHeight(-50);
    surface.textOut(118, 118, "Pierwsza");
    surface.newPage();
    surface.textOut(118, 118, "Druga");
    job.finish();
    // As the envelope does: the page is turned back once the job has ended.
    surface.setOrientation(Orientation::Portrait);
}

// The page sizes of a PDF in points, as its page objects state them.
std::vector<std::pair<int, int>> mediaBoxes(const std::filesystem::path& pdf)
{
    std::ifstream in(pdf, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    std::vector<std::pair<int, int>> sizes;
    auto matches = box.globalMatch(QString::fromLatin1(bytes.str()));
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        sizes.emplace_back(qRound(match.captured(1).toDouble()), qRound(match.captured(2).toDouble()));
    }
    return sizes;
}

std::vector<std::string> leftovers(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PdfSurface, WritesTheChosenPaperAt300Dpi)
{
    struct Row {
        const char* name;
        PaperSize paper;
        Orientation orientation; // what the printout sets
        std::pair<int, int> points;
    };
    const Row rows[] = {
        {"A4 list", PaperSize::A4, Orientation::Portrait, {595, 842}},
        {"A4 turned by the printout", PaperSize::A4, Orientation::Landscape, {842, 595}},
        {"DL envelope, landscape", PaperSize::EnvelopeDL, Orientation::Landscape, {624, 312}},
        {"DL envelope, portrait", PaperSize::EnvelopeDL, Orientation::Portrait, {312, 624}},
    };
    TempFolder folder;
    QtPlatform platform;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::filesystem::path pdf = folder / "wydruk ąę.pdf";
        std::unique_ptr<PrintSurface> surface = platform.pdfSurface(pdf, row.paper);
        EXPECT_EQ(surface->resolutionX(), 300);
        EXPECT_EQ(surface->resolutionY(), 300);
        drawTwoPages(*surface, row.orientation);
        surface.reset();
        const auto sizes = mediaBoxes(pdf);
        ASSERT_EQ(sizes.size(), 2u);
        EXPECT_EQ(sizes[0], row.points);
        // The temporary file it was written through has gone.
        EXPECT_EQ(leftovers(folder.path()), std::vector<std::string>{"wydruk ąę.pdf"});
        if (test::havePdfTools()) {
            const auto words = test::pdfWords(pdf);
            EXPECT_NE(test::findWord(words, 1, "Pierwsza"), nullptr);
            EXPECT_NE(test::findWord(words, 2, "Druga"), nullptr);
        }
        std::filesystem::remove_all(folder.path());
        std::filesystem::create_directory(folder.path());
    }
}

TEST(PdfSurface, AFileThatCannotBeWrittenIsAnErrorAndKeepsTheOldFile)
{
    TempFolder folder({"zamknięty"});
    const std::filesystem::path closed = folder / "zamknięty";
    const std::filesystem::path old = closed / "stary.pdf";
    test::writeBytes(old, {'%', 'P', 'D', 'F'});
    std::filesystem::permissions(closed, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool permissionsHold = ::access(closed.c_str(), W_OK) != 0; // not so for root

    struct Row {
        const char* name;
        std::filesystem::path file;
        bool applies;
    };
    const Row rows[] = {
        {"missing folder", folder / "brak" / "x.pdf", true},
        {"read-only folder, new file", closed / "nowy.pdf", permissionsHold},
        {"read-only folder, existing file", old, permissionsHold},
    };
    QtPlatform platform;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.applies)
            continue;
        std::unique_ptr<PrintSurface> surface = platform.pdfSurface(row.file, PaperSize::A4);
        try {
            drawTwoPages(*surface, Orientation::Portrait);
            ADD_FAILURE() << "no error";
        } catch (const IoError& error) {
            EXPECT_EQ(error.operation(), "Nie można zapisać pliku PDF");
            EXPECT_EQ(error.path(), row.file);
        }
        EXPECT_FALSE(surface->jobOpen());
    }
    std::filesystem::permissions(closed, std::filesystem::perms::owner_all);
    EXPECT_EQ(test::readBytes(old), (std::vector<std::uint8_t>{'%', 'P', 'D', 'F'}));
    EXPECT_EQ(leftovers(closed), std::vector<std::string>{"stary.pdf"});

    // A read-only file in a writable folder is refused too, for every user.
    std::filesystem::permissions(old, std::filesystem::perms::owner_read);
    std::unique_ptr<PrintSurface> surface = platform.pdfSurface(old, PaperSize::A4);
    EXPECT_THROW(drawTwoPages(*surface, Orientation::Portrait), IoError);
    std::filesystem::permissions(old, std::filesystem::perms::owner_all);
    EXPECT_EQ(test::readBytes(old), (std::vector<std::uint8_t>{'%', 'P', 'D', 'F'}));
}

TEST(PdfSurface, ALinkStaysALinkAndItsFileIsReplaced)
{
    TempFolder folder({"pliki"});
    const std::filesystem::path real = folder / "pliki" / "prawdziwy.pdf";
    const std::filesystem::path link = folder / "skrót.pdf";
    test::writeBytes(real, {'x'});
    std::filesystem::create_symlink(real, link);
    QtPlatform platform;
    std::unique_ptr<PrintSurface> surface = platform.pdfSurface(link, PaperSize::A4);
    drawTwoPages(*surface, Orientation::Portrait);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(mediaBoxes(real).size(), 2u);
    EXPECT_EQ(leftovers(folder / "pliki"), std::vector<std::string>{"prawdziwy.pdf"});
}

// Runs `inspect` on the preview window once it is up; the watch ends with the
// returned timer.
std::unique_ptr<QTimer> whenPreviewShows(std::function<void(QPrintPreviewDialog&)> inspect)
{
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(20);
    QObject::connect(timer.get(), &QTimer::timeout, [timer = timer.get(), inspect] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        inspect(*dialog);
    });
    timer->start();
    return timer;
}

QAction* printAction(QPrintPreviewDialog& dialog)
{
    const QString text = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction* action : dialog.findChildren<QAction*>())
        if (action->text() == text)
            return action;
    return nullptr;
}

TEST(PrintPreview, ShowsThePrintoutsPagesOnItsPaperAndHandsPrintingBack)
{
    struct Row {
        const char* name;
        PaperSize paper;
        Orientation orientation;
        bool pressPrint;
    };
    const Row rows[] = {
        {"A4, closed", PaperSize::A4, Orientation::Portrait, false},
        {"DL landscape, print pressed", PaperSize::EnvelopeDL, Orientation::Landscape, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QtPlatform platform;
        int draws = 0;
        int pages = 0;
        QString title;
        QPageLayout::Orientation shown = QPageLayout::Portrait;
        bool printFound = false;
        const auto watch = whenPreviewShows([&](QPrintPreviewDialog& dialog) {
            title = dialog.windowTitle();
            if (auto* widget = dialog.findChild<QPrintPreviewWidget*>())
                pages = widget->pageCount();
            shown = dialog.printer()->pageLayout().orientation();
            QAction* print = printAction(dialog);
            printFound = print != nullptr;
            if (row.pressPrint && print)
                print->trigger();
            else
                dialog.reject();
        });
        const bool printAsked = platform.previewPrintout(QStringLiteral("Próba"), row.paper, [&](PrintSurface& surface) {
            ++draws;
            EXPECT_EQ(surface.resolutionX(), 300);
            drawTwoPages(surface, row.orientation);
        });
        EXPECT_EQ(printAsked, row.pressPrint);
        EXPECT_GE(draws, 1);
        EXPECT_EQ(pages, 2);
        EXPECT_TRUE(printFound);
        EXPECT_EQ(title, QStringLiteral("Podgląd wydruku – Próba"));
        EXPECT_EQ(shown, row.orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
}

TEST(PrintPreview, AFailingPrintoutClosesThePreviewAndIsRaised)
{
    QtPlatform platform;
    // Should the window stay up regardless, the test closes it and fails.
    bool leftOpen = false;
    const auto watch = whenPreviewShows([&](QPrintPreviewDialog& dialog) {
        QTimer::singleShot(3000, &dialog, [&dialog, &leftOpen] {
            leftOpen = true;
            dialog.reject();
        });
    });
    try {
        platform.previewPrintout(QStringLiteral("Próba"), PaperSize::A4, [](PrintSurface& surface) {
            PrintJob job(surface, "Próba");
            throw IoError("Nie można odczytać pliku", "FONT/font_zaplo_3906.dat");
        });
        ADD_FAILURE() << "no error";
    } catch (const IoError& error) {
        EXPECT_EQ(error.operation(), "Nie można odczytać pliku");
    }
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace wirtello
