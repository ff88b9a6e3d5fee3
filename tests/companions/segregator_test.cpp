#include "companions/segregator/document_register.h"
#include "companions/segregator/register_csv.h"
#include "companions/segregator/register_window.h"

#include "companions/companion_kit/document_watch.h"
#include "platform/session_end.h"

#include "platform/qt_platform.h"
#include "store/safe_file.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/companions/companion_window_checks.h"
#include "tests/support/temp_folder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>
#include <sys/stat.h>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::readText;
using test::writeText;
using namespace std::chrono;

RegisterRow row(int y, unsigned m, unsigned d, Direction direction, std::string sign, std::string title,
                std::string note = {}, std::string attachment = {})
{
    return {year(y) / month(m) / day(d), direction, std::move(sign), std::move(title), std::move(note),
            std::move(attachment)};
}

const std::string kHeader = "Rejestr dokumentów 1\n";

// A register window on program/segregator/007.lis, opened as the program opens it.
struct Opened {
    ScriptedPlatform& platform;
    std::unique_ptr<QWidget> window;
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    QString cell(int r, int c) { return find<QTableWidget>("rejestr")->item(r, c)->text(); }
    int rows() { return find<QTableWidget>("rejestr")->rowCount(); }
    int selectedRow()
    {
        const QList<QTableWidgetItem*> items = find<QTableWidget>("rejestr")->selectedItems();
        return items.isEmpty() ? -1 : items.front()->row();
    }
    void fill(const QDate& date, int direction, const QString& sign, const QString& title)
    {
        find<QDateEdit>("data")->setDate(date);
        find<QComboBox>("kierunek")->setCurrentIndex(direction);
        find<QLineEdit>("znak")->setText(sign);
        find<QLineEdit>("tytul")->setText(title);
    }
};

Opened openWindow(ScriptedPlatform& platform, const fs::path& program,
                  std::vector<std::string> arguments = {"007.lis", "Rejestr dokumentów dla: Anna Łęcka "})
{
    return {platform, openRegisterWindow({std::move(arguments), trustFolderTree(program)}, platform)};
}

} // namespace

// The file as stored and read back: Polish letters, separators and line
// breaks inside the texts, an empty register; the bytes of one row exactly.
TEST(Segregator, RegisterFileRoundTrip)
{
    const std::vector<std::vector<RegisterRow>> registers = {
        {},
        {row(2026, 12, 1, Direction::Incoming, "KP/1/2026", "Pismo Łęcka", "Żółć", "Dokumenty/kp1.kpw")},
        {row(2026, 1, 2, Direction::Outgoing, "a\tb\\n", "x;\"y\"", "linia 1\nlinia 2\r\n", "/tmp/Żółć.pdf"),
         row(2026, 1, 3, Direction::Incoming, "", "")},
    };
    for (const auto& rows : registers)
        EXPECT_EQ(parseRegister(formatRegister(rows)), rows);
    EXPECT_EQ(formatRegister({row(2026, 12, 1, Direction::Outgoing, "L.dz. 7", "Oferta", "a\tb\nc\\", "x.kpw")}),
              kHeader + "2026-12-01\twychodzący\tL.dz. 7\tOferta\ta\\tb\\nc\\\\\tx.kpw\n");
    EXPECT_EQ(parseRegister(""), std::vector<RegisterRow>{});
    EXPECT_EQ(parseRegister("Rejestr dokumentów 1\r\n2026-12-01\tprzychodzący\t\tT\t\t\r\n").at(0).title, "T");
}

TEST(Segregator, DamagedRegisterFilesAreRefused)
{
    for (const std::string& text : {
             std::string("Rejestr 2\n"),
             kHeader + "2026-12-01\tprzychodzący\tA\tB\tC\n",
             kHeader + "2026-02-30\tprzychodzący\tA\tB\tC\t\n",
             kHeader + "01.12.2026\tprzychodzący\tA\tB\tC\t\n",
             kHeader + "2026-12-01\tw obie strony\tA\tB\tC\t\n",
             kHeader + "2026-12-01\tprzychodzący\tA\\x\tB\tC\t\n",
             kHeader + "2026-12-01\tprzychodzący\tA\tB\tC\t",
         }) {
        SCOPED_TRACE(text);
        EXPECT_THROW(parseRegister(text), RegisterFormatError);
    }
}

// Every row that reads is kept; the first line that does not is named with
// the reason, its value quoted (a long one cut before a character).
TEST(Segregator, UnreadableLinesAreNamedAndTheOtherRowsKept)
{
    const std::string good = "2026-12-01\tprzychodzący\tA\tB\tC\t\n";
    std::string longDirection = "x";
    for (int i = 0; i < 30; ++i)
        longDirection += "ż";
    const struct {
        std::string text;
        std::size_t rows;
        DocumentProblem problem;
    } cases[] = {
        {"Rejestr 2\n" + good, 0, {1, "to nie jest rejestr dokumentów (brak nagłówka „Rejestr dokumentów 1”)"}},
        {kHeader + "2026-12-01\tprzychodzący\tA\tB\tC\n" + good, 1, {2, "pól jest 5, a powinno być 6"}},
        {kHeader + good + "2026-02-30\tprzychodzący\tA\tB\tC\t\n" + good, 2, {3, "zła data „2026-02-30”"}},
        {kHeader + good + "2026-12-01\tw obie strony\tA\tB\tC\t\n2026-12-01\t?\tA\tB\tC\t\r\n" + good, 2,
         {3, "nieznany kierunek „w obie strony”"}},
        {kHeader + "2026-12-01\tprzychodzący\tA\\x\tB\tC\t\n" + good, 1, {2, "nieznany znak po „\\” w „A\\x”"}},
        {kHeader + good + "2026-12-01\tprzychodzący\tA\tB\tC\t", 1, {3, "wiersz urwany, bez końca wiersza"}},
        {kHeader + "2026-12-01\t" + longDirection + "\tA\tB\tC\t\n", 0,
         {2, "nieznany kierunek „" + longDirection.substr(0, 39) + "…”"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<RegisterRow> rows;
        EXPECT_EQ(readRegister(c.text, rows), c.problem);
        EXPECT_EQ(rows.size(), c.rows);
        for (const RegisterRow& r : rows)
            EXPECT_EQ(r.sign, "A");
    }
}

TEST(Segregator, RowsStaySortedByDateAndFilterByDirectionAndText)
{
    DocumentRegister rows;
    rows.add(row(2026, 12, 5, Direction::Incoming, "KP/2", "Pismo Łęcka"));
    rows.add(row(2026, 11, 1, Direction::Outgoing, "L.dz. 17/2026", "Oferta", "dla Żółć"));
    EXPECT_EQ(rows.add(row(2026, 12, 5, Direction::Outgoing, "KW/3", "Zwrot", "", "Dokumenty/kw3.kpw")), 2u);
    // A changed row keeps its key wherever its new date puts it.
    const RowKey changed = rows.keyAt(0);
    EXPECT_EQ(rows.replace(0, row(2027, 1, 1, Direction::Outgoing, "L.dz. 1/2027", "Oferta")), 2u);
    EXPECT_EQ(rows.indexOf(changed), 2u);
    std::vector<std::string> signs;
    for (const RegisterRow& r : rows.rows())
        signs.push_back(r.sign);
    EXPECT_EQ(signs, (std::vector<std::string>{"KP/2", "KW/3", "L.dz. 1/2027"}));

    const struct {
        std::optional<Direction> direction;
        const char* query;
        std::vector<std::string> shown;
    } filters[] = {
        {std::nullopt, "", {"KP/2", "KW/3", "L.dz. 1/2027"}},
        {Direction::Outgoing, "", {"KW/3", "L.dz. 1/2027"}},
        {std::nullopt, "LECKA", {"KP/2"}},
        {std::nullopt, "05.12", {"KP/2", "KW/3"}},
        {std::nullopt, "kw 3", {"KW/3"}},
        {std::nullopt, "kw3.kpw", {"KW/3"}},
        {Direction::Incoming, "oferta", {}},
    };
    for (const auto& filter : filters) {
        SCOPED_TRACE(filter.query);
        std::vector<std::string> shown;
        for (const RegisterRow& r : rows.rows())
            if (rowMatches(r, filter.direction, filter.query))
                shown.push_back(r.sign);
        EXPECT_EQ(shown, filter.shown);
    }
}

TEST(Segregator, CsvIsUtf8WithSemicolonsAndFormulaSafeCells)
{
    const std::vector<RegisterRow> rows = {
        row(2026, 12, 1, Direction::Incoming, "=SUMA(A1)", "+48 600", "-5;@x", "\tx"),
        row(2026, 12, 2, Direction::Outgoing, "@a", "Łęcka \"Żółć\"", "a\nb", "/tmp/kp.kpw"),
    };
    EXPECT_EQ(registerCsv(rows), "\xEF\xBB\xBF"
                                 "Data;Kierunek;Znak / numer;Tytuł;Uwagi;Plik\r\n"
                                 "2026-12-01;przychodzący;'=SUMA(A1);'+48 600;\"'-5;@x\";'\tx\r\n"
                                 "2026-12-02;wychodzący;'@a;\"Łęcka \"\"Żółć\"\"\";\"a\nb\";/tmp/kp.kpw\r\n");
}

TEST(Segregator, AttachedFilesBelowTheProgramFolderAreStoredRelative)
{
    EXPECT_EQ(attachmentReference("/p/Wirtello", "/p/Wirtello/Dokumenty/kp1.kpw"), "Dokumenty/kp1.kpw");
    EXPECT_EQ(attachmentReference("/p/Wirtello", "/p/Inne/kp1.kpw"), "/p/Inne/kp1.kpw");
    EXPECT_EQ(attachmentReference("/p/Wirtello", "/p/Wirtello/../x.kpw"), "/p/x.kpw");
    test::TempFolder program({"Dokumenty"});
    writeText(program / "Dokumenty/kp1.kpw", "x");
    EXPECT_EQ(attachmentPath(program.path(), "Dokumenty/kp1.kpw"), program / "Dokumenty/kp1.kpw");
}

// Arguments as the program gives them: the title line with Polish letters
// heads the window; a file name leading elsewhere is refused.
TEST(SegregatorWindow, TitleLineHeadsTheWindowAndBadNamesAreRefused)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path(), {"007.lis", "Rejestr", "dokumentów dla: Żółć Łęcka "});
    EXPECT_EQ(opened.window->windowTitle(), QStringLiteral("Rejestr dokumentów dla: Żółć Łęcka"));
    EXPECT_EQ(opened.find<QLabel>("naglowek")->text(), opened.window->windowTitle());
    EXPECT_TRUE(fs::is_directory(program / "segregator"));
    for (const std::vector<std::string>& bad : {std::vector<std::string>{}, {"../007.lis"}, {"007.kom"}})
        EXPECT_THROW(openWindow(platform, program.path(), bad), std::invalid_argument);
}

// Added, changed and deleted rows are on disk at once and there at the next opening.
TEST(SegregatorWindow, RowsAreStoredAtOnceAndDeletingAsks)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    {
        Opened opened = openWindow(platform, program.path());
        opened.fill(QDate(2026, 12, 5), 0, "KP/2", "Pismo Łęcka");
        opened.click("dodaj");
        opened.fill(QDate(2026, 11, 1), 1, "L.dz. 17", "Oferta");
        opened.find<QPlainTextEdit>("uwagi")->setPlainText("Żółć");
        opened.click("dodaj");
        EXPECT_EQ(readText(program / "segregator/007.lis"),
                  kHeader + "2026-11-01\twychodzący\tL.dz. 17\tOferta\tŻółć\t\n"
                            "2026-12-05\tprzychodzący\tKP/2\tPismo Łęcka\t\t\n");
        opened.fill(QDate(2026, 11, 1), 1, "", "");
        opened.click("dodaj");
        EXPECT_EQ(platform.informed, QStringList{"Wpisz znak lub tytuł dokumentu."});
    }
    Opened opened = openWindow(platform, program.path());
    ASSERT_EQ(opened.rows(), 2);
    EXPECT_EQ(opened.cell(0, 0), "01.11.2026");
    EXPECT_EQ(opened.cell(1, 3), QStringLiteral("Pismo Łęcka"));

    opened.find<QTableWidget>("rejestr")->selectRow(1);
    opened.find<QLineEdit>("tytul")->setText("Pismo poprawione");
    opened.find<QDateEdit>("data")->setDate(QDate(2026, 10, 1));
    opened.click("zapisz");
    EXPECT_EQ(opened.cell(0, 3), "Pismo poprawione");

    opened.find<QComboBox>("kierunekFiltr")->setCurrentIndex(2);
    ASSERT_EQ(opened.rows(), 1);
    EXPECT_EQ(opened.find<QLabel>("licznik")->text(), "1 z 2");
    opened.find<QTableWidget>("rejestr")->selectRow(0);
    platform.askAnswers = {false, true};
    opened.click("usun");
    EXPECT_EQ(opened.rows(), 1);
    opened.click("usun");
    EXPECT_EQ(platform.askCaptions, (QStringList{"Pytanie", "Pytanie"}));
    EXPECT_EQ(platform.asked.at(0), QStringLiteral("Usunąć z rejestru dokument „L.dz. 17 Oferta” z dnia 01.11.2026?"));
    EXPECT_EQ(opened.rows(), 0);
    EXPECT_EQ(readText(program / "segregator/007.lis"),
              kHeader + "2026-10-01\tprzychodzący\tKP/2\tPismo poprawione\t\t\n");
}

// A register held by another workstation opens read-only: no button stores
// and the form takes no typing, so nothing typed is dropped on closing. It
// shows what the other copy stores and offers to take over once that one
// closes; declined, the lock is left for anyone else.
TEST(SegregatorWindow, ASecondCopyIsReadOnlyFollowsTheFileAndMayTakeOver)
{
    const std::string first = "2026-12-01\twychodzący\tA\tB\t\t\n";
    const std::string second = "2026-12-03\tprzychodzący\tC\tD\t\t\n";
    for (const bool takeOver : {true, false}) {
        SCOPED_TRACE(takeOver);
        test::TempFolder program;
        const fs::path file = program / "segregator/007.lis";
        writeText(file, kHeader + first);
        std::optional<DocumentLock> other = DocumentLock::tryLock(file);
        ASSERT_TRUE(other);
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        EXPECT_EQ(opened.find<QLabel>("tylkoOdczyt")->text(),
                  QStringLiteral("Dokument jest otwarty w innym oknie — tylko do odczytu."));
        for (const char* action : {"dodaj", "zapisz", "usun", "dolaczPlik"})
            EXPECT_FALSE(opened.find<QPushButton>(action)->isEnabled()) << action;
        EXPECT_FALSE(opened.find<QComboBox>("kierunek")->isEnabled());
        const QDate date = opened.find<QDateEdit>("data")->date();
        for (const char* field : {"znak", "tytul", "uwagi", "data"})
            QTest::keyClicks(opened.find<QWidget>(field), "12X");
        EXPECT_EQ(opened.find<QLineEdit>("znak")->text() + opened.find<QLineEdit>("tytul")->text() +
                      opened.find<QPlainTextEdit>("uwagi")->toPlainText(), "");
        EXPECT_EQ(opened.find<QDateEdit>("data")->date(), date);

        auto* watch = opened.window->findChild<DocumentWatch*>();
        ASSERT_NE(watch, nullptr);
        writeText(file, kHeader + first + second);
        watch->check();
        ASSERT_EQ(opened.rows(), 2);
        EXPECT_EQ(opened.cell(1, 3), "D");
        EXPECT_TRUE(platform.asked.isEmpty());

        other.reset();
        platform.askAnswers = {takeOver};
        watch->check();
        EXPECT_EQ(platform.asked, QStringList{QString::fromUtf8(kTakeOverQuestion)});
        EXPECT_EQ(opened.find<QPushButton>("dodaj")->isEnabled(), takeOver);
        EXPECT_EQ(opened.find<QLineEdit>("znak")->isReadOnly(), !takeOver);
        EXPECT_EQ(opened.find<QLabel>("tylkoOdczyt")->isHidden(), takeOver);
        EXPECT_EQ(DocumentLock::tryLock(file).has_value(), !takeOver);
        if (takeOver) {
            opened.fill(QDate(2026, 12, 5), 0, "KP/9", "Nowy");
            opened.click("dodaj");
            EXPECT_EQ(readText(file), kHeader + first + second + "2026-12-05\tprzychodzący\tKP/9\tNowy\t\t\n");
        } else {
            EXPECT_TRUE(opened.window->close());
        }
    }
}

// A second start on this machine brings the open window forward instead of
// opening a read-only copy; another contact gets its own window.
TEST(SegregatorWindow, ASecondStartBringsTheFirstWindowForward)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    Opened first = openWindow(platform, program.path());
    ASSERT_FALSE(first.window->isVisible());
    EXPECT_EQ(openWindow(platform, program.path()).window, nullptr);
    for (int round = 0; round < 200 && !first.window->isVisible(); ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(first.window->isVisible());
    Opened other = openWindow(platform, program.path(), {"008.lis", "Rejestr dokumentów dla: Jan Żak"});
    ASSERT_NE(other.window, nullptr);
    EXPECT_TRUE(other.find<QPushButton>("dodaj")->isEnabled());
}

// A line the reader refuses is named with its reason and the rows that read
// are shown. Tak keeps a copy of the file and edits the rows read, Nie leaves
// the file untouched and the window read-only. A register too large to read
// is never written over.
TEST(SegregatorWindow, UnreadableLinesAreNamedAndTheReadRowsShown)
{
    const std::string good = "2026-12-01\twychodzący\tA\tB\t\t\n";
    const std::string badLine = "2026-12-02\tw obie strony\tC\tD\t\t\n";
    const std::string tooLarge = kHeader + std::string(4 * 1024 * 1024, 'x');
    for (const std::string& onDisk : {kHeader + good + badLine + good, kHeader + badLine + good, tooLarge}) {
        const bool keepCopy = onDisk.starts_with(kHeader + badLine);
        test::TempFolder program;
        const fs::path file = program / "segregator/007.lis";
        writeText(file, onDisk);
        ScriptedPlatform platform;
        if (onDisk != tooLarge)
            platform.askAnswers = {keepCopy};
        Opened opened = openWindow(platform, program.path());
        EXPECT_EQ(opened.rows(), onDisk == tooLarge ? 0 : onDisk == kHeader + badLine + good ? 1 : 2);
        EXPECT_EQ(opened.find<QPushButton>("dodaj")->isEnabled(), keepCopy);
        if (!keepCopy) {
            EXPECT_EQ(platform.errors.size(), onDisk == tooLarge ? 1u : 0u);
            EXPECT_EQ(readText(file), onDisk);
            continue;
        }
        ASSERT_EQ(platform.asked.size(), 1);
        EXPECT_TRUE(platform.asked[0].startsWith(QStringLiteral("Plik %1, wiersz 2: nieznany kierunek „w obie strony”.")
                                                     .arg(QString::fromStdString(file.string()))));
        opened.fill(QDate(2026, 12, 5), 0, "KP/9", "Nowy");
        opened.click("dodaj");
        EXPECT_EQ(readText(file), kHeader + good + "2026-12-05\tprzychodzący\tKP/9\tNowy\t\t\n");
    }
}

// A row that would take the register past what the program reads again is
// refused before anything is written; the typing stays in the form and the
// rows on screen stay as stored.
TEST(SegregatorWindow, ARowThatWouldOutgrowTheRegisterIsRefused)
{
    test::TempFolder program;
    const fs::path file = program / "segregator/007.lis";
    std::string big = kHeader + "2026-12-01\twychodzący\tA\tB\t";
    big += std::string(kCompanionFileLimit - big.size() - 20, 'x') + "\t\n";
    writeText(file, big);
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    ASSERT_EQ(opened.rows(), 1);
    opened.fill(QDate(2026, 12, 5), 0, "KP/9", "Nowy");
    opened.click("dodaj");
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].operation().find("Tekst pozostaje w oknie"), std::string::npos);
    platform.threeWayAnswers = {Platform::Answer::Yes};
    EXPECT_FALSE(opened.window->close());
    EXPECT_EQ(platform.errors.size(), 2u);
    EXPECT_EQ(readText(file), big);
    EXPECT_EQ(opened.rows(), 1);
    EXPECT_EQ(opened.find<QLineEdit>("tytul")->text(), "Nowy");
    platform.threeWayAnswers = {Platform::Answer::No};
    EXPECT_TRUE(opened.window->close());
}

// A cash document is attached through the file dialog; only an existing
// regular file is handed to the desktop's opener.
TEST(SegregatorWindow, AttachedFilesOpenOnlyWhenTheyAreRegularFiles)
{
    test::TempFolder program({"Dokumenty"});
    writeText(program / "Dokumenty/kp1.kpw", "x");
    ASSERT_EQ(mkfifo((program / "Dokumenty/fifo.kpw").c_str(), 0600), 0);
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    const struct {
        fs::path file;
        const char* told; // nullptr: opened
    } cases[] = {
        {program / "Dokumenty/kp1.kpw", nullptr},
        {program / "Dokumenty/fifo.kpw", "To nie jest zwykły plik, nie zostanie otwarty:\n"},
        {program / "Dokumenty/brak.kpw", "Nie ma dołączonego pliku:\n"},
    };
    for (const auto& c : cases) {
        platform.informed.clear();
        platform.openFileAnswers = {c.file};
        opened.click("nowy");
        opened.fill(QDate(2026, 12, 1), 0, "KP/1", "Wpłata");
        opened.click("dolaczPlik");
        EXPECT_TRUE(platform.openFileRequests.back().filter.contains("*.kpw"));
        EXPECT_EQ(platform.openFileRequests.back().startFolder, program / "Dokumenty");
        opened.click("dodaj");
        opened.click("otworzPlik");
        if (c.told) {
            EXPECT_EQ(platform.informed, QStringList{QString::fromUtf8(c.told) + QString::fromStdString(c.file.string())});
        } else {
            EXPECT_EQ(platform.openedDocuments, std::vector<fs::path>{c.file});
            EXPECT_EQ(opened.cell(0, 5), "kp1.kpw");
        }
    }
    EXPECT_EQ(platform.openedDocuments.size(), 1u);
    EXPECT_NE(readText(program / "segregator/007.lis").find("\tDokumenty/kp1.kpw\n"), std::string::npos);
}

// The desktop's opener never gets a folder, a pipe or a name of nothing.
TEST(SegregatorWindow, ThePlatformOpensOnlyRegularFiles)
{
    test::TempFolder folder;
    ASSERT_EQ(mkfifo((folder / "fifo.kpw").c_str(), 0600), 0);
    QtPlatform platform;
    for (const fs::path& refused : {folder.path(), folder / "fifo.kpw", folder / "brak.kpw"})
        EXPECT_FALSE(platform.openDocument(refused)) << refused;
}

TEST(SegregatorWindow, ExportsCsvAndPrintsTheRegister)
{
    test::TempFolder program;
    writeText(program / "segregator/007.lis", kHeader + "2026-12-01\tprzychodzący\t=1+1\tPismo Łęcka\tuwaga\t\n"
                                                        "2026-12-02\twychodzący\tKW/1\tZwrot\t\t\n");
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    platform.saveFileAnswers = {program / "rejestr.csv"};
    opened.click("eksportCsv");
    EXPECT_EQ(readText(program / "rejestr.csv"), "\xEF\xBB\xBF"
                                                 "Data;Kierunek;Znak / numer;Tytuł;Uwagi;Plik\r\n"
                                                 "2026-12-01;przychodzący;'=1+1;Pismo Łęcka;uwaga;\r\n"
                                                 "2026-12-02;wychodzący;KW/1;Zwrot;;\r\n");
    EXPECT_EQ(platform.informed.size(), 1);

    // The printout holds the rows shown under the filter.
    opened.find<QLineEdit>("szukaj")->setText("lecka");
    ASSERT_EQ(opened.find<QLabel>("licznik")->text(), "1 z 2");
    RecordingPrintSurface printed;
    platform.printerFactory = [&printed] { return printed.proxy(); };
    opened.click("drukuj");
    std::vector<std::string> texts;
    for (const auto& text : printed.texts)
        texts.push_back(text.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Rejestr dokumentów dla: Anna Łęcka",
                                               "01.12.2026  przychodzący  =1+1  Pismo Łęcka", "      uwaga"}));
}

// Closing with a typed row asks whether to add it: Anuluj keeps the window,
// Tak adds it (a changed row is stored into that row, even while the search
// hides it), Nie drops it.
TEST(SegregatorWindow, ClosingAsksAboutTypedRows)
{
    const QString adding = QStringLiteral("Dodać do rejestru nowy dokument „KP/9 Nowy”?");
    const QString changing = QStringLiteral("Zapisać zmiany dokumentu „A B” z dnia 01.12.2026 w rejestrze?");
    const std::string typed = "2026-12-05\tprzychodzący\tKP/9\tNowy\t\t\n";
    const struct {
        bool selected;
        const char* search;
        Platform::Answer answer;
        bool closed;
        QString asked;
        std::string onDisk;
    } cases[] = {
        {false, "", Platform::Answer::Cancel, false, adding, ""},
        {false, "", Platform::Answer::Yes, true, adding, typed},
        {true, "", Platform::Answer::Yes, true, changing, typed},
        {true, "", Platform::Answer::No, true, changing, "2026-12-01\twychodzący\tA\tB\t\t\n"},
        {true, "zzz", Platform::Answer::Yes, true, changing, typed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked.toStdString() + " " + c.search);
        test::TempFolder program;
        const std::string before = c.selected ? kHeader + "2026-12-01\twychodzący\tA\tB\t\t\n" : kHeader;
        writeText(program / "segregator/007.lis", before);
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        if (c.selected)
            opened.find<QTableWidget>("rejestr")->selectRow(0);
        EXPECT_TRUE(opened.window->close()) << "nothing typed yet";
        opened.fill(QDate(2026, 12, 5), 0, "KP/9", "Nowy");
        opened.find<QLineEdit>("szukaj")->setText(c.search);
        platform.threeWayAnswers = {c.answer};
        EXPECT_EQ(opened.window->close(), c.closed);
        EXPECT_EQ(platform.asked, QStringList{c.asked});
        EXPECT_EQ(readText(program / "segregator/007.lis"), c.onDisk.empty() ? before : kHeader + c.onDisk);
    }
}

// Another row clicked or "Nowy" pressed while the form holds typing asks
// first: Tak stores it, Nie drops it, Anuluj keeps the form and puts the
// selection back.
TEST(SegregatorWindow, TypedFormIsNotReplacedUnasked)
{
    const std::string rowA = "2026-12-01\twychodzący\tA\tB\t\t\n";
    const std::string rowC = "2026-12-03\tprzychodzący\tC\tD\t\t\n";
    const std::string typed = "2026-12-05\tprzychodzący\tKP/9\tNowy\t\t\n";
    const std::string changedA = "2026-12-01\twychodzący\tA\tB2\t\t\n";
    using enum Platform::Answer;
    const struct {
        bool editing;   // the first row selected and its title changed; else a new document typed
        bool pressNowy; // else the second row clicked
        Platform::Answer answer;
        std::string onDisk;
        const char* title; // in the form afterwards
        int selected;      // table row afterwards, -1 none
    } cases[] = {
        {false, false, Cancel, rowA + rowC, "Nowy", -1},
        {false, false, Yes, rowA + rowC + typed, "D", 1},
        {false, true, No, rowA + rowC, "", -1},
        {false, true, Yes, rowA + rowC + typed, "", -1},
        {true, false, Cancel, rowA + rowC, "B2", 0},
        {true, false, No, rowA + rowC, "D", 1},
        {true, false, Yes, changedA + rowC, "D", 1},
        {true, true, Cancel, rowA + rowC, "B2", 0},
        {true, true, Yes, changedA + rowC, "", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.editing << c.pressNowy << static_cast<int>(c.answer));
        test::TempFolder program;
        const fs::path file = program / "segregator/007.lis";
        writeText(file, kHeader + rowA + rowC);
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        if (c.editing) {
            opened.find<QTableWidget>("rejestr")->selectRow(0);
            opened.find<QLineEdit>("tytul")->setText("B2");
        } else {
            opened.fill(QDate(2026, 12, 5), 0, "KP/9", "Nowy");
        }
        platform.threeWayAnswers = {c.answer};
        if (c.pressNowy)
            opened.click("nowy");
        else
            opened.find<QTableWidget>("rejestr")->selectRow(1);
        EXPECT_EQ(platform.asked, QStringList{c.editing ? QStringLiteral("Zapisać zmiany dokumentu „A B” z dnia 01.12.2026 w rejestrze?")
                                                        : QStringLiteral("Dodać do rejestru nowy dokument „KP/9 Nowy”?")});
        EXPECT_EQ(readText(file), kHeader + c.onDisk);
        EXPECT_EQ(opened.find<QLineEdit>("tytul")->text(), QString::fromUtf8(c.title));
        EXPECT_EQ(opened.selectedRow(), c.selected);
    }
}

// The end of the desktop session keeps what the close would ask about,
// asking nothing: a typed document is added, a changed row stored; an
// untouched form and a form with nothing typed leave the file as it was.
TEST(SegregatorWindow, SessionEndStoresTheFormWithoutAsking)
{
    const std::string rowA = "2026-12-01\twychodzący\tA\tB\t\t\n";
    const struct {
        const char* name;
        bool selectFirst;
        const char* sign;
        const char* title;
        const char* note;
        std::string onDisk;
    } cases[] = {
        {"typed new", false, "KP/9", "Nowy", "", rowA + "2026-12-05\tprzychodzący\tKP/9\tNowy\t\t\n"},
        {"note only", false, "", "", "Żółć", rowA + "2026-12-05\tprzychodzący\t\t\tŻółć\t\n"},
        {"row changed", true, "A", "B2", "", "2026-12-05\tprzychodzący\tA\tB2\t\t\n"},
        {"nothing typed", false, "", "", "", rowA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder program;
        const fs::path file = program / "segregator/007.lis";
        writeText(file, kHeader + rowA);
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        if (c.selectFirst)
            opened.find<QTableWidget>("rejestr")->selectRow(0);
        if (*c.sign || *c.title || *c.note || c.selectFirst) {
            opened.fill(QDate(2026, 12, 5), 0, c.sign, c.title);
            opened.find<QPlainTextEdit>("uwagi")->setPlainText(QString::fromUtf8(c.note));
        }
        storeForSessionEnd();
        storeForSessionEnd(); // a log-out cancelled, then a second one: stored once
        EXPECT_EQ(readText(file), kHeader + c.onDisk);
        EXPECT_TRUE(platform.asked.isEmpty());
        EXPECT_TRUE(platform.informed.isEmpty());
        EXPECT_TRUE(opened.window->close()) << "nothing left to ask about";
    }
}

// By keys alone: Tab leaves the table and the note field, Enter in the form
// adds a new document or stores the row chosen, Escape closes (asking about
// typing), every button is on the Tab round and has its own Alt letter, and a
// screen reader finds a name on every control.
TEST(SegregatorWindow, KeyboardAndScreenReaderReachEverything)
{
    test::TempFolder program;
    const fs::path file = program / "segregator/007.lis";
    writeText(file, kHeader + "2026-12-01\twychodzący\tA\tB\t\t\n");
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    opened.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(opened.window.get())) << "a window shown takes the keyboard";

    EXPECT_EQ(test::namelessControls(opened.window.get()), QStringList());
    const struct {
        const char* control;
        const char* name;
    } names[] = {{"kierunekFiltr", "Kierunek:"}, {"szukaj", "Szukaj:"}, {"data", "Data:"}, {"kierunek", "Kierunek:"},
                 {"znak", "Znak / numer:"}, {"tytul", "Tytuł:"}, {"plik", "Plik:"}, {"uwagi", "Uwagi:"},
                 {"rejestr", "Dokumenty w rejestrze"}};
    for (const auto& n : names)
        EXPECT_EQ(test::spokenName(opened.find<QWidget>(n.control)), QString::fromUtf8(n.name)) << n.control;
    EXPECT_EQ(test::repeatedAltLetters(opened.window.get()), QStringList());

    const struct {
        const char* from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* to;
    } moves[] = {
        {"rejestr", Qt::Key_Tab, Qt::NoModifier, "data"},
        {"rejestr", Qt::Key_Backtab, Qt::ShiftModifier, "szukaj"},
        {"uwagi", Qt::Key_Tab, Qt::NoModifier, "dolaczPlik"},
        {"uwagi", Qt::Key_Backtab, Qt::ShiftModifier, "plik"},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(std::string(m.from) + " -> " + m.to);
        QWidget* reached = test::focusAfter(opened.find<QWidget>(m.from), m.key, m.modifiers);
        ASSERT_NE(reached, nullptr);
        EXPECT_EQ(reached->objectName().toStdString(), m.to);
    }
    EXPECT_EQ(opened.find<QPlainTextEdit>("uwagi")->toPlainText(), QString());
    QTest::keyClick(opened.find<QWidget>("uwagi"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(opened.find<QPlainTextEdit>("uwagi")->toPlainText(), QStringLiteral("\t"));
    opened.find<QPlainTextEdit>("uwagi")->clear();

    const QList<QWidget*> round = test::tabRoundFrom(opened.find<QWidget>("kierunekFiltr"));
    for (QPushButton* button : opened.window->findChildren<QPushButton*>())
        EXPECT_TRUE(round.contains(button)) << button->objectName().toStdString();

    // Enter in a field: a new document is added, then the row chosen is stored.
    opened.fill(QDate(2026, 12, 5), 0, "KP/9", "Nowy");
    QTest::keyClick(opened.find<QWidget>("znak"), Qt::Key_Return);
    EXPECT_EQ(readText(file), kHeader + "2026-12-01\twychodzący\tA\tB\t\t\n2026-12-05\tprzychodzący\tKP/9\tNowy\t\t\n");
    opened.find<QLineEdit>("tytul")->setText("Nowszy");
    QTest::keyClick(opened.find<QWidget>("kierunek"), Qt::Key_Enter, Qt::KeypadModifier);
    opened.find<QPlainTextEdit>("uwagi")->setPlainText("Żółć");
    QTest::keyClick(opened.find<QWidget>("uwagi"), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(readText(file), kHeader + "2026-12-01\twychodzący\tA\tB\t\t\n2026-12-05\tprzychodzący\tKP/9\tNowszy\tŻółć\t\n");
    EXPECT_EQ(opened.rows(), 2);
    EXPECT_TRUE(platform.asked.isEmpty());

    // Escape closes, asking first about typing.
    opened.find<QLineEdit>("tytul")->setText("Inny");
    platform.threeWayAnswers = {Platform::Answer::Cancel};
    QTest::keyClick(opened.find<QWidget>("tytul"), Qt::Key_Escape);
    EXPECT_EQ(platform.asked.size(), 1);
    EXPECT_TRUE(opened.window->isVisible());
    platform.threeWayAnswers = {Platform::Answer::No};
    QTest::keyClick(opened.find<QWidget>("rejestr"), Qt::Key_Escape);
    EXPECT_FALSE(opened.window->isVisible());
}
