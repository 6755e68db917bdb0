#include "analysis/TwoThreads.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace tessarin::analysis {

void onTwoThreads(std::int64_t count, const std::function<void(std::int64_t)>& work) {
  std::atomic<std::int64_t> next = 0;
  std::mutex failureLock;
  std::exception_ptr failure;
  const auto takeTurns = [&] {
    for (std::int64_t k = next++; k < count; k = next++) {
      try {
        work(k);
      } catch (...) {
        const std::scoped_lock lock(failureLock);
        if (!failure) failure = std::current_exception();
        next = count;
      }
    }
  };
  {
    std::jthread helper;
    if (count > 1 && std::thread::hardware_concurrency() > 1) helper = std::jthread(takeTurns);
    takeTurns();
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tessarin::analysis
