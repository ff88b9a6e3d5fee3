// The main program's reminders with a clock the test holds: each shown once,
// also across a restart; put off and shown again; missed while the program
// was closed; a calendar changed on disk; a damaged record refused.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/reminders/reminder_keeper.h"

#include "tests/companions/companion_test_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::readText;
using test::writeText;
const auto kNow = test::kCalendarNow;

CalendarMoment at(int day, int hour, int minute = 0)
{
    return {{2026, 12, day}, {hour, minute}};
}

class RemindersTest : public ::testing::Test {
protected:
    RemindersTest() { fs::create_directories(folder / "kalendarium"); }

    // Adds an appointment to the scheduler's calendar as the scheduler stores it.
    std::string appoint(const std::string& title, CalendarMoment start, std::optional<int> reminder,
                        const std::string& rule = {})
    {
        CalendarEvent event;
        event.title = title;
        event.place = "Sala 2";
        event.start = start;
        event.end = addMinutes(start, 60);
        event.recurrence = rule;
        event.reminderMinutes = reminder;
        std::string uid;
        changeCalendar(folder / "grafik/terminarz.ics", [&](CalendarDocument& d) { uid = d.putEvent(event, kNow); });
        return uid;
    }

    std::string task(const std::string& file, const std::string& title, CalendarDate due,
                     std::optional<ClockTime> time, bool done = false)
    {
        CalendarTask t;
        t.title = title;
        t.due = due;
        t.dueTime = time;
        t.done = done;
        std::string uid;
        changeCalendar(folder / "kalendarium" / file, [&](CalendarDocument& d) {
            d.setHeading("Anna Nowak ", "Gdańsk Długa 1");
            uid = d.putTask(t, kNow);
        });
        return uid;
    }

    static std::vector<std::string> summaries(const std::vector<ReminderKeeper::Due>& due)
    {
        std::vector<std::string> texts;
        for (const ReminderKeeper::Due& d : due)
            texts.push_back(reminderSummary(d.reminder, d.missed));
        return texts;
    }

    test::TempFolder folder{"grafik"};
};

using Texts = std::vector<std::string>;

TEST_F(RemindersTest, EachReminderIsShownOnceAtItsTimeAlsoAfterARestart)
{
    appoint("Narada", at(7, 10), 15);
    ReminderKeeper keeper(folder.path(), at(7, 9));
    EXPECT_EQ(keeper.nextDue(at(7, 9)), at(7, 9, 45));
    EXPECT_TRUE(keeper.takeDue(at(7, 9, 44)).empty());

    const auto due = keeper.takeDue(at(7, 9, 45));
    EXPECT_EQ(summaries(due), Texts{"Termin: Narada"});
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(reminderBody(due[0].reminder), "poniedziałek 7.12.2026, 10:00, Sala 2");
    EXPECT_TRUE(keeper.takeDue(at(7, 9, 46)).empty());
    EXPECT_EQ(keeper.nextDue(at(7, 9, 46)), std::nullopt);

    ReminderKeeper restarted(folder.path(), at(7, 9, 50));
    EXPECT_TRUE(restarted.takeDue(at(7, 9, 50)).empty());
    EXPECT_TRUE(restarted.takeNotices().empty());
}

TEST(RemindersInANewFolder, NothingToRemindOfAndNothingToSayBeforeTheCompanionsWereUsed)
{
    test::TempFolder fresh{"NOTATKI"};
    ReminderKeeper keeper(fresh.path(), at(7, 9));
    EXPECT_TRUE(keeper.takeNotices().empty());
    EXPECT_TRUE(keeper.takeDue(at(7, 9)).empty());
    EXPECT_EQ(keeper.nextDue(at(7, 9)), std::nullopt);
}

TEST_F(RemindersTest, APutOffReminderComesBackAfterItsMinutesAndAfterARestartAsMissed)
{
    appoint("Narada", at(7, 10), 15);
    ReminderKeeper keeper(folder.path(), at(7, 9));
    const auto due = keeper.takeDue(at(7, 9, 45));
    ASSERT_EQ(due.size(), 1u);

    keeper.snooze(due[0].reminder, 5, at(7, 9, 46));
    EXPECT_EQ(keeper.nextDue(at(7, 9, 46)), at(7, 9, 51));
    EXPECT_TRUE(keeper.takeDue(at(7, 9, 50)).empty());
    EXPECT_EQ(summaries(keeper.takeDue(at(7, 9, 51))), Texts{"Termin: Narada"});
    EXPECT_TRUE(keeper.takeDue(at(7, 9, 52)).empty());

    // Put off again, then the program is closed before the time comes.
    keeper.snooze(due[0].reminder, 60, at(7, 9, 52));
    ReminderKeeper restarted(folder.path(), at(7, 11));
    EXPECT_EQ(summaries(restarted.takeDue(at(7, 11))), Texts{"Przegapione — Termin: Narada"});
    EXPECT_TRUE(restarted.takeDue(at(7, 11, 1)).empty());
}

TEST_F(RemindersTest, ARemindersTimePassedWhileTheProgramWasClosedIsShownAtTheNextStartAsMissed)
{
    { ReminderKeeper firstStart(folder.path(), at(7, 8)); } // begins the record
    appoint("Narada", at(7, 12), 30);
    appoint("Obiad", at(7, 15), 30);
    task("007.adr", "Oddzwonić", {2026, 12, 7}, ClockTime{13, 0});

    ReminderKeeper keeper(folder.path(), at(7, 14));
    EXPECT_EQ(summaries(keeper.takeDue(at(7, 14))),
              (Texts{"Przegapione — Termin: Narada", "Przegapione — Zadanie: Oddzwonić"}));
    EXPECT_EQ(summaries(keeper.takeDue(at(7, 14, 30))), Texts{"Termin: Obiad"});
}

TEST_F(RemindersTest, ReminderTimesOfAppointmentsSeriesAndTasks)
{
    appoint("Bez przypomnienia", at(7, 9), std::nullopt);
    appoint("Dzień wcześniej", at(8, 9), 24 * 60);
    const std::string series = appoint("Co tydzień", at(7, 11), 10, "FREQ=WEEKLY;COUNT=4");
    // Of the series, the second meeting moved to 12:00 with a reminder of its own, the third deleted.
    changeCalendar(folder / "grafik/terminarz.ics", [&](CalendarDocument& d) {
        CalendarEvent moved = d.events().at(2);
        moved.title = "Przeniesione";
        moved.start = at(14, 12);
        moved.end = at(14, 13);
        moved.reminderMinutes = 30;
        d.changeOccurrence(series, at(14, 11), moved, SeriesScope::OnlyThis, kNow);
        d.removeOccurrence(series, at(21, 11), SeriesScope::OnlyThis, kNow);
    });
    const std::string uid = task("007.adr", "Zadzwonić", {2026, 12, 7}, ClockTime{14, 0});
    task("007.adr", "Cały dzień", {2026, 12, 8}, std::nullopt);
    task("012.adr", "Zrobione", {2026, 12, 7}, ClockTime{16, 0}, true);
    writeText(folder / "kalendarium/notatka.txt", "nie kalendarz");

    ReminderKeeper keeper(folder.path(), at(7, 0));
    struct Expected {
        CalendarMoment now;
        Texts shown;
    };
    const Expected table[] = {
        {at(7, 8, 59), {}},
        {at(7, 9), {"Termin: Dzień wcześniej"}},
        {at(7, 10, 50), {"Termin: Co tydzień"}},
        {at(7, 14), {"Zadanie: Zadzwonić"}},
        {at(8, 8), {"Zadanie: Cały dzień"}},
        {at(14, 10, 50), {}},
        {at(14, 11, 30), {"Termin: Przeniesione"}},
        {at(21, 10, 50), {}},
        {at(28, 10, 50), {"Termin: Co tydzień"}},
    };
    for (const Expected& row : table) {
        const auto due = keeper.takeDue(row.now);
        EXPECT_EQ(summaries(due), row.shown) << momentText(row.now);
        if (!due.empty() && due[0].reminder.source == Reminder::Source::Task && due[0].reminder.uid == uid) {
            EXPECT_EQ(reminderBody(due[0].reminder),
                      "Do wykonania: poniedziałek 7.12.2026, 14:00\nKontakt: Anna Nowak");
            EXPECT_EQ(reminderOpenCommand(due[0].reminder), "kalendarium.exe 007.adr \"\" \"\" --zadanie=" + uid);
        }
    }
}

TEST_F(RemindersTest, AnAppointmentWrittenByAnotherProgramIsPickedUpFromDisk)
{
    ReminderKeeper keeper(folder.path(), at(7, 9));
    EXPECT_FALSE(keeper.lookAtFiles(at(7, 9)));
    EXPECT_EQ(keeper.nextDue(at(7, 9)), std::nullopt);

    const std::string uid = appoint("Narada", at(7, 10), 5);
    EXPECT_TRUE(keeper.lookAtFiles(at(7, 9)));
    EXPECT_FALSE(keeper.lookAtFiles(at(7, 9)));
    EXPECT_EQ(keeper.nextDue(at(7, 9)), at(7, 9, 55));

    // Moved by another workstation: reminded at the new time.
    changeCalendar(folder / "grafik/terminarz.ics", [&](CalendarDocument& d) {
        CalendarEvent moved = d.events().at(0);
        moved.start = at(7, 11);
        moved.end = at(7, 12);
        d.putEvent(moved, kNow);
    });
    EXPECT_TRUE(keeper.lookAtFiles(at(7, 9)));
    EXPECT_TRUE(keeper.takeDue(at(7, 9, 55)).empty());
    const auto due = keeper.takeDue(at(7, 10, 55));
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(reminderOpenCommand(due[0].reminder),
              "grafik.exe \"Kalvaro\" --dzien=2026-12-07 --termin=" + uid);

    // A task calendar added for a new contact.
    task("031.adr", "Umowa", {2026, 12, 7}, ClockTime{12, 0});
    EXPECT_TRUE(keeper.lookAtFiles(at(7, 9)));
    EXPECT_EQ(summaries(keeper.takeDue(at(7, 12))), Texts{"Zadanie: Umowa"});
}

TEST_F(RemindersTest, TwoProgramsOnOneFolderShowAReminderOnce)
{
    appoint("Narada", at(7, 10), 15);
    ReminderKeeper here(folder.path(), at(7, 9));
    ReminderKeeper there(folder.path(), at(7, 9));
    EXPECT_EQ(here.takeDue(at(7, 9, 45)).size(), 1u);
    EXPECT_TRUE(there.takeDue(at(7, 9, 45)).empty());
}

TEST_F(RemindersTest, ADamagedRecordIsRefusedWithItsLineKeptAsideAndNotFollowedByThePast)
{
    struct Damage {
        std::string text;
        std::string says;
    };
    const Damage table[] = {
        {"cokolwiek\n", "wiersz 1: to nie jest zapis przypomnień programu"},
        {"Wirtello: przypomnienia 1\n", "wiersz 2: zapis jest niepełny"},
        {"Wirtello: przypomnienia 1\nod 2026-13-07T09:00\n", "wiersz 2: nieprawidłowa data i godzina"},
        {"Wirtello: przypomnienia 1\nod 2026-12-01T09:00\npokazane 2026-12-07T09:00 \n",
         "wiersz 3: nieprawidłowy opis przypomnienia"},
        {"Wirtello: przypomnienia 1\nod 2026-12-01T09:00\npokazane 2026-12-07T09:00 a\\q\n",
         "wiersz 3: nieprawidłowy opis przypomnienia"},
        {"Wirtello: przypomnienia 1\nod 2026-12-01T09:00\nodlozone 2026-12-07T09:00 jutro x\n",
         "wiersz 3: nieprawidłowa data i godzina"},
        {"Wirtello: przypomnienia 1\nod 2026-12-01T09:00\nskasowane x\n", "wiersz 3: nieznany rodzaj wiersza"},
        {"Wirtello: przypomnienia 1\nod 2026-12-01T09:00\npokazane 2026-12-07T09:00 \xff\n", "wiersz 3"},
    };
    for (const Damage& damage : table) {
        fs::remove_all(folder / "grafik");
        fs::create_directory(folder / "grafik");
        appoint("Narada", at(7, 10), 15);
        const fs::path record = folder / "grafik/przypomnienia.txt";
        writeText(record, damage.text);

        ReminderKeeper keeper(folder.path(), at(7, 11));
        const std::vector<std::string> notices = keeper.takeNotices();
        ASSERT_EQ(notices.size(), 1u) << damage.text;
        EXPECT_NE(notices[0].find(record.string() + ", " + damage.says), std::string::npos) << notices[0];
        EXPECT_NE(notices[0].find("Przeniesiono go do pliku"), std::string::npos) << notices[0];
        // The reminder of 9:45 is not brought back: nothing says it was not shown.
        EXPECT_TRUE(keeper.takeDue(at(7, 11)).empty()) << damage.text;

        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(folder / "grafik"))
            if (entry.path().filename().string().starts_with("przypomnienia.txt.uszkodzony-"))
                aside.push_back(entry.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readText(aside[0]), damage.text);
        const std::optional<ReminderState> fresh = readReminderState(record);
        ASSERT_TRUE(fresh);
        EXPECT_EQ(fresh->since, at(7, 11));
    }
}

TEST(ReminderRecord, KeysOfAnyTextAreWrittenAsTheirReaderReadsThemBack)
{
    ReminderState state;
    state.since = at(1, 8);
    state.marks["termin|a\\b\n|2026-12-07T10:00"] = {at(7, 9, 45), std::nullopt};
    state.marks["zadanie|007.adr|uid z\nowym\r\nwierszem\t|2026-12-07T14:00"] = {at(7, 14), at(7, 14, 5)};
    state.marks["termin|\xff|x"] = {at(7, 9), std::nullopt}; // not UTF-8: left out
    const ReminderState read = ReminderState::parse(state.text(), "przypomnienia.txt");
    EXPECT_EQ(read.since, state.since);
    state.marks.erase("termin|\xff|x");
    EXPECT_EQ(read.marks, state.marks);

    // Marks no check looks at again are dropped; one put off past the bound stays.
    state.prune(at(7, 10));
    EXPECT_EQ(state.marks.size(), 1u);
}

} // namespace
