#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// The folder below the program folder that receives the export files.
inline constexpr std::string_view kExportFolder = "Eksport";

struct AddressExport {
    std::size_t contactCount = 0;
    // Empty when the book holds no contact: then nothing is written.
    std::filesystem::path vcardFile;
    std::filesystem::path csvFile;
    // Fields the vCard could not carry (they are still in the CSV file).
    std::vector<std::string> skipped;
};

// "adresy-2026-12-07": the name of both export files, without extension.
std::string exportFileStem(std::chrono::year_month_day date);

// Reads the contact database of the program folder and writes every contact
// to "Eksport/adresy-<date>.vcf" and ".csv", each replaced atomically. The
// folder is created when missing. Failures raise IoError.
AddressExport exportAddresses(const std::filesystem::path& programFolder, std::chrono::year_month_day date);

} // namespace wirtello
