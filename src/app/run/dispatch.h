#pragma once
// The follow-up dispatch of a primary leg (shared by the controller's files).

#include <cstddef>
#include <optional>

#include "app/run/run_controller.h"

namespace torvane::run {

// A primary leg's follow-ups, started one after another. Each step waits
// until the leg it started last has completed in any way, until a successful
// completion of any leg clears LegBusy, or until no leg is running at all
// (nothing could clear it then).
struct TRunController::Dispatch {
    Leg primary = Leg::Leg1;
    std::size_t count = 0;       // follow-ups it is to start: those started and the handles waiting
    std::size_t started = 0;     // follow-ups started so far
    std::optional<Leg> awaited;  // the follow-up started last
    bool awaitedEnded = false;
    bool inProgress = false;  // guards against re-entry from a start
};

}  // namespace torvane::run
