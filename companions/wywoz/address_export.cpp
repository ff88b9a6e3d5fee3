#include "address_export.h"

#include "contact_csv.h"
#include "contact_vcard.h"
#include "exported_contact.h"

#include "store/contact_database.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/record_file.h"

#include <cstdio>
#include <span>
#include <system_error>

namespace wirtello {
namespace {

void writeText(const std::filesystem::path& path, const std::string& text)
{
    writeRecord(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace

std::string exportFileStem(std::chrono::year_month_day date)
{
    char stem[64];
    std::snprintf(stem, sizeof stem, "adresy-%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return stem;
}

AddressExport exportAddresses(const std::filesystem::path& programFolder, std::chrono::year_month_day date)
{
    ContactDatabase database;
    database.load(contactDatabasePath(programFolder));
    const std::vector<ExportedContact> contacts = exportedContacts(database);

    AddressExport result;
    result.contactCount = contacts.size();
    if (contacts.empty())
        return result;

    const std::filesystem::path folder = joinPath(programFolder, kExportFolder);
    std::error_code ec;
    std::filesystem::create_directory(folder, ec);
    if (ec || !std::filesystem::is_directory(folder, ec))
        throw IoError(kFolderFailed, folder);

    VcardExport vcards = buildVcards(contacts, programFolder);
    const std::string stem = exportFileStem(date);
    result.vcardFile = folder / (stem + ".vcf");
    result.csvFile = folder / (stem + ".csv");
    writeText(result.vcardFile, vcards.text);
    writeText(result.csvFile, buildCsv(contacts));
    result.skipped = std::move(vcards.skipped);
    return result;
}

} // namespace wirtello
