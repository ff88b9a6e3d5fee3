#pragma once

// What the per-contact companions (notes, comments, document register) share:
// their folder, the file named on the command line, reading, writing and
// keeping damaged files aside, and the lock of a document open in a window.
// No Qt here.

#include "store/io_error.h"
#include "store/utf8_text.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// The largest document a companion reads: 4 MiB.
inline constexpr std::uintmax_t kCompanionFileLimit = 4u * 1024u * 1024u;

// The folders below the program folder that the companions keep their files in.
inline constexpr std::string_view kNotebookFolder = "brulion";
inline constexpr std::string_view kCommentsFolder = "uwagi";
inline constexpr std::string_view kRegisterFolder = "segregator";
inline constexpr std::string_view kTasksFolder = "kalendarium";
inline constexpr std::string_view kScheduleFolder = "grafik";
// All of them; the archiver saves them besides the folders its record names.
inline constexpr std::array<std::string_view, 5> kCompanionDataFolders = {
    kNotebookFolder, kCommentsFolder, kRegisterFolder, kTasksFolder, kScheduleFolder,
};

// The refusal of a companion folder that is a link leading out of the program folder.
inline constexpr const char* kCompanionFolderLeadsOut =
    "Nie można użyć folderu: jest dowiązaniem prowadzącym poza folder programu";

// The companion's own folder `name` below the program folder, created when
// missing. IoError when it cannot be made, is not a folder or leads out of the
// program folder (kCompanionFolderLeadsOut).
std::filesystem::path companionFolder(const std::filesystem::path& programFolder, std::string_view name);

// The contact's file in `folder`: `argument` is a contact id of three
// characters followed by `extension` (".kom"), as the main program gives it.
// Anything else (a folder part, a dot or a control character in the id, a
// different extension, invalid UTF-8) raises std::invalid_argument with a
// Polish text.
std::filesystem::path contactFile(const std::filesystem::path& folder, std::string_view argument,
                                  std::string_view extension);

// The bytes of `file`, or nothing when there is no file. Something that is
// not a regular file, a link leaving the folder tree, a file over `maxBytes`
// or a failed read raise IoError.
std::optional<std::string> readCompanionText(const std::filesystem::path& file, std::uintmax_t maxBytes);

// Renames a damaged `file` to "<file>.uszkodzony-<yyyyMMdd-HHmmss>" (local
// time of `now`), adding "-2", "-3" … rather than replacing a file kept
// earlier. Returns the new name; IoError when the rename fails.
std::filesystem::path keepDamagedAside(const std::filesystem::path& file, std::chrono::system_clock::time_point now);

// Replaces `file` with `utf8` atomically (store/record_file.h). A text over
// `maxBytes` is refused with DocumentTooLarge before anything is written: the
// companion would refuse to open the file it left.
void writeCompanionText(const std::filesystem::path& file, std::string_view utf8,
                        std::uintmax_t maxBytes = kCompanionFileLimit);

// The refusal of a text that would outgrow its reader's limit; says what to do.
class DocumentTooLarge : public IoError {
public:
    DocumentTooLarge(const std::filesystem::path& file, std::uintmax_t maxBytes);
};

// The first line of a document that its reader refuses, and why (Polish).
// Lines count from 1.
struct DocumentProblem {
    std::size_t line = 0;
    std::string reason;
    bool operator==(const DocumentProblem&) const = default;
};

// "Plik <file>, wiersz <line>: <reason>."
std::string describeProblem(const std::filesystem::path& file, const DocumentProblem& problem);

// The first line of `text` that is not well-formed UTF-8.
std::optional<DocumentProblem> utf8Problem(std::string_view text);

// Reads a document's text: keeps every line it can read (at least those
// before the first one it refuses) and names the first line it refuses.
using DocumentReader = std::function<std::optional<DocumentProblem>(std::string_view)>;

// A document as it was found on disk.
struct LoadedDocument {
    std::string text;                       // the bytes read; empty for a missing file
    std::optional<DocumentProblem> problem; // the first line not read, when one was refused
    std::string damagedNotice;              // Polish text when the file was kept aside
};

// Reads `file` through `reads`: a missing file is an empty document. Text that
// is not UTF-8 is a problem at its first bad line; the reader then sees the
// lines before it. Nothing is renamed or written. Read failures raise IoError.
LoadedDocument readCompanionDocument(const std::filesystem::path& file, std::uintmax_t maxBytes,
                                     const DocumentReader& reads);

// Reads `file` as readCompanionDocument does, but a file with a problem is
// kept aside and the document starts empty with a notice saying where the
// file went (for formats that cannot be read in part). `parses` sees last the
// text taken, the empty text for a missing or damaged file, so what it keeps
// is the document.
LoadedDocument loadCompanionDocument(const std::filesystem::path& file, std::uintmax_t maxBytes,
                                     std::chrono::system_clock::time_point now,
                                     const std::function<bool(std::string_view)>& parses);

// The exclusive lock of one document, held while its window is open: a
// flock on the sidecar "<file>.lock". The kernel drops it when the process
// ends, however it ends. The sidecar file stays.
class DocumentLock {
public:
    // The lock, or nothing when another process holds it. IoError when the
    // sidecar cannot be opened (a read-only folder, a link, not a regular file).
    static std::optional<DocumentLock> tryLock(const std::filesystem::path& file);

    DocumentLock(DocumentLock&& other) noexcept;
    DocumentLock& operator=(DocumentLock&& other) noexcept;
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;
    ~DocumentLock();

private:
    explicit DocumentLock(int descriptor) : fd_(descriptor) {}
    int fd_ = -1;
};

// The sidecar lock file of `file`.
std::filesystem::path lockFileOf(const std::filesystem::path& file);

// How a window may use its document: with the lock it may store; without it
// the window is read-only and shows `readOnlyNote` (Polish).
struct DocumentAccess {
    std::optional<DocumentLock> lock;
    std::string readOnlyNote;
};

// Takes the lock of `file` when it is free. Another holder, or a sidecar that
// cannot be used, gives read-only access with the reason; never raises.
DocumentAccess openDocumentAccess(const std::filesystem::path& file);

// The text as printed lines: one per line of `text`, a line longer than
// `columns` characters broken at its last blank before them (a longer word
// is cut), tabs as four blanks.
std::vector<std::string> printableLines(std::string_view text, std::size_t columns = 90);

// The login name of the user running the program ("?" when there is none).
std::string loginName();

} // namespace wirtello
