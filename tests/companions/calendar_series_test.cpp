// Series in depth: left-out, added and changed occurrences read from files and
// written by the three scopes of a change, compared occurrence by occurrence
// with an independent expansion (python-dateutil over python3-icalendar);
// repeating tasks; other programs' files read and written back.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/calendar_kit/recurrence.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace wirtello {
namespace {
using test::WarsawTime;
const auto kNow = test::kCalendarNow;

const CalendarDate kFirst{2026, 12, 1};
const CalendarDate kLast{2028, 11, 30}; // two years

std::string calendarText(const std::string& components)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Serie//PL\r\n" + components + "END:VCALENDAR\r\n";
}

std::string momentText(const CalendarMoment& m)
{
    return dateText(m.date) + "T" + timeText(m.time);
}

// "start|end|title" of every occurrence starting from kFirst to kLast, as
// the independent reader expands the file.
std::vector<std::string> dateutilOccurrences(const std::filesystem::path& file)
{
    const std::string command = "/usr/bin/python3 " ICS_OCCURRENCES " " + file.string() + " " + dateText(kFirst) + " " +
                                dateText(kLast);
    std::FILE* pipe = popen(command.c_str(), "r");
    std::vector<std::string> lines;
    std::array<char, 512> line{};
    while (pipe && std::fgets(line.data(), line.size(), pipe))
        lines.emplace_back(line.data(), std::strlen(line.data()) - 1);
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << command;
    return lines;
}

// The same as this program expands the calendar.
std::vector<std::string> ownOccurrences(const CalendarDocument& document)
{
    std::vector<std::string> lines;
    for (const CalendarEvent& event : document.events()) {
        for (const EventOccurrence& o : occurrencesBetween(event, kFirst, kLast)) {
            if (o.start.date >= kFirst)
                lines.push_back(momentText(o.start) + "|" + momentText(o.end) + "|" + o.title);
        }
    }
    std::ranges::sort(lines);
    return lines;
}

// Both expansions of the calendar as written to a file; returns this program's.
std::vector<std::string> expectSameAsDateutil(const CalendarDocument& document)
{
    const test::TempFolder folder;
    const std::filesystem::path file = folder / "serie.ics";
    writeCalendar(file, document);
    const CalendarDocument again = readCalendar(file);
    const std::vector<std::string> own = ownOccurrences(again);
    const std::vector<std::string> theirs = dateutilOccurrences(file);
    std::vector<std::string> onlyOwn;
    std::vector<std::string> onlyTheirs;
    std::ranges::set_difference(own, theirs, std::back_inserter(onlyOwn));
    std::ranges::set_difference(theirs, own, std::back_inserter(onlyTheirs));
    EXPECT_TRUE(onlyOwn.empty() && onlyTheirs.empty())
        << "only here: " << ::testing::PrintToString(onlyOwn) << "\nonly in dateutil: " << ::testing::PrintToString(onlyTheirs);
    return own;
}

std::string event(const std::string& uid, const std::string& title, const std::string& lines)
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:" + title + "\r\n" + lines +
           "END:VEVENT\r\n";
}

struct SeriesRow {
    std::string name;
    std::string components;
    std::size_t occurrences; // how many dateutil gives, so a row cannot pass empty
};

TEST(CalendarSeries, OccurrencesOfFilesAreThoseDateutilGives)
{
    const WarsawTime zone;
    const std::vector<SeriesRow> rows = {
        {"daily, COUNT, across the spring change",
         event("d", "Codziennie", "DTSTART;TZID=Europe/Warsaw:20270320T090000\r\nDTEND;TZID=Europe/Warsaw:20270320T093000\r\n"
                                  "RRULE:FREQ=DAILY;COUNT=40\r\n"),
         40},
        {"weekly by days, UNTIL in UTC, across both changes",
         event("w", "Wtorki i czwartki",
               "DTSTART;TZID=Europe/Warsaw:20261201T173000\r\nDTEND;TZID=Europe/Warsaw:20261201T190000\r\n"
               "RRULE:FREQ=WEEKLY;BYDAY=TU,TH;UNTIL=20280629T153000Z\r\n"),
         166},
        {"monthly by day, one left out, one added",
         event("m", "Piętnastego",
               "DTSTART;TZID=Europe/Warsaw:20261215T080000\r\nDTEND;TZID=Europe/Warsaw:20261215T081500\r\n"
               "RRULE:FREQ=MONTHLY\r\nEXDATE;TZID=Europe/Warsaw:20270715T080000\r\n"
               "RDATE;TZID=Europe/Warsaw:20270716T080000\r\n"),
         24},
        {"monthly by weekday, an occurrence moved and retitled, one left out in UTC",
         event("mw", "Drugi wtorek",
               "DTSTART;TZID=Europe/Warsaw:20261208T100000\r\nDTEND;TZID=Europe/Warsaw:20261208T110000\r\n"
               "RRULE:FREQ=MONTHLY;BYDAY=2TU\r\nEXDATE:20271109T090000Z\r\n") +
             event("mw", "Drugi wtorek — przeniesiony",
                   "RECURRENCE-ID;TZID=Europe/Warsaw:20271012T100000\r\n"
                   "DTSTART;TZID=Europe/Warsaw:20271102T120000\r\nDTEND;TZID=Europe/Warsaw:20271102T130000\r\n"),
         23},
        {"daily at an hour the spring change skips",
         event("g", "O wpół do trzeciej",
               "DTSTART;TZID=Europe/Warsaw:20270325T023000\r\nDTEND;TZID=Europe/Warsaw:20270325T030000\r\n"
               "RRULE:FREQ=DAILY;COUNT=5\r\n"),
         5},
        {"no rule, added dates only, one of them left out",
         event("r", "Trzy spotkania",
               "DTSTART;TZID=Europe/Warsaw:20270111T090000\r\nDTEND;TZID=Europe/Warsaw:20270111T100000\r\n"
               "RDATE;TZID=Europe/Warsaw:20270118T090000,20270301T090000\r\n"
               "EXDATE;TZID=Europe/Warsaw:20270118T090000\r\n"),
         2},
        {"yearly on 29 February",
         event("y", "Przestępny", "DTSTART;VALUE=DATE:20240229\r\nDTEND;VALUE=DATE:20240301\r\nRRULE:FREQ=YEARLY\r\n"), 1},
        {"whole days weekly, a day left out, one moved",
         event("wd", "Dyżur",
               "DTSTART;VALUE=DATE:20261204\r\nDTEND;VALUE=DATE:20261205\r\nRRULE:FREQ=WEEKLY;COUNT=20\r\n"
               "EXDATE;VALUE=DATE:20261225\r\n") +
             event("wd", "Dyżur w sobotę",
                   "RECURRENCE-ID;VALUE=DATE:20270101\r\nDTSTART;VALUE=DATE:20270102\r\nDTEND;VALUE=DATE:20270103\r\n"),
         19},
        {"weekly in New York across both countries' changes",
         event("ny", "Nowy Jork",
               "DTSTART;TZID=America/New_York:20270301T090000\r\nDTEND;TZID=America/New_York:20270301T100000\r\n"
               "RRULE:FREQ=WEEKLY;UNTIL=20271231T000000Z\r\nEXDATE;TZID=America/New_York:20270315T090000\r\n"),
         43},
        {"autumn night: 2:30 happens twice, shown once",
         event("n", "Nocna zmiana",
               "DTSTART;TZID=Europe/Warsaw:20271017T023000\r\nDTEND;TZID=Europe/Warsaw:20271017T030000\r\n"
               "RRULE:FREQ=WEEKLY;COUNT=4\r\n"),
         4},
    };
    for (const SeriesRow& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<std::string> own = expectSameAsDateutil(CalendarDocument::parse(calendarText(row.components)));
        EXPECT_EQ(own.size(), row.occurrences);
    }
}

CalendarEvent weeklyMeeting()
{
    CalendarEvent meeting{"", "Narada", "Sala 2", "", "007", {{2026, 12, 1}, {9, 0}}, {{2026, 12, 1}, {10, 0}},
                          false, "FREQ=WEEKLY", 15};
    return meeting;
}

CalendarEvent changedTo(const CalendarEvent& series, CalendarMoment start, const std::string& title)
{
    CalendarEvent changed = series;
    const long long length = 60;
    changed.start = start;
    changed.end = start;
    changed.end.time.hour += static_cast<int>(length / 60);
    changed.title = title;
    return changed;
}

const EventOccurrence* occurrenceOn(const std::vector<EventOccurrence>& list, CalendarDate day)
{
    const auto at = std::ranges::find_if(list, [&](const EventOccurrence& o) { return o.start.date == day; });
    return at == list.end() ? nullptr : &*at;
}

// The office's week: one meeting moved, one deleted, the series cut from
// March at a new hour; as dateutil expands the file written.
TEST(CalendarSeries, OnlyThisAndThisAndFollowingAgreeWithDateutil)
{
    const WarsawTime zone;
    CalendarDocument document;
    const std::string uid = document.putEvent(weeklyMeeting(), kNow);
    const CalendarEvent series = document.events().at(0);
    // Only this: 12 January moves to Wednesday 14:00 with its own title.
    EXPECT_EQ(document.changeOccurrence(uid, {{2027, 1, 12}, {9, 0}},
                                        changedTo(series, {{2027, 1, 13}, {14, 0}}, "Narada (środa)"),
                                        SeriesScope::OnlyThis, kNow),
              uid);
    // Only this: 19 January is deleted.
    EXPECT_TRUE(document.removeOccurrence(uid, {{2027, 1, 19}, {9, 0}}, SeriesScope::OnlyThis, kNow));
    // This and following: from 2 March at 10:00.
    const std::string rest = document.changeOccurrence(uid, {{2027, 3, 2}, {9, 0}},
                                                       changedTo(series, {{2027, 3, 2}, {10, 0}}, "Narada o 10"),
                                                       SeriesScope::ThisAndFollowing, kNow);
    ASSERT_FALSE(rest.empty());
    EXPECT_NE(rest, uid);

    const std::vector<std::string> own = expectSameAsDateutil(document);
    EXPECT_EQ(own.size(), 105u - 1u); // two years of Tuesdays less the one deleted
    const std::vector<CalendarEvent> events = CalendarDocument::parse(document.text()).events();
    ASSERT_EQ(events.size(), 2u);
    const std::vector<EventOccurrence> first = occurrencesBetween(events[0], {2027, 1, 1}, {2027, 3, 31});
    ASSERT_NE(occurrenceOn(first, {2027, 1, 13}), nullptr);
    EXPECT_TRUE(occurrenceOn(first, {2027, 1, 13})->changed);
    EXPECT_EQ(occurrenceOn(first, {2027, 1, 13})->recurrenceId, (CalendarMoment{{2027, 1, 12}, {9, 0}}));
    EXPECT_EQ(occurrenceOn(first, {2027, 1, 12}), nullptr);
    EXPECT_EQ(occurrenceOn(first, {2027, 1, 19}), nullptr);
    EXPECT_EQ(occurrenceOn(first, {2027, 3, 2}), nullptr);
    // The new series keeps the reminder and the contact.
    EXPECT_EQ(events[1].uid, rest);
    EXPECT_EQ(events[1].reminderMinutes, 15);
    EXPECT_EQ(events[1].contact, "007");
    EXPECT_EQ(events[1].start, (CalendarMoment{{2027, 3, 2}, {10, 0}}));
}

TEST(CalendarSeries, ThisAndFollowingTakesCountLeftOutAndChangedOccurrencesAlong)
{
    const WarsawTime zone;
    CalendarDocument document;
    CalendarEvent counted = weeklyMeeting();
    counted.recurrence = "FREQ=WEEKLY;COUNT=10";
    const std::string uid = document.putEvent(counted, kNow);
    const CalendarEvent series = document.events().at(0);
    // Left out and changed after the cut: they go with the rest, an hour later as it is.
    document.removeOccurrence(uid, {{2027, 1, 19}, {9, 0}}, SeriesScope::OnlyThis, kNow);
    document.changeOccurrence(uid, {{2027, 1, 26}, {9, 0}}, changedTo(series, {{2027, 1, 26}, {12, 0}}, "Narada w południe"),
                              SeriesScope::OnlyThis, kNow);
    const std::string rest = document.changeOccurrence(uid, {{2027, 1, 5}, {9, 0}},
                                                       changedTo(series, {{2027, 1, 5}, {10, 0}}, "Narada"),
                                                       SeriesScope::ThisAndFollowing, kNow);
    const std::vector<std::string> own = expectSameAsDateutil(document);
    EXPECT_EQ(own.size(), 9u); // ten by COUNT, one left out
    const std::vector<CalendarEvent> events = document.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].recurrence, "FREQ=WEEKLY;COUNT=5");
    EXPECT_EQ(events[1].recurrence, "FREQ=WEEKLY;COUNT=5");
    EXPECT_EQ(events[1].leftOut, (std::vector<CalendarMoment>{{{2027, 1, 19}, {10, 0}}}));
    ASSERT_EQ(events[1].changes.size(), 1u);
    EXPECT_EQ(events[1].changes[0].of, (CalendarMoment{{2027, 1, 26}, {10, 0}}));
    EXPECT_EQ(events[1].changes[0].start, (CalendarMoment{{2027, 1, 26}, {12, 0}}));
    EXPECT_EQ(events[1].uid, rest);
}

TEST(CalendarSeries, AllMovesTheSeriesAndKeepsOnlyTheChangesThatStillFit)
{
    const WarsawTime zone;
    CalendarDocument document;
    const std::string uid = document.putEvent(weeklyMeeting(), kNow);
    const CalendarEvent series = document.events().at(0);
    document.changeOccurrence(uid, {{2027, 1, 12}, {9, 0}}, changedTo(series, {{2027, 1, 12}, {11, 0}}, "Inna"),
                              SeriesScope::OnlyThis, kNow);
    document.removeOccurrence(uid, {{2027, 1, 19}, {9, 0}}, SeriesScope::OnlyThis, kNow);
    struct Row {
        std::string name;
        std::string rule;
        CalendarMoment start; // of the occurrence of 5 January
        std::size_t changes;
        std::size_t leftOut;
    };
    const std::vector<Row> rows = {
        {"an hour later: everything moves along", "FREQ=WEEKLY", {{2027, 1, 5}, {10, 0}}, 1, 1},
        {"every other week: 19 January no longer on the rule", "FREQ=WEEKLY;INTERVAL=2", {{2027, 1, 5}, {10, 0}}, 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CalendarDocument copy = document;
        CalendarEvent changed = changedTo(series, row.start, "Narada zarządu");
        changed.recurrence = row.rule;
        EXPECT_EQ(copy.changeOccurrence(uid, {{2027, 1, 5}, {9, 0}}, changed, SeriesScope::All, kNow), uid);
        const CalendarEvent moved = copy.events().at(0);
        EXPECT_EQ(moved.start, (CalendarMoment{{2026, 12, 1}, {10, 0}}));
        EXPECT_EQ(moved.title, "Narada zarządu");
        EXPECT_EQ(moved.changes.size(), row.changes);
        EXPECT_EQ(moved.leftOut.size(), row.leftOut);
        if (!moved.leftOut.empty()) {
            EXPECT_EQ(moved.leftOut[0], (CalendarMoment{{2027, 1, 19}, {10, 0}}));
        }
        expectSameAsDateutil(copy);
    }
    // Deleting all takes the changed occurrences along.
    EXPECT_TRUE(document.removeOccurrence(uid, {{2027, 1, 5}, {9, 0}}, SeriesScope::All, kNow));
    EXPECT_TRUE(document.events().empty());
    EXPECT_EQ(document.text().find("RECURRENCE-ID"), std::string::npos);
}

// A changed occurrence chosen and only retitled: the series does not move by its own shift,
// and it stays where it was moved, under the new title.
TEST(CalendarSeries, AChangedOccurrenceRetitledForTheSeriesStaysWhereItWasMoved)
{
    const WarsawTime zone;
    for (const SeriesScope scope : {SeriesScope::All, SeriesScope::ThisAndFollowing}) {
        SCOPED_TRACE(static_cast<int>(scope));
        CalendarDocument document;
        const std::string uid = document.putEvent(weeklyMeeting(), kNow);
        const CalendarEvent series = document.events().at(0);
        document.changeOccurrence(uid, {{2027, 1, 12}, {9, 0}}, changedTo(series, {{2027, 1, 13}, {14, 0}}, "Narada (środa)"),
                                  SeriesScope::OnlyThis, kNow);
        // The form shows the changed occurrence; only its title is edited.
        const std::string holder = document.changeOccurrence(
            uid, {{2027, 1, 12}, {9, 0}}, changedTo(series, {{2027, 1, 13}, {14, 0}}, "Zarząd"), scope, kNow);
        const std::vector<std::string> own = expectSameAsDateutil(document);
        const auto has = [&](const std::string& line) { return std::ranges::find(own, line) != own.end(); };
        EXPECT_TRUE(has("2027-01-13T14:00|2027-01-13T15:00|Zarząd"));
        EXPECT_TRUE(has("2027-01-19T09:00|2027-01-19T10:00|Zarząd"));
        EXPECT_FALSE(has("2027-01-12T09:00|2027-01-12T10:00|Zarząd"));
        EXPECT_EQ(has("2027-01-05T09:00|2027-01-05T10:00|Narada"), scope == SeriesScope::ThisAndFollowing);
        EXPECT_EQ(own.size(), 105u);
        EXPECT_EQ(holder == uid, scope == SeriesScope::All);
    }
}

TEST(CalendarSeries, DeletingThisAndFollowingEndsTheSeriesBeforeIt)
{
    const WarsawTime zone;
    struct Row {
        std::string name;
        CalendarEvent series;
        CalendarMoment from;
        std::size_t left; // occurrences from kFirst on
    };
    CalendarEvent wholeDay{"", "Dyżur", "", "", "", {{2026, 12, 4}, {}}, {{2026, 12, 5}, {}}, true, "FREQ=WEEKLY", {}};
    CalendarEvent counted = weeklyMeeting();
    counted.recurrence = "FREQ=DAILY;COUNT=30";
    CalendarEvent newYork = weeklyMeeting();
    newYork.zone = "America/New_York";
    newYork.start = {{2026, 12, 1}, {15, 0}};
    newYork.end = {{2026, 12, 1}, {16, 0}};
    const std::vector<Row> rows = {
        {"timed, UNTIL", weeklyMeeting(), {{2027, 2, 2}, {9, 0}}, 9},
        {"whole days, UNTIL a date", wholeDay, {{2027, 1, 1}, {}}, 4},
        {"COUNT cut", counted, {{2026, 12, 11}, {9, 0}}, 10},
        {"another zone, UNTIL in UTC", newYork, {{2027, 3, 23}, {14, 0}}, 16},
        {"from the first: nothing left", weeklyMeeting(), {{2026, 12, 1}, {9, 0}}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CalendarDocument document;
        const std::string uid = document.putEvent(row.series, kNow);
        EXPECT_TRUE(document.removeOccurrence(uid, row.from, SeriesScope::ThisAndFollowing, kNow));
        EXPECT_EQ(expectSameAsDateutil(document).size(), row.left);
    }
}

TEST(CalendarSeries, WholeDayAndOtherZoneSeriesWriteTheirChangesAsTheirStartIsWritten)
{
    const WarsawTime zone;
    CalendarEvent wholeDay{"", "Dyżur", "", "", "", {{2026, 12, 4}, {}}, {{2026, 12, 5}, {}}, true, "FREQ=WEEKLY", {}};
    CalendarEvent newYork = weeklyMeeting();
    newYork.zone = "America/New_York";
    newYork.start = {{2026, 12, 1}, {15, 0}};
    newYork.end = {{2026, 12, 1}, {16, 0}};
    struct Row {
        std::string name;
        CalendarEvent series;
        CalendarMoment deleted;
        CalendarMoment moved;
        CalendarMoment to;
        std::vector<std::string> lines; // as written
    };
    const std::vector<Row> rows = {
        {"whole days", wholeDay, {{2026, 12, 25}, {}}, {{2027, 1, 1}, {}}, {{2027, 1, 2}, {}},
         {"EXDATE;VALUE=DATE:20261225", "RECURRENCE-ID;VALUE=DATE:20270101", "DTSTART;VALUE=DATE:20270102"}},
        // Past both countries' spring changes: 15:00 in Warsaw is 9:00 in New York again.
        {"New York", newYork, {{2027, 4, 6}, {15, 0}}, {{2027, 4, 13}, {15, 0}}, {{2027, 4, 13}, {17, 0}},
         {"EXDATE;TZID=America/New_York:20270406T090000", "RECURRENCE-ID;TZID=America/New_York:20270413T090000",
          "DTSTART;TZID=America/New_York:20270413T110000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CalendarDocument document;
        const std::string uid = document.putEvent(row.series, kNow);
        EXPECT_TRUE(document.removeOccurrence(uid, row.deleted, SeriesScope::OnlyThis, kNow));
        CalendarEvent changed = document.events().at(0);
        changed.start = row.to;
        changed.end = row.series.wholeDay ? CalendarMoment{addDays(row.to.date, 1), {}}
                                          : CalendarMoment{row.to.date, {row.to.time.hour + 1, 0}};
        changed.title = "Zmienione";
        EXPECT_EQ(document.changeOccurrence(uid, row.moved, changed, SeriesScope::OnlyThis, kNow), uid);
        const std::string text = document.text();
        for (const std::string& line : row.lines)
            EXPECT_NE(text.find(line + "\r\n"), std::string::npos) << line;
        expectSameAsDateutil(document);
    }
}

TEST(CalendarSeries, ChangesHoldingForTheFutureAreFollowedAndKept)
{
    const WarsawTime zone;
    // Another program moved the series from 2 February on by two hours with RANGE=THISANDFUTURE.
    const std::string text = calendarText(
        event("f", "Narada",
              "DTSTART;TZID=Europe/Warsaw:20270105T090000\r\nDTEND;TZID=Europe/Warsaw:20270105T100000\r\n"
              "RRULE:FREQ=WEEKLY;COUNT=6\r\n") +
        event("f", "Narada później",
              "RECURRENCE-ID;RANGE=THISANDFUTURE;TZID=Europe/Warsaw:20270202T090000\r\n"
              "DTSTART;TZID=Europe/Warsaw:20270202T110000\r\nDTEND;TZID=Europe/Warsaw:20270202T120000\r\n"));
    const CalendarDocument document = CalendarDocument::parse(text);
    std::vector<std::string> shown;
    for (const EventOccurrence& o : occurrencesBetween(document.events().at(0), {2027, 1, 1}, {2027, 3, 31}))
        shown.push_back(momentText(o.start) + " " + o.title);
    EXPECT_EQ(shown, (std::vector<std::string>{"2027-01-05T09:00 Narada", "2027-01-12T09:00 Narada",
                                               "2027-01-19T09:00 Narada", "2027-01-26T09:00 Narada",
                                               "2027-02-02T11:00 Narada później", "2027-02-09T11:00 Narada później"}));
    EXPECT_NE(document.text().find("RANGE=THISANDFUTURE"), std::string::npos);
}

struct TaskRow {
    std::string name;
    std::string lines;          // of the VTODO
    std::vector<std::string> dues; // the due date shown after each mark
    bool doneAtEnd;
};

TEST(CalendarSeries, RepeatingTaskDoneMovesToItsNextOccurrence)
{
    const WarsawTime zone;
    const std::vector<TaskRow> rows = {
        {"weekly by DUE", "DUE;VALUE=DATE:20261207\r\nRRULE:FREQ=WEEKLY\r\n", {"2026-12-14", "2026-12-21"}, false},
        {"monthly from DTSTART, a month left out",
         "DTSTART;TZID=Europe/Warsaw:20261231T080000\r\nDUE;TZID=Europe/Warsaw:20261231T160000\r\n"
         "RRULE:FREQ=MONTHLY;BYMONTHDAY=-1\r\nEXDATE;TZID=Europe/Warsaw:20270131T080000\r\n",
         {"2027-02-28", "2027-03-31"}, false},
        {"COUNT runs out", "DUE;VALUE=DATE:20261207\r\nRRULE:FREQ=DAILY;COUNT=3\r\n",
         {"2026-12-08", "2026-12-09", "2026-12-09"}, true},
    };
    for (const TaskRow& row : rows) {
        SCOPED_TRACE(row.name);
        CalendarDocument document = CalendarDocument::parse(calendarText(
            "BEGIN:VTODO\r\nUID:t\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:Faktury\r\n" + row.lines + "END:VTODO\r\n"));
        EXPECT_FALSE(document.tasks().at(0).recurrence.empty());
        for (const std::string& due : row.dues) {
            EXPECT_TRUE(document.markDone("t", true, kNow));
            document = CalendarDocument::parse(document.text());
            EXPECT_EQ(dateText(document.tasks().at(0).due), due);
        }
        EXPECT_EQ(document.tasks().at(0).done, row.doneAtEnd);
    }
}

// Another program may change or complete the open occurrence of a repeating
// task with a RECURRENCE-ID of its own: the task shows it as changed there.
TEST(CalendarSeries, ARepeatingTasksOpenOccurrenceChangedElsewhereShowsAsChanged)
{
    const WarsawTime zone;
    const std::string master = "BEGIN:VTODO\r\nUID:t\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:Raport\r\n"
                               "PRIORITY:5\r\nDUE;VALUE=DATE:20261207\r\nRRULE:FREQ=WEEKLY\r\nEND:VTODO\r\n";
    struct Row {
        std::string name;
        std::string change;
        std::string title;
        std::string due;
        bool done;
    };
    const std::vector<Row> rows = {
        {"moved and retitled",
         "RECURRENCE-ID;VALUE=DATE:20261207\r\nSUMMARY:Raport roczny\r\nDUE;VALUE=DATE:20261209\r\n", "Raport roczny",
         "2026-12-09", false},
        {"done there: the next one is open", "RECURRENCE-ID;VALUE=DATE:20261207\r\nSTATUS:COMPLETED\r\n", "Raport",
         "2026-12-14", false},
        {"a change of a past occurrence", "RECURRENCE-ID;VALUE=DATE:20261130\r\nSUMMARY:Dawny\r\n", "Raport",
         "2026-12-07", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CalendarDocument document = CalendarDocument::parse(calendarText(
            master + "BEGIN:VTODO\r\nUID:t\r\nDTSTAMP:20261201T000000Z\r\n" + row.change + "END:VTODO\r\n"));
        ASSERT_EQ(document.tasks().size(), 1u);
        const CalendarTask task = document.tasks().at(0);
        EXPECT_EQ(task.uid, "t");
        EXPECT_EQ(task.title, row.title);
        EXPECT_EQ(dateText(task.due), row.due);
        EXPECT_EQ(task.done, row.done);
        EXPECT_EQ(task.priority, 5);
    }
}

// Each line of `text` (unfolded) once.
std::multiset<std::string> linesOf(const std::string& text)
{
    std::multiset<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            continue;
        if (text[i] == '\n') {
            if (i + 1 < text.size() && (text[i + 1] == ' ' || text[i + 1] == '\t')) {
                ++i; // a folded line goes on
                continue;
            }
            lines.insert(line);
            line.clear();
            continue;
        }
        line += text[i];
    }
    if (!line.empty())
        lines.insert(line);
    return lines;
}

struct SampleRow {
    std::string file;
    std::vector<std::string> kept;   // lines libical writes back for what this program does not use
    std::vector<std::string> shown;  // "start title" of the occurrences from `first` to `last`
    CalendarDate first;
    CalendarDate last;
};

// Other programs' files: read, an appointment added and removed again, written:
// every line of theirs comes back, and their series show as they should.
TEST(CalendarSeries, OtherProgramsFilesComeBackWithEverythingTheyHeld)
{
    const WarsawTime zone;
    const std::vector<SampleRow> rows = {
        {"exchange_series_with_exdate.ics",
         {"X-MICROSOFT-CDO-BUSYSTATUS:BUSY", "EXDATE;TZID=GMT Standard Time:20240715T000000", "TZID:GMT Standard Time",
          "RRULE:FREQ=WEEKLY;UNTIL=20240728T230000Z;INTERVAL=2;BYDAY=MO"}, // WKST=MO is the default libical leaves out
         {"2024-07-01T00:00 test123", "2024-07-01T00:00 test123 - edited event!!!!", "2024-07-29T00:00 test123",
          "2024-07-29T00:00 test123 - edited event!!!!", "2024-10-04T19:30 outlook event with alarm"},
         {2024, 6, 1},
         {2024, 10, 31}},
        {"online_calendar_alarms.ics",
         {"ACTION:EMAIL", "ATTENDEE:mailto:niccokunzmann@googlemail.com", "X-WR-TIMEZONE:Europe/London"},
         {"2024-10-04T20:15 event with alarms"},
         {2024, 10, 1},
         {2024, 10, 31}},
        {"rdate_periods_this_and_future.ics",
         {"ATTENDEE;CN=XYZ;PARTSTAT=ACCEPTED;ROLE=CHAIR;RSVP=FALSE:mailto:xyz@xyz.com",
          "RECURRENCE-ID;RANGE=THISANDFUTURE:20180327T130000Z"},
         {},
         {2018, 3, 1},
         {2018, 8, 31}},
        {"change_without_series.ics", {"RECURRENCE-ID:20250428T160500Z", "SUMMARY:Test recurrence"}, {}, {2025, 4, 1}, {2025, 4, 30}},
        {"rdate_period_of_dates.ics",
         {"DTSTART;TZID=America/New_York:19970101T180000"},
         {"1997-01-02T00:00 "},
         {1997, 1, 1},
         {1997, 1, 31}},
    };
    for (const SampleRow& row : rows) {
        SCOPED_TRACE(row.file);
        const test::TempFolder folder;
        const std::filesystem::path file = folder / "kalendarz.ics";
        std::filesystem::copy_file(std::filesystem::path(ICAL_SAMPLES) / row.file, file);
        const std::string asRead = readCalendar(file).text();
        std::string added;
        changeCalendar(file, [&](CalendarDocument& calendar) { added = calendar.putEvent(weeklyMeeting(), kNow); });
        changeCalendar(file, [&](CalendarDocument& calendar) { EXPECT_TRUE(calendar.remove(added)); });
        const CalendarDocument again = readCalendar(file);
        const std::multiset<std::string> before = linesOf(asRead);
        const std::multiset<std::string> after = linesOf(again.text());
        std::vector<std::string> lost;
        std::ranges::set_difference(before, after, std::back_inserter(lost));
        EXPECT_TRUE(lost.empty()) << ::testing::PrintToString(lost);
        for (const std::string& line : row.kept)
            EXPECT_GE(after.count(line), 1u) << line;
        std::vector<std::string> shown;
        for (const CalendarEvent& event : again.events()) {
            for (const EventOccurrence& o : occurrencesBetween(event, row.first, row.last))
                shown.push_back(momentText(o.start) + " " + o.title);
        }
        std::ranges::sort(shown);
        EXPECT_EQ(shown, row.shown);
    }
}

} // namespace
} // namespace wirtello
