#include "company_record.h"

#include "program_folder.h"

namespace wirtello {

std::filesystem::path companyDataPath(const std::filesystem::path& folder)
{
    return fileIn(folder, kAdminFolder, "firma.dat");
}

} // namespace wirtello
