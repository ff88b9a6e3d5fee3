#include "about_window.h"
#include "ui_about_window.h"

#include "admin_picture.h"
#include "maker_info.h"

#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace wirtello {

Tform3::Tform3(Platform& platform, WidgetBuilding building) : platform_(platform)
{
    setObjectName(QStringLiteral("Tform3"));
    // Named for what it is, so a screen reader and the window list can say it.
    setWindowTitle(QStringLiteral("O programie"));
    setFixedClientSize(349, 175);
    setFont(pixelFont(QStringLiteral("System"), 13));
    paintBackground(this, bgrColour(16119285));
    buildWidgetsIf(building);
}

Tform3::~Tform3() = default;

void Tform3::build()
{
    ui_ = std::make_unique<Ui::Tform3>();
    ui_->setupUi(this);

    // The maker's details come from maker_info.h; the Designer file cannot say
    // pixel fonts, colours, the picture or the glyphs.
    paintBackground(ui_->Panel2, Qt::white);
    const QFont arial12 = pixelFont(QStringLiteral("Arial"), 12);
    const QFont arial11 = pixelFont(QStringLiteral("Arial"), 11);
    const struct {
        QLabel* label;
        const char* text;
        const QFont& font;
    } details[] = {
        {ui_->Label1, maker::kName, arial12},
        {ui_->Label2, maker::kStreet, arial12},
        {ui_->Label3, maker::kPostalCodeAndTown, arial12},
        {ui_->Label6, maker::kTelephone, arial12},
        {ui_->Label4, maker::kWebAddress, arial11},
        {ui_->Label5, maker::kEmail, arial11},
    };
    for (const auto& detail : details) {
        detail.label->setText(QString::fromUtf8(detail.text));
        styleLabel(detail.label, detail.font, kGrey);
    }
    ui_->Image1->setPixmap(QPixmap::fromImage(adminPicture(QStringLiteral(":/admin/wizyt.jpg"))));

    const struct {
        QToolButton* button;
        QStyle::StandardPixmap glyph;
        GlyphSide side;
        void (Tform3::*handler)();
        QKeySequence shortcut;
    } buttons[] = {
        {ui_->SpeedButton1, QStyle::SP_DirLinkIcon, GlyphSide::Left, &Tform3::OdwiedzWitryne, {}},
        {ui_->SpeedButton2, QStyle::SP_FileDialogContentsView, GlyphSide::Left, &Tform3::WyslijPoczte, {}},
        {ui_->SpeedButton3, QStyle::SP_ArrowBack, GlyphSide::Right, &Tform3::dismiss, QKeySequence(Qt::Key_Escape)},
    };
    for (const auto& look : buttons) {
        styleFlatButton(look.button, arial11, kNavy, standardGlyph(look.glyph), look.side);
        onClick(look.button, platform_, [this, handler = look.handler] { (this->*handler)(); });
        makeKeyboardButton(look.button, look.shortcut);
    }

    // Where that face is missing, the usual stand-in is too wide for the 56 pixels
    // left of the clock and cuts its last digit; the Arial-metric face fits.
    QFont clockFont = pixelFont(QStringLiteral("MS Sans Serif"), 13);
    clockFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    styleLabel(ui_->Label7, clockFont, kGrey);

    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setInterval(100);
    connect(timer, &QTimer::timeout, this, [this] { Timer1Timer(); });
    timer->start();
}

void Tform3::OdwiedzWitryne()
{
    platform_.openUrl(QString::fromUtf8(maker::kWebAddress));
}

void Tform3::WyslijPoczte()
{
    platform_.openUrl(QStringLiteral("mailto:") + QString::fromUtf8(maker::kEmail));
}

void Tform3::Timer1Timer()
{
    ui_->Label7->setText(platform_.formatLongTime(platform_.now().time()));
    ui_->Label7->adjustSize();
}

} // namespace wirtello
