#pragma once

// What the sync needs from a CardDAV/CalDAV server, in plain C++ so the
// planner and its tests never see the HTTP or XML side. The program's
// implementation (QtNetwork, QXmlStreamReader) lives in a module loaded on
// first use; tests use a scripted one.
//
// Hrefs are the server's paths as it wrote them in its answers (absolute
// paths, percent-encoded, e.g. "/dav/jan/kontakty/3f2a.vcf"); the transport
// resolves them against the server address. ETags are kept exactly as sent,
// quotes included ("\"a1b2\"" or "W/\"a1b2\""), and given back the same way
// in If-Match. Texts are the cards' and calendars' bytes as UTF-8.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace wirtello::sync {

// One collection found by discovery. A calendar may hold appointments, tasks
// or both (its supported component set); an address book holds cards.
struct DavCollection {
    std::string href;
    std::string displayName;
    bool holdsContacts = false;
    bool holdsEvents = false;
    bool holdsTasks = false;
    // The server offers the sync-collection report here.
    bool offersSyncCollection = false;

    bool operator==(const DavCollection&) const = default;
};

struct Discovery {
    std::string principalHref;
    std::vector<DavCollection> collections;

    bool operator==(const Discovery&) const = default;
};

// One member of a collection as a listing or a sync report names it. No
// ETag when the server gave none.
struct ListedItem {
    std::string href;
    std::optional<std::string> etag;

    bool operator==(const ListedItem&) const = default;
};

// A full listing: every member with its ETag (PROPFIND, depth 1).
struct CollectionListing {
    std::vector<ListedItem> items;

    bool operator==(const CollectionListing&) const = default;
};

// The changes since a token (sync-collection report).
struct SyncCollectionResult {
    std::vector<ListedItem> changed;
    std::vector<std::string> removed;
    // The token to store once these changes are applied.
    std::string token;
    // The server cut the answer short (507 on the request-URI): call again
    // with `token` for the rest.
    bool truncated = false;

    bool operator==(const SyncCollectionResult&) const = default;
};

// A member's text as multiget brought it.
struct FetchedItem {
    std::string href;
    std::optional<std::string> etag;
    std::string text;

    bool operator==(const FetchedItem&) const = default;
};

// The answer to a PUT or DELETE. Failures that are about this one item (412,
// 403, 415, 507 on the item...) come back here; failures of the connection
// or the account are thrown as TransportError.
struct SendResult {
    int status = 0;
    // The new ETag when the server sent one; many send none.
    std::optional<std::string> etag;

    bool succeeded() const { return status >= 200 && status < 300; }
    // The item changed on the server since it was listed: plan again, never overwrite.
    bool preconditionFailed() const { return status == 412; }

    bool operator==(const SendResult&) const = default;
};

// Why the transport could not talk to the server at all. what() is the
// Polish text for the user.
class TransportError : public std::runtime_error {
public:
    enum class Kind {
        Unreachable,          // no connection, name not found, timeout
        Unauthorized,         // 401: wrong user name or password
        NotFound,             // no address book or calendar at the address
        UntrustedCertificate, // fingerprint() holds the SHA-256 of the server's certificate
        RedirectRefused,      // a redirect to another host or to plain http
        ServerError,          // any other failing answer; status() holds it
        BadAnswer,            // an answer that could not be read
        Cancelled,            // the user stopped the sync
    };

    TransportError(Kind kind, const std::string& polishText, int status = 0, std::string fingerprint = {})
        : std::runtime_error(polishText), kind_(kind), status_(status), fingerprint_(std::move(fingerprint)) {}

    Kind kind() const { return kind_; }
    int status() const { return status_; }
    // Hex SHA-256 of the certificate, "AB:CD:..." (UntrustedCertificate only).
    const std::string& fingerprint() const { return fingerprint_; }

private:
    Kind kind_;
    int status_;
    std::string fingerprint_;
};

// How many hrefs one multiget asks for at most; the caller splits longer lists.
inline constexpr std::size_t kMultigetBatchSize = 100;

// Every call blocks until the answer is read or fails; TransportError for the
// failures named above.
class SyncTransport {
public:
    virtual ~SyncTransport() = default;

    // Finds the principal and its address books and calendars from the server
    // address the transport was made with (well-known addresses, current
    // principal, home sets).
    virtual Discovery discover() = 0;

    // Every member of the collection with its ETag.
    virtual CollectionListing list(const std::string& collectionHref) = 0;

    // The changes since `token` ("" for all members and a first token).
    // Nothing when the server refuses the token (403 valid-sync-token) or
    // lacks the report: the caller then does one full listing.
    virtual std::optional<SyncCollectionResult> syncCollection(const std::string& collectionHref,
                                                               const std::string& token) = 0;

    // The texts of up to kMultigetBatchSize members; members gone from the
    // server meanwhile are left out of the result.
    virtual std::vector<FetchedItem> multiget(const std::string& collectionHref,
                                              const std::vector<std::string>& hrefs) = 0;

    // Sends `text` to `href` with `contentType` ("text/vcard; charset=utf-8",
    // "text/calendar; charset=utf-8"). With `ifMatch` the request carries
    // If-Match with it (a change); without, If-None-Match: * (a new member).
    virtual SendResult put(const std::string& href, const std::string& text, const std::string& contentType,
                           const std::optional<std::string>& ifMatch) = 0;

    // Deletes `href` with If-Match `etag`.
    virtual SendResult remove(const std::string& href, const std::string& etag) = 0;
};

} // namespace wirtello::sync
