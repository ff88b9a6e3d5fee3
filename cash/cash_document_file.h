#pragma once

#include "cash/cash_document.h"
#include "cash/cash_document_kind.h"
#include "store/fixed_record.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace wirtello {

inline constexpr std::size_t kDocumentCellCapacity = 200;

// A document file (".kpw"): the item grid's 20 cells as counted texts of
// capacity 200, the ten descriptions first, then the ten amounts (4020 bytes).
// It holds nothing else: not the blocks, the number, the date or the cash.
using CashDocumentRecord = FixedRecord<2 * kDocumentRows * (kDocumentCellCapacity + 1)>;

constexpr TextField descriptionField(std::size_t row)
{
    return {row * (kDocumentCellCapacity + 1), kDocumentCellCapacity};
}

constexpr TextField amountField(std::size_t row)
{
    return {(kDocumentRows + row) * (kDocumentCellCapacity + 1), kDocumentCellCapacity};
}

// Puts the lines into the document buffer, each cut to 200 characters. Bytes
// after each text keep what the buffer held, as the file format allows.
void putLines(CashDocumentRecord& buffer, const DocumentLines& lines);
DocumentLines linesOf(const CashDocumentRecord& buffer);

// Reads the whole file into `buffer`, then its lines into the document; a
// file that cannot be read whole changes neither.
void readDocumentFile(const std::filesystem::path& path, CashDocumentRecord& buffer, CashDocument& document);
// Puts the document's lines into `buffer` and replaces the file with it.
void saveDocumentFile(const std::filesystem::path& path, CashDocumentRecord& buffer, const CashDocument& document);

// The kind's fixed contents, one per line: "kptresc.dat" (KP) or "kwtresc.dat"
// (KW) in "DOKUMENTY". The editor names the file relative to its data folder.
std::filesystem::path fixedContentsPath(const std::filesystem::path& dataFolder, DocumentKind kind);
std::string fixedContentsEditorFile(DocumentKind kind);

} // namespace wirtello
