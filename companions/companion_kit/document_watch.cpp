#include "document_watch.h"

#include "platform/platform.h"
#include "store/io_error.h"

#include <QTimer>

#include <sys/stat.h>

namespace wirtello {

DocumentWatch::DocumentWatch(std::filesystem::path file, QObject* parent, int intervalMs)
    : QObject(parent), file_(std::move(file)), timer_(new QTimer(this)), seen_(stampNow())
{
    // Polling rather than inotify: a store replaces the file by rename, and
    // the folder may be on a network share that sends no events.
    timer_->setInterval(intervalMs);
    connect(timer_, &QTimer::timeout, this, &DocumentWatch::check);
}

void DocumentWatch::setWatching(bool watching)
{
    if (watching) {
        seen_ = stampNow();
        timer_->start();
    } else {
        timer_->stop();
        freeLock_.reset();
    }
}

bool DocumentWatch::watching() const
{
    return timer_->isActive();
}

DocumentWatch::Stamp DocumentWatch::stampNow() const
{
    struct stat status {};
    if (::stat(file_.c_str(), &status) != 0)
        return {};
    return {true, static_cast<unsigned long long>(status.st_dev), static_cast<unsigned long long>(status.st_ino),
            static_cast<unsigned long long>(status.st_size),
            static_cast<long long>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

void DocumentWatch::markSeen()
{
    seen_ = stampNow();
}

void DocumentWatch::check()
{
    const Stamp now = stampNow();
    if (now != seen_) {
        seen_ = now;
        emit changedOnDisk();
    }
    if (freeLock_ || !offerLock_)
        return;
    try {
        freeLock_ = DocumentLock::tryLock(file_);
    } catch (const IoError&) {
        return; // the sidecar cannot be used; stay read-only
    }
    if (freeLock_) {
        // Asked once; the window takes the lock or lets it go.
        timer_->stop();
        emit lockFree();
    }
}

void DocumentWatch::declineLock()
{
    freeLock_.reset();
    offerLock_ = false;
    seen_ = stampNow();
    timer_->start();
}

std::optional<DocumentLock> DocumentWatch::takeOverIfWanted(Platform& platform,
                                                           const std::function<bool()>& rereadWhole)
{
    std::optional<DocumentLock> lock = takeLock();
    if (lock && rereadWhole() && platform.ask(QString::fromUtf8(kTakeOverQuestion)))
        return lock;
    declineLock();
    return std::nullopt;
}

std::optional<DocumentLock> DocumentWatch::takeLock()
{
    std::optional<DocumentLock> lock = std::move(freeLock_);
    freeLock_.reset();
    return lock;
}

} // namespace wirtello
