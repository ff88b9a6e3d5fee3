// The transport's calls run a local event loop, which needs an application object.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Where the build puts the program's modules.
    QCoreApplication::addLibraryPath(QStringLiteral(WIRTELLO_MODULE_DIR));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
