// Servers that never answer a connect. A firewall that drops port 43, or a
// registry that filtered it, leaves a connect waiting for the kernel's SYN
// retries (over two minutes). With the switch on, the run does not wait for
// that: the RDAP leg that stands for the stalled server starts beside it
// after a few seconds, and the connect itself gives up after a while.

#include <QTimer>
#include <algorithm>
#include <utility>

#include "app/run/run_controller.h"
#include "app/run/run_texts.h"
#include "net/proxy_environment.h"
#include "net/rdap_cli.h"

namespace torvane::run {

void TRunController::PrepareConnect(Leg leg) {
    net::TWhoisCli& client = Client(leg);
    client.ConnectTimeout = fallback_ ? connectTimeout_ : std::chrono::milliseconds(0);
    client.Proxy = net::WhoisProxyFor(client.Host, client.Port != 0 ? client.Port : 43);
}

std::string TRunController::WaitingLabel(Leg leg) {
    const net::TWhoisCli& client = Client(leg);
    return client.Proxy ? ThroughProxyLabel(client.Host, client.Proxy->Display()) : client.Host;
}

void TRunController::LimitConnect(Leg leg) {
    if (!fallback_) return;
    std::unique_ptr<QTimer>& timer = slowTimers_[Index(leg)];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        QObject::connect(timer.get(), &QTimer::timeout, [this, leg] { SlowConnect(leg); });
    }
    timer->start(slowConnect_);
}

bool TRunController::Waiting(std::size_t exchange) const {
    return std::any_of(waiting_.begin(), waiting_.end(),
                       [exchange](const auto& entry) { return entry.first == exchange; });
}

void TRunController::SlowConnect(Leg leg) {
    // One RDAP leg per run, and only for a leg that stands for the run's
    // registration: the name run's server (registry, registrar, IANA) or a
    // number run's registry.
    if (!Waiting(Index(leg)) || !running_[Index(leg)] || cancelling_ || rdapRunning_) return;
    // From a timer of the event loop: an error ends the run here, as the
    // window's error handler would.
    try {
        bool started = false;
        if (leg == Leg::Leg1 && !rdapName_.empty()) {
            started = StartRunRdap();
        } else if (numberRdap_ && numberRdap_->after == leg) {
            StartRdapLeg(std::exchange(numberRdap_, std::nullopt)->url);
            started = true;
        }
        if (started) stalledLeg_ = leg;
    } catch (const std::exception& error) {
        EndRunWithError(error.what());
    }
}

void TRunController::AbandonStalledLeg() {
    const std::optional<Leg> leg = stalledLeg_;
    if (!leg || !rdapShowedData_ || !running_[Index(*leg)]) return;
    // A server that accepted meanwhile is answering: its answer is shown too.
    if (!Waiting(Index(*leg))) return;
    abandoned_[Index(*leg)] = true;
    Client(*leg).Abort();  // its completion arrives inside and is dropped
}

}  // namespace torvane::run
