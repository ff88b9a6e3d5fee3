// Text files of the editor and the fixed contents: any bytes read as lines;
// the lines written back read as the same lines, and a file that already ends
// every line with CR LF is written back byte for byte.
#include "cash/text_lines.h"
#include "fuzz/fuzz_support.h"

using namespace wirtello;

namespace {

// Every line ends with CR LF and no lone CR or LF is inside.
bool crLfOnly(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 >= bytes.size() || bytes[i + 1] != '\n')
                return false;
            ++i;
        } else if (bytes[i] == '\n') {
            return false;
        }
    }
    return bytes.empty() || bytes.ends_with("\r\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path path = fuzz::emptyFolder("text") / "kptresc.dat";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile(path, fuzz::asBytes(bytes));

    const std::vector<std::string> lines = readTextLines(path);
    for (const std::string& line : lines)
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);

    writeTextLines(path, lines);
    FUZZ_CHECK(readTextLines(path) == lines);
    if (crLfOnly(bytes)) {
        const auto written = fuzz::readFile(path);
        FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(written.data()), written.size()) == bytes);
    }

    // The editor shows the lines joined by line feeds and splits them again on saving.
    FUZZ_CHECK(splitEditedText(joinEditedText(lines)) == lines);
    return 0;
}
