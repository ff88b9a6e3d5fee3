#pragma once

// Notifications on the desktop (reminders): shown by the desktop's
// notification service, answered by the user's choice of one of their
// actions. The program gets the freedesktop one over D-Bus
// (dbus_notifications.h); tests script their own.

#include <QList>
#include <QObject>
#include <QString>

namespace wirtello {

struct NotificationAction {
    QString key;   // told back in actionInvoked
    QString label; // the button's text
};

class DesktopNotifications : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Shows a notification that stays until the user answers it; `tag`
    // names it in the signals. Answers come later, never from within show.
    virtual void show(const QString& tag, const QString& summary, const QString& body,
                      const QList<NotificationAction>& actions) = 0;

signals:
    void actionInvoked(const QString& tag, const QString& action);
    void closed(const QString& tag);
    // No notification service took it: the caller shows it its own way.
    void failed(const QString& tag);
};

} // namespace wirtello
