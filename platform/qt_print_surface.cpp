#include "qt_print_surface.h"

#include "store/io_error.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPrinter>
#include <QRandomGenerator>

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


// "<name>.<16 hex digits>.tmp~": the name the program's unfinished writes
// have, so one left by a crash is recognised and cleared like the others.
std::filesystem::path temporaryBeside(const std::filesystem::path& target)
{
    std::filesystem::path temporary = target;
    temporary += "." + QString::number(QRandomGenerator::global()->generate64(), 16).rightJustified(16, u'0').toStdString()
        + ".tmp~";
    return temporary;
}

QString toQString(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

// Polish plural of "strona" after a count: 1 stronę, 2 strony, 5 stron.
QString pagesWord(int count)
{
    if (count == 1)
        return QStringLiteral("stronę");
    const int tens = count % 100;
    const int units = count % 10;
    if (units >= 2 && units <= 4 && (tens < 12 || tens > 14))
        return QStringLiteral("strony");
    return QStringLiteral("stron");
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

std::vector<int> pagesToPlay(int pageCount, const PagePlayback& playback)
{
    std::vector<int> chosen;
    for (int page = 1; page <= pageCount; ++page)
        if (playback.range.isEmpty() || playback.range.contains(page))
            chosen.push_back(page - 1);
    if (playback.lastPageFirst)
        std::reverse(chosen.begin(), chosen.end());

    const int copies = std::max(1, playback.copies);
    std::vector<int> order;
    order.reserve(chosen.size() * static_cast<std::size_t>(copies));
    if (playback.collate) {
        for (int copy = 0; copy < copies; ++copy)
            order.insert(order.end(), chosen.begin(), chosen.end());
    } else {
        for (const int page : chosen)
            order.insert(order.end(), static_cast<std::size_t>(copies), page);
    }
    return order;
}

PagePlayback playbackFor(const QPrinter& printer)
{
    PagePlayback playback;
    if (printer.printRange() == QPrinter::PageRange)
        playback.range = printer.pageRanges();
    // Where the engine makes copies itself (a system printer), one copy is
    // drawn and the printer is told the count; the PDF writer cannot.
    playback.copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    playback.collate = printer.collateCopies();
    playback.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
    return playback;
}

QString describePages(const QPageRanges& range)
{
    QStringList parts;
    for (const QPageRanges::Range& part : range.toRangeList())
        parts << (part.from == part.to ? QString::number(part.from)
                                       : QStringLiteral("%1–%2").arg(part.from).arg(part.to));
    return parts.join(QStringLiteral(", "));
}

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPrinter> printer, Notice notice)
    : ownedPrinter_(std::move(printer)), printer_(ownedPrinter_.get()), notice_(std::move(notice))
{
}

QtPrintSurface::QtPrintSurface(QPrinter& preview) : printer_(&preview), preview_(true)
{
}

void QtPrintSurface::writePdfTo(const std::filesystem::path& target)
{
    pdfTarget_ = target;
    printer_->setOutputFormat(QPrinter::PdfFormat);
}

QtPrintSurface::~QtPrintSurface()
{
    abortJob();
}

QString QtPrintSurface::printerName() const
{
    if (!pdfTarget_.empty())
        return toQString(pdfTarget_);
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

void QtPrintSurface::checkPrinterReady() const
{
    // What can be known before the first page is drawn: a printer that is
    // gone, or a PDF file without a name or a folder to go to.
    bool ready = printer_->isValid();
    if (!pdfTarget_.empty()) {
        // A missing folder, or a file the user may not change (read-only),
        // which the replacement by rename would otherwise overwrite.
        const QFileInfo file(toQString(pdfTarget_));
        const bool readOnly = file.exists() && (!file.isWritable() || !file.permissions().testFlag(QFileDevice::WriteOwner));
        if (!file.absoluteDir().exists() || readOnly)
            throw IoError(kPdfFailed, pdfTarget_);
    } else if (printer_->outputFormat() == QPrinter::PdfFormat && !preview_) {
        const QString file = printer_->outputFileName();
        ready = ready && !file.isEmpty() && QFileInfo(file).absoluteDir().exists();
    }
    if (!ready)
        throw IoError(kPrintStartFailed, printerName().toStdString());
}

void QtPrintSurface::beginJob(const std::string& title)
{
    if (recording_)
        return;
    checkPrinterReady();
    printer_->setDocName(QString::fromStdString(title));
    pages_.assign(1, Page{});
    recording_ = true;
}

void QtPrintSurface::endJob()
{
    if (!recording_)
        return;
    const PagePlayback playback = playbackFor(*printer_);
    const std::vector<int> order = pagesToPlay(static_cast<int>(pages_.size()), playback);
    if (order.empty()) {
        const int count = static_cast<int>(pages_.size());
        discardJob();
        if (notice_)
            notice_(QStringLiteral("Wybrany zakres stron (%1) leży poza wydrukiem, który ma %2 %3.\r"
                                   "Nic nie zostało wydrukowane.")
                        .arg(describePages(playback.range))
                        .arg(count)
                        .arg(pagesWord(count)));
        return;
    }
    try {
        if (pdfTarget_.empty())
            play(order);
        else
            playToPdf(order);
    } catch (...) {
        if (painter_.isActive()) {
            printer_->abort();
            painter_.end();
        }
        discardJob();
        throw;
    }
    discardJob();
    if (printer_->printerState() == QPrinter::Error)
        throw IoError("Nie można zakończyć wydruku na drukarce", printerName().toStdString());
}

void QtPrintSurface::playToPdf(const std::vector<int>& order)
{
    // A link chosen in the save dialog stays a link: the file it leads to is replaced.
    std::filesystem::path destination = pdfTarget_;
    std::error_code linkError;
    if (std::filesystem::is_symlink(destination, linkError)) {
        destination = std::filesystem::weakly_canonical(destination, linkError);
        if (linkError)
            throw IoError(kPdfFailed, pdfTarget_);
    }
    const std::filesystem::path temporary = temporaryBeside(destination);
    printer_->setOutputFileName(toQString(temporary));
    const auto removeTemporary = [&temporary] {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    };
    try {
        play(order);
        if (printer_->printerState() == QPrinter::Error)
            throw IoError(kPdfFailed, pdfTarget_);
    } catch (const IoError&) {
        if (painter_.isActive())
            painter_.end();
        removeTemporary();
        throw IoError(kPdfFailed, pdfTarget_);
    } catch (...) {
        if (painter_.isActive())
            painter_.end();
        removeTemporary();
        throw;
    }
    std::error_code error;
    std::filesystem::rename(temporary, destination, error);
    if (error) {
        removeTemporary();
        throw IoError(kPdfFailed, pdfTarget_);
    }
}

void QtPrintSurface::play(const std::vector<int>& order)
{
    playedLayout_ = printer_->pageLayout();
    if (!painter_.begin(printer_))
        throw IoError(kPrintStartFailed, printerName().toStdString());
    bool first = true;
    for (const int index : order) {
        if (!first && !printer_->newPage())
            throw IoError("Nie można rozpocząć nowej strony wydruku na drukarce", printerName().toStdString());
        first = false;
        for (const Drawing& drawing : pages_[static_cast<std::size_t>(index)])
            draw(drawing);
    }
    painter_.end();
}

void QtPrintSurface::discardJob()
{
    recording_ = false;
    pages_.clear();
    pages_.shrink_to_fit();
}

void QtPrintSurface::abortJob()
{
    // Nothing has reached the printer yet: dropping the pages drops the job.
    discardJob();
}

void QtPrintSurface::newPage()
{
    if (recording_)
        pages_.emplace_back();
}

void QtPrintSurface::setOrientation(Orientation orientation)
{
    // The orientation of an open job cannot change.
    if (recording_)
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
        const qreal measured = QFontMetricsF(font, printer_).height();
        if (measured > 0)
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell * cell / measured))));
    }
    font.setBold(style_ & FontStyle::Bold);
    font.setItalic(style_ & FontStyle::Italic);
    font.setUnderline(style_ & FontStyle::Underline);
    font.setStrikeOut(style_ & FontStyle::StrikeOut);
    return font;
}

TextExtent QtPrintSurface::textExtent(const std::string& utf8) const
{
    // The metrics draw() uses for the text and its white cell. The painter
    // takes what the font leaves open (the size, for the face's default
    // height) from the application font; so does the measure.
    const QFontMetrics metrics(currentFont().resolve(QGuiApplication::font()), printer_);
    return {metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))),
            metrics.height()};
}

void QtPrintSurface::textOut(int x, int y, const std::string& utf8)
{
    if (!recording_ || !drawable(x, y))
        return;
    Drawing text{Drawing::Kind::Text, QRect(x, y, 0, 0), {}, currentFont(), toQColor(colour_), {}};
    text.text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    pages_.back().push_back(std::move(text));
}

void QtPrintSurface::rectangle(int left, int top, int right, int bottom)
{
    if (!recording_ || !drawable(left, top) || !drawable(right, bottom))
        return;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    pages_.back().push_back({Drawing::Kind::Frame, QRect(QPoint(left, top), QPoint(right, bottom)), {}, {},
                             toQColor(pen_), {}});
}

void QtPrintSurface::stretchPicture(int left, int top, int right, int bottom, const Picture& picture)
{
    if (!recording_ || !drawable(left, top) || !drawable(right, bottom))
        return;
    auto image = std::make_shared<const QImage>(toImage(picture));
    if (image->isNull())
        return;
    pages_.back().push_back({Drawing::Kind::Image, QRect(left, top, right - left, bottom - top), {}, {}, {},
                             std::move(image)});
}

void QtPrintSurface::draw(const Drawing& drawing)
{
    switch (drawing.kind) {
    case Drawing::Kind::Text: {
        painter_.setFont(drawing.font);
        const QFontMetrics metrics = painter_.fontMetrics();
        const QPoint at = drawing.area.topLeft();
        // The cell is drawn opaque, as the printouts expect texts to cover what lies below.
        painter_.fillRect(QRect(at.x(), at.y(), metrics.horizontalAdvance(drawing.text), metrics.height()), Qt::white);
        painter_.setPen(drawing.colour);
        painter_.drawText(QPoint(at.x(), at.y() + metrics.ascent()), drawing.text);
        break;
    }
    case Drawing::Kind::Frame: {
        const QPoint topLeft = drawing.area.topLeft();
        const QPoint bottomRight = drawing.area.bottomRight();
        painter_.setPen(QPen(drawing.colour, 1));
        painter_.setBrush(Qt::white);
        // The outline covers left..right-1 and top..bottom-1, one dot wide.
        painter_.drawRect(QRectF(topLeft.x() + 0.5, topLeft.y() + 0.5, std::max(0, bottomRight.x() - topLeft.x() - 1),
                                 std::max(0, bottomRight.y() - topLeft.y() - 1)));
        break;
    }
    case Drawing::Kind::Image:
        painter_.drawImage(drawing.area, *drawing.image);
        break;
    }
}

} // namespace wirtello
