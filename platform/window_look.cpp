#include "window_look.h"

#include <QApplication>
#include <QFrame>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QLabel>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace wirtello {

QColor bgrColour(std::uint32_t value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

QFont pixelFont(const QString& family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

QFont pixelFont(const QStringList& families, int pixels)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixels);
    return font;
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void paintBackground(QWidget* widget, const QColor& colour)
{
    setColour(widget, QPalette::Window, colour);
    widget->setAutoFillBackground(true);
}

void styleLabel(QLabel* label, const QFont& font, const QColor& colour)
{
    label->setFont(font);
    setColour(label, QPalette::WindowText, colour);
    label->adjustSize();
}

void setRightAligned(QLabel* label, const QString& text, int rightEdge)
{
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setText(text);
    label->adjustSize();
    label->move(rightEdge - label->width(), label->y());
}

void styleFlatButton(QToolButton* button, const QFont& font, const QColor& colour, const QIcon& glyph,
                     GlyphSide side, const QSize& glyphSize)
{
    button->setFont(font);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolButtonStyle(side == GlyphSide::Above ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon);
    button->setIcon(glyph);
    button->setIconSize(glyphSize);
    // A right-to-left button puts its glyph after the caption.
    if (side == GlyphSide::Right)
        button->setLayoutDirection(Qt::RightToLeft);
    setColour(button, QPalette::ButtonText, colour);
}

namespace {

// A style's standard icon reads every size of its picture from files when it
// is made. Most glyphs sit on windows that stay hidden at start, so the icon
// is made when it is first drawn or measured, and then shared.
class StandardGlyphEngine : public QIconEngine {
public:
    explicit StandardGlyphEngine(QStyle::StandardPixmap pixmap) : pixmap_(pixmap) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("wirtello-standard-glyph"); }
    QIconEngine* clone() const override { return new StandardGlyphEngine(pixmap_); }

private:
    const QIcon& icon()
    {
        // One icon per picture for the whole run, whichever window asks.
        static QHash<int, QIcon> made;
        auto found = made.find(pixmap_);
        if (found == made.end())
            found = made.insert(pixmap_, QApplication::style()->standardIcon(pixmap_));
        return *found;
    }

    QStyle::StandardPixmap pixmap_;
};

} // namespace

QIcon standardGlyph(QStyle::StandardPixmap pixmap)
{
    return QIcon(new StandardGlyphEngine(pixmap));
}

void setFixedLines(QTextEdit* memo, const QStringList& lines, Qt::Alignment alignment, int margin)
{
    memo->setAcceptRichText(false);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->document()->setDocumentMargin(margin);
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    QTextCursor cursor(memo->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(alignment);
    cursor.mergeBlockFormat(format);
    memo->setEnabled(false);
    // Disabled, yet readable.
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x30, 0x30, 0x30));
    memo->setPalette(palette);
}

void makeReadableByKeyboard(QTextEdit* memo, const QString& name)
{
    // Disabled, it could be neither reached nor read; read-only, it can.
    memo->setEnabled(true);
    memo->setReadOnly(true);
    memo->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    memo->setTabChangesFocus(true);
    memo->setFocusPolicy(Qt::StrongFocus);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memo->setAccessibleName(name);
}

} // namespace wirtello
