// The WebDAV multistatus reader over QXmlStreamReader: names are matched by
// namespace and local name, so any prefix a server chooses reads the same.
#include "dav_multistatus.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <optional>

namespace wirtello::dav {
namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCardDav = QStringLiteral("urn:ietf:params:xml:ns:carddav");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

[[noreturn]] void refuse(const QString& why)
{
    throw BadResponse(QStringLiteral("Serwer przysłał odpowiedź, której nie można odczytać: %1.").arg(why).toStdString());
}

class Reader {
public:
    explicit Reader(const std::string& body)
        : xml_(QByteArray::fromRawData(body.data(), static_cast<qsizetype>(body.size())))
    {
        if (body.size() > kMaxMultistatusBytes)
            refuse(QStringLiteral("jest za duża"));
    }

    // Moves to the root element; false for an empty or rootless document.
    bool toRoot()
    {
        while (!xml_.atEnd()) {
            if (next() == QXmlStreamReader::StartElement)
                return true;
        }
        check();
        return false;
    }

    bool is(const QString& ns, const char* name) const
    {
        return xml_.namespaceUri() == ns && xml_.name() == QLatin1String(name);
    }

    // The next child element of the current one; false at its end.
    bool nextChild()
    {
        for (;;) {
            const auto token = next();
            if (token == QXmlStreamReader::StartElement)
                return true;
            if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::EndDocument)
                return false;
        }
    }

    // The current element's own text (children are skipped), trimmed or not.
    std::string text(std::size_t limit, bool trimmed = true)
    {
        QString value;
        for (;;) {
            const auto token = next();
            if (token == QXmlStreamReader::Characters) {
                value += xml_.text();
                if (static_cast<std::size_t>(value.size()) > limit)
                    refuse(QStringLiteral("jedna z wartości jest za długa"));
            } else if (token == QXmlStreamReader::StartElement) {
                skip();
            } else if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::EndDocument) {
                break;
            }
        }
        const QByteArray utf8 = (trimmed ? value.trimmed() : value).toUtf8();
        if (static_cast<std::size_t>(utf8.size()) > limit)
            refuse(QStringLiteral("jedna z wartości jest za długa"));
        return utf8.toStdString();
    }

    // The first DAV:href inside the current element.
    std::string href()
    {
        std::string found;
        while (nextChild()) {
            if (is(kDav, "href") && found.empty())
                found = text(kMaxHrefBytes);
            else
                skip();
        }
        return found;
    }

    std::string localName() const { return xml_.name().toString().toStdString(); }

    QString attribute(const char* name) const { return xml_.attributes().value(QLatin1String(name)).toString(); }

    // Past the end of the current element.
    void skip()
    {
        int depth = 1;
        while (depth > 0) {
            const auto token = next();
            if (token == QXmlStreamReader::StartElement)
                ++depth;
            else if (token == QXmlStreamReader::EndElement)
                --depth;
            else if (token == QXmlStreamReader::EndDocument)
                return;
        }
    }

    void check()
    {
        if (xml_.hasError())
            refuse(QStringLiteral("niepoprawny XML w wierszu %1").arg(xml_.lineNumber()));
    }

private:
    QXmlStreamReader::TokenType next()
    {
        const auto token = xml_.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
            check();
            refuse(QStringLiteral("nieoczekiwany koniec"));
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            // Declarations are never needed here and are how entity bombs start.
            refuse(QStringLiteral("zawiera deklarację typu dokumentu"));
        case QXmlStreamReader::StartElement:
            if (++depth_ > kMaxDepth)
                refuse(QStringLiteral("jest zagnieżdżona zbyt głęboko"));
            break;
        case QXmlStreamReader::EndElement:
            --depth_;
            break;
        default:
            break;
        }
        return token;
    }

    QXmlStreamReader xml_;
    int depth_ = 0;
};

bool isSuccess(int status) { return status >= 200 && status < 300; }

void readResourceType(Reader& in, DavResource& resource)
{
    while (in.nextChild()) {
        if (in.is(kDav, "collection"))
            resource.isCollection = true;
        else if (in.is(kCardDav, "addressbook"))
            resource.kind = CollectionKind::AddressBook;
        else if (in.is(kCalDav, "calendar"))
            resource.kind = CollectionKind::Calendar;
        in.skip();
    }
}

void readComponents(Reader& in, DavResource& resource)
{
    while (in.nextChild()) {
        if (in.is(kCalDav, "comp")) {
            const QString name = in.attribute("name").trimmed();
            if (!name.isEmpty() && resource.components.size() < 16)
                resource.components.push_back(name.toUpper().toStdString());
        }
        in.skip();
    }
}

// supported-report-set / supported-report / report / <the report>
bool offersSyncCollection(Reader& in, int level = 0)
{
    bool found = false;
    while (in.nextChild()) {
        if (level == 2 && in.is(kDav, "sync-collection")) {
            found = true;
            in.skip();
        } else if ((level == 0 && in.is(kDav, "supported-report")) || (level == 1 && in.is(kDav, "report")))
            found = offersSyncCollection(in, level + 1) || found;
        else
            in.skip();
    }
    return found;
}

void readProp(Reader& in, DavResource& resource)
{
    while (in.nextChild()) {
        if (in.is(kDav, "getetag"))
            resource.etag = in.text(kMaxHrefBytes);
        else if (in.is(kDav, "displayname"))
            resource.displayName = in.text(kMaxHrefBytes);
        else if (in.is(kDav, "resourcetype"))
            readResourceType(in, resource);
        else if (in.is(kDav, "sync-token"))
            resource.syncToken = in.text(kMaxHrefBytes);
        else if (in.is(kDav, "getcontenttype"))
            resource.contentType = in.text(kMaxHrefBytes);
        else if (in.is(kDav, "current-user-principal"))
            resource.currentUserPrincipal = in.href();
        else if (in.is(kCardDav, "addressbook-home-set"))
            resource.addressBookHome = in.href();
        else if (in.is(kCalDav, "calendar-home-set"))
            resource.calendarHome = in.href();
        else if (in.is(kDav, "supported-report-set"))
            resource.offersSyncCollection = offersSyncCollection(in);
        else if (in.is(kCalDav, "supported-calendar-component-set"))
            readComponents(in, resource);
        else if (in.is(kCardDav, "address-data") || in.is(kCalDav, "calendar-data")) {
            resource.data = in.text(kMaxPropertyBytes, false);
            resource.hasData = true;
        } else
            in.skip();
    }
}

// Takes the properties of a propstat into `resource` when they were found.
void readPropstat(Reader& in, DavResource& resource, std::optional<int>& firstStatus)
{
    DavResource found;
    std::optional<int> status;
    while (in.nextChild()) {
        if (in.is(kDav, "prop"))
            readProp(in, found);
        else if (in.is(kDav, "status"))
            status = statusCodeOf(in.text(kMaxHrefBytes));
        else
            in.skip();
    }
    // The response's status is that of its found properties, else the first one given.
    if (status && (!firstStatus || (!isSuccess(*firstStatus) && isSuccess(*status))))
        firstStatus = status;
    if (status && !isSuccess(*status))
        return;
    auto take = [](std::string& into, std::string& from) {
        if (!from.empty())
            into = std::move(from);
    };
    take(resource.etag, found.etag);
    take(resource.displayName, found.displayName);
    take(resource.syncToken, found.syncToken);
    take(resource.contentType, found.contentType);
    take(resource.currentUserPrincipal, found.currentUserPrincipal);
    take(resource.addressBookHome, found.addressBookHome);
    take(resource.calendarHome, found.calendarHome);
    resource.isCollection = resource.isCollection || found.isCollection;
    resource.offersSyncCollection = resource.offersSyncCollection || found.offersSyncCollection;
    if (found.kind != CollectionKind::None)
        resource.kind = found.kind;
    if (!found.components.empty())
        resource.components = std::move(found.components);
    if (found.hasData) {
        resource.data = std::move(found.data);
        resource.hasData = true;
    }
}

void readResponse(Reader& in, Multistatus& result)
{
    std::vector<std::string> hrefs;
    DavResource resource;
    std::optional<int> ownStatus;
    std::optional<int> propStatus;
    while (in.nextChild()) {
        if (in.is(kDav, "href")) {
            std::string href = in.text(kMaxHrefBytes);
            if (href.empty())
                refuse(QStringLiteral("pusty adres zasobu"));
            if (hrefs.size() < kMaxResponses)
                hrefs.push_back(std::move(href));
        } else if (in.is(kDav, "status"))
            ownStatus = statusCodeOf(in.text(kMaxHrefBytes));
        else if (in.is(kDav, "propstat"))
            readPropstat(in, resource, propStatus);
        else
            in.skip();
    }
    if (hrefs.empty())
        refuse(QStringLiteral("zasób bez adresu"));
    resource.status = ownStatus ? *ownStatus : propStatus.value_or(0);
    // One status may name several resources.
    for (std::string& href : hrefs) {
        if (result.responses.size() >= kMaxResponses)
            refuse(QStringLiteral("zbyt wiele zasobów"));
        DavResource one = resource;
        one.href = std::move(href);
        result.responses.push_back(std::move(one));
    }
}

} // namespace

int statusCodeOf(const std::string& statusLine)
{
    // "HTTP/1.1 207 Multi-Status": the three digits after the first space.
    const auto space = statusLine.find(' ');
    if (space == std::string::npos || statusLine.size() < space + 4)
        return 0;
    int code = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        const char c = statusLine[i];
        if (c < '0' || c > '9')
            return 0;
        code = code * 10 + (c - '0');
    }
    if (statusLine.size() > space + 4 && statusLine[space + 4] != ' ')
        return 0;
    return code;
}

Multistatus readMultistatus(const std::string& body)
{
    Reader in(body);
    if (!in.toRoot())
        refuse(QStringLiteral("brak treści"));
    if (!in.is(kDav, "multistatus"))
        refuse(QStringLiteral("to nie jest odpowiedź WebDAV (multistatus)"));
    Multistatus result;
    while (in.nextChild()) {
        if (in.is(kDav, "response"))
            readResponse(in, result);
        else if (in.is(kDav, "sync-token"))
            result.syncToken = in.text(kMaxHrefBytes);
        else
            in.skip();
    }
    in.check();
    return result;
}

std::string davErrorCondition(const std::string& body)
{
    try {
        Reader in(body);
        if (!in.toRoot() || !in.is(kDav, "error"))
            return {};
        if (in.nextChild())
            return in.localName();
    } catch (const BadResponse&) {
    }
    return {};
}

} // namespace wirtello::dav
