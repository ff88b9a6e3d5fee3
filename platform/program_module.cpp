#include "program_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

namespace wirtello {

QObject& loadProgramModule(const QString& name)
{
    QPluginLoader loader(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("modules/") + name));
    if (!loader.load()) {
        // A name without a folder is looked for in Qt's library paths.
        loader.setFileName(name);
        loader.load();
    }
    // A loaded module stays loaded when its loader is gone.
    QObject* root = loader.instance();
    if (!root)
        throw ModuleMissing(QStringLiteral("Nie można wczytać modułu programu „%1” (%2). Zainstaluj program ponownie.")
                                .arg(name, loader.errorString())
                                .toStdString());
    return *root;
}

} // namespace wirtello
