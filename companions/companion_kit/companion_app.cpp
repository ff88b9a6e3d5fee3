#include "companion_app.h"

#include "platform/handler_guard.h"
#include "platform/qt_platform.h"
#include "platform/session_end.h"
#include "print/lines_printout.h"
#include "companions/companion_kit/companion_files.h"
#include "print/print_font.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/record_file.h"
#include "store/safe_file.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include <iostream>
#include <stdexcept>
#include <unistd.h>

// Resources of a static library are registered by hand.
static void registerCompanionIcons()
{
    Q_INIT_RESOURCE(companion_icons);
}

namespace wirtello {

namespace {

void reportStartFailure(Platform& platform, const QString& text)
{
    std::cerr << text.toStdString() << "\n";
    // Started from the program there is no terminal to read the message in.
    const QString screen = QGuiApplication::platformName();
    if (!isatty(STDERR_FILENO) && screen != QLatin1String("offscreen") && screen != QLatin1String("minimal"))
        platform.showFailure(text);
}

} // namespace

std::vector<std::string> companionArguments(int argc, char* argv[])
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]).toStdString());
    return arguments;
}

std::chrono::system_clock::time_point toTimePoint(const QDateTime& moment)
{
    return std::chrono::system_clock::time_point(std::chrono::milliseconds(moment.toMSecsSinceEpoch()));
}

void removeStaleCompanionTemporaries(const std::filesystem::path& programFolder)
{
    for (const std::string_view name : kCompanionDataFolders)
        removeStaleTemporaryFiles(joinPath(programFolder, name));
}

int runCompanion(int argc, char* argv[], const char* programName, const QString& iconResource,
                 const CompanionWindowMaker& makeWindow)
{
    CompanionStart start;
    start.arguments = companionArguments(argc, argv);
    std::string name = programName;
    int qtArgc = 1;
    char* qtArgv[] = {name.data(), nullptr};
    QApplication app(qtArgc, qtArgv);
    installPolishTranslations();
    watchSessionEnd();
    registerCompanionIcons();
    QApplication::setWindowIcon(QIcon(iconResource));
    QtPlatform platform;

    std::unique_ptr<QWidget> window;
    try {
        start.programFolder = trustFolderTree(currentFolder());
        removeStaleCompanionTemporaries(start.programFolder);
        window = makeWindow(start, platform);
    } catch (const IoError& error) {
        std::cerr << error.operation() << ": " << error.path().string() << "\n";
        platform.showError(error);
        return 1;
    } catch (const std::invalid_argument& error) {
        reportStartFailure(platform, QString::fromStdString(error.what()));
        return 1;
    }
    if (!window)
        return 0;
    window->show();
    return QApplication::exec();
}

bool mayCloseTypedForm(Platform& platform, const QString& question, const std::function<void()>& store,
                       const std::function<bool()>& stillTyped)
{
    const Platform::Answer answer = platform.askYesNoCancel(question);
    if (answer == Platform::Answer::Cancel)
        return false;
    if (answer == Platform::Answer::Yes) {
        runGuarded(platform, store);
        // A form the store refused (no title, a failed write) stays on screen.
        return !stillTyped();
    }
    return true;
}

void printCompanionLines(Platform& platform, PrintDestination destination,
                         const std::filesystem::path& programFolder, const QString& title,
                         const QString& pdfName, const std::string& heading, const std::vector<std::string>& lines)
{
    const PrintoutTarget target{title, PaperSize::A4, pdfName};
    CurrentPrintFont font(programFolder);
    try {
        printTo(platform, destination, target, [&](PrintSurface& surface, PrintDestination) {
            CzytajFonty(font, kPrintFontFile);
            drawHeadedLines(surface, font, title.toStdString(), heading, lines, HeadingSize::AboveLines);
        });
    } catch (const IoError& error) {
        platform.showError(error);
    }
}

} // namespace wirtello
