#include "qt_platform.h"

#include "command_line.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

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

// The desktop's calculator for the Windows name "calc.exe".
QString findCalculator()
{
    for (const char* name : {"gnome-calculator", "kcalc", "galculator", "mate-calc", "xcalc"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString findProgram(const QString& name)
{
    if (name.compare(QLatin1String("calc.exe"), Qt::CaseInsensitive) == 0)
        return findCalculator();
    if (QFileInfo(name).isAbsolute() || name.contains(QLatin1Char('/')))
        return QFileInfo(name).isExecutable() ? name : QString();
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty() && name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        found = QStandardPaths::findExecutable(name.left(name.size() - 4));
    if (found.isEmpty() && QFileInfo(name).isExecutable())
        found = QFileInfo(name).absoluteFilePath();
    return found;
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

void QtPlatform::inform(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Informacja"), withLineBreaks(text), QMessageBox::Ok,
                    dialogParent());
    box.exec();
}

bool QtPlatform::askYesNo(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, withLineBreaks(text), QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPlatform::inputText(const QString& title, const QString& prompt)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), title, prompt, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void QtPlatform::showError(const IoError& error)
{
    const QString text = QStringLiteral("Błąd wejścia/wyjścia.\n%1:\n%2")
                             .arg(QString::fromStdString(error.operation()),
                                  QString::fromStdString(error.path().string()));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Wirtello"), text, QMessageBox::Ok, dialogParent());
    box.exec();
}

std::optional<std::filesystem::path> QtPlatform::openFile(const FileDialogRequest& request)
{
    const QString chosen = QFileDialog::getOpenFileName(dialogParent(), request.title, startPath(request),
                                                        toQtFileFilter(request.filter));
    return toPath(chosen, request.defaultExtension);
}

std::optional<std::filesystem::path> QtPlatform::saveFile(const FileDialogRequest& request)
{
    // QFileDialog asks before overwriting an existing file.
    const QString chosen = QFileDialog::getSaveFileName(dialogParent(), request.title, startPath(request),
                                                        toQtFileFilter(request.filter));
    return toPath(chosen, request.defaultExtension);
}

void QtPlatform::exec(const QString& commandLine)
{
    QStringList arguments = splitWindowsCommandLine(commandLine);
    if (arguments.isEmpty())
        return;
    const QString program = findProgram(arguments.takeFirst());
    if (program.isEmpty())
        return; // a program that cannot be started is ignored
    QProcess::startDetached(program, arguments, QDir::currentPath());
}

void QtPlatform::openUrl(const QString& url)
{
    const QUrl parsed(url);
    const QString scheme = parsed.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"))
        QDesktopServices::openUrl(parsed);
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
    // The long time format without its time-zone part.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return format.trimmed();
}

void QtPlatform::endProcess()
{
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace wirtello
