#include "record_file.h"

#include "confined_folder.h"
#include "descriptor_io.h"
#include "io_error.h"
#include "paths.h"
#include "safe_file.h"

#include <cerrno>
#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <dirent.h>
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
long writeSome(int fd, const std::uint8_t* data, std::size_t size) { return _write(fd, data, static_cast<unsigned>(size)); }
bool systemFlush(int fd) { return _commit(fd) == 0; }
bool closeFile(int fd) { return _close(fd) == 0; }
#else
int currentProcessId() { return static_cast<int>(::getpid()); }
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
std::optional<ExistingFile> checkReplaceable(const PlacedName& place)
{
#ifdef _WIN32
    const fs::path target = confinedPath(place.reported, kWriteFailed);
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (!fs::exists(status))
        return std::nullopt;
    if (!fs::is_regular_file(status))
        throw IoError(kWriteFailed, place.reported);
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
        throw IoError(kReadOnly, place.reported);
    return ExistingFile{static_cast<unsigned>(status.permissions())};
#else
    struct stat info {};
    if (::fstatat(place.folder.get(), place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw IoError(kWriteFailed, place.reported);
    }
    if (!S_ISREG(info.st_mode))
        throw IoError(kWriteFailed, place.reported);
    // The owner's write bit is the read-only mark; root passes access(2) but
    // must respect it too.
    if ((info.st_mode & S_IWUSR) == 0)
        throw IoError(kReadOnly, place.reported);
    // Not a link (seen just above), so the plain call serves; it needs no newer system call.
    if (::faccessat(place.folder.get(), place.name.c_str(), W_OK, 0) != 0)
        throw IoError(errno == EROFS ? kReadOnly : kWriteFailed, place.reported);
    return ExistingFile{static_cast<unsigned>(info.st_mode & 07777), info.st_uid, info.st_gid};
#endif
}

// A temporary file beside the target, in the same held folder; removed
// unless renamed into place.
class TemporaryFile {
public:
    TemporaryFile(const PlacedName& place, const std::optional<ExistingFile>& existing) : place_(place)
    {
        for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
            const std::string candidate = place.name + "." + uniqueDigits() + kTemporarySuffix;
            if (!proceed(RecordWriteStep::CreateTemporary))
                return;
#ifdef _WIN32
            (void)existing;
            const fs::path path = confinedPath(place.reported, kWriteFailed).parent_path() / candidate;
            fd_ = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
            // A replacement starts private and gets the old file's bits before it is renamed.
            fd_ = ::openat(place.folder.get(), candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           existing ? 0600 : 0666);
#endif
            if (fd_ >= 0)
                name_ = candidate;
            else if (errno != EEXIST)
                return;
        }
    }

    ~TemporaryFile()
    {
        if (fd_ >= 0)
            closeFile(fd_);
        if (!name_.empty() && !renamed_) {
#ifdef _WIN32
            std::error_code ignored;
            fs::remove(confinedPath(place_.reported, kWriteFailed).parent_path() / name_, ignored);
#else
            ::unlinkat(place_.folder.get(), name_.c_str(), 0);
#endif
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

    // Renamed within the held folder: whatever the folder's name leads to by
    // now, the file lands where it was checked.
    bool renameIntoPlace()
    {
        if (!proceed(RecordWriteStep::Rename))
            return false;
#ifdef _WIN32
        const fs::path folder = confinedPath(place_.reported, kWriteFailed).parent_path();
        std::error_code ec;
        fs::rename(folder / name_, folder / place_.name, ec);
        renamed_ = !ec;
#else
        renamed_ = ::renameat(place_.folder.get(), name_.c_str(), place_.folder.get(), place_.name.c_str()) == 0;
#endif
        return renamed_;
    }

private:
    const PlacedName& place_;
    std::string name_;
    int fd_ = -1;
    bool renamed_ = false;
};

// Makes the rename itself durable. File systems that cannot flush a folder
// say so with EINVAL; that is no failure of ours.
bool flushFolder(const PlacedName& place)
{
    if (!proceed(RecordWriteStep::FlushFolder))
        return false;
#ifdef _WIN32
    (void)place;
    return true;
#else
    // A folder held only for passing through (O_PATH) cannot be flushed: nothing more can be done.
    const int flags = ::fcntl(place.folder.get(), F_GETFL);
    if (flags != -1 && (flags & O_PATH) != 0)
        return true;
    return ::fsync(place.folder.get()) == 0 || errno == EINVAL || errno == ENOTSUP || errno == EROFS
           || errno == EBADF;
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
    const PlacedName place = placeBeneath(path, kWriteFailed);
    const std::optional<ExistingFile> existing = checkReplaceable(place);
    {
        TemporaryFile temp(place, existing);
        if (!temp.isOpen() || !temp.write(record) || !temp.flush() || !temp.takePermissionsOf(existing)
            || !temp.close() || !temp.renameIntoPlace())
            throw IoError(kWriteFailed, path);
    }
    if (!flushFolder(place))
        throw IoError(kWriteFailed, path);
}

void copyFileBeneath(const std::filesystem::path& from, const std::filesystem::path& to, std::uintmax_t maxBytes)
{
    writeRecord(to, readRegularFile(from, maxBytes));
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
#ifdef _WIN32
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
#else
    // Listed and removed within the folder held open, so a folder swapped for
    // a link meanwhile never has files removed elsewhere.
    int listed = -1;
    try {
        const FileDescriptor held = openFolderBeneath(folder, kReadFailed);
        listed = ::openat(held.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } catch (const IoError&) {
        return 0;
    }
    if (listed < 0)
        return 0;
    DIR* entries = ::fdopendir(listed);
    if (entries == nullptr) {
        ::close(listed);
        return 0;
    }
    const std::time_t now = std::time(nullptr);
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(entries)) {
        if (!isTemporaryFileName(entry->d_name))
            continue;
        struct stat info {};
        if (::fstatat(listed, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (now - info.st_mtime < minimumAge.count())
            continue;
        if (::unlinkat(listed, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(entries);
    return removed;
#endif
}

} // namespace wirtello
