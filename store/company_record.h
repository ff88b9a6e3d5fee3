#pragma once

#include "fixed_record.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace wirtello {

// The user's own company: six counted texts of capacity 50 (306 bytes), shared
// by the main window, the company data window and the cash document window.
// line 1..6: firma1 (name) .. firma4 (NIP), firma5 (bank), firma6 (account)
class CompanyRecord : public FixedRecord<306> {
public:
    static constexpr int kLineCount = 6;
    static constexpr TextField lineField(int number) { return {static_cast<std::size_t>(number - 1) * 51, 50}; }

    std::string line(int number) const { return text(lineField(number)); }
    void setLine(int number, std::string_view utf8) { setText(lineField(number), utf8); }
};

// Folder followed by "\ADMINI\firma.dat".
std::filesystem::path companyDataPath(const std::filesystem::path& folder);

// Creates the file with 306 zero bytes when missing, then reads it.
inline void loadCompanyRecord(const std::filesystem::path& path, CompanyRecord& record)
{
    record = loadOrCreate<CompanyRecord>(path);
}

inline void storeCompanyRecord(const std::filesystem::path& path, const CompanyRecord& record)
{
    storeRecord(path, record);
}

} // namespace wirtello
