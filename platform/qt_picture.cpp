#include "qt_picture.h"

#include "store/io_error.h"

namespace wirtello {
namespace {

// One user-interface thread shows the photos; nothing else touches this.
FramePictureCache& framePictures()
{
    static FramePictureCache cache;
    return cache;
}

} // namespace

QImage toQImage(const Picture& picture)
{
    if (picture.isNull())
        return {};
    QImage image(picture.rgb.data(), picture.width, picture.height, picture.width * 3, QImage::Format_RGB888);
    return image.copy(); // detach from the picture's buffer
}

QImage loadJpegImage(const std::filesystem::path& path)
{
    const QImage image = toQImage(decodeJpegFile(path));
    if (image.isNull()) // Qt reports a failed allocation as a null image
        throw IoError("Za mało pamięci, aby odczytać obraz JPEG", path);
    return image;
}

QImage loadJpegImageForFrame(const std::filesystem::path& path, QSize frame)
{
    return toQImage(framePictures().picture(path, frame.width(), frame.height()));
}

void forgetFramePictures()
{
    framePictures().clear();
}

} // namespace wirtello
