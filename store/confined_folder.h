#pragma once

// Files reached from a held folder descriptor. A folder tree registered with
// trustFolderTree (store/safe_file.h) is opened once; every file below it is
// reached from that descriptor one name at a time, never through a link the
// walk did not read itself, and a link is followed only while it stays in the
// tree. So what is checked is what is acted on: a folder swapped for a link
// between the check and the write cannot lead a write out of the tree.
// Paths outside every registered tree are reached as the system resolves them.
//
// Every failure raises IoError(operation, path) with the path as given.

#include <cstdint>
#include <filesystem>
#include <string>

#include <sys/types.h>

namespace wirtello {

// An open descriptor, closed when destroyed.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Hands the descriptor over to the caller, who closes it.
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// The folder `folder` names, opened (O_DIRECTORY). Missing components are
// created (0777 less the umask) when `createMissing`, but only inside the tree.
FileDescriptor openFolderBeneath(const std::filesystem::path& folder, const std::string& operation,
                                 bool createMissing = false);

// Where a file lives: its holding folder, held open, and its last name there.
// Links of the last name are resolved inside the tree: `name` is no link when
// the walk ended (a dangling link leads to the name it would create).
// `reported` is the path as given, for messages.
struct PlacedName {
    FileDescriptor folder;
    std::string name;
    std::filesystem::path reported;
};

PlacedName placeBeneath(const std::filesystem::path& path, const std::string& operation);

// openat(2) of the placed name with `flags` (O_NOFOLLOW and O_CLOEXEC added).
FileDescriptor openFileBeneath(const std::filesystem::path& path, int flags, mode_t mode,
                               const std::string& operation);

// As openFileBeneath, but an invalid descriptor when the last name does not
// exist (and O_CREAT is not among `flags`); any other failure raises IoError.
FileDescriptor openFileBeneathIfExists(const std::filesystem::path& path, int flags, mode_t mode,
                                       const std::string& operation);

// "/proc/self/fd/N" of a held folder: for libraries that take only paths, so
// that they act on the folder that was checked and not on whatever its name
// leads to by then. Valid while `folder` is open.
std::filesystem::path heldFolderPath(const FileDescriptor& folder);

// The real path of a held folder (for messages and comparisons).
std::filesystem::path realFolderPath(const FileDescriptor& folder);

// Renames `from` to `to`, both placed beneath their trees; with `noReplace`
// an existing `to` is left alone and the call returns false.
bool renameBeneath(const std::filesystem::path& from, const std::filesystem::path& to, bool noReplace,
                   const std::string& operation);

// Removes the file `path` names (a link there is removed, not its target)
// from its folder reached inside the tree. False when nothing was removed:
// no such file, a folder in its place, or a folder on the way leading out.
bool removeFileBeneath(const std::filesystem::path& path) noexcept;

} // namespace wirtello
