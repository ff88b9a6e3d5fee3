#include "companions/przeglad/task_overview.h"

#include "companions/calendar_kit/calendar_file.h"
#include "store/io_error.h"
#include "store/safe_file.h"

#include <fnmatch.h>

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>
#include <tuple>

namespace wirtello {

std::vector<std::filesystem::path> matchingFiles(const std::filesystem::path& folder,
                                                 const std::vector<std::string>& patterns)
{
    for (const std::string& pattern : patterns) {
        if (pattern.empty() || pattern.find('/') != std::string::npos)
            throw std::invalid_argument("Czytnik zadań: wzorzec plików „" + pattern +
                                        "” ma wskazywać pliki w folderze zadań, bez folderu.");
    }
    std::set<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        for (const std::string& pattern : patterns) {
            if (::fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0)
                found.insert(entry.path());
        }
    }
    if (error)
        throw IoError("Nie można odczytać folderu", folder);
    return {found.begin(), found.end()};
}

namespace {

namespace fs = std::filesystem;

// Why a matching name is no task file the reader may read, in the words of
// the list of skipped files; nothing when it may be read. The reader refuses
// these by itself; this only names the reason, and a link to nothing, which
// would otherwise read as an empty file, is listed at all.
std::optional<std::string> refusalOf(const fs::path& file)
{
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(file, error))) {
        fs::path target;
        try {
            target = confinedPath(file, kReadFailed);
        } catch (const IoError&) {
            [[maybe_unused]] const fs::path resolved = fs::canonical(file, error);
            if (error == std::errc::too_many_symbolic_link_levels)
                return "dowiązania tworzą pętlę";
            return "dowiązanie prowadzi poza folder programu";
        }
        if (!fs::exists(fs::symlink_status(target, error)))
            return "dowiązanie do pliku, którego nie ma";
    }
    const fs::file_status status = fs::status(file, error);
    if (fs::is_directory(status))
        return "to folder, a nie plik";
    if (fs::exists(status) && !fs::is_regular_file(status))
        return "to nie zwykły plik, lecz potok, gniazdo albo urządzenie";
    return std::nullopt;
}

} // namespace

TaskOverview readOverview(const std::filesystem::path& folder, const std::vector<std::string>& patterns)
{
    TaskOverview overview;
    for (const std::filesystem::path& file : matchingFiles(folder, patterns)) {
        const std::string fileName = file.filename().string();
        if (std::optional<std::string> refusal = refusalOf(file)) {
            overview.skipped.push_back({fileName, std::move(*refusal)});
            continue;
        }
        try {
            const CalendarDocument calendar = readCalendar(file);
            const std::string name = calendar.name().empty() ? file.stem().string() : calendar.name();
            for (CalendarTask& task : calendar.tasks()) {
                if (!task.done)
                    overview.tasks.push_back({file, name, calendar.address(), std::move(task)});
            }
            if (const int skipped = calendar.skipped(); skipped > 0)
                overview.skipped.push_back({fileName, "pominięto wpisy bez terminu: " + std::to_string(skipped)});
        } catch (const CalendarDamaged& damaged) {
            overview.skipped.push_back({fileName, damaged.what()});
        } catch (const IoError& failure) {
            overview.skipped.push_back({fileName, failure.operation()});
        }
    }
    std::stable_sort(overview.tasks.begin(), overview.tasks.end(), [](const OverviewTask& a, const OverviewTask& b) {
        if (dueBefore(a.task, b.task) || dueBefore(b.task, a.task))
            return dueBefore(a.task, b.task);
        return a.contactName < b.contactName;
    });
    return overview;
}

std::vector<OverviewTask> filteredTasks(const TaskOverview& overview, TaskFilter filter, CalendarMoment now)
{
    std::vector<OverviewTask> shown;
    std::copy_if(overview.tasks.begin(), overview.tasks.end(), std::back_inserter(shown),
                 [&](const OverviewTask& entry) { return passesFilter(entry.task, filter, now); });
    return shown;
}

bool markOverviewTaskDone(const OverviewTask& entry, std::chrono::system_clock::time_point now)
{
    bool found = false;
    changeCalendar(entry.file, [&](CalendarDocument& calendar) { found = calendar.markDone(entry.task.uid, true, now); });
    return found;
}

CalendarDocument exportedTasks(const std::vector<OverviewTask>& tasks, std::chrono::system_clock::time_point now)
{
    CalendarDocument calendar;
    calendar.setHeading("Zadania otwarte", "");
    std::set<std::string> uids;
    for (const OverviewTask& entry : tasks) {
        CalendarTask task = entry.task;
        task.title += " — " + entry.contactName;
        // Two contacts' files copied from one another share UIDs; each task stays its own.
        if (!uids.insert(task.uid).second)
            task.uid.clear();
        calendar.putTask(task, now);
    }
    return calendar;
}

} // namespace wirtello
