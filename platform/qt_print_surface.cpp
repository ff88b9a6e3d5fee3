#include "qt_print_surface.h"

#include "store/io_error.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace wirtello {
namespace {

// The platform keeps at most 31 characters of a face name.
constexpr int kFaceLength = 31;
// Far beyond any page in device dots; larger values are not drawn, so that a
// damaged layout cannot make Qt work with absurd coordinates or glyph sizes.
constexpr int kMaxCoordinate = 1 << 24;
constexpr int kMaxFontPixels = 32767;

bool drawable(int x, int y)
{
    return std::abs(static_cast<long long>(x)) < kMaxCoordinate && std::abs(static_cast<long long>(y)) < kMaxCoordinate;
}

QPalette::ColorRole systemColourRole(unsigned index, QPalette::ColorGroup& group)
{
    group = QPalette::Active;
    switch (index) {
    case 4: return QPalette::Window;              // menu
    case 5: return QPalette::Base;                // window background
    case 6: return QPalette::Shadow;              // window frame
    case 7: return QPalette::WindowText;          // menu text
    case 8: return QPalette::WindowText;          // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;
    case 16: return QPalette::Mid;                // button shadow
    case 17: group = QPalette::Disabled; return QPalette::Text; // grey text
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;              // button highlight
    case 21: return QPalette::Shadow;
    case 22: return QPalette::Midlight;
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    case 26: return QPalette::Link;
    default: return QPalette::NoRole;
    }
}

QImage toImage(const Picture& picture)
{
    const auto rowBytes = static_cast<std::size_t>(picture.width) * 3;
    if (picture.isNull() || picture.rgb.size() < rowBytes * static_cast<std::size_t>(picture.height))
        return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    for (int row = 0; row < picture.height; ++row)
        std::copy_n(picture.rgb.data() + rowBytes * row, rowBytes, image.scanLine(row));
    return image;
}

} // namespace

QColor toQColor(std::int32_t colour)
{
    const auto value = static_cast<std::uint32_t>(colour);
    if ((value >> 24) == 0xFF) {
        QPalette::ColorGroup group;
        const QPalette::ColorRole role = systemColourRole(value & 0xFF, group);
        if (role == QPalette::NoRole || !QGuiApplication::instance())
            return Qt::black;
        return QGuiApplication::palette().color(group, role);
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer))
{
}

QtPrintSurface::~QtPrintSurface()
{
    abortJob();
}

QString QtPrintSurface::printerName() const
{
    if (printer_->outputFormat() == QPrinter::PdfFormat)
        return printer_->outputFileName();
    return printer_->printerName().isEmpty() ? QStringLiteral("(brak drukarki)") : printer_->printerName();
}

int QtPrintSurface::resolutionX() const
{
    return printer_->logicalDpiX();
}

int QtPrintSurface::resolutionY() const
{
    return printer_->logicalDpiY();
}

void QtPrintSurface::beginJob(const std::string& title)
{
    if (painter_.isActive())
        return;
    printer_->setDocName(QString::fromStdString(title));
    if (!painter_.begin(printer_.get()))
        throw IoError("Nie można rozpocząć wydruku na drukarce", printerName().toStdString());
}

void QtPrintSurface::endJob()
{
    if (!painter_.isActive())
        return;
    painter_.end();
    if (printer_->printerState() == QPrinter::Error)
        throw IoError("Nie można zakończyć wydruku na drukarce", printerName().toStdString());
}

void QtPrintSurface::abortJob()
{
    if (!painter_.isActive())
        return;
    // Qt's PDF and CUPS engines cannot abort: there the pages drawn so far are
    // still ended and sent, which at least closes the job.
    printer_->abort();
    painter_.end();
}

void QtPrintSurface::newPage()
{
    if (!painter_.isActive())
        return;
    if (!printer_->newPage())
        throw IoError("Nie można rozpocząć nowej strony wydruku na drukarce", printerName().toStdString());
}

void QtPrintSurface::setOrientation(Orientation orientation)
{
    // The orientation of an open job cannot change.
    if (painter_.isActive())
        return;
    printer_->setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
}

void QtPrintSurface::setFontFace(const std::string& face)
{
    face_ = QString::fromStdString(face).left(kFaceLength).toStdString();
}

QFont QtPrintSurface::currentFont() const
{
    // An unknown face falls back through the font matcher to a similar one.
    QFont font = face_.empty() ? QFont() : QFont(QString::fromStdString(face_));
    if (height_ < 0) {
        // Character height without internal leading: Qt's pixel size.
        font.setPixelSize(static_cast<int>(std::min(-static_cast<long long>(height_), static_cast<long long>(kMaxFontPixels))));
    } else if (height_ > 0) {
        // Cell height with internal leading: scale the pixel size to fit the cell.
        const int cell = std::min(height_, kMaxFontPixels);
        font.setPixelSize(cell);
        const qreal measured = QFontMetricsF(font, printer_.get()).height();
        if (measured > 0)
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell * cell / measured))));
    }
    font.setBold(style_ & FontStyle::Bold);
    font.setItalic(style_ & FontStyle::Italic);
    font.setUnderline(style_ & FontStyle::Underline);
    font.setStrikeOut(style_ & FontStyle::StrikeOut);
    return font;
}

void QtPrintSurface::textOut(int x, int y, const std::string& utf8)
{
    if (!painter_.isActive() || !drawable(x, y))
        return;
    painter_.setFont(currentFont());
    const QFontMetrics metrics = painter_.fontMetrics();
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    // The cell is drawn opaque, as the printouts expect texts to cover what lies below.
    painter_.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), Qt::white);
    painter_.setPen(toQColor(colour_));
    painter_.drawText(QPoint(x, y + metrics.ascent()), text);
}

void QtPrintSurface::rectangle(int left, int top, int right, int bottom)
{
    if (!painter_.isActive() || !drawable(left, top) || !drawable(right, bottom))
        return;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    painter_.setPen(QPen(toQColor(pen_), 1));
    painter_.setBrush(Qt::white);
    // The outline covers left..right-1 and top..bottom-1, one dot wide.
    painter_.drawRect(QRectF(left + 0.5, top + 0.5, std::max(0, right - left - 1), std::max(0, bottom - top - 1)));
}

void QtPrintSurface::stretchPicture(int left, int top, int right, int bottom, const Picture& picture)
{
    if (!painter_.isActive() || !drawable(left, top) || !drawable(right, bottom))
        return;
    const QImage image = toImage(picture);
    if (image.isNull())
        return;
    painter_.drawImage(QRect(left, top, right - left, bottom - top), image);
}

} // namespace wirtello
