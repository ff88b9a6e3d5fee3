#include "companions/skarbiec/archiver_window.h"
#include "companions/skarbiec/zip_archive.h"

#include "store/companion_config.h"
#include "store/restore_journal.h"
#include "tests/companions/companion_test_files.h"
#include "tests/companions/companion_window_checks.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::control;
using test::writeText;

} // namespace

// What the user is asked and told: the unpacked size before restoring, where
// the replaced files went after, and why an archive is refused before asking;
// the buttons are clicked and the status line below them read back.
TEST(ArchiverWindow, RestoreAsksWithTheSizeAndTellsWhereReplacedFilesWent)
{
    const struct {
        bool linkOut; // "Koperty/linkdir" turns into a link out of the folder after archiving
        const char* asked;
        const char* told;
        const char* status;
    } rows[] = {
        {false, "(plików: 2, po rozpakowaniu: 1,5 KB)",
         "Przywrócono plików: 2.\nPoprzednie wersje zastąpionych plików (1) są w folderze:\n",
         "Przywrócono archiwum wirtello-2026-12-06-090507.zip."},
        {true, nullptr,
         "prowadzi przez dowiązanie poza folder programu:\nKoperty/linkdir/x\n\n"
         "Archiwum odrzucono; nie przywrócono żadnego pliku.",
         "Archiwum odrzucone."},
    };
    for (const auto& row : rows) {
        test::TempFolder program;
        test::TempFolder outside;
        writeText(program / "ADMINI/firma.dat", std::string(1535, 'a'));
        writeText(program / "Koperty/linkdir/x", "x");
        writeCompanionConfig(program.path());
        ScriptedPlatform platform;
        ArchiverWindow window(platform, program.path(), readCompanionConfig(program.path()));
        control<QToolButton>(window, "SpeedButton1")->click();
        ASSERT_EQ(platform.informed.size(), 1);

        writeText(program / "ADMINI/firma.dat", "zmienione");
        if (row.linkOut) {
            fs::remove_all(program / "Koperty/linkdir");
            fs::create_directory_symlink(outside.path(), program / "Koperty/linkdir");
        } else {
            fs::remove_all(program / "Koperty");
            platform.askAnswers = {true};
        }
        platform.openFileAnswers = {program / "Archiwa/wirtello-2026-12-06-090507.zip"};
        control<QToolButton>(window, "SpeedButton2")->click();

        ASSERT_EQ(platform.asked.size(), row.asked ? 1 : 0);
        if (row.asked) {
            EXPECT_TRUE(platform.asked[0].contains(QString::fromUtf8(row.asked))) << platform.asked[0].toStdString();
        }
        ASSERT_EQ(platform.informed.size(), 2);
        EXPECT_TRUE(platform.informed[1].contains(QString::fromUtf8(row.told))) << platform.informed[1].toStdString();
        EXPECT_EQ(control<QLabel>(window, "Label3")->text(), QString::fromUtf8(row.status));
        EXPECT_TRUE(fs::is_empty(outside.path()));
        if (!row.linkOut) {
            EXPECT_TRUE(platform.informed[1].endsWith(QString::fromStdString(
                (program / "Archiwa/przed-przywroceniem-2026-12-06-090507").string())));
        }
    }
}

// "Archiwa" is reached and closed by keys alone: it takes the keyboard when
// shown, Tab visits both buttons, each has its own Alt letter, every control
// has a name, and Escape, Ctrl+W and Alt+F4 close it (it has no close button).
TEST(ArchiverWindow, KeysReachTheButtonsAndCloseTheWindow)
{
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } closers[] = {{Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_W, Qt::ControlModifier}, {Qt::Key_F4, Qt::AltModifier}};
    for (const auto& c : closers) {
        SCOPED_TRACE(QKeySequence(c.key | c.modifiers).toString().toStdString());
        test::TempFolder program;
        ScriptedPlatform platform;
        ArchiverWindow window(platform, program.path(), std::nullopt);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        EXPECT_FALSE(window.windowTitle().trimmed().isEmpty());
        EXPECT_EQ(test::namelessControls(&window), QStringList());
        EXPECT_EQ(test::repeatedAltLetters(&window), QStringList());
        auto* create = control<QToolButton>(window, "SpeedButton1");
        auto* restore = control<QToolButton>(window, "SpeedButton2");
        EXPECT_EQ(test::tabRoundFrom(create), (QList<QWidget*>{create, restore}));
        QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers);
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(platform.informed.isEmpty());
    }
}

// A restore cut off half way is finished when the archiver starts, and the
// user is told; a start with nothing to finish says nothing.
TEST(ArchiverWindow, StartFinishesARestoreCutOffAndSaysWhatWasDone)
{
    const struct {
        bool cutOff;
        const char* told;
    } rows[] = {
        {true, "Przywracanie archiwum kopia.zip zostało przerwane w połowie. Dokończono je: przywrócono plików: 1."},
        {false, nullptr},
    };
    for (const auto& row : rows) {
        test::TempFolder program;
        writeText(program / "ADMINI/firma.dat", "sprzed przywracania");
        const fs::path staging = program / ".skarbiec-przywracanie-2026-12-07-120000";
        if (row.cutOff) {
            writeText(staging / "0", "z archiwum");
            RestoreJournal journal;
            journal.archiveName = "kopia.zip";
            journal.files = {{"0", "ADMINI/firma.dat", ""}};
            writeRestoreJournal(staging, journal);
        }
        ScriptedPlatform platform;
        ArchiverWindow window(platform, program.path(), std::nullopt);
        window.finishInterruptedRestores();
        if (row.told) {
            ASSERT_EQ(platform.informed.size(), 1);
            EXPECT_EQ(platform.informed[0], QString::fromUtf8(row.told));
        } else {
            EXPECT_TRUE(platform.informed.isEmpty());
        }
        EXPECT_EQ(test::readText(program / "ADMINI/firma.dat"), row.cutOff ? "z archiwum" : "sprzed przywracania");
        EXPECT_FALSE(fs::exists(staging));
    }
}

// "Utwórz archiwum" names what it left out because a link leads out of the
// program folder, and a linked "Archiwa" is refused with the reason.
TEST(ArchiverWindow, CreateNamesWhatLinksLeadingOutKeptFromTheArchive)
{
    const struct {
        const char* linked;
        const char* told;  // part of the message box, or empty
        const char* error; // part of the error box's operation, or empty
    } rows[] = {
        {"brulion", "Pominięto dowiązania prowadzące poza folder programu (ich pliki nie trafiły do archiwum):\nbrulion",
         ""},
        {"Archiwa", "", "folder Archiwa jest dowiązaniem prowadzącym poza folder programu"},
    };
    for (const auto& row : rows) {
        test::TempFolder program;
        test::TempFolder outside;
        writeText(program / "ADMINI/firma.dat", "firma");
        fs::create_directory_symlink(outside.path(), program / row.linked);
        writeCompanionConfig(program.path());
        ScriptedPlatform platform;
        ArchiverWindow window(platform, program.path(), readCompanionConfig(program.path()));
        control<QToolButton>(window, "SpeedButton1")->click();
        if (*row.told != '\0') {
            ASSERT_EQ(platform.informed.size(), 1);
            EXPECT_TRUE(platform.informed[0].endsWith(QString::fromUtf8(row.told))) << platform.informed[0].toStdString();
        } else {
            ASSERT_EQ(platform.errors.size(), 1u);
            EXPECT_NE(platform.errors[0].operation().find(row.error), std::string::npos);
            EXPECT_EQ(control<QLabel>(window, "Label3")->text(), QStringLiteral("Nie utworzono archiwum."));
        }
        EXPECT_TRUE(fs::is_empty(outside.path())) << row.linked;
    }
}
