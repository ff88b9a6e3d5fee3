#include "companions/calendar_kit/task_rules.h"

#include <tuple>

namespace wirtello {

namespace {

// A whole-day task counts as due at the end of its day.
ClockTime dueClock(const CalendarTask& task)
{
    return task.dueTime ? *task.dueTime : ClockTime{24, 0};
}

} // namespace

bool dueBefore(const CalendarTask& a, const CalendarTask& b)
{
    return std::tuple(a.due, dueClock(a), a.title) < std::tuple(b.due, dueClock(b), b.title);
}

bool isOverdue(const CalendarTask& task, CalendarMoment now)
{
    return !task.done && CalendarMoment{task.due, dueClock(task)} < now;
}

bool passesFilter(const CalendarTask& task, TaskFilter filter, CalendarMoment now)
{
    const CalendarDate monday = addDays(now.date, 1 - weekdayOf(now.date));
    switch (filter) {
    case TaskFilter::Overdue:
        return isOverdue(task, now);
    case TaskFilter::Today:
        return task.due == now.date;
    case TaskFilter::ThisWeek:
        return task.due >= monday && task.due <= addDays(monday, 6);
    case TaskFilter::All:
        break;
    }
    return true;
}

std::string priorityName(int priority)
{
    if (priority <= 0)
        return "";
    return priority < 5 ? "wysoki" : priority == 5 ? "normalny" : "niski";
}

int priorityOfChoice(int choice)
{
    constexpr int priorities[] = {0, 1, 5, 9};
    return choice >= 0 && choice < 4 ? priorities[choice] : 0;
}

int choiceOfPriority(int priority)
{
    return priority <= 0 ? 0 : priority < 5 ? 1 : priority == 5 ? 2 : 3;
}

} // namespace wirtello
