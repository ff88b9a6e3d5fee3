#include "cash_document_file.h"

#include "store/program_folder.h"

namespace wirtello {

void putLines(CashDocumentRecord& buffer, const DocumentLines& lines)
{
    for (std::size_t row = 0; row < kDocumentRows; ++row) {
        buffer.setText(descriptionField(row), lines.descriptions[row]);
        buffer.setText(amountField(row), lines.amounts[row]);
    }
}

DocumentLines linesOf(const CashDocumentRecord& buffer)
{
    DocumentLines lines;
    for (std::size_t row = 0; row < kDocumentRows; ++row) {
        lines.descriptions[row] = buffer.text(descriptionField(row));
        lines.amounts[row] = buffer.text(amountField(row));
    }
    return lines;
}

void readDocumentFile(const std::filesystem::path& path, CashDocumentRecord& buffer, CashDocument& document)
{
    const auto record = loadRecord<CashDocumentRecord>(path);
    buffer = record;
    document.setLines(linesOf(record));
}

void saveDocumentFile(const std::filesystem::path& path, CashDocumentRecord& buffer, const CashDocument& document)
{
    putLines(buffer, document.lines());
    storeRecord(path, buffer);
}

std::filesystem::path fixedContentsPath(const std::filesystem::path& dataFolder, DocumentKind kind)
{
    return fileIn(dataFolder, kDocumentsFolder, kind == DocumentKind::Kw ? "kwtresc.dat" : "kptresc.dat");
}

std::string fixedContentsEditorFile(DocumentKind kind)
{
    return "\\" + std::string(kDocumentsFolder) + (kind == DocumentKind::Kw ? "\\kwtresc.dat" : "\\kptresc.dat");
}

} // namespace wirtello
