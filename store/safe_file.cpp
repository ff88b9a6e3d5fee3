#include "safe_file.h"

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

constexpr int kLinkDepthLimit = 40;

// Absolute and lexically normal, without a trailing separator.
fs::path normalFolder(const fs::path& folder)
{
    std::error_code ec;
    fs::path normal = fs::absolute(folder, ec).lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path())
        normal = normal.parent_path();
    return normal;
}

bool isWithin(const fs::path& path, const fs::path& folder)
{
    auto part = path.begin();
    for (const fs::path& name : folder) {
        if (part == path.end() || *part != name)
            return false;
        ++part;
    }
    return true;
}

struct Trees {
    std::mutex mutex;
    std::vector<fs::path> folders;
};

Trees& trees()
{
    static Trees registered;
    return registered;
}

// The most specific registered tree that `path` lies in as written.
std::optional<fs::path> treeOf(const fs::path& path)
{
    const fs::path normal = normalFolder(path);
    std::lock_guard lock(trees().mutex);
    std::optional<fs::path> found;
    for (const fs::path& folder : trees().folders) {
        if (isWithin(normal, folder) && (!found || std::distance(folder.begin(), folder.end())
                                                       > std::distance(found->begin(), found->end())))
            found = folder;
    }
    return found;
}

#ifdef _WIN32
int openNoFollow(const fs::path& path, FileAccess access)
{
    return _wopen(path.c_str(), (access == FileAccess::Read ? _O_RDONLY : _O_RDWR) | _O_BINARY);
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
// Without blocking: opening a pipe for reading would wait for a writer.
int openNoFollow(const fs::path& path, FileAccess access)
{
    const int mode = access == FileAccess::Read ? O_RDONLY : O_RDWR;
    return ::open(path.c_str(), mode | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
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

std::filesystem::path trustFolderTree(std::filesystem::path folder)
{
    const fs::path normal = normalFolder(folder);
    std::lock_guard lock(trees().mutex);
    if (std::find(trees().folders.begin(), trees().folders.end(), normal) == trees().folders.end())
        trees().folders.push_back(normal);
    return folder;
}

std::filesystem::path confinedPath(const std::filesystem::path& path, const std::string& operation)
{
    // The links of the last name are followed one by one, so a dangling one
    // leads to the name it would create; folders on the way resolve below.
    std::error_code ec;
    fs::path target = path;
    for (int depth = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++depth) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec || depth == kLinkDepthLimit)
            throw IoError(operation, path);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    const fs::path real = fs::weakly_canonical(target, ec);
    if (ec)
        throw IoError(operation, path);
    if (const std::optional<fs::path> tree = treeOf(path)) {
        const fs::path realTree = fs::canonical(*tree, ec);
        if (ec || !isWithin(real, realTree))
            throw IoError(operation, path);
    }
    return real;
}

bool namesNonRegularFile(const std::filesystem::path& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return fs::exists(status) && !fs::is_regular_file(status);
}

RegularFile::RegularFile(const std::filesystem::path& path, FileAccess access) : path_(path)
{
    const fs::path real = confinedPath(path, kReadFailed);
    fd_ = openNoFollow(real, access);
    if (fd_ < 0)
        throw IoError(access == FileAccess::ReadWrite && errno != ENOENT ? kWriteFailed : kReadFailed, path);
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

std::vector<std::uint8_t> readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                          const std::string& tooLarge)
{
    RegularFile file(path, FileAccess::Read);
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

} // namespace wirtello
