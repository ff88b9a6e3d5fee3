#include "main_window.h"

#include "admin/run_records.h"
#include "startup.h"

#include "platform/platform.h"
#include "platform/qt_picture.h"
#include "print/print_actions.h"
#include "store/io_error.h"
#include "store/paths.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QSignalBlocker>

namespace wirtello {

void storeContactDatabase(AppData& data)
{
    const std::filesystem::path path = contactDatabasePath(data.programFolder);
    if (!data.contactsLoaded && fileExists(path))
        return;
    data.contacts.store(path);
    // The file now holds what memory holds, so later stores must reach it too.
    data.contactsLoaded = true;
}

Tzadania_f::Tzadania_f(AppData& data, Platform& platform, QWidget* parent)
    : ProgramWindow(parent), data_(data), platform_(platform)
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
    connect(listazadan, &QListWidget::currentRowChanged, this, [this] { select(); });
    connect(listazadan, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (listazadan->row(item) == rowBeforePress_)
            select();
    });
    listazadan->viewport()->installEventFilter(this);
    coszukac->installEventFilter(this);
    Label2->installEventFilter(this);

    connect(Timer1, &QTimer::timeout, this, &Tzadania_f::Timer1Timer);

    const std::pair<QToolButton*, void (Tzadania_f::*)()> actions[] = {
        {SpeedButton9, &Tzadania_f::SpeedButton9Click},   {SpeedButton12, &Tzadania_f::SpeedButton12Click},
        {SpeedButton2, &Tzadania_f::SpeedButton2Click},   {SpeedButton13, &Tzadania_f::SpeedButton13Click},
        {SpeedButton3, &Tzadania_f::SpeedButton3Click},   {SpeedButton6, &Tzadania_f::SpeedButton6Click},
        {SpeedButton7, &Tzadania_f::SpeedButton7Click},   {SpeedButton14, &Tzadania_f::SpeedButton14Click},
        {SpeedButton32, &Tzadania_f::SpeedButton32Click}, {SpeedButton23, &Tzadania_f::SpeedButton23Click},
        {SpeedButton27, &Tzadania_f::SpeedButton27Click}, {SpeedButton30, &Tzadania_f::SzukajDalej},
        {SpeedButton8, &Tzadania_f::SpeedButton8Click},   {SpeedButton22, &Tzadania_f::SpeedButton22Click},
    };
    for (const auto& [button, handler] : actions)
        connect(button, &QToolButton::clicked, this, handler);
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
    try {
        PobierzDane(data_, platform_);
        CzyscPola();
        coszukac->clear();
        changesPending_ = false;
        photoChosen_ = false;
        {
            const QSignalBlocker blocker(listazadan);
            listazadan->clear();
            rowSlots_.clear();
        }
        setWindowTitle(QStringLiteral("Wirtello"));
        prepareProgramFolder(data_);
        fillList();
        setSelectedRow(listazadan->count() > 0 ? 0 : -1);
        select();
    } catch (const IoError& error) {
        platform_.showError(error);
        showDefaultPicture();
    }
}

// ---- list and card ----

void Tzadania_f::fillList()
{
    const QSignalBlocker blocker(listazadan);
    listazadan->clear();
    rowSlots_.clear();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (data_.contacts.isUsed(slot))
            addRow(listazadan->count(), slot, QString::fromStdString(data_.contacts.text(ContactField::Display, slot)));
    }
}

void Tzadania_f::addRow(int row, int slot, const QString& text)
{
    const QSignalBlocker blocker(listazadan);
    listazadan->insertItem(row, text);
    rowSlots_.insert(rowSlots_.begin() + row, slot);
}

void Tzadania_f::setSelectedRow(int row)
{
    const QSignalBlocker blocker(listazadan);
    listazadan->setCurrentRow(row);
}

int Tzadania_f::selectedSlot() const
{
    const int row = listazadan->currentRow();
    return row >= 0 && row < static_cast<int>(rowSlots_.size()) ? rowSlots_[static_cast<std::size_t>(row)] : -1;
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
    const std::filesystem::path path = joinPath(data_.programFolder, "LOGO\\Chmury.jpg");
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

void Tzadania_f::SpeedButton9Click()
{
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

void Tzadania_f::SpeedButton12Click()
{
    try {
        choosePhoto();
    } catch (const IoError& error) {
        photoChosen_ = false; // a file that cannot be shown is not stored either
        platform_.showError(error);
    }
}

void Tzadania_f::choosePhoto()
{
    if (!data_.programFolder.empty()) {
        std::error_code ec;
        std::filesystem::current_path(data_.programFolder, ec);
        if (ec)
            throw IoError("Nie można otworzyć folderu", data_.programFolder);
    }
    photoChosen_ = true;
    FileDialogRequest request;
    request.title = QStringLiteral("Szukaj zdjęcia");
    request.filter = QStringLiteral("Zdjęcia cyfrowe|*.jpg");
    request.defaultExtension = QStringLiteral("*.jpg");
    request.startFolder = data_.programFolder;
    request.fileName = QString::fromStdString(photoFileName_.string());
    const std::optional<std::filesystem::path> chosen = platform_.openFile(request);
    if (!chosen) {
        photoChosen_ = false; // nothing chosen, nothing to store
        return;
    }
    photoFileName_ = *chosen;
    Image1->setPixmap(QPixmap::fromImage(loadJpegImage(*chosen)));
}

// ---- help panel ----

void Tzadania_f::SpeedButton6Click()
{
    Panel1->setGeometry(8, 83, 812, 578);
    Panel1->show();
    Panel1->raise();
}

void Tzadania_f::SpeedButton7Click()
{
    Panel1->hide();
}

// ---- other windows ----

namespace {

void openWindow(ProgramWindow* window, Platform& platform)
{
    if (!window)
        return;
    try {
        window->open();
    } catch (const IoError& error) {
        platform.showError(error);
    }
}

} // namespace

void Tzadania_f::SpeedButton14Click()
{
    openWindow(windows_.firma, platform_);
}

void Tzadania_f::SpeedButton32Click()
{
    openWindow(windows_.narzedzia, platform_);
}

void Tzadania_f::SpeedButton23Click()
{
    openWindow(windows_.histo, platform_);
}

void Tzadania_f::SpeedButton8Click()
{
    if (!windows_.font)
        return;
    std::vector<std::string> entries;
    for (int row = 0; row < listazadan->count(); ++row)
        entries.push_back(listazadan->item(row)->text().toStdString());
    printContactList(platform_, windows_.font->printFont(), entries);
}

void Tzadania_f::SpeedButton22Click()
{
    if (windows_.font)
        choosePrintFont(platform_, windows_.font->printFont());
}

void Tzadania_f::Label2Click()
{
    if (!windows_.form3)
        return;
    windows_.form3->setEnabled(true);
    windows_.form3->show();
    windows_.form3->raise();
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
        storeContactDatabase(data_);
        if (recordRun)
            ZapiszUruchomienia(data_);
    } catch (const IoError& error) {
        // The window comes back so the user sees it and can try again.
        setWindowOpacity(1.0);
        platform_.showError(error);
        return;
    }
    platform_.endProcess();
}

void Tzadania_f::SpeedButton27Click()
{
    endProgram(true);
}

void Tzadania_f::closeEvent(QCloseEvent* event)
{
    event->ignore();
    endProgram(false);
}

bool Tzadania_f::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == coszukac && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            SzukajDalej();
        return false; // the edit still gets the key
    }
    if (watched == listazadan->viewport() && event->type() == QEvent::MouseButtonPress)
        rowBeforePress_ = listazadan->currentRow();
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label2Click();
        return true;
    }
    return ProgramWindow::eventFilter(watched, event);
}

} // namespace wirtello
