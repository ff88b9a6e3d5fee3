// Test entry for suites with windows: one QApplication, offscreen by default,
// finding the program's modules in the build.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The plugin's own screen is 800 x 600, on which the bigger windows
    // would scroll; they are tested on an office screen, where they fit.
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen"))
        setenv("QT_QPA_PLATFORM", "offscreen:configfile=" WIRTELLO_OFFICE_SCREEN, 1);
    QApplication app(argc, argv);
    QCoreApplication::addLibraryPath(QStringLiteral(WIRTELLO_MODULE_DIR));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
