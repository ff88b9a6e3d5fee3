#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class QLocalServer;

namespace wirtello {

// One window per companion and contact on this machine: the window listens
// under a name made of the user, the companion, the program folder and the
// contact id; a second start finds it there and leaves the work to it.

QString singleWindowName(std::string_view companion, const std::filesystem::path& programFolder,
                         const std::string& id);

// Whether a running window listens under `name`; it then comes to the front.
bool callRunningWindow(const QString& name);

// Listens under `name` and calls `bringToFront` whenever another start calls.
class RunningWindowListener : public QObject {
    Q_OBJECT

public:
    RunningWindowListener(const QString& name, std::function<void()> bringToFront, QObject* parent);
    bool listening() const;

private:
    QLocalServer* server_;
    std::function<void()> bringToFront_;
};

} // namespace wirtello
