#include "program.h"

#include "platform/qt_platform.h"
#include "store/paths.h"

#include <QApplication>

#ifdef WIRTELLO_QUIT_AFTER_FIRST_PAINT
#include "bench/first_paint.h"
#endif

using namespace wirtello;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    installPolishTranslations();

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
#ifdef WIRTELLO_QUIT_AFTER_FIRST_PAINT
    // Only the start-up benchmark's build of this file has this.
    new bench::QuitAfterFirstPaint(program.mainWindow());
#endif
    program.mainWindow().show();
    return QApplication::exec();
}
