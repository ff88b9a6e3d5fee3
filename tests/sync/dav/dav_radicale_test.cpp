// The transport against Radicale, started by scripts/test through
// scripts/dav-server on 127.0.0.1 (plain and TLS); skipped when run by hand
// without it.
#include "sync/transport/dav_transport.h"

#include <QSslCertificate>
#include <QUuid>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace wirtello::sync;

namespace {

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

class DavRadicale : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (env("WIRTELLO_DAV_URL").empty() || env("WIRTELLO_DAV_TLS_URL").empty())
            GTEST_SKIP() << "No Radicale: WIRTELLO_DAV_URL is not set (scripts/test starts one; by hand: "
                            "eval \"$(scripts/dav-server start)\")";
    }

    static DavAccount account(const std::string& urlVariable = "WIRTELLO_DAV_URL")
    {
        return {env(urlVariable.c_str()), env("WIRTELLO_DAV_USER"), env("WIRTELLO_DAV_PASSWORD"), {}, 30'000};
    }

    static std::string home() { return "/" + env("WIRTELLO_DAV_USER") + "/"; }
    static std::string fresh() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString(); }
};

const DavCollection* named(const Discovery& found, const std::string& href)
{
    const auto at = std::find_if(found.collections.begin(), found.collections.end(),
                                 [&](const DavCollection& c) { return c.href == href; });
    return at == found.collections.end() ? nullptr : &*at;
}

bool listed(const CollectionListing& listing, const std::string& href, const std::optional<std::string>& etag)
{
    return std::find(listing.items.begin(), listing.items.end(), ListedItem{href, etag}) != listing.items.end();
}

TEST_F(DavRadicale, DiscoveryFindsTheAddressBookAndTheCalendars)
{
    DavTransport transport(account());
    const Discovery found = transport.discover();
    EXPECT_EQ(found.principalHref, home());
    const DavCollection* contacts = named(found, home() + "kontakty/");
    const DavCollection* events = named(found, home() + "terminarz/");
    const DavCollection* tasks = named(found, home() + "zadania/");
    ASSERT_TRUE(contacts && events && tasks);
    EXPECT_EQ(*contacts, (DavCollection{home() + "kontakty/", "Kontakty", true, false, false, true}));
    EXPECT_EQ(*events, (DavCollection{home() + "terminarz/", "Terminarz", false, true, false, true}));
    EXPECT_EQ(*tasks, (DavCollection{home() + "zadania/", "Zadania", false, false, true, true}));
}

TEST_F(DavRadicale, CardsAreCreatedListedFetchedChangedAndDeletedUnderTheirPreconditions)
{
    DavTransport transport(account());
    const std::string book = home() + "kontakty/";
    const std::string uid = fresh();
    const std::string href = book + uid + ".vcf";
    const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:Zażółć Gęślą\r\nN:Gęślą;Zażółć;;;\r\n"
                                                                           "END:VCARD\r\n";
    const std::string type = "text/vcard; charset=utf-8";
    const auto start = transport.syncCollection(book, "");
    ASSERT_TRUE(start);

    const SendResult created = transport.put(href, card, type, std::nullopt);
    ASSERT_TRUE(created.succeeded()) << created.status;
    // A second create of the same card is refused, never an overwrite.
    EXPECT_TRUE(transport.put(href, card, type, std::nullopt).preconditionFailed());

    const CollectionListing listing = transport.list(book);
    const auto mine = std::find_if(listing.items.begin(), listing.items.end(),
                                   [&](const ListedItem& item) { return item.href == href; });
    ASSERT_NE(mine, listing.items.end());
    ASSERT_TRUE(mine->etag);
    const std::string etag = *mine->etag;
    if (created.etag) {
        EXPECT_EQ(*created.etag, etag);
    }

    const auto afterCreate = transport.syncCollection(book, start->token);
    ASSERT_TRUE(afterCreate);
    EXPECT_NE(afterCreate->token, start->token);
    EXPECT_EQ(afterCreate->changed, (std::vector<ListedItem>{{href, etag}}));
    EXPECT_TRUE(afterCreate->removed.empty());

    const std::vector<FetchedItem> fetched = transport.multiget(book, {href});
    ASSERT_EQ(fetched.size(), 1u);
    EXPECT_EQ(fetched[0].href, href);
    EXPECT_EQ(fetched[0].etag, etag);
    EXPECT_NE(fetched[0].text.find("FN:Zażółć Gęślą"), std::string::npos) << fetched[0].text;

    // Fetched in batches of at most kMultigetBatchSize; the missing ones are left out.
    std::vector<std::string> asked;
    for (std::size_t i = 0; i < kMultigetBatchSize; ++i)
        asked.push_back(book + "brak-" + std::to_string(i) + ".vcf");
    asked.push_back(href);
    const int before = transport.requestCount();
    EXPECT_EQ(transport.multiget(book, asked), fetched);
    EXPECT_EQ(transport.requestCount() - before, 2);

    const std::string changedCard = card.substr(0, card.find("END:VCARD")) + "TEL:+48 600 100 200\r\nEND:VCARD\r\n";
    const SendResult changed = transport.put(href, changedCard, type, etag);
    ASSERT_TRUE(changed.succeeded()) << changed.status;
    EXPECT_TRUE(transport.put(href, card, type, etag).preconditionFailed());
    const auto afterChange = transport.syncCollection(book, afterCreate->token);
    ASSERT_TRUE(afterChange);
    ASSERT_EQ(afterChange->changed.size(), 1u);
    const std::string newEtag = afterChange->changed[0].etag.value_or("");
    EXPECT_NE(newEtag, etag);

    EXPECT_TRUE(transport.remove(href, etag).preconditionFailed());
    EXPECT_TRUE(transport.remove(href, newEtag).succeeded());
    const auto afterDelete = transport.syncCollection(book, afterChange->token);
    ASSERT_TRUE(afterDelete);
    EXPECT_EQ(afterDelete->removed, std::vector<std::string>{href});
    EXPECT_FALSE(listed(transport.list(book), href, newEtag));

    // Nothing changed since: one request, nothing to do.
    const int quiet = transport.requestCount();
    const auto nothing = transport.syncCollection(book, afterDelete->token);
    ASSERT_TRUE(nothing);
    EXPECT_EQ(transport.requestCount() - quiet, 1);
    EXPECT_TRUE(nothing->changed.empty() && nothing->removed.empty());
    EXPECT_EQ(nothing->token, afterDelete->token);
}

TEST_F(DavRadicale, TasksAreFetchedFromTheTaskList)
{
    DavTransport transport(account());
    const std::string list = home() + "zadania/";
    const std::string uid = fresh();
    const std::string task = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Wirtello//PL\r\nBEGIN:VTODO\r\nUID:" + uid
        + "\r\nDTSTAMP:20260105T100000Z\r\nSUMMARY:Zadzwonić do pana Łukasza\r\nX-WIRTELLO-CONTACT:17\r\n"
          "END:VTODO\r\nEND:VCALENDAR\r\n";
    ASSERT_TRUE(transport.put(list + uid + ".ics", task, "text/calendar; charset=utf-8", std::nullopt).succeeded());
    const std::vector<FetchedItem> fetched = transport.multiget(list, {list + uid + ".ics"});
    ASSERT_EQ(fetched.size(), 1u);
    EXPECT_NE(fetched[0].text.find("SUMMARY:Zadzwonić do pana Łukasza"), std::string::npos) << fetched[0].text;
    EXPECT_NE(fetched[0].text.find("X-WIRTELLO-CONTACT:17"), std::string::npos) << fetched[0].text;
}

TEST_F(DavRadicale, AWrongPasswordIsSaid)
{
    DavAccount wrong = account();
    wrong.password += "x";
    DavTransport transport(wrong);
    try {
        transport.discover();
        FAIL() << "discovered";
    } catch (const TransportError& e) {
        EXPECT_EQ(e.kind(), TransportError::Kind::Unauthorized);
        EXPECT_EQ(e.status(), 401);
    }
}

TEST_F(DavRadicale, ASelfSignedCertificateIsRefusedUntilItsFingerprintIsTrusted)
{
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(QString::fromStdString(env("WIRTELLO_DAV_CERTIFICATE")));
    ASSERT_EQ(certificates.size(), 1);
    const QByteArray digest = certificates[0].digest(QCryptographicHash::Sha256);
    const std::string fingerprint = digest.toHex(':').toUpper().toStdString();

    DavAccount tls = account("WIRTELLO_DAV_TLS_URL");
    for (const std::string& trusted : {std::string(), std::string(64, '0')}) {
        tls.trustedFingerprint = trusted;
        DavTransport transport(tls);
        try {
            transport.discover();
            FAIL() << "trusted " << trusted;
        } catch (const TransportError& e) {
            EXPECT_EQ(e.kind(), TransportError::Kind::UntrustedCertificate);
            EXPECT_EQ(e.fingerprint(), fingerprint);
            EXPECT_NE(std::string(e.what()).find("nie jest zaufany. Odcisk SHA-256 certyfikatu: " + fingerprint),
                      std::string::npos)
                << e.what();
        }
    }

    // The user's choice, in whatever spelling it was kept.
    tls.trustedFingerprint = digest.toHex().toLower().toStdString();
    DavTransport trusting(tls);
    const Discovery found = trusting.discover();
    EXPECT_TRUE(named(found, home() + "kontakty/"));
}

} // namespace
