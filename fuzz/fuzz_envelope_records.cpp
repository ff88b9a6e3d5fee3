// The envelope records and profiles: each file reads whole, a save of what
// was read changes nothing but length bytes beyond the capacity, and a layout
// choice the window shows is stored again as it was read when it was valid.
#include "envelope/envelope_records.h"
#include "fuzz/fuzz_support.h"

using namespace wirtello;

namespace {

// Every counted text of an envelope settings record at `base`.
std::vector<TextField> settingsFields(std::size_t base)
{
    std::vector<TextField> fields;
    for (std::size_t i = 0; i < 4; ++i) {
        fields.push_back({base + i * 81, 80});
        fields.push_back({base + 324 + i * 6, 5});
        fields.push_back({base + 348 + i * 6, 5});
    }
    fields.push_back({base + 372, 5});
    fields.push_back({base + 378, 50});
    fields.push_back({base + 429, 50});
    return fields;
}

std::vector<TextField> logoFields(std::size_t base)
{
    return {{base, 230}, {base + 231, 5}, {base + 237, 5}};
}

template <std::size_t N>
void checkClamped(const FixedRecord<N>& saved, std::span<const std::uint8_t> read, const std::vector<TextField>& fields)
{
    std::vector<std::uint8_t> expected(read.begin(), read.end());
    for (const TextField& field : fields)
        expected[field.offset] = static_cast<std::uint8_t>(std::min<std::size_t>(expected[field.offset], field.capacity));
    FUZZ_CHECK(fuzz::bytesEqual(saved, expected));
}

bool validChoice(const LayoutChoice& choice)
{
    return choice.preset >= 1 && choice.preset <= 4 && choice.logo <= 1 && choice.landscape <= 1;
}

void checkChoice(const LayoutChoice& stored, const LayoutTicks& before)
{
    LayoutTicks shown = before;
    applyLayoutChoice(stored, shown);
    const LayoutChoice again = layoutChoiceOf(shown, stored);
    if (validChoice(stored))
        FUZZ_CHECK(again == stored);
    FUZZ_CHECK(validChoice(again) || (before.preset == 0 && again.preset == stored.preset));
    LayoutTicks reshown = before;
    applyLayoutChoice(again, reshown);
    FUZZ_CHECK(reshown.logo == shown.logo && reshown.landscape == shown.landscape);
}

// What the window showed before the choice was applied.
LayoutTicks ticksFrom(fuzz::Input& input)
{
    LayoutTicks ticks;
    ticks.preset = input.byte() % 5;
    ticks.logo = (input.byte() & 1) != 0;
    ticks.landscape = (input.byte() & 1) != 0;
    return ticks;
}

template <typename Record>
void checkFile(std::span<const std::uint8_t> file, const std::filesystem::path& path, fuzz::Input& rest)
{
    Record record;
    if (!fuzz::checkRecordFile(file, path, record))
        return;
    const auto read = file.first(Record::kSize);
    Record saved = record;
    if constexpr (std::is_same_v<Record, EnvelopeSettingsRecord>) {
        saved.setSettings(record.settings());
        checkClamped(saved, read, settingsFields(0));
    } else if constexpr (std::is_same_v<Record, LogoSettingsRecord>) {
        saved.setLogo(record.logo());
        checkClamped(saved, read, logoFields(0));
    } else if constexpr (std::is_same_v<Record, FormaRecord>) {
        saved.setForma(record.forma());
        checkClamped(saved, read, {{0, 20}});
    } else if constexpr (std::is_same_v<Record, LayoutChoiceRecord>) {
        checkChoice(record.choice(), ticksFrom(rest));
        saved.setChoice(record.choice());
        FUZZ_CHECK(saved == record);
    } else {
        saved.setSettings(record.settings());
        saved.setLogo(record.logo());
        saved.setChoice(record.choice());
        auto fields = settingsFields(0);
        for (const TextField& field : logoFields(480))
            fields.push_back(field);
        checkClamped(saved, read, fields);
        checkChoice(record.choice(), ticksFrom(rest));
    }
    storeRecord(path, saved);
    const Record again = loadRecord<Record>(path);
    FUZZ_CHECK(again == saved);
    if constexpr (std::is_same_v<Record, EnvelopeSettingsRecord>)
        FUZZ_CHECK(again.settings() == record.settings());
    else if constexpr (std::is_same_v<Record, LogoSettingsRecord>)
        FUZZ_CHECK(again.logo() == record.logo());
    else if constexpr (std::is_same_v<Record, FormaRecord>)
        FUZZ_CHECK(again.forma() == record.forma());
    else if constexpr (std::is_same_v<Record, EnvelopeProfileRecord>)
        FUZZ_CHECK(again.settings() == record.settings() && again.logo() == record.logo()
                   && again.choice() == record.choice());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path made = fuzz::emptyFolder("envelope");
        std::filesystem::create_directory(made / "admini");
        std::filesystem::create_directory(made / "Koperty");
        return made;
    }();
    fuzz::Input input(data, size);
    const int kind = input.byte() % 5;
    const std::size_t length = input.u16() % 1024;
    const auto file = input.take(length);
    switch (kind) {
    case 0: checkFile<EnvelopeSettingsRecord>(file, envelopeSettingsPath(folder), input); break;
    case 1: checkFile<LogoSettingsRecord>(file, logoSettingsPath(folder), input); break;
    case 2: checkFile<FormaRecord>(file, formaPath(folder), input); break;
    case 3: checkFile<LayoutChoiceRecord>(file, layoutChoicePath(folder), input); break;
    default:
        checkFile<EnvelopeProfileRecord>(file, withProfileExtension(profilesFolder(folder) / "profil"), input);
    }
    return 0;
}
