#pragma once

#include <string>
#include <string_view>

namespace wirtello {

// The host of a web address in its ASCII form, as a browser sends it:
// "http://przykład.pl/a" -> "http://xn--przykad-rjb.pl/a". Only a host with
// other than ASCII characters is changed; an address without "scheme://", or
// whose host is no valid host name, is returned as it is.
std::string withAsciiHost(std::string_view url);

// The other way: "http://xn--przykad-rjb.pl/a" -> "http://przykład.pl/a".
// Labels that do not decode leave the address as it is.
std::string withUnicodeHost(std::string_view url);

} // namespace wirtello
