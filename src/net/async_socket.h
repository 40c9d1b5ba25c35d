#pragma once
// TAsyncSocket: the event-driven TCP client socket that the WHOIS client runs
// on. Name lookup goes through QHostInfo, the connection through QTcpSocket;
// every event is delivered from the Qt event loop of the thread that owns the
// socket, except where a call below says that it raises an event itself.
//
// Events are plain callbacks set by the owner. Every call into an event
// handler is guarded: an exception that leaves a handler is caught here, the
// socket is aborted and nothing is shown or rethrown. When the exception comes
// out of OnSessionClosed, that connection raises nothing more.
//
// Only raw TCP over IPv4 is supported, directly or through a proxy's tunnel
// (SOCKS5 or HTTP CONNECT, see SetTunnel): received bytes are handed out
// exactly as they arrive, without line assembly.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/error_codes.h"
#include "proxy/tunnel_handshake.h"

namespace torvane::net {

// The port for a number ("43") or a service name of the services table
// ("whois"; 43 also where the system has no services table). Throws
// std::runtime_error for anything else, port 0 included.
std::uint16_t ServicePort(const std::string& port);

class TAsyncSocket {
  public:
    using CodeEvent = std::function<void(ErrorCode code)>;
    using NotifyEvent = std::function<void()>;

    enum class State { Idle, Resolving, Connecting, ConnectFailed, Connected, Closing };

    TAsyncSocket();
    // Drops a pending lookup and any connection (abortively) without raising
    // events. Must not run from inside one of this socket's own events.
    ~TAsyncSocket();
    TAsyncSocket(const TAsyncSocket&) = delete;
    TAsyncSocket& operator=(const TAsyncSocket&) = delete;

    // Lookup finished: 0 and DnsResult() set, 10004 when cancelled, or the
    // resolver's code (11001 host not found, 11002 resolver unreachable,
    // 11004 no IPv4 address).
    CodeEvent OnDnsLookupDone;
    // The connect started by Connect() finished: 0 or the connect error;
    // 10060 when the connect timeout ran out first. Through a tunnel (see
    // SetTunnel) 0 means the tunnel is open, and a failure is one of:
    //   the proxy's own connect failed (refused, unreachable)   12165
    //   the proxy refused the tunnel, or hung up during it      12901
    //   the proxy wants credentials                              12902
    //   the proxy's reply is not its protocol                    12903
    //   the proxy reports the far end's own outcome (SOCKS5)     10051,
    //     10065 host unreachable, 10061 refused, 10060 timed out
    //   the request cannot be written (see TunnelRequest)        10022
    CodeEvent OnSessionConnected;
    // Bytes are waiting; read them with Receive until it returns less than 1.
    NotifyEvent OnDataAvailable;
    // Raised exactly once per connection (once Connect() has created one):
    // on a remote close after all unread data was offered, with 0 for an
    // orderly close, 10054 for a reset, or the code of another transfer error;
    // on Close() or Abort() with 0, also for a connection whose connect had
    // failed.
    CodeEvent OnSessionClosed;

    // Starts resolving `host` (a host name, ASCII or in its ASCII-compatible
    // form, or a dotted IPv4 address), after consulting the host map. A dotted address (given or
    // mapped) completes inside this call with 0; everything else completes
    // later from the event loop. A lookup still pending is dropped silently.
    // Throws std::runtime_error("DNS lookup: invalid host name.") for an
    // empty host; no event follows then.
    void DnsLookup(const std::string& host);
    // The first IPv4 address of the last successful lookup, as dotted text.
    const std::string& DnsResult() const { return dns_result_; }
    // Cancels a pending lookup, raising OnDnsLookupDone(10004) inside this
    // call. Does nothing when no lookup is pending.
    void CancelDnsLookup();

    // Remote end for Connect(): a dotted IPv4 address, "tcp", and a port
    // number or service name from the services table ("whois" is 43). A port
    // given by the host map for the last looked-up host replaces Port.
    void SetAddr(std::string addr) { addr_ = std::move(addr); }
    void SetProto(std::string proto) { proto_ = std::move(proto); }
    void SetPort(std::string port) { port_ = std::move(port); }
    const std::string& Addr() const { return addr_; }
    const std::string& Proto() const { return proto_; }
    const std::string& Port() const { return port_; }

    // Starts an asynchronous connect; the outcome arrives as
    // OnSessionConnected from the event loop. A connection still open is
    // aborted first (raising its OnSessionClosed). Throws std::runtime_error
    // for an address that is not dotted IPv4, a protocol other than "tcp" or
    // an unknown service name.
    void Connect();

    // Makes the next Connects go through a proxy: Addr and Port then name
    // the proxy, and once the TCP connection to it is up, `request` asks it
    // for the tunnel (proxy/tunnel_handshake.h). OnSessionConnected comes when
    // the tunnel is open or has failed; what the proxy sends during the
    // handshake is read into no buffer beyond the handshake's own caps.
    // nullopt (the default) connects directly.
    void SetTunnel(std::optional<proxy::TunnelRequest> request) { tunnel_ = std::move(request); }
    // The HTTP status of the proxy's reply to the last Connect's CONNECT
    // request; 0 when there was none (direct, SOCKS5, no status line read).
    int ProxyHttpStatus() const { return proxy_http_status_; }

    // How long the next Connect may take (through a tunnel: the TCP connect
    // and the handshake together) before it ends with
    // OnSessionConnected(10060), as a connect the system gave up on would.
    // Zero or less: as long as the system waits (the default).
    void SetConnectTimeout(std::chrono::milliseconds timeout) { connect_timeout_ = timeout; }
    std::chrono::milliseconds ConnectTimeout() const { return connect_timeout_; }

    // Queues `data` for sending on the connected socket; does nothing when
    // not connected.
    void SendStr(const std::string& data);

    // Reads up to `length` waiting bytes into `buffer`; returns the count, or
    // -1 when nothing is waiting.
    int Receive(char* buffer, int length);
    // How many bytes Receive could return at once right now (0 when none or
    // no connection).
    std::size_t BytesWaiting() const;

    // Graceful close: queued data is still sent. A pending lookup is
    // cancelled (OnDnsLookupDone(10004)). OnSessionClosed(0) follows once the
    // connection is down (inside this call when nothing is left to send).
    void Close();

    // Abortive close: a pending lookup is cancelled (OnDnsLookupDone(10004)),
    // unsent data dropped and the connection reset (linger off).
    // OnSessionClosed(0) is raised inside this call. Safe on an idle socket.
    void Abort();

    State GetState() const;

  private:
    struct Connection;

    void HandleLookupResult(std::uint64_t serial, int error, const std::string& first_ipv4);
    void TcpConnectDone(std::uint64_t serial, int error_number);
    void StartHandshake();
    void ContinueHandshake(std::uint64_t serial);
    void FinishConnect(std::uint64_t serial, ErrorCode code);
    void HandleReadyRead(std::uint64_t serial);
    void HandleDisconnected(std::uint64_t serial);
    void FinishSession(ErrorCode code);
    ErrorCode RemoteCloseCode() const;
    void ReleaseConnection();

    template <typename Handler, typename... Args>
    void Raise(const Handler& handler, Args... args);

    QObject context_;
    std::string addr_;
    std::string proto_ = "tcp";
    std::string port_;
    std::string dns_result_;
    std::optional<std::uint16_t> mapped_port_;
    std::chrono::milliseconds connect_timeout_{0};
    std::optional<proxy::TunnelRequest> tunnel_;
    int proxy_http_status_ = 0;
    // Runs while a connect with a timeout is in progress.
    QTimer connect_timer_;
    bool resolving_ = false;
    int lookup_id_ = -1;
    std::uint64_t lookup_serial_ = 0;
    std::uint64_t connection_serial_ = 0;
    std::unique_ptr<Connection> connection_;
};

}  // namespace torvane::net
