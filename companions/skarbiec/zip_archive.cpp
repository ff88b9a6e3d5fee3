#include "zip_archive.h"

#include "entry_name.h"
#include "restore_plan.h"

#include "store/io_error.h"
#include "store/paths.h"
#include "store/confined_folder.h"
#include "store/safe_file.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wirtello {
namespace {

const char* const kCreateFailed = "Nie można utworzyć archiwum";
const char* const kArchiveUnreadable = "Nie można odczytać archiwum";
const char* const kArchiveFolderLeadsOut =
    "Nie można utworzyć archiwum: folder Archiwa jest dowiązaniem prowadzącym poza folder programu";

struct ZipDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscarder>;

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

const char* const kDuplicateName = "zawiera dwa pliki o tej samej nazwie";

// The library refuses an archive that names one entry twice as inconsistent;
// opened without that check, such a name is found and told to the user.
[[noreturn]] void refuseUnreadable(const std::filesystem::path& archive, int error);

ZipHandle openForReading(const std::filesystem::path& archive)
{
    int error = 0;
    ZipHandle zip(zip_open(archive.string().c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!zip)
        refuseUnreadable(archive, error);
    return zip;
}

void reportProgress(zip_t*, double share, void* state)
{
    (*static_cast<const ArchiveProgress*>(state))(share);
}

// Unpacks one entry as `name` into the staging folder; false when the archive's data is damaged
// (wrong length or checksum). A failed write raises IoError.
bool unpackEntry(zip_t* zip, const ArchiveEntry& entry, const StagingFolder& staging, const std::string& name)
{
    const std::filesystem::path target = staging.path() / name;
    std::unique_ptr<zip_file_t, ZipFileCloser> in(zip_fopen_index(zip, entry.index, 0));
    if (!in)
        return false;
    // Made anew in the held folder: nothing put there under its name is followed.
    const int fd = ::openat(staging.descriptor(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            0666);
    std::unique_ptr<std::FILE, FileCloser> out(fd >= 0 ? ::fdopen(fd, "wb") : nullptr);
    if (!out) {
        if (fd >= 0)
            ::close(fd);
        throw IoError(kRestoreFailed, target);
    }
    std::vector<char> buffer(1 << 16);
    std::uint64_t total = 0;
    for (;;) {
        const zip_int64_t read = zip_fread(in.get(), buffer.data(), buffer.size());
        if (read < 0)
            return false; // also a checksum that does not match
        if (read == 0)
            break;
        total += static_cast<std::uint64_t>(read);
        // Never more than the archive states, which the limits were checked against.
        if (total > entry.size)
            return false;
        if (std::fwrite(buffer.data(), 1, static_cast<std::size_t>(read), out.get()) != static_cast<std::size_t>(read))
            throw IoError(kRestoreFailed, target);
    }
    if (std::fflush(out.get()) != 0)
        throw IoError(kRestoreFailed, target);
    const timespec times[2] = {{0, UTIME_OMIT}, {entry.modified, 0}};
    ::futimens(::fileno(out.get()), times);
    if (std::fclose(out.release()) != 0)
        throw IoError(kRestoreFailed, target);
    return zip_fclose(in.release()) == 0 && total == entry.size;
}

// The entry's name as UTF-8. The library turns a name without the UTF-8 flag
// from code page 437 when asked for strict reading, so a name that reads the
// same raw and strict has the flag or is plain ASCII.
std::string entryName(zip_t* zip, zip_uint64_t index, const std::filesystem::path& archive)
{
    const char* raw = zip_get_name(zip, index, ZIP_FL_ENC_RAW);
    const char* strict = zip_get_name(zip, index, ZIP_FL_ENC_STRICT);
    if (!raw || !strict)
        throw IoError(kArchiveUnreadable, archive);
    if (std::strcmp(raw, strict) == 0)
        return raw;
    return decodeDosEntryName(raw);
}

void refuseUnreadable(const std::filesystem::path& archive, int error)
{
    int again = 0;
    const bool named = error == ZIP_ER_EXISTS || error == ZIP_ER_INCONS;
    ZipHandle zip(named ? zip_open(archive.string().c_str(), ZIP_RDONLY, &again) : nullptr);
    if (zip) {
        std::set<std::string> seen;
        const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* raw = zip_get_name(zip.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
            if (raw && !seen.insert(raw).second)
                throw RefusedArchive(entryName(zip.get(), static_cast<zip_uint64_t>(i), archive), kDuplicateName);
        }
    }
    throw IoError(kArchiveUnreadable, archive);
}

std::uint64_t littleEndian(const std::vector<char>& bytes, std::size_t at, int size)
{
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

bool readAt(int fd, std::vector<char>& bytes, std::uint64_t offset)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t read = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (read <= 0)
            return false;
        done += static_cast<std::size_t>(read);
    }
    return true;
}

// The library reads a NUL inside a name as a space, so a name is checked as
// its central directory holds it: each entry's name with its stored length,
// in the library's order. Nothing when the directory is not where the format
// puts it: at the end, just before its end record (or the zip64 one).
std::optional<std::vector<std::string>> centralDirectoryNames(const std::filesystem::path& archive)
{
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    };
    RegularFile file(archive, FileAccess::Read);
    const std::uint64_t size = file.size();
    const Closer held{file.release()};
    constexpr std::size_t kEndRecord = 22;
    std::vector<char> tail(static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndRecord + 0xFFFF)));
    if (tail.size() < kEndRecord || !readAt(held.fd, tail, size - tail.size()))
        return std::nullopt;
    std::size_t end = tail.size() - kEndRecord + 1;
    while (end-- > 0 && std::memcmp(tail.data() + end, "PK\5\6", 4) != 0) {
    }
    if (end == static_cast<std::size_t>(-1))
        return std::nullopt;
    std::uint64_t entries = littleEndian(tail, end + 10, 2);
    std::uint64_t directorySize = littleEndian(tail, end + 12, 4);
    std::uint64_t directoryEnd = size - tail.size() + end;
    if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || littleEndian(tail, end + 16, 4) == 0xFFFFFFFF) {
        std::vector<char> locator(20), record(56);
        if (directoryEnd < locator.size() || !readAt(held.fd, locator, directoryEnd - locator.size()) ||
            std::memcmp(locator.data(), "PK\6\7", 4) != 0)
            return std::nullopt;
        directoryEnd = littleEndian(locator, 8, 8);
        if (!readAt(held.fd, record, directoryEnd) || std::memcmp(record.data(), "PK\6\6", 4) != 0)
            return std::nullopt;
        entries = littleEndian(record, 32, 8);
        directorySize = littleEndian(record, 40, 8);
    }
    // The library holds the whole directory in memory too; this is far above any real one.
    constexpr std::uint64_t kMaxDirectory = std::uint64_t{256} << 20;
    if (directorySize > directoryEnd || directorySize > kMaxDirectory)
        return std::nullopt;
    std::vector<char> directory(static_cast<std::size_t>(directorySize));
    if (!readAt(held.fd, directory, directoryEnd - directorySize))
        return std::nullopt;
    std::vector<std::string> names;
    constexpr std::size_t kHeader = 46;
    for (std::size_t at = 0; names.size() < entries; ) {
        if (directory.size() - at < kHeader || std::memcmp(directory.data() + at, "PK\1\2", 4) != 0)
            return std::nullopt;
        const std::size_t nameSize = littleEndian(directory, at + 28, 2);
        const std::size_t next = at + kHeader + nameSize + littleEndian(directory, at + 30, 2) +
                                 littleEndian(directory, at + 32, 2);
        if (next > directory.size())
            return std::nullopt;
        names.emplace_back(directory.data() + at + kHeader, nameSize);
        at = next;
    }
    return names;
}

// A file to archive, opened from the held program folder: a link leading out
// of it is refused, and so is anything but a regular file, never waited on.
FileDescriptor openArchivedFile(const std::filesystem::path& path)
{
    FileDescriptor fd = openFileBeneath(path, O_RDONLY | O_NONBLOCK, 0, kReadFailed);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw IoError(kReadFailed, path);
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// "Archiwa", held open and made when missing; one that leads out of the
// program folder is refused before anything is written.
FileDescriptor openArchiveFolder(const std::filesystem::path& programFolder)
{
    const std::filesystem::path folder = joinPath(programFolder, kArchiveFolder);
    try {
        return openFolderBeneath(folder, kFolderFailed, true);
    } catch (const IoError&) {
        if (!staysInside(folder, programFolder))
            throw IoError(kArchiveFolderLeadsOut, folder);
        throw;
    }
}

// One file of an archive being written, read when the library asks for it.
struct ArchivedFile {
    ArchiveFile file;
    std::optional<IoError>* failure; // the first file that could not be read
    FileDescriptor fd;
    zip_error_t error{};
};

zip_int64_t readArchivedFile(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* source = static_cast<ArchivedFile*>(state);
    auto fail = [source](int code, const IoError& error) -> zip_int64_t {
        zip_error_set(&source->error, code, 0);
        if (!*source->failure)
            source->failure->emplace(error);
        return -1;
    };
    switch (command) {
    case ZIP_SOURCE_OPEN:
        try {
            source->fd = openArchivedFile(source->file.source);
        } catch (const IoError& error) {
            return fail(ZIP_ER_OPEN, error);
        }
        return 0;
    case ZIP_SOURCE_READ: {
        const ssize_t read = ::read(source->fd.get(), data, static_cast<std::size_t>(length));
        if (read < 0)
            return fail(ZIP_ER_READ, IoError(kReadFailed, source->file.source));
        return read;
    }
    case ZIP_SOURCE_CLOSE:
        source->fd.reset();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        try {
            struct stat info {};
            if (::fstat(openArchivedFile(source->file.source).get(), &info) == 0) {
                stat->size = static_cast<zip_uint64_t>(info.st_size);
                stat->mtime = info.st_mtime;
                stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            }
        } catch (const IoError& error) {
            return fail(ZIP_ER_OPEN, error);
        }
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_FREE:
        delete source;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

} // namespace

std::filesystem::path freeName(const std::filesystem::path& folder, const std::string& base, const std::string& suffix)
{
    std::filesystem::path candidate = folder / (base + suffix);
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(candidate, ec)); ++n)
        candidate = folder / (base + "-" + std::to_string(n) + suffix);
    return candidate;
}

std::string archiveStamp(const std::tm& localTime)
{
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &localTime);
    return stamp;
}

CreatedArchive createArchive(const CompanionConfig& config, const std::filesystem::path& programFolder,
                             const std::string& stamp, const ArchiveProgress& progress)
{
    // Every file is reached from the held program folder, never through a link leading out.
    trustFolderTree(programFolder);
    CreatedArchive result;
    ArchiveSelection selection = selectArchiveFiles(config, programFolder);
    result.outsidePatterns = std::move(selection.outsidePatterns);
    result.linksLeadingOut = std::move(selection.linksLeadingOut);
    if (selection.files.empty())
        return result;
    // The library reads the files only when it writes the archive; a file that
    // cannot be read is named now, before anything is written.
    for (const ArchiveFile& file : selection.files)
        openArchivedFile(file.source);

    const FileDescriptor folder = openArchiveFolder(programFolder);
    const std::string name = freeName(heldFolderPath(folder), "wirtello-" + stamp, ".zip").filename().string();
    const std::filesystem::path target = joinPath(programFolder, kArchiveFolder) / name;
    int error = 0;
    // The library writes to a temporary file and renames it at close, both in
    // the folder that was checked, whatever its name leads to by then.
    ZipHandle zip(zip_open((heldFolderPath(folder) / name).string().c_str(), ZIP_CREATE | ZIP_EXCL, &error));
    if (!zip)
        throw IoError(kCreateFailed, target);
    std::optional<IoError> failure;
    for (const ArchiveFile& file : selection.files) {
        zip_source_t* source = zip_source_function(zip.get(), readArchivedFile, new ArchivedFile{file, &failure, {}, {}});
        if (!source)
            throw IoError(kCreateFailed, target);
        if (zip_file_add(zip.get(), file.entryName.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            throw IoError(kCreateFailed, target);
        }
    }
    if (progress)
        zip_register_progress_callback_with_state(zip.get(), 0.01, reportProgress, nullptr,
                                                  const_cast<ArchiveProgress*>(&progress));
    if (zip_close(zip.get()) != 0) {
        if (failure)
            throw *failure;
        throw IoError(kCreateFailed, target);
    }
    zip.release();
    result.fileCount = selection.files.size();
    result.file = target;
    return result;
}

std::optional<std::vector<std::string>> safeEntryPath(std::string_view name)
{
    if (name.empty() || name.front() == '/' || name.front() == '\\')
        return std::nullopt;
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = name.find_first_of("/\\", start);
        const std::string_view part = name.substr(start, end == std::string_view::npos ? end : end - start);
        // ':' would name a drive or a stream on Windows.
        if (part == ".." || part.find(':') != std::string_view::npos)
            return std::nullopt;
        if (!part.empty() && part != ".")
            components.emplace_back(part);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return components;
}

std::vector<ArchiveEntry> readArchiveEntries(const std::filesystem::path& archive)
{
    ZipHandle zip = openForReading(archive);
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    const auto rawNames = centralDirectoryNames(archive);
    if (!rawNames || rawNames->size() != static_cast<std::size_t>(count))
        throw IoError(kArchiveUnreadable, archive);
    std::vector<ArchiveEntry> entries;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        const auto index = static_cast<zip_uint64_t>(i);
        if (zip_stat_index(zip.get(), index, 0, &stat) != 0)
            throw IoError(kArchiveUnreadable, archive);
        const std::string name = entryName(zip.get(), index, archive);
        if ((*rawNames)[static_cast<std::size_t>(i)].find('\0') != std::string::npos)
            throw RefusedArchive(name, "zawiera nazwę ze znakiem NUL");
        const auto components = safeEntryPath(name);
        if (!components)
            throw RefusedArchive(name);
        ArchiveEntry entry;
        entry.index = index;
        for (const std::string& component : *components)
            entry.relativePath += (entry.relativePath.empty() ? "" : "/") + component;
        entry.isFolder = name.back() == '/' || name.back() == '\\';
        entry.size = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
        entry.modified = (stat.valid & ZIP_STAT_MTIME) ? stat.mtime : std::time(nullptr);
        if (!entry.relativePath.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

void unpackPlanned(const std::filesystem::path& archive, const std::vector<PlannedFile>& files,
                   const StagingFolder& staging, const std::function<void()>& step)
{
    ZipHandle zip = openForReading(archive);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!unpackEntry(zip.get(), files[i].entry, staging, std::to_string(i)))
            throw IoError(kArchiveUnreadable, archive);
        step();
    }
}

} // namespace wirtello
