#include "run_history_window.h"

#include "maker_info.h"

#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"
#include "store/fixed_record.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace wirtello {
namespace {

constexpr int kValueRightEdge = 303;

} // namespace

QString folderTail(const QString& folder)
{
    if (folder.size() <= 30)
        return folder;
    return folder.right(31);
}

Thisto_f::Thisto_f(AppData& data, Platform& platform, WidgetBuilding building)
    : data_(data), platform_(platform)
{
    setObjectName(QStringLiteral("Thisto_f"));
    setWindowTitle(QStringLiteral("Historia"));
    setFixedClientSize(347, 231);
    setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    paintBackground(this, bgrColour(16053492));
    buildWidgetsIf(building);
}

void Thisto_f::build()
{
    const QColor panelColour = bgrColour(16316664);
    Panel1 = addPanel(this, QRect(10, 8, 329, 134), panelColour);
    Panel2 = addPanel(this, QRect(8, 148, 329, 37), panelColour);

    const QFont arial = pixelFont(QStringLiteral("Arial"), 12);
    Label1 = addLabel(Panel1, QStringLiteral("Ostatnio program uruchomiono dnia"), 16, 8, arial, kNavy);
    Label2 = addLabel(Panel1, QStringLiteral("o godzinie"), 16, 27, arial, kNavy);
    Label3 = addLabel(Panel1, QStringLiteral("Program uruchomiono"), 16, 58, arial, kNavy);
    Label7 = addLabel(Panel1, QStringLiteral("Zainstalowany w..."), 16, 77, arial, kNavy);
    Label9 = addLabel(Panel1, QStringLiteral("Wersja"), 16, 105, arial, kNavy);
    Label4 = addLabel(Panel1, QString(), 0, 8, arial, kNavy);
    Label5 = addLabel(Panel1, QString(), 0, 27, arial, kNavy);
    Label6 = addLabel(Panel1, QString(), 0, 58, arial, kNavy);
    Label8 = addLabel(Panel1, QString(), 0, 77, arial, kNavy);
    Label10 = addLabel(Panel1, QString(), 0, 105, arial, kNavy);

    SpeedButton1 = addFlatButton(this, QStringLiteral("Powrót"), QRect(224, 199, 113, 22), arial, kMaroon,
                                 standardGlyph(QStyle::SP_ArrowBack), GlyphSide::Right);
    onClick(SpeedButton1, platform_, [this] { dismiss(); });
    makeKeyboardButton(SpeedButton1, QKeySequence(Qt::Key_Escape));

    Label13 = addLabel(this, QStringLiteral("00:00:00"), 8, 205, pixelFont(QStringLiteral("Tahoma"), 13), kSilver);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
}

void Thisto_f::setValue(QLabel* label, const QString& text)
{
    setRightAligned(label, text, kValueRightEdge);
}

void Thisto_f::showPlaceholders()
{
    setValue(Label4, QStringLiteral("nieznana"));
    setValue(Label5, QStringLiteral("nieznany"));
    setValue(Label6, QStringLiteral("0"));
    setValue(Label8, QString());
    setValue(Label10, QString::fromUtf8(maker::kInstalledVersion));
}

void Thisto_f::showRunHistory()
{
    setValue(Label4, QString::fromStdString(data_.runHistory.lastRunDate()));
    setValue(Label5, QString::fromStdString(data_.runHistory.lastRunTime()));
    setValue(Label6, QString::fromStdString(data_.runHistory.runCountText()) + QStringLiteral(" razy"));
    const QString folderText = QString::fromStdString(dataFolder().string());
    Label8->setToolTip(folderText);
    setValue(Label8, folderTail(folderText));
}

void Thisto_f::initialise()
{
    platform_.setShortDateFormat(QStringLiteral("dd/mm/yyyy"));
    if (widgetsBuilt())
        showPlaceholders();

    if (!resolveDataFolder(platform_, data_.programFolder, true))
        return;
    try {
        // The shared record changes only once the whole record was read.
        data_.runHistory = loadOrCreate<RunHistoryRecord>(runHistoryPath(dataFolder()));
    } catch (const IoError& error) {
        platform_.showError(error);
        initialiseFailed();
        return;
    }
    if (widgetsBuilt())
        showRunHistory();
}

void Thisto_f::Timer1Timer()
{
    Label13->setText(platform_.formatLongTime(platform_.now().time()));
    Label13->adjustSize();
}

} // namespace wirtello
