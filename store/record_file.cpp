#include "record_file.h"

#include "descriptor_io.h"
#include "io_error.h"
#include "paths.h"
#include "safe_file.h"

#include <cerrno>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#endif

namespace wirtello {
namespace {

namespace fs = std::filesystem;

const char* const kReadOnly = "Nie można zapisać pliku tylko do odczytu";

const char* const kTemporarySuffix = ".tmp~";
constexpr std::size_t kRandomDigits = 16;

std::function<bool(RecordWriteStep)>& faultHook()
{
    static std::function<bool(RecordWriteStep)> hook;
    return hook;
}

bool proceed(RecordWriteStep step)
{
    if (faultHook() && !faultHook()(step)) {
        errno = EIO;
        return false;
    }
    return true;
}

#ifdef _WIN32
int currentProcessId() { return _getpid(); }
int openExclusive(const fs::path& path) { return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE); }
long writeSome(int fd, const std::uint8_t* data, std::size_t size) { return _write(fd, data, static_cast<unsigned>(size)); }
bool systemFlush(int fd) { return _commit(fd) == 0; }
bool closeFile(int fd) { return _close(fd) == 0; }
#else
int currentProcessId() { return static_cast<int>(::getpid()); }
int openExclusive(const fs::path& path, mode_t mode) { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode); }
long writeSome(int fd, const std::uint8_t* data, std::size_t size) { return static_cast<long>(::write(fd, data, size)); }
bool systemFlush(int fd) { return ::fsync(fd) == 0; }
bool closeFile(int fd) { return ::close(fd) == 0; }
#endif

// The flush of a temporary file's bytes, replaceable by tests.
std::function<bool(int)>& flushCall()
{
    static std::function<bool(int)> flush = systemFlush;
    return flush;
}

// Random hex digits, different in every process and every call.
std::string uniqueDigits()
{
    static std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), static_cast<unsigned>(currentProcessId()),
                           static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
        return std::mt19937_64(seed);
    }();
    static const char* const hex = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string digits(kRandomDigits, '0');
    for (std::size_t i = 0; i < kRandomDigits; ++i, value >>= 4)
        digits[i] = hex[value & 0xF];
    return digits;
}

// What the replacement must keep of an existing file.
struct ExistingFile {
    unsigned permissions = 0;
#ifndef _WIN32
    uid_t owner = 0;
    gid_t group = 0;
#endif
};

// Refuses to replace what the user protected; nothing there is a new file.
std::optional<ExistingFile> checkReplaceable(const fs::path& target, const fs::path& reported)
{
#ifdef _WIN32
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (!fs::exists(status))
        return std::nullopt;
    if (!fs::is_regular_file(status))
        throw IoError(kWriteFailed, reported);
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
        throw IoError(kReadOnly, reported);
    return ExistingFile{static_cast<unsigned>(status.permissions())};
#else
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw IoError(kWriteFailed, reported);
    }
    if (!S_ISREG(info.st_mode))
        throw IoError(kWriteFailed, reported);
    // The owner's write bit is the read-only mark; root passes access(2) but
    // must respect it too.
    if ((info.st_mode & S_IWUSR) == 0)
        throw IoError(kReadOnly, reported);
    if (::access(target.c_str(), W_OK) != 0)
        throw IoError(errno == EROFS ? kReadOnly : kWriteFailed, reported);
    return ExistingFile{static_cast<unsigned>(info.st_mode & 07777), info.st_uid, info.st_gid};
#endif
}

// A temporary file beside the target; removed unless renamed into place.
class TemporaryFile {
public:
    TemporaryFile(const fs::path& target, const std::optional<ExistingFile>& existing)
    {
        for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
            fs::path candidate = target;
            candidate += "." + uniqueDigits() + kTemporarySuffix;
            if (!proceed(RecordWriteStep::CreateTemporary))
                return;
#ifdef _WIN32
            (void)existing;
            fd_ = openExclusive(candidate);
#else
            // A replacement starts private and gets the old file's bits before it is renamed.
            fd_ = openExclusive(candidate, existing ? 0600 : 0666);
#endif
            if (fd_ >= 0)
                path_ = candidate;
            else if (errno != EEXIST)
                return;
        }
    }

    ~TemporaryFile()
    {
        if (fd_ >= 0)
            closeFile(fd_);
        if (!path_.empty() && !renamed_) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }

    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    bool write(std::span<const std::uint8_t> bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            if (!proceed(RecordWriteStep::WriteBytes))
                return false;
            const long written = writeSome(fd_, bytes.data() + done, bytes.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            done += static_cast<std::size_t>(written);
        }
        return proceed(RecordWriteStep::WriteBytes);
    }

    bool flush() { return proceed(RecordWriteStep::FlushBytes) && flushCall()(fd_); }

    bool takePermissionsOf(const std::optional<ExistingFile>& existing)
    {
        if (!proceed(RecordWriteStep::SetPermissions))
            return false;
#ifndef _WIN32
        if (existing) {
            // Root rewriting a user's file gives it back to that user; anyone
            // else cannot, and keeps the file as their own.
            struct stat own {};
            if (::fstat(fd_, &own) == 0 && (own.st_uid != existing->owner || own.st_gid != existing->group))
                (void)::fchown(fd_, existing->owner, existing->group);
            return ::fchmod(fd_, static_cast<mode_t>(existing->permissions)) == 0;
        }
#else
        (void)existing;
#endif
        return true;
    }

    bool close()
    {
        const bool allowed = proceed(RecordWriteStep::Close);
        const bool closed = closeFile(fd_);
        fd_ = -1;
        return allowed && closed;
    }

    bool renameOnto(const fs::path& target)
    {
        if (!proceed(RecordWriteStep::Rename))
            return false;
        std::error_code ec;
        fs::rename(path_, target, ec);
        renamed_ = !ec;
        return renamed_;
    }

private:
    fs::path path_;
    int fd_ = -1;
    bool renamed_ = false;
};

// Makes the rename itself durable. File systems that cannot flush a folder
// say so with EINVAL; that is no failure of ours.
bool flushFolder(const fs::path& folder)
{
    if (!proceed(RecordWriteStep::FlushFolder))
        return false;
#ifdef _WIN32
    (void)folder;
    return true;
#else
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true; // a folder we may write into but not read: nothing more can be done
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP || errno == EROFS;
    ::close(fd);
    return flushed;
#endif
}

} // namespace

std::filesystem::path temporaryPathFor(const std::filesystem::path& path)
{
    std::filesystem::path temp = path;
    temp += kTemporarySuffix;
    return temp;
}

void setRecordWriteFaultForTests(std::function<bool(RecordWriteStep)> proceedHook)
{
    faultHook() = std::move(proceedHook);
}

void setRecordFlushForTests(std::function<bool(int)> flush)
{
    flushCall() = flush ? std::move(flush) : systemFlush;
}

void readRecordInto(const std::filesystem::path& path, std::span<std::uint8_t> record)
{
    RegularFile file(path, FileAccess::Read);
    if (file.read(record) != record.size())
        throw IoError(kReadFailed, path);
}

std::vector<std::uint8_t> readRecord(const std::filesystem::path& path, std::size_t recordSize)
{
    std::vector<std::uint8_t> record(recordSize);
    readRecordInto(path, record);
    return record;
}

void writeRecord(const std::filesystem::path& path, std::span<const std::uint8_t> record)
{
    const fs::path target = confinedPath(path, kWriteFailed);
    const std::optional<ExistingFile> existing = checkReplaceable(target, path);
    TemporaryFile temp(target, existing);
    if (!temp.isOpen() || !temp.write(record) || !temp.flush() || !temp.takePermissionsOf(existing) || !temp.close()
        || !temp.renameOnto(target))
        throw IoError(kWriteFailed, path);
    if (!flushFolder(target.parent_path()))
        throw IoError(kWriteFailed, path);
}

void createZeroRecordIfMissing(const std::filesystem::path& path, std::size_t recordSize)
{
    if (fileExists(path))
        return;
    const std::vector<std::uint8_t> zeros(recordSize, 0);
    writeRecord(path, zeros);
}

bool isTemporaryFileName(const std::filesystem::path& name)
{
    // "<name>.<16 hex digits>.tmp~", or the single "<name>.tmp~" of earlier versions.
    const std::string text = name.filename().string();
    const std::string_view suffix = kTemporarySuffix;
    return text.size() > suffix.size() && text.ends_with(suffix);
}

std::size_t removeStaleTemporaryFiles(const std::filesystem::path& folder, std::chrono::seconds minimumAge)
{
    std::size_t removed = 0;
    std::error_code ec;
    fs::directory_iterator entries(folder, ec);
    if (ec)
        return 0;
    const auto now = fs::file_time_type::clock::now();
    for (const fs::directory_entry& entry : entries) {
        std::error_code entryError;
        if (!isTemporaryFileName(entry.path()) || !entry.is_regular_file(entryError) || entry.is_symlink(entryError))
            continue;
        const auto written = entry.last_write_time(entryError);
        if (entryError || now - written < minimumAge)
            continue;
        if (fs::remove(entry.path(), entryError))
            ++removed;
    }
    return removed;
}

} // namespace wirtello
