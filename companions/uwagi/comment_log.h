#pragma once

// The comments file of one contact ("uwagi/<id>.kom"), UTF-8 text:
//
//   WIRTELLO-KOMENTARZE 1
//   2026-12-07 17:05:00<TAB>jkowalski<TAB>Oddzwonić w piątek.\nPo 12.
//
// the first line names the format, then one line per comment, newest first:
// when it was written (local time), the login name of its writer and its
// text, separated by tabs. In the text a backslash is written "\\", a line
// break "\n", a tab "\t" and a carriage return "\r". Lines end with LF or,
// in a file written on Windows, CR LF; a file is written back with the line
// ends it had. An empty file holds no comments. No Qt here.

#include "companions/companion_kit/companion_files.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

inline constexpr std::string_view kCommentsHeader = "WIRTELLO-KOMENTARZE 1";

struct Comment {
    std::string written; // "yyyy-MM-dd HH:mm:ss"
    std::string author;  // login name
    std::string text;    // UTF-8, may hold line breaks
    bool operator==(const Comment&) const = default;
};

// What a comments file holds.
struct CommentFile {
    std::vector<Comment> comments;
    bool crlf = false; // its lines end with CR LF
};

// Reads a comments file's text into `into`: every comment line it can read,
// in file order. Names the first line it refuses and why; a file without the
// header gives no comments at all.
std::optional<DocumentProblem> readComments(std::string_view file, CommentFile& into);

// The comments of a file's text, or nothing when any line is refused.
std::optional<std::vector<Comment>> parseComments(std::string_view file);

// The file's text; an empty list gives an empty file.
std::string formatComments(const std::vector<Comment>& comments, bool crlf = false);

// Newest first; comments written in the same second keep their order.
void sortNewestFirst(std::vector<Comment>& comments);

// Whether `query` is found in the comment's text, author or `shownDate`
// regardless of case and Polish marks ("lukasz" finds "Łukasz"). An empty
// query finds every comment.
bool commentMatches(const Comment& comment, std::string_view shownDate, std::string_view query);

} // namespace wirtello
