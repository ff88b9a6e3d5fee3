#pragma once

#include "platform/print_surface.h"

#include <QColor>
#include <QFont>
#include <QPainter>

#include <memory>

class QPrinter;

namespace wirtello {

// A platform colour as Qt sees it: 0x00BBGGRR, or a system colour (high byte
// 0xFF) in its current value from the application palette.
QColor toQColor(std::int32_t colour);

// The printer surface: a QPrinter and, while a job is open, a QPainter on it.
// Coordinates are the printer's device dots from the printable area's top-left.
class QtPrintSurface : public PrintSurface {
public:
    explicit QtPrintSurface(std::unique_ptr<QPrinter> printer);
    ~QtPrintSurface() override;

    QPrinter& printer() { return *printer_; }

    int resolutionX() const override;
    int resolutionY() const override;
    void beginJob(const std::string& title) override;
    void endJob() override;
    void abortJob() override;
    bool jobOpen() const override { return painter_.isActive(); }
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
    QString printerName() const;

    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    std::string face_;
    int height_ = 0;
    std::uint8_t style_ = 0;
    std::int32_t colour_ = 0;
    std::int32_t pen_ = 0;
};

} // namespace wirtello
