#include "contact_file.h"

#include "csv_reader.h"
#include "import_text.h"
#include "vcard_reader.h"

#include "store/cp1250.h"
#include "store/io_error.h"
#include "store/safe_file.h"
#include "store/utf8_text.h"

#include <vector>

namespace wirtello {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// The reading takes the first tenth of the progress, the rest the contacts.
constexpr int kReadShare = 100;

ImportProgress scaled(const ImportProgress& progress, int from, int to)
{
    if (!progress)
        return {};
    return [=](int permille) { return progress(from + permille * (to - from) / 1000); };
}

std::string readAll(const std::filesystem::path& path, const ImportProgress& progress)
{
    RegularFile in(path, FileAccess::Read); // never a pipe or a device: it would never end
    const std::uintmax_t size = in.size();
    if (size > kLargestContactFile)
        throw ContactFileError("Plik jest za duży (" + std::to_string(size / (1024 * 1024)) + " MB). Program importuje pliki do "
                               + std::to_string(kLargestContactFile / (1024 * 1024)) + " MB.");
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<std::uint8_t> chunk(kChunk);
    for (std::size_t got = kChunk; got == kChunk;) {
        got = in.read(chunk);
        bytes.append(reinterpret_cast<const char*>(chunk.data()), got);
        if (bytes.size() > kLargestContactFile)
            throw ContactFileError("Plik jest za duży.");
        if (progress && !progress(static_cast<int>(std::min<std::uintmax_t>(bytes.size(), size) * 1000 / std::max<std::uintmax_t>(size, 1))))
            throw ImportCancelled();
    }
    return bytes;
}

} // namespace

ContactFileReading readContactBytes(std::string_view bytes, std::size_t room, const ImportProgress& progress)
{
    std::string text;
    if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom)) {
        text = toUtf8(bytes.substr(2), bytes.starts_with(kUtf16LeBom) ? "UTF-16LE" : "UTF-16BE");
        bytes = text;
    }
    if (bytes.starts_with(kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos)
        throw ContactFileError("Plik jest pusty.");
    if (bytes.substr(0, 4096).find('\0') != std::string_view::npos)
        throw ContactFileError("Plik nie jest wizytówką vCard ani plikiem CSV.");

    if (startsAsVcard(bytes))
        return readVcards(bytes, room, progress); // each line's own encoding is found as it is read
    if (!isValidUtf8(bytes)) {
        text = fromCp1250(bytes);
        bytes = text;
    }
    try {
        return readCsv(bytes, room, progress);
    } catch (const ContactFileError& error) {
        throw ContactFileError(std::string("Plik nie jest wizytówką vCard ani plikiem CSV z kontaktami. ") + error.what());
    }
}

ContactFileReading readContactFile(const std::filesystem::path& path, std::size_t room, const ImportProgress& progress)
{
    const std::string bytes = readAll(path, scaled(progress, 0, kReadShare));
    return readContactBytes(bytes, room, scaled(progress, kReadShare, 1000));
}

} // namespace wirtello
