#pragma once

// The rules of a task list that the task calendar and the task reader share:
// the order by due date, what is overdue, the filters. No Qt here.

#include "companions/calendar_kit/calendar_document.h"

#include <string>

namespace wirtello {

// Earlier due first; on one day the tasks with a time come before those due
// by the end of the day; then by title.
bool dueBefore(const CalendarTask& a, const CalendarTask& b);

// An open task whose due day has passed, or whose due time today has.
bool isOverdue(const CalendarTask& task, CalendarMoment now);

enum class TaskFilter { Overdue, Today, ThisWeek, All };

// Whether an open task belongs under the filter: overdue ones; those due
// today; those due this week (Monday to Sunday); all.
bool passesFilter(const CalendarTask& task, TaskFilter filter, CalendarMoment now);

// The priority as the windows show it: "wysoki" (1–4), "normalny" (5),
// "niski" (6–9), "" when none.
std::string priorityName(int priority);

// The priority stored for the choice of a priority box: none, high, normal, low.
int priorityOfChoice(int choice);
int choiceOfPriority(int priority);

} // namespace wirtello
