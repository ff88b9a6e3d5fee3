// The archiver's configuration: every field is read within its own bytes, and
// a configuration written for a program folder reads back naming that folder.
#include "fuzz/fuzz_support.h"
#include "store/companion_config.h"
#include "store/counted_text.h"
#include "store/cp1250.h"

#include <array>

using namespace wirtello;

namespace {

constexpr std::size_t kFieldSize = 201;

// The program folder's name: any bytes a file name may hold.
std::string folderName(std::string_view raw)
{
    std::string name;
    for (const char c : raw)
        if (c != '/' && c != '\0')
            name += c;
    if (name.empty() || name == "." || name == "..")
        name = "p" + name;
    return name;
}

// What a field reads as after the writer stored `utf8` in it.
std::string storedAs(const std::string& utf8)
{
    return fromCp1250(toCp1250(utf8).substr(0, kFieldSize - 1));
}

// The file as patches over an empty record, so small inputs reach every
// field; sometimes short or long.
std::vector<std::uint8_t> configFile(fuzz::Input& input)
{
    std::vector<std::uint8_t> file(kCompanionConfigSize, 0);
    const int patches = input.byte() % 64;
    for (int i = 0; i < patches && !input.empty(); ++i) {
        const std::size_t offset = input.byte() % 52 * kFieldSize;
        const auto bytes = input.take(std::min<std::size_t>(input.byte(), kFieldSize));
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    switch (input.byte() % 8) {
    case 0: file.resize(input.u16() % kCompanionConfigSize); break;
    case 1: file.resize(kCompanionConfigSize + input.byte() + 1, 'x'); break;
    default: break;
    }
    return file;
}

void checkReader(fuzz::Input& input, const std::filesystem::path& folder)
{
    const std::vector<std::uint8_t> file = configFile(input);
    const std::span<const std::uint8_t> bytes(file);
    fuzz::writeFile(folder / "skarbiec_config.dat", bytes);
    CompanionConfig config;
    try {
        config = readCompanionConfig(folder);
    } catch (const IoError&) {
        FUZZ_CHECK(bytes.size() < kCompanionConfigSize);
        return;
    }
    FUZZ_CHECK(bytes.size() >= kCompanionConfigSize);
    auto field = [&](int index) { return readCounted(bytes.subspan(index * kFieldSize, kFieldSize)); };
    FUZZ_CHECK(config.baseFolder == field(0));
    FUZZ_CHECK(config.programFolder == field(51));
    std::size_t next = 0;
    for (int index = 1; index <= 50; ++index) {
        const std::string pattern = field(index);
        if (pattern.empty())
            continue;
        FUZZ_CHECK(next < config.patterns.size() && config.patterns[next] == pattern);
        ++next;
    }
    FUZZ_CHECK(next == config.patterns.size());
}

void checkWriter(fuzz::Input& input, const std::filesystem::path& base)
{
    static constexpr std::array<const char*, 11> kSubfolders = {
        "Add_dok", "Add_zad", "Admini", "Dokumenty", "Komentarze", "Koperta",
        "Koperty", "Logo",    "Notatki", "Terminarz", "Uwaga",
    };
    const std::filesystem::path program = base / folderName(input.text(120));
    std::error_code ignored;
    std::filesystem::remove_all(program, ignored);
    std::filesystem::create_directories(program);
    // Some subfolders exist, in a letter case of their own.
    const std::uint16_t present = input.u16();
    const std::uint16_t upper = input.u16();
    std::array<std::string, kSubfolders.size()> spelling;
    for (std::size_t i = 0; i < kSubfolders.size(); ++i) {
        spelling[i] = kSubfolders[i];
        if (present >> i & 1) {
            if (upper >> i & 1)
                for (char& c : spelling[i])
                    c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            std::filesystem::create_directory(program / spelling[i]);
        }
    }
    writeCompanionConfig(program);
    const CompanionConfig config = readCompanionConfig(program);
    const std::string folder = program.string();
    FUZZ_CHECK(config.baseFolder == storedAs(folder + "/"));
    FUZZ_CHECK(config.programFolder == storedAs(folder));
    FUZZ_CHECK(config.patterns.size() == kSubfolders.size());
    for (std::size_t i = 0; i < kSubfolders.size(); ++i)
        FUZZ_CHECK(config.patterns[i] == storedAs(folder + "/" + spelling[i] + "/*.*"));
    std::filesystem::remove_all(program, ignored);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::emptyFolder("companion");
    static const std::filesystem::path programs = fuzz::emptyFolder("companion-programs");
    fuzz::Input input(data, size);
    // The first byte chooses: the reader on a file the rest describes, or the
    // writer on a program folder named by the rest.
    if (input.byte() % 16 != 0)
        checkReader(input, folder);
    else
        checkWriter(input, programs);
    return 0;
}
