#include "archiver_window.h"
#include "ui_archiver_window.h"

#include "zip_archive.h"

#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"
#include "store/io_error.h"
#include "store/paths.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QShortcut>

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
    : ProgramWindow(parent), ui_(std::make_unique<Ui::ArchiverWindow>()), platform_(platform),
      programFolder_(std::move(programFolder)), config_(std::move(config))
{
    ui_->setupUi(this);
    setFixedSize(420, 178);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    // What the Designer file cannot say: pixel fonts, Windows colours, the flat buttons' look.
    setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    paintBackground(this, bgrColour(16053492));
    paintBackground(ui_->Panel1, bgrColour(16316664));
    const QFont arial = pixelFont(QStringLiteral("Arial"), 12);
    for (QLabel* label : {ui_->Label1, ui_->Label2, ui_->Label3}) {
        label->setFont(arial);
        setColour(label, QPalette::WindowText, kNavy);
    }
    const QFont buttonFont = pixelFont(QStringLiteral("Arial"), 13);
    styleFlatButton(ui_->SpeedButton1, buttonFont, kMaroon, standardGlyph(QStyle::SP_DialogSaveButton),
                    GlyphSide::Left, QSize(16, 16));
    styleFlatButton(ui_->SpeedButton2, buttonFont, kMaroon, standardGlyph(QStyle::SP_DialogOpenButton),
                    GlyphSide::Left, QSize(16, 16));

    // Tab stops on the flat buttons with a focus frame; Enter and Space press them.
    makeKeyboardButton(ui_->SpeedButton1);
    makeKeyboardButton(ui_->SpeedButton2);
    // The window has no close button of its own: Escape, Ctrl+W and Alt+F4
    // (also without a window manager) close it.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W),
                                     QKeySequence(Qt::ALT | Qt::Key_F4)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    onClick(ui_->SpeedButton1, platform_, [this] { createArchive(); });
    onClick(ui_->SpeedButton2, platform_, [this] { restoreArchive(); });

    const QString folder = fromPath(programFolder_);
    ui_->Label2->setText(ui_->Label2->fontMetrics().elidedText(folder, Qt::ElideMiddle, ui_->Label2->width()));
    ui_->Label2->setToolTip(folder);
    ui_->Label3->setText(config_ ? QStringLiteral("Gotowy.")
                                 : QStringLiteral("Brak pliku skarbiec_config.dat: można tylko przywrócić archiwum."));
}

ArchiverWindow::~ArchiverWindow() = default;

std::string ArchiverWindow::stamp()
{
    const QDateTime now = platform_.now();
    return now.toString(QStringLiteral("yyyy-MM-dd-HHmmss")).toStdString();
}

void ArchiverWindow::setBusy(bool busy, const QString& status)
{
    ui_->SpeedButton1->setEnabled(!busy);
    ui_->SpeedButton2->setEnabled(!busy);
    ui_->Label3->setText(status);
    if (busy)
        ui_->ProgressBar1->setValue(0);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ArchiverWindow::showProgress(double share)
{
    ui_->ProgressBar1->setValue(static_cast<int>(share * 100.0 + 0.5));
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
    // Caught here rather than by the click guard: the buttons come back and the status line says what failed.
    try {
        const CreatedArchive created =
            wirtello::createArchive(*config_, programFolder_, stamp(), [this](double share) { showProgress(share); });
        // What a link leads out of the program folder to is never archived; the user learns what was left out.
        QString leftOut;
        if (!created.linksLeadingOut.empty()) {
            leftOut = QStringLiteral("\n\nPominięto dowiązania prowadzące poza folder programu (ich pliki nie "
                                     "trafiły do archiwum):");
            for (const std::string& name : created.linksLeadingOut)
                leftOut += QStringLiteral("\n") + QString::fromStdString(name);
        }
        if (created.fileCount == 0) {
            setBusy(false, QStringLiteral("Nie utworzono archiwum."));
            platform_.inform(QStringLiteral("W folderach programu nie ma plików do zarchiwizowania.") + leftOut);
            return;
        }
        ui_->ProgressBar1->setValue(100);
        setBusy(false, QStringLiteral("Utworzono archiwum %1.").arg(fromPath(created.file.filename())));
        platform_.inform(QStringLiteral("Utworzono archiwum:\n%1\nPlików w archiwum: %2")
                             .arg(fromPath(created.file))
                             .arg(created.fileCount) +
                         leftOut);
    } catch (const IoError& error) {
        std::cerr << error.operation() << ": " << error.path().string() << "\n";
        setBusy(false, QStringLiteral("Nie utworzono archiwum."));
        platform_.showError(error);
    }
}

void ArchiverWindow::finishInterruptedRestores()
{
    const std::string text = interruptedRestoresText(wirtello::finishInterruptedRestores(programFolder_));
    if (!text.empty())
        platform_.inform(QString::fromStdString(text));
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

    // Caught here rather than by the click guard: a refused or undone restore has its own boxes, and the
    // buttons come back with the status line saying what failed.
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
        ui_->ProgressBar1->setValue(100);
        setBusy(false, QStringLiteral("Przywrócono archiwum %1.").arg(fromPath(archive->filename())));
        QString text = QString::fromStdString(interruptedRestoresText(restored.finishedBefore));
        if (!text.isEmpty())
            text += QStringLiteral("\n\n");
        text += QStringLiteral("Przywrócono plików: %1.").arg(restored.fileCount);
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
