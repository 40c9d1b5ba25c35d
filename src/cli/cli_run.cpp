#include "cli/cli_run.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <stdexcept>

#include "app/run/rdap_directory.h"
#include "app/run/resolver.h"
#include "app/run/run_controller.h"
#include "app/run/run_texts.h"
#include "cli/report_output.h"
#include "query/server_directory.h"

namespace torvane::cli {

namespace {

// The write end of the pipe that turns SIGINT/SIGTERM into an event.
int g_signalWrite = -1;

void OnSignal(int number) {
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const auto written = ::write(g_signalWrite, &byte, 1);
}

// Routes SIGINT and SIGTERM into the event loop while it lives.
class SignalCatcher {
  public:
    explicit SignalCatcher(std::function<void(int)> onSignal) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) return;
        g_signalWrite = fds_[1];
        notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, onSignal] {
            unsigned char byte = 0;
            if (::read(fds_[0], &byte, 1) == 1) onSignal(byte);
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~SignalCatcher() {
        if (!notifier_) return;
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        notifier_.reset();
        g_signalWrite = -1;
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    SignalCatcher(const SignalCatcher&) = delete;
    SignalCatcher& operator=(const SignalCatcher&) = delete;

  private:
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

}  // namespace

TCliWindow::TCliWindow(const CliOptions& options, bool escapeStatus)
    : options_(options), escapeStatus_(escapeStatus) {}

void TCliWindow::SetStatus(const std::string& text) {
    if (text == status_) return;
    status_ = text;
    if (text.empty()) return;
    const std::string line = RenderLine(text, options_.encoding, escapeStatus_) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void TCliWindow::SetRunning(bool running) {
    if (!running && onRunFinished_) onRunFinished_();
}

void TCliWindow::RunFinished() {
    if (onRunFinished_) onRunFinished_();
}

CliRunResult RunQuery(const CliOptions& options,
                      const std::optional<std::filesystem::path>& historyFile, bool escapeStatus) {
    QTemporaryDir scratch;
    if (!historyFile && !scratch.isValid()) {
        throw std::runtime_error("cannot create a temporary folder: " +
                                 scratch.errorString().toStdString());
    }
    const std::filesystem::path history =
        historyFile ? *historyFile
                    : std::filesystem::path(scratch.path().toStdString()) / "log.txt";

    TCliWindow window(options, escapeStatus);
    run::TSystemResolver resolver;
    const query::TServerDirectory directory;
    run::TRunController controller(window, resolver, directory, history);
    // The window keeps the fetched bootstrap copies fresh; a script's run
    // only reads them.
    const auto rdapDirectory = run::ProgramRdapDirectory(
        QCoreApplication::applicationDirPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString(), false);
    controller.SetRdapDirectory(rdapDirectory.get());
    if (historyFile) controller.LoadHistory();

    CliRunResult result;
    QEventLoop loop;
    // The run logic calls RunFinished from inside a handler that may still
    // start a leg or resume a dispatch; whether the run is over is asked
    // once that handler has returned.
    const auto checkIdle = [&] {
        QTimer::singleShot(0, &loop, [&] {
            if (controller.Idle()) loop.quit();
        });
    };
    window.OnRunFinished(checkIdle);
    // A safety net for a script: whatever way the run logic ends a run, the
    // program notices within a moment and does not wait for ever.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (controller.Idle()) loop.quit();
    });
    poll.start(250);
    const auto cancel = [&](RunEnd end) {
        if (result.end != RunEnd::Finished) return;
        result.end = end;
        try {
            controller.CancelButtonClick();
        } catch (const std::exception& error) {
            window.SetStatus(run::ErrorStatus(error.what()));
        }
        checkIdle();
    };
    SignalCatcher catcher([&](int number) {
        result.signal = number;
        cancel(RunEnd::Interrupted);
    });
    // Qt's coarse timers may fire up to 5% early; the limit is a promise to
    // the user, so the timer is precise and the elapsed time is checked
    // against the monotonic clock before giving up.
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (options.timeout) {
        const auto limitMs = static_cast<qint64>(options.timeout->count());
        QObject::connect(&limit, &QTimer::timeout, [&, limitMs] {
            const qint64 left = limitMs - sinceStart.elapsed();
            if (left > 0) {
                limit.start(static_cast<int>(left));
                return;
            }
            cancel(RunEnd::TimedOut);
        });
        limit.start(static_cast<int>(limitMs));
    }

    if (options.rdapJson) {
        controller.OnRdapAnswer = [&](const std::string& body) {
            result.rdapDocuments.push_back(body);
        };
    }
    try {
        if (options.rdapOnly) {
            controller.RdapButtonClick();
        } else {
            controller.QueryButtonClick();
        }
    } catch (const std::exception& error) {
        // As the window's error handler does: cancel, then show the error.
        try {
            controller.CancelButtonClick();
        } catch (const std::exception&) {
        }
        window.SetStatus(run::ErrorStatus(error.what()));
    }
    if (!controller.Idle()) loop.exec();
    result.lines = window.TakeLines();
    result.status = window.Status();
    result.record = controller.Record();
    result.now = controller.Now();
    return result;
}

int ExitStatus(const CliRunResult& result) {
    switch (result.end) {
        case RunEnd::Interrupted:
            return 128 + result.signal;
        case RunEnd::TimedOut:
            return 1;
        case RunEnd::Finished:
            break;
    }
    return result.status == run::Texts().done ? 0 : 1;
}

}  // namespace torvane::cli
