#include "archiver_window.h"

#include "zip_archive.h"

#include "platform/platform.h"
#include "platform/window_look.h"
#include "store/io_error.h"
#include "store/paths.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QToolButton>

#include <iostream>

namespace wirtello {
namespace {

QString fromPath(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

} // namespace

ArchiverWindow::ArchiverWindow(Platform& platform, std::filesystem::path programFolder,
                               std::optional<CompanionConfig> config, QWidget* parent)
    : QWidget(parent), platform_(platform), programFolder_(std::move(programFolder)), config_(std::move(config))
{
    setObjectName(QStringLiteral("ArchiverWindow"));
    setWindowTitle(QStringLiteral("Skarbiec - archiwa programu Wirtello"));
    setFixedSize(420, 178);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    paintBackground(this, bgrColour(16053492));

    const QFont arial = pixelFont(QStringLiteral("Arial"), 12);
    Panel1 = addPanel(this, QRect(8, 8, 404, 48), bgrColour(16316664));
    Label1 = addLabel(Panel1, QStringLiteral("Folder programu:"), 10, 7, arial, kNavy);
    Label2 = addLabel(Panel1, QString(), 10, 25, arial, kNavy);
    Label2->setFixedWidth(384);
    const QString folder = fromPath(programFolder_);
    Label2->setText(Label2->fontMetrics().elidedText(folder, Qt::ElideMiddle, 384));
    Label2->setToolTip(folder);

    const QFont buttonFont = pixelFont(QStringLiteral("Arial"), 13);
    SpeedButton1 = addFlatButton(this, QStringLiteral("Utwórz archiwum"), QRect(8, 66, 200, 30), buttonFont, kMaroon,
                                 standardGlyph(QStyle::SP_DialogSaveButton), GlyphSide::Left, QSize(16, 16));
    SpeedButton2 = addFlatButton(this, QStringLiteral("Przywróć archiwum"), QRect(212, 66, 200, 30), buttonFont,
                                 kMaroon, standardGlyph(QStyle::SP_DialogOpenButton), GlyphSide::Left, QSize(16, 16));
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { createArchive(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { restoreArchive(); });

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(8, 106, 404, 20);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);

    Label3 = addLabel(this, QString(), 8, 136, arial, kNavy);
    Label3->setFixedWidth(404);
    Label3->setWordWrap(true);
    Label3->setText(config_ ? QStringLiteral("Gotowy.")
                            : QStringLiteral("Brak pliku skarbiec_config.dat: można tylko przywrócić archiwum."));
}

std::string ArchiverWindow::stamp()
{
    const QDateTime now = platform_.now();
    return now.toString(QStringLiteral("yyyy-MM-dd-HHmmss")).toStdString();
}

void ArchiverWindow::setBusy(bool busy, const QString& status)
{
    SpeedButton1->setEnabled(!busy);
    SpeedButton2->setEnabled(!busy);
    Label3->setText(status);
    if (busy)
        ProgressBar1->setValue(0);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ArchiverWindow::showProgress(double share)
{
    ProgressBar1->setValue(static_cast<int>(share * 100.0 + 0.5));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ArchiverWindow::createArchive()
{
    if (!config_) {
        platform_.inform(QStringLiteral("Brak pliku skarbiec_config.dat w folderze programu, więc nie wiadomo, "
                                        "które foldery zarchiwizować.\nUruchom program Wirtello: zapisuje ten plik "
                                        "przy każdym starcie."));
        return;
    }
    setBusy(true, QStringLiteral("Tworzenie archiwum..."));
    try {
        const CreatedArchive created =
            wirtello::createArchive(*config_, programFolder_, stamp(), [this](double share) { showProgress(share); });
        if (created.fileCount == 0) {
            setBusy(false, QStringLiteral("Nie utworzono archiwum."));
            platform_.inform(QStringLiteral("W folderach programu nie ma plików do zarchiwizowania."));
            return;
        }
        ProgressBar1->setValue(100);
        setBusy(false, QStringLiteral("Utworzono archiwum %1.").arg(fromPath(created.file.filename())));
        platform_.inform(QStringLiteral("Utworzono archiwum:\n%1\nPlików w archiwum: %2")
                             .arg(fromPath(created.file))
                             .arg(created.fileCount));
    } catch (const IoError& error) {
        std::cerr << error.operation() << ": " << error.path().string() << "\n";
        setBusy(false, QStringLiteral("Nie utworzono archiwum."));
        platform_.showError(error);
    }
}

void ArchiverWindow::restoreArchive()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Wybierz archiwum do przywrócenia");
    request.filter = QStringLiteral("Archiwa ZIP|*.zip");
    request.defaultExtension = QStringLiteral("zip");
    request.startFolder = joinPath(programFolder_, kArchiveFolder);
    const std::optional<std::filesystem::path> archive = platform_.openFile(request);
    if (!archive)
        return;

    try {
        const ArchiveSummary summary = checkArchive(*archive, programFolder_);
        const QString question =
            QStringLiteral("Przywrócić archiwum\n%1\n(plików: %2, po rozpakowaniu: %3) do folderu programu\n%4 ?\n\n"
                           "Pliki, które zostaną zastąpione, zostaną najpierw przeniesione do folderu "
                           "Archiwa/przed-przywroceniem-...\n"
                           "Najlepiej najpierw zamknąć program Wirtello: kontakty połączy on przy zakończeniu "
                           "pracy z przywróconymi, ale historię uruchomień zapisze na nowo.")
                .arg(fromPath(*archive))
                .arg(summary.fileCount)
                .arg(QString::fromStdString(sizeText(summary.unpackedBytes)))
                .arg(fromPath(programFolder_));
        if (!platform_.ask(question))
            return;

        setBusy(true, QStringLiteral("Przywracanie archiwum..."));
        const RestoredArchive restored =
            wirtello::restoreArchive(*archive, programFolder_, stamp(), [this](double share) { showProgress(share); });
        ProgressBar1->setValue(100);
        setBusy(false, QStringLiteral("Przywrócono archiwum %1.").arg(fromPath(archive->filename())));
        QString text = QStringLiteral("Przywrócono plików: %1.").arg(restored.fileCount);
        if (restored.replacedCount > 0)
            text += QStringLiteral("\nPoprzednie wersje zastąpionych plików (%1) są w folderze:\n%2")
                        .arg(restored.replacedCount)
                        .arg(fromPath(restored.keptFolder));
        platform_.inform(text);
    } catch (const RefusedArchive& refused) {
        std::cerr << "Archiwum odrzucone: " << refused.what() << "\n";
        setBusy(false, QStringLiteral("Archiwum odrzucone."));
        const QString entry = refused.entryName().empty()
                                  ? QStringLiteral(".")
                                  : QStringLiteral(":\n") + QString::fromStdString(refused.entryName());
        platform_.inform(QStringLiteral("Archiwum\n%1\n%2%3\n\nArchiwum odrzucono; nie przywrócono żadnego pliku.")
                             .arg(fromPath(*archive), QString::fromStdString(refused.reason()), entry));
    } catch (const UndoneRestore& undone) {
        std::cerr << undone.operation() << ": " << undone.path().string() << "\n";
        setBusy(false, QStringLiteral("Nie przywrócono archiwum."));
        platform_.showError(undone);
        QString text = QStringLiteral("Przywracanie przerwano i cofnięto: pliki przeniesione do tej chwili wróciły "
                                      "na swoje miejsca.");
        if (!undone.notPutBack().empty()) {
            text = QStringLiteral("Przywracanie przerwano. Tych zastąpionych plików nie udało się przenieść z "
                                  "powrotem; są tutaj:");
            for (const std::filesystem::path& kept : undone.notPutBack())
                text += QStringLiteral("\n") + fromPath(kept);
        }
        platform_.inform(text);
    } catch (const IoError& error) {
        std::cerr << error.operation() << ": " << error.path().string() << "\n";
        setBusy(false, QStringLiteral("Nie przywrócono archiwum."));
        platform_.showError(error);
    }
}

} // namespace wirtello
