#include "startup.h"

#include "store/companion_config.h"
#include "store/program_folder.h"
#include "store/record_file.h"
#include "store/restore_journal.h"

#include <cstdlib>

namespace wirtello {

void prepareProgramFolder(AppData& data, const std::function<void(const IoError&)>& report)
{
    const auto step = [&](const auto& run) {
        try {
            run();
        } catch (const IoError& error) {
            report(error);
        }
    };
    // Temporary files left by a write that never finished (a crash, a power cut).
    removeStaleTemporaryFiles(data.programFolder);
    for (const std::string_view subfolder :
         {kAdminFolder, kNotesFolder, kFontFolder, kDocumentsFolder, kEnvelopesFolder})
        removeStaleTemporaryFiles(joinPath(data.programFolder, subfolder));
    step([&] { writeCompanionConfig(data.programFolder); });
    step([&] {
        data.companyPath = companyDataPath(data.programFolder);
        loadCompanyRecord(data.companyPath, data.company);
    });
    data.contacts.load();
}

void finishCutOffRestores(const std::filesystem::path& programFolder, Platform& platform)
{
    const std::string text = interruptedRestoresText(finishInterruptedRestores(programFolder));
    if (!text.empty())
        platform.inform(QString::fromStdString(text));
}

const char* launcherError()
{
    const char* message = std::getenv(kLauncherErrorVariable);
    return message != nullptr && *message != '\0' ? message : nullptr;
}

bool showLauncherError(Platform& platform)
{
    const char* message = launcherError();
    if (message == nullptr)
        return false;
    // The message names files in the system's own encoding.
    platform.showFailure(QString::fromLocal8Bit(message));
    return true;
}

} // namespace wirtello
