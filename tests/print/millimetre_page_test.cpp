#include "print/millimetre_page.h"
#include "tests/support/recording_print_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

namespace wirtello {
namespace {

TEST(MillimetrePage, DotsPerMillimetreDivideByTwentyFiveRoundingToNearest)
{
    const std::vector<std::pair<int, int>> table = {{96, 4},  {150, 6},  {180, 7},  {203, 8},   {300, 12},
                                                    {360, 14}, {600, 24}, {720, 29}, {1200, 48}};
    for (const auto& [dpi, dots] : table) {
        RecordingPrintSurface surface(dpi, dpi);
        LinesPrintPage page(surface);
        page.MeasurePage();
        EXPECT_EQ(page.state().dotsPerMmX, dots) << dpi;
        EXPECT_EQ(page.state().dotsPerMmY, dots) << dpi;
    }
}

TEST(MillimetrePage, TextsAndFramesLandOnWholeMillimetreDots)
{
    RecordingPrintSurface surface(300, 300);
    CashPrintPage page(surface);
    page.BeginCalibratedDocument(0, 0);
    page.TextAt(10, 6, "Ala");
    page.FrameAt(10, 3, 170, 1);

    ASSERT_EQ(surface.texts.size(), 1u);
    EXPECT_EQ(surface.texts[0].x, 120);
    EXPECT_EQ(surface.texts[0].y, 72);
    ASSERT_EQ(surface.rectangles.size(), 1u);
    const auto& frame = surface.rectangles[0];
    EXPECT_EQ((std::vector<int>{frame.left, frame.top, frame.right, frame.bottom}),
              (std::vector<int>{120, 36, 2160, 48}));
}

TEST(MillimetrePage, DifferentResolutionsAcrossAndDown)
{
    RecordingPrintSurface surface(600, 300);
    surface.beginJob("t");
    LinesPrintPage page(surface);
    page.MeasurePage();
    page.TextAt(10, 6, "x");
    page.SetPrintFont("Arial", 12);

    EXPECT_EQ(surface.texts.at(0).x, 240);
    EXPECT_EQ(surface.texts.at(0).y, 72);
    // Font heights follow the vertical resolution.
    EXPECT_EQ(surface.fontHeight(), -50);
}

TEST(MillimetrePage, FontHeightRoundsHalvesToEven)
{
    RecordingPrintSurface surface(300, 300);
    LinesPrintPage page(surface);
    page.MeasurePage();
    const std::vector<std::pair<int, int>> cases = {{12, -50}, {10, -42}, {9, -38}, {3, -12}, {0, 0}, {-3, 12}};
    for (const auto& [points, height] : cases) {
        page.SetPrintFont("Arial", points);
        EXPECT_EQ(surface.fontHeight(), height) << points << " pt";
    }
}

TEST(MillimetrePage, EmptyFaceKeepsTheSurfaceFace)
{
    RecordingPrintSurface surface;
    surface.setFontFace("Courier New");
    EnvelopePrintPage page(surface);
    page.MeasurePage();
    page.SetPrintFont("", 0);
    EXPECT_EQ(surface.fontFace(), "Courier New");
    EXPECT_EQ(surface.fontHeight(), 0);
    page.SetPrintFont("Arial", 8);
    EXPECT_EQ(surface.fontFace(), "Arial");
}

TEST(MillimetrePage, BoldReplacesTheWholeStyleOrNothing)
{
    RecordingPrintSurface surface;
    LinesPrintPage page(surface);
    surface.setFontStyle(FontStyle::Italic | FontStyle::Underline);
    page.SetBold(2);
    EXPECT_EQ(surface.fontStyle(), FontStyle::Italic | FontStyle::Underline);
    page.SetBold(1);
    EXPECT_EQ(surface.fontStyle(), FontStyle::Bold);
    page.SetBold(0);
    EXPECT_EQ(surface.fontStyle(), 0);
}

TEST(MillimetrePage, CalibrationScalesTheCashDocumentPageBeforeTheJob)
{
    RecordingPrintSurface surface(600, 600);
    CashPrintPage page(surface);
    page.BeginCalibratedDocument(10, -10);
    EXPECT_EQ(page.state().resolutionX, 660);
    EXPECT_EQ(page.state().dotsPerMmX, 26);
    EXPECT_EQ(page.state().resolutionY, 540);
    EXPECT_EQ(page.state().dotsPerMmY, 22);
    EXPECT_TRUE(surface.jobOpen());
    page.SetPrintFont("Arial", 12); // 12 * 540 / 72
    EXPECT_EQ(surface.fontHeight(), -90);

    // Halves of the added dots go to even: 12.5 -> 12, 13.5 -> 14.
    RecordingPrintSurface low(25, 27);
    CashPrintPage lowPage(low);
    lowPage.BeginCalibratedDocument(50, 50);
    EXPECT_EQ(lowPage.state().resolutionX, 37);
    EXPECT_EQ(lowPage.state().resolutionY, 41);

    // No calibration measures exactly as the plain page does.
    RecordingPrintSurface plain(720, 360);
    CashPrintPage plainPage(plain);
    plainPage.BeginCalibratedDocument(0, 0);
    EXPECT_EQ(plainPage.state().dotsPerMmX, 29);
    EXPECT_EQ(plainPage.state().dotsPerMmY, 14);
}

TEST(MillimetrePage, OrientationChangesOnlyOutsideAJob)
{
    RecordingPrintSurface surface;
    EnvelopePrintPage page(surface);
    page.SetLandscape();
    EXPECT_EQ(surface.orientation, Orientation::Landscape);
    page.SetPortrait();
    EXPECT_EQ(surface.orientation, Orientation::Portrait);
    EXPECT_EQ(surface.misuses, 0);
}

TEST(MillimetrePage, OversizedPositionsSaturateInsteadOfWrapping)
{
    RecordingPrintSurface surface(1200, 1200);
    CashPrintPage page(surface);
    page.BeginCalibratedDocument(0, 0);
    page.TextAt(INT_MAX, -INT_MAX, "x");
    page.FrameAt(INT_MAX, 0, INT_MAX, 1);
    EXPECT_EQ(surface.texts.at(0).x, INT_MAX);
    EXPECT_EQ(surface.texts.at(0).y, INT_MIN);
    EXPECT_EQ(surface.rectangles.at(0).right, INT_MAX);
    page.SetPrintFont("Arial", INT_MAX);
    EXPECT_EQ(surface.fontHeight(), INT_MIN);
}

TEST(MillimetrePage, HalfEvenDivision)
{
    EXPECT_EQ(divideRoundedHalfEven(25, 2), 12);
    EXPECT_EQ(divideRoundedHalfEven(27, 2), 14);
    EXPECT_EQ(divideRoundedHalfEven(-5, 2), -2);
    EXPECT_EQ(divideRoundedHalfEven(-7, 2), -4);
    EXPECT_EQ(divideRoundedHalfEven(-26, 25), -1);
}

} // namespace
} // namespace wirtello
