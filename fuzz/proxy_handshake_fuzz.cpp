// A proxy's replies to the tunnel handshake. The first byte chooses the
// request (bit 0: HTTP CONNECT, bit 1: with credentials, bit 2: a host name
// instead of an address), the second how the rest is cut into reads; the
// rest is what the proxy sends. Checked: a pending handshake takes every
// byte, a finished one none; an open tunnel was preceded by a bounded
// handshake (an HTTP head ending in its empty line under the cap, with a 2xx
// status); what is sent stays small.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "proxy/tunnel_handshake.h"

using namespace torvane::proxy;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t flags = data[0];
    const std::size_t read_size = std::size_t{data[1]} + 1;
    const std::string_view replies(reinterpret_cast<const char*>(data) + 2, size - 2);

    TunnelRequest request;
    request.protocol = (flags & 1) ? TunnelProtocol::kHttpConnect : TunnelProtocol::kSocks5;
    request.host = (flags & 4) ? "whois.example" : "192.0.2.1";
    request.port = 43;
    if (flags & 2) {
        request.user = "user";
        request.password = "secret";
    }
    TTunnelHandshake handshake(request);
    std::size_t sent = handshake.TakeOutgoing().size();
    std::string taken;
    for (std::size_t at = 0; at < replies.size(); at += read_size) {
        const std::string_view read = replies.substr(at, read_size);
        const bool was_pending = handshake.GetOutcome() == TunnelOutcome::kPending;
        const std::size_t used = handshake.Feed(read);
        FUZZ_CHECK(used <= read.size());
        if (!was_pending) FUZZ_CHECK(used == 0);
        if (handshake.GetOutcome() == TunnelOutcome::kPending) FUZZ_CHECK(used == read.size());
        taken.append(read.substr(0, used));
        sent += handshake.TakeOutgoing().size();
    }
    FUZZ_CHECK(sent < 1024);
    if (handshake.GetOutcome() != TunnelOutcome::kOpen) return 0;
    if (request.protocol == TunnelProtocol::kHttpConnect) {
        FUZZ_CHECK(taken.size() <= kMaxHttpReplyHead);
        FUZZ_CHECK(taken.ends_with("\n\n") || taken.ends_with("\n\r\n"));
        FUZZ_CHECK(handshake.HttpStatus() >= 200 && handshake.HttpStatus() <= 299);
    } else {
        // Method, credentials' answer, and a reply with at most a 255-byte name.
        FUZZ_CHECK(taken.size() <= 2 + 2 + 4 + 1 + 255 + 2);
        FUZZ_CHECK(handshake.SocksReply() == 0);
    }
    return 0;
}
