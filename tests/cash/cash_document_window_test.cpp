#include "cash/cash_document_window.h"

#include "cash/numbering_file.h"
#include "tests/cash/numbering_bytes.h"
#include "tests/cash/cash_window_fixture.h"
#include "store/record_file.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QApplication>
#include <QGuiApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <chrono>

namespace wirtello {
namespace {

using test::numberingBytes;
using test::readBytes;
using test::writeBytes;

struct CashWindow : test::CashWindowFixture {
    std::filesystem::path nrkp() const { return folder / "DOKUMENTY/nrkp.dat"; }
    std::filesystem::path nrkw() const { return folder / "DOKUMENTY/nrkw.dat"; }

    void setAmounts(const std::vector<QString>& amounts)
    {
        DocumentLines lines = kp.documentLines();
        for (std::size_t r = 0; r < kDocumentRows; ++r)
            lines.amounts[r] = r < amounts.size() ? amounts[r].toStdString() : "";
        kp.setDocumentLines(lines);
    }

    QString cell(int row, int column) const
    {
        return test::control<QTableWidget>(kp, "tabela")->item(row, column)->text();
    }

    // The words printed after "Słownie :" on the first copy.
    std::string printedWords() const
    {
        for (const auto& text : printer.texts)
            if (text.text.starts_with("Słownie :"))
                return text.text;
        return {};
    }
};

// Types into the open editor of the grid's current cell, key by key.
QLineEdit* typeIntoCell(QTableWidget* grid, int row, int column, const QString& keys)
{
    // Editors closed earlier are deleted later; without an event loop they
    // linger as children of the grid. Gone, they cannot be mistaken for this one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The grid edits on every trigger, so moving to the cell opens its editor.
    grid->setCurrentCell(row, column);
    const QModelIndex cell = grid->model()->index(row, column);
    if (!grid->indexWidget(cell))
        grid->editItem(grid->item(row, column));
    // The cell's own editor, whichever widget has the focus.
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    if (!editor)
        return nullptr;
    for (const QChar c : keys) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &press);
    }
    return editor;
}

// Leaves the cell with Tab, as a user moving on to the next cell does.
void leaveCell(QLineEdit* editor)
{
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(editor, &tab);
    QCoreApplication::processEvents();
}

TEST(CashDocumentWindow, OpeningFillsTheBlocksAndCreatesOnlyItsNumberingFile)
{
    CashWindow w;
    EXPECT_FALSE(std::filesystem::exists(w.nrkp()));

    w.open(DocumentKind::Kp);
    ASSERT_TRUE(w.kp.isVisible());
    EXPECT_EQ(w.kp.windowTitle(), "Dokument Kp");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Panel1")->text(), "Dowód wpłaty");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label8")->text(), "Od kogo");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label9")->text(), "Jan Kowalski");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label10")->text(), "ul. Polna 3");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label11")->text(), "Łódź");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label12")->text(), "");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label3")->text(), "Biuro Żak");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label6")->text(), "NIP 123");
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "data")->text(), "06.12.2026");
    EXPECT_TRUE(test::control<QRadioButton>(w.kp, "k1")->isChecked());
    EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(1, ""));
    EXPECT_FALSE(std::filesystem::exists(w.nrkw()));
    EXPECT_TRUE(w.platform.errors.empty());

    // Reopened as KW: the lines stay, captions and numbering file change.
    w.setAmounts({QStringLiteral("10")});
    w.kp.dismiss();
    w.open(DocumentKind::Kw);
    EXPECT_EQ(w.kp.windowTitle(), "Dokument Kw");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Panel1")->text(), "Dowód wypłaty");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label8")->text(), "Komu");
    EXPECT_EQ(w.cell(0, 1), "10");
    EXPECT_EQ(w.kp.numberingFilePath(), w.nrkw());
    EXPECT_EQ(readBytes(w.nrkw()), numberingBytes(1, ""));
}

TEST(CashDocumentWindow, MissingDocumentsFolderKeepsTheWindowClosed)
{
    CashWindow w;
    std::filesystem::remove(w.folder / "DOKUMENTY");
    w.open(DocumentKind::Kp);
    EXPECT_FALSE(w.kp.isVisible());
    EXPECT_EQ(w.platform.errors.size(), 1u);
}

TEST(CashDocumentWindow, PrintingBearsTheStoredNumberAndLeavesTheNext)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    w.setAmounts({QStringLiteral("10"), QStringLiteral("2.5")});

    // Typed values give way to the stored ones.
    test::control<QLineEdit>(w.kp, "numerkp")->setText(QStringLiteral("7"));
    test::control<QLineEdit>(w.kp, "rozszerzeniekp")->setText(QStringLiteral("2006"));
    test::control<QToolButton>(w.kp, "SpeedButton13")->click();
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "numerkp")->text(), "1");
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "rozszerzeniekp")->text(), "");
    EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(2, ""));
    ASSERT_EQ(w.printer.jobsEnded, 1);
    EXPECT_EQ(w.printer.texts.at(0).text, "Dowód wpłaty KP nr 1/");
    EXPECT_EQ(w.printer.texts.at(1).text, "06.12.2026");
    EXPECT_EQ(w.printer.texts.at(4).text, "Biuro Żak");
    EXPECT_EQ(w.printer.texts.at(8).text, "Jan Kowalski");
    EXPECT_EQ(w.printedWords(), "Słownie :dwanaście złotych pięćdziesiąt groszy");
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "razem")->text(), "   12.50");

    // Cancelling the print dialog uses no number.
    w.platform.printerFactory = [] { return std::unique_ptr<PrintSurface>(); };
    w.kp.printDocument();
    EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(2, ""));

    // The stored extension is printed; each kind keeps its own counter.
    writeBytes(w.nrkp(), numberingBytes(5, "2026"));
    w.platform.printerFactory = [&w] { return w.printer.proxy(); };
    test::control<QRadioButton>(w.kp, "k2")->setChecked(true);
    w.kp.Timer1Timer();
    EXPECT_EQ(w.kp.colourPrintFlag(), 1);
    w.kp.printDocument();
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "rozszerzeniekp")->text(), "2026");
    EXPECT_EQ(w.printer.texts.back().colour, 0x0000FF); // a signature caption in red
    EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(6, "2026"));
    EXPECT_FALSE(std::filesystem::exists(w.nrkw()));
    EXPECT_TRUE(w.platform.errors.empty());
}

TEST(CashDocumentWindow, TotalsOutsideTheWordsAreRefusedBeforeAnyNumberIsUsed)
{
    const std::vector<std::vector<QString>> rows = {
        {QStringLiteral("2147483648")},
        {QStringLiteral("-0.01")},
        {QStringLiteral("99999999999999999999")},
    };
    for (const auto& amounts : rows) {
        CashWindow w;
        w.open(DocumentKind::Kw);
        w.setAmounts(amounts);
        w.kp.printDocument();
        EXPECT_EQ(w.platform.informed.size(), 1) << amounts.front().toStdString();
        EXPECT_EQ(w.platform.printerRequests, 0);
        EXPECT_EQ(readBytes(w.nrkw()), numberingBytes(1, ""));
    }
    CashWindow w;
    w.open(DocumentKind::Kw);
    w.setAmounts({QStringLiteral("2147483647.99")});
    w.kp.printDocument();
    EXPECT_TRUE(w.platform.informed.isEmpty());
    EXPECT_EQ(w.printer.jobsEnded, 1);
}

TEST(CashDocumentWindow, DamagedNumberingOrFontFilesAreErrorsThatUseNoNumber)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    writeBytes(w.nrkp(), {1, 0, 0});
    test::control<QToolButton>(w.kp, "SpeedButton13")->click();
    EXPECT_EQ(w.platform.errors.size(), 1u);
    EXPECT_EQ(w.printer.jobsStarted, 0);
    EXPECT_EQ(readBytes(w.nrkp()), (std::vector<std::uint8_t>{1, 0, 0}));

    writeBytes(w.nrkp(), numberingBytes(3, ""));
    writeBytes(w.folder / "FONT/font_zaplo_3906.dat", std::vector<std::uint8_t>(10, 0));
    test::control<QToolButton>(w.kp, "SpeedButton13")->click();
    EXPECT_EQ(w.platform.errors.size(), 2u);
    EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(3, ""));
}

// Amounts read from a document file are aligned as typed ones are, so that
// the printed lines add up to the printed total; text that is not a number
// stays as it was read and stops the printout.
TEST(CashDocumentWindow, LoadedAmountsAreShownAndPrintedInTheAmountFormat)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    DocumentLines stored;
    stored.amounts = {"0.015", "12.5", "7", "0", "0.005", "", "1.2.3"};
    CashDocumentRecord record;
    putLines(record, stored);
    const auto path = w.folder / "DOKUMENTY/obcy.kpw";
    storeRecord(path, record);

    w.platform.openFileAnswers.push_back(path);
    test::control<QToolButton>(w.kp, "SpeedButton4")->click();
    const std::array<std::string, kDocumentRows> shown = {"    0.02", "   12.50", "    7.00", "0", "    0.00", "", "1.2.3"};
    EXPECT_EQ(w.kp.documentLines().amounts, shown);

    DocumentLines fixed = w.kp.documentLines();
    fixed.amounts[6] = "";
    w.kp.setDocumentLines(fixed);
    w.kp.printDocument();
    ASSERT_EQ(w.printer.jobsEnded, 1);
    std::vector<std::string> printed;
    for (const auto& text : w.printer.texts)
        if (text.x == 152 * 12 && text.y >= 46 * 12 && text.y <= 91 * 12)
            printed.push_back(text.text);
    ASSERT_EQ(printed.size(), kDocumentRows);
    EXPECT_EQ(printed[0], "    0.02");
    EXPECT_EQ(printed[4], "    0.00");
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "razem")->text(), "   19.52");
}

// An amount that is not a number is named before anything is asked, drawn or
// numbered, whichever way the document is printed, and its cell is marked
// until it holds a number.
TEST(CashDocumentWindow, AmountsThatAreNotNumbersStopEveryPrintout)
{
    const struct {
        const char* amount;
        std::size_t row;
        PrintDestination destination;
    } rows[] = {
        {"1.200.50", 2, PrintDestination::Printer},
        {"1.2.3", 0, PrintDestination::Preview},
        {"12 zł", 9, PrintDestination::Pdf},
        {"-", 5, PrintDestination::Printer},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.amount);
        CashWindow w;
        w.open(DocumentKind::Kp);
        DocumentLines lines;
        lines.amounts[1] = "10.00";
        lines.amounts[row.row] = row.amount;
        w.kp.setDocumentLines(lines);
        w.kp.printDocument(row.destination);
        EXPECT_EQ(w.platform.informed,
                  QStringList{QStringLiteral("Kwota w wierszu %1 nie jest liczbą: „%2”.\r\r"
                                             "Popraw ją, a następnie wydrukuj dokument.")
                                  .arg(row.row + 1)
                                  .arg(QString::fromUtf8(row.amount))});
        EXPECT_EQ(w.platform.printerRequests, 0);
        EXPECT_TRUE(w.platform.previews.empty());
        EXPECT_TRUE(w.platform.saveFileRequests.empty());
        EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(1, ""));
        EXPECT_EQ(test::control<QLineEdit>(w.kp, "numerkp")->text(), "");

        QTableWidgetItem* cell = test::control<QTableWidget>(w.kp, "tabela")->item(static_cast<int>(row.row), 1);
        EXPECT_EQ(test::control<QTableWidget>(w.kp, "tabela")->currentItem(), cell);
        EXPECT_TRUE(cell->data(Qt::BackgroundRole).isValid());
        w.kp.Timer1Timer();
        EXPECT_TRUE(cell->data(Qt::BackgroundRole).isValid());
        cell->setText(QStringLiteral("5"));
        w.kp.Timer1Timer();
        EXPECT_FALSE(cell->data(Qt::BackgroundRole).isValid());
    }
}

// Another program holding the numbering file (a stuck workstation) is waited
// for a few seconds, then named; nothing is printed and no number is used.
TEST(CashDocumentWindow, ANumberingFileHeldElsewhereIsReportedAfterAShortWait)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    w.setAmounts({QStringLiteral("10")});
    test::HeldNumberingLock other(w.nrkp());
    ASSERT_TRUE(other.held());

    const auto start = std::chrono::steady_clock::now();
    w.kp.printDocument();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, kNumberingLockWait);
    ASSERT_EQ(w.platform.informed.size(), 1);
    EXPECT_TRUE(w.platform.informed[0].startsWith(QStringLiteral("Plik numeratora jest używany przez inny program:")))
        << w.platform.informed[0].toStdString();
    EXPECT_TRUE(w.platform.errors.empty());
    EXPECT_EQ(w.printer.jobsStarted, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(1, ""));

    other.release();
    w.kp.printDocument();
    EXPECT_EQ(w.printer.jobsEnded, 1);
    EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(2, ""));
}

TEST(CashDocumentWindow, AmountCellsFilterTypedAndPastedText)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    QApplication::setActiveWindow(&w.kp);

    const struct {
        int column;
        QString typed;
        QString kept;
        QString afterLeaving;
    } rows[] = {
        {1, QStringLiteral("12,5"), QStringLiteral("12.5"), QStringLiteral("   12.50")},
        {1, QStringLiteral("1a2b.x5"), QStringLiteral("12.5"), QStringLiteral("   12.50")},
        {1, QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")},
        {0, QStringLiteral("Czynsz, 12,5 zł"), QStringLiteral("Czynsz, 12,5 zł"), QStringLiteral("Czynsz, 12,5 zł")},
    };
    for (const auto& row : rows) {
        w.kp.clearDocument();
        QLineEdit* editor = typeIntoCell(test::control<QTableWidget>(w.kp, "tabela"), 2, row.column, row.typed);
        ASSERT_NE(editor, nullptr);
        w.kp.Timer1Timer(); // ticks while the user types
        EXPECT_EQ(editor->text(), row.kept) << row.typed.toStdString();
        leaveCell(editor);
        EXPECT_EQ(w.cell(2, row.column), row.kept) << row.typed.toStdString();
        // Having left the cell, the next tick aligns the amounts.
        w.kp.Timer1Timer();
        EXPECT_EQ(w.cell(2, row.column), row.afterLeaving) << row.typed.toStdString();
    }

    // Pasting goes through the same filter.
    w.kp.clearDocument();
    QApplication::clipboard()->setText(QStringLiteral("3,50 zł"));
    QLineEdit* editor = typeIntoCell(test::control<QTableWidget>(w.kp, "tabela"), 4, 1, QString());
    ASSERT_NE(editor, nullptr);
    editor->paste();
    EXPECT_EQ(editor->text(), "3.50");
}

TEST(CashDocumentWindow, EnterAlignsTheAmountsAndTheCash)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    w.setAmounts({QStringLiteral("4.5"), QStringLiteral("0")});
    test::control<QLineEdit>(w.kp, "gotowka")->setText(QStringLiteral("20"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(test::control<QTableWidget>(w.kp, "tabela"), &enter);
    EXPECT_EQ(w.cell(0, 1), "    4.50");
    EXPECT_EQ(w.cell(1, 1), "0");
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "gotowka")->text(), "   20.00");

    test::control<QLineEdit>(w.kp, "gotowka")->setText(QString());
    w.kp.gridEnterPressed();
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "gotowka")->text(), "    0.00");

    // Enter in a cell being edited: the cell takes the text, then everything is aligned.
    QApplication::setActiveWindow(&w.kp);
    QLineEdit* editor = typeIntoCell(test::control<QTableWidget>(w.kp, "tabela"), 6, 1, QStringLiteral("3,2"));
    ASSERT_NE(editor, nullptr);
    test::control<QLineEdit>(w.kp, "gotowka")->setText(QStringLiteral("5"));
    QApplication::sendEvent(editor, &enter);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.cell(6, 1), "    3.20");
    EXPECT_EQ(test::control<QLineEdit>(w.kp, "gotowka")->text(), "    5.00");
}

TEST(CashDocumentWindow, TickKeepsTotalAndChange)
{
    const struct {
        std::vector<QString> amounts;
        QString cash;
        QString total;
        QString change; // empty cash: the change keeps its text
    } rows[] = {
        {{QStringLiteral("10"), QStringLiteral("2.5"), QString()}, QStringLiteral("20"), QStringLiteral("   12.50"),
         QStringLiteral("    7.50")},
        {{QStringLiteral("1.2.3"), QStringLiteral("5")}, QStringLiteral("2"), QStringLiteral("    5.00"),
         QStringLiteral("   -3.00")},
        {{QStringLiteral("7")}, QString(), QStringLiteral("    7.00"), QStringLiteral("bez zmian")},
    };
    for (const auto& row : rows) {
        CashWindow w;
        w.open(DocumentKind::Kp);
        w.setAmounts(row.amounts);
        test::control<QLineEdit>(w.kp, "gotowka")->setText(row.cash);
        test::control<QLineEdit>(w.kp, "reszta")->setText(QStringLiteral("bez zmian"));
        w.kp.Timer1Timer();
        EXPECT_EQ(test::control<QLineEdit>(w.kp, "razem")->text(), row.total);
        EXPECT_EQ(test::control<QLineEdit>(w.kp, "reszta")->text(), row.change);
    }
}

TEST(CashDocumentWindow, SaveParametersIsEnabledByANumberAndRefused)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    w.kp.Timer1Timer();
    EXPECT_FALSE(test::control<QToolButton>(w.kp, "SpeedButton15")->isEnabled());
    test::control<QLineEdit>(w.kp, "numerkp")->setText(QStringLiteral("12"));
    w.kp.Timer1Timer();
    ASSERT_TRUE(test::control<QToolButton>(w.kp, "SpeedButton15")->isEnabled());
    test::control<QToolButton>(w.kp, "SpeedButton15")->click();
    EXPECT_EQ(w.platform.informed,
              QStringList{QStringLiteral("Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa.")});
    EXPECT_EQ(readBytes(w.nrkp()), numberingBytes(1, ""));
}

TEST(CashDocumentWindow, DocumentFilesRoundTripTheGrid)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    DocumentLines lines;
    for (std::size_t r = 0; r < kDocumentRows; ++r) {
        lines.descriptions[r] = "Opłata źródłowa " + std::to_string(r);
        lines.amounts[r] = formatAmount(static_cast<std::int64_t>(r) * 100 + 50);
    }
    lines.descriptions[4] = std::string(500, 'w');
    w.kp.setDocumentLines(lines);

    const auto path = w.folder / "DOKUMENTY/czynsz.kpw";
    w.platform.saveFileAnswers.push_back(path);
    test::control<QToolButton>(w.kp, "SpeedButton3")->click();
    ASSERT_EQ(readBytes(path).size(), 4020u);
    ASSERT_EQ(w.platform.saveFileRequests.size(), 1u);
    EXPECT_EQ(w.platform.saveFileRequests[0].filter, "Dokumenty Kp i Kw|*.kpw");
    EXPECT_EQ(w.platform.saveFileRequests[0].defaultExtension, "*.kpw");
    EXPECT_EQ(w.platform.saveFileRequests[0].startFolder, w.folder / "DOKUMENTY");

    test::control<QToolButton>(w.kp, "SpeedButton14")->click();
    EXPECT_EQ(w.kp.documentLines(), DocumentLines{});

    w.platform.openFileAnswers.push_back(path);
    test::control<QToolButton>(w.kp, "SpeedButton4")->click();
    lines.descriptions[4].resize(200);
    EXPECT_EQ(w.kp.documentLines(), lines);

    // A cancelled dialog, a missing file and a short file leave the grid as it is.
    writeBytes(w.folder / "krotki.kpw", std::vector<std::uint8_t>(4019, 0));
    w.platform.openFileAnswers = {std::nullopt, w.folder / "brak.kpw", w.folder / "krotki.kpw"};
    for (int i = 0; i < 3; ++i)
        test::control<QToolButton>(w.kp, "SpeedButton4")->click();
    EXPECT_EQ(w.kp.documentLines(), lines);
    EXPECT_EQ(w.platform.errors.size(), 1u);
    EXPECT_EQ(std::filesystem::current_path(), w.folder.path());
}

TEST(CashDocumentWindow, FixedContentsComeFromTheEditorInPolishOrder)
{
    CashWindow w;
    w.open(DocumentKind::Kp);
    test::control<QToolButton>(w.kp, "SpeedButton6")->click();
    EXPECT_FALSE(test::control<QListWidget>(w.kp, "lista")->isVisible()); // no file yet

    test::control<QToolButton>(w.kp, "SpeedButton5")->click();
    EXPECT_EQ(w.editor.parameters().file, "\\DOKUMENTY\\kptresc.dat");
    EXPECT_EQ(w.editor.parameters().caption, "Edytor stałej treści");
    EXPECT_EQ(w.editor.parameters().mode, Tlogowania_f::kStoreOnReturn);
    ASSERT_TRUE(w.editor.isVisible());
    EXPECT_TRUE(std::filesystem::exists(w.folder / "DOKUMENTY/kptresc.dat"));
    test::control<QPlainTextEdit>(w.editor, "Memo1")
        ->setPlainText(QStringLiteral("Zaliczka\nśmieci\nczynsz\n\nŁódź, delegacja\nSprzedaż\n"));
    w.editor.returnFromEditor();

    test::control<QToolButton>(w.kp, "SpeedButton6")->click();
    ASSERT_TRUE(test::control<QListWidget>(w.kp, "lista")->isVisible());
    QStringList items;
    for (int i = 0; i < test::control<QListWidget>(w.kp, "lista")->count(); ++i)
        items << test::control<QListWidget>(w.kp, "lista")->item(i)->text();
    EXPECT_EQ(items, (QStringList{QString(), QStringLiteral("czynsz"), QStringLiteral("Łódź, delegacja"),
                                  QStringLiteral("Sprzedaż"), QStringLiteral("śmieci"), QStringLiteral("Zaliczka")}));

    test::control<QTableWidget>(w.kp, "tabela")->setCurrentCell(3, 1);
    w.kp.insertFixedContent(test::control<QListWidget>(w.kp, "lista")->item(3));
    EXPECT_EQ(w.cell(3, 0), "Sprzedaż");
    EXPECT_FALSE(test::control<QListWidget>(w.kp, "lista")->isVisible());

    test::control<QToolButton>(w.kp, "SpeedButton6")->click();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(test::control<QListWidget>(w.kp, "lista"), &escape);
    EXPECT_FALSE(test::control<QListWidget>(w.kp, "lista")->isVisible());

    // The KW document has its own list.
    w.kp.dismiss();
    w.open(DocumentKind::Kw);
    test::control<QToolButton>(w.kp, "SpeedButton5")->click();
    EXPECT_EQ(w.editor.parameters().file, "\\DOKUMENTY\\kwtresc.dat");
    EXPECT_TRUE(test::control<QPlainTextEdit>(w.editor, "Memo1")->toPlainText().isEmpty());
}

TEST(CashDocumentWindow, EditPanelChangesOneBlockUntilTheNextOpening)
{
    CashWindow w;
    w.open(DocumentKind::Kw);
    const auto labels = [&w](std::array<const char*, 4> names) {
        std::array<QLabel*, 4> found;
        for (std::size_t i = 0; i < names.size(); ++i)
            found[i] = test::control<QLabel>(w.kp, names[i]);
        return found;
    };
    const struct {
        QToolButton* edit;
        QString caption;
        std::array<QLabel*, 4> block;
    } rows[] = {
        {test::control<QToolButton>(w.kp, "SpeedButton7"), QStringLiteral("Kto"),
         labels({"Label3", "Label4", "Label5", "Label6"})},
        {test::control<QToolButton>(w.kp, "SpeedButton8"), QStringLiteral("Komu/Od kogo"),
         labels({"Label9", "Label10", "Label11", "Label12"})},
    };
    for (const auto& row : rows) {
        row.edit->click();
        ASSERT_TRUE(test::control<QFrame>(w.kp, "Panel2")->isVisible());
        EXPECT_EQ(test::control<QFrame>(w.kp, "Panel2")->geometry(), QRect(96, 56, 413, 273));
        EXPECT_EQ(test::control<QLabel>(w.kp, "Label21")->text(), row.caption);
        EXPECT_EQ(test::control<QLineEdit>(w.kp, "pole1")->text(), row.block[0]->text());
        test::control<QLineEdit>(w.kp, "pole2")->setText(QStringLiteral("zmienione"));
        test::control<QToolButton>(w.kp, "SpeedButton10")->click(); // "Zaniechaj"
        EXPECT_FALSE(test::control<QFrame>(w.kp, "Panel2")->isVisible());
        EXPECT_NE(row.block[1]->text(), "zmienione");

        row.edit->click();
        test::control<QLineEdit>(w.kp, "pole4")->setText(QStringLiteral("czwarta"));
        test::control<QToolButton>(w.kp, "SpeedButton9")->click(); // "Wstaw"
        EXPECT_FALSE(test::control<QFrame>(w.kp, "Panel2")->isVisible());
        EXPECT_EQ(row.block[3]->text(), "czwarta");
    }
    w.kp.dismiss();
    w.open(DocumentKind::Kw);
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label6")->text(), "NIP 123");
    EXPECT_EQ(test::control<QLabel>(w.kp, "Label12")->text(), "");
    EXPECT_TRUE(test::control<QLineEdit>(w.kp, "pole4")->text().isEmpty());
}

TEST(CashDocumentWindow, CalculatorIsTheFirstOneInstalled)
{
    const struct {
        QStringList installed;
        QStringList tried;
        bool informed;
    } rows[] = {
        {{QStringLiteral("galculator"), QStringLiteral("xcalc")},
         {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator")},
         false},
        {{QStringLiteral("gnome-calculator")}, {QStringLiteral("gnome-calculator")}, false},
        {{},
         {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
          QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")},
         true},
    };
    for (const auto& row : rows) {
        CashWindow w;
        w.open(DocumentKind::Kp);
        w.platform.installedPrograms = row.installed;
        test::control<QToolButton>(w.kp, "SpeedButton2")->click();
        EXPECT_EQ(w.platform.executed, row.tried);
        EXPECT_EQ(w.platform.informed.size(), row.informed ? 1 : 0);
        for (const auto& folder : w.platform.execFolders)
            EXPECT_EQ(folder, w.folder.path());
    }
}

} // namespace
} // namespace wirtello

