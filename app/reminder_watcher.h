#pragma once

#include "companions/reminders/reminder_keeper.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <map>
#include <memory>

namespace wirtello {

class DesktopNotifications;
class Platform;
class ReminderWindow;

// The main program's reminders, all day while it runs: the appointments'
// reminders and the contacts' due tasks, each shown once when its time comes
// as a desktop notification ("Odłóż 5/15/60 min", "Otwórz"), or in a window
// of the program's own where no notification service answers. A timer wakes
// it at the next due moment; a slow look at the files' stamps picks up
// changes made by other programs and workstations.
class ReminderWatcher : public QObject {
    // No Q_OBJECT: no signals of its own, and moc cannot read the calendar headers.
public:
    // Without `notifications` every reminder comes in the program's own window.
    ReminderWatcher(Platform& platform, std::filesystem::path programFolder, DesktopNotifications* notifications,
                    QObject* parent = nullptr);
    ~ReminderWatcher() override;

    // Reads the files and starts watching; the first check runs from the event loop.
    void start();

    // The timer's work (tests call it directly): shows what is due, then sets
    // the timer to the next due moment.
    void check();
    // The file watch's work: checks again when a file changed, or when the
    // timer was held up (the computer slept) past its moment.
    void lookAtFiles();
    // The user's choice on a reminder shown: "odloz-5", "odloz-15",
    // "odloz-60", "otworz"; anything else lets it go.
    void answer(const QString& tag, const QString& action);

    const QTimer& wakeTimer() const { return wake_; }
    // The program's own window, once a reminder needed it.
    ReminderWindow* ownWindow() const { return window_.get(); }

private:
    struct Shown {
        Reminder reminder;
        QString summary;
        QString body;
    };
    void show(const ReminderKeeper::Due& due);
    void showInWindow(const QString& tag);
    void tellNotices();
    void plan();

    Platform& platform_;
    std::filesystem::path programFolder_;
    DesktopNotifications* notifications_ = nullptr;
    std::unique_ptr<ReminderKeeper> keeper_;
    QTimer wake_;
    QTimer look_;
    QDateTime planned_;
    std::map<QString, Shown> shown_;
    std::unique_ptr<ReminderWindow> window_;
};

} // namespace wirtello
