// The envelope window without a mouse: Tab through every control panel by
// panel, the keys of its buttons, and the help panel holding the keyboard.
#include "envelope/envelope_window.h"

#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace wirtello {
namespace {

class EnvelopeKeyboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.open();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    test::TempFolder folder{"Admini", "FONT", "Koperty"};
    AppData data{folder.path()};
    ScriptedPlatform platform;
    CurrentPrintFont font;
    Tkoperta_f window{data, platform, font};
};

TEST_F(EnvelopeKeyboard, KeysPressTheirButtons)
{
    struct Row {
        const char* name;
        QWidget* focus;
        QKeyCombination key;
        QToolButton* pressed;
    };
    const Row rows[] = {
        {"CtrlPInAnEdit", window.o2, Qt::CTRL | Qt::Key_P, window.SpeedButton7},
        {"SpaceOnProfile", window.SpeedButton5, QKeyCombination(Qt::Key_Space), window.SpeedButton5},
        {"EnterOnFont", window.SpeedButton3, QKeyCombination(Qt::Key_Return), window.SpeedButton3},
        {"Escape", window.n1, QKeyCombination(Qt::Key_Escape), window.SpeedButton10},
    };
    platform.printerFactory = [] { return nullptr; };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        platform.askAnswers = {false}; // "Koniec pracy ?"
        platform.openFileAnswers = {std::nullopt};
        platform.fontAnswers = {std::nullopt};
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        const QList<QToolButton*> buttons = window.findChildren<QToolButton*>();
        for (QToolButton* button : buttons)
            spies.push_back(std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked));
        row.focus->setFocus(Qt::TabFocusReason);
        QTest::keyClick(row.focus, row.key.key(), row.key.keyboardModifiers());
        for (qsizetype i = 0; i < buttons.size(); ++i)
            EXPECT_EQ(spies[static_cast<std::size_t>(i)]->count(), buttons[i] == row.pressed ? 1 : 0)
                << buttons[i]->text().toStdString();
    }
    EXPECT_EQ(platform.asked, QStringList{"Koniec pracy ?"});
    EXPECT_TRUE(window.isVisible());
    platform.askAnswers.clear();
    platform.openFileAnswers.clear();
    platform.fontAnswers.clear();
    platform.unanswered = 0;
}

TEST_F(EnvelopeKeyboard, TabGoesPanelByPanelThroughEveryButton)
{
    QList<QWidget*> order{window.n1, window.n2, window.n3, window.n4};
    order << window.l1 << window.g1 << window.RadioButton1; // the ticked preset; arrows move between them
    order << window.l2 << window.g2 << window.l3 << window.g3 << window.l4 << window.g4;
    order << window.poziomo << window.l_n << window.g_n << window.od << window.l_log << window.g_log
          << window.SpeedButton8 << window.SpeedButton9;
    if (window.logo->isEnabled())
        order << window.logo;
    order << window.nazwa << window.SpeedButton1 << window.SpeedButton2 << window.SpeedButton3
          << window.SpeedButton4 << window.SpeedButton5 << window.SpeedButton6 << window.SpeedButton7;
    for (QLineEdit* edit : window.o)
        order << edit;
    order << window.SpeedButton10;
    order.front()->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), order[i]) << i;
    }
}

TEST_F(EnvelopeKeyboard, HelpTakesTheKeyboardAndEscapeReturns)
{
    window.o2->setFocus(Qt::TabFocusReason);
    window.SpeedButton6->click();
    EXPECT_TRUE(window.SpeedButton11->hasFocus());
    const QString before = window.n1->text();
    QTest::keyClicks(window.n2, "abc"); // under the panel
    EXPECT_EQ(window.n2->text(), QString());
    QTest::keyClick(window.SpeedButton11, Qt::Key_Escape);
    EXPECT_TRUE(window.Panel3->isHidden());
    EXPECT_TRUE(platform.asked.isEmpty()); // Escape closed the help, not the window
    EXPECT_TRUE(window.o2->hasFocus());
    EXPECT_EQ(window.n1->text(), before);
}

} // namespace
} // namespace wirtello
