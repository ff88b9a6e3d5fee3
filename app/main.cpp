#include "program.h"

#include "platform/qt_platform.h"
#include "store/paths.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace wirtello;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTranslator translator;
    // Standard buttons read "Tak", "Nie", "Anuluj".
    if (translator.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    QtPlatform platform;
    // The program folder is fixed before anything else, so no path of the run
    // can silently become relative.
    std::filesystem::path programFolder;
    try {
        programFolder = currentFolder();
    } catch (const IoError& error) {
        platform.showError(error);
        return 1;
    }
    AppData data(programFolder);
    Program program(data, platform);
    program.mainWindow().show();
    return QApplication::exec();
}
