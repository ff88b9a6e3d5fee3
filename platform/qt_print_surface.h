#pragma once

#include "platform/print_surface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPageRanges>
#include <QPainter>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPrinter;

namespace wirtello {

// A platform colour as Qt sees it: 0x00BBGGRR, or a system colour (high byte
// 0xFF) in its current value from the application palette.
QColor toQColor(std::int32_t colour);

// How the recorded pages of a job go to the printer.
struct PagePlayback {
    QPageRanges range;         // pages counted from 1; empty: every page
    int copies = 1;            // copies drawn by us; the printer makes any others itself
    bool collate = true;       // 1 2 3 1 2 3 rather than 1 1 2 2 3 3
    bool lastPageFirst = false;
};

// The recorded pages to draw, counted from 0, in the order they go out.
std::vector<int> pagesToPlay(int pageCount, const PagePlayback& playback);

// What the printer's settings (from the print dialog) ask of a job.
PagePlayback playbackFor(const QPrinter& printer);

// "2–5", "1, 3–4": a page range as the print dialog shows it.
QString describePages(const QPageRanges& range);

// The printer surface over a QPrinter. A job's pages are recorded as they are
// drawn and go to the printer only when the job ends, so that the page range,
// copies, collation and page order chosen in the print dialog hold for every
// printout, and a job that is abandoned half way prints nothing at all.
// Coordinates are the printer's device dots from the printable area's top-left.
class QtPrintSurface : public PrintSurface {
public:
    // Receives a notice for the user (a job whose chosen pages do not exist).
    using Notice = std::function<void(const QString&)>;

    explicit QtPrintSurface(std::unique_ptr<QPrinter> printer, Notice notice = {});
    ~QtPrintSurface() override;

    QPrinter& printer() { return *printer_; }

    int resolutionX() const override;
    int resolutionY() const override;
    void beginJob(const std::string& title) override;
    void endJob() override;
    void abortJob() override;
    bool jobOpen() const override { return recording_; }
    void newPage() override;
    void setOrientation(Orientation orientation) override;
    void setFontFace(const std::string& face) override;
    std::string fontFace() const override { return face_; }
    void setFontHeight(int height) override { height_ = height; }
    int fontHeight() const override { return height_; }
    void setFontStyle(std::uint8_t style) override { style_ = style; }
    std::uint8_t fontStyle() const override { return style_; }
    void setFontColour(std::int32_t colour) override { colour_ = colour; }
    void setPenColour(std::int32_t colour) override { pen_ = colour; }
    void textOut(int x, int y, const std::string& utf8) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void stretchPicture(int left, int top, int right, int bottom, const Picture& picture) override;

    // The font as drawn: face, height in device dots, style.
    QFont currentFont() const;

private:
    struct Drawing {
        enum class Kind { Text, Frame, Image } kind;
        QRect area;     // text: the point in topLeft; frame and image: the device rectangle
        QString text;
        QFont font;
        QColor colour;  // text or pen
        std::shared_ptr<const QImage> image;
    };
    using Page = std::vector<Drawing>;

    QString printerName() const;
    void checkPrinterReady() const;
    void play(const std::vector<int>& order);
    void draw(const Drawing& drawing);
    void discardJob();

    std::unique_ptr<QPrinter> printer_;
    Notice notice_;
    QPainter painter_;
    bool recording_ = false;
    std::vector<Page> pages_;
    std::string face_;
    int height_ = 0;
    std::uint8_t style_ = 0;
    std::int32_t colour_ = 0;
    std::int32_t pen_ = 0;
};

} // namespace wirtello
