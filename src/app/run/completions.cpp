// Where a leg's completion is handled: at once, as the legs' rules expect,
// unless a large answer is being converted on a thread of its own, so that
// converting and splitting megabytes never stalls the window; completions
// are then handled strictly in the order they arrived.

#include <QTimer>

#include "app/run/run_controller.h"
#include "encoding/answer_utf8.h"
#include "query/text_lines.h"

namespace torvane::run {

namespace {
// Smaller answers take a few milliseconds on the event loop's thread.
constexpr std::size_t kBackgroundConversion = 1 << 20;
}  // namespace

query::TLines TRunController::AnswerLines(std::string raw, std::string host) {
    // The raw answer is let go as soon as its converted form exists (an
    // answer needing no conversion is never copied), and the converted text
    // becomes the lines' storage: a large answer is held once or twice,
    // never three times.
    std::string text = encoding::DecodeAnswer(std::move(raw), host);
    // The text stays in the report for the rest of the run: a small answer
    // gives back the receive room it did not fill, at the cost of a small
    // copy.
    if (text.size() < kBackgroundConversion && text.capacity() > 2 * text.size())
        text.shrink_to_fit();
    return query::TLines::FromText(std::move(text));
}

void TRunController::QueryDone(Leg leg, net::ErrorCode code) {
    ConnectEnded(Index(leg));  // a lookup that failed or was cancelled
    net::TWhoisCli& client = Client(leg);
    if (std::exchange(abandoned_[Index(leg)], false)) {
        running_[Index(leg)] = false;
        client.TakeWhoisResp();
        // The server that referred the leg here answered; it is shown as
        // when the referred server fails.
        if (std::optional<Referring> referring =
                std::exchange(referring_[Index(leg)], std::nullopt)) {
            ShowReferringBlock(leg, std::move(*referring));
        }
        return;
    }
    const bool large =
        code == 0 && !cancelling_ && client.WhoisResp().size() >= kBackgroundConversion;
    if (pending_.empty() && !large) {
        HandleCompletion(leg, code, {client.Truncated(), client.TakeWhoisResp(), std::nullopt});
        return;
    }
    // The leg stays running until its completion is handled, so nothing
    // restarts its client meanwhile.
    PendingCompletion item{
        leg, code, {client.Truncated(), client.TakeWhoisResp(), std::nullopt}, {}};
    if (large) {
        item.lines = std::async(std::launch::async, &TRunController::AnswerLines,
                                std::move(item.completed.raw), client.Host);
    }
    pending_.push_back(std::move(item));
    if (!drainTimer_) {
        drainTimer_ = std::make_unique<QTimer>();
        drainTimer_->setTimerType(Qt::PreciseTimer);
        drainTimer_->setInterval(1);
        QObject::connect(drainTimer_.get(), &QTimer::timeout, [this] { DrainCompletions(false); });
    }
    drainTimer_->start();
}

void TRunController::DrainCompletions(bool wait) {
    while (!pending_.empty()) {
        PendingCompletion& head = pending_.front();
        if (head.lines.valid()) {
            if (!wait && head.lines.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                return;
            try {
                head.completed.lines = head.lines.get();
            } catch (const std::exception&) {
                // Out of memory on the way: the leg ends with what could be
                // shown, nothing.
                head.completed.lines.emplace();
            }
        }
        PendingCompletion item = std::move(head);
        pending_.pop_front();
        HandleCompletion(item.leg, item.code, std::move(item.completed));
    }
    if (drainTimer_) drainTimer_->stop();
}

}  // namespace torvane::run
