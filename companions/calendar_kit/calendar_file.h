#pragma once

// Calendar files on disk, read and written through the companion kit: UTF-8,
// at most 4 MiB, atomic writes, damaged files kept aside. No Qt here.

#include "companions/calendar_kit/calendar_document.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace wirtello {

struct LoadedCalendar {
    CalendarDocument document;
    std::string damagedNotice; // Polish text when the file was kept aside
};

// For a window that owns the file: a missing file is an empty calendar; a
// damaged one is kept aside ("<file>.uszkodzony-…") and the calendar starts
// empty with the notice. IoError for read or rename failures.
LoadedCalendar loadCalendar(const std::filesystem::path& file, std::chrono::system_clock::time_point now);

// For a reader of other programs' files: a missing file is an empty
// calendar, a damaged one raises CalendarDamaged and stays where it is.
// IoError for read failures.
CalendarDocument readCalendar(const std::filesystem::path& file);

// Writes the calendar atomically.
void writeCalendar(const std::filesystem::path& file, const CalendarDocument& document);

// Changes the calendar as it is on disk now: reads it again, applies
// `change` and writes it back, while holding a lock on the file's folder so
// two programs changing the same file one after the other both keep their
// change. A file that became damaged raises CalendarDamaged and is not
// overwritten. A change that changes nothing writes nothing. Returns the
// calendar as it now is.
CalendarDocument changeCalendar(const std::filesystem::path& file, const std::function<void(CalendarDocument&)>& change);

} // namespace wirtello
