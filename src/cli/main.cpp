// torvane-cli: the window's run on the command line. Parses the arguments,
// runs the query on the shared run logic and prints the report.

#include <unistd.h>

#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/run/history.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/help_text.h"
#include "cli/rdap_output.h"
#include "cli/report_output.h"
#include "cli/run_json.h"
#include "net/host_map.h"
#include "net/proxy_environment.h"

namespace {

using namespace torvane;

constexpr int kUsageStatus = 2;

void WriteAll(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

// A malformed map is ignored by the socket layer, which would then ask the
// real servers; say so instead of letting that pass unnoticed.
void WarnAboutHostMap() {
    const char* map = std::getenv("TORVANE_HOST_MAP");
    if (map == nullptr) return;
    try {
        net::ParseHostMap(map);
    } catch (const std::exception& error) {
        std::cerr << "torvane-cli: TORVANE_HOST_MAP ignored: " << error.what() << "\n";
    }
}

// A proxy variable that cannot be used is ignored, so the program goes
// direct or through another proxy than the user meant: say so.
void WarnAboutProxies() {
    for (const std::string& problem : net::ProxyVariableProblems()) {
        std::cerr << "torvane-cli: " << problem << "\n";
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const cli::ParseOutcome parsed =
        cli::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << "torvane-cli: " << parsed.error << "\nTry 'torvane-cli --help'.\n";
        return kUsageStatus;
    }
    const cli::CliOptions& options = *parsed.options;
    if (options.help) {
        WriteAll(stdout, cli::HelpText());
        return 0;
    }
    if (options.version) {
        WriteAll(stdout, cli::VersionText());
        return 0;
    }

    QCoreApplication application(argc, argv);
    // The same names as the window, so both find the same history.
    QCoreApplication::setApplicationName(QStringLiteral("torvane"));
    WarnAboutHostMap();
    WarnAboutProxies();

    const bool escapeOut = !options.raw && ::isatty(STDOUT_FILENO) == 1;
    const bool escapeErr = !options.raw && ::isatty(STDERR_FILENO) == 1;
    std::optional<std::filesystem::path> historyFile;
    cli::CliRunResult result;
    try {
        if (options.history) {
            historyFile = run::HistoryFilePath(
                QCoreApplication::applicationDirPath().toStdString(),
                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
        }
        result = cli::RunQuery(options, historyFile, escapeErr);
    } catch (const std::exception& error) {
        std::cerr << "torvane-cli: " << error.what() << "\n";
        return 1;
    }
    bool written = true;
    if (options.json) {
        WriteAll(stdout, cli::RunJson({result.record, result.lines, options.fallback,
                                       result.status, cli::ExitStatus(result), result.now}));
    } else if (options.rdapJson) {
        std::string text;
        for (const std::string& document : result.rdapDocuments)
            text += cli::RdapDocumentLine(document, escapeOut) + '\n';
        WriteAll(stdout, text);
    } else {
        written = cli::WriteReport(stdout, result.lines, options.encoding, escapeOut);
    }
    if (std::fflush(stdout) != 0 || !written) {
        std::cerr << "torvane-cli: cannot write the report\n";
        return 1;
    }
    return cli::ExitStatus(result);
}
