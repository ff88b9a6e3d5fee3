#include "companions/brulion/notes_start.h"
#include "companions/brulion/notes_window.h"

#include "store/safe_file.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QLineEdit>

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

TEST(Brulion, ADamagedNoteIsKeptAsideAndTheUserTold)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    fs::create_directory(program / "brulion");
    test::writeBytes(program / "brulion/007.txt", {'M', 'a', 0xb3, 'g', 'o'});
    OpenNotes notes(program.path(), platform);
    EXPECT_TRUE(notes.edit->toPlainText().isEmpty());
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("007.txt.uszkodzony-20261206-090507")));
    EXPECT_EQ(test::readBytes(program / "brulion/007.txt.uszkodzony-20261206-090507"),
              (std::vector<std::uint8_t>{'M', 'a', 0xb3, 'g', 'o'}));
}

TEST(Brulion, BadArgumentsAndOversizeNotesAreRefused)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    EXPECT_THROW(openNotes({{"007 Łęcka", "../x"}, program.path()}, platform), std::invalid_argument);
    EXPECT_THROW(openNotes({{"007 Łęcka"}, program.path()}, platform), std::invalid_argument);
    fs::create_directory(program / "brulion");
    test::writeBytes(program / "brulion/007.txt", std::vector<std::uint8_t>(kCompanionFileLimit + 1, 'a'));
    EXPECT_THROW(OpenNotes(program.path(), platform), IoError);
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
