// The main program's reminder watcher: a reminder set a minute ahead reaches
// a notification service on a real (private) session bus while only the main
// window is open, its choices put it off and open the scheduler; without a
// service the program's own window offers the same choices; changes on disk
// move the timer; a damaged record is told.

#include "app/program.h"
#include "app/reminder_watcher.h"
#include "app/reminder_window.h"
#include "companions/calendar_kit/calendar_file.h"
#include "companions/grafik/schedule_window.h"
#include "companions/kalendarium/task_window.h"
#include "platform/command_line.h"
#include "store/safe_file.h"
#include "platform/dbus_notifications.h"

#include "tests/companions/companion_test_files.h"
#include "tests/companions/companion_window_checks.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::readText;
const auto kNow = test::kCalendarNow;

// The scripted clock starts at 2026-12-06 09:05:07.
CalendarMoment at(int hour, int minute)
{
    return {{2026, 12, 6}, {hour, minute}};
}

std::string appoint(const fs::path& programFolder, const std::string& title, CalendarMoment start, int reminder)
{
    CalendarEvent event;
    event.title = title;
    event.start = start;
    event.end = addMinutes(start, 30);
    event.reminderMinutes = reminder;
    std::string uid;
    changeCalendar(programFolder / "grafik/terminarz.ics", [&](CalendarDocument& d) { uid = d.putEvent(event, kNow); });
    return uid;
}

// Runs the event loop until `done`; the limit only keeps a broken bus from hanging the run.
template <typename Done>
bool waitFor(Done done)
{
    const QDeadlineTimer limit(60 * 1000);
    while (!done() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

// A private session bus for the test, stopped however the test ends; no
// service is started on demand on it.
class PrivateBus {
public:
    explicit PrivateBus(const fs::path& folder)
    {
        const fs::path config = folder / "bus.conf";
        std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                 " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                 "<busconfig><type>session</type><listen>unix:dir="
                              << folder.string()
                              << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                 "<allow own=\"*\"/></policy></busconfig>\n";
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + QString::fromStdString(config.string()),
                       QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!daemon_.waitForStarted(30 * 1000))
            return;
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(30 * 1000)) {
        }
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        daemon_.kill();
        daemon_.waitForFinished(30 * 1000);
    }
    const QString& address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

// Stands in for the desktop's notification service: owns its name on the
// bus, records each Notify and answers with the user's choice when told.
class NotificationListener : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString summary;
        QString body;
        QStringList actions;
        int timeout = -1;
    };

    explicit NotificationListener(const QString& address)
        : bus_(QDBusConnection::connectToBus(address, QStringLiteral("listener")))
    {
        bus_.registerObject(QString::fromLatin1(kNotificationPath), this, QDBusConnection::ExportAllSlots);
        owned_ = bus_.registerService(QString::fromLatin1(kNotificationService));
    }
    ~NotificationListener() override { QDBusConnection::disconnectFromBus(QStringLiteral("listener")); }
    bool ready() const { return owned_; }

    // The user clicks `action` on the last notification.
    void choose(const QString& action)
    {
        const uint id = static_cast<uint>(calls.size());
        for (const auto& [signal, argument] : {std::pair{"ActionInvoked", QVariant(action)},
                                               std::pair{"NotificationClosed", QVariant(2u)}}) {
            QDBusMessage message = QDBusMessage::createSignal(QString::fromLatin1(kNotificationPath),
                                                              QStringLiteral("org.freedesktop.Notifications"),
                                                              QString::fromLatin1(signal));
            message << id << argument;
            bus_.send(message);
        }
    }

    std::vector<Call> calls;

public slots:
    uint Notify(const QString& /*app*/, uint /*replaces*/, const QString& /*icon*/, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& /*hints*/, int timeout)
    {
        calls.push_back({summary, body, actions, timeout});
        return static_cast<uint>(calls.size());
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
    void CloseNotification(uint /*id*/) {}

private:
    QDBusConnection bus_;
    bool owned_ = false;
};

// Tells nothing to any service: every reminder is refused, or answered as the test says.
class ScriptedNotifications : public DesktopNotifications {
public:
    void show(const QString& tag, const QString& summary, const QString&, const QList<NotificationAction>&) override
    {
        shown << summary;
        tags << tag;
        if (refuse)
            QMetaObject::invokeMethod(this, [this, tag] { emit failed(tag); }, Qt::QueuedConnection);
    }
    bool refuse = false;
    QStringList shown;
    QStringList tags;
};

class ReminderWatcherTest : public ::testing::Test {
protected:
    ReminderWatcherTest() { fs::create_directories(folder / "kalendarium"); }

    void setClock(int hour, int minute) { platform.clock = QDateTime(QDate(2026, 12, 6), QTime(hour, minute)); }

    test::TempFolder folder{"Admini", "NOTATKI", "LOGO", "FONT", "grafik"};
    ScriptedPlatform platform;
    AppData data{folder.path()};
};

TEST_F(ReminderWatcherTest, AReminderAMinuteAheadReachesTheNotificationServiceWhileOnlyTheMainWindowIsOpen)
{
    PrivateBus bus(folder.path());
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    NotificationListener listener(bus.address());
    ASSERT_TRUE(listener.ready());
    const QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("program"));
    DbusNotifications notifications(client);

    const std::string uid = appoint(folder.path(), "Narada", at(9, 21), 15); // reminded at 9:06
    Program program(data, platform, &notifications);
    program.reminders().check();
    // Asleep until the minute comes, not looking again and again.
    EXPECT_TRUE(program.reminders().wakeTimer().isActive());
    EXPECT_EQ(program.reminders().wakeTimer().interval(), 53'000);

    setClock(9, 6);
    program.reminders().check();
    ASSERT_TRUE(waitFor([&] { return listener.calls.size() == 1; }));
    EXPECT_EQ(listener.calls[0].summary, "Termin: Narada");
    EXPECT_EQ(listener.calls[0].body, "niedziela 6.12.2026, 09:21");
    EXPECT_EQ(listener.calls[0].actions,
              (QStringList{"odloz-5", "Odłóż 5 min", "odloz-15", "Odłóż 15 min", "odloz-60", "Odłóż 60 min",
                           "otworz", "Otwórz"}));
    EXPECT_EQ(listener.calls[0].timeout, 0);

    // "Odłóż 5 min": back at 9:11, and only then.
    listener.choose("odloz-5");
    ASSERT_TRUE(waitFor([&] {
        return readText(folder / "grafik/przypomnienia.txt").find("odlozone") != std::string::npos;
    }));
    EXPECT_EQ(program.reminders().wakeTimer().interval(), 5 * 60 * 1000);
    setClock(9, 10);
    program.reminders().check();
    setClock(9, 11);
    program.reminders().check();
    ASSERT_TRUE(waitFor([&] { return listener.calls.size() == 2; }));
    EXPECT_EQ(listener.calls[1].summary, "Termin: Narada");

    // "Otwórz" starts the scheduler at the appointment, as its button starts it.
    listener.choose("otworz");
    ASSERT_TRUE(waitFor([&] { return !platform.executed.isEmpty(); }));
    EXPECT_EQ(platform.executed,
              QStringList{QString::fromStdString("grafik.exe \"Kalvaro\" --dzien=2026-12-06 --termin=" + uid)});
    EXPECT_EQ(platform.execFolders.at(0), folder.path());
    EXPECT_EQ(listener.calls.size(), 2u);
    EXPECT_TRUE(platform.informed.isEmpty()) << platform.informed.join('\n').toStdString();
    QDBusConnection::disconnectFromBus(QStringLiteral("program"));
}

TEST_F(ReminderWatcherTest, WithoutANotificationServiceTheProgramsOwnWindowOffersTheSameChoices)
{
    appoint(folder.path(), "Narada", at(9, 30), 15);
    appoint(folder.path(), "Obiad", at(9, 31), 15);
    // No bus at all: the notification is refused.
    DbusNotifications notifications(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none")));
    ReminderWatcher watcher(platform, folder.path(), &notifications);
    watcher.start();
    setClock(9, 16);
    watcher.check();
    ASSERT_TRUE(waitFor([&] { return watcher.ownWindow() && watcher.ownWindow()->count() == 2; }));
    ReminderWindow& window = *watcher.ownWindow();
    EXPECT_TRUE(window.isVisible());
    auto* list = window.findChild<QListWidget*>("lista");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->item(0)->text(), "Termin: Narada");
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(window.findChild<QLabel*>("opis")->text(), "niedziela 6.12.2026, 09:31");
    // Reached by the keyboard: Tab goes round the list and the choices, each with its own Alt letter.
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(window.focusWidget(), list);
    QStringList round;
    for (QWidget* control : test::tabRound(&window))
        round << control->objectName();
    EXPECT_EQ(round, (QStringList{"lista", "odloz5", "odloz15", "odloz60", "otworz", "zamknij"}));
    test::expectOwnAltLetters(&window);
    list->setFocus();

    // Alt+1 puts "Obiad" off by 15 minutes; Enter on "Narada" opens the scheduler.
    QTest::keyClick(list, Qt::Key_1, Qt::AltModifier);
    ASSERT_TRUE(waitFor([&] { return list->count() == 1; })); // a key's click comes a moment later
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(platform.executed.size(), 1);
    EXPECT_TRUE(platform.executed[0].startsWith("grafik.exe \"Kalvaro\" --dzien=2026-12-06 --termin="));

    setClock(9, 31);
    watcher.check();
    ASSERT_TRUE(waitFor([&] { return window.count() == 1; }));
    EXPECT_EQ(list->item(0)->text(), "Termin: Obiad");
    EXPECT_TRUE(window.isVisible());
    QApplication::setActiveWindow(&window);
    QTest::keyClick(list, Qt::Key_Z, Qt::AltModifier);
    EXPECT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_EQ(platform.executed.size(), 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

TEST_F(ReminderWatcherTest, AnAppointmentStoredMeanwhileSetsTheTimerAndADamagedRecordIsTold)
{
    test::writeText(folder / "grafik/przypomnienia.txt", "Wirtello: przypomnienia 1\nod wczoraj\n");
    ScriptedNotifications notifications;
    ReminderWatcher watcher(platform, folder.path(), &notifications);
    watcher.start();
    watcher.check();
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].contains("wiersz 2: nieprawidłowa data i godzina"))
        << platform.informed[0].toStdString();
    EXPECT_EQ(watcher.wakeTimer().interval(), 60 * 60 * 1000);

    appoint(folder.path(), "Narada", at(10, 0), 30);
    watcher.lookAtFiles();
    EXPECT_EQ(watcher.wakeTimer().interval(), (24 * 60 + 53) * 1000);
    setClock(9, 30);
    watcher.check();
    EXPECT_EQ(notifications.shown, QStringList{"Termin: Narada"});
    EXPECT_EQ(platform.informed.size(), 1);
}

// The companion started as "Otwórz" starts it: its command line split as the platform splits it.
CompanionStart startOf(const std::string& commandLine, const fs::path& programFolder)
{
    std::vector<std::string> arguments = splitWindowsCommandLine(commandLine);
    arguments.erase(arguments.begin());
    return {arguments, trustFolderTree(programFolder)};
}

TEST_F(ReminderWatcherTest, OpenStartsTheSchedulerAndTheTaskCalendarAtTheRemindedItem)
{
    appoint(folder.path(), "Wcześniej", {{2026, 12, 8}, {9, 0}}, 15);
    appoint(folder.path(), "Narada", {{2026, 12, 8}, {10, 0}}, 15);
    changeCalendar(folder / "kalendarium/007.adr", [](CalendarDocument& d) {
        d.setHeading("Jan Łęcki ", "Łódź Piotrkowska 1");
        for (const char* title : {"Pierwsze", "Oddzwonić"}) {
            CalendarTask task;
            task.title = title;
            task.due = {2026, 12, 8};
            task.dueTime = ClockTime{title[0] == 'P' ? 11 : 12, 0};
            d.putTask(task, kNow);
        }
    });
    ReminderKeeper keeper(folder.path(), {{2026, 12, 8}, {8, 0}});
    ASSERT_EQ(keeper.takeDue({{2026, 12, 8}, {8, 45}}).size(), 1u); // "Wcześniej"
    const auto appointment = keeper.takeDue({{2026, 12, 8}, {9, 45}});
    ASSERT_EQ(keeper.takeDue({{2026, 12, 8}, {11, 0}}).size(), 1u); // "Pierwsze"
    const auto task = keeper.takeDue({{2026, 12, 8}, {12, 0}});
    ASSERT_EQ(appointment.size(), 1u);
    ASSERT_EQ(task.size(), 1u);

    const auto scheduler =
        openScheduleWindow(startOf(reminderOpenCommand(appointment[0].reminder), folder.path()), platform);
    EXPECT_EQ(scheduler->windowTitle(), "Kalvaro");
    EXPECT_EQ(scheduler->findChild<QLineEdit*>("tytul")->text(), "Narada");
    EXPECT_TRUE(scheduler->findChild<QLabel*>("dzienEtykieta")->text().endsWith("8.12.2026"));

    const auto tasks = openTaskWindow(startOf(reminderOpenCommand(task[0].reminder), folder.path()), platform);
    EXPECT_EQ(tasks->findChild<QLineEdit*>("tytul")->text(), "Oddzwonić");
    EXPECT_TRUE(tasks->windowTitle().contains("Jan Łęcki")) << tasks->windowTitle().toStdString();
}

} // namespace

#include "reminder_watcher_test.moc"
