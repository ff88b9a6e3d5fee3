#include "update_info.h"

#include "store/cp1250.h"
#include "store/io_error.h"

#include <fstream>
#include <system_error>

namespace wirtello {
namespace {

// One line without its end: CR LF, LF or a lone CR.
std::string readLine(std::istream& in)
{
    std::string line;
    char c = 0;
    while (in.get(c)) {
        if (c == '\n')
            break;
        if (c == '\r') {
            if (in.peek() == '\n')
                in.get();
            break;
        }
        line += c;
    }
    return fromCp1250(line);
}

} // namespace

UpdateInfo readUpdateInfo(const std::filesystem::path& path)
{
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ec))
        in.open(path, std::ios::binary);
    if (!in.is_open())
        throw IoError("Nie można odczytać pliku", path);
    UpdateInfo info;
    info.referenceVersion = readLine(in);
    info.kindLetter = readLine(in);
    info.downloadText = readLine(in);
    if (in.bad())
        throw IoError("Nie można odczytać pliku", path);
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
