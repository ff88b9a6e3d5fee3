#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class ReminderWindow;
}

namespace wirtello {

class Platform;

// The program's own window of reminders, for a desktop without a
// notification service: the reminders due, each with the choices a
// notification offers. A choice applies to the reminder chosen in the list
// and takes it off; the window hides once none is left.
class ReminderWindow : public QWidget {
public:
    // `answer` gets the reminder's tag and the choice's key ("odloz-5",
    // "odloz-15", "odloz-60", "otworz"; "zamknij" for "Zamknij").
    using Answer = std::function<void(const QString& tag, const QString& action)>;
    ReminderWindow(Platform& platform, Answer answer, QWidget* parent = nullptr);
    ~ReminderWindow() override;

    // Adds the reminder to the list, chooses it and shows the window in front.
    void add(const QString& tag, const QString& summary, const QString& body);
    int count() const;

private:
    void choose(const QString& action);
    void showChosen();

    std::unique_ptr<Ui::ReminderWindow> ui_;
    Platform& platform_;
    Answer answer_;
};

} // namespace wirtello
