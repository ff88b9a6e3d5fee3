#include "program.h"
#include "startup.h"

#include "platform/qt_platform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    if (wirtello::launcherError() == nullptr)
        return wirtello::runProgram(argc, argv);
    // Started from the desktop menu, the launcher's message would reach no one
    // on standard error: the program shows it and ends.
    QApplication app(argc, argv);
    wirtello::installPolishTranslations();
    wirtello::QtPlatform platform;
    wirtello::showLauncherError(platform);
    return 1;
}
