#pragma once
// The headless front end: a run window without a window. It answers the run
// logic's questions from the command line, writes each new status text to
// standard error, keeps the report as lines, and drives one run of the
// shared TRunController until every leg is over.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/run/run_record.h"
#include "app/run/run_window.h"
#include "app/run/text_report.h"
#include "cli/cli_options.h"

namespace torvane::cli {

class TCliWindow final : public run::IRunWindow {
  public:
    // `escapeStatus`: status texts go to a terminal and get their control
    // characters escaped.
    TCliWindow(const CliOptions& options, bool escapeStatus);

    std::string QueryText() const override { return options_.query; }
    bool AutoCorrect() const override { return options_.autoCorrect; }
    bool ManualServer() const override { return options_.server.has_value(); }
    std::string ManualHost() const override { return options_.server.value_or(""); }
    bool Fallback() const override { return options_.fallback; }
    void FocusQuery() override {}
    run::IReport& Report() override { return report_; }
    void SetStatus(const std::string& text) override;
    void SetCaption(const std::string&) override {}
    void SetRunning(bool running) override;
    void ShowHistory(const std::vector<std::string>&) override {}
    void RunFinished() override;

    // Called whenever the run logic ends a run (also a run start that asked
    // no server), so the caller can check, once the handler has returned,
    // whether everything is over.
    void OnRunFinished(std::function<void()> callback) { onRunFinished_ = std::move(callback); }

    const query::TLines& Lines() const { return report_.Lines(); }
    // The report's lines, moved out; the report is empty afterwards.
    query::TLines TakeLines() { return report_.TakeLines(); }
    // The status text the run ended on (UTF-8).
    const std::string& Status() const { return status_; }

  private:
    const CliOptions& options_;
    bool escapeStatus_;
    run::TTextReport report_;
    std::string status_;
    std::function<void()> onRunFinished_;
};

// How a run ended, for the exit status.
enum class RunEnd { Finished, TimedOut, Interrupted };

struct CliRunResult {
    RunEnd end = RunEnd::Finished;
    int signal = 0;  // for Interrupted
    query::TLines lines;
    std::string status;
    // With --rdap-json: the body of every RDAP answer, in order.
    std::vector<std::string> rdapDocuments;
    // What the run showed, block by block, and the time the run ended by
    // the run logic's clock (--json).
    run::TRunRecord record;
    std::chrono::sys_seconds now{};
};

// Runs the query of `options` once and returns when no leg is running and no
// follow-up is waiting (or the timeout, SIGINT or SIGTERM cancelled the run).
// With `historyFile` the history is loaded from it and the query recorded
// there; without, the history is kept in a private temporary folder that is
// gone once the run has started. Needs a QCoreApplication. Throws with the
// system's message when the history file cannot be read. A failing run start
// is handled as the window's error handler does: the run is cancelled and
// the status becomes "エラー" and the message.
CliRunResult RunQuery(const CliOptions& options,
                      const std::optional<std::filesystem::path>& historyFile, bool escapeStatus);

// 0 for a run that ended on "完了", 1 for any other end, 128 + signal when
// a signal interrupted it.
int ExitStatus(const CliRunResult& result);

}  // namespace torvane::cli
