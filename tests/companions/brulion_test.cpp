#include "companions/brulion/notes_start.h"
#include "companions/brulion/notes_window.h"
#include "companions/companion_kit/document_watch.h"

#include "store/safe_file.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/companions/companion_window_checks.h"
#include "platform/session_end.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::readText;

struct OpenNotes {
    explicit OpenNotes(const fs::path& programFolder, ScriptedPlatform& platform,
                       const std::string& entry = "007 Łęcka Żółć")
        : widget(openNotes({{entry, "007"}, programFolder}, platform)),
          window(dynamic_cast<NotesWindow*>(widget.get())),
          edit(widget ? widget->findChild<QPlainTextEdit*>("noteEdit") : nullptr)
    {
        if (widget)
            widget->show();
    }
    std::unique_ptr<QWidget> widget;
    NotesWindow* window;
    QPlainTextEdit* edit;
};

} // namespace

// Typed text is on disk, byte for byte, after Ctrl+S or when the window
// closes, and the next opening shows it under the entry text.
TEST(Brulion, TypedNotesAreStoredAndShownAtTheNextOpening)
{
    enum class End { Save, Close, Destroy };
    const struct {
        End end;
        std::string typed;
    } rows[] = {{End::Save, "Łęcka: oddzwonić\nŻółć"}, {End::Close, "Spotkanie w piątek.\n"}, {End::Destroy, "Ż"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        test::TempFolder program;
        ScriptedPlatform platform;
        const fs::path file = program / "brulion/007.txt";
        {
            OpenNotes notes(program.path(), platform);
            ASSERT_NE(notes.window, nullptr);
            EXPECT_EQ(notes.window->windowTitle(), QStringLiteral("007 Łęcka Żółć"));
            notes.edit->insertPlainText(QString::fromStdString(row.typed + "x"));
            notes.edit->undo();
            notes.edit->insertPlainText(QString::fromStdString(row.typed));
            if (row.end == End::Close)
                EXPECT_TRUE(notes.window->close());
            else if (row.end == End::Save)
                EXPECT_TRUE(notes.window->store());
            else
                notes.widget.reset(); // the program ends without closing its window
            EXPECT_EQ(readText(file), row.typed);
        }
        OpenNotes again(program.path(), platform);
        EXPECT_EQ(again.edit->toPlainText().toStdString(), row.typed);
        EXPECT_TRUE(platform.informed.isEmpty());
    }
}

// A second start for the same contact on this machine brings the running
// window up instead of opening another; another holder of the lock (a copy
// on another workstation) gets a read-only window that says so.
TEST(Brulion, TheSecondCopyNeverOverwritesTheFirst)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    OpenNotes first(program.path(), platform);
    first.window->hide();
    OpenNotes second(program.path(), platform);
    EXPECT_EQ(second.widget, nullptr);
    for (int i = 0; i < 20 && !first.window->isVisible(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(first.window->isVisible());

    first.edit->insertPlainText(QStringLiteral("pierwsza"));
    EXPECT_TRUE(first.window->close());
    first.widget.reset();
    DocumentAccess elsewhere = openDocumentAccess(program / "brulion/007.txt");
    OpenNotes readOnly(program.path(), platform);
    ASSERT_NE(readOnly.window, nullptr);
    EXPECT_TRUE(readOnly.edit->isReadOnly());
    const auto* note = readOnly.widget->findChild<QLabel*>("readOnlyLabel");
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text(), QStringLiteral("Dokument jest otwarty w innym oknie — tylko do odczytu."));
    readOnly.edit->insertPlainText(QStringLiteral("druga"));
    readOnly.window->store();
    EXPECT_TRUE(readOnly.window->close());
    EXPECT_EQ(readText(program / "brulion/007.txt"), "pierwsza");
}

// Closing asks only when the store fails; "Nie" keeps the window and its text.
TEST(Brulion, AFailedStoreOnClosingAsks)
{
    for (const bool closeAnyway : {false, true}) {
        test::TempFolder program;
        ScriptedPlatform platform;
        OpenNotes notes(program.path(), platform);
        writeCompanionText(program / "brulion/007.txt", "stara");
        fs::permissions(program / "brulion/007.txt", fs::perms::owner_read);
        notes.edit->insertPlainText(QStringLiteral("nowa"));
        platform.askAnswers = {closeAnyway};
        EXPECT_EQ(notes.window->close(), closeAnyway);
        ASSERT_EQ(platform.asked.size(), 1);
        EXPECT_TRUE(platform.asked[0].startsWith(QStringLiteral("Nie można zapisać notatki:")));
        EXPECT_EQ(readText(program / "brulion/007.txt"), "stara");
    }
}

// A note that is not UTF-8 is offered to be read as Windows-1250 and is then
// stored in UTF-8; refused both times, it is shown read-only up to its first
// bad line and the file stays as it was.
TEST(Brulion, ANoteInWindows1250IsOfferedToBeReadAsSuch)
{
    const std::vector<std::uint8_t> cp1250 = {'W', 'i', 't', 'a', 'j', '\r', '\n', 'M', 'a', 0xb3, 'g', 'o', 's', 'i', 'a'};
    for (const bool asWindows1250 : {true, false}) {
        test::TempFolder program;
        ScriptedPlatform platform;
        const fs::path file = program / "brulion/007.txt";
        fs::create_directory(program / "brulion");
        test::writeBytes(file, cp1250);
        platform.askAnswers = asWindows1250 ? std::deque<bool>{true} : std::deque<bool>{false, false};
        {
            OpenNotes notes(program.path(), platform);
            EXPECT_TRUE(platform.asked[0].contains(QStringLiteral("wiersz 2"))) << platform.asked[0].toStdString();
            EXPECT_EQ(notes.edit->toPlainText(), asWindows1250 ? QStringLiteral("Witaj\nMałgosia") : QStringLiteral("Witaj\n"));
            EXPECT_EQ(notes.edit->isReadOnly(), !asWindows1250);
            EXPECT_TRUE(notes.window->close());
        }
        EXPECT_EQ(readText(file), asWindows1250 ? "Witaj\r\nMałgosia" : std::string(cp1250.begin(), cp1250.end()));
    }
}

// Storing writes the text as it stands: no-break spaces, line and paragraph
// separators and each line's own end (CR LF, CR, LF) stay; a line the user
// adds ends as the file's first line does.
TEST(Brulion, StoringKeepsCharactersAndLineEndsTheUserNeverTouched)
{
    const struct {
        std::string file;
        QString typed; // at the end
        std::string stored;
    } rows[] = {
        {"Pani\u00a0Łęcka\r\nul.\u00a0Polna\r\n", QStringLiteral("tel."), "Pani\u00a0Łęcka\r\nul.\u00a0Polna\r\ntel."},
        {"stary\rMac\r", QStringLiteral("x\ny"), "stary\rMac\rx\ry"},
        {"a\u2028b\u2029c\r\nd", QStringLiteral("\n!"), "a\u2028b\u2029c\r\nd\r\n!"},
        {"mieszane\r\nLF\nCR\rkoniec", QStringLiteral("\nnowy"), "mieszane\r\nLF\nCR\rkoniec\r\nnowy"},
        {"", QStringLiteral("1\n2"), "1\n2"},
    };
    for (const auto& row : rows) {
        test::TempFolder program;
        ScriptedPlatform platform;
        test::writeText(program / "brulion/007.txt", row.file);
        OpenNotes notes(program.path(), platform);
        notes.edit->moveCursor(QTextCursor::End);
        notes.edit->insertPlainText(row.typed);
        EXPECT_TRUE(notes.window->store());
        EXPECT_EQ(readText(program / "brulion/007.txt"), row.stored) << row.file;
    }
}

// Ctrl+Y redoes, as the "Ponów" button's tip says.
TEST(Brulion, CtrlYRedoes)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    OpenNotes notes(program.path(), platform);
    notes.edit->insertPlainText(QStringLiteral("Łęcka"));
    notes.edit->undo();
    QKeyEvent redo(QEvent::KeyPress, Qt::Key_Y, Qt::ControlModifier);
    QApplication::sendEvent(notes.edit, &redo);
    EXPECT_EQ(notes.edit->toPlainText(), QStringLiteral("Łęcka"));
}

// A note that would outgrow what the reader opens is refused with the
// message that says what to do; the text stays, and closing asks.
TEST(Brulion, ANoteThatWouldOutgrowItsFileIsRefused)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    const fs::path file = program / "brulion/007.txt";
    std::string text;
    while (text.size() + 100 < kCompanionFileLimit)
        text += std::string(99, 'a') + '\n';
    test::writeText(file, text);
    OpenNotes notes(program.path(), platform);
    notes.edit->moveCursor(QTextCursor::End);
    notes.edit->insertPlainText(QString(120, QLatin1Char('b')));
    EXPECT_FALSE(notes.window->store());
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].operation(), DocumentTooLarge(file, kCompanionFileLimit).operation());
    EXPECT_TRUE(notes.edit->toPlainText().endsWith(QString(120, QLatin1Char('b'))));
    platform.askAnswers = {false};
    EXPECT_FALSE(notes.window->close());
    EXPECT_TRUE(platform.asked[0].startsWith(QStringLiteral("Nie można zapisać notatki:")));
    EXPECT_EQ(readText(file), text);
    notes.edit->document()->setModified(false); // nothing left to store when the test ends
}

// A read-only copy (the note open on another workstation) shows what the
// other copy stores and, once that one has closed, offers to take over.
TEST(Brulion, AReadOnlyCopyFollowsTheNoteAndMayTakeOver)
{
    for (const bool takeOver : {true, false}) {
        test::TempFolder program;
        ScriptedPlatform platform;
        const fs::path file = program / "brulion/007.txt";
        test::writeText(file, "pierwsza");
        std::optional<DocumentAccess> elsewhere = openDocumentAccess(file);
        OpenNotes notes(program.path(), platform);
        auto* watch = notes.widget->findChild<DocumentWatch*>();
        ASSERT_NE(watch, nullptr);
        writeCompanionText(file, "pierwsza\r\ndruga");
        watch->check();
        EXPECT_EQ(notes.edit->toPlainText(), QStringLiteral("pierwsza\ndruga"));

        elsewhere.reset(); // the other copy closes
        platform.askAnswers = {takeOver};
        watch->check();
        EXPECT_EQ(platform.asked, QStringList{QString::fromUtf8(kTakeOverQuestion)});
        EXPECT_EQ(notes.edit->isReadOnly(), !takeOver);
        notes.edit->moveCursor(QTextCursor::End);
        notes.edit->insertPlainText(QStringLiteral("\ntrzecia"));
        notes.window->store();
        EXPECT_EQ(readText(file), takeOver ? "pierwsza\r\ndruga\r\ntrzecia" : "pierwsza\r\ndruga") << takeOver;
    }
}

TEST(Brulion, BadArgumentsAndOversizeNotesAreRefused)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    EXPECT_THROW(openNotes({{"007 Łęcka", "../x"}, program.path()}, platform), std::invalid_argument);
    EXPECT_THROW(openNotes({{"007 Łęcka"}, program.path()}, platform), std::invalid_argument);
    fs::create_directory(program / "brulion");
    test::writeBytes(program / "brulion/007.txt", std::vector<std::uint8_t>(kCompanionFileLimit + 1, 'a'));
    {
        // Shown, and the window stays read-only with nothing in it.
        OpenNotes notes(program.path(), platform);
        EXPECT_EQ(platform.errors.size(), 1u);
        EXPECT_TRUE(notes.edit->isReadOnly());
        EXPECT_TRUE(notes.edit->toPlainText().isEmpty());
    }
    EXPECT_EQ(fs::file_size(program / "brulion/007.txt"), kCompanionFileLimit + 1);
}

// F5 puts the date and time at the cursor; find goes on from the top and
// says when there is nothing; the printout carries the entry text and lines.
TEST(Brulion, DateFindAndPrint)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    OpenNotes notes(program.path(), platform);
    notes.edit->setPlainText(QStringLiteral("Ala ma kota.\nPani Łęcka dzwoniła: "));
    notes.edit->moveCursor(QTextCursor::End);
    notes.window->insertDateTime();
    EXPECT_EQ(notes.edit->toPlainText(), QStringLiteral("Ala ma kota.\nPani Łęcka dzwoniła: 06.12.2026 09:05"));

    auto* find = notes.widget->findChild<QLineEdit*>("findEdit");
    find->setText(QStringLiteral("ŁĘCKA"));
    EXPECT_TRUE(notes.window->findNext());
    EXPECT_EQ(notes.edit->textCursor().selectedText(), QStringLiteral("Łęcka"));
    EXPECT_TRUE(notes.window->findNext()); // from the top again
    find->setText(QStringLiteral("żółw"));
    EXPECT_FALSE(notes.window->findNext());
    EXPECT_EQ(notes.widget->findChild<QLabel*>("statusLabel")->text(), QStringLiteral("Nie znaleziono „żółw”."));

    RecordingPrintSurface drawn;
    platform.saveFileAnswers = {program / "notatki.pdf"};
    platform.pdfFactory = [&drawn](const fs::path&, PaperSize) { return drawn.proxy(); };
    notes.window->print(PrintDestination::Pdf);
    std::vector<std::string> texts;
    for (const auto& text : drawn.texts)
        texts.push_back(text.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"007 Łęcka Żółć", "Ala ma kota.", "Pani Łęcka dzwoniła: 06.12.2026 09:05"}));
}

// The end of the desktop session stores a typed note as the close does, asking
// nothing; a read-only copy and an untouched note write nothing.
TEST(Brulion, SessionEndStoresTheNoteWithoutAsking)
{
    const struct {
        const char* name;
        bool heldElsewhere; // another copy holds the lock: the window is read-only
        std::string typed;
        std::optional<std::string> onDisk;
    } cases[] = {
        {"typed", false, "Oddzwonić, Łęcka", "Oddzwonić, Łęcka"},
        {"untouched", false, "", std::nullopt},
        {"read-only copy", true, "nie moje", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder program;
        ScriptedPlatform platform;
        const fs::path file = program / "brulion/007.txt";
        std::optional<DocumentAccess> elsewhere;
        if (c.heldElsewhere) {
            test::writeText(file, "");
            elsewhere = openDocumentAccess(file);
        }
        OpenNotes notes(program.path(), platform);
        ASSERT_NE(notes.edit, nullptr);
        if (!c.typed.empty()) {
            notes.edit->setReadOnly(false); // as if typed anyway
            notes.edit->insertPlainText(QString::fromStdString(c.typed));
        }
        storeForSessionEnd();
        std::error_code error;
        EXPECT_EQ(fs::exists(file, error) ? std::optional(readText(file)) : std::nullopt, c.onDisk);
        EXPECT_TRUE(platform.asked.isEmpty());
    }
}

// By keys alone: the window takes the keyboard when shown, Tab stays in the
// note and Ctrl+Tab leaves it, every button is on the Tab round with its own
// Alt letter, Escape closes storing the note, and a screen reader finds a
// name on every control.
TEST(Brulion, KeyboardAndScreenReaderReachEverything)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    OpenNotes notes(program.path(), platform);
    ASSERT_TRUE(QTest::qWaitForWindowActive(notes.widget.get()));
    EXPECT_EQ(test::namelessControls(notes.widget.get()), QStringList());
    EXPECT_EQ(test::spokenName(notes.edit), QStringLiteral("Notatka"));
    EXPECT_EQ(test::spokenName(notes.widget->findChild<QLineEdit*>("findEdit")), QStringLiteral("Znajdź:"));
    EXPECT_EQ(test::repeatedAltLetters(notes.widget.get()), QStringList());

    EXPECT_EQ(test::focusAfter(notes.edit, Qt::Key_Tab), notes.edit);
    EXPECT_EQ(notes.edit->toPlainText(), QStringLiteral("\t"));
    EXPECT_EQ(test::focusAfter(notes.edit, Qt::Key_Tab, Qt::ControlModifier)->objectName(), QStringLiteral("findEdit"));
    EXPECT_EQ(test::focusAfter(notes.edit, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier)->objectName(),
              QStringLiteral("closeButton"));
    EXPECT_EQ(notes.edit->toPlainText(), QStringLiteral("\t"));

    const QList<QWidget*> round = test::tabRoundFrom(notes.widget->findChild<QWidget*>("saveButton"));
    for (QAbstractButton* button : notes.widget->findChildren<QAbstractButton*>())
        if (button->isEnabled()) {
            EXPECT_TRUE(round.contains(button)) << button->objectName().toStdString();
        }

    QTest::keyClick(notes.widget->findChild<QWidget*>("findEdit"), Qt::Key_Escape);
    EXPECT_FALSE(notes.widget->isVisible());
    EXPECT_EQ(readText(program / "brulion/007.txt"), "\t");
}
