#pragma once

#include "platform/qt_print_surface.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace wirtello::test {

// A word of a PDF with its page (from 1) and top-left corner in points.
struct PdfWord {
    int page = 0;
    double xMin = 0, yMin = 0;
    std::string text;
    double xMax = 0, yMax = 0; // bottom-right corner
};

// Whether poppler's pdftotext and pdfinfo can be run.
bool havePdfTools();
// Words of a PDF, from pdftotext -bbox; empty when it cannot be read.
std::vector<PdfWord> pdfWords(const std::filesystem::path& pdf);
// The page count pdfinfo reports; -1 when it cannot be read.
int pdfPageCount(const std::filesystem::path& pdf);
const PdfWord* findWord(const std::vector<PdfWord>& words, int page, const std::string& text);

// A surface that prints A4 pages into `file`.
std::unique_ptr<QtPrintSurface> pdfSurface(const std::filesystem::path& file, QtPrintSurface::Notice notice = {});

} // namespace wirtello::test
