#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace wirtello::dav {

// What a WebDAV server sends back, as read from its XML: a multistatus body of
// PROPFIND and REPORT answers, or the error body of a refused request. Texts
// are UTF-8; hrefs are kept as the server wrote them (still percent-encoded).

enum class CollectionKind { None, AddressBook, Calendar };

// One <response> of a multistatus: a resource with the properties the server
// found for it (those in a propstat with a non-2xx status are left empty).
struct DavResource {
    std::string href;
    // The response's own status (404 for a member removed since a sync
    // token, 507 for a truncated listing), else that of its found properties.
    int status = 0;
    std::string etag;
    std::string displayName;
    bool isCollection = false;
    CollectionKind kind = CollectionKind::None;
    // The component names a calendar takes ("VEVENT", "VTODO").
    std::vector<std::string> components;
    std::string syncToken;
    // The collection answers the sync-collection report.
    bool offersSyncCollection = false;
    std::string contentType;
    // A card or a calendar object of a multiget.
    std::string data;
    bool hasData = false;
    std::string currentUserPrincipal;
    std::string addressBookHome;
    std::string calendarHome;

    bool operator==(const DavResource&) const = default;
};

struct Multistatus {
    std::vector<DavResource> responses;
    // The token of a sync-collection answer.
    std::string syncToken;

    bool operator==(const Multistatus&) const = default;
};

// The reader's bounds: a body or a text over them is refused, not cut.
inline constexpr std::size_t kMaxMultistatusBytes = 64u * 1024 * 1024;
inline constexpr std::size_t kMaxResponses = 100'000;
inline constexpr std::size_t kMaxHrefBytes = 8 * 1024;
inline constexpr std::size_t kMaxPropertyBytes = 4u * 1024 * 1024;
inline constexpr int kMaxDepth = 64;

// A body that is not a multistatus we can use; the message is Polish.
class BadResponse : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a multistatus body. Throws BadResponse for malformed XML, a DTD (no
// entity is ever expanded), a root that is not DAV:multistatus, a response
// without an href, or anything over the bounds above.
Multistatus readMultistatus(const std::string& body);

// The local name of the first precondition in a DAV:error body
// ("valid-sync-token", "no-uid-conflict"); empty when the body is none.
std::string davErrorCondition(const std::string& body);

// The status code of an HTTP status line ("HTTP/1.1 404 Not Found" -> 404); 0 if none.
int statusCodeOf(const std::string& statusLine);

} // namespace wirtello::dav
