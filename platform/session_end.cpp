#include "session_end.h"

#include "store/io_error.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <csignal>
#include <exception>
#include <iostream>
#include <unistd.h>
#include <vector>

namespace wirtello {

namespace {

struct Registration {
    QPointer<QObject> owner;
    std::function<void()> store;
};

std::vector<Registration>& registrations()
{
    static std::vector<Registration> list;
    return list;
}

// The signal handler may only write to a pipe; the event loop reads it.
int signalPipe[2] = {-1, -1};

void onSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

QtMessageHandler previousHandler = nullptr;

// Qt writes this just before it ends the process when the X server is gone.
void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("The X11 connection broke")))
        storeForSessionEnd();
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

void onSessionEnd(QObject* owner, std::function<void()> store)
{
    std::erase_if(registrations(), [](const Registration& r) { return r.owner.isNull(); });
    registrations().push_back({owner, std::move(store)});
}

void storeForSessionEnd()
{
    // A store may register others; walk by index over what is there now.
    std::vector<Registration>& list = registrations();
    const std::size_t count = list.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (list[i].owner.isNull())
            continue;
        const std::function<void()> store = list[i].store;
        try {
            store();
        } catch (const IoError& error) {
            std::cerr << error.operation() << ": " << error.path().string() << "\n";
        } catch (const std::exception& error) {
            std::cerr << error.what() << "\n";
        }
    }
}

void watchSessionEnd(std::function<void()> afterSignal)
{
    if (!afterSignal) {
        // Ended at once: a question still open must not go on to act.
        afterSignal = [] {
            std::fflush(nullptr);
            std::_Exit(0);
        };
    }
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::cerr << "session end: " << std::strerror(errno) << "\n";
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [afterSignal] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        storeForSessionEnd();
        afterSignal();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(number, &action, nullptr);

    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
#ifndef QT_NO_SESSIONMANAGER
        QObject::connect(gui, &QGuiApplication::commitDataRequest, gui, [](QSessionManager&) { storeForSessionEnd(); });
        QObject::connect(gui, &QGuiApplication::saveStateRequest, gui, [](QSessionManager&) { storeForSessionEnd(); });
#endif
    }
    previousHandler = qInstallMessageHandler(watchMessages);
}

} // namespace wirtello
