#include "main_window.h"

#include "admin/run_records.h"
#include "contact_list_model.h"
#include "startup.h"

#include "platform/handler_guard.h"
#include "platform/platform.h"
#include "store/io_error.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

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
    setUpKeyboard();
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
    connect(listazadan->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!movingSelection_)
            runGuarded(platform_, [this] { moveToCurrentRow(); });
    });
    connect(listazadan, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == rowBeforePress_)
            runGuarded(platform_, [this] { moveToCurrentRow(); });
    });
    listazadan->viewport()->installEventFilter(this);
    connectImport();
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
    addPrintMenu(SpeedButton8, [this](PrintDestination destination) {
        runGuarded(platform_, [this, destination] { printListTo(destination); });
    });

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
    setWindowTitle(QStringLiteral("Wirtello"));
    try {
        prepareProgramFolder(data_, report);
    } catch (const IoError& error) {
        report(error);
    }
    contactList_->reload();
    setSelectedRow(data_.contacts.rowCount() > 0 ? 0 : -1);
    runGuarded(platform_, [this] { select(); });
}

// ---- end of the program ----

void Tzadania_f::Wygaszaj()
{
    for (int alpha = 255; alpha >= 10; alpha -= 5)
        setWindowOpacity(alpha / 255.0);
}

void Tzadania_f::endProgram(bool recordRun)
{
    if (!settleCardChanges())
        return;
    if (!platform_.ask(QStringLiteral("Koniec pracy ?")))
        return;
    Wygaszaj();
    try {
        storeContacts();
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
        rowBeforePress_ = currentRow();
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runGuarded(platform_, [this] { showAboutWindow(); });
        return true;
    }
    return ProgramWindow::eventFilter(watched, event);
}

} // namespace wirtello
