// The envelope previewed and saved as PDF.
#include "envelope/envelope_window.h"

#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

namespace wirtello {
namespace {

using test::TempFolder;

TEST(EnvelopePrintDestinations, PreviewAndPdfDrawTheEnvelopeAsPrintedOnDlPaper)
{
    for (const bool landscape : {true, false}) {
        SCOPED_TRACE(landscape ? "landscape" : "portrait");
        TempFolder folder{"Admini", "FONT", "Koperty"};
        AppData data{folder.path()};
        ScriptedPlatform platform;
        CurrentPrintFont font;
        Tkoperta_f window{data, platform, font};
        window.initialise();
        window.addressTo({"Jan", "Nowak", "Polna 1", "Radom"});
        test::control<QCheckBox>(window, "poziomo")->setChecked(landscape);

        RecordingPrintSurface printed;
        platform.printerFactory = [&] { return printed.proxy(); };
        auto* print = test::control<QToolButton>(window, "SpeedButton7");
        print->click();
        ASSERT_EQ(printed.jobsEnded, 1);

        auto* menu = print->findChild<QMenu*>(QStringLiteral("printMenu"));
        ASSERT_NE(menu, nullptr);
        for (const PrintDestination destination : {PrintDestination::Preview, PrintDestination::Pdf}) {
            RecordingPrintSurface drawn;
            platform.previewFactory = [&] { return drawn.proxy(); };
            platform.pdfFactory = [&](const std::filesystem::path&, PaperSize) { return drawn.proxy(); };
            if (destination == PrintDestination::Pdf)
                platform.saveFileAnswers.push_back(folder / "koperta.pdf");
            menu->actions().at(static_cast<int>(destination))->trigger();
            EXPECT_EQ(drawn.calls, printed.calls);
            EXPECT_EQ(drawn.orientation, Orientation::Portrait); // turned back after the job
        }
        EXPECT_EQ(platform.printerRequests, 1);
        ASSERT_EQ(platform.previews.size(), 1u);
        EXPECT_EQ(platform.previews[0].paper, PaperSize::EnvelopeDL);
        EXPECT_EQ(platform.previews[0].title, QStringLiteral("Koperta"));
        ASSERT_EQ(platform.pdfFiles.size(), 1u);
        EXPECT_EQ(platform.pdfFiles[0].second, PaperSize::EnvelopeDL);
        ASSERT_EQ(platform.saveFileRequests.size(), 1u);
        EXPECT_EQ(platform.saveFileRequests[0].fileName, QStringLiteral("koperta.pdf"));
        EXPECT_TRUE(platform.errors.empty());
    }
}

// The menu's entries are no clicks of the button; a failure there still ends in
// the error box, not in an exception out of the event loop.
TEST(EnvelopePrintDestinations, AFailedPdfShowsTheError)
{
    TempFolder folder{"Admini", "FONT", "Koperty"};
    AppData data{folder.path()};
    ScriptedPlatform platform;
    CurrentPrintFont font;
    Tkoperta_f window{data, platform, font};
    window.initialise();
    platform.saveFileAnswers.push_back(folder / "koperta.pdf");
    platform.pdfFactory = [](const std::filesystem::path& path, PaperSize) -> std::unique_ptr<PrintSurface> {
        throw IoError("Nie można zapisać pliku", path);
    };
    auto* menu = test::control<QToolButton>(window, "SpeedButton7")->findChild<QMenu*>(QStringLiteral("printMenu"));
    ASSERT_NE(menu, nullptr);
    menu->actions().at(static_cast<int>(PrintDestination::Pdf))->trigger();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "koperta.pdf");
}

} // namespace
} // namespace wirtello
