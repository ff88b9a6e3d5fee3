#include "companions/calendar_kit/calendar_file.h"

#include "companions/companion_kit/companion_files.h"
#include "store/confined_folder.h"
#include "store/io_error.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <optional>

namespace wirtello {

namespace {

CalendarDocument parsed(const std::string& text)
{
    if (!isValidUtf8(text))
        throw CalendarDamaged("Plik kalendarza nie jest zapisany w UTF-8.");
    return CalendarDocument::parse(text);
}

// An exclusive lock on a folder for one read-change-write step; the kernel
// drops it when the process ends.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder)
        : fd_(openFolderBeneath(folder, "Nie można otworzyć folderu").release())
    {
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                throw IoError("Nie można zablokować folderu", folder);
            }
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock() { ::close(fd_); }

private:
    int fd_;
};

} // namespace

LoadedCalendar loadCalendar(const std::filesystem::path& file, std::chrono::system_clock::time_point now)
{
    std::optional<CalendarDocument> document;
    LoadedDocument loaded = loadCompanionDocument(file, kCompanionFileLimit, now, [&](std::string_view text) {
        try {
            document = CalendarDocument::parse(text);
            return true;
        } catch (const CalendarDamaged&) {
            return false;
        }
    });
    return {document ? std::move(*document) : CalendarDocument(), std::move(loaded.damagedNotice)};
}

CalendarDocument readCalendar(const std::filesystem::path& file)
{
    const std::optional<std::string> text = readCompanionText(file, kCompanionFileLimit);
    return text ? parsed(*text) : CalendarDocument();
}

void writeCalendar(const std::filesystem::path& file, const CalendarDocument& document)
{
    writeCompanionText(file, document.text());
}

CalendarDocument changeCalendar(const std::filesystem::path& file, const std::function<void(CalendarDocument&)>& change)
{
    const FolderLock lock(file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path());
    CalendarDocument document = readCalendar(file);
    const std::string before = document.text();
    change(document);
    // Nothing changed, nothing written: a task gone meanwhile leaves no empty file behind.
    if (document.text() != before)
        writeCalendar(file, document);
    return document;
}

} // namespace wirtello
