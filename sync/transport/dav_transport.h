#pragma once

// The sync transport over QtNetwork: CardDAV and CalDAV requests with Basic
// (sent with the first request) or Digest authentication, TLS with the system's trusted certificates (or one
// certificate the user chose to trust), redirects within the server's host and
// a time limit on every request. Calls block in a local event loop, so they
// need a QCoreApplication and run in the thread that first used the transport.

#include "sync/sync_transport.h"
#include "sync/transport/dav_account.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>

namespace wirtello::sync {

// Why `url` cannot be a server address (Polish, for the user); empty when it can.
std::string davAddressProblem(const std::string& url);

class DavTransport final : public SyncTransport {
public:
    // Throws std::invalid_argument with davAddressProblem's text for an address it refuses.
    explicit DavTransport(DavAccount account);
    ~DavTransport() override;

    // A flag the caller sets from another thread to stop the running request
    // (it then throws TransportError Cancelled).
    void setCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    // How many HTTP requests were sent (each redirect followed counts; a
    // request Qt repeats by itself to answer a password question does not).
    int requestCount() const { return requests_; }

    Discovery discover() override;
    CollectionListing list(const std::string& collectionHref) override;
    std::optional<SyncCollectionResult> syncCollection(const std::string& collectionHref,
                                                       const std::string& token) override;
    std::vector<FetchedItem> multiget(const std::string& collectionHref,
                                      const std::vector<std::string>& hrefs) override;
    SendResult put(const std::string& href, const std::string& text, const std::string& contentType,
                   const std::optional<std::string>& ifMatch) override;
    SendResult remove(const std::string& href, const std::string& etag) override;

    struct Answer;
    struct Network;

private:
    Answer send(const std::string& method, const std::string& href, const std::string& body,
                const std::map<std::string, std::string>& headers);
    bool isAddressBook(const std::string& collectionHref);
    // An href as a path on the server: a full URL on the server's host loses
    // its scheme and host (another host's stays whole, and is never asked).
    std::string local(std::string href) const;

    DavAccount account_;
    std::unique_ptr<Network> network_;
    const std::atomic<bool>* cancel_ = nullptr;
    int requests_ = 0;
    // Basic credentials go with the first request, so that a sync with nothing
    // to do is one request, until the server asks for another scheme.
    bool preemptiveBasic_ = true;
    // Collections' kinds as discovery or a look found them (true: address book).
    std::map<std::string, bool> addressBooks_;
};

} // namespace wirtello::sync
