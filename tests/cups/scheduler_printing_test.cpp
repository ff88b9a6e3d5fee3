// The printouts through the path users print on: QPrinter's native engine
// hands the job to the print scheduler, whose PDF-writing queue stands in for
// the office printer. scripts/cups-pdf-queue sets the queue up and names it in
// the environment; without it the test skips itself.
//
// That queue takes PostScript, and on the way the fonts lose the mapping from
// glyphs to letters, so the file it writes shows the right pages but cannot be
// read back as text. The words are therefore read from the document the
// scheduler received for the job (kept in its spool folder), and the file that
// came out must carry the same amount of ink on every page.
#include "cash/cash_printout.h"
#include "envelope/envelope_printout.h"
#include "platform/qt_platform.h"
#include "platform/qt_print_surface.h"
#include "print/print_actions.h"
#include "print/print_font.h"
#include "store/record_file.h"
#include "tests/print/pdf_reading.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <thread>

namespace wirtello {
namespace {

using test::TempFolder;

struct Queue {
    std::string name;
    std::filesystem::path out;   // where the queue writes its PDF files
    std::filesystem::path spool; // the documents the scheduler received; may be unknown
    std::filesystem::path log;   // the scheduler's and the backend's logs, for failures
};

std::optional<Queue> queueFromEnvironment()
{
    const char* name = std::getenv("WIRTELLO_CUPS_QUEUE");
    const char* out = std::getenv("WIRTELLO_CUPS_OUT");
    if (!name || !*name || !out || !*out)
        return std::nullopt;
    // The scheduler may be a private one; the print library finds it here.
    if (const char* server = std::getenv("WIRTELLO_CUPS_SERVER"); server && *server)
        setenv("CUPS_SERVER", server, 1);
    const char* spool = std::getenv("WIRTELLO_CUPS_SPOOL");
    const char* log = std::getenv("WIRTELLO_CUPS_LOG");
    return Queue{name, out, spool ? spool : "", log ? log : ""};
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

std::set<std::filesystem::path> pdfFilesIn(const std::filesystem::path& folder)
{
    std::set<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.path().extension() == ".pdf")
            files.insert(entry.path());
    return files;
}

std::string logTails(const Queue& queue)
{
    std::string text;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(queue.log, ec)) {
        text += "\n--- " + entry.path().filename().string() + "\n";
        text += commandOutput("tail -n 15 '" + entry.path().string() + "' 2>&1");
    }
    return text;
}

// Waits until the queue has no unfinished job and a PDF not in `before` has
// arrived. The scheduler finishes a job only after the backend has closed
// its file, so the file is whole by then. Empty after the time limit.
std::filesystem::path awaitNewPdf(const Queue& queue, const std::set<std::filesystem::path>& before)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(90);
    const std::string pending = "LC_ALL=C timeout 10 lpstat -o '" + queue.name + "' 2>&1";
    while (steady_clock::now() < deadline) {
        if (commandOutput(pending).empty()) {
            for (const auto& file : pdfFilesIn(queue.out))
                if (!before.contains(file))
                    return file;
        }
        std::this_thread::sleep_for(milliseconds(200));
    }
    return {};
}

struct PageSize {
    double width = 0, height = 0; // points, as shown: after any page rotation
    int rotation = 0;
};

PageSize firstPageSize(const std::filesystem::path& pdf)
{
    const std::string info = commandOutput("pdfinfo '" + pdf.string() + "' 2>/dev/null");
    PageSize size;
    std::smatch match;
    if (std::regex_search(info, match, std::regex(R"(Page size:\s+([0-9.]+) x ([0-9.]+) pts)"))) {
        size.width = std::stod(match[1]);
        size.height = std::stod(match[2]);
    }
    if (std::regex_search(info, match, std::regex(R"(Page rot:\s+(\d+))")))
        size.rotation = std::stoi(match[1]);
    if (size.rotation % 180 != 0)
        std::swap(size.width, size.height);
    return size;
}

// The document the scheduler received for the job that wrote `arrived`
// ("<title>-job_<n>.pdf"); empty when it cannot be known.
std::filesystem::path receivedDocument(const Queue& queue, const std::filesystem::path& arrived)
{
    std::smatch match;
    const std::string name = arrived.filename().string();
    if (queue.spool.empty() || !std::regex_search(name, match, std::regex(R"(-job_(\d+)\.pdf$)")))
        return {};
    char file[32];
    std::snprintf(file, sizeof file, "d%05d-001", std::stoi(match[1]));
    return queue.spool / file;
}

// Ink on each page at 36 dpi: the sum of the pixels' darkness, one per black pixel.
std::vector<double> inkPerPage(const std::filesystem::path& pdf, const std::filesystem::path& folder)
{
    const std::filesystem::path prefix = folder / (pdf.stem().string() + "-ink");
    if (std::system(("pdftoppm -r 36 -gray '" + pdf.string() + "' '" + prefix.string() + "' 2>/dev/null").c_str()) != 0)
        return {};
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().starts_with(prefix.filename().string() + "-"))
            pages.push_back(entry.path());
    std::sort(pages.begin(), pages.end());
    std::vector<double> ink;
    for (const auto& page : pages) {
        std::ifstream in(page, std::ios::binary);
        std::string magic;
        int width = 0, height = 0, maximum = 0;
        in >> magic >> width >> height >> maximum;
        in.get();
        std::vector<char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        in.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
        if (magic != "P5" || maximum != 255 || !in)
            return {};
        double sum = 0;
        for (const char pixel : pixels)
            sum += (255 - static_cast<unsigned char>(pixel)) / 255.0;
        ink.push_back(sum);
    }
    return ink;
}

int timesOnPage(const std::vector<test::PdfWord>& words, int page, const std::string& text)
{
    return static_cast<int>(std::count_if(words.begin(), words.end(), [&](const test::PdfWord& word) {
        return word.page == page && word.text == text;
    }));
}

std::unique_ptr<QtPrintSurface> queueSurface(const Queue& queue, QPageSize::PageSizeId size)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPrinterName(QString::fromStdString(queue.name));
    printer->setOutputFormat(QPrinter::NativeFormat);
    printer->setPageSize(QPageSize(size));
    return std::make_unique<QtPrintSurface>(std::move(printer));
}

std::vector<std::string> contactEntries(int count)
{
    std::vector<std::string> entries;
    for (int i = 1; i <= count; ++i) {
        char text[48];
        std::snprintf(text, sizeof text, "%03d Kowalski Żaneta %d", i, i);
        entries.emplace_back(text);
    }
    return entries;
}

EnvelopeLayout sampleEnvelope()
{
    EnvelopeLayout layout;
    layout.settings = defaultEnvelopeSettings().settings();
    layout.settings.sender = {"Biuro", "Polna", "Warszawa", "Polska"};
    layout.settings.left[0] = "110";
    layout.settings.top[0] = "55";
    layout.settings.senderTop = "20";
    layout.recipient = {"Pan", "Jan", "Kowalski", "Leśna", "Łódź"};
    layout.ticks = {1, false, true};
    return layout;
}

CashDocumentPrint sampleCashDocument()
{
    CashDocumentPrint document;
    document.kind = DocumentKind::Kp;
    document.number = "7";
    document.extension = "2026";
    document.date = "07.12.2026";
    document.issuer = {"Biuro Rachunkowe Ćma", "ul. Długa 1", "00-950 Warszawa", "NIP 123-456-78-90"};
    document.counterparty = {"Żaneta Wiśniewska", "ul. Źródlana 12", "Gdańsk", ""};
    document.lines.descriptions[0] = "Czynsz za grudzień";
    document.lines.amounts[0] = "   2000.00";
    document.lines.descriptions[1] = "Opłata za wywóz śmieci";
    document.lines.amounts[1] = "   22.50";
    document.total = "   2022.50";
    return document;
}

// Picks `queue` in the print dialog, asks for `copies` copies and prints.
std::unique_ptr<PrintSurface> choosePrinterInDialog(QtPlatform& platform, const Queue& queue, int copies)
{
    QTimer::singleShot(0, [name = QString::fromStdString(queue.name), copies] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* count = dialog->findChild<QSpinBox*>(QStringLiteral("copies"));
        const int index = printers ? printers->findText(name) : -1;
        if (index < 0 || !count) {
            dialog->reject();
            return;
        }
        printers->setCurrentIndex(index);
        count->setValue(copies);
        dialog->accept();
    });
    return platform.choosePrinter();
}

// A word the PDF must hold `times` times on `page` (0: must not be there).
struct Expected {
    int page;
    const char* text;
    int times;
};

TEST(SchedulerPrinting, ContactListEnvelopeAndCashDocumentArriveAsPdfsFromTheQueue)
{
    const std::optional<Queue> queue = queueFromEnvironment();
    if (!queue)
        GTEST_SKIP() << "no print scheduler with a PDF queue here: scripts/test starts one when it runs as "
                        "root with the cups and printer-driver-cups-pdf packages (WIRTELLO_CUPS_QUEUE and "
                        "WIRTELLO_CUPS_OUT are not set)";
    if (!test::havePdfTools())
        GTEST_SKIP() << "poppler's pdftotext and pdfinfo are not installed";
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(QString::fromStdString(queue->name)))
        << queue->name << " is not among the printers the scheduler offers" << logTails(*queue);

    TempFolder folder({"FONT"});
    PrintFontRecord arial;
    arial.setFace("Arial");
    arial.setPoints(10);
    writeRecord(folder / "FONT/font_zaplo_3906.dat", arial.bytes());
    CurrentPrintFont font;
    CzytajFonty(font, kPrintFontFile);

    constexpr double kPointsPerMm = 72 / 25.4;
    const struct Row {
        const char* what;
        std::function<void(ScriptedPlatform&)> print;
        int pages;         // in the file the queue wrote
        int receivedPages; // in the document the scheduler received
        double shortSideMm, longSideMm;
        std::vector<Expected> words;
    } rows[] = {
        {"contact list",
         [&](ScriptedPlatform& platform) {
             // The list goes through the print button's own action.
             platform.printerFactory = [&] {
                 return std::unique_ptr<PrintSurface>(queueSurface(*queue, QPageSize::A4));
             };
             printContactList(platform, font, contactEntries(60));
         },
         2, 2, 210, 297,
         {{1, "Lista", 1}, {1, "kontaktów", 1}, {1, "001", 1}, {1, "051", 1}, {1, "Żaneta", 51},
          {2, "052", 1}, {2, "060", 1}, {2, "Żaneta", 9}, {2, "Lista", 0}, {1, "052", 0}}},
        {"envelope",
         [&](ScriptedPlatform&) {
             auto surface = queueSurface(*queue, QPageSize::EnvelopeDL);
             drawEnvelope(*surface, font, sampleEnvelope(), Picture{});
         },
         // A landscape envelope: the queue turns it onto its portrait DL sheet.
         1, 1, 110, 220,
         {{1, "Biuro", 1}, {1, "Warszawa", 1}, {1, "Pan", 1}, {1, "Kowalski", 1}, {1, "Leśna", 1},
          {1, "Łódź", 1}}},
        {"cash document",
         [&](ScriptedPlatform&) {
             auto surface = queueSurface(*queue, QPageSize::A4);
             drawCashDocument(*surface, font, sampleCashDocument());
         },
         // Two copies of the document on one sheet.
         1, 1, 210, 297,
         {{1, "KP", 2}, {1, "7/2026", 2}, {1, "Wiśniewska", 2}, {1, "śmieci", 2}, {1, "2022.50", 2},
          {1, "Słownie", 2}, {1, "pięćdziesiąt", 2}}},
        {"cash document, two copies chosen in the print dialog",
         [&](ScriptedPlatform&) {
             // The printer makes the copies: one sheet goes to the scheduler.
             QtPlatform platform;
             const std::unique_ptr<PrintSurface> surface = choosePrinterInDialog(platform, *queue, 2);
             ASSERT_NE(surface, nullptr) << "the print dialog did not offer " << queue->name;
             drawCashDocument(*surface, font, sampleCashDocument());
         },
         2, 1, 210, 297,
         {{1, "KP", 2}, {1, "Wiśniewska", 2}}},
    };

    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto before = pdfFilesIn(queue->out);
        ScriptedPlatform platform;
        row.print(platform);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(platform.errors.empty()) << "the print was reported as failed";

        const std::filesystem::path arrived = awaitNewPdf(*queue, before);
        ASSERT_FALSE(arrived.empty()) << "no PDF came out of " << queue->name << " within 90 seconds"
                                  << commandOutput("LC_ALL=C lpstat -l -o -p 2>&1") << logTails(*queue);
        // Read in the test's own folder: the tools leave their output beside the file.
        const std::filesystem::path pdf = folder / (std::string(row.what) + ".pdf");
        std::filesystem::copy_file(arrived, pdf);
        EXPECT_EQ(test::pdfPageCount(pdf), row.pages) << pdf;
        const PageSize size = firstPageSize(pdf);
        EXPECT_NEAR(std::min(size.width, size.height), row.shortSideMm * kPointsPerMm, 2.0) << pdf;
        EXPECT_NEAR(std::max(size.width, size.height), row.longSideMm * kPointsPerMm, 2.0) << pdf;

        std::filesystem::path document = receivedDocument(*queue, arrived);
        if (!document.empty()) {
            ASSERT_TRUE(std::filesystem::exists(document)) << "the scheduler kept no copy: " << document;
            const std::filesystem::path received = folder / (std::string(row.what) + "-received.pdf");
            std::filesystem::copy_file(document, received);
            document = received;
            EXPECT_EQ(test::pdfPageCount(document), row.receivedPages) << document;
            // Same drawing on the same pages: the ink may differ only by how the fonts were rendered.
            const std::vector<double> sent = inkPerPage(document, folder.path());
            const std::vector<double> printed = inkPerPage(pdf, folder.path());
            ASSERT_EQ(sent.size(), static_cast<std::size_t>(row.receivedPages));
            ASSERT_EQ(printed.size(), static_cast<std::size_t>(row.pages));
            for (std::size_t page = 0; page < printed.size(); ++page) {
                const double expected = sent[page % sent.size()]; // copies repeat the document
                EXPECT_GT(expected, 20) << "page " << page + 1 << " is nearly blank";
                EXPECT_NEAR(printed[page], expected, expected * 0.25) << "ink on page " << page + 1;
            }
        } else {
            document = pdf; // an outside queue: its file is all there is to read
        }

        const std::vector<test::PdfWord> words = test::pdfWords(document);
        for (const Expected& word : row.words)
            EXPECT_EQ(timesOnPage(words, word.page, word.text), word.times)
                << '"' << word.text << "\" on page " << word.page << " of " << document;
    }
}

} // namespace
} // namespace wirtello
