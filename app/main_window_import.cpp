// Contact import: the contact list's right-click menu, the file, the
// progress while it is read, and the summary.
#include "main_window.h"
#include "ui_main_window.h"

#include "contact_list_model.h"

#include "contact_import/contact_file_reader.h"
#include "contact_import/import_plan.h"

#include "platform/platform.h"
#include "platform/program_module.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QStandardPaths>

#include <algorithm>

namespace wirtello {
namespace {

std::filesystem::path importStartFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return std::filesystem::path(folder.toStdU16String());
}

QString fileText(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

QString noRoomText(const ContactBook::Room& room)
{
    if (room.freeSlots <= room.freeIds)
        return QStringLiteral("Lista kontaktów jest pełna (%1 kontaktów)").arg(kSlotCount);
    return QStringLiteral("Wyczerpano numery kontaktów (od 000 do 999)");
}

QString summaryText(const std::filesystem::path& file, const ContactFileReading& reading, const ImportPlan& plan,
                    const ContactBook::Room& room)
{
    const bool csv = reading.format == ContactFileFormat::Csv;
    QStringList lines;
    lines << QStringLiteral("Import kontaktów z pliku:") << fileText(file) << QString();
    lines << QStringLiteral("Dodano kontaktów: %1").arg(plan.contacts.size());
    lines << QStringLiteral("Przycięte pola (dłuższe niż mieści karta): %1").arg(plan.cutFields);
    lines << (csv ? QStringLiteral("Pominięte wiersze (puste lub nieczytelne): %1")
                  : QStringLiteral("Pominięte wizytówki (puste lub nieczytelne): %1"))
                 .arg(reading.skipped);
    if (plan.replacedCharacters > 0)
        lines << QStringLiteral("Znaki zastąpione przez „?” (spoza polskiego alfabetu): %1").arg(plan.replacedCharacters);
    if (reading.unreadableFields > 0)
        lines << QStringLiteral("Pominięte nieczytelne pola: %1").arg(reading.unreadableFields);
    if (plan.refusedPhotos > 0)
        lines << QStringLiteral("Pominięte ścieżki zdjęć, które nie wskazują zwykłego pliku: %1").arg(plan.refusedPhotos);
    const std::size_t notTaken = reading.notRead + plan.leftOut;
    if (notTaken > 0) {
        lines << QString()
              << QStringLiteral("%1: nie dodano %2 z %3 kontaktów zapisanych w pliku.")
                     .arg(noRoomText(room))
                     .arg(notTaken)
                     .arg(reading.entriesInFile);
    }
    if (!plan.contacts.empty()) {
        lines << QString()
              << QStringLiteral("Nowe kontakty zostaną zapisane razem z całą listą (przy usuwaniu kontaktu "
                                "lub przy zakończeniu programu).");
    }
    return lines.join(QLatin1Char('\r'));
}

} // namespace

void Tzadania_f::connectImport()
{
    auto* menu = new QMenu(ui_->listazadan);
    menu->setObjectName(QStringLiteral("listMenu"));
    QAction* import = menu->addAction(QStringLiteral("Importuj kontakty…"));
    connect(import, &QAction::triggered, this, guarded([this] { importContacts(); }));
    ui_->listazadan->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_->listazadan, &QWidget::customContextMenuRequested, menu,
            [this, menu](const QPoint& at) { menu->popup(ui_->listazadan->viewport()->mapToGlobal(at)); });
}

void Tzadania_f::importContacts()
{
    if (!contactsChangeable())
        return;
    const ContactBook::Room before = data_.contacts.room();
    if (before.count() <= 0) {
        platform_.inform(noRoomText(before) + QStringLiteral(". Nie można dodać nowych kontaktów."));
        return;
    }

    FileDialogRequest request;
    request.title = QStringLiteral("Importuj kontakty");
    request.filter = QStringLiteral("Kontakty (vCard, CSV)|*.vcf;*.vcard;*.csv;*.txt|Wszystkie pliki|*");
    request.defaultExtension = QStringLiteral("vcf");
    request.startFolder = importStartFolder();
    const std::optional<std::filesystem::path> file = platform_.openFile(request);
    if (!file)
        return;

    // The file is read whole before anything is added: a file that turns out
    // not to be a contact file, or a reading the user stops, adds nothing.
    // The progress box is modal, so nothing here changes meanwhile.
    ContactFileReading reading;
    try {
        ContactFileReader& reader = programModule<ContactFileReader>(kContactsModule);
        platform_.showProgress(QStringLiteral("Import kontaktów"), QStringLiteral("Wczytywanie kontaktów z pliku…"),
                               [&](const Platform::ProgressReport& progress) {
                                   reading = reader.readContactFile(*file, static_cast<std::size_t>(before.count()),
                                                                    progress);
                               });
    } catch (const ContactFileError& error) {
        platform_.inform(QStringLiteral("Nie można zaimportować kontaktów z pliku:\r%1\r\r%2\r\rNie dodano żadnego kontaktu.")
                             .arg(fileText(*file), QString::fromStdString(error.what())));
        return;
    } catch (const ImportCancelled&) {
        platform_.inform(QStringLiteral("Import przerwany. Nie dodano żadnego kontaktu."));
        return;
    }

    const ContactBook::Room room = data_.contacts.room();
    const ImportPlan plan = planImport(reading.contacts, static_cast<std::size_t>(std::max(room.count(), 0)));
    const int row = currentRow();
    waitForOtherCopiesWithCursor();
    const std::vector<int> added = data_.contacts.addAll(plan.contacts);
    if (!added.empty()) {
        // The card and the selection stay as they were, as after "Dodaj".
        contactList_->reload();
        setSelectedRow(row);
        const auto& rows = data_.contacts.rowSlots();
        const auto first = std::ranges::find(rows, added.front());
        if (first != rows.end())
            ui_->listazadan->scrollTo(contactList_->index(static_cast<int>(first - rows.begin())));
    }
    platform_.inform(summaryText(*file, reading, plan, room));
}

} // namespace wirtello
