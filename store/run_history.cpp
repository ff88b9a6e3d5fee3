#include "run_history.h"

#include "counted_text.h"
#include "paths.h"
#include "record_file.h"

#include <cctype>
#include <limits>

namespace wirtello {
namespace {

constexpr std::size_t kTextField = 16;
constexpr std::size_t kDateOffset = 0;
constexpr std::size_t kTimeOffset = 16;
constexpr std::size_t kCountOffset = 32;

} // namespace

std::string RunHistoryRecord::lastRunDate() const { return readCounted(bytes().subspan(kDateOffset, kTextField)); }
std::string RunHistoryRecord::lastRunTime() const { return readCounted(bytes().subspan(kTimeOffset, kTextField)); }
std::string RunHistoryRecord::runCountText() const { return readCounted(bytes().subspan(kCountOffset, kTextField)); }
void RunHistoryRecord::setLastRunDate(std::string_view t) { writeCounted(bytes().subspan(kDateOffset, kTextField), t); }
void RunHistoryRecord::setLastRunTime(std::string_view t) { writeCounted(bytes().subspan(kTimeOffset, kTextField), t); }
void RunHistoryRecord::setRunCountText(std::string_view t) { writeCounted(bytes().subspan(kCountOffset, kTextField), t); }

std::filesystem::path runHistoryPath(const std::filesystem::path& folder)
{
    return joinPath(folder, "/Admini/historia.dat");
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
    const auto path = runHistoryPath(folder);
    createZeroRecordIfMissing(path, RunHistoryRecord::kSize);
    record = RunHistoryRecord{};
    readRecordInto(path, record.bytes());

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
    writeRecord(runHistoryPath(folder), record.bytes());
}

} // namespace wirtello
