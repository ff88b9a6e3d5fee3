#include "companions/przeglad/overview_window.h"

#include "ui_overview_window.h"

#include "companions/calendar_kit/calendar_file.h"
#include "companions/companion_command.h"
#include "companions/companion_kit/companion_files.h"
#include "platform/keyboard_access.h"
#include "companions/companion_kit/form_keys.h"
#include "companions/kalendarium/task_display.h"
#include "companions/przeglad/task_overview.h"
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

QString pathText(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

constexpr TaskFilter kFilters[] = {TaskFilter::Overdue, TaskFilter::Today, TaskFilter::ThisWeek, TaskFilter::All};

} // namespace

OverviewWindow::OverviewWindow(Platform& platform, std::filesystem::path programFolder,
                               std::filesystem::path taskFolder, std::vector<std::string> patterns, QWidget* parent)
    : ProgramWindow(parent)
    , ui_(std::make_unique<Ui::OverviewWindow>())
    , platform_(platform)
    , programFolder_(std::move(programFolder))
    , taskFolder_(std::move(taskFolder))
    , patterns_(std::move(patterns))
    , overview_(std::make_unique<TaskOverview>())
{
    nameComboBoxesByLabel();
    ui_->setupUi(this);
    setFixedSize(size());
    ui_->filtr->setCurrentIndex(3);
    QHeaderView* header = ui_->zadania->horizontalHeader();
    for (const auto& [column, width] : {std::pair{0, 90}, {1, 60}, {2, 76}, {3, 72}, {4, 200}, {5, 240}})
        header->resizeSection(column, width);

    connect(ui_->filtr, &QComboBox::currentIndexChanged, this, [this] { showTasks(); });
    connect(ui_->zadania, &QTableWidget::cellDoubleClicked, this, [this] { openContactCalendar(); });
    connect(ui_->wykonane, &QPushButton::clicked, this, [this] { markDone(); });
    connect(ui_->kalendarz, &QPushButton::clicked, this, [this] { openContactCalendar(); });
    connect(ui_->odswiez, &QPushButton::clicked, this, [this] { reload(); });
    connect(ui_->eksport, &QPushButton::clicked, this, [this] { exportIcs(); });
    connect(ui_->drukuj, &QPushButton::clicked, this, [this] { print(PrintDestination::Printer); });
    addPrintMenu(ui_->drukuj, [this](PrintDestination destination) { print(destination); });
    connect(ui_->zamknij, &QPushButton::clicked, this, &QWidget::close);
    // Tab moves through the window; the arrows move in the list. The window
    // only reads, so the end of the session has nothing of it to store.
    letTabLeave(ui_->zadania);
    // Enter on a task opens its contact's calendar, as a double click does.
    storeOnEnter(this, {ui_->zadania}, [this] { openContactCalendar(); });
    closeOnEscape(this, [this] { close(); });
    ui_->zadania->setFocus();
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::reload()
{
    try {
        *overview_ = readOverview(taskFolder_, patterns_);
    } catch (const IoError& error) {
        platform_.showError(error);
        *overview_ = {};
    }
    QStringList skipped;
    for (const SkippedFile& file : overview_->skipped)
        skipped << QStringLiteral("%1 — %2").arg(fromUtf8(file.fileName), fromUtf8(file.reason));
    ui_->pominiete->setText(skipped.isEmpty() ? QString()
                                              : QStringLiteral("Pominięte pliki:\n%1").arg(skipped.join(QLatin1Char('\n'))));
    showTasks();
}

void OverviewWindow::changeEvent(QEvent* event)
{
    ProgramWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        reload();
}

void OverviewWindow::showTasks()
{
    const CalendarMoment now = momentOf(platform_.now());
    const int filter = std::clamp(ui_->filtr->currentIndex(), 0, 3);
    shown_ = filteredTasks(*overview_, kFilters[filter], now);
    const QSignalBlocker blocker(ui_->zadania);
    ui_->zadania->clearContents();
    ui_->zadania->setRowCount(static_cast<int>(shown_.size()));
    for (int row = 0; row < static_cast<int>(shown_.size()); ++row) {
        const OverviewTask& entry = shown_[static_cast<std::size_t>(row)];
        putTaskRow(ui_->zadania, row,
                   {dueDateText(platform_, entry.task), dueTimeText(entry.task), stateText(entry.task, now),
                    fromUtf8(priorityName(entry.task.priority)), fromUtf8(entry.contactName),
                    fromUtf8(entry.task.title), oneLine(entry.task.note)},
                   entry.task, now);
    }
    ui_->liczba->setText(QStringLiteral("zadań: %1 z %2").arg(shown_.size()).arg(overview_->tasks.size()));
}

const OverviewTask* OverviewWindow::selectedTask() const
{
    const int row = ui_->zadania->currentRow();
    if (row < 0 || row >= static_cast<int>(shown_.size()) || ui_->zadania->selectedItems().isEmpty())
        return nullptr;
    return &shown_[static_cast<std::size_t>(row)];
}

void OverviewWindow::markDone()
{
    const OverviewTask* entry = selectedTask();
    if (!entry) {
        platform_.inform(QStringLiteral("Wybierz na liście zadanie."));
        return;
    }
    try {
        if (!markOverviewTaskDone(*entry, toTimePoint(platform_.now())))
            platform_.inform(QStringLiteral("Zadania „%1” nie ma już w pliku %2.")
                                 .arg(fromUtf8(entry->task.title), pathText(entry->file.filename())));
    } catch (const IoError& error) {
        platform_.showError(error);
    } catch (const CalendarDamaged& error) {
        platform_.inform(QStringLiteral("Plik %1 nie daje się odczytać: %2\nZadanie nie zostało oznaczone.")
                             .arg(pathText(entry->file), fromUtf8(error.what())));
    }
    reload();
}

void OverviewWindow::openContactCalendar()
{
    const OverviewTask* entry = selectedTask();
    if (!entry) {
        platform_.inform(QStringLiteral("Wybierz na liście zadanie kontaktu."));
        return;
    }
    // The same command line the main program gives; never through a shell.
    const std::string line = "kalendarium.exe " + windowsArgument(entry->file.filename().string()) + " " +
                             quotedWindowsArgument(entry->contactName + " ") + "  " +
                             quotedWindowsArgument(entry->contactAddress);
    if (!platform_.exec(fromUtf8(line), programFolder_))
        platform_.inform(QStringLiteral("Nie można uruchomić kalendarza zadań (kalendarium)."));
}

void OverviewWindow::exportIcs()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Eksport otwartych zadań");
    request.filter = QStringLiteral("Kalendarz iCalendar|*.ics");
    request.defaultExtension = QStringLiteral("*.ics");
    request.startFolder = programFolder_;
    request.fileName = QStringLiteral("zadania.ics");
    const std::optional<std::filesystem::path> chosen = platform_.saveFile(request);
    if (!chosen || chosen->empty())
        return;
    try {
        writeCalendar(*chosen, exportedTasks(overview_->tasks, toTimePoint(platform_.now())));
    } catch (const IoError& error) {
        platform_.showError(error);
        return;
    }
    platform_.inform(QStringLiteral("Otwarte zadania (%1) zapisano w pliku:\n%2")
                         .arg(overview_->tasks.size())
                         .arg(pathText(*chosen)));
}

void OverviewWindow::print(PrintDestination destination)
{
    const CalendarMoment now = momentOf(platform_.now());
    QStringList text;
    for (const OverviewTask& entry : shown_) {
        QStringList parts = {dueDateText(platform_, entry.task)};
        for (const QString& part : {dueTimeText(entry.task), stateText(entry.task, now)})
            if (!part.isEmpty())
                parts << part;
        text << parts.join(QStringLiteral("  ")) + QStringLiteral("  ") + fromUtf8(entry.contactName) +
                    QStringLiteral(": ") + fromUtf8(entry.task.title);
    }
    const std::string heading =
        QStringLiteral("Otwarte zadania — %1").arg(ui_->filtr->currentText()).toStdString();
    printCompanionLines(platform_, destination, programFolder_, windowTitle(), QStringLiteral("zadania.pdf"), heading,
                        text.isEmpty() ? std::vector<std::string>{} : printableLines(text.join(QLatin1Char('\n')).toStdString()));
}

std::unique_ptr<QWidget> openOverviewWindow(const CompanionStart& start, Platform& platform)
{
    std::vector<std::string> patterns = start.arguments;
    if (patterns.empty())
        patterns.push_back("*.adr");
    // Checked before anything is shown.
    const std::filesystem::path taskFolder = companionFolder(start.programFolder, kTasksFolder);
    matchingFiles(taskFolder, patterns);
    auto window = std::make_unique<OverviewWindow>(platform, start.programFolder, taskFolder, std::move(patterns));
    window->reload();
    return window;
}

} // namespace wirtello
