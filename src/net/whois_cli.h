#pragma once
// TWhoisCli carries out one WHOIS exchange at a time: it resolves Host,
// connects to its "whois" port (43), sends Query followed by CR LF, collects
// every byte the server sends until the connection ends and reports the
// outcome through OnQueryDone. It does no interpretation of the answer.
//
// Events, by situation (codes are Windows Sockets numbers, 0 is success):
//   host cannot be resolved           OnQueryDone(resolver code)
//   Abort while resolving             OnQueryDone(10004)
//   connect fails                     OnSessionConnected(code), OnQueryDone(code)
//   no connect within ConnectTimeout  OnSessionConnected(10060), OnQueryDone(10060)
//   through Proxy, failing            OnSessionConnected(code), OnQueryDone(code)
//                                     with the proxy's code: 12165 the proxy
//                                     cannot be reached (its name not found,
//                                     its connect refused or unreachable),
//                                     12901 it refused the tunnel (or hung up
//                                     during the handshake), 12902 it wants
//                                     credentials, 12903 its reply is not its
//                                     protocol; or the server's own outcome
//                                     as the proxy reports it (10061 refused,
//                                     10065 host unreachable, 10051, 10060)
//   normal exchange                   OnSessionConnected(0), OnQueryDone(close code)
//   Abort while connecting/connected  OnQueryDone(0), WhoisResp holding what arrived
//   Abort on an idle client           none
//   answer larger than kMaxAnswerSize OnSessionConnected(0), OnQueryDone(0)
//                                     with the first kMaxAnswerSize bytes in
//                                     WhoisResp and Truncated() true
// Every StartQuery ends in exactly one OnQueryDone. StartQuery may be called
// again from inside OnQueryDone (to follow a referral); the old connection
// then raises nothing more. Events come from the Qt event loop, except that
// Abort raises its OnQueryDone inside the call.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "net/async_socket.h"
#include "net/error_codes.h"
#include "net/proxy_endpoint.h"

namespace torvane::net {

// The most bytes one answer may hold. A server that sends more is cut off
// there: reading stops and the connection is reset, so that no server can
// make the client hold an answer of unbounded size.
inline constexpr std::size_t kMaxAnswerSize = 16 * 1024 * 1024;

class TWhoisCli {
  public:
    using TQueryEvent = std::function<void(TWhoisCli* sender, ErrorCode error)>;

    // Host starts as RIPE NCC's WHOIS server.
    TWhoisCli();
    TWhoisCli(const TWhoisCli&) = delete;
    TWhoisCli& operator=(const TWhoisCli&) = delete;

    // The bytes to send, in the code the server reads (the run gives the
    // .jp registry and JPNIC CP932, other servers ASCII or UTF-8), without
    // the line end.
    std::string Query;
    // The server to ask: a host name or a dotted IPv4 address.
    std::string Host;
    // The port to connect to; 0 is the "whois" service port (43). A port the
    // host map gives for Host replaces it.
    std::uint16_t Port = 0;
    // How long a connect may take (the name lookup not counted) before the
    // exchange ends with 10060, as when the system gives up; zero waits as
    // long as the system does. Read by StartQuery.
    std::chrono::milliseconds ConnectTimeout{0};
    // The proxy to reach the server through; nullopt connects directly.
    // Read by StartQuery. Never used for a Host that the host map maps, nor
    // for a Host written as a loopback address (127.0.0.0/8); a name such as
    // "localhost" is proxied like any other. Through a proxy, everything
    // after the tunnel is open is the same exchange as without one:
    //   kSocks5            Host is looked up here (the host map consulted),
    //                      then the proxy's name; the proxy is asked for the
    //                      IPv4 address.
    //   kSocks5RemoteNames only the proxy's name is looked up here; the proxy
    //                      gets Host as it is written and resolves it.
    //   kHttpConnect       as kSocks5RemoteNames, with CONNECT Host:port.
    // Credentials (user or password not empty) go as SOCKS5 username/password
    // or as Proxy-Authorization: Basic. Host, user and password longer than
    // 255 bytes cannot be sent (10022).
    std::optional<ProxyEndpoint> Proxy;
    // The answer received so far, exactly the bytes the server sent (zero
    // bytes included); emptied only by StartQuery.
    const std::string& WhoisResp() const { return whois_resp_; }
    // Moves the answer out, leaving WhoisResp empty, so that its owner can
    // let go of a large answer as soon as it has been converted.
    std::string TakeWhoisResp() { return std::exchange(whois_resp_, {}); }
    // True when the last exchange was cut off at kMaxAnswerSize; reset by
    // StartQuery.
    bool Truncated() const { return truncated_; }
    // True when the last StartQuery went through Proxy (false for a direct
    // exchange, also when Proxy was set but not used for Host).
    bool ThroughProxy() const { return through_proxy_; }
    // The HTTP status of the proxy's reply to the last CONNECT (403, 407,
    // 502, ...), for a status text; 0 when there was none.
    int ProxyStatus() const { return socket_.ProxyHttpStatus(); }

    TQueryEvent OnSessionConnected;
    TQueryEvent OnQueryDone;

    // Empties WhoisResp and starts resolving Host. An exchange still running
    // is abandoned silently (its OnQueryDone is never raised). Throws
    // std::runtime_error("DNS lookup: invalid host name.") for an empty Host;
    // no event follows then.
    void StartQuery();

    // Ends the running exchange: a pending lookup completes with 10004, a
    // connection is reset and completes with 0. Nothing on an idle client.
    void Abort();

    // Reads up to `length` waiting bytes of the answer into `buffer`; returns
    // the count, or a negative value when nothing is waiting.
    int Receive(char* buffer, int length);

  private:
    void DnsLookupDone(ErrorCode code);
    void LookUpProxy();
    void ConnectTo(const std::string& address, const std::string& port);
    void SessionConnected(ErrorCode code);
    void DataAvailable();
    void SessionClosed(ErrorCode code);
    void Complete(ErrorCode code);

    TAsyncSocket socket_;
    std::string whois_resp_;
    bool truncated_ = false;
    bool through_proxy_ = false;
    // Which lookup is running: the server's own, or the proxy's.
    bool looking_up_proxy_ = false;
    // The server's address for a kSocks5 proxy, once looked up.
    std::string server_address_;
    // True from StartQuery until OnQueryDone is raised.
    bool busy_ = false;
    // Raised by every StartQuery; lets a handler notice that the owner began
    // a new exchange while it was running.
    std::uint64_t exchange_ = 0;
};

}  // namespace torvane::net
