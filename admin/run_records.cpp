#include "run_records.h"

#include "platform/platform.h"
#include "store/io_error.h"

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

void recordRunAtEnd(AppData& data, Platform& platform)
{
    try {
        ZapiszUruchomienia(data);
    } catch (const IoError& error) {
        platform.inform(QStringLiteral("Nie zapisano historii uruchomień programu (%1: %2).\n"
                                       "Kontakty zostały zapisane; program kończy pracę.")
                            .arg(QString::fromStdString(error.operation()),
                                 QString::fromStdString(error.path().string())));
    }
}

} // namespace wirtello
