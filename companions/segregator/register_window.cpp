#include "register_window.h"

#include "ui_register_window.h"

#include "companions/companion_kit/document_watch.h"
#include "companions/companion_kit/single_window.h"
#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/session_end.h"
#include "register_csv.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/record_file.h"

#include <QCloseEvent>
#include <QDate>
#include <QHeaderView>
#include <QKeyEvent>
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

// "KP/12 Pismo": the sign and the title, as far as they are given.
QString documentName(const RegisterRow& row)
{
    return fromUtf8(row.sign.empty() ? row.title : row.title.empty() ? row.sign : row.sign + " " + row.title);
}

// Whether another copy of the program holds the lock of `file`.
bool heldElsewhere(const std::filesystem::path& file)
{
    try {
        return !DocumentLock::tryLock(file).has_value();
    } catch (const IoError&) {
        return false; // no lock can be had here at all
    }
}

} // namespace

RegisterWindow::RegisterWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path file,
                               const QString& titleLine, QWidget* parent)
    : ProgramWindow(parent)
    , ui_(std::make_unique<Ui::RegisterWindow>())
    , platform_(platform)
    , programFolder_(std::move(programFolder))
    , file_(std::move(file))
    , titleLine_(titleLine.trimmed())
    , watch_(new DocumentWatch(file_, this))
{
    // The direction lists are named by their labels, not by the entry chosen.
    nameComboBoxesByLabel();
    ui_->setupUi(this);
    setFixedSize(size());
    frameWhileFocused(ui_->rejestr);
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
    connect(ui_->rejestr, &QTableWidget::itemSelectionChanged, this,
            [this] { runGuarded(platform_, [this] { selectionChanged(); }); });
    connect(ui_->rejestr, &QTableWidget::cellDoubleClicked, this,
            [this] { runGuarded(platform_, [this] { openAttachment(); }); });
    // Every button through the guard, so that no failure ends the program.
    onClick(ui_->nowy, platform_, [this] { startNew(); });
    onClick(ui_->dodaj, platform_, [this] { storeForm(true); });
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
    connect(watch_, &DocumentWatch::changedOnDisk, this, [this] { runGuarded(platform_, [this] { reloadFromDisk(); }); });
    connect(watch_, &DocumentWatch::lockFree, this, [this] { runGuarded(platform_, [this] { offerTakeOver(); }); });
    // Escape, Ctrl+W and Alt+F4 (also without a window manager) close, asking as the close does.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W),
                                     QKeySequence(Qt::ALT | Qt::Key_F4)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { close(); });
    for (QWidget* field : std::initializer_list<QWidget*>{ui_->data, ui_->kierunek, ui_->znak, ui_->tytul, ui_->plik, ui_->uwagi})
        field->installEventFilter(this);
    onSessionEnd(this, [this] { keepFormAtSessionEnd(); });
    clearForm();
}

RegisterWindow::~RegisterWindow() = default;

DocumentReader RegisterWindow::readerInto(std::vector<RegisterRow>& rows)
{
    return [&rows](std::string_view text) { return readRegister(text, rows); };
}

void RegisterWindow::open()
{
    std::vector<RegisterRow> rows;
    OpenedDocument opened = openCompanionDocument(platform_, file_, readerInto(rows));
    access_ = std::move(opened.access);
    register_ = DocumentRegister(std::move(rows));
    clearForm();
    showRows();
    if (access_.lock) {
        watch_->setWatching(false);
        setEditable(true, {});
        startAnswer_.answerWhile(access_.lock.has_value());
        return;
    }
    setEditable(false, fromUtf8(access_.readOnlyNote));
    // Only a copy held elsewhere changes the file and frees it later; one left
    // read-only here (unreadable, or the user's choice) has nothing to follow.
    watch_->setWatching(heldElsewhere(file_));
}

std::optional<LoadedDocument> RegisterWindow::readFromDisk(std::vector<RegisterRow>& rows)
{
    try {
        return readCompanionDocument(file_, kCompanionFileLimit, readerInto(rows));
    } catch (const IoError& error) {
        platform_.showError(error);
        return std::nullopt;
    }
}

void RegisterWindow::reloadFromDisk()
{
    if (!isReadOnly())
        return;
    std::vector<RegisterRow> rows;
    const std::optional<LoadedDocument> read = readFromDisk(rows);
    if (!read)
        return;
    const LoadedDocument& loaded = *read;
    // The row shown stays shown when the other copy left it as it was.
    const std::optional<std::size_t> shownIndex = editing_ ? register_.indexOf(*editing_) : std::nullopt;
    const std::optional<RegisterRow> shown = shownIndex ? std::optional(register_.rows()[*shownIndex]) : std::nullopt;
    register_ = DocumentRegister(std::move(rows));
    clearForm();
    for (std::size_t i = 0; shown && i < register_.rows().size(); ++i) {
        if (register_.rows()[i] == *shown) {
            fillForm(register_.rows()[i]);
            editing_ = register_.keyAt(i);
            break;
        }
    }
    showRows();
    setEditable(false, loaded.problem ? QStringLiteral("Wiersz %1 pliku jest nieczytelny (%2) — tylko do odczytu.")
                                            .arg(loaded.problem->line)
                                            .arg(fromUtf8(loaded.problem->reason))
                                      : fromUtf8(access_.readOnlyNote));
}

void RegisterWindow::offerTakeOver()
{
    if (!isReadOnly())
        return;
    if (!platform_.ask(QString::fromUtf8(kTakeOverQuestion))) {
        // Let go for any other copy and not offered again; changes still shown.
        watch_->declineLock();
        return;
    }
    std::optional<DocumentLock> lock = watch_->takeLock();
    watch_->setWatching(false);
    if (!lock)
        return;
    std::vector<RegisterRow> rows;
    const std::optional<LoadedDocument> read = readFromDisk(rows);
    if (!read)
        return;
    const LoadedDocument& loaded = *read;
    if (loaded.problem) {
        // The opening asks what to do about a line it cannot read; it takes the lock itself.
        lock.reset();
        open();
        return;
    }
    access_ = DocumentAccess{std::move(lock), {}};
    register_ = DocumentRegister(std::move(rows));
    clearForm();
    showRows();
    setEditable(true, {});
    startAnswer_.answerWhile(access_.lock.has_value());
}

void RegisterWindow::answerStartsAs(const QString& name)
{
    startAnswer_.setName(name);
    startAnswer_.answerWhile(access_.lock.has_value());
}

void RegisterWindow::setEditable(bool editable, const QString& note)
{
    ui_->tylkoOdczyt->setText(note);
    ui_->tylkoOdczyt->setVisible(!editable);
    for (QPushButton* action : {ui_->dodaj, ui_->zapisz, ui_->usun, ui_->dolaczPlik, ui_->bezPliku})
        action->setEnabled(editable);
    // A read-only form takes no typing that closing would have to drop.
    ui_->data->setReadOnly(!editable);
    ui_->kierunek->setEnabled(editable);
    ui_->znak->setReadOnly(!editable);
    ui_->tytul->setReadOnly(!editable);
    ui_->uwagi->setReadOnly(!editable);
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
    selectQuietly(editing_);
}

std::optional<RowKey> RegisterWindow::selectedKey() const
{
    const QList<QTableWidgetItem*> items = ui_->rejestr->selectedItems();
    if (items.isEmpty())
        return std::nullopt;
    const auto row = static_cast<std::size_t>(items.front()->row());
    return row < shown_.size() ? std::optional(register_.keyAt(shown_[row])) : std::nullopt;
}

void RegisterWindow::selectQuietly(std::optional<RowKey> key)
{
    const QSignalBlocker blocker(ui_->rejestr);
    const std::optional<std::size_t> index = key ? register_.indexOf(*key) : std::nullopt;
    for (std::size_t r = 0; index && r < shown_.size(); ++r) {
        if (shown_[r] == *index) {
            ui_->rejestr->setCurrentCell(static_cast<int>(r), 0);
            return;
        }
    }
    ui_->rejestr->clearSelection();
}

void RegisterWindow::selectionChanged()
{
    const std::optional<RowKey> wanted = selectedKey();
    // A cleared selection leaves the form as it is.
    if (!wanted || wanted == editing_)
        return;
    if (!settleForm()) {
        selectQuietly(editing_);
        return;
    }
    // A store may have redrawn the table.
    selectQuietly(wanted);
    fillForm(register_.rows()[*register_.indexOf(*wanted)]);
    editing_ = wanted;
}

void RegisterWindow::startNew()
{
    if (!settleForm())
        return;
    selectQuietly(std::nullopt);
    clearForm();
}

void RegisterWindow::fillForm(const RegisterRow& row)
{
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
    editing_.reset();
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

bool RegisterWindow::formChanged() const
{
    return !isReadOnly() && formContents() != formShown_;
}

bool RegisterWindow::settleForm()
{
    if (!formChanged())
        return true;
    const std::optional<std::size_t> edited = editing_ ? register_.indexOf(*editing_) : std::nullopt;
    QString question;
    if (edited) {
        // Named as stored: the form may have changed its sign and title.
        const RegisterRow& row = register_.rows()[*edited];
        const QString name = documentName(row);
        const QString date = platform_.formatShortDate(toQDate(row.date));
        question = name.isEmpty() ? QStringLiteral("Zapisać zmiany dokumentu z dnia %1 w rejestrze?").arg(date)
                                  : QStringLiteral("Zapisać zmiany dokumentu „%1” z dnia %2 w rejestrze?").arg(name, date);
    } else {
        const QString name = documentName(formContents());
        question = name.isEmpty() ? QStringLiteral("Dodać wpisany dokument do rejestru?")
                                  : QStringLiteral("Dodać do rejestru nowy dokument „%1”?").arg(name);
    }
    switch (platform_.askYesNoCancel(question)) {
    case Platform::Answer::Yes:
        return storeForm(false);
    case Platform::Answer::No:
        return true;
    case Platform::Answer::Cancel:
        break;
    }
    return false;
}

bool RegisterWindow::store(const DocumentRegister& changed)
{
    if (!access_.lock)
        return false;
    try {
        writeCompanionText(file_, formatRegister(changed.rows()));
    } catch (const IoError& error) {
        // Also a register that would outgrow its reader: nothing written, the form kept.
        platform_.showError(error);
        return false;
    }
    register_ = changed;
    return true;
}

bool RegisterWindow::storeForm(bool asNew)
{
    std::optional<RegisterRow> row = formRow();
    if (!row)
        return false;
    DocumentRegister changed = register_;
    // The row being edited is found by its key, wherever the filter left it.
    const std::optional<std::size_t> edited = editing_ ? changed.indexOf(*editing_) : std::nullopt;
    const std::size_t index = asNew || !edited ? changed.add(*row) : changed.replace(*edited, *row);
    if (!store(changed))
        return false;
    fillForm(register_.rows()[index]);
    editing_ = register_.keyAt(index);
    showRows();
    return true;
}

bool RegisterWindow::saveRow()
{
    if (!editing_) {
        platform_.inform(QStringLiteral("Wybierz w rejestrze dokument do zmiany."));
        return false;
    }
    return storeForm(false);
}

void RegisterWindow::storeOnEnter()
{
    if (isReadOnly())
        return;
    if (editing_)
        saveRow();
    else
        storeForm(true);
}

bool RegisterWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        // The note keeps Enter for its lines; Ctrl+Enter stores it too, and Ctrl+Tab puts a tab in it.
        const bool note = watched == ui_->uwagi;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && modifiers == (note ? Qt::ControlModifier : Qt::NoModifier)) {
            runGuarded(platform_, [this] { storeOnEnter(); });
            return true;
        }
        if (note && key->key() == Qt::Key_Tab && modifiers == Qt::ControlModifier) {
            if (!ui_->uwagi->isReadOnly())
                ui_->uwagi->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    }
    return ProgramWindow::eventFilter(watched, event);
}

void RegisterWindow::keepFormAtSessionEnd()
{
    if (!formChanged() || !access_.lock)
        return;
    const RegisterRow row = formContents();
    const std::optional<std::size_t> edited = editing_ ? register_.indexOf(*editing_) : std::nullopt;
    // A new form with no text typed holds nothing to lose.
    if (!edited && row.sign.empty() && row.title.empty() && row.note.empty() && row.attachment.empty())
        return;
    DocumentRegister changed = register_;
    const std::size_t index = edited ? changed.replace(*edited, row) : changed.add(row);
    writeCompanionText(file_, formatRegister(changed.rows()));
    register_ = changed;
    fillForm(register_.rows()[index]);
    editing_ = register_.keyAt(index);
    showRows();
}

void RegisterWindow::closeEvent(QCloseEvent* event)
{
    // What was typed into the form and not yet put into the register.
    if (!settleForm()) {
        event->ignore();
        return;
    }
    event->accept();
}

void RegisterWindow::deleteRow()
{
    const std::optional<RowKey> selected = selectedKey();
    if (!selected) {
        platform_.inform(QStringLiteral("Wybierz w rejestrze dokument do usunięcia."));
        return;
    }
    const std::size_t index = *register_.indexOf(*selected);
    const RegisterRow& row = register_.rows()[index];
    if (!platform_.ask(QStringLiteral("Usunąć z rejestru dokument „%1” z dnia %2?")
                           .arg(documentName(row), platform_.formatShortDate(toQDate(row.date)))))
        return;
    DocumentRegister changed = register_;
    changed.remove(index);
    if (!store(changed))
        return;
    clearForm();
    showRows();
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
    const std::optional<RowKey> selected = selectedKey();
    if (!selected)
        return;
    const std::string reference = register_.rows()[*register_.indexOf(*selected)].attachment;
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
    // What the filter shows, as on screen.
    QStringList text;
    for (const std::size_t index : shown_) {
        const RegisterRow& row = register_.rows()[index];
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
    const QString name = singleWindowName("segregator", start.programFolder, file.stem().string());
    if (callRunningWindow(name))
        return nullptr;
    auto window = std::make_unique<RegisterWindow>(platform, start.programFolder, file, title.join(QLatin1Char(' ')));
    window->open();
    window->answerStartsAs(name);
    return window;
}

} // namespace wirtello
