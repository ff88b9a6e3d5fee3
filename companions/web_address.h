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
    // Open: the address as a browser sends it, all ASCII.
    std::string url;
    // Refused: why, in a sentence for the user (UTF-8).
    std::string reason;
};

// Blanks around the text are dropped; a text without a scheme is opened as
// http ("example.pl" -> "http://example.pl"). The host goes in its ASCII form,
// the rest percent-encoded as a browser encodes what is typed into it
// ("https://przykład.pl/a b" -> "https://xn--przykad-rjb.pl/a%20b"). Only web
// addresses are ever opened: the desktop's opener would run a program or a
// file just as gladly.
WebPageRequest webPageRequest(std::string_view text);

} // namespace wirtello
