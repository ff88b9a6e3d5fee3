#include "update_info.h"

#include "store/cp1250.h"
#include "store/safe_file.h"

#include <algorithm>

namespace wirtello {
namespace {

// Three short lines; anything longer is no update information.
constexpr std::uintmax_t kLargestUpdateInfo = 16 * 1024;

// The next line of `text` without its end (CR LF, LF or a lone CR); the rest
// stays in `text`.
std::string takeLine(std::string_view& text)
{
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string line = fromCp1250(text.substr(0, end));
    std::size_t next = end;
    if (next < text.size())
        next += text.substr(next).starts_with("\r\n") ? 2 : 1;
    text.remove_prefix(next);
    return line;
}

} // namespace

UpdateInfo readUpdateInfo(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = readRegularFile(path, kLargestUpdateInfo);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    UpdateInfo info;
    info.referenceVersion = takeLine(text);
    info.kindLetter = takeLine(text);
    info.downloadText = takeLine(text);
    return info;
}

UpdateOutcome compareUpdate(std::string_view installedVersion, const UpdateInfo& info)
{
    if (installedVersion != info.referenceVersion)
        return UpdateOutcome::PaidUpdate;
    if (info.kindLetter == "k")
        return UpdateOutcome::UpToDate;
    if (info.kindLetter == "d")
        return UpdateOutcome::FreeUpdate;
    return UpdateOutcome::None;
}

} // namespace wirtello
