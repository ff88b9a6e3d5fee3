#pragma once

#include "cash/numbering_file.h"
#include "store/contact_database.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello::test {

// What the helper process (store_loop) writes and the tests expect, built by
// the same code on both sides so a file can be compared byte for byte.

// The database of round `round`: every field of every slot changes with the
// round, so a file torn anywhere between two rounds matches neither.
ContactDatabase roundDatabase(std::int64_t round);
std::vector<std::uint8_t> roundDatabaseBytes(std::int64_t round);

inline constexpr std::string_view kLoopExtension = "KP/2026";
std::vector<std::uint8_t> numberingBytes(std::int32_t number, std::string_view extension);

// The files two programs change in one data folder, each a single record.
enum class SharedFile { History, Company, EnvelopeSettings, LogoSettings, Forma, LayoutChoice };
inline constexpr std::array kSharedFiles = {SharedFile::History,      SharedFile::Company,
                                            SharedFile::EnvelopeSettings, SharedFile::LogoSettings,
                                            SharedFile::Forma,        SharedFile::LayoutChoice};

std::string sharedFileName(SharedFile file);
std::size_t sharedFileSize(SharedFile file);
std::filesystem::path sharedFilePath(const std::filesystem::path& dataFolder, SharedFile file);
// What the program writes when the file is missing.
std::vector<std::uint8_t> sharedFileInitial(SharedFile file);

// The logs a writer keeps: every record it read and wrote, end to end, and
// the document numbers it took.
std::filesystem::path readLogPath(const std::filesystem::path& logFolder, int writer, SharedFile file);
std::filesystem::path writtenLogPath(const std::filesystem::path& logFolder, int writer, SharedFile file);
std::filesystem::path numbersLogPath(const std::filesystem::path& logFolder, int writer);

} // namespace wirtello::test
