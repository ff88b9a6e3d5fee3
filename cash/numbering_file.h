#pragma once

#include "cash/cash_document_kind.h"
#include "store/fixed_record.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace wirtello {

// "nrkp.dat" / "nrkw.dat" in "DOKUMENTY": the number the next printed document
// of the kind bears, and the extension printed after "/" (15 bytes).
using NumberingRecord = FixedRecord<15>;
inline constexpr Int32Field kNumberField{0};
inline constexpr TextField kExtensionField{4, 10};

// The data folder followed by "\DOKUMENTY\nrkp.dat" (KP) or "\DOKUMENTY\nrkw.dat" (KW).
std::filesystem::path numberingPath(const std::filesystem::path& dataFolder, DocumentKind kind);

// Creates the file with number 1 and an empty extension when nothing is there.
// The file appears whole or not at all, even after a crash, and one that
// another computer created in the meantime is never overwritten.
void createNumberingFileIfMissing(const std::filesystem::path& path);

struct DocumentNumber {
    std::int32_t number = 0;
    std::string extension; // UTF-8
};

// The numbering step of a printout: returns the stored number and extension
// and leaves the number one higher. The file stays locked exclusively from the
// read to the replacement, so printouts from computers sharing the folder never
// get the same number, and it is replaced atomically, so a failed write leaves
// the old number. A damaged file (shorter than a record, a negative number, a
// number that cannot grow) raises IoError and consumes nothing.
DocumentNumber takeDocumentNumber(const std::filesystem::path& path);

} // namespace wirtello
