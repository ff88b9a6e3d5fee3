#include "companion_files.h"

#include "store/confined_folder.h"
#include "store/descriptor_io.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/record_file.h"
#include "store/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <stdexcept>
#include <sys/file.h>

namespace wirtello {

namespace {

std::string localStamp(std::chrono::system_clock::time_point now)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

std::filesystem::path companionFolder(const std::filesystem::path& programFolder, std::string_view name)
{
    const std::filesystem::path folder = joinPath(programFolder, name);
    try {
        // Made, if missing, only where the walk from the program folder leads inside it.
        openFolderBeneath(folder, kFolderFailed, true);
    } catch (const IoError&) {
        std::error_code error;
        if (std::filesystem::is_symlink(std::filesystem::symlink_status(folder, error)))
            throw IoError(kCompanionFolderLeadsOut, folder);
        throw;
    }
    return folder;
}

std::filesystem::path contactFile(const std::filesystem::path& folder, std::string_view argument,
                                  std::string_view extension)
{
    const std::string refusal = "Nieprawidłowa nazwa pliku kontaktu: „" + std::string(argument) +
                                "”. Oczekiwano identyfikatora kontaktu (trzy znaki) i rozszerzenia " +
                                std::string(extension) + ".";
    if (argument.size() <= extension.size() || !argument.ends_with(extension) || !isValidUtf8(argument))
        throw std::invalid_argument(refusal);
    const std::string_view id = argument.substr(0, argument.size() - extension.size());
    int characters = 0;
    for (const char c : id) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == '.')
            throw std::invalid_argument(refusal);
        if ((byte & 0xC0) != 0x80)
            ++characters;
    }
    if (characters != 3)
        throw std::invalid_argument(refusal);
    return folder / std::filesystem::path(std::string(argument));
}

std::optional<std::string> readCompanionText(const std::filesystem::path& file, std::uintmax_t maxBytes)
{
    const std::optional<std::vector<std::uint8_t>> bytes = readRegularFileIfPresent(file, maxBytes);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

std::filesystem::path keepDamagedAside(const std::filesystem::path& file, std::chrono::system_clock::time_point now)
{
    const char* const refusal = "Nie można odłożyć uszkodzonego pliku";
    const std::string base = file.string() + ".uszkodzony-" + localStamp(now);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string target = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (renameBeneath(file, target, true, refusal))
            return target;
    }
    throw IoError(refusal, file);
}

DocumentTooLarge::DocumentTooLarge(const std::filesystem::path& file, std::uintmax_t maxBytes)
    : IoError("Nie zapisano: dokument przekroczyłby " + std::to_string(maxBytes / (1024 * 1024)) +
                  " MB, a tak dużego pliku program nie otworzy ponownie. Tekst pozostaje w oknie; "
                  "usuń jego część albo przenieś ją do innego dokumentu i zapisz jeszcze raz",
              file)
{
}

void writeCompanionText(const std::filesystem::path& file, std::string_view utf8, std::uintmax_t maxBytes)
{
    if (utf8.size() > maxBytes)
        throw DocumentTooLarge(file, maxBytes);
    writeRecord(file, std::span(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()));
}

std::string describeProblem(const std::filesystem::path& file, const DocumentProblem& problem)
{
    return "Plik " + file.string() + ", wiersz " + std::to_string(problem.line) + ": " + problem.reason + ".";
}

std::optional<DocumentProblem> utf8Problem(std::string_view text)
{
    std::size_t line = 1;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = utf8SequenceLength(text, pos);
        if (length == 0)
            return DocumentProblem{line, "znaki spoza UTF-8 (inne kodowanie tekstu)"};
        if (text[pos] == '\n')
            ++line;
        pos += length;
    }
    return std::nullopt;
}

LoadedDocument readCompanionDocument(const std::filesystem::path& file, std::uintmax_t maxBytes,
                                     const DocumentReader& reads)
{
    std::optional<std::string> text = readCompanionText(file, maxBytes);
    if (!text) {
        reads(std::string_view());
        return {};
    }
    LoadedDocument loaded;
    loaded.text = std::move(*text);
    if (std::optional<DocumentProblem> encoding = utf8Problem(loaded.text)) {
        // The reader sees the whole lines before the first bad one.
        std::size_t end = 0;
        for (std::size_t line = 1; line < encoding->line; ++line)
            end = loaded.text.find('\n', end) + 1;
        reads(std::string_view(loaded.text).substr(0, end));
        loaded.problem = std::move(encoding);
        return loaded;
    }
    loaded.problem = reads(loaded.text);
    return loaded;
}

LoadedDocument loadCompanionDocument(const std::filesystem::path& file, std::uintmax_t maxBytes,
                                     std::chrono::system_clock::time_point now,
                                     const std::function<bool(std::string_view)>& parses)
{
    LoadedDocument loaded = readCompanionDocument(file, maxBytes, [&](std::string_view text) {
        return parses(text) ? std::nullopt : std::optional(DocumentProblem{1, "nieczytelny zapis"});
    });
    if (!loaded.problem)
        return loaded;
    const std::filesystem::path keptAs = keepDamagedAside(file, now);
    parses(std::string_view());
    return {{},
            std::nullopt,
            "Plik " + file.string() + " był uszkodzony i nie dał się odczytać. Zachowano go jako " +
                keptAs.string() + ". Dokument zaczyna się od nowa, pusty."};
}

std::filesystem::path lockFileOf(const std::filesystem::path& file)
{
    return file.string() + ".lock";
}

std::optional<DocumentLock> DocumentLock::tryLock(const std::filesystem::path& file)
{
    const std::filesystem::path lockFile = lockFileOf(file);
    // Created only in the folder the walk from the program folder reached, so
    // never beside a document whose folder leads out; never through a link,
    // never waiting on a pipe.
    FileDescriptor folder;
    try {
        folder = openFolderBeneath(lockFile.parent_path(), kLockFileFailed);
    } catch (const IoError&) {
        throw IoError(kLockFileFailed, lockFile);
    }
    const std::string name = lockFile.filename().string();
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_CREAT;
    int fd = ::openat(folder.get(), name.c_str(), O_RDWR | flags, 0644);
    if (fd < 0 && errno == EACCES)
        fd = ::openat(folder.get(), name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat status {};
    if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0)
        throw IoError(kLockFileFailed, lockFile);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        ::close(fd);
        if (reason == EWOULDBLOCK)
            return std::nullopt;
        throw IoError(kLockFileFailed, lockFile);
    }
    return DocumentLock(fd);
}

DocumentLock::DocumentLock(DocumentLock&& other) noexcept : fd_(other.fd_)
{
    other.fd_ = -1;
}

DocumentLock& DocumentLock::operator=(DocumentLock&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

DocumentLock::~DocumentLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

DocumentAccess openDocumentAccess(const std::filesystem::path& file)
{
    try {
        if (std::optional<DocumentLock> lock = DocumentLock::tryLock(file))
            return {std::move(lock), {}};
        return {std::nullopt, "Dokument jest otwarty w innym oknie — tylko do odczytu."};
    } catch (const IoError& error) {
        return {std::nullopt, "Nie można zablokować dokumentu (" + error.operation() + ": " +
                                  error.path().string() + ") — tylko do odczytu."};
    }
}

namespace {

// Breaks `line` into pieces of at most `columns` characters, at the last blank
// after `keep` bytes where there is one; a continuation starts with `prefix`.
void breakLine(std::string line, std::size_t columns, std::size_t keep, const std::string& prefix,
               std::vector<std::string>& lines)
{
    while (true) {
        // Break by characters, never inside a UTF-8 sequence.
        std::size_t characters = 0, cut = line.size(), lastBlank = std::string::npos;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if ((static_cast<unsigned char>(line[i]) & 0xC0) == 0x80)
                continue;
            if (characters == columns) {
                cut = i;
                break;
            }
            if (line[i] == ' ' && i > keep)
                lastBlank = i;
            ++characters;
        }
        if (cut == line.size())
            break;
        const std::size_t at = lastBlank != std::string::npos ? lastBlank : cut;
        lines.push_back(line.substr(0, at));
        line = prefix + line.substr(at < cut && line[at] == ' ' ? at + 1 : at);
        keep = prefix.size();
    }
    lines.push_back(std::move(line));
}

} // namespace

std::vector<std::string> printableLines(std::string_view text, std::size_t columns)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line;
        for (const char c : text.substr(start, end - start)) {
            if (c == '\t')
                line += "    ";
            else if (c != '\r')
                line += c;
        }
        // A wrapped line goes on two blanks further in than it starts, so
        // that it does not read as a new entry; never past half the width.
        const std::size_t indent = line.find_first_not_of(' ') == std::string::npos ? 0 : line.find_first_not_of(' ');
        const std::string prefix(std::min(indent + 2, columns / 2), ' ');
        breakLine(std::move(line), columns, indent, prefix, lines);
        if (end == text.size())
            break;
        start = end + 1;
    }
    // A final line break ends the last line rather than starting a new one.
    if (lines.size() > 1 && lines.back().empty() && text.ends_with('\n'))
        lines.pop_back();
    return lines;
}

std::string loginName()
{
    if (const passwd* user = ::getpwuid(::geteuid()); user != nullptr && user->pw_name != nullptr &&
                                                     user->pw_name[0] != '\0')
        return user->pw_name;
    for (const char* variable : {"LOGNAME", "USER"})
        if (const char* value = std::getenv(variable); value != nullptr && value[0] != '\0')
            return value;
    return "?";
}

} // namespace wirtello
