#include "envelope_test_files.h"

#include <QImage>

#include <stdexcept>

namespace wirtello::test {

void writeJpeg(const std::filesystem::path& path, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor(x * 255 / width, y * 255 / height, 128));
    if (!image.save(QString::fromStdString(path.string()), "JPG", 90))
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> withFrameSize(std::vector<std::uint8_t> jpeg, int width, int height)
{
    for (std::size_t i = 2; i + 9 < jpeg.size();) {
        const std::uint8_t marker = jpeg[i + 1];
        const std::size_t length = static_cast<std::size_t>(jpeg[i + 2]) << 8 | jpeg[i + 3];
        if (marker == 0xC0 || marker == 0xC2) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return jpeg;
        }
        i += 2 + length;
    }
    throw std::runtime_error("no frame header");
}

} // namespace wirtello::test
