#include "qt_platform.h"

#include "platform/command_line.h"
#include "platform/network_access.h"
#include "platform/program_module.h"
#include "platform/program_finder.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QProcess>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace wirtello {
namespace {

std::optional<std::filesystem::path> toPath(const QString& chosen, const QString& defaultExtension)
{
    if (chosen.isEmpty())
        return std::nullopt;
    QString name = chosen;
    QString extension = defaultExtension;
    extension.remove(QLatin1Char('*')).remove(QLatin1Char('.'));
    if (!extension.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + extension;
    return std::filesystem::path(name.toStdString());
}

QString startPath(const FileDialogRequest& request)
{
    const QString folder = QString::fromStdString(request.startFolder.string());
    return request.fileName.isEmpty() ? folder : QDir(folder).filePath(request.fileName);
}

// Companions shipped with the program lie beside its executable; then the PATH.
QString findProgram(const QString& name)
{
    const char* pathVariable = std::getenv("PATH");
    const auto found = wirtello::findProgram(name.toStdString(),
                                             QCoreApplication::applicationDirPath().toStdString(),
                                             pathVariable ? pathVariable : "");
    return found ? QString::fromStdString(found->string()) : QString();
}

// Messages break lines with CR, as the system's message boxes do; Qt's labels
// break only at LF.
QString withLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

void installPolishTranslations()
{
    static QTranslator translator;
    if (translator.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

QString toQtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return filters.join(QLatin1String(";;"));
}

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

namespace {

class TakeKeyboardOnShow : public QObject {
public:
    explicit TakeKeyboardOnShow(QDialog& dialog) : QObject(&dialog) { dialog.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* dialog = static_cast<QWidget*>(watched);
            dialog->raise();
            dialog->activateWindow();
        }
        return false;
    }
};

} // namespace

int execModal(QDialog& dialog)
{
    const QPointer<QWidget> before = QApplication::activeWindow();
    new TakeKeyboardOnShow(dialog);
    const int result = dialog.exec();
    if (before && before != &dialog && before->isVisible() && QApplication::activeWindow() != before)
        before->activateWindow();
    return result;
}

void QtPlatform::inform(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Informacja"), withLineBreaks(text), QMessageBox::Ok,
                    dialogParent());
    execModal(box);
}

bool QtPlatform::askYesNo(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, withLineBreaks(text), QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    return execModal(box) == QMessageBox::Yes;
}

Platform::Answer QtPlatform::askYesNoCancel(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Pytanie"), withLineBreaks(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, dialogParent());
    box.setEscapeButton(QMessageBox::Cancel);
    switch (execModal(box)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<int> QtPlatform::choose(const QString& text, const QStringList& choices)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Pytanie"), withLineBreaks(text), QMessageBox::NoButton,
                    dialogParent());
    std::vector<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
    box.addButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    if (!buttons.empty())
        box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    execModal(box);
    const auto chosen = std::ranges::find(buttons, box.clickedButton());
    if (chosen == buttons.end())
        return std::nullopt;
    return static_cast<int>(chosen - buttons.begin());
}

std::optional<QString> QtPlatform::inputText(const QString& title, const QString& prompt)
{
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    if (execModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void QtPlatform::showError(const IoError& error)
{
    const QString text = QStringLiteral("Błąd wejścia/wyjścia.\n%1:\n%2")
                             .arg(QString::fromStdString(error.operation()),
                                  QString::fromStdString(error.path().string()));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Wirtello"), text, QMessageBox::Ok, dialogParent());
    execModal(box);
}

void QtPlatform::showFailure(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Wirtello"), text, QMessageBox::Ok, dialogParent());
    execModal(box);
}

// Shown as an object rather than through QFileDialog's static calls, so it
// takes the keyboard like every other dialog, even without a window manager.
static std::optional<std::filesystem::path> runFileDialog(const FileDialogRequest& request,
                                                          QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(dialogParent(), request.title, startPath(request), toQtFileFilter(request.filter));
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The dialog adds the extension itself, so its question before
        // overwriting an existing file is asked about the name that will be written.
        QString extension = request.defaultExtension;
        extension.remove(QLatin1Char('*')).remove(QLatin1Char('.'));
        dialog.setDefaultSuffix(extension);
    }
    if (execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return toPath(dialog.selectedFiles().constFirst(), request.defaultExtension);
}

std::optional<std::filesystem::path> QtPlatform::openFile(const FileDialogRequest& request)
{
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<std::filesystem::path> QtPlatform::saveFile(const FileDialogRequest& request)
{
    return runFileDialog(request, QFileDialog::AcceptSave);
}

bool QtPlatform::exec(const QString& commandLine, const std::filesystem::path& workingFolder)
{
    // Split on the UTF-8 bytes: every character the splitter looks at is ASCII.
    const std::vector<std::string> words = splitWindowsCommandLine(commandLine.toStdString());
    if (words.empty())
        return false;
    const QString program = findProgram(QString::fromStdString(words.front()));
    if (program.isEmpty())
        return false;
    QStringList arguments;
    for (std::size_t i = 1; i < words.size(); ++i)
        arguments << QString::fromStdString(words[i]);
    // Started directly, never through a shell, and never waited for.
    return QProcess::startDetached(program, arguments, QString::fromStdString(workingFolder.string()));
}

bool QtPlatform::openUrl(const QString& url)
{
    const QUrl parsed(url);
    if (!parsed.isValid())
        return false;
    const QString scheme = parsed.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("mailto"))
        return false;
    return QDesktopServices::openUrl(parsed);
}

bool QtPlatform::openDocument(const std::filesystem::path& file)
{
    // Only a file: a folder or a device handed to the desktop's opener could
    // start anything.
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(file.c_str())));
}

QDateTime QtPlatform::now()
{
    return QDateTime::currentDateTime();
}

QString QtPlatform::dateSeparator()
{
    // The locale's numeric short date separator; a locale without one (such as
    // the bare "C" locale, whose short date spells the month) gets the Polish dot.
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("MMM"))) {
        for (const QChar c : format) {
            if (!c.isLetter() && !c.isSpace())
                return QString(c);
        }
    }
    return QStringLiteral(".");
}

QString QtPlatform::longTimeFormat()
{
    return withoutTimeZone(QLocale::system().timeFormat(QLocale::LongFormat));
}

QString withoutTimeZone(const QString& timeFormat)
{
    // By hand rather than with a regular expression: this runs at start-up,
    // and the expression engine alone would cost more than the window's clock.
    QString kept;
    for (qsizetype i = 0; i < timeFormat.size(); ++i) {
        if (timeFormat[i] != u't') {
            kept += timeFormat[i];
            continue;
        }
        while (!kept.isEmpty() && kept.back().isSpace())
            kept.chop(1);
        while (i + 1 < timeFormat.size() && (timeFormat[i + 1] == u't' || timeFormat[i + 1].isSpace()))
            ++i;
    }
    return kept.trimmed();
}

bool QtPlatform::isConnected()
{
    try {
        return programModule<NetworkAccess>(kNetworkModule).isConnected();
    } catch (const ModuleMissing& missing) {
        showFailure(QString::fromStdString(missing.what()));
        return false;
    }
}

bool QtPlatform::download(const QString& url, const std::filesystem::path& target, int timeoutMs)
{
    try {
        return programModule<NetworkAccess>(kNetworkModule).download(url, target, timeoutMs);
    } catch (const ModuleMissing& missing) {
        showFailure(QString::fromStdString(missing.what()));
        return false;
    }
}

void QtPlatform::showProgress(const QString& title, const QString& text,
                              const std::function<void(const ProgressReport&)>& step)
{
    QProgressDialog progress(text, QStringLiteral("Anuluj"), 0, 1000, QApplication::activeWindow());
    progress.setObjectName(QStringLiteral("progress"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    step([&progress](int permille) {
        progress.setValue(permille);
        return !progress.wasCanceled();
    });
}

void QtPlatform::endProcess()
{
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace wirtello
