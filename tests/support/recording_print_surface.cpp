#include "recording_print_surface.h"

#include "store/io_error.h"

#include <algorithm>
#include <sstream>

namespace wirtello {
namespace {

std::string joined(const char* name, std::initializer_list<long long> numbers, const std::string& tail = {})
{
    std::ostringstream out;
    out << name;
    for (long long n : numbers)
        out << ' ' << n;
    if (!tail.empty())
        out << ' ' << tail;
    return out.str();
}

class Proxy : public PrintSurface {
public:
    explicit Proxy(PrintSurface& target) : t_(target) {}
    int resolutionX() const override { return t_.resolutionX(); }
    int resolutionY() const override { return t_.resolutionY(); }
    void beginJob(const std::string& title) override { t_.beginJob(title); }
    void endJob() override { t_.endJob(); }
    void abortJob() override { t_.abortJob(); }
    bool jobOpen() const override { return t_.jobOpen(); }
    void newPage() override { t_.newPage(); }
    void setOrientation(Orientation orientation) override { t_.setOrientation(orientation); }
    void setFontFace(const std::string& face) override { t_.setFontFace(face); }
    std::string fontFace() const override { return t_.fontFace(); }
    void setFontHeight(int height) override { t_.setFontHeight(height); }
    int fontHeight() const override { return t_.fontHeight(); }
    void setFontStyle(std::uint8_t style) override { t_.setFontStyle(style); }
    std::uint8_t fontStyle() const override { return t_.fontStyle(); }
    void setFontColour(std::int32_t colour) override { t_.setFontColour(colour); }
    void setPenColour(std::int32_t colour) override { t_.setPenColour(colour); }
    TextExtent textExtent(const std::string& utf8) const override { return t_.textExtent(utf8); }
    void textOut(int x, int y, const std::string& utf8) override { t_.textOut(x, y, utf8); }
    void rectangle(int l, int t, int r, int b) override { t_.rectangle(l, t, r, b); }
    void stretchPicture(int l, int t, int r, int b, const Picture& p) override { t_.stretchPicture(l, t, r, b, p); }

private:
    PrintSurface& t_;
};

} // namespace

std::unique_ptr<PrintSurface> RecordingPrintSurface::proxy()
{
    return std::make_unique<Proxy>(*this);
}

std::vector<RecordingPrintSurface::Text> RecordingPrintSurface::textsOnPage(int page) const
{
    std::vector<Text> result;
    for (const Text& text : texts)
        if (text.page == page)
            result.push_back(text);
    return result;
}

void RecordingPrintSurface::checkInsideJob()
{
    if (!jobOpen_)
        ++misuses;
}

void RecordingPrintSurface::beginJob(const std::string& title)
{
    calls.push_back(joined("beginJob", {}, title));
    if (jobOpen_)
        ++misuses;
    if (failBeginJob)
        throw IoError("Nie można rozpocząć wydruku", "drukarka testowa");
    jobOpen_ = true;
    ++jobsStarted;
    pages = 1;
}

void RecordingPrintSurface::endJob()
{
    calls.push_back("endJob");
    checkInsideJob();
    jobOpen_ = false;
    ++jobsEnded;
}

void RecordingPrintSurface::abortJob()
{
    if (!jobOpen_)
        return;
    calls.push_back("abortJob");
    jobOpen_ = false;
    ++jobsAborted;
}

void RecordingPrintSurface::newPage()
{
    calls.push_back("newPage");
    checkInsideJob();
    if (failNewPage)
        throw IoError("Nie można rozpocząć nowej strony wydruku", "drukarka testowa");
    ++pages;
}

void RecordingPrintSurface::setOrientation(Orientation value)
{
    calls.push_back(value == Orientation::Landscape ? "setOrientation landscape" : "setOrientation portrait");
    if (jobOpen_)
        ++misuses;
    orientation = value;
}

void RecordingPrintSurface::setFontFace(const std::string& face)
{
    calls.push_back(joined("setFontFace", {}, face));
    face_ = face;
}

void RecordingPrintSurface::setFontHeight(int height)
{
    calls.push_back(joined("setFontHeight", {height}));
    height_ = height;
}

void RecordingPrintSurface::setFontStyle(std::uint8_t style)
{
    calls.push_back(joined("setFontStyle", {style}));
    style_ = style;
}

void RecordingPrintSurface::setFontColour(std::int32_t colour)
{
    calls.push_back(joined("setFontColour", {colour}));
    colour_ = colour;
}

void RecordingPrintSurface::setPenColour(std::int32_t colour)
{
    calls.push_back(joined("setPenColour", {colour}));
    pen_ = colour;
}

TextExtent RecordingPrintSurface::textExtent(const std::string& utf8) const
{
    const int characterHeight = height_ < 0 ? -height_ : height_ > 0 ? height_ * 5 / 6 : dpiY_ / 6;
    const auto characters = std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; });
    // Heights are in dots down the page, widths in dots across it.
    return {static_cast<int>(characters * characterHeight * dpiX_ / (2 * dpiY_)), characterHeight * 6 / 5};
}

void RecordingPrintSurface::textOut(int x, int y, const std::string& utf8)
{
    calls.push_back(joined("textOut", {x, y}, utf8));
    checkInsideJob();
    texts.push_back({pages, x, y, utf8, face_, height_, style_, colour_});
}

void RecordingPrintSurface::rectangle(int left, int top, int right, int bottom)
{
    calls.push_back(joined("rectangle", {left, top, right, bottom}));
    checkInsideJob();
    rectangles.push_back({pages, left, top, right, bottom, pen_});
}

void RecordingPrintSurface::stretchPicture(int left, int top, int right, int bottom, const Picture& picture)
{
    calls.push_back(joined("stretchPicture", {left, top, right, bottom, picture.width, picture.height}));
    checkInsideJob();
    pictures.push_back({pages, left, top, right, bottom, picture.width, picture.height});
}

} // namespace wirtello
