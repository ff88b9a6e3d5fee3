// The main window's keys: every frequent job's button by its shortcut, named
// in its tooltip, and Space and Enter on a focused button.
#include "main_window_fixture.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace wirtello::test {
namespace {

using Pick = std::function<QWidget*(Tzadania_f&)>;

struct KeyCase {
    const char* name;
    Pick focus;          // where the focus is when the key is pressed
    QKeyCombination key;
    Pick pressed;        // the button the key presses; none for a key that must press nothing
    QString question;    // what the press asks, answered "Nie"/cancel
};

#define PICK(member) [](Tzadania_f& w) { return control(w, #member); }

const KeyCase kKeyCases[] = {
    {"CtrlS", PICK(ulica), Qt::CTRL | Qt::Key_S, PICK(SpeedButton9), {}},
    {"CtrlN", PICK(listazadan), Qt::CTRL | Qt::Key_N, PICK(SpeedButton2), "Podaj nazwę"},
    {"DeleteInList", PICK(listazadan), QKeyCombination(Qt::Key_Delete), PICK(SpeedButton3), "Usunąć temat „000 Adam” z listy ?"},
    {"DeleteInEdit", PICK(ulica), QKeyCombination(Qt::Key_Delete), nullptr, {}},
    {"CtrlFToTheSearch", PICK(imie), Qt::CTRL | Qt::Key_F, nullptr, {}},
    {"F2", PICK(listazadan), QKeyCombination(Qt::Key_F2), PICK(SpeedButton13), "Podaj nową nazwę"},
    {"CtrlP", PICK(imie), Qt::CTRL | Qt::Key_P, PICK(SpeedButton8), {}},
    {"CtrlEInEdit", PICK(ulica), Qt::CTRL | Qt::Key_E, PICK(SpeedButton10), {}},
    {"Escape", PICK(listazadan), QKeyCombination(Qt::Key_Escape), PICK(SpeedButton27), "Koniec pracy ?"},
    {"SpaceOnButton", PICK(SpeedButton9), QKeyCombination(Qt::Key_Space), PICK(SpeedButton9), {}},
    {"EnterOnButton", PICK(SpeedButton24), QKeyCombination(Qt::Key_Return), PICK(SpeedButton24), {}},
    {"EnterOnTopButton", PICK(SpeedButton2), QKeyCombination(Qt::Key_Enter), PICK(SpeedButton2), "Podaj nazwę"},
};

class KeyboardTest : public MainWindowTest, public ::testing::WithParamInterface<KeyCase> {
protected:
    void showWindow()
    {
        writeDatabase({{0, "000 Adam", "Polna 1"}, {1, "001 Bartek", "Leśna 2"}});
        start();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Every button of the window, and how often each was pressed.
    std::vector<std::pair<QToolButton*, std::unique_ptr<QSignalSpy>>> spyButtons()
    {
        std::vector<std::pair<QToolButton*, std::unique_ptr<QSignalSpy>>> spies;
        for (QToolButton* button : window->findChildren<QToolButton*>())
            spies.emplace_back(button, std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked));
        return spies;
    }
};

TEST_P(KeyboardTest, TheKeyPressesItsButtonAndNoOther)
{
    const KeyCase& row = GetParam();
    showWindow();
    platform.printerFactory = [] { return nullptr; };
    platform.inputAnswers = {std::nullopt};
    platform.askAnswers = {false};
    const auto spies = spyButtons();
    QWidget* focus = row.focus(*window);
    focus->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(focus->hasFocus());

    QTest::keyClick(focus, row.key.key(), row.key.keyboardModifiers());

    QWidget* expected = row.pressed ? row.pressed(*window) : nullptr;
    for (const auto& [button, spy] : spies)
        EXPECT_EQ(spy->count(), button == expected ? 1 : 0) << button->text().toStdString();
    const QStringList questions = platform.asked + [&] {
        QStringList prompts;
        for (const auto& [title, prompt] : platform.inputsAsked)
            prompts << prompt;
        return prompts;
    }();
    EXPECT_EQ(questions, row.question.isEmpty() ? QStringList() : QStringList{row.question});
    EXPECT_EQ(lineEdit("coszukac")->hasFocus(), row.key == (Qt::CTRL | Qt::Key_F));
    platform.inputAnswers.clear();
    platform.askAnswers.clear();
    platform.unanswered = 0;
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardTest, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, ShortcutsAreNamedInTheTooltips)
{
    start();
    const std::pair<QToolButton*, QString> named[] = {
        {toolButton("SpeedButton9"), "Zapisz kontakt (Ctrl+S)"},
        {toolButton("SpeedButton2"), "Dodawanie nowego tematu (Ctrl+N)"},
        {toolButton("SpeedButton3"), "Kasowanie tematu z listy (Del)"},
        {toolButton("SpeedButton13"), "Zmiana nazwy kontaktu na liście (F2)"},
        {toolButton("SpeedButton10"), "Adresuj kopertę (Ctrl+E)"}, {toolButton("SpeedButton27"), "Koniec (Esc)"},
    };
    for (const auto& [button, tip] : named)
        EXPECT_EQ(button->toolTip(), tip);
}

} // namespace
} // namespace wirtello::test
