#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace wirtello {

// The user's own company: six counted texts of capacity 50 (306 bytes), shared
// by the main window, the company data window and the cash document window.
class CompanyRecord {
public:
    static constexpr std::size_t kSize = 306;
    static constexpr int kLineCount = 6;

    // line 1..6: firma1 (name) .. firma4 (NIP), firma5 (bank), firma6 (account)
    std::string line(int number) const;
    void setLine(int number, std::string_view utf8);

    std::span<const std::uint8_t> bytes() const { return bytes_; }
    std::span<std::uint8_t> bytes() { return bytes_; }

private:
    std::array<std::uint8_t, kSize> bytes_{};
};

// Folder followed by "\ADMINI\firma.dat".
std::filesystem::path companyDataPath(const std::filesystem::path& folder);

// Creates the file with 306 zero bytes when missing, then reads it.
void loadCompanyRecord(const std::filesystem::path& path, CompanyRecord& record);
void storeCompanyRecord(const std::filesystem::path& path, const CompanyRecord& record);

} // namespace wirtello
