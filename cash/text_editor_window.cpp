#include "text_editor_window.h"

#include "admin/data_folder.h"
#include "platform/platform.h"
#include "store/io_error.h"

namespace wirtello {

Tlogowania_f::Tlogowania_f(AppData& data, Platform& platform, QWidget* parent)
    : ProgramWindow(parent), data_(data), platform_(platform)
{
    setObjectName(QStringLiteral("Tlogowania_f"));
    setWindowTitle(QStringLiteral("Notatnik"));
    setFixedClientSize(536, 476);
}

void Tlogowania_f::initialise()
{
    const std::optional<std::filesystem::path> folder =
        resolveWindowDataFolder(siec_, true, platform_, data_.programFolder);
    if (!folder) {
        initialiseFailed();
        return;
    }
    dataFolder_ = *folder;
}

} // namespace wirtello
