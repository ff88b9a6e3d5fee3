// Test entry for suites with windows: one QApplication, offscreen by default,
// finding the program's modules in the build.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QCoreApplication::addLibraryPath(QStringLiteral(WIRTELLO_MODULE_DIR));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
