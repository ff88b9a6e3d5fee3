// The contact's task calendar (kalendarium): its window driven as a user
// would, what it stores, and what it leaves to other programs.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/kalendarium/task_window.h"
#include "store/safe_file.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/temp_folder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimeEdit>

#include <gtest/gtest.h>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::readText;

struct TaskForm {
    QString title;
    QDate due;
    std::optional<QTime> time;
    int priority; // brak, wysoki, normalny, niski
};

// A task window on program/kalendarium/007.adr, opened as the program opens it.
struct Opened {
    std::unique_ptr<QWidget> window;
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    QTableWidget* table() { return find<QTableWidget>("zadania"); }
    QString cell(int r, int c) { return table()->item(r, c)->text(); }
    void add(const TaskForm& form)
    {
        click("nowe");
        find<QLineEdit>("tytul")->setText(form.title);
        find<QDateEdit>("termin")->setDate(form.due);
        find<QCheckBox>("oGodzinie")->setChecked(form.time.has_value());
        if (form.time)
            find<QTimeEdit>("godzina")->setTime(*form.time);
        find<QComboBox>("priorytet")->setCurrentIndex(form.priority);
        click("dodaj");
    }
};

Opened openWindow(ScriptedPlatform& platform, const fs::path& program)
{
    return {openTaskWindow({{"007.adr", "Jan Łęcki ", "Łódź Piotrkowska 1"}, trustFolderTree(program)}, platform)};
}

// The clock of the scripted platform is 6.12.2026 9:05.
TEST(Kalendarium, TasksAreSortedByDueDateAndOverdueOnesStandOut)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    EXPECT_EQ(opened.window->windowTitle(), QStringLiteral("Kalendarz zadań — Jan Łęcki"));
    EXPECT_EQ(opened.find<QLabel>("adres")->text(), QStringLiteral("Łódź Piotrkowska 1"));
    const std::vector<TaskForm> forms = {
        {QStringLiteral("Umowa — Żółć"), QDate(2026, 12, 20), QTime(10, 0), 2},
        {QStringLiteral("Wczorajsze"), QDate(2026, 12, 5), std::nullopt, 1},
        {QStringLiteral("Dziś rano"), QDate(2026, 12, 6), QTime(8, 0), 0},
        {QStringLiteral("Dziś do końca dnia"), QDate(2026, 12, 6), std::nullopt, 3},
    };
    for (const TaskForm& form : forms)
        opened.add(form);
    const std::vector<QStringList> expected = {
        {"05.12.2026", "", "zaległe", "wysoki", "Wczorajsze"},
        {"06.12.2026", "08:00", "zaległe", "", "Dziś rano"},
        {"06.12.2026", "", "", "niski", "Dziś do końca dnia"},
        {"20.12.2026", "10:00", "", "normalny", "Umowa — Żółć"},
    };
    ASSERT_EQ(opened.table()->rowCount(), static_cast<int>(expected.size()));
    for (int r = 0; r < static_cast<int>(expected.size()); ++r)
        for (int c = 0; c < expected[r].size(); ++c)
            EXPECT_EQ(opened.cell(r, c), expected[r][c]) << r << "," << c;
    EXPECT_TRUE(opened.table()->item(0, 4)->font().bold());
    EXPECT_FALSE(opened.table()->item(2, 4)->font().bold());

    // Done, then deleted after the question; "Nie" keeps it.
    opened.table()->setCurrentCell(0, 0);
    opened.click("wykonane");
    EXPECT_EQ(opened.cell(0, 2), QStringLiteral("wykonane"));
    platform.askAnswers = {false, true};
    opened.click("usun");
    EXPECT_EQ(opened.table()->rowCount(), 4);
    opened.table()->setCurrentCell(0, 0);
    opened.click("usun");
    EXPECT_EQ(opened.table()->rowCount(), 3);
    EXPECT_EQ(platform.asked.size(), 2);

    const std::string stored = readText(program / "kalendarium/007.adr");
    EXPECT_NE(stored.find("X-WR-CALNAME:Jan Łęcki\r\n"), std::string::npos);
    EXPECT_NE(stored.find(":20261220T100000"), std::string::npos);
    EXPECT_EQ(stored.find("Wczorajsze"), std::string::npos);
    EXPECT_TRUE(platform.informed.isEmpty()) << platform.informed.join("\n").toStdString();
}

TEST(Kalendarium, AMarkMadeByTheTaskReaderSurvivesAnEditAndASecondWindowOnlyReads)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    opened.add({QStringLiteral("Oddzwonić"), QDate(2026, 12, 8), std::nullopt, 0});
    const fs::path file = program / "kalendarium/007.adr";
    const std::string uid = readCalendar(file).tasks().at(0).uid;
    changeCalendar(file, [&](CalendarDocument& calendar) { calendar.markDone(uid, true, {}); });

    opened.table()->setCurrentCell(0, 0);
    opened.find<QLineEdit>("tytul")->setText(QStringLiteral("Oddzwonić w piątek"));
    opened.click("zapisz");
    const CalendarTask stored = readCalendar(file).tasks().at(0);
    EXPECT_EQ(stored.title, "Oddzwonić w piątek");
    EXPECT_TRUE(stored.done);
    EXPECT_EQ(opened.cell(0, 2), QStringLiteral("wykonane"));

    ScriptedPlatform secondPlatform;
    Opened second = openWindow(secondPlatform, program.path());
    EXPECT_FALSE(second.find<QLabel>("tylkoOdczyt")->isHidden());
    EXPECT_FALSE(second.find<QPushButton>("dodaj")->isEnabled());
    EXPECT_EQ(second.table()->rowCount(), 1);
}

TEST(Kalendarium, ATaskCopiedToTheSchedulerIsOneAppointmentBesideWhatIsThere)
{
    const test::TempFolder program;
    fs::create_directories(program / "grafik");
    CalendarDocument scheduler;
    scheduler.putEvent({"", "Narada", "Sala", "", "", {{2026, 12, 7}, {9, 0}}, {{2026, 12, 7}, {10, 0}}, false, "FREQ=WEEKLY", {}}, {});
    writeCalendar(program / "grafik/terminarz.ics", scheduler);

    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    opened.add({QStringLiteral("Spotkanie z Łęckim"), QDate(2026, 12, 9), QTime(23, 30), 0});
    opened.table()->setCurrentCell(0, 0);
    opened.click("doTerminarza");
    opened.click("doTerminarza");
    const std::vector<CalendarEvent> events = readCalendar(program / "grafik/terminarz.ics").events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].title, "Narada");
    EXPECT_EQ(events[1].title, "Spotkanie z Łęckim");
    EXPECT_EQ(events[1].contact, "007");
    EXPECT_EQ(events[1].start, (CalendarMoment{{2026, 12, 9}, {23, 30}}));
    EXPECT_EQ(events[1].end, (CalendarMoment{{2026, 12, 10}, {0, 0}}));
    ASSERT_EQ(platform.informed.size(), 2);
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("dopisano")));
    EXPECT_TRUE(platform.informed[1].contains(QStringLiteral("zmieniono")));
}

TEST(Kalendarium, ADamagedTaskFileIsKeptAsideAndTheUserTold)
{
    const test::TempFolder program;
    fs::create_directories(program / "kalendarium");
    test::writeBytes(program / "kalendarium/007.adr", {'x', 'y', 0xff});
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("007.adr.uszkodzony-")));
    EXPECT_EQ(opened.table()->rowCount(), 0);
    EXPECT_FALSE(fs::exists(program / "kalendarium/007.adr"));
}

} // namespace
