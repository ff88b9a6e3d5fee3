// Photos in a picture frame: small ones at once, large ones decoded in the
// background behind a stand-in, overtaken ones never shown.
#include "platform/qt_picture.h"
#include "platform/window_look.h"
#include "tests/store/jpeg_samples.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <filesystem>
#include <memory>
#include <random>
#include <vector>

namespace wirtello::test {
namespace {

namespace fs = std::filesystem;

enum class Colour { Red, Green, Blue, None };

// A JPEG of one colour; `large` adds grain at full quality so the file is
// well over the size decoded at once.
void writePhoto(const fs::path& path, QColor colour, bool large)
{
    const int side = large ? 700 : 40;
    QImage image(side, side, QImage::Format_RGB32);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> grain(-20, 20);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int g = large ? grain(random) : 0;
            image.setPixelColor(x, y, QColor(std::clamp(colour.red() + g, 0, 255), std::clamp(colour.green() + g, 0, 255),
                                             std::clamp(colour.blue() + g, 0, 255)));
        }
    ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "JPG", large ? 100 : 90));
    ASSERT_EQ(fs::file_size(path) > kFramePhotoAtOnceBytes, large) << path;
}

Colour shown(const QLabel& frame)
{
    const QImage image = frame.pixmap().toImage();
    if (image.isNull())
        return Colour::None;
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    if (c.red() > 180 && c.green() < 80 && c.blue() < 80)
        return Colour::Red;
    if (c.green() > 180 && c.red() < 80 && c.blue() < 80)
        return Colour::Green;
    if (c.blue() > 180 && c.red() < 80 && c.green() < 80)
        return Colour::Blue;
    return Colour::None;
}

class FramePhotoTest : public ::testing::Test {
protected:
    FramePhotoTest()
    {
        forgetFramePictures();
        frame->resize(97, 125);
        writePhoto(folder / "small_red.jpg", Qt::red, false);
        writePhoto(folder / "small_green.jpg", Qt::green, false);
        writePhoto(folder / "large_red.jpg", Qt::red, true);
        writePhoto(folder / "large_green.jpg", Qt::green, true);
        // A small file claiming a large grey picture in forty scans: much work for its size.
        auto heavy = progressiveJpeg(64, 64, 40);
        claimSize(heavy, 2000, 2000);
        writeBytes(folder / "small_heavy.jpg", heavy);
    }

    // Shows `name`; the stand-in is blue, errors are counted by path.
    void show(const std::string& name)
    {
        framePhotoLoader(*frame).show(
            folder / name, [this] { frame->setPixmap(bluePixmap()); },
            [this](const IoError& error) { errors.push_back(error.path()); });
    }

    static QPixmap bluePixmap()
    {
        QPixmap blue(97, 125);
        blue.fill(Qt::blue);
        return blue;
    }

    TempFolder folder;
    std::unique_ptr<QLabel> frame = std::make_unique<QLabel>();
    std::vector<fs::path> errors;
};

TEST_F(FramePhotoTest, SmallPhotosAtOnceLargeOnesBehindTheStandIn)
{
    struct Row {
        const char* file;
        Colour atOnce;
        bool pending;
        Colour afterWait;
    };
    const Row rows[] = {
        {"small_red.jpg", Colour::Red, false, Colour::Red},
        {"large_green.jpg", Colour::Blue, true, Colour::Green},
        {"large_green.jpg", Colour::Green, false, Colour::Green}, // kept from the decoding before
        {"small_green.jpg", Colour::Green, false, Colour::Green},
        {"large_red.jpg", Colour::Blue, true, Colour::Red},
        {"small_heavy.jpg", Colour::Blue, true, Colour::None},
    };
    for (const Row& row : rows) {
        show(row.file);
        EXPECT_EQ(shown(*frame), row.atOnce) << row.file;
        EXPECT_EQ(framePhotoLoader(*frame).pending(), row.pending) << row.file;
        waitForFramePhotos();
        EXPECT_EQ(shown(*frame), row.afterWait) << row.file;
        EXPECT_FALSE(framePhotoLoader(*frame).pending()) << row.file;
    }
    EXPECT_TRUE(errors.empty());
}

// Whatever the frame was given after a large photo, that photo never covers it.
TEST_F(FramePhotoTest, OvertakenPhotoIsNeverShown)
{
    struct Row {
        const char* name;
        std::function<void()> then;
        Colour expected;
    };
    const Row rows[] = {
        {"a smaller photo", [this] { show("small_green.jpg"); }, Colour::Green},
        {"another large photo", [this] { show("large_green.jpg"); }, Colour::Green},
        {"a photo shown at once", [this] { framePhotoLoader(*frame).showAtOnce(folder / "small_green.jpg"); },
         Colour::Green},
        {"nothing: cancelled", [this] { framePhotoLoader(*frame).cancel(); }, Colour::Blue},
    };
    // Overtaken before its decoding started, and after it ended but before
    // the photo reached the frame.
    for (const bool decoded : {false, true}) {
        for (const Row& row : rows) {
            forgetFramePictures();
            show("large_red.jpg");
            if (decoded)
                framePhotoLoader(*frame).waitForDecoding();
            row.then();
            waitForFramePhotos();
            QApplication::processEvents(); // a late delivery would land here
            EXPECT_EQ(shown(*frame), row.expected) << row.name << (decoded ? ", decoded" : "");
        }
    }
}

TEST_F(FramePhotoTest, BrokenFileIsReportedOnceWhenItsDecodingEnds)
{
    struct Row {
        const char* file;
        std::size_t size;
        std::size_t errorsAtOnce;
    };
    const Row rows[] = {
        {"broken_small.jpg", 100, 1},
        {"broken_large.jpg", kFramePhotoAtOnceBytes + 1000, 0},
    };
    for (const Row& row : rows) {
        std::vector<std::uint8_t> bytes(row.size, 0x55);
        bytes[0] = 0xFF;
        bytes[1] = 0xD8;
        writeBytes(folder / row.file, bytes);
        errors.clear();
        frame->clear();
        show(row.file);
        EXPECT_EQ(errors.size(), row.errorsAtOnce) << row.file;
        waitForFramePhotos();
        QApplication::processEvents();
        ASSERT_EQ(errors.size(), 1u) << row.file;
        EXPECT_EQ(errors[0], folder / row.file);
        EXPECT_EQ(shown(*frame), Colour::Blue) << row.file; // the stand-in stays
    }
}

// A broken large photo the frame no longer wants is not reported.
TEST_F(FramePhotoTest, OvertakenBrokenFileIsNotReported)
{
    writeBytes(folder / "broken_large.jpg", std::vector<std::uint8_t>(kFramePhotoAtOnceBytes + 1000, 0x55));
    for (const bool decoded : {false, true}) {
        show("broken_large.jpg");
        if (decoded)
            framePhotoLoader(*frame).waitForDecoding();
        show("small_green.jpg");
        waitForFramePhotos();
        QApplication::processEvents();
        EXPECT_TRUE(errors.empty()) << decoded;
        EXPECT_EQ(shown(*frame), Colour::Green) << decoded;
    }
}

TEST_F(FramePhotoTest, ChangedFileIsDecodedAgain)
{
    show("large_red.jpg");
    waitForFramePhotos();
    ASSERT_EQ(shown(*frame), Colour::Red);
    fs::copy_file(folder / "large_green.jpg", folder / "large_red.jpg", fs::copy_options::overwrite_existing);
    fs::last_write_time(folder / "large_red.jpg", fs::last_write_time(folder / "large_red.jpg") + std::chrono::seconds(5));
    show("large_red.jpg");
    EXPECT_TRUE(framePhotoLoader(*frame).pending());
    waitForFramePhotos();
    EXPECT_EQ(shown(*frame), Colour::Green);
}

TEST_F(FramePhotoTest, FrameMayGoWhileItsPhotoIsDecoded)
{
    show("large_red.jpg");
    frame.reset();
    waitForFramePhotos(); // nothing left to wait for
    QApplication::processEvents();
    SUCCEED();
}

// The glyphs made on first use draw exactly what the style's own icons draw.
TEST(StandardGlyph, DrawsTheStyleIcon)
{
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_DialogOkButton, QStyle::SP_DialogCancelButton, QStyle::SP_FileIcon, QStyle::SP_ArrowBack}) {
        const QIcon ours = standardGlyph(which);
        const QIcon style = QApplication::style()->standardIcon(which);
        EXPECT_FALSE(ours.isNull());
        for (const int side : {14, 16, 20}) {
            EXPECT_EQ(ours.pixmap(side, side).toImage(), style.pixmap(side, side).toImage()) << which << " " << side;
            EXPECT_EQ(ours.actualSize(QSize(side, side)), style.actualSize(QSize(side, side)));
        }
        EXPECT_EQ(ours.pixmap(16, 16, QIcon::Disabled).toImage(), style.pixmap(16, 16, QIcon::Disabled).toImage());
    }
}

} // namespace
} // namespace wirtello::test
