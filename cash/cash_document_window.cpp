#include "cash_document_window.h"

#include "ui_cash_document_window.h"

#include "cash/cash_printout.h"
#include "cash/numbering_file.h"
#include "cash/text_editor_window.h"
#include "cash/text_lines.h"

#include "admin/data_folder.h"
#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/program_folder.h"

#include <QApplication>
#include <QBrush>
#include <QCollator>
#include <QColor>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <optional>
#include <vector>

namespace wirtello {
namespace {

constexpr int kGridRows = static_cast<int>(kDocumentRows);
constexpr int kAmountColumn = 1;
constexpr std::uint8_t kIssuer = 1;
constexpr std::uint8_t kCounterparty = 2;

// Tried in this order; the first one that starts is used.
const char* const kCalculators[] = {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk", "xcalc"};

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string toUtf8(const QString& text)
{
    return text.toStdString();
}

// The tick rewrites these ten times a second; an unchanged text is left alone
// so a selection in it survives.
void setIfChanged(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

// The background of an amount cell that printing refused.
const QColor kRefusedAmountColour(0xFF, 0xC0, 0xC0);

// The wait cursor while the numbering file's lock is awaited.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

Tkp_f::Tkp_f(AppData& data, Platform& platform, CurrentPrintFont& printFont, Tlogowania_f& textEditor,
             WidgetBuilding building)
    : data_(data), platform_(platform), printFont_(printFont), textEditor_(textEditor)
{
    setObjectName(QStringLiteral("Tkp_f"));
    setWindowTitle(QStringLiteral("Dokument Kp"));
    setFixedClientSize(629, 515);
    buildWidgetsIf(building);
}

Tkp_f::~Tkp_f() = default;

void Tkp_f::build()
{
    buildLayout();
    setUpKeyboard();
    connectHandlers();
}

void Tkp_f::connectHandlers()
{
    onClick(ui_->SpeedButton1, platform_, [this] { dismiss(); });
    onClick(ui_->SpeedButton2, platform_, [this] { startCalculator(); });
    onClick(ui_->SpeedButton3, platform_, [this] { saveDocument(); });
    onClick(ui_->SpeedButton4, platform_, [this] { readDocument(); });
    onClick(ui_->SpeedButton5, platform_, [this] { openContentEditor(); });
    onClick(ui_->SpeedButton6, platform_, [this] { showFixedContents(); });
    onClick(ui_->SpeedButton7, platform_, [this] { editIssuer(); });
    onClick(ui_->SpeedButton8, platform_, [this] { editCounterparty(); });
    onClick(ui_->SpeedButton9, platform_, [this] { applyEdit(); });
    onClick(ui_->SpeedButton10, platform_, [this] { cancelEdit(); });
    onClick(ui_->SpeedButton11, platform_, [this] { showHelp(); });
    onClick(ui_->SpeedButton12, platform_, [this] { hideHelp(); });
    onClick(ui_->SpeedButton13, platform_, [this] { printDocument(); });
    // The menu's entries are not clicks: they get the same guard here.
    addPrintMenu(ui_->SpeedButton13, [this](PrintDestination destination) {
        runGuarded(platform_, [this, destination] { printDocument(destination); });
    });
    onClick(ui_->SpeedButton14, platform_, [this] { clearDocument(); });
    onClick(ui_->SpeedButton15, platform_, [this] { saveParameters(); });
    connect(ui_->lista, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { insertFixedContent(item); });
    connect(ui_->gotowka, &QLineEdit::editingFinished, this, [this] { cashEntered(); });
    connect(ui_->gotowka, &QLineEdit::textChanged, this,
            [this](const QString& text) { document_.setCash(toUtf8(text)); });
    // Typing, pasting and the window's own rewriting all reach the document.
    connect(ui_->tabela, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        const auto row = static_cast<std::size_t>(item->row());
        if (item->column() == kAmountColumn)
            document_.setAmount(row, toUtf8(item->text()));
        else
            document_.setDescription(row, toUtf8(item->text()));
    });
    connect(timer_, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void Tkp_f::prepareDocument(DocumentKind kind, const QString& firstLine, const QString& secondLine,
                            const QString& street, const QString& town, const std::array<QString, 4>& companyLines)
{
    buildWidgets();
    document_.setKind(kind);
    document_.setCounterparty({toUtf8(firstLine + QLatin1Char(' ') + secondLine), toUtf8(street), toUtf8(town), {}});
    DocumentBlock issuer;
    for (std::size_t i = 0; i < issuer.size(); ++i)
        issuer[i] = toUtf8(companyLines[i]);
    document_.setIssuer(issuer);
    showBlocks();
}

void Tkp_f::showBlocks()
{
    for (const std::uint8_t target : {kIssuer, kCounterparty}) {
        const std::array<QLabel*, 4> labels = block(target);
        const DocumentBlock& lines = documentBlock(target);
        for (std::size_t i = 0; i < labels.size(); ++i)
            labels[i]->setText(fromUtf8(lines[i]));
    }
}

void Tkp_f::initialise()
{
    if (!resolveDataFolder(platform_, data_.programFolder, false))
        return;
    // A document is prepared, and the widgets built, by prepareDocument() only.
    if (!widgetsBuilt())
        return;

    for (QLineEdit* edit : panelEdits())
        edit->clear();
    ui_->k1->setChecked(true);
    ui_->k2->setChecked(false);

    if (document_.kind() == DocumentKind::None)
        return;

    const bool cashIn = document_.kind() == DocumentKind::Kp;
    ui_->Panel1->setText(cashIn ? QStringLiteral("Dowód wpłaty") : QStringLiteral("Dowód wypłaty"));
    setWindowTitle(cashIn ? QStringLiteral("Dokument Kp") : QStringLiteral("Dokument Kw"));
    ui_->Label8->setText(cashIn ? QStringLiteral("Od kogo") : QStringLiteral("Komu"));
    ui_->Label8->adjustSize();

    numberingPath_ = numberingPath(dataFolder(), document_.kind());
    // Not run by a click: the failure is shown here and opening stops.
    try {
        createNumberingFileIfMissing(numberingPath_);
    } catch (const IoError& error) {
        platform_.showError(error);
        initialiseFailed();
        return;
    }

    // Typing starts in the first line, whatever was scrolled to before.
    ui_->tabela->setCurrentCell(0, 0);
    ui_->tabela->scrollToTop();
    ui_->tabela->setFocus(Qt::OtherFocusReason);

    timer_->start();
    ui_->razem->clear();
    ui_->data->setText(platform_.formatShortDate(platform_.now().date()));
}

void Tkp_f::setCell(int row, int column, const QString& text)
{
    QTableWidgetItem* item = ui_->tabela->item(row, column);
    if (!item) {
        item = new QTableWidgetItem();
        ui_->tabela->setItem(row, column, item);
    }
    if (item->text() != text)
        item->setText(text);
}

DocumentLines Tkp_f::documentLines() const
{
    return document_.lines();
}

void Tkp_f::setDocumentLines(const DocumentLines& lines)
{
    document_.setLines(lines);
    showLines();
}

void Tkp_f::showLines()
{
    // Copied first: each cell set reports back to the document.
    const DocumentLines lines = document_.lines();
    for (int row = 0; row < kGridRows; ++row) {
        setCell(row, 0, fromUtf8(lines.descriptions[row]));
        setCell(row, kAmountColumn, fromUtf8(lines.amounts[row]));
    }
}

void Tkp_f::Wyrownaj()
{
    document_.alignAmounts();
    showLines();
}

void Tkp_f::Timer1Timer()
{
    ui_->SpeedButton15->setEnabled(!ui_->numerkp->text().isEmpty());
    colourFlag_ = ui_->k2->isChecked() ? 1 : 0;

    const int column = ui_->tabela->currentColumn();
    if (column != lastColumn_) {
        Wyrownaj();
        lastColumn_ = column;
    }
    const int row = ui_->tabela->currentRow();
    if (row != lastRow_) {
        Wyrownaj();
        lastRow_ = row;
    }

    clearMendedAmountMarks();
    total_ = document_.total();
    setIfChanged(ui_->razem, fromUtf8(totalText(total_)));
    if (const std::optional<std::string> change = document_.changeText())
        setIfChanged(ui_->reszta, fromUtf8(*change));
}

bool Tkp_f::amountsAreNumbers()
{
    for (int row = 0; row < kGridRows; ++row) {
        const QString text = fromUtf8(document_.lines().amounts[row]);
        if (readAmount(toUtf8(text)).kind != AmountReading::Kind::NotANumber)
            continue;
        QTableWidgetItem* item = ui_->tabela->item(row, kAmountColumn);
        item->setBackground(QBrush(kRefusedAmountColour));
        ui_->tabela->setCurrentCell(row, kAmountColumn);
        platform_.inform(QStringLiteral("Kwota w wierszu %1 nie jest liczbą: „%2”.\r\r"
                                        "Popraw ją, a następnie wydrukuj dokument.")
                             .arg(row + 1)
                             .arg(text.trimmed()));
        return false;
    }
    return true;
}

void Tkp_f::clearMendedAmountMarks()
{
    for (int row = 0; row < kGridRows; ++row) {
        QTableWidgetItem* item = ui_->tabela->item(row, kAmountColumn);
        if (item && item->data(Qt::BackgroundRole).isValid() && readAmount(toUtf8(item->text())).isNumber())
            item->setData(Qt::BackgroundRole, QVariant());
    }
}

void Tkp_f::commitOpenCell()
{
    // Ctrl+P leaves the focus where it was: a cell still being typed in gives
    // its text to the grid when its editor loses the focus.
    QWidget* focus = QApplication::focusWidget();
    if (focus && ui_->tabela->viewport()->isAncestorOf(focus))
        ui_->tabela->setFocus(Qt::OtherFocusReason);
}

void Tkp_f::cashEntered()
{
    ui_->gotowka->setText(fromUtf8(reformattedAmount(toUtf8(ui_->gotowka->text()))));
}

void Tkp_f::gridEnterPressed()
{
    cashEntered();
    Wyrownaj();
}

bool Tkp_f::eventFilter(QObject* watched, QEvent* event)
{
    if (ui_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == ui_->tabela && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            // Enter on a cell that is not being edited; an open editor reports its own.
            gridEnterPressed();
            return true;
        }
        if (watched == ui_->tabela && tabLeavesGrid(*static_cast<QKeyEvent*>(event))) {
            leaveGrid(*static_cast<QKeyEvent*>(event));
            return true;
        }
        if (watched == ui_->lista && key == Qt::Key_Escape) {
            closeFixedContents();
            return true;
        }
        if (watched == ui_->lista && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            insertFixedContent(ui_->lista->currentItem());
            return true;
        }
    }
    return ProgramWindow::eventFilter(watched, event);
}

std::array<QLabel*, 4> Tkp_f::block(std::uint8_t target) const
{
    if (target == kCounterparty)
        return {ui_->Label9, ui_->Label10, ui_->Label11, ui_->Label12};
    return {ui_->Label3, ui_->Label4, ui_->Label5, ui_->Label6};
}

const DocumentBlock& Tkp_f::documentBlock(std::uint8_t target) const
{
    return target == kCounterparty ? document_.counterparty() : document_.issuer();
}

std::array<QLineEdit*, 4> Tkp_f::panelEdits() const
{
    return {ui_->pole1, ui_->pole2, ui_->pole3, ui_->pole4};
}

void Tkp_f::openEditPanel(std::uint8_t target)
{
    editTarget_ = target;
    const DocumentBlock& lines = documentBlock(target);
    const std::array<QLineEdit*, 4> edits = panelEdits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(fromUtf8(lines[i]));
    ui_->Label21->setText(target == kIssuer ? QStringLiteral("Kto") : QStringLiteral("Komu/Od kogo"));
    ui_->Label21->adjustSize();
    nameEditPanelLines();
    ui_->Panel2->setGeometry(96, 56, 413, 273);
    openPanel(ui_->Panel2, ui_->pole1);
}

void Tkp_f::editIssuer()
{
    openEditPanel(kIssuer);
}

void Tkp_f::editCounterparty()
{
    openEditPanel(kCounterparty);
}

void Tkp_f::applyEdit()
{
    DocumentBlock lines;
    const std::array<QLineEdit*, 4> edits = panelEdits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        lines[i] = toUtf8(edits[i]->text());
    if (editTarget_ == kCounterparty)
        document_.setCounterparty(lines);
    else
        document_.setIssuer(lines);
    showBlocks();
    closePanel(ui_->Panel2);
}

void Tkp_f::cancelEdit()
{
    closePanel(ui_->Panel2);
}

void Tkp_f::showHelp()
{
    ui_->Panel3->setGeometry(8, 8, 613, 293);
    openPanel(ui_->Panel3, ui_->SpeedButton12);
}

void Tkp_f::hideHelp()
{
    closePanel(ui_->Panel3);
}

void Tkp_f::showFixedContents()
{
    if (document_.kind() == DocumentKind::None)
        return;
    const std::filesystem::path path = fixedContentsPath(dataFolder(), document_.kind());
    if (!fileExists(path))
        return;
    QStringList items;
    for (const std::string& line : readTextLines(path, kFixedContentsLimit))
        items << fromUtf8(line);
    // Polish alphabetical order, as a reader of the list expects it.
    QCollator collator{QLocale(QLocale::Polish, QLocale::Poland)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items.begin(), items.end(),
                     [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    ui_->lista->clear();
    ui_->lista->addItems(items);
    ui_->lista->setCurrentRow(0);
    openPanel(ui_->lista, ui_->lista);
}

void Tkp_f::insertFixedContent(QListWidgetItem* item)
{
    if (!item)
        return;
    const int row = std::max(ui_->tabela->currentRow(), 0);
    setCell(row, 0, item->text());
    closeFixedContents();
}

void Tkp_f::closeFixedContents()
{
    closePanel(ui_->lista);
    ui_->tabela->setFocus(Qt::OtherFocusReason);
}

void Tkp_f::openContentEditor()
{
    if (document_.kind() == DocumentKind::None)
        return;
    textEditor_.setParameters({fixedContentsEditorFile(document_.kind()), "Edytor stałej treści", Tlogowania_f::kStoreOnReturn});
    textEditor_.open();
}

FileDialogRequest Tkp_f::documentDialog(const QString& title) const
{
    FileDialogRequest request;
    request.title = title;
    request.filter = QStringLiteral("Dokumenty Kp i Kw|*.kpw");
    request.defaultExtension = QStringLiteral("*.kpw");
    request.startFolder = joinPath(dataFolder(), "Dokumenty");
    return request;
}

void Tkp_f::saveDocument()
{
    const std::optional<std::filesystem::path> chosen =
        platform_.saveFile(documentDialog(QStringLiteral("Zapisz dokument")));
    if (!chosen || chosen->empty())
        return;
    saveDocumentFile(*chosen, documentBuffer_, document_);
}

void Tkp_f::readDocument()
{
    const std::optional<std::filesystem::path> chosen =
        platform_.openFile(documentDialog(QStringLiteral("Czytaj dokument")));
    if (!chosen || chosen->empty() || !fileExists(*chosen))
        return;
    // The grid changes only once the whole record was read.
    readDocumentFile(*chosen, documentBuffer_, document_);
    showLines();
    // Shown, totalled and printed in the amount format, as typed amounts are.
    Wyrownaj();
}

void Tkp_f::startCalculator()
{
    for (const char* calculator : kCalculators)
        if (platform_.exec(QString::fromLatin1(calculator), dataFolder()))
            return;
    platform_.inform(QStringLiteral("Nie znaleziono kalkulatora. Zainstaluj jeden z programów: gnome-calculator, "
                                    "kcalc, galculator, qalculate-gtk lub xcalc."));
}

void Tkp_f::clearDocument()
{
    setDocumentLines(DocumentLines{});
}

void Tkp_f::saveParameters()
{
    checkBossLevel(platform_);
}

void Tkp_f::printDocument(PrintDestination destination)
{
    if (document_.kind() == DocumentKind::None)
        return;
    commitOpenCell();
    // Nothing is printed or numbered while a line states no amount.
    if (!amountsAreNumbers())
        return;
    // The lines as printed add up to the total printed below them.
    Wyrownaj();
    // The total as it stands now, not as the last tick saw it.
    total_ = document_.total();
    ui_->razem->setText(fromUtf8(totalText(total_)));
    if (!printableTotal(total_)) {
        platform_.inform(QStringLiteral("Kwota dokumentu musi mieścić się w granicach od 0.00 do 2147483647.99. "
                                        "Popraw kwoty, a następnie wydrukuj dokument."));
        return;
    }

    const bool kw = document_.kind() == DocumentKind::Kw;
    const PrintoutTarget target{kw ? QStringLiteral("Dowód wypłaty KW") : QStringLiteral("Dowód wpłaty KP"),
                                PaperSize::A4, kw ? QStringLiteral("dokument KW.pdf") : QStringLiteral("dokument KP.pdf")};
    try {
        printTo(platform_, destination, target,
                [this](PrintSurface& surface, PrintDestination to) { printOn(surface, to); });
    } catch (const NumberingRefused& refused) {
        // A number that cannot be given is explained, not reported as a failure.
        platform_.inform(QString::fromStdString(refused.what()));
    }
}

void Tkp_f::printOn(PrintSurface& surface, PrintDestination destination)
{
    // The font first: a damaged font file must not use up a number.
    CzytajFonty(printFont_, kPrintFontFile);
    CashDocumentPrint document = printOf(document_);
    if (destination == PrintDestination::Printer) {
        std::optional<WaitCursor> waitCursor;
        const DocumentNumber taken =
            takeDocumentNumber(numberingPath_, kNumberingLockWait, [&waitCursor] { waitCursor.emplace(); });
        ui_->numerkp->setText(QString::number(taken.number));
        ui_->rozszerzeniekp->setText(fromUtf8(taken.extension));
        document.number = toUtf8(ui_->numerkp->text());
        document.extension = toUtf8(ui_->rozszerzeniekp->text());
        colourFlag_ = ui_->k2->isChecked() ? 1 : 0;
    } else {
        // Only a real print numbers a document; the window keeps
        // showing the number of the last one printed.
        const DocumentNumber next = readNextDocumentNumber(numberingPath_);
        document.number = std::to_string(next.number);
        document.extension = next.extension + " (podgląd)";
    }
    document.date = toUtf8(ui_->data->text());
    document.colour = ui_->k2->isChecked();
    drawCashDocument(surface, printFont_, document);
}

} // namespace wirtello
