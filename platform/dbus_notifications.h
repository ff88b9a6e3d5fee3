#pragma once

// The freedesktop Notifications interface over D-Bus: Notify with actions,
// and the service's ActionInvoked and NotificationClosed signals.

#include "platform/desktop_notifications.h"

#include <QDBusConnection>
#include <QHash>

namespace wirtello {

inline constexpr const char* kNotificationService = "org.freedesktop.Notifications";
inline constexpr const char* kNotificationPath = "/org/freedesktop/Notifications";

class DbusNotifications : public DesktopNotifications {
    Q_OBJECT

public:
    // On `bus`, the session bus unless a test gives its own.
    explicit DbusNotifications(QDBusConnection bus, QObject* parent = nullptr);

    void show(const QString& tag, const QString& summary, const QString& body,
              const QList<NotificationAction>& actions) override;

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    QDBusConnection bus_;
    QHash<uint, QString> tags_; // the service's ids of the notifications shown
};

} // namespace wirtello
