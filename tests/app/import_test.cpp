// Contact import from the contact list's right-click menu.
#include "main_window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

#include <fstream>

namespace wirtello::test {
namespace {

class ImportTest : public MainWindowTest {
protected:
    std::filesystem::path writeFile(const std::string& name, const std::string& bytes)
    {
        const std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    QMenu* listMenu() const { return list()->findChild<QMenu*>(QStringLiteral("listMenu")); }

    // Right-clicks the list and chooses "Importuj kontakty…", answering the
    // file dialog with `file`.
    void importFrom(const std::optional<std::filesystem::path>& file)
    {
        platform.openFileAnswers.push_back(file);
        chooseImport();
    }

    void chooseImport()
    {
        const QPoint at(10, 10);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, list()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list()->viewport(), &click);
        QMenu* menu = listMenu();
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        menu->actions().at(0)->trigger();
        menu->hide();
    }

    static std::string vcard(const std::string& body) { return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + body + "END:VCARD\r\n"; }

    static std::vector<StoredContact> contacts(int count)
    {
        std::vector<StoredContact> stored;
        for (int slot = 0; slot < count; ++slot) {
            const std::string id = std::string(slot < 10 ? "00" : slot < 100 ? "0" : "") + std::to_string(slot);
            stored.push_back({slot, id + " K" + std::to_string(slot)});
        }
        return stored;
    }
};

TEST_F(ImportTest, TheListMenuImportsIntoMemoryAndKeepsTheCard)
{
    writeDatabase(contacts(2));
    writeBytes(counterPath(), {2, 0, 0, 0});
    start();
    clickRow(1);
    lineEdit("ulica")->setText(QStringLiteral("niezapisana zmiana"));
    const std::vector<std::uint8_t> storedBefore = databaseBytes();

    const auto file = writeFile("kontakty.vcf",
                                vcard("FN:Jan Kowalski\r\nN:Kowalski;Jan;;;\r\nADR;TYPE=WORK:;;ul. Łąkowa 5;Łódź;;90-001;\r\n"
                                      "TEL;TYPE=CELL:600\r\n")
                                    + vcard("FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C5=BBaneta\r\nEMAIL:z@x.pl\r\n"));
    importFrom(file);

    ASSERT_EQ(platform.openFileRequests.size(), 1u);
    EXPECT_EQ(platform.openFileRequests[0].title, QStringLiteral("Importuj kontakty"));
    EXPECT_EQ(entries(), QStringList({"000 K0", "001 K1", "002 Jan Kowalski", QStringLiteral("003 Żaneta")}));
    // The card, its unsaved edit and the selection are untouched.
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(lineEdit("ulica")->text(), QStringLiteral("niezapisana zmiana"));
    EXPECT_TRUE(window->changesPending());
    ASSERT_EQ(platform.informed.size(), 1u);
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("Dodano kontaktów: 2"))) << platform.informed[0].toStdString();
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("Przycięte pola (dłuższe niż mieści karta): 0")));
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("Pominięte wizytówki (puste lub nieczytelne): 0")));
    // Only memory changed; the counter file keeps the ids handed out.
    EXPECT_EQ(databaseBytes(), storedBefore);
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>({4, 0, 0, 0}));

    platform.threeWayAnswers = {Platform::Answer::No}; // the unsaved edit is dropped on moving
    clickRow(2);
    EXPECT_EQ(lineEdit("imie")->text(), "Jan Kowalski");
    EXPECT_EQ(lineEdit("ulica")->text(), QStringLiteral("ul. Łąkowa 5"));
    EXPECT_EQ(lineEdit("miejscowosc")->text(), QStringLiteral("90-001 Łódź"));
    EXPECT_EQ(lineEdit("komorka")->text(), "600");
    clickRow(3);
    EXPECT_EQ(lineEdit("mail")->text(), "z@x.pl");

    // The usual end stores them.
    platform.askAnswers.push_back(true);
    toolButton("SpeedButton27")->click();
    EXPECT_EQ(countedAt(databaseBytes(), fieldOffset(ContactField::Display, 3)), "003 \xaf" "aneta");
}

struct Outcome {
    const char* what;
    int contactsBefore;
    std::vector<std::uint8_t> counter;
    std::string file;
    QString message;     // a line the box shows
    int entriesAfter;
    bool fileAsked = true;
};

TEST_F(ImportTest, AnulujInTheProgressBoxAddsNothing)
{
    writeDatabase(contacts(1));
    start();
    const std::vector<std::uint8_t> before = databaseBytes();
    platform.cancelProgressAt = 0;
    importFrom(writeFile("kontakty.vcf", vcard("FN:Jan Kowalski\r\n") + vcard("FN:Anna Nowak\r\n")));

    EXPECT_EQ(platform.progressShown, QStringList({"Import kontaktów"}));
    EXPECT_EQ(entries(), QStringList({"000 K0"}));
    EXPECT_EQ(platform.informed, QStringList({"Import przerwany. Nie dodano żadnego kontaktu."}));
    EXPECT_EQ(databaseBytes(), before);
}

TEST_F(ImportTest, LimitsAndBadFilesEndInAClearMessage)
{
    std::string fiveCards;
    for (int i = 0; i < 5; ++i)
        fiveCards += vcard("FN:Nowy " + std::to_string(i) + "\r\n");
    const Outcome outcomes[] = {
        {"not a contact file", 1, {1, 0, 0, 0}, "To jest zwykły list.\r\nPozdrawiam\r\n",
         QStringLiteral("Nie dodano żadnego kontaktu."), 1},
        {"a CSV file with an over-long street and a character Windows-1250 lacks", 0, {0, 0, 0, 0},
         "Nazwa;Ulica\r\nΩmega;" + std::string(60, 'u') + "\r\n",
         QStringLiteral("Przycięte pola (dłuższe niż mieści karta): 1"), 1},
        {"two slots left for five cards", 499, {0xF3, 0x01, 0, 0}, fiveCards,
         QStringLiteral("Lista kontaktów jest pełna (501 kontaktów): nie dodano 3 z 5 kontaktów zapisanych w pliku."), 501},
        {"two ids left for five cards", 0, {0xE6, 0x03, 0, 0}, fiveCards,
         QStringLiteral("Wyczerpano numery kontaktów (od 000 do 999): nie dodano 3 z 5 kontaktów zapisanych w pliku."), 2},
        {"a full list asks for no file", 501, {0xF5, 0x01, 0, 0}, fiveCards,
         QStringLiteral("Lista kontaktów jest pełna (501 kontaktów). Nie można dodać nowych kontaktów."), 501, false},
    };
    for (const Outcome& o : outcomes) {
        SCOPED_TRACE(o.what);
        writeDatabase(contacts(o.contactsBefore));
        writeBytes(counterPath(), o.counter);
        platform.informed.clear();
        platform.openFileRequests.clear();
        start();
        const auto file = writeFile("plik.dat", o.file);
        if (o.fileAsked)
            importFrom(file);
        else
            chooseImport();
        EXPECT_EQ(platform.openFileRequests.size(), o.fileAsked ? 1u : 0u);
        ASSERT_EQ(platform.informed.size(), 1u);
        EXPECT_TRUE(platform.informed[0].split('\r').contains(o.message)) << platform.informed[0].toStdString();
        EXPECT_EQ(rowCount(), o.entriesAfter);
    }
}

TEST_F(ImportTest, NothingHappensWithoutAFileOrAReadableDatabase)
{
    start();
    importFrom(std::nullopt); // the dialog cancelled
    EXPECT_TRUE(platform.informed.isEmpty());
    EXPECT_EQ(rowCount(), 0);

    importFrom(folder / "nie ma takiego pliku.vcf");
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "nie ma takiego pliku.vcf");
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>({0, 0, 0, 0}));
}

TEST_F(ImportTest, ADatabaseThatCouldNotBeReadRefusesAsDodajDoes)
{
    writeBytes(databasePath(), std::vector<std::uint8_t>(100, 7));
    start();
    ASSERT_FALSE(data.contacts.isLoaded());
    chooseImport();
    EXPECT_TRUE(platform.openFileRequests.empty());
    ASSERT_FALSE(platform.informed.isEmpty());
    EXPECT_TRUE(platform.informed.back().startsWith(QStringLiteral("Baza kontaktów nie została wczytana")));
}

} // namespace
} // namespace wirtello::test
