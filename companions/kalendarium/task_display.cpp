#include "companions/kalendarium/task_display.h"

#include "companions/calendar_kit/task_rules.h"
#include "platform/window_look.h"

#include <QTableWidget>

namespace wirtello {

QDate toQDate(CalendarDate date)
{
    return QDate(date.year, date.month, date.day);
}

CalendarDate fromQDate(const QDate& date)
{
    return {date.year(), date.month(), date.day()};
}

CalendarMoment momentOf(const QDateTime& moment)
{
    return {fromQDate(moment.date()), {moment.time().hour(), moment.time().minute()}};
}

QString dueDateText(Platform& platform, const CalendarTask& task)
{
    return platform.formatShortDate(toQDate(task.due));
}

QString dueTimeText(const CalendarTask& task)
{
    return task.dueTime ? QString::fromStdString(timeText(*task.dueTime)) : QString();
}

QString stateText(const CalendarTask& task, CalendarMoment now)
{
    if (task.done)
        return QStringLiteral("wykonane");
    if (isOverdue(task, now))
        return QStringLiteral("zaległe");
    // A repeating task shows its open occurrence; marking it done moves it on.
    return task.recurrence.empty() ? QString() : QStringLiteral("powtarza się");
}

QString oneLine(const std::string& text)
{
    return QString::fromStdString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QStringLiteral(" / "));
}

void putTaskRow(QTableWidget* table, int row, const QStringList& cells, const CalendarTask& task, CalendarMoment now)
{
    const bool overdue = isOverdue(task, now);
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setToolTip(cells[column]);
        if (overdue) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
            item->setForeground(kMaroon);
        } else if (task.done) {
            item->setForeground(Qt::gray);
        }
        table->setItem(row, column, item);
    }
}

} // namespace wirtello
