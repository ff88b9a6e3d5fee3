#pragma once

// How a companion window opens its document: the lock, the read and what the
// user is told when a line cannot be read.

#include "companions/companion_kit/companion_files.h"
#include "platform/platform.h"

#include <filesystem>

namespace wirtello {

// What a window may do with the document it opened.
struct OpenedDocument {
    DocumentAccess access; // without a lock the window is read-only and shows access.readOnlyNote
    bool readAsWindows1250 = false; // the text was taken as Windows-1250 at the user's word
};

// Opens `file` for a window. Takes its lock when it is free and reads the
// file through `reads`. When the reader refuses a line, the user is told which
// line and why and is asked whether to keep the whole file aside and go on
// with the lines that were read; otherwise the window shows them read-only and
// the file stays as it is. With `offerWindows1250`, a text that is not UTF-8
// is first offered to be read as Windows-1250 (old notes). A read failure is
// shown and leaves the window read-only with nothing read.
OpenedDocument openCompanionDocument(Platform& platform, const std::filesystem::path& file,
                                     const DocumentReader& reads, bool offerWindows1250 = false);

} // namespace wirtello
