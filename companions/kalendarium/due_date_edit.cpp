#include "companions/kalendarium/due_date_edit.h"

#include <QKeyEvent>

namespace wirtello {

DueDateEdit::DueDateEdit(QWidget* parent)
    : QDateEdit(parent)
{
    // A date set by the program (another task shown) forgets what was typed.
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (!typing_)
            typedDay_.reset();
    });
}

QValidator::State DueDateEdit::validate(QString& input, int& position) const
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
    return QDateEdit::validate(input, position);
}

void DueDateEdit::keyPressEvent(QKeyEvent* event)
{
    typing_ = true;
    rawInput_ = true;
    QDateEdit::keyPressEvent(event);
    rawInput_ = false;
    restoreTypedDay();
    typing_ = false;
}

void DueDateEdit::restoreTypedDay()
{
    // Not while the day itself is typed, nor while the text is half a date.
    if (!typedDay_ || *typedDay_ == date().day() || currentSection() == DaySection ||
        text() != date().toString(displayFormat()))
        return;
    const QDate wanted(date().year(), date().month(), *typedDay_);
    if (wanted.isValid())
        setDate(wanted);
}

} // namespace wirtello
