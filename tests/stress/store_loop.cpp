// Helper process of the stress tests: stores the program's files in a loop,
// the way the program does, and tells the test what it finished.
//
//   store_loop crash <program folder> <first round>
//     Stores the contact database of each round and takes a document number,
//     forever, until killed. Prints "r" when started, then "d <round>" after
//     each database store and "n <number taken>" after each numbering step.
//
//   store_loop create <data folder>
//     Removes the numbering file and creates it again, forever, until killed.
//     Prints "r" when started.
//
//   store_loop shared <data folder> <writer> <rounds> <log folder>
//     Prints "r", waits for its standard input to close, then plays <rounds>
//     runs of a program on the data folder: the run history, the company data,
//     the envelope defaults and a document number. Every record it reads or
//     writes is appended to its logs.

#include "stress_contents.h"

#include "envelope/envelope_records.h"
#include "store/company_record.h"
#include "store/io_error.h"
#include "store/run_history.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

namespace wirtello::test {
namespace {

void say(const std::string& line)
{
    const std::string text = line + "\n";
    // One write per line, so a line is either whole in the pipe or missing.
    if (::write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        std::exit(3);
}

[[noreturn]] void crashLoop(const std::filesystem::path& folder, std::int64_t round)
{
    const std::filesystem::path database = contactDatabasePath(folder);
    const std::filesystem::path numbering = numberingPath(folder, DocumentKind::Kp);
    say("r");
    for (;; ++round) {
        roundDatabase(round).store(database);
        say("d " + std::to_string(round));
        const DocumentNumber taken = takeDocumentNumber(numbering);
        say("n " + std::to_string(taken.number));
    }
}

[[noreturn]] void createLoop(const std::filesystem::path& folder)
{
    const std::filesystem::path numbering = numberingPath(folder, DocumentKind::Kp);
    say("r");
    for (;;) {
        std::filesystem::remove(numbering);
        createNumberingFileIfMissing(numbering);
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class Logs {
public:
    Logs(const std::filesystem::path& folder, int writer) : folder_(folder), writer_(writer) {}

    void read(SharedFile file, std::span<const std::uint8_t> bytes) { append(readLogPath(folder_, writer_, file), bytes); }
    void written(SharedFile file, std::span<const std::uint8_t> bytes)
    {
        append(writtenLogPath(folder_, writer_, file), bytes);
    }
    void number(std::int32_t taken)
    {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&taken);
        append(numbersLogPath(folder_, writer_), {bytes, sizeof taken});
    }

private:
    void append(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
    {
        auto& file = files_[path];
        if (!file)
            file.reset(std::fopen(path.c_str(), "ab"));
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
            throw IoError("log", path);
    }

    std::filesystem::path folder_;
    int writer_;
    std::map<std::filesystem::path, std::unique_ptr<std::FILE, FileCloser>> files_;
};

// A text of the writer and round whose length changes from round to round.
std::string tagged(const char* what, int writer, int round, int line)
{
    std::string text = std::string(what) + " " + std::to_string(writer) + "." + std::to_string(round);
    for (int i = (round * 7 + line * 3 + writer) % 23; i > 0; --i)
        text += writer == 1 ? "a" : "ę";
    return text;
}

template <typename Record>
Record openRecord(const std::filesystem::path& folder, SharedFile file, Logs& logs, const Record& initial = Record{})
{
    Record record = loadOrCreate<Record>(sharedFilePath(folder, file), initial);
    logs.read(file, record.bytes());
    return record;
}

template <typename Record>
void saveRecord(const std::filesystem::path& folder, SharedFile file, Logs& logs, const Record& record)
{
    storeRecord(sharedFilePath(folder, file), record);
    logs.written(file, record.bytes());
}

// One run of a program on the shared folder, as its windows read and write.
void sharedRound(const std::filesystem::path& folder, int writer, int round, Logs& logs)
{
    RunHistoryRecord history;
    RunStartValues run = prepareRunStart(folder, history, tagged("07/12/2026", writer, round, 0),
                                         tagged("10:00:00", writer, round, 1));
    logs.read(SharedFile::History, history.bytes());
    recordRun(folder, history, run);
    logs.written(SharedFile::History, history.bytes());

    CompanyRecord company;
    loadCompanyRecord(companyDataPath(folder), company);
    logs.read(SharedFile::Company, company.bytes());
    for (int line = 1; line <= CompanyRecord::kLineCount; ++line)
        company.setLine(line, tagged("Firma", writer, round, line));
    storeCompanyRecord(companyDataPath(folder), company);
    logs.written(SharedFile::Company, company.bytes());

    // The envelope window opens, then its defaults are saved, then the form of address.
    auto logo = openRecord<LogoSettingsRecord>(folder, SharedFile::LogoSettings, logs);
    auto settings = openRecord(folder, SharedFile::EnvelopeSettings, logs, defaultEnvelopeSettings());
    auto forma = openRecord<FormaRecord>(folder, SharedFile::Forma, logs);
    auto choice = openRecord<LayoutChoiceRecord>(folder, SharedFile::LayoutChoice, logs);

    EnvelopeSettings typed = settings.settings();
    for (int i = 0; i < 4; ++i)
        typed.sender[static_cast<std::size_t>(i)] = tagged("Nadawca", writer, round, i);
    typed.spacing = std::to_string(round % 50);
    settings.setSettings(typed);
    saveRecord(folder, SharedFile::EnvelopeSettings, logs, settings);
    logo.setLogo({tagged("C:\\logo", writer, round, 0), std::to_string(writer * 10), std::to_string(round)});
    saveRecord(folder, SharedFile::LogoSettings, logs, logo);
    choice.setChoice({static_cast<std::uint8_t>(1 + round % 4), static_cast<std::uint8_t>(writer % 2),
                      static_cast<std::uint8_t>(round % 2)});
    saveRecord(folder, SharedFile::LayoutChoice, logs, choice);
    forma.setForma(tagged("Szanowni", writer, round, 2));
    saveRecord(folder, SharedFile::Forma, logs, forma);

    const std::filesystem::path numbering = numberingPath(folder, DocumentKind::Kp);
    createNumberingFileIfMissing(numbering);
    logs.number(takeDocumentNumber(numbering).number);
}

void sharedLoop(const std::filesystem::path& folder, int writer, int rounds, const std::filesystem::path& logFolder)
{
    say("r");
    char ignored = 0;
    while (::read(STDIN_FILENO, &ignored, 1) > 0) {
    }
    Logs logs(logFolder, writer);
    for (int round = 0; round < rounds; ++round)
        sharedRound(folder, writer, round, logs);
}

} // namespace
} // namespace wirtello::test

int main(int argc, char** argv)
{
    using namespace wirtello::test;
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "crash" && argc == 4)
            crashLoop(argv[2], std::stoll(argv[3]));
        if (mode == "create" && argc == 3)
            createLoop(argv[2]);
        if (mode == "shared" && argc == 6) {
            sharedLoop(argv[2], std::stoi(argv[3]), std::stoi(argv[4]), argv[5]);
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "store_loop %s: %s\n", mode.c_str(), error.what());
        return 2;
    }
    std::fprintf(stderr, "usage: store_loop crash FOLDER ROUND | create FOLDER | shared FOLDER WRITER ROUNDS LOGS\n");
    return 1;
}
