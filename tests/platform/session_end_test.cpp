// The end of the session stores what each window's end stores: for windows
// still open only, on every ending, and on the signals a desktop sends.
#include "platform/session_end.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace wirtello {
namespace {

TEST(SessionEnd, StoresOfOpenWindowsRunOnEveryEndAndOnTheDesktopsSignals)
{
    int stored = 0, signalsTaken = 0;
    auto open = std::make_unique<QObject>();
    auto closed = std::make_unique<QObject>();
    onSessionEnd(open.get(), [&stored] { ++stored; });
    onSessionEnd(closed.get(), [] { ADD_FAILURE() << "a closed window stored"; });
    onSessionEnd(open.get(), [] { throw std::runtime_error("a failing store does not stop the others"); });
    closed.reset();
    storeForSessionEnd();
    EXPECT_EQ(stored, 1);
    storeForSessionEnd(); // a log-out cancelled, then a second one
    EXPECT_EQ(stored, 2);

    watchSessionEnd([&signalsTaken] { ++signalsTaken; });
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(number);
        const int before = stored;
        ASSERT_EQ(::raise(number), 0);
        for (int round = 0; round < 1000 && stored == before; ++round)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        EXPECT_EQ(stored, before + 1);
    }
    EXPECT_EQ(signalsTaken, 3);
    open.reset();
}

} // namespace
} // namespace wirtello
