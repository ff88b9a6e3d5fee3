#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class QLocalServer;
class QWidget;

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

// Brings `window` to the front, restored when it was minimized.
void bringWindowToFront(QWidget* window);

// A document window's answer to other starts of its document: it comes to the
// front. It answers only while it holds the document's lock, so that a socket
// found under the name belongs to a window that has ended.
class StartAnswer {
public:
    explicit StartAnswer(QWidget* window) : window_(window) {}

    // The name other starts call under (singleWindowName).
    void setName(const QString& name) { name_ = name; }
    // Starts answering once a name is set and the window holds the lock.
    void answerWhile(bool holdsLock);

private:
    QWidget* window_;
    QString name_;
    RunningWindowListener* listener_ = nullptr;
};

} // namespace wirtello
