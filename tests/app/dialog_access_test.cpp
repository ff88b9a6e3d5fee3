// The real platform's dialogs for the keyboard and a screen reader: each takes
// the keyboard when shown and gives it back when closed, also to a window no
// dialog of ours belongs to, and names its lists by their labels.
#include "main_window_fixture.h"

#include "admin/about_window.h"
#include "platform/qt_platform.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>

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
        [&] { platform.openFile({QStringLiteral("Wybierz zdjęcie"), QStringLiteral("Zdjęcia cyfrowe|*.jpg"), {}, {}, {}}); },
        [&] { platform.saveFile({QStringLiteral("Zapisz jako"), QStringLiteral("Pliki PDF|*.pdf"), {}, {}, {}}); },
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

} // namespace
} // namespace wirtello::test
