#include "run_records.h"

#include "platform/platform.h"

namespace wirtello {

void PobierzDane(AppData& data, Platform& platform)
{
    RunHistoryRecord record;
    platform.setShortDateFormat(QStringLiteral("dd/mm/yyyy"));
    const QDateTime now = platform.now();
    const RunStartValues values = prepareRunStart(data.programFolder, record, platform.formatShortDate(now.date()).toStdString(),
                                                  platform.formatLongTime(now.time()).toStdString());
    data.runHistory = record;
    data.runStart = values;
}

void ZapiszUruchomienia(AppData& data)
{
    recordRun(data.programFolder, data.runHistory, data.runStart);
}

} // namespace wirtello
