#pragma once

#include "io_error.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace wirtello {

// The lock that makes one copy of the program at a time read, merge and
// replace the contact database (and its id counter). It is an advisory
// byte-range write lock (fcntl) on "<database>.lock" beside the database,
// which file servers carry between machines; the kernel drops it when the
// holder ends, however it ends. The holder writes its computer name and
// process id into the file, so a copy that waits in vain can say who holds it.

// Who holds the lock, as the holder wrote it; empty and 0 when not known.
struct LockHolder {
    std::string computer;
    long pid = 0;
};

// How long to wait for another copy, and what to do meanwhile.
struct LockWait {
    int retries = 100;                         // tries after the first
    std::chrono::milliseconds interval{100};   // pause before each retry: ten seconds in all
    // Told true when the lock was found taken and the wait begins, false when
    // the wait ends either way (the window shows the wait cursor meanwhile).
    std::function<void(bool waiting)> waiting;
    // Replaces the pause between tries (tests); empty: sleep `interval`.
    std::function<void()> pause;
};

// Another copy still held the lock when the wait ended. Nothing was written.
class ContactStoreBusy : public IoError {
public:
    ContactStoreBusy(const std::filesystem::path& database, LockHolder holder);
    const LockHolder& holder() const { return holder_; }

private:
    LockHolder holder_;
};

// "Bazę kontaktów zapisuje teraz inna kopia programu (komputer „X”, proces 12) …".
std::string contactStoreBusyText(const LockHolder& holder);

class ContactStoreLock {
public:
    // The lock, or nothing when another copy holds it. IoError when the lock
    // file cannot be opened or created (a link, a pipe or a folder in its
    // place, a folder that cannot be written).
    static std::optional<ContactStoreLock> tryTake(const std::filesystem::path& database);
    // Tries again as `wait` says; ContactStoreBusy when the wait ends in vain.
    static ContactStoreLock take(const std::filesystem::path& database, const LockWait& wait);

    ContactStoreLock(ContactStoreLock&& other) noexcept;
    ContactStoreLock& operator=(ContactStoreLock&& other) noexcept;
    ContactStoreLock(const ContactStoreLock&) = delete;
    ContactStoreLock& operator=(const ContactStoreLock&) = delete;
    ~ContactStoreLock();

private:
    explicit ContactStoreLock(int descriptor) : fd_(descriptor) {}
    void release() noexcept;
    int fd_ = -1;
};

std::filesystem::path contactLockPath(const std::filesystem::path& database);

// The holder written in a lock file; empty when there is none or it is unreadable.
LockHolder readLockHolder(const std::filesystem::path& lockFile);

} // namespace wirtello
