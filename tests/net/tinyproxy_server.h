#pragma once
// Debian's tinyproxy, started by a test on a free loopback port with its own
// configuration and log in a temporary folder, and stopped with the object.
// An HTTP proxy as users have them: CONNECT tunnels (restricted to some ports
// if asked), Basic credentials if asked.

#include <QByteArray>
#include <QFile>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvane::net::testing {

// A loopback port that nothing listens on right now (bound once, released).
inline std::uint16_t FreeLoopbackPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) return 0;
    return server.serverPort();
}

// True once something accepts connections on 127.0.0.1:`port`.
inline bool Listening(std::uint16_t port) {
    QTcpSocket probe;
    probe.setProxy(QNetworkProxy::NoProxy);
    probe.connectToHost(QHostAddress::LocalHost, port);
    return probe.waitForConnected(1000);
}

class TinyproxyServer {
  public:
    struct Options {
        // CONNECT only to these ports; empty: to every port.
        std::vector<std::uint16_t> connect_ports;
        // Basic credentials the proxy demands; none when the user is empty.
        std::string user;
        std::string password;
    };

    TinyproxyServer() : TinyproxyServer(Options{}) {}
    explicit TinyproxyServer(Options options) : options_(std::move(options)) {}
    ~TinyproxyServer() { Stop(); }
    TinyproxyServer(const TinyproxyServer&) = delete;
    TinyproxyServer& operator=(const TinyproxyServer&) = delete;

    // Starts it and waits until it listens (a free port taken by someone
    // else in between is retried on another). False when tinyproxy cannot
    // be started at all; Output() then says why.
    bool Start() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            port_ = FreeLoopbackPort();
            if (port_ == 0 || !WriteConfig()) return false;
            process_.setProcessChannelMode(QProcess::MergedChannels);
            process_.start("tinyproxy", {"-d", "-c", dir_.filePath("tinyproxy.conf")});
            if (!process_.waitForStarted(10000)) return false;
            const bool up = QTest::qWaitFor(
                [&] { return process_.state() != QProcess::Running || Listening(port_); }, 20000);
            if (up && process_.state() == QProcess::Running) return true;
            output_ += process_.readAll();
            Stop();
        }
        return false;
    }

    void Stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(10000);
        }
        output_ += process_.readAll();
    }

    std::uint16_t Port() const { return port_; }
    // The proxy URL, as a user would set it in https_proxy.
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // What tinyproxy logged so far (its requests: "CONNECT host:port ...").
    std::string Log() const {
        QFile log(dir_.filePath("tinyproxy.log"));
        if (!log.open(QIODevice::ReadOnly)) return {};
        return log.readAll().toStdString();
    }
    std::string Output() const { return output_.toStdString(); }

  private:
    bool WriteConfig() {
        QFile config(dir_.filePath("tinyproxy.conf"));
        if (!dir_.isValid() || !config.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        QByteArray text = "Port " + QByteArray::number(port_) +
                          "\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 60\nLogLevel Info\n"
                          "LogFile \"" +
                          dir_.filePath("tinyproxy.log").toUtf8() + "\"\n";
        for (const std::uint16_t port : options_.connect_ports) {
            text += "ConnectPort " + QByteArray::number(port) + "\n";
        }
        if (!options_.user.empty()) {
            text += "BasicAuth " + QByteArray::fromStdString(options_.user) + " " +
                    QByteArray::fromStdString(options_.password) + "\n";
        }
        return config.write(text) == text.size();
    }

    Options options_;
    QTemporaryDir dir_;
    QProcess process_;
    std::uint16_t port_ = 0;
    QByteArray output_;
};

}  // namespace torvane::net::testing
