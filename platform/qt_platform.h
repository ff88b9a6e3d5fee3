#pragma once

#include "platform.h"

class QDialog;
class QWidget;

namespace wirtello {

// Runs a modal dialog that takes the keyboard when shown and, once closed,
// gives it back to the window that had it, also where no window manager does
// either (the keyboard would otherwise go to no window).
int execModal(QDialog& dialog);

// The real platform: Qt dialogs, QProcess, QDesktopServices, QNetwork*.
class QtPlatform : public Platform {
public:
    void inform(const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    std::optional<int> choose(const QString& text, const QStringList& choices) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt) override;
    void showError(const IoError& error) override;
    void showFailure(const QString& text) override;
    std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) override;
    std::unique_ptr<PrintSurface> choosePrinter() override;
    bool previewPrintout(const QString& title, PaperSize paper, const PrintoutDrawing& draw) override;
    std::unique_ptr<PrintSurface> pdfSurface(const std::filesystem::path& file, PaperSize paper) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    bool exec(const QString& commandLine, const std::filesystem::path& workingFolder) override;
    bool openUrl(const QString& url) override;
    bool openDocument(const std::filesystem::path& file) override;
    void showProgress(const QString& title, const QString& text,
                      const std::function<void(const ProgressReport&)>& step) override;
    QDateTime now() override;
    QString dateSeparator() override;
    QString longTimeFormat() override;
    bool isConnected() override;
    bool download(const QString& url, const std::filesystem::path& target, int timeoutMs) override;
    void endProcess() override;
};

// "Zdjęcia cyfrowe|*.jpg" -> "Zdjęcia cyfrowe (*.jpg)".
QString toQtFileFilter(const QString& filter);

// A Qt time format without its time-zone part: every run of "t" with the
// blanks around it ("HH:mm:ss t" -> "HH:mm:ss").
QString withoutTimeZone(const QString& timeFormat);

// Loads Qt's Polish translations into the running application, so standard
// buttons read "Tak", "Nie", "Anuluj". Call once, after the application exists.
void installPolishTranslations();

// The window that modal boxes belong to.
QWidget* dialogParent();

} // namespace wirtello
