// The buttons that reach other windows, companion programs and the printer.
#include "main_window.h"
#include "ui_main_window.h"

#include "companion_actions.h"

#include "cash/cash_document_window.h"
#include "envelope/envelope_window.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "print/print_actions.h"

namespace wirtello {

// ---- help panel ----

void Tzadania_f::showHelp()
{
    ui_->Panel1->setGeometry(8, 83, 812, 578);
    openPanel(ui_->Panel1, ui_->Memo1); // the help is read first; Tab reaches "Zamknij"
}

void Tzadania_f::hideHelp()
{
    closePanel(ui_->Panel1);
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
        envelope->addressTo({ui_->imie->text(), ui_->nazwisko->text(), ui_->ulica->text(), ui_->miejscowosc->text()});
        envelope->open();
    }
}

void Tzadania_f::openCashDocument(DocumentKind kind)
{
    if (auto* document = windows_.find<Tkp_f>(WindowRole::CashDocument)) {
        std::array<QString, 4> issuer;
        for (int line = 1; line <= 4; ++line)
            issuer[static_cast<std::size_t>(line - 1)] = QString::fromStdString(data_.company.line(line));
        document->prepareDocument(kind, ui_->imie->text(), ui_->nazwisko->text(), ui_->ulica->text(),
                                  ui_->miejscowosc->text(), issuer);
        document->open();
    }
}

void Tzadania_f::startCompanionFor(CompanionButton button)
{
    const CompanionInputs inputs =
        companionInputs(data_.contacts, selectedSlot(), ui_->imie->text().toStdString(),
                        ui_->nazwisko->text().toStdString(), ui_->mail->text().toStdString());
    // The export and the archiver read the database file: it must hold what
    // the list shows, not the state of the last delete or start.
    if (readsContactDatabase(button))
        storeContacts();
    startCompanion(platform_, data_.programFolder, button, inputs);
}

void Tzadania_f::openWebPage()
{
    wirtello::openWebPage(platform_, ui_->www->text());
}

void Tzadania_f::printList()
{
    printListTo(PrintDestination::Printer);
}

void Tzadania_f::printListTo(PrintDestination destination)
{
    printContactList(platform_, printFont_, data_.contacts.entries(), destination);
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
} // namespace wirtello
