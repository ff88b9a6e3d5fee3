#include "document_open.h"

#include "companions/companion_kit/companion_app.h"
#include "store/cp1250.h"
#include "store/io_error.h"

namespace wirtello {

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// The read-only access of a window that must not write over what it could not read.
DocumentAccess readOnly(const QString& note)
{
    return {std::nullopt, note.toStdString()};
}

} // namespace

OpenedDocument openCompanionDocument(Platform& platform, const std::filesystem::path& file,
                                     const DocumentReader& reads, bool offerWindows1250)
{
    OpenedDocument opened{openDocumentAccess(file)};
    LoadedDocument loaded;
    try {
        loaded = readCompanionDocument(file, kCompanionFileLimit, reads);
    } catch (const IoError& error) {
        platform.showError(error);
        reads(std::string_view());
        opened.access = readOnly(QStringLiteral("Dokumentu nie można odczytać — tylko do odczytu."));
        return opened;
    }
    if (!loaded.problem)
        return opened;

    QString where = fromUtf8(describeProblem(file, *loaded.problem));
    if (offerWindows1250 && !isValidUtf8(loaded.text) &&
        platform.askYesNo(QStringLiteral("Pytanie"),
                          QStringLiteral("%1\n\nTekst nie jest zapisany w UTF-8. Odczytać go jako tekst "
                                         "Windows-1250 (polskie znaki starszych programów)?")
                              .arg(where))) {
        loaded.problem = reads(fromCp1250(loaded.text));
        opened.readAsWindows1250 = true;
        if (!loaded.problem)
            return opened; // stored in UTF-8 from the next store on
    }

    where = fromUtf8(describeProblem(file, *loaded.problem));
    const bool mayEdit = opened.access.lock.has_value();
    const QString question =
        QStringLiteral("%1\n\nWiersze, które dało się odczytać, zostaną pokazane. Zachować kopię "
                       "całego pliku obok i dalej pracować na odczytanych wierszach?\n\nNie — okno "
                       "tylko do odczytu, plik pozostaje bez zmian.")
            .arg(where);
    if (mayEdit && platform.askYesNo(QStringLiteral("Pytanie"), question)) {
        try {
            // A copy aside; the file itself stays until the window stores the lines read.
            const std::filesystem::path keptAs = keepDamagedAside(file, toTimePoint(platform.now()));
            writeCompanionText(file, loaded.text);
            platform.inform(QStringLiteral("Kopię pliku zachowano jako %1. Zapisanie zmian zastąpi plik "
                                           "odczytanymi wierszami.")
                                .arg(fromUtf8(keptAs.string())));
            return opened;
        } catch (const IoError& error) {
            platform.showError(error);
        }
    } else if (!mayEdit) {
        platform.inform(
            QStringLiteral("%1\n\nWiersze, które dało się odczytać, zostaną pokazane tylko do odczytu.").arg(where));
    }
    opened.access =
        readOnly(QStringLiteral("Wiersz %1 pliku jest nieczytelny (%2) — tylko do odczytu, "
                                "plik bez zmian.")
                     .arg(loaded.problem->line)
                     .arg(fromUtf8(loaded.problem->reason)));
    return opened;
}

} // namespace wirtello
