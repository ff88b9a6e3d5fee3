// The network module: downloads and the connection state, behind NetworkAccess.
#include "network_access.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QObject>
#include <QSaveFile>
#include <QTimer>

namespace wirtello {
namespace {

// Downloads are small text files; anything bigger is not what was asked for.
constexpr qint64 kMaxDownloadBytes = 1024 * 1024;

} // namespace

// The module's root object.
class QtNetworkAccess : public QObject, public NetworkAccess {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "pl.wirtello.NetworkAccess/1")
    Q_INTERFACES(wirtello::NetworkAccess)
public:
    bool isConnected() override;
    bool download(const QString& url, const std::filesystem::path& target, int timeoutMs) override;
};

bool QtNetworkAccess::isConnected()
{
    // Without a backend (no NetworkManager) the state is Unknown, which counts
    // as connected; only Disconnected is offline.
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    const QNetworkInformation* info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

bool QtNetworkAccess::download(const QString& url, const std::filesystem::path& target, int timeoutMs)
{
    const QUrl address(url);
    if (!address.isValid() || address.isRelative())
        return false;

    QNetworkAccessManager manager;
    QNetworkRequest request{address};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = manager.get(request);

    // The whole download, name lookup and connection included, stops at the deadline.
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timedOut = false;
    bool tooBig = false;
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64 received, qint64) {
        if (received > kMaxDownloadBytes && !tooBig) {
            tooBig = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        deadline.start(timeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    deadline.stop();

    const bool ok = !timedOut && !tooBig && reply->error() == QNetworkReply::NoError
        && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() / 100 == 2;
    const QByteArray body = ok ? reply->readAll() : QByteArray();
    if (!ok)
        return false;

    // The new file replaces the old one only once it is complete: a failed
    // download or write leaves no half-written file behind.
    QSaveFile file(QString::fromStdU16String(target.u16string()));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(body) != body.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace wirtello

#include "network_module.moc"
