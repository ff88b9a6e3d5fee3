#pragma once

#include <string>
#include <string_view>

namespace wirtello {

// What "Strona www" does with the text of the `www` edit.
struct WebPageRequest {
    enum class Kind {
        Nothing, // empty or blank: nothing happens
        Open,    // `url` is an http or https address to open
        Refused, // anything else: a local path, a program, another scheme
    };
    Kind kind = Kind::Nothing;
    std::string url;
};

// Blanks around the text are dropped; a text without a scheme is opened as
// http ("example.pl" -> "http://example.pl"). Only web addresses are ever
// opened: the desktop's opener would run a program or a file just as gladly.
WebPageRequest webPageRequest(std::string_view text);

} // namespace wirtello
