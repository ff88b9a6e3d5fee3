// The program's everyday work against the floor of what it must do anyway:
// storing the contact database, printing the contact list to PDF, searching
// the list and selecting a contact with a large photo.

#include "office_folder.h"
#include "quiet_platform.h"
#include "summary.h"

#include "app/main_window.h"
#include "platform/qt_picture.h"
#include "platform/qt_print_surface.h"
#include "print/contact_list_printout.h"
#include "print/print_font.h"
#include "store/fixed_record.h"
#include "store/program_folder.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPrinter>
#include <QSignalBlocker>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <jpeglib.h>

namespace {

namespace fs = std::filesystem;
using namespace wirtello;
using namespace wirtello::bench;
using Clock = std::chrono::steady_clock;

template <typename Action>
double millisecondsOf(Action&& action)
{
    const auto start = Clock::now();
    action();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this thread: what holds up the user-interface thread,
// without the time the busy machine gives to other processes.
template <typename Action>
double threadMillisecondsOf(Action&& action)
{
    const auto now = [] {
        timespec time{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
    };
    const double start = now();
    action();
    return now() - start;
}

// ---- storing the contact database ----

// The floor: the same bytes written to a new file, flushed and renamed into place.
void rawDurableWrite(const fs::path& path, std::span<const std::uint8_t> bytes)
{
    const fs::path temp = fs::path(path) += ".raw";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) || ::fsync(fd) != 0
        || ::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0)
        throw std::runtime_error("raw write failed");
}

void storeDatabase(benchmark::State& state)
{
    const fs::path folder = makeOfficeFolder("store");
    const ContactDatabase database = officeDatabase();
    const fs::path ours = contactDatabasePath(folder);
    const fs::path floor = folder / "NOTATKI" / "floor.dat";
    PairedSamples samples;
    for (auto _ : state) {
        const double floorMs = millisecondsOf([&] { rawDurableWrite(floor, database.bytes()); });
        const double oursMs = millisecondsOf([&] { database.store(ours); });
        state.SetIterationTime(oursMs / 1000.0);
        samples.add(oursMs, floorMs);
    }
    state.counters["floor_ms"] = median(samples.floor);
    state.counters["ratio"] = samples.ratio();
    reportPair("store contact database (437373 bytes, durable) : raw write+fsync+rename",
               "store contact database, atomic and durable", "raw write + fsync + rename of the same bytes", samples,
               "ms", 1.5);
}
BENCHMARK(storeDatabase)->Iterations(60)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- the contact list printout ----

std::vector<std::string> listEntries()
{
    const ContactDatabase database = officeDatabase();
    std::vector<std::string> entries;
    for (int slot = 0; slot < kSlotCount; ++slot)
        entries.push_back(database.text(ContactField::Display, slot));
    return entries;
}

// The floor: the same texts in the same font at the same places, drawn with
// QPainter straight onto a QPrinter writing a PDF.
void drawListDirectly(const fs::path& file, const std::vector<std::string>& entries, int pointSize)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(QString::fromStdString(file.string()));
    QPainter painter(&printer);
    const int millimetre = 12; // 300 dpi / 25
    QFont heading(QStringLiteral("Arial"));
    heading.setPixelSize((pointSize + 5) * 300 / 72);
    heading.setBold(true);
    painter.setFont(heading);
    painter.drawText(QPoint(10 * millimetre, 6 * millimetre + QFontMetrics(heading, &printer).ascent()),
                     QStringLiteral("Lista kontaktów"));
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(pointSize * 300 / 72);
    painter.setFont(body);
    const int ascent = QFontMetrics(body, &printer).ascent();
    int row = 15;
    int lines = 0;
    for (const std::string& entry : entries) {
        if (lines == kContactListEntriesPerPage) {
            printer.newPage();
            row = 5;
            lines = 0;
        }
        painter.drawText(QPoint(10 * millimetre, (row + 1) * millimetre + ascent), QString::fromStdString(entry));
        row += 5;
        ++lines;
    }
    painter.end();
}

void printList(benchmark::State& state)
{
    const fs::path folder = makeOfficeFolder("print");
    PrintFontRecord record;
    record.setFace("Arial");
    record.setPoints(10);
    storeRecord(fileIn(folder, kFontFolder, kPrintFontFile), record);
    fs::current_path(folder);
    CurrentPrintFont font;
    CzytajFonty(font, kPrintFontFile);
    const std::vector<std::string> entries = listEntries();
    PairedSamples samples;
    for (auto _ : state) {
        const double floorMs = millisecondsOf([&] { drawListDirectly(folder / "floor.pdf", entries, 10); });
        const double oursMs = millisecondsOf([&] {
            // The printer surface as the print dialog hands it over for "print to file".
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setResolution(300);
            printer->setPageSize(QPageSize(QPageSize::A4));
            printer->setOutputFileName(QString::fromStdString((folder / "lista.pdf").string()));
            QtPrintSurface surface(std::move(printer));
            drawContactList(surface, font, entries);
        });
        state.SetIterationTime(oursMs / 1000.0);
        samples.add(oursMs, floorMs);
    }
    state.counters["floor_ms"] = median(samples.floor);
    state.counters["ratio"] = samples.ratio();
    state.counters["pdf_bytes"] = static_cast<double>(fs::file_size(folder / "lista.pdf"));
    state.counters["floor_pdf_bytes"] = static_cast<double>(fs::file_size(folder / "floor.pdf"));
    reportPair("501-entry list printout to PDF : QPainter on QPrinter directly", "contact list printout to PDF, 501 entries",
               "the same 501 texts drawn with QPainter on a QPrinter", samples, "ms", 1.5);
}
BENCHMARK(printList)->Iterations(12)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- the main window: search and select ----

// A started main window over an office folder, as the program has it.
struct StartedWindow {
    explicit StartedWindow(const std::string& name, int contacts,
                           const std::function<void(ContactDatabase&)>& change = {})
        : folder(makeOfficeFolder(name, contacts))
    {
        if (change) {
            ContactDatabase database = officeDatabase(contacts);
            change(database);
            database.store(contactDatabasePath(folder));
        }
        data = std::make_unique<AppData>(folder);
        window = std::make_unique<Tzadania_f>(*data, platform, printFont, windows);
        window->FormCreate();
    }

    // Makes `row` current without selecting it.
    void moveTo(int row)
    {
        auto* list = window->findChild<QListView*>(QStringLiteral("listazadan"));
        const QSignalBlocker blocker(list->selectionModel());
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    }

    fs::path folder;
    QuietPlatform platform;
    std::unique_ptr<AppData> data;
    CurrentPrintFont printFont;
    ProgramWindows windows;
    std::unique_ptr<Tzadania_f> window;
};

std::vector<double> searchMicroseconds; // by entry count, filled as the runs go

void searchMissing(benchmark::State& state)
{
    const int contacts = static_cast<int>(state.range(0));
    StartedWindow started("search", contacts);
    auto* search = started.window->findChild<QLineEdit*>(QStringLiteral("coszukac"));
    search->setText(QStringLiteral("Grzegorz Brzęczyszczykiewicz"));
    for (auto _ : state) {
        started.moveTo(0);
        started.window->SzukajDalej(); // finds nothing: the message, then back to the first entry
        state.PauseTiming();
        search->setText(QStringLiteral("Grzegorz Brzęczyszczykiewicz"));
        state.ResumeTiming();
    }
    if (started.platform.messages == 0)
        state.SkipWithError("the search found something");
}
BENCHMARK(searchMissing)->ArgName("entries")->Arg(125)->Arg(250)->Arg(501)->Unit(benchmark::kMicrosecond);

// ---- select with a 12-megapixel photo ----

const fs::path& phonePhoto()
{
    static const fs::path path = [] {
        const fs::path file = fs::temp_directory_path() / "wirtello-bench" / "telefon_4000x3000.jpg";
        fs::create_directories(file.parent_path());
        if (!fs::exists(file)) {
            const std::vector<std::uint8_t> bytes = phonePhotoJpeg();
            std::ofstream(file, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
        return file;
    }();
    return path;
}

constexpr int kPhotoRow = 1;   // the contact with the 12-megapixel photo
constexpr int kDefaultRow = 2; // a contact without a photo: the default picture

StartedWindow& photoWindow()
{
    static StartedWindow started("select", kSlotCount, [](ContactDatabase& database) {
        database.setText(ContactField::PhotoPath, kPhotoRow, phonePhoto().string());
    });
    return started;
}

// Selects `row` as a click does; returns the processor time the select took
// on the user-interface thread (a photo decoded on another thread does not
// hold the user up).
double selectRow(StartedWindow& started, int row)
{
    auto* list = started.window->findChild<QListView*>(QStringLiteral("listazadan"));
    return threadMillisecondsOf([&] {
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    });
}

// Lets a photo still being prepared for the frame arrive, outside the timing.
void settle()
{
    waitForFramePhotos();
}

void selectPhoto(benchmark::State& state)
{
    StartedWindow& started = photoWindow();
    PairedSamples first;
    PairedSamples again;
    for (auto _ : state) {
        // Selected for the first time: nothing decoded before.
        forgetFramePictures();
        started.moveTo(0);
        const double defaultFirst = selectRow(started, kDefaultRow);
        forgetFramePictures();
        started.moveTo(0);
        const double photoFirst = selectRow(started, kPhotoRow);
        settle();
        // Selected again while moving through the list.
        started.moveTo(0);
        const double defaultAgain = selectRow(started, kDefaultRow);
        started.moveTo(0);
        const double photoAgain = selectRow(started, kPhotoRow);
        settle();
        state.SetIterationTime(photoFirst / 1000.0);
        first.add(photoFirst * 1000.0, defaultFirst * 1000.0);
        again.add(photoAgain * 1000.0, defaultAgain * 1000.0);
    }
    state.counters["default_us"] = median(first.floor);
    state.counters["ratio"] = first.ratio();
    reportPair("first select, 12-megapixel photo : default picture",
               "first select of a contact, 12-megapixel photo (thread CPU)",
               "first select of a contact, default picture (thread CPU)", first, "us", 1.3);
    reportPair("select again, 12-megapixel photo : default picture", "select again, 12-megapixel photo (thread CPU)",
               "select again, default picture (thread CPU)", again, "us", 1.3);
}
BENCHMARK(selectPhoto)->Iterations(30)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Prints the table, then the search figures once all sizes have run.
class SearchReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const std::string name = run.benchmark_name();
            if (name.rfind("searchMissing/entries:", 0) == 0)
                // Processor time: on a busy machine the wall clock also counts other processes.
                search_[std::stoi(name.substr(22))] = run.GetAdjustedCPUTime(); // microseconds
        }
        if (search_.count(125) && search_.count(250) && search_.count(501)) {
            const double perEntry = (search_[501] - search_[125]) / (501 - 125);
            char note[128];
            std::snprintf(note, sizeof note, "250 entries %.1f us, 125 entries %.1f us; %.3f us an entry",
                          search_[250], search_[125], perEntry);
            reportFigure("search 501", "search for a text that is not there, 501 entries (CPU)", search_[501], "us",
                         note);
            reportRatio("search 501 goal", "search, 501 entries, in us (whole handler, message box answered)",
                        search_[501], 50, Limit::Below);
            reportRatio("search linear", "search time 501 : 250 entries (linear: 2 at most)",
                        search_[501] / search_[250], 2.0 * 1.1, Limit::AtMost);
        }
    }

private:
    std::map<int, double> search_;
};

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SearchReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printSummary();
    return 0;
}
