#pragma once

#include "platform/platform.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace wirtello {

// The platform tests use: answers come from queues filled in advance, and
// everything shown or started is recorded. An unanswered question counts as
// "Nie"/cancel and is counted in `unanswered`; at the end of the test both an
// unanswered question and an answer left unused fail the test.
class ScriptedPlatform : public Platform {
public:
    ~ScriptedPlatform() override;

    // Answers, consumed in order.
    std::deque<bool> askAnswers;
    std::deque<Answer> threeWayAnswers; // askYesNoCancel; recorded in `asked` too
    std::deque<std::optional<int>> choiceAnswers; // choose; recorded in `asked`, the choices in `choicesOffered`
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<std::filesystem::path>> openFileAnswers;
    std::deque<std::optional<std::filesystem::path>> saveFileAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    // Called by choosePrinter; null means cancelled.
    std::function<std::unique_ptr<PrintSurface>()> printerFactory;
    // Give previewPrintout and pdfSurface their surfaces (a fresh one each
    // time); a null previewFactory lets the preview draw nothing.
    std::function<std::unique_ptr<PrintSurface>()> previewFactory;
    std::function<std::unique_ptr<PrintSurface>(const std::filesystem::path&, PaperSize)> pdfFactory;
    // How often the preview draws before it closes (it redraws when its page
    // settings change), and whether its print button is pressed then; an
    // empty queue closes it.
    int previewDraws = 1;
    std::deque<bool> previewPrintAnswers;
    std::function<bool(const QString& url, const std::filesystem::path& target, int timeoutMs)> downloader;

    // What happened.
    QStringList informed;
    QStringList asked;
    QStringList askCaptions;
    std::vector<QStringList> choicesOffered;
    std::vector<std::pair<QString, QString>> inputsAsked; // title, prompt
    std::vector<IoError> errors;
    QStringList failures;
    std::vector<FileDialogRequest> openFileRequests;
    std::vector<FileDialogRequest> saveFileRequests;
    std::vector<FontChoice> fontRequests;
    int printerRequests = 0;
    struct PreviewRequest {
        QString title;
        PaperSize paper;
    };
    std::vector<PreviewRequest> previews;
    std::vector<std::pair<std::filesystem::path, PaperSize>> pdfFiles;
    // Every command line handed to exec, found or not, with its working folder.
    QStringList executed;
    std::vector<std::filesystem::path> execFolders;
    QStringList openedUrls;
    std::vector<std::filesystem::path> openedDocuments;
    QStringList downloads;
    int endProcessCalls = 0;
    int unanswered = 0;

    // The machine's state.
    QDateTime clock = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7));
    QString separator = QStringLiteral(".");
    QString timeFormat = QStringLiteral("HH:mm:ss");
    bool connected = true;
    // The programs exec finds, by name ("wywoz" also answers "wywoz.exe");
    // nothing set means every program exists.
    std::optional<QStringList> installedPrograms;
    // What openUrl answers (whether a browser or mail program took the address).
    bool urlsOpen = true;
    // What openDocument answers (whether a program took the file).
    bool documentsOpen = true;
    // Progress boxes shown (their titles), and the thousandth at which the
    // user presses "Anuluj" in each (none: never).
    QStringList progressShown;
    std::optional<int> cancelProgressAt;

    void inform(const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    std::optional<int> choose(const QString& text, const QStringList& choices) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt) override;
    void showError(const IoError& error) override;
    void showFailure(const QString& text) override { failures << text; }
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
    QDateTime now() override { return clock; }
    QString dateSeparator() override { return separator; }
    QString longTimeFormat() override { return timeFormat; }
    bool isConnected() override { return connected; }
    bool download(const QString& url, const std::filesystem::path& target, int timeoutMs) override;
    void endProcess() override { ++endProcessCalls; }
};

} // namespace wirtello
