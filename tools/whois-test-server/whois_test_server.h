#pragma once
// WhoisTestServer: the project's loopback WHOIS server for tests and
// demonstrations. It runs several named servers (ServerConfig), each
// listening on its own 127.0.0.1 port, on background threads of the calling
// process; the standalone program wraps the same class.
//
// An HTTP server (ServerConfig::http) reads a request head instead and
// answers with an HTTP response, over TLS when configured.
//
// Per connection: read the query line (up to and including LF, at most
// 64 KiB, or until the client closes), record its exact bytes, pick the
// answer, then wait, send (whole or dripping), and close (orderly or reset)
// or hold the connection open, as the server's configuration says.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server_config.h"
#include "stream.h"

namespace torvane::testserver {

class WhoisTestServer {
  public:
    // Called on a server thread for every query received, with the server's
    // name and the exact bytes.
    using QueryObserver = std::function<void(const std::string& server, const std::string& bytes)>;

    explicit WhoisTestServer(std::vector<ServerConfig> servers);
    // Stops the server.
    ~WhoisTestServer();
    WhoisTestServer(const WhoisTestServer&) = delete;
    WhoisTestServer& operator=(const WhoisTestServer&) = delete;

    // Set before Start.
    void SetQueryObserver(QueryObserver observer);

    // Binds every listener and starts serving. Throws std::runtime_error when
    // a port cannot be bound, a name is repeated, or a TLS certificate or key
    // cannot be used (or only one of the two is given).
    void Start();

    // Closes the listeners, ends every connection (held ones included) and
    // joins the threads. Safe to call twice.
    void Stop();

    // The port a server listens on (for a refusing server: a port nobody
    // listens on). Throws std::out_of_range for an unknown name.
    std::uint16_t Port(const std::string& name) const;

    // "name=127.0.0.1:port,..." for every server, the form of the client's
    // host map.
    std::string HostMap() const;

    // The exact bytes of every query the server received, oldest first.
    std::vector<std::string> Queries(const std::string& name) const;

    // How many connections the server accepted.
    int Connections(const std::string& name) const;

    // Every request an HTTP server received, parsed, oldest first (a head
    // that does not parse is left out; its bytes are still in Queries).
    std::vector<HttpRequest> HttpRequests(const std::string& name) const;

  private:
    struct Listener;

    void AcceptLoop(Listener& listener);
    void Serve(const ServerConfig& config, int fd);
    void ServeHttp(Listener& listener, int fd);
    bool SendHttpResponse(Stream& stream, const ServerConfig& config, const HttpResponse& response);
    bool WaitFor(std::chrono::milliseconds time);
    bool WaitReadable(int fd);
    std::string ReadQuery(int fd);
    std::string AnswerFor(const ServerConfig& config, const std::string& query) const;
    bool SendAll(int fd, const char* data, std::size_t size);
    Listener& Find(const std::string& name) const;

    std::vector<std::unique_ptr<Listener>> listeners_;
    QueryObserver observer_;
    int wake_fd_ = -1;  // eventfd, readable once Stop was called
    std::atomic<bool> started_{false};
    std::atomic<bool> stopping_{false};

    mutable std::mutex mutex_;
    // Connections run on detached threads; Stop waits until none is left.
    std::condition_variable all_done_;
    int active_connections_ = 0;
};

}  // namespace torvane::testserver
