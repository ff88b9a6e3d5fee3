#include "companions/reminders/reminder_keeper.h"

#include "companions/calendar_kit/calendar_file.h"
#include "companions/companion_kit/companion_files.h"
#include "store/io_error.h"
#include "store/paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace wirtello {
namespace {

constexpr std::string_view kScheduleFile = "terminarz.ics";
constexpr int kLookAheadMinutes = 2 * 24 * 60;

std::chrono::system_clock::time_point timePointOf(const CalendarMoment& moment)
{
    std::tm local{};
    local.tm_year = moment.date.year - 1900;
    local.tm_mon = moment.date.month - 1;
    local.tm_mday = moment.date.day;
    local.tm_hour = moment.time.hour;
    local.tm_min = moment.time.minute;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

std::string failureText(const IoError& error)
{
    return std::string(error.what()) + ".";
}

bool isFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(folder, error);
}

} // namespace

ReminderKeeper::ReminderKeeper(std::filesystem::path programFolder, CalendarMoment started)
    : programFolder_(std::move(programFolder)), started_(started)
{
    appointments_.folder = joinPath(programFolder_, kScheduleFolder);
    tasks_.folder = joinPath(programFolder_, kTasksFolder);
    seen_ = stampsNow();
    readSources();
    for (Book* book : {&appointments_, &tasks_}) {
        book->state.since = started;
        readRecord(*book, started);
        // A record is begun at the first start (and after a damaged one), so
        // that the reminders of the days the program is closed are shown at
        // the next one.
        std::error_code error;
        if (!std::filesystem::exists(book->folder / kReminderStateName, error))
            store(*book, started);
    }
}

std::filesystem::path ReminderKeeper::appointmentRecord() const
{
    return appointments_.folder / kReminderStateName;
}

std::filesystem::path ReminderKeeper::taskRecord() const
{
    return tasks_.folder / kReminderStateName;
}

ReminderKeeper::Stamps ReminderKeeper::stampsNow() const
{
    Stamps stamps;
    const auto add = [&stamps](const std::filesystem::path& file) {
        struct stat status {};
        if (::stat(file.c_str(), &status) != 0)
            return;
        stamps[file] = {static_cast<unsigned long long>(status.st_dev), static_cast<unsigned long long>(status.st_ino),
                        static_cast<unsigned long long>(status.st_size),
                        static_cast<long long>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
    };
    add(appointments_.folder / kScheduleFile);
    add(appointmentRecord());
    std::error_code error;
    for (std::filesystem::directory_iterator entry(tasks_.folder, error), end; !error && entry != end;
         entry.increment(error))
        add(entry->path());
    return stamps;
}

bool ReminderKeeper::lookAtFiles(const CalendarMoment& now)
{
    Stamps stamps = stampsNow();
    if (stamps == seen_)
        return false;
    seen_ = std::move(stamps);
    readSources();
    for (Book* book : {&appointments_, &tasks_})
        readRecord(*book, now);
    return true;
}

void ReminderKeeper::readSources()
{
    // A calendar that cannot be read now keeps reminding of what it held
    // when it last could be.
    appointments_.folder = joinPath(programFolder_, kScheduleFolder);
    tasks_.folder = joinPath(programFolder_, kTasksFolder);
    const std::filesystem::path schedule = joinPath(appointments_.folder, kScheduleFile);
    std::error_code missing;
    try {
        // No scheduler file yet (it was never used): nothing to remind of, nothing to say.
        if (!std::filesystem::exists(std::filesystem::symlink_status(schedule, missing)))
            appointments_.sources.appointments.clear();
        else
            appointments_.sources.appointments = readCalendar(schedule).events();
    } catch (const CalendarDamaged& damaged) {
        tell("Nie można odczytać przypomnień terminarza " + schedule.string() + ": " + damaged.what());
    } catch (const IoError& error) {
        tell(failureText(error));
    }

    std::vector<ContactTasks> calendars;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(tasks_.folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        try {
            contactFile(tasks_.folder, name, ".adr");
        } catch (const std::invalid_argument&) {
            continue; // not a contact's task calendar
        }
        std::error_code kind;
        if (!entry->is_regular_file(kind))
            continue;
        try {
            const CalendarDocument document = readCalendar(entry->path());
            calendars.push_back({name, document.name(), document.address(), document.tasks()});
            continue;
        } catch (const CalendarDamaged& damaged) {
            tell("Nie można odczytać zadań z pliku " + entry->path().string() + ": " + damaged.what());
        } catch (const IoError& failure) {
            tell(failureText(failure));
        }
        const auto before = std::find_if(tasks_.sources.taskCalendars.begin(), tasks_.sources.taskCalendars.end(),
                                         [&name](const ContactTasks& calendar) { return calendar.file == name; });
        if (before != tasks_.sources.taskCalendars.end())
            calendars.push_back(*before);
    }
    std::sort(calendars.begin(), calendars.end(),
              [](const ContactTasks& a, const ContactTasks& b) { return a.file < b.file; });
    tasks_.sources.taskCalendars = std::move(calendars);
}

void ReminderKeeper::readRecord(Book& book, const CalendarMoment& now)
{
    if (!isFolder(book.folder))
        return;
    const std::filesystem::path file = book.folder / kReminderStateName;
    try {
        const std::optional<ReminderState> stored = readReminderState(file);
        book.writable = true;
        if (!stored)
            return;
        book.state.merge(*stored);
        book.state.since = std::min(book.state.since, stored->since);
    } catch (const ReminderStateDamaged& damaged) {
        // Kept aside for whoever wants to look; the record starts again from
        // what this run knows, which at a start is nothing before it.
        try {
            const std::filesystem::path aside = keepDamagedAside(file, timePointOf(now));
            book.writable = true;
            tell(std::string("Zapis przypomnień jest uszkodzony — ") + damaged.what() +
                 " Przeniesiono go do pliku " + aside.string() +
                 "; przypomnienia sprzed uruchomienia programu nie zostaną pokazane.");
        } catch (const IoError& error) {
            book.writable = false;
            tell(std::string("Zapis przypomnień jest uszkodzony — ") + damaged.what() + " " + failureText(error));
        }
    } catch (const IoError& error) {
        // What could not be read is not written over.
        book.writable = false;
        tell(failureText(error));
    }
}

void ReminderKeeper::store(Book& book, const CalendarMoment& now)
{
    if (!isFolder(book.folder))
        return;
    // Whatever another program stored meanwhile is kept.
    readRecord(book, now);
    if (!book.writable)
        return;
    book.state.prune(addMinutes(now, -kMissedLookBackMinutes - 24 * 60));
    const std::filesystem::path file = book.folder / kReminderStateName;
    try {
        writeReminderState(file, book.state);
    } catch (const IoError& error) {
        tell(failureText(error));
    }
    // This program's own write is no change to look at.
    if (const Stamps now = stampsNow(); now.contains(file))
        seen_[file] = now.at(file);
}

void ReminderKeeper::takeDueOf(Book& book, const CalendarMoment& now, std::vector<Due>& due)
{
    const CalendarMoment from = std::max(book.state.since, addMinutes(now, -kMissedLookBackMinutes));
    std::vector<Reminder> fresh;
    for (Reminder& reminder : remindersBetween(book.sources, from, now)) {
        if (!book.state.marks.contains(reminder.key))
            fresh.push_back(std::move(reminder));
    }
    const auto snoozeEnded = [&now](const auto& entry) {
        return entry.second.snoozedUntil && !(now < *entry.second.snoozedUntil);
    };
    if (fresh.empty() && std::none_of(book.state.marks.begin(), book.state.marks.end(), snoozeEnded))
        return;
    // Another copy of the program (another workstation) may have shown them meanwhile.
    readRecord(book, now);
    const std::size_t first = due.size();
    for (Reminder& reminder : fresh) {
        if (!book.state.marks.emplace(reminder.key, ReminderMark{reminder.at, std::nullopt}).second)
            continue;
        const bool missed = reminder.at < started_;
        due.push_back({std::move(reminder), missed});
    }
    for (auto& [key, mark] : book.state.marks) {
        if (!mark.snoozedUntil || now < *mark.snoozedUntil)
            continue;
        const bool missed = *mark.snoozedUntil < started_;
        mark.snoozedUntil.reset();
        // An item changed or deleted meanwhile has nothing left to remind of.
        for (Reminder& reminder : remindersBetween(book.sources, mark.at, mark.at)) {
            if (reminder.key == key) {
                due.push_back({std::move(reminder), missed});
                break;
            }
        }
    }
    std::stable_sort(due.begin() + static_cast<std::ptrdiff_t>(first), due.end(),
                     [](const Due& a, const Due& b) { return a.reminder.at < b.reminder.at; });
    store(book, now);
}

std::vector<ReminderKeeper::Due> ReminderKeeper::takeDue(const CalendarMoment& now)
{
    std::vector<Due> due;
    takeDueOf(appointments_, now, due);
    takeDueOf(tasks_, now, due);
    return due;
}

void ReminderKeeper::snooze(const Reminder& reminder, int minutes, const CalendarMoment& now)
{
    Book& book = reminder.source == Reminder::Source::Appointment ? appointments_ : tasks_;
    book.state.marks[reminder.key] = ReminderMark{reminder.at, addMinutes(now, minutes)};
    store(book, now);
}

std::optional<CalendarMoment> ReminderKeeper::nextDueOf(const Book& book, const CalendarMoment& now) const
{
    std::optional<CalendarMoment> next;
    const auto consider = [&next](const CalendarMoment& at) {
        if (!next || at < *next)
            next = at;
    };
    const CalendarMoment last = addMinutes(now, kLookAheadMinutes);
    for (const Reminder& reminder : remindersBetween(book.sources, addMinutes(now, 1), last)) {
        if (!book.state.marks.contains(reminder.key)) {
            consider(reminder.at);
            break;
        }
    }
    for (const auto& [key, mark] : book.state.marks) {
        if (mark.snoozedUntil && now < *mark.snoozedUntil)
            consider(*mark.snoozedUntil);
    }
    return next;
}

std::optional<CalendarMoment> ReminderKeeper::nextDue(const CalendarMoment& now) const
{
    const std::optional<CalendarMoment> appointment = nextDueOf(appointments_, now);
    const std::optional<CalendarMoment> task = nextDueOf(tasks_, now);
    if (appointment && task)
        return std::min(*appointment, *task);
    return appointment ? appointment : task;
}

void ReminderKeeper::tell(std::string notice)
{
    if (told_.insert(notice).second)
        notices_.push_back(std::move(notice));
}

std::vector<std::string> ReminderKeeper::takeNotices()
{
    return std::exchange(notices_, {});
}

} // namespace wirtello
