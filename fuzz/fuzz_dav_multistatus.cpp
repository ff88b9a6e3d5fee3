// The WebDAV multistatus reader: any bytes are read or refused with
// BadResponse, what is read keeps within its bounds, and what is read, written
// back as a multistatus, reads the same.
#include "fuzz/fuzz_support.h"
#include "sync/transport/dav_multistatus.h"

#include <string>

using namespace wirtello;
using namespace wirtello::dav;

namespace {

std::string escaped(const std::string& text, bool attribute = false)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        // Line ends and, in attributes, tabs would be normalised by the reader.
        case '\r': out += "&#13;"; break;
        case '\n': out += attribute ? "&#10;" : "\n"; break;
        case '\t': out += attribute ? "&#9;" : "\t"; break;
        default: out += c;
        }
    }
    return out;
}

std::string element(const char* name, const std::string& text)
{
    return text.empty() ? std::string() : std::string("<") + name + ">" + escaped(text) + "</" + name + ">";
}

std::string written(const Multistatus& status)
{
    std::string xml = R"(<?xml version="1.0" encoding="utf-8"?><d:multistatus xmlns:d="DAV:" )"
                      R"(xmlns:a="urn:ietf:params:xml:ns:carddav" xmlns:c="urn:ietf:params:xml:ns:caldav">)";
    for (const DavResource& r : status.responses) {
        xml += "<d:response><d:href>" + escaped(r.href) + "</d:href>";
        if (r.status != 0)
            xml += "<d:status>HTTP/1.1 " + std::to_string(1000 + r.status).substr(1) + " X</d:status>";
        xml += "<d:propstat><d:prop>";
        xml += element("d:getetag", r.etag) + element("d:displayname", r.displayName)
            + element("d:sync-token", r.syncToken) + element("d:getcontenttype", r.contentType);
        xml += "<d:resourcetype>";
        if (r.isCollection)
            xml += "<d:collection/>";
        if (r.kind == CollectionKind::AddressBook)
            xml += "<a:addressbook/>";
        if (r.kind == CollectionKind::Calendar)
            xml += "<c:calendar/>";
        xml += "</d:resourcetype>";
        if (r.offersSyncCollection)
            xml += "<d:supported-report-set><d:supported-report><d:report><d:sync-collection/></d:report>"
                   "</d:supported-report></d:supported-report-set>";
        if (!r.components.empty()) {
            xml += "<c:supported-calendar-component-set>";
            for (const std::string& name : r.components)
                xml += "<c:comp name=\"" + escaped(name, true) + "\"/>";
            xml += "</c:supported-calendar-component-set>";
        }
        if (!r.currentUserPrincipal.empty())
            xml += "<d:current-user-principal><d:href>" + escaped(r.currentUserPrincipal) + "</d:href></d:current-user-principal>";
        if (!r.addressBookHome.empty())
            xml += "<a:addressbook-home-set><d:href>" + escaped(r.addressBookHome) + "</d:href></a:addressbook-home-set>";
        if (!r.calendarHome.empty())
            xml += "<c:calendar-home-set><d:href>" + escaped(r.calendarHome) + "</d:href></c:calendar-home-set>";
        if (r.hasData)
            xml += "<a:address-data>" + escaped(r.data) + "</a:address-data>";
        xml += "</d:prop></d:propstat></d:response>";
    }
    xml += element("d:sync-token", status.syncToken) + "</d:multistatus>";
    return xml;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    (void)davErrorCondition(body);
    Multistatus read;
    try {
        read = readMultistatus(body);
    } catch (const BadResponse&) {
        return 0;
    }
    FUZZ_CHECK(read.responses.size() <= kMaxResponses);
    for (const DavResource& r : read.responses) {
        FUZZ_CHECK(!r.href.empty() && r.href.size() <= kMaxHrefBytes);
        FUZZ_CHECK(r.data.size() <= kMaxPropertyBytes);
        FUZZ_CHECK(r.hasData || r.data.empty());
        FUZZ_CHECK(r.status >= 0 && r.status <= 999);
    }
    FUZZ_CHECK(readMultistatus(written(read)) == read);
    return 0;
}
