#include "safe_file.h"

#include "confined_folder.h"
#include "descriptor_io.h"
#include "io_error.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <optional>
#include <system_error>

namespace wirtello {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
int openPlaced(const fs::path& path, FileAccess access, bool& missing)
{
    const int fd = _wopen(confinedPath(path, kReadFailed).c_str(), (access == FileAccess::Read ? _O_RDONLY : _O_RDWR) | _O_BINARY);
    missing = fd < 0 && errno == ENOENT;
    return fd;
}
bool isRegular(int fd, std::uintmax_t& size)
{
    struct _stat64 info {};
    if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)
        return false;
    size = static_cast<std::uintmax_t>(info.st_size);
    return true;
}
bool makeBlocking(int) { return true; }
long readSome(int fd, std::uint8_t* data, std::size_t size) { return _read(fd, data, static_cast<unsigned>(size)); }
void closeFile(int fd) { _close(fd); }
#else
// Reached from its held folder, without blocking: opening a pipe for reading
// would wait for a writer. A link swapped in for the last name after it was
// placed is refused by O_NOFOLLOW, and placed again.
int openPlaced(const fs::path& path, FileAccess access, bool& missing)
{
    const int mode = access == FileAccess::Read ? O_RDONLY : O_RDWR;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const PlacedName place = placeBeneath(path, kReadFailed);
        const int fd = ::openat(place.folder.get(), place.name.c_str(), mode | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        missing = fd < 0 && errno == ENOENT;
        if (fd >= 0 || errno != ELOOP)
            return fd;
    }
    return -1;
}
bool isRegular(int fd, std::uintmax_t& size)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    size = static_cast<std::uintmax_t>(info.st_size);
    return true;
}
bool makeBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags != -1 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != -1;
}
long readSome(int fd, std::uint8_t* data, std::size_t size) { return static_cast<long>(::read(fd, data, size)); }
void closeFile(int fd) { ::close(fd); }
#endif

} // namespace

bool namesNonRegularFile(const std::filesystem::path& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return fs::exists(status) && !fs::is_regular_file(status);
}

RegularFile::RegularFile(const std::filesystem::path& path, FileAccess access) : RegularFile(path, access, false) {}

RegularFile::RegularFile(const std::filesystem::path& path, FileAccess access, bool mayBeMissing) : path_(path)
{
    bool missing = false;
    fd_ = openPlaced(path, access, missing);
    if (fd_ < 0 && missing && mayBeMissing)
        return;
    if (fd_ < 0)
        throw IoError(access == FileAccess::ReadWrite && !missing ? kWriteFailed : kReadFailed, path);
    if (!isRegular(fd_, size_) || !makeBlocking(fd_)) {
        closeFile(fd_);
        throw IoError(kReadFailed, path);
    }
}

RegularFile::~RegularFile()
{
    if (fd_ >= 0)
        closeFile(fd_);
}

std::size_t RegularFile::read(std::span<std::uint8_t> buffer)
{
    std::size_t got = 0;
    while (got < buffer.size()) {
        const long n = readSome(fd_, buffer.data() + got, buffer.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw IoError(kReadFailed, path_);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

int RegularFile::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

std::string fileTooLargeText(std::uintmax_t maxBytes)
{
    const std::string limit = maxBytes % (1u << 20) == 0 ? std::to_string(maxBytes >> 20) + " MB"
                                                          : std::to_string(maxBytes >> 10) + " KB";
    return "Plik jest za duży (największy możliwy ma " + limit + ")";
}

namespace {

std::vector<std::uint8_t> readWhole(RegularFile& file, const std::filesystem::path& path, std::uintmax_t maxBytes,
                                    const std::string& tooLarge)
{
    const std::string refusal = tooLarge.empty() ? fileTooLargeText(maxBytes) : tooLarge;
    if (file.size() > maxBytes)
        throw IoError(refusal, path);
    constexpr std::size_t kChunk = 1 << 16;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(file.size()) + kChunk);
    // One byte past the limit tells a file that grew over it while read.
    for (;;) {
        const std::size_t room = static_cast<std::size_t>(std::min<std::uintmax_t>(kChunk, maxBytes + 1 - bytes.size()));
        const std::size_t start = bytes.size();
        bytes.resize(start + room);
        const std::size_t got = file.read(std::span(bytes).subspan(start, room));
        bytes.resize(start + got);
        if (bytes.size() > maxBytes)
            throw IoError(refusal, path);
        if (got < room)
            return bytes;
    }
}

} // namespace

std::vector<std::uint8_t> readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                          const std::string& tooLarge)
{
    RegularFile file(path, FileAccess::Read);
    return readWhole(file, path, maxBytes, tooLarge);
}

std::optional<std::vector<std::uint8_t>> readRegularFileIfPresent(const std::filesystem::path& path,
                                                                  std::uintmax_t maxBytes, const std::string& tooLarge)
{
    RegularFile file(path, FileAccess::Read, true);
    if (!file.present())
        return std::nullopt;
    return readWhole(file, path, maxBytes, tooLarge);
}

} // namespace wirtello
