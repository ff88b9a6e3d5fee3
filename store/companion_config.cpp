#include "companion_config.h"

#include "counted_text.h"
#include "io_error.h"
#include "paths.h"
#include "record_file.h"

#include <array>
#include <span>
#include <string>

namespace wirtello {
namespace {

constexpr std::size_t kFieldSize = 201;
constexpr int kProgramFolderField = 51;

constexpr std::array<const char*, 11> kSubfolders = {
    "Add_dok", "Add_zad", "Admini", "Dokumenty", "Komentarze", "Koperta",
    "Koperty", "Logo",    "Notatki", "Terminarz", "Uwaga",
};

} // namespace

std::vector<std::uint8_t> buildCompanionConfig(const std::filesystem::path& programFolder)
{
    std::vector<std::uint8_t> record(kCompanionConfigSize, 0);
    const std::string folder = programFolder.string();
    const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
    auto setField = [&record](int index, const std::string& utf8) {
        writeCounted(std::span(record).subspan(index * kFieldSize, kFieldSize), utf8);
    };

    setField(0, folder + separator);
    for (std::size_t i = 0; i < kSubfolders.size(); ++i) {
        const std::string name = existingSpelling(programFolder, kSubfolders[i]);
        setField(static_cast<int>(i) + 1, folder + separator + name + separator + "*.*");
    }
    setField(kProgramFolderField, folder);
    return record;
}

std::vector<std::string> companionFolders()
{
    return {kSubfolders.begin(), kSubfolders.end()};
}

void writeCompanionConfig(const std::filesystem::path& programFolder)
{
    const std::filesystem::path path = joinPath(programFolder, "skarbiec_config.dat");
    const std::vector<std::uint8_t> record = buildCompanionConfig(programFolder);
    // The file already holding exactly these bytes is left alone: a durable
    // rewrite at every start costs the start a few disk flushes for nothing.
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) == record.size() && !ec) {
        try {
            if (readRecord(path, record.size()) == record)
                return;
        } catch (const IoError&) {
            // unreadable: written anew below, which reports what is wrong
        }
    }
    writeRecord(path, record);
}

CompanionConfig parseCompanionConfig(std::span<const std::uint8_t> record)
{
    auto field = [&record](int index) { return readCounted(record.subspan(index * kFieldSize, kFieldSize)); };
    CompanionConfig config;
    config.baseFolder = field(0);
    for (int index = 1; index < kProgramFolderField; ++index) {
        std::string pattern = field(index);
        if (!pattern.empty())
            config.patterns.push_back(std::move(pattern));
    }
    config.programFolder = field(kProgramFolderField);
    return config;
}

CompanionConfig readCompanionConfig(const std::filesystem::path& programFolder)
{
    return parseCompanionConfig(readRecord(joinPath(programFolder, "skarbiec_config.dat"), kCompanionConfigSize));
}

} // namespace wirtello
