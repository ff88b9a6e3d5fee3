// The comments file of one contact: any bytes are read as the comments that
// can be read, with the first line that cannot named, and those comments
// written out, with the file's line ends, read back whole as the same comments.
#include "companions/uwagi/comment_log.h"
#include "fuzz/fuzz_support.h"

using namespace wirtello;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CommentFile read;
    if (const std::optional<DocumentProblem> problem = readComments(bytes, read))
        FUZZ_CHECK(problem->line > 0 && !problem->reason.empty());
    const std::string written = formatComments(read.comments, read.crlf);
    CommentFile again;
    FUZZ_CHECK(!readComments(written, again));
    FUZZ_CHECK(again.comments == read.comments);
    FUZZ_CHECK(written.empty() == read.comments.empty());
    FUZZ_CHECK(formatComments(again.comments, again.crlf) == written);
    return 0;
}
