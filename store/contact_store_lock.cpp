#include "contact_store_lock.h"

#include "safe_file.h"

#ifndef _WIN32
#include "confined_folder.h"
#endif

#include <algorithm>
#include <cerrno>
#include <thread>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace wirtello {
namespace {

namespace fs = std::filesystem;

// The locked byte lies far past the holder's few bytes: a server that
// enforces byte-range locks still lets the waiting copy read who holds it.
constexpr long long kLockedByte = 1LL << 30;
constexpr std::size_t kHolderLimit = 256;
constexpr std::size_t kComputerNameLimit = 64;

enum class Locked { Yes, Taken };

#ifdef _WIN32
int openLockFile(const fs::path& path)
{
    int fd = -1;
    const fs::path real = confinedPath(path, kLockFileFailed);
    if (_wsopen_s(&fd, real.c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0)
        return -1;
    return fd;
}
bool isRegularFile(int fd)
{
    struct _stat64 info {};
    return _fstat64(fd, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
}
std::optional<Locked> lockByte(int fd)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(kLockedByte & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>(kLockedByte >> 32);
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return Locked::Yes;
    if (GetLastError() == ERROR_LOCK_VIOLATION)
        return Locked::Taken;
    return std::nullopt;
}
void writeHolder(int fd, const std::string& text)
{
    if (_chsize_s(fd, 0) == 0 && _lseek(fd, 0, SEEK_SET) == 0)
        (void)_write(fd, text.data(), static_cast<unsigned>(text.size()));
}
void clearHolder(int fd) { (void)_chsize_s(fd, 0); }
void closeLockFile(int fd) { _close(fd); }
std::string computerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}
long processId() { return static_cast<long>(_getpid()); }
#else
int openLockFile(const fs::path& path)
{
    // Reached from the held program folder, never through a link leading
    // out, never waiting on a pipe.
    return openFileBeneath(path, O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY, 0644, kLockFileFailed).release();
}
bool isRegularFile(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}
std::optional<Locked> lockByte(int fd)
{
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(kLockedByte);
    range.l_len = 1;
    // A lock of the open file rather than of the process, so two books in one
    // process exclude each other too; older kernels have only the process lock.
    int result = -1;
#ifdef F_OFD_SETLK
    result = ::fcntl(fd, F_OFD_SETLK, &range);
    if (result != 0 && errno == EINVAL) {
        range.l_pid = 0;
        result = ::fcntl(fd, F_SETLK, &range);
    }
#else
    result = ::fcntl(fd, F_SETLK, &range);
#endif
    if (result == 0)
        return Locked::Yes;
    if (errno == EAGAIN || errno == EACCES)
        return Locked::Taken;
    // A file server that keeps no locks: the merge by contact id is all there is.
    if (errno == ENOLCK || errno == EOPNOTSUPP)
        return Locked::Yes;
    return std::nullopt;
}
void writeHolder(int fd, const std::string& text)
{
    if (::ftruncate(fd, 0) == 0)
        (void)::pwrite(fd, text.data(), text.size(), 0);
}
void clearHolder(int fd) { (void)::ftruncate(fd, 0); }
void closeLockFile(int fd) { ::close(fd); }
std::string computerName()
{
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? std::string(name) : std::string();
}
long processId() { return static_cast<long>(::getpid()); }
#endif

// Only printable ASCII of a computer name reaches the message.
std::string printable(std::string text)
{
    std::erase_if(text, [](char c) { return c < 0x20 || c > 0x7E; });
    return text.substr(0, kComputerNameLimit);
}

} // namespace

ContactStoreBusy::ContactStoreBusy(const std::filesystem::path& database, LockHolder holder)
    : IoError(contactStoreBusyText(holder), database), holder_(std::move(holder))
{
}

std::string contactStoreBusyText(const LockHolder& holder)
{
    std::string who;
    if (!holder.computer.empty())
        who += "komputer „" + holder.computer + "”";
    if (holder.pid > 0)
        who += (who.empty() ? "" : ", ") + std::string("proces ") + std::to_string(holder.pid);
    return "Bazę kontaktów zapisuje teraz inna kopia programu" + (who.empty() ? std::string() : " (" + who + ")")
        + ". Nic nie zostało zapisane, a kontakty w tym oknie pozostają bez zmian; spróbuj ponownie za chwilę";
}

std::filesystem::path contactLockPath(const std::filesystem::path& database)
{
    return database.string() + ".lock";
}

LockHolder readLockHolder(const std::filesystem::path& lockFile)
{
    std::vector<std::uint8_t> bytes;
    try {
        bytes = readRegularFile(lockFile, kHolderLimit);
    } catch (const IoError&) {
        return {};
    }
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t end = text.find('\n');
    if (end == std::string::npos)
        return {};
    LockHolder holder{printable(text.substr(0, end)), 0};
    const std::string pid = text.substr(end + 1, text.find('\n', end + 1) - end - 1);
    if (!pid.empty() && pid.size() <= 10 && std::ranges::all_of(pid, [](char c) { return c >= '0' && c <= '9'; }))
        holder.pid = std::stol(pid);
    return holder;
}

std::optional<ContactStoreLock> ContactStoreLock::tryTake(const std::filesystem::path& database)
{
    const fs::path lockFile = contactLockPath(database);
    int fd = openLockFile(lockFile);
    if (fd >= 0 && !isRegularFile(fd)) {
        closeLockFile(fd);
        fd = -1;
    }
    if (fd < 0)
        throw IoError(kLockFileFailed, lockFile);
    const std::optional<Locked> locked = lockByte(fd);
    if (locked != Locked::Yes) {
        closeLockFile(fd);
        if (locked == Locked::Taken)
            return std::nullopt;
        throw IoError(kLockFileFailed, lockFile);
    }
    writeHolder(fd, printable(computerName()) + '\n' + std::to_string(processId()) + '\n');
    return ContactStoreLock(fd);
}

ContactStoreLock ContactStoreLock::take(const std::filesystem::path& database, const LockWait& wait)
{
    if (std::optional<ContactStoreLock> lock = tryTake(database))
        return std::move(*lock);
    if (wait.waiting)
        wait.waiting(true);
    // The wait ends however the tries end, also by an exception.
    struct WaitEnd {
        const LockWait& wait;
        ~WaitEnd()
        {
            if (wait.waiting)
                wait.waiting(false);
        }
    } end{wait};
    for (int retry = 0; retry < wait.retries; ++retry) {
        if (wait.pause)
            wait.pause();
        else
            std::this_thread::sleep_for(wait.interval);
        if (std::optional<ContactStoreLock> lock = tryTake(database))
            return std::move(*lock);
    }
    throw ContactStoreBusy(database, readLockHolder(contactLockPath(database)));
}

ContactStoreLock::ContactStoreLock(ContactStoreLock&& other) noexcept : fd_(other.fd_)
{
    other.fd_ = -1;
}

ContactStoreLock& ContactStoreLock::operator=(ContactStoreLock&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

ContactStoreLock::~ContactStoreLock()
{
    release();
}

void ContactStoreLock::release() noexcept
{
    if (fd_ < 0)
        return;
    // The holder is wiped while still held; closing lets the lock go.
    clearHolder(fd_);
    closeLockFile(fd_);
    fd_ = -1;
}

} // namespace wirtello
