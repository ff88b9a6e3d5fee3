#pragma once

#include "store/jpeg_picture.h"

#include <QImage>
#include <QSize>

namespace wirtello {

QImage toQImage(const Picture& picture);

// Decodes a JPEG file at full size with libjpeg (printouts need every pixel);
// raises IoError naming the file.
QImage loadJpegImage(const std::filesystem::path& path);

// A photo for a picture frame of `frame` size: decoded only as finely as the
// frame needs, stretched to it, upright, and kept so that showing the same
// unchanged file again costs no decoding. Raises IoError naming the file.
QImage loadJpegImageForFrame(const std::filesystem::path& path, QSize frame);

// Forgets the photos kept by loadJpegImageForFrame.
void forgetFramePictures();

} // namespace wirtello
