#pragma once

#include "store/fixed_record.h"
#include "store/io_error.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello::fuzz {

// A folder of this process's own, on a memory file system where there is one
// (so the atomic writes' flushes cost nothing), removed when the process ends.
const std::filesystem::path& scratchFolder();

// A fresh empty folder below the scratch folder, the same one on every call.
std::filesystem::path emptyFolder(std::string_view name);

void writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> readFile(const std::filesystem::path& path);
// Into `bytes`, reusing its memory.
void readFileInto(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);

// Reports a broken property and stops the process, so the fuzzer keeps the input.
[[noreturn]] void fail(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::wirtello::fuzz::fail(#condition, __FILE__, __LINE__);                                \
    } while (false)

// Takes pieces from the front of the fuzz input; past its end everything reads 0 or empty.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    bool empty() const { return bytes_.empty(); }
    std::size_t left() const { return bytes_.size(); }
    std::uint8_t byte();
    std::uint16_t u16();
    // Up to `maxSize` bytes, its length taken from the input first.
    std::string text(std::size_t maxSize);
    std::span<const std::uint8_t> take(std::size_t size);
    std::span<const std::uint8_t> rest() { return take(bytes_.size()); }

private:
    std::span<const std::uint8_t> bytes_;
};

inline std::span<const std::uint8_t> asBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// `bytes` as a record that was never written by us could hold them, after a
// save that changed no text: every counted text's length byte within its capacity.
inline std::vector<std::uint8_t> withLengthsClamped(std::span<const std::uint8_t> bytes,
                                                    std::initializer_list<TextField> fields)
{
    std::vector<std::uint8_t> clamped(bytes.begin(), bytes.end());
    for (const TextField& field : fields)
        clamped[field.offset] = static_cast<std::uint8_t>(std::min<std::size_t>(clamped[field.offset], field.capacity));
    return clamped;
}

template <std::size_t N>
bool bytesEqual(const FixedRecord<N>& record, std::span<const std::uint8_t> bytes)
{
    return bytes.size() == N && std::equal(bytes.begin(), bytes.end(), record.bytes().begin());
}

// The common property of a record file: the file reads as exactly its first
// record (a short file is an IoError), the writer stores exactly those bytes,
// and they read back equal. Returns false when the reader refused the file.
template <typename Record>
bool checkRecordFile(std::span<const std::uint8_t> input, const std::filesystem::path& path, Record& record)
{
    writeFile(path, input);
    try {
        record = loadRecord<Record>(path);
    } catch (const IoError&) {
        FUZZ_CHECK(input.size() < Record::kSize);
        return false;
    }
    FUZZ_CHECK(input.size() >= Record::kSize);
    FUZZ_CHECK(bytesEqual(record, input.first(Record::kSize)));
    storeRecord(path, record);
    FUZZ_CHECK(bytesEqual(record, readFile(path)));
    FUZZ_CHECK(loadRecord<Record>(path) == record);
    return true;
}

} // namespace wirtello::fuzz
