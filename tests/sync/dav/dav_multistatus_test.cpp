#include "sync/transport/dav_multistatus.h"

#include <gtest/gtest.h>

#include <string>

using namespace wirtello::dav;

namespace {

std::string multistatus(const std::string& inner, const std::string& prefixes = R"(xmlns="DAV:")")
{
    return R"(<?xml version="1.0" encoding="utf-8"?><multistatus )" + prefixes + ">" + inner + "</multistatus>";
}

TEST(DavMultistatus, NamesAreMatchedByNamespaceWhateverThePrefix)
{
    struct Case {
        const char* name;
        std::string body;
    };
    const std::string card = "BEGIN:VCARD\r\nFN:Zażółć Gęślą\r\nEND:VCARD\r\n";
    const Case cases[] = {
        {"default namespace",
         multistatus("<response><href>/u/k/1.vcf</href><propstat><prop><getetag>\"e1\"</getetag>"
                     "<CR:address-data>"
                         + card + "</CR:address-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>",
                     R"(xmlns="DAV:" xmlns:CR="urn:ietf:params:xml:ns:carddav")")},
        {"own prefixes",
         R"(<x:multistatus xmlns:x="DAV:" xmlns:y="urn:ietf:params:xml:ns:carddav"><x:response><x:href>/u/k/1.vcf</x:href>)"
         "<x:propstat><x:status>HTTP/1.1 200 OK</x:status><x:prop><y:address-data>"
             + card + "</y:address-data><x:getetag>\"e1\"</x:getetag></x:prop></x:propstat></x:response></x:multistatus>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Multistatus read = readMultistatus(c.body);
        ASSERT_EQ(read.responses.size(), 1u);
        EXPECT_EQ(read.responses[0].href, "/u/k/1.vcf");
        EXPECT_EQ(read.responses[0].etag, "\"e1\"");
        EXPECT_EQ(read.responses[0].status, 200);
        EXPECT_TRUE(read.responses[0].hasData);
        // The card's line ends as XML gives them (CR LF becomes LF), letters as sent.
        EXPECT_EQ(read.responses[0].data, "BEGIN:VCARD\nFN:Zażółć Gęślą\nEND:VCARD\n");
    }
    // The same local names in a foreign namespace are not DAV's.
    const Multistatus foreign = readMultistatus(multistatus(
        R"(<response><href>/a</href><propstat><prop><getetag xmlns="urn:other">"x"</getetag></prop></propstat></response>)"));
    EXPECT_EQ(foreign.responses.at(0).etag, "");
}

TEST(DavMultistatus, ReadsCollectionsPrincipalsAndSyncAnswers)
{
    const Multistatus discovery = readMultistatus(multistatus(
        "<response><href>/jan/</href><propstat><prop><current-user-principal><href>/jan/</href></current-user-principal>"
        "<C:calendar-home-set><href>/cal/jan/</href></C:calendar-home-set>"
        "<CR:addressbook-home-set><href>/card/jan/</href></CR:addressbook-home-set></prop>"
        "<status>HTTP/1.1 200 OK</status></propstat>"
        // Properties the server did not find give nothing.
        "<propstat><prop><displayname>nie to</displayname></prop><status>HTTP/1.1 404 Not Found</status></propstat>"
        "</response>"
        "<response><href>/cal/jan/praca/</href><propstat><prop><resourcetype><collection/><C:calendar/></resourcetype>"
        "<displayname> Praca </displayname><C:supported-calendar-component-set><C:comp name=\"VTODO\"/>"
        "</C:supported-calendar-component-set><supported-report-set><supported-report><report><sync-collection/>"
        "</report></supported-report></supported-report-set></prop><status>HTTP/1.1 200 OK</status></propstat></response>",
        R"(xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav" xmlns:CR="urn:ietf:params:xml:ns:carddav")"));
    ASSERT_EQ(discovery.responses.size(), 2u);
    const DavResource& principal = discovery.responses[0];
    EXPECT_EQ(principal.currentUserPrincipal, "/jan/");
    EXPECT_EQ(principal.calendarHome, "/cal/jan/");
    EXPECT_EQ(principal.addressBookHome, "/card/jan/");
    EXPECT_EQ(principal.displayName, "");
    EXPECT_EQ(principal.status, 200);
    const DavResource& tasks = discovery.responses[1];
    EXPECT_TRUE(tasks.isCollection);
    EXPECT_EQ(tasks.kind, CollectionKind::Calendar);
    EXPECT_EQ(tasks.displayName, "Praca");
    EXPECT_EQ(tasks.components, std::vector<std::string>{"VTODO"});
    EXPECT_TRUE(tasks.offersSyncCollection);

    const Multistatus sync = readMultistatus(multistatus(
        "<response><href>/k/a.vcf</href><propstat><prop><getetag>\"2\"</getetag></prop>"
        "<status>HTTP/1.1 200 OK</status></propstat></response>"
        "<response><href>/k/b.vcf</href><href>/k/c.vcf</href><status>HTTP/1.1 404 Not Found</status></response>"
        "<response><href>/k/</href><status>HTTP/1.1 507 Insufficient Storage</status></response>"
        "<sync-token>http://x/sync/42</sync-token>"));
    EXPECT_EQ(sync.syncToken, "http://x/sync/42");
    ASSERT_EQ(sync.responses.size(), 4u);
    EXPECT_EQ(sync.responses[1].href, "/k/b.vcf");
    EXPECT_EQ(sync.responses[2].href, "/k/c.vcf");
    EXPECT_EQ(sync.responses[2].status, 404);
    EXPECT_EQ(sync.responses[3].status, 507);
}

TEST(DavMultistatus, RefusesWhatItCannotUse)
{
    std::string nested;
    for (int i = 0; i < 100; ++i)
        nested += "<a>";
    for (int i = 0; i < 100; ++i)
        nested += "</a>";
    const std::pair<const char*, std::string> cases[] = {
        {"not XML", "<multistatus xmlns=\"DAV:\"><response>"},
        {"empty", ""},
        {"another root", R"(<error xmlns="DAV:"><valid-sync-token/></error>)"},
        {"a DOCTYPE with entities",
         R"(<?xml version="1.0"?><!DOCTYPE m [<!ENTITY a "aaaaaaaa"><!ENTITY b "&a;&a;&a;&a;">]>)"
         R"(<multistatus xmlns="DAV:"><response><href>&b;</href></response></multistatus>)"},
        {"a response without href", multistatus("<response><status>HTTP/1.1 200 OK</status></response>")},
        {"an empty href", multistatus("<response><href> </href></response>")},
        {"too deep", multistatus("<response><href>/a</href>" + nested + "</response>")},
        {"an href too long", multistatus("<response><href>/" + std::string(kMaxHrefBytes + 1, 'a') + "</href></response>")},
    };
    for (const auto& [name, body] : cases) {
        SCOPED_TRACE(name);
        try {
            readMultistatus(body);
            ADD_FAILURE() << "read";
        } catch (const BadResponse& e) {
            EXPECT_NE(std::string(e.what()).find("Serwer przysłał odpowiedź"), std::string::npos) << e.what();
            if (std::string(name) == "not XML") {
                EXPECT_NE(std::string(e.what()).find("niepoprawny XML w wierszu 1"), std::string::npos) << e.what();
            }
        }
    }
}

TEST(DavMultistatus, ErrorConditionsAndStatusLines)
{
    EXPECT_EQ(davErrorCondition(R"(<?xml version="1.0"?><D:error xmlns:D="DAV:"><D:valid-sync-token/></D:error>)"),
              "valid-sync-token");
    EXPECT_EQ(davErrorCondition("<html>Forbidden</html>"), "");
    EXPECT_EQ(davErrorCondition(""), "");
    EXPECT_EQ(davErrorCondition("<D:error xmlns:D=\"DAV:\"><D:valid-sync"), "");

    const std::pair<const char*, int> lines[] = {
        {"HTTP/1.1 200 OK", 200}, {"HTTP/1.1 404 Not Found", 404}, {"HTTP/1.1 507", 507},
        {"HTTP/1.1 20 OK", 0},    {"HTTP/1.1 2000 OK", 0},         {"", 0},
        {"garbage", 0},
    };
    for (const auto& [line, code] : lines)
        EXPECT_EQ(statusCodeOf(line), code) << line;
}

} // namespace
