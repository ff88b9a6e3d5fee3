#pragma once

#include <cstddef>
#include <string>

namespace wirtello::sync {

// Where and as whom the sync talks to its CardDAV/CalDAV server.
struct DavAccount {
    // https://…, or http://… for a server on this computer only.
    std::string url;
    std::string user;
    std::string password;
    // SHA-256 of a certificate the user chose to trust for this server
    // ("AB:CD:…", any letter case, colons optional); empty for none.
    std::string trustedFingerprint;
    // Longest wait for any answer or any further bytes of one.
    int timeoutMs = 30'000;
    // Largest answer taken; a bigger one is cut off and refused.
    std::size_t maxAnswerBytes = 64u * 1024 * 1024;
};

} // namespace wirtello::sync
