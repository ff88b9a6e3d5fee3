#include "companions/kalendarium/task_appointment.h"

#include "companions/calendar_kit/calendar_file.h"
#include "companions/companion_kit/companion_files.h"

#include <algorithm>

namespace wirtello {

std::filesystem::path schedulerCalendar(const std::filesystem::path& programFolder)
{
    return companionFolder(programFolder, kScheduleFolder) / "terminarz.ics";
}

CalendarEvent appointmentOfTask(const CalendarTask& task, const std::string& contactId, const std::string& contactName)
{
    CalendarEvent event;
    event.uid = "zadanie-" + task.uid;
    event.title = task.title;
    event.contact = contactId;
    event.note = "Zadanie kontaktu: " + contactName;
    if (!task.note.empty())
        event.note += "\n" + task.note;
    event.wholeDay = !task.dueTime;
    if (task.dueTime) {
        event.start = {task.due, *task.dueTime};
        // An hour, ending at midnight at the latest.
        event.end = task.dueTime->hour >= 23 ? CalendarMoment{addDays(task.due, 1), {0, 0}}
                                              : CalendarMoment{task.due, {task.dueTime->hour + 1, task.dueTime->minute}};
    } else {
        event.start = {task.due, {}};
        event.end = {addDays(task.due, 1), {}};
    }
    return event;
}

bool copyTaskToScheduler(const std::filesystem::path& programFolder, const CalendarTask& task,
                         const std::string& contactId, const std::string& contactName,
                         std::chrono::system_clock::time_point now)
{
    const CalendarEvent event = appointmentOfTask(task, contactId, contactName);
    bool existed = false;
    changeCalendar(schedulerCalendar(programFolder), [&](CalendarDocument& calendar) {
        const std::vector<CalendarEvent> events = calendar.events();
        existed = std::any_of(events.begin(), events.end(), [&](const CalendarEvent& e) { return e.uid == event.uid; });
        calendar.putEvent(event, now);
    });
    return existed;
}

} // namespace wirtello
