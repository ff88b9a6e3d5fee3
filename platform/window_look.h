#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QSize>
#include <QStringList>
#include <QStyle>
#include <QString>

#include <cstdint>

class QLabel;
class QTextEdit;
class QToolButton;
class QWidget;

namespace wirtello {

// The look the windows share: colours given as Windows values, pixel-sized
// fonts, panels, labels and flat buttons placed at pixel positions.

// Windows colour values are 0x00BBGGRR.
QColor bgrColour(std::uint32_t value);

inline const QColor kNavy(0x00, 0x00, 0x80);
inline const QColor kMaroon(0x80, 0x00, 0x00);
inline const QColor kGrey(0x80, 0x80, 0x80);
inline const QColor kSilver(0xC0, 0xC0, 0xC0);

QFont pixelFont(const QString& family, int pixels);
// The first family installed is used; later ones are stand-ins.
QFont pixelFont(const QStringList& families, int pixels);

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// Fills the widget's background with `colour`.
void paintBackground(QWidget* widget, const QColor& colour);

// A label in its colour and font that sizes itself to its text.
void styleLabel(QLabel* label, const QFont& font, const QColor& colour);

// Sets the text of a label that sizes itself to its text and keeps its right
// edge at `rightEdge` (left + width).
void setRightAligned(QLabel* label, const QString& text, int rightEdge);

enum class GlyphSide { Left, Right, Above };

// A flat button with a hand cursor and its glyph beside or above the caption.
void styleFlatButton(QToolButton* button, const QFont& font, const QColor& colour, const QIcon& glyph,
                     GlyphSide side, const QSize& glyphSize = QSize(14, 14));

// One of the style's standard pictures, as a button glyph.
QIcon standardGlyph(QStyle::StandardPixmap pixmap);

// A memo of fixed lines (help, notes) that cannot be edited yet stays readable.
void setFixedLines(QTextEdit* memo, const QStringList& lines, Qt::Alignment alignment, int margin);

// A memo of fixed lines that the keyboard and a screen reader reach: it takes
// the focus, is read with the caret and named `name`; Tab moves on from it.
void makeReadableByKeyboard(QTextEdit* memo, const QString& name);

} // namespace wirtello
