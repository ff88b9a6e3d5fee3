#include "companions/companion_kit/day_keeping_date_edit.h"

#include <QKeyEvent>

namespace wirtello {

DayKeepingDateEdit::DayKeepingDateEdit(QWidget* parent)
    : QDateTimeEdit(parent)
{
    // A value set by the program (another entry shown) forgets what was typed.
    connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (!typing_)
            typedDay_.reset();
    });
}

QValidator::State DayKeepingDateEdit::validate(QString& input, int& position) const
{
    // Only the first look of a key press sees the user's text; later ones
    // see it already clamped.
    if (typing_ && rawInput_) {
        rawInput_ = false;
        if (currentSection() == DaySection) {
            bool number = false;
            const int day = input.section(QLatin1Char('.'), 0, 0).trimmed().toInt(&number);
            if (number && day >= 1 && day <= 31)
                typedDay_ = day;
        }
    }
    return QDateTimeEdit::validate(input, position);
}

void DayKeepingDateEdit::keyPressEvent(QKeyEvent* event)
{
    typing_ = true;
    rawInput_ = true;
    QDateTimeEdit::keyPressEvent(event);
    rawInput_ = false;
    restoreTypedDay();
    typing_ = false;
}

void DayKeepingDateEdit::restoreTypedDay()
{
    // Not while the day itself is typed, nor while the text is half a date.
    const QDateTime shown = dateTime();
    if (!typedDay_ || *typedDay_ == shown.date().day() || currentSection() == DaySection ||
        text() != shown.toString(displayFormat()))
        return;
    const QDate wanted(shown.date().year(), shown.date().month(), *typedDay_);
    if (wanted.isValid())
        setDate(wanted); // keeps the time
}

} // namespace wirtello
