#include "startup.h"

#include "store/companion_config.h"

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
    step([&] { writeCompanionConfig(data.programFolder); });
    step([&] {
        data.companyPath = companyDataPath(data.programFolder);
        loadCompanyRecord(data.companyPath, data.company);
    });
    data.contacts.load();
}

} // namespace wirtello
