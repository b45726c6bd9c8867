#pragma once
// Work spread over slices on a few threads: each thread takes the next slice until none is
// left. The calling thread is worker 0 and works too; when no thread can be started the
// ones running (at least the caller) do all slices.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

class ZR_ParallelSlices {
 public:
  // The machine's cores, at most 4 (beyond that memory bandwidth, not arithmetic, limits).
  static int32_t DefaultThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int32_t>(std::clamp(cores, 1u, 4u));
  }

  // Runs fn(slice, worker) for every slice in 0..count-1 on up to `threads` workers (0: the
  // default). `fn` must not throw: an exception leaving a worker would end the program.
  template <typename Fn>
  static void ForEach(size_t count, int32_t threads, Fn fn) {
    if (threads <= 0) threads = DefaultThreads();
    const size_t workers = std::min(static_cast<size_t>(threads), std::max<size_t>(count, 1));
    std::atomic<size_t> next{0};
    auto work = [&](size_t worker) {
      for (size_t k = next.fetch_add(1); k < count; k = next.fetch_add(1)) fn(k, worker);
    };
    std::vector<std::thread> started;
    started.reserve(workers);
    try {
      for (size_t w = 1; w < workers; ++w) started.emplace_back(work, w);
    } catch (const std::system_error&) {
      // Fewer threads than asked: the ones running share the slices.
    }
    work(0);
    for (std::thread& t : started) t.join();
  }
};
