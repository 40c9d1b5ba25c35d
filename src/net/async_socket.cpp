#include "net/async_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostAddress>
#include <QHostInfo>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <stdexcept>

#include "net/host_map.h"

namespace torvane::net {

// One TCP connection, from Connect() until its OnSessionClosed. While the
// connect runs, `fd` is our own non-blocking socket: connecting ourselves
// gives the platform's exact error (Qt folds unreachable and timed out into
// one NetworkError). Once connected the socket is handed to QTcpSocket and
// `fd` becomes a duplicate of it, kept so that the close reason (orderly
// close or reset) can still be read after Qt has read the end of the stream,
// and so that an abort can switch linger off.
struct TAsyncSocket::Connection {
    std::uint64_t serial = 0;
    int fd = -1;
    QSocketNotifier* connect_notifier = nullptr;
    // Through a proxy: the handshake after the TCP connect, and the notifier
    // that reads its replies.
    std::optional<proxy::TTunnelHandshake> handshake;
    QSocketNotifier* handshake_notifier = nullptr;
    QTcpSocket* tcp = nullptr;
    bool failed = false;
    bool local_close = false;
    bool closed_raised = false;
    ErrorCode transfer_error = kNoError;
};

namespace {

bool IsDottedIPv4(const std::string& text, in_addr* address) {
    return inet_pton(AF_INET, text.c_str(), address) == 1;
}

ErrorCode CodeFromTunnelOutcome(proxy::TunnelOutcome outcome) {
    using proxy::TunnelOutcome;
    switch (outcome) {
        case TunnelOutcome::kPending:
        case TunnelOutcome::kOpen:
            return kNoError;
        case TunnelOutcome::kAuthRequired:
            return kProxyAuthRequired;
        case TunnelOutcome::kRefused:
            return kProxyRefused;
        case TunnelOutcome::kNetworkUnreachable:
            return kWsaEnetunreach;
        case TunnelOutcome::kHostUnreachable:
            return kWsaEhostunreach;
        case TunnelOutcome::kConnectionRefused:
            return kWsaEconnrefused;
        case TunnelOutcome::kTimedOut:
            return kWsaEtimedout;
        case TunnelOutcome::kBadReply:
            return kProxyBadReply;
        case TunnelOutcome::kInvalidRequest:
            return kWsaEinval;
    }
    return kProxyBadReply;
}

void DropNotifier(QSocketNotifier*& notifier) {
    if (!notifier) return;
    notifier->setEnabled(false);
    // We may be inside its signal.
    notifier->deleteLater();
    notifier = nullptr;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::uint16_t ServicePort(const std::string& port) {
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (ec == std::errc() && end == port.data() + port.size()) {
        if (number == 0 || number > 65535) throw std::runtime_error(port + ": invalid port");
        return static_cast<std::uint16_t>(number);
    }
    servent entry{};
    servent* found = nullptr;
    char buffer[1024];
    if (getservbyname_r(port.c_str(), "tcp", &entry, buffer, sizeof buffer, &found) == 0 && found) {
        return ntohs(static_cast<std::uint16_t>(found->s_port));
    }
    // Minimal systems may ship without a services table; WHOIS must still work.
    if (port == "whois") return 43;
    throw std::runtime_error(port + ": can't resolve port");
}

TAsyncSocket::TAsyncSocket() {
    connect_timer_.setSingleShot(true);
    QObject::connect(&connect_timer_, &QTimer::timeout, &context_, [this] {
        if (!connection_ || connection_->tcp || connection_->failed || connection_->closed_raised)
            return;
        // The half-open socket stays until Close or Abort releases it; closing
        // it then drops the connect the system would still be retrying.
        FinishConnect(connection_->serial, kWsaEtimedout);
    });
}

TAsyncSocket::~TAsyncSocket() {
    if (resolving_) QHostInfo::abortHostLookup(lookup_id_);
    if (connection_ && connection_->tcp && connection_->fd >= 0) {
        const linger off{1, 0};
        setsockopt(connection_->fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    }
    ReleaseConnection();
}

template <typename Handler, typename... Args>
void TAsyncSocket::Raise(const Handler& handler, Args... args) {
    if (!handler) return;
    try {
        // A copy, because the handler may replace itself while it runs.
        Handler call = handler;
        call(args...);
    } catch (...) {
        // An owner's error must not unwind through Qt's event loop; the
        // exchange it belonged to is given up instead.
        Abort();
    }
}

void TAsyncSocket::DnsLookup(const std::string& host) {
    if (host.empty()) throw std::runtime_error("DNS lookup: invalid host name.");
    if (resolving_) {
        QHostInfo::abortHostLookup(lookup_id_);
        resolving_ = false;
    }
    const std::uint64_t serial = ++lookup_serial_;
    std::string name = host;
    mapped_port_.reset();
    if (std::optional<HostMapping> mapping = MappedHost(host)) {
        name = mapping->address;
        mapped_port_ = mapping->port;
    }
    dns_result_.clear();

    in_addr address{};
    if (IsDottedIPv4(name, &address)) {
        dns_result_ = name;
        Raise(OnDnsLookupDone, kNoError);
        return;
    }
    resolving_ = true;
    if (!IsAscii(name)) {
        // Host names on the wire are ASCII (internationalised names arrive
        // here already in Punycode); anything else cannot exist.
        QMetaObject::invokeMethod(
            &context_, [this, serial] { HandleLookupResult(serial, QHostInfo::HostNotFound, {}); },
            Qt::QueuedConnection);
        return;
    }
    lookup_id_ = QHostInfo::lookupHost(QString::fromLatin1(name.data(), qsizetype(name.size())),
                                       &context_, [this, serial](const QHostInfo& info) {
                                           std::string first_ipv4;
                                           for (const QHostAddress& a : info.addresses()) {
                                               if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                                                   first_ipv4 = a.toString().toStdString();
                                                   break;
                                               }
                                           }
                                           HandleLookupResult(serial, info.error(), first_ipv4);
                                       });
}

void TAsyncSocket::HandleLookupResult(std::uint64_t serial, int error,
                                      const std::string& first_ipv4) {
    if (!resolving_ || serial != lookup_serial_) return;
    resolving_ = false;
    ErrorCode code = CodeFromLookupError(static_cast<QHostInfo::HostInfoError>(error));
    if (code == kNoError && first_ipv4.empty()) code = kWsaNoData;
    if (code == kNoError) dns_result_ = first_ipv4;
    Raise(OnDnsLookupDone, code);
}

void TAsyncSocket::CancelDnsLookup() {
    if (!resolving_) return;
    QHostInfo::abortHostLookup(lookup_id_);
    resolving_ = false;
    ++lookup_serial_;
    Raise(OnDnsLookupDone, kWsaEintr);
}

void TAsyncSocket::Connect() {
    if (proto_ != "tcp") throw std::runtime_error(proto_ + ": unsupported protocol");
    in_addr address{};
    if (!IsDottedIPv4(addr_, &address)) throw std::runtime_error(addr_ + ": invalid address");
    const std::uint16_t port = mapped_port_ ? *mapped_port_ : ServicePort(port_);

    if (connection_ && !connection_->closed_raised) Abort();
    ReleaseConnection();

    auto connection = std::make_unique<Connection>();
    const std::uint64_t serial = connection->serial = ++connection_serial_;
    if (tunnel_) connection->handshake.emplace(*tunnel_);
    proxy_http_status_ = 0;
    connection->fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int outcome = 0;
    if (connection->fd < 0) {
        outcome = errno;
    } else {
        sockaddr_in remote{};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(port);
        remote.sin_addr = address;
        if (::connect(connection->fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) !=
            0) {
            outcome = errno;
        }
    }
    connection_ = std::move(connection);

    if (outcome == EINPROGRESS) {
        auto* notifier = new QSocketNotifier(connection_->fd, QSocketNotifier::Write);
        connection_->connect_notifier = notifier;
        QObject::connect(notifier, &QSocketNotifier::activated, &context_, [this, serial] {
            if (!connection_ || connection_->serial != serial) return;
            int error_number = 0;
            socklen_t size = sizeof error_number;
            if (getsockopt(connection_->fd, SOL_SOCKET, SO_ERROR, &error_number, &size) != 0)
                error_number = errno;
            TcpConnectDone(serial, error_number);
        });
        if (connect_timeout_.count() > 0) connect_timer_.start(connect_timeout_);
        return;
    }
    // Finished already (loopback can do that); the outcome still arrives
    // from the event loop like every other connect.
    QMetaObject::invokeMethod(
        &context_, [this, serial, outcome] { TcpConnectDone(serial, outcome); },
        Qt::QueuedConnection);
    if (connect_timeout_.count() > 0) connect_timer_.start(connect_timeout_);
}

void TAsyncSocket::TcpConnectDone(std::uint64_t serial, int error_number) {
    if (!connection_ || connection_->serial != serial || connection_->closed_raised) return;
    if (!connection_->handshake) {
        FinishConnect(serial, CodeFromErrno(error_number));
        return;
    }
    if (error_number != 0) {
        // Whatever kept the proxy out of reach, the server was never asked;
        // only a timeout keeps its own code, as it does without a proxy.
        FinishConnect(serial, error_number == ETIMEDOUT ? kWsaEtimedout : kProxyUnreachable);
        return;
    }
    DropNotifier(connection_->connect_notifier);
    StartHandshake();
}

void TAsyncSocket::StartHandshake() {
    Connection& c = *connection_;
    const std::uint64_t serial = c.serial;
    auto* notifier = new QSocketNotifier(c.fd, QSocketNotifier::Read);
    c.handshake_notifier = notifier;
    QObject::connect(notifier, &QSocketNotifier::activated, &context_,
                     [this, serial] { ContinueHandshake(serial); });
    // The first message goes out now; the rest follow the proxy's replies.
    ContinueHandshake(serial);
}

void TAsyncSocket::ContinueHandshake(std::uint64_t serial) {
    if (!connection_ || connection_->serial != serial || connection_->closed_raised ||
        connection_->failed || !connection_->handshake)
        return;
    Connection& c = *connection_;
    proxy::TTunnelHandshake& handshake = *c.handshake;
    if (handshake.GetOutcome() == proxy::TunnelOutcome::kPending) {
        // Peeked, so that what follows the handshake stays on the socket for
        // the tunnel; only the bytes the handshake took are then read away.
        char buffer[4096];
        const ssize_t count = ::recv(c.fd, buffer, sizeof buffer, MSG_PEEK);
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            // Nothing yet (the first round, before the proxy has spoken).
        } else if (count <= 0) {
            handshake.PeerClosed();
        } else {
            const std::size_t used =
                handshake.Feed(std::string_view(buffer, static_cast<std::size_t>(count)));
            if (used > 0 && ::recv(c.fd, buffer, used, 0) != static_cast<ssize_t>(used)) {
                handshake.PeerClosed();
            }
        }
    }
    const std::string outgoing = handshake.TakeOutgoing();
    if (!outgoing.empty()) {
        // A handshake message is a few hundred bytes at most and goes first
        // on a new connection: the send buffer always has room for it.
        const ssize_t sent = ::send(c.fd, outgoing.data(), outgoing.size(), MSG_NOSIGNAL);
        if (sent != static_cast<ssize_t>(outgoing.size())) {
            FinishConnect(serial, kProxyRefused);
            return;
        }
    }
    if (handshake.GetOutcome() == proxy::TunnelOutcome::kPending) return;
    FinishConnect(serial, CodeFromTunnelOutcome(handshake.GetOutcome()));
}

void TAsyncSocket::FinishConnect(std::uint64_t serial, ErrorCode code) {
    if (!connection_ || connection_->serial != serial || connection_->closed_raised) return;
    connect_timer_.stop();
    Connection& c = *connection_;
    int error_number = 0;
    DropNotifier(c.connect_notifier);
    DropNotifier(c.handshake_notifier);
    if (c.handshake) proxy_http_status_ = c.handshake->HttpStatus();
    int watch = -1;
    if (code == kNoError) {
        watch = fcntl(c.fd, F_DUPFD_CLOEXEC, 0);
        if (watch < 0) error_number = errno;
    }
    if (code == kNoError && error_number == 0) {
        auto* tcp = new QTcpSocket();
        if (!tcp->setSocketDescriptor(c.fd, QAbstractSocket::ConnectedState,
                                      QIODevice::ReadWrite)) {
            error_number = EINVAL;
            delete tcp;
            ::close(watch);
        } else {
            c.fd = watch;
            c.tcp = tcp;
            QObject::connect(tcp, &QTcpSocket::readyRead, &context_,
                             [this, serial] { HandleReadyRead(serial); });
            QObject::connect(tcp, &QAbstractSocket::errorOccurred, &context_,
                             [this, serial](QAbstractSocket::SocketError error) {
                                 if (connection_ && connection_->serial == serial &&
                                     error != QAbstractSocket::RemoteHostClosedError) {
                                     connection_->transfer_error = CodeFromSocketError(error);
                                 }
                             });
            QObject::connect(tcp, &QAbstractSocket::disconnected, &context_,
                             [this, serial] { HandleDisconnected(serial); });
        }
    }
    if (code == kNoError) code = CodeFromErrno(error_number);
    if (code != kNoError) c.failed = true;
    Raise(OnSessionConnected, code);
}

void TAsyncSocket::HandleReadyRead(std::uint64_t serial) {
    if (!connection_ || connection_->serial != serial || connection_->closed_raised) return;
    Raise(OnDataAvailable);
}

void TAsyncSocket::HandleDisconnected(std::uint64_t serial) {
    if (!connection_ || connection_->serial != serial || connection_->closed_raised) return;
    if (connection_->local_close) {
        FinishSession(kNoError);
        return;
    }
    // Bytes that arrived together with the end of the stream are offered
    // before the close, so the owner never loses the tail of an answer.
    if (connection_->tcp->bytesAvailable() > 0) {
        Raise(OnDataAvailable);
        if (!connection_ || connection_->serial != serial || connection_->closed_raised) return;
    }
    FinishSession(RemoteCloseCode());
}

ErrorCode TAsyncSocket::RemoteCloseCode() const {
    const Connection& c = *connection_;
    int error_number = 0;
    socklen_t size = sizeof error_number;
    if (getsockopt(c.fd, SOL_SOCKET, SO_ERROR, &error_number, &size) == 0 && error_number != 0) {
        return CodeFromErrno(error_number);
    }
    // Qt reads a reset as the end of the stream. An orderly close by the
    // peer leaves our side in CLOSE_WAIT (the duplicate keeps it open);
    // a reset takes the connection straight to CLOSE.
    tcp_info info{};
    socklen_t info_size = sizeof info;
    if (getsockopt(c.fd, IPPROTO_TCP, TCP_INFO, &info, &info_size) == 0 &&
        info.tcpi_state == TCP_CLOSE) {
        return kWsaEconnreset;
    }
    return c.transfer_error;
}

void TAsyncSocket::FinishSession(ErrorCode code) {
    if (!connection_ || connection_->closed_raised) return;
    connection_->closed_raised = true;
    // Released before the event, so that the handler can start the next
    // exchange on this socket at once.
    ReleaseConnection();
    Raise(OnSessionClosed, code);
}

void TAsyncSocket::ReleaseConnection() {
    connect_timer_.stop();
    if (!connection_) return;
    std::unique_ptr<Connection> c = std::move(connection_);
    DropNotifier(c->connect_notifier);
    DropNotifier(c->handshake_notifier);
    if (c->tcp) {
        QObject::disconnect(c->tcp, nullptr, &context_, nullptr);
        c->tcp->abort();
        // We may be inside one of its signals.
        c->tcp->deleteLater();
    }
    if (c->fd >= 0) ::close(c->fd);
}

void TAsyncSocket::SendStr(const std::string& data) {
    if (!connection_ || !connection_->tcp || connection_->local_close || connection_->closed_raised)
        return;
    connection_->tcp->write(data.data(), qint64(data.size()));
}

int TAsyncSocket::Receive(char* buffer, int length) {
    if (!connection_ || !connection_->tcp || length <= 0) return -1;
    const qint64 count = connection_->tcp->read(buffer, length);
    return count > 0 ? int(count) : -1;
}

std::size_t TAsyncSocket::BytesWaiting() const {
    if (!connection_ || !connection_->tcp) return 0;
    return static_cast<std::size_t>(std::max<qint64>(connection_->tcp->bytesAvailable(), 0));
}

void TAsyncSocket::Close() {
    CancelDnsLookup();
    if (!connection_ || connection_->closed_raised) return;
    const std::uint64_t serial = connection_->serial;
    connection_->local_close = true;
    if (connection_->tcp) {
        connection_->tcp->disconnectFromHost();
        // Done at once unless data is still being sent; then `disconnected`
        // finishes it later.
        if (connection_ && connection_->serial == serial &&
            connection_->tcp->state() == QAbstractSocket::UnconnectedState) {
            FinishSession(kNoError);
        }
        return;
    }
    FinishSession(kNoError);
}

void TAsyncSocket::Abort() {
    CancelDnsLookup();
    if (!connection_ || connection_->closed_raised) return;
    const std::uint64_t serial = connection_->serial;
    connection_->local_close = true;
    if (connection_->tcp) {
        const linger off{1, 0};
        setsockopt(connection_->fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
        connection_->tcp->abort();
    }
    if (connection_ && connection_->serial == serial) FinishSession(kNoError);
}

TAsyncSocket::State TAsyncSocket::GetState() const {
    if (resolving_) return State::Resolving;
    if (!connection_) return State::Idle;
    if (connection_->tcp) return connection_->local_close ? State::Closing : State::Connected;
    return connection_->failed ? State::ConnectFailed : State::Connecting;
}

}  // namespace torvane::net
