// skarbiec: the archiver, started without arguments in the program folder
// (the current directory), where start-up wrote "skarbiec_config.dat".

#include "archiver_window.h"

#include "platform/qt_platform.h"
#include "store/companion_config.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/safe_file.h"

#include <QApplication>

#include <iostream>

using namespace wirtello;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    installPolishTranslations();
    QtPlatform platform;

    std::filesystem::path programFolder;
    try {
        // Its record is read only through links that stay inside it.
        programFolder = trustFolderTree(currentFolder());
    } catch (const IoError& error) {
        std::cerr << error.operation() << ": " << error.path().string() << "\n";
        platform.showError(error);
        return 1;
    }
    std::optional<CompanionConfig> config;
    try {
        config = readCompanionConfig(programFolder);
    } catch (const IoError& error) {
        // Restoring needs no record; the window says why archiving is off.
        std::cerr << error.operation() << ": " << error.path().string() << "\n";
    }

    ArchiverWindow window(platform, programFolder, std::move(config));
    window.show();
    window.finishInterruptedRestores();
    return QApplication::exec();
}
