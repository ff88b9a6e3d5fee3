#include "admin_picture.h"

#include "platform/qt_picture.h"
#include "store/io_error.h"

#include <QFile>

// Pictures live in a static library; their registration has to be pulled in
// explicitly. Q_INIT_RESOURCE cannot be used inside a namespace.
static void initAdminResources()
{
    Q_INIT_RESOURCE(admin);
}

namespace wirtello {

QImage adminPicture(const QString& resourcePath)
{
    static const bool registered = (initAdminResources(), true);
    (void)registered;
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    try {
        return toQImage(decodeJpeg(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), resourcePath.toStdString()));
    } catch (const IoError&) {
        return {};
    }
}

} // namespace wirtello
