#include "scripted_platform.h"

#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace wirtello {
namespace {

template <typename T>
T takeAnswer(std::deque<T>& answers, const T& fallback, int& unanswered)
{
    if (answers.empty()) {
        ++unanswered;
        return fallback;
    }
    const T answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

ScriptedPlatform::~ScriptedPlatform()
{
    EXPECT_EQ(unanswered, 0) << "a question, input box or dialog was asked that the test did not answer";
    const std::size_t unused = askAnswers.size() + threeWayAnswers.size() + choiceAnswers.size() + inputAnswers.size() + openFileAnswers.size()
        + saveFileAnswers.size() + fontAnswers.size() + previewPrintAnswers.size();
    EXPECT_EQ(unused, 0u) << "answers prepared by the test were never asked for";
}

void ScriptedPlatform::inform(const QString& text)
{
    informed << text;
}

bool ScriptedPlatform::askYesNo(const QString& caption, const QString& text)
{
    askCaptions << caption;
    asked << text;
    return takeAnswer(askAnswers, false, unanswered);
}

Platform::Answer ScriptedPlatform::askYesNoCancel(const QString& text)
{
    askCaptions << QStringLiteral("Pytanie");
    asked << text;
    return takeAnswer(threeWayAnswers, Answer::Cancel, unanswered);
}

std::optional<int> ScriptedPlatform::choose(const QString& text, const QStringList& choices)
{
    askCaptions << QStringLiteral("Pytanie");
    asked << text;
    choicesOffered.push_back(choices);
    return takeAnswer<std::optional<int>>(choiceAnswers, std::nullopt, unanswered);
}

std::optional<QString> ScriptedPlatform::inputText(const QString& title, const QString& prompt)
{
    inputsAsked.emplace_back(title, prompt);
    return takeAnswer<std::optional<QString>>(inputAnswers, std::nullopt, unanswered);
}

void ScriptedPlatform::showError(const IoError& error)
{
    errors.push_back(error);
}

std::optional<std::filesystem::path> ScriptedPlatform::openFile(const FileDialogRequest& request)
{
    openFileRequests.push_back(request);
    return takeAnswer<std::optional<std::filesystem::path>>(openFileAnswers, std::nullopt, unanswered);
}

std::optional<std::filesystem::path> ScriptedPlatform::saveFile(const FileDialogRequest& request)
{
    saveFileRequests.push_back(request);
    return takeAnswer<std::optional<std::filesystem::path>>(saveFileAnswers, std::nullopt, unanswered);
}

std::unique_ptr<PrintSurface> ScriptedPlatform::choosePrinter()
{
    ++printerRequests;
    if (!printerFactory) {
        ++unanswered;
        return nullptr;
    }
    return printerFactory();
}

bool ScriptedPlatform::previewPrintout(const QString& title, PaperSize paper, const PrintoutDrawing& draw)
{
    previews.push_back({title, paper});
    for (int i = 0; i < previewDraws && previewFactory; ++i) {
        const std::unique_ptr<PrintSurface> surface = previewFactory();
        draw(*surface);
    }
    if (previewPrintAnswers.empty())
        return false;
    const bool print = previewPrintAnswers.front();
    previewPrintAnswers.pop_front();
    return print;
}

std::unique_ptr<PrintSurface> ScriptedPlatform::pdfSurface(const std::filesystem::path& file, PaperSize paper)
{
    pdfFiles.emplace_back(file, paper);
    return pdfFactory ? pdfFactory(file, paper) : nullptr;
}

std::optional<FontChoice> ScriptedPlatform::chooseFont(const FontChoice& initial)
{
    fontRequests.push_back(initial);
    return takeAnswer<std::optional<FontChoice>>(fontAnswers, std::nullopt, unanswered);
}

bool ScriptedPlatform::exec(const QString& commandLine, const std::filesystem::path& workingFolder)
{
    executed << commandLine;
    execFolders.push_back(workingFolder);
    const std::vector<std::string> words = splitWindowsCommandLine(commandLine.toStdString());
    if (words.empty())
        return false;
    if (!installedPrograms)
        return true;
    const auto bare = [](QString name) {
        if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
            name.chop(4);
        return name;
    };
    const QString program = bare(QString::fromStdString(words.front()));
    for (const QString& installed : *installedPrograms) {
        if (bare(installed).compare(program, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool ScriptedPlatform::openUrl(const QString& url)
{
    openedUrls << url;
    return urlsOpen;
}

void ScriptedPlatform::showProgress(const QString& title, const QString&,
                                    const std::function<void(const ProgressReport&)>& step)
{
    progressShown << title;
    step([this](int permille) { return !cancelProgressAt || permille < *cancelProgressAt; });
}

bool ScriptedPlatform::openDocument(const std::filesystem::path& file)
{
    openedDocuments.push_back(file);
    return documentsOpen;
}

bool ScriptedPlatform::download(const QString& url, const std::filesystem::path& target, int timeoutMs)
{
    downloads << url;
    return downloader ? downloader(url, target, timeoutMs) : false;
}

} // namespace wirtello
