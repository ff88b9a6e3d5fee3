#pragma once

// The CardDAV/CalDAV transport from its own module, so that the program starts
// without the network libraries and loads them at the first sync (see
// platform/program_module.h).

#include "sync/sync_transport.h"
#include "sync/transport/dav_account.h"

#include <QString>
#include <QtPlugin>

#include <atomic>
#include <memory>
#include <string>

namespace wirtello::sync {

class DavTransportFactory {
public:
    virtual ~DavTransportFactory() = default;
    // Why `url` cannot be a server address (Polish, for the user); empty when it can.
    virtual std::string addressProblem(const std::string& url) = 0;
    // A transport for the account, its calls stopped when `cancel` is set (may be
    // null). Throws std::invalid_argument with addressProblem's text.
    virtual std::unique_ptr<SyncTransport> open(const DavAccount& account, const std::atomic<bool>* cancel) = 0;
};

inline const QString kDavModule = QStringLiteral("wirtello_dav");

} // namespace wirtello::sync

Q_DECLARE_INTERFACE(wirtello::sync::DavTransportFactory, "pl.wirtello.DavTransportFactory/1")
