// The scheduler's window and one series changed occurrence by occurrence: one
// moved, one deleted, the series cut with "To i następne"; the month view, the
// printed week and the exported file agree with python-dateutil's expansion of
// that file.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/grafik/schedule.h"
#include "companions/grafik/schedule_window.h"

#include "store/safe_file.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::WarsawTime;
const auto kNow = test::kCalendarNow;
const fs::path kCalendar = "grafik/terminarz.ics";

struct SeriesWindow {
    std::unique_ptr<QWidget> window;
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    // Chooses the day's cell in the month view shown.
    void chooseDay(CalendarDate day, int year, int month)
    {
        const CalendarDate first = monthViewStart(year, month);
        int index = 0;
        while (addDays(first, index) != day)
            ++index;
        find<QTableWidget>("siatka")->setCurrentCell(index / 7, index % 7);
    }
    // The same and the first appointment of the day's list.
    void chooseFirstOn(CalendarDate day, int year, int month)
    {
        chooseDay(day, year, month);
        ASSERT_GE(find<QListWidget>("terminyDnia")->count(), 1);
        find<QListWidget>("terminyDnia")->setCurrentRow(0);
    }
    // The month `after` months after today's (December 2026).
    void showMonth(int after)
    {
        click("dzisiaj");
        for (int i = 0; i < after; ++i)
            click("nastepny");
    }
    // The month view's cell texts by day, the day's number left out.
    std::map<std::string, QString> monthCells(int year, int month)
    {
        auto* grid = find<QTableWidget>("siatka");
        std::map<std::string, QString> cells;
        for (int i = 0; i < kMonthViewDays; ++i) {
            const QTableWidgetItem* item = grid->item(i / 7, i % 7);
            QString text = item ? item->text() : QString();
            text = text.section(QLatin1Char('\n'), 1);
            cells[dateText(addDays(monthViewStart(year, month), i))] = text;
        }
        return cells;
    }
};

// "2027-01-13T14:00|2027-01-13T15:00|Narada (środa)" for each occurrence
// python-dateutil finds in the file.
std::vector<std::string> dateutilOccurrences(const fs::path& file, CalendarDate first, CalendarDate last)
{
    const std::string command =
        "/usr/bin/python3 " ICS_OCCURRENCES " " + file.string() + " " + dateText(first) + " " + dateText(last);
    std::FILE* pipe = popen(command.c_str(), "r");
    std::vector<std::string> lines;
    std::array<char, 512> line{};
    while (pipe && std::fgets(line.data(), line.size(), pipe))
        lines.emplace_back(line.data(), std::strlen(line.data()) - 1);
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << command;
    return lines;
}

struct Occurrence {
    std::string day, start, end, title;
};

Occurrence split(const std::string& line)
{
    const auto bar = line.find('|');
    const auto second = line.find('|', bar + 1);
    return {line.substr(0, 10), line.substr(11, 5), line.substr(bar + 12, 5), line.substr(second + 1)};
}

TEST(GrafikSeries, OneMovedOneDeletedTheRestCutAgreeWithDateutilInViewPrintoutAndExport)
{
    const WarsawTime zone;
    const test::TempFolder program;
    CalendarDocument stored;
    CalendarEvent meeting;
    meeting.title = "Narada";
    meeting.contact = "007";
    meeting.start = {{2026, 12, 1}, {9, 0}};
    meeting.end = {{2026, 12, 1}, {10, 0}};
    meeting.recurrence = "FREQ=WEEKLY";
    meeting.reminderMinutes = 15;
    stored.putEvent(meeting, kNow);
    test::writeText(program / kCalendar, stored.text());

    ScriptedPlatform platform; // its clock: 6.12.2026
    SeriesWindow opened{openScheduleWindow({{"Kalvaro"}, trustFolderTree(program.path())}, platform)};
    // 12 January moves to Wednesday 14:00 under a title of its own: only this one, the first answer.
    opened.click("nastepny");
    opened.chooseFirstOn({2027, 1, 12}, 2027, 1);
    EXPECT_EQ(opened.find<QDateTimeEdit>("poczatek")->dateTime(), QDateTime({2027, 1, 12}, {9, 0}));
    opened.find<QDateTimeEdit>("poczatek")->setDateTime({{2027, 1, 13}, {14, 0}});
    opened.find<QLineEdit>("tytul")->setText("Narada (środa)");
    platform.choiceAnswers = {0};
    opened.click("zapisz");
    EXPECT_EQ(opened.find<QDateTimeEdit>("koniec")->dateTime(), QDateTime({2027, 1, 13}, {15, 0}));
    EXPECT_EQ(opened.find<QListWidget>("terminyDnia")->item(0)->text(),
              "14:00–15:00 Narada (środa)  (powtarza się; to wystąpienie zmienione)");
    // 19 January is deleted alone.
    opened.chooseFirstOn({2027, 1, 19}, 2027, 1);
    platform.choiceAnswers = {0};
    opened.click("usun");
    // From 2 March on at 10:00: this and the following.
    opened.click("nastepny");
    opened.click("nastepny");
    opened.chooseFirstOn({2027, 3, 2}, 2027, 3);
    opened.find<QDateTimeEdit>("poczatek")->setDateTime({{2027, 3, 2}, {10, 0}});
    platform.choiceAnswers = {1};
    opened.click("zapisz");
    EXPECT_EQ(platform.asked.size(), 3);
    EXPECT_TRUE(platform.errors.empty());

    platform.saveFileAnswers = {program / "eksport.ics"};
    opened.click("eksportuj");
    const std::vector<std::string> lines = dateutilOccurrences(program / "eksport.ics", {2026, 12, 28}, {2027, 4, 11});
    EXPECT_EQ(lines.size(), 14u); // the Tuesdays from 29.12 to 6.04, less the one deleted
    std::map<std::string, std::vector<Occurrence>> byDay;
    for (const std::string& line : lines)
        byDay[line.substr(0, 10)].push_back(split(line));
    ASSERT_EQ(byDay["2027-01-13"].size(), 1u);
    EXPECT_EQ(byDay["2027-01-13"][0].title, "Narada (środa)");
    EXPECT_EQ(byDay.count("2027-01-12") + byDay.count("2027-01-19"), 0u);
    EXPECT_EQ(byDay["2027-03-09"].at(0).start, "10:00");
    EXPECT_EQ(byDay["2027-02-23"].at(0).start, "09:00");

    // Each month view shows on each of its days what dateutil gives for that day.
    opened.showMonth(1); // January 2027
    for (const auto& [year, month] : {std::pair{2027, 1}, std::pair{2027, 2}, std::pair{2027, 3}}) {
        SCOPED_TRACE(month);
        for (const auto& [day, text] : opened.monthCells(year, month)) {
            QStringList expected;
            for (const Occurrence& o : byDay[day])
                expected << QString::fromStdString(o.start + " " + o.title);
            EXPECT_EQ(text, expected.join(QLatin1Char('\n'))) << day;
        }
        opened.click("nastepny");
    }

    // The printed weeks list the same: the moved one, the deleted one, the first at the new hour.
    for (const auto& [monday, count] : {std::pair{CalendarDate{2027, 1, 11}, 1u}, std::pair{CalendarDate{2027, 1, 18}, 0u},
                                        std::pair{CalendarDate{2027, 3, 1}, 1u}}) {
        SCOPED_TRACE(dateText(monday));
        opened.showMonth(monday.month == 1 ? 1 : 3);
        opened.chooseDay(addDays(monday, 2), monday.year, monday.month);
        RecordingPrintSurface printed;
        platform.printerFactory = [&printed] { return printed.proxy(); };
        opened.click("drukuj");
        std::vector<std::string> shown;
        for (const auto& text : printed.texts) {
            if (text.text.starts_with("    ") && !text.text.starts_with("     ") && text.text != "    —")
                shown.push_back(text.text.substr(4));
        }
        std::vector<std::string> expected;
        for (int d = 0; d < 7; ++d) {
            for (const Occurrence& o : byDay[dateText(addDays(monday, d))])
                expected.push_back(o.start + "–" + o.end + " " + o.title);
        }
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(shown.size(), count);
    }
}


// Drops what the day's list drags onto the grid's cell of `day` in the month view shown.
void dropOnDay(SeriesWindow& opened, CalendarDate day, int year, int month)
{
    const CalendarDate first = monthViewStart(year, month);
    int index = 0;
    while (addDays(first, index) != day)
        ++index;
    auto* grid = opened.find<QTableWidget>("siatka");
    const QPoint at = grid->visualRect(grid->model()->index(index / 7, index % 7)).center();
    QMimeData dragged;
    dragged.setData(QStringLiteral("application/x-qabstractitemmodeldatalist"), QByteArray("x"));
    QDragEnterEvent enter(at, Qt::MoveAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::MoveAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &drop);
}

// Dragged onto another day, an occurrence of a series moves alone unless the user
// chooses otherwise; a single appointment moves without a question; Anuluj moves nothing.
TEST(GrafikSeries, AChangedRepeatIsNotDroppedByOnlyThisOccurrence)
{
    const WarsawTime zone;
    const test::TempFolder program;
    CalendarDocument stored;
    CalendarEvent meeting;
    meeting.title = "Narada";
    meeting.start = {{2026, 12, 1}, {9, 0}};
    meeting.end = {{2026, 12, 1}, {10, 0}};
    meeting.recurrence = "FREQ=WEEKLY";
    stored.putEvent(meeting, kNow);
    test::writeText(program / kCalendar, stored.text());
    const std::string before = test::readText(program / kCalendar);

    ScriptedPlatform platform;
    SeriesWindow opened{openScheduleWindow({{"Kalvaro"}, trustFolderTree(program.path())}, platform)};
    opened.chooseFirstOn({2026, 12, 8}, 2026, 12);
    auto* repeat = opened.find<QComboBox>("powtarzanie");
    repeat->setCurrentIndex(repeat->currentIndex() == 0 ? 1 : 0);
    const int typed = repeat->currentIndex();
    platform.choiceAnswers = {0}; // only this occurrence
    opened.click("zapisz");
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("Powtarzanie zmienia się dla serii")));
    EXPECT_EQ(test::readText(program / kCalendar), before);
    EXPECT_EQ(repeat->currentIndex(), typed); // the form keeps what was chosen

    platform.choiceAnswers = {2}; // the whole series takes it
    opened.click("zapisz");
    EXPECT_NE(test::readText(program / kCalendar), before);
}

TEST(GrafikSeries, AnOccurrenceDraggedToAnotherDayMovesAlone)
{
    const WarsawTime zone;
    const test::TempFolder program;
    CalendarDocument stored;
    CalendarEvent meeting;
    meeting.title = "Narada";
    meeting.start = {{2026, 12, 1}, {9, 0}};
    meeting.end = {{2026, 12, 1}, {10, 0}};
    meeting.recurrence = "FREQ=WEEKLY";
    stored.putEvent(meeting, kNow);
    CalendarEvent visit = meeting;
    visit.title = "Wizyta";
    visit.recurrence.clear();
    visit.start = {{2026, 12, 2}, {12, 0}};
    visit.end = {{2026, 12, 2}, {12, 30}};
    stored.putEvent(visit, kNow);
    test::writeText(program / kCalendar, stored.text());
    ScriptedPlatform platform; // its clock: 6.12.2026
    SeriesWindow opened{openScheduleWindow({{"Kalvaro"}, trustFolderTree(program.path())}, platform)};

    opened.chooseFirstOn({2026, 12, 8}, 2026, 12);
    platform.choiceAnswers = {std::nullopt}; // Anuluj
    dropOnDay(opened, {2026, 12, 10}, 2026, 12);
    EXPECT_EQ(opened.find<QDateTimeEdit>("poczatek")->dateTime(), QDateTime({2026, 12, 8}, {9, 0}));
    EXPECT_TRUE(readCalendar(program / kCalendar).events().at(0).changes.empty());

    platform.choiceAnswers = {0};
    dropOnDay(opened, {2026, 12, 10}, 2026, 12);
    const std::vector<CalendarEvent> events = readCalendar(program / kCalendar).events();
    ASSERT_EQ(events.at(0).changes.size(), 1u);
    EXPECT_EQ(events[0].changes[0].of, (CalendarMoment{{2026, 12, 8}, {9, 0}}));
    EXPECT_EQ(events[0].changes[0].start, (CalendarMoment{{2026, 12, 10}, {9, 0}}));
    EXPECT_EQ(events[0].changes[0].end, (CalendarMoment{{2026, 12, 10}, {10, 0}}));
    EXPECT_EQ(events[0].start, (CalendarMoment{{2026, 12, 1}, {9, 0}})) << "the series stays";
    EXPECT_EQ(opened.monthCells(2026, 12)["2026-12-08"], "");
    EXPECT_EQ(opened.monthCells(2026, 12)["2026-12-10"], "09:00 Narada");

    opened.chooseFirstOn({2026, 12, 2}, 2026, 12);
    dropOnDay(opened, {2026, 12, 4}, 2026, 12);
    EXPECT_EQ(readCalendar(program / kCalendar).events().at(1).start, (CalendarMoment{{2026, 12, 4}, {12, 0}}));
    EXPECT_EQ(platform.asked.size(), 2) << "a single appointment moves without a question";
}

} // namespace
