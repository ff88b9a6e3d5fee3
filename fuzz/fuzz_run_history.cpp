// The run history record: the run count read leniently, and a recorded run
// writes exactly the three texts, keeping every other byte of the file.
#include "fuzz/fuzz_support.h"
#include "store/run_history.h"

#include <limits>

using namespace wirtello;

namespace {

void putCounted(std::vector<std::uint8_t>& bytes, TextField field, std::string_view cp1250)
{
    bytes[field.offset] = static_cast<std::uint8_t>(cp1250.size());
    std::copy(cp1250.begin(), cp1250.end(), bytes.begin() + static_cast<std::ptrdiff_t>(field.offset) + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::emptyFolder("history");
    const std::span<const std::uint8_t> input(data, size);
    const std::filesystem::path path = runHistoryPath(folder);
    std::filesystem::create_directories(path.parent_path());

    RunHistoryRecord record;
    if (!fuzz::checkRecordFile(input, path, record))
        return 0;

    const std::string today = "07/12/2026";
    const std::string now = "10:15:00";
    RunHistoryRecord held;
    const RunStartValues values = prepareRunStart(folder, held, today, now);
    FUZZ_CHECK(held == record);
    const std::int32_t stored = parseRunCount(record.runCountText());
    FUZZ_CHECK(stored < std::numeric_limits<std::int32_t>::max());
    FUZZ_CHECK(values.runCount == stored + 1);
    FUZZ_CHECK(values.runCountText == std::to_string(values.runCount));
    // What the writer stores is what the reader reads, up to the count that
    // leaves room for one more run.
    if (values.runCount < std::numeric_limits<std::int32_t>::max())
        FUZZ_CHECK(parseRunCount(values.runCountText) == values.runCount);

    recordRun(folder, held, values);
    std::vector<std::uint8_t> expected(input.begin(), input.begin() + RunHistoryRecord::kSize);
    putCounted(expected, RunHistoryRecord::kDate, today);
    putCounted(expected, RunHistoryRecord::kTime, now);
    putCounted(expected, RunHistoryRecord::kCount, values.runCountText);
    FUZZ_CHECK(fuzz::readFile(path) == expected);

    RunHistoryRecord next;
    const RunStartValues nextValues = prepareRunStart(folder, next, today, now);
    FUZZ_CHECK(next.lastRunDate() == today && next.lastRunTime() == now);
    FUZZ_CHECK(nextValues.runCount
               == std::min<std::int64_t>(std::int64_t{values.runCount} + 1, std::numeric_limits<std::int32_t>::max()));
    return 0;
}
