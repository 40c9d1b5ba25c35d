#include "net/whois_cli.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "net/host_map.h"
#include "query/well_known_servers.h"

namespace torvane::net {

namespace {

// A large answer fills megabytes page by page; asking for 2 MiB pages where
// the kernel offers them on request spares it a fault every 4 KiB. Only
// whole large pages inside the buffer are named; where the request is not
// supported nothing changes.
void PreferLargePages(char* data, std::size_t size) {
    constexpr std::uintptr_t kLargePage = 2 * 1024 * 1024;
    const auto begin =
        (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kLargePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

bool IsLoopbackAddress(const std::string& host) {
    in_addr address{};
    return inet_pton(AF_INET, host.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

}  // namespace

TWhoisCli::TWhoisCli() : Host(query::kRipeServer) {
    socket_.OnDnsLookupDone = [this](ErrorCode code) { DnsLookupDone(code); };
    socket_.OnSessionConnected = [this](ErrorCode code) { SessionConnected(code); };
    socket_.OnDataAvailable = [this] { DataAvailable(); };
    socket_.OnSessionClosed = [this](ErrorCode code) { SessionClosed(code); };
}

void TWhoisCli::StartQuery() {
    if (Host.empty()) throw std::runtime_error("DNS lookup: invalid host name.");
    if (busy_) {
        // Marking the old exchange finished first keeps its abort silent.
        busy_ = false;
        socket_.Abort();
    }
    ++exchange_;
    whois_resp_.clear();
    truncated_ = false;
    busy_ = true;
    through_proxy_ = Proxy && !MappedHost(Host) && !IsLoopbackAddress(Host);
    looking_up_proxy_ = false;
    server_address_.clear();
    if (through_proxy_ && Proxy->kind != ProxyKind::kSocks5) {
        LookUpProxy();
        return;
    }
    socket_.DnsLookup(Host);
}

void TWhoisCli::LookUpProxy() {
    looking_up_proxy_ = true;
    try {
        socket_.DnsLookup(Proxy->host);
    } catch (const std::runtime_error&) {
        // No proxy name at all: as unreachable as one that is not found.
        SessionConnected(kProxyUnreachable);
    }
}

void TWhoisCli::Abort() { socket_.Abort(); }

int TWhoisCli::Receive(char* buffer, int length) { return socket_.Receive(buffer, length); }

void TWhoisCli::Complete(ErrorCode code) {
    busy_ = false;
    if (OnQueryDone) {
        TQueryEvent handler = OnQueryDone;
        handler(this, code);
    }
}

void TWhoisCli::DnsLookupDone(ErrorCode code) {
    if (!busy_) return;
    const std::string service = Port != 0 ? std::to_string(Port) : std::string("whois");
    if (!looking_up_proxy_) {
        if (code != kNoError) {
            Complete(code);
            return;
        }
        if (!through_proxy_) {
            socket_.SetTunnel(std::nullopt);
            ConnectTo(socket_.DnsResult(), service);
            return;
        }
        server_address_ = socket_.DnsResult();
        LookUpProxy();
        return;
    }
    if (code == kWsaEintr) {
        Complete(code);
        return;
    }
    if (code != kNoError) {
        // The proxy's name, not the server's, was not found: the connect
        // through it failed.
        SessionConnected(kProxyUnreachable);
        return;
    }
    proxy::TunnelRequest request;
    request.protocol = Proxy->kind == ProxyKind::kHttpConnect ? proxy::TunnelProtocol::kHttpConnect
                                                              : proxy::TunnelProtocol::kSocks5;
    request.host = Proxy->kind == ProxyKind::kSocks5 ? server_address_ : Host;
    try {
        request.port = ServicePort(service);
    } catch (const std::runtime_error&) {
        Complete(kWsaEinval);
        return;
    }
    request.user = Proxy->user;
    request.password = Proxy->password;
    socket_.SetTunnel(std::move(request));
    ConnectTo(socket_.DnsResult(), std::to_string(Proxy->port));
}

void TWhoisCli::ConnectTo(const std::string& address, const std::string& port) {
    socket_.SetAddr(address);
    socket_.SetProto("tcp");
    socket_.SetPort(port);
    socket_.SetConnectTimeout(ConnectTimeout);
    try {
        socket_.Connect();
    } catch (const std::runtime_error&) {
        // Cannot happen with a looked-up address and the WHOIS port, but an
        // exchange must always end in a completion.
        Complete(kWsaEinval);
    }
}

void TWhoisCli::SessionConnected(ErrorCode code) {
    if (!busy_) return;
    const std::uint64_t exchange = exchange_;
    if (OnSessionConnected) {
        TQueryEvent handler = OnSessionConnected;
        handler(this, code);
    }
    // The owner may have aborted or restarted from inside its handler.
    if (!busy_ || exchange != exchange_) return;
    if (code != kNoError) {
        // The exchange is over with the connect's own code: close the failed
        // connection first, so that its session-closed notification cannot
        // be taken for a second, successful completion.
        busy_ = false;
        socket_.Close();
        busy_ = true;
        Complete(code);
        return;
    }
    socket_.SendStr(Query + "\r\n");
}

void TWhoisCli::DataAvailable() {
    // Whole chunks are kept, zero bytes included: what the owner sees must
    // not depend on how the network cut the answer. Everything waiting is
    // read straight onto the end of the answer in one call where it can be.
    // Most answers fit the first chunk's room. One that outgrows it moves
    // once, early, to room for the whole cap: pages never written are
    // address space only, so memory goes to what arrived, and a large
    // answer is never copied as it grows. The answer keeps that room when
    // it is taken, so it is reserved only for answers that need it.
    constexpr std::size_t kMinChunk = 64 * 1024;
    for (;;) {
        const std::size_t kept = whois_resp_.size();
        // Reading one byte past the cap tells an answer of exactly the cap
        // from a longer one.
        const std::size_t want =
            std::min(std::max(kMinChunk, socket_.BytesWaiting()), kMaxAnswerSize + 1 - kept);
        if (whois_resp_.capacity() < kept + want) {
            whois_resp_.reserve(kept == 0 ? want : kMaxAnswerSize + 1);
            if (kept != 0) PreferLargePages(whois_resp_.data(), whois_resp_.capacity());
        }
        whois_resp_.resize(kept + want);
        const int count = socket_.Receive(whois_resp_.data() + kept, static_cast<int>(want));
        whois_resp_.resize(kept + static_cast<std::size_t>(std::max(count, 0)));
        if (whois_resp_.size() > kMaxAnswerSize) {
            whois_resp_.resize(kMaxAnswerSize);
            truncated_ = true;
            // Completes the exchange with what arrived, from inside this call;
            // the owner may start the next one there, so nothing of this
            // exchange is touched afterwards.
            socket_.Abort();
            return;
        }
        if (count < 1) break;
    }
}

void TWhoisCli::SessionClosed(ErrorCode code) {
    if (!busy_) return;
    Complete(code);
}

}  // namespace torvane::net
