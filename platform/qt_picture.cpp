#include "qt_picture.h"

namespace wirtello {

QImage toQImage(const Picture& picture)
{
    if (picture.isNull())
        return {};
    QImage image(picture.rgb.data(), picture.width, picture.height, picture.width * 3, QImage::Format_RGB888);
    return image.copy(); // detach from the picture's buffer
}

QImage loadJpegImage(const std::filesystem::path& path)
{
    return toQImage(decodeJpegFile(path));
}

} // namespace wirtello
