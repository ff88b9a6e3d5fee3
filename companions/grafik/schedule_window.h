#pragma once

#include "companions/calendar_kit/calendar_document.h"
#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/companion_files.h"
#include "companions/grafik/schedule.h"
#include "platform/platform.h"
#include "platform/print_menu.h"
#include "platform/program_window.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Ui {
class ScheduleWindow;
}

namespace wirtello {

class DocumentWatch;

// The office's appointment calendar: a day, week or month view, the
// appointments of the chosen day, a form to add, move, change or delete one,
// reminders while the window is open, import and export of .ics files and
// the printed week. Every change is stored at once. The first window on the
// calendar holds its lock; another one shows it read-only, follows what the
// first one writes and offers to take over once the first one is closed.
class ScheduleWindow : public ProgramWindow {
    // No Q_OBJECT: the window has no signals of its own, and moc cannot read the calendar headers.
public:
    enum class View { Day, Week, Month };

    // `file` is the calendar (grafik/terminarz.ics), `title` the text given
    // on the command line.
    ScheduleWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path file,
                   const QString& title, QWidget* parent = nullptr);
    ~ScheduleWindow() override;

    // Reads the calendar, takes its lock, shows today's month and starts the
    // reminder clock; failures are told to the user.
    void open();

    bool isReadOnly() const { return !access_.lock; }

    // The clock's tick: reads the calendar again when another program changed
    // it, moves today's mark when the day changed, then shows the note of
    // every reminder that has come due and was not shown yet.
    void tick();

    // Shows `day` with the appointment `uid` in the form (a reminder's "Otwórz").
    void showItem(const QDate& day, const std::string& uid);

protected:
    // A typed form that no store kept is offered for storing first.
    void closeEvent(QCloseEvent* event) override;
    // An appointment dragged from the day's list onto a day of the grid moves there.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showView();
    void showDay();
    void selectDay(const QDate& day);
    void step(int direction);
    void setView(View view);
    // Shows the appointment in the form; of a series, the occurrence given
    // (its own time and texts), or the series' first when none is.
    void showAppointment(std::size_t event, const std::optional<EventOccurrence>& occurrence = std::nullopt);
    // Which occurrences of the chosen series a change or deletion is for;
    // nothing when the user cancels.
    std::optional<SeriesScope> askScope(const QString& question);
    // The occurrence the form stands for: the one chosen, or the series' first.
    CalendarMoment chosenOccurrence() const;
    void clearForm();
    void startMoved(const QDateTime& start);
    CalendarEvent typedEvent() const;
    std::optional<CalendarEvent> formEvent(const std::string& uid);
    void addAppointment();
    // True when the change was stored.
    bool saveAppointment();
    // The appointment in the form moved to `day` at its time, as a change of its start.
    void moveToDay(const QDate& day);
    void deleteAppointment();
    // Enter in the form: adds a new appointment or stores the one shown.
    void storeForm();
    // Whether the form holds typing that no store has kept.
    bool formHasTyping() const;
    // Stores that typing without a question, as the end of the session does;
    // failures are raised.
    void storeFormQuietly();
    QStringList formValues() const;
    void importFile();
    void exportFile();
    void print(PrintDestination destination);
    // Applies `change` to the calendar on disk and stores it; on a failure
    // the calendar on screen stays as it was.
    bool store(const std::function<void(CalendarDocument&)>& change);
    // Shows `document`, keeping the chosen appointment.
    void adopt(CalendarDocument document);
    std::optional<std::filesystem::file_time_type> fileStamp() const;
    void checkReminders();
    void setReadOnly(const QString& note);
    void fileChanged();
    void offerTakeOver();
    void fillCell(int row, int column, const QDate& day, const std::vector<DayAppointment>& appointments,
                  bool withDayNumber, bool inMonth);
    QString heading() const;

    std::unique_ptr<Ui::ScheduleWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    QString title_;
    DocumentAccess access_;
    CalendarDocument document_;
    std::vector<CalendarEvent> events_;
    View view_ = View::Month;
    QDate day_;                           // the chosen day
    QDate today_;                          // the day marked as today in the view
    std::vector<QDate> cellDays_;          // the day of each grid cell, row by row
    std::vector<DayAppointment> dayEvents_; // the event and occurrence of each line of the day's list
    std::optional<std::size_t> selected_;  // the event in the form
    std::optional<EventOccurrence> selectedOccurrence_; // and which of its occurrences
    QDateTime formStart_;                  // the start before the user moved it
    int formRepeat_ = -1;                  // the repeat choice before the user changed it
    QStringList formShown_;                // the form's values when filled or emptied
    QTimer reminderClock_;
    std::set<std::string> reminded_;
    std::optional<std::filesystem::file_time_type> seen_; // the file's time when last read or written
    DocumentWatch* watch_;                                // while read-only
};

// The window for the command line  grafik "<title>"  on the calendar in the
// program folder's "grafik" folder, opened.
std::unique_ptr<QWidget> openScheduleWindow(const CompanionStart& start, Platform& platform);

} // namespace wirtello
