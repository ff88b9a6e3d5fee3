#pragma once

#include "companions/companion_kit/companion_app.h"
#include "platform/platform.h"
#include "platform/print_menu.h"
#include "platform/program_window.h"

#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class OverviewWindow;
}

namespace wirtello {

// Kept out of this header: moc does not read the C++20 headers they need.
struct OverviewTask;
struct TaskOverview;

// The open tasks of all contacts in one list by due date, with the contact's
// name: filtered, marked done in the contact's file, the contact's task
// calendar opened, exported to one .ics file, printed. Files it cannot read
// are listed, never stop it.
class OverviewWindow : public ProgramWindow {
    Q_OBJECT
public:
    OverviewWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path taskFolder,
                   std::vector<std::string> patterns, QWidget* parent = nullptr);
    ~OverviewWindow() override;

    // Reads the task files again and shows them.
    void reload();

protected:
    // Coming back to the window shows what the task calendars changed meanwhile.
    void changeEvent(QEvent* event) override;

private:
    void showTasks();
    const OverviewTask* selectedTask() const;
    void markDone();
    void openContactCalendar();
    void exportIcs();
    void print(PrintDestination destination);

    std::unique_ptr<Ui::OverviewWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path taskFolder_;
    std::vector<std::string> patterns_;
    std::unique_ptr<TaskOverview> overview_;
    std::vector<OverviewTask> shown_;
};

// The window for  przeglad *.adr  (the pattern taken as it is and matched
// in the program folder's "kalendarium" folder), filled. A bad pattern
// raises std::invalid_argument with a Polish text.
std::unique_ptr<QWidget> openOverviewWindow(const CompanionStart& start, Platform& platform);

} // namespace wirtello
