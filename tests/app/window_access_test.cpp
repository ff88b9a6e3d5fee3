// What a screen reader and the keyboard find in each window: every control
// that takes the focus has a name, and Escape reaches the window's way back.
#include "main_window_fixture.h"

#include "admin/about_window.h"
#include "admin/admin_tools_window.h"
#include "admin/run_history_window.h"
#include "cash/company_window.h"
#include "cash/text_editor_window.h"
#include "envelope/envelope_window.h"

#include <QAccessible>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace wirtello::test {
namespace {

// Every focusable control below `node` without an accessible name, named by its class.
void collectNameless(QAccessibleInterface* node, QStringList& nameless)
{
    if (!node)
        return;
    const QAccessible::State state = node->state();
    if (state.focusable && !state.invisible && !state.disabled && node->text(QAccessible::Name).trimmed().isEmpty())
        nameless << QString::fromLatin1(node->object() ? node->object()->metaObject()->className() : "?")
                        + QStringLiteral(" at ") + QString::number(node->rect().x()) + QLatin1Char(',')
                        + QString::number(node->rect().y());
    for (int i = 0; i < node->childCount(); ++i)
        collectNameless(node->child(i), nameless);
}

struct WindowCase {
    const char* name;
    std::function<std::unique_ptr<ProgramWindow>(MainWindowTest&)> make;
    QString wayBack; // the button Escape presses
    bool asks;       // ... with "Koniec pracy ?", answered "Nie"
};

class WindowAccess : public MainWindowTest, public ::testing::WithParamInterface<WindowCase> {
public:
    AppData& appData() { return data; }
    ScriptedPlatform& scripted() { return platform; }
    CurrentPrintFont& font() { return printFont; }
};

#define MAKE(expr) [](MainWindowTest& t) -> std::unique_ptr<ProgramWindow> { \
    auto& f = static_cast<WindowAccess&>(t); (void)f; return expr; }

const WindowCase kWindows[] = {
    {"Main", MAKE(nullptr), QStringLiteral("Koniec"), true},
    {"Envelope", MAKE(std::make_unique<Tkoperta_f>(f.appData(), f.scripted(), f.font())), QStringLiteral("Koniec"), true},
    {"Company", MAKE(std::make_unique<Tfirma_f>(f.appData(), f.scripted())), QStringLiteral("Rezygnuj"), false},
    {"Editor", MAKE(std::make_unique<Tlogowania_f>(f.appData(), f.scripted(), f.font())), QStringLiteral("Powrót"), false},
    {"History", MAKE(std::make_unique<Thisto_f>(f.appData(), f.scripted())), QStringLiteral("Powrót"), false},
    {"Tools", MAKE(std::make_unique<Tnarzedzia_f>(f.appData(), f.scripted())), QStringLiteral("Powrót"), false},
    {"About", MAKE(std::make_unique<Tform3>(f.scripted())), QStringLiteral("Powrót"), false},
};

TEST_P(WindowAccess, EveryFocusableControlHasAName)
{
    start();
    std::unique_ptr<ProgramWindow> other = GetParam().make(*this);
    QWidget* shown = other ? static_cast<QWidget*>(other.get()) : window.get();
    shown->show();
    QStringList nameless;
    collectNameless(QAccessible::queryAccessibleInterface(shown), nameless);
    EXPECT_TRUE(nameless.isEmpty()) << nameless.join(QStringLiteral("; ")).toStdString();
    // Every button can be reached with Tab.
    for (const QToolButton* button : shown->findChildren<QToolButton*>()) {
        if (!button->isVisibleTo(shown) || button->text().isEmpty())
            continue;
        EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus) << button->text().toStdString();
    }

    // Escape is the window's way back, with its question where it has one.
    shown->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
    QToolButton* back = nullptr;
    for (QToolButton* button : shown->findChildren<QToolButton*>())
        if (button->text() == GetParam().wayBack)
            back = button;
    ASSERT_NE(back, nullptr);
    int pressed = 0;
    QObject::connect(back, &QAbstractButton::clicked, [&pressed] { ++pressed; });
    if (GetParam().asks)
        platform.askAnswers = {false};
    QTest::keyClick(shown, Qt::Key_Escape);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(platform.asked, GetParam().asks ? QStringList{"Koniec pracy ?"} : QStringList());
    platform.unanswered = 0;
}

TEST_F(WindowAccess, TheMakersMarkIsAButtonThatOpensTheAboutWindow)
{
    Tform3 about(platform);
    windows.add(WindowRole::About, &about);
    start();
    QAccessibleInterface* mark = QAccessible::queryAccessibleInterface(window->Label2);
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->role(), QAccessible::Button);
    EXPECT_EQ(mark->text(QAccessible::Name), QStringLiteral("© Wirtello"));
    window->Label2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->Label2, Qt::Key_Space);
    EXPECT_TRUE(about.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowAccess, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace wirtello::test
