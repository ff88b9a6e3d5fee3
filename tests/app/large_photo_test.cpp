// A large photo never holds up a select: the default picture stands in while
// it is decoded, and a photo the user has moved past never appears.
#include "main_window_fixture.h"

#include "platform/qt_picture.h"

#include <QApplication>
#include <QImage>

#include <random>

namespace wirtello::test {
namespace {

// A grainy full-quality JPEG, well over the size decoded at once.
void writeLargeJpeg(const std::filesystem::path& path, QColor colour)
{
    QImage image(700, 700, QImage::Format_RGB32);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> grain(-20, 20);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int g = grain(random);
            image.setPixelColor(x, y, QColor(std::clamp(colour.red() + g, 0, 255), std::clamp(colour.green() + g, 0, 255),
                                             std::clamp(colour.blue() + g, 0, 255)));
        }
    ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "JPG", 100));
    ASSERT_GT(std::filesystem::file_size(path), kFramePhotoAtOnceBytes);
}

class LargePhotoTest : public MainWindowTest {
protected:
    LargePhotoTest()
    {
        forgetFramePictures();
        writeLargeJpeg(folder / "large_red.jpg", Qt::red);
        writeJpeg(folder / "green.jpg", Qt::green);
        writeDatabase({{0, "000 Adam"},
                       {1, "001 Bartek", "", "", (folder / "large_red.jpg").string()},
                       {2, "002 Celina", "", "", (folder / "green.jpg").string()}});
    }
};

TEST_F(LargePhotoTest, SelectShowsTheCardAtOnceAndThePhotoWhenReady)
{
    struct Row {
        int row;
        bool blueAtOnce;
    };
    // The second visit finds the photo kept.
    for (const Row& step : {Row{1, true}, Row{0, true}, Row{1, false}}) {
        start();
        clickRow(step.row);
        EXPECT_EQ(lineEdit("imie")->text(), QString::fromStdString("Imię " + entries()[step.row].toStdString()));
        EXPECT_EQ(isBlue(shownColour()), step.blueAtOnce) << step.row;
        waitForFramePhotos();
        EXPECT_EQ(isRed(shownColour()), step.row == 1) << step.row;
        EXPECT_FALSE(window->changesPending());
    }
    EXPECT_TRUE(platform.errors.empty());
}

TEST_F(LargePhotoTest, PhotoOfAContactLeftBehindNeverAppears)
{
    struct Row {
        int next;
        bool (*expected)(QColor);
    };
    for (const Row& step : {Row{0, isBlue}, Row{2, isGreen}}) {
        forgetFramePictures();
        start();
        clickRow(1);
        clickRow(step.next);
        waitForFramePhotos();
        QApplication::processEvents();
        EXPECT_TRUE(step.expected(shownColour())) << step.next;
    }
}

TEST_F(LargePhotoTest, ChosenLargePhotoShowsAtOnceOverAPendingOne)
{
    writeLargeJpeg(folder / "large_green.jpg", Qt::green);
    start();
    clickRow(1); // the red photo is being decoded
    platform.openFileAnswers.push_back(folder / "large_green.jpg");
    toolButton("SpeedButton12")->click();
    EXPECT_TRUE(isGreen(shownColour()));
    waitForFramePhotos();
    QApplication::processEvents();
    EXPECT_TRUE(isGreen(shownColour()));
}

} // namespace
} // namespace wirtello::test
