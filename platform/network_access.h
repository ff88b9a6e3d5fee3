#pragma once

#include <QString>
#include <QtPlugin>

#include <filesystem>

namespace wirtello {

// The network, from its own module so that the program starts without the
// network libraries (see program_module.h).
class NetworkAccess {
public:
    virtual ~NetworkAccess() = default;
    // False only when the system says it is offline.
    virtual bool isConnected() = 0;
    // Downloads `url` over `target` (replaced only by a complete download);
    // false on any failure, on a timeout, or for a file over 1 MB.
    virtual bool download(const QString& url, const std::filesystem::path& target, int timeoutMs) = 0;
};

inline const QString kNetworkModule = QStringLiteral("wirtello_network");

} // namespace wirtello

Q_DECLARE_INTERFACE(wirtello::NetworkAccess, "pl.wirtello.NetworkAccess/1")
