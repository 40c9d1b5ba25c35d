// Wall time of one WHOIS exchange with the loopback test server: TWhoisCli
// (lookup of a mapped name, connect, send, collect until close, all through
// the Qt event loop) next to a minimal blocking socket client doing the same
// exchange, which is the floor on this machine. Answers of 4 KiB and 1 MiB.
//
//   ./build/bench/net/net_exchange_bench

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <string>

#include "net/host_map.h"
#include "net/whois_cli.h"
#include "whois_test_server.h"

namespace {

using torvane::net::TWhoisCli;
using torvane::testserver::ServerConfig;
using torvane::testserver::WhoisTestServer;

std::string AnswerOfSize(std::size_t size) {
    std::string answer;
    for (int i = 0; answer.size() < size; ++i)
        answer += "line " + std::to_string(i) + ": some registry data\r\n";
    answer.resize(size);
    return answer;
}

WhoisTestServer& Servers() {
    static WhoisTestServer* server = [] {
        ServerConfig small;
        small.name = "4k.bench";
        small.default_answer = AnswerOfSize(4 * 1024);
        ServerConfig large;
        large.name = "1m.bench";
        large.default_answer = AnswerOfSize(1024 * 1024);
        auto* s = new WhoisTestServer({small, large});
        s->Start();
        for (const char* name : {"4k.bench", "1m.bench"}) {
            torvane::net::AddHostMapping({name, "127.0.0.1", s->Port(name)});
        }
        return s;
    }();
    return *server;
}

const char* HostFor(const benchmark::State& state) {
    return state.range(0) == 4 ? "4k.bench" : "1m.bench";
}
std::size_t SizeFor(const benchmark::State& state) {
    return state.range(0) == 4 ? 4 * 1024 : 1024 * 1024;
}

void BM_WhoisCli(benchmark::State& state) {
    const char* host = HostFor(state);
    Servers();
    TWhoisCli client;
    QEventLoop loop;
    torvane::net::ErrorCode last = 0;
    client.OnQueryDone = [&](TWhoisCli*, torvane::net::ErrorCode code) {
        last = code;
        loop.quit();
    };
    client.Host = host;
    client.Query = "bench.example";
    for (auto _ : state) {
        client.StartQuery();
        loop.exec();
        if (last != 0 || client.WhoisResp().size() != SizeFor(state)) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(SizeFor(state)));
}

void BM_BlockingFloor(benchmark::State& state) {
    const std::uint16_t port = Servers().Port(HostFor(state));
    const std::string query = "bench.example\r\n";
    std::string answer;
    char buffer[65536];
    for (auto _ : state) {
        answer.clear();
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            state.SkipWithError("connect failed");
            ::close(fd);
            break;
        }
        ::send(fd, query.data(), query.size(), MSG_NOSIGNAL);
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, std::size_t(n));
        ::close(fd);
        if (answer.size() != SizeFor(state)) {
            state.SkipWithError("short answer");
            break;
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(SizeFor(state)));
}

// Argument: answer size in KiB.
BENCHMARK(BM_WhoisCli)->Arg(4)->Arg(1024)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_BlockingFloor)->Arg(4)->Arg(1024)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
