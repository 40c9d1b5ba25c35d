#pragma once
// Shared pieces of the torvane-cli tests: the program's path, a scratch
// folder, fixtures, and the reference run of the same query on an
// in-process TRunController against its own loopback test server.

#include <QCoreApplication>
#include <QString>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run/resolver.h"
#include "app/run/run_controller.h"
#include "app/run/text_report.h"
#include "child_process.h"
#include "encoding/code_page.h"
#include "net/host_map.h"
#include "query/server_directory.h"
#include "run_test_support.h"
#include "whois_test_server.h"

namespace torvane::cli::testing {

// The Qt application and the CP932 helper of the run tests.
using run::testing::Cp932;
using run::testing::EnsureQtApp;

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}
inline std::string Fixture(const std::string& name) {
    return ReadFile(std::filesystem::path(TORVANE_TEST_DATA) / "cli" / name);
}

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A folder removed with the object.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "torvane-cli-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

using run::testing::Answering;
using run::testing::Refusing;
using run::testing::Server;

// The environment of a CLI run: its servers, and HOME, XDG_DATA_HOME and
// TMPDIR in a scratch folder so that nothing of the user's is touched.
class CliRun {
  public:
    explicit CliRun(std::vector<testserver::ServerConfig> servers) : server_(std::move(servers)) {
        server_.Start();
        std::filesystem::create_directories(scratch_.Path() / "home");
        std::filesystem::create_directories(scratch_.Path() / "tmp");
    }
    ChildResult Run(std::vector<std::string> arguments, ChildOptions options = {}) {
        arguments.insert(arguments.begin(), TORVANE_CLI);
        const std::vector<std::string> environment = Environment();
        options.environment.insert(options.environment.end(), environment.begin(),
                                   environment.end());
        return RunChild(arguments, options);
    }
    std::vector<std::string> Environment() const {
        const std::string home = (scratch_.Path() / "home").string();
        return {"TORVANE_HOST_MAP=" + server_.HostMap(),
                "TORVANE_RDAP_BOOTSTRAP=" TORVANE_TEST_DATA "/cli/rdap-bootstrap", "HOME=" + home,
                "XDG_DATA_HOME=" + home + "/data", "TMPDIR=" + (scratch_.Path() / "tmp").string(),
                "LC_ALL=C.UTF-8"};
    }
    testserver::WhoisTestServer& Servers() { return server_; }
    const std::filesystem::path& Scratch() const { return scratch_.Path(); }

  private:
    ScratchDir scratch_;
    testserver::WhoisTestServer server_;
};

// What the window would show: a recording window on the shared run logic.
class ReferenceWindow : public run::IRunWindow {
  public:
    std::string query;
    bool autoCorrect = true;
    std::optional<std::string> manualHost;
    bool fallback = true;  // torvane-cli's default
    run::TTextReport report;
    std::vector<std::string> statuses;  // UTF-8, in order

    std::string QueryText() const override { return query; }
    bool AutoCorrect() const override { return autoCorrect; }
    bool ManualServer() const override { return manualHost.has_value(); }
    std::string ManualHost() const override { return manualHost.value_or(""); }
    bool Fallback() const override { return fallback; }
    void FocusQuery() override {}
    run::IReport& Report() override { return report; }
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetCaption(const std::string&) override {}
    void SetRunning(bool) override {}
    void ShowHistory(const std::vector<std::string>&) override {}
    void RunFinished() override {}
};

struct ReferenceResult {
    std::string stdoutText;             // the report lines in UTF-8, each ended by LF
    std::vector<std::string> statuses;  // each change to a non-empty text
    std::map<std::string, std::vector<std::string>> queries;
};

// The same query run on an in-process controller (system resolver, as the
// program uses) against a fresh instance of the same servers.
inline ReferenceResult ReferenceRun(const std::vector<testserver::ServerConfig>& servers,
                                    const std::string& queryUtf8, bool autoCorrect,
                                    const std::optional<std::string>& manualHost) {
    EnsureQtApp();
    ScratchDir scratch;
    testserver::WhoisTestServer server(servers);
    server.Start();
    net::SetHostMap(server.HostMap());
    ReferenceWindow window;
    window.query = queryUtf8;
    window.autoCorrect = autoCorrect;
    if (manualHost) window.manualHost = *manualHost;
    run::TSystemResolver resolver;
    query::TServerDirectory directory;
    {
        run::TRunController controller(window, resolver, directory, scratch.Path() / "log.txt");
        controller.QueryButtonClick();
        if (!QTest::qWaitFor([&] { return controller.Idle(); }, 20000))
            ADD_FAILURE() << "the reference run did not end";
    }
    net::ClearHostMap();
    ReferenceResult result;
    for (const std::string_view line : window.report.Lines())
        result.stdoutText += std::string(line) + "\n";
    std::string last;
    for (const std::string& status : window.statuses) {
        if (status == last) continue;
        last = status;
        if (!status.empty()) result.statuses.push_back(status);
    }
    for (const auto& config : servers) result.queries[config.name] = server.Queries(config.name);
    return result;
}

}  // namespace torvane::cli::testing
