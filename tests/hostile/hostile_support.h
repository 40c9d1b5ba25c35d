#pragma once
// What the hostile-server tests share: waiting on the event loop while
// measuring its longest stall, the answer a run shows for one server, and a
// check that the history file survived.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/run/history.h"
#include "run_test_support.h"

namespace torvane::run::testing {

// Turns the event loop until `done` holds or `timeoutMs` passed, with a 1 ms
// timer ticking all along: the longest gap between two ticks is the longest
// time the loop did not turn (what a window would feel as a freeze).
class LoopMeter {
  public:
    bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
        QEventLoop loop;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        bool finished = false;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longestStallMs_ = std::max(longestStallMs_, now - last);
            last = now;
            if (done()) {
                finished = true;
                loop.quit();
            } else if (now > timeoutMs) {
                loop.quit();
            }
        });
        tick.start();
        loop.exec();
        return finished;
    }
    qint64 LongestStallMs() const { return longestStallMs_; }

  private:
    qint64 longestStallMs_ = 0;
};

// The longest stall of each case, printed at the end of the test program.
inline std::map<std::string, qint64>& Stalls() {
    static std::map<std::string, qint64> stalls;
    return stalls;
}
inline void RecordStall(const std::string& name, qint64 ms) {
    Stalls()[name] = std::max(Stalls()[name], ms);
    std::printf("[ stall    ] %s: longest event-loop stall %lld ms\n", name.c_str(),
                static_cast<long long>(ms));
}

// The lines of the block headed "{host からの回答}", from the
// line after its empty line to the end of the report.
inline std::vector<std::string> BlockAfterHeader(const TTextReport& report,
                                                 const std::string& host) {
    const std::string header = "{" + host + " からの回答" + "}";
    const auto& lines = report.Lines();
    const auto at = std::find(lines.begin(), lines.end(), header);
    if (at == lines.end() || at + 1 == lines.end()) return {};
    return std::vector<std::string>(at + 2, lines.end());
}

// The history file holds `newestFirst` as its items, each ended by CR LF.
inline ::testing::AssertionResult HistoryHolds(const std::filesystem::path& file,
                                               const std::vector<std::string>& newestFirst) {
    THistory history(file);
    history.Load();
    if (history.Items() != newestFirst)
        return ::testing::AssertionFailure()
               << "history has " << history.Items().size() << " items";
    std::string expected;
    for (const std::string& item : newestFirst) expected += item + "\r\n";
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes != expected) return ::testing::AssertionFailure() << "history bytes differ";
    return ::testing::AssertionSuccess();
}

}  // namespace torvane::run::testing
