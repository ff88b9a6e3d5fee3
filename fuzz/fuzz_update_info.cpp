// The update information file: its first three lines, whatever ends them, and
// the three lines written back read as they were.
#include "admin/update_info.h"
#include "fuzz/fuzz_support.h"
#include "store/cp1250.h"

using namespace wirtello;

namespace {

// The first three lines by the plain rule: a line ends at CR LF, LF or CR.
std::array<std::string, 3> firstLines(std::string_view bytes)
{
    std::array<std::string, 3> lines;
    std::size_t pos = 0;
    for (std::string& line : lines) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        line = fromCp1250(bytes.substr(pos, end - pos));
        pos = end;
        if (pos < bytes.size())
            pos += bytes.substr(pos, 2) == "\r\n" ? 2 : 1;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path path = fuzz::emptyFolder("update") / "27.txt";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile(path, fuzz::asBytes(bytes));

    const UpdateInfo info = readUpdateInfo(path);
    const auto lines = firstLines(bytes);
    FUZZ_CHECK(info.referenceVersion == lines[0]);
    FUZZ_CHECK(info.kindLetter == lines[1]);
    FUZZ_CHECK(info.downloadText == lines[2]);

    // The installed version equal to the reference is never a paid update.
    const UpdateOutcome same = compareUpdate(info.referenceVersion, info);
    FUZZ_CHECK(same != UpdateOutcome::PaidUpdate);
    FUZZ_CHECK((same == UpdateOutcome::UpToDate) == (info.kindLetter == "k"));
    FUZZ_CHECK((same == UpdateOutcome::FreeUpdate) == (info.kindLetter == "d"));
    FUZZ_CHECK(compareUpdate(info.referenceVersion + "x", info) == UpdateOutcome::PaidUpdate);

    const std::string written = toCp1250(info.referenceVersion) + "\r\n" + toCp1250(info.kindLetter) + "\r\n"
        + toCp1250(info.downloadText) + "\r\n";
    fuzz::writeFile(path, fuzz::asBytes(written));
    const UpdateInfo again = readUpdateInfo(path);
    FUZZ_CHECK(again.referenceVersion == info.referenceVersion && again.kindLetter == info.kindLetter
               && again.downloadText == info.downloadText);
    return 0;
}
