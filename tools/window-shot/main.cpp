// Renders Torvane's main window after a run to a PNG file, without a display:
// the well-known servers are answered by the loopback test server from real
// WHOIS answers, so the picture shows what a user would see.
//
//   QT_QPA_PLATFORM=offscreen torvane-window-shot OUT.png [QUERY]

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/main_window.h"
#include "net/host_map.h"
#include "query/well_known_servers.h"
#include "whois_test_server.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// DNS answers for the picture, since the machine may have no network.
class SampleResolver : public torvane::run::IResolver {
  public:
    std::string LookupHostAddress(const std::string& name) override {
        return name == "www.google.co.jp" ? "192.0.2.80" : std::string();
    }
    std::string LookupHostName(const std::string& address) override {
        return address == "192.0.2.80" ? "www.example.net" : "Unknown";
    }
};

torvane::testserver::ServerConfig Server(std::string_view name,
                                         std::map<std::string, std::string> answers) {
    torvane::testserver::ServerConfig config;
    config.name = std::string(name);
    config.answers = std::move(answers);
    return config;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: torvane-window-shot OUT.png [QUERY]\n");
        return 2;
    }
    QApplication application(argc, argv);
    const QString query = argc > 2 ? QString::fromLocal8Bit(argv[2]) : "www.google.co.jp";

    const std::string data = TORVANE_SAMPLE_DATA;
    std::vector<torvane::testserver::ServerConfig> servers{
        Server(torvane::query::kJprsServer,
               {{"google.co.jp", ReadFile(data + "/google.co.jp_utf8_2018.txt")}}),
        Server(torvane::query::kJpnicServer,
               {{"DL152JP",
                 "[JPNIC database]\n\na. [JPNICハンドル]   DL152JP\n"
                 "b. [氏名]           Domain Administrator\n"
                 "c. [Last, First]    Administrator, Domain\n"
                 "d. [電子メイル]     dns-admin@google.com\n"},
                {"TW124137JP",
                 "[JPNIC database]\n\na. [JPNICハンドル]   TW124137JP\n"
                 "b. [氏名]           Technical Contact\n"
                 "d. [電子メイル]     dns-admin@google.com\n"
                 "[Web] http://www.google.co.jp/\n"}}),
    };
    torvane::testserver::WhoisTestServer server(servers);
    server.Start();
    for (const auto& config : servers)
        torvane::net::AddHostMapping({config.name, "127.0.0.1", server.Port(config.name)});

    SampleResolver resolver;
    torvane::app::WindowOptions options;
    options.programDir = QApplication::applicationDirPath();
    options.historyFile = QDir::temp().filePath("torvane-window-shot-log.txt");
    options.resolver = &resolver;
    torvane::app::Tbody window(options);
    window.show();
    window.QueryEdit()->setEditText(query);
    window.QueryButton()->click();

    QElapsedTimer waited;
    waited.start();
    while (!window.Controller().Idle() && waited.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QCoreApplication::processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    QFile::remove(options.historyFile);
    server.Stop();
    if (!saved) {
        std::fprintf(stderr, "torvane-window-shot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
