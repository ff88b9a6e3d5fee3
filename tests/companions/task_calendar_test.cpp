// The contact's task calendar (kalendarium): its window driven as a user
// would, what it stores, and what it leaves to other programs.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/companion_kit/document_watch.h"
#include "companions/kalendarium/task_window.h"
#include "store/safe_file.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/companions/companion_window_checks.h"
#include "platform/session_end.h"
#include "platform/program_window.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <deque>
#include <tuple>

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
        find<QDateTimeEdit>("termin")->setDate(form.due);
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

// The titles of the tasks in the file, in alphabetical order.
std::vector<std::string> titlesOnDisk(const fs::path& file)
{
    std::vector<std::string> titles;
    for (const CalendarTask& task : readCalendar(file).tasks())
        titles.push_back(task.title);
    std::sort(titles.begin(), titles.end());
    return titles;
}

// The user clicks another window and comes back.
void leaveAndComeBack(QWidget* window)
{
    QWidget other;
    other.show();
    window->show();
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(window);
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

// Another program's repeating task: done once, it moves to its next date; done
// on its last date, it is done. Written as its rule's next occurrence (DUE moved,
// COUNT less one), so the file stays one open task for every other reader.
TEST(Kalendarium, ARepeatingTaskDoneShowsItsNextDate)
{
    const test::TempFolder program;
    test::writeText(program / "kalendarium/007.adr",
                    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Inny//PL\r\nBEGIN:VTODO\r\nUID:faktury\r\n"
                    "DTSTAMP:20261201T000000Z\r\nSUMMARY:Faktury\r\nDUE;VALUE=DATE:20261207\r\n"
                    "RRULE:FREQ=WEEKLY;COUNT=2\r\nX-INNY-PROGRAM:zostaje\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    ASSERT_EQ(opened.table()->rowCount(), 1);
    EXPECT_EQ(opened.cell(0, 2), QStringLiteral("powtarza się"));
    opened.table()->setCurrentCell(0, 0);
    opened.click("wykonane");
    EXPECT_EQ(opened.cell(0, 0), QStringLiteral("14.12.2026"));
    EXPECT_EQ(opened.cell(0, 2), QStringLiteral("powtarza się"));
    EXPECT_EQ(opened.find<QDateTimeEdit>("termin")->date(), QDate(2026, 12, 14));
    const std::string stored = readText(program / "kalendarium/007.adr");
    for (const char* line : {"DUE;VALUE=DATE:20261214", "RRULE:FREQ=WEEKLY;COUNT=1", "X-INNY-PROGRAM:zostaje"})
        EXPECT_NE(stored.find(std::string(line) + "\r\n"), std::string::npos) << line;
    EXPECT_EQ(stored.find("COMPLETED"), std::string::npos);
    // The form untouched, the title changed later still goes into the same task.
    opened.find<QLineEdit>("tytul")->setText(QStringLiteral("Faktury za grudzień"));
    opened.click("zapisz");
    EXPECT_TRUE(platform.asked.isEmpty());
    opened.table()->setCurrentCell(0, 0);
    opened.click("wykonane");
    EXPECT_EQ(opened.cell(0, 0), QStringLiteral("14.12.2026"));
    EXPECT_EQ(opened.cell(0, 2), QStringLiteral("wykonane"));
    EXPECT_EQ(readCalendar(program / "kalendarium/007.adr").tasks().at(0).title, "Faktury za grudzień");
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


// The list is read again on coming back to the window (in date order, not
// the file's); what another program did meanwhile decides what is asked.
TEST(Kalendarium, TheFormIsStoredOnlyIntoItsOwnTaskAndNotOverAnotherProgramsChangeUnasked)
{
    enum class Meanwhile { OtherTaskDone, Renamed, Deleted };
    struct Case {
        const char* name;
        Meanwhile meanwhile;
        std::deque<Platform::Answer> threeWay; // a renamed task
        std::deque<bool> yesNo;                // a deleted one
        std::vector<std::string> stored;
    };
    const std::string pit = "Przygotować zeznanie PIT", review = "Przegląd umów", typed = "Odebrać wyciągi z banku";
    const std::vector<Case> cases = {
        {"other task done", Meanwhile::OtherTaskDone, {}, {}, {typed, review, pit}},
        {"renamed, Anuluj", Meanwhile::Renamed, {Platform::Answer::Cancel}, {}, {"Odebrać wyciągi (Ewa)", review, pit}},
        {"renamed, Tak", Meanwhile::Renamed, {Platform::Answer::Yes}, {}, {typed, review, pit}},
        {"renamed, Nie", Meanwhile::Renamed, {Platform::Answer::No}, {}, {"Odebrać wyciągi (Ewa)", typed, review, pit}},
        {"deleted, Tak", Meanwhile::Deleted, {}, {true}, {typed, review, pit}},
        {"deleted, Nie", Meanwhile::Deleted, {}, {false}, {review, pit}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TempFolder program;
        const fs::path file = program / "kalendarium/007.adr";
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        opened.add({QString::fromStdString(pit), QDate(2026, 12, 8), QTime(10, 0), 0});
        opened.add({QStringLiteral("Odebrać wyciągi"), QDate(2026, 12, 1), std::nullopt, 0});
        opened.add({QString::fromStdString(review), QDate(2026, 12, 15), std::nullopt, 0});
        opened.table()->setCurrentCell(0, 0);
        opened.find<QLineEdit>("tytul")->setText(QString::fromStdString(typed));

        const std::vector<CalendarTask> tasks = readCalendar(file).tasks(); // PIT, wyciągi, umowy
        changeCalendar(file, [&](CalendarDocument& calendar) {
            if (c.meanwhile == Meanwhile::OtherTaskDone)
                calendar.markDone(tasks[0].uid, true, {});
            else if (c.meanwhile == Meanwhile::Deleted)
                calendar.remove(tasks[1].uid);
            else
                calendar.putTask({tasks[1].uid, "Odebrać wyciągi (Ewa)", {2026, 12, 1}, std::nullopt, 0, "", false}, {});
        });
        leaveAndComeBack(opened.window.get());
        if (c.meanwhile == Meanwhile::OtherTaskDone) {
            ASSERT_EQ(opened.cell(1, 2), QStringLiteral("wykonane")); // the list was read again
        }
        platform.threeWayAnswers = c.threeWay;
        platform.askAnswers = c.yesNo;
        opened.click("zapisz");
        EXPECT_EQ(titlesOnDisk(file), c.stored);
        EXPECT_EQ(opened.find<QLineEdit>("tytul")->text(), QString::fromStdString(typed));
        ASSERT_EQ(platform.asked.size(), c.threeWay.size() + c.yesNo.size());
        if (!platform.asked.isEmpty()) {
            EXPECT_TRUE(platform.asked[0].contains(QStringLiteral("„Odebrać wyciągi”"))) << platform.asked[0].toStdString();
        }
    }
}

TEST(Kalendarium, ATypedDayIsKeptOnceTheMonthAndYearTypedAfterItHaveIt)
{
    using S = QDateTimeEdit::Section;
    struct Case {
        QDate shown;
        std::vector<std::pair<S, const char*>> typed;
        QDate stored;
    };
    const std::vector<std::pair<S, const char*>> leapDay = {{S::DaySection, "29"}, {S::MonthSection, "02"}, {S::YearSection, "2028"}};
    const std::vector<Case> cases = {
        {QDate(2026, 12, 6), leapDay, QDate(2028, 2, 29)},
        {QDate(2026, 2, 6), leapDay, QDate(2028, 2, 29)},
        {QDate(2025, 3, 31), leapDay, QDate(2028, 2, 29)},
        {QDate(2026, 12, 6), {{S::DaySection, "31"}, {S::MonthSection, "02"}, {S::MonthSection, "03"}}, QDate(2026, 3, 31)},
        // A day the month never has gives its last one.
        {QDate(2026, 12, 6), {{S::DaySection, "29"}, {S::MonthSection, "02"}, {S::YearSection, "2027"}}, QDate(2027, 2, 28)},
    };
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    auto* termin = opened.find<QDateTimeEdit>("termin");
    for (const Case& c : cases) {
        const QString title = QStringLiteral("Od %1 do %2").arg(c.shown.toString(Qt::ISODate), c.stored.toString(Qt::ISODate));
        SCOPED_TRACE(title.toStdString());
        opened.click("nowe");
        opened.find<QLineEdit>("tytul")->setText(title);
        termin->setDate(c.shown);
        for (const auto& [section, keys] : c.typed) {
            termin->setSelectedSection(section);
            QTest::keyClicks(termin, QString::fromLatin1(keys));
        }
        opened.click("dodaj");
        const std::vector<CalendarTask> tasks = readCalendar(program / "kalendarium/007.adr").tasks();
        EXPECT_EQ(tasks.back().due, (CalendarDate{c.stored.year(), c.stored.month(), c.stored.day()}));
    }
}

TEST(Kalendarium, OverdueMarksAndTheNewTasksDayFollowTheClockWhileTheWindowIsOpen)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    platform.clock = QDateTime(QDate(2026, 12, 6), QTime(23, 59));
    Opened opened = openWindow(platform, program.path());
    opened.add({QStringLiteral("Do końca dnia"), QDate(2026, 12, 6), std::nullopt, 0});
    opened.add({QStringLiteral("Jutro o 10"), QDate(2026, 12, 7), QTime(10, 0), 0});
    opened.click("nowe");
    ASSERT_EQ(opened.cell(0, 2), QString());
    const std::vector<std::tuple<QTime, QString, QString>> cases = {
        {QTime(0, 0), "zaległe", ""}, {QTime(9, 59), "zaległe", ""}, {QTime(10, 1), "zaległe", "zaległe"}};
    for (const auto& [time, first, second] : cases) {
        SCOPED_TRACE(time.toString().toStdString());
        platform.clock = QDateTime(QDate(2026, 12, 7), time);
        dynamic_cast<TaskWindow&>(*opened.window).tick();
        EXPECT_EQ(opened.cell(0, 2), first);
        EXPECT_EQ(opened.cell(1, 2), second);
        EXPECT_TRUE(opened.table()->item(0, 4)->font().bold());
        EXPECT_EQ(opened.find<QDateTimeEdit>("termin")->date(), QDate(2026, 12, 7));
    }
}

TEST(Kalendarium, AReadOnlySecondWindowFollowsTheFileAndMayTakeOverOnceTheFirstCloses)
{
    for (const bool takeOver : {true, false}) {
        SCOPED_TRACE(takeOver ? "Tak" : "Nie");
        const test::TempFolder program;
        ScriptedPlatform firstPlatform, platform;
        Opened first = openWindow(firstPlatform, program.path());
        first.add({QStringLiteral("Oddzwonić"), QDate(2026, 12, 8), std::nullopt, 0});
        Opened second = openWindow(platform, program.path());
        // Nothing can be typed that could not be stored.
        for (const char* name : {"tytul", "termin", "godzina", "notatka"})
            EXPECT_TRUE(second.find<QWidget>(name)->property("readOnly").toBool()) << name;
        EXPECT_FALSE(second.find<QCheckBox>("oGodzinie")->isEnabled());
        EXPECT_FALSE(second.find<QComboBox>("priorytet")->isEnabled());
        second.table()->setCurrentCell(0, 0);

        first.find<QLineEdit>("tytul")->setText(QStringLiteral("Oddzwonić do Ewy"));
        first.click("zapisz");
        first.add({QStringLiteral("Wysłać umowę"), QDate(2026, 12, 9), std::nullopt, 0});
        auto* watch = second.window->findChild<DocumentWatch*>();
        ASSERT_NE(watch, nullptr);
        watch->check();
        ASSERT_EQ(second.table()->rowCount(), 2);
        EXPECT_EQ(second.find<QLineEdit>("tytul")->text(), QStringLiteral("Oddzwonić do Ewy"));

        first.window.reset();
        platform.askAnswers = {takeOver};
        watch->check();
        ASSERT_EQ(platform.asked, QStringList{QString::fromUtf8(kTakeOverQuestion)});
        EXPECT_EQ(second.find<QLineEdit>("tytul")->isReadOnly(), !takeOver);
        // Taken over it stores; declined, the lock is left for a window opened later.
        ScriptedPlatform thirdPlatform;
        Opened third;
        if (!takeOver)
            third = openWindow(thirdPlatform, program.path());
        (takeOver ? second : third).add({QStringLiteral("Po zamknięciu"), QDate(2026, 12, 10), std::nullopt, 0});
        EXPECT_EQ(titlesOnDisk(program / "kalendarium/007.adr"),
                  (std::vector<std::string>{"Oddzwonić do Ewy", "Po zamknięciu", "Wysłać umowę"}));
    }
}

TEST(Kalendarium, AStoreThatWouldOutgrowTheFileIsRefusedAndTheFormKept)
{
    const test::TempFolder program;
    const fs::path file = program / "kalendarium/007.adr";
    // A calendar a little under the limit, most of it one long note.
    CalendarDocument calendar;
    calendar.setHeading("Jan Łęcki", "Łódź Piotrkowska 1");
    calendar.putTask({"", "Oddzwonić", {2026, 12, 8}, std::nullopt, 0, "", false}, test::kCalendarNow);
    CalendarTask archive{"", "Archiwum", {2026, 11, 1}, std::nullopt, 0, "", false};
    const std::uintmax_t target = kCompanionFileLimit - 64;
    for (std::uintmax_t size = 0; size > target || size + 200 < target; size = calendar.text().size()) {
        if (size > target)
            archive.note.resize(archive.note.size() - static_cast<std::size_t>(size - target) - 8);
        else
            archive.note.append(static_cast<std::size_t>((target - size) * 74 / 77), 'a'); // folded lines grow
        archive.uid = calendar.putTask(archive, test::kCalendarNow);
    }
    fs::create_directories(file.parent_path());
    writeCalendar(file, calendar);
    const std::string before = readText(file);

    for (const char* button : {"dodaj", "zapisz"}) {
        SCOPED_TRACE(button);
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        opened.table()->setCurrentCell(1, 0);
        const QString title = QStringLiteral("Oddzwonić do Ewy w sprawie umowy"), note(300, QLatin1Char('n'));
        opened.find<QLineEdit>("tytul")->setText(title);
        opened.find<QPlainTextEdit>("notatka")->setPlainText(note);
        opened.click(button);
        ASSERT_EQ(platform.errors.size(), 1u);
        EXPECT_NE(platform.errors[0].operation().find("przekroczyłby"), std::string::npos);
        EXPECT_EQ(readText(file), before);
        EXPECT_EQ(opened.find<QLineEdit>("tytul")->text(), title);
        EXPECT_EQ(opened.find<QPlainTextEdit>("notatka")->toPlainText(), note);
    }
}
// Tab leaves the list and the note; the arrows and Ctrl+Tab do what they did.
TEST(KalendariumKeys, TabLeavesTheListAndTheNote)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    opened.add({QStringLiteral("Pierwsze"), QDate(2026, 12, 7), std::nullopt, 0});
    opened.add({QStringLiteral("Drugie"), QDate(2026, 12, 8), std::nullopt, 0});
    test::showActive(opened.window.get());
    EXPECT_EQ(opened.window->focusWidget(), opened.find<QWidget>("tytul")); // where a new task is begun

    struct Case {
        const char* control;
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* reached;
    };
    for (const Case& c : {Case{"zadania", Qt::Key_Tab, Qt::NoModifier, "tytul"},
                          Case{"zadania", Qt::Key_Backtab, Qt::ShiftModifier, nullptr},
                          Case{"notatka", Qt::Key_Tab, Qt::NoModifier, "nowe"},
                          Case{"notatka", Qt::Key_Backtab, Qt::ShiftModifier, "priorytet"}}) {
        SCOPED_TRACE(std::string(c.control) + " " + std::to_string(c.key));
        QWidget* control = opened.find<QWidget>(c.control);
        QWidget* reached = test::focusAfter(control, c.key, c.modifiers);
        EXPECT_NE(reached, control);
        if (c.reached) {
            EXPECT_EQ(reached, opened.find<QWidget>(c.reached));
        }
    }
    EXPECT_EQ(opened.find<QPlainTextEdit>("notatka")->toPlainText(), QString()); // no tab typed

    auto* note = opened.find<QPlainTextEdit>("notatka");
    EXPECT_EQ(test::focusAfter(note, Qt::Key_Tab, Qt::ControlModifier), note);
    EXPECT_EQ(note->toPlainText(), QStringLiteral("\t"));
    opened.table()->setCurrentCell(0, 0);
    EXPECT_EQ(test::focusAfter(opened.table(), Qt::Key_Down), opened.table());
    EXPECT_EQ(opened.table()->currentRow(), 1);
}

// Enter in the form adds a new task or stores the one chosen; Escape closes,
// asking first about a typed task.
TEST(KalendariumKeys, EnterStoresTheFormAndEscapeClosesAskingAboutTyping)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    test::showActive(opened.window.get());
    auto* title = opened.find<QLineEdit>("tytul");
    QTest::keyClicks(title, QStringLiteral("Zadzwonic"));
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(titlesOnDisk(program / "kalendarium/007.adr"), std::vector<std::string>{"Zadzwonic"});

    title->setText(QStringLiteral("Zadzwonić jutro"));
    QTest::keyClick(opened.find<QComboBox>("priorytet"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(titlesOnDisk(program / "kalendarium/007.adr"), std::vector<std::string>{"Zadzwonić jutro"});

    // Typed and unstored: Anuluj keeps the window, Tak stores and closes.
    opened.click("nowe");
    title->setText(QStringLiteral("Wysłać ofertę"));
    platform.threeWayAnswers = {Platform::Answer::Cancel, Platform::Answer::Yes};
    QTest::keyClick(title, Qt::Key_Escape);
    EXPECT_TRUE(opened.window->isVisible());
    QTest::keyClick(opened.table(), Qt::Key_Escape);
    EXPECT_FALSE(opened.window->isVisible());
    ASSERT_EQ(platform.asked.size(), 2);
    EXPECT_EQ(platform.asked[0], QStringLiteral("Dodać zadanie „Wysłać ofertę” do kalendarza?"));
    EXPECT_EQ(titlesOnDisk(program / "kalendarium/007.adr"), (std::vector<std::string>{"Wysłać ofertę", "Zadzwonić jutro"}));

    // Nothing typed: closed without a question.
    test::showActive(opened.window.get());
    QTest::keyClick(title, Qt::Key_Escape);
    EXPECT_FALSE(opened.window->isVisible());
    EXPECT_EQ(platform.asked.size(), 2);
}

// The end of the session stores the typed form without asking: a new task,
// a change to a task, and a change to a task another program changed meanwhile
// (kept beside it).
TEST(KalendariumKeys, TheEndOfTheSessionStoresTheTypedFormUnasked)
{
    struct Case {
        const char* name;
        bool chooseFirst;
        bool changedElsewhere;
        std::vector<std::string> titles;
    };
    for (const Case& c : {Case{"new", false, false, {"Raport", "Umowa", "Wpisane"}},
                          Case{"changed", true, false, {"Raport", "Wpisane"}},
                          Case{"changed elsewhere", true, true, {"Raport", "Umowa (inny program)", "Wpisane"}}}) {
        SCOPED_TRACE(c.name);
        const test::TempFolder program;
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        opened.add({QStringLiteral("Umowa"), QDate(2026, 12, 7), std::nullopt, 0});
        opened.add({QStringLiteral("Raport"), QDate(2026, 12, 9), std::nullopt, 0});
        const fs::path file = program / "kalendarium/007.adr";
        if (c.chooseFirst)
            opened.table()->setCurrentCell(0, 0);
        else
            opened.click("nowe");
        if (c.changedElsewhere) {
            CalendarDocument calendar = readCalendar(file);
            CalendarTask task = calendar.tasks()[0].title == "Umowa" ? calendar.tasks()[0] : calendar.tasks()[1];
            task.title = "Umowa (inny program)";
            calendar.putTask(task, test::kCalendarNow);
            writeCalendar(file, calendar);
        }
        opened.find<QLineEdit>("tytul")->setText(QStringLiteral("Wpisane"));
        opened.find<QPlainTextEdit>("notatka")->setPlainText(QStringLiteral("do końca tygodnia"));
        storeForSessionEnd();
        EXPECT_EQ(titlesOnDisk(file), c.titles);
        EXPECT_NE(readText(file).find("do końca tygodnia"), std::string::npos);
        EXPECT_TRUE(platform.asked.isEmpty());
        storeForSessionEnd(); // stored once, not again
        EXPECT_EQ(titlesOnDisk(file), c.titles);
    }
}

// A screen reader names every control; Tab reaches every button in its row's
// order; each button has its own Alt letter; a small screen scrolls the window.
TEST(KalendariumKeys, NamedControlsButtonsInOrderAndASmallScreen)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    test::showActive(opened.window.get());
    EXPECT_EQ(test::namelessControls(opened.window.get()), QStringList());
    for (const auto& [control, name] : {std::pair{"zadania", "Zadania"}, {"tytul", "Tytuł:"}, {"termin", "Termin:"},
                                        {"godzina", "Godzina"}, {"priorytet", "Priorytet"}, {"notatka", "Notatka:"}})
        EXPECT_EQ(test::accessibleName(opened.find<QWidget>(control)), QString::fromUtf8(name)) << control;
    test::expectOwnAltLetters(opened.window.get());

    const QList<QWidget*> round = test::tabRound(opened.window.get());
    QList<QWidget*> buttons;
    for (QWidget* reached : round)
        if (qobject_cast<QPushButton*>(reached))
            buttons << reached;
    QStringList names;
    for (QWidget* button : buttons)
        names << button->objectName();
    EXPECT_EQ(names, QStringList({"nowe", "dodaj", "zapisz", "usun", "wykonane", "doTerminarza", "drukuj", "zamknij"}));
    EXPECT_TRUE(round.contains(opened.table()));

    // 1366×768 at 1.5: the window scrolls and keeps its buttons.
    auto* window = static_cast<ProgramWindow*>(opened.window.get());
    window->fitInto(QRect(0, 0, 910, 512));
    EXPECT_LE(window->width(), 910);
    EXPECT_LE(window->height(), 512);
    auto* scroller = window->findChild<QScrollArea*>();
    ASSERT_NE(scroller, nullptr);
    EXPECT_TRUE(scroller->widget()->isAncestorOf(opened.find<QWidget>("zamknij")));

    // Last, as a pressed button clicks a moment later.
    test::expectAltKeysPress(opened.window.get());
}
} // namespace
