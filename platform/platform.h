#pragma once

#include "platform/font_choice.h"
#include "platform/print_surface.h"
#include "store/io_error.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace wirtello {

struct FileDialogRequest {
    QString title;
    QString filter;           // "Zdjęcia cyfrowe|*.jpg", pairs separated by '|'
    QString defaultExtension; // "*.jpg" or "jpg"
    std::filesystem::path startFolder;
    QString fileName;         // file name shown at first
};

// The paper a printout is laid out for where the program, not the print
// dialog, chooses it (preview and PDF): A4, or a DL envelope (110 x 220 mm).
enum class PaperSize { A4, EnvelopeDL };

// One printout's drawing, run on whichever surface the user chose. It opens
// and ends its own job; it may run more than once (the preview redraws when
// its page settings change).
using PrintoutDrawing = std::function<void(PrintSurface&)>;

// The seam to the operating system and to every modal interaction. Windows ask
// it and never call a dialog, a process, the network or the clock themselves;
// the program gets QtPlatform, tests get ScriptedPlatform.
class Platform {
public:
    virtual ~Platform() = default;

    // Message box "Informacja" with OK, no icon.
    virtual void inform(const QString& text) = 0;
    // Message box with Tak/Nie under the given caption, no icon; true for Tak.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // The usual question box, captioned "Pytanie".
    bool ask(const QString& text) { return askYesNo(QStringLiteral("Pytanie"), text); }
    // "Pytanie" with Tak/Nie/Anuluj, no icon; closing the box counts as Anuluj.
    enum class Answer { Yes, No, Cancel };
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // "Pytanie" with a button for each of `choices` (the first is the
    // default) and Anuluj; the index chosen, nothing for Anuluj or a close.
    virtual std::optional<int> choose(const QString& text, const QStringList& choices) = 0;
    // Input box; nothing on cancel.
    virtual std::optional<QString> inputText(const QString& title, const QString& prompt) = 0;
    // The standard error box for a failed file or printing step.
    virtual void showError(const IoError& error) = 0;
    // The error box for a failure that is not a file step (out of memory, a fault of the program).
    virtual void showFailure(const QString& text) = 0;

    virtual std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) = 0;
    // Asks before overwriting an existing file.
    virtual std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) = 0;

    // The system print dialog; a ready surface for the chosen printer, or null on cancel.
    virtual std::unique_ptr<PrintSurface> choosePrinter() = 0;
    // The print preview window over `draw` on `paper`, titled with `title`;
    // returns once it is closed. True when the user asked to print from it:
    // the caller then takes the usual print path, so the preview never prints
    // by itself. A failure of `draw` closes the preview and is raised here.
    virtual bool previewPrintout(const QString& title, PaperSize paper, const PrintoutDrawing& draw) = 0;
    // A surface that writes `file` as a PDF at 300 dpi on `paper`; the file
    // is written when the job ends.
    virtual std::unique_ptr<PrintSurface> pdfSurface(const std::filesystem::path& file, PaperSize paper) = 0;
    // The font dialog with face, size, style and colour; nothing on cancel.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;

    // Starts a Windows-style command line detached in `workingFolder`, never
    // through a shell and never waiting for it; the program's own current
    // directory is left alone. False when the program was found nowhere or
    // could not be started. "calc.exe" names the desktop's calculator.
    virtual bool exec(const QString& commandLine, const std::filesystem::path& workingFolder) = 0;
    // Opens a web address or a "mailto:" link with the desktop's browser or
    // mail program; anything else is refused. False when refused or when
    // nothing took it.
    virtual bool openUrl(const QString& url) = 0;
    // Opens an existing regular file with the desktop's default program for
    // its type; anything else is refused. False when refused or when nothing took it.
    virtual bool openDocument(const std::filesystem::path& file) = 0;

    // Runs a long step with a window-modal progress box titled `title`,
    // showing `text` and "Anuluj" once it has lasted half a second. The step
    // reports its progress in thousandths through the function it is given,
    // which answers false once the user cancelled. What the step throws
    // passes through, the box closed.
    using ProgressReport = std::function<bool(int permille)>;
    virtual void showProgress(const QString& title, const QString& text,
                              const std::function<void(const ProgressReport&)>& step) = 0;

    // The wait cursor over the program while a step waits for another copy
    // of the program; every `true` is followed by a `false`.
    virtual void showWaitCursor(bool shown);

    virtual QDateTime now() = 0;
    // The regional date separator and long time format.
    virtual QString dateSeparator() = 0;
    virtual QString longTimeFormat() = 0;

    // Only "Disconnected" counts as offline.
    virtual bool isConnected() = 0;
    // Downloads to `target` atomically within the time limit; false on any failure.
    virtual bool download(const QString& url, const std::filesystem::path& target, int timeoutMs) = 0;

    // Ends the process at once.
    virtual void endProcess() = 0;

    // The process-wide short date format ("dd/mm/yyyy", each '/' standing for
    // the regional separator), set at start.
    void setShortDateFormat(const QString& format) { shortDateFormat_ = format; }
    QString shortDateFormat() const { return shortDateFormat_; }
    QString formatShortDate(const QDate& date);
    QString formatLongTime(const QTime& time);

private:
    QString shortDateFormat_ = QStringLiteral("dd/mm/yyyy");
};

} // namespace wirtello
