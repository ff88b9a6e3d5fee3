#include "main_window.h"

#include "admin/run_records.h"
#include "startup.h"

#include "cash/cash_document_window.h"
#include "companion_actions.h"
#include "envelope/envelope_window.h"
#include "platform/handler_guard.h"
#include "platform/platform.h"
#include "platform/qt_picture.h"
#include "print/print_actions.h"
#include "store/io_error.h"
#include "store/cp1250.h"
#include "store/paths.h"
#include "store/program_folder.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QSignalBlocker>

namespace wirtello {

Tzadania_f::Tzadania_f(AppData& data, Platform& platform, CurrentPrintFont& printFont,
                       const ProgramWindows& windows, QWidget* parent)
    : ProgramWindow(parent), data_(data), platform_(platform), printFont_(printFont), windows_(windows)
{
    setObjectName(QStringLiteral("Tzadania_f"));
    setWindowTitle(QStringLiteral("Wirtello"));
    setFixedClientSize(1001, 669, TitleButtons::SystemMenuAndMinimise);
    // The close box stays: closing is one of the two ways to end the program.
    setWindowFlag(Qt::WindowCloseButtonHint);
    buildLayout();
    connectActions();
    Timer1->start();
}

Tzadania_f::~Tzadania_f()
{
    // The children outlive this class's members by a moment; nothing they
    // signal while being destroyed may reach the handlers.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
        child->removeEventFilter(this);
    }
}

void Tzadania_f::connectActions()
{
    for (QLineEdit* edit : cardEdits())
        connect(edit, &QLineEdit::textChanged, this, [this] { changesPending_ = true; });

    // A new current row (mouse or keys) selects that contact; a click on the
    // entry that was already current selects it again, as a click always does.
    connect(listazadan, &QListWidget::currentRowChanged, this, [this] { runGuarded(platform_, [this] { select(); }); });
    connect(listazadan, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (listazadan->row(item) == rowBeforePress_)
            runGuarded(platform_, [this] { select(); });
    });
    listazadan->viewport()->installEventFilter(this);
    coszukac->installEventFilter(this);
    Label2->installEventFilter(this);

    connect(Timer1, &QTimer::timeout, this, &Tzadania_f::Timer1Timer);

    const std::pair<QToolButton*, void (Tzadania_f::*)()> actions[] = {
        {SpeedButton9, &Tzadania_f::saveCard},         {SpeedButton12, &Tzadania_f::choosePhoto},
        {SpeedButton2, &Tzadania_f::addContact},       {SpeedButton13, &Tzadania_f::renameContact},
        {SpeedButton3, &Tzadania_f::deleteContact},    {SpeedButton6, &Tzadania_f::showHelp},
        {SpeedButton7, &Tzadania_f::hideHelp},         {SpeedButton30, &Tzadania_f::SzukajDalej},
        {SpeedButton8, &Tzadania_f::printList},        {SpeedButton22, &Tzadania_f::choosePrintFont},
    };
    for (const auto& [button, handler] : actions)
        onClick(button, platform_, [this, handler = handler] { (this->*handler)(); });

    const std::pair<QToolButton*, WindowRole> windowButtons[] = {
        {SpeedButton14, WindowRole::Company},
        {SpeedButton32, WindowRole::AdminTools},
        {SpeedButton23, WindowRole::RunHistory},
    };
    for (const auto& [button, role] : windowButtons)
        onClick(button, platform_, [this, role = role] { openWindow(role); });

    const std::pair<QToolButton*, CompanionButton> companionButtons[] = {
        {SpeedButton5, CompanionButton::Scheduler},         {SpeedButton4, CompanionButton::Notes},
        {SpeedButton31, CompanionButton::Comments},         {SpeedButton26, CompanionButton::DocumentRegister},
        {SpeedButton29, CompanionButton::TaskCalendar},     {SpeedButton28, CompanionButton::TaskReader},
        {SpeedButton11, CompanionButton::Mail},             {SpeedButton16, CompanionButton::Archiver},
        {SpeedButton21, CompanionButton::AddressExport},
    };
    for (const auto& [button, companion] : companionButtons)
        onClick(button, platform_, [this, companion = companion] { startCompanionFor(companion); });

    onClick(SpeedButton18, platform_, [this] { openWebPage(); });
    onClick(SpeedButton10, platform_, [this] { addressEnvelope(); });
    onClick(SpeedButton24, platform_, [this] { openCashDocument(DocumentKind::Kp); });
    onClick(SpeedButton25, platform_, [this] { openCashDocument(DocumentKind::Kw); });
    onClick(SpeedButton27, platform_, [this] { endProgram(true); });
}

std::array<QLineEdit*, 10> Tzadania_f::cardEdits() const
{
    return {imie, nazwisko, ulica, miejscowosc, telefon, fax, komorka, mail, www, komunikator};
}

void Tzadania_f::CzyscPola()
{
    for (QLineEdit* edit : cardEdits())
        edit->clear();
}

void Tzadania_f::FormCreate()
{
    // Each step that fails is shown and the rest still runs, so the contacts
    // are listed whatever befell the run history or the company record.
    const auto report = [this](const IoError& error) { platform_.showError(error); };
    try {
        PobierzDane(data_, platform_);
    } catch (const IoError& error) {
        report(error);
    }
    CzyscPola();
    coszukac->clear();
    changesPending_ = false;
    photoChosen_ = false;
    {
        const QSignalBlocker blocker(listazadan);
        listazadan->clear();
    }
    setWindowTitle(QStringLiteral("Wirtello"));
    try {
        prepareProgramFolder(data_, report);
    } catch (const IoError& error) {
        report(error);
    }
    fillList();
    setSelectedRow(listazadan->count() > 0 ? 0 : -1);
    runGuarded(platform_, [this] { select(); });
}

// ---- list and card ----

void Tzadania_f::fillList()
{
    const QSignalBlocker blocker(listazadan);
    listazadan->clear();
    for (const int slot : data_.contacts.rowSlots())
        listazadan->addItem(QString::fromStdString(data_.contacts.text(ContactField::Display, slot)));
}

void Tzadania_f::addRow(int row, const QString& text)
{
    const QSignalBlocker blocker(listazadan);
    listazadan->insertItem(row, text);
}

void Tzadania_f::setSelectedRow(int row)
{
    const QSignalBlocker blocker(listazadan);
    listazadan->setCurrentRow(row);
}

int Tzadania_f::selectedSlot() const
{
    return data_.contacts.slotOfRow(listazadan->currentRow());
}

void Tzadania_f::select()
{
    const int slot = selectedSlot();
    // A photo chosen while another contact was shown must never be stored on this one.
    photoChosen_ = false;
    const auto edits = cardEdits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(slot < 0 ? QString() : QString::fromStdString(data_.contacts.text(kCardFields[i], slot)));
    showPicture(slot);
    changesPending_ = false;
}

void Tzadania_f::showPicture(int slot)
{
    if (slot >= 0) {
        const std::filesystem::path photo = data_.contacts.text(ContactField::PhotoPath, slot);
        if (!photo.empty() && fileExists(photo)) {
            try {
                Image1->setPixmap(QPixmap::fromImage(loadJpegImage(photo)));
                return;
            } catch (const IoError& error) {
                // The card is still shown; the broken file is named and the default stands in.
                platform_.showError(error);
            }
        }
    }
    showDefaultPicture();
}

void Tzadania_f::showDefaultPicture()
{
    const std::filesystem::path path = fileIn(data_.programFolder, kLogoFolder, "Chmury.jpg");
    Image1->clear();
    if (!fileExists(path))
        return; // an incomplete installation leaves the frame empty rather than nagging at every click
    try {
        Image1->setPixmap(QPixmap::fromImage(loadJpegImage(path)));
    } catch (const IoError& error) {
        platform_.showError(error);
    }
}

void Tzadania_f::Timer1Timer()
{
    Label1->setText(platform_.formatLongTime(platform_.now().time()));
    Label1->adjustSize();
    SpeedButton15->setVisible(changesPending_);
}

// ---- card buttons ----

bool Tzadania_f::contactsChangeable()
{
    if (data_.contacts.isLoaded())
        return true;
    platform_.inform(QStringLiteral("Baza kontaktów nie została wczytana:\r%1\r\rZmiany nie mogłyby zostać "
                                    "zapisane, dlatego nie można ich wprowadzać.")
                         .arg(QString::fromStdString(data_.contacts.databasePath().string())));
    return false;
}

void Tzadania_f::saveCard()
{
    if (!contactsChangeable())
        return;
    changesPending_ = false;
    const int slot = selectedSlot();
    if (slot >= 0) {
        const auto edits = cardEdits();
        for (std::size_t i = 0; i < edits.size(); ++i)
            data_.contacts.setText(kCardFields[i], slot, edits[i]->text().toStdString());
        if (photoChosen_)
            data_.contacts.setText(ContactField::PhotoPath, slot, photoFileName_.string());
    }
    photoChosen_ = false;
}

namespace {

// A photo path is stored as Windows-1250 text of at most 250 characters; a
// name that would come back different could never be shown again.
bool photoPathStorable(const std::filesystem::path& path)
{
    const std::string utf8 = path.string();
    const std::string stored = toCp1250(utf8);
    return stored.size() <= contactArrayLayout(ContactField::PhotoPath).capacity && fromCp1250(stored) == utf8;
}

} // namespace

void Tzadania_f::choosePhoto()
{
    photoChosen_ = true;
    FileDialogRequest request;
    request.title = QStringLiteral("Szukaj zdjęcia");
    request.filter = QStringLiteral("Zdjęcia cyfrowe|*.jpg");
    request.defaultExtension = QStringLiteral("*.jpg");
    request.startFolder = data_.programFolder;
    request.fileName = QString::fromStdString(photoFileName_.string());
    const std::optional<std::filesystem::path> chosen = platform_.openFile(request);
    // Nothing chosen, or a file that cannot be kept or shown: nothing to store.
    photoChosen_ = false;
    if (!chosen)
        return;
    if (!photoPathStorable(*chosen)) {
        platform_.inform(QStringLiteral("Nie można zapamiętać zdjęcia:\r%1\r\rNazwa pliku lub folderu zawiera "
                                        "znaki, których program nie może zapisać, albo jest dłuższa niż 250 "
                                        "znaków. Zmień nazwę pliku lub przenieś go do innego folderu.")
                             .arg(QString::fromStdString(chosen->string())));
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(loadJpegImage(*chosen)));
    photoFileName_ = *chosen;
    photoChosen_ = true;
}

// ---- help panel ----

void Tzadania_f::showHelp()
{
    Panel1->setGeometry(8, 83, 812, 578);
    Panel1->show();
    Panel1->raise();
}

void Tzadania_f::hideHelp()
{
    Panel1->hide();
}

// ---- other windows ----

void Tzadania_f::openWindow(WindowRole role)
{
    if (ProgramWindow* window = windows_.find(role))
        window->open();
}

void Tzadania_f::addressEnvelope()
{
    if (auto* envelope = windows_.find<Tkoperta_f>(WindowRole::Envelope)) {
        envelope->addressTo({imie->text(), nazwisko->text(), ulica->text(), miejscowosc->text()});
        envelope->open();
    }
}

void Tzadania_f::openCashDocument(DocumentKind kind)
{
    if (auto* document = windows_.find<Tkp_f>(WindowRole::CashDocument)) {
        std::array<QString, 4> issuer;
        for (int line = 1; line <= 4; ++line)
            issuer[static_cast<std::size_t>(line - 1)] = QString::fromStdString(data_.company.line(line));
        document->prepareDocument(kind, imie->text(), nazwisko->text(), ulica->text(), miejscowosc->text(), issuer);
        document->open();
    }
}

void Tzadania_f::startCompanionFor(CompanionButton button)
{
    const int slot = selectedSlot();
    CompanionInputs inputs;
    if (slot >= 0)
        inputs.selectedEntry = listazadan->currentItem()->text().toStdString();
    inputs.firstName = imie->text().toStdString();
    inputs.surname = nazwisko->text().toStdString();
    inputs.mail = mail->text().toStdString();
    inputs.stored = storedAddress(data_.contacts, slot);
    startCompanion(platform_, data_.programFolder, button, inputs);
}

void Tzadania_f::openWebPage()
{
    wirtello::openWebPage(platform_, www->text());
}

void Tzadania_f::printList()
{
    std::vector<std::string> entries;
    for (int row = 0; row < listazadan->count(); ++row)
        entries.push_back(listazadan->item(row)->text().toStdString());
    printContactList(platform_, printFont_, entries);
}

void Tzadania_f::choosePrintFont()
{
    wirtello::choosePrintFont(platform_, printFont_);
}

void Tzadania_f::showAboutWindow()
{
    ProgramWindow* about = windows_.find(WindowRole::About);
    if (!about)
        return;
    about->setEnabled(true);
    about->show();
    about->raise();
}

// ---- end of the program ----

void Tzadania_f::Wygaszaj()
{
    for (int alpha = 255; alpha >= 10; alpha -= 5)
        setWindowOpacity(alpha / 255.0);
}

void Tzadania_f::endProgram(bool recordRun)
{
    if (!platform_.ask(QStringLiteral("Koniec pracy ?")))
        return;
    Wygaszaj();
    try {
        data_.contacts.store();
        if (recordRun)
            ZapiszUruchomienia(data_);
    } catch (...) {
        // The window comes back so the user sees it and can try again.
        setWindowOpacity(1.0);
        throw;
    }
    platform_.endProcess();
}

void Tzadania_f::closeEvent(QCloseEvent* event)
{
    event->ignore();
    runGuarded(platform_, [this] { endProgram(false); });
}

bool Tzadania_f::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == coszukac && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            runGuarded(platform_, [this] { SzukajDalej(); });
        return false; // the edit still gets the key
    }
    if (watched == listazadan->viewport() && event->type() == QEvent::MouseButtonPress)
        rowBeforePress_ = listazadan->currentRow();
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runGuarded(platform_, [this] { showAboutWindow(); });
        return true;
    }
    return ProgramWindow::eventFilter(watched, event);
}

} // namespace wirtello
