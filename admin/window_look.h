#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QStyle>
#include <QString>

#include <cstdint>

class QFrame;
class QLabel;
class QToolButton;
class QWidget;

namespace wirtello {

// Windows colour values are 0x00BBGGRR.
QColor bgrColour(std::uint32_t value);

inline const QColor kNavy(0x00, 0x00, 0x80);
inline const QColor kMaroon(0x80, 0x00, 0x00);
inline const QColor kGrey(0x80, 0x80, 0x80);
inline const QColor kSilver(0xC0, 0xC0, 0xC0);

QFont pixelFont(const QString& family, int pixels);

// Fills the widget's background with `colour`.
void paintBackground(QWidget* widget, const QColor& colour);

// No minimise, maximise or close button; the title bar stays.
void removeTitleBarButtons(QWidget* window);

QLabel* addLabel(QWidget* parent, const QString& text, int left, int top, const QFont& font, const QColor& colour);

// Sets the text of a label that sizes itself to its text and keeps its right
// edge at `rightEdge` (left + width).
void setRightAligned(QLabel* label, const QString& text, int rightEdge);

// A panel with a lowered inner bevel.
QFrame* addPanel(QWidget* parent, const QRect& geometry, const QColor& colour);

enum class GlyphSide { Left, Right };

// A flat button with a hand cursor and its glyph beside the caption.
QToolButton* addFlatButton(QWidget* parent, const QString& text, const QRect& geometry, const QFont& font,
                           const QColor& colour, QStyle::StandardPixmap glyph, GlyphSide side);

// A JPEG picture compiled into the program (":/admin/..."), decoded with
// libjpeg; a null image when it cannot be read.
QImage adminPicture(const QString& resourcePath);

} // namespace wirtello
