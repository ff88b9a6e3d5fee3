// CardDAV/CalDAV over QtNetwork: every call is one or a few HTTP requests run
// to their end in a local event loop.
#include "dav_transport.h"

#include "dav_multistatus.h"

#include <QAuthenticator>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <set>
#include <stdexcept>

namespace wirtello::sync {

struct DavTransport::Answer {
    int status = 0;
    std::string reason;
    std::string body;
    std::string etag;
};

struct DavTransport::Network {
    QNetworkAccessManager manager;
};

namespace {

using Kind = TransportError::Kind;

constexpr int kMaxRedirects = 5;
constexpr int kCancelPollMs = 50;

QString qs(const std::string& text) { return QString::fromStdString(text); }
std::string ss(const QString& text) { return text.toStdString(); }

bool isThisComputer(const QString& host)
{
    const QString name = host.toLower();
    return name == QLatin1String("127.0.0.1") || name == QLatin1String("::1") || name == QLatin1String("localhost");
}

// The reason a URL may not be asked, or empty: https anywhere, plain http only
// on this computer, where nothing crosses a network.
QString urlProblem(const QUrl& url)
{
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return QStringLiteral("Adres serwera „%1” jest niepoprawny. Podaj go w postaci https://serwer/…")
            .arg(url.toString());
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return {};
    if (scheme == QLatin1String("http")) {
        if (isThisComputer(url.host()))
            return {};
        return QStringLiteral("Adres http:// jest dozwolony tylko dla serwera na tym komputerze (127.0.0.1, ::1, "
                              "localhost): hasło i dane szłyby przez sieć bez szyfrowania. Podaj adres https://.");
    }
    return QStringLiteral("Adres serwera musi zaczynać się od https://.");
}

std::string normalizedFingerprint(const std::string& text)
{
    std::string out;
    for (const char c : text)
        if (c != ':' && c != ' ')
            out += static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    return out;
}

// Two hrefs naming one resource: compared decoded, without a closing slash
// and without the scheme and host when one of them has them.
bool sameResource(const std::string& a, const std::string& b)
{
    auto path = [](const std::string& href) {
        QString decoded = QUrl::fromPercentEncoding(QByteArray::fromStdString(QUrl(qs(href)).path(QUrl::FullyEncoded).toStdString()));
        while (decoded.endsWith(QLatin1Char('/')))
            decoded.chop(1);
        return decoded;
    };
    return path(a) == path(b);
}

QString escaped(const std::string& text) { return qs(text).toHtmlEscaped(); }

std::optional<std::string> optionalEtag(const std::string& etag)
{
    return etag.empty() ? std::nullopt : std::optional<std::string>(etag);
}

bool isSuccess(int status) { return status >= 200 && status < 300; }

[[noreturn]] void serverError(const DavTransport::Answer& answer)
{
    throw TransportError(Kind::ServerError,
                         ss(QStringLiteral("Serwer odpowiedział błędem: %1 %2.").arg(answer.status).arg(qs(answer.reason))),
                         answer.status);
}

dav::Multistatus multistatusOf(const DavTransport::Answer& answer)
{
    if (answer.status != 207)
        serverError(answer);
    try {
        return dav::readMultistatus(answer.body);
    } catch (const dav::BadResponse& e) {
        throw TransportError(Kind::BadAnswer, e.what(), answer.status);
    }
}

QString networkReason(QNetworkReply::NetworkError error, const QString& qtText)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("serwer odmówił połączenia");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("nie znaleziono serwera o tej nazwie");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("serwer zamknął połączenie");
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
        return QStringLiteral("brak połączenia z siecią");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("nie udało się nawiązać bezpiecznego połączenia (%1)").arg(qtText);
    default:
        return QStringLiteral("błąd sieci (%1)").arg(qtText);
    }
}

const char* const kPropfindCollections =
    R"(<?xml version="1.0" encoding="utf-8"?>)"
    R"(<d:propfind xmlns:d="DAV:" xmlns:a="urn:ietf:params:xml:ns:carddav" xmlns:c="urn:ietf:params:xml:ns:caldav">)"
    "<d:prop><d:resourcetype/><d:displayname/><d:current-user-principal/><d:supported-report-set/>"
    "<a:addressbook-home-set/><c:calendar-home-set/><c:supported-calendar-component-set/></d:prop></d:propfind>";

const char* const kPropfindEtags =
    R"(<?xml version="1.0" encoding="utf-8"?>)"
    R"(<d:propfind xmlns:d="DAV:"><d:prop><d:resourcetype/><d:getetag/></d:prop></d:propfind>)";

} // namespace

std::string davAddressProblem(const std::string& url)
{
    if (url.empty())
        return "Podaj adres serwera.";
    return ss(urlProblem(QUrl(qs(url), QUrl::StrictMode)));
}

DavTransport::DavTransport(DavAccount account) : account_(std::move(account))
{
    const std::string problem = davAddressProblem(account_.url);
    if (!problem.empty())
        throw std::invalid_argument(problem);
}

DavTransport::~DavTransport() = default;

DavTransport::Answer DavTransport::send(const std::string& method, const std::string& href, const std::string& body,
                                        const std::map<std::string, std::string>& headers)
{
    if (!network_)
        network_ = std::make_unique<Network>();
    const QUrl base(qs(account_.url));
    QUrl url = href.empty() ? base : base.resolved(QUrl::fromEncoded(QByteArray::fromStdString(href)));
    const std::string trusted = normalizedFingerprint(account_.trustedFingerprint);

    for (int redirects = 0;; ++redirects) {
        // Only the server the user named: an href or a redirect that leads to
        // another host (or down to plain http) is never followed.
        if (url.host().compare(base.host(), Qt::CaseInsensitive) != 0 || !urlProblem(url).isEmpty())
            throw TransportError(Kind::RedirectRefused,
                                 ss(QStringLiteral("Serwer skierował program pod inny adres (%1). Program łączy się "
                                                   "tylko z serwerem podanym w ustawieniach, przez https.")
                                        .arg(url.toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery))));
        if (cancel_ && cancel_->load())
            throw TransportError(Kind::Cancelled, "Synchronizację przerwano.");

        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setTransferTimeout(account_.timeoutMs);
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Wirtello"));
        for (const auto& [name, value] : headers)
            request.setRawHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
        // Only ever to the server named (checked above), over TLS or on this computer.
        const bool sentBasic = preemptiveBasic_ && !account_.user.empty();
        if (sentBasic)
            request.setRawHeader("Authorization",
                                 "Basic " + QByteArray::fromStdString(account_.user + ':' + account_.password).toBase64());
        ++requests_;
        QNetworkReply* reply =
            network_->manager.sendCustomRequest(request, QByteArray::fromStdString(method), QByteArray::fromStdString(body));

        QObject guard;
        int authRounds = 0;
        QString fingerprint;
        bool tooBig = false;
        bool cancelled = false;
        QObject::connect(&network_->manager, &QNetworkAccessManager::authenticationRequired, &guard,
                         [&](QNetworkReply* asking, QAuthenticator* authenticator) {
                             // Once: a second question means the password was refused.
                             if (asking != reply)
                                 return;
                             // Basic was refused or another scheme is wanted: Qt answers from now on.
                             if (sentBasic)
                                 preemptiveBasic_ = false;
                             if (++authRounds > 1)
                                 return;
                             // Qt sends Basic and Digest credentials as Latin-1; servers
                             // read them as UTF-8 (RFC 7617/7616), so hand Qt the UTF-8
                             // bytes one per character and a Polish letter survives.
                             authenticator->setUser(QString::fromLatin1(account_.user));
                             authenticator->setPassword(QString::fromLatin1(account_.password));
                         });
        QObject::connect(reply, &QNetworkReply::sslErrors, &guard, [&](const QList<QSslError>& errors) {
            QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
            if (certificate.isNull() && !errors.isEmpty())
                certificate = errors.first().certificate();
            const QString digest =
                QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
            if (!certificate.isNull() && !trusted.empty() && normalizedFingerprint(ss(digest)) == trusted)
                reply->ignoreSslErrors(errors);
            else
                fingerprint = digest;
        });
        QObject::connect(reply, &QNetworkReply::downloadProgress, &guard, [&](qint64 received, qint64) {
            const auto limit = std::min(account_.maxAnswerBytes, dav::kMaxMultistatusBytes);
            if (received > static_cast<qint64>(limit) && !tooBig) {
                tooBig = true;
                reply->abort();
            }
        });
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &guard, [&] {
            if (cancel_ && cancel_->load() && !cancelled) {
                cancelled = true;
                reply->abort();
            }
        });
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!reply->isFinished()) {
            poll.start(kCancelPollMs);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        poll.stop();

        Answer answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.reason = ss(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        const QNetworkReply::NetworkError error = reply->error();
        const QString errorText = reply->errorString();
        if (!cancelled && !tooBig && reply->isOpen())
            answer.body = reply->readAll().toStdString();
        answer.etag = reply->rawHeader("ETag").toStdString();
        const QByteArray location = reply->rawHeader("Location");
        delete reply;

        const QString host = url.host();
        if (cancelled)
            throw TransportError(Kind::Cancelled, "Synchronizację przerwano.");
        if (tooBig)
            throw TransportError(Kind::BadAnswer, "Serwer przysłał zbyt dużą odpowiedź.", answer.status);
        if (answer.status == 401 || error == QNetworkReply::AuthenticationRequiredError)
            throw TransportError(Kind::Unauthorized,
                                 "Serwer nie przyjął nazwy użytkownika albo hasła (401). Sprawdź je w ustawieniach "
                                 "synchronizacji.",
                                 401);
        if (answer.status == 0) {
            if (!fingerprint.isEmpty())
                throw TransportError(Kind::UntrustedCertificate,
                                     ss(QStringLiteral("Certyfikat serwera %1 nie jest zaufany. Odcisk SHA-256 "
                                                       "certyfikatu: %2. Zaufaj mu tylko wtedy, gdy administrator "
                                                       "serwera potwierdzi ten odcisk.")
                                            .arg(host, fingerprint)),
                                     0, ss(fingerprint));
            if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
                throw TransportError(Kind::Unreachable,
                                     ss(QStringLiteral("Serwer %1 nie odpowiedział w wyznaczonym czasie (%2 s).")
                                            .arg(host)
                                            .arg((account_.timeoutMs + 999) / 1000)));
            throw TransportError(Kind::Unreachable, ss(QStringLiteral("Nie można połączyć się z serwerem %1: %2.")
                                                           .arg(host, networkReason(error, errorText))));
        }
        const bool redirect = answer.status == 301 || answer.status == 302 || answer.status == 303
            || answer.status == 307 || answer.status == 308;
        if (!redirect || location.isEmpty())
            return answer;
        if (redirects >= kMaxRedirects)
            throw TransportError(Kind::ServerError, "Serwer przekierowuje zapytanie w kółko.", answer.status);
        url = url.resolved(QUrl::fromEncoded(location));
    }
}

std::string DavTransport::local(std::string href) const
{
    if (href.empty() || href.front() == '/')
        return href;
    const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(href));
    if (url.isRelative() || url.host().compare(QUrl(qs(account_.url)).host(), Qt::CaseInsensitive) != 0)
        return href;
    QByteArray path = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    return path.isEmpty() ? std::string("/") : path.toStdString();
}

Discovery DavTransport::discover()
{
    const std::map<std::string, std::string> depth0{{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}};
    const std::map<std::string, std::string> depth1{{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}};
    Discovery found;
    std::vector<dav::DavResource> candidates;

    // The address given, then the well-known addresses (RFC 6764).
    for (const char* start : {"", "/.well-known/carddav", "/.well-known/caldav"}) {
        const Answer answer = send("PROPFIND", start, kPropfindCollections, depth0);
        if (answer.status != 207) {
            if (answer.status >= 500)
                serverError(answer);
            continue;
        }
        for (dav::DavResource& resource : multistatusOf(answer).responses) {
            if (found.principalHref.empty() && !resource.currentUserPrincipal.empty())
                found.principalHref = local(resource.currentUserPrincipal);
            // The address of a collection itself.
            if (resource.kind != dav::CollectionKind::None)
                candidates.push_back(std::move(resource));
        }
        if (!found.principalHref.empty())
            break;
    }
    if (found.principalHref.empty() && candidates.empty())
        throw TransportError(Kind::NotFound, ss(QStringLiteral("Pod adresem %1 nie ma książki adresowej ani kalendarza "
                                                               "(serwera CardDAV lub CalDAV).")
                                                    .arg(qs(account_.url))));

    std::vector<std::string> homes;
    if (!found.principalHref.empty()) {
        for (dav::DavResource& resource :
             multistatusOf(send("PROPFIND", found.principalHref, kPropfindCollections, depth0)).responses) {
            for (const std::string* home : {&resource.addressBookHome, &resource.calendarHome})
                if (!home->empty() && std::find(homes.begin(), homes.end(), local(*home)) == homes.end())
                    homes.push_back(local(*home));
        }
        if (homes.empty())
            homes.push_back(found.principalHref);
    }
    for (const std::string& home : homes) {
        const Answer answer = send("PROPFIND", home, kPropfindCollections, depth1);
        if (answer.status == 404 || answer.status == 403)
            continue;
        for (dav::DavResource& resource : multistatusOf(answer).responses)
            if (resource.kind != dav::CollectionKind::None && (resource.status == 0 || isSuccess(resource.status)))
                candidates.push_back(std::move(resource));
    }

    for (const dav::DavResource& resource : candidates) {
        const bool seen = std::any_of(found.collections.begin(), found.collections.end(),
                                      [&](const DavCollection& c) { return sameResource(c.href, resource.href); });
        if (seen)
            continue;
        DavCollection collection;
        collection.href = local(resource.href);
        collection.displayName = resource.displayName;
        collection.offersSyncCollection = resource.offersSyncCollection;
        if (resource.kind == dav::CollectionKind::AddressBook) {
            collection.holdsContacts = true;
        } else {
            // A calendar that names no components takes them all.
            const auto& kinds = resource.components;
            const bool any = kinds.empty();
            collection.holdsEvents = any || std::find(kinds.begin(), kinds.end(), "VEVENT") != kinds.end();
            collection.holdsTasks = any || std::find(kinds.begin(), kinds.end(), "VTODO") != kinds.end();
        }
        addressBooks_[collection.href] = collection.holdsContacts;
        found.collections.push_back(std::move(collection));
    }
    if (found.collections.empty())
        throw TransportError(Kind::NotFound, ss(QStringLiteral("Na serwerze %1 nie ma książki adresowej ani kalendarza "
                                                               "dla użytkownika %2.")
                                                    .arg(QUrl(qs(account_.url)).host(), qs(account_.user))));
    return found;
}

CollectionListing DavTransport::list(const std::string& collectionHref)
{
    const Answer answer = send("PROPFIND", collectionHref, kPropfindEtags,
                               {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}});
    if (answer.status == 404)
        throw TransportError(Kind::NotFound, ss(QStringLiteral("Na serwerze nie ma już zbioru %1.").arg(qs(collectionHref))),
                             404);
    CollectionListing listing;
    for (dav::DavResource& resource : multistatusOf(answer).responses) {
        if (resource.isCollection || sameResource(resource.href, collectionHref))
            continue;
        if (resource.status != 0 && !isSuccess(resource.status))
            continue;
        listing.items.push_back({local(std::move(resource.href)), optionalEtag(resource.etag)});
    }
    return listing;
}

std::optional<SyncCollectionResult> DavTransport::syncCollection(const std::string& collectionHref,
                                                                 const std::string& token)
{
    const QString body = QStringLiteral(R"(<?xml version="1.0" encoding="utf-8"?>)"
                                        R"(<d:sync-collection xmlns:d="DAV:"><d:sync-token>%1</d:sync-token>)"
                                        "<d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
                                        "</d:sync-collection>")
                             .arg(escaped(token));
    const Answer answer =
        send("REPORT", collectionHref, ss(body), {{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}});
    if (answer.status == 404)
        throw TransportError(Kind::NotFound, ss(QStringLiteral("Na serwerze nie ma już zbioru %1.").arg(qs(collectionHref))),
                             404);
    if (answer.status != 207) {
        // A token the server no longer knows, or no such report here: the
        // caller lists the collection once instead.
        const std::string condition = dav::davErrorCondition(answer.body);
        if (condition == "valid-sync-token" || condition == "supported-report" || answer.status == 501
            || answer.status == 405)
            return std::nullopt;
        serverError(answer);
    }
    const dav::Multistatus status = multistatusOf(answer);
    if (status.syncToken.empty())
        return std::nullopt;
    SyncCollectionResult result;
    result.token = status.syncToken;
    for (const dav::DavResource& resource : status.responses) {
        if (sameResource(resource.href, collectionHref)) {
            result.truncated = result.truncated || resource.status == 507;
            continue;
        }
        if (resource.status == 404)
            result.removed.push_back(local(resource.href));
        else if (!resource.isCollection && (resource.status == 0 || isSuccess(resource.status)))
            result.changed.push_back({local(resource.href), optionalEtag(resource.etag)});
    }
    return result;
}

bool DavTransport::isAddressBook(const std::string& collectionHref)
{
    for (const auto& [href, contacts] : addressBooks_)
        if (sameResource(href, collectionHref))
            return contacts;
    const Answer answer = send("PROPFIND", collectionHref, kPropfindCollections,
                               {{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}});
    bool contacts = false;
    for (const dav::DavResource& resource : multistatusOf(answer).responses)
        contacts = contacts || resource.kind == dav::CollectionKind::AddressBook;
    addressBooks_[collectionHref] = contacts;
    return contacts;
}

std::vector<FetchedItem> DavTransport::multiget(const std::string& collectionHref,
                                                const std::vector<std::string>& hrefs)
{
    std::vector<FetchedItem> fetched;
    if (hrefs.empty())
        return fetched;
    const bool contacts = isAddressBook(collectionHref);
    for (std::size_t first = 0; first < hrefs.size(); first += kMultigetBatchSize) {
        QString body = contacts
            ? QStringLiteral(R"(<?xml version="1.0" encoding="utf-8"?>)"
                             R"(<c:addressbook-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">)"
                             "<d:prop><d:getetag/><c:address-data/></d:prop>")
            : QStringLiteral(R"(<?xml version="1.0" encoding="utf-8"?>)"
                             R"(<c:calendar-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav">)"
                             "<d:prop><d:getetag/><c:calendar-data/></d:prop>");
        const std::size_t end = std::min(hrefs.size(), first + kMultigetBatchSize);
        for (std::size_t i = first; i < end; ++i)
            body += QStringLiteral("<d:href>%1</d:href>").arg(escaped(hrefs[i]));
        body += contacts ? QStringLiteral("</c:addressbook-multiget>") : QStringLiteral("</c:calendar-multiget>");
        const Answer answer = send("REPORT", collectionHref, ss(body),
                                   {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}});
        for (dav::DavResource& resource : multistatusOf(answer).responses) {
            if (!resource.hasData || (resource.status != 0 && !isSuccess(resource.status)))
                continue;
            // Named as asked, whatever spelling of it the server chose ("%40" for "@").
            std::string href = local(std::move(resource.href));
            const auto asked = std::find_if(hrefs.begin() + static_cast<std::ptrdiff_t>(first),
                                            hrefs.begin() + static_cast<std::ptrdiff_t>(end),
                                            [&](const std::string& one) { return sameResource(one, href); });
            if (asked != hrefs.begin() + static_cast<std::ptrdiff_t>(end))
                href = *asked;
            fetched.push_back({std::move(href), optionalEtag(resource.etag), std::move(resource.data)});
        }
    }
    return fetched;
}

SendResult DavTransport::put(const std::string& href, const std::string& text, const std::string& contentType,
                             const std::optional<std::string>& ifMatch)
{
    std::map<std::string, std::string> headers{{"Content-Type", contentType}};
    if (ifMatch)
        headers["If-Match"] = *ifMatch;
    else
        headers["If-None-Match"] = "*";
    const Answer answer = send("PUT", href, text, headers);
    return {answer.status, isSuccess(answer.status) ? optionalEtag(answer.etag) : std::nullopt};
}

SendResult DavTransport::remove(const std::string& href, const std::string& etag)
{
    const Answer answer = send("DELETE", href, {}, {{"If-Match", etag}});
    return {answer.status, std::nullopt};
}

} // namespace wirtello::sync
