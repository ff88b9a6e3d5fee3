// The appointment calendar (grafik): which appointment shows on which day
// after its file is written and read, reminders, import counting, and the
// window driven as a user drives it, its file read back by another reader.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/grafik/schedule.h"
#include "companions/grafik/schedule_window.h"
#include "companions/reminders/reminder_keeper.h"
#include "companions/companion_kit/document_watch.h"

#include "store/safe_file.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/companions/companion_window_checks.h"
#include "platform/program_window.h"
#include "platform/session_end.h"
#include "tests/support/temp_folder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::readBackCalendar;
using test::writeText;
using test::WarsawTime;
const auto kNow = test::kCalendarNow;

CalendarEvent event(std::string title, CalendarMoment start, CalendarMoment end, std::string rule = {})
{
    CalendarEvent e;
    e.title = std::move(title);
    e.start = start;
    e.end = end;
    e.recurrence = std::move(rule);
    return e;
}

// The events as stored and read again, as the window has them.
std::vector<CalendarEvent> throughFile(const std::vector<CalendarEvent>& events)
{
    CalendarDocument document;
    for (const CalendarEvent& e : events)
        document.putEvent(e, kNow);
    return CalendarDocument::parse(document.text()).events();
}

std::vector<std::string> shownDays(const std::vector<CalendarEvent>& events, CalendarDate first, CalendarDate last)
{
    std::vector<std::string> shown;
    const auto days = appointmentsByDay(events, first, last);
    for (std::size_t i = 0; i < days.size(); ++i) {
        const CalendarDate day = addDays(first, static_cast<int>(i));
        for (const DayAppointment& a : days[i])
            shown.push_back(dateText(day) + " " + appointmentLine(events[a.event], a.occurrence, day));
    }
    return shown;
}

struct DaysRow {
    const char* name;
    CalendarEvent event;
    CalendarDate first;
    CalendarDate last;
    std::vector<std::string> shown;
};

TEST(GrafikSchedule, AppointmentsFallOnTheirDaysAfterTheFile)
{
    const WarsawTime zone;
    const std::vector<DaysRow> rows = {
        {"weekly across the month boundary, the December month view",
         event("Narada", {{2026, 11, 23}, {9, 0}}, {{2026, 11, 23}, {10, 0}}, "FREQ=WEEKLY"),
         monthViewStart(2026, 12), addDays(monthViewStart(2026, 12), kMonthViewDays - 1),
         {"2026-11-30 09:00–10:00 Narada", "2026-12-07 09:00–10:00 Narada", "2026-12-14 09:00–10:00 Narada",
          "2026-12-21 09:00–10:00 Narada", "2026-12-28 09:00–10:00 Narada", "2027-01-04 09:00–10:00 Narada"}},
        {"weekly across the spring daylight saving change keeps its hour",
         event("Przegląd", {{2027, 3, 18}, {9, 0}}, {{2027, 3, 18}, {9, 30}}, "FREQ=WEEKLY"), {2027, 3, 22}, {2027, 4, 4},
         {"2027-03-25 09:00–09:30 Przegląd", "2027-04-01 09:00–09:30 Przegląd"}},
        {"weekly across the autumn change keeps its hour",
         event("Przegląd", {{2026, 10, 20}, {17, 0}}, {{2026, 10, 20}, {18, 0}}, "FREQ=WEEKLY"), {2026, 10, 21}, {2026, 11, 3},
         {"2026-10-27 17:00–18:00 Przegląd", "2026-11-03 17:00–18:00 Przegląd"}},
        {"monthly on the 31st skips short months",
         event("Raport", {{2027, 1, 31}, {12, 0}}, {{2027, 1, 31}, {13, 0}}, "FREQ=MONTHLY"), {2027, 1, 1}, {2027, 5, 31},
         {"2027-01-31 12:00–13:00 Raport", "2027-03-31 12:00–13:00 Raport", "2027-05-31 12:00–13:00 Raport"}},
        {"monthly into the next year",
         event("Czynsz", {{2026, 11, 10}, {8, 0}}, {{2026, 11, 10}, {8, 15}}, "FREQ=MONTHLY"), {2026, 12, 1}, {2027, 1, 31},
         {"2026-12-10 08:00–08:15 Czynsz", "2027-01-10 08:00–08:15 Czynsz"}},
        {"over midnight on two days", event("Dyżur", {{2026, 12, 31}, {22, 0}}, {{2027, 1, 1}, {2, 0}}), {2026, 12, 28},
         {2027, 1, 3}, {"2026-12-31 22:00–… Dyżur", "2027-01-01 … do 02:00 Dyżur"}},
    };
    for (const DaysRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(shownDays(throughFile({row.event}), row.first, row.last), row.shown);
    }
}

TEST(GrafikSchedule, RepeatRulesAreDescribedInPolish)
{
    const WarsawTime zone;
    const std::vector<std::pair<std::string, std::string>> rows = {
        // A series cut by "To i następne": its last occurrence, not the UTC second of its UNTIL.
        {"FREQ=WEEKLY;UNTIL=20270105T075959Z", "co tydzień, ostatni raz 29.12.2026"},
        {"FREQ=WEEKLY;INTERVAL=2;COUNT=3", "co 2 tygodnie, 3 razy"},
        {"FREQ=MONTHLY;INTERVAL=5", "co 5 miesięcy"},
        {"FREQ=DAILY;COUNT=1", "codziennie, 1 raz"},
        {"FREQ=YEARLY;INTERVAL=22;UNTIL=20501201", "co 22 lata, ostatni raz 1.12.2048"},
        {"FREQ=WEEKLY;BYDAY=MO,FR", "FREQ=WEEKLY;BYDAY=MO,FR"},
        {"FREQ=WEEKLY;UNTIL=2027", "FREQ=WEEKLY;UNTIL=2027"},
    };
    for (const auto& [rule, text] : rows) {
        CalendarEvent series = event("Narada", {{2026, 12, 1}, {9, 0}}, {{2026, 12, 1}, {10, 0}}, rule);
        if (rule.find("YEARLY") != std::string::npos)
            series.wholeDay = true;
        EXPECT_EQ(repeatDescription(series), text) << rule;
    }
}

TEST(GrafikSchedule, RemindersComeDueOnceBeforeTheStart)
{
    CalendarEvent meeting = event("Narada", {{2026, 12, 7}, {10, 0}}, {{2026, 12, 7}, {11, 0}}, "FREQ=WEEKLY");
    meeting.uid = "n1";
    meeting.reminderMinutes = 15;
    const std::vector<std::pair<CalendarMoment, std::vector<std::string>>> rows = {
        {{{2026, 12, 7}, {9, 44}}, {}},
        {{{2026, 12, 7}, {9, 45}}, {"termin|n1|2026-12-07T10:00"}},
        {{{2026, 12, 7}, {9, 59}}, {"termin|n1|2026-12-07T10:00"}},
        {{{2026, 12, 7}, {10, 0}}, {}},
        {{{2026, 12, 14}, {9, 50}}, {"termin|n1|2026-12-14T10:00"}},
    };
    for (const auto& [now, keys] : rows) {
        std::vector<std::string> due;
        for (const DueReminder& reminder : dueReminders({meeting}, now))
            due.push_back(reminder.key);
        EXPECT_EQ(due, keys) << timeText(now.time);
    }
    // An occurrence moved on its own reminds at its new time with its own lead; one left out never.
    CalendarDocument document;
    const std::string uid = document.putEvent(meeting, kNow);
    CalendarEvent moved = meeting;
    moved.start = {{2026, 12, 22}, {12, 0}};
    moved.end = {{2026, 12, 22}, {13, 0}};
    moved.reminderMinutes = 60;
    document.changeOccurrence(uid, {{2026, 12, 21}, {10, 0}}, moved, SeriesScope::OnlyThis, kNow);
    document.removeOccurrence(uid, {{2026, 12, 28}, {10, 0}}, SeriesScope::OnlyThis, kNow);
    const std::vector<CalendarEvent> events = document.events();
    for (const auto& [now, count] : {std::pair{CalendarMoment{{2026, 12, 21}, {9, 50}}, 0u},
                                     std::pair{CalendarMoment{{2026, 12, 22}, {11, 0}}, 1u},
                                     std::pair{CalendarMoment{{2026, 12, 28}, {9, 50}}, 0u}})
        EXPECT_EQ(dueReminders(events, now).size(), count) << dateText(now.date);
}

struct Opened {
    std::unique_ptr<QWidget> window;
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    // How many cells of the view show `text`.
    int cellsWith(const QString& text)
    {
        auto* grid = find<QTableWidget>("siatka");
        int count = 0;
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                count += grid->item(r, c) && grid->item(r, c)->text().contains(text);
        return count;
    }
};

Opened openWindow(ScriptedPlatform& platform, const fs::path& program)
{
    return {openScheduleWindow({{"Kalvaro"}, trustFolderTree(program)}, platform)};
}

const fs::path kCalendar = "grafik/terminarz.ics";

TEST(GrafikWindow, AppointmentsAddedMovedAndDeletedAreInTheFile)
{
    const WarsawTime zone;
    const test::TempFolder program;
    ScriptedPlatform platform; // its clock: 6.12.2026
    Opened opened = openWindow(platform, program.path());
    EXPECT_EQ(opened.window->windowTitle(), "Kalvaro");

    opened.find<QLineEdit>("tytul")->setText("Narada u pani Łęckiej");
    opened.find<QLineEdit>("miejsce")->setText("Łódź, Piotrkowska 1");
    opened.find<QDateTimeEdit>("poczatek")->setDateTime({{2026, 11, 23}, {9, 0}});
    opened.find<QDateTimeEdit>("koniec")->setDateTime({{2026, 11, 23}, {10, 0}});
    opened.find<QComboBox>("powtarzanie")->setCurrentIndex(2); // every week
    opened.find<QComboBox>("przypomnij")->setCurrentIndex(2);  // 15 minutes before
    opened.find<QLineEdit>("kontakt")->setText("007");
    opened.click("dodaj");
    EXPECT_EQ(readBackCalendar(program / kCalendar), "NAME||\nVEVENT|Narada u pani Łęckiej|2026-11-23T09:00:00+01:00|"
                                             "2026-11-23T10:00:00+01:00|Łódź, Piotrkowska 1|['WEEKLY']\n");

    // Back in December's month view: a Monday in each of its six weeks.
    opened.find<QDateTimeEdit>("poczatek")->setDateTime({{2026, 12, 1}, {9, 0}});
    opened.click("dzisiaj");
    EXPECT_EQ(opened.cellsWith("09:00 Narada u pani Łęckiej"), 6);
    opened.click("nastepny");
    EXPECT_EQ(opened.find<QLabel>("okres")->text(), "styczeń 2027");
    EXPECT_EQ(opened.cellsWith("09:00 Narada"), 6);
    opened.click("dzisiaj");
    opened.click("widokTydzien");
    EXPECT_EQ(opened.cellsWith("09:00–10:00 Narada u pani Łęckiej, Łódź, Piotrkowska 1"), 1);

    // The whole series moved to Tuesday 10:00 from one occurrence in the day's list: the end follows the start.
    opened.click("widokMiesiac");
    opened.find<QTableWidget>("siatka")->setCurrentCell(1, 0); // 7.12
    ASSERT_EQ(opened.find<QListWidget>("terminyDnia")->count(), 1);
    opened.find<QListWidget>("terminyDnia")->setCurrentRow(0);
    EXPECT_EQ(opened.find<QLineEdit>("kontakt")->text(), "007");
    EXPECT_EQ(opened.find<QDateTimeEdit>("poczatek")->dateTime(), QDateTime({2026, 12, 7}, {9, 0}));
    opened.find<QDateTimeEdit>("poczatek")->setDateTime({{2026, 12, 8}, {10, 0}});
    platform.choiceAnswers = {2}; // Cała seria
    opened.click("zapisz");
    EXPECT_EQ(platform.choicesOffered.at(0),
              (QStringList{"Tylko to wystąpienie", "To i następne", "Cała seria"}));
    EXPECT_EQ(readBackCalendar(program / kCalendar), "NAME||\nVEVENT|Narada u pani Łęckiej|2026-11-24T10:00:00+01:00|"
                                             "2026-11-24T11:00:00+01:00|Łódź, Piotrkowska 1|['WEEKLY']\n");
    opened.click("dzisiaj");
    EXPECT_EQ(opened.cellsWith("10:00 Narada"), 6);

    // A second copy only reads; the first deletes after its question.
    ScriptedPlatform other;
    Opened second = openWindow(other, program.path());
    EXPECT_FALSE(second.find<QLabel>("tylkoOdczyt")->isHidden());
    EXPECT_FALSE(second.find<QPushButton>("dodaj")->isEnabled());
    EXPECT_EQ(second.cellsWith("Narada"), 6);

    platform.asked.clear();
    platform.choiceAnswers = {2};
    opened.click("usun");
    EXPECT_EQ(platform.asked, QStringList{"Termin „Narada u pani Łęckiej” powtarza się. Usunąć tylko wystąpienie z dnia "
                                          "8.12.2026, to i następne, czy całą serię?"});
    EXPECT_EQ(readBackCalendar(program / kCalendar), "NAME||\n");
    EXPECT_EQ(opened.cellsWith("Narada"), 0);
}

// The start and end of the last appointment in the file, as "2028-02-29 09:00".
std::pair<std::string, std::string> lastStored(const fs::path& file)
{
    const CalendarEvent e = readCalendar(file).events().back();
    return {dateText(e.start.date) + " " + timeText(e.start.time), dateText(e.end.date) + " " + timeText(e.end.time)};
}

TEST(GrafikWindow, ATypedDayIsKeptOnceTheMonthAndYearTypedAfterItHaveIt)
{
    using S = QDateTimeEdit::Section;
    using Keys = std::vector<std::pair<S, const char*>>;
    struct Case {
        const char* field;
        bool wholeDay;
        QDate shown; // the start before typing, 9:00
        Keys typed;
        std::pair<std::string, std::string> stored;
    };
    const Keys leapDay = {{S::DaySection, "29"}, {S::MonthSection, "02"}, {S::YearSection, "2028"}};
    const std::vector<Case> cases = {
        {"poczatek", false, {2026, 12, 6}, leapDay, {"2028-02-29 09:00", "2028-02-29 10:00"}},
        {"koniec", false, {2026, 1, 5}, leapDay, {"2026-01-05 09:00", "2028-02-29 10:00"}},
        // A whole day ends at the start of the next one.
        {"poczatek", true, {2026, 12, 6}, leapDay, {"2028-02-29 00:00", "2028-03-01 00:00"}},
    };
    const WarsawTime zone;
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + (c.wholeDay ? " whole day " : " ") + c.stored.first);
        opened.click("nowy");
        opened.find<QLineEdit>("tytul")->setText("Wizyta");
        opened.find<QCheckBox>("calyDzien")->setChecked(c.wholeDay);
        opened.find<QDateTimeEdit>("poczatek")->setDateTime({c.shown, {9, 0}});
        auto* typedInto = opened.find<QDateTimeEdit>(c.field);
        for (const auto& [section, keys] : c.typed) {
            typedInto->setSelectedSection(section);
            QTest::keyClicks(typedInto, QString::fromLatin1(keys));
        }
        opened.click("dodaj");
        EXPECT_TRUE(platform.informed.isEmpty()) << platform.informed.join('\n').toStdString();
        EXPECT_EQ(lastStored(program / kCalendar), c.stored);
    }
}

TEST(GrafikWindow, TodaysMarkMovesAtMidnight)
{
    const WarsawTime zone;
    const test::TempFolder program;
    ScriptedPlatform platform;
    platform.clock = {{2026, 12, 8}, {23, 59}}; // a Tuesday
    Opened opened = openWindow(platform, program.path());
    auto* window = dynamic_cast<ScheduleWindow*>(opened.window.get());
    const auto marked = [&opened] {
        std::vector<std::pair<int, int>> cells;
        auto* grid = opened.find<QTableWidget>("siatka");
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                if (grid->item(r, c) && grid->item(r, c)->background().style() != Qt::NoBrush)
                    cells.emplace_back(r, c);
        return cells;
    };
    using Cells = std::vector<std::pair<int, int>>;
    const std::vector<std::tuple<const char*, Cells, Cells>> views = {
        {"widokMiesiac", {{1, 1}}, {{1, 2}}}, // the second week of December's view
        {"widokTydzien", {{0, 1}}, {{0, 2}}},
    };
    for (const auto& [view, before, after] : views) {
        SCOPED_TRACE(view);
        platform.clock = {{2026, 12, 8}, {23, 59}};
        opened.click(view);
        opened.find<QLineEdit>("tytul")->setText("Wpisane przed północą");
        EXPECT_EQ(marked(), before);
        platform.clock = {{2026, 12, 9}, {0, 0}};
        window->tick();
        EXPECT_EQ(marked(), after);
        EXPECT_EQ(opened.find<QLineEdit>("tytul")->text(), "Wpisane przed północą");
    }
}

TEST(GrafikWindow, AMovedSeriesShowsItsNewStart)
{
    struct Case {
        const char* rule;
        bool wholeDay;
        QDateTime moved;
        std::string note;
        std::string ends;
    };
    const std::vector<Case> cases = {
        {"FREQ=WEEKLY", false, {{2026, 11, 24}, {10, 0}},
         "Termin powtarza się od 24.11.2026; przy zmianie i usunięciu program zapyta, których powtórzeń dotyczą.",
         "24.11.2026 11:00"},
        {"FREQ=DAILY", false, {{2026, 12, 2}, {8, 30}},
         "Termin powtarza się od 2.12.2026; przy zmianie i usunięciu program zapyta, których powtórzeń dotyczą.",
         "02.12.2026 09:30"},
        {"FREQ=WEEKLY", true, {{2026, 11, 24}, {0, 0}},
         "Termin powtarza się od 24.11.2026; przy zmianie i usunięciu program zapyta, których powtórzeń dotyczą.",
         "24.11.2026"},
    };
    const WarsawTime zone;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + (c.wholeDay ? " whole day" : ""));
        const test::TempFolder program;
        CalendarDocument stored;
        CalendarEvent meeting = event("Narada", {{2026, 11, 23}, {9, 0}}, {{2026, 11, 23}, {10, 0}}, c.rule);
        if (c.wholeDay) {
            meeting.wholeDay = true;
            meeting.start.time = meeting.end.time = {};
            meeting.end.date = {2026, 11, 24};
        }
        stored.putEvent(meeting, kNow);
        writeText(program / kCalendar, stored.text());
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        opened.click("poprzedni");
        opened.find<QTableWidget>("siatka")->setCurrentCell(4, 0); // 23.11
        ASSERT_EQ(opened.find<QListWidget>("terminyDnia")->count(), 1);
        opened.find<QListWidget>("terminyDnia")->setCurrentRow(0);

        opened.find<QDateTimeEdit>("poczatek")->setDateTime(c.moved);
        platform.choiceAnswers = {2}; // Cała seria
        opened.click("zapisz");
        EXPECT_EQ(opened.find<QLabel>("seriaUwaga")->text().toStdString(), c.note);
        EXPECT_EQ(opened.find<QDateTimeEdit>("koniec")->text().toStdString(), c.ends);
    }
}

// The scheduler's note and the main program's reminders keep one record, so
// a reminder is shown once by whichever comes first.
TEST(GrafikWindow, AReminderIsShownOnceBetweenTheSchedulerAndTheMainProgram)
{
    const WarsawTime zone;
    const test::TempFolder program;
    CalendarDocument stored;
    CalendarEvent first = event("Narada", {{2026, 12, 7}, {10, 0}}, {{2026, 12, 7}, {11, 0}}, "");
    first.reminderMinutes = 15;
    CalendarEvent second = event("Obiad", {{2026, 12, 7}, {10, 5}}, {{2026, 12, 7}, {11, 0}}, "");
    second.reminderMinutes = 15;
    stored.putEvent(first, kNow);
    stored.putEvent(second, kNow);
    writeText(program / kCalendar, stored.text());

    // The main program ran from 9:00 and showed the first reminder at 9:45.
    ReminderKeeper keeper(program.path(), {{2026, 12, 7}, {9, 0}});
    ASSERT_EQ(keeper.takeDue({{2026, 12, 7}, {9, 45}}).size(), 1u);

    ScriptedPlatform platform;
    platform.clock = {{2026, 12, 7}, {9, 50}};
    Opened opened = openWindow(platform, program.path());
    EXPECT_EQ(opened.find<QLabel>("przypomnienieTekst")->text(), "Przypomnienie: 10:05 Obiad — za 15 min.");

    // What the scheduler showed, the main program does not show again.
    ReminderKeeper restarted(program.path(), {{2026, 12, 7}, {9, 55}});
    EXPECT_TRUE(restarted.takeDue({{2026, 12, 7}, {9, 55}}).empty());
}

TEST(GrafikWindow, ReminderNoteAndPrintedWeek)
{
    const WarsawTime zone;
    const test::TempFolder program;
    CalendarDocument stored;
    CalendarEvent meeting = event("Narada", {{2026, 12, 7}, {10, 0}}, {{2026, 12, 7}, {11, 0}}, "FREQ=WEEKLY");
    meeting.place = "sala 2";
    meeting.reminderMinutes = 15;
    stored.putEvent(meeting, kNow);
    writeText(program / kCalendar, stored.text());

    ScriptedPlatform platform;
    platform.clock = {{2026, 12, 7}, {9, 50}};
    Opened opened = openWindow(platform, program.path());
    auto* note = opened.find<QLabel>("przypomnienieTekst");
    EXPECT_EQ(note->text(), "Przypomnienie: 10:00 Narada, sala 2 — za 10 min.");
    auto* window = dynamic_cast<ScheduleWindow*>(opened.window.get());
    window->tick();
    EXPECT_EQ(note->text(), "Przypomnienie: 10:00 Narada, sala 2 — za 10 min.") << "shown once";
    EXPECT_TRUE(platform.informed.isEmpty()) << "the note does not stop the work";

    RecordingPrintSurface printed;
    platform.printerFactory = [&printed] { return printed.proxy(); };
    opened.click("drukuj");
    std::vector<std::string> texts;
    for (const auto& text : printed.texts)
        texts.push_back(text.text);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0], "Kalvaro — tydzień 7.12.2026 – 13.12.2026");
    EXPECT_EQ(texts[1], "poniedziałek 7 grudnia 2026");
    EXPECT_EQ(texts[2], "    10:00–11:00 Narada, sala 2");

    // The same week as a PDF from the print menu.
    RecordingPrintSurface pdf;
    platform.pdfFactory = [&pdf](const fs::path&, PaperSize) { return pdf.proxy(); };
    platform.saveFileAnswers = {program / "tydzien.pdf"};
    opened.find<QMenu>("printMenu")->actions().at(2)->trigger();
    ASSERT_EQ(platform.saveFileRequests.size(), 1u);
    EXPECT_EQ(platform.saveFileRequests[0].fileName, "terminarz 2026-12-07.pdf");
    ASSERT_FALSE(pdf.texts.empty());
    EXPECT_EQ(pdf.texts[0].text, texts[0]);
}

TEST(GrafikWindow, ChangesOfAnotherProgramStayAndShow)
{
    const WarsawTime zone;
    const test::TempFolder program;
    ScriptedPlatform platform; // its clock: 6.12.2026
    Opened opened = openWindow(platform, program.path());
    const auto another = [&program](const char* title, int hour) {
        changeCalendar(program / kCalendar, [&](CalendarDocument& calendar) {
            calendar.putEvent(event(title, {{2026, 12, 6}, {hour, 0}}, {{2026, 12, 6}, {hour + 1, 0}}), kNow);
        });
    };
    another("Zadanie: Łęcka", 12);
    opened.find<QLineEdit>("tytul")->setText("Narada");
    opened.click("dodaj"); // 6.12 9:00, the form's first proposal
    another("Zadanie: Żółć", 14);
    dynamic_cast<ScheduleWindow*>(opened.window.get())->tick();
    auto* day = opened.find<QListWidget>("terminyDnia");
    ASSERT_EQ(day->count(), 3);
    EXPECT_EQ(day->item(0)->text(), "09:00–10:00 Narada");
    EXPECT_EQ(day->item(1)->text(), "12:00–13:00 Zadanie: Łęcka");
    EXPECT_EQ(day->item(2)->text(), "14:00–15:00 Zadanie: Żółć");
}

struct ImportRow {
    const char* name;
    std::string file;
    QString told;
    int shownOnEighth; // appointments in the list of 8.12.2026 afterwards
};

std::string calendarOf(const std::string& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Inny//Kalendarz//EN\r\n" + body + "END:VCALENDAR\r\n";
}

TEST(GrafikWindow, ImportCountsWhatItSkips)
{
    const WarsawTime zone;
    const std::string good =
        "BEGIN:VEVENT\r\nUID:a@inny\r\nDTSTART:20261208T080000Z\r\nDTEND:20261208T090000Z\r\nSUMMARY:Wizyta Żółć\r\n"
        "END:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:b@inny\r\nDTSTART;VALUE=DATE:20261208\r\nDTEND;VALUE=DATE:20261209\r\nSUMMARY:Urlop\r\n"
        "END:VEVENT\r\n";
    const std::string strange =
        "BEGIN:VEVENT\r\nUID:c@inny\r\nSUMMARY:Bez daty\r\nEND:VEVENT\r\n"
        "BEGIN:VTODO\r\nUID:d@inny\r\nDUE;VALUE=DATE:20261208\r\nSUMMARY:Zadanie\r\nEND:VTODO\r\n"
        "BEGIN:VJOURNAL\r\nUID:e@inny\r\nDTSTART;VALUE=DATE:20261208\r\nSUMMARY:Dziennik\r\nEND:VJOURNAL\r\n"
        "BEGIN:VEVENT\r\nUID:a@inny\r\nRECURRENCE-ID:20261215T080000Z\r\nDTSTART:20261215T100000Z\r\nSUMMARY:Zmiana\r\n"
        "END:VEVENT\r\n";
    const std::vector<ImportRow> rows = {
        {"two understood, the change of one kept, three skipped", calendarOf(good + strange),
         "Wczytano terminy z pliku „inny.ics”: nowe 2, zmienione 0, pominięte 3.\nSerie z wyjątkami (zmienione, "
         "pominięte lub dodane powtórzenia) zachowano wraz z wyjątkami: 1.\nZachowane zmiany pojedynczych powtórzeń: 1.\nPominięto terminy, których terminarz nie rozumie "
         "(bez daty początku, nieznana reguła powtarzania, zmiana powtórzenia bez swojej serii): 1.\nPominięto wpisy, "
         "które nie są terminami (zadania, wpisy dziennika): 2.",
         2},
        {"the same again changes them", calendarOf(good),
         "Wczytano terminy z pliku „inny.ics”: nowe 0, zmienione 2, pominięte 0.\nZmienione terminy zastąpiono "
         "wersją z pliku w całości: 2.",
         2},
        {"not a calendar", "to nie jest kalendarz\r\n",
         "Nie wczytano pliku „inny.ics”: To nie jest plik kalendarza (iCalendar).", 2},
    };
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    for (const ImportRow& row : rows) {
        SCOPED_TRACE(row.name);
        writeText(program / "inny.ics", row.file);
        platform.informed.clear();
        platform.openFileAnswers = {program / "inny.ics"};
        opened.click("importuj");
        EXPECT_EQ(platform.informed, QStringList{row.told});
        opened.find<QTableWidget>("siatka")->setCurrentCell(1, 1); // 8.12
        EXPECT_EQ(opened.find<QListWidget>("terminyDnia")->count(), row.shownOnEighth);
    }
    // 08:00 UTC is 09:00 in Warsaw; the whole day comes first.
    EXPECT_EQ(opened.find<QListWidget>("terminyDnia")->item(0)->text(), "cały dzień Urlop");
    EXPECT_EQ(opened.find<QListWidget>("terminyDnia")->item(1)->text(), "09:00–10:00 Wizyta Żółć");

    // Exported, the file reads back in another reader, the times as the other program wrote them.
    platform.saveFileAnswers = {program / "eksport.ics"};
    opened.click("eksportuj");
    EXPECT_EQ(readBackCalendar(program / "eksport.ics"), "NAME||\nVEVENT|Wizyta Żółć|2026-12-08T08:00:00+00:00|"
                                                 "2026-12-08T09:00:00+00:00||\nVEVENT|Urlop|2026-12-08|2026-12-09||\n");
}


const std::string kNewYorkZone = "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
                                 "BEGIN:STANDARD\r\nDTSTART:19701101T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
                                 "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nTZNAME:EST\r\nEND:STANDARD\r\n"
                                 "BEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
                                 "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nTZNAME:EDT\r\nEND:DAYLIGHT\r\n"
                                 "END:VTIMEZONE\r\n";

TEST(GrafikImport, SeriesComeWithTheirZoneExceptionsAndChangesAndTheReportSaysWhat)
{
    const WarsawTime zone;
    // The change of one occurrence stands before its series; one appointment has no UID, one lies past 4999.
    const std::vector<std::string> kept = {
        "RECURRENCE-ID;TZID=America/New_York:20270315T090000", "SUMMARY:Narada przesunięta",
        "EXDATE;TZID=America/New_York:20270322T090000", "RDATE;TZID=America/New_York:20270324T090000",
        "DTSTART;TZID=America/New_York:20270301T090000", "RRULE:FREQ=WEEKLY;COUNT=6", "TZID:America/New_York",
        "TZOFFSETFROM:-0500"};
    const std::string file = calendarOf(
        kNewYorkZone +
        "BEGIN:VEVENT\r\nUID:seria@inny\r\nRECURRENCE-ID;TZID=America/New_York:20270315T090000\r\n"
        "DTSTART;TZID=America/New_York:20270315T110000\r\nDTEND;TZID=America/New_York:20270315T120000\r\n"
        "SUMMARY:Narada przesunięta\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:seria@inny\r\nDTSTART;TZID=America/New_York:20270301T090000\r\n"
        "DTEND;TZID=America/New_York:20270301T100000\r\nRRULE:FREQ=WEEKLY;COUNT=6\r\n"
        "EXDATE;TZID=America/New_York:20270322T090000\r\nRDATE;TZID=America/New_York:20270324T090000\r\n"
        "SUMMARY:Narada z Nowym Jorkiem\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART:20270302T100000Z\r\nDTEND:20270302T110000Z\r\nSUMMARY:Bez identyfikatora\r\n"
        "END:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:daleko@inny\r\nDTSTART:50010101T090000Z\r\nSUMMARY:Za daleko\r\nEND:VEVENT\r\n");
    const test::TempFolder folder;
    const fs::path schedule = folder / "terminarz.ics";
    ImportCount count;
    changeCalendar(schedule, [&](CalendarDocument& calendar) {
        count = importAppointments(calendar, CalendarDocument::parse(file), kNow);
    });
    EXPECT_EQ(importReport("inny.ics", count),
              "Wczytano terminy z pliku „inny.ics”: nowe 2, zmienione 0, pominięte 1.\n"
              "Terminom bez identyfikatora (UID) nadano nowy: 1.\n"
              "Serie zachowały swoją strefę czasową (powtarzają się o swojej godzinie w tamtej strefie): 1.\n"
              "Serie z wyjątkami (zmienione, pominięte lub dodane powtórzenia) zachowano wraz z wyjątkami: 1.\n"
              "Zachowane zmiany pojedynczych powtórzeń: 1.\n"
              "Pominięto terminy z datą po roku 4999, których terminarz nie obsługuje: 1.");

    // Another change stored by the scheduler keeps all of it, byte for byte as libical writes it.
    changeCalendar(schedule, [&](CalendarDocument& calendar) {
        calendar.putEvent(event("Narada", {{2027, 3, 2}, {8, 0}}, {{2027, 3, 2}, {9, 0}}), kNow);
    });
    const std::string written = test::readText(schedule);
    for (const std::string& line : kept)
        EXPECT_NE(written.find(line + "\r\n"), std::string::npos) << line;

    const std::vector<CalendarEvent> events = readCalendar(schedule).events();
    ASSERT_EQ(events.size(), 3u) << "the change of one occurrence is not an appointment of its own";
    EXPECT_EQ(events[0].title, "Narada z Nowym Jorkiem");
    EXPECT_EQ(events[1].title, "Bez identyfikatora");
    EXPECT_FALSE(events[1].uid.empty());
    // 9:00 in New York on both sides of the two countries' different clock changes; the changed
    // occurrence at its own hour and title, the left-out one missing, the added one there.
    const std::vector<std::string> shown = shownDays(events, {2027, 3, 1}, {2027, 3, 31});
    for (const char* day : {"2027-03-01 15:00–16:00 Narada z Nowym Jorkiem", "2027-03-08 15:00–16:00 Narada z Nowym Jorkiem",
                                   "2027-03-15 16:00–17:00 Narada przesunięta", "2027-03-24 14:00–15:00 Narada z Nowym Jorkiem",
                                   "2027-03-29 15:00–16:00 Narada z Nowym Jorkiem", "2027-03-02 11:00–12:00 Bez identyfikatora"})
        EXPECT_NE(std::ranges::find(shown, day), shown.end()) << day;
    for (const char* day : {"2027-03-15 14:00–15:00 Narada z Nowym Jorkiem", "2027-03-22 14:00–15:00 Narada z Nowym Jorkiem"})
        EXPECT_EQ(std::ranges::find(shown, day), shown.end()) << day;

    // Deleting the series takes its changed occurrence with it.
    changeCalendar(schedule, [&](CalendarDocument& calendar) { EXPECT_TRUE(calendar.remove("seria@inny")); });
    EXPECT_EQ(test::readText(schedule).find("seria@inny"), std::string::npos);
}

TEST(GrafikImport, ManyAppointmentsAreFoundAgainByTheirUid)
{
    const auto many = [](int from, int to) {
        std::string body;
        for (int i = from; i < to; ++i)
            body += "BEGIN:VEVENT\r\nUID:w" + std::to_string(i) + "@inny\r\nDTSTART:20270105T0900" +
                    (i % 2 ? "00" : "30") + "Z\r\nSUMMARY:Wizyta " + std::to_string(i) + "\r\nEND:VEVENT\r\n";
        return CalendarDocument::parse(calendarOf(body));
    };
    struct Row {
        int from, to, added, changed;
    };
    CalendarDocument schedule;
    for (const Row& row : {Row{0, 3000, 3000, 0}, Row{0, 3000, 0, 3000}, Row{1500, 4500, 1500, 1500}}) {
        const ImportCount count = importAppointments(schedule, many(row.from, row.to), kNow);
        EXPECT_EQ(count.added, row.added) << row.from;
        EXPECT_EQ(count.changed, row.changed) << row.from;
    }
    EXPECT_EQ(schedule.events().size(), 4500u) << "no UID twice";
}

TEST(GrafikWindow, ImportPastTheReadLimitIsRefusedBeforeWriting)
{
    const WarsawTime zone;
    const test::TempFolder program;
    // 25 kB of notes an appointment: 2.5 MB in the calendar, 2 MB more in the file to import.
    const auto withNotes = [](const std::string& prefix, int count) {
        std::string body;
        for (int i = 0; i < count; ++i)
            body += "BEGIN:VEVENT\r\nUID:" + prefix + std::to_string(i) + "\r\nDTSTART:20261208T080000Z\r\nSUMMARY:" +
                    prefix + "\r\nDESCRIPTION:" + std::string(25000, 'x') + "\r\nEND:VEVENT\r\n";
        return calendarOf(body);
    };
    writeText(program / kCalendar, withNotes("stary", 100));
    const std::vector<std::uint8_t> before = test::readBytes(program / kCalendar);
    writeText(program / "duzy.ics", withNotes("nowy", 80));
    writeText(program / "maly.ics", withNotes("nowy", 1));
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    opened.find<QTableWidget>("siatka")->setCurrentCell(1, 1); // 8.12
    auto* day = opened.find<QListWidget>("terminyDnia");
    ASSERT_EQ(day->count(), 100);

    platform.openFileAnswers = {program / "duzy.ics"};
    opened.click("importuj");
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].startsWith("Nie wczytano terminów: terminarz miałby po imporcie 4,"))
        << platform.informed[0].toStdString();
    EXPECT_TRUE(platform.informed[0].contains("Wczytaj mniej terminów")) << platform.informed[0].toStdString();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(test::readBytes(program / kCalendar), before) << "the old file whole";
    EXPECT_EQ(day->count(), 100);

    // The window goes on as before: a smaller import is taken.
    platform.informed.clear();
    platform.openFileAnswers = {program / "maly.ics"};
    opened.click("importuj");
    EXPECT_EQ(platform.informed, QStringList{"Wczytano terminy z pliku „maly.ics”: nowe 1, zmienione 0, pominięte 0."});
    EXPECT_EQ(day->count(), 101);
}

TEST(GrafikWindow, SecondCopyFollowsTheFirstAndTakesOverWhenItCloses)
{
    const WarsawTime zone;
    for (const bool takeOver : {true, false}) {
        SCOPED_TRACE(takeOver ? "taken over" : "left read-only");
        const test::TempFolder program;
        ScriptedPlatform first;
        Opened writer = openWindow(first, program.path());
        ScriptedPlatform platform;
        Opened reader = openWindow(platform, program.path());
        auto* watch = reader.window->findChild<DocumentWatch*>();
        ASSERT_NE(watch, nullptr);
        EXPECT_FALSE(reader.find<QPushButton>("dodaj")->isEnabled());

        writer.find<QLineEdit>("tytul")->setText("Narada u pani Łęckiej");
        writer.click("dodaj"); // 6.12 9:00
        watch->check();
        EXPECT_EQ(reader.cellsWith("09:00 Narada u pani Łęckiej"), 1) << "the read-only copy shows what the other wrote";
        EXPECT_TRUE(platform.asked.isEmpty()) << "not while the other holds the file";

        writer.window.reset();
        platform.askAnswers = {takeOver};
        watch->check();
        EXPECT_EQ(platform.asked, QStringList{QString::fromUtf8(kTakeOverQuestion)});
        EXPECT_EQ(reader.find<QLabel>("tylkoOdczyt")->isHidden(), takeOver);
        EXPECT_EQ(reader.find<QPushButton>("dodaj")->isEnabled(), takeOver);
        if (takeOver) {
            reader.find<QLineEdit>("tytul")->setText("Przegląd umów");
            reader.click("dodaj");
            EXPECT_EQ(readCalendar(program / kCalendar).events().size(), 2u);
        }
        // A third copy finds the file held by the second, or free when the second let it go.
        ScriptedPlatform third;
        Opened late = openWindow(third, program.path());
        EXPECT_EQ(late.find<QPushButton>("dodaj")->isEnabled(), !takeOver);
    }
}

TEST(GrafikWindow, RuleTooFrequentToShowIsCutAndSaid)
{
    const WarsawTime zone;
    const test::TempFolder program;
    CalendarDocument stored;
    stored.putEvent(event("Odczyt licznika", {{2020, 1, 1}, {9, 0}}, {{2020, 1, 1}, {9, 0}}, "FREQ=SECONDLY"), kNow);
    stored.putEvent(event("Narada", {{2026, 12, 7}, {10, 0}}, {{2026, 12, 7}, {11, 0}}, "FREQ=WEEKLY"), kNow);
    writeText(program / kCalendar, stored.text());
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    EXPECT_EQ(opened.find<QLabel>("ucieteReguly")->text(),
              "Nie wszystkie powtórzenia są pokazane: „Odczyt licznika” (FREQ=SECONDLY) — reguła powtarza termin "
              "częściej, niż terminarz może pokazać (najwyżej 96 razy dziennie).");
    // Every day of the month view has its share, not just the first days of the series.
    EXPECT_EQ(opened.cellsWith("00:00 Odczyt licznika"), kMonthViewDays);
    auto* day = opened.find<QListWidget>("terminyDnia");
    EXPECT_EQ(day->count(), kMostOccurrencesPerDay);
    opened.click("nastepny");
    EXPECT_EQ(opened.cellsWith("00:00 Odczyt licznika"), kMonthViewDays);
}

TEST(GrafikWindow, DamagedCalendarIsKeptAside)
{
    const WarsawTime zone;
    const test::TempFolder program;
    writeText(program / kCalendar, "BEGIN:VCALENDAR\r\nśmieci");
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].contains("terminarz.ics.uszkodzony-")) << platform.informed[0].toStdString();
    EXPECT_FALSE(fs::exists(program / kCalendar));
    EXPECT_TRUE(opened.find<QPushButton>("dodaj")->isEnabled());
}

// The titles of the appointments in the calendar, in alphabetical order.
std::vector<std::string> eventTitles(const fs::path& file)
{
    std::vector<std::string> titles;
    if (!fs::exists(file))
        return titles;
    for (const CalendarEvent& event : readCalendar(file).events())
        titles.push_back(event.title);
    std::sort(titles.begin(), titles.end());
    return titles;
}

// From the month grid to "Dodaj" with Tab alone, past the day's list and the note.
TEST(GrafikKeys, AnAppointmentIsAddedByKeysAlone)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    QWidget* window = opened.window.get();
    test::showActive(window);
    ASSERT_EQ(window->focusWidget(), opened.find<QWidget>("siatka"));
    QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), opened.find<QWidget>("tytul"));
    QTest::keyClicks(window->focusWidget(), QStringLiteral("Przeglad umowy"));
    QStringList passed;
    for (int i = 0; i < 40 && window->focusWidget() != opened.find<QWidget>("dodaj"); ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        passed << window->focusWidget()->objectName();
    }
    ASSERT_EQ(window->focusWidget(), opened.find<QWidget>("dodaj")) << passed.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(passed.contains(QStringLiteral("notatka")));
    QTest::keyClick(window->focusWidget(), Qt::Key_Space);
    EXPECT_EQ(eventTitles(program / kCalendar), std::vector<std::string>{"Przeglad umowy"});

    // Enter in a field stores the form: the one shown is changed, a new one added.
    auto* place = opened.find<QLineEdit>("miejsce");
    place->setText(QStringLiteral("Sala 2"));
    QTest::keyClick(place, Qt::Key_Return);
    EXPECT_EQ(readCalendar(program / kCalendar).events().at(0).place, "Sala 2");
    opened.click("nowy");
    opened.find<QLineEdit>("tytul")->setText(QStringLiteral("Telefon"));
    QTest::keyClick(opened.find<QComboBox>("przypomnij"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(eventTitles(program / kCalendar), (std::vector<std::string>{"Przeglad umowy", "Telefon"}));
    EXPECT_TRUE(platform.informed.isEmpty());
}

TEST(GrafikKeys, TabLeavesTheGridTheDayListAndTheNote)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    test::showActive(opened.window.get());
    struct Case {
        const char* control;
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* reached;
    };
    for (const Case& c : {Case{"siatka", Qt::Key_Tab, Qt::NoModifier, "terminyDnia"},
                          Case{"siatka", Qt::Key_Backtab, Qt::ShiftModifier, "nastepny"},
                          Case{"terminyDnia", Qt::Key_Tab, Qt::NoModifier, "tytul"},
                          Case{"terminyDnia", Qt::Key_Backtab, Qt::ShiftModifier, "siatka"},
                          Case{"notatka", Qt::Key_Tab, Qt::NoModifier, "nowy"},
                          Case{"notatka", Qt::Key_Backtab, Qt::ShiftModifier, "kontakt"}}) {
        SCOPED_TRACE(std::string(c.control) + " " + std::to_string(c.key));
        EXPECT_EQ(test::focusAfter(opened.find<QWidget>(c.control), c.key, c.modifiers), opened.find<QWidget>(c.reached));
    }
    auto* note = opened.find<QPlainTextEdit>("notatka");
    EXPECT_EQ(note->toPlainText(), QString());
    EXPECT_EQ(test::focusAfter(note, Qt::Key_Tab, Qt::ControlModifier), note);
    EXPECT_EQ(note->toPlainText(), QStringLiteral("\t"));
    // The arrows still move in the grid: a week down.
    auto* grid = opened.find<QTableWidget>("siatka");
    const int row = grid->currentRow();
    EXPECT_EQ(test::focusAfter(grid, Qt::Key_Down), grid);
    EXPECT_EQ(grid->currentRow(), row + 1);
}

// Escape closes, asking about a typed appointment; the end of the session
// stores it without asking.
TEST(GrafikKeys, TypedAppointmentIsAskedAboutOnCloseAndStoredAtTheSessionsEnd)
{
    struct Case {
        const char* name;
        bool changeStored;
        std::vector<std::string> titles;
    };
    for (const Case& c : {Case{"new", false, {"Narada", "Wpisany"}}, Case{"changed", true, {"Wpisany"}}}) {
        SCOPED_TRACE(c.name);
        const test::TempFolder program;
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        opened.find<QLineEdit>("tytul")->setText(QStringLiteral("Narada"));
        opened.click("dodaj");
        if (!c.changeStored)
            opened.click("nowy");
        opened.find<QLineEdit>("tytul")->setText(QStringLiteral("Wpisany"));
        opened.find<QPlainTextEdit>("notatka")->setPlainText(QStringLiteral("z teczką"));
        test::showActive(opened.window.get());

        platform.threeWayAnswers = {Platform::Answer::Cancel};
        QTest::keyClick(opened.find<QWidget>("tytul"), Qt::Key_Escape);
        EXPECT_TRUE(opened.window->isVisible());
        EXPECT_EQ(platform.asked, QStringList{c.changeStored ? QStringLiteral("Zapisać zmiany terminu „Wpisany”?")
                                                             : QStringLiteral("Dodać termin „Wpisany” do terminarza?")});
        EXPECT_EQ(eventTitles(program / kCalendar), std::vector<std::string>{"Narada"});

        storeForSessionEnd();
        EXPECT_EQ(eventTitles(program / kCalendar), c.titles);
        EXPECT_EQ(readCalendar(program / kCalendar).events().back().note, "z teczką");
        EXPECT_EQ(platform.asked.size(), 1);
        // Stored: nothing left to ask about.
        QTest::keyClick(opened.find<QWidget>("siatka"), Qt::Key_Escape);
        EXPECT_FALSE(opened.window->isVisible());
        EXPECT_EQ(platform.asked.size(), 1);
    }
}

TEST(GrafikKeys, NamedControlsOwnAltLettersAndASmallScreen)
{
    const test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    test::showActive(opened.window.get());
    EXPECT_EQ(test::namelessControls(opened.window.get()), QStringList());
    for (const auto& [control, name] : {std::pair{"poprzedni", "Poprzedni okres"}, {"nastepny", "Następny okres"},
                                        {"siatka", "Kalendarz"}, {"terminyDnia", "Terminy dnia"}, {"tytul", "Tytuł"},
                                        {"poczatek", "Początek"}, {"koniec", "Koniec"}, {"powtarzanie", "Powtarzaj"},
                                        {"przypomnij", "Przypomnij"}, {"notatka", "Notatka"}})
        EXPECT_EQ(test::accessibleName(opened.find<QWidget>(control)), QString::fromUtf8(name)) << control;
    test::expectOwnAltLetters(opened.window.get(), {"poprzedni", "nastepny"});

    // Every visible button is on Tab's round (from the grid), each row in its order.
    const QList<QWidget*> round = test::tabRound(opened.window.get());
    QStringList buttons;
    for (QWidget* reached : round)
        if (qobject_cast<QPushButton*>(reached))
            buttons << reached->objectName();
    EXPECT_EQ(buttons, QStringList({"nowy", "dodaj", "zapisz", "usun", "importuj", "eksportuj", "drukuj", "zamknij",
                                    "widokDzien", "widokTydzien", "widokMiesiac", "poprzedni", "dzisiaj", "nastepny"}));
    // The view buttons stay one of three, also pressed twice.
    for (const char* view : {"widokTydzien", "widokTydzien", "widokDzien"}) {
        opened.click(view);
        for (const char* button : {"widokDzien", "widokTydzien", "widokMiesiac"})
            EXPECT_EQ(opened.find<QPushButton>(button)->isChecked(), std::string(button) == view) << view << " " << button;
    }

    // 1366×768 at 1.25: the window scrolls and keeps its buttons.
    auto* window = static_cast<ProgramWindow*>(opened.window.get());
    window->fitInto(QRect(0, 0, 1092, 614));
    EXPECT_LE(window->width(), 1092);
    EXPECT_LE(window->height(), 614);
    auto* scroller = window->findChild<QScrollArea*>();
    ASSERT_NE(scroller, nullptr);
    for (const char* button : {"usun", "dodaj", "zamknij"})
        EXPECT_TRUE(scroller->widget()->isAncestorOf(opened.find<QWidget>(button))) << button;

    // Last, as a pressed button clicks a moment later: each Alt key presses its button.
    test::expectAltKeysPress(opened.window.get(), {{QKeySequence(Qt::ALT | Qt::Key_Left), "poprzedni"},
                                                   {QKeySequence(Qt::ALT | Qt::Key_Right), "nastepny"}});
}
} // namespace
