#include "data_folder.h"

#include "platform/platform.h"
#include "store/io_error.h"
#include "store/safe_file.h"

namespace wirtello {

std::optional<std::filesystem::path> ResolveDataFolder(NetworkModeRecord& record, bool serverCheck,
                                                       Platform& platform,
                                                       const std::filesystem::path& programFolder)
{
    record = loadNetworkMode(programFolder);
    // Links inside the data folder may not lead out of it, as in the program folder.
    const std::filesystem::path folder = trustFolderTree(selectedFolder(record, programFolder));
    if (!serverCheck || !inNetworkMode(record) || networkFolderReachable(folder))
        return folder;

    const bool switchToLocal = platform.askYesNo(
        QStringLiteral("Informacja"),
        QStringLiteral("Serwer baz danych nie jest dostępny.\rWlącz serwer lub sprawdź połączenia sieci a następnie "
                       "ponownie uruchom program.\r\rCzy anulować połączenie sieciowe i przełączyć się w tryb "
                       "lokalny ?"));
    if (switchToLocal) {
        try {
            switchToLocalMode(record, programFolder);
            platform.inform(QStringLiteral("Uruchom ponownie program"));
        } catch (const IoError& error) {
            // The switch did not happen: say so instead of asking for a restart,
            // and end all the same, as the user chose to stop this run.
            platform.showError(error);
        }
    }
    platform.endProcess();
    return std::nullopt;
}

bool checkBossLevel(Platform& platform)
{
    if (holdsBossLevel())
        return true;
    platform.inform(QStringLiteral("Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa."));
    return false;
}

} // namespace wirtello
