#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wirtello {

// How files are reached. The program folder and each selected data folder are
// registered as folder trees. A symbolic link found below one (the file itself
// or a folder on the way) is followed only while its target stays inside that
// tree, so no user of a shared folder can point another user's reads and
// writes at files elsewhere. A dangling link leads to the name it would
// create, so it too is refused when that lies outside. What is read must be a
// regular file: a pipe, device or socket in its place is refused, never
// waited on.

// Registers `folder` as a folder tree and returns it as given. The folder is
// opened once and every file below it is reached from that descriptor
// (store/confined_folder.h); registering it again opens it again.
std::filesystem::path trustFolderTree(std::filesystem::path folder);

// The file `path` names with every link resolved. A loop of links, and a path
// below a registered tree that resolves outside it, raise IoError(operation, path).
std::filesystem::path confinedPath(const std::filesystem::path& path, const std::string& operation);

// Whether something other than a regular file is at `path` (links followed):
// a device, a pipe, a socket or a folder.
bool namesNonRegularFile(const std::filesystem::path& path);

enum class FileAccess { Read, ReadWrite };

// A regular file reached from its held folder (placeBeneath) without ever
// blocking, then used in blocking mode; closed when destroyed. Anything else
// in its place raises IoError naming the file.
class RegularFile {
public:
    RegularFile(const std::filesystem::path& path, FileAccess access);
    // With `mayBeMissing`, a missing file is no error: present() says so.
    RegularFile(const std::filesystem::path& path, FileAccess access, bool mayBeMissing);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool present() const { return fd_ >= 0; }
    std::uintmax_t size() const { return size_; }

    // Fills `buffer` from the current position; fewer bytes only at the end of
    // the file. A failed read raises IoError.
    std::size_t read(std::span<std::uint8_t> buffer);

    // Hands the descriptor over to the caller, who closes it.
    int release();

private:
    std::filesystem::path path_;
    int fd_ = -1;
    std::uintmax_t size_ = 0;
};

// "Plik jest za duży …": the refusal of a file over `maxBytes`.
std::string fileTooLargeText(std::uintmax_t maxBytes);

// The bytes of a regular file of at most `maxBytes`. A larger one raises
// IoError(tooLarge, path), by default fileTooLargeText(maxBytes); memory never
// grows past the limit, even for a file that grows while it is read.
std::vector<std::uint8_t> readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                          const std::string& tooLarge = {});

// As readRegularFile, but nothing when the file does not exist.
std::optional<std::vector<std::uint8_t>> readRegularFileIfPresent(const std::filesystem::path& path,
                                                                  std::uintmax_t maxBytes,
                                                                  const std::string& tooLarge = {});

} // namespace wirtello
