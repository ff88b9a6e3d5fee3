#include "run_records.h"

#include "platform/platform.h"

#include "store/paths.h"

#include <filesystem>

namespace wirtello {

void PobierzDane(AppData& data, Platform& platform)
{
    const std::filesystem::path folder = currentFolder();
    RunHistoryRecord record;
    platform.setShortDateFormat(QStringLiteral("dd/mm/yyyy"));
    const QDateTime now = platform.now();
    const RunStartValues values = prepareRunStart(folder, record, platform.formatShortDate(now.date()).toStdString(),
                                                  platform.formatLongTime(now.time()).toStdString());
    data.runHistory = record;
    data.runStart = values;
}

void ZapiszUruchomienia(AppData& data)
{
    recordRun(currentFolder(), data.runHistory, data.runStart);
}

} // namespace wirtello
