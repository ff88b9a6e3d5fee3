#pragma once

#include <QImage>
#include <QString>

namespace wirtello {

// A JPEG picture compiled into the program (":/admin/..."), decoded with
// libjpeg; a null image when it cannot be read.
QImage adminPicture(const QString& resourcePath);

} // namespace wirtello
