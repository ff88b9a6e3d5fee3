#include "program.h"
#include "startup.h"

#include "reminder_watcher.h"
#include "window_registry.h"

#include "platform/dbus_notifications.h"

#include "platform/qt_platform.h"
#include "platform/session_end.h"
#include "store/paths.h"

#include <QApplication>

namespace wirtello {

Program::Program(AppData& data, Platform& platform, DesktopNotifications* notifications)
    : printFont_(data.programFolder)
{
    // A restore cut off half way is finished before any data is read.
    finishCutOffRestores(data.programFolder, platform);
    // The main window prepares all shared data before any other window exists.
    main_ = std::make_unique<Tzadania_f>(data, platform, printFont_, windows_);
    main_->FormCreate();

    // The later windows, in their creation order, each running its creation
    // handler as it is made.
    const WindowMaking making{data, platform, printFont_, windows_};
    for (const RegisteredWindow& registered : registeredWindows()) {
        std::unique_ptr<ProgramWindow> window = registered.make(making);
        windows_.add(registered.role, window.get());
        window->initialise();
        owned_.push_back(std::move(window));
    }
    // The reminders are watched for as long as the main window lives.
    reminders_ = new ReminderWatcher(platform, data.programFolder, notifications, main_.get());
    reminders_->start();
}

std::vector<ProgramWindow*> Program::creationOrder() const
{
    std::vector<ProgramWindow*> order{main_.get()};
    for (const auto& [role, window] : windows_.all())
        order.push_back(window);
    return order;
}

int runProgram(int argc, char* argv[], const std::function<void(QWidget&)>& beforeShow)
{
    QApplication app(argc, argv);
    installPolishTranslations();
    watchSessionEnd();

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
    DbusNotifications notifications(QDBusConnection::sessionBus());
    Program program(data, platform, &notifications);
    if (beforeShow)
        beforeShow(program.mainWindow());
    program.mainWindow().show();
    return QApplication::exec();
}

} // namespace wirtello
