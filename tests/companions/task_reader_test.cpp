// The task reader (przeglad): every contact's open tasks in one list, the
// filters, files it cannot read, marks merged into the contact's file, the
// contact's calendar started, the export read back by another reader.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/companion_files.h"
#include "companions/przeglad/overview_window.h"
#include "companions/przeglad/task_overview.h"
#include "platform/command_line.h"
#include "store/safe_file.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/companions/companion_window_checks.h"
#include "platform/session_end.h"
#include "tests/support/temp_folder.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <stdexcept>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::writeText;

std::string todo(const std::string& uid, const std::string& title, const std::string& due, bool done = false)
{
    return "BEGIN:VTODO\r\nUID:" + uid + "\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:" + title + "\r\n" + due +
           (done ? "STATUS:COMPLETED\r\n" : "") + "END:VTODO\r\n";
}

std::string calendar(const std::string& heading, const std::string& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//PL\r\n" + heading + body + "END:VCALENDAR\r\n";
}

// The clock of the scripted platform is Sunday 6.12.2026 9:05.
struct Reader {
    test::TempFolder program{{"kalendarium"}};
    ScriptedPlatform platform;
    std::unique_ptr<QWidget> window;

    Reader()
    {
        writeText(program / "kalendarium/001.adr",
            calendar("X-WR-CALNAME:Jan Łęcki\r\nX-WIRTELLO-ADDRESS:Łódź \"Pod Dębem\"\r\n",
                     todo("a", "Zaległe", "DUE;VALUE=DATE:20261201\r\n") +
                         todo("b", "Dziś", "DUE:20261206T150000\r\n")));
        writeText(program / "kalendarium/002.adr",
            calendar("", todo("c", "Przyszły tydzień", "DUE;VALUE=DATE:20261208\r\n") +
                             todo("d", "Zrobione", "DUE;VALUE=DATE:20261206\r\n", true) + todo("e", "Bez terminu", "")));
        writeText(program / "kalendarium/003.adr", "to nie kalendarz\n");
        writeText(program / "kalendarium/004.adr", "BEGIN:VCALENDAR\r\nX:\xff\r\nEND:VCALENDAR\r\n");
        ::mkfifo((program / "kalendarium/005.adr").c_str(), 0600);
        writeText(program / "kalendarium/notatka.txt", calendar("", todo("f", "Nie ten plik", "DUE;VALUE=DATE:20261206\r\n")));
        window = openOverviewWindow({{"*.adr"}, trustFolderTree(program.path())}, platform);
    }
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
    QTableWidget* table() { return find<QTableWidget>("zadania"); }
    QStringList column(int c)
    {
        QStringList cells;
        for (int r = 0; r < table()->rowCount(); ++r)
            cells << table()->item(r, c)->text();
        return cells;
    }
    void select(const QString& title)
    {
        const int row = static_cast<int>(column(5).indexOf(title));
        ASSERT_GE(row, 0) << title.toStdString();
        table()->setCurrentCell(row, 0);
    }
};

TEST(Przeglad, OpenTasksOfAllContactsByDueDateUnderEachFilter)
{
    Reader reader;
    const std::vector<std::pair<int, QStringList>> rows = {
        {0, {"Zaległe"}},
        {1, {"Dziś"}},
        {2, {"Zaległe", "Dziś"}},
        {3, {"Zaległe", "Dziś", "Przyszły tydzień"}},
    };
    for (const auto& [filter, titles] : rows) {
        reader.find<QComboBox>("filtr")->setCurrentIndex(filter);
        EXPECT_EQ(reader.column(5), titles) << filter;
    }
    EXPECT_EQ(reader.column(4), (QStringList{"Jan Łęcki", "Jan Łęcki", "002"}));
    EXPECT_EQ(reader.column(2), (QStringList{"zaległe", "", ""}));
    const QString skipped = reader.find<QLabel>("pominiete")->text();
    for (const char* name : {"002.adr — pominięto wpisy bez terminu: 1", "003.adr", "004.adr", "005.adr"})
        EXPECT_TRUE(skipped.contains(QString::fromUtf8(name))) << skipped.toStdString();
    EXPECT_FALSE(skipped.contains(QStringLiteral("notatka")));
}

TEST(Przeglad, AMarkIsMergedWithWhatTheTaskCalendarWroteMeanwhile)
{
    Reader reader;
    const fs::path file = reader.program / "kalendarium/001.adr";
    // The contact's task calendar adds a task after the reader has read the file.
    changeCalendar(file, [](CalendarDocument& onDisk) { onDisk.putTask({"nowe", "Nowe", {2026, 12, 9}, {}, 0, "", false}, {}); });
    reader.select(QStringLiteral("Dziś"));
    reader.find<QPushButton>("wykonane")->click();

    std::vector<std::pair<std::string, bool>> onDisk;
    for (const CalendarTask& task : readCalendar(file).tasks())
        onDisk.emplace_back(task.title, task.done);
    EXPECT_EQ(onDisk, (std::vector<std::pair<std::string, bool>>{{"Zaległe", false}, {"Dziś", true}, {"Nowe", false}}));
    EXPECT_EQ(reader.column(5), (QStringList{"Zaległe", "Przyszły tydzień", "Nowe"}));
    EXPECT_EQ(readCalendar(file).name(), "Jan Łęcki");

    // A task deleted meanwhile: told, and no file is made up.
    fs::remove(file);
    reader.select(QStringLiteral("Zaległe"));
    reader.find<QPushButton>("wykonane")->click();
    ASSERT_EQ(reader.platform.informed.size(), 1);
    EXPECT_TRUE(reader.platform.informed[0].contains(QStringLiteral("nie ma już")));
    EXPECT_FALSE(fs::exists(file));
}

TEST(Przeglad, TheContactsCalendarIsStartedWithItsNameAndAddressAsArguments)
{
    Reader reader;
    reader.select(QStringLiteral("Dziś"));
    reader.find<QPushButton>("kalendarz")->click();
    ASSERT_EQ(reader.platform.executed.size(), 1);
    EXPECT_EQ(splitWindowsCommandLine(reader.platform.executed[0].toStdString()),
              (std::vector<std::string>{"kalendarium.exe", "001.adr", "Jan Łęcki ", "Łódź \"Pod Dębem\""}));
    EXPECT_EQ(reader.platform.execFolders.at(0), reader.program.path());
}

TEST(Przeglad, AllOpenTasksAreExportedToOneCalendarAnotherReaderReads)
{
    const test::WarsawTime zone;
    Reader reader;
    reader.find<QComboBox>("filtr")->setCurrentIndex(1);
    const fs::path exported = reader.program / "eksport.ics";
    reader.platform.saveFileAnswers = {exported};
    reader.find<QPushButton>("eksport")->click();
    const std::string command = "/usr/bin/python3 " ICAL_READ_BACK " " + exported.string();
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe))
        out += buffer.data();
    ASSERT_EQ(pipe ? pclose(pipe) : -1, 0);
    EXPECT_EQ(out, "NAME|Zadania otwarte|\n"
                   "VTODO|Zaległe — Jan Łęcki|2026-12-01||NEEDS-ACTION|\n"
                   "VTODO|Dziś — Jan Łęcki|2026-12-06T15:00:00+01:00||NEEDS-ACTION|\n"
                   "VTODO|Przyszły tydzień — 002|2026-12-08||NEEDS-ACTION|\n");
}

TEST(Przeglad, APatternLeavingTheTaskFolderIsRefused)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    for (const char* pattern : {"../*.adr", "/etc/*", ""})
        EXPECT_THROW(openOverviewWindow({{pattern}, trustFolderTree(program.path())}, platform), std::invalid_argument)
            << pattern;
}

// Every file the reader refuses is listed with the reason, as a damaged one
// is: links leading out of the program folder, to nothing or in a loop,
// folders, pipes and files over the size limit.
TEST(Przeglad, RefusedFilesAreListedWithTheReason)
{
    const test::TempFolder outside;
    writeText(outside / "obcy.adr", calendar("", todo("x", "Obce", "DUE;VALUE=DATE:20261206\r\n")));
    const test::TempFolder program{{"kalendarium"}};
    const fs::path folder = program / "kalendarium";
    writeText(folder / "001.adr", calendar("", todo("a", "Własne", "DUE;VALUE=DATE:20261206\r\n")));
    fs::create_symlink(outside / "obcy.adr", folder / "002.adr");
    fs::create_symlink(folder / "brak.adr", folder / "003.adr");
    fs::create_symlink(outside / "brak.adr", folder / "004.adr");
    fs::create_directory(folder / "005.adr");
    writeText(folder / "006.adr", calendar("", std::string(5 * 1024 * 1024, ' ')));
    fs::create_symlink("001.adr", folder / "007.adr");
    ::mkfifo((folder / "008.adr").c_str(), 0600);
    fs::create_symlink("009.adr", folder / "009.adr");
    ScriptedPlatform platform;
    const auto window = openOverviewWindow({{"*.adr"}, trustFolderTree(program.path())}, platform);

    const QString skipped = window->findChild<QLabel*>("pominiete")->text();
    EXPECT_EQ(skipped, QStringLiteral("Pominięte pliki:\n"
                                      "002.adr — dowiązanie prowadzi poza folder programu\n"
                                      "003.adr — dowiązanie do pliku, którego nie ma\n"
                                      "004.adr — dowiązanie prowadzi poza folder programu\n"
                                      "005.adr — to folder, a nie plik\n"
                                      "006.adr — Plik jest za duży (największy możliwy ma 4 MB)\n"
                                      "008.adr — to nie zwykły plik, lecz potok, gniazdo albo urządzenie\n"
                                      "009.adr — dowiązania tworzą pętlę"));
    EXPECT_EQ(window->findChild<QTableWidget*>("zadania")->rowCount(), 2); // 001.adr and the link 007.adr to it
}

// Started on a task folder that is a link leading out of the program folder,
// the reader says so instead of showing an empty list, and leaves nothing there.
TEST(Przeglad, ATaskFolderLinkedOutIsRefusedWithTheReason)
{
    const test::TempFolder outside;
    const test::TempFolder program;
    fs::create_symlink(outside.path(), program / "kalendarium");
    ScriptedPlatform platform;
    try {
        openOverviewWindow({{"*.adr"}, trustFolderTree(program.path())}, platform);
        ADD_FAILURE() << "opened";
    } catch (const IoError& error) {
        EXPECT_EQ(error.operation(), kCompanionFolderLeadsOut);
    }
    EXPECT_TRUE(fs::is_empty(outside.path()));
}

// What a kill left half written in the companions' folders is removed at a
// companion's start once a minute old; a store under way, other files and a
// folder linked out of the program folder are left alone.
TEST(CompanionStart, StaleTemporaryFilesAreRemovedFromEveryCompanionFolder)
{
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    const test::TempFolder outside;
    const test::TempFolder program;
    fs::create_symlink(outside.path(), program / "uwagi");
    for (const fs::path& folder :
         {outside.path(), program / "brulion", program / "segregator", program / "kalendarium", program / "grafik"}) {
        for (const char* file : {"000.txt.0123456789abcdef.tmp~", "001.txt"}) {
            writeText(folder / file, "x");
            fs::last_write_time(folder / file, old);
        }
        writeText(folder / "002.txt.fedcba9876543210.tmp~", "w toku");
    }

    removeStaleCompanionTemporaries(trustFolderTree(program.path()));
    for (const std::string_view name : kCompanionDataFolders) {
        const fs::path folder = name == kCommentsFolder ? outside.path() : program / std::string(name);
        EXPECT_EQ(fs::exists(folder / "000.txt.0123456789abcdef.tmp~"), name == kCommentsFolder) << name;
        EXPECT_TRUE(fs::exists(folder / "001.txt") && fs::exists(folder / "002.txt.fedcba9876543210.tmp~")) << name;
    }
}

// Tab leaves the list both ways, the arrows move in it, Enter opens the
// task's calendar, Escape closes; the end of the session writes nothing.
TEST(PrzegladKeys, TheListLetsTabOutAndEscapeCloses)
{
    Reader reader;
    QWidget* window = reader.window.get();
    test::showActive(window);
    QTableWidget* table = reader.table();
    EXPECT_EQ(window->focusWidget(), table);
    for (const auto& [key, reached] : {std::pair{int(Qt::Key_Tab), "wykonane"}, {int(Qt::Key_Backtab), "filtr"}}) {
        EXPECT_EQ(test::focusAfter(table, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier),
                  reader.find<QWidget>(reached))
            << reached;
    }
    table->setCurrentCell(0, 0);
    EXPECT_EQ(test::focusAfter(table, Qt::Key_Down), table);
    EXPECT_EQ(table->currentRow(), 1);
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_EQ(reader.platform.executed.size(), 1);
    EXPECT_TRUE(reader.platform.executed[0].contains(QStringLiteral("001.adr")));

    const std::string before = test::readText(reader.program / "kalendarium/001.adr");
    storeForSessionEnd();
    EXPECT_EQ(test::readText(reader.program / "kalendarium/001.adr"), before);
    QTest::keyClick(table, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(reader.platform.asked.isEmpty());
}

TEST(PrzegladKeys, NamedControlsAndButtonsInOrderWithOwnAltLetters)
{
    Reader reader;
    test::showActive(reader.window.get());
    EXPECT_EQ(test::namelessControls(reader.window.get()), QStringList());
    EXPECT_EQ(test::accessibleName(reader.find<QWidget>("filtr")), QStringLiteral("Pokaż"));
    EXPECT_EQ(test::accessibleName(reader.table()), QStringLiteral("Otwarte zadania"));
    test::expectOwnAltLetters(reader.window.get());
    QStringList reached;
    for (QWidget* control : test::tabRound(reader.window.get()))
        reached << control->objectName();
    EXPECT_EQ(reached, QStringList({"zadania", "wykonane", "kalendarz", "odswiez", "eksport", "drukuj", "zamknij", "filtr"}));
    // Last, as a pressed button clicks a moment later.
    test::expectAltKeysPress(reader.window.get());
}
} // namespace
