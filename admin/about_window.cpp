#include "about_window.h"

#include "admin_picture.h"
#include "maker_info.h"

#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace wirtello {

Tform3::Tform3(Platform& platform, WidgetBuilding building) : platform_(platform)
{
    setObjectName(QStringLiteral("Tform3"));
    // No caption; an empty title would make the window manager show the
    // program's name instead, so the title is one blank.
    setWindowTitle(QStringLiteral(" "));
    setFixedClientSize(349, 175);
    setFont(pixelFont(QStringLiteral("System"), 13));
    paintBackground(this, bgrColour(16119285));
    buildWidgetsIf(building);
}

void Tform3::build()
{
    Panel2 = addPanel(this, QRect(12, 8, 329, 109), Qt::white);
    const QFont arial12 = pixelFont(QStringLiteral("Arial"), 12);
    const QFont arial11 = pixelFont(QStringLiteral("Arial"), 11);
    Label1 = addLabel(Panel2, QString::fromUtf8(maker::kName), 52, 4, arial12, kGrey);
    Label2 = addLabel(Panel2, QString::fromUtf8(maker::kStreet), 20, 20, arial12, kGrey);
    Label3 = addLabel(Panel2, QString::fromUtf8(maker::kPostalCodeAndTown), 52, 36, arial12, kGrey);
    Label6 = addLabel(Panel2, QString::fromUtf8(maker::kTelephone), 48, 56, arial12, kGrey);
    Label4 = addLabel(Panel2, QString::fromUtf8(maker::kWebAddress), 52, 76, arial11, kGrey);
    Label5 = addLabel(Panel2, QString::fromUtf8(maker::kEmail), 52, 92, arial11, kGrey);

    Bevel1 = new QFrame(Panel2);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(232, 5, 93, 101);
    Image1 = new QLabel(Panel2);
    Image1->setGeometry(236, 9, 85, 93);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(adminPicture(QStringLiteral(":/admin/wizyt.jpg"))));

    SpeedButton1 = addFlatButton(this, QStringLiteral("Odwiedź witrynę www autora"), QRect(12, 128, 177, 22), arial11,
                                 kNavy, standardGlyph(QStyle::SP_DirLinkIcon), GlyphSide::Left);
    SpeedButton2 = addFlatButton(this, QStringLiteral("Wyślij pocztę"), QRect(12, 148, 177, 22), arial11, kNavy,
                                 standardGlyph(QStyle::SP_FileDialogContentsView), GlyphSide::Left);
    SpeedButton3 = addFlatButton(this, QStringLiteral("Powrót"), QRect(232, 145, 109, 22), arial11, kNavy,
                                 standardGlyph(QStyle::SP_ArrowBack), GlyphSide::Right);
    onClick(SpeedButton1, platform_, [this] { OdwiedzWitryne(); });
    onClick(SpeedButton2, platform_, [this] { WyslijPoczte(); });
    onClick(SpeedButton3, platform_, [this] { dismiss(); });
    makeKeyboardButton(SpeedButton1);
    makeKeyboardButton(SpeedButton2);
    makeKeyboardButton(SpeedButton3, QKeySequence(Qt::Key_Escape));

    // Where that face is missing, the usual stand-in is too wide for the 56 pixels
    // left of the clock and cuts its last digit; the Arial-metric face fits.
    QFont clockFont = pixelFont(QStringLiteral("MS Sans Serif"), 13);
    clockFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    Label7 = addLabel(this, QStringLiteral("00:00:00"), 293, 126, clockFont, kGrey);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
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
    Label7->setText(platform_.formatLongTime(platform_.now().time()));
    Label7->adjustSize();
}

} // namespace wirtello
