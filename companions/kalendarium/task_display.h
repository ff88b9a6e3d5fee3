#pragma once

// How the task calendar and the task reader show a task: dates in the
// program's short format, the state text, overdue rows marked.

#include "companions/calendar_kit/calendar_document.h"
#include "platform/platform.h"

#include <QDate>
#include <QString>

class QTableWidget;

namespace wirtello {

QDate toQDate(CalendarDate date);
CalendarDate fromQDate(const QDate& date);
CalendarMoment momentOf(const QDateTime& moment);

// "07.12.2026" in the program's short date format, and "15:30" or "".
QString dueDateText(Platform& platform, const CalendarTask& task);
QString dueTimeText(const CalendarTask& task);

// "zaległe", "wykonane", "powtarza się" (an open repeating task) or "".
QString stateText(const CalendarTask& task, CalendarMoment now);

// A note on one line.
QString oneLine(const std::string& text);

// Puts `cells` into `row` of `table`; an overdue task's row in bold maroon,
// a done one in grey.
void putTaskRow(QTableWidget* table, int row, const QStringList& cells, const CalendarTask& task, CalendarMoment now);

} // namespace wirtello
