#include "stream.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <stdexcept>
#include <string>

namespace torvane::testserver {
namespace {

std::string OpenSslError() {
    char text[256] = "unknown error";
    if (const unsigned long code = ERR_get_error()) ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return text;
}

}  // namespace

TlsContext MakeTlsContext(const std::filesystem::path& certificate,
                          const std::filesystem::path& key) {
    TlsContext context(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
    if (!context) throw std::runtime_error("TLS context: " + OpenSslError());
    if (SSL_CTX_use_certificate_chain_file(context.get(), certificate.c_str()) != 1)
        throw std::runtime_error("TLS certificate " + certificate.string() + ": " + OpenSslError());
    if (SSL_CTX_use_PrivateKey_file(context.get(), key.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(context.get()) != 1)
        throw std::runtime_error("TLS key " + key.string() + ": " + OpenSslError());
    return context;
}

Stream::Stream(int fd, int wake_fd, const TlsContext& tls) : fd_(fd), wake_fd_(wake_fd) {
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    if (tls) {
        ssl_ = SSL_new(tls.get());
        if (ssl_) SSL_set_fd(ssl_, fd_);
    }
}

Stream::~Stream() {
    if (ssl_) SSL_free(ssl_);
}

bool Stream::Wait(short events) {
    pollfd fds[2] = {{fd_, events, 0}, {wake_fd_, POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {
        if (errno != EINTR) return false;
    }
    return fds[1].revents == 0;
}

bool Stream::Handshake() {
    if (!ssl_) return true;
    for (;;) {
        const int result = SSL_accept(ssl_);
        if (result == 1) return true;
        const int error = SSL_get_error(ssl_, result);
        ERR_clear_error();
        if (error == SSL_ERROR_WANT_READ && Wait(POLLIN)) continue;
        if (error == SSL_ERROR_WANT_WRITE && Wait(POLLOUT)) continue;
        return false;
    }
}

long Stream::Read(char* buffer, std::size_t size) {
    for (;;) {
        if (ssl_) {
            const int got = SSL_read(ssl_, buffer, static_cast<int>(size));
            if (got > 0) return got;
            const int error = SSL_get_error(ssl_, got);
            ERR_clear_error();
            if (error == SSL_ERROR_WANT_READ && Wait(POLLIN)) continue;
            if (error == SSL_ERROR_WANT_WRITE && Wait(POLLOUT)) continue;
            // A client may close without close_notify; that is still a close.
            if (error == SSL_ERROR_ZERO_RETURN || (error == SSL_ERROR_SYSCALL && errno == 0))
                return 0;
            return -1;
        }
        const ssize_t got = ::recv(fd_, buffer, size, 0);
        if (got >= 0) return got;
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && Wait(POLLIN)) continue;
        return -1;
    }
}

bool Stream::Write(const char* data, std::size_t size) {
    while (size > 0) {
        long sent;
        if (ssl_) {
            sent = SSL_write(ssl_, data, static_cast<int>(size));
            if (sent <= 0) {
                const int error = SSL_get_error(ssl_, static_cast<int>(sent));
                ERR_clear_error();
                if (error == SSL_ERROR_WANT_WRITE && Wait(POLLOUT)) continue;
                if (error == SSL_ERROR_WANT_READ && Wait(POLLIN)) continue;
                return false;
            }
        } else {
            sent = ::send(fd_, data, size, MSG_NOSIGNAL);
            if (sent < 0) {
                if (errno == EINTR) continue;
                if ((errno == EAGAIN || errno == EWOULDBLOCK) && Wait(POLLOUT)) continue;
                return false;
            }
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

void Stream::Shutdown() {
    if (ssl_) {
        SSL_shutdown(ssl_);
        ERR_clear_error();
    }
}

}  // namespace torvane::testserver
