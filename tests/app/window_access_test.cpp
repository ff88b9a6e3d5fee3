// What the keyboard and a screen reader find in each window: names on every
// focusable control, Tab through every button in the order they stand with a
// focus frame, the print key, help panels holding the keyboard, and Escape.
#include "main_window_fixture.h"

#include "admin/about_window.h"
#include "admin/admin_tools_window.h"
#include "admin/run_history_window.h"
#include "cash/cash_document_window.h"
#include "cash/company_window.h"
#include "cash/text_editor_window.h"
#include "envelope/envelope_window.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <filesystem>
#include <functional>

namespace wirtello::test {
namespace {

// Every focusable control below `node` without an accessible name.
void collectNameless(QAccessibleInterface* node, QStringList& nameless)
{
    if (!node->object())
        return; // a cell of a grid or list, read with its row and column header
    const QAccessible::State state = node->state();
    if (state.focusable && !state.invisible && !state.disabled && node->text(QAccessible::Name).trimmed().isEmpty())
        nameless << QString::fromLatin1(node->object()->metaObject()->className()) + QStringLiteral(" at ")
                        + QString::number(node->rect().x()) + QLatin1Char(',') + QString::number(node->rect().y());
    for (int i = 0; i < node->childCount(); ++i)
        collectNameless(node->child(i), nameless);
}

class WindowAccess;

struct WindowCase {
    const char* name;
    std::function<std::unique_ptr<ProgramWindow>(WindowAccess&)> make;
    QString wayBack;    // the button Escape presses...
    bool asks;          // ... asking "Koniec pracy ?" (answered "Nie")
    QString printer;    // the button Ctrl+P presses, if any
    QString help;       // the button that opens a help panel, if any
};

class WindowAccess : public MainWindowTest, public ::testing::WithParamInterface<WindowCase> {
public:
    AppData& appData() { return data; }
    ScriptedPlatform& scripted() { return platform; }
    CurrentPrintFont& font() { return printFont; }
    // A KP as the main window opens it, with the text editor it needs.
    std::unique_ptr<ProgramWindow> cashDocument()
    {
        std::filesystem::create_directory(folder.path() / "DOKUMENTY");
        kpEditor = std::make_unique<Tlogowania_f>(data, platform, printFont);
        auto kp = std::make_unique<Tkp_f>(data, platform, printFont, *kpEditor);
        kp->prepareDocument(DocumentKind::Kp, QStringLiteral("Jan"), QStringLiteral("Kowalski"), {}, {}, {});
        return kp;
    }
    std::unique_ptr<Tlogowania_f> kpEditor;

    QToolButton* button(QWidget* shown, const QString& text)
    {
        for (QToolButton* found : shown->findChildren<QToolButton*>())
            if (found->text() == text)
                return found;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }
    // How often the button is pressed while `act` runs.
    int presses(QToolButton* pressed, const std::function<void()>& act)
    {
        int count = 0;
        const auto connection = QObject::connect(pressed, &QAbstractButton::clicked, [&count] { ++count; });
        act();
        QObject::disconnect(connection);
        return count;
    }
};

#define MAKE(expr) []([[maybe_unused]] WindowAccess& f) -> std::unique_ptr<ProgramWindow> { return expr; }

const WindowCase kWindows[] = {
    {"Main", MAKE(nullptr), "Koniec", true, "Drukuj", "Info"},
    {"Envelope", MAKE(std::make_unique<Tkoperta_f>(f.appData(), f.scripted(), f.font())), "Koniec", true,
     QStringLiteral("Drukuj kopertę"), "Pomoc"},
    {"CashDocument", MAKE(f.cashDocument()), QStringLiteral("Powrót"), false, "Drukuj dokument", "Pomoc"},
    {"Company", MAKE(std::make_unique<Tfirma_f>(f.appData(), f.scripted())), "Rezygnuj", false, {}, {}},
    {"Editor", MAKE(std::make_unique<Tlogowania_f>(f.appData(), f.scripted(), f.font())), QStringLiteral("Powrót"),
     false, "Drukuj", {}},
    {"History", MAKE(std::make_unique<Thisto_f>(f.appData(), f.scripted())), QStringLiteral("Powrót"), false, {}, {}},
    {"Tools", MAKE(std::make_unique<Tnarzedzia_f>(f.appData(), f.scripted())), QStringLiteral("Powrót"), false, {}, {}},
    {"About", MAKE(std::make_unique<Tform3>(f.scripted())), QStringLiteral("Powrót"), false, {}, {}},
};

TEST_P(WindowAccess, KeyboardAndScreenReaderReachEverything)
{
    const WindowCase& row = GetParam();
    start();
    std::unique_ptr<ProgramWindow> other = row.make(*this);
    QWidget* shown = other ? static_cast<QWidget*>(other.get()) : window.get();
    if (other)
        other->open();
    else
        shown->show();
    shown->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
    QStringList nameless;
    collectNameless(QAccessible::queryAccessibleInterface(shown), nameless);
    EXPECT_TRUE(nameless.isEmpty()) << nameless.join(QStringLiteral("; ")).toStdString();

    // Tab goes round every button; within a panel top to bottom, left to right.
    QList<QToolButton*> buttons;
    for (QToolButton* found : shown->findChildren<QToolButton*>())
        if (found->isVisible() && !found->text().isEmpty())
            buttons << found;
    ASSERT_FALSE(buttons.isEmpty());
    buttons.front()->clearFocus();
    buttons.front()->setFocus(Qt::TabFocusReason);
    const QImage framed = buttons.front()->grab().toImage();
    QList<QWidget*> visited;
    for (int i = 0; i < 80 && !visited.contains(QApplication::focusWidget()); ++i) {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_NE(buttons.front()->grab().toImage(), framed); // the focus frame went with the focus
    QToolButton* before = nullptr;
    for (QWidget* widget : visited) {
        auto* reached = qobject_cast<QToolButton*>(widget);
        if (!reached)
            continue;
        if (before && before->parentWidget() == reached->parentWidget()) {
            EXPECT_TRUE(before->y() < reached->y() || before->x() < reached->x()) << reached->text().toStdString();
        }
        before = reached;
    }
    for (QToolButton* each : buttons)
        EXPECT_TRUE(visited.contains(each)) << each->text().toStdString();

    if (!row.printer.isEmpty()) {
        platform.printerFactory = [] { return nullptr; };
        EXPECT_EQ(presses(button(shown, row.printer),
                          [&] { QTest::keyClick(shown, Qt::Key_P, Qt::ControlModifier); }), 1);
    }
    if (!row.help.isEmpty()) { // the panel takes the keyboard; Escape closes it, not the window
        QLineEdit* under = shown->findChild<QLineEdit*>();
        under->setFocus(Qt::TabFocusReason);
        const QString text = under->text();
        button(shown, row.help)->click();
        QTest::keyClicks(under, "xyz");
        EXPECT_EQ(under->text(), text);
        // The help text itself is read first, named, and Tab goes on within the panel.
        if (auto* help = qobject_cast<QTextEdit*>(QApplication::focusWidget())) {
            EXPECT_EQ(help->accessibleName(), QStringLiteral("Pomoc"));
            QTest::keyClick(help, Qt::Key_Tab);
            EXPECT_NE(QApplication::focusWidget(), help);
            EXPECT_TRUE(help->parentWidget()->isAncestorOf(QApplication::focusWidget()));
        } else {
            EXPECT_TRUE(std::string(row.name) != "Main" && std::string(row.name) != "Envelope");
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_TRUE(platform.asked.isEmpty());
        EXPECT_TRUE(under->hasFocus());
    }

    // Escape is the window's way back, with its question where it has one.
    if (row.asks)
        platform.askAnswers = {false};
    EXPECT_EQ(presses(button(shown, row.wayBack), [&] { QTest::keyClick(shown, Qt::Key_Escape); }), 1);
    EXPECT_EQ(platform.asked, row.asks ? QStringList{"Koniec pracy ?"} : QStringList());
    platform.unanswered = 0;
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowAccess, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowAccess, TheMakersMarkIsAButtonThatOpensTheAboutWindow)
{
    Tform3 about(platform);
    windows.add(WindowRole::About, &about);
    start();
    QAccessibleInterface* mark = QAccessible::queryAccessibleInterface(control<QLabel>(*window, "Label2"));
    EXPECT_EQ(mark->role(), QAccessible::Button);
    EXPECT_EQ(mark->text(QAccessible::Name), QStringLiteral("© Wirtello"));
    control<QLabel>(*window, "Label2")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control<QLabel>(*window, "Label2"), Qt::Key_Space);
    EXPECT_TRUE(about.isVisible());
}

} // namespace
} // namespace wirtello::test
