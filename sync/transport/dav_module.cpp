// The module's root object: makes DavTransports.
#include "sync/transport/dav_module.h"
#include "sync/transport/dav_transport.h"

#include <QObject>

namespace wirtello::sync {

class QtDavTransportFactory : public QObject, public DavTransportFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "pl.wirtello.DavTransportFactory/1")
    Q_INTERFACES(wirtello::sync::DavTransportFactory)
public:
    std::string addressProblem(const std::string& url) override { return davAddressProblem(url); }

    std::unique_ptr<SyncTransport> open(const DavAccount& account, const std::atomic<bool>* cancel) override
    {
        auto transport = std::make_unique<DavTransport>(account);
        transport->setCancelFlag(cancel);
        return transport;
    }
};

} // namespace wirtello::sync

#include "dav_module.moc"
