#include "envelope/envelope_printout.h"

#include "envelope/logo_picture.h"
#include "platform/qt_print_surface.h"
#include "print/print_actions.h"
#include "tests/envelope/envelope_test_files.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QPrinter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace wirtello {
namespace {

using test::TempFolder;

struct Word {
    double xMin = 0, yMin = 0;
    std::string text;
};

bool have(const char* tool)
{
    return std::system((std::string(tool) + " -v >/dev/null 2>&1").c_str()) == 0;
}

std::string run(const std::string& command, const std::filesystem::path& output)
{
    if (std::system((command + " > '" + output.string() + "'").c_str()) != 0)
        return {};
    std::ifstream in(output);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// Words of a one-page PDF with their boxes in points.
std::vector<Word> pdfWords(const std::filesystem::path& pdf)
{
    const std::string html = run("pdftotext -bbox '" + pdf.string() + "' -", pdf.parent_path() / "words.html");
    std::vector<Word> words;
    const std::regex token(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), token); it != std::sregex_iterator(); ++it)
        words.push_back({std::stod((*it)[1]), std::stod((*it)[2]), (*it)[3]});
    return words;
}

TEST(EnvelopePdf, ADlEnvelopeInLandscapeCarriesEveryLineWhereItBelongs)
{
    if (!have("pdftotext"))
        GTEST_SKIP() << "pdftotext is not installed";
    TempFolder folder({"FONT"});
    CurrentPrintFont font;
    ScriptedPlatform platform;
    platform.fontAnswers.push_back(FontChoice{0, "Arial", 11, 0});
    choosePrintFont(platform, font);
    ASSERT_TRUE(platform.errors.empty());

    test::writeJpeg(folder / "znak.jpg", 100, 50);
    const Picture logo = loadLogoPicture(folder / "znak.jpg");

    EnvelopeLayout layout;
    layout.settings = defaultEnvelopeSettings().settings();
    layout.settings.sender = {"Biuro", "Polna", "Warszawa", "Polska"};
    layout.settings.left[0] = "110";
    layout.settings.top[0] = "55";
    layout.settings.senderTop = "20";
    layout.recipient = {"Pan", "Jan", "Kowalski", "Leśna", "Łódź"};
    layout.logo = {"", "240", "10"};
    layout.ticks = {1, true, true};

    const std::filesystem::path pdf = folder / "koperta.pdf";
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdf.string()));
    printer->setPageSize(QPageSize(QPageSize::EnvelopeDL));
    auto surface = std::make_unique<QtPrintSurface>(std::move(printer));
    drawEnvelope(*surface, font, layout, logo);
    EXPECT_EQ(surface->printer().pageLayout().orientation(), QPageLayout::Portrait);
    surface.reset();
    if (const char* keep = std::getenv("WIRTELLO_KEEP_ENVELOPE_SAMPLE"))
        std::filesystem::copy_file(pdf, keep, std::filesystem::copy_options::overwrite_existing);

    // The page was landscape: 220 x 110 millimetres.
    const std::string info = run("pdfinfo '" + pdf.string() + "'", folder / "info.txt");
    std::smatch size;
    ASSERT_TRUE(std::regex_search(info, size, std::regex(R"(Page size:\s+([0-9.]+) x ([0-9.]+) pts)")));
    EXPECT_NEAR(std::stod(size[1]), 220 * 72 / 25.4, 1.0);
    EXPECT_NEAR(std::stod(size[2]), 110 * 72 / 25.4, 1.0);

    QPrinter reference(QPrinter::HighResolution);
    reference.setOutputFormat(QPrinter::PdfFormat);
    reference.setPageSize(QPageSize(QPageSize::EnvelopeDL));
    reference.setPageOrientation(QPageLayout::Landscape);
    const QRectF paint = reference.pageLayout().paintRect(QPageLayout::Point);

    const std::vector<Word> words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    // One page millimetre is 48 dots at 1200 dpi: 72 / 25 points.
    const struct {
        const char* text;
        int xMm, yMm;
    } rows[] = {
        {"Biuro", 5, 21},     {"Polna", 5, 26},  {"Polska", 5, 36},  {"Pan", 110, 55},
        {"Jan", 115, 80},     {"Kowalski", 115, 85}, {"Leśna", 115, 90}, {"Łódź", 115, 95},
    };
    for (const auto& row : rows) {
        const auto word = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == row.text; });
        ASSERT_NE(word, words.end()) << row.text;
        EXPECT_NEAR(word->xMin, paint.left() + row.xMm * 72.0 / 25, 1.0) << row.text;
        EXPECT_NEAR(word->yMin, paint.top() + row.yMm * 72.0 / 25, 1.5) << row.text;
    }

    if (have("pdfimages")) {
        const std::string images = run("pdfimages -list '" + pdf.string() + "'", folder / "images.txt");
        EXPECT_TRUE(std::regex_search(images, std::regex(R"(image\s+100\s+50\s)"))) << images;
    }
}

} // namespace
} // namespace wirtello
