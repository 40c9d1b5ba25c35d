#pragma once
// TTunnelHandshake: the client side of asking a proxy for a TCP tunnel, as
// bytes in and bytes out, with no socket of its own: SOCKS5 (RFC 1928, the
// CONNECT command, with RFC 1929 username/password when credentials are
// given) and HTTP CONNECT (with Proxy-Authorization: Basic when credentials
// are given).
//
// Use: send TakeOutgoing() once the TCP connection to the proxy is up; offer
// every byte the proxy sends to Feed and drop from the stream exactly the
// count it returns; send TakeOutgoing() again after every Feed (SOCKS5 has
// several rounds); stop when GetOutcome() is no longer kPending. Bytes the
// handshake did not take belong to the tunnel.
//
// The proxy's replies are untrusted: an HTTP reply head longer than
// kMaxHttpReplyHead bytes, or any reply that breaks its protocol, ends the
// handshake with kBadReply. Nothing read is kept beyond the current line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace torvane::proxy {

enum class TunnelProtocol { kSocks5, kHttpConnect };

struct TunnelRequest {
    TunnelProtocol protocol = TunnelProtocol::kSocks5;
    // The far end: a dotted IPv4 address (SOCKS5 sends it as an address) or a
    // host name (SOCKS5 sends it as a name, for the proxy to resolve). At most
    // kMaxFieldSize bytes.
    std::string host;
    std::uint16_t port = 0;
    // Both empty: no credentials are offered. Each at most kMaxFieldSize bytes.
    std::string user;
    std::string password;
};

// The longest host, user or password a request may carry (SOCKS5's one-byte
// lengths; the HTTP request keeps the same bound).
inline constexpr std::size_t kMaxFieldSize = 255;
// The longest HTTP reply head read, status line and empty line included.
inline constexpr std::size_t kMaxHttpReplyHead = 16 * 1024;

enum class TunnelOutcome {
    kPending,
    // The tunnel is open: what follows on the stream is the far end's.
    kOpen,
    // The proxy wants credentials that were not given or were not accepted
    // (SOCKS5: no acceptable method, or the username/password refused;
    // HTTP: 407, or 401 as some proxies answer wrong credentials).
    kAuthRequired,
    // The proxy refused to open the tunnel (SOCKS5 replies 1, 2, 7, 8 and
    // unassigned ones; HTTP: any status but 2xx, 401 and 407).
    kRefused,
    // The proxy reached for the far end and reports the far end's own
    // outcome (SOCKS5 replies 3, 4, 5 and 6).
    kNetworkUnreachable,
    kHostUnreachable,
    kConnectionRefused,
    kTimedOut,
    // The reply is not the protocol (wrong version, malformed status line,
    // unknown address type, a head over the cap).
    kBadReply,
    // The request cannot be written: a field longer than kMaxFieldSize, an
    // empty host, port 0, or a CR, LF or NUL in a field of an HTTP request.
    kInvalidRequest,
};

class TTunnelHandshake {
  public:
    // Prepares the first message; an unusable request ends at once with
    // kInvalidRequest and nothing to send.
    explicit TTunnelHandshake(TunnelRequest request);

    // The bytes to send to the proxy now; empties the queue.
    std::string TakeOutgoing();

    // Offers bytes the proxy sent. Returns how many of them belong to the
    // handshake: all of them while it stays kPending, at most `bytes.size()`
    // when it finishes, 0 once it has finished.
    std::size_t Feed(std::string_view bytes);

    // The proxy closed the connection before the handshake finished: a
    // pending handshake ends with kRefused (a proxy that hangs up instead of
    // answering has not opened the tunnel).
    void PeerClosed();

    TunnelOutcome GetOutcome() const { return outcome_; }
    // The status of the HTTP reply (0 until its status line was read, and
    // for SOCKS5).
    int HttpStatus() const { return http_status_; }
    // The SOCKS5 reply code (-1 until the connect reply arrived, and for HTTP).
    int SocksReply() const { return socks_reply_; }

  private:
    enum class Stage {
        kMethod,
        kAuth,
        kConnectHead,
        kConnectAddressType,
        kConnectNameLength,
        kConnectAddress,
        kHttpHead,
        kDone
    };

    std::size_t FeedSocks(std::string_view bytes);
    std::size_t FeedHttp(std::string_view bytes);
    void Finish(TunnelOutcome outcome);
    void QueueSocksConnect();
    bool HttpLineDone();

    TunnelRequest request_;
    Stage stage_ = Stage::kDone;
    TunnelOutcome outcome_ = TunnelOutcome::kPending;
    std::string outgoing_;
    // The reply piece being assembled: a fixed-size SOCKS5 message, or the
    // current HTTP line.
    std::string piece_;
    std::size_t piece_size_ = 0;
    std::size_t http_head_read_ = 0;
    int http_status_ = 0;
    int socks_reply_ = -1;
};

// Standard base64 (RFC 4648, with padding) of `bytes`.
std::string Base64(std::string_view bytes);

}  // namespace torvane::proxy
