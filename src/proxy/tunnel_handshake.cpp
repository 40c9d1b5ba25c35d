#include "proxy/tunnel_handshake.h"

#include <arpa/inet.h>

#include <algorithm>
#include <utility>

namespace torvane::proxy {

namespace {

constexpr char kSocksVersion = 0x05;
constexpr unsigned char kMethodNone = 0x00;
constexpr unsigned char kMethodUserPassword = 0x02;
constexpr unsigned char kNoAcceptableMethod = 0xFF;
constexpr char kAddressIPv4 = 0x01;
constexpr char kAddressName = 0x03;
constexpr char kAddressIPv6 = 0x04;

bool HasCredentials(const TunnelRequest& request) {
    return !request.user.empty() || !request.password.empty();
}

// A host goes into the request line as it is, so anything that would end or
// split that line is refused rather than escaped.
bool UsableInRequestLine(std::string_view host) {
    return std::none_of(host.begin(), host.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "HTTP/d.d SSS" with an optional reason after a space; the status, or 0.
int ParseStatusLine(std::string_view line) {
    if (line.size() < 12 || line.substr(0, 5) != "HTTP/" || !IsDigit(line[5]) || line[6] != '.' ||
        !IsDigit(line[7]) || line[8] != ' ' || !IsDigit(line[9]) || !IsDigit(line[10]) ||
        !IsDigit(line[11])) {
        return 0;
    }
    if (line.size() > 12 && line[12] != ' ') return 0;
    const int status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    return status >= 100 && status <= 599 ? status : 0;
}

TunnelOutcome SocksReplyOutcome(char reply) {
    switch (reply) {
        case 0x03:
            return TunnelOutcome::kNetworkUnreachable;
        case 0x04:
            return TunnelOutcome::kHostUnreachable;
        case 0x05:
            return TunnelOutcome::kConnectionRefused;
        case 0x06:
            // "TTL expired" is what proxies send when their connect to the
            // far end timed out.
            return TunnelOutcome::kTimedOut;
        default:
            return TunnelOutcome::kRefused;
    }
}

}  // namespace

std::string Base64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        text += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        text += left > 2 ? kAlphabet[group & 63] : '=';
    }
    return text;
}

TTunnelHandshake::TTunnelHandshake(TunnelRequest request) : request_(std::move(request)) {
    const TunnelRequest& r = request_;
    if (r.host.empty() || r.port == 0 || r.host.size() > kMaxFieldSize ||
        r.user.size() > kMaxFieldSize || r.password.size() > kMaxFieldSize) {
        Finish(TunnelOutcome::kInvalidRequest);
        return;
    }
    if (r.protocol == TunnelProtocol::kSocks5) {
        outgoing_ = HasCredentials(r) ? std::string{kSocksVersion, 2, char(kMethodNone),
                                                    char(kMethodUserPassword)}
                                      : std::string{kSocksVersion, 1, char(kMethodNone)};
        stage_ = Stage::kMethod;
        piece_size_ = 2;
        return;
    }
    if (!UsableInRequestLine(r.host)) {
        Finish(TunnelOutcome::kInvalidRequest);
        return;
    }
    const std::string authority = r.host + ":" + std::to_string(r.port);
    outgoing_ = "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n";
    if (HasCredentials(r)) {
        outgoing_ += "Proxy-Authorization: Basic " + Base64(r.user + ":" + r.password) + "\r\n";
    }
    outgoing_ += "\r\n";
    stage_ = Stage::kHttpHead;
}

std::string TTunnelHandshake::TakeOutgoing() { return std::exchange(outgoing_, {}); }

void TTunnelHandshake::Finish(TunnelOutcome outcome) {
    outcome_ = outcome;
    stage_ = Stage::kDone;
    piece_.clear();
    piece_.shrink_to_fit();
}

void TTunnelHandshake::PeerClosed() {
    if (outcome_ == TunnelOutcome::kPending) Finish(TunnelOutcome::kRefused);
}

std::size_t TTunnelHandshake::Feed(std::string_view bytes) {
    if (outcome_ != TunnelOutcome::kPending) return 0;
    return request_.protocol == TunnelProtocol::kSocks5 ? FeedSocks(bytes) : FeedHttp(bytes);
}

void TTunnelHandshake::QueueSocksConnect() {
    std::string message{kSocksVersion, 0x01, 0x00};
    in_addr address{};
    if (inet_pton(AF_INET, request_.host.c_str(), &address) == 1) {
        message += kAddressIPv4;
        message.append(reinterpret_cast<const char*>(&address), 4);
    } else {
        message += kAddressName;
        message += static_cast<char>(request_.host.size());
        message += request_.host;
    }
    message += static_cast<char>(request_.port >> 8);
    message += static_cast<char>(request_.port & 0xFF);
    outgoing_ += message;
    stage_ = Stage::kConnectHead;
    piece_size_ = 2;
}

std::size_t TTunnelHandshake::FeedSocks(std::string_view bytes) {
    std::size_t used = 0;
    while (outcome_ == TunnelOutcome::kPending && used < bytes.size()) {
        const std::size_t take = std::min(piece_size_ - piece_.size(), bytes.size() - used);
        piece_.append(bytes.substr(used, take));
        used += take;
        if (piece_.size() < piece_size_) break;

        const std::string piece = std::exchange(piece_, {});
        switch (stage_) {
            case Stage::kMethod: {
                const auto method = static_cast<unsigned char>(piece[1]);
                if (piece[0] != kSocksVersion) {
                    Finish(TunnelOutcome::kBadReply);
                } else if (method == kMethodNone) {
                    QueueSocksConnect();
                } else if (method == kMethodUserPassword && HasCredentials(request_)) {
                    std::string message{0x01, static_cast<char>(request_.user.size())};
                    message += request_.user;
                    message += static_cast<char>(request_.password.size());
                    message += request_.password;
                    outgoing_ += message;
                    stage_ = Stage::kAuth;
                    piece_size_ = 2;
                } else if (method == kNoAcceptableMethod) {
                    Finish(TunnelOutcome::kAuthRequired);
                } else {
                    // A method that was not offered.
                    Finish(TunnelOutcome::kBadReply);
                }
                break;
            }
            case Stage::kAuth:
                // RFC 1929 numbers this reply 1; some servers answer with 5.
                if (piece[0] != 0x01 && piece[0] != kSocksVersion) {
                    Finish(TunnelOutcome::kBadReply);
                } else if (piece[1] != 0) {
                    Finish(TunnelOutcome::kAuthRequired);
                } else {
                    QueueSocksConnect();
                }
                break;
            case Stage::kConnectHead:
                // Judged on these two bytes alone: a failing proxy may hang
                // up without sending the rest of its reply.
                socks_reply_ = static_cast<unsigned char>(piece[1]);
                if (piece[0] != kSocksVersion) {
                    Finish(TunnelOutcome::kBadReply);
                } else if (socks_reply_ != 0) {
                    Finish(SocksReplyOutcome(piece[1]));
                } else {
                    stage_ = Stage::kConnectAddressType;
                    piece_size_ = 2;
                }
                break;
            case Stage::kConnectAddressType:
                // The bound address that follows is read and dropped.
                stage_ = Stage::kConnectAddress;
                if (piece[1] == kAddressIPv4) {
                    piece_size_ = 4 + 2;
                } else if (piece[1] == kAddressIPv6) {
                    piece_size_ = 16 + 2;
                } else if (piece[1] == kAddressName) {
                    stage_ = Stage::kConnectNameLength;
                    piece_size_ = 1;
                } else {
                    Finish(TunnelOutcome::kBadReply);
                }
                break;
            case Stage::kConnectNameLength:
                stage_ = Stage::kConnectAddress;
                piece_size_ = static_cast<unsigned char>(piece[0]) + std::size_t{2};
                break;
            case Stage::kConnectAddress:
                Finish(TunnelOutcome::kOpen);
                break;
            case Stage::kHttpHead:
            case Stage::kDone:
                break;
        }
    }
    return used;
}

std::size_t TTunnelHandshake::FeedHttp(std::string_view bytes) {
    std::size_t used = 0;
    while (outcome_ == TunnelOutcome::kPending && used < bytes.size()) {
        const std::size_t line_end = bytes.find('\n', used);
        const std::size_t take =
            (line_end == std::string_view::npos ? bytes.size() : line_end + 1) - used;
        if (http_head_read_ + take > kMaxHttpReplyHead) {
            Finish(TunnelOutcome::kBadReply);
            return bytes.size();
        }
        http_head_read_ += take;
        piece_.append(bytes.substr(used, take));
        used += take;
        if (piece_.back() != '\n') break;
        if (!HttpLineDone()) piece_.clear();
    }
    return used;
}

// One whole line of the reply head in piece_; true once the handshake ended.
bool TTunnelHandshake::HttpLineDone() {
    std::string_view line(piece_);
    line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (http_status_ == 0) {
        http_status_ = ParseStatusLine(line);
        if (http_status_ == 0) {
            Finish(TunnelOutcome::kBadReply);
        } else if (http_status_ == 407 || http_status_ == 401) {
            // 401 is what some proxies (tinyproxy) send for wrong credentials.
            Finish(TunnelOutcome::kAuthRequired);
        } else if (http_status_ < 200 || http_status_ > 299) {
            // What follows (headers, an error page) is not needed to say no.
            Finish(TunnelOutcome::kRefused);
        }
        return outcome_ != TunnelOutcome::kPending;
    }
    // Header lines say nothing the tunnel needs; the empty line ends the head.
    if (line.empty()) Finish(TunnelOutcome::kOpen);
    return outcome_ != TunnelOutcome::kPending;
}

}  // namespace torvane::proxy
