// The calendar files of the time companions: what is written reads back the
// same here and in an independent reader, damaged files, merging, recurrence.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/calendar_kit/recurrence.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <chrono>

namespace wirtello {
namespace {
using test::readBackCalendar;
using test::writeText;
using test::WarsawTime;
const auto kNow = test::kCalendarNow;

struct TaskRow {
    CalendarTask task;
    std::string seen; // the line of the independent reader
};

TEST(CalendarFile, TasksReadBackTheSameHereAndInAnotherReader)
{
    const WarsawTime zone;
    const test::TempFolder folder;
    const std::vector<TaskRow> rows = {
        {{"", "Zadzwonić do pani Łęckiej", {2026, 12, 7}, ClockTime{15, 30}, 1, "Żółć, gęślą; jaźń\ndruga linia", false},
         "VTODO|Zadzwonić do pani Łęckiej|2026-12-07T15:30:00+01:00|1|NEEDS-ACTION|Żółć, gęślą; jaźń\ndruga linia"},
        {{"", "Letnia umowa", {2026, 7, 1}, ClockTime{9, 0}, 0, "", true},
         "VTODO|Letnia umowa|2026-07-01T09:00:00+02:00||COMPLETED|"},
        {{"", "Cały dzień", {2027, 2, 28}, std::nullopt, 9, "", false},
         "VTODO|Cały dzień|2027-02-28|9|NEEDS-ACTION|"},
    };
    CalendarDocument document;
    document.setHeading("Jan Kowalski, Łódź", "Łódź Piotrkowska 1");
    for (const TaskRow& row : rows)
        document.putTask(row.task, kNow);
    const std::filesystem::path file = folder / "007.adr";
    writeCalendar(file, document);

    const std::vector<CalendarTask> tasks = readCalendar(file).tasks();
    ASSERT_EQ(tasks.size(), rows.size());
    std::string expected = "NAME|Jan Kowalski, Łódź|Łódź Piotrkowska 1\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].task.title);
        EXPECT_EQ(tasks[i].title, rows[i].task.title);
        EXPECT_EQ(tasks[i].due, rows[i].task.due);
        EXPECT_EQ(tasks[i].dueTime, rows[i].task.dueTime);
        EXPECT_EQ(tasks[i].priority, rows[i].task.priority);
        EXPECT_EQ(tasks[i].note, rows[i].task.note);
        EXPECT_EQ(tasks[i].done, rows[i].task.done);
        expected += rows[i].seen + "\n";
    }
    EXPECT_EQ(readBackCalendar(file), expected);
}

TEST(CalendarFile, TimesOfOtherZonesAreShownInTheLocalOne)
{
    const WarsawTime zone;
    const CalendarDocument document = CalendarDocument::parse(
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//EN\r\n"
        "BEGIN:VTODO\r\nUID:a\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:UTC\r\nDUE:20261207T230000Z\r\nEND:VTODO\r\n"
        "BEGIN:VTODO\r\nUID:b\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:Bez daty\r\nEND:VTODO\r\n"
        "BEGIN:VEVENT\r\nUID:c\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:Nowy Jork\r\n"
        "DTSTART;TZID=America/New_York:20260701T080000\r\nDURATION:PT1H\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n");
    const std::vector<CalendarTask> tasks = document.tasks();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks[0].due, (CalendarDate{2026, 12, 8}));
    EXPECT_EQ(tasks[0].dueTime, (ClockTime{0, 0}));
    const std::vector<CalendarEvent> events = document.events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].start, (CalendarMoment{{2026, 7, 1}, {14, 0}}));
    EXPECT_EQ(events[0].end, (CalendarMoment{{2026, 7, 1}, {15, 0}}));
    EXPECT_EQ(document.skipped(), 1);
}

TEST(CalendarFile, DamagedFilesAreKeptAsideOrReportedNeverOverwritten)
{
    const std::vector<std::string> damaged = {"to nie kalendarz", std::string("BEGIN:VCALENDAR\r\nX:\xff\xfe\r\nEND:VCALENDAR\r\n"),
                                              "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:urwane", "BEGIN:VEVENT\r\nEND:VEVENT\r\n"};
    for (const std::string& text : damaged) {
        SCOPED_TRACE(text);
        const test::TempFolder folder;
        const std::filesystem::path file = folder / "007.adr";
        writeText(file, text);
        EXPECT_THROW(readCalendar(file), CalendarDamaged);
        EXPECT_THROW(changeCalendar(file, [](CalendarDocument&) {}), CalendarDamaged);
        EXPECT_EQ(test::readBytes(file).size(), text.size());
        const LoadedCalendar loaded = loadCalendar(file, kNow);
        EXPECT_NE(loaded.damagedNotice.find("uszkodzony"), std::string::npos);
        EXPECT_TRUE(loaded.document.tasks().empty());
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

TEST(CalendarFile, TwoProgramsMarkingTasksAtOnceKeepEveryMark)
{
    const test::TempFolder folder;
    const std::filesystem::path file = folder / "007.adr";
    CalendarDocument document;
    std::vector<std::string> uids;
    for (int i = 0; i < 40; ++i)
        uids.push_back(document.putTask({"", "Zadanie " + std::to_string(i), {2026, 12, 1 + i % 28}, {}, 0, "", false}, kNow));
    writeCalendar(file, document);
    const auto markHalf = [&](int start) {
        for (std::size_t i = start; i < uids.size(); i += 2)
            changeCalendar(file, [&](CalendarDocument& onDisk) { onDisk.markDone(uids[i], true, kNow); });
    };
    std::thread first(markHalf, 0);
    std::thread second(markHalf, 1);
    first.join();
    second.join();
    for (const CalendarTask& task : readCalendar(file).tasks())
        EXPECT_TRUE(task.done) << task.title;
}

struct RecurrenceRow {
    std::string rule;
    CalendarMoment start;
    CalendarDate first, last;
    std::vector<CalendarMoment> starts;
};

TEST(CalendarFile, RecurrenceKeepsTheWallClockAcrossMonthsAndDaylightSaving)
{
    const WarsawTime zone;
    const std::vector<RecurrenceRow> rows = {
        {"FREQ=WEEKLY", {{2026, 10, 12}, {9, 0}}, {2026, 10, 20}, {2026, 11, 3},
         {{{2026, 10, 26}, {9, 0}}, {{2026, 11, 2}, {9, 0}}}},
        {"FREQ=MONTHLY", {{2026, 1, 31}, {18, 0}}, {2026, 2, 1}, {2026, 5, 31},
         {{{2026, 3, 31}, {18, 0}}, {{2026, 5, 31}, {18, 0}}}},
        {"", {{2026, 3, 29}, {1, 30}}, {2026, 3, 29}, {2026, 3, 29}, {{{2026, 3, 29}, {1, 30}}}},
    };
    for (const RecurrenceRow& row : rows) {
        SCOPED_TRACE(row.rule);
        CalendarDocument document;
        CalendarEvent event{"", "Narada – Łęcka", "Sala", "", "007", row.start,
                            {row.start.date, {row.start.time.hour + 1, 0}}, false, row.rule, 15};
        document.putEvent(event, kNow);
        const CalendarEvent stored = CalendarDocument::parse(document.text()).events().at(0);
        EXPECT_EQ(stored.reminderMinutes, 15);
        EXPECT_EQ(stored.contact, "007");
        std::vector<CalendarMoment> starts;
        for (const EventOccurrence& occurrence : occurrencesBetween(stored, row.first, row.last)) {
            starts.push_back(occurrence.start);
            EXPECT_EQ(occurrence.end.time.hour, occurrence.start.time.hour + 1);
        }
        EXPECT_EQ(starts, row.starts);
    }
}


// The start days python-dateutil gives for `rule` from `start`, first to last.
std::vector<std::string> dateutilDays(const std::string& rule, CalendarDate start, CalendarDate first, CalendarDate last)
{
    const auto compact = [](CalendarDate d) {
        std::string text = dateText(d);
        std::erase(text, '-');
        return text;
    };
    const std::string command = "/usr/bin/python3 " RRULE_DATES " '" + rule + "' " + compact(start) + " " +
                                compact(first) + " " + compact(last);
    std::FILE* pipe = popen(command.c_str(), "r");
    std::vector<std::string> days;
    std::array<char, 64> line{};
    while (pipe && std::fgets(line.data(), line.size(), pipe))
        days.emplace_back(line.data(), std::strlen(line.data()) - 1);
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << command;
    return days;
}

TEST(CalendarRecurrence, WholeDayRepeatsFallOnTheDaysDateutilGives)
{
    const WarsawTime zone;
    const CalendarDate first{2026, 12, 1};
    const CalendarDate last{2028, 11, 30}; // two years
    const std::vector<std::pair<std::string, CalendarDate>> rows = {
        {"FREQ=WEEKLY", {2026, 12, 11}},
        {"FREQ=DAILY", {2026, 12, 11}},
        {"FREQ=YEARLY", {2028, 2, 29}},
        {"FREQ=MONTHLY", {2027, 1, 31}},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,FR", {2026, 12, 11}},
        {"FREQ=DAILY;COUNT=45", {2026, 11, 20}},
        {"FREQ=MONTHLY;BYDAY=-1FR;UNTIL=20280101", {2026, 1, 30}},
    };
    std::size_t total = 0;
    for (const auto& [rule, start] : rows) {
        SCOPED_TRACE(rule);
        CalendarDocument document;
        CalendarEvent event{"", "Urlop Łęckiej", "", "", "", {start, {}}, {addDays(start, 1), {}}, true, rule, {}};
        document.putEvent(event, kNow);
        const CalendarEvent stored = CalendarDocument::parse(document.text()).events().at(0);
        const EventOccurrences expanded = expandOccurrences(stored, first, last);
        std::vector<std::string> days;
        for (const EventOccurrence& occurrence : expanded.occurrences) {
            days.push_back(dateText(occurrence.start.date));
            EXPECT_EQ(occurrence.end.date, addDays(occurrence.start.date, 1));
        }
        EXPECT_EQ(days, dateutilDays(rule, start, first, last));
        EXPECT_FALSE(expanded.cut);
        total += days.size();
    }
    EXPECT_GT(total, 900u);
}

struct FrequentRow {
    std::string rule;
    CalendarMoment start;
    int period;     // minutes between two starts
    int perDay;     // occurrences shown on each day of the week viewed
    bool cut;
    std::size_t days = 7; // days of the week viewed with an occurrence
};

TEST(CalendarRecurrence, FrequentRulesAreFollowedIntoTheViewAndCutPerDay)
{
    const WarsawTime zone;
    const CalendarDate first{2026, 12, 7};
    const CalendarDate last{2026, 12, 13};
    const std::vector<FrequentRow> rows = {
        {"FREQ=SECONDLY", {{2020, 1, 1}, {9, 0}}, 0, kMostOccurrencesPerDay, true},
        {"FREQ=SECONDLY;COUNT=1000000000", {{2026, 1, 1}, {9, 0}}, 0, kMostOccurrencesPerDay, true},
        {"FREQ=MINUTELY;INTERVAL=7", {{2026, 1, 1}, {9, 3}}, 7, kMostOccurrencesPerDay, true},
        {"FREQ=HOURLY;INTERVAL=5", {{2020, 1, 1}, {9, 0}}, 5 * 60, -1, false},
        {"FREQ=HOURLY;INTERVAL=7;BYMINUTE=0,30", {{2020, 1, 1}, {9, 15}}, 0, -1, false},
        {"FREQ=DAILY;INTERVAL=3", {{1900, 1, 1}, {9, 0}}, 3 * 24 * 60, 1, false, 2},
    };
    for (const FrequentRow& row : rows) {
        SCOPED_TRACE(row.rule);
        CalendarEvent event{"", "Odczyt licznika", "", "", "", row.start, row.start, false, row.rule, {}};
        const EventOccurrences expanded = expandOccurrences(event, first, last);
        ASSERT_FALSE(expanded.occurrences.empty());
        std::map<CalendarDate, int> perDay;
        for (const EventOccurrence& occurrence : expanded.occurrences) {
            ++perDay[occurrence.start.date];
            if (row.period > 0) {
                EXPECT_EQ(minutesBetween(row.start, occurrence.start) % row.period, 0) << timeText(occurrence.start.time);
            }
        }
        EXPECT_EQ(perDay.size(), row.days);
        if (row.perDay > 0) {
            for (const auto& [day, count] : perDay)
                EXPECT_EQ(count, row.perDay) << dateText(day);
        }
        EXPECT_EQ(expanded.cut, row.cut);
    }
}

TEST(CalendarRecurrence, SeriesOfAnotherZoneKeepsItsHourThere)
{
    const WarsawTime zone;
    // The United States move their clocks on 14.03.2027, Poland on 28.03.2027.
    const std::string file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//EN\r\n"
                             "BEGIN:VEVENT\r\nUID:ny\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:Nowy Jork\r\n"
                             "DTSTART;TZID=America/New_York:20270301T090000\r\n"
                             "DTEND;TZID=America/New_York:20270301T100000\r\nRRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\n"
                             "BEGIN:VEVENT\r\nUID:utc\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:UTC\r\n"
                             "DTSTART:20270301T080000Z\r\nDTEND:20270301T083000Z\r\nRRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\n"
                             "END:VCALENDAR\r\n";
    const std::vector<std::vector<std::string>> expected = {
        {"2027-03-01 15:00", "2027-03-08 15:00", "2027-03-15 14:00", "2027-03-22 14:00", "2027-03-29 15:00"},
        {"2027-03-01 09:00", "2027-03-08 09:00", "2027-03-15 09:00", "2027-03-22 09:00", "2027-03-29 10:00"},
    };
    const auto starts = [](const CalendarEvent& event) {
        std::vector<std::string> shown;
        for (const EventOccurrence& o : occurrencesBetween(event, {2027, 3, 1}, {2027, 3, 31}))
            shown.push_back(dateText(o.start.date) + " " + timeText(o.start.time));
        return shown;
    };
    const std::vector<CalendarEvent> events = CalendarDocument::parse(file).events();
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(events[i].title);
        EXPECT_EQ(starts(events[i]), expected[i]);
        // Stored again from the form (a new title), the series stays in its zone.
        CalendarDocument again;
        CalendarEvent changed = events[i];
        changed.title += " (zmiana)";
        again.putEvent(changed, kNow);
        EXPECT_EQ(starts(CalendarDocument::parse(again.text()).events().at(0)), expected[i]);
    }
}

} // namespace
} // namespace wirtello
