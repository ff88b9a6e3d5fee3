#include "restore_journal.h"

#include "confined_folder.h"
#include "io_error.h"
#include "record_file.h"
#include "safe_file.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wirtello {
namespace {

namespace fs = std::filesystem;

const char* const kJournalName = "dziennik";
const char* const kLockName = "blokada";
const char* const kJournalHeader = "wirtello-przywracanie 1";
const char* const kJournalUnreadable = "Nie można odczytać dziennika przywracania";
const char* const kKeepFailed = "Nie można przenieść pliku";
// Far above the journal of any real archive (some hundred bytes a file).
constexpr std::uintmax_t kMaxJournalBytes = std::uintmax_t{64} << 20;
// An empty staging folder without its lock file is one being made, unless older.
constexpr std::time_t kMakingSeconds = 60;

std::function<void(std::size_t)>& stepHook()
{
    static std::function<void(std::size_t)> hook;
    return hook;
}

void announceStep(std::size_t step)
{
    if (stepHook())
        stepHook()(step);
}

// ---- the journal's text: one item a line, names escaped so that any byte a
// name may hold survives ----

std::string escaped(std::string_view text)
{
    if (text.empty())
        return "-";
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '%' || (c == '-' && text.size() == 1)) {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> unescaped(std::string_view field)
{
    if (field == "-")
        return std::string();
    std::string out;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] != '%') {
            out += field[at];
            continue;
        }
        if (at + 2 >= field.size())
            return std::nullopt;
        const int high = hexValue(field[at + 1]);
        const int low = hexValue(field[at + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        out += static_cast<char>(high << 4 | low);
        at += 2;
    }
    return out;
}

// A path the journal may name: below the program folder, never up or into a staging folder.
bool safeRelative(std::string_view path)
{
    if (path.empty() || path.front() == '/')
        return false;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == ".." || (start == 0 && part.starts_with(kStagingPrefix)))
            return false;
        start = end + 1;
    }
    return true;
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0; start <= line.size();) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::string journalText(const RestoreJournal& journal)
{
    std::string text = std::string(kJournalHeader) + "\n";
    text += "archiwum " + escaped(journal.archiveName) + "\n";
    text += "zachowane " + escaped(journal.keptFolder) + "\n";
    for (const std::string& folder : journal.newFolders)
        text += "folder " + escaped(folder) + "\n";
    for (const JournalFile& file : journal.files)
        text += "plik " + escaped(file.staged) + " " + escaped(file.target) + " " + escaped(file.kept) + "\n";
    return text + "koniec\n";
}

std::optional<RestoreJournal> parseJournal(std::string_view text)
{
    RestoreJournal journal;
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            return std::nullopt; // every line ends, the last one too
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (lines.size() < 4 || lines.front() != kJournalHeader || lines.back() != "koniec")
        return std::nullopt;
    for (std::size_t at = 1; at + 1 < lines.size(); ++at) {
        const std::vector<std::string_view> fields = fieldsOf(lines[at]);
        std::vector<std::string> values;
        for (std::size_t field = 1; field < fields.size(); ++field) {
            std::optional<std::string> value = unescaped(fields[field]);
            if (!value)
                return std::nullopt;
            values.push_back(std::move(*value));
        }
        const std::string_view kind = fields.front();
        if (at == 1 && kind == "archiwum" && values.size() == 1) {
            journal.archiveName = values[0];
        } else if (at == 2 && kind == "zachowane" && values.size() == 1) {
            if (!values[0].empty() && !safeRelative(values[0]))
                return std::nullopt;
            journal.keptFolder = values[0];
        } else if (at > 2 && kind == "folder" && values.size() == 1 && safeRelative(values[0])) {
            journal.newFolders.push_back(values[0]);
        } else if (at > 2 && kind == "plik" && values.size() == 3) {
            JournalFile file{values[0], values[1], values[2]};
            // Staged files are numbered; the rest lie below the program folder.
            if (file.staged.empty() || !std::ranges::all_of(file.staged, [](char c) { return c >= '0' && c <= '9'; }) ||
                !safeRelative(file.target) || (!file.kept.empty() && !safeRelative(file.kept)))
                return std::nullopt;
            journal.files.push_back(std::move(file));
        } else {
            return std::nullopt;
        }
    }
    return journal;
}

RestoreJournal readRestoreJournal(const fs::path& staging)
{
    const fs::path path = staging / kJournalName;
    const std::vector<std::uint8_t> bytes = readRegularFile(path, kMaxJournalBytes);
    std::optional<RestoreJournal> journal =
        parseJournal(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!journal)
        throw IoError(kJournalUnreadable, path);
    return std::move(*journal);
}

// ---- moves below the held program folder ----

// Whether anything, a link included, is at `path`; a way that leads out or is
// cut counts as nothing there.
bool existsBeneath(const fs::path& path)
{
    try {
        const PlacedName place = placeBeneath(path, kReadFailed);
        struct stat info {};
        return ::fstatat(place.folder.get(), place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    } catch (const IoError&) {
        return false;
    }
}

void removeEmptyFolder(const fs::path& folder)
{
    try {
        const FileDescriptor parent = openFolderBeneath(folder.parent_path(), kFolderFailed);
        ::unlinkat(parent.get(), folder.filename().c_str(), AT_REMOVEDIR); // only when empty
    } catch (const IoError&) {
    }
}

// The entries of a held folder, "." and ".." left out.
std::vector<std::string> entriesOf(int folder)
{
    std::vector<std::string> names;
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return names;
    DIR* listing = ::fdopendir(copy);
    if (listing == nullptr) {
        ::close(copy);
        return names;
    }
    ::rewinddir(listing);
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(listing);
    std::ranges::sort(names);
    return names;
}

// Removes the staging folder `name` of the held program folder with the files
// it holds; a link in its place is removed as a name, never followed. The
// journal goes first: a staging folder cut off while being removed must not
// be finished from staged files that are partly gone.
void removeStagingFolder(int program, const std::string& name)
{
    const int folder = ::openat(program, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        if (errno == ELOOP)
            ::unlinkat(program, name.c_str(), 0);
        return;
    }
    ::unlinkat(folder, kJournalName, 0);
    for (const std::string& entry : entriesOf(folder)) {
        if (::unlinkat(folder, entry.c_str(), 0) != 0)
            ::unlinkat(folder, entry.c_str(), AT_REMOVEDIR);
    }
    ::close(folder);
    ::unlinkat(program, name.c_str(), AT_REMOVEDIR);
}

// An exclusive lock of the open file description: a lock of the process would
// go with any descriptor of the file that it closes. False when another holds it.
bool lockExclusive(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return true;
    if (errno != EINVAL)
        return errno != EAGAIN && errno != EACCES;
#endif
    // A file system without locks cannot tell; the restore goes on.
    return ::fcntl(fd, F_SETLK, &lock) == 0 || (errno != EAGAIN && errno != EACCES);
}

std::string failureText(const IoError& error)
{
    return error.operation() + ": " + error.path().string();
}

// One staging folder found at start, held open. Nothing when a restore still
// runs in it or is just making it.
std::optional<InterruptedRestore> finishOne(const fs::path& programFolder, int program, const std::string& name)
{
    const FileDescriptor folder(::openat(program, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid()) {
        removeStagingFolder(program, name);
        return std::nullopt;
    }
    const FileDescriptor lock(::openat(folder.get(), kLockName, O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (lock.valid()) {
        if (!lockExclusive(lock.get()))
            return std::nullopt; // a restore running in another process
    } else {
        // A restore makes its lock file before anything else in the folder.
        struct stat info {};
        if (entriesOf(folder.get()).empty() && ::fstat(folder.get(), &info) == 0 &&
            std::time(nullptr) - info.st_mtime < kMakingSeconds)
            return std::nullopt;
    }
    const fs::path staging = programFolder / name;
    InterruptedRestore found;
    found.staging = staging;
    struct stat info {};
    if (::fstatat(folder.get(), kJournalName, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        removeStagingFolder(program, name);
        return found;
    }
    RestoreJournal journal;
    try {
        journal = readRestoreJournal(staging);
    } catch (const IoError& error) {
        found.outcome = InterruptedRestore::Outcome::Left;
        found.failure = failureText(error);
        return found;
    }
    found.archiveName = journal.archiveName;
    found.fileCount = journal.files.size();
    if (!journal.keptFolder.empty())
        found.keptFolder = programFolder / journal.keptFolder;
    try {
        rollForward(programFolder, staging, journal);
        found.outcome = InterruptedRestore::Outcome::Finished;
    } catch (const IoError& error) {
        found.outcome = InterruptedRestore::Outcome::Undone;
        found.failure = failureText(error);
        found.notPutBack = rollBack(programFolder, staging, journal);
    }
    removeStagingFolder(program, name);
    return found;
}

} // namespace

StagingFolder::StagingFolder(const fs::path& programFolder, const std::string& stamp) : programFolder_(programFolder)
{
    const FileDescriptor program = openFolderBeneath(programFolder, kFolderFailed);
    const std::string base = std::string(kStagingPrefix) + stamp;
    std::string name;
    for (int n = 1;; ++n) {
        name = n == 1 ? base : base + "-" + std::to_string(n);
        // Made anew, never one that exists, a link included.
        if (::mkdirat(program.get(), name.c_str(), 0777) == 0)
            break;
        if (errno != EEXIST || n == 1000)
            throw IoError(kFolderFailed, programFolder / name);
    }
    path_ = programFolder / name;
    folder_ = ::openat(program.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder_ >= 0)
        lock_ = ::openat(folder_, kLockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (lock_ < 0 || !lockExclusive(lock_)) {
        removeStagingFolder(program.get(), name);
        if (lock_ >= 0)
            ::close(lock_);
        if (folder_ >= 0)
            ::close(folder_);
        throw IoError(kFolderFailed, path_);
    }
}

StagingFolder::~StagingFolder()
{
    // Removed while still locked, so no other start takes it for one cut off.
    try {
        const FileDescriptor program = openFolderBeneath(programFolder_, kFolderFailed);
        removeStagingFolder(program.get(), path_.filename().string());
    } catch (const IoError&) {
    }
    ::close(lock_);
    ::close(folder_);
}

void writeRestoreJournal(const fs::path& staging, const RestoreJournal& journal)
{
    const std::string text = journalText(journal);
    writeRecord(staging / kJournalName,
                std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void rollForward(const fs::path& programFolder, const fs::path& staging, const RestoreJournal& journal,
                 const std::function<void()>& placed)
{
    for (const std::string& folder : journal.newFolders)
        openFolderBeneath(programFolder / folder, kFolderFailed, true);
    std::size_t step = 0;
    for (const JournalFile& file : journal.files) {
        const fs::path target = programFolder / file.target;
        if (!file.kept.empty()) {
            const fs::path kept = programFolder / file.kept;
            if (!existsBeneath(kept) && existsBeneath(target)) {
                announceStep(step);
                if (!renameBeneath(target, kept, true, kKeepFailed))
                    throw IoError(kKeepFailed, target);
            }
            ++step;
        }
        const fs::path staged = staging / file.staged;
        if (existsBeneath(staged)) {
            announceStep(step);
            renameBeneath(staged, target, false, kRestoreFailed);
        }
        ++step;
        if (placed)
            placed();
    }
    announceStep(step);
}

std::vector<fs::path> rollBack(const fs::path& programFolder, const fs::path& staging, const RestoreJournal& journal)
{
    std::vector<fs::path> notPutBack;
    for (auto file = journal.files.rbegin(); file != journal.files.rend(); ++file) {
        const fs::path target = programFolder / file->target;
        const fs::path staged = staging / file->staged;
        if (!existsBeneath(staged) && existsBeneath(target)) {
            try {
                renameBeneath(target, staged, true, kRestoreFailed);
            } catch (const IoError&) {
                // The kept file below replaces it, or it stays as restored.
            }
        }
        if (file->kept.empty())
            continue;
        const fs::path kept = programFolder / file->kept;
        if (!existsBeneath(kept))
            continue;
        try {
            renameBeneath(kept, target, false, kKeepFailed);
        } catch (const IoError&) {
            notPutBack.push_back(kept);
        }
    }
    for (auto folder = journal.newFolders.rbegin(); folder != journal.newFolders.rend(); ++folder)
        removeEmptyFolder(programFolder / *folder);
    return notPutBack;
}

std::vector<InterruptedRestore> finishInterruptedRestores(const fs::path& programFolder)
{
    std::vector<InterruptedRestore> restores;
    try {
        // Every move is made from the held program folder, never through a link leading out.
        trustFolderTree(programFolder);
        const FileDescriptor program = openFolderBeneath(programFolder, kReadFailed);
        for (const std::string& name : entriesOf(program.get())) {
            if (!name.starts_with(kStagingPrefix))
                continue;
            if (std::optional<InterruptedRestore> found = finishOne(programFolder, program.get(), name))
                restores.push_back(std::move(*found));
        }
    } catch (const IoError&) {
        // A program folder that cannot be opened is reported by the start's own steps.
    }
    return restores;
}

std::string interruptedRestoresText(const std::vector<InterruptedRestore>& restores)
{
    std::string text;
    for (const InterruptedRestore& restore : restores) {
        if (!text.empty())
            text += "\n\n";
        const std::string archive = restore.archiveName.empty() ? "" : " " + restore.archiveName;
        switch (restore.outcome) {
        case InterruptedRestore::Outcome::Finished:
            text += "Przywracanie archiwum" + archive + " zostało przerwane w połowie. Dokończono je: przywrócono " +
                    "plików: " + std::to_string(restore.fileCount) + ".";
            if (!restore.keptFolder.empty())
                text += "\nPoprzednie wersje zastąpionych plików są w folderze:\n" + restore.keptFolder.string();
            break;
        case InterruptedRestore::Outcome::Undone:
            text += "Przywracanie archiwum" + archive + " zostało przerwane w połowie, a dokończyć go się nie " +
                    "udało (" + restore.failure + "). Cofnięto je: pliki są takie, jak przed przywracaniem.";
            if (!restore.notPutBack.empty()) {
                text += "\nTych zastąpionych plików nie udało się przenieść z powrotem; są tutaj:";
                for (const fs::path& kept : restore.notPutBack)
                    text += "\n" + kept.string();
            }
            break;
        case InterruptedRestore::Outcome::NothingMoved:
            text += "Przywracanie archiwum zostało przerwane, zanim zmieniło jakikolwiek plik; usunięto tylko "
                    "rozpakowane pliki.";
            break;
        case InterruptedRestore::Outcome::Left:
            text += "Przywracanie archiwum zostało przerwane, a jego dziennika nie można odczytać (" +
                    restore.failure + "). Nic nie zmieniono; folder\n" + restore.staging.string() +
                    "\npozostawiono. Pliki programu mogą być przywrócone tylko w części: przywróć archiwum "
                    "jeszcze raz.";
            break;
        }
    }
    return text;
}

void setRestoreStepHookForTests(std::function<void(std::size_t step)> hook)
{
    stepHook() = std::move(hook);
}

} // namespace wirtello
