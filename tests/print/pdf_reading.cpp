#include "tests/print/pdf_reading.h"

#include <QPageSize>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace wirtello::test {
namespace {

std::string quoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace

bool havePdfTools()
{
    return std::system("pdftotext -v >/dev/null 2>&1") == 0 && std::system("pdfinfo -v >/dev/null 2>&1") == 0;
}

std::vector<PdfWord> pdfWords(const std::filesystem::path& pdf)
{
    const std::filesystem::path html = pdf.parent_path() / (pdf.stem().string() + "-words.html");
    if (std::system(("pdftotext -bbox " + quoted(pdf) + " " + quoted(html) + " 2>/dev/null").c_str()) != 0)
        return {};
    const std::string text = readAll(html);

    std::vector<PdfWord> words;
    const std::regex token(
        R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    int page = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it) {
        if ((*it)[0].str().starts_with("<page")) {
            ++page;
            continue;
        }
        words.push_back({page, std::stod((*it)[1]), std::stod((*it)[2]), (*it)[5], std::stod((*it)[3]),
                         std::stod((*it)[4])});
    }
    return words;
}

int pdfPageCount(const std::filesystem::path& pdf)
{
    const std::filesystem::path info = pdf.parent_path() / (pdf.stem().string() + "-info.txt");
    if (std::system(("pdfinfo " + quoted(pdf) + " > " + quoted(info) + " 2>/dev/null").c_str()) != 0)
        return -1;
    std::smatch match;
    const std::string text = readAll(info);
    return std::regex_search(text, match, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(match[1]) : -1;
}

const PdfWord* findWord(const std::vector<PdfWord>& words, int page, const std::string& text)
{
    for (const PdfWord& word : words)
        if (word.page == page && word.text == text)
            return &word;
    return nullptr;
}

std::unique_ptr<QtPrintSurface> pdfSurface(const std::filesystem::path& file, QtPrintSurface::Notice notice)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(file.string()));
    printer->setPageSize(QPageSize(QPageSize::A4));
    return std::make_unique<QtPrintSurface>(std::move(printer), std::move(notice));
}

} // namespace wirtello::test
