// A one-connection HTTP server on 127.0.0.1 for the update-check tests: it
// records the request bytes it receives and then answers with a scripted
// text, stays silent, or closes without a word.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

class LocalHttpServer {
public:
    enum class Reply { Answer, Silence, AnswerThenSilence };

    explicit LocalHttpServer(std::string answer, Reply reply = Reply::Answer)
        : answer_(std::move(answer)), reply_(reply) {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener_, 4) == 0 &&
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~LocalHttpServer() { stop(); }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return port_; }
    std::string address(std::string_view scheme = "http", std::string_view path = "/files/tovrel.dat") const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }

    // The whole request is in: the client now waits for the answer.
    bool requestReceived() const { return requestIn_; }

    // Ends the server and gives the bytes of the request it received.
    std::string receivedRequest() {
        stop();
        return request_;
    }

    // A port on 127.0.0.1 that nothing listens on.
    static int closedPort() {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        close(fd);
        return ntohs(address.sin_port);
    }

private:
    void stop() {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
        if (listener_ >= 0) close(listener_);
        listener_ = -1;
    }

    // Waits in short slices so that stop() is never kept waiting.
    bool waitFor(int fd, short events) {
        while (!stopping_) {
            pollfd entry{fd, events, 0};
            if (poll(&entry, 1, 50) > 0) return true;
        }
        return false;
    }

    void serve() {
        if (!waitFor(listener_, POLLIN)) return;
        int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) return;
        readRequest(connection);
        requestIn_ = request_.find("\r\n\r\n") != std::string::npos;
        if (reply_ != Reply::Silence) sendAnswer(connection);
        if (reply_ != Reply::Answer)
            while (waitFor(connection, POLLIN)) {
                char byte;
                if (recv(connection, &byte, 1, 0) <= 0) break;
            }
        close(connection);
    }

    void readRequest(int connection) {
        char piece[512];
        while (request_.find("\r\n\r\n") == std::string::npos && waitFor(connection, POLLIN)) {
            ssize_t received = recv(connection, piece, sizeof piece, 0);
            if (received <= 0) return;
            request_.append(piece, static_cast<std::size_t>(received));
        }
    }

    // The client may close early (it keeps at most 2048 bytes); that only
    // ends the sending.
    void sendAnswer(int connection) {
        std::string_view rest = answer_;
        while (!rest.empty() && waitFor(connection, POLLOUT)) {
            ssize_t sent = send(connection, rest.data(), rest.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent < 0 && errno != EAGAIN) return;
            if (sent > 0) rest.remove_prefix(static_cast<std::size_t>(sent));
        }
    }

    std::string answer_;
    Reply reply_;
    int listener_ = -1;
    int port_ = 0;
    std::string request_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> requestIn_{false};
    std::thread thread_;
};
