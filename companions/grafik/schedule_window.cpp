#include "companions/grafik/schedule_window.h"

#include "ui_schedule_window.h"

#include "companions/calendar_kit/calendar_file.h"
#include "companions/companion_kit/document_watch.h"
#include "platform/keyboard_access.h"
#include "platform/list_accessibility.h"
#include "companions/companion_kit/form_keys.h"
#include "companions/reminders/reminder_state.h"
#include "platform/handler_guard.h"
#include "platform/session_end.h"
#include "store/io_error.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QHeaderView>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace wirtello {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QDate toQDate(CalendarDate date)
{
    return {date.year, date.month, date.day};
}

CalendarDate fromQDate(const QDate& date)
{
    return {date.year(), date.month(), date.day()};
}

CalendarMoment toMoment(const QDateTime& moment)
{
    return {fromQDate(moment.date()), {moment.time().hour(), moment.time().minute()}};
}

QDateTime toQDateTime(const CalendarMoment& moment)
{
    return {toQDate(moment.date), QTime(moment.time.hour, moment.time.minute)};
}

QString pathText(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// The reminder choices of the form, in minutes before the start.
constexpr std::array<int, 5> kReminderMinutes = {5, 15, 30, 60, 24 * 60};
constexpr int kRepeatChoices = 5;
constexpr int kReminderChoices = 1 + static_cast<int>(kReminderMinutes.size());
constexpr int kReminderCheckMs = 20 * 1000;

const QString kTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm");
const QString kDayFormat = QStringLiteral("dd.MM.yyyy");

// Removes what showAppointment added for a value the choices do not offer.
void dropExtraChoices(QComboBox* box, int choices)
{
    while (box->count() > choices)
        box->removeItem(box->count() - 1);
}

} // namespace

ScheduleWindow::ScheduleWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path file,
                               const QString& title, QWidget* parent)
    : ProgramWindow(parent)
    , ui_(std::make_unique<Ui::ScheduleWindow>())
    , platform_(platform)
    , programFolder_(std::move(programFolder))
    , file_(std::move(file))
    , title_(title.trimmed())
    , watch_(new DocumentWatch(file_, this))
{
    nameComboBoxesByLabel();
    ui_->setupUi(this);
    setFixedSize(size());
    if (!title_.isEmpty()) {
        setWindowTitle(title_);
        ui_->naglowek->setText(title_);
    }
    ui_->tylkoOdczyt->hide();
    ui_->przypomnienie->hide();
    ui_->siatka->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui_->siatka->verticalHeader()->hide();
    for (int i = 0; i < kRepeatChoices; ++i)
        ui_->powtarzanie->setItemData(
            i, fromUtf8(ruleOf(std::array{Repeat::None, Repeat::Daily, Repeat::Weekly, Repeat::Monthly, Repeat::Yearly}[static_cast<std::size_t>(i)])));
    ui_->przypomnij->setItemData(0, QVariant());
    for (std::size_t i = 0; i < kReminderMinutes.size(); ++i)
        ui_->przypomnij->setItemData(static_cast<int>(i) + 1, kReminderMinutes[i]);

    // Every button through the guard, so that no failure ends the program.
    onClick(ui_->widokDzien, platform_, [this] { setView(View::Day); });
    onClick(ui_->widokTydzien, platform_, [this] { setView(View::Week); });
    onClick(ui_->widokMiesiac, platform_, [this] { setView(View::Month); });
    onClick(ui_->poprzedni, platform_, [this] { step(-1); });
    onClick(ui_->nastepny, platform_, [this] { step(1); });
    onClick(ui_->dzisiaj, platform_, [this] {
        day_ = platform_.now().date();
        showView();
    });
    connect(ui_->siatka, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row < 0 || column < 0)
            return;
        if (view_ == View::Day) {
            ui_->terminyDnia->setCurrentRow(row);
            return;
        }
        const auto cell = static_cast<std::size_t>(row * ui_->siatka->columnCount() + column);
        if (cell < cellDays_.size())
            selectDay(cellDays_[cell]);
    });
    connect(ui_->terminyDnia, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && static_cast<std::size_t>(row) < dayEvents_.size()) {
            const DayAppointment& line = dayEvents_[static_cast<std::size_t>(row)];
            showAppointment(line.event, line.occurrence);
        }
    });
    connect(ui_->poczatek, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& start) { startMoved(start); });
    connect(ui_->calyDzien, &QCheckBox::toggled, this, [this](bool wholeDay) {
        for (QDateTimeEdit* edit : {ui_->poczatek, ui_->koniec})
            edit->setDisplayFormat(wholeDay ? kDayFormat : kTimeFormat);
    });
    onClick(ui_->nowy, platform_, [this] { clearForm(); });
    onClick(ui_->dodaj, platform_, [this] { addAppointment(); });
    onClick(ui_->zapisz, platform_, [this] { saveAppointment(); });
    onClick(ui_->usun, platform_, [this] { deleteAppointment(); });
    onClick(ui_->importuj, platform_, [this] { importFile(); });
    onClick(ui_->eksportuj, platform_, [this] { exportFile(); });
    onClick(ui_->drukuj, platform_, [this] { print(PrintDestination::Printer); });
    addPrintMenu(ui_->drukuj, [this](PrintDestination destination) { runGuarded(platform_, [&] { print(destination); }); });
    onClick(ui_->przypomnienieZamknij, platform_, [this] {
        ui_->przypomnienie->hide();
        ui_->przypomnienieTekst->clear();
    });
    onClick(ui_->zamknij, platform_, [this] { close(); });
    connect(watch_, &DocumentWatch::changedOnDisk, this, [this] { runGuarded(platform_, [this] { fileChanged(); }); });
    connect(watch_, &DocumentWatch::lockFree, this, [this] { runGuarded(platform_, [this] { offerTakeOver(); }); });
    connect(&reminderClock_, &QTimer::timeout, this, [this] { runGuarded(platform_, [this] { tick(); }); });

    // An appointment of the day's list can be dragged onto another day of the grid.
    ui_->terminyDnia->setDragEnabled(true);
    ui_->terminyDnia->setDragDropMode(QAbstractItemView::DragOnly);
    ui_->siatka->viewport()->setAcceptDrops(true);
    ui_->siatka->viewport()->installEventFilter(this);

    // Tab moves through the window; the arrows move in the grid and the day's list.
    letTabLeave(ui_->siatka);
    letTabLeave(ui_->terminyDnia);
    describeFocusHonestly(*ui_->terminyDnia);
    makeNoteField(ui_->notatka);
    storeOnEnter(this,
                 {ui_->tytul, ui_->miejsce, ui_->poczatek, ui_->calyDzien, ui_->koniec, ui_->powtarzanie,
                  ui_->przypomnij, ui_->kontakt},
                 [this] { runGuarded(platform_, [this] { storeForm(); }); });
    closeOnEscape(this, [this] { close(); });
    // The arrow buttons have no letter: Alt with an arrow presses them.
    for (QPushButton* button : {ui_->poprzedni, ui_->nastepny}) {
        button->setShortcut(QKeySequence(Qt::ALT | (button == ui_->poprzedni ? Qt::Key_Left : Qt::Key_Right)));
        const QString keys = button->shortcut().toString(QKeySequence::NativeText);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->toolTip(), keys));
    }
    // The session may end with the window open: a typed appointment is stored as it stands.
    onSessionEnd(this, [this] { storeFormQuietly(); });
    ui_->siatka->setFocus();
}

ScheduleWindow::~ScheduleWindow() = default;

void ScheduleWindow::open()
{
    access_ = openDocumentAccess(file_);
    const bool heldElsewhere = !access_.lock;
    if (!access_.lock)
        setReadOnly(fromUtf8(access_.readOnlyNote));
    try {
        LoadedCalendar loaded = loadCalendar(file_, toTimePoint(platform_.now()));
        document_ = std::move(loaded.document);
        events_ = document_.events();
        seen_ = fileStamp();
        if (!loaded.damagedNotice.empty())
            platform_.inform(fromUtf8(loaded.damagedNotice));
    } catch (const IoError& error) {
        // What could not be read must not be written over.
        platform_.showError(error);
        access_.lock.reset();
        setReadOnly(QStringLiteral("Terminarza nie można odczytać — tylko do odczytu."));
    }
    day_ = platform_.now().date();
    clearForm();
    setView(View::Month);
    // Only another window's lock is waited for; a file that could not be read stays as it is.
    watch_->setWatching(heldElsewhere);
    reminderClock_.start(kReminderCheckMs);
    checkReminders();
}

void ScheduleWindow::setReadOnly(const QString& note)
{
    ui_->tylkoOdczyt->setText(note);
    ui_->tylkoOdczyt->show();
    for (QWidget* action : {static_cast<QWidget*>(ui_->dodaj), static_cast<QWidget*>(ui_->zapisz),
                            static_cast<QWidget*>(ui_->usun), static_cast<QWidget*>(ui_->importuj)})
        action->setEnabled(false);
}

void ScheduleWindow::fileChanged()
{
    try {
        adopt(readCalendar(file_));
    } catch (const CalendarDamaged&) {
        // What the other window left is shown once it reads again.
    } catch (const IoError&) {
    }
}

void ScheduleWindow::offerTakeOver()
{
    std::optional<DocumentLock> lock = watch_->takeLock();
    if (!lock)
        return;
    if (!platform_.ask(QString::fromUtf8(kTakeOverQuestion)))
        return; // the lock is let go; the reminder clock still shows what changes
    CalendarDocument document;
    try {
        document = readCalendar(file_);
    } catch (const CalendarDamaged& damaged) {
        platform_.inform(QStringLiteral("Terminarza nie można przejąć: %1").arg(fromUtf8(damaged.what())));
        return;
    }
    access_.lock = std::move(lock);
    access_.readOnlyNote.clear();
    ui_->tylkoOdczyt->hide();
    for (QWidget* action : {static_cast<QWidget*>(ui_->dodaj), static_cast<QWidget*>(ui_->zapisz),
                            static_cast<QWidget*>(ui_->usun), static_cast<QWidget*>(ui_->importuj)})
        action->setEnabled(true);
    adopt(std::move(document));
}

void ScheduleWindow::setView(View view)
{
    view_ = view;
    // Each view button is a stop of its own for Tab, so they are kept one-of-three here.
    ui_->widokDzien->setChecked(view == View::Day);
    ui_->widokTydzien->setChecked(view == View::Week);
    ui_->widokMiesiac->setChecked(view == View::Month);
    showView();
}

void ScheduleWindow::step(int direction)
{
    day_ = view_ == View::Month  ? QDate(day_.year(), day_.month(), 1).addMonths(direction)
           : view_ == View::Week ? day_.addDays(7 * direction)
                                 : day_.addDays(direction);
    showView();
}

void ScheduleWindow::fillCell(int row, int column, const QDate& day, const std::vector<DayAppointment>& appointments,
                              bool withDayNumber, bool inMonth)
{
    QStringList lines;
    if (withDayNumber)
        lines << QString::number(day.day());
    for (const DayAppointment& a : appointments) {
        const CalendarEvent& event = events_[a.event];
        lines << fromUtf8((withDayNumber ? compactAppointmentLine : appointmentLine)(event, a.occurrence, fromQDate(day)));
        // The day view has room for the rest of the appointment.
        if (view_ == View::Day && !event.contact.empty())
            lines << QStringLiteral("    kontakt: %1").arg(fromUtf8(event.contact));
        if (view_ == View::Day && !event.note.empty())
            lines << QStringLiteral("    ") + fromUtf8(event.note).replace(QLatin1Char('\n'), QStringLiteral("\n    "));
    }
    auto* item = new QTableWidgetItem(lines.join(QLatin1Char('\n')));
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    QStringList full;
    for (const DayAppointment& a : appointments)
        full << fromUtf8(appointmentLine(events_[a.event], a.occurrence, fromQDate(day)));
    item->setToolTip(full.join(QLatin1Char('\n')));
    if (!inMonth)
        item->setForeground(QColor(0x90, 0x90, 0x90));
    if (day == today_)
        item->setBackground(QColor(0xff, 0xf4, 0xc2));
    ui_->siatka->setItem(row, column, item);
}

void ScheduleWindow::showView()
{
    QTableWidget* grid = ui_->siatka;
    const QSignalBlocker blocker(grid);
    today_ = platform_.now().date();
    grid->clear();
    cellDays_.clear();
    const CalendarDate chosen = fromQDate(day_);
    std::vector<std::size_t> cut;
    if (view_ == View::Day) {
        const auto days = appointmentsByDay(events_, chosen, chosen, &cut);
        grid->setColumnCount(1);
        grid->setWordWrap(true);
        grid->setRowCount(std::max<int>(1, static_cast<int>(days[0].size())));
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        grid->setHorizontalHeaderLabels({fromUtf8(weekdayName(chosen) + " " + shortDateText(chosen))});
        for (int r = 0; r < static_cast<int>(days[0].size()); ++r)
            fillCell(r, 0, day_, {days[0][static_cast<std::size_t>(r)]}, false, true);
        if (days[0].empty())
            grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("Brak terminów tego dnia.")));
        cellDays_.assign(static_cast<std::size_t>(grid->rowCount()), day_);
        ui_->okres->setText(fromUtf8(weekdayName(chosen) + " " + shortDateText(chosen)));
    } else {
        const bool month = view_ == View::Month;
        const CalendarDate first = month ? monthViewStart(chosen.year, chosen.month) : weekStart(chosen);
        const int count = month ? kMonthViewDays : 7;
        const auto days = appointmentsByDay(events_, first, addDays(first, count - 1), &cut);
        grid->setColumnCount(7);
        grid->setRowCount(count / 7);
        // A month's cell keeps one line per appointment, cut at its edge.
        grid->setWordWrap(!month);
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        QStringList headers;
        for (int c = 0; c < 7; ++c) {
            const CalendarDate date = addDays(first, c);
            headers << fromUtf8(weekdayShortName(c + 1) + (month ? "" : " " + std::to_string(date.day) + "." +
                                                                        std::to_string(date.month)));
        }
        grid->setHorizontalHeaderLabels(headers);
        for (int i = 0; i < count; ++i) {
            const QDate date = toQDate(addDays(first, i));
            cellDays_.push_back(date);
            fillCell(i / 7, i % 7, date, days[static_cast<std::size_t>(i)], month, !month || date.month() == day_.month());
        }
        const CalendarDate last = addDays(first, 6);
        ui_->okres->setText(month ? fromUtf8(monthName(chosen.month) + " " + std::to_string(chosen.year))
                                  : fromUtf8(shortDateText(first) + " – " + shortDateText(last)));
        for (std::size_t i = 0; i < cellDays_.size(); ++i) {
            if (cellDays_[i] == day_)
                grid->setCurrentCell(static_cast<int>(i) / 7, static_cast<int>(i) % 7);
        }
    }
    QStringList cutNames;
    for (const std::size_t e : cut)
        cutNames << QStringLiteral("„%1” (%2)").arg(fromUtf8(events_[e].title), fromUtf8(events_[e].recurrence));
    ui_->ucieteReguly->setText(
        cutNames.isEmpty()
            ? QString()
            : QStringLiteral("Nie wszystkie powtórzenia są pokazane: %1 — reguła powtarza termin częściej, niż "
                             "terminarz może pokazać (najwyżej %2 razy dziennie).")
                  .arg(cutNames.join(QStringLiteral(", ")))
                  .arg(kMostOccurrencesPerDay));
    showDay();
}

void ScheduleWindow::selectDay(const QDate& day)
{
    day_ = day;
    showDay();
}

void ScheduleWindow::showItem(const QDate& day, const std::string& uid)
{
    if (!day.isValid())
        return;
    day_ = day;
    showView();
    for (std::size_t row = 0; row < dayEvents_.size(); ++row) {
        const DayAppointment& line = dayEvents_[row];
        if (events_[line.event].uid == uid) {
            ui_->terminyDnia->setCurrentRow(static_cast<int>(row));
            showAppointment(line.event, line.occurrence);
            return;
        }
    }
}

void ScheduleWindow::showDay()
{
    const CalendarDate chosen = fromQDate(day_);
    ui_->dzienEtykieta->setText(fromUtf8("Terminy dnia: " + weekdayName(chosen) + " " + shortDateText(chosen)));
    const QSignalBlocker blocker(ui_->terminyDnia);
    ui_->terminyDnia->clear();
    dayEvents_.clear();
    const auto days = appointmentsByDay(events_, chosen, chosen);
    for (const DayAppointment& a : days[0]) {
        const CalendarEvent& event = events_[a.event];
        QString line = fromUtf8(appointmentLine(event, a.occurrence, chosen));
        if (!event.recurrence.empty())
            line += a.occurrence.changed ? QStringLiteral("  (powtarza się; to wystąpienie zmienione)")
                                         : QStringLiteral("  (powtarza się)");
        ui_->terminyDnia->addItem(line);
        dayEvents_.push_back(a);
        // Of a series, only the occurrence in the form is marked (the first one when none was chosen).
        const CalendarMoment shownId = selectedOccurrence_ ? selectedOccurrence_->recurrenceId : event.start;
        if (selected_ == a.event && (event.recurrence.empty() || shownId == a.occurrence.recurrenceId))
            ui_->terminyDnia->setCurrentRow(ui_->terminyDnia->count() - 1);
    }
}

void ScheduleWindow::showAppointment(std::size_t index, const std::optional<EventOccurrence>& occurrence)
{
    const CalendarEvent& event = events_[index];
    selected_ = index;
    // A single appointment is its own occurrence; a series without one chosen shows its first.
    selectedOccurrence_ = event.recurrence.empty() ? std::nullopt : occurrence;
    const bool own = selectedOccurrence_ && selectedOccurrence_->changed;
    const CalendarMoment start = selectedOccurrence_ ? selectedOccurrence_->start : event.start;
    const CalendarMoment end = selectedOccurrence_ ? selectedOccurrence_->end : event.end;
    const std::optional<int> reminderMinutes = own ? selectedOccurrence_->reminderMinutes : event.reminderMinutes;
    const QSignalBlocker blocker(ui_->poczatek);
    ui_->tytul->setText(fromUtf8(own ? selectedOccurrence_->title : event.title));
    ui_->miejsce->setText(fromUtf8(own ? selectedOccurrence_->place : event.place));
    ui_->calyDzien->setChecked(event.wholeDay);
    formStart_ = toQDateTime(start);
    ui_->poczatek->setDateTime(formStart_);
    ui_->koniec->setDateTime(toQDateTime(event.wholeDay ? CalendarMoment{addDays(end.date, -1), {}} : end));
    dropExtraChoices(ui_->powtarzanie, kRepeatChoices);
    const Repeat repeat = repeatOf(event.recurrence);
    if (repeat == Repeat::Other)
        ui_->powtarzanie->addItem(fromUtf8("Inna reguła: " + repeatDescription(event)), fromUtf8(event.recurrence));
    ui_->powtarzanie->setCurrentIndex(repeat == Repeat::Other ? kRepeatChoices : static_cast<int>(repeat));
    formRepeat_ = ui_->powtarzanie->currentIndex();
    dropExtraChoices(ui_->przypomnij, kReminderChoices);
    int reminder = 0;
    if (reminderMinutes) {
        reminder = ui_->przypomnij->findData(*reminderMinutes);
        if (reminder < 0) {
            ui_->przypomnij->addItem(QStringLiteral("%1 minut przed").arg(*reminderMinutes), *reminderMinutes);
            reminder = kReminderChoices;
        }
    }
    ui_->przypomnij->setCurrentIndex(reminder);
    ui_->kontakt->setText(fromUtf8(event.contact));
    ui_->notatka->setPlainText(fromUtf8(own ? selectedOccurrence_->note : event.note));
    ui_->seriaUwaga->setText(event.recurrence.empty()
                                 ? QString()
                                 : QStringLiteral("Termin powtarza się od %1%2; przy zmianie i usunięciu program "
                                                  "zapyta, których powtórzeń dotyczą.")
                                       .arg(fromUtf8(shortDateText(event.start.date)),
                                            own ? QStringLiteral(" (to wystąpienie zmieniono osobno)") : QString()));
    formShown_ = formValues();
}

CalendarMoment ScheduleWindow::chosenOccurrence() const
{
    return selectedOccurrence_ ? selectedOccurrence_->recurrenceId : events_[*selected_].start;
}

std::optional<SeriesScope> ScheduleWindow::askScope(const QString& question)
{
    const std::optional<int> choice = platform_.choose(
        question, {QStringLiteral("Tylko to wystąpienie"), QStringLiteral("To i następne"), QStringLiteral("Cała seria")});
    if (!choice)
        return std::nullopt;
    return std::array{SeriesScope::OnlyThis, SeriesScope::ThisAndFollowing, SeriesScope::All}.at(
        static_cast<std::size_t>(std::clamp(*choice, 0, 2)));
}

void ScheduleWindow::clearForm()
{
    selected_.reset();
    selectedOccurrence_.reset();
    ui_->terminyDnia->clearSelection();
    const QSignalBlocker blocker(ui_->poczatek);
    ui_->tytul->clear();
    ui_->miejsce->clear();
    ui_->calyDzien->setChecked(false);
    formStart_ = QDateTime(day_.isValid() ? day_ : platform_.now().date(), QTime(9, 0));
    ui_->poczatek->setDateTime(formStart_);
    ui_->koniec->setDateTime(formStart_.addSecs(60 * 60));
    dropExtraChoices(ui_->powtarzanie, kRepeatChoices);
    ui_->powtarzanie->setCurrentIndex(0);
    dropExtraChoices(ui_->przypomnij, kReminderChoices);
    ui_->przypomnij->setCurrentIndex(0);
    ui_->kontakt->clear();
    ui_->notatka->clear();
    ui_->seriaUwaga->clear();
    formShown_ = formValues();
}

void ScheduleWindow::startMoved(const QDateTime& start)
{
    // Moving the start moves the end with it, so the appointment keeps its length.
    ui_->koniec->setDateTime(ui_->koniec->dateTime().addSecs(formStart_.secsTo(start)));
    formStart_ = start;
}

// The form as an appointment, as typed: no field checked.
CalendarEvent ScheduleWindow::typedEvent() const
{
    CalendarEvent event;
    event.title = ui_->tytul->text().trimmed().toStdString();
    event.place = ui_->miejsce->text().trimmed().toStdString();
    event.note = ui_->notatka->toPlainText().toStdString();
    event.contact = ui_->kontakt->text().trimmed().toStdString();
    event.wholeDay = ui_->calyDzien->isChecked();
    event.start = toMoment(ui_->poczatek->dateTime());
    event.end = toMoment(ui_->koniec->dateTime());
    if (event.wholeDay) {
        event.start.time = {};
        event.end = {addDays(event.end.date, 1), {}};
    }
    event.recurrence = ui_->powtarzanie->currentData().toString().toStdString();
    if (const QVariant minutes = ui_->przypomnij->currentData(); minutes.isValid())
        event.reminderMinutes = minutes.toInt();
    return event;
}

std::optional<CalendarEvent> ScheduleWindow::formEvent(const std::string& uid)
{
    CalendarEvent event = typedEvent();
    event.uid = uid;
    if (event.title.empty()) {
        platform_.inform(QStringLiteral("Podaj tytuł terminu."));
        return std::nullopt;
    }
    if (event.end < event.start) {
        platform_.inform(QStringLiteral("Koniec terminu nie może być przed jego początkiem."));
        return std::nullopt;
    }
    return event;
}

QStringList ScheduleWindow::formValues() const
{
    return {ui_->tytul->text(),
            ui_->miejsce->text(),
            ui_->calyDzien->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
            ui_->poczatek->dateTime().toString(Qt::ISODate),
            ui_->koniec->dateTime().toString(Qt::ISODate),
            QString::number(ui_->powtarzanie->currentIndex()),
            QString::number(ui_->przypomnij->currentIndex()),
            ui_->kontakt->text(),
            ui_->notatka->toPlainText()};
}

bool ScheduleWindow::formHasTyping() const
{
    if (formValues() == formShown_)
        return false;
    // A new appointment's form counts once something was written in it.
    return selected_ || !ui_->tytul->text().trimmed().isEmpty() || !ui_->miejsce->text().trimmed().isEmpty() ||
           !ui_->kontakt->text().trimmed().isEmpty() || !ui_->notatka->toPlainText().trimmed().isEmpty();
}

void ScheduleWindow::closeEvent(QCloseEvent* event)
{
    if (access_.lock && formHasTyping()) {
        const QString question =
            (selected_ ? QStringLiteral("Zapisać zmiany terminu „%1”?") : QStringLiteral("Dodać termin „%1” do terminarza?"))
                .arg(ui_->tytul->text().trimmed());
        if (!mayCloseTypedForm(platform_, question, [this] { storeForm(); }, [this] { return formHasTyping(); })) {
            event->ignore();
            return;
        }
    }
    ProgramWindow::closeEvent(event);
}

void ScheduleWindow::storeForm()
{
    if (!access_.lock)
        return;
    if (selected_)
        saveAppointment();
    else
        addAppointment();
}

void ScheduleWindow::storeFormQuietly()
{
    if (!access_.lock || !formHasTyping())
        return;
    CalendarEvent event = typedEvent();
    if (selected_) {
        event.uid = events_[*selected_].uid;
        event.zone = events_[*selected_].zone;
    }
    if (event.title.empty())
        event.title = "(bez tytułu)"; // what was typed without a title is kept all the same
    if (event.end < event.start)
        event.end = event.start;
    std::string uid;
    const auto now = toTimePoint(platform_.now());
    // An occurrence of a series keeps its typing as a change of that occurrence alone.
    const bool ofSeries = selected_ && !events_[*selected_].recurrence.empty();
    const CalendarMoment of = ofSeries ? chosenOccurrence() : CalendarMoment{};
    CalendarDocument written = changeCalendar(file_, [&](CalendarDocument& calendar) {
        uid = ofSeries ? calendar.changeOccurrence(event.uid, of, event, SeriesScope::OnlyThis, now)
                       : calendar.putEvent(event, now);
    });
    adopt(std::move(written));
    for (std::size_t i = 0; i < events_.size(); ++i) {
        if (events_[i].uid == uid)
            showAppointment(i);
    }
}

void ScheduleWindow::addAppointment()
{
    const std::optional<CalendarEvent> event = formEvent({});
    if (!event)
        return;
    std::string uid;
    const auto now = toTimePoint(platform_.now());
    day_ = toQDate(event->start.date);
    if (!store([&](CalendarDocument& calendar) { uid = calendar.putEvent(*event, now); }))
        return;
    for (std::size_t i = 0; i < events_.size(); ++i) {
        if (events_[i].uid == uid) {
            showAppointment(i);
            showDay();
        }
    }
}

bool ScheduleWindow::saveAppointment()
{
    if (!selected_) {
        platform_.inform(QStringLiteral("Wybierz termin z listy terminów dnia."));
        return false;
    }
    const CalendarEvent series = events_[*selected_];
    std::optional<CalendarEvent> event = formEvent(series.uid);
    if (!event)
        return false;
    event->zone = series.zone;
    const auto now = toTimePoint(platform_.now());
    if (series.recurrence.empty()) {
        // A moved single appointment is followed to its new day.
        if (event->start.date != series.start.date)
            day_ = toQDate(event->start.date);
        // The line is chosen again without its signal: the form shows what was stored by itself.
        const bool stored = store([&](CalendarDocument& calendar) { calendar.putEvent(*event, now); });
        if (stored && selected_)
            showAppointment(*selected_);
        return stored;
    }
    const CalendarMoment of = chosenOccurrence();
    // Moving one occurrence is the usual case, so "only this" is the first answer.
    const std::optional<SeriesScope> scope =
        askScope(QStringLiteral("Termin „%1” powtarza się. Zmienić tylko wystąpienie z dnia %2, to i następne, czy "
                                "całą serię?")
                     .arg(fromUtf8(series.title), fromUtf8(shortDateText(of.date))));
    if (!scope)
        return false;
    // One occurrence has no rule of its own: a changed repeat choice would be dropped unasked.
    if (*scope == SeriesScope::OnlyThis && ui_->powtarzanie->currentIndex() != formRepeat_) {
        platform_.inform(QStringLiteral("Powtarzanie zmienia się dla serii, nie dla jednego wystąpienia. Wybierz „To i "
                                        "następne” albo „Cała seria”, lub przywróć poprzednie powtarzanie."));
        return false;
    }
    std::string uid;
    if (!store([&](CalendarDocument& calendar) { uid = calendar.changeOccurrence(series.uid, of, *event, *scope, now); }))
        return false;
    // The form follows the occurrence to where it now is.
    day_ = toQDate(event->start.date);
    showView();
    for (std::size_t row = 0; row < dayEvents_.size(); ++row) {
        const DayAppointment& line = dayEvents_[row];
        if (events_[line.event].uid == uid && line.occurrence.start == event->start) {
            ui_->terminyDnia->setCurrentRow(static_cast<int>(row));
            showAppointment(line.event, line.occurrence);
            return true;
        }
    }
    clearForm();
    return true;
}

void ScheduleWindow::moveToDay(const QDate& day)
{
    const QDateTime start = ui_->poczatek->dateTime();
    if (!selected_ || start.date() == day)
        return;
    // Moved as if its start were typed (the end follows); for a series the question offers only this first.
    ui_->poczatek->setDateTime(QDateTime(day, start.time()));
    if (!saveAppointment())
        ui_->poczatek->setDateTime(start);
}

bool ScheduleWindow::eventFilter(QObject* watched, QEvent* event)
{
    // What the day's list drags: its own item data.
    const auto fromDayList = [this](const QDropEvent* drop) {
        return access_.lock && selected_ && view_ != View::Day && drop->mimeData() &&
               drop->mimeData()->hasFormat(QStringLiteral("application/x-qabstractitemmodeldatalist"));
    };
    if (watched == ui_->siatka->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (fromDayList(drag)) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QModelIndex cell = ui_->siatka->indexAt(drop->position().toPoint());
            const auto at = static_cast<std::size_t>(cell.row() * ui_->siatka->columnCount() + cell.column());
            if (fromDayList(drop) && cell.isValid() && at < cellDays_.size()) {
                drop->acceptProposedAction();
                const QDate day = cellDays_[at];
                runGuarded(platform_, [this, day] { moveToDay(day); });
                return true;
            }
        }
    }
    return ProgramWindow::eventFilter(watched, event);
}

void ScheduleWindow::deleteAppointment()
{
    if (!selected_) {
        platform_.inform(QStringLiteral("Wybierz termin z listy terminów dnia."));
        return;
    }
    const CalendarEvent event = events_[*selected_];
    if (event.recurrence.empty()) {
        if (!platform_.ask(QStringLiteral("Usunąć termin „%1”?").arg(fromUtf8(event.title))))
            return;
        if (store([&](CalendarDocument& calendar) { calendar.remove(event.uid); }))
            clearForm();
        return;
    }
    const CalendarMoment of = chosenOccurrence();
    const std::optional<SeriesScope> scope = askScope(
        QStringLiteral("Termin „%1” powtarza się. Usunąć tylko wystąpienie z dnia %2, to i następne, czy całą serię?")
            .arg(fromUtf8(event.title), fromUtf8(shortDateText(of.date))));
    if (!scope)
        return;
    const auto now = toTimePoint(platform_.now());
    if (store([&](CalendarDocument& calendar) { calendar.removeOccurrence(event.uid, of, *scope, now); }))
        clearForm();
}

bool ScheduleWindow::store(const std::function<void(CalendarDocument&)>& change)
{
    // The change is made to the file as it is on disk, so what another
    // program put there meanwhile (a task copied from a contact) stays.
    CalendarDocument written;
    try {
        written = changeCalendar(file_, change);
    } catch (const IoError& error) {
        platform_.showError(error);
        return false;
    } catch (const CalendarDamaged& damaged) {
        platform_.inform(QStringLiteral("Zmiana nie została zapisana: %1").arg(fromUtf8(damaged.what())));
        return false;
    }
    adopt(std::move(written));
    return true;
}

std::optional<std::filesystem::file_time_type> ScheduleWindow::fileStamp() const
{
    std::error_code error;
    const auto stamp = std::filesystem::last_write_time(file_, error);
    return error ? std::nullopt : std::optional(stamp);
}

void ScheduleWindow::adopt(CalendarDocument document)
{
    const std::optional<std::string> selectedUid =
        selected_ ? std::optional(events_[*selected_].uid) : std::nullopt;
    document_ = std::move(document);
    events_ = document_.events();
    seen_ = fileStamp();
    selected_.reset();
    for (std::size_t i = 0; selectedUid && i < events_.size(); ++i) {
        if (events_[i].uid == *selectedUid)
            selected_ = i;
    }
    if (!selected_)
        selectedOccurrence_.reset();
    showView();
}

void ScheduleWindow::tick()
{
    if (fileStamp() != seen_) {
        try {
            adopt(readCalendar(file_));
        } catch (const CalendarDamaged&) {
            // The next change tells the user; the calendar on screen stays.
        } catch (const IoError&) {
        }
    }
    // Today's mark moves at midnight even when nothing else changed.
    if (platform_.now().date() != today_)
        showView();
    checkReminders();
}

void ScheduleWindow::importFile()
{
    const std::optional<std::filesystem::path> file = platform_.openFile(
        {QStringLiteral("Import terminów"), QStringLiteral("Pliki kalendarza (*.ics)|*.ics|Wszystkie pliki|*"),
         QStringLiteral("ics"), programFolder_, {}});
    if (!file)
        return;
    const std::string name = file->filename().string();
    CalendarDocument imported;
    try {
        imported = readCalendar(*file);
    } catch (const CalendarDamaged& damaged) {
        platform_.inform(QStringLiteral("Nie wczytano pliku „%1”: %2").arg(fromUtf8(name), fromUtf8(damaged.what())));
        return;
    } catch (const IoError& error) {
        platform_.showError(error);
        return;
    }
    ImportCount count;
    const auto now = toTimePoint(platform_.now());
    try {
        const bool stored = store([&](CalendarDocument& calendar) {
            count = importAppointments(calendar, imported, now);
            // Refused before writing: a calendar past the limit could not be opened again.
            if (const std::uintmax_t size = calendar.text().size(); size > kCompanionFileLimit)
                throw ImportTooLarge(size, kCompanionFileLimit);
        });
        if (!stored)
            return;
    } catch (const ImportTooLarge& tooLarge) {
        platform_.inform(fromUtf8(tooLarge.what()));
        return;
    }
    platform_.inform(fromUtf8(importReport(name, count)));
}

void ScheduleWindow::exportFile()
{
    const std::optional<std::filesystem::path> file = platform_.saveFile(
        {QStringLiteral("Eksport terminów"), QStringLiteral("Pliki kalendarza (*.ics)|*.ics"), QStringLiteral("ics"),
         programFolder_, QStringLiteral("terminarz.ics")});
    if (!file)
        return;
    try {
        writeCalendar(*file, document_);
    } catch (const IoError& error) {
        platform_.showError(error);
        return;
    }
    platform_.inform(QStringLiteral("Zapisano terminy (%1) w pliku %2.\nPlik można wczytać w innym programie "
                                    "kalendarza poleceniem importu pliku .ics.")
                         .arg(events_.size())
                         .arg(pathText(*file)));
}

QString ScheduleWindow::heading() const
{
    return title_.isEmpty() ? QStringLiteral("Terminarz") : title_;
}

void ScheduleWindow::print(PrintDestination destination)
{
    const CalendarDate monday = weekStart(fromQDate(day_));
    printCompanionLines(platform_, destination, programFolder_, QStringLiteral("Terminarz — tydzień"),
                        QStringLiteral("terminarz %1.pdf").arg(fromUtf8(dateText(monday))),
                        weekHeading(heading().toStdString(), monday), weekLines(events_, monday));
}

void ScheduleWindow::checkReminders()
{
    const CalendarMoment now = toMoment(platform_.now());
    // The main program may have shown a reminder already, or the user put it
    // off there: the record both keep says so, and each is shown once.
    const std::filesystem::path record = file_.parent_path() / kReminderStateName;
    std::optional<ReminderState> state;
    try {
        state = readReminderState(record);
    } catch (const std::exception&) {
        // The main program says what is wrong with its record; here it only stays unused.
    }
    QStringList lines;
    std::vector<std::string> shown;
    for (const DueReminder& due : dueReminders(events_, now)) {
        if (!reminded_.insert(due.key).second || (state && state->marks.contains(due.key)))
            continue;
        lines << fromUtf8(reminderText(events_[due.event], due.start, now));
        shown.push_back(due.key);
    }
    if (lines.isEmpty())
        return;
    if (state) {
        for (const std::string& key : shown)
            state->marks.emplace(key, ReminderMark{now, std::nullopt});
        try {
            writeReminderState(record, *state);
        } catch (const IoError&) {
            // Shown here anyway; the main program may show it once more.
        }
    }
    if (!ui_->przypomnienie->isHidden() && !ui_->przypomnienieTekst->text().isEmpty())
        lines.prepend(ui_->przypomnienieTekst->text());
    ui_->przypomnienieTekst->setText(lines.join(QLatin1Char('\n')));
    ui_->przypomnienie->show();
    QApplication::alert(this);
}

std::unique_ptr<QWidget> openScheduleWindow(const CompanionStart& start, Platform& platform)
{
    const std::filesystem::path file = companionFolder(start.programFolder, kScheduleFolder) / "terminarz.ics";
    // The title is one argument; one split at blanks is joined again.
    QStringList title;
    // A reminder's "Otwórz" adds the day and the appointment to show.
    QDate day;
    std::string uid;
    for (const std::string& argument : start.arguments) {
        if (argument.starts_with("--dzien="))
            day = QDate::fromString(QString::fromStdString(argument.substr(8)), Qt::ISODate);
        else if (argument.starts_with("--termin="))
            uid = argument.substr(9);
        else
            title << QString::fromStdString(argument);
    }
    auto window = std::make_unique<ScheduleWindow>(platform, start.programFolder, file, title.join(QLatin1Char(' ')));
    window->open();
    window->showItem(day, uid);
    return window;
}

} // namespace wirtello
