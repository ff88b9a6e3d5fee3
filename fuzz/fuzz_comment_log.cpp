// The comments file of one contact: any bytes are either refused or read as
// comments, and comments written out read back as the same comments.
#include "companions/uwagi/comment_log.h"
#include "fuzz/fuzz_support.h"

using namespace wirtello;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::vector<Comment>> comments = parseComments(bytes);
    if (!comments)
        return 0;
    const std::string written = formatComments(*comments);
    FUZZ_CHECK(parseComments(written) == comments);
    FUZZ_CHECK(written.empty() == comments->empty());
    return 0;
}
