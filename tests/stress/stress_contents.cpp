#include "stress_contents.h"

#include "envelope/envelope_records.h"
#include "store/company_record.h"
#include "store/run_history.h"

#include <algorithm>

namespace wirtello::test {

ContactDatabase roundDatabase(std::int64_t round)
{
    ContactDatabase database;
    const std::string tag = std::to_string(round);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        // Lengths change with the round too, so the bytes after a text differ.
        const std::string padding(static_cast<std::size_t>((round + slot) % 9), 'x');
        database.setText(ContactField::Display, slot, contactIdText(slot) + " Łódź " + tag + padding);
        database.setText(ContactField::Id, slot, contactIdText(slot));
        // The card fields are filled whole with letters of the round.
        for (int field = 2; field < kContactFieldCount; ++field) {
            std::span<std::uint8_t> bytes = database.field(static_cast<ContactField>(field), slot);
            bytes[0] = static_cast<std::uint8_t>(bytes.size() - 1);
            std::fill(bytes.begin() + 1, bytes.end(), static_cast<std::uint8_t>('a' + (round + slot + field) % 26));
        }
    }
    return database;
}

std::vector<std::uint8_t> roundDatabaseBytes(std::int64_t round)
{
    const ContactDatabase database = roundDatabase(round);
    return {database.bytes().begin(), database.bytes().end()};
}

std::vector<std::uint8_t> numberingBytes(std::int32_t number, std::string_view extension)
{
    NumberingRecord record;
    record.setNumber(kNumberField, number);
    record.setText(kExtensionField, extension);
    return {record.bytes().begin(), record.bytes().end()};
}

std::string sharedFileName(SharedFile file)
{
    switch (file) {
    case SharedFile::History: return "historia.dat";
    case SharedFile::Company: return "firma.dat";
    case SharedFile::EnvelopeSettings: return std::string(kEnvelopeSettingsFile);
    case SharedFile::LogoSettings: return std::string(kLogoSettingsFile);
    case SharedFile::Forma: return std::string(kFormaFile);
    case SharedFile::LayoutChoice: return std::string(kLayoutChoiceFile);
    }
    return {};
}

std::size_t sharedFileSize(SharedFile file)
{
    switch (file) {
    case SharedFile::History: return RunHistoryRecord::kSize;
    case SharedFile::Company: return CompanyRecord::kSize;
    case SharedFile::EnvelopeSettings: return EnvelopeSettingsRecord::kSize;
    case SharedFile::LogoSettings: return LogoSettingsRecord::kSize;
    case SharedFile::Forma: return FormaRecord::kSize;
    case SharedFile::LayoutChoice: return LayoutChoiceRecord::kSize;
    }
    return 0;
}

std::filesystem::path sharedFilePath(const std::filesystem::path& dataFolder, SharedFile file)
{
    switch (file) {
    case SharedFile::History: return runHistoryPath(dataFolder);
    case SharedFile::Company: return companyDataPath(dataFolder);
    case SharedFile::EnvelopeSettings: return envelopeSettingsPath(dataFolder);
    case SharedFile::LogoSettings: return logoSettingsPath(dataFolder);
    case SharedFile::Forma: return formaPath(dataFolder);
    case SharedFile::LayoutChoice: return layoutChoicePath(dataFolder);
    }
    return {};
}

std::vector<std::uint8_t> sharedFileInitial(SharedFile file)
{
    if (file == SharedFile::EnvelopeSettings) {
        const EnvelopeSettingsRecord defaults = defaultEnvelopeSettings();
        return {defaults.bytes().begin(), defaults.bytes().end()};
    }
    return std::vector<std::uint8_t>(sharedFileSize(file), 0);
}

std::filesystem::path readLogPath(const std::filesystem::path& logFolder, int writer, SharedFile file)
{
    return logFolder / (std::to_string(writer) + "-read-" + sharedFileName(file));
}

std::filesystem::path writtenLogPath(const std::filesystem::path& logFolder, int writer, SharedFile file)
{
    return logFolder / (std::to_string(writer) + "-written-" + sharedFileName(file));
}

std::filesystem::path numbersLogPath(const std::filesystem::path& logFolder, int writer)
{
    return logFolder / (std::to_string(writer) + "-numbers");
}

} // namespace wirtello::test
