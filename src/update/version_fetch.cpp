#include "update/version_fetch.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "settings/text.h"

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until the deadline, 0 once it has passed.
int millisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

struct SocketCloser {
    void operator()(int* fd) const noexcept {
        if (*fd >= 0) close(*fd);
        delete fd;
    }
};
using Socket = std::unique_ptr<int, SocketCloser>;

Socket makeSocket(int fd) { return Socket(new int(fd)); }

struct AddressListFree {
    void operator()(addrinfo* list) const noexcept {
        if (list) freeaddrinfo(list);
    }
};
using AddressList = std::unique_ptr<addrinfo, AddressListFree>;

// getaddrinfo cannot be given a time limit, so it runs on a thread of its
// own that may outlive the wait; the shared record keeps what it writes alive.
struct LookupState {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    AddressList addresses;
};

AddressList resolve(const std::string& host, const std::string& service, int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return nullptr;
    return AddressList(found);
}

AddressList lookUpHost(const std::string& host, int port, Clock::time_point deadline) {
    const std::string service = std::to_string(port);
    // A dotted or colon address needs no lookup and no thread.
    if (AddressList numeric = resolve(host, service, AI_NUMERICHOST | AI_NUMERICSERV)) return numeric;
    auto state = std::make_shared<LookupState>();
    std::thread([state, host, service] {
        AddressList found = resolve(host, service, AI_NUMERICSERV);
        std::lock_guard lock(state->mutex);
        state->addresses = std::move(found);
        state->done = true;
        state->finished.notify_all();
    }).detach();
    std::unique_lock lock(state->mutex);
    if (!state->finished.wait_until(lock, deadline, [&] { return state->done; })) return nullptr;
    return std::move(state->addresses);
}

// Waits for the socket to become ready for `events`; false at the deadline
// or on an error condition without the wanted readiness.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        int ready = poll(&entry, 1, millisecondsLeft(deadline));
        if (ready > 0) return (entry.revents & (events | POLLHUP | POLLERR)) != 0;
        if (ready == 0) return false;
        if (errno != EINTR) return false;
    }
}

Socket connectTo(const addrinfo& address, Clock::time_point deadline) {
    Socket socket = makeSocket(::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                        address.ai_protocol));
    if (*socket < 0) return nullptr;
    if (connect(*socket, address.ai_addr, address.ai_addrlen) == 0) return socket;
    if (errno != EINPROGRESS || !waitFor(*socket, POLLOUT, deadline)) return nullptr;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(*socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) return nullptr;
    return socket;
}

Socket connectToHost(const UrlParts& parts, Clock::time_point deadline) {
    AddressList addresses = lookUpHost(parts.host, parts.port, deadline);
    for (const addrinfo* address = addresses.get(); address; address = address->ai_next)
        if (Socket socket = connectTo(*address, deadline)) return socket;
    return nullptr;
}

bool sendAll(int fd, std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

// Reads until the peer closes the connection or kMaxAnswerBytes are held.
// Only what the peer really sent is kept; nothing at all when the deadline
// passes first, since a cut answer cannot be trusted.
std::optional<std::string> receiveAnswer(int fd, Clock::time_point deadline) {
    std::string answer;
    char piece[kMaxAnswerBytes];
    while (answer.size() < kMaxAnswerBytes) {
        ssize_t received = recv(fd, piece, kMaxAnswerBytes - answer.size(), 0);
        if (received > 0) {
            answer.append(piece, static_cast<std::size_t>(received));
        } else if (received == 0) {
            break;
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!waitFor(fd, POLLIN, deadline)) return std::nullopt;
        } else {
            break;
        }
    }
    return answer;
}

// "HTTP/1.0 200 OK", "HTTP/1.1 200": the only answers that carry the file.
bool isOkStatusLine(std::string_view answer) {
    std::string_view line = answer.substr(0, answer.find("\r\n"));
    if (line.size() < 12 || line.substr(0, 7) != "HTTP/1." || line[8] != ' ') return false;
    if (line[7] < '0' || line[7] > '9' || line.substr(9, 3) != "200") return false;
    return line.size() == 12 || line[12] == ' ';
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

UrlParts splitUrl(std::string_view url) {
    UrlParts parts;
    std::size_t schemeEnd = url.find("://");
    std::string_view rest = schemeEnd == std::string_view::npos ? url : url.substr(schemeEnd + 3);
    std::size_t slash = rest.find('/');
    std::string_view site = rest.substr(0, slash);
    std::string_view path = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    path = path.substr(0, path.find('?'));
    if (std::size_t at = site.rfind('@'); at != std::string_view::npos) site.remove_prefix(at + 1);
    std::size_t colon = site.find(':');
    parts.host = std::string(site.substr(0, colon));
    if (colon != std::string_view::npos) {
        std::string_view port = site.substr(colon + 1);
        std::int32_t value = allDigits(port) ? readInteger(port, NumberSyntax::DecimalOnly) : 0;
        parts.port = value >= 1 && value <= 65535 ? value : 0;
    }
    parts.path = "/" + std::string(path);
    return parts;
}

std::string buildVersionRequest(const UrlParts& parts, std::string_view agent) {
    std::string request = "GET " + parts.path + " HTTP/1.0\r\n";
    request += "Host: " + parts.host + "\r\n";
    request += "Accept: */*\r\n";
    request += "User-Agent: " + std::string(agent) + "\r\n";
    request += "Connection: close\r\n\r\n";
    return request;
}

std::string versionTextOfAnswer(std::string_view answer) {
    // The answer is text up to its first zero byte: a zero in the headers
    // leaves no empty line, so the answer counts as no answer at all.
    answer = answer.substr(0, answer.find('\0'));
    if (!isOkStatusLine(answer)) return {};
    std::size_t headerEnd = answer.find("\r\n\r\n");
    if (headerEnd == std::string_view::npos) return {};
    std::string_view body = answer.substr(headerEnd + 4);
    body = trimBlanks(body.substr(0, body.find("\r\n\r\n")));
    return latin1ToUtf8(body.substr(0, 3));
}

std::string fetchVersionText(std::string_view url, std::string_view agent, std::chrono::milliseconds timeLimit) {
    if (url.empty()) return {};
    const Clock::time_point deadline = Clock::now() + timeLimit;
    const UrlParts parts = splitUrl(url);
    if (parts.host.empty() || parts.port == 0) return {};
    Socket socket = connectToHost(parts, deadline);
    if (!socket || !sendAll(*socket, buildVersionRequest(parts, agent), deadline)) return {};
    std::optional<std::string> answer = receiveAnswer(*socket, deadline);
    return answer ? versionTextOfAnswer(*answer) : std::string();
}
