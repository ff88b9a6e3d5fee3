// Contacts and card edits survive the session's end, a search, and a cancelled
// move, and Delete says which contact it removes.
#include "main_window_fixture.h"

#include "platform/session_end.h"
#include "store/contact_database.h"
#include "store/cp1250.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QTest>

namespace wirtello::test {
namespace {

using Answer = Platform::Answer;

class CardKeepingTest : public MainWindowTest {
protected:
    void startWithThree()
    {
        writeDatabase({{0, "000 Adam", "Polna 1"}, {1, "001 Bartek", "Leśna 2"}, {2, "002 Cezary", "Długa 3"}});
        start();
    }
    std::string storedStreet(int slot) const
    {
        return fromCp1250(countedAt(databaseBytes(), fieldOffset(ContactField::Street, slot)));
    }
    // The rows highlighted in the list.
    std::vector<int> highlighted() const
    {
        std::vector<int> rows;
        for (const QModelIndex& index : list()->selectionModel()->selectedIndexes())
            rows.push_back(index.row());
        return rows;
    }
};

TEST_F(CardKeepingTest, SessionEndStoresAddedContactsAndTheCardsEditsWithoutAsking)
{
    startWithThree();
    addContact("Dawid");
    lineEdit("ulica")->setText(QStringLiteral("Ogrodowa 4")); // typed, "Zapisz kontakt" not pressed
    platform.asked.clear();

    storeForSessionEnd();

    EXPECT_TRUE(platform.asked.isEmpty());
    EXPECT_TRUE(platform.informed.isEmpty());
    const auto bytes = databaseBytes();
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Display, 3)), "003 Dawid");
    EXPECT_EQ(storedStreet(3), "Ogrodowa 4");
    EXPECT_EQ(storedStreet(1), "Leśna 2");
    // The card stays as typed and a second ending stores the same.
    EXPECT_EQ(lineEdit("ulica")->text(), QStringLiteral("Ogrodowa 4"));
    storeForSessionEnd();
    EXPECT_EQ(databaseBytes(), bytes);
}

TEST_F(CardKeepingTest, SessionEndNeverWritesOverAContactFileItCouldNotRead)
{
    const std::vector<std::uint8_t> damaged(100, 7);
    writeBytes(databasePath(), damaged);
    start();
    storeForSessionEnd();
    EXPECT_EQ(databaseBytes(), damaged);
    EXPECT_TRUE(platform.informed.isEmpty());
}

struct SearchCase {
    const char* name;
    const char* wanted;
    Answer answer;
    int rowAfter;           // -1: the card's own row, Bartek's
    const char* streetShown; // on the card after the search
    const char* bartekStored;
    bool toldNotFound;
};

const SearchCase kSearchCases[] = {
    {"FoundCancel", "Cez", Answer::Cancel, 1, "Nowa 5", "Leśna 2", false},
    {"FoundYes", "Cez", Answer::Yes, 2, "Długa 3", "Nowa 5", false},
    {"FoundNo", "Cez", Answer::No, 2, "Długa 3", "Leśna 2", false},
    {"NothingCancel", "Zenon", Answer::Cancel, 1, "Nowa 5", "Leśna 2", false},
    {"NothingYes", "Zenon", Answer::Yes, 0, "Polna 1", "Nowa 5", true},
};

class SearchQuestionTest : public CardKeepingTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchQuestionTest, EnterInTheSearchAsksAboutTheCardsEditsFirst)
{
    const SearchCase& c = GetParam();
    startWithThree();
    clickRow(1);
    lineEdit("ulica")->setText(QStringLiteral("Nowa 5"));
    lineEdit("coszukac")->setText(QString::fromUtf8(c.wanted));
    platform.threeWayAnswers = {c.answer};

    QTest::keyClick(lineEdit("coszukac"), Qt::Key_Return);

    EXPECT_EQ(platform.asked, QStringList({QStringLiteral("Zapisać zmiany kontaktu ?")}));
    EXPECT_EQ(currentRow(), c.rowAfter);
    EXPECT_EQ(lineEdit("ulica")->text(), QString::fromUtf8(c.streetShown));
    EXPECT_EQ(data.contacts.text(ContactField::Street, 1), c.bartekStored);
    EXPECT_EQ(platform.informed.size(), c.toldNotFound ? 1 : 0);
    EXPECT_EQ(window->changesPending(), c.answer == Answer::Cancel);
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchQuestionTest, ::testing::ValuesIn(kSearchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardKeepingTest, CancelledMoveHighlightsTheCardsContactAndDeleteNamesIt)
{
    startWithThree();
    window->show();
    clickRow(1);
    list()->setFocus();
    lineEdit("ulica")->setText(QStringLiteral("Nowa 5"));
    platform.threeWayAnswers = {Answer::Cancel};

    QTest::keyClick(list(), Qt::Key_Down);
    QCoreApplication::processEvents();

    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(highlighted(), std::vector<int>({1}));
    EXPECT_EQ(lineEdit("ulica")->text(), QStringLiteral("Nowa 5"));

    platform.threeWayAnswers = {Answer::No};
    platform.askAnswers = {false};
    toolButton("SpeedButton3")->click();
    EXPECT_EQ(platform.asked.back(), QStringLiteral("Usunąć temat „001 Bartek” z listy ?"));
    EXPECT_EQ(entries().size(), 3);
}

TEST_F(CardKeepingTest, AddedContactTakesTheCaretToItsCardWhereverItWas)
{
    startWithThree();
    window->show();
    for (const char* from : {"listazadan", "coszukac", "ulica"}) {
        SCOPED_TRACE(from);
        control<QWidget>(*window, from)->setFocus();
        ASSERT_EQ(window->focusWidget(), control<QWidget>(*window, from));
        addContact("Ewa");
        EXPECT_EQ(window->focusWidget(), lineEdit("imie"));
    }
}

} // namespace
} // namespace wirtello::test
