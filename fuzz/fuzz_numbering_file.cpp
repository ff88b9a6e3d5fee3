// The numbering file: a number is taken only from a sound file; then the file
// holds the next number and the same extension, every other byte kept; a
// short file (IoError) or a number that cannot be given (NumberingRefused) is
// refused and the file left exactly as it was.
#include "cash/numbering_file.h"
#include "fuzz/fuzz_support.h"

#include <limits>

using namespace wirtello;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path made = fuzz::emptyFolder("numbering");
        std::filesystem::create_directory(made / "Dokumenty");
        return made;
    }();
    const std::span<const std::uint8_t> file(data, size);
    const std::filesystem::path path = numberingPath(folder, DocumentKind::Kp);
    fuzz::writeFile(path, file);

    NumberingRecord read;
    if (file.size() >= NumberingRecord::kSize)
        std::copy_n(file.begin(), NumberingRecord::kSize, read.bytes().begin());
    const std::int32_t number = read.number(kNumberField);
    const bool sound = file.size() >= NumberingRecord::kSize && number >= 0
        && number < std::numeric_limits<std::int32_t>::max();

    DocumentNumber taken;
    try {
        taken = takeDocumentNumber(path);
    } catch (const IoError& error) {
        FUZZ_CHECK(file.size() < NumberingRecord::kSize);
        FUZZ_CHECK(error.path() == path);
        FUZZ_CHECK(fuzz::readFile(path) == std::vector<std::uint8_t>(file.begin(), file.end()));
        return 0;
    } catch (const NumberingRefused&) {
        // A whole record whose number is negative or the last one.
        FUZZ_CHECK(!sound && file.size() >= NumberingRecord::kSize);
        FUZZ_CHECK(fuzz::readFile(path) == std::vector<std::uint8_t>(file.begin(), file.end()));
        return 0;
    }
    FUZZ_CHECK(sound);
    FUZZ_CHECK(taken.number == number && taken.extension == read.text(kExtensionField));

    NumberingRecord expected = read;
    expected.setNumber(kNumberField, number + 1);
    const auto clamped = fuzz::withLengthsClamped(expected.bytes(), {kExtensionField});
    FUZZ_CHECK(fuzz::readFile(path) == clamped);

    // The next printout takes the next number with the same extension.
    if (number + 1 < std::numeric_limits<std::int32_t>::max()) {
        const DocumentNumber next = takeDocumentNumber(path);
        FUZZ_CHECK(next.number == number + 1 && next.extension == taken.extension);
    }

    // A missing file starts at 1 with no extension.
    std::filesystem::remove(path);
    createNumberingFileIfMissing(path);
    const DocumentNumber first = takeDocumentNumber(path);
    FUZZ_CHECK(first.number == 1 && first.extension.empty());
    return 0;
}
