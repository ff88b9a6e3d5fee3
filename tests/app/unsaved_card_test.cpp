// Edits typed on the card and not saved are never lost unseen: every way of
// leaving the contact asks first, and "Anuluj" keeps the user where they were.
#include "main_window_fixture.h"

#include "store/contact_database.h"
#include "store/cp1250.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTest>

namespace wirtello::test {
namespace {

using Answer = Platform::Answer;

enum class Leave { ArrowDown, ClickOther, ClickSame, Add, Delete, Koniec, CloseBox };

struct LeaveCase {
    const char* name;
    Leave leave;
    // Where the user is after "Tak" or "Nie", and the street the card shows
    // then; empty for Bartek's own street as stored by the answer.
    QString entryAfter;
    QString streetAfter;
    bool ends;
};

const LeaveCase kLeaveCases[] = {
    {"ArrowDown", Leave::ArrowDown, "002 Cezary", QStringLiteral("Długa 3"), false},
    {"ClickOther", Leave::ClickOther, "000 Adam", "Polna 1", false},
    {"ClickSame", Leave::ClickSame, "001 Bartek", "", false},
    {"Add", Leave::Add, "003 Dawid", "", false},
    {"Delete", Leave::Delete, "000 Adam", "Polna 1", false},
    {"Koniec", Leave::Koniec, "", "", true},
    {"CloseBox", Leave::CloseBox, "", "", true},
};

class UnsavedCardTest : public MainWindowTest,
                        public ::testing::WithParamInterface<std::tuple<LeaveCase, Answer>> {
protected:
    void leave(Leave how, bool answeredCancel)
    {
        switch (how) {
        case Leave::ArrowDown:
            QTest::keyClick(list(), Qt::Key_Down);
            break;
        case Leave::ClickOther:
            clickRow(0);
            break;
        case Leave::ClickSame:
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                              list()->visualRect(list()->model()->index(1, 0)).center());
            break;
        case Leave::Add:
            if (!answeredCancel)
                platform.inputAnswers.push_back(QStringLiteral("Dawid"));
            toolButton("SpeedButton2")->click();
            break;
        case Leave::Delete:
            if (!answeredCancel)
                platform.askAnswers.push_back(true);
            toolButton("SpeedButton3")->click();
            break;
        case Leave::Koniec:
            if (!answeredCancel)
                platform.askAnswers.push_back(true);
            toolButton("SpeedButton27")->click();
            break;
        case Leave::CloseBox: {
            if (!answeredCancel)
                platform.askAnswers.push_back(true);
            QCloseEvent event;
            QCoreApplication::sendEvent(window.get(), &event);
            break;
        }
        }
    }

    // Bartek's street as held in memory, empty once he is deleted.
    std::string bartekStreet() const
    {
        for (int row = 0; row < data.contacts.rowCount(); ++row) {
            const int slot = data.contacts.slotOfRow(row);
            if (data.contacts.text(ContactField::Display, slot) == "001 Bartek")
                return data.contacts.text(ContactField::Street, slot);
        }
        return {};
    }
};

TEST_P(UnsavedCardTest, LeavingTheCardAsksAndCancelStays)
{
    const auto& [row, answer] = GetParam();
    writeDatabase({{0, "000 Adam", "Polna 1"}, {1, "001 Bartek", "Leśna 2"}, {2, "002 Cezary", "Długa 3"}});
    start();
    clickRow(1);
    lineEdit("ulica")->setText(QStringLiteral("Nowa 5"));
    platform.threeWayAnswers = {answer};

    leave(row.leave, answer == Answer::Cancel);

    ASSERT_FALSE(platform.asked.isEmpty());
    EXPECT_EQ(platform.asked.front(), QStringLiteral("Zapisać zmiany kontaktu ?"));
    EXPECT_EQ(platform.askCaptions.front(), QStringLiteral("Pytanie"));
    if (answer == Answer::Cancel) {
        EXPECT_EQ(platform.asked.size(), 1);
        EXPECT_EQ(currentEntry(), "001 Bartek");
        EXPECT_EQ(lineEdit("ulica")->text(), QStringLiteral("Nowa 5"));
        EXPECT_TRUE(window->changesPending());
        EXPECT_EQ(entries(), QStringList({"000 Adam", "001 Bartek", "002 Cezary"}));
        EXPECT_EQ(platform.endProcessCalls, 0);
        EXPECT_EQ(bartekStreet(), "Leśna 2");
        return;
    }
    const std::string stored = answer == Answer::Yes ? "Nowa 5" : "Leśna 2";
    EXPECT_EQ(bartekStreet(), row.leave == Leave::Delete ? "" : stored);
    EXPECT_EQ(platform.endProcessCalls, row.ends ? 1 : 0);
    if (row.ends) { // the end writes the file: the answer decides what is on disk
        EXPECT_EQ(countedAt(databaseBytes(), fieldOffset(ContactField::Street, 1)), toCp1250(stored));
        return;
    }
    EXPECT_EQ(currentEntry(), row.entryAfter);
    EXPECT_EQ(lineEdit("ulica")->text(), row.streetAfter.isEmpty() && row.leave == Leave::ClickSame
                                         ? QString::fromStdString(stored)
                                         : row.streetAfter);
    EXPECT_FALSE(window->changesPending());
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<LeaveCase, Answer>>& info)
{
    static const char* const answers[] = {"Tak", "Nie", "Anuluj"};
    return std::string(std::get<0>(info.param).name) + answers[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Ways, UnsavedCardTest,
                         ::testing::Combine(::testing::ValuesIn(kLeaveCases),
                                            ::testing::Values(Answer::Yes, Answer::No, Answer::Cancel)),
                         caseName);

} // namespace
} // namespace wirtello::test
