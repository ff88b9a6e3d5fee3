#pragma once

#include <cstdint>
#include <span>

namespace wirtello {

inline std::int32_t readInt32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    const std::uint32_t value = static_cast<std::uint32_t>(bytes[offset])
        | static_cast<std::uint32_t>(bytes[offset + 1]) << 8
        | static_cast<std::uint32_t>(bytes[offset + 2]) << 16
        | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
    return static_cast<std::int32_t>(value);
}

inline void writeInt32(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

} // namespace wirtello
