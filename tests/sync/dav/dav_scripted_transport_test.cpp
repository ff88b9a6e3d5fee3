// The in-memory server that the sync's tests talk to keeps ETags and tokens
// as a server does and plays the answers it is asked for.
#include "tests/support/scripted_sync_transport.h"

#include <gtest/gtest.h>

using namespace wirtello::sync;
using wirtello::test::ScriptedSyncTransport;

namespace {

const std::string kBook = "/dav/jan/kontakty/";

ScriptedSyncTransport server()
{
    return ScriptedSyncTransport({{kBook, "Kontakty", true, false, false, true},
                                  {"/dav/jan/zadania/", "Zadania", false, false, true, true}});
}

std::vector<std::string> hrefsOf(const std::vector<ListedItem>& items)
{
    std::vector<std::string> hrefs;
    for (const ListedItem& item : items)
        hrefs.push_back(item.href);
    return hrefs;
}

TEST(ScriptedSyncTransport, SyncTokensCutShortAndRefused)
{
    ScriptedSyncTransport transport = server();
    for (const char* name : {"a", "b", "c"})
        transport.serverPut(kBook + name + ".vcf", std::string("FN:") + name);
    transport.truncateAfter = 2;

    const auto first = transport.syncCollection(kBook, "");
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->truncated);
    EXPECT_EQ(hrefsOf(first->changed), (std::vector<std::string>{kBook + "a.vcf", kBook + "b.vcf"}));
    transport.serverRemove(kBook + "a.vcf");
    const auto rest = transport.syncCollection(kBook, first->token);
    ASSERT_TRUE(rest);
    EXPECT_FALSE(rest->truncated);
    EXPECT_EQ(hrefsOf(rest->changed), std::vector<std::string>{kBook + "c.vcf"});
    EXPECT_EQ(rest->removed, std::vector<std::string>{kBook + "a.vcf"});
    const auto quiet = transport.syncCollection(kBook, rest->token);
    ASSERT_TRUE(quiet);
    EXPECT_TRUE(quiet->changed.empty() && quiet->removed.empty());
    EXPECT_EQ(quiet->token, rest->token);

    // A token it never gave, or any token once told to refuse them: nothing.
    EXPECT_EQ(transport.syncCollection(kBook, "tok-999"), std::nullopt);
    EXPECT_EQ(transport.syncCollection(kBook, "obcy"), std::nullopt);
    transport.refuseTokens = true;
    EXPECT_EQ(transport.syncCollection(kBook, rest->token), std::nullopt);
    EXPECT_TRUE(transport.syncCollection(kBook, ""));
}

TEST(ScriptedSyncTransport, PutAndDeleteHonourPreconditionsAndPlayWhatTheyAreTold)
{
    ScriptedSyncTransport transport = server();
    const std::string href = kBook + "1.vcf";
    const SendResult created = transport.put(href, "FN:Jan", "text/vcard", std::nullopt);
    ASSERT_EQ(created.status, 201);
    ASSERT_TRUE(created.etag);
    EXPECT_TRUE(transport.put(href, "FN:Jan", "text/vcard", std::nullopt).preconditionFailed());
    EXPECT_TRUE(transport.put(href, "FN:Jan", "text/vcard", "\"stary\"").preconditionFailed());

    transport.conflictOnNextPut.insert(href);
    EXPECT_TRUE(transport.put(href, "FN:Jan 2", "text/vcard", created.etag).preconditionFailed());
    transport.putGivesNoEtag = true;
    const SendResult changed = transport.put(href, "FN:Jan 2", "text/vcard", created.etag);
    EXPECT_EQ(changed, (SendResult{204, std::nullopt}));

    transport.putGivesNoEtag = false;
    transport.rewriteOnPut = "\nPRODID:serwer";
    const std::string etag = transport.member(href)->etag;
    EXPECT_EQ(transport.put(href, "FN:Jan 3", "text/vcard", etag), (SendResult{204, std::nullopt}));
    EXPECT_EQ(transport.member(href)->text, "FN:Jan 3\nPRODID:serwer");
    EXPECT_EQ(transport.multiget(kBook, {href, kBook + "brak.vcf"}),
              (std::vector<FetchedItem>{{href, transport.member(href)->etag, "FN:Jan 3\nPRODID:serwer"}}));

    EXPECT_EQ(transport.remove(href, etag).status, 412);
    EXPECT_EQ(transport.remove(href, transport.member(href)->etag).status, 204);
    EXPECT_EQ(transport.remove(href, "\"x\"").status, 404);
    EXPECT_EQ(transport.calls.front(), "PUT " + href);
    EXPECT_EQ(transport.calls.back(), "DELETE " + href);
}

TEST(ScriptedSyncTransport, RefusalsAndFailures)
{
    ScriptedSyncTransport transport = server();
    EXPECT_THROW(transport.multiget(kBook, std::vector<std::string>(kMultigetBatchSize + 1, kBook + "x.vcf")),
                 std::invalid_argument);

    transport.failNext = TransportError(TransportError::Kind::Unauthorized, "401", 401);
    EXPECT_THROW(transport.discover(), TransportError);
    EXPECT_EQ(transport.discover().collections.size(), 2u);

    transport.redirectTo = "https://example.org/";
    for (int i = 0; i < 2; ++i) {
        try {
            transport.list(kBook);
            ADD_FAILURE() << "listed";
        } catch (const TransportError& e) {
            EXPECT_EQ(e.kind(), TransportError::Kind::RedirectRefused);
        }
    }
}

} // namespace
