#include "app/run/async_lookup.h"

#include <QObject>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace torvane::run {

// What the lookup threads share with their owner. `context` is cleared under
// the mutex before it is destroyed, so that no thread posts to it afterwards;
// destroying it removes what was posted already.
struct TAsyncLookup::Shared {
    std::mutex mutex;
    std::condition_variable allDone;
    int running = 0;
    QObject* context = nullptr;
};

TAsyncLookup::TAsyncLookup()
    : shared_(std::make_shared<Shared>()), context_(std::make_unique<QObject>()) {
    shared_->context = context_.get();
}

TAsyncLookup::~TAsyncLookup() {
    std::unique_lock lock(shared_->mutex);
    shared_->context = nullptr;
    shared_->allDone.wait(lock, [&] { return shared_->running == 0; });
    lock.unlock();
    context_.reset();
}

void TAsyncLookup::Start(Work work, Done done) {
    const std::uint64_t generation = ++generation_;
    awaited_ = true;
    {
        std::lock_guard lock(shared_->mutex);
        ++shared_->running;
    }
    std::thread([this, shared = shared_, generation, work = std::move(work),
                 done = std::move(done)]() mutable {
        std::optional<std::string> result;
        try {
            result = work();
        } catch (...) {
        }
        std::lock_guard lock(shared->mutex);
        if (shared->context != nullptr) {
            QMetaObject::invokeMethod(
                shared->context,
                [this, generation, result = std::move(result), done = std::move(done)] {
                    if (generation != generation_) return;
                    awaited_ = false;
                    done(result);
                },
                Qt::QueuedConnection);
        }
        --shared->running;
        shared->allDone.notify_all();
    }).detach();
}

void TAsyncLookup::Drop() {
    ++generation_;
    awaited_ = false;
}

}  // namespace torvane::run
