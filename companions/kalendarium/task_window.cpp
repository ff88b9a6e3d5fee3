#include "companions/kalendarium/task_window.h"

#include "ui_task_window.h"

#include "companions/calendar_kit/calendar_file.h"
#include "companions/calendar_kit/task_rules.h"
#include "companions/companion_kit/document_watch.h"
#include "platform/keyboard_access.h"
#include "companions/companion_kit/form_keys.h"
#include "companions/kalendarium/task_appointment.h"
#include "companions/kalendarium/task_display.h"
#include "platform/handler_guard.h"
#include "platform/session_end.h"
#include "store/io_error.h"

#include <QEvent>
#include <QCloseEvent>
#include <QHeaderView>
#include <QSignalBlocker>

#include <algorithm>
#include <stdexcept>

namespace wirtello {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QString damagedOnDisk(const std::filesystem::path& file, const CalendarDamaged& error)
{
    return QStringLiteral("Plik %1 zmienił się na dysku i nie daje się odczytać: %2\nZmiana nie została zapisana.")
        .arg(QString::fromStdString(file.string()), fromUtf8(error.what()));
}

// What the user sees of a task; the done mark is the task reader's too.
bool sameContent(const CalendarTask& a, const CalendarTask& b)
{
    return a.title == b.title && a.due == b.due && a.dueTime == b.dueTime && a.priority == b.priority && a.note == b.note;
}

std::optional<CalendarTask> taskWithUid(const std::vector<CalendarTask>& tasks, const std::string& uid)
{
    const auto found = std::find_if(tasks.begin(), tasks.end(), [&](const CalendarTask& t) { return t.uid == uid; });
    return found == tasks.end() ? std::nullopt : std::optional<CalendarTask>(*found);
}

// The overdue marks are worked out to the minute.
constexpr int kClockMs = 20 * 1000;

} // namespace

struct TaskWindow::FormSource {
    std::string uid;
    CalendarTask onDisk;
    CalendarTask shown;
};

TaskWindow::TaskWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path file,
                       const QString& name, const QString& address, QWidget* parent)
    : ProgramWindow(parent)
    , ui_(std::make_unique<Ui::TaskWindow>())
    , platform_(platform)
    , programFolder_(std::move(programFolder))
    , file_(std::move(file))
    , name_(name.trimmed().toStdString())
    , address_(address.trimmed().toStdString())
    , watch_(new DocumentWatch(file_, this))
{
    nameComboBoxesByLabel();
    ui_->setupUi(this);
    setFixedSize(size());
    ui_->tylkoOdczyt->hide();
    QHeaderView* header = ui_->zadania->horizontalHeader();
    for (const auto& [column, width] : {std::pair{0, 90}, {1, 60}, {2, 80}, {3, 76}, {4, 260}})
        header->resizeSection(column, width);
    showHeading();

    connect(ui_->zadania, &QTableWidget::itemSelectionChanged, this, [this] { showSelected(); });
    connect(ui_->oGodzinie, &QCheckBox::toggled, ui_->godzina, &QWidget::setEnabled);
    onClick(ui_->nowe, platform_, [this] {
        ui_->zadania->clearSelection();
        clearForm();
    });
    onClick(ui_->dodaj, platform_, [this] { addTask(); });
    onClick(ui_->zapisz, platform_, [this] { saveTask(); });
    onClick(ui_->usun, platform_, [this] { deleteTask(); });
    onClick(ui_->wykonane, platform_, [this] { toggleDone(); });
    onClick(ui_->doTerminarza, platform_, [this] { copyToScheduler(); });
    onClick(ui_->drukuj, platform_, [this] { print(PrintDestination::Printer); });
    addPrintMenu(ui_->drukuj, [this](PrintDestination destination) { runGuarded(platform_, [&] { print(destination); }); });
    onClick(ui_->zamknij, platform_, [this] { close(); });
    connect(watch_, &DocumentWatch::changedOnDisk, this, [this] { runGuarded(platform_, [this] { reload(); }); });
    connect(watch_, &DocumentWatch::lockFree, this, [this] { runGuarded(platform_, [this] { takeOver(); }); });
    connect(&clock_, &QTimer::timeout, this, [this] { runGuarded(platform_, [this] { tick(); }); });

    // Tab moves through the window; the arrows move in the list.
    letTabLeave(ui_->zadania);
    makeNoteField(ui_->notatka);
    storeOnEnter(this, {ui_->tytul, ui_->termin, ui_->oGodzinie, ui_->godzina, ui_->priorytet},
                 [this] { runGuarded(platform_, [this] { storeForm(); }); });
    closeOnEscape(this, [this] { close(); });
    // The session may end with the window open: a typed task is stored as it stands.
    onSessionEnd(this, [this] { storeFormQuietly(); });
    clearForm();
    ui_->tytul->setFocus();
}

TaskWindow::~TaskWindow() = default;

CalendarMoment TaskWindow::now()
{
    return momentOf(platform_.now());
}

void TaskWindow::open()
{
    access_ = openDocumentAccess(file_);
    if (!access_.lock)
        setReadOnly(fromUtf8(access_.readOnlyNote));
    // A read-only window follows what the lock's holder stores.
    if (load() && !access_.lock)
        watch_->setWatching(true);
    clock_.start(kClockMs);
}

bool TaskWindow::load()
{
    bool read = true;
    try {
        const LoadedCalendar loaded = loadCalendar(file_, toTimePoint(platform_.now()));
        tasks_ = loaded.document.tasks();
        watch_->markSeen();
        if (name_.empty() && address_.empty()) {
            name_ = loaded.document.name();
            address_ = loaded.document.address();
            showHeading();
        }
        if (!loaded.damagedNotice.empty())
            platform_.inform(fromUtf8(loaded.damagedNotice));
    } catch (const IoError& error) {
        // What could not be read must not be written over.
        platform_.showError(error);
        access_.lock.reset();
        setReadOnly(QStringLiteral("Zadań nie można odczytać — tylko do odczytu."));
        read = false;
    }
    showTasks();
    return read;
}

void TaskWindow::takeOver()
{
    if (!platform_.ask(QString::fromUtf8(kTakeOverQuestion))) {
        // The lock goes back, so that another window may take it; this one
        // still follows the file.
        watch_->declineLock();
        return;
    }
    std::optional<DocumentLock> lock = watch_->takeLock();
    if (!lock)
        return;
    access_.lock = std::move(lock);
    access_.readOnlyNote.clear();
    setWritable();
    load();
    if (formSource_) {
        if (const std::optional<CalendarTask> task = taskWithUid(tasks_, formSource_->uid))
            showInForm(*task);
        else
            clearForm();
    }
}

void TaskWindow::showHeading()
{
    const QString name = fromUtf8(name_);
    setWindowTitle(name.isEmpty() ? QStringLiteral("Kalendarz zadań") : QStringLiteral("Kalendarz zadań — %1").arg(name));
    ui_->naglowek->setText(name.isEmpty() ? QStringLiteral("Kalendarz zadań") : name);
    ui_->adres->setText(fromUtf8(address_));
}

void TaskWindow::setReadOnly(const QString& note)
{
    ui_->tylkoOdczyt->setText(note);
    ui_->tylkoOdczyt->show();
    for (QWidget* action : {static_cast<QWidget*>(ui_->dodaj), static_cast<QWidget*>(ui_->zapisz),
                            static_cast<QWidget*>(ui_->usun), static_cast<QWidget*>(ui_->wykonane)})
        action->setEnabled(false);
    // Nothing may be typed that could not be stored.
    ui_->tytul->setReadOnly(true);
    ui_->termin->setReadOnly(true);
    ui_->godzina->setReadOnly(true);
    ui_->notatka->setReadOnly(true);
    ui_->oGodzinie->setEnabled(false);
    ui_->priorytet->setEnabled(false);
}

void TaskWindow::setWritable()
{
    ui_->tylkoOdczyt->hide();
    for (QWidget* action : {static_cast<QWidget*>(ui_->dodaj), static_cast<QWidget*>(ui_->zapisz),
                            static_cast<QWidget*>(ui_->usun), static_cast<QWidget*>(ui_->wykonane),
                            static_cast<QWidget*>(ui_->oGodzinie), static_cast<QWidget*>(ui_->priorytet)})
        action->setEnabled(true);
    ui_->tytul->setReadOnly(false);
    ui_->termin->setReadOnly(false);
    ui_->godzina->setReadOnly(false);
    ui_->notatka->setReadOnly(false);
}

void TaskWindow::showTasks()
{
    std::stable_sort(tasks_.begin(), tasks_.end(), dueBefore);
    marksShown_ = platform_.now();
    const CalendarMoment moment = momentOf(marksShown_);
    {
        const QSignalBlocker blocker(ui_->zadania);
        // The row chosen follows the task in the form, not its old place.
        const std::optional<CalendarTask> chosen = selectedTask();
        ui_->zadania->clearSelection();
        ui_->zadania->clearContents();
        ui_->zadania->setRowCount(static_cast<int>(tasks_.size()));
        for (int row = 0; row < static_cast<int>(tasks_.size()); ++row) {
            const CalendarTask& task = tasks_[static_cast<std::size_t>(row)];
            putTaskRow(ui_->zadania, row,
                       {dueDateText(platform_, task), dueTimeText(task), stateText(task, moment),
                        fromUtf8(priorityName(task.priority)), fromUtf8(task.title), oneLine(task.note)},
                       task, moment);
            ui_->zadania->item(row, 0)->setData(Qt::UserRole, fromUtf8(task.uid));
        }
        if (formSource_)
            selectUid(formSource_->uid);
        else if (chosen)
            selectUid(chosen->uid);
    }
    const std::optional<CalendarTask> task = selectedTask();
    ui_->wykonane->setText(task && task->done ? QStringLiteral("Nie&wykonane") : QStringLiteral("&Wykonane"));
}

void TaskWindow::tick()
{
    const QDateTime moment = platform_.now();
    if (moment.date() == marksShown_.date() && moment.time().hour() == marksShown_.time().hour() &&
        moment.time().minute() == marksShown_.time().minute())
        return;
    // A new task's form left empty since yesterday offers today.
    if (moment.date() != marksShown_.date() && !formSource_ && ui_->tytul->text().isEmpty() &&
        ui_->notatka->toPlainText().isEmpty() && ui_->termin->date() == marksShown_.date())
        ui_->termin->setDate(moment.date());
    const CalendarMoment before = momentOf(marksShown_);
    const CalendarMoment after = momentOf(moment);
    if (std::any_of(tasks_.begin(), tasks_.end(),
                    [&](const CalendarTask& task) { return isOverdue(task, before) != isOverdue(task, after); }))
        showTasks();
    else
        marksShown_ = moment;
}

std::optional<CalendarTask> TaskWindow::selectedTask() const
{
    const int row = ui_->zadania->currentRow();
    if (row < 0 || row >= ui_->zadania->rowCount() || ui_->zadania->selectedItems().isEmpty() || !ui_->zadania->item(row, 0))
        return std::nullopt;
    return taskWithUid(tasks_, ui_->zadania->item(row, 0)->data(Qt::UserRole).toString().toStdString());
}

void TaskWindow::selectUid(const std::string& uid)
{
    for (std::size_t row = 0; row < tasks_.size(); ++row) {
        if (tasks_[row].uid == uid) {
            ui_->zadania->setCurrentCell(static_cast<int>(row), 0);
            return;
        }
    }
}

void TaskWindow::showSelected()
{
    const std::optional<CalendarTask> task = selectedTask();
    if (task)
        showInForm(*task);
}

void TaskWindow::showInForm(const CalendarTask& task)
{
    ui_->tytul->setText(fromUtf8(task.title));
    ui_->termin->setDate(toQDate(task.due));
    ui_->oGodzinie->setChecked(task.dueTime.has_value());
    ui_->godzina->setEnabled(task.dueTime.has_value());
    ui_->godzina->setTime(task.dueTime ? QTime(task.dueTime->hour, task.dueTime->minute) : QTime(9, 0));
    ui_->priorytet->setCurrentIndex(choiceOfPriority(task.priority));
    ui_->notatka->setPlainText(fromUtf8(task.note));
    ui_->wykonane->setText(task.done ? QStringLiteral("Nie&wykonane") : QStringLiteral("&Wykonane"));
    formSource_ = std::make_unique<FormSource>(FormSource{task.uid, task, formContents()});
}

void TaskWindow::clearForm()
{
    formSource_.reset();
    ui_->tytul->clear();
    ui_->termin->setDate(platform_.now().date());
    ui_->oGodzinie->setChecked(false);
    ui_->godzina->setEnabled(false);
    ui_->godzina->setTime(QTime(9, 0));
    ui_->priorytet->setCurrentIndex(0);
    ui_->notatka->clear();
    ui_->wykonane->setText(QStringLiteral("&Wykonane"));
}

CalendarTask TaskWindow::formContents() const
{
    CalendarTask task;
    task.title = ui_->tytul->text().trimmed().toStdString();
    task.due = fromQDate(ui_->termin->date());
    if (ui_->oGodzinie->isChecked())
        task.dueTime = ClockTime{ui_->godzina->time().hour(), ui_->godzina->time().minute()};
    task.priority = priorityOfChoice(ui_->priorytet->currentIndex());
    task.note = ui_->notatka->toPlainText().trimmed().toStdString();
    return task;
}

bool TaskWindow::formUntouched() const
{
    return formSource_ && sameContent(formContents(), formSource_->shown);
}

std::optional<CalendarTask> TaskWindow::formTask()
{
    CalendarTask task = formContents();
    if (task.title.empty()) {
        platform_.inform(QStringLiteral("Wpisz tytuł zadania."));
        return std::nullopt;
    }
    return task;
}

bool TaskWindow::change(const std::function<void(CalendarDocument&)>& edit)
{
    if (!access_.lock)
        return false;
    try {
        const CalendarDocument written = changeCalendar(file_, [&](CalendarDocument& onDisk) {
            onDisk.setHeading(name_, address_);
            edit(onDisk);
        });
        tasks_ = written.tasks();
    } catch (const IoError& error) {
        platform_.showError(error);
        return false;
    } catch (const CalendarDamaged& error) {
        platform_.inform(damagedOnDisk(file_, error));
        return false;
    }
    return true;
}

void TaskWindow::addTask()
{
    if (const std::optional<CalendarTask> task = formTask())
        addAsNew(*task);
}

void TaskWindow::addAsNew(const CalendarTask& task)
{
    CalendarTask added = task;
    added.uid.clear();
    added.done = false;
    std::string uid;
    if (!change([&](CalendarDocument& calendar) { uid = calendar.putTask(added, toTimePoint(platform_.now())); }))
        return;
    formSource_.reset();
    if (const std::optional<CalendarTask> stored = taskWithUid(tasks_, uid))
        showInForm(*stored);
    showTasks();
}

void TaskWindow::closeEvent(QCloseEvent* event)
{
    if (access_.lock && formHasTyping()) {
        const QString question =
            (formSource_ ? QStringLiteral("Zapisać zmiany zadania „%1”?") : QStringLiteral("Dodać zadanie „%1” do kalendarza?"))
                .arg(ui_->tytul->text().trimmed());
        if (!mayCloseTypedForm(platform_, question, [this] { storeForm(); }, [this] { return formHasTyping(); })) {
            event->ignore();
            return;
        }
    }
    ProgramWindow::closeEvent(event);
}

void TaskWindow::storeForm()
{
    if (!access_.lock)
        return;
    if (formSource_)
        saveTask();
    else
        addTask();
}

bool TaskWindow::formHasTyping() const
{
    if (formSource_)
        return !formUntouched();
    return !ui_->tytul->text().trimmed().isEmpty() || !ui_->notatka->toPlainText().trimmed().isEmpty();
}

void TaskWindow::storeFormQuietly()
{
    if (!access_.lock || !formHasTyping())
        return;
    CalendarTask task = formContents();
    if (task.title.empty())
        task.title = "(bez tytułu)"; // a note typed without a title is kept all the same
    std::string uid;
    const CalendarDocument written = changeCalendar(file_, [&](CalendarDocument& onDisk) {
        onDisk.setHeading(name_, address_);
        const std::optional<CalendarTask> current =
            formSource_ ? taskWithUid(onDisk.tasks(), formSource_->uid) : std::nullopt;
        // Another program's change to the task is not written over: the form becomes a new task.
        if (current && sameContent(*current, formSource_->onDisk)) {
            task.uid = current->uid;
            task.done = current->done;
        } else {
            task.uid.clear();
            task.done = false;
        }
        uid = onDisk.putTask(task, toTimePoint(platform_.now()));
    });
    tasks_ = written.tasks();
    formSource_.reset();
    if (const std::optional<CalendarTask> stored = taskWithUid(tasks_, uid))
        showInForm(*stored);
    showTasks();
}

void TaskWindow::saveTask()
{
    if (!formSource_) {
        platform_.inform(QStringLiteral("Wybierz na liście zadanie do zmiany."));
        return;
    }
    std::optional<CalendarTask> task = formTask();
    if (!task)
        return;
    task->uid = formSource_->uid;
    // The form is stored only into the task it was filled from, and only
    // over what the user saw of it.
    std::optional<CalendarTask> onDisk;
    try {
        onDisk = taskWithUid(readCalendar(file_).tasks(), task->uid);
    } catch (const IoError& error) {
        platform_.showError(error);
        return;
    } catch (const CalendarDamaged& error) {
        platform_.inform(damagedOnDisk(file_, error));
        return;
    }
    const QString title = fromUtf8(formSource_->onDisk.title);
    if (!onDisk) {
        if (platform_.ask(QStringLiteral("Zadania „%1” nie ma już w pliku — usunięto je w innym programie, gdy było "
                                         "zmieniane tutaj.\nDodać to, co jest w formularzu, jako nowe zadanie?")
                              .arg(title)))
            addAsNew(*task);
        return;
    }
    if (!sameContent(*onDisk, formSource_->onDisk)) {
        const Platform::Answer answer = platform_.askYesNoCancel(
            QStringLiteral("Zadanie „%1” zmieniono w innym programie, gdy było zmieniane tutaj; teraz jest to „%2” "
                           "z terminem %3.\nTak — zastąpić je tym, co jest w formularzu.\nNie — dodać formularz jako "
                           "nowe zadanie.\nAnuluj — niczego nie zapisywać.")
                .arg(title, fromUtf8(onDisk->title), dueDateText(platform_, *onDisk)));
        if (answer == Platform::Answer::Cancel)
            return;
        if (answer == Platform::Answer::No) {
            addAsNew(*task);
            return;
        }
    }
    const CalendarTask expected = *onDisk;
    bool changedMeanwhile = false;
    if (!change([&](CalendarDocument& calendar) {
            const std::optional<CalendarTask> current = taskWithUid(calendar.tasks(), task->uid);
            changedMeanwhile = !current || !sameContent(*current, expected);
            if (changedMeanwhile)
                return;
            task->done = current->done; // a mark made meanwhile by the task reader stays
            calendar.putTask(*task, toTimePoint(platform_.now()));
        }))
        return;
    if (changedMeanwhile) {
        platform_.inform(QStringLiteral("Zadanie „%1” zmieniło się w tej chwili w innym programie; nic nie zapisano. "
                                        "To, co jest w formularzu, zostało — zapisz je jeszcze raz.")
                             .arg(title));
        return;
    }
    if (const std::optional<CalendarTask> stored = taskWithUid(tasks_, task->uid))
        showInForm(*stored);
    showTasks();
}

void TaskWindow::deleteTask()
{
    const std::optional<CalendarTask> task = selectedTask();
    if (!task) {
        platform_.inform(QStringLiteral("Wybierz na liście zadanie do usunięcia."));
        return;
    }
    if (!platform_.ask(QStringLiteral("Usunąć zadanie „%1” z terminem %2?")
                           .arg(fromUtf8(task->title), dueDateText(platform_, *task))))
        return;
    if (!change([&](CalendarDocument& calendar) { calendar.remove(task->uid); }))
        return;
    ui_->zadania->clearSelection();
    if (formSource_ && formSource_->uid == task->uid)
        clearForm();
    showTasks();
}

void TaskWindow::toggleDone()
{
    const std::optional<CalendarTask> task = selectedTask();
    if (!task) {
        platform_.inform(QStringLiteral("Wybierz na liście zadanie."));
        return;
    }
    if (!change([&](CalendarDocument& calendar) { calendar.markDone(task->uid, !task->done, toTimePoint(platform_.now())); }))
        return;
    // A repeating task moved on to its next date: an untouched form shows that date.
    if (formSource_ && formSource_->uid == task->uid && formUntouched()) {
        if (const std::optional<CalendarTask> stored = taskWithUid(tasks_, task->uid))
            showInForm(*stored);
    }
    showTasks();
}

void TaskWindow::copyToScheduler()
{
    const std::optional<CalendarTask> task = selectedTask();
    if (!task) {
        platform_.inform(QStringLiteral("Wybierz na liście zadanie do skopiowania do terminarza."));
        return;
    }
    try {
        const bool existed = copyTaskToScheduler(programFolder_, *task, file_.stem().string(), name_,
                                                 toTimePoint(platform_.now()));
        platform_.inform((existed ? QStringLiteral("Zadanie „%1” zmieniono w terminarzu (%2).")
                                  : QStringLiteral("Zadanie „%1” dopisano do terminarza (%2)."))
                             .arg(fromUtf8(task->title), QString::fromStdString(schedulerCalendar(programFolder_).string())));
    } catch (const IoError& error) {
        platform_.showError(error);
    } catch (const CalendarDamaged& error) {
        platform_.inform(damagedOnDisk(schedulerCalendar(programFolder_), error));
    }
}

void TaskWindow::reload()
{
    try {
        tasks_ = readCalendar(file_).tasks();
        watch_->markSeen();
    } catch (const IoError&) {
        return; // the list stays as it was; the next change reports the failure
    } catch (const CalendarDamaged&) {
        return;
    }
    // What was typed stays; an untouched form follows the file.
    if (formSource_ && formUntouched()) {
        if (const std::optional<CalendarTask> task = taskWithUid(tasks_, formSource_->uid))
            showInForm(*task);
        else
            clearForm();
    }
    showTasks();
}

void TaskWindow::changeEvent(QEvent* event)
{
    ProgramWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        reload();
}

void TaskWindow::print(PrintDestination destination)
{
    const CalendarMoment moment = now();
    QStringList text;
    if (!address_.empty())
        text << fromUtf8(address_) << QString();
    for (const CalendarTask& task : tasks_) {
        QStringList parts = {dueDateText(platform_, task)};
        for (const QString& part : {dueTimeText(task), stateText(task, moment), fromUtf8(priorityName(task.priority))})
            if (!part.isEmpty())
                parts << part;
        text << parts.join(QStringLiteral("  ")) + QStringLiteral("  ") + fromUtf8(task.title);
        if (!task.note.empty())
            text << QStringLiteral("      %1").arg(oneLine(task.note));
    }
    printCompanionLines(platform_, destination, programFolder_, windowTitle(),
                        QStringLiteral("zadania %1.pdf").arg(QString::fromStdString(file_.stem().string())),
                        ui_->naglowek->text().toStdString(),
                        text.isEmpty() ? std::vector<std::string>{} : printableLines(text.join(QLatin1Char('\n')).toStdString()));
}

std::unique_ptr<QWidget> openTaskWindow(const CompanionStart& start, Platform& platform)
{
    if (start.arguments.empty())
        throw std::invalid_argument("Kalendarz zadań: brak pliku kontaktu (<id>.adr).");
    const std::filesystem::path file =
        contactFile(companionFolder(start.programFolder, kTasksFolder), start.arguments[0], ".adr");
    // A reminder's "Otwórz" adds the task to choose.
    std::vector<std::string> arguments;
    std::string uid;
    for (const std::string& argument : start.arguments) {
        if (argument.starts_with("--zadanie="))
            uid = argument.substr(10);
        else
            arguments.push_back(argument);
    }
    const QString name = arguments.size() > 1 ? QString::fromStdString(arguments[1]) : QString();
    // The address is one argument; one split at blanks is joined again.
    QStringList address;
    for (std::size_t i = 2; i < arguments.size(); ++i)
        address << QString::fromStdString(arguments[i]);
    auto window = std::make_unique<TaskWindow>(platform, start.programFolder, file, name, address.join(QLatin1Char(' ')));
    window->open();
    if (!uid.empty())
        window->selectUid(uid);
    return window;
}

} // namespace wirtello
