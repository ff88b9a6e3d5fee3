#include "counted_text.h"

#include "cp1250.h"

#include <algorithm>
#include <cassert>

namespace wirtello {

std::string readCountedRaw(std::span<const std::uint8_t> field)
{
    assert(!field.empty());
    const size_t capacity = field.size() - 1;
    const size_t length = std::min<size_t>(field[0], capacity);
    return std::string(reinterpret_cast<const char*>(field.data() + 1), length);
}

std::string readCounted(std::span<const std::uint8_t> field)
{
    return fromCp1250(readCountedRaw(field));
}

void writeCountedRaw(std::span<std::uint8_t> field, std::string_view cp1250)
{
    assert(!field.empty());
    const size_t capacity = field.size() - 1;
    const size_t length = std::min(cp1250.size(), capacity);
    field[0] = static_cast<std::uint8_t>(length);
    std::copy_n(cp1250.begin(), length, field.begin() + 1);
}

void writeCounted(std::span<std::uint8_t> field, std::string_view utf8)
{
    writeCountedRaw(field, toCp1250(utf8));
}

} // namespace wirtello
