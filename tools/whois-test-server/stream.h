#pragma once
// One accepted connection of the test server, plain or TLS, with every wait
// also ending when the server stops (its wake descriptor becomes readable).

#include <cstddef>
#include <filesystem>
#include <memory>

struct ssl_ctx_st;
struct ssl_st;

namespace torvane::testserver {

using TlsContext = std::shared_ptr<ssl_ctx_st>;

// A server context holding the PEM certificate (chain) and its key. Throws
// std::runtime_error naming the file when either cannot be used.
TlsContext MakeTlsContext(const std::filesystem::path& certificate,
                          const std::filesystem::path& key);

class Stream {
  public:
    // `fd` stays owned by the caller and is switched to non-blocking mode;
    // `tls` null means plain TCP.
    Stream(int fd, int wake_fd, const TlsContext& tls);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // The TLS handshake; true at once for plain TCP. False when it failed,
    // the client went away or the server stops.
    bool Handshake();

    // Waits for data and reads up to `size` bytes: the count, 0 when the
    // client closed, -1 on an error or when the server stops.
    long Read(char* buffer, std::size_t size);

    // Sends all of it; false when that failed or the server stops.
    bool Write(const char* data, std::size_t size);

    // TLS: sends close_notify (without waiting for the client's). Plain: no-op.
    void Shutdown();

  private:
    bool Wait(short events);

    int fd_;
    int wake_fd_;
    ssl_st* ssl_ = nullptr;
};

}  // namespace torvane::testserver
