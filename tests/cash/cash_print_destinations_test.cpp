// The cash document's and the text editor's printouts previewed and saved as PDF.
#include "cash/cash_document_window.h"

#include "cash/numbering_file.h"
#include "tests/cash/numbering_bytes.h"
#include "tests/cash/cash_window_fixture.h"
#include "tests/support/window_controls.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace wirtello {
namespace {

using test::numberingBytes;
using test::readBytes;
using test::writeBytes;

// The calls with the document title line replaced by a marker, so two
// printouts can be compared apart from their number.
std::vector<std::string> withoutTitle(const std::vector<std::string>& calls)
{
    std::vector<std::string> result;
    for (const std::string& call : calls)
        result.push_back(call.find("Dowód") != std::string::npos ? "title" : call);
    return result;
}

std::string titleOf(const RecordingPrintSurface& surface)
{
    for (const auto& text : surface.texts)
        if (text.text.starts_with("Dowód"))
            return text.text;
    return {};
}

struct Windows : test::CashWindowFixture {
    RecordingPrintSurface drawn; // preview and PDF

    Windows()
    {
        platform.previewFactory = [this] { return drawn.proxy(); };
        platform.pdfFactory = [this](const std::filesystem::path&, PaperSize) { return drawn.proxy(); };
    }

    void openKw()
    {
        open(DocumentKind::Kw);
        DocumentLines lines = kp.documentLines();
        lines.descriptions[0] = "Zaliczka";
        lines.amounts[0] = "120.50";
        kp.setDocumentLines(lines);
    }

    // Sends the printout to `destination` through the print button's menu.
    void chooseFromMenu(QToolButton* button, PrintDestination destination)
    {
        if (destination == PrintDestination::Pdf)
            platform.saveFileAnswers.push_back(folder / "wydruk.pdf");
        auto* menu = button->findChild<QMenu*>(QStringLiteral("printMenu"));
        ASSERT_NE(menu, nullptr);
        menu->actions().at(static_cast<int>(destination))->trigger();
    }

    std::filesystem::path nrkw() const { return folder / "DOKUMENTY/nrkw.dat"; }
};

TEST(CashPrintDestinations, PreviewAndPdfShowTheNextNumberAndTakeNone)
{
    struct Row {
        const char* name;
        PrintDestination destination;
        std::string extension;
    };
    const Row rows[] = {
        {"preview", PrintDestination::Preview, "2026"},
        {"pdf", PrintDestination::Pdf, "2026"},
        {"preview, no extension", PrintDestination::Preview, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Windows w;
        w.openKw();
        writeBytes(w.nrkw(), numberingBytes(41, row.extension));
        test::control<QLineEdit>(w.kp, "numerkp")->setText(QStringLiteral("40"));

        w.chooseFromMenu(test::control<QToolButton>(w.kp, "SpeedButton13"), row.destination);
        ASSERT_EQ(w.drawn.jobsEnded, 1);
        EXPECT_EQ(titleOf(w.drawn), "Dowód wypłaty KW nr 41/" + row.extension + " (podgląd)");
        EXPECT_EQ(readBytes(w.nrkw()), numberingBytes(41, row.extension));
        EXPECT_EQ(test::control<QLineEdit>(w.kp, "numerkp")->text(), QStringLiteral("40"));
        EXPECT_EQ(w.platform.printerRequests, 0);

        // The print that follows takes that number and draws the same page.
        test::control<QToolButton>(w.kp, "SpeedButton13")->click();
        ASSERT_EQ(w.printer.jobsEnded, 1);
        EXPECT_EQ(titleOf(w.printer), "Dowód wypłaty KW nr 41/" + row.extension);
        EXPECT_EQ(withoutTitle(w.drawn.calls), withoutTitle(w.printer.calls));
        EXPECT_EQ(readBytes(w.nrkw()), numberingBytes(42, row.extension));
        EXPECT_TRUE(w.platform.errors.empty());
    }
}

TEST(CashPrintDestinations, PrintingFromThePreviewNumbersTheDocumentOnce)
{
    Windows w;
    w.openKw();
    w.platform.previewDraws = 2; // the page settings were changed once
    w.platform.previewPrintAnswers.push_back(true);
    w.chooseFromMenu(test::control<QToolButton>(w.kp, "SpeedButton13"), PrintDestination::Preview);
    EXPECT_EQ(w.drawn.jobsEnded, 2);
    EXPECT_EQ(w.printer.jobsEnded, 1);
    EXPECT_EQ(titleOf(w.printer), "Dowód wypłaty KW nr 1/");
    EXPECT_EQ(readBytes(w.nrkw()), numberingBytes(2, ""));
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "numerkp")->text(), QStringLiteral("1"));
    ASSERT_EQ(w.platform.previews.size(), 1u);
    EXPECT_EQ(w.platform.previews[0].title, QStringLiteral("Dowód wypłaty KW"));
}

TEST(CashPrintDestinations, DamagedNumberingIsAnErrorInThePreviewToo)
{
    Windows w;
    w.openKw();
    const std::vector<std::uint8_t> damaged = {1, 0, 0}; // shorter than a record
    writeBytes(w.nrkw(), damaged);
    w.chooseFromMenu(test::control<QToolButton>(w.kp, "SpeedButton13"), PrintDestination::Pdf);
    EXPECT_EQ(w.platform.errors.size(), 1u);
    EXPECT_EQ(w.drawn.jobsStarted, 0);
    EXPECT_EQ(readBytes(w.nrkw()), damaged);
}

// A stored number that no document can bear is explained, not called damage,
// by the print and by the preview alike.
TEST(CashPrintDestinations, NumbersThatCannotBeGivenAreExplainedEverywhere)
{
    const struct {
        std::int32_t number;
        const char* what;
    } numbers[] = {
        {-3, "zawiera numer ujemny (-3)"},
        {2147483647, "Numeracja dokumentów doszła do końca"},
    };
    for (const auto& number : numbers) {
        for (const PrintDestination destination : {PrintDestination::Printer, PrintDestination::Preview}) {
            SCOPED_TRACE(number.number);
            Windows w;
            w.openKw();
            writeBytes(w.nrkw(), numberingBytes(number.number, ""));
            w.chooseFromMenu(test::control<QToolButton>(w.kp, "SpeedButton13"), destination);
            ASSERT_EQ(w.platform.informed.size(), 1);
            const QString message = w.platform.informed[0];
            EXPECT_TRUE(message.contains(QString::fromUtf8(number.what))) << message.toStdString();
            EXPECT_TRUE(message.contains(QStringLiteral("„Zapisz parametry”"))) << message.toStdString();
            EXPECT_TRUE(w.platform.errors.empty());
            EXPECT_EQ(w.printer.jobsStarted + w.drawn.jobsStarted, 0);
            EXPECT_EQ(readBytes(w.nrkw()), numberingBytes(number.number, ""));
        }
    }
}

// A damaged numbering file is an error box however the printout is asked
// for: the button or any entry of its menu.
TEST(CashPrintDestinations, ADamagedNumberingFileIsAnErrorFromEveryEntry)
{
    for (const int entry : {-1, 0, 1, 2}) {
        SCOPED_TRACE(entry);
        Windows w;
        w.openKw();
        writeBytes(w.nrkw(), {1, 0, 0});
        auto* print = test::control<QToolButton>(w.kp, "SpeedButton13");
        if (entry < 0)
            print->click();
        else
            w.chooseFromMenu(print, static_cast<PrintDestination>(entry));
        EXPECT_EQ(w.platform.errors.size(), 1u);
        EXPECT_EQ(w.printer.jobsEnded + w.drawn.jobsEnded, 0);
        EXPECT_EQ(readBytes(w.nrkw()), (std::vector<std::uint8_t>{1, 0, 0}));
    }
}

TEST(EditorPrintDestinations, PreviewAndPdfDrawWhatThePrinterGets)
{
    Windows w;
    test::control<QPlainTextEdit>(w.editor, "Memo1")->setPlainText(QStringLiteral("Pierwszy wiersz\nDrugi wiersz z ąę"));
    test::control<QToolButton>(w.editor, "SpeedButton1")->click();
    ASSERT_EQ(w.printer.jobsEnded, 1);
    for (const PrintDestination destination : {PrintDestination::Preview, PrintDestination::Pdf}) {
        SCOPED_TRACE(static_cast<int>(destination));
        w.drawn.calls.clear();
        w.chooseFromMenu(test::control<QToolButton>(w.editor, "SpeedButton1"), destination);
        EXPECT_EQ(w.drawn.calls, w.printer.calls);
    }
    EXPECT_EQ(w.platform.printerRequests, 1);
    ASSERT_EQ(w.platform.pdfFiles.size(), 1u);
    EXPECT_EQ(w.platform.pdfFiles[0].second, PaperSize::A4);
    EXPECT_TRUE(w.platform.errors.empty());
}

} // namespace
} // namespace wirtello
