#include "envelope_records.h"

#include "store/program_folder.h"

namespace wirtello {
namespace {

// Offsets inside an envelope settings record; a profile holds one at 0.
constexpr std::array<std::size_t, 4> kSenderAt = {0, 81, 162, 243};
constexpr std::size_t kSenderCapacity = 80;
// The four left values come first, then the four top values.
constexpr std::array<std::size_t, 4> kLeftAt = {324, 330, 336, 342};
constexpr std::array<std::size_t, 4> kTopAt = {348, 354, 360, 366};
constexpr std::size_t kPresetCapacity = 5;
constexpr TextField kSpacing{372, 5};
constexpr TextField kSenderLeft{378, 50};
constexpr TextField kSenderTop{429, 50};

// Offsets inside a logo settings record; a profile holds one at 480.
constexpr TextField kLogoPath{0, 230};
constexpr TextField kLogoLeft{231, 5};
constexpr TextField kLogoTop{237, 5};

constexpr std::size_t kProfileLogoAt = 480;
constexpr std::size_t kProfileChoiceAt = 723;

constexpr TextField kForma{0, 20};

constexpr TextField at(std::size_t base, TextField field)
{
    return {base + field.offset, field.capacity};
}

template <std::size_t N>
EnvelopeSettings readSettings(const FixedRecord<N>& record, std::size_t base)
{
    EnvelopeSettings settings;
    for (std::size_t i = 0; i < 4; ++i) {
        settings.sender[i] = record.text({base + kSenderAt[i], kSenderCapacity});
        settings.left[i] = record.text({base + kLeftAt[i], kPresetCapacity});
        settings.top[i] = record.text({base + kTopAt[i], kPresetCapacity});
    }
    settings.spacing = record.text(at(base, kSpacing));
    settings.senderLeft = record.text(at(base, kSenderLeft));
    settings.senderTop = record.text(at(base, kSenderTop));
    return settings;
}

template <std::size_t N>
void writeSettings(FixedRecord<N>& record, std::size_t base, const EnvelopeSettings& settings)
{
    for (std::size_t i = 0; i < 4; ++i) {
        record.setText({base + kSenderAt[i], kSenderCapacity}, settings.sender[i]);
        record.setText({base + kLeftAt[i], kPresetCapacity}, settings.left[i]);
        record.setText({base + kTopAt[i], kPresetCapacity}, settings.top[i]);
    }
    record.setText(at(base, kSpacing), settings.spacing);
    record.setText(at(base, kSenderLeft), settings.senderLeft);
    record.setText(at(base, kSenderTop), settings.senderTop);
}

template <std::size_t N>
LogoSettings readLogo(const FixedRecord<N>& record, std::size_t base)
{
    return {record.text(at(base, kLogoPath)), record.text(at(base, kLogoLeft)), record.text(at(base, kLogoTop))};
}

template <std::size_t N>
void writeLogo(FixedRecord<N>& record, std::size_t base, const LogoSettings& logo)
{
    record.setText(at(base, kLogoPath), logo.path);
    record.setText(at(base, kLogoLeft), logo.left);
    record.setText(at(base, kLogoTop), logo.top);
}

template <std::size_t N>
LayoutChoice readChoice(const FixedRecord<N>& record, std::size_t base)
{
    return {record.byte(base), record.byte(base + 1), record.byte(base + 2)};
}

template <std::size_t N>
void writeChoice(FixedRecord<N>& record, std::size_t base, const LayoutChoice& choice)
{
    record.setByte(base, choice.preset);
    record.setByte(base + 1, choice.logo);
    record.setByte(base + 2, choice.landscape);
}

} // namespace

void applyLayoutChoice(const LayoutChoice& choice, LayoutTicks& ticks)
{
    if (choice.preset >= 1 && choice.preset <= 4)
        ticks.preset = choice.preset;
    if (choice.logo <= 1)
        ticks.logo = choice.logo == 1;
    if (choice.landscape <= 1)
        ticks.landscape = choice.landscape == 1;
}

LayoutChoice layoutChoiceOf(const LayoutTicks& ticks, const LayoutChoice& previous)
{
    LayoutChoice choice;
    choice.preset = ticks.preset >= 1 && ticks.preset <= 4 ? static_cast<std::uint8_t>(ticks.preset) : previous.preset;
    choice.logo = ticks.logo ? 1 : 0;
    choice.landscape = ticks.landscape ? 1 : 0;
    return choice;
}

EnvelopeSettings EnvelopeSettingsRecord::settings() const { return readSettings(*this, 0); }
void EnvelopeSettingsRecord::setSettings(const EnvelopeSettings& settings) { writeSettings(*this, 0, settings); }

LogoSettings LogoSettingsRecord::logo() const { return readLogo(*this, 0); }
void LogoSettingsRecord::setLogo(const LogoSettings& logo) { writeLogo(*this, 0, logo); }

std::string FormaRecord::forma() const { return text(kForma); }
void FormaRecord::setForma(std::string_view utf8) { setText(kForma, utf8); }

LayoutChoice LayoutChoiceRecord::choice() const { return readChoice(*this, 0); }
void LayoutChoiceRecord::setChoice(const LayoutChoice& choice) { writeChoice(*this, 0, choice); }

EnvelopeSettings EnvelopeProfileRecord::settings() const { return readSettings(*this, 0); }
void EnvelopeProfileRecord::setSettings(const EnvelopeSettings& settings) { writeSettings(*this, 0, settings); }
LogoSettings EnvelopeProfileRecord::logo() const { return readLogo(*this, kProfileLogoAt); }
void EnvelopeProfileRecord::setLogo(const LogoSettings& logo) { writeLogo(*this, kProfileLogoAt, logo); }
LayoutChoice EnvelopeProfileRecord::choice() const { return readChoice(*this, kProfileChoiceAt); }
void EnvelopeProfileRecord::setChoice(const LayoutChoice& choice) { writeChoice(*this, kProfileChoiceAt, choice); }

EnvelopeSettingsRecord defaultEnvelopeSettings()
{
    EnvelopeSettings settings;
    settings.left = {"50", "100", "150", "200"};
    settings.top = {"50", "100", "150", "200"};
    settings.spacing = "5";
    settings.senderLeft = "5";
    settings.senderTop = "5";
    EnvelopeSettingsRecord record;
    record.setSettings(settings);
    return record;
}

std::filesystem::path envelopeSettingsPath(const std::filesystem::path& dataFolder)
{
    return fileIn(dataFolder, kAdminFolder, kEnvelopeSettingsFile);
}

std::filesystem::path logoSettingsPath(const std::filesystem::path& dataFolder)
{
    return fileIn(dataFolder, kAdminFolder, kLogoSettingsFile);
}

std::filesystem::path formaPath(const std::filesystem::path& dataFolder)
{
    return fileIn(dataFolder, kAdminFolder, kFormaFile);
}

std::filesystem::path layoutChoicePath(const std::filesystem::path& dataFolder)
{
    return fileIn(dataFolder, kAdminFolder, kLayoutChoiceFile);
}

std::filesystem::path profilesFolder(const std::filesystem::path& dataFolder)
{
    return joinPath(dataFolder, kEnvelopesFolder);
}

std::filesystem::path withProfileExtension(const std::filesystem::path& chosen)
{
    if (chosen.empty() || chosen.has_extension())
        return chosen;
    std::filesystem::path named = chosen;
    named += kProfileExtension;
    return named;
}

} // namespace wirtello
