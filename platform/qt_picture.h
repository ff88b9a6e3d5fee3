#pragma once

#include "store/jpeg_picture.h"

#include <QImage>

namespace wirtello {

QImage toQImage(const Picture& picture);

// Decodes a JPEG file with libjpeg; raises IoError naming the file.
QImage loadJpegImage(const std::filesystem::path& path);

} // namespace wirtello
