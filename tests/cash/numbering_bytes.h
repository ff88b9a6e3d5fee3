#pragma once

#include "cash/numbering_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace wirtello::test {

// The bytes of a numbering file holding `number` and `extension`.
inline std::vector<std::uint8_t> numberingBytes(std::int32_t number, const std::string& extension)
{
    NumberingRecord record;
    record.setNumber(kNumberField, number);
    record.setText(kExtensionField, extension);
    const auto bytes = record.bytes();
    return {bytes.begin(), bytes.end()};
}

} // namespace wirtello::test
