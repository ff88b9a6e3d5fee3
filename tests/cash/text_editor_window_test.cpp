#include "cash/text_editor_window.h"
#include "platform/session_end.h"

#include "store/fixed_record.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace wirtello {
namespace {

using test::control;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

const EditorParameters kKp{"\\DOKUMENTY\\kptresc.dat", "Edytor stałej treści", Tlogowania_f::kStoreOnReturn};
const EditorParameters kKw{"\\DOKUMENTY\\kwtresc.dat", "Edytor stałej treści", Tlogowania_f::kStoreOnReturn};

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

struct TextEditor : ::testing::Test {
    TempFolder folder{{"Admini", "DOKUMENTY", "FONT"}};
    AppData data{folder.path()};
    ScriptedPlatform platform;
    CurrentPrintFont printFont;
    Tlogowania_f editor{data, platform, printFont};
    std::filesystem::path kp() const { return folder / "DOKUMENTY" / "kptresc.dat"; }
    std::filesystem::path kw() const { return folder / "DOKUMENTY" / "kwtresc.dat"; }
    QPlainTextEdit* memo() const { return control<QPlainTextEdit>(editor, "Memo1"); }
    // "Powrót", as the user presses it: a failure is shown by its guard.
    void pressReturn() const { control<QToolButton>(editor, "SpeedButton2")->click(); }
    void openWith(const EditorParameters& parameters)
    {
        editor.setParameters(parameters);
        editor.open();
    }
};

TEST_F(TextEditor, SessionEndStoresTypedTextAsReturnDoesAndNothingElse)
{
    openWith({kKw.file, "Notatnik", 1}); // a mode that never stores
    memo()->insertPlainText(QStringLiteral("nie zapisywać")); // as typed
    storeForSessionEnd();
    EXPECT_TRUE(readBytes(kw()).empty());

    openWith(kKp);
    storeForSessionEnd(); // nothing typed: the file is left alone
    EXPECT_TRUE(readBytes(kp()).empty());
    memo()->insertPlainText(QStringLiteral("Czynsz"));
    storeForSessionEnd();
    EXPECT_TRUE(platform.asked.isEmpty());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(readBytes(kp()), bytesOf("Czynsz\r\n"));
}

TEST_F(TextEditor, EachKindEditsItsOwnFileAndOnlyModeTwoStores)
{
    editor.initialise(); // as at start-up: nothing to edit yet
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Notatnik"));
    EXPECT_FALSE(std::filesystem::exists(kp()));

    openWith(kKp); // first use: an empty file
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Edytor stałej treści"));
    EXPECT_TRUE(readBytes(kp()).empty());
    memo()->setPlainText(QStringLiteral("Zaliczka na poczet usługi\n\nZwrot kaucji"));
    pressReturn();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(readBytes(kp()), bytesOf("Zaliczka na poczet us\xB3ugi\r\n\r\nZwrot kaucji\r\n"));

    writeBytes(kw(), bytesOf("Wyp\xB3" "ata"));
    openWith(kKw);
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("Wypłata\n"));
    pressReturn(); // unchanged lines come back CR LF ended
    EXPECT_EQ(readBytes(kw()), bytesOf("Wyp\xB3" "ata\r\n"));
    openWith(kKp);
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("Zaliczka na poczet usługi\n\nZwrot kaucji\n"));

    for (std::uint8_t mode : {0, 1, 3}) {
        openWith({kKw.file, "Notatnik", mode});
        memo()->setPlainText(QStringLiteral("nowe"));
        pressReturn();
        EXPECT_FALSE(editor.isVisible());
        EXPECT_EQ(readBytes(kw()), bytesOf("Wyp\xB3" "ata\r\n")) << int(mode);
    }
}

// "Edytor treści" pressed again while typed text is not stored yet asks first;
// "Anuluj" keeps the window as it is, with the file its text belongs to.
TEST_F(TextEditor, OpeningAgainAsksBeforeDroppingTypedText)
{
    const struct {
        std::optional<Platform::Answer> answer; // nothing: no text typed
        EditorParameters reopened;
        const char* kpAfter;  // kptresc.dat after the second opening
        QString shown;        // the memo then
        const char* kpAtReturn; // after "Powrót"
    } rows[] = {
        {std::nullopt, kKp, "stare\r\n", QStringLiteral("stare\n"), "stare\r\n"},
        {Platform::Answer::Yes, kKp, "stare\r\nnowe\r\n", QStringLiteral("stare\nnowe\n"), "stare\r\nnowe\r\n"},
        {Platform::Answer::No, kKw, "stare\r\n", QStringLiteral("inne\n"), "stare\r\n"},
        {Platform::Answer::Cancel, kKw, "stare\r\n", QStringLiteral("stare\nnowe"), "stare\r\nnowe\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer ? static_cast<int>(*row.answer) : -1);
        writeBytes(kp(), bytesOf("stare\r\n"));
        writeBytes(kw(), bytesOf("inne\r\n"));
        openWith(kKp);
        if (row.answer) {
            memo()->moveCursor(QTextCursor::End);
            memo()->insertPlainText(QStringLiteral("nowe"));
            platform.threeWayAnswers.push_back(*row.answer);
        }
        platform.asked.clear();
        openWith(row.reopened);
        EXPECT_EQ(platform.asked.size(), row.answer ? 1 : 0);
        EXPECT_EQ(readBytes(kp()), bytesOf(row.kpAfter));
        EXPECT_EQ(memo()->toPlainText(), row.shown);
        EXPECT_TRUE(editor.isVisible());
        pressReturn();
        EXPECT_EQ(readBytes(kp()), bytesOf(row.kpAtReturn));
        EXPECT_EQ(readBytes(kw()), bytesOf("inne\r\n"));
    }
}

TEST_F(TextEditor, FileFailuresShowTheErrorBoxAndLoseNothing)
{
    std::filesystem::remove_all(folder / "DOKUMENTY");
    openWith(kKp);
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_FALSE(editor.isVisible());

    // A write-protected file: the window stays open with the typed text.
    std::filesystem::create_directories(folder / "DOKUMENTY");
    writeBytes(kp(), bytesOf("stare\r\n"));
    ::chmod(kp().c_str(), 0444);
    openWith(kKp);
    memo()->setPlainText(QStringLiteral("nowe"));
    pressReturn();
    ::chmod(kp().c_str(), 0644);
    EXPECT_EQ(platform.errors.size(), 2u);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(readBytes(kp()), bytesOf("stare\r\n"));

    // The other kind's file cannot be read while this one is open: this text
    // must not be stored under the other kind's name.
    std::filesystem::create_directories(kw());
    openWith(kKw);
    EXPECT_EQ(platform.errors.size(), 3u);
    pressReturn();
    EXPECT_TRUE(std::filesystem::is_directory(kw()));
    EXPECT_EQ(readBytes(kp()), bytesOf("nowe\r\n"));
}

TEST_F(TextEditor, MemoAndPrintoutUseTheStoredPrintFont)
{
    PrintFontRecord font;
    font.setColour(0x00800000);
    font.setFace("Courier New");
    font.setPoints(14);
    font.setStyle(FontStyle::Italic | FontStyle::Underline);
    storeRecord(folder / "FONT" / kPrintFontFile, font);
    writeBytes(kp(), bytesOf("Wp\xB3" "ata\r\nZwrot\r\n"));

    openWith(kKp);
    const QFont memoFont = memo()->font();
    EXPECT_EQ(memoFont.family(), QStringLiteral("Courier New"));
    EXPECT_EQ(memoFont.pointSize(), 14);
    EXPECT_TRUE(memoFont.italic() && memoFont.underline() && !memoFont.bold());
    EXPECT_EQ(memo()->palette().color(QPalette::Text), QColor(0x00, 0x00, 0x80));

    RecordingPrintSurface surface(300, 300);
    platform.printerFactory = [&surface] { return surface.proxy(); };
    memo()->moveCursor(QTextCursor::End); // typed on the line after the last one read
    memo()->insertPlainText(QStringLiteral("Dopisana"));
    control<QToolButton>(editor, "SpeedButton1")->click();
    EXPECT_TRUE(platform.errors.empty());
    ASSERT_EQ(surface.texts.size(), 4u);
    EXPECT_EQ(surface.texts[0].text, "Edytor stałej treści");
    const auto& last = surface.texts[3];
    EXPECT_EQ(last.text, "Dopisana");
    EXPECT_EQ(last.face, "Courier New");
    EXPECT_EQ(last.style, FontStyle::Italic | FontStyle::Underline);
    EXPECT_EQ(last.colour, 0x00800000);
    EXPECT_EQ(last.y, 26 * 12);
}

// A printout that fails shows the error box, whether "Drukuj" was clicked or
// an entry of its menu chosen, and the typed text stays.
TEST_F(TextEditor, FailedPrintoutsShowTheErrorBoxFromTheButtonAndItsMenu)
{
    const auto failing = [](auto&&...) -> std::unique_ptr<PrintSurface> {
        throw IoError("Nie można zapisać pliku", "tekst.pdf");
    };
    platform.printerFactory = failing;
    platform.previewFactory = failing;
    platform.pdfFactory = failing;
    openWith(kKp);
    memo()->setPlainText(QStringLiteral("nowe"));
    auto* print = control<QToolButton>(editor, "SpeedButton1");
    print->click();
    auto* menu = control<QMenu>(print, "printMenu");
    platform.saveFileAnswers.push_back(folder / "tekst.pdf");
    for (PrintDestination destination : {PrintDestination::Preview, PrintDestination::Pdf})
        menu->actions().at(static_cast<int>(destination))->trigger();
    ASSERT_EQ(platform.errors.size(), 3u);
    EXPECT_EQ(platform.errors[2].operation(), "Nie można zapisać pliku");
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("nowe"));
}

} // namespace
} // namespace wirtello
