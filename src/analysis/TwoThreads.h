#pragma once

#include <cstdint>
#include <functional>

namespace tessarin::analysis {

// Runs work(0) .. work(count - 1), each once, on this thread and on one more where the machine
// has a second core: the next index goes to whichever thread is free first, so a costly one does
// not hold up the rest. Returns when all are done; an exception from either thread is rethrown
// here, the first one thrown. `work` must touch nothing another index touches.
void onTwoThreads(std::int64_t count, const std::function<void(std::int64_t)>& work);

}  // namespace tessarin::analysis
