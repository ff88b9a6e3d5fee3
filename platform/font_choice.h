#pragma once

#include <cstdint>
#include <string>

namespace wirtello {

// What the font dialog shows and returns: the fields the print font record keeps.
struct FontChoice {
    std::int32_t colour = 0;
    std::string face;
    std::int32_t points = 0;
    std::uint8_t style = 0;

    bool operator==(const FontChoice&) const = default;
};

// The system colour "window text": high byte 0xFF, index 8.
inline constexpr std::int32_t kWindowTextColour = static_cast<std::int32_t>(0xFF000008u);

} // namespace wirtello
