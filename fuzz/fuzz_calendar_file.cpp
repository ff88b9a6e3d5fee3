// A calendar file of the time companions (tasks and appointments): any bytes
// are either refused as damaged or read; what is read and written back reads
// the same, and an appointment's recurrence expanded over a range of days
// gives finitely many occurrences, in order, each on a day of that range.
#include "companions/calendar_kit/calendar_file.h"
#include "companions/calendar_kit/recurrence.h"
#include "fuzz/fuzz_support.h"
#include "store/io_error.h"

#include <cstdlib>
#include <tuple>

using namespace wirtello;

namespace {

const std::chrono::system_clock::time_point kNow{std::chrono::seconds(1796000000)};

auto fields(const CalendarTask& t)
{
    return std::tie(t.uid, t.title, t.due, t.dueTime, t.priority, t.note, t.done);
}

auto fields(const CalendarEvent& e)
{
    return std::tie(e.uid, e.title, e.place, e.note, e.contact, e.start, e.end, e.wholeDay, e.recurrence,
                    e.reminderMinutes, e.zone);
}

template <typename Entry>
bool sameEntries(const std::vector<Entry>& a, const std::vector<Entry>& b)
{
    return std::ranges::equal(a, b, [](const Entry& x, const Entry& y) { return fields(x) == fields(y); });
}

// Up to 120 days from a week before the appointment, and the year after the start.
void checkOccurrences(const CalendarEvent& event)
{
    const CalendarDate starts[] = {addDays(event.start.date, -7), addDays(event.start.date, 365)};
    for (const CalendarDate first : starts) {
        const CalendarDate last = addDays(first, 120);
        if (!isValidDate(first) || !isValidDate(last))
            continue;
        const std::vector<EventOccurrence> occurrences = occurrencesBetween(event, first, last);
        FUZZ_CHECK(occurrences.size() <= 121u * 24 * 60);
        for (std::size_t i = 0; i < occurrences.size(); ++i) {
            const EventOccurrence& o = occurrences[i];
            FUZZ_CHECK(isValidDate(o.start.date) && isValidDate(o.end.date));
            FUZZ_CHECK(o.start.date <= last);
            FUZZ_CHECK(o.end.date >= first);
            // A changed occurrence may be moved before the series' start or
            // onto another occurrence's time; the rule's own ones may not.
            FUZZ_CHECK(o.changed || o.start >= event.start);
            FUZZ_CHECK(i == 0 || occurrences[i - 1].start <= o.start);
        }
        // Without a rule: the start and the added dates, each at most once.
        if (event.recurrence.empty())
            FUZZ_CHECK(occurrences.size() <= 1 + event.added.size() + event.changes.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool zone = setenv("TZ", "Europe/Warsaw", 1) == 0;
    FUZZ_CHECK(zone);
    const std::filesystem::path file = fuzz::emptyFolder("calendar") / "zadania.ics";
    fuzz::writeFile(file, {data, size});
    CalendarDocument document;
    try {
        document = readCalendar(file);
    } catch (const CalendarDamaged&) {
        return 0;
    } catch (const IoError&) {
        return 0;
    }
    const std::vector<CalendarTask> tasks = document.tasks();
    const std::vector<CalendarEvent> events = document.events();

    writeCalendar(file, document);
    const CalendarDocument again = readCalendar(file);
    FUZZ_CHECK(sameEntries(again.tasks(), tasks));
    FUZZ_CHECK(sameEntries(again.events(), events));
    FUZZ_CHECK(again.name() == document.name() && again.address() == document.address());

    // Each entry put into a calendar of its own, as the windows do, reads back the same.
    for (const CalendarTask& task : tasks) {
        CalendarDocument fresh;
        fresh.putTask(task, kNow);
        FUZZ_CHECK(sameEntries(CalendarDocument::parse(fresh.text()).tasks(), {task}));
    }
    for (const CalendarEvent& event : events) {
        checkOccurrences(event);
        CalendarDocument fresh;
        try {
            fresh.putEvent(event, kNow);
        } catch (const CalendarDamaged&) {
            FUZZ_CHECK(!event.recurrence.empty());
            continue;
        }
        FUZZ_CHECK(sameEntries(CalendarDocument::parse(fresh.text()).events(), {event}));
    }
    return 0;
}
