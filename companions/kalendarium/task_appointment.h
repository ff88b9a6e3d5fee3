#pragma once

// A contact's task as an appointment of the office's scheduler. No Qt here.

#include "companions/calendar_kit/calendar_document.h"

#include <filesystem>
#include <string>

namespace wirtello {

// The scheduler's calendar in the program folder: grafik/terminarz.ics.
std::filesystem::path schedulerCalendar(const std::filesystem::path& programFolder);

// The appointment for `task` of contact `contactId` named `contactName`: at
// its due time for an hour, or the whole due day. Its UID follows from the
// task's, so copying the task again changes the same appointment.
CalendarEvent appointmentOfTask(const CalendarTask& task, const std::string& contactId, const std::string& contactName);

// Puts the appointment into the scheduler's calendar as it is on disk now.
// True when it was already there (and is now changed). IoError, CalendarDamaged.
bool copyTaskToScheduler(const std::filesystem::path& programFolder, const CalendarTask& task,
                         const std::string& contactId, const std::string& contactName,
                         std::chrono::system_clock::time_point now);

} // namespace wirtello
