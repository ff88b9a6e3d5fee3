// The real platform's dialogs for the keyboard and a screen reader: each takes
// the keyboard when shown and gives it back when closed, also to a window no
// dialog of ours belongs to, and names its lists by their labels.
#include "main_window_fixture.h"

#include "admin/about_window.h"
#include "platform/keyboard_access.h"
#include "platform/qt_platform.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace wirtello::test {
namespace {

// Acts on the next modal dialog once the event loop runs.
void whenDialogOpens(std::function<void(QDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

TEST(DialogAccess, BoxesTakeTheKeyboardAndGiveItBackToTheWindowThatHadIt)
{
    QtPlatform platform;
    QWidget window; // a window of no dialog's own, as a companion's is
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const std::function<void()> boxes[] = {
        [&] { platform.inform(QStringLiteral("Informacja")); },
        [&] { platform.ask(QStringLiteral("Koniec pracy ?")); },
        [&] { platform.askYesNoCancel(QStringLiteral("Zapisać zmiany kontaktu ?")); },
        [&] { platform.inputText(QStringLiteral("Definiowanie kontaktu"), QStringLiteral("Podaj nazwę")); },
    };
    for (const auto& box : boxes) {
        bool hadKeyboard = false;
        whenDialogOpens([&hadKeyboard](QDialog& dialog) {
            hadKeyboard = QTest::qWaitForWindowActive(&dialog);
            dialog.reject();
        });
        box();
        EXPECT_TRUE(hadKeyboard);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        EXPECT_EQ(QApplication::activeWindow(), &window);
    }
}

TEST(DialogAccess, FontDialogNamesItsListsByTheirLabelsAndSaysTheChoiceAsValue)
{
    QtPlatform platform;
    QStringList names, values;
    whenDialogOpens([&](QDialog& dialog) {
        for (const char* name : {"face", "colour"}) {
            QAccessibleInterface* list =
                QAccessible::queryAccessibleInterface(dialog.findChild<QComboBox*>(QLatin1String(name)));
            names << list->text(QAccessible::Name);
            values << list->text(QAccessible::Value);
        }
        dialog.reject();
    });
    platform.chooseFont(FontChoice{0x000000FF, "Tahoma", 8, 0});
    EXPECT_EQ(names, QStringList({QStringLiteral("Czcionka"), QStringLiteral("Kolor")}));
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values[1], QStringLiteral("Czerwony"));
}

class AboutAccess : public MainWindowTest {};

TEST_F(AboutAccess, TheAboutWindowIsNamedAndGivesTheKeyboardBackToTheMainWindow)
{
    Tform3 about(platform);
    windows.add(WindowRole::About, &about);
    start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    auto* mark = control<QLabel>(*window, "Label2");
    mark->setFocus(Qt::TabFocusReason);
    QTest::keyClick(mark, Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&about)->text(QAccessible::Name), QStringLiteral("O programie"));

    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::activeWindow(), window.get());
}

// What a screen reader would be told, event by event.
bool told(QObject* from, QAccessible::Event kind)
{
    if (kind == QAccessible::StateChanged) {
        QAccessible::State greyed;
        greyed.disabled = true;
        QAccessibleStateChangeEvent event(from, greyed);
        return announceable(event);
    }
    QAccessibleEvent event(from, kind);
    return announceable(event);
}

TEST_F(AboutAccess, OnlyTheFocusedControlSpeaksAndAClosingWindowIsSilent)
{
    Tform3 about(platform);
    start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QToolButton* save = toolButton("SpeedButton9");
    save->setFocus(Qt::TabFocusReason);

    // The list moved while the button has the focus, as after a question, keeps quiet.
    for (const QAccessible::Event kind : {QAccessible::Focus, QAccessible::SelectionAdd, QAccessible::SelectionRemove,
                                          QAccessible::Selection, QAccessible::SelectionWithin}) {
        EXPECT_FALSE(told(list(), kind)) << kind;
        EXPECT_TRUE(told(save, kind)) << kind;
    }
    EXPECT_TRUE(told(list(), QAccessible::NameChanged));
    list()->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(told(list(), QAccessible::SelectionAdd));

    // A window going away greys its buttons only once hidden, and hidden ones say nothing.
    about.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    QToolButton* back = about.findChildren<QToolButton*>().constFirst();
    EXPECT_TRUE(told(back, QAccessible::StateChanged));
    bool shownWhenGreyed = false;
    struct Watch : QObject {
        bool* shown;
        QWidget* window;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::EnabledChange)
                *shown = *shown || window->isVisible();
            return false;
        }
    } watch;
    watch.shown = &shownWhenGreyed;
    watch.window = &about;
    back->installEventFilter(&watch);
    about.dismiss();
    back->removeEventFilter(&watch);
    EXPECT_FALSE(shownWhenGreyed);
    EXPECT_FALSE(told(back, QAccessible::StateChanged));
    EXPECT_TRUE(told(back, QAccessible::ObjectHide));
}

} // namespace
} // namespace wirtello::test
