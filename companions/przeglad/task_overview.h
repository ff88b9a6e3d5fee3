#pragma once

// The open tasks of every contact whose task file matches a pattern, read
// from the task calendar's folder without changing anything but a task
// marked done. No Qt here.

#include "companions/calendar_kit/calendar_document.h"
#include "companions/calendar_kit/task_rules.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

struct OverviewTask {
    std::filesystem::path file; // the contact's task file
    std::string contactName;    // from the file, else the file's name
    std::string contactAddress;
    CalendarTask task;
};

struct SkippedFile {
    std::string fileName;
    std::string reason; // Polish
};

struct TaskOverview {
    std::vector<OverviewTask> tasks; // open ones, by due date
    std::vector<SkippedFile> skipped;
};

// The files of `folder` whose names match one of `patterns` ("*.adr": '*',
// '?' and bracket classes; names starting with a dot only when the pattern
// says so), sorted by name. A pattern with a folder part raises
// std::invalid_argument with a Polish text.
std::vector<std::filesystem::path> matchingFiles(const std::filesystem::path& folder,
                                                 const std::vector<std::string>& patterns);

// Reads every matching file; one that cannot be read or is not a calendar is
// listed in `skipped` with its reason and the rest are read on.
TaskOverview readOverview(const std::filesystem::path& folder, const std::vector<std::string>& patterns);

// The tasks under `filter`, in order.
std::vector<OverviewTask> filteredTasks(const TaskOverview& overview, TaskFilter filter, CalendarMoment now);

// Marks the task done in its file as the file is on disk now, changing
// nothing else. False when the task is no longer there. IoError, CalendarDamaged.
bool markOverviewTaskDone(const OverviewTask& entry, std::chrono::system_clock::time_point now);

// One calendar of the tasks, each titled "<title> — <contact>".
CalendarDocument exportedTasks(const std::vector<OverviewTask>& tasks, std::chrono::system_clock::time_point now);

} // namespace wirtello
