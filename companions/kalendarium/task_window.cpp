#include "companions/kalendarium/task_window.h"

#include "ui_task_window.h"

#include "companions/calendar_kit/calendar_file.h"
#include "companions/calendar_kit/task_rules.h"
#include "companions/kalendarium/task_appointment.h"
#include "companions/kalendarium/task_display.h"
#include "store/io_error.h"

#include <QEvent>
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

} // namespace

TaskWindow::TaskWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path file,
                       const QString& name, const QString& address, QWidget* parent)
    : QWidget(parent)
    , ui_(std::make_unique<Ui::TaskWindow>())
    , platform_(platform)
    , programFolder_(std::move(programFolder))
    , file_(std::move(file))
    , name_(name.trimmed().toStdString())
    , address_(address.trimmed().toStdString())
{
    ui_->setupUi(this);
    setFixedSize(size());
    ui_->tylkoOdczyt->hide();
    QHeaderView* header = ui_->zadania->horizontalHeader();
    for (const auto& [column, width] : {std::pair{0, 90}, {1, 60}, {2, 80}, {3, 76}, {4, 260}})
        header->resizeSection(column, width);
    showHeading();

    connect(ui_->zadania, &QTableWidget::itemSelectionChanged, this, [this] { showSelected(); });
    connect(ui_->oGodzinie, &QCheckBox::toggled, ui_->godzina, &QWidget::setEnabled);
    connect(ui_->nowe, &QPushButton::clicked, this, [this] {
        ui_->zadania->clearSelection();
        clearForm();
    });
    connect(ui_->dodaj, &QPushButton::clicked, this, [this] { addTask(); });
    connect(ui_->zapisz, &QPushButton::clicked, this, [this] { saveTask(); });
    connect(ui_->usun, &QPushButton::clicked, this, [this] { deleteTask(); });
    connect(ui_->wykonane, &QPushButton::clicked, this, [this] { toggleDone(); });
    connect(ui_->doTerminarza, &QPushButton::clicked, this, [this] { copyToScheduler(); });
    connect(ui_->drukuj, &QPushButton::clicked, this, [this] { print(PrintDestination::Printer); });
    addPrintMenu(ui_->drukuj, [this](PrintDestination destination) { print(destination); });
    connect(ui_->zamknij, &QPushButton::clicked, this, &QWidget::close);
    clearForm();
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
    try {
        const LoadedCalendar loaded = loadCalendar(file_, toTimePoint(platform_.now()));
        tasks_ = loaded.document.tasks();
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
    }
    showTasks();
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
}

void TaskWindow::showTasks()
{
    const std::optional<CalendarTask> selected = selectedTask();
    std::stable_sort(tasks_.begin(), tasks_.end(), dueBefore);
    const CalendarMoment moment = now();
    {
        const QSignalBlocker blocker(ui_->zadania);
        ui_->zadania->clearContents();
        ui_->zadania->setRowCount(static_cast<int>(tasks_.size()));
        for (int row = 0; row < static_cast<int>(tasks_.size()); ++row) {
            const CalendarTask& task = tasks_[static_cast<std::size_t>(row)];
            putTaskRow(ui_->zadania, row,
                       {dueDateText(platform_, task), dueTimeText(task), stateText(task, moment),
                        fromUtf8(priorityName(task.priority)), fromUtf8(task.title), oneLine(task.note)},
                       task, moment);
        }
        if (selected)
            selectUid(selected->uid);
    }
    const std::optional<CalendarTask> task = selectedTask();
    ui_->wykonane->setText(task && task->done ? QStringLiteral("Niewykonane") : QStringLiteral("Wykonane"));
}

std::optional<CalendarTask> TaskWindow::selectedTask() const
{
    const int row = ui_->zadania->currentRow();
    if (row < 0 || row >= static_cast<int>(tasks_.size()) || ui_->zadania->selectedItems().isEmpty())
        return std::nullopt;
    return tasks_[static_cast<std::size_t>(row)];
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
    if (!task)
        return;
    ui_->tytul->setText(fromUtf8(task->title));
    ui_->termin->setDate(toQDate(task->due));
    ui_->oGodzinie->setChecked(task->dueTime.has_value());
    ui_->godzina->setEnabled(task->dueTime.has_value());
    ui_->godzina->setTime(task->dueTime ? QTime(task->dueTime->hour, task->dueTime->minute) : QTime(9, 0));
    ui_->priorytet->setCurrentIndex(choiceOfPriority(task->priority));
    ui_->notatka->setPlainText(fromUtf8(task->note));
    ui_->wykonane->setText(task->done ? QStringLiteral("Niewykonane") : QStringLiteral("Wykonane"));
}

void TaskWindow::clearForm()
{
    ui_->tytul->clear();
    ui_->termin->setDate(platform_.now().date());
    ui_->oGodzinie->setChecked(false);
    ui_->godzina->setEnabled(false);
    ui_->godzina->setTime(QTime(9, 0));
    ui_->priorytet->setCurrentIndex(0);
    ui_->notatka->clear();
    ui_->wykonane->setText(QStringLiteral("Wykonane"));
}

std::optional<CalendarTask> TaskWindow::formTask()
{
    CalendarTask task;
    task.title = ui_->tytul->text().trimmed().toStdString();
    if (task.title.empty()) {
        platform_.inform(QStringLiteral("Wpisz tytuł zadania."));
        return std::nullopt;
    }
    task.due = fromQDate(ui_->termin->date());
    if (ui_->oGodzinie->isChecked())
        task.dueTime = ClockTime{ui_->godzina->time().hour(), ui_->godzina->time().minute()};
    task.priority = priorityOfChoice(ui_->priorytet->currentIndex());
    task.note = ui_->notatka->toPlainText().trimmed().toStdString();
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
    const std::optional<CalendarTask> task = formTask();
    if (!task)
        return;
    std::string uid;
    if (!change([&](CalendarDocument& calendar) { uid = calendar.putTask(*task, toTimePoint(platform_.now())); }))
        return;
    ui_->zadania->clearSelection();
    showTasks();
    selectUid(uid);
}

void TaskWindow::saveTask()
{
    const std::optional<CalendarTask> selected = selectedTask();
    if (!selected) {
        platform_.inform(QStringLiteral("Wybierz na liście zadanie do zmiany."));
        return;
    }
    std::optional<CalendarTask> task = formTask();
    if (!task)
        return;
    task->uid = selected->uid;
    task->done = selected->done;
    bool gone = false;
    if (!change([&](CalendarDocument& calendar) {
            const std::vector<CalendarTask> onDisk = calendar.tasks();
            const auto same = std::find_if(onDisk.begin(), onDisk.end(), [&](const CalendarTask& t) { return t.uid == task->uid; });
            gone = same == onDisk.end();
            if (gone)
                return;
            task->done = same->done; // a mark made meanwhile by the task reader stays
            calendar.putTask(*task, toTimePoint(platform_.now()));
        }))
        return;
    showTasks();
    if (gone)
        platform_.inform(QStringLiteral("Tego zadania nie ma już w pliku — usunięto je w innym programie."));
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
    showTasks();
    clearForm();
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
    } catch (const IoError&) {
        return; // the list stays as it was; the next change reports the failure
    } catch (const CalendarDamaged&) {
        return;
    }
    showTasks();
}

void TaskWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
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
    const QString name = start.arguments.size() > 1 ? QString::fromStdString(start.arguments[1]) : QString();
    // The address is one argument; one split at blanks is joined again.
    QStringList address;
    for (std::size_t i = 2; i < start.arguments.size(); ++i)
        address << QString::fromStdString(start.arguments[i]);
    auto window = std::make_unique<TaskWindow>(platform, start.programFolder, file, name, address.join(QLatin1Char(' ')));
    window->open();
    return window;
}

} // namespace wirtello
