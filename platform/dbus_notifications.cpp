#include "platform/dbus_notifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace wirtello {
namespace {

constexpr const char* kInterface = "org.freedesktop.Notifications";
// Long enough for a service started on demand by the bus.
constexpr int kNotifyTimeoutMs = 20 * 1000;

} // namespace

DbusNotifications::DbusNotifications(QDBusConnection bus, QObject* parent)
    : DesktopNotifications(parent), bus_(std::move(bus))
{
    // No service name: the signals come from whichever connection owns the
    // name now, also one that took it after this started.
    bus_.connect(QString(), QString::fromLatin1(kNotificationPath), QString::fromLatin1(kInterface),
                 QStringLiteral("ActionInvoked"), this, SLOT(onActionInvoked(uint,QString)));
    bus_.connect(QString(), QString::fromLatin1(kNotificationPath), QString::fromLatin1(kInterface),
                 QStringLiteral("NotificationClosed"), this, SLOT(onClosed(uint,uint)));
}

void DbusNotifications::show(const QString& tag, const QString& summary, const QString& body,
                             const QList<NotificationAction>& actions)
{
    QStringList actionList;
    for (const NotificationAction& action : actions)
        actionList << action.key << action.label;
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(2))); // stays until answered
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kNotificationService),
                                                       QString::fromLatin1(kNotificationPath),
                                                       QString::fromLatin1(kInterface), QStringLiteral("Notify"));
    call << QStringLiteral("Wirtello") << 0u << QStringLiteral("appointment-soon") << summary << body << actionList
         << hints << 0; // 0: never expires
    if (!bus_.isConnected()) {
        // Told from the event loop, as a reply would be.
        QMetaObject::invokeMethod(this, [this, tag] { emit failed(tag); }, Qt::QueuedConnection);
        return;
    }
    // Asynchronous: a service that hangs never stops the program.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kNotifyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, tag] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError())
            emit failed(tag);
        else
            tags_.insert(reply.value(), tag);
    });
}

void DbusNotifications::onActionInvoked(uint id, const QString& action)
{
    if (const auto found = tags_.constFind(id); found != tags_.constEnd())
        emit actionInvoked(*found, action);
}

void DbusNotifications::onClosed(uint id, uint /*reason*/)
{
    if (const QString tag = tags_.take(id); !tag.isEmpty())
        emit closed(tag);
}

} // namespace wirtello
