#include "window_look.h"

#include "platform/qt_picture.h"
#include "store/io_error.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

// Pictures live in a static library; their registration has to be pulled in
// explicitly. Q_INIT_RESOURCE cannot be used inside a namespace.
static void initAdminResources()
{
    Q_INIT_RESOURCE(admin);
}

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

void paintBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void removeTitleBarButtons(QWidget* window)
{
    Qt::WindowFlags flags = window->windowFlags();
    flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint
               | Qt::WindowSystemMenuHint);
    window->setWindowFlags(flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

QLabel* addLabel(QWidget* parent, const QString& text, int left, int top, const QFont& font, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
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

QFrame* addPanel(QWidget* parent, const QRect& geometry, const QColor& colour)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    paintBackground(panel, colour);
    return panel;
}

QToolButton* addFlatButton(QWidget* parent, const QString& text, const QRect& geometry, const QFont& font,
                           const QColor& colour, QStyle::StandardPixmap glyph, GlyphSide side)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setGeometry(geometry);
    button->setFont(font);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIcon(button->style()->standardIcon(glyph));
    button->setIconSize(QSize(14, 14));
    // A right-to-left button puts its glyph after the caption.
    button->setLayoutDirection(side == GlyphSide::Right ? Qt::RightToLeft : Qt::LeftToRight);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, colour);
    button->setPalette(palette);
    return button;
}

QImage adminPicture(const QString& resourcePath)
{
    static const bool registered = (initAdminResources(), true);
    (void)registered;
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    try {
        return toQImage(decodeJpeg(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), resourcePath.toStdString()));
    } catch (const IoError&) {
        return {};
    }
}

} // namespace wirtello
