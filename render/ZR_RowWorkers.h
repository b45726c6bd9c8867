#pragma once
// A few threads that split one picture's rows between them: the caller takes a share too and
// returns when every share is done. Between pictures the threads wait, spinning for a short
// while first: pictures come in quick succession while the user drags, and waking a sleeping
// thread costs about as long as a small picture takes.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ZR_RowWorkers {
 public:
  // `threads` counts the caller; 0 means one per processor core (at most 8).
  explicit ZR_RowWorkers(int32_t threads = 0);
  ~ZR_RowWorkers();
  ZR_RowWorkers(const ZR_RowWorkers&) = delete;
  ZR_RowWorkers& operator=(const ZR_RowWorkers&) = delete;

  int32_t Threads() const { return static_cast<int32_t>(m_aThreads.size()) + 1; }

  // Calls job(first, end) for consecutive blocks of `block` items covering [0, count); the
  // blocks are handed out one at a time, so faster threads take more of them.
  void Run(int32_t count, int32_t block, const std::function<void(int32_t, int32_t)>& job);

 private:
  void Work();
  void TakeBlocks();
  // Spins until `done` says so or the spin time is over; true when it said so.
  template <typename Done>
  static bool SpinUntil(Done done);

  std::vector<std::thread> m_aThreads;
  std::mutex m_oMutex;
  std::condition_variable m_oStart;
  std::condition_variable m_oDone;
  std::atomic<uint64_t> m_nGeneration{0};
  std::atomic<int32_t> m_nBusy{0};
  std::atomic<bool> m_bStop{false};

  // The picture being worked on, published by the generation's increment.
  const std::function<void(int32_t, int32_t)>* m_pJob = nullptr;
  int32_t m_nCount = 0;
  int32_t m_nBlock = 1;
  std::atomic<int32_t> m_nNext{0};
};
