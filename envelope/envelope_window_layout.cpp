// The envelope window's controls at their pixel positions in the client area.
#include "envelope_window.h"

#include "platform/window_look.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadioButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace wirtello {
namespace {

const QColor kWindowGrey(243, 243, 243);
const QColor kPanelGrey(248, 248, 248);
const QColor kHelpColour(240, 240, 240);
const QColor kPaper(252, 250, 242);

QFont arial(int pixels, bool bold = false)
{
    QFont font = pixelFont(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pixels);
    font.setBold(bold);
    return font;
}

QLineEdit* makeEdit(QWidget* parent, const QRect& geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(geometry);
    edit->setFont(arial(13));
    setColour(edit, QPalette::Text, kNavy);
    return edit;
}

QToolButton* makeButton(QWidget* parent, const QRect& geometry, const QString& caption, QStyle::StandardPixmap glyph)
{
    QToolButton* button = addFlatButton(parent, caption, geometry, arial(12), kMaroon, standardGlyph(glyph),
                                        GlyphSide::Left, QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}


QStringList helpLines()
{
    return {
        QStringLiteral("1.Określ położenie napisów odbiorcy od lewej i górnej krawędzi koperty."),
        QStringLiteral("2.Wpisz swoje dane jako nadawca korespondencji."),
        QStringLiteral("3.Przyciskiem Zapisz ustalenia zapamiętaj dane."),
        QStringLiteral("4.Wybierz czcionkę druku."),
        QStringLiteral("5.Wpisz formę Pan/Pani oraz dane odbiorcy."),
        QStringLiteral("6.Jeżeli na kopercia chcesz wydrukować logo, odszukaj właściwy obrazek."),
        QStringLiteral("7.Podaj położenie obrazka na kopercie ( w pixelach)."),
        QStringLiteral("8.Zaznacz opcję drukowania obrazka."),
        QStringLiteral("9.W zależności od typu podajnika włącz lub wyłącz opcję drukowania poziomego."),
        QStringLiteral("10.Po ustaleniu nadawcy, jego parametrów oraz parametrów odbiorcy i definicji dotyczących logo, możesz "),
        QStringLiteral("stworzyć włąsny profil podając jego przyjazną nazwę."),
        QStringLiteral("11.Możesz przygotować dowolną ilość profili."),
        QStringLiteral("12.W każdej chwili możesz wczytać profil i drukować koperty na jego podstawie."),
        QString(),
        QStringLiteral("Pamiętaj! Dla różnych czcionek może zachodzić potrzeba zmiany odstępów między "),
        QStringLiteral("wierszami."),
    };
}

QStringList noteLines()
{
    return {
        QStringLiteral("Po zdefiniowanu parametrów nadawcy, odbiorcy oraz logo zapisz definicje "),
        QStringLiteral("w postaci profilu któremu nadaj przyjazną nazwę. W każdej chwili możesz "),
        QStringLiteral("taki profil wczytać i drukować koperty na jego podstawie."),
    };
}

// An envelope seen from the front: flap lines, stamp and address lines.
void drawEnvelope(QPainter& painter, const QRectF& body)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.2));
    painter.setBrush(kPaper);
    painter.drawRoundedRect(body, 2, 2);

    QPainterPath flap;
    flap.moveTo(body.topLeft());
    flap.lineTo(body.center().x(), body.top() + body.height() * 0.52);
    flap.lineTo(body.topRight());
    painter.setPen(QPen(QColor(0xB0, 0xA8, 0x98), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flap);

    const QRectF stamp(body.right() - body.width() * 0.2, body.top() + body.height() * 0.1, body.width() * 0.13,
                       body.height() * 0.22);
    painter.setPen(QPen(kMaroon, 1));
    painter.setBrush(QColor(0xE8, 0xC8, 0xC0));
    painter.drawRect(stamp);

    painter.setPen(QPen(kNavy, 1.5));
    for (int i = 0; i < 3; ++i) {
        const qreal y = body.top() + body.height() * (0.64 + 0.1 * i);
        painter.drawLine(QPointF(body.left() + body.width() * 0.45, y),
                         QPointF(body.left() + body.width() * (i == 2 ? 0.72 : 0.85), y));
    }
}

QPixmap decorationPicture(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(kWindowGrey);
    QPainter painter(&pixmap);
    // A second envelope behind the first, a little turned.
    painter.translate(size.width() * 0.55, size.height() * 0.4);
    painter.rotate(-9);
    drawEnvelope(painter, QRectF(-size.width() * 0.42, -size.height() * 0.3, size.width() * 0.8, size.height() * 0.52));
    painter.resetTransform();
    drawEnvelope(painter, QRectF(size.width() * 0.06, size.height() * 0.34, size.width() * 0.84, size.height() * 0.58));
    return pixmap;
}

} // namespace

QPixmap Tkoperta_f::emptyPreviewPicture(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    drawEnvelope(painter, QRectF(8, 8, size.width() - 16, size.height() - 16));
    return pixmap;
}

void Tkoperta_f::buildLayout()
{
    setFont(arial(12));
    paintBackground(this, kWindowGrey);

    // Sender.
    Panel1 = addPanel(this, QRect(8, 8, 349, 141), kPanelGrey);
    Label1 = addLabel(Panel1, QStringLiteral("Nadawca"), 10, 6, arial(12, true), kMaroon);
    for (int i = 0; i < 4; ++i)
        n[i] = makeEdit(Panel1, QRect(8, 25 + 27 * i, 329, 23));

    // Envelope and logo parameters.
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setGeometry(8, 155, 349, 385);
    Label2 = addLabel(GroupBox1, QStringLiteral("Parametry koperty"), 10, 12, arial(12, true), kMaroon);
    poziomo = new QCheckBox(QStringLiteral("drukuj poziomo"), GroupBox1);
    poziomo->setFont(arial(12));
    poziomo->move(229, 13);
    poziomo->adjustSize();

    Label3 = addLabel(GroupBox1, QStringLiteral("Odbiorca"), 11, 36, arial(12, true), kMaroon);
    Label4 = addLabel(GroupBox1, QStringLiteral("od lewej (mm)"), 11, 52, arial(11), kGrey);
    Label5 = addLabel(GroupBox1, QStringLiteral("od góry (mm)"), 91, 52, arial(11), kGrey);
    auto* presets = new QButtonGroup(GroupBox1);
    for (int i = 0; i < 4; ++i) {
        const int top = 72 + 27 * i;
        l[i] = makeEdit(GroupBox1, QRect(9, top, 57, 23));
        g[i] = makeEdit(GroupBox1, QRect(89, top, 57, 23));
        RadioButton[i] = new QRadioButton(QStringLiteral("rozmiar %1").arg(i + 1), GroupBox1);
        RadioButton[i]->setFont(arial(12));
        RadioButton[i]->setGeometry(153, top, 90, 23);
        presets->addButton(RadioButton[i], i + 1);
    }

    Label6 = addLabel(GroupBox1, QStringLiteral("Nadawca"), 270, 36, arial(12, true), kMaroon);
    Label8 = addLabel(GroupBox1, QStringLiteral("od lewej (mm)"), 270, 52, arial(11), kGrey);
    l_n = makeEdit(GroupBox1, QRect(270, 72, 60, 23));
    Label9 = addLabel(GroupBox1, QStringLiteral("od góry (mm)"), 270, 98, arial(11), kGrey);
    g_n = makeEdit(GroupBox1, QRect(270, 114, 60, 23));
    Label10 = addLabel(GroupBox1, QStringLiteral("odstęp (mm)"), 272, 137, arial(11), kGrey);
    od = makeEdit(GroupBox1, QRect(272, 153, 60, 23));

    Shape1 = new QFrame(GroupBox1);
    Shape1->setGeometry(11, 199, 325, 9);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    setColour(Shape1, QPalette::WindowText, kNavy);
    paintBackground(Shape1, kMaroon);

    Label11 = addLabel(GroupBox1, QStringLiteral("Parametry Logo"), 11, 220, arial(12, true), kMaroon);
    Label12 = addLabel(GroupBox1, QStringLiteral("od lewej (pix)"), 11, 240, arial(11), kGrey);
    Label13 = addLabel(GroupBox1, QStringLiteral("od góry (pix)"), 91, 242, arial(11), kGrey);
    l_log = makeEdit(GroupBox1, QRect(9, 258, 57, 23));
    g_log = makeEdit(GroupBox1, QRect(89, 260, 57, 23));

    Bevel1 = new QFrame(GroupBox1);
    Bevel1->setGeometry(211, 220, 125, 90);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image2 = new QLabel(GroupBox1);
    Image2->setGeometry(223, 228, 101, 69);
    Image2->setScaledContents(true);
    Image2->setPixmap(emptyPreviewPicture(Image2->size()));

    // 20 high, so that the two stay apart at their tops 20 pixels apart.
    SpeedButton8 = makeButton(GroupBox1, QRect(12, 307, 135, 20), QStringLiteral("Dołącz obrazek"),
                              QStyle::SP_DialogOpenButton);
    SpeedButton9 = makeButton(GroupBox1, QRect(10, 327, 135, 20), QStringLiteral("Odłącz obrazek"),
                              QStyle::SP_DialogDiscardButton);
    logo = new QCheckBox(QStringLiteral("drukuj obrazek"), GroupBox1);
    logo->setFont(arial(12));
    logo->move(233, 316);
    logo->adjustSize();
    Label14 = addLabel(GroupBox1, QStringLiteral("lokalizacja obrazka"), 240, 339, arial(11), kGrey);
    nazwa = makeEdit(GroupBox1, QRect(9, 355, 325, 22));
    nazwa->setFont(arial(12));
    nazwa->setReadOnly(true);

    // Button column.
    const auto columnButton = [this](int top, const QString& caption, QStyle::StandardPixmap glyph) {
        return makeButton(this, QRect(376, top, 213, 22), caption, glyph);
    };
    SpeedButton1 = columnButton(12, QStringLiteral("Zapisz ustalenia jako domyślne"), QStyle::SP_DialogSaveButton);
    SpeedButton2 = columnButton(40, QStringLiteral("Czytaj ustalenia domyślne"), QStyle::SP_BrowserReload);
    SpeedButton3 = columnButton(68, QStringLiteral("Czcionka druku"), QStyle::SP_FileDialogDetailedView);
    SpeedButton4 = columnButton(96, QStringLiteral("Zapisz profil"), QStyle::SP_DriveFDIcon);
    SpeedButton5 = columnButton(124, QStringLiteral("Czytaj profil"), QStyle::SP_DirOpenIcon);
    SpeedButton6 = columnButton(152, QStringLiteral("Pomoc"), QStyle::SP_DialogHelpButton);
    SpeedButton7 = columnButton(180, QStringLiteral("Drukuj kopertę"), QStyle::SP_FileIcon);

    Image1 = new QLabel(this);
    Image1->setGeometry(683, 8, 133, 97);
    Image1->setPixmap(decorationPicture(Image1->size()));
    Label15 = addLabel(this, QStringLiteral("00:00:00"), 766, 187, pixelFont(QStringLiteral("Tahoma"), 13), kSilver);
    setRightAligned(Label15, QStringLiteral("00:00:00"), 816);
    Label7 = addLabel(this, QString(), 778, 218, arial(12), kNavy);

    // Recipient.
    Panel2 = addPanel(this, QRect(376, 239, 440, 301), kPanelGrey);
    Label16 = addLabel(Panel2, QStringLiteral("Odbiorca"), 150, 6, arial(12, true), kMaroon);
    Label17 = addLabel(Panel2, QStringLiteral("Forma"), 12, 24, arial(11), kGrey);
    o1 = makeEdit(Panel2, QRect(55, 23, 86, 23));
    const int tops[4] = {52, 79, 106, 135};
    for (int i = 0; i < 4; ++i)
        o[i + 1] = makeEdit(Panel2, QRect(8, tops[i], 421, 23));
    Memo2 = addFixedMemo(Panel2, QRect(8, 172, 421, 73), noteLines(), Qt::AlignHCenter, 3);
    Memo2->setFont(arial(11));
    SpeedButton10 = makeButton(Panel2, QRect(243, 268, 189, 22), QStringLiteral("Koniec"), QStyle::SP_DialogCloseButton);

    // Help, created last so it lies on top.
    Panel3 = addPanel(this, QRect(93, 62, 636, 390), kHelpColour, 2);
    Memo1 = addFixedMemo(Panel3, QRect(20, 18, 601, 297), helpLines(), Qt::AlignLeft, 3);
    Memo1->setFont(arial(12));
    SpeedButton11 = makeButton(Panel3, QRect(512, 348, 109, 22), QStringLiteral("Powrót"), QStyle::SP_ArrowBack);
    Panel3->hide();

    for (int i = 0; i < 4; ++i)
        setTabOrder(n[i], i < 3 ? n[i + 1] : l[0]);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
}

} // namespace wirtello
