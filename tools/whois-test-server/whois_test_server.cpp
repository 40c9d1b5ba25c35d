#include "whois_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "http_message.h"

namespace torvane::testserver {

struct WhoisTestServer::Listener {
    ServerConfig config;
    int fd = -1;
    // The connection that fills the accept queue of a server that never
    // accepts.
    int filler = -1;
    std::uint16_t port = 0;
    std::thread thread;
    TlsContext tls;
    // Guarded by the server's mutex.
    std::vector<std::string> queries;
    std::vector<HttpRequest> requests;
    int connections = 0;
};

namespace {

constexpr std::size_t kMaxQueryBytes = 64 * 1024;

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

sockaddr_in LoopbackAddress(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Closes `fd` and throws for what failed on it, with the errno of that failure.
[[noreturn]] void CloseAndThrow(int fd, const std::string& what) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    ThrowErrno(what);
}

// Binds 127.0.0.1:port and returns the socket and the port actually bound.
std::pair<int, std::uint16_t> BindLoopback(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) ThrowErrno("socket");
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = LoopbackAddress(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        CloseAndThrow(fd, "bind 127.0.0.1:" + std::to_string(port));
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return {fd, ntohs(address.sin_port)};
}

// Connects to 127.0.0.1:port and returns the connected socket.
int FillAcceptQueue(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) ThrowErrno("socket");
    const sockaddr_in address = LoopbackAddress(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        CloseAndThrow(fd, "connect 127.0.0.1:" + std::to_string(port));
    return fd;
}

std::string QueryKey(std::string query) {
    if (!query.empty() && query.back() == '\n') query.pop_back();
    if (!query.empty() && query.back() == '\r') query.pop_back();
    return query;
}

bool UsableAsFileName(const std::string& key) {
    return !key.empty() && key != "." && key != ".." && key.find('/') == std::string::npos &&
           key.find('\0') == std::string::npos;
}

}  // namespace

WhoisTestServer::WhoisTestServer(std::vector<ServerConfig> servers) {
    std::set<std::string> names;
    for (ServerConfig& config : servers) {
        if (!names.insert(config.name).second)
            throw std::runtime_error("server named twice: " + config.name);
        auto listener = std::make_unique<Listener>();
        listener->config = std::move(config);
        listeners_.push_back(std::move(listener));
    }
}

WhoisTestServer::~WhoisTestServer() { Stop(); }

void WhoisTestServer::SetQueryObserver(QueryObserver observer) { observer_ = std::move(observer); }

void WhoisTestServer::Start() {
    if (started_.exchange(true)) throw std::runtime_error("server already started");
    wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_fd_ < 0) ThrowErrno("eventfd");
    try {
        for (auto& listener : listeners_) {
            const auto& http = listener->config.http;
            if (http && (http->tls_certificate || http->tls_key)) {
                if (!http->tls_certificate || !http->tls_key)
                    throw std::runtime_error(listener->config.name +
                                             ": TLS wants both a certificate and a key");
                listener->tls = MakeTlsContext(*http->tls_certificate, *http->tls_key);
            }
            auto [fd, port] = BindLoopback(listener->config.port);
            listener->port = port;
            if (listener->config.refuse) {
                // The port was free a moment ago and now nobody listens on
                // it: a connect gets refused.
                ::close(fd);
                continue;
            }
            // A queue of one, filled by our own connection: the kernel then
            // drops every further connection request unanswered.
            if (::listen(fd, listener->config.never_accept ? 0 : 64) != 0) {
                ::close(fd);
                ThrowErrno("listen");
            }
            listener->fd = fd;
            if (listener->config.never_accept) listener->filler = FillAcceptQueue(port);
        }
    } catch (...) {
        Stop();
        throw;
    }
    for (auto& listener : listeners_) {
        if (listener->fd >= 0 && !listener->config.never_accept)
            listener->thread = std::thread([this, l = listener.get()] { AcceptLoop(*l); });
    }
}

void WhoisTestServer::Stop() {
    if (!started_ || stopping_.exchange(true)) return;
    const std::uint64_t one = 1;
    if (wake_fd_ >= 0) (void)!::write(wake_fd_, &one, sizeof one);
    for (auto& listener : listeners_) {
        if (listener->thread.joinable()) listener->thread.join();
        if (listener->fd >= 0) ::close(listener->fd);
        listener->fd = -1;
        if (listener->filler >= 0) ::close(listener->filler);
        listener->filler = -1;
    }
    {
        std::unique_lock lock(mutex_);
        all_done_.wait(lock, [this] { return active_connections_ == 0; });
    }
    if (wake_fd_ >= 0) ::close(wake_fd_);
    wake_fd_ = -1;
}

void WhoisTestServer::AcceptLoop(Listener& listener) {
    for (;;) {
        pollfd fds[2] = {{listener.fd, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        const int fd = ::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        {
            std::lock_guard lock(mutex_);
            ++listener.connections;
            ++active_connections_;
        }
        std::thread([this, &listener, fd] {
            if (listener.config.http) {
                ServeHttp(listener, fd);
            } else {
                Serve(listener.config, fd);
            }
            std::lock_guard lock(mutex_);
            if (--active_connections_ == 0) all_done_.notify_all();
        }).detach();
    }
}

bool WhoisTestServer::WaitFor(std::chrono::milliseconds time) {
    pollfd wake{wake_fd_, POLLIN, 0};
    const int timeout = time.count() < 0 ? -1 : static_cast<int>(time.count());
    while (::poll(&wake, 1, timeout) < 0 && errno == EINTR) {
    }
    return !stopping_;
}

bool WhoisTestServer::WaitReadable(int fd) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {
        if (errno != EINTR) return false;
    }
    return fds[1].revents == 0;
}

std::string WhoisTestServer::ReadQuery(int fd) {
    std::string query;
    char buffer[4096];
    while (query.size() < kMaxQueryBytes && query.find('\n') == std::string::npos) {
        if (!WaitReadable(fd)) break;
        // Peek first so that nothing after the line end is taken.
        const ssize_t peeked = ::recv(fd, buffer, sizeof buffer, MSG_PEEK);
        if (peeked <= 0) break;
        const std::string_view seen(buffer, static_cast<std::size_t>(peeked));
        const auto end = seen.find('\n');
        const std::size_t take = end == std::string_view::npos ? seen.size() : end + 1;
        const ssize_t got = ::recv(fd, buffer, take, 0);
        if (got <= 0) break;
        query.append(buffer, static_cast<std::size_t>(got));
    }
    return query;
}

std::string WhoisTestServer::AnswerFor(const ServerConfig& config, const std::string& query) const {
    const std::string key = QueryKey(query);
    if (config.answer_function) return config.answer_function(key);
    if (auto it = config.answers.find(key); it != config.answers.end()) return it->second;
    if (config.answers_dir && UsableAsFileName(key)) {
        std::ifstream file(*config.answers_dir / key, std::ios::binary);
        if (file) return std::string(std::istreambuf_iterator<char>(file), {});
    }
    return config.default_answer.value_or(std::string());
}

bool WhoisTestServer::SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

void WhoisTestServer::Serve(const ServerConfig& config, int fd) {
    const std::string query = ReadQuery(fd);
    {
        std::lock_guard lock(mutex_);
        Find(config.name).queries.push_back(query);
    }
    if (observer_) observer_(config.name, query);

    const bool resetNow = config.reset_queries.count(QueryKey(query)) > 0;
    bool open = !stopping_ && !resetNow;
    if (open && config.delay.count() > 0) open = WaitFor(config.delay);
    if (open && !config.silent) {
        const std::string answer = AnswerFor(config, query);
        if (config.repeat_to_size > 0 && !answer.empty()) {
            // Whole copies of the answer gathered into blocks of about 64 KiB,
            // so that a short answer does not cost a system call per copy.
            std::string block;
            while (block.size() < 65536) block += answer;
            for (std::uint64_t left = config.repeat_to_size; open && left > 0 && !stopping_;) {
                const std::size_t piece =
                    static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
                open = SendAll(fd, block.data(), piece);
                left -= piece;
            }
        } else if (config.drip.count() > 0) {
            for (std::size_t i = 0; open && i < answer.size(); ++i) {
                open =
                    SendAll(fd, &answer[i], 1) && (i + 1 == answer.size() || WaitFor(config.drip));
            }
        } else {
            open = SendAll(fd, answer.data(), answer.size());
        }
    }
    if (open && config.hold) {
        // Until the client goes away or the server stops.
        char buffer[4096];
        while (WaitReadable(fd) && ::recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
    }
    if (config.reset || resetNow) {
        const linger off{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    }
    ::close(fd);
}

void WhoisTestServer::ServeHttp(Listener& listener, int fd) {
    // OpenSSL writes with write(2), which raises SIGPIPE on a connection the
    // client already closed; in a test process that would end the process.
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);

    const ServerConfig& config = listener.config;
    {
        Stream stream(fd, wake_fd_, listener.tls);
        bool open = stream.Handshake();
        std::string head;
        char buffer[4096];
        while (open && head.size() < kMaxQueryBytes && RequestHeadEnd(head) == std::string::npos) {
            const long got = stream.Read(buffer, sizeof buffer);
            if (got <= 0) break;
            head.append(buffer, static_cast<std::size_t>(got));
        }
        if (open) {
            if (const auto end = RequestHeadEnd(head); end != std::string::npos) head.resize(end);
            const auto request = ParseRequestHead(head);
            {
                std::lock_guard lock(mutex_);
                listener.queries.push_back(head);
                if (request) listener.requests.push_back(*request);
            }
            if (observer_) observer_(config.name, head);
            open = !stopping_;
            if (open && config.delay.count() > 0) open = WaitFor(config.delay);
            if (open && !config.silent) {
                open = SendHttpResponse(stream, config,
                                        request ? ResponseFor(*config.http, *request)
                                                : HttpResponse{400, "", "text/plain", {}});
            }
            if (open && config.hold) {
                while (stream.Read(buffer, sizeof buffer) > 0) {
                }
            }
            if (open && !config.reset) stream.Shutdown();
        }
    }
    if (config.reset) {
        const linger off{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    }
    ::close(fd);
}

bool WhoisTestServer::SendHttpResponse(Stream& stream, const ServerConfig& config,
                                       const HttpResponse& response) {
    const bool repeat = config.repeat_to_size > 0 && !response.body.empty();
    const std::string head =
        ResponseHead(response, repeat ? config.repeat_to_size : response.body.size());
    if (repeat) {
        std::string block;
        while (block.size() < 65536) block += response.body;
        bool open = stream.Write(head.data(), head.size());
        for (std::uint64_t left = config.repeat_to_size; open && left > 0 && !stopping_;) {
            const std::size_t piece =
                static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
            open = stream.Write(block.data(), piece);
            left -= piece;
        }
        return open;
    }
    const std::string message = head + response.body;
    if (config.drip.count() <= 0) return stream.Write(message.data(), message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (!stream.Write(&message[i], 1)) return false;
        if (i + 1 < message.size() && !WaitFor(config.drip)) return false;
    }
    return true;
}

WhoisTestServer::Listener& WhoisTestServer::Find(const std::string& name) const {
    for (const auto& listener : listeners_) {
        if (listener->config.name == name) return *listener;
    }
    throw std::out_of_range("no test server named " + name);
}

std::uint16_t WhoisTestServer::Port(const std::string& name) const { return Find(name).port; }

std::string WhoisTestServer::HostMap() const {
    std::string map;
    for (const auto& listener : listeners_) {
        if (!map.empty()) map += ',';
        map += listener->config.name + "=127.0.0.1:" + std::to_string(listener->port);
    }
    return map;
}

std::vector<std::string> WhoisTestServer::Queries(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return Find(name).queries;
}

std::vector<HttpRequest> WhoisTestServer::HttpRequests(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return Find(name).requests;
}

int WhoisTestServer::Connections(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return Find(name).connections;
}

}  // namespace torvane::testserver
