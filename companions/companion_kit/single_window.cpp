#include "single_window.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

namespace wirtello {

QString singleWindowName(std::string_view companion, const std::filesystem::path& programFolder,
                         const std::string& id)
{
    // A hash keeps any folder name and id within the socket name's limits.
    const QByteArray key = QByteArray::fromStdString(programFolder.string() + '\n' + id);
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("wirtello-%1-%2-%3")
        .arg(QString::fromLatin1(companion.data(), static_cast<qsizetype>(companion.size())))
        .arg(::geteuid())
        .arg(QString::fromLatin1(hash));
}

bool callRunningWindow(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("front\n");
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

RunningWindowListener::RunningWindowListener(const QString& name, std::function<void()> bringToFront,
                                             QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), bringToFront_(std::move(bringToFront))
{
    // Only this user's starts may call the window.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // The caller holds the document's lock, so a socket left under this name
    // belongs to a window that has ended.
    QLocalServer::removeServer(name);
    server_->listen(name);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            bringToFront_();
        }
    });
}

bool RunningWindowListener::listening() const
{
    return server_->isListening();
}

void bringWindowToFront(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void StartAnswer::answerWhile(bool holdsLock)
{
    if (listener_ || name_.isEmpty() || !holdsLock)
        return;
    listener_ = new RunningWindowListener(name_, [window = window_] { bringWindowToFront(window); }, window_);
}

} // namespace wirtello
