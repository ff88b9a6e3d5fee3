#include "main_window.h"

#include "admin/run_records.h"
#include "contact_list_model.h"
#include "startup.h"
#include "window_registry.h"
#include "ui_main_window.h"

#include "platform/handler_guard.h"
#include "platform/platform.h"
#include "platform/session_end.h"
#include "store/io_error.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <chrono>
#include <functional>

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
    onSessionEnd(this, [this] { storeAtSessionEnd(); });
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

std::function<void()> Tzadania_f::guarded(std::function<void()> handler)
{
    return [this, handler = std::move(handler)] { runGuarded(platform_, handler); };
}

void Tzadania_f::connectActions()
{
    for (QLineEdit* edit : cardEdits())
        connect(edit, &QLineEdit::textChanged, this, [this] { changesPending_ = true; });

    // A new current row (mouse or keys) selects that contact; a click on the
    // entry that was already current selects it again, as a click always does.
    const std::function<void()> move = guarded([this] { moveToCurrentRow(); });
    connect(ui_->listazadan->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this, move] {
        if (!movingSelection_)
            move();
    });
    connect(ui_->listazadan, &QListView::clicked, this, [this, move](const QModelIndex& index) {
        if (index.row() == rowBeforePress_)
            move();
    });
    ui_->listazadan->viewport()->installEventFilter(this);
    connectImport();
    ui_->coszukac->installEventFilter(this);
    ui_->Label2->installEventFilter(this);

    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));

    // Every button and its handler; each click runs through the handler guard.
    const std::pair<QToolButton*, std::function<void()>> clicks[] = {
        {ui_->SpeedButton9, [this] { saveCard(); }},
        {ui_->SpeedButton12, [this] { choosePhoto(); }},
        {ui_->SpeedButton2, [this] { addContact(); }},
        {ui_->SpeedButton13, [this] { renameContact(); }},
        {ui_->SpeedButton3, [this] { deleteContact(); }},
        {ui_->SpeedButton6, [this] { showHelp(); }},
        {ui_->SpeedButton7, [this] { hideHelp(); }},
        {ui_->SpeedButton30, [this] { SzukajDalej(); }},
        {ui_->SpeedButton8, [this] { printList(); }},
        {ui_->SpeedButton22, [this] { choosePrintFont(); }},
        {ui_->SpeedButton5, [this] { startCompanionFor(CompanionButton::Scheduler); }},
        {ui_->SpeedButton4, [this] { startCompanionFor(CompanionButton::Notes); }},
        {ui_->SpeedButton31, [this] { startCompanionFor(CompanionButton::Comments); }},
        {ui_->SpeedButton26, [this] { startCompanionFor(CompanionButton::DocumentRegister); }},
        {ui_->SpeedButton29, [this] { startCompanionFor(CompanionButton::TaskCalendar); }},
        {ui_->SpeedButton28, [this] { startCompanionFor(CompanionButton::TaskReader); }},
        {ui_->SpeedButton11, [this] { startCompanionFor(CompanionButton::Mail); }},
        {ui_->SpeedButton16, [this] { startCompanionFor(CompanionButton::Archiver); }},
        {ui_->SpeedButton21, [this] { startCompanionFor(CompanionButton::AddressExport); }},
        {ui_->SpeedButton18, [this] { openWebPage(); }},
        {ui_->SpeedButton10, [this] { addressEnvelope(); }},
        {ui_->SpeedButton24, [this] { openCashDocument(DocumentKind::Kp); }},
        {ui_->SpeedButton25, [this] { openCashDocument(DocumentKind::Kw); }},
        {ui_->SpeedButton27, [this] { endProgram(true); }},
    };
    for (const auto& [button, handler] : clicks)
        onClick(button, platform_, handler);
    // The buttons that open one of the program's later windows, from its table.
    for (const RegisteredWindow& registered : registeredWindows()) {
        if (registered.openingButton)
            onClick(findChild<QToolButton*>(QString::fromLatin1(registered.openingButton)), platform_,
                    [this, role = registered.role] { openWindow(role); });
    }
    // The print menu's choice is not a click: it gets the guard here.
    addPrintMenu(ui_->SpeedButton8, [this](PrintDestination destination) {
        runGuarded(platform_, [this, destination] { printListTo(destination); });
    });
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
    ui_->coszukac->clear();
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
    } catch (...) {
        // The window comes back so the user sees it and can try again.
        setWindowOpacity(1.0);
        throw;
    }
    if (recordRun)
        recordRunAtEnd(data_, platform_);
    platform_.endProcess();
}

void Tzadania_f::storeAtSessionEnd()
{
    // A contact file that could not be read is never written over.
    if (!data_.contacts.isLoaded())
        return;
    // Nobody is left to answer "Zapisać zmiany kontaktu ?": what was typed is
    // kept, as "Tak" keeps it, rather than lost.
    if (changesPending_ || photoChosen_)
        writeCardIntoContact();
    // A merge with a file changed on disk is not shown: the next start lists it.
    const std::chrono::milliseconds now(platform_.now().toMSecsSinceEpoch());
    data_.contacts.store(std::chrono::system_clock::time_point(now));
}

void Tzadania_f::closeEvent(QCloseEvent* event)
{
    event->ignore();
    runGuarded(platform_, [this] { endProgram(false); });
}

bool Tzadania_f::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->coszukac && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            runGuarded(platform_, [this] { SzukajDalej(); });
        return false; // the edit still gets the key
    }
    if (watched == ui_->listazadan->viewport() && event->type() == QEvent::MouseButtonPress)
        rowBeforePress_ = currentRow();
    if (watched == ui_->Label2 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runGuarded(platform_, [this] { showAboutWindow(); });
        return true;
    }
    return ProgramWindow::eventFilter(watched, event);
}

} // namespace wirtello
