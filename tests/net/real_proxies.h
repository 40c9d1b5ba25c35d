#pragma once
// Real proxy servers for tests: Debian's tinyproxy (HTTP CONNECT) and danted
// (dante-server, SOCKS5), each started on a free 127.0.0.1 port with a
// configuration written to its own temporary folder, accepting clients from
// 127.0.0.0/8 only, and stopped when the object goes. scripts/setup installs
// both; a missing program or a proxy that does not start throws
// std::runtime_error, so the test fails instead of being skipped. A port
// taken by someone else between the choice and the start is retried on
// another.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/proxy_endpoint.h"

namespace torvane::net::testing {

// A port on 127.0.0.1 that was free a moment ago: nothing listens there
// unless someone took it since.
inline std::uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd >= 0) ::close(fd);
        throw std::runtime_error("no free port");
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

struct TinyproxyOptions {
    // Ports CONNECT may reach; empty allows every port.
    std::vector<std::uint16_t> connect_ports;
    // Both set: the proxy asks for these credentials (Basic).
    std::string user;
    std::string password;
};

struct DantedOptions {
    // True: the proxy accepts only the username/password method (checked
    // against the system's accounts), so a client without credentials finds
    // no acceptable method.
    bool require_username = false;
};

class RealProxy {
  public:
    // Starts `program` with `arguments`, where "{dir}" stands for the
    // temporary folder, after writing `config` to {dir}/proxy.conf, and
    // waits (10 s at most) until `port` accepts connections.
    RealProxy(const std::string& program, std::vector<std::string> arguments,
              const std::string& config_template, std::uint16_t port)
        : port_(port) {
        const QString path = QStandardPaths::findExecutable(QString::fromStdString(program));
        const QString in_sbin =
            QStandardPaths::findExecutable(QString::fromStdString(program), {"/usr/sbin", "/sbin"});
        const QString executable = path.isEmpty() ? in_sbin : path;
        if (executable.isEmpty())
            throw std::runtime_error(program + " is not installed (scripts/setup installs it)");
        if (!dir_.isValid()) throw std::runtime_error("no temporary folder for " + program);
        const std::string dir = dir_.path().toStdString();
        std::ofstream(dir + "/proxy.conf") << Substitute(config_template, dir);
        QStringList list;
        for (const std::string& argument : arguments)
            list << QString::fromStdString(Substitute(argument, dir));
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->setStandardOutputFile(QString::fromStdString(dir + "/output.txt"));
        process_->start(executable, list);
        if (!process_->waitForStarted(10000)) throw std::runtime_error(program + " did not start");
        const bool listening = QTest::qWaitFor(
            [&] { return process_->state() != QProcess::Running || Accepts(port_); }, 10000);
        if (!listening || process_->state() != QProcess::Running) {
            throw std::runtime_error(program + " did not listen on port " + std::to_string(port_) +
                                     ": " + Output() + Log());
        }
    }
    ~RealProxy() {
        if (process_->state() == QProcess::NotRunning) return;
        process_->terminate();
        if (!process_->waitForFinished(10000)) process_->kill(), process_->waitForFinished(5000);
    }
    RealProxy(const RealProxy&) = delete;
    RealProxy& operator=(const RealProxy&) = delete;

    std::uint16_t Port() const { return port_; }
    // The proxy as a user names it in a variable: "SCHEME://127.0.0.1:PORT".
    std::string Url(const std::string& scheme) const {
        return scheme + "://127.0.0.1:" + std::to_string(port_);
    }
    ProxyEndpoint Endpoint(ProxyKind kind, std::string user = {}, std::string password = {}) const {
        return {kind, "127.0.0.1", port_, std::move(user), std::move(password)};
    }
    // What the proxy wrote to its log file ({dir}/proxy.log), and to its
    // standard output and error.
    std::string Log() const { return Read(dir_.path().toStdString() + "/proxy.log"); }
    std::string Output() const { return Read(dir_.path().toStdString() + "/output.txt"); }

  private:
    static std::string Substitute(std::string text, const std::string& dir) {
        for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;)
            text.replace(at, 5, dir);
        return text;
    }
    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    static bool Accepts(std::uint16_t port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool connected =
            fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0) ::close(fd);
        return connected;
    }

    std::uint16_t port_;
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> process_;
};

// Starts `program` as RealProxy does, with the configuration `config_for`
// writes for a port, on a free port; a start that fails (the port taken
// meanwhile) is tried again on another, and the third failure is thrown.
template <typename ConfigFor>
std::unique_ptr<RealProxy> StartOnFreePort(const std::string& program,
                                           const std::vector<std::string>& arguments,
                                           ConfigFor config_for) {
    for (int attempt = 1;; ++attempt) {
        const std::uint16_t port = FreeLoopbackPort();
        try {
            return std::make_unique<RealProxy>(program, arguments, config_for(port), port);
        } catch (const std::runtime_error&) {
            if (attempt == 3) throw;
        }
    }
}

// tinyproxy in the foreground, listening on 127.0.0.1 only.
inline std::unique_ptr<RealProxy> StartTinyproxy(const TinyproxyOptions& options = {}) {
    return StartOnFreePort("tinyproxy", {"-d", "-c", "{dir}/proxy.conf"}, [&](std::uint16_t port) {
        std::string config = "Port " + std::to_string(port) +
                             "\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 30\nMaxClients 20\n"
                             "LogFile \"{dir}/proxy.log\"\nLogLevel Info\n";
        for (std::uint16_t allowed : options.connect_ports)
            config += "ConnectPort " + std::to_string(allowed) + "\n";
        if (!options.user.empty())
            config += "BasicAuth " + options.user + " " + options.password + "\n";
        return config;
    });
}

// danted in the foreground with one worker, listening on 127.0.0.1 and
// connecting out from 127.0.0.1.
inline std::unique_ptr<RealProxy> StartDanted(const DantedOptions& options = {}) {
    return StartOnFreePort(
        "danted", {"-f", "{dir}/proxy.conf", "-N", "1", "-p", "{dir}/pid"},
        [&](std::uint16_t port) {
            std::string config =
                "logoutput: {dir}/proxy.log\n"
                "internal: 127.0.0.1 port = " +
                std::to_string(port) +
                "\nexternal: 127.0.0.1\n"
                "clientmethod: none\n"
                "socksmethod: " +
                std::string(options.require_username ? "username" : "none") + "\n";
            // As root it would otherwise switch to users that containers may lack.
            if (::geteuid() == 0) config += "user.privileged: root\nuser.unprivileged: root\n";
            config +=
                "client pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
                "socks pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n  log: connect error\n}\n";
            return config;
        });
}

}  // namespace torvane::net::testing
