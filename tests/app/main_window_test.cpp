// Start-up of the main window, the card, the marks, the help panel, the other
// windows and the end of the program.
#include "main_window_fixture.h"

#include <QTest>

#include "store/contact_database.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace wirtello::test {
namespace {

TEST_F(MainWindowTest, FirstStartShowsAnEmptyListAndTheDefaultPicture)
{
    start();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(window->windowTitle(), "Wirtello");
    EXPECT_EQ(window->size(), QSize(1001, 669));
    EXPECT_TRUE(window->windowFlags().testFlags(Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                                | Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(window->selectedSlot(), -1);
    EXPECT_TRUE(isBlue(shownColour()));
    EXPECT_FALSE(window->changesPending());
    EXPECT_EQ(control<QLabel>(*window, "Label1")->text(), "00:00:00");
    EXPECT_EQ(control<QLabel>(*window, "Label13")->text(), "v 1.19");
    EXPECT_TRUE(toolButton("SpeedButton15")->isHidden());
    EXPECT_TRUE(control<QFrame>(*window, "Panel1")->isHidden());
    EXPECT_EQ(databaseBytes(), std::vector<std::uint8_t>(kContactDatabaseSize, 0));
}

TEST_F(MainWindowTest, StartShowsEveryUsedSlotAndTheFirstCard)
{
    writeDatabase({{0, "000 Adam", "Polna 1"}, {1, "001 Bartek", "Leśna 2"}, {2, "002 Cezary"}});
    start();
    EXPECT_EQ(entries(), QStringList({"000 Adam", "001 Bartek", "002 Cezary"}));
    EXPECT_EQ(currentRow(), 0);
    EXPECT_EQ(lineEdit("imie")->text(), "Imię 000 Adam");
    EXPECT_EQ(lineEdit("ulica")->text(), "Polna 1");
    EXPECT_FALSE(window->changesPending());

    clickRow(1);
    EXPECT_EQ(lineEdit("ulica")->text(), "Leśna 2");
    EXPECT_FALSE(window->changesPending());
}

TEST_F(MainWindowTest, ButtonsAreFlatWithHandCursorCaptionAndGlyph)
{
    start();
    const QList<QToolButton*> buttons = window->findChildren<QToolButton*>();
    EXPECT_EQ(buttons.size(), 28);
    for (const QToolButton* button : buttons) {
        EXPECT_TRUE(button->autoRaise()) << button->text().toStdString();
        EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor) << button->text().toStdString();
        EXPECT_FALSE(button->icon().isNull()) << button->text().toStdString();
    }
    EXPECT_EQ(toolButton("SpeedButton8")->text(), "Drukuj");
    EXPECT_EQ(toolButton("SpeedButton8")->toolTip(), "Wydruk listy tematów (Ctrl+P)");
    EXPECT_EQ(toolButton("SpeedButton26")->text(), "Rejestr dokumentów");
    EXPECT_EQ(toolButton("SpeedButton15")->toolTip(), "Nastąpiły zmiany danych");
    EXPECT_EQ(toolButton("SpeedButton8")->parentWidget(), control<QFrame>(*window, "Panel3"));
    EXPECT_EQ(toolButton("SpeedButton27")->parentWidget(), control<QFrame>(*window, "Panel4"));
    EXPECT_EQ(toolButton("SpeedButton27")->geometry(), QRect(10, 548, 140, 22));
}

TEST_F(MainWindowTest, TabOrderRunsThroughTheCardToTheList)
{
    start();
    const QList<QWidget*> order = {lineEdit("imie"), lineEdit("nazwisko"), lineEdit("ulica"), lineEdit("miejscowosc"),
                                   lineEdit("telefon"), lineEdit("fax"), lineEdit("komorka"), lineEdit("mail"),
                                   lineEdit("www"), lineEdit("komunikator"), control<QListView>(*window, "listazadan")};
    // The next widget that Tab reaches, skipping captions, flat buttons and disabled memos.
    const auto nextTabStop = [](QWidget* widget) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled());
        return widget;
    };
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(nextTabStop(order[i]), order[i + 1]) << i;
}

TEST_F(MainWindowTest, ChangesMarkDrivesTheIndicatorAtEachTick)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}});
    start();
    window->Timer1Timer();
    EXPECT_TRUE(toolButton("SpeedButton15")->isHidden());
    EXPECT_EQ(control<QLabel>(*window, "Label1")->text(), "09:05:07");

    lineEdit("fax")->setText("22 100 20 30");
    EXPECT_TRUE(toolButton("SpeedButton15")->isHidden()); // the indicator follows at the next tick
    window->Timer1Timer();
    EXPECT_FALSE(toolButton("SpeedButton15")->isHidden());

    platform.threeWayAnswers = {Platform::Answer::No};
    clickRow(1);
    window->Timer1Timer();
    EXPECT_TRUE(toolButton("SpeedButton15")->isHidden());

    lineEdit("komunikator")->setText("x");
    toolButton("SpeedButton9")->click();
    window->Timer1Timer();
    EXPECT_TRUE(toolButton("SpeedButton15")->isHidden());
}

TEST_F(MainWindowTest, SaveStoresTheCardCutToEachFieldInMemoryOnly)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}});
    const auto before = databaseBytes();
    start();
    clickRow(1);
    const QString street(60, QLatin1Char('u'));
    const QString firstLine = QStringLiteral("Żółć") + QString(36, QLatin1Char('z'));
    lineEdit("ulica")->setText(street);
    lineEdit("imie")->setText(firstLine);
    lineEdit("mail")->setText("bartek@example.pl");
    toolButton("SpeedButton9")->click();

    EXPECT_FALSE(window->changesPending());
    EXPECT_EQ(lineEdit("ulica")->text(), street); // the edit keeps every character
    EXPECT_EQ(data.contacts.rawText(ContactField::Street, 1), std::string(50, 'u'));
    EXPECT_EQ(data.contacts.rawText(ContactField::FirstLine, 1).size(), 30u);
    EXPECT_EQ(data.contacts.text(ContactField::FirstLine, 1), firstLine.left(30).toStdString());
    EXPECT_EQ(data.contacts.text(ContactField::Email, 1), "bartek@example.pl");
    EXPECT_EQ(data.contacts.text(ContactField::Street, 0), ""); // another slot untouched
    EXPECT_EQ(databaseBytes(), before);                       // the file waits for delete or the end
}

TEST_F(MainWindowTest, SaveWithNoSelectionStoresNothing)
{
    start();
    lineEdit("ulica")->setText("Polna");
    toolButton("SpeedButton9")->click();
    EXPECT_FALSE(window->changesPending());
    addContact("Nowy");
    EXPECT_EQ(data.contacts.text(ContactField::Street, 0), "");
}

TEST_F(MainWindowTest, HelpPanelCoversListAndCardUntilClosed)
{
    start();
    window->show();
    toolButton("SpeedButton6")->click();
    EXPECT_FALSE(control<QFrame>(*window, "Panel1")->isHidden());
    EXPECT_EQ(control<QFrame>(*window, "Panel1")->geometry(), QRect(8, 83, 812, 578));
    // Read-only, yet reached by the keyboard and named for a screen reader.
    auto* help = control<QTextEdit>(*window, "Memo1");
    EXPECT_TRUE(help->isEnabled() && help->isReadOnly());
    EXPECT_EQ(help->accessibleName(), QStringLiteral("Pomoc"));
    EXPECT_EQ(window->focusWidget(), help);
    QTest::keyClicks(help, "xyz");
    EXPECT_FALSE(help->toPlainText().contains("xyz"));
    EXPECT_TRUE(control<QTextEdit>(*window, "Memo1")->toPlainText().contains("13. Kalendarz czynności."));
    toolButton("SpeedButton7")->click();
    EXPECT_TRUE(control<QFrame>(*window, "Panel1")->isHidden());
}

class CountingWindow : public ProgramWindow {
public:
    void initialise() override { ++initialised; }
    int initialised = 0;
};

// Any failure of a handler is shown and the program goes on.
TEST_F(MainWindowTest, HandlersSurviveEveryKindOfFailure)
{
    class FailingWindow : public ProgramWindow {
    public:
        void initialise() override
        {
            ++initialised;
            if (initialised == 1)
                throw std::bad_alloc();
            if (initialised == 2)
                throw std::out_of_range("vector::at");
            throw IoError("Nie można odczytać pliku", "firma.dat");
        }
        int initialised = 0;
    };
    start();
    FailingWindow firma;
    windows.add(WindowRole::Company, &firma);
    for (int i = 0; i < 3; ++i)
        toolButton("SpeedButton14")->click();
    EXPECT_EQ(firma.initialised, 3);
    ASSERT_EQ(platform.failures.size(), 2);
    EXPECT_TRUE(platform.failures[0].contains(QStringLiteral("Za mało pamięci")));
    EXPECT_TRUE(platform.failures[1].contains(QStringLiteral("vector::at")));
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), "firma.dat");
}

TEST_F(MainWindowTest, ButtonsOpenTheirWindowsAndTheMarkShowsTheAboutWindow)
{
    start();
    CountingWindow form3, firma, histo, narzedzia;
    for (CountingWindow* w : {&form3, &firma, &histo, &narzedzia})
        w->setEnabled(false);
    windows.add(WindowRole::About, &form3);
    windows.add(WindowRole::Company, &firma);
    windows.add(WindowRole::RunHistory, &histo);
    windows.add(WindowRole::AdminTools, &narzedzia);

    toolButton("SpeedButton14")->click();
    toolButton("SpeedButton32")->click();
    toolButton("SpeedButton23")->click();
    for (CountingWindow* w : {&firma, &histo, &narzedzia}) {
        EXPECT_EQ(w->initialised, 1);
        EXPECT_TRUE(w->isEnabled());
        EXPECT_TRUE(w->isVisible());
    }

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control<QLabel>(*window, "Label2"), &press);
    QCoreApplication::sendEvent(control<QLabel>(*window, "Label2"), &release);
    EXPECT_EQ(form3.initialised, 0);
    EXPECT_TRUE(form3.isEnabled());
    EXPECT_TRUE(form3.isVisible());
}

// ---- end of the program ----

bool requestClose(Tzadania_f& window)
{
    QCloseEvent event;
    QCoreApplication::sendEvent(&window, &event);
    return event.isAccepted();
}

TEST_F(MainWindowTest, AnsweringNoToTheEndChangesNothing)
{
    start();
    addContact("Adam");
    const auto before = databaseBytes();
    platform.askAnswers = {false, false};
    EXPECT_FALSE(requestClose(*window));
    toolButton("SpeedButton27")->click();
    EXPECT_EQ(platform.asked, QStringList({"Koniec pracy ?", "Koniec pracy ?"}));
    EXPECT_EQ(platform.askCaptions, QStringList({"Pytanie", "Pytanie"}));
    EXPECT_EQ(platform.endProcessCalls, 0);
    EXPECT_DOUBLE_EQ(window->windowOpacity(), 1.0);
    EXPECT_EQ(databaseBytes(), before);
}

TEST_F(MainWindowTest, CloseRequestStoresTheDatabaseWithoutRecordingTheRun)
{
    start();
    const auto history = readBytes(folder / "Admini/historia.dat");
    addContact("Adam");
    lineEdit("ulica")->setText("niezapisana"); // the card is not saved at the end
    platform.threeWayAnswers = {Platform::Answer::No};
    platform.askAnswers = {true};
    EXPECT_FALSE(requestClose(*window)); // refused even on "Tak": the process ends instead
    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_NEAR(window->windowOpacity(), 10 / 255.0, 0.5 / 255);
    const auto bytes = databaseBytes();
    EXPECT_EQ(countedAt(bytes, 0), "000 Adam");
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Street, 0)), "");
    EXPECT_EQ(readBytes(folder / "Admini/historia.dat"), history);
}

TEST_F(MainWindowTest, KoniecStoresTheDatabaseAndRecordsTheRun)
{
    start();
    const auto history = readBytes(folder / "Admini/historia.dat");
    addContact("Adam");
    platform.askAnswers = {true};
    toolButton("SpeedButton27")->click();
    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_EQ(countedAt(databaseBytes(), 0), "000 Adam");
    EXPECT_NE(readBytes(folder / "Admini/historia.dat"), history);
}

TEST_F(MainWindowTest, EndThatCannotWriteBringsTheWindowBack)
{
    start();
    std::filesystem::remove_all(folder / "NOTATKI");
    platform.askAnswers = {true, true};
    toolButton("SpeedButton27")->click();
    EXPECT_FALSE(requestClose(*window));
    EXPECT_EQ(platform.endProcessCalls, 0);
    ASSERT_EQ(platform.errors.size(), 2u);
    EXPECT_NE(platform.errors[0].path().string().find("Wirtello_nazwy_tematow.dat"), std::string::npos);
    EXPECT_DOUBLE_EQ(window->windowOpacity(), 1.0);
}

// A database that could not be read refuses every change with a message
// naming it, and the end of the program leaves the file as it was.
TEST_F(MainWindowTest, DatabaseNeverReadRefusesChangesAndIsNotWritten)
{
    const std::vector<std::uint8_t> damaged(100, 7);
    writeBytes(databasePath(), damaged);
    start();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_FALSE(data.contacts.isLoaded());
    EXPECT_EQ(rowCount(), 0);

    for (const char* name : {"SpeedButton2", "SpeedButton13", "SpeedButton3", "SpeedButton9"}) {
        QToolButton* button = toolButton(name);
        platform.informed.clear();
        button->click();
        ASSERT_EQ(platform.informed.size(), 1u) << button->text().toStdString();
        EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("Wirtello_nazwy_tematow.dat")));
        EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("nie mogłyby zostać zapisane")));
    }
    EXPECT_TRUE(platform.inputsAsked.empty());
    EXPECT_TRUE(platform.asked.isEmpty());
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>(4, 0));

    platform.askAnswers = {true};
    toolButton("SpeedButton27")->click();
    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(databaseBytes(), damaged);
    // The run is still recorded.
    EXPECT_EQ(countedAt(readBytes(folder / "Admini/historia.dat"), 32), "1");
}

// Without "NOTATKI" nothing can have changed, so both ends still end the program.
TEST_F(MainWindowTest, MissingNotesFolderStillLetsTheUserQuit)
{
    std::filesystem::remove_all(folder / "NOTATKI");
    start();
    ASSERT_EQ(platform.errors.size(), 1u);
    platform.askAnswers = {true};
    EXPECT_FALSE(requestClose(*window));
    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder / "NOTATKI"));
}

} // namespace
} // namespace wirtello::test
