#include "program.h"

#include "platform/qt_platform.h"

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
    AppData data;
    Program program(data, platform);
    program.mainWindow().show();
    return QApplication::exec();
}
