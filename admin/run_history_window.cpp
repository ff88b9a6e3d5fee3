#include "run_history_window.h"
#include "ui_run_history_window.h"

#include "maker_info.h"

#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"
#include "store/fixed_record.h"

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

Thisto_f::~Thisto_f() = default;

void Thisto_f::build()
{
    ui_ = std::make_unique<Ui::Thisto_f>();
    ui_->setupUi(this);

    // What the Designer file cannot say: pixel fonts, colours and the glyph.
    const QColor panelColour = bgrColour(16316664);
    paintBackground(ui_->Panel1, panelColour);
    paintBackground(ui_->Panel2, panelColour);
    const QFont arial = pixelFont(QStringLiteral("Arial"), 12);
    for (QLabel* label : ui_->Panel1->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        styleLabel(label, arial, kNavy);
    styleLabel(ui_->Label13, pixelFont(QStringLiteral("Tahoma"), 13), kSilver);
    styleFlatButton(ui_->SpeedButton1, arial, kMaroon, standardGlyph(QStyle::SP_ArrowBack), GlyphSide::Right);

    onClick(ui_->SpeedButton1, platform_, [this] { dismiss(); });
    makeKeyboardButton(ui_->SpeedButton1, QKeySequence(Qt::Key_Escape));

    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setInterval(100);
    connect(timer, &QTimer::timeout, this, [this] { Timer1Timer(); });
    timer->start();
}

void Thisto_f::setValue(QLabel* label, const QString& text)
{
    setRightAligned(label, text, kValueRightEdge);
}

void Thisto_f::showPlaceholders()
{
    setValue(ui_->Label4, QStringLiteral("nieznana"));
    setValue(ui_->Label5, QStringLiteral("nieznany"));
    setValue(ui_->Label6, QStringLiteral("0"));
    setValue(ui_->Label8, QString());
    setValue(ui_->Label10, QString::fromUtf8(maker::kInstalledVersion));
}

void Thisto_f::showRunHistory()
{
    setValue(ui_->Label4, QString::fromStdString(data_.runHistory.lastRunDate()));
    setValue(ui_->Label5, QString::fromStdString(data_.runHistory.lastRunTime()));
    setValue(ui_->Label6, QString::fromStdString(data_.runHistory.runCountText()) + QStringLiteral(" razy"));
    const QString folderText = QString::fromStdString(dataFolder().string());
    ui_->Label8->setToolTip(folderText);
    setValue(ui_->Label8, folderTail(folderText));
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
    ui_->Label13->setText(platform_.formatLongTime(platform_.now().time()));
    ui_->Label13->adjustSize();
}

} // namespace wirtello
