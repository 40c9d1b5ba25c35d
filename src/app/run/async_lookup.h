#pragma once
// Runs the blocking resolver calls of a run start on a thread of their own,
// so that the event loop goes on (the window repaints, cancel works) while a
// slow resolver answers, and hands each result back on the thread that
// asked, from its event loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QObject;

namespace torvane::run {

class TAsyncLookup {
  public:
    using Work = std::function<std::string()>;
    // Receives the work's result, or nothing when the work threw.
    using Done = std::function<void(std::optional<std::string>)>;

    // Needs a QCoreApplication; construct and use on one thread.
    TAsyncLookup();
    // Drops every result not yet delivered, then waits for lookups still
    // running: they may be using objects their owner is about to destroy.
    ~TAsyncLookup();
    TAsyncLookup(const TAsyncLookup&) = delete;
    TAsyncLookup& operator=(const TAsyncLookup&) = delete;

    // Runs `work` on a new thread; `done` is called on this thread from the
    // event loop with its result, unless Drop() came first. One lookup is
    // awaited at a time: a Start drops the result of the one before.
    void Start(Work work, Done done);
    // Forgets the result still awaited; its work may go on, unseen.
    void Drop();
    // True from Start until its result is delivered or dropped.
    bool Awaited() const { return awaited_; }

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<QObject> context_;
    std::uint64_t generation_ = 0;
    bool awaited_ = false;
};

}  // namespace torvane::run
