// The transport against a scripted HTTP server on loopback: the answers a
// real server here will not give.
#include "sync/transport/dav_transport.h"
#include "tests/sync/dav/dav_scripted_server.h"

#include <QCryptographicHash>
#include <QTimer>

#include <gtest/gtest.h>

using namespace wirtello::sync;
using wirtello::test::HttpRequest;
using wirtello::test::HttpResponse;
using wirtello::test::multistatusResponse;
using wirtello::test::ScriptedHttpServer;

namespace {

const std::string kUser = "jan";
const std::string kPassword = "Zażółć-1";

DavAccount accountFor(const ScriptedHttpServer& server, std::string password = kPassword)
{
    return {server.url(), kUser, std::move(password), {}, 5'000};
}

TransportError::Kind failureOf(const std::function<void()>& call, std::string* text = nullptr)
{
    try {
        call();
    } catch (const TransportError& e) {
        if (text)
            *text = e.what();
        return e.kind();
    }
    ADD_FAILURE() << "no TransportError";
    return TransportError::Kind::BadAnswer;
}

TEST(DavTransportScripted, PutSendsPreconditionsAndTakesWhateverEtagComes)
{
    struct Case {
        const char* name;
        std::optional<std::string> ifMatch;
        HttpResponse answer;
        SendResult expected;
    };
    const Case cases[] = {
        {"create, no ETag back", std::nullopt, {201, "Created", {}, ""}, {201, std::nullopt}},
        {"update, new ETag", "\"e1\"", {204, "No Content", {{"ETag", "\"e2\""}}, ""}, {204, "\"e2\""}},
        {"update of a stale ETag", "W/\"old\"", {412, "Precondition Failed", {{"ETag", "\"e9\""}}, ""}, {412, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHttpServer server([&](const HttpRequest&) { return c.answer; });
        DavTransport transport(accountFor(server));
        const SendResult result = transport.put("/k/a%20b.vcf", "BEGIN:VCARD\r\nEND:VCARD\r\n",
                                                "text/vcard; charset=utf-8", c.ifMatch);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(result.preconditionFailed(), c.answer.status == 412);
        ASSERT_EQ(server.requests().size(), 1u);
        const HttpRequest& sent = server.requests()[0];
        EXPECT_EQ(sent.method, "PUT");
        EXPECT_EQ(sent.target, "/k/a%20b.vcf");
        EXPECT_EQ(sent.header("content-type"), "text/vcard; charset=utf-8");
        EXPECT_EQ(sent.header("if-match"), c.ifMatch.value_or(""));
        EXPECT_EQ(sent.header("if-none-match"), c.ifMatch ? "" : "*");
        EXPECT_EQ(sent.body, "BEGIN:VCARD\r\nEND:VCARD\r\n");
    }

    ScriptedHttpServer server([](const HttpRequest&) { return HttpResponse{412, "Precondition Failed", {}, ""}; });
    DavTransport transport(accountFor(server));
    EXPECT_TRUE(transport.remove("/k/1.vcf", "\"e1\"").preconditionFailed());
    EXPECT_EQ(server.requests().at(0).method, "DELETE");
    EXPECT_EQ(server.requests().at(0).header("if-match"), "\"e1\"");
}

TEST(DavTransportScripted, SyncReportTruncatedGoesOnFromItsTokenAndARefusedTokenGivesNothing)
{
    int round = 0;
    ScriptedHttpServer server([&](const HttpRequest& request) -> HttpResponse {
        ++round;
        if (round == 1)
            return multistatusResponse(
                "<d:response><d:href>/k/1.vcf</d:href><d:propstat><d:prop><d:getetag>\"1\"</d:getetag></d:prop>"
                "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
                "<d:response><d:href>/k/</d:href><d:status>HTTP/1.1 507 Insufficient Storage</d:status></d:response>"
                "<d:sync-token>tok-1</d:sync-token>");
        if (round == 2 && request.body.find("<d:sync-token>tok-1</d:sync-token>") != std::string::npos)
            return multistatusResponse(
                "<d:response><d:href>/k/2.vcf</d:href><d:propstat><d:prop></d:prop>"
                "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
                "<d:response><d:href>/k/old.vcf</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>"
                "<d:sync-token>tok-2</d:sync-token>");
        if (round == 3)
            return {403, "Forbidden", {{"Content-Type", "application/xml"}},
                    R"(<?xml version="1.0"?><error xmlns="DAV:"><valid-sync-token/></error>)"};
        return {403, "Forbidden", {{"Content-Type", "text/html"}}, "<html>nie wolno</html>"};
    });
    DavTransport transport(accountFor(server));

    const auto first = transport.syncCollection("/k/", "");
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->truncated);
    EXPECT_EQ(first->token, "tok-1");
    EXPECT_EQ(first->changed, (std::vector<ListedItem>{{"/k/1.vcf", "\"1\""}}));
    EXPECT_EQ(server.requests()[0].method, "REPORT");
    EXPECT_EQ(server.requests()[0].header("depth"), "0");
    EXPECT_NE(server.requests()[0].body.find("<d:sync-token></d:sync-token>"), std::string::npos);

    const auto rest = transport.syncCollection("/k/", first->token);
    ASSERT_TRUE(rest);
    EXPECT_FALSE(rest->truncated);
    EXPECT_EQ(rest->token, "tok-2");
    EXPECT_EQ(rest->changed, (std::vector<ListedItem>{{"/k/2.vcf", std::nullopt}}));
    EXPECT_EQ(rest->removed, std::vector<std::string>{"/k/old.vcf"});

    EXPECT_EQ(transport.syncCollection("/k/", "tok-2"), std::nullopt);
    std::string text;
    EXPECT_EQ(failureOf([&] { transport.syncCollection("/k/", "tok-2"); }, &text), TransportError::Kind::ServerError);
    EXPECT_EQ(text, "Serwer odpowiedział błędem: 403 Forbidden.");
}

TEST(DavTransportScripted, RedirectsStayOnTheServersHost)
{
    std::string elsewhere = "https://example.org/dav/";
    ScriptedHttpServer server([&](const HttpRequest& request) -> HttpResponse {
        if (request.target == "/.well-known/carddav" || request.target == "/")
            return {301, "Moved", {{"Location", request.target == "/" ? elsewhere : "/dav/"}}, ""};
        return multistatusResponse("<d:response><d:href>/dav/k/</d:href><d:propstat><d:prop><d:resourcetype>"
                                   "<d:collection/><c:addressbook/></d:resourcetype></d:prop>"
                                   "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>");
    });
    DavTransport transport(accountFor(server));
    // Within the host: followed.
    EXPECT_EQ(transport.list("/.well-known/carddav").items.size(), 0u);
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[1].target, "/dav/");
    EXPECT_EQ(server.requests()[1].method, "PROPFIND");

    // Another host, or this host's name over plain http elsewhere: refused
    // before any connection is made to it.
    for (const std::string target : {"https://example.org/dav/", "http://192.0.2.1/dav/", "//example.org/x"}) {
        SCOPED_TRACE(target);
        elsewhere = target;
        std::string text;
        EXPECT_EQ(failureOf([&] { transport.list("/"); }, &text), TransportError::Kind::RedirectRefused);
        EXPECT_NE(text.find("inny adres"), std::string::npos) << text;
    }
}

std::string md5(const std::string& text)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Md5).toHex().toStdString();
}

// The value of `name="…"` or `name=…` in a Digest header.
std::string digestField(const std::string& header, const std::string& name)
{
    const auto at = header.find(name + "=");
    if (at == std::string::npos)
        return {};
    std::size_t from = at + name.size() + 1;
    const bool quoted = header[from] == '"';
    from += quoted;
    return header.substr(from, header.find(quoted ? '"' : ',', from) - from);
}

TEST(DavTransportScripted, AnswersBasicAndDigestWithTheUtf8PasswordAndReportsARefusedOne)
{
    enum class Scheme { Basic, Digest };
    for (const Scheme scheme : {Scheme::Basic, Scheme::Digest}) {
        SCOPED_TRACE(scheme == Scheme::Basic ? "Basic" : "Digest");
        ScriptedHttpServer server([&](const HttpRequest& request) -> HttpResponse {
            const std::string auth = request.header("authorization");
            bool accepted = false;
            if (scheme == Scheme::Basic)
                accepted = auth == "Basic " + QByteArray::fromStdString(kUser + ":" + kPassword).toBase64().toStdString();
            else if (auth.rfind("Digest ", 0) == 0 && digestField(auth, "username") == kUser) {
                const std::string ha1 = md5(kUser + ":Wirtello:" + kPassword);
                const std::string ha2 = md5(request.method + ":" + digestField(auth, "uri"));
                accepted = digestField(auth, "response")
                    == md5(ha1 + ":n0nce:" + digestField(auth, "nc") + ":" + digestField(auth, "cnonce") + ":auth:" + ha2);
            }
            if (!accepted)
                return {401, "Unauthorized",
                        {{"WWW-Authenticate", scheme == Scheme::Basic
                                                  ? R"(Basic realm="Wirtello", charset="UTF-8")"
                                                  : R"(Digest realm="Wirtello", nonce="n0nce", qop="auth", algorithm=MD5)"}},
                        ""};
            return {201, "Created", {{"ETag", "\"ok\""}}, ""};
        });
        DavTransport transport(accountFor(server));
        EXPECT_EQ(transport.put("/k/1.vcf", "x", "text/vcard", std::nullopt), (SendResult{201, "\"ok\""}));
        // Basic goes with the first request; a Digest server refuses it once.
        EXPECT_EQ(server.requests().size(), scheme == Scheme::Basic ? 1u : 2u);
        EXPECT_EQ(transport.put("/k/2.vcf", "x", "text/vcard", std::nullopt), (SendResult{201, "\"ok\""}));
        EXPECT_EQ(server.requests().size(), scheme == Scheme::Basic ? 2u : 3u);

        DavTransport wrong(accountFor(server, "zle"));
        std::string text;
        EXPECT_EQ(failureOf([&] { wrong.put("/k/1.vcf", "x", "text/vcard", std::nullopt); }, &text),
                  TransportError::Kind::Unauthorized);
        EXPECT_NE(text.find("hasła (401)"), std::string::npos) << text;
    }
}

TEST(DavTransportScripted, PlainHttpOnlyToThisComputer)
{
    const std::pair<const char*, const char*> cases[] = {
        {"https://dav.example.org/", ""},
        {"http://127.0.0.1:5232/", ""},
        {"http://localhost/dav/", ""},
        {"http://[::1]:8080/", ""},
        {"http://dav.example.org/", "tylko dla serwera na tym komputerze"},
        {"http://127.0.0.1.example.org/", "tylko dla serwera na tym komputerze"},
        {"http://192.168.1.5/", "tylko dla serwera na tym komputerze"},
        {"ftp://dav.example.org/", "musi zaczynać się od https://"},
        {"dav.example.org", "niepoprawny"},
        {"", "Podaj adres serwera"},
    };
    for (const auto& [url, reason] : cases) {
        SCOPED_TRACE(url);
        const std::string problem = davAddressProblem(url);
        if (*reason == '\0') {
            EXPECT_EQ(problem, "");
            EXPECT_NO_THROW(DavTransport({url, "u", "p", {}, 1000}));
        } else {
            EXPECT_NE(problem.find(reason), std::string::npos) << problem;
            EXPECT_THROW(DavTransport({url, "u", "p", {}, 1000}), std::invalid_argument);
        }
    }
}

TEST(DavTransportScripted, NoServerASilentServerAFloodAndACancelAreSaidInPolish)
{
    std::string closedPort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = std::to_string(probe.serverPort());
    }
    std::string text;
    DavTransport nobody({"http://127.0.0.1:" + closedPort + "/", "u", "p", {}, 5'000});
    EXPECT_EQ(failureOf([&] { nobody.list("/k/"); }, &text), TransportError::Kind::Unreachable);
    EXPECT_NE(text.find("Nie można połączyć się z serwerem 127.0.0.1: serwer odmówił połączenia"), std::string::npos)
        << text;

    // A server that takes the request and never answers.
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost, 0);
    DavTransport waiting({"http://127.0.0.1:" + std::to_string(silent.serverPort()) + "/", "u", "p", {}, 300});
    EXPECT_EQ(failureOf([&] { waiting.list("/k/"); }, &text), TransportError::Kind::Unreachable);
    EXPECT_NE(text.find("nie odpowiedział w wyznaczonym czasie"), std::string::npos) << text;

    // A server that sends more than asked for is cut off.
    ScriptedHttpServer flooding([](const HttpRequest&) {
        return wirtello::test::multistatusResponse(std::string(64 * 1024, ' '));
    });
    DavAccount small = accountFor(flooding);
    small.maxAnswerBytes = 16 * 1024;
    DavTransport flooded(small);
    EXPECT_EQ(failureOf([&] { flooded.list("/k/"); }, &text), TransportError::Kind::BadAnswer);
    EXPECT_EQ(text, "Serwer przysłał zbyt dużą odpowiedź.");

    std::atomic<bool> cancel{false};
    DavTransport cancelled({"http://127.0.0.1:" + std::to_string(silent.serverPort()) + "/", "u", "p", {}, 60'000});
    cancelled.setCancelFlag(&cancel);
    QTimer::singleShot(100, [&] { cancel = true; });
    EXPECT_EQ(failureOf([&] { cancelled.list("/k/"); }, &text), TransportError::Kind::Cancelled);
    EXPECT_EQ(text, "Synchronizację przerwano.");
}

} // namespace

namespace {

std::string collectionResponse(const std::string& href, const std::string& type, const std::string& more = {})
{
    return "<d:response><d:href>" + href + "</d:href><d:propstat><d:prop><d:resourcetype><d:collection/>" + type
        + "</d:resourcetype>" + more + "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
}

TEST(DavTransportScripted, DiscoveryGoesFromTheWellKnownAddressToTheHomeSetsCollections)
{
    bool withCollections = true;
    ScriptedHttpServer server([&](const HttpRequest& request) -> HttpResponse {
        const std::string& at = request.target;
        if (at == "/.well-known/carddav")
            return {301, "Moved Permanently", {{"Location", "/dav/"}}, ""};
        if (at == "/dav/")
            return multistatusResponse("<d:response><d:href>/dav/</d:href><d:propstat><d:prop><d:current-user-principal>"
                                       "<d:href>/dav/principals/jan/</d:href></d:current-user-principal></d:prop>"
                                       "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>");
        if (at == "/dav/principals/jan/")
            return multistatusResponse(
                "<d:response><d:href>/dav/principals/jan/</d:href><d:propstat><d:prop>"
                "<c:addressbook-home-set><d:href>/dav/card/jan/</d:href></c:addressbook-home-set>"
                R"(<x:calendar-home-set xmlns:x="urn:ietf:params:xml:ns:caldav"><d:href>http://127.0.0.1/dav/cal/jan/</d:href>)"
                "</x:calendar-home-set></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>");
        if (at == "/dav/card/jan/" && withCollections)
            return multistatusResponse(collectionResponse("/dav/card/jan/", "")
                                       + collectionResponse("/dav/card/jan/firma/", "<c:addressbook/>",
                                                            "<d:displayname>Kontakty firmy</d:displayname>"));
        if (at == "/dav/cal/jan/" && withCollections)
            return multistatusResponse(
                collectionResponse("/dav/cal/jan/wszystko/", R"(<x:calendar xmlns:x="urn:ietf:params:xml:ns:caldav"/>)")
                + collectionResponse(
                    "/dav/cal/jan/terminy/", R"(<x:calendar xmlns:x="urn:ietf:params:xml:ns:caldav"/>)",
                    R"(<x:supported-calendar-component-set xmlns:x="urn:ietf:params:xml:ns:caldav"><x:comp name="VEVENT"/>)"
                    "</x:supported-calendar-component-set>"));
        if (at == "/dav/card/jan/" || at == "/dav/cal/jan/")
            return multistatusResponse(collectionResponse(at, ""));
        return {404, "Not Found", {}, ""};
    });
    DavTransport transport(accountFor(server));
    const Discovery found = transport.discover();
    EXPECT_EQ(found.principalHref, "/dav/principals/jan/");
    EXPECT_EQ(found.collections, (std::vector<DavCollection>{
                                     {"/dav/card/jan/firma/", "Kontakty firmy", true, false, false, false},
                                     // A calendar that names no components takes both.
                                     {"/dav/cal/jan/wszystko/", "", false, true, true, false},
                                     {"/dav/cal/jan/terminy/", "", false, true, false, false},
                                 }));

    withCollections = false;
    try {
        transport.discover();
        ADD_FAILURE() << "discovered";
    } catch (const TransportError& e) {
        EXPECT_EQ(e.kind(), TransportError::Kind::NotFound);
        EXPECT_EQ(std::string(e.what()), "Na serwerze 127.0.0.1 nie ma książki adresowej ani kalendarza dla użytkownika jan.");
    }
}

} // namespace

namespace {

TEST(DavTransportScripted, MultigetNamesItemsAsAskedAndAsksCalendarsForCalendarData)
{
    ScriptedHttpServer server([](const HttpRequest& request) -> HttpResponse {
        if (request.method == "PROPFIND")
            return multistatusResponse(
                R"(<d:response><d:href>/cal/z/</d:href><d:propstat><d:prop><d:resourcetype><d:collection/><x:calendar xmlns:x="urn:ietf:params:xml:ns:caldav"/>)"
                "</d:resourcetype></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>");
        return multistatusResponse(
            R"(<d:response><d:href>http://127.0.0.1/cal/z/jan%40firma.ics</d:href><d:propstat><d:prop><d:getetag>"7"</d:getetag>)"
            R"(<x:calendar-data xmlns:x="urn:ietf:params:xml:ns:caldav">BEGIN:VCALENDAR</x:calendar-data></d:prop>)"
            "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
            "<d:response><d:href>/cal/z/brak.ics</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>");
    });
    DavTransport transport(accountFor(server));
    EXPECT_EQ(transport.multiget("/cal/z/", {"/cal/z/jan@firma.ics", "/cal/z/brak.ics"}),
              (std::vector<FetchedItem>{{"/cal/z/jan@firma.ics", "\"7\"", "BEGIN:VCALENDAR"}}));
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_NE(server.requests()[1].body.find("<c:calendar-multiget"), std::string::npos);
    EXPECT_NE(server.requests()[1].body.find("<d:href>/cal/z/jan@firma.ics</d:href>"), std::string::npos);
    EXPECT_TRUE(transport.multiget("/cal/z/", {}).empty());
    EXPECT_EQ(server.requests().size(), 2u);
}

} // namespace
