// The version-file exchange of the update check: one plain HTTP/1.0 GET over
// a TCP connection, whatever scheme the address names, and the reading of
// the three-character version text from the answer. No Qt here.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

// Host, port and path of an address. The scheme is not looked at: the
// exchange is always plain HTTP.
struct UrlParts {
    std::string host;  // the site part without user and port
    int port = 80;     // 0 when the address names a port that is not 1 to 65535
    std::string path;  // "/" + the text after the site part, up to "?"
};
UrlParts splitUrl(std::string_view url);

// The request bytes: GET, Host (without the port), Accept, User-Agent,
// Connection: close, each line ending in CR LF, then an empty line.
std::string buildVersionRequest(const UrlParts& parts, std::string_view agent);

// What the program keeps of an answer at most; the rest is not read.
inline constexpr std::size_t kMaxAnswerBytes = 2048;

// One limit for the whole exchange (name lookup, connect, send and the
// complete answer), so a slow or silent server cannot hold the window.
inline constexpr std::chrono::milliseconds kVersionFetchTimeLimit{10000};

// The version text of an answer: empty unless the status line is
// "HTTP/1.x 200"; otherwise the body up to a further empty line, with
// leading and trailing blanks removed, cut to its first three characters.
// The answer ends at its first zero byte. The bytes are ISO-8859-1; the
// result is UTF-8.
std::string versionTextOfAnswer(std::string_view answer);

// Fetches the address with the agent text and returns its version text, or
// an empty text on any failure (empty address, unknown host, no connection,
// the time limit passed, an answer that is not a "200").
std::string fetchVersionText(std::string_view url, std::string_view agent,
                             std::chrono::milliseconds timeLimit = kVersionFetchTimeLimit);
