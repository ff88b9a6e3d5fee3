#include "run_history.h"

#include "program_folder.h"

#include <cctype>
#include <limits>

namespace wirtello {

std::filesystem::path runHistoryPath(const std::filesystem::path& folder)
{
    return fileIn(folder, kAdminFolder, "historia.dat");
}

std::int32_t parseRunCount(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    constexpr long long kLimit = std::numeric_limits<std::int32_t>::max() - 1; // room for the +1
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = std::min(kLimit, value * 10 + (text[pos] - '0'));
        ++pos;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

RunStartValues prepareRunStart(const std::filesystem::path& folder, RunHistoryRecord& record,
                               std::string_view today, std::string_view now)
{
    record = RunHistoryRecord{};
    record = loadOrCreate<RunHistoryRecord>(runHistoryPath(folder));

    RunStartValues values;
    values.startDate = today;
    values.startTime = now;
    values.runCount = parseRunCount(record.runCountText()) + 1;
    values.runCountText = std::to_string(values.runCount);
    return values;
}

void recordRun(const std::filesystem::path& folder, RunHistoryRecord& record, const RunStartValues& values)
{
    record.setLastRunTime(values.startTime);
    record.setLastRunDate(values.startDate);
    record.setRunCountText(values.runCountText);
    storeRecord(runHistoryPath(folder), record);
}

} // namespace wirtello
