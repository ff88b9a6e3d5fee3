// The print button's three destinations: printer, preview and PDF file.
#include "platform/print_menu.h"
#include "print/print_actions.h"
#include "print/print_font_window.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

namespace wirtello {
namespace {

using test::TempFolder;

const std::vector<std::string> kList = {"000 Adam Nowak", "001 Żaneta Łęcka"};

// A print font file, so the printout draws in a known face.
void writeFont(ScriptedPlatform& platform, CurrentPrintFont& font)
{
    Tfont_f window(platform, font);
    platform.fontAnswers.push_back(FontChoice{0x000080, "Arial", 11, FontStyle::Bold});
    window.ZapiszFonty(kPrintFontFile);
}

TEST(PrintDestinations, PreviewAndPdfDrawExactlyWhatThePrinterGets)
{
    TempFolder folder({"FONT"});
    ScriptedPlatform platform;
    CurrentPrintFont font;
    writeFont(platform, font);

    RecordingPrintSurface printed;
    platform.printerFactory = [&] { return printed.proxy(); };
    printContactList(platform, font, kList, PrintDestination::Printer);
    ASSERT_EQ(printed.jobsEnded, 1);

    for (const PrintDestination destination : {PrintDestination::Preview, PrintDestination::Pdf}) {
        SCOPED_TRACE(static_cast<int>(destination));
        RecordingPrintSurface drawn;
        ScriptedPlatform other;
        other.previewFactory = [&] { return drawn.proxy(); };
        other.pdfFactory = [&](const std::filesystem::path&, PaperSize) { return drawn.proxy(); };
        if (destination == PrintDestination::Pdf)
            other.saveFileAnswers.push_back(folder / "lista.pdf");
        printContactList(other, font, kList, destination);
        EXPECT_EQ(drawn.calls, printed.calls);
        EXPECT_EQ(other.printerRequests, 0);
        EXPECT_TRUE(other.errors.empty());
    }
}

TEST(PrintDestinations, EachRouteAsksWhatItNeedsAndCancelPrintsNothing)
{
    struct Row {
        const char* name;
        PrintDestination destination;
        bool printerAnswers;                          // the print dialog gives a printer
        int previewDraws;
        std::deque<bool> previewPrints;               // the preview's print button
        std::optional<std::filesystem::path> pdfFile; // the save dialog's answer
        int printerRequests, previews, saveRequests, pdfFiles, jobs;
    };
    const std::filesystem::path pdf = "/tmp/lista kontaktów.pdf";
    const Row rows[] = {
        {"print", PrintDestination::Printer, true, 1, {}, {}, 1, 0, 0, 0, 1},
        {"print dialog cancelled", PrintDestination::Printer, false, 1, {}, {}, 1, 0, 0, 0, 0},
        {"preview closed", PrintDestination::Preview, true, 1, {}, {}, 0, 1, 0, 0, 1},
        {"preview redrawn after a page change", PrintDestination::Preview, true, 3, {false}, {}, 0, 1, 0, 0, 3},
        {"print pressed in the preview", PrintDestination::Preview, true, 1, {true}, {}, 1, 1, 0, 0, 2},
        {"print in the preview, dialog cancelled", PrintDestination::Preview, false, 1, {true}, {}, 1, 1, 0, 0, 1},
        {"pdf", PrintDestination::Pdf, true, 1, {}, pdf, 0, 0, 1, 1, 1},
        {"pdf save dialog cancelled", PrintDestination::Pdf, true, 1, {}, std::nullopt, 0, 0, 1, 0, 0},
    };
    TempFolder folder({"FONT"});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedPlatform platform;
        CurrentPrintFont font;
        writeFont(platform, font);
        RecordingPrintSurface surface;
        platform.printerFactory = [&]() -> std::unique_ptr<PrintSurface> {
            return row.printerAnswers ? surface.proxy() : nullptr;
        };
        platform.previewFactory = [&] { return surface.proxy(); };
        platform.pdfFactory = [&](const std::filesystem::path&, PaperSize) { return surface.proxy(); };
        platform.previewDraws = row.previewDraws;
        platform.previewPrintAnswers = row.previewPrints;
        if (row.destination == PrintDestination::Pdf)
            platform.saveFileAnswers.push_back(row.pdfFile);

        printContactList(platform, font, kList, row.destination);
        EXPECT_EQ(platform.printerRequests, row.printerRequests);
        EXPECT_EQ(static_cast<int>(platform.previews.size()), row.previews);
        EXPECT_EQ(static_cast<int>(platform.saveFileRequests.size()), row.saveRequests);
        EXPECT_EQ(static_cast<int>(platform.pdfFiles.size()), row.pdfFiles);
        EXPECT_EQ(surface.jobsEnded, row.jobs);
        EXPECT_EQ(surface.jobsStarted, row.jobs);
        EXPECT_TRUE(platform.errors.empty());
        for (const auto& preview : platform.previews) {
            EXPECT_EQ(preview.title, QStringLiteral("Lista kontaktów"));
            EXPECT_EQ(preview.paper, PaperSize::A4);
        }
        for (const FileDialogRequest& request : platform.saveFileRequests) {
            EXPECT_EQ(request.title, QStringLiteral("Zapisz jako PDF"));
            EXPECT_EQ(request.filter, QStringLiteral("Dokument PDF|*.pdf"));
            EXPECT_EQ(request.fileName, QStringLiteral("lista kontaktów.pdf"));
        }
        if (!platform.pdfFiles.empty()) {
            EXPECT_EQ(platform.pdfFiles[0].first, pdf);
            EXPECT_EQ(platform.pdfFiles[0].second, PaperSize::A4);
        }
    }
}

TEST(PrintDestinations, FailuresOfEveryRouteReachTheErrorBox)
{
    // A damaged font file: the printout cannot read its font on any route.
    TempFolder folder({"FONT"});
    test::writeBytes(folder / "FONT" / kPrintFontFile, {1, 2, 3});
    for (const PrintDestination destination :
         {PrintDestination::Printer, PrintDestination::Preview, PrintDestination::Pdf}) {
        SCOPED_TRACE(static_cast<int>(destination));
        ScriptedPlatform platform;
        CurrentPrintFont font;
        RecordingPrintSurface surface;
        platform.printerFactory = [&] { return surface.proxy(); };
        platform.previewFactory = [&] { return surface.proxy(); };
        platform.pdfFactory = [&](const std::filesystem::path&, PaperSize) { return surface.proxy(); };
        if (destination == PrintDestination::Pdf)
            platform.saveFileAnswers.push_back(folder / "x.pdf");
        printContactList(platform, font, kList, destination);
        EXPECT_EQ(platform.errors.size(), 1u);
        EXPECT_EQ(surface.jobsEnded, 0);
    }
}

TEST(PrintMenu, RightClickMenuOffersTheThreeRoutesInOrder)
{
    QToolButton button;
    std::vector<PrintDestination> chosen;
    QMenu* menu = addPrintMenu(&button, [&](PrintDestination destination) { chosen.push_back(destination); });
    ASSERT_EQ(button.findChild<QMenu*>(QStringLiteral("printMenu")), menu);
    EXPECT_EQ(button.contextMenuPolicy(), Qt::CustomContextMenu);

    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    const QString captions[] = {QStringLiteral("Drukuj…"), QStringLiteral("Podgląd wydruku…"),
                                QStringLiteral("Zapisz jako PDF…")};
    const PrintDestination destinations[] = {PrintDestination::Printer, PrintDestination::Preview,
                                             PrintDestination::Pdf};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(actions[i]->text(), captions[i]);
        actions[i]->trigger();
        ASSERT_EQ(chosen.size(), static_cast<std::size_t>(i + 1));
        EXPECT_EQ(chosen.back(), destinations[i]);
    }
}

} // namespace
} // namespace wirtello
