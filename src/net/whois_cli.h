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
#include <string>
#include <utility>

#include "net/async_socket.h"
#include "net/error_codes.h"

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
    // The answer received so far, exactly the bytes the server sent (zero
    // bytes included); emptied only by StartQuery.
    const std::string& WhoisResp() const { return whois_resp_; }
    // Moves the answer out, leaving WhoisResp empty, so that its owner can
    // let go of a large answer as soon as it has been converted.
    std::string TakeWhoisResp() { return std::exchange(whois_resp_, {}); }
    // True when the last exchange was cut off at kMaxAnswerSize; reset by
    // StartQuery.
    bool Truncated() const { return truncated_; }

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
    void SessionConnected(ErrorCode code);
    void DataAvailable();
    void SessionClosed(ErrorCode code);
    void Complete(ErrorCode code);

    TAsyncSocket socket_;
    std::string whois_resp_;
    bool truncated_ = false;
    // True from StartQuery until OnQueryDone is raised.
    bool busy_ = false;
    // Raised by every StartQuery; lets a handler notice that the owner began
    // a new exchange while it was running.
    std::uint64_t exchange_ = 0;
};

}  // namespace torvane::net
