#pragma once

#include <QDateTimeEdit>

#include <optional>

namespace wirtello {

// A date (or date and time) field that keeps the day the user typed. A plain
// one clamps the day to the month as it stands while the user is still
// typing: 29.02 typed over a date of 2026 becomes 28.02 before the year 2028
// is typed. This one puts the typed day back as soon as the month and year
// allow it. The display format must start with the day.
class DayKeepingDateEdit : public QDateTimeEdit {
public:
    explicit DayKeepingDateEdit(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& position) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void restoreTypedDay();

    bool typing_ = false;           // inside a key press
    mutable bool rawInput_ = false; // the next validate sees the text as typed
    mutable std::optional<int> typedDay_;
};

} // namespace wirtello
