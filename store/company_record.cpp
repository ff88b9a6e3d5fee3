#include "company_record.h"

#include "counted_text.h"
#include "paths.h"
#include "record_file.h"

#include <cassert>

namespace wirtello {
namespace {

constexpr std::size_t kFieldSize = 51;

} // namespace

std::string CompanyRecord::line(int number) const
{
    assert(number >= 1 && number <= kLineCount);
    return readCounted(bytes().subspan((number - 1) * kFieldSize, kFieldSize));
}

void CompanyRecord::setLine(int number, std::string_view utf8)
{
    assert(number >= 1 && number <= kLineCount);
    writeCounted(bytes().subspan((number - 1) * kFieldSize, kFieldSize), utf8);
}

std::filesystem::path companyDataPath(const std::filesystem::path& folder)
{
    return joinPath(folder, "\\ADMINI\\firma.dat");
}

void loadCompanyRecord(const std::filesystem::path& path, CompanyRecord& record)
{
    createZeroRecordIfMissing(path, CompanyRecord::kSize);
    readRecordInto(path, record.bytes());
}

void storeCompanyRecord(const std::filesystem::path& path, const CompanyRecord& record)
{
    writeRecord(path, record.bytes());
}

} // namespace wirtello
