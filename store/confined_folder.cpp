#include "confined_folder.h"

#include "descriptor_io.h"
#include "io_error.h"
#include "safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio> // renameat2
#include <deque>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

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

// The part of `path` below `folder`, when `path` lies in it as written.
std::optional<fs::path> below(const fs::path& path, const fs::path& folder)
{
    if (folder.empty())
        return std::nullopt;
    auto part = path.begin();
    for (const fs::path& name : folder) {
        if (part == path.end() || *part != name)
            return std::nullopt;
        ++part;
    }
    fs::path rest;
    for (; part != path.end(); ++part)
        rest /= *part;
    return rest;
}

#ifndef _WIN32
int openFolderAt(int at, const char* name)
{
    int fd = ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // A folder we may pass through but not list is still a folder on the way.
    if (fd < 0 && errno == EACCES)
        fd = ::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return fd;
}

int openFolderByPath(const fs::path& folder)
{
    const char* name = folder.empty() ? "." : folder.c_str();
    int fd = ::open(name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)
        fd = ::open(name, O_PATH | O_DIRECTORY | O_CLOEXEC);
    return fd;
}

bool isRemoved(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) != 0 || info.st_nlink == 0;
}

// A registered folder tree and the descriptor it is reached from.
struct Tree {
    fs::path folder; // as registered, normal
    fs::path real;   // its real path when it was opened
    int fd = -1;
};

struct Trees {
    std::mutex mutex;
    std::vector<Tree> list;
};

Trees& trees()
{
    static Trees registered;
    return registered;
}

void openTree(Tree& tree)
{
    if (tree.fd >= 0)
        ::close(tree.fd);
    tree.fd = openFolderByPath(tree.folder);
    std::error_code ec;
    tree.real = tree.fd >= 0 ? fs::canonical(tree.folder, ec) : fs::path();
}

// Where a walk below a tree starts: the tree's descriptor (a copy of it) and
// what is left of the path.
struct Start {
    FileDescriptor root;
    fs::path folder;
    fs::path real;
    fs::path relative;
};

// The most specific registered tree that `path` lies in as written, or nothing.
std::optional<Start> startOf(const fs::path& path, const fs::path& reported, const std::string& operation)
{
    const fs::path normal = normalFolder(path);
    std::lock_guard lock(trees().mutex);
    Tree* found = nullptr;
    fs::path relative;
    std::ptrdiff_t length = -1;
    for (Tree& tree : trees().list) {
        for (const fs::path* folder : {&tree.folder, &tree.real}) {
            const std::optional<fs::path> rest = below(normal, *folder);
            const std::ptrdiff_t size = std::distance(folder->begin(), folder->end());
            if (rest && size > length) {
                found = &tree;
                relative = *rest;
                length = size;
            }
        }
    }
    if (found == nullptr)
        return std::nullopt;
    // A tree removed since (a test's folder made again) is opened anew.
    if (found->fd < 0 || isRemoved(found->fd))
        openTree(*found);
    if (found->fd < 0)
        throw IoError(operation, reported);
    const int copy = ::fcntl(found->fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        throw IoError(operation, reported);
    return Start{FileDescriptor(copy), found->folder, found->real, relative};
}

// One walk below a tree, name by name from its descriptor. Links are read and
// followed here, never by the system, and only while they stay in the tree.
class Walk {
public:
    Walk(Start start, const fs::path& reported, const std::string& operation)
        : folder_(std::move(start.folder)), real_(std::move(start.real)), reported_(reported), operation_(operation)
    {
        stack_.push_back(std::move(start.root));
        prepend(start.relative);
    }

    // The folder the whole path names.
    FileDescriptor folder(bool createMissing)
    {
        while (!rest_.empty()) {
            std::string name = takeNext();
            if (!name.empty())
                descend(name, createMissing);
        }
        return std::move(stack_.back());
    }

    // The folder holding the last name, and that name with its links resolved.
    PlacedName place()
    {
        while (!rest_.empty()) {
            std::string name = takeNext();
            if (name.empty())
                continue;
            if (!rest_.empty()) {
                descend(name, false);
                continue;
            }
            struct stat info {};
            if (::fstatat(top(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
                follow(name);
                continue;
            }
            return PlacedName{std::move(stack_.back()), std::move(name), reported_};
        }
        fail(); // the path ends in a folder, not a name
    }

private:
    [[noreturn]] void fail() const { throw IoError(operation_, reported_); }

    int top() const { return stack_.back().get(); }

    void prepend(const fs::path& relative)
    {
        std::vector<std::string> names;
        for (const fs::path& part : relative)
            names.push_back(part.string());
        rest_.insert(rest_.begin(), names.begin(), names.end());
    }

    // The next name to enter; "." and ".." are dealt with here (empty result).
    std::string takeNext()
    {
        std::string name = std::move(rest_.front());
        rest_.pop_front();
        if (name.empty() || name == "." || name == "/")
            return {};
        if (name == "..") {
            if (stack_.size() == 1)
                fail(); // above the tree
            stack_.pop_back();
            return {};
        }
        return name;
    }

    void descend(const std::string& name, bool createMissing)
    {
        for (int attempt = 0;; ++attempt) {
            const int fd = openFolderAt(top(), name.c_str());
            if (fd >= 0) {
                stack_.emplace_back(fd);
                return;
            }
            const int reason = errno;
            if (reason == ELOOP || reason == ENOTDIR) {
                struct stat info {};
                if (::fstatat(top(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
                    follow(name);
                    return;
                }
                if (attempt < 8 && ::fstatat(top(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0
                    && S_ISDIR(info.st_mode))
                    continue; // swapped back while we looked
                fail();
            }
            if (reason == ENOENT && createMissing && attempt < 8) {
                if (::mkdirat(top(), name.c_str(), 0777) == 0 || errno == EEXIST)
                    continue;
            }
            fail();
        }
    }

    // Replaces the link `name` in the current folder by what it says.
    void follow(const std::string& name)
    {
        if (++links_ > kLinkDepthLimit)
            fail();
        std::vector<char> target(4096);
        const ssize_t length = ::readlinkat(top(), name.c_str(), target.data(), target.size());
        if (length < 0 && errno == EINVAL) {
            rest_.push_front(name); // no longer a link: look again
            return;
        }
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
            fail();
        const fs::path to(std::string(target.data(), static_cast<std::size_t>(length)));
        if (to.is_absolute()) {
            const fs::path normal = to.lexically_normal();
            std::optional<fs::path> rest = below(normal, folder_);
            if (!rest)
                rest = below(normal, real_);
            if (!rest)
                fail(); // leads out of the tree
            stack_.resize(1);
            prepend(*rest);
        } else {
            prepend(to);
        }
    }

    fs::path folder_;
    fs::path real_;
    const fs::path& reported_;
    const std::string& operation_;
    std::vector<FileDescriptor> stack_;
    std::deque<std::string> rest_;
    int links_ = 0;
};

// Outside every tree: the last name's links followed one by one (a dangling
// one leads to the name it would create), the folders on the way as the
// system resolves them.
fs::path lastLinksResolved(const fs::path& path, const std::string& operation)
{
    std::error_code ec;
    fs::path target = path;
    for (int depth = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++depth) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec || depth == kLinkDepthLimit)
            throw IoError(operation, path);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

PlacedName placeUnconfined(const fs::path& path, const std::string& operation)
{
    const fs::path target = lastLinksResolved(path, operation).lexically_normal();
    const fs::path name = target.filename();
    if (name.empty() || name == "." || name == "..")
        throw IoError(operation, path);
    const int fd = openFolderByPath(target.parent_path());
    if (fd < 0)
        throw IoError(operation, path);
    return PlacedName{FileDescriptor(fd), name.string(), path};
}
#endif

} // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

void FileDescriptor::reset(int fd)
{
#ifdef _WIN32
    if (fd_ >= 0)
        _close(fd_);
#else
    if (fd_ >= 0)
        ::close(fd_);
#endif
    fd_ = fd;
}

#ifndef _WIN32

std::filesystem::path trustFolderTree(std::filesystem::path folder)
{
    const fs::path normal = normalFolder(folder);
    std::lock_guard lock(trees().mutex);
    // Descriptors of trees removed since are let go, so a run that makes many
    // folders does not run out of descriptors.
    for (Tree& tree : trees().list)
        if (tree.fd >= 0 && isRemoved(tree.fd)) {
            ::close(tree.fd);
            tree.fd = -1;
        }
    auto found = std::find_if(trees().list.begin(), trees().list.end(),
                              [&](const Tree& tree) { return tree.folder == normal; });
    if (found == trees().list.end()) {
        trees().list.push_back(Tree{normal, {}, -1});
        found = trees().list.end() - 1;
    }
    openTree(*found);
    return folder;
}

FileDescriptor openFolderBeneath(const std::filesystem::path& folder, const std::string& operation,
                                 bool createMissing)
{
    if (std::optional<Start> start = startOf(folder, folder, operation))
        return Walk(std::move(*start), folder, operation).folder(createMissing);
    if (createMissing) {
        std::error_code ec;
        fs::create_directories(folder, ec);
    }
    const int fd = openFolderByPath(folder);
    if (fd < 0)
        throw IoError(operation, folder);
    return FileDescriptor(fd);
}

PlacedName placeBeneath(const std::filesystem::path& path, const std::string& operation)
{
    if (std::optional<Start> start = startOf(path, path, operation))
        return Walk(std::move(*start), path, operation).place();
    return placeUnconfined(path, operation);
}

FileDescriptor openFileBeneathIfExists(const std::filesystem::path& path, int flags, mode_t mode,
                                       const std::string& operation)
{
    // A link swapped in for the last name after it was placed is refused by
    // O_NOFOLLOW; the placing is tried again then.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const PlacedName place = placeBeneath(path, operation);
        const int fd = ::openat(place.folder.get(), place.name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0)
            return FileDescriptor(fd);
        if (errno == ENOENT && (flags & O_CREAT) == 0)
            return {};
        if (errno != ELOOP)
            break;
    }
    throw IoError(operation, path);
}

FileDescriptor openFileBeneath(const std::filesystem::path& path, int flags, mode_t mode,
                               const std::string& operation)
{
    FileDescriptor fd = openFileBeneathIfExists(path, flags, mode, operation);
    if (!fd.valid())
        throw IoError(operation, path);
    return fd;
}

std::filesystem::path heldFolderPath(const FileDescriptor& folder)
{
    return "/proc/self/fd/" + std::to_string(folder.get());
}

std::filesystem::path realFolderPath(const FileDescriptor& folder)
{
    std::error_code ec;
    fs::path real = fs::read_symlink(heldFolderPath(folder), ec);
    return ec ? fs::path() : real;
}

bool renameBeneath(const std::filesystem::path& from, const std::filesystem::path& to, bool noReplace,
                   const std::string& operation)
{
    // The names themselves are renamed, as rename(2) does: a link is moved, not its target.
    const fs::path fromName = from.filename();
    const fs::path toName = to.filename();
    if (fromName.empty() || toName.empty())
        throw IoError(operation, from);
    FileDescriptor fromFolder;
    FileDescriptor toFolder;
    try {
        fromFolder = openFolderBeneath(from.parent_path(), operation);
        toFolder = openFolderBeneath(to.parent_path(), operation);
    } catch (const IoError&) {
        throw IoError(operation, from);
    }
    if (!noReplace) {
        if (::renameat(fromFolder.get(), fromName.c_str(), toFolder.get(), toName.c_str()) != 0)
            throw IoError(operation, from);
        return true;
    }
    if (::renameat2(fromFolder.get(), fromName.c_str(), toFolder.get(), toName.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        throw IoError(operation, from);
    // A file system that cannot refuse a replacement: look first.
    struct stat info {};
    if (::fstatat(toFolder.get(), toName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        return false;
    if (::renameat(fromFolder.get(), fromName.c_str(), toFolder.get(), toName.c_str()) != 0)
        throw IoError(operation, from);
    return true;
}

bool removeFileBeneath(const std::filesystem::path& path) noexcept
{
    try {
        const fs::path name = path.filename();
        const FileDescriptor folder = openFolderBeneath(path.parent_path(), kWriteFailed);
        struct stat info {};
        if (name.empty() || ::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0
            || S_ISDIR(info.st_mode))
            return false;
        return ::unlinkat(folder.get(), name.c_str(), 0) == 0;
    } catch (...) {
        return false;
    }
}

std::filesystem::path confinedPath(const std::filesystem::path& path, const std::string& operation)
{
    if (std::optional<Start> start = startOf(path, path, operation)) {
        const PlacedName place = Walk(std::move(*start), path, operation).place();
        const fs::path folder = realFolderPath(place.folder);
        if (folder.empty())
            throw IoError(operation, path);
        return folder / place.name;
    }
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(lastLinksResolved(path, operation), ec);
    if (ec)
        throw IoError(operation, path);
    return real;
}

#else

// Windows keeps to paths: the checks of confinedPath, then the path.

std::filesystem::path trustFolderTree(std::filesystem::path folder)
{
    return folder;
}

std::filesystem::path confinedPath(const std::filesystem::path& path, const std::string& operation)
{
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(path, ec);
    if (ec)
        throw IoError(operation, path);
    return real;
}

FileDescriptor openFolderBeneath(const std::filesystem::path& folder, const std::string& operation, bool createMissing)
{
    std::error_code ec;
    if (createMissing)
        fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
        throw IoError(operation, folder);
    return {};
}

PlacedName placeBeneath(const std::filesystem::path& path, const std::string& operation)
{
    const fs::path real = confinedPath(path, operation);
    return PlacedName{{}, real.filename().string(), path};
}

FileDescriptor openFileBeneathIfExists(const std::filesystem::path& path, int flags, mode_t mode,
                                       const std::string& operation)
{
    const int fd = _wopen(confinedPath(path, operation).c_str(), flags | _O_BINARY, mode);
    if (fd < 0 && errno == ENOENT && (flags & _O_CREAT) == 0)
        return {};
    if (fd < 0)
        throw IoError(operation, path);
    return FileDescriptor(fd);
}

FileDescriptor openFileBeneath(const std::filesystem::path& path, int flags, mode_t mode,
                               const std::string& operation)
{
    FileDescriptor fd = openFileBeneathIfExists(path, flags, mode, operation);
    if (!fd.valid())
        throw IoError(operation, path);
    return fd;
}

std::filesystem::path heldFolderPath(const FileDescriptor&)
{
    return {};
}

std::filesystem::path realFolderPath(const FileDescriptor&)
{
    return {};
}

bool renameBeneath(const std::filesystem::path& from, const std::filesystem::path& to, bool noReplace,
                   const std::string& operation)
{
    std::error_code ec;
    if (noReplace && fs::exists(fs::symlink_status(to, ec)))
        return false;
    fs::rename(from, to, ec);
    if (ec)
        throw IoError(operation, from);
    return true;
}

bool removeFileBeneath(const std::filesystem::path& path) noexcept
{
    std::error_code ec;
    return !fs::is_directory(fs::symlink_status(path, ec)) && fs::remove(path, ec);
}

#endif

} // namespace wirtello
