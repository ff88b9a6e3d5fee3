#include "platform.h"

#include <QCursor>
#include <QGuiApplication>
#include <QStringList>

namespace wirtello {

QString Platform::formatShortDate(const QDate& date)
{
    // "mm" is the month in the system's date formats.
    QString qtFormat = shortDateFormat_;
    qtFormat.replace(QLatin1String("mm"), QLatin1String("MM"));
    QStringList parts;
    for (const QString& part : qtFormat.split(QLatin1Char('/')))
        parts << date.toString(part);
    return parts.join(dateSeparator());
}

void Platform::showWaitCursor(bool shown)
{
    if (shown)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

QString Platform::formatLongTime(const QTime& time)
{
    return time.toString(longTimeFormat());
}

} // namespace wirtello
