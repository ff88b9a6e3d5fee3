#include "register_window.h"

#include "ui_register_window.h"

#include "platform/handler_guard.h"
#include "register_csv.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/record_file.h"

#include <QCloseEvent>
#include <QDate>
#include <QHeaderView>
#include <QKeySequence>
#include <QShortcut>
#include <QSignalBlocker>

#include <span>
#include <stdexcept>

namespace wirtello {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QDate toQDate(std::chrono::year_month_day date)
{
    return QDate(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
                 static_cast<int>(static_cast<unsigned>(date.day())));
}

std::chrono::year_month_day fromQDate(const QDate& date)
{
    return {std::chrono::year(date.year()), std::chrono::month(static_cast<unsigned>(date.month())),
            std::chrono::day(static_cast<unsigned>(date.day()))};
}

QString pathText(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// A note on one line of the table or the printout.
QString oneLineNote(const std::string& note)
{
    return fromUtf8(note).split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QStringLiteral(" / ")).remove(QLatin1Char('\r'));
}

QString fileName(const std::string& reference)
{
    return fromUtf8(std::filesystem::path(reference).filename().string());
}

} // namespace

RegisterWindow::RegisterWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path file,
                               const QString& titleLine, QWidget* parent)
    : QWidget(parent)
    , ui_(std::make_unique<Ui::RegisterWindow>())
    , platform_(platform)
    , programFolder_(std::move(programFolder))
    , file_(std::move(file))
    , titleLine_(titleLine.trimmed())
{
    ui_->setupUi(this);
    setFixedSize(size());
    if (!titleLine_.isEmpty()) {
        setWindowTitle(titleLine_);
        ui_->naglowek->setText(titleLine_);
    }
    ui_->tylkoOdczyt->hide();
    QHeaderView* header = ui_->rejestr->horizontalHeader();
    for (const auto& [column, width] : {std::pair{0, 84}, {1, 100}, {2, 120}, {3, 220}, {4, 160}})
        header->resizeSection(column, width);

    connect(ui_->kierunekFiltr, &QComboBox::currentIndexChanged, this, [this] { showRows(); });
    connect(ui_->szukaj, &QLineEdit::textChanged, this, [this] { showRows(); });
    connect(ui_->rejestr, &QTableWidget::itemSelectionChanged, this, [this] { showSelected(); });
    connect(ui_->rejestr, &QTableWidget::cellDoubleClicked, this,
            [this] { runGuarded(platform_, [this] { openAttachment(); }); });
    // Every button through the guard, so that no failure ends the program.
    onClick(ui_->nowy, platform_, [this] {
        ui_->rejestr->clearSelection();
        clearForm();
    });
    onClick(ui_->dodaj, platform_, [this] { addRow(); });
    onClick(ui_->zapisz, platform_, [this] { saveRow(); });
    onClick(ui_->usun, platform_, [this] { deleteRow(); });
    onClick(ui_->dolaczPlik, platform_, [this] { attachFile(); });
    onClick(ui_->bezPliku, platform_, [this] {
        formAttachment_.clear();
        ui_->plik->clear();
    });
    onClick(ui_->otworzPlik, platform_, [this] { openAttachment(); });
    onClick(ui_->eksportCsv, platform_, [this] { exportCsv(); });
    onClick(ui_->drukuj, platform_, [this] { print(PrintDestination::Printer); });
    addPrintMenu(ui_->drukuj, [this](PrintDestination destination) { runGuarded(platform_, [&] { print(destination); }); });
    onClick(ui_->zamknij, platform_, [this] { close(); });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, ui_->szukaj,
            [this] { ui_->szukaj->setFocus(Qt::ShortcutFocusReason); });
    clearForm();
}

RegisterWindow::~RegisterWindow() = default;

void RegisterWindow::open()
{
    access_ = openDocumentAccess(file_);
    if (!access_.lock)
        setReadOnly(QString::fromStdString(access_.readOnlyNote));
    try {
        std::vector<RegisterRow> rows;
        const LoadedDocument loaded = loadCompanionDocument(
            file_, kCompanionFileLimit, toTimePoint(platform_.now()), [&rows](std::string_view text) {
                try {
                    rows = parseRegister(text);
                    return true;
                } catch (const RegisterFormatError&) {
                    return false;
                }
            });
        register_ = DocumentRegister(std::move(rows));
        if (!loaded.damagedNotice.empty())
            platform_.inform(fromUtf8(loaded.damagedNotice));
    } catch (const IoError& error) {
        // What could not be read must not be written over.
        platform_.showError(error);
        access_.lock.reset();
        setReadOnly(QStringLiteral("Rejestru nie można odczytać — tylko do odczytu."));
    }
    showRows();
}

void RegisterWindow::setReadOnly(const QString& note)
{
    ui_->tylkoOdczyt->setText(note);
    ui_->tylkoOdczyt->show();
    for (QPushButton* action : {ui_->dodaj, ui_->zapisz, ui_->usun, ui_->dolaczPlik, ui_->bezPliku})
        action->setEnabled(false);
}

void RegisterWindow::showRows()
{
    const int filter = ui_->kierunekFiltr->currentIndex();
    const std::optional<Direction> direction =
        filter == 1 ? std::optional(Direction::Incoming) : filter == 2 ? std::optional(Direction::Outgoing) : std::nullopt;
    const std::string query = ui_->szukaj->text().toStdString();

    const QSignalBlocker blocker(ui_->rejestr);
    ui_->rejestr->clearContents();
    shown_.clear();
    const std::vector<RegisterRow>& rows = register_.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rowMatches(rows[i], direction, query))
            shown_.push_back(i);
    }
    ui_->licznik->setText(QStringLiteral("%1 z %2").arg(shown_.size()).arg(rows.size()));
    ui_->rejestr->setRowCount(static_cast<int>(shown_.size()));
    for (int r = 0; r < static_cast<int>(shown_.size()); ++r) {
        const RegisterRow& row = rows[shown_[static_cast<std::size_t>(r)]];
        const QStringList cells = {platform_.formatShortDate(toQDate(row.date)),
                                   fromUtf8(std::string(directionName(row.direction))), fromUtf8(row.sign),
                                   fromUtf8(row.title), oneLineNote(row.note), fileName(row.attachment)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(c == 5 ? fromUtf8(row.attachment) : c == 4 ? fromUtf8(row.note) : cells[c]);
            ui_->rejestr->setItem(r, c, item);
        }
    }
}

std::optional<std::size_t> RegisterWindow::selectedIndex() const
{
    const QList<QTableWidgetItem*> items = ui_->rejestr->selectedItems();
    if (items.isEmpty())
        return std::nullopt;
    const auto row = static_cast<std::size_t>(items.front()->row());
    return row < shown_.size() ? std::optional(shown_[row]) : std::nullopt;
}

void RegisterWindow::select(std::size_t index)
{
    for (std::size_t r = 0; r < shown_.size(); ++r) {
        if (shown_[r] == index) {
            ui_->rejestr->setCurrentCell(static_cast<int>(r), 0);
            return;
        }
    }
    clearForm();
}

void RegisterWindow::showSelected()
{
    const std::optional<std::size_t> index = selectedIndex();
    if (!index)
        return;
    const RegisterRow& row = register_.rows()[*index];
    ui_->data->setDate(toQDate(row.date));
    ui_->kierunek->setCurrentIndex(row.direction == Direction::Incoming ? 0 : 1);
    ui_->znak->setText(fromUtf8(row.sign));
    ui_->tytul->setText(fromUtf8(row.title));
    ui_->uwagi->setPlainText(fromUtf8(row.note));
    formAttachment_ = row.attachment;
    ui_->plik->setText(fromUtf8(row.attachment));
    formShown_ = formContents();
}

void RegisterWindow::clearForm()
{
    ui_->data->setDate(platform_.now().date());
    ui_->kierunek->setCurrentIndex(0);
    ui_->znak->clear();
    ui_->tytul->clear();
    ui_->uwagi->clear();
    formAttachment_.clear();
    ui_->plik->clear();
    formShown_ = formContents();
}

RegisterRow RegisterWindow::formContents() const
{
    RegisterRow row;
    row.date = fromQDate(ui_->data->date());
    row.direction = ui_->kierunek->currentIndex() == 0 ? Direction::Incoming : Direction::Outgoing;
    row.sign = ui_->znak->text().trimmed().toStdString();
    row.title = ui_->tytul->text().trimmed().toStdString();
    row.note = ui_->uwagi->toPlainText().trimmed().toStdString();
    row.attachment = formAttachment_;
    return row;
}

std::optional<RegisterRow> RegisterWindow::formRow()
{
    RegisterRow row = formContents();
    if (row.sign.empty() && row.title.empty()) {
        platform_.inform(QStringLiteral("Wpisz znak lub tytuł dokumentu."));
        return std::nullopt;
    }
    return row;
}

bool RegisterWindow::store(const DocumentRegister& changed)
{
    if (!access_.lock)
        return false;
    try {
        writeCompanionText(file_, formatRegister(changed.rows()));
    } catch (const IoError& error) {
        platform_.showError(error);
        return false;
    }
    register_ = changed;
    return true;
}

bool RegisterWindow::addRow()
{
    std::optional<RegisterRow> row = formRow();
    if (!row)
        return false;
    DocumentRegister changed = register_;
    const std::size_t index = changed.add(std::move(*row));
    if (!store(changed))
        return false;
    showRows();
    select(index);
    return true;
}

bool RegisterWindow::saveRow()
{
    const std::optional<std::size_t> selected = selectedIndex();
    if (!selected) {
        platform_.inform(QStringLiteral("Wybierz w rejestrze dokument do zmiany."));
        return false;
    }
    std::optional<RegisterRow> row = formRow();
    if (!row)
        return false;
    DocumentRegister changed = register_;
    const std::size_t index = changed.replace(*selected, std::move(*row));
    if (!store(changed))
        return false;
    showRows();
    select(index);
    return true;
}

void RegisterWindow::closeEvent(QCloseEvent* event)
{
    // What was typed into the form and not yet put into the register.
    if (access_.lock && formContents() != formShown_) {
        const bool changing = selectedIndex().has_value();
        const Platform::Answer answer = platform_.askYesNoCancel(
            changing ? QStringLiteral("Zapisać zmiany wybranego dokumentu w rejestrze?")
                     : QStringLiteral("Dodać wpisany dokument do rejestru?"));
        if (answer == Platform::Answer::Cancel ||
            (answer == Platform::Answer::Yes && !(changing ? saveRow() : addRow()))) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void RegisterWindow::deleteRow()
{
    const std::optional<std::size_t> selected = selectedIndex();
    if (!selected) {
        platform_.inform(QStringLiteral("Wybierz w rejestrze dokument do usunięcia."));
        return;
    }
    const RegisterRow& row = register_.rows()[*selected];
    const QString name = fromUtf8(row.sign.empty() ? row.title : row.title.empty() ? row.sign : row.sign + " " + row.title);
    if (!platform_.ask(QStringLiteral("Usunąć z rejestru dokument „%1” z dnia %2?")
                           .arg(name, platform_.formatShortDate(toQDate(row.date)))))
        return;
    DocumentRegister changed = register_;
    changed.remove(*selected);
    if (!store(changed))
        return;
    showRows();
    clearForm();
}

void RegisterWindow::attachFile()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Dołącz plik");
    request.filter = QStringLiteral("Dokumenty Kp i Kw|*.kpw|Wszystkie pliki|*");
    const std::filesystem::path documents = joinPath(programFolder_, "Dokumenty");
    std::error_code error;
    request.startFolder = std::filesystem::is_directory(documents, error) ? documents : programFolder_;
    const std::optional<std::filesystem::path> chosen = platform_.openFile(request);
    if (!chosen || chosen->empty())
        return;
    formAttachment_ = attachmentReference(programFolder_, *chosen);
    ui_->plik->setText(fromUtf8(formAttachment_));
}

void RegisterWindow::openAttachment()
{
    const std::optional<std::size_t> selected = selectedIndex();
    if (!selected)
        return;
    const std::string& reference = register_.rows()[*selected].attachment;
    if (reference.empty()) {
        platform_.inform(QStringLiteral("Ten dokument nie ma dołączonego pliku."));
        return;
    }
    const std::filesystem::path path = attachmentPath(programFolder_, reference);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        platform_.inform(QStringLiteral("Nie ma dołączonego pliku:\n%1").arg(pathText(path)));
        return;
    }
    if (!std::filesystem::is_regular_file(status)) {
        platform_.inform(QStringLiteral("To nie jest zwykły plik, nie zostanie otwarty:\n%1").arg(pathText(path)));
        return;
    }
    if (!platform_.openDocument(path))
        platform_.inform(QStringLiteral("Żaden program nie otworzył pliku:\n%1").arg(pathText(path)));
}

void RegisterWindow::exportCsv()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Eksport rejestru do CSV");
    request.filter = QStringLiteral("Pliki CSV|*.csv");
    request.defaultExtension = QStringLiteral("*.csv");
    request.startFolder = programFolder_;
    request.fileName = QStringLiteral("rejestr %1.csv").arg(pathText(file_.stem()));
    const std::optional<std::filesystem::path> chosen = platform_.saveFile(request);
    if (!chosen || chosen->empty())
        return;
    const std::string csv = registerCsv(register_.rows());
    try {
        writeRecord(*chosen, std::span(reinterpret_cast<const std::uint8_t*>(csv.data()), csv.size()));
    } catch (const IoError& error) {
        platform_.showError(error);
        return;
    }
    platform_.inform(QStringLiteral("Rejestr zapisano w pliku:\n%1").arg(pathText(*chosen)));
}

void RegisterWindow::print(PrintDestination destination)
{
    QStringList text;
    for (const RegisterRow& row : register_.rows()) {
        QString line = QStringLiteral("%1  %2  %3  %4")
                           .arg(platform_.formatShortDate(toQDate(row.date)),
                                fromUtf8(std::string(directionName(row.direction))), fromUtf8(row.sign),
                                fromUtf8(row.title));
        if (!row.attachment.empty())
            line += QStringLiteral("  [plik: %1]").arg(fileName(row.attachment));
        text << line;
        if (!row.note.empty())
            text << QStringLiteral("      %1").arg(oneLineNote(row.note));
    }
    printCompanionLines(platform_, destination, programFolder_, windowTitle(),
                        QStringLiteral("rejestr %1.pdf").arg(pathText(file_.stem())), windowTitle().toStdString(),
                        text.isEmpty() ? std::vector<std::string>{} : printableLines(text.join(QLatin1Char('\n')).toStdString()));
}

std::unique_ptr<QWidget> openRegisterWindow(const CompanionStart& start, Platform& platform)
{
    if (start.arguments.empty())
        throw std::invalid_argument("Rejestr dokumentów: brak pliku kontaktu (<id>.lis).");
    const std::filesystem::path file =
        contactFile(companionFolder(start.programFolder, kRegisterFolder), start.arguments[0], ".lis");
    // The title line is one argument; one split at blanks is joined again.
    QStringList title;
    for (std::size_t i = 1; i < start.arguments.size(); ++i)
        title << QString::fromStdString(start.arguments[i]);
    auto window = std::make_unique<RegisterWindow>(platform, start.programFolder, file, title.join(QLatin1Char(' ')));
    window->open();
    return window;
}

} // namespace wirtello
