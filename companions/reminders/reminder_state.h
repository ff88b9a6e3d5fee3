#pragma once

// Which reminders were shown or put off, so that each is shown once, also
// across a restart: a small text file in the companion's folder
// (grafik/przypomnienia.txt for the appointments, kalendarium/przypomnienia.txt
// for the tasks). No Qt here.

#include "companions/calendar_kit/calendar_time.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wirtello {

inline constexpr const char* kReminderStateName = "przypomnienia.txt";
// The record is pruned as it is written, so it stays far below this.
inline constexpr std::uintmax_t kReminderStateLimit = 1024 * 1024;

// A record its reader refuses; what() says which line and why (Polish).
class ReminderStateDamaged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ReminderMark {
    CalendarMoment at;                          // when the reminder fell due
    std::optional<CalendarMoment> snoozedUntil; // put off: shown again then
    bool operator==(const ReminderMark&) const = default;
};

struct ReminderState {
    // Reminders due before this moment (when the record was begun) are
    // never shown: a first start does not bring up the whole past.
    CalendarMoment since;
    std::map<std::string, ReminderMark> marks; // by Reminder::key

    // The file's text; marks whose key is not UTF-8 are left out.
    std::string text() const;
    // The record in `text`; ReminderStateDamaged naming `file` and the
    // first line refused.
    static ReminderState parse(std::string_view text, const std::filesystem::path& file);

    // Adds the marks of `other` (what another program stored) that this one
    // lacks; this one's own marks stand.
    void merge(const ReminderState& other);
    // Drops the marks due before `before` and not put off past it: no
    // check looks that far back again.
    void prune(const CalendarMoment& before);
};

// The record in `file`; nothing when there is none. IoError for a failed
// read, ReminderStateDamaged for a text its reader refuses.
std::optional<ReminderState> readReminderState(const std::filesystem::path& file);

// Replaces `file` with the record atomically (the store's safe write).
void writeReminderState(const std::filesystem::path& file, const ReminderState& state);

} // namespace wirtello
