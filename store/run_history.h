#pragma once

#include "fixed_record.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace wirtello {

// "historia.dat": last run date, last run time and run count as counted texts
// of capacity 15, then 31 reserved bytes (79 bytes).
class RunHistoryRecord : public FixedRecord<79> {
public:
    static constexpr TextField kDate{0, 15};
    static constexpr TextField kTime{16, 15};
    static constexpr TextField kCount{32, 15};

    std::string lastRunDate() const { return text(kDate); }
    std::string lastRunTime() const { return text(kTime); }
    std::string runCountText() const { return text(kCount); }
    void setLastRunDate(std::string_view utf8) { setText(kDate, utf8); }
    void setLastRunTime(std::string_view utf8) { setText(kTime, utf8); }
    void setRunCountText(std::string_view utf8) { setText(kCount, utf8); }
};

// This run's values, computed once at start (and again after a history reset).
struct RunStartValues {
    std::string startDate;
    std::string startTime;
    std::int32_t runCount = 0;
    std::string runCountText;
};

// Folder followed by "Admini/historia.dat".
std::filesystem::path runHistoryPath(const std::filesystem::path& folder);

// Reads a stored count the lenient way: leading blanks and one sign, then the
// digits up to the first other character; no digits give 0. "12a" gives 12.
std::int32_t parseRunCount(std::string_view text);

// Creates the file with zeros when missing, reads it into `record` and computes
// the start values from the given date and time texts.
RunStartValues prepareRunStart(const std::filesystem::path& folder, RunHistoryRecord& record,
                               std::string_view today, std::string_view now);

// Writes this run's date, time and count into the record and the file.
void recordRun(const std::filesystem::path& folder, RunHistoryRecord& record, const RunStartValues& values);

} // namespace wirtello
