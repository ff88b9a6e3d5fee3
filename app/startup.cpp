#include "startup.h"

#include "store/companion_config.h"

#include "store/paths.h"

#include <filesystem>

namespace wirtello {

void prepareProgramFolder(AppData& data)
{
    writeCompanionConfig(data.programFolder);
    data.companyPath = companyDataPath(data.programFolder);
    loadCompanyRecord(data.companyPath, data.company);
    createContactFilesIfMissing(data.programFolder);
    data.contacts.load(contactDatabasePath(data.programFolder));
    data.contactsLoaded = true;
}

} // namespace wirtello
