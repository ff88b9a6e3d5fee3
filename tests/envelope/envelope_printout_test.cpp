#include "envelope/envelope_printout.h"

#include "store/io_error.h"
#include "tests/support/recording_print_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <string>

namespace wirtello {
namespace {

// The window as the defaults files leave it, with a sender and a recipient.
EnvelopeLayout defaultLayout()
{
    EnvelopeLayout layout;
    layout.settings = defaultEnvelopeSettings().settings();
    layout.settings.sender = {"n1", "n2", "n3", "n4"};
    layout.recipient = {"o1", "o2", "o3", "o4", "o5"};
    return layout;
}

Picture pictureOf(int width, int height)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(static_cast<std::size_t>(width) * height * 3, 0x80);
    return picture;
}

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};

std::map<std::string, Point> positions(const RecordingPrintSurface& surface)
{
    std::map<std::string, Point> result;
    for (const auto& text : surface.texts)
        result[text.text] = {text.x, text.y};
    return result;
}

TEST(EnvelopePrintout, LinesStandWhereUsersCalibratedThem)
{
    const struct {
        const char* name;
        int dpi;
        std::string senderTop;
        std::string spacing;
        int preset;
        std::map<std::string, Point> expected;
    } rows[] = {
        {"defaults at 300 dpi", 300, "5", "5", 1,
         {{"n1", {60, 72}}, {"n2", {60, 132}}, {"n3", {60, 192}}, {"n4", {60, 252}},
          {"o1", {600, 600}}, {"o2", {660, 720}}, {"o3", {660, 780}}, {"o4", {660, 840}}, {"o5", {660, 900}}}},
        // The sender's top moves the sender block and the address lines, not the form of address.
        {"sender top 20", 300, "20", "5", 1,
         {{"n1", {60, 252}}, {"n4", {60, 432}}, {"o1", {600, 600}}, {"o2", {660, 900}}, {"o5", {660, 1080}}}},
        {"spacing 12a reads 12", 300, "5", "12a", 1,
         {{"n1", {60, 72}}, {"n2", {60, 216}}, {"n4", {60, 504}}, {"o1", {600, 600}}, {"o2", {660, 804}},
          {"o5", {660, 1236}}}},
        // No spacing: each block on one height.
        {"empty spacing", 300, "5", "", 1,
         {{"n1", {60, 72}}, {"n4", {60, 72}}, {"o1", {600, 600}}, {"o2", {660, 660}}, {"o5", {660, 660}}}},
        {"preset 3", 300, "5", "5", 3,
         {{"n1", {60, 72}}, {"o1", {1800, 1800}}, {"o2", {1860, 1920}}, {"o5", {1860, 2100}}}},
        // 360 dpi: 14 dots a page millimetre.
        {"defaults at 360 dpi", 360, "5", "5", 1,
         {{"n1", {70, 84}}, {"n4", {70, 294}}, {"o1", {700, 700}}, {"o2", {770, 840}}, {"o5", {770, 1050}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EnvelopeLayout layout = defaultLayout();
        layout.settings.senderTop = row.senderTop;
        layout.settings.spacing = row.spacing;
        layout.ticks.preset = row.preset;
        RecordingPrintSurface surface(row.dpi, row.dpi);
        drawEnvelope(surface, CurrentPrintFont{}, layout, Picture{});
        EXPECT_EQ(surface.texts.size(), 9u);
        const auto printed = positions(surface);
        for (const auto& [text, point] : row.expected) {
            ASSERT_TRUE(printed.contains(text)) << text;
            EXPECT_EQ(printed.at(text), point) << text;
        }
    }
}

TEST(EnvelopePrintout, EmptyLinesStillAdvanceTheCursor)
{
    EnvelopeLayout layout = defaultLayout();
    layout.settings.sender = {"Firma", "", "", "Polska"};
    layout.recipient = {"", "", "Jan Nowak", "", "Kraków"};
    RecordingPrintSurface surface;
    drawEnvelope(surface, CurrentPrintFont{}, layout, Picture{});
    const auto printed = positions(surface);
    EXPECT_EQ(printed.at("Polska"), (Point{60, 252}));
    EXPECT_EQ(printed.at("Jan Nowak"), (Point{660, 780}));
    EXPECT_EQ(printed.at("Kraków"), (Point{660, 900}));
}

TEST(EnvelopePrintout, OrientationIsSetBeforeTheJobAndPortraitAfterItEvenOnFailure)
{
    const struct {
        bool landscape;
        bool jobFails;
    } rows[] = {{false, false}, {true, false}, {true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.landscape << row.jobFails);
        EnvelopeLayout layout = defaultLayout();
        layout.ticks.landscape = row.landscape;
        RecordingPrintSurface surface;
        surface.failBeginJob = row.jobFails;
        if (row.jobFails)
            EXPECT_THROW(drawEnvelope(surface, CurrentPrintFont{}, layout, Picture{}), IoError);
        else
            drawEnvelope(surface, CurrentPrintFont{}, layout, Picture{});
        const auto& calls = surface.calls;
        const auto first = std::find(calls.begin(), calls.end(),
                                     row.landscape ? "setOrientation landscape" : "setOrientation portrait");
        const auto begin = std::find(calls.begin(), calls.end(), "beginJob Koperta");
        ASSERT_NE(begin, calls.end());
        EXPECT_LT(first, begin);
        EXPECT_EQ(calls.back(), "setOrientation portrait");
        EXPECT_FALSE(surface.jobOpen());
        EXPECT_EQ(surface.jobsEnded, row.jobFails ? 0 : 1);
        EXPECT_EQ(surface.texts.size(), row.jobFails ? 0u : 9u);
        EXPECT_EQ(surface.misuses, 0);
    }
}

TEST(EnvelopePrintout, LogoIsStretchedTwoAndAHalfDotsAPicturePixelWhenTickedAndLoaded)
{
    const struct {
        std::string left, top;
        int width, height;
        int dpi;
        bool ticked;
        std::optional<DeviceRect> expected;
    } rows[] = {
        {"40", "20", 100, 50, 300, true, DeviceRect{100, 50, 350, 175}},
        {"3", "3", 100, 50, 300, true, DeviceRect{8, 8, 257, 132}},     // 7.5 rounds to 8, 257.5 truncates
        {"1", "5", 100, 50, 300, true, DeviceRect{2, 12, 252, 137}},    // 2.5 rounds to 2, 12.5 to 12
        {"40", "20", 100, 50, 600, true, DeviceRect{100, 50, 350, 175}}, // not millimetres: any resolution
        {"", "x", 10, 10, 300, true, DeviceRect{0, 0, 25, 25}},
        {"-3", "0", 10, 10, 300, true, DeviceRect{-8, 0, 17, 25}},      // -7.5 rounds to -8
        {"40", "20", 100, 50, 300, false, std::nullopt},
        {"40", "20", 0, 0, 300, true, std::nullopt}, // ticked, but no picture loaded
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.left + "/" + row.top);
        EnvelopeLayout layout = defaultLayout();
        layout.ticks.logo = row.ticked;
        layout.logo.left = row.left;
        layout.logo.top = row.top;
        RecordingPrintSurface surface(row.dpi, row.dpi);
        drawEnvelope(surface, CurrentPrintFont{}, layout,
                     row.width > 0 ? pictureOf(row.width, row.height) : Picture{});
        EXPECT_EQ(surface.texts.size(), 9u);
        if (!row.expected) {
            EXPECT_TRUE(surface.pictures.empty());
            continue;
        }
        ASSERT_EQ(surface.pictures.size(), 1u);
        const auto& p = surface.pictures[0];
        EXPECT_EQ((DeviceRect{p.left, p.top, p.right, p.bottom}), *row.expected);
        EXPECT_EQ(p.width, row.width);
    }
}

TEST(EnvelopePrintout, AnyTypedNumberGivesSaneDots)
{
    const std::string wild[] = {"", "-", "$", "0x", "99999999999999999999", "1e9", "żółw", "-2147483648",
                                "2147483647", "$FFFFFFFF", "$80000000"};
    for (const std::string& text : wild) {
        SCOPED_TRACE(text);
        EnvelopeLayout layout = defaultLayout();
        for (std::string* field : {&layout.settings.spacing, &layout.settings.senderLeft, &layout.settings.senderTop,
                                   &layout.settings.left[0], &layout.settings.top[0], &layout.logo.left,
                                   &layout.logo.top})
            *field = text;
        layout.ticks.logo = true;
        RecordingPrintSurface surface;
        ASSERT_NO_THROW(drawEnvelope(surface, CurrentPrintFont{}, layout, pictureOf(65535, 1)));
        EXPECT_EQ(surface.texts.size(), 9u);
        if (!surface.pictures.empty()) {
            EXPECT_LE(surface.pictures[0].left, surface.pictures[0].right);
            EXPECT_LE(surface.pictures[0].top, surface.pictures[0].bottom);
        }
        // Sums are clamped, never wrapped round to the other side of the page.
        const bool huge = text == "2147483647" || text == "99999999999999999999";
        const bool hugeNegative = text == "-2147483648";
        for (const auto& printed : surface.texts) {
            if (huge) {
                EXPECT_EQ((Point{printed.x, printed.y}), (Point{INT_MAX, INT_MAX})) << printed.text;
            } else if (hugeNegative) {
                EXPECT_EQ((Point{printed.x, printed.y}), (Point{INT_MIN, INT_MIN})) << printed.text;
            }
        }
    }
}

} // namespace
} // namespace wirtello
