// The cash document window without a mouse: its keys, Tab through the
// window and out of the grid, the panels holding the keyboard, and the names
// a screen reader reads.
#include "tests/cash/cash_window_fixture.h"
#include "tests/support/window_controls.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace wirtello {
namespace {


struct KeyboardCashWindow : test::CashWindowFixture {
    void open()
    {
        CashWindowFixture::open(DocumentKind::Kp);
        kp.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&kp));
    }

    static QWidget* focus() { return QApplication::focusWidget(); }

    // Keys go where the focus is, as they do for a user: a grid cell's
    // editor once the first key opened it.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(focus(), key, modifiers); }
    void type(const QString& text)
    {
        for (const QChar c : text)
            QTest::keyClicks(focus(), QString(c));
    }

    bool inGrid() const
    {
        auto* grid = test::control<QTableWidget>(kp, "tabela");
        return focus() == grid || grid->isAncestorOf(focus());
    }
};

using Pick = std::function<QWidget*(Tkp_f&)>;
#define PICK(name) [](Tkp_f& w) { return test::control(w, #name); }
// The grid with the cell at (row, column) current.
#define CELL(row, column)                                                                                       \
    [](Tkp_f& w) -> QWidget* {                                                                                  \
        auto* grid = test::control<QTableWidget>(w, "tabela");                                                  \
        grid->setCurrentCell(row, column);                                                                      \
        return grid;                                                                                            \
    }

struct KeyCase {
    const char* name;
    Pick panelButton; // pressed first to bring a panel up, or none
    Pick focus;
    const char* typed; // typed there first
    QKeyCombination key;
    Pick pressed;      // the one button the key presses; none for a key that presses nothing
    Pick focusAfter;   // where the focus then is, when it matters
};

const KeyCase kKeyCases[] = {
    {"CtrlPInGrid", nullptr, PICK(tabela), "", Qt::CTRL | Qt::Key_P, PICK(SpeedButton13), nullptr},
    {"CtrlPInCash", nullptr, PICK(gotowka), "", Qt::CTRL | Qt::Key_P, PICK(SpeedButton13), nullptr},
    {"EscapeInGrid", nullptr, PICK(tabela), "", QKeyCombination(Qt::Key_Escape), PICK(SpeedButton1), nullptr},
    {"EscapeInNumber", nullptr, PICK(numerkp), "", QKeyCombination(Qt::Key_Escape), PICK(SpeedButton1), nullptr},
    {"SpaceOnButton", nullptr, PICK(SpeedButton14), "", QKeyCombination(Qt::Key_Space), PICK(SpeedButton14), nullptr},
    {"EnterOnButton", nullptr, PICK(SpeedButton8), "", QKeyCombination(Qt::Key_Return), PICK(SpeedButton8), nullptr},
    {"EscapeInEditPanel", PICK(SpeedButton7), PICK(pole2), "", QKeyCombination(Qt::Key_Escape), PICK(SpeedButton10),
     PICK(SpeedButton7)},
    {"EnterInEditPanel", PICK(SpeedButton7), PICK(pole3), "", QKeyCombination(Qt::Key_Enter), PICK(SpeedButton9),
     PICK(SpeedButton7)},
    {"CtrlPUnderEditPanel", PICK(SpeedButton7), PICK(pole1), "", Qt::CTRL | Qt::Key_P, nullptr, PICK(pole1)},
    {"EscapeInHelp", PICK(SpeedButton11), PICK(SpeedButton12), "", QKeyCombination(Qt::Key_Escape),
     PICK(SpeedButton12), PICK(SpeedButton11)},
    {"EnterInHelp", PICK(SpeedButton11), PICK(SpeedButton12), "", QKeyCombination(Qt::Key_Return), PICK(SpeedButton12),
     PICK(SpeedButton11)},
    // Out of the grid: Ctrl+Tab from any cell, Tab after the last, Shift+Tab before the first.
    {"CtrlTab", nullptr, CELL(4, 0), "", Qt::CTRL | Qt::Key_Tab, nullptr, PICK(SpeedButton6)},
    {"CtrlTabEditing", nullptr, CELL(4, 1), "7", Qt::CTRL | Qt::Key_Tab, nullptr, PICK(SpeedButton6)},
    {"CtrlShiftTab", nullptr, CELL(4, 0), "", Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, nullptr, PICK(SpeedButton13)},
    {"ShiftTabFirstCell", nullptr, CELL(0, 0), "7", Qt::SHIFT | Qt::Key_Backtab, nullptr, PICK(SpeedButton13)},
    {"TabLastCellEditing", nullptr, CELL(9, 1), "7", QKeyCombination(Qt::Key_Tab), nullptr, PICK(SpeedButton6)},
};

class CashKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(CashKeys, TheKeyPressesItsButtonAndNoOther)
{
    const KeyCase& row = GetParam();
    KeyboardCashWindow w;
    w.open();
    w.platform.printerFactory = [] { return nullptr; };
    if (row.panelButton) {
        row.panelButton(w.kp)->setFocus(Qt::TabFocusReason);
        static_cast<QToolButton*>(row.panelButton(w.kp))->click();
    }
    std::vector<std::pair<QToolButton*, std::unique_ptr<QSignalSpy>>> spies;
    for (QToolButton* button : w.kp.findChildren<QToolButton*>())
        spies.emplace_back(button, std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked));
    row.focus(w.kp)->setFocus(Qt::TabFocusReason);
    w.type(row.typed);

    w.press(row.key.key(), row.key.keyboardModifiers());

    QWidget* expected = row.pressed ? row.pressed(w.kp) : nullptr;
    for (const auto& [button, spy] : spies)
        EXPECT_EQ(spy->count(), button == expected ? 1 : 0) << button->text().toStdString();
    const bool shortcut = row.key.key() == Qt::Key_Escape || row.key.keyboardModifiers() == Qt::ControlModifier;
    if (expected && shortcut) { // named in the button's tooltip
        EXPECT_TRUE(expected->toolTip().endsWith(QKeySequence(row.key).toString(QKeySequence::NativeText) + ")"));
    }
    if (row.focusAfter) {
        EXPECT_EQ(w.focus(), row.focusAfter(w.kp));
    }
    if (*row.typed) { // what was typed stays in its cell
        EXPECT_EQ(test::control<QTableWidget>(w.kp, "tabela")->currentItem()->text().trimmed().left(1), row.typed);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, CashKeys, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CashKeyboard, TabVisitsEveryControlInVisualOrderAndLeavesTheGridAfterItsLastCell)
{
    KeyboardCashWindow w;
    w.open();
    Tkp_f& kp = w.kp;
    QList<QWidget*> order;
    for (const char* name : {"SpeedButton7", "SpeedButton8", "numerkp", "rozszerzeniekp", "data", "SpeedButton15",
                              "k1", "SpeedButton13", "tabela", "SpeedButton6", "SpeedButton5", "SpeedButton4",
                              "SpeedButton3", "SpeedButton2", "SpeedButton14", "SpeedButton11", "SpeedButton1",
                              "razem", "gotowka", "reszta", "SpeedButton7"})
        order << test::control(kp, name);
    order.front()->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i < order.size(); ++i) {
        int presses = 0;
        do {
            w.press(Qt::Key_Tab);
            ++presses;
        } while (order[i - 1] == test::control<QTableWidget>(kp, "tabela") && w.inGrid() && presses < 100);
        ASSERT_EQ(w.focus(), order[i]) << i;
        // Each of the grid's 20 cells takes one Tab, the last one leaving it.
        if (order[i - 1] == test::control<QTableWidget>(kp, "tabela")) {
            EXPECT_EQ(presses, 20);
        }
    }
    // A focused button shows a frame it has not without the focus.
    test::control<QToolButton>(kp, "SpeedButton1")->setFocus(Qt::TabFocusReason);
    const QImage focused = test::control<QToolButton>(kp, "SpeedButton1")->grab().toImage();
    test::control<QToolButton>(kp, "SpeedButton14")->setFocus(Qt::TabFocusReason);
    EXPECT_NE(test::control<QToolButton>(kp, "SpeedButton1")->grab().toImage(), focused);
}

TEST(CashKeyboard, LinesTypedAfterReopeningLandInTheFirstRowsAndPrintThere)
{
    KeyboardCashWindow w;
    w.open();
    // Last time the grid was left at its end.
    test::control<QTableWidget>(w.kp, "tabela")->setCurrentCell(9, 1);
    test::control<QTableWidget>(w.kp, "tabela")->scrollToBottom();
    w.press(Qt::Key_Escape); // the cell's editor first, then the window
    w.press(Qt::Key_Escape);
    ASSERT_FALSE(w.kp.isVisible());

    w.open();
    ASSERT_TRUE(w.inGrid());
    w.type("Wplata");
    w.press(Qt::Key_Tab);
    w.type("12,5");
    w.press(Qt::Key_Tab);
    w.type("Zwrot");
    w.press(Qt::Key_Tab);
    w.type("3");
    w.press(Qt::Key_Return);
    const DocumentLines lines = w.kp.documentLines();
    EXPECT_EQ(lines.descriptions[0], "Wplata");
    EXPECT_EQ(lines.descriptions[1], "Zwrot");
    EXPECT_EQ(lines.descriptions[9], "");
    EXPECT_EQ(w.kp.document().lines(), lines);
    EXPECT_EQ(test::control<QTableWidget>(w.kp, "tabela")->rowAt(0), 0); // the first row is in view

    w.press(Qt::Key_P, Qt::ControlModifier);
    QStringList printed;
    for (const auto& text : w.printer.texts)
        printed << QString::fromStdString(text.text);
    EXPECT_TRUE(printed.contains("Wplata")) << printed.join('|').toStdString();
    EXPECT_TRUE(printed.contains("Zwrot"));
    EXPECT_TRUE(printed.filter("15.50").size() > 0) << printed.join('|').toStdString();
}

TEST(CashKeyboard, FixedContentsListTakesEnterAndEscape)
{
    KeyboardCashWindow w;
    {
        std::ofstream(w.folder / "DOKUMENTY/kptresc.dat", std::ios::binary) << "czynsz\r\nzaliczka\r\n";
    }
    w.open();
    test::control<QTableWidget>(w.kp, "tabela")->setCurrentCell(2, 0);
    test::control<QToolButton>(w.kp, "SpeedButton6")->setFocus(Qt::TabFocusReason);
    w.press(Qt::Key_Return);
    ASSERT_TRUE(test::control<QListWidget>(w.kp, "lista")->isVisible());
    EXPECT_EQ(w.focus(), test::control<QListWidget>(w.kp, "lista"));
    w.press(Qt::Key_Down);
    w.press(Qt::Key_Return);
    EXPECT_FALSE(test::control<QListWidget>(w.kp, "lista")->isVisible());
    EXPECT_EQ(test::control<QTableWidget>(w.kp, "tabela")->item(2, 0)->text(), "zaliczka");
    EXPECT_TRUE(w.inGrid());

    test::control<QToolButton>(w.kp, "SpeedButton6")->click();
    ASSERT_TRUE(test::control<QListWidget>(w.kp, "lista")->isVisible());
    w.press(Qt::Key_Escape); // leaves the list, not the window
    EXPECT_FALSE(test::control<QListWidget>(w.kp, "lista")->isVisible());
    EXPECT_TRUE(w.kp.isVisible());
    EXPECT_TRUE(w.inGrid());
    EXPECT_EQ(test::control<QTableWidget>(w.kp, "tabela")->item(2, 0)->text(), "zaliczka");
}

TEST(CashKeyboard, EditPanelHoldsTheKeyboardAndGivesTheFocusBack)
{
    KeyboardCashWindow w;
    w.open();
    test::control<QToolButton>(w.kp, "SpeedButton8")->setFocus(Qt::TabFocusReason);
    w.press(Qt::Key_Space);
    ASSERT_TRUE(test::control<QFrame>(w.kp, "Panel2")->isVisible());
    EXPECT_EQ(w.focus(), test::control<QLineEdit>(w.kp, "pole1"));
    // Tab goes round the panel's six controls only.
    for (int i = 0; i < 6; ++i) {
        w.press(Qt::Key_Tab);
        EXPECT_TRUE(test::control<QFrame>(w.kp, "Panel2")->isAncestorOf(w.focus())) << i;
    }
    EXPECT_EQ(w.focus(), test::control<QLineEdit>(w.kp, "pole1"));
    // Nothing under the panel takes a key or a click.
    QTest::keyClicks(test::control<QTableWidget>(w.kp, "tabela"), "xyz");
    QSignalSpy saved(test::control<QToolButton>(w.kp, "SpeedButton15"), &QAbstractButton::clicked);
    QTest::mouseClick(test::control<QToolButton>(w.kp, "SpeedButton15"), Qt::LeftButton);
    EXPECT_EQ(saved.count(), 0);
    EXPECT_EQ(test::control<QTableWidget>(w.kp, "tabela")->item(0, 0)->text(), "");

    test::control<QLineEdit>(w.kp, "pole1")->selectAll();
    w.type("Nowy");
    w.press(Qt::Key_Return);
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label9")->text(), "Nowy");
    EXPECT_EQ(w.kp.document().counterparty()[0], "Nowy");
    EXPECT_EQ(w.focus(), test::control<QToolButton>(w.kp, "SpeedButton8"));
}

TEST(CashKeyboard, EveryFocusableControlHasAnAccessibleName)
{
    KeyboardCashWindow w;
    w.open();
    QStringList unnamed;
    for (QWidget* widget : w.kp.findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled())
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << widget->metaObject()->className() + QStringLiteral(" ") + widget->objectName();
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();

    const auto face = [&w](const char* name) {
        return QAccessible::queryAccessibleInterface(test::control(w.kp, name));
    };
    EXPECT_NE(face("SpeedButton7")->text(QAccessible::Name), face("SpeedButton8")->text(QAccessible::Name));
    EXPECT_EQ(face("numerkp")->text(QAccessible::Name), "Numer");

    QAccessibleTableInterface* grid = face("tabela")->tableInterface();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->columnDescription(0), "Tytułem");
    EXPECT_EQ(grid->columnDescription(1), "Kwota");
}

} // namespace
} // namespace wirtello
