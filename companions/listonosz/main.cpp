#include "listonosz.h"

#include "platform/qt_platform.h"

#include <QApplication>

#include <iostream>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // The address is taken before Qt sees the command line: Qt would read a
    // text such as "-stylesheet=/x.qss" as its own option, never as an address.
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]).toStdString());
    char programName[] = "listonosz";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 ? argv[0] : programName, nullptr};
    QApplication app(qtArgc, qtArgv);
    // Started from the program there is no terminal to read the message in;
    // a box is shown then, unless there is no screen to show it on.
    const QString screen = QGuiApplication::platformName();
    const bool showBoxes = !isatty(STDERR_FILENO) && screen != QLatin1String("offscreen") &&
                           screen != QLatin1String("minimal");
    wirtello::QtPlatform platform;
    return wirtello::runListonosz(arguments, platform, std::cerr, showBoxes);
}
