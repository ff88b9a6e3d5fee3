// wywoz: writes the contact book of the program folder (the current
// directory) as vCard and CSV files into its "Eksport" folder.
//
//   wywoz a              export, then say where the files are in a message box
//   wywoz a --bez-okien  the same, with messages on stdout/stderr only
//
// Exit status: 0 done (also for an empty book), 1 a file step failed, 2 bad arguments.

#include "address_export.h"

#include "platform/qt_platform.h"
#include "store/io_error.h"
#include "store/paths.h"

#include <QApplication>
#include <QDate>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

using namespace wirtello;

namespace {

// Without a display (a terminal session) the messages go to the console only.
bool displayAvailable()
{
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
#endif
}

std::string successMessage(const AddressExport& result)
{
    if (result.contactCount == 0)
        return "Książka adresowa nie zawiera kontaktów; nie utworzono plików eksportu.";
    std::string text = "Wyeksportowano kontakty: " + std::to_string(result.contactCount) + ".\nPliki:\n"
        + result.vcardFile.string() + "\n" + result.csvFile.string();
    if (!result.skipped.empty()) {
        text += "\n\nTych pól nie zapisano w pliku vCard (są w pliku CSV):";
        for (const std::string& field : result.skipped)
            text += "\n" + field;
    }
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    bool windows = true;
    bool argumentsValid = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--bez-okien")
            windows = false;
        else if (argument != "a")
            argumentsValid = false;
    }
    if (!argumentsValid) {
        std::cerr << "Użycie: wywoz a [--bez-okien]\n"
                     "Zapisuje kontakty z folderu bieżącego do folderu \"Eksport\" (vCard i CSV).\n";
        return 2;
    }

    std::unique_ptr<QApplication> app;
    if (windows && displayAvailable()) {
        app = std::make_unique<QApplication>(argc, argv);
        installPolishTranslations();
    }
    QtPlatform platform;

    try {
        const QDate today = QDate::currentDate();
        const std::chrono::year_month_day date{std::chrono::year(today.year()),
                                               std::chrono::month(static_cast<unsigned>(today.month())),
                                               std::chrono::day(static_cast<unsigned>(today.day()))};
        const AddressExport result = exportAddresses(currentFolder(), date);
        const std::string text = successMessage(result);
        std::cout << text << "\n";
        if (app)
            platform.inform(QString::fromStdString(text));
        return 0;
    } catch (const IoError& error) {
        std::cerr << "Eksport adresów nie powiódł się.\n"
                  << error.operation() << ": " << error.path().string() << "\n";
        if (app)
            platform.showError(error);
    } catch (const std::exception& error) {
        const std::string text = std::string("Eksport adresów nie powiódł się: ") + error.what();
        std::cerr << text << "\n";
        if (app)
            platform.showFailure(QString::fromStdString(text));
    }
    return 1;
}
