#pragma once

#include "cash/cash_document_kind.h"
#include "store/fixed_record.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
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

// The numbering cannot give a number although the file is whole: another
// program holds its lock, or the stored number is negative or the last one.
// what() is the Polish text for the user: what is wrong and how to go on.
class NumberingRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How long a printout waits for another program to let go of the numbering file.
inline constexpr std::chrono::milliseconds kNumberingLockWait{3000};

// The numbering step of a printout: returns the stored number and extension
// and leaves the number one higher. The file stays locked exclusively from the
// read to the replacement, so printouts from computers sharing the folder never
// get the same number, and it is replaced atomically, so a failed write leaves
// the old number. While another program holds the lock it tries again for up
// to `lockWait`, calling `waiting` once when it starts to wait, then raises
// NumberingRefused. A stored number that is negative or cannot grow raises
// NumberingRefused, a damaged file (shorter than a record) IoError; neither
// consumes anything.
DocumentNumber takeDocumentNumber(const std::filesystem::path& path,
                                  std::chrono::milliseconds lockWait = kNumberingLockWait,
                                  const std::function<void()>& waiting = {});

// The number and extension the next print takes, read without taking them and
// refused as takeDocumentNumber refuses them, a damaged file with the same IoError.
DocumentNumber readNextDocumentNumber(const std::filesystem::path& path);

} // namespace wirtello
