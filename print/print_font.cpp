#include "print_font.h"

#include "store/program_folder.h"

#include <filesystem>

namespace wirtello {
namespace {

std::filesystem::path currentOrNothing()
{
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path() : folder;
}

} // namespace

CurrentPrintFont::CurrentPrintFont() : folder_(currentOrNothing()) {}

void CzytajFonty(CurrentPrintFont& font, const std::string& name)
{
    const std::filesystem::path path = fileIn(font.folder_, kFontFolder, name);
    if (!fileExists(path))
        return;
    font.record_ = loadRecord<PrintFontRecord>(path);
    font.face_ = font.record_.face();
    font.size_ = font.record_.points();
}

void ZapiszFonty(CurrentPrintFont& font, const std::string& name, const FontChooser& choose)
{
    const std::filesystem::path path = fileIn(font.folder_, kFontFolder, name);
    if (fileExists(path)) {
        // The record is taken in, but the face and size copies stay until a choice is written.
        font.record_ = loadRecord<PrintFontRecord>(path);
        FontChoice& shown = font.dialogFont_;
        shown.colour = font.record_.colour();
        const std::string face = font.record_.face();
        if (!face.empty())
            shown.face = face;
        shown.points = font.record_.points();
        shown.style = font.record_.style();
    }

    const std::optional<FontChoice> chosen = choose(font.dialogFont_);
    if (!chosen)
        return;

    PrintFontRecord record = font.record_;
    record.setColour(chosen->colour);
    record.setFace(chosen->face);
    record.setPoints(chosen->points);
    record.setStyle(chosen->style);
    storeRecord(path, record);

    font.record_ = record;
    font.face_ = record.face();
    font.size_ = record.points();
    font.dialogFont_ = *chosen;
}

} // namespace wirtello
