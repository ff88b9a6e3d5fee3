#include "reminder_watcher.h"

#include "reminder_window.h"

#include "platform/desktop_notifications.h"
#include "platform/handler_guard.h"
#include "platform/platform.h"

namespace wirtello {
namespace {

// How often the files' stamps are looked at: a few stat calls.
constexpr int kLookIntervalMs = 30 * 1000;
// The timer wakes at least this often, so a day's change or a clock set
// differently is never missed by long.
constexpr qint64 kLongestSleepMs = 60 * 60 * 1000;

CalendarMoment momentOf(const QDateTime& moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    return {{date.year(), date.month(), date.day()}, {time.hour(), time.minute()}};
}

QDateTime dateTimeOf(const CalendarMoment& moment)
{
    return QDateTime(QDate(moment.date.year, moment.date.month, moment.date.day),
                     QTime(moment.time.hour, moment.time.minute));
}

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ReminderWatcher::ReminderWatcher(Platform& platform, std::filesystem::path programFolder,
                                 DesktopNotifications* notifications, QObject* parent)
    : QObject(parent), platform_(platform), programFolder_(std::move(programFolder)), notifications_(notifications)
{
    wake_.setObjectName(QStringLiteral("przypomnieniaBudzik"));
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    look_.setObjectName(QStringLiteral("przypomnieniaPliki"));
    look_.setInterval(kLookIntervalMs);
    connect(&wake_, &QTimer::timeout, this, [this] { runGuarded(platform_, [this] { check(); }); });
    connect(&look_, &QTimer::timeout, this, [this] { runGuarded(platform_, [this] { lookAtFiles(); }); });
}

ReminderWatcher::~ReminderWatcher() = default;

void ReminderWatcher::start()
{
    // Reminders that cannot be watched never keep the program from starting.
    runGuarded(platform_, [this] {
        keeper_ = std::make_unique<ReminderKeeper>(programFolder_, momentOf(platform_.now()));
    });
    if (!keeper_)
        return;
    if (notifications_) {
        connect(notifications_, &DesktopNotifications::actionInvoked, this,
                [this](const QString& tag, const QString& action) {
                    runGuarded(platform_, [&] { answer(tag, action); });
                });
        connect(notifications_, &DesktopNotifications::closed, this, [this](const QString& tag) { shown_.erase(tag); });
        connect(notifications_, &DesktopNotifications::failed, this, [this](const QString& tag) { showInWindow(tag); });
    }
    look_.start();
    planned_ = platform_.now();
    wake_.start(0);
}

void ReminderWatcher::check()
{
    if (!keeper_)
        return;
    for (const ReminderKeeper::Due& due : keeper_->takeDue(momentOf(platform_.now())))
        show(due);
    tellNotices();
    plan();
}

void ReminderWatcher::lookAtFiles()
{
    if (!keeper_)
        return;
    const bool changed = keeper_->lookAtFiles(momentOf(platform_.now()));
    tellNotices();
    if (changed || !(platform_.now() < planned_))
        check();
}

void ReminderWatcher::plan()
{
    const QDateTime now = platform_.now();
    const std::optional<CalendarMoment> next = keeper_->nextDue(momentOf(now));
    const qint64 sleep =
        next ? std::clamp(now.msecsTo(dateTimeOf(*next)), qint64(0), kLongestSleepMs) : kLongestSleepMs;
    planned_ = now.addMSecs(sleep);
    wake_.start(static_cast<int>(sleep));
}

void ReminderWatcher::show(const ReminderKeeper::Due& due)
{
    const QString tag = fromUtf8(due.reminder.key);
    shown_[tag] = {due.reminder, fromUtf8(reminderSummary(due.reminder, due.missed)),
                   fromUtf8(reminderBody(due.reminder))};
    if (!notifications_) {
        showInWindow(tag);
        return;
    }
    notifications_->show(tag, shown_[tag].summary, shown_[tag].body,
                         {{QStringLiteral("odloz-5"), QStringLiteral("Odłóż 5 min")},
                          {QStringLiteral("odloz-15"), QStringLiteral("Odłóż 15 min")},
                          {QStringLiteral("odloz-60"), QStringLiteral("Odłóż 60 min")},
                          {QStringLiteral("otworz"), QStringLiteral("Otwórz")}});
}

void ReminderWatcher::showInWindow(const QString& tag)
{
    const auto found = shown_.find(tag);
    if (found == shown_.end())
        return;
    if (!window_)
        window_ = std::make_unique<ReminderWindow>(
            platform_, [this](const QString& chosen, const QString& action) { answer(chosen, action); });
    window_->add(tag, found->second.summary, found->second.body);
}

void ReminderWatcher::answer(const QString& tag, const QString& action)
{
    const auto found = shown_.find(tag);
    if (found == shown_.end() || !keeper_)
        return;
    const Reminder reminder = found->second.reminder;
    shown_.erase(found);
    const int snoozeMinutes = action == QStringLiteral("odloz-5")    ? 5
                              : action == QStringLiteral("odloz-15") ? 15
                              : action == QStringLiteral("odloz-60") ? 60
                                                                     : 0;
    if (snoozeMinutes > 0) {
        keeper_->snooze(reminder, snoozeMinutes, momentOf(platform_.now()));
        tellNotices();
        plan();
    } else if (action == QStringLiteral("otworz")) {
        platform_.exec(fromUtf8(reminderOpenCommand(reminder)), programFolder_);
    }
}

void ReminderWatcher::tellNotices()
{
    for (const std::string& notice : keeper_->takeNotices())
        platform_.inform(fromUtf8(notice));
}

} // namespace wirtello
