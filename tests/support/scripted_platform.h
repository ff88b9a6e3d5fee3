#pragma once

#include "platform/platform.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace wirtello {

// The platform tests use: answers come from queues filled in advance, and
// everything shown or started is recorded. An unanswered question counts as
// "Nie"/cancel and is counted in `unanswered`.
class ScriptedPlatform : public Platform {
public:
    // Answers, consumed in order.
    std::deque<bool> askAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<std::filesystem::path>> openFileAnswers;
    std::deque<std::optional<std::filesystem::path>> saveFileAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    // Called by choosePrinter; null means cancelled.
    std::function<std::unique_ptr<PrintSurface>()> printerFactory;
    std::function<bool(const QString& url, const std::filesystem::path& target, int timeoutMs)> downloader;

    // What happened.
    QStringList informed;
    QStringList asked;
    QStringList askCaptions;
    std::vector<std::pair<QString, QString>> inputsAsked; // title, prompt
    std::vector<IoError> errors;
    std::vector<FileDialogRequest> openFileRequests;
    std::vector<FileDialogRequest> saveFileRequests;
    std::vector<FontChoice> fontRequests;
    int printerRequests = 0;
    QStringList executed;
    QStringList openedUrls;
    QStringList downloads;
    int endProcessCalls = 0;
    int unanswered = 0;

    // The machine's state.
    QDateTime clock = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7));
    QString separator = QStringLiteral(".");
    QString timeFormat = QStringLiteral("HH:mm:ss");
    bool connected = true;

    void inform(const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt) override;
    void showError(const IoError& error) override;
    std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) override;
    std::unique_ptr<PrintSurface> choosePrinter() override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    void exec(const QString& commandLine) override;
    void openUrl(const QString& url) override;
    QDateTime now() override { return clock; }
    QString dateSeparator() override { return separator; }
    QString longTimeFormat() override { return timeFormat; }
    bool isConnected() override { return connected; }
    bool download(const QString& url, const std::filesystem::path& target, int timeoutMs) override;
    void endProcess() override { ++endProcessCalls; }
};

} // namespace wirtello
