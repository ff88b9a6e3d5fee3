// What the envelope window's Designer file cannot say: pixel-sized fonts,
// colours, glyphs and the pictures drawn for it.
#include "envelope_window.h"
#include "ui_envelope_window.h"

#include "platform/window_look.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadioButton>
#include <QTextEdit>
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

// The captions, which the Designer file sizes to their texts.
enum class Caption { Title, Small, Clock, Size };

struct CaptionLook {
    QLabel* Ui::Tkoperta_f::*label;
    Caption kind;
};

constexpr CaptionLook kCaptions[] = {
    {&Ui::Tkoperta_f::Label1, Caption::Title},   {&Ui::Tkoperta_f::Label2, Caption::Title},
    {&Ui::Tkoperta_f::Label3, Caption::Title},   {&Ui::Tkoperta_f::Label4, Caption::Small},
    {&Ui::Tkoperta_f::Label5, Caption::Small},   {&Ui::Tkoperta_f::Label6, Caption::Title},
    {&Ui::Tkoperta_f::Label8, Caption::Small},   {&Ui::Tkoperta_f::Label9, Caption::Small},
    {&Ui::Tkoperta_f::Label10, Caption::Small},  {&Ui::Tkoperta_f::Label11, Caption::Title},
    {&Ui::Tkoperta_f::Label12, Caption::Small},  {&Ui::Tkoperta_f::Label13, Caption::Small},
    {&Ui::Tkoperta_f::Label14, Caption::Small},  {&Ui::Tkoperta_f::Label15, Caption::Clock},
    {&Ui::Tkoperta_f::Label7, Caption::Size},    {&Ui::Tkoperta_f::Label16, Caption::Title},
    {&Ui::Tkoperta_f::Label17, Caption::Small},
};

void styleCaption(QLabel* label, Caption kind)
{
    switch (kind) {
    case Caption::Title:
        label->setFont(arial(12, true));
        return setColour(label, QPalette::WindowText, kMaroon);
    case Caption::Small:
        label->setFont(arial(11));
        return setColour(label, QPalette::WindowText, kGrey);
    case Caption::Clock:
        label->setFont(pixelFont(QStringLiteral("Tahoma"), 13));
        return setColour(label, QPalette::WindowText, kSilver);
    case Caption::Size:
        label->setFont(arial(12));
        return setColour(label, QPalette::WindowText, kNavy);
    }
}

// The flat buttons' glyphs; each has its caption in maroon after the glyph.
struct ButtonLook {
    QToolButton* Ui::Tkoperta_f::*button;
    QStyle::StandardPixmap glyph;
};

constexpr ButtonLook kButtons[] = {
    {&Ui::Tkoperta_f::SpeedButton8, QStyle::SP_DialogOpenButton},
    {&Ui::Tkoperta_f::SpeedButton9, QStyle::SP_DialogDiscardButton},
    {&Ui::Tkoperta_f::SpeedButton1, QStyle::SP_DialogSaveButton},
    {&Ui::Tkoperta_f::SpeedButton2, QStyle::SP_BrowserReload},
    {&Ui::Tkoperta_f::SpeedButton3, QStyle::SP_FileDialogDetailedView},
    {&Ui::Tkoperta_f::SpeedButton4, QStyle::SP_DriveFDIcon},
    {&Ui::Tkoperta_f::SpeedButton5, QStyle::SP_DirOpenIcon},
    {&Ui::Tkoperta_f::SpeedButton6, QStyle::SP_DialogHelpButton},
    {&Ui::Tkoperta_f::SpeedButton7, QStyle::SP_FileIcon},
    {&Ui::Tkoperta_f::SpeedButton10, QStyle::SP_DialogCloseButton},
    {&Ui::Tkoperta_f::SpeedButton11, QStyle::SP_ArrowBack},
};

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
    ui_ = std::make_unique<Ui::Tkoperta_f>();
    ui_->setupUi(this);
    setFont(arial(12));
    paintBackground(this, kWindowGrey);

    // Backgrounds first, so the controls on them take them up.
    const std::pair<QWidget*, QColor> backgrounds[] = {
        {ui_->Panel1, kPanelGrey}, {ui_->Panel2, kPanelGrey}, {ui_->Panel3, kHelpColour}, {ui_->Shape1, kMaroon}};
    for (const auto& [panel, colour] : backgrounds)
        paintBackground(panel, colour);
    setColour(ui_->Shape1, QPalette::WindowText, kNavy);

    for (const CaptionLook& look : kCaptions)
        styleCaption((*ui_).*look.label, look.kind);
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        edit->setFont(arial(13));
        setColour(edit, QPalette::Text, kNavy);
    }
    ui_->nazwa->setFont(arial(12));
    for (QCheckBox* tick : findChildren<QCheckBox*>())
        tick->setFont(arial(12));
    for (QRadioButton* preset : findChildren<QRadioButton*>())
        preset->setFont(arial(12));
    for (const ButtonLook& look : kButtons)
        styleFlatButton((*ui_).*look.button, arial(12), kMaroon, standardGlyph(look.glyph), GlyphSide::Left,
                        QSize(16, 16));

    ui_->Image1->setPixmap(decorationPicture(ui_->Image1->size()));
    ui_->Image2->setPixmap(emptyPreviewPicture(ui_->Image2->size()));
    setFixedLines(ui_->Memo2, noteLines(), Qt::AlignHCenter, 3);
    ui_->Memo2->setFont(arial(11));
    setFixedLines(ui_->Memo1, helpLines(), Qt::AlignLeft, 3);
    makeReadableByKeyboard(ui_->Memo1, QStringLiteral("Pomoc"));
    ui_->Memo1->setFont(arial(12));
}

} // namespace wirtello
