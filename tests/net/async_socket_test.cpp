// TAsyncSocket on loopback: lookup, connect, close notifications, abort and
// the guard around the owner's handlers.

#include "net/async_socket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "net_test_support.h"

namespace torvane::net {
namespace {

using namespace testing;

// Every event of one socket as text.
struct SocketLog {
    Events events;
    void Attach(TAsyncSocket& socket) {
        socket.OnDnsLookupDone = [this](ErrorCode c) {
            events.push_back("lookup " + std::to_string(c));
        };
        socket.OnSessionConnected = [this](ErrorCode c) {
            events.push_back("connected " + std::to_string(c));
        };
        socket.OnDataAvailable = [this] { events.push_back("data"); };
        socket.OnSessionClosed = [this](ErrorCode c) {
            events.push_back("closed " + std::to_string(c));
        };
    }
    bool Saw(const std::string& event) const {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    bool WaitFor(const std::string& event) {
        return QTest::qWaitFor([&] { return Saw(event); }, 10000);
    }
};

class AsyncSocketTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::EnsureQtApp();
        ClearHostMap();
    }
    void TearDown() override { ClearHostMap(); }

    static void ConnectTo(TAsyncSocket& socket, std::uint16_t port) {
        socket.SetAddr("127.0.0.1");
        socket.SetProto("tcp");
        socket.SetPort(std::to_string(port));
        socket.Connect();
    }
};

// A bare listening socket, for watching what the peer of a TAsyncSocket sees.
class RawListener {
  public:
    RawListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 4);
        socklen_t size = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~RawListener() {
        if (peer_ >= 0) ::close(peer_);
        ::close(fd_);
    }
    std::uint16_t port() const { return port_; }
    int Accept() { return peer_ = ::accept(fd_, nullptr, nullptr); }
    // errno of the first failing read, 0 for an orderly end of stream.
    int ReadUntilEnd() {
        char buffer[256];
        for (;;) {
            pollfd p{peer_, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0) return -1;
            const ssize_t n = ::recv(peer_, buffer, sizeof buffer, 0);
            if (n == 0) return 0;
            if (n < 0) return errno;
        }
    }

  private:
    int fd_ = -1;
    int peer_ = -1;
    std::uint16_t port_ = 0;
};

TEST(ServicePort, AcceptsNumbersAndServiceNames) {
    EXPECT_EQ(ServicePort("whois"), 43);
    EXPECT_EQ(ServicePort("43"), 43);
    EXPECT_EQ(ServicePort("65535"), 65535);
    for (const char* bad : {"0", "65536", "", "no-such-service", "-1"}) {
        EXPECT_THROW(ServicePort(bad), std::runtime_error) << bad;
    }
}

TEST_F(AsyncSocketTest, DottedAddressLookupCompletesInsideTheCall) {
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    socket.DnsLookup("192.0.2.7");
    EXPECT_EQ(log.events, (Events{"lookup 0"}));
    EXPECT_EQ(socket.DnsResult(), "192.0.2.7");
}

TEST_F(AsyncSocketTest, EmptyHostIsRefusedWithTheMessage) {
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    try {
        socket.DnsLookup("");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "DNS lookup: invalid host name.");
    }
    EXPECT_TRUE(log.events.empty());
}

TEST_F(AsyncSocketTest, NameLookupCompletesFromTheEventLoopWithTheFirstIPv4Address) {
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    socket.DnsLookup("localhost");
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(socket.GetState(), TAsyncSocket::State::Resolving);
    ASSERT_TRUE(log.WaitFor("lookup 0"));
    EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
}

TEST_F(AsyncSocketTest, LookupFailuresCarryResolverCodes) {
    const struct {
        const char* host;
        const char* event;
    } cases[] = {
        {"bad..host.invalid", "lookup 11001"},    // rejected before any DNS traffic
        {"\x93\xfa\x96\x7b.jp", "lookup 11001"},  // not ASCII: cannot be a host name
    };
    for (const auto& c : cases) {
        TAsyncSocket socket;
        SocketLog log;
        log.Attach(socket);
        socket.DnsLookup(c.host);
        ASSERT_TRUE(log.WaitFor(c.event)) << c.host;
        SettleEventLoop();
        EXPECT_EQ(log.events, (Events{c.event})) << c.host;
    }
}

TEST_F(AsyncSocketTest, CancelledLookupCompletesOnceWith10004) {
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    socket.DnsLookup("localhost");
    socket.CancelDnsLookup();
    socket.CancelDnsLookup();
    EXPECT_EQ(log.events, (Events{"lookup 10004"}));
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"lookup 10004"}));
    EXPECT_EQ(socket.GetState(), TAsyncSocket::State::Idle);
}

TEST_F(AsyncSocketTest, HostMapPortReplacesThePortGiven) {
    LoopbackServers servers({Answering("mapped.test", "hello")});
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    socket.DnsLookup("mapped.test");
    ASSERT_EQ(log.events, (Events{"lookup 0"}));
    socket.SetAddr(socket.DnsResult());
    socket.SetPort("whois");
    socket.Connect();
    ASSERT_TRUE(log.WaitFor("connected 0"));
    EXPECT_EQ(socket.GetState(), TAsyncSocket::State::Connected);
    socket.SendStr("q\r\n");
    ASSERT_TRUE(log.WaitFor("closed 0"));
    EXPECT_EQ(servers->Queries("mapped.test"), (Events{"q\r\n"}));
}

TEST_F(AsyncSocketTest, RemoteCloseRaisesSessionClosedOnceAfterTheData) {
    LoopbackServers servers({Answering("close.test", "data")});
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    std::string received;
    socket.OnDataAvailable = [&] {
        log.events.push_back("data");
        char buffer[16];
        for (int n; (n = socket.Receive(buffer, sizeof buffer)) > 0;) received.append(buffer, n);
    };
    ConnectTo(socket, servers->Port("close.test"));
    ASSERT_TRUE(log.WaitFor("connected 0"));
    char buffer[16];
    EXPECT_LT(socket.Receive(buffer, sizeof buffer), 0);  // nothing waiting yet
    socket.SendStr("x\r\n");
    ASSERT_TRUE(log.WaitFor("closed 0"));
    socket.Close();
    socket.Abort();
    SettleEventLoop();
    EXPECT_EQ(received, "data");
    EXPECT_EQ(log.events.back(), "closed 0");
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "closed 0"), 1);
    EXPECT_EQ(log.events.front(), "connected 0");
}

TEST_F(AsyncSocketTest, FailedConnectGivesItsCodeAndCloseStillNotifiesOnce) {
    ServerConfig refusing;
    refusing.name = "refuse.test";
    refusing.refuse = true;
    LoopbackServers servers({refusing});
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    ConnectTo(socket, servers->Port("refuse.test"));
    ASSERT_TRUE(log.WaitFor("connected 10061"));
    EXPECT_EQ(socket.GetState(), TAsyncSocket::State::ConnectFailed);
    socket.Close();
    socket.Close();
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 10061", "closed 0"}));
}

TEST_F(AsyncSocketTest, ResetByThePeerClosesWith10054) {
    ServerConfig resetting;
    resetting.name = "rst.test";
    resetting.default_answer = "some bytes";
    resetting.reset = true;
    LoopbackServers servers({resetting});
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    ConnectTo(socket, servers->Port("rst.test"));
    ASSERT_TRUE(log.WaitFor("connected 0"));
    socket.SendStr("q\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.events.back().rfind("closed", 0) == 0; }, 10000));
    EXPECT_EQ(log.events.back(), "closed 10054");
}

TEST_F(AsyncSocketTest, AbortResetsTheConnectionAndNotifiesInsideTheCall) {
    RawListener peer;
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    ConnectTo(socket, peer.port());
    ASSERT_TRUE(log.WaitFor("connected 0"));
    ASSERT_GE(peer.Accept(), 0);
    socket.SendStr("unsent?");
    socket.Abort();
    EXPECT_EQ(log.events, (Events{"connected 0", "closed 0"}));
    EXPECT_EQ(socket.GetState(), TAsyncSocket::State::Idle);
    // Linger off: the peer sees a reset, not an orderly end.
    EXPECT_EQ(peer.ReadUntilEnd(), ECONNRESET);
}

TEST_F(AsyncSocketTest, GracefulCloseSendsQueuedDataAndEndsOrderly) {
    RawListener peer;
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    ConnectTo(socket, peer.port());
    ASSERT_TRUE(log.WaitFor("connected 0"));
    ASSERT_GE(peer.Accept(), 0);
    socket.SendStr("abc\r\n");
    socket.Close();
    ASSERT_TRUE(log.WaitFor("closed 0"));
    EXPECT_EQ(peer.ReadUntilEnd(), 0);
}

TEST_F(AsyncSocketTest, ExceptionFromADataHandlerAbortsTheSocket) {
    ServerConfig holding = Answering("guard.test", "bytes");
    holding.hold = true;
    LoopbackServers servers({holding});
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    socket.OnDataAvailable = [&] {
        log.events.push_back("data");
        throw std::runtime_error("owner failed");
    };
    ConnectTo(socket, servers->Port("guard.test"));
    ASSERT_TRUE(log.WaitFor("connected 0"));
    socket.SendStr("q\r\n");
    ASSERT_TRUE(log.WaitFor("closed 0"));
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 0", "data", "closed 0"}));
    EXPECT_EQ(socket.GetState(), TAsyncSocket::State::Idle);
}

TEST_F(AsyncSocketTest, ExceptionFromSessionClosedEndsEverything) {
    LoopbackServers servers({Answering("closed-throw.test", "bytes")});
    TAsyncSocket socket;
    SocketLog log;
    log.Attach(socket);
    socket.OnSessionClosed = [&](ErrorCode c) {
        log.events.push_back("closed " + std::to_string(c));
        throw std::runtime_error("owner failed");
    };
    ConnectTo(socket, servers->Port("closed-throw.test"));
    ASSERT_TRUE(log.WaitFor("connected 0"));
    socket.SendStr("q\r\n");
    ASSERT_TRUE(log.WaitFor("closed 0"));
    socket.Abort();
    SettleEventLoop();
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "closed 0"), 1);
    EXPECT_EQ(log.events.back(), "closed 0");
}

TEST_F(AsyncSocketTest, ConnectRejectsWhatItCannotReach) {
    TAsyncSocket socket;
    socket.SetAddr("localhost");
    socket.SetPort("43");
    EXPECT_THROW(socket.Connect(), std::runtime_error);
    socket.SetAddr("127.0.0.1");
    socket.SetProto("udp");
    EXPECT_THROW(socket.Connect(), std::runtime_error);
}

}  // namespace
}  // namespace torvane::net
