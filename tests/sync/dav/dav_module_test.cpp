// The program reaches the transport through its module, loaded on first use.
#include "platform/program_module.h"
#include "sync/transport/dav_module.h"
#include "tests/sync/dav/dav_scripted_server.h"

#include <gtest/gtest.h>

using namespace wirtello::sync;
using wirtello::test::HttpRequest;
using wirtello::test::HttpResponse;
using wirtello::test::ScriptedHttpServer;

namespace {

TEST(DavModule, MakesTransportsThatTalkRefuseAndStopAsTheLibrarysDo)
{
    DavTransportFactory& factory = wirtello::programModule<DavTransportFactory>(kDavModule);
    EXPECT_EQ(&wirtello::programModule<DavTransportFactory>(kDavModule), &factory);

    EXPECT_NE(factory.addressProblem("http://dav.example.org/").find("tylko dla serwera na tym komputerze"),
              std::string::npos);
    EXPECT_THROW(factory.open({"http://dav.example.org/", "jan", "x", {}, 1000}, nullptr), std::invalid_argument);

    ScriptedHttpServer server([](const HttpRequest&) { return HttpResponse{201, "Created", {{"ETag", "\"m1\""}}, ""}; });
    std::atomic<bool> cancel{false};
    const std::unique_ptr<SyncTransport> transport = factory.open({server.url(), "jan", "x", {}, 5000}, &cancel);
    EXPECT_EQ(transport->put("/k/1.vcf", "x", "text/vcard", std::nullopt), (SendResult{201, "\"m1\""}));
    cancel = true;
    try {
        transport->put("/k/2.vcf", "x", "text/vcard", std::nullopt);
        ADD_FAILURE() << "sent";
    } catch (const TransportError& e) {
        EXPECT_EQ(e.kind(), TransportError::Kind::Cancelled);
    }
    EXPECT_EQ(server.requests().size(), 1u);
}

} // namespace
