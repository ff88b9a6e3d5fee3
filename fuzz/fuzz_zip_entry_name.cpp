// A zip entry name stored without the UTF-8 flag: whatever its bytes, the
// decoded name is valid UTF-8, a plain ASCII name stays as it is, and a name
// either passes through unchanged or becomes one character per byte.
#include "companions/skarbiec/entry_name.h"
#include "fuzz/fuzz_support.h"
#include "store/utf8_text.h"

#include <algorithm>

using namespace wirtello;

namespace {

std::size_t codePoints(std::string_view utf8)
{
    return static_cast<std::size_t>(std::ranges::count_if(
        utf8, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const std::string name = decodeDosEntryName(raw);
    FUZZ_CHECK(isValidUtf8(name));
    FUZZ_CHECK(name == raw || codePoints(name) == raw.size());
    if (std::ranges::all_of(raw, [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        FUZZ_CHECK(name == raw);
    // No code point of either page is a control or separator the ASCII half does not already hold.
    FUZZ_CHECK(std::ranges::count(name, '/') == std::ranges::count(raw, '/'));
    FUZZ_CHECK(std::ranges::count(name, '\\') == std::ranges::count(raw, '\\'));
    FUZZ_CHECK(decodeDosEntryName(raw) == name);
    return 0;
}
