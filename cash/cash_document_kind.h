#pragma once

#include <cstdint>

namespace wirtello {

// Which cash document the window prepares. The main window sets it before each
// opening; None until it first does.
enum class DocumentKind : std::uint8_t {
    None = 0,
    Kp = 1, // cash in, "Dowód wpłaty"
    Kw = 2, // cash out, "Dowód wypłaty"
};

} // namespace wirtello
