#include "companions/segregator/document_register.h"
#include "companions/segregator/register_csv.h"
#include "companions/segregator/register_window.h"

#include "platform/qt_platform.h"
#include "store/safe_file.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/temp_folder.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

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

TEST(Segregator, RowsStaySortedByDateAndFilterByDirectionAndText)
{
    DocumentRegister rows;
    rows.add(row(2026, 12, 5, Direction::Incoming, "KP/2", "Pismo Łęcka"));
    rows.add(row(2026, 11, 1, Direction::Outgoing, "L.dz. 17/2026", "Oferta", "dla Żółć"));
    EXPECT_EQ(rows.add(row(2026, 12, 5, Direction::Outgoing, "KW/3", "Zwrot", "", "Dokumenty/kw3.kpw")), 2u);
    EXPECT_EQ(rows.replace(0, row(2027, 1, 1, Direction::Outgoing, "L.dz. 1/2027", "Oferta")), 2u);
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

// The second window on a register only reads; the lock goes with the first.
TEST(SegregatorWindow, ASecondCopyIsReadOnly)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    auto first = std::make_unique<Opened>(openWindow(platform, program.path()));
    Opened second = openWindow(platform, program.path());
    EXPECT_FALSE(second.find<QLabel>("tylkoOdczyt")->isHidden());
    EXPECT_EQ(second.find<QLabel>("tylkoOdczyt")->text(),
              QStringLiteral("Dokument jest otwarty w innym oknie — tylko do odczytu."));
    for (const char* action : {"dodaj", "zapisz", "usun", "dolaczPlik"})
        EXPECT_FALSE(second.find<QPushButton>(action)->isEnabled()) << action;
    EXPECT_TRUE(first->find<QLabel>("tylkoOdczyt")->isHidden());
    first.reset();
    Opened third = openWindow(platform, program.path());
    EXPECT_TRUE(third.find<QPushButton>("dodaj")->isEnabled());
}

// A damaged register is kept aside and the window starts empty; one too
// large to read is never written over.
TEST(SegregatorWindow, DamagedAndOversizeRegisters)
{
    const struct {
        std::string onDisk;
        bool keptAside;
    } cases[] = {
        {kHeader + "2026-13-01\tprzychodzący\tA\tB\tC\t\n", true},
        {kHeader + "2026-12-01\tprzychodzący\tMa\xb3gorzata\tB\tC\t\n", true},
        {kHeader + std::string(4 * 1024 * 1024, 'x'), false},
    };
    for (const auto& c : cases) {
        test::TempFolder program;
        writeText(program / "segregator/007.lis", c.onDisk);
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        EXPECT_EQ(opened.rows(), 0);
        if (c.keptAside) {
            ASSERT_EQ(platform.informed.size(), 1);
            EXPECT_TRUE(platform.informed[0].contains("007.lis.uszkodzony-")) << platform.informed[0].toStdString();
            EXPECT_FALSE(fs::exists(program / "segregator/007.lis"));
            EXPECT_TRUE(opened.find<QPushButton>("dodaj")->isEnabled());
        } else {
            EXPECT_EQ(platform.errors.size(), 1u);
            EXPECT_FALSE(opened.find<QPushButton>("dodaj")->isEnabled());
            EXPECT_EQ(readText(program / "segregator/007.lis"), c.onDisk);
        }
    }
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
    writeText(program / "segregator/007.lis", kHeader + "2026-12-01\tprzychodzący\t=1+1\tPismo Łęcka\tuwaga\t\n");
    ScriptedPlatform platform;
    Opened opened = openWindow(platform, program.path());
    platform.saveFileAnswers = {program / "rejestr.csv"};
    opened.click("eksportCsv");
    EXPECT_EQ(readText(program / "rejestr.csv"), "\xEF\xBB\xBF"
                                                 "Data;Kierunek;Znak / numer;Tytuł;Uwagi;Plik\r\n"
                                                 "2026-12-01;przychodzący;'=1+1;Pismo Łęcka;uwaga;\r\n");
    EXPECT_EQ(platform.informed.size(), 1);

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
// Tak adds it (a changed selected row is stored instead), Nie drops it.
TEST(SegregatorWindow, ClosingAsksAboutTypedRows)
{
    const struct {
        bool selected;
        std::vector<Platform::Answer> answers;
        bool closed;
        const char* asked;
        std::string onDisk;
    } cases[] = {
        {false, {Platform::Answer::Cancel}, false, "Dodać wpisany dokument do rejestru?", ""},
        {false, {Platform::Answer::Yes}, true, "Dodać wpisany dokument do rejestru?",
         "2026-12-05\tprzychodzący\tKP/9\tNowy\t\t\n"},
        {true, {Platform::Answer::Yes}, true, "Zapisać zmiany wybranego dokumentu w rejestrze?",
         "2026-12-05\tprzychodzący\tKP/9\tNowy\t\t\n"},
        {true, {Platform::Answer::No}, true, "Zapisać zmiany wybranego dokumentu w rejestrze?",
         "2026-12-01\twychodzący\tA\tB\t\t\n"},
    };
    for (const auto& c : cases) {
        test::TempFolder program;
        const std::string before = c.selected ? kHeader + "2026-12-01\twychodzący\tA\tB\t\t\n" : kHeader;
        writeText(program / "segregator/007.lis", before);
        ScriptedPlatform platform;
        Opened opened = openWindow(platform, program.path());
        if (c.selected)
            opened.find<QTableWidget>("rejestr")->selectRow(0);
        EXPECT_TRUE(opened.window->close()) << "nothing typed yet";
        opened.fill(QDate(2026, 12, 5), 0, "KP/9", "Nowy");
        platform.threeWayAnswers = {c.answers.begin(), c.answers.end()};
        EXPECT_EQ(opened.window->close(), c.closed);
        EXPECT_EQ(platform.asked, QStringList{QString::fromUtf8(c.asked)});
        EXPECT_EQ(readText(program / "segregator/007.lis"), c.onDisk.empty() ? before : kHeader + c.onDisk);
    }
}
