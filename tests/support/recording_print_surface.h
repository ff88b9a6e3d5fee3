#pragma once

#include "platform/print_surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wirtello {

// A print surface for tests: records every call in device dots, and every
// text with the font it was drawn in.
class RecordingPrintSurface : public PrintSurface {
public:
    struct Text {
        int page = 0; // 1-based within its job
        int x = 0;
        int y = 0;
        std::string text;
        std::string face;
        int height = 0;
        std::uint8_t style = 0;
        std::int32_t colour = 0;
    };
    struct Frame {
        int page = 0;
        int left = 0, top = 0, right = 0, bottom = 0;
        std::int32_t pen = 0;
    };
    struct Stretch {
        int page = 0;
        int left = 0, top = 0, right = 0, bottom = 0;
        int width = 0, height = 0; // of the picture
    };

    RecordingPrintSurface(int dpiX = 300, int dpiY = 300) : dpiX_(dpiX), dpiY_(dpiY) {}

    // Every call in order, e.g. "beginJob Lista", "textOut 120 72 Abc", "newPage".
    std::vector<std::string> calls;
    std::vector<Text> texts;
    std::vector<Frame> rectangles;
    std::vector<Stretch> pictures;
    int jobsStarted = 0;
    int jobsEnded = 0;
    int jobsAborted = 0;
    int pages = 0; // pages of the last job
    Orientation orientation = Orientation::Portrait;
    // Calls that the printer would refuse: drawing outside a job, orientation inside one.
    int misuses = 0;

    // Make the printer fail as one that cannot start a job or a page does.
    bool failBeginJob = false;
    bool failNewPage = false;

    // A surface that records into this one, for code that takes ownership of
    // its surface (Platform::choosePrinter); it must not outlive this one.
    std::unique_ptr<PrintSurface> proxy();

    std::vector<Text> textsOnPage(int page) const;

    int resolutionX() const override { return dpiX_; }
    int resolutionY() const override { return dpiY_; }
    void beginJob(const std::string& title) override;
    void endJob() override;
    void abortJob() override;
    bool jobOpen() const override { return jobOpen_; }
    void newPage() override;
    void setOrientation(Orientation orientation) override;
    void setFontFace(const std::string& face) override;
    std::string fontFace() const override { return face_; }
    void setFontHeight(int height) override;
    int fontHeight() const override { return height_; }
    void setFontStyle(std::uint8_t style) override;
    std::uint8_t fontStyle() const override { return style_; }
    void setFontColour(std::int32_t colour) override;
    void setPenColour(std::int32_t colour) override;
    // Stand-in metrics: each character half the character height wide, the
    // cell 6/5 of it tall; the face's default height counts as 12 points.
    TextExtent textExtent(const std::string& utf8) const override;
    void textOut(int x, int y, const std::string& utf8) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void stretchPicture(int left, int top, int right, int bottom, const Picture& picture) override;

private:
    void checkInsideJob();

    int dpiX_;
    int dpiY_;
    bool jobOpen_ = false;
    std::string face_;
    int height_ = 0;
    std::uint8_t style_ = 0;
    std::int32_t colour_ = 0;
    std::int32_t pen_ = 0;
};

} // namespace wirtello
