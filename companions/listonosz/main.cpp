#include "listonosz.h"

#include "platform/qt_platform.h"

#include <QApplication>

#include <iostream>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]).toStdString());
    // Started from the program there is no terminal to read the message in;
    // a box is shown then, unless there is no screen to show it on.
    const QString screen = QGuiApplication::platformName();
    const bool showBoxes = !isatty(STDERR_FILENO) && screen != QLatin1String("offscreen") &&
                           screen != QLatin1String("minimal");
    wirtello::QtPlatform platform;
    return wirtello::runListonosz(arguments, platform, std::cerr, showBoxes);
}
