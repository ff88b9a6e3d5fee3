#include "window_look.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
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

QLabel* addLabel(QWidget* parent, const QString& text, int left, int top, const QFont& font, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    setColour(label, QPalette::WindowText, colour);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void setRightAligned(QLabel* label, const QString& text, int rightEdge)
{
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setText(text);
    label->adjustSize();
    label->move(rightEdge - label->width(), label->y());
}

QFrame* addPanel(QWidget* parent, const QRect& geometry, const QColor& colour, int bevelWidth)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(bevelWidth);
    panel->setGeometry(geometry);
    paintBackground(panel, colour);
    return panel;
}

QToolButton* addFlatButton(QWidget* parent, const QString& text, const QRect& geometry, const QFont& font,
                           const QColor& colour, const QIcon& glyph, GlyphSide side, const QSize& glyphSize)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setGeometry(geometry);
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
    return button;
}

QIcon standardGlyph(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

} // namespace wirtello
