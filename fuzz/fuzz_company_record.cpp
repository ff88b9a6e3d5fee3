// The own company record: what is read is kept byte for byte, and a save of
// the six lines as read changes nothing but length bytes beyond the capacity.
#include "fuzz/fuzz_support.h"
#include "store/company_record.h"

using namespace wirtello;

namespace {

std::vector<std::uint8_t> clampedLines(std::span<const std::uint8_t> bytes)
{
    return fuzz::withLengthsClamped(bytes, {CompanyRecord::lineField(1), CompanyRecord::lineField(2),
                                           CompanyRecord::lineField(3), CompanyRecord::lineField(4),
                                           CompanyRecord::lineField(5), CompanyRecord::lineField(6)});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::emptyFolder("company");
    const std::span<const std::uint8_t> input(data, size);
    const std::filesystem::path path = companyDataPath(folder);
    std::filesystem::create_directories(path.parent_path());

    CompanyRecord record;
    if (!fuzz::checkRecordFile(input, path, record))
        return 0;

    // The path the windows take: read, show the lines, save them unchanged.
    CompanyRecord shown;
    loadCompanyRecord(path, shown);
    FUZZ_CHECK(shown == record);
    std::array<std::string, CompanyRecord::kLineCount> lines;
    for (int line = 1; line <= CompanyRecord::kLineCount; ++line)
        lines[line - 1] = shown.line(line);
    for (int line = 1; line <= CompanyRecord::kLineCount; ++line)
        shown.setLine(line, lines[line - 1]);
    FUZZ_CHECK(fuzz::bytesEqual(shown, clampedLines(record.bytes())));
    storeCompanyRecord(path, shown);
    CompanyRecord again;
    loadCompanyRecord(path, again);
    FUZZ_CHECK(again == shown);
    for (int line = 1; line <= CompanyRecord::kLineCount; ++line)
        FUZZ_CHECK(again.line(line) == lines[line - 1]);
    return 0;
}
