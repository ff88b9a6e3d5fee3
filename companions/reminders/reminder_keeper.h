#pragma once

// The main program's watch over the reminders, with the clock handed in:
// reads the scheduler's calendar and the contacts' task calendars, tells
// which reminders are due and not shown yet (also those put off, and those
// whose time passed while the program was closed), keeps the record of what
// was shown and notices files changed on disk. No Qt here.

#include "companions/reminders/reminder_plan.h"
#include "companions/reminders/reminder_state.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace wirtello {

// Reminders due this long before a check are still shown (marked missed);
// older ones are let go.
inline constexpr int kMissedLookBackMinutes = 7 * 24 * 60;

class ReminderKeeper {
public:
    // `started` is when the program started: a reminder that fell due
    // before it and was not shown is shown as missed. Reads the files.
    ReminderKeeper(std::filesystem::path programFolder, CalendarMoment started);

    struct Due {
        Reminder reminder;
        bool missed = false;
    };

    // Reads the calendars and the records again when one of them changed on
    // disk since the last look; true when something did.
    bool lookAtFiles(const CalendarMoment& now);

    // The reminders due at `now` not shown yet, and those put off until
    // now; from then on they count as shown, and the record is stored.
    std::vector<Due> takeDue(const CalendarMoment& now);

    // Puts the reminder off until `minutes` after `now` and stores that.
    void snooze(const Reminder& reminder, int minutes, const CalendarMoment& now);

    // The first moment after `now` at which something falls due, looking two
    // days ahead; nothing when nothing does.
    std::optional<CalendarMoment> nextDue(const CalendarMoment& now) const;

    // What could not be read or stored since the last call (Polish), each
    // told once.
    std::vector<std::string> takeNotices();

    // The record files of the appointments and of the tasks.
    std::filesystem::path appointmentRecord() const;
    std::filesystem::path taskRecord() const;

private:
    struct Book {
        std::filesystem::path folder;
        ReminderSources sources;
        ReminderState state;
        bool writable = true; // false while its record could not be read
    };
    struct Stamp {
        unsigned long long device = 0, inode = 0, size = 0;
        long long modifiedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    using Stamps = std::map<std::filesystem::path, Stamp>;

    Stamps stampsNow() const;
    void readSources();
    void readRecord(Book& book, const CalendarMoment& now);
    void store(Book& book, const CalendarMoment& now);
    void takeDueOf(Book& book, const CalendarMoment& now, std::vector<Due>& due);
    std::optional<CalendarMoment> nextDueOf(const Book& book, const CalendarMoment& now) const;
    void tell(std::string notice);

    std::filesystem::path programFolder_;
    CalendarMoment started_;
    Book appointments_;
    Book tasks_;
    Stamps seen_;
    std::vector<std::string> notices_;
    std::set<std::string> told_;
};

} // namespace wirtello
