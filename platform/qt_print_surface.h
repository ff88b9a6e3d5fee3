#pragma once

#include "platform/print_surface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageRanges>
#include <QPainter>
#include <QString>

#include <filesystem>
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
    // Over a printer someone else owns and that only records pages: the print
    // preview's. Its output file (it has none) is not checked.
    explicit QtPrintSurface(QPrinter& preview);
    ~QtPrintSurface() override;

    QPrinter& printer() { return *printer_; }

    // Makes the job a PDF file at `target`: the pages go to a temporary file
    // beside it, renamed over it once the whole job is written, so a job that
    // fails leaves an existing file as it was.
    void writePdfTo(const std::filesystem::path& target);
    // The page layout the latest job was drawn on (the printout may change
    // the orientation back once its job has ended).
    QPageLayout playedLayout() const { return playedLayout_; }

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
    TextExtent textExtent(const std::string& utf8) const override;
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
    void playToPdf(const std::vector<int>& order);

    std::unique_ptr<QPrinter> ownedPrinter_;
    QPrinter* printer_ = nullptr;
    bool preview_ = false;
    std::filesystem::path pdfTarget_;
    QPageLayout playedLayout_;
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
