#pragma once

// One iCalendar file (RFC 5545) held by libical: a contact's tasks (VTODO) or
// the office's appointments (VEVENT), seen as plain structs. Whatever the
// companions do not use (other components, other properties of a task, the
// left-out and changed occurrences of a series) is kept as it was read. Times
// are written in the local time zone with its TZID and VTIMEZONE, a series of
// another zone in that zone. No Qt here.

#include "companions/calendar_kit/calendar_time.h"

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct icalcomponent_impl;

namespace wirtello {

// A text that is not an iCalendar file; what() is a Polish text.
class CalendarDamaged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CalendarTask {
    std::string uid;
    std::string title;
    CalendarDate due;
    std::optional<ClockTime> dueTime; // nothing: the whole day
    int priority = 0;                 // 0 none, 1 highest … 9 lowest
    std::string note;
    bool done = false;
    // RRULE of a repeating task, read only: the due date is that of the
    // occurrence now open, and marking it done moves on to the next one.
    std::string recurrence = {};
};

// One occurrence of a series changed on its own (a VEVENT with RECURRENCE-ID):
// at its own time, with its own texts and reminder.
struct OccurrenceChange {
    CalendarMoment of; // the start the series gives the occurrence (RECURRENCE-ID)
    CalendarMoment start;
    CalendarMoment end;
    std::string title;
    std::string place;
    std::string note;
    std::optional<int> reminderMinutes;
    // RANGE=THISANDFUTURE: the change holds for the later occurrences too.
    bool thisAndFuture = false;
};

struct CalendarEvent {
    std::string uid;
    std::string title;
    std::string place;
    std::string note;
    std::string contact;   // the contact's id, may be empty
    CalendarMoment start;
    CalendarMoment end;    // for a whole-day event the day after its last day
    bool wholeDay = false; // times unused
    std::string recurrence; // RRULE value ("FREQ=WEEKLY"), empty when once
    std::optional<int> reminderMinutes; // shown this many minutes before the start
    // The zone a recurring appointment repeats in when the file gave it one
    // other than the local zone ("America/New_York", "UTC"); start and end
    // are still local. Empty: the local zone.
    std::string zone = {};
    // Of a series, as read (putEvent leaves them as they are in the file):
    // starts left out (EXDATE), whole days left out of a timed series (an
    // EXDATE given as a date), starts added (RDATE), and changed occurrences.
    std::vector<CalendarMoment> leftOut = {};
    std::vector<CalendarDate> leftOutDays = {};
    std::vector<CalendarMoment> added = {};
    std::vector<OccurrenceChange> changes = {};
};

// Which occurrences of a series a change or a deletion applies to.
enum class SeriesScope { OnlyThis, ThisAndFollowing, All };

// Dates after this year are beyond what libical reads as valid.
inline constexpr int kLastCalendarYear = 4999;

// What an import of appointments did.
struct EventImport {
    int added = 0;             // appointments (single or series) new here
    int changed = 0;           // those of a UID already here, replaced whole
    int uidsGiven = 0;         // of those, how many came without UID and got one
    int occurrenceChanges = 0; // changed single occurrences (RECURRENCE-ID) kept with their series
    int withExceptions = 0;    // series kept with changed, left out (EXDATE) or added dates (RDATE)
    int ownZone = 0;           // series kept in a time zone other than the local one
    int tooFar = 0;            // left out: a date after kLastCalendarYear
    int notUnderstood = 0;     // left out: no usable start, a refused rule, a change of no series here
    int otherEntries = 0;      // left out: tasks, journal entries and the like
    int skipped() const { return tooFar + notUnderstood + otherEntries; }
};

// A new unique UID.
std::string newCalendarUid();

class CalendarDocument {
public:
    // An empty calendar.
    CalendarDocument();
    // The calendar in `text`; CalendarDamaged when it is not one. An empty
    // text is an empty calendar.
    static CalendarDocument parse(std::string_view text);

    CalendarDocument(const CalendarDocument& other);
    CalendarDocument& operator=(const CalendarDocument& other);
    CalendarDocument(CalendarDocument&&) noexcept;
    CalendarDocument& operator=(CalendarDocument&&) noexcept;
    ~CalendarDocument();

    // The file's text, lines ended by CRLF.
    std::string text() const;

    // The calendar's name (X-WR-CALNAME) and the contact's address
    // (X-WIRTELLO-ADDRESS), empty when missing.
    std::string name() const;
    std::string address() const;
    void setHeading(const std::string& name, const std::string& address);

    // Tasks and appointments in file order. Those without a date the program
    // can use are left out and counted in skipped().
    std::vector<CalendarTask> tasks() const;
    std::vector<CalendarEvent> events() const;
    int skipped() const;
    // Entries that are neither tasks, appointments nor time zones (journal
    // entries, free/busy times), which the companions do not show.
    int otherEntries() const;

    // Adds the task or appointment, or changes the one with the same UID (its
    // other properties stay). An empty UID gets a new one; returns the UID.
    // CalendarDamaged (a Polish text) for a recurrence libical refuses.
    std::string putTask(const CalendarTask& task, std::chrono::system_clock::time_point now);
    std::string putEvent(const CalendarEvent& event, std::chrono::system_clock::time_point now);

    // Marks the task done or open again; false when there is no such task.
    // A repeating task is not closed: its due date (and start) moves on to
    // the next occurrence of its rule, and only the last one is marked done.
    bool markDone(const std::string& uid, bool done, std::chrono::system_clock::time_point now);

    // Removes the task or appointment (a series with its changed
    // occurrences); false when there is none.
    bool remove(const std::string& uid);

    // Changes the occurrence of series `uid` that the series starts at `of`
    // (EventOccurrence::recurrenceId) to `changed`:
    //  OnlyThis          writes a changed occurrence (RECURRENCE-ID);
    //  ThisAndFollowing  ends the series before it (UNTIL, or COUNT cut) and
    //                    starts a new series (new UID) from `changed` with the
    //                    rest: its left-out dates and changed occurrences move
    //                    along by the same shift;
    //  All               changes the series, moving it by the occurrence's
    //                    shift, and keeps the changed occurrences that still
    //                    fall on its rule.
    // `changed.recurrence` is the rule from then on (for OnlyThis unused).
    // Returns the UID that now holds the occurrence, empty when there is no
    // such series. CalendarDamaged for a rule libical refuses.
    std::string changeOccurrence(const std::string& uid, const CalendarMoment& of, const CalendarEvent& changed,
                                 SeriesScope scope, std::chrono::system_clock::time_point now);

    // Deletes that occurrence: OnlyThis leaves it out (EXDATE, dropping its
    // change), ThisAndFollowing ends the series before it, All removes the
    // series. False when there is no such series.
    bool removeOccurrence(const std::string& uid, const CalendarMoment& of, SeriesScope scope,
                          std::chrono::system_clock::time_point now);

    // Takes the appointments of `from` as they are written there: with their
    // time zones, left-out and added dates and changed occurrences. One of a
    // UID already here is replaced whole; one without UID gets one.
    EventImport importEvents(const CalendarDocument& from, std::chrono::system_clock::time_point now);

private:
    struct Deleter {
        void operator()(icalcomponent_impl* component) const;
    };
    explicit CalendarDocument(icalcomponent_impl* root);
    std::unique_ptr<icalcomponent_impl, Deleter> root_;
};

} // namespace wirtello
