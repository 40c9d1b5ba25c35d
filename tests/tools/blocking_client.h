#pragma once
// A minimal blocking WHOIS client for checking the test server from outside:
// connect, send the query, read until the server closes.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace torvane::testserver::testing {

struct Exchange {
    int connect_error = 0;  // errno of connect, 0 when connected
    int end_error = 0;      // errno that ended the reading, 0 for an orderly close
    std::string answer;
    int reads = 0;  // successful recv calls
};

// `wait_ms` bounds every wait for data (-1: no bound); a timeout ends the
// exchange with end_error ETIMEDOUT and the connection still open.
inline Exchange Ask(std::uint16_t port, const std::string& query, int wait_ms = 10000) {
    Exchange result;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        result.connect_error = errno;
        ::close(fd);
        return result;
    }
    ::send(fd, query.data(), query.size(), MSG_NOSIGNAL);
    char buffer[65536];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, wait_ms) == 0) {
            result.end_error = ETIMEDOUT;
            break;
        }
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0) break;
        if (n < 0) {
            result.end_error = errno;
            break;
        }
        ++result.reads;
        result.answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return result;
}

}  // namespace torvane::testserver::testing
