#pragma once

#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/companion_files.h"
#include "platform/platform.h"
#include "platform/print_menu.h"
#include "platform/program_window.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class TaskWindow;
}

namespace wirtello {

// Kept out of this header: moc does not read the C++20 headers they need.
struct CalendarMoment;
struct CalendarTask;
class CalendarDocument;
class DocumentWatch;

// The tasks of one contact, headed by its name and address: sorted by due
// date, overdue ones marked, added, changed, deleted, marked done, copied to
// the scheduler, printed. Every change is made to the file as it is on disk,
// so the task reader's marks are kept. The first window on a contact holds
// its lock; another one shows it read-only, follows the file as the first
// one stores it and offers to take over once that one is closed.
class TaskWindow : public ProgramWindow {
    Q_OBJECT
public:
    // `file` is kalendarium/<id>.adr; `name` and `address` the texts of the
    // command line (empty: taken from the file).
    TaskWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path file,
               const QString& name, const QString& address, QWidget* parent = nullptr);
    ~TaskWindow() override;

    // Reads the tasks and takes the lock; failures are told to the user.
    void open();

    // Chooses the task `uid` in the list (also a reminder's "Otwórz").
    void selectUid(const std::string& uid);

    bool isReadOnly() const { return !access_.lock; }

    // The clock's tick: shows the overdue marks again once the day or an
    // hour due has passed since the list was shown; an empty new task's
    // form moves on to the new day.
    void tick();

protected:
    // A typed form that no store kept is offered for storing first.
    void closeEvent(QCloseEvent* event) override;
    // Coming back to the window shows what other programs changed meanwhile.
    void changeEvent(QEvent* event) override;

private:
    void showHeading();
    void showTasks();
    void showSelected();
    void clearForm();
    std::optional<CalendarTask> formTask();
    std::optional<CalendarTask> selectedTask() const;
    void addTask();
    void saveTask();
    void deleteTask();
    void toggleDone();
    void copyToScheduler();
    void reload();
    void print(PrintDestination destination);
    // Applies `edit` to the file as it is on disk and shows the result.
    bool change(const std::function<void(CalendarDocument&)>& edit);
    void setReadOnly(const QString& note);
    void setWritable();
    // Reads the file as the lock's holder does (a damaged file kept aside);
    // false when it could not be read.
    bool load();
    void takeOver();
    // The form as it stands, unchecked.
    CalendarTask formContents() const;
    // Puts `task` into the form as the task being changed.
    void showInForm(const CalendarTask& task);
    // Whether the form still shows what was put into it.
    bool formUntouched() const;
    void addAsNew(const CalendarTask& task);
    // Enter in the form: adds a new task or stores the one being changed.
    void storeForm();
    // Whether the form holds typing that no store has kept.
    bool formHasTyping() const;
    // Stores that typing without a question, as the end of the session does:
    // over the task it was filled from while that one is as it was on disk,
    // as a new task otherwise. Failures are raised.
    void storeFormQuietly();
    CalendarMoment now();

    std::unique_ptr<Ui::TaskWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    std::string name_;
    std::string address_;
    DocumentAccess access_;
    std::vector<CalendarTask> tasks_; // in the order shown
    // The task being changed in the form, by UID: as it was on disk when put
    // into the form, and as the form showed it then. Nothing: a new task.
    struct FormSource;
    std::unique_ptr<FormSource> formSource_;
    DocumentWatch* watch_;
    QTimer clock_;
    QDateTime marksShown_; // the moment the overdue marks were worked out for
};

// The window for  kalendarium <id>.adr "<name> " "<address>",  on the tasks
// in the program folder's "kalendarium" folder, opened. Bad arguments raise
// std::invalid_argument with a Polish text.
std::unique_ptr<QWidget> openTaskWindow(const CompanionStart& start, Platform& platform);

} // namespace wirtello
