// The print font record: a read takes the file whole or not at all; the font
// dialog confirmed unchanged writes back what was read (the face's length
// within its capacity, only the four style bits); a chosen font reads back as
// chosen, cut to what the record holds.
#include "fuzz/fuzz_support.h"
#include "print/print_font.h"
#include "store/cp1250.h"

#include <unistd.h>

using namespace wirtello;

namespace {

const std::filesystem::path& fontFile()
{
    // The print font lives below the current directory, as the program keeps it.
    static const std::filesystem::path path = [] {
        const std::filesystem::path folder = fuzz::emptyFolder("font");
        std::filesystem::create_directory(folder / "FONT");
        if (::chdir(folder.c_str()) != 0)
            std::abort();
        return folder / "FONT" / kPrintFontFile;
    }();
    return path;
}

void checkUnchangedSave(std::span<const std::uint8_t> record, CurrentPrintFont& font)
{
    std::optional<FontChoice> shown;
    ZapiszFonty(font, kPrintFontFile, [&](const FontChoice& choice) {
        shown = choice;
        return std::optional<FontChoice>(choice);
    });
    FUZZ_CHECK(shown.has_value());
    auto expected = fuzz::withLengthsClamped(record, {PrintFontRecord::kFace});
    expected[PrintFontRecord::kStyleAt] &= PrintFontRecord::kStyleBits;
    if (expected[PrintFontRecord::kFace.offset] == 0) {
        // No face in the file: the dialog offered the face it showed last.
        FUZZ_CHECK(shown->face == "Tahoma");
        PrintFontRecord withFace;
        std::copy(expected.begin(), expected.end(), withFace.bytes().begin());
        withFace.setFace("Tahoma");
        expected.assign(withFace.bytes().begin(), withFace.bytes().end());
    }
    FUZZ_CHECK(fuzz::readFile(fontFile()) == expected);

    CurrentPrintFont again;
    CzytajFonty(again, kPrintFontFile);
    FUZZ_CHECK(fuzz::bytesEqual(again.record(), expected));
    FUZZ_CHECK(again.face() == shown->face && again.size() == shown->points);
    FUZZ_CHECK(again.colour() == shown->colour && again.style() == (shown->style & PrintFontRecord::kStyleBits));
}

void checkChosenFont(fuzz::Input& input, CurrentPrintFont& font)
{
    FontChoice chosen;
    chosen.colour = static_cast<std::int32_t>(input.u16() | std::uint32_t{input.u16()} << 16);
    chosen.points = static_cast<std::int32_t>(input.u16() | std::uint32_t{input.u16()} << 16);
    chosen.style = input.byte();
    chosen.face = input.text(100);
    ZapiszFonty(font, kPrintFontFile, [&](const FontChoice&) { return std::optional<FontChoice>(chosen); });
    CurrentPrintFont again;
    CzytajFonty(again, kPrintFontFile);
    FUZZ_CHECK(again.face() == fromCp1250(toCp1250(chosen.face).substr(0, PrintFontRecord::kFace.capacity)));
    FUZZ_CHECK(again.size() == chosen.points && again.colour() == chosen.colour);
    FUZZ_CHECK(again.style() == (chosen.style & PrintFontRecord::kStyleBits));
    FUZZ_CHECK(font.record() == again.record() && font.face() == again.face() && font.size() == again.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path& path = fontFile();
    fuzz::Input input(data, size);
    const bool chooseAnother = input.byte() & 1;
    const auto file = input.take(input.byte() < 128 ? PrintFontRecord::kSize + input.byte() % 8 : input.byte() % 80);
    fuzz::writeFile(path, file);

    CurrentPrintFont font;
    try {
        CzytajFonty(font, kPrintFontFile);
    } catch (const IoError&) {
        FUZZ_CHECK(file.size() < PrintFontRecord::kSize);
        // A failed read leaves the current font as it was.
        FUZZ_CHECK(font.record() == PrintFontRecord{} && font.face().empty() && font.size() == 0);
        return 0;
    }
    FUZZ_CHECK(file.size() >= PrintFontRecord::kSize);
    const auto record = file.first(PrintFontRecord::kSize);
    FUZZ_CHECK(fuzz::bytesEqual(font.record(), record));
    FUZZ_CHECK(font.face() == font.record().face() && font.size() == font.record().points());

    if (chooseAnother)
        checkChosenFont(input, font);
    else
        checkUnchangedSave(record, font);
    return 0;
}
