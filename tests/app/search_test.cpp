// Find next below the contact list.
#include "main_window_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace wirtello::test {
namespace {

const QString kNotFound = QStringLiteral("Na liście nie ma wpisu zawierającego podany ciąg znaków.");

class SearchTest : public MainWindowTest {
protected:
    void search(const QString& text)
    {
        lineEdit("coszukac")->setText(text);
        toolButton("SpeedButton30")->click();
    }
};

TEST_F(SearchTest, StepsThroughMatchesThenResetsToTheFirstEntry)
{
    writeDatabase({{0, "000 Adam", "Polna 1"}, {1, "001 Bartek"}, {2, "002 Adamczyk", "Krótka 5"}});
    start();
    search("Adam");
    EXPECT_EQ(currentRow(), 2);
    EXPECT_EQ(lineEdit("ulica")->text(), QStringLiteral("Krótka 5"));
    EXPECT_EQ(lineEdit("coszukac")->text(), "Adam"); // a found text stays
    EXPECT_TRUE(platform.informed.isEmpty());

    toolButton("SpeedButton30")->click();
    EXPECT_EQ(platform.informed, QStringList({kNotFound}));
    EXPECT_EQ(lineEdit("coszukac")->text(), "");
    EXPECT_EQ(currentRow(), 0);
    EXPECT_EQ(lineEdit("ulica")->text(), "Polna 1");
}

TEST_F(SearchTest, EnterInTheSearchEditFindsAndReachesTheEdit)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}, {2, "002 Adamczyk"}});
    start();
    lineEdit("coszukac")->setText("Bart");
    bool returnReached = false;
    QObject::connect(lineEdit("coszukac"), &QLineEdit::returnPressed, [&] { returnReached = true; });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(lineEdit("coszukac"), &enter);
    EXPECT_EQ(currentRow(), 1);
    EXPECT_TRUE(returnReached);

    QKeyEvent letter(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(lineEdit("coszukac"), &letter);
    EXPECT_EQ(lineEdit("coszukac")->text(), "Bartx");
    EXPECT_EQ(currentRow(), 1);
}

TEST_F(SearchTest, MatchIsCaseSensitiveOnPolishLettersAndIds)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Przykładowa"}, {2, "002 Łukasz"}});
    start();
    search("przyk");
    EXPECT_EQ(platform.informed.size(), 1);
    EXPECT_EQ(currentRow(), 0);

    search(QStringLiteral("kład"));
    EXPECT_EQ(currentRow(), 1);
    search(QStringLiteral("Ł"));
    EXPECT_EQ(currentRow(), 2);

    clickRow(0);
    search("001");
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(platform.informed.size(), 1);
}

// Letters the entries cannot hold find nothing, instead of matching the
// '?' they would turn into.
TEST_F(SearchTest, LettersOutsideTheEntriesFindNothing)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Pytanie?"}, {2, "002 Żaneta"}});
    start();
    for (const QString& text : {QStringLiteral("ñ"), QStringLiteral("Фото"), QStringLiteral("?ñ")}) {
        platform.informed.clear();
        search(text);
        EXPECT_EQ(platform.informed, QStringList{kNotFound}) << text.toStdString();
        EXPECT_EQ(currentRow(), 0);
    }
    search(QStringLiteral("Ż"));
    EXPECT_EQ(currentRow(), 2);
}

TEST_F(SearchTest, NeverTestsTheSelectedEntryOrWraps)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}, {2, "002 Cezary"}});
    start();
    clickRow(1);
    search("Bartek"); // only the selected entry matches
    EXPECT_EQ(platform.informed.size(), 1);
    EXPECT_EQ(currentRow(), 0);

    clickRow(2);
    search("000"); // last entry selected: no wrap to the top
    EXPECT_EQ(platform.informed.size(), 2);
    EXPECT_EQ(currentRow(), 0);

    search(""); // an empty text matches nothing
    EXPECT_EQ(platform.informed.size(), 3);
}

TEST_F(SearchTest, EmptyListShowsTheMessageAndKeepsTheCardEmpty)
{
    start();
    search("Adam");
    EXPECT_EQ(platform.informed, QStringList({kNotFound}));
    EXPECT_EQ(window->selectedSlot(), -1);
    EXPECT_EQ(lineEdit("imie")->text(), "");
}

TEST_F(SearchTest, SearchDiscardsUnsavedCardEditsOnlyWhenToldNo)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}});
    start();
    lineEdit("ulica")->setText("niezapisana");
    platform.threeWayAnswers = {Platform::Answer::No};
    search("Bartek");
    EXPECT_EQ(platform.asked, QStringList({QStringLiteral("Zapisać zmiany kontaktu ?")}));
    EXPECT_EQ(lineEdit("ulica")->text(), "");
    EXPECT_FALSE(window->changesPending());
}

} // namespace
} // namespace wirtello::test
