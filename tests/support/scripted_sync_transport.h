#pragma once

// A CardDAV/CalDAV server in memory behind the sync transport interface, for
// tests of the sync without a network. It keeps ETags and sync tokens the way
// a server does (every change a new ETag and a new token; If-Match and
// If-None-Match honoured) and plays, when asked, what a real server here will
// not: no ETag on PUT, a card rewritten after PUT, sync answers cut short
// (507) with a continuation, refused tokens (403 valid-sync-token), a 412 on
// a given PUT, a redirect to another host. Plain C++, no Qt.

#include "sync/sync_transport.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace wirtello::test {

class ScriptedSyncTransport : public sync::SyncTransport {
public:
    struct Member {
        std::string text;
        std::string etag;
    };

    // Collections are made by discovery's answer; each starts empty.
    explicit ScriptedSyncTransport(std::vector<sync::DavCollection> collections,
                                   std::string principal = "/dav/jan/");

    // Another client's change on the server: a new ETag and a new token.
    void serverPut(const std::string& href, const std::string& text);
    void serverRemove(const std::string& href);
    // The member as the server holds it now.
    std::optional<Member> member(const std::string& href) const;
    std::vector<std::string> hrefsIn(const std::string& collectionHref) const;

    // What to play.
    bool putGivesNoEtag = false;
    // Appended to every card a PUT stores, as servers that add their own fields do.
    std::string rewriteOnPut;
    // Sync answers name at most this many changes, then say they are cut short (0: all).
    std::size_t truncateAfter = 0;
    // Every token but "" is refused (403 valid-sync-token): syncCollection gives nothing.
    bool refuseTokens = false;
    // The next PUT to one of these hrefs gets 412, as if another client had just changed it.
    std::set<std::string> conflictOnNextPut;
    // Every call is refused as a redirect to this address.
    std::optional<std::string> redirectTo;
    // The next call throws this (then it is cleared).
    std::optional<sync::TransportError> failNext;

    // Each call as "METHOD href" ("PUT /dav/jan/k/1.vcf"), in order.
    std::vector<std::string> calls;

    sync::Discovery discover() override;
    sync::CollectionListing list(const std::string& collectionHref) override;
    std::optional<sync::SyncCollectionResult> syncCollection(const std::string& collectionHref,
                                                             const std::string& token) override;
    std::vector<sync::FetchedItem> multiget(const std::string& collectionHref,
                                            const std::vector<std::string>& hrefs) override;
    sync::SendResult put(const std::string& href, const std::string& text, const std::string& contentType,
                         const std::optional<std::string>& ifMatch) override;
    sync::SendResult remove(const std::string& href, const std::string& etag) override;

private:
    struct Collection {
        sync::DavCollection description;
        std::map<std::string, Member> members;
        // (change number, href) of every change, oldest first.
        std::vector<std::pair<long, std::string>> changes;
    };

    void enter(const std::string& call);
    Collection& collectionOf(const std::string& href);
    Collection& collectionNamed(const std::string& collectionHref);
    void store(const std::string& href, std::string text);

    std::string principal_;
    std::vector<Collection> collections_;
    long changeCounter_ = 0;
};

} // namespace wirtello::test
