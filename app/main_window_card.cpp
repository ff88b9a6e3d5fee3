// The card: select, the photograph, saving the card and choosing a photo.
#include "main_window.h"
#include "ui_main_window.h"

#include "platform/platform.h"
#include "platform/qt_picture.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/program_folder.h"

#include <QPixmap>
#include <QTimer>

namespace wirtello {

std::array<QLineEdit*, 10> Tzadania_f::cardEdits() const
{
    return {ui_->imie, ui_->nazwisko, ui_->ulica, ui_->miejscowosc, ui_->telefon,
            ui_->fax, ui_->komorka, ui_->mail, ui_->www, ui_->komunikator};
}

void Tzadania_f::CzyscPola()
{
    for (QLineEdit* edit : cardEdits())
        edit->clear();
}

void Tzadania_f::Timer1Timer()
{
    ui_->Label1->setText(platform_.formatLongTime(platform_.now().time()));
    ui_->Label1->adjustSize();
    ui_->SpeedButton15->setVisible(changesPending_);
}
int Tzadania_f::selectedSlot() const
{
    return data_.contacts.slotOfRow(currentRow());
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
    cardRow_ = currentRow();
}

void Tzadania_f::moveToCurrentRow()
{
    if (changesPending_) {
        const int row = currentRow();
        setSelectedRow(cardRow_); // the edits belong to the contact the card shows
        if (!settleCardChanges()) {
            // The list may still be finishing the move that led here (a key
            // or a click being handled): the card's contact is selected again
            // once it has, so what is highlighted is what Delete removes.
            QTimer::singleShot(0, this, [this] {
                if (changesPending_)
                    setSelectedRow(cardRow_);
            });
            return;
        }
        setSelectedRow(row);
    }
    select();
}

bool Tzadania_f::settleCardChanges()
{
    if (!changesPending_)
        return true;
    switch (platform_.askYesNoCancel(QStringLiteral("Zapisać zmiany kontaktu ?"))) {
    case Platform::Answer::Yes:
        saveCard();
        return !changesPending_;
    case Platform::Answer::No:
        return true;
    case Platform::Answer::Cancel:
        break;
    }
    return false;
}

void Tzadania_f::showPicture(int slot)
{
    if (slot >= 0) {
        // A Windows path of a folder brought over finds the photo below the program folder.
        const std::filesystem::path photo =
            resolveStoredPath(data_.programFolder, data_.contacts.text(ContactField::PhotoPath, slot));
        if (!photo.empty() && fileExists(photo)) {
            // A large photo is decoded in the background so that moving through
            // the list never waits for it; the default picture stands in until
            // it is ready. A broken file is named and the default stays.
            framePhotoLoader(*ui_->Image1).show(
                photo, [this] { showDefaultPicture(); }, [this](const IoError& error) { platform_.showError(error); });
            return;
        }
    }
    framePhotoLoader(*ui_->Image1).cancel();
    showDefaultPicture();
}

void Tzadania_f::showDefaultPicture()
{
    const std::filesystem::path path = fileIn(data_.programFolder, kLogoFolder, "Chmury.jpg");
    ui_->Image1->clear();
    if (!fileExists(path))
        return; // an incomplete installation leaves the frame empty rather than nagging at every click
    // Also reached from the background photo loader, outside any handler; the
    // card is shown whatever befell the default picture.
    try {
        ui_->Image1->setPixmap(QPixmap::fromImage(loadJpegImageForFrame(path, ui_->Image1->size())));
    } catch (const IoError& error) {
        platform_.showError(error);
    }
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
    writeCardIntoContact();
}

void Tzadania_f::writeCardIntoContact()
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
    // A name that would come back different could never be shown again.
    if (!ContactBook::photoPathStorable(chosen->string())) {
        platform_.inform(QStringLiteral("Nie można zapamiętać zdjęcia:\r%1\r\rNazwa pliku lub folderu zawiera "
                                        "znaki, których program nie może zapisać, albo jest dłuższa niż 250 "
                                        "znaków. Zmień nazwę pliku lub przenieś go do innego folderu.")
                             .arg(QString::fromStdString(chosen->string())));
        return;
    }
    // The photo just chosen is shown at once, whatever its size.
    framePhotoLoader(*ui_->Image1).showAtOnce(*chosen);
    photoFileName_ = *chosen;
    photoChosen_ = true;
}
} // namespace wirtello
