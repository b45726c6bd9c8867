#include "render/ZR_RowWorkers.h"

#include <algorithm>
#include <chrono>

namespace {
constexpr auto kSpinTime = std::chrono::microseconds(300);
}

ZR_RowWorkers::ZR_RowWorkers(int32_t threads) {
  if (threads <= 0) threads = static_cast<int32_t>(std::thread::hardware_concurrency());
  threads = std::clamp(threads, 1, 8);
  for (int32_t i = 1; i < threads; ++i) m_aThreads.emplace_back([this] { Work(); });
}

ZR_RowWorkers::~ZR_RowWorkers() {
  {
    std::lock_guard<std::mutex> lock(m_oMutex);
    m_bStop = true;
  }
  m_oStart.notify_all();
  for (std::thread& thread : m_aThreads) thread.join();
}

template <typename Done>
bool ZR_RowWorkers::SpinUntil(Done done) {
  const auto until = std::chrono::steady_clock::now() + kSpinTime;
  for (int spins = 0;; ++spins) {
    if (done()) return true;
    if ((spins & 63) == 63 && std::chrono::steady_clock::now() > until) return false;
    std::this_thread::yield();
  }
}

void ZR_RowWorkers::TakeBlocks() {
  for (;;) {
    const int32_t first = m_nNext.fetch_add(m_nBlock);
    if (first >= m_nCount) return;
    (*m_pJob)(first, std::min(m_nCount, first + m_nBlock));
  }
}

void ZR_RowWorkers::Work() {
  uint64_t seen = 0;
  for (;;) {
    auto started = [&] { return m_bStop.load() || m_nGeneration.load() != seen; };
    if (!SpinUntil(started)) {
      std::unique_lock<std::mutex> lock(m_oMutex);
      m_oStart.wait(lock, started);
    }
    if (m_bStop) return;
    seen = m_nGeneration.load();
    TakeBlocks();
    if (m_nBusy.fetch_sub(1) == 1) {
      std::lock_guard<std::mutex> lock(m_oMutex);  // the caller may be about to wait
      m_oDone.notify_one();
    }
  }
}

void ZR_RowWorkers::Run(int32_t count, int32_t block, const std::function<void(int32_t, int32_t)>& job) {
  if (count <= 0) return;
  block = std::max(block, 1);
  if (m_aThreads.empty() || count <= block) {
    for (int32_t first = 0; first < count; first += block) job(first, std::min(count, first + block));
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_oMutex);
    m_pJob = &job;
    m_nCount = count;
    m_nBlock = block;
    m_nNext = 0;
    m_nBusy = static_cast<int32_t>(m_aThreads.size());
    m_nGeneration.fetch_add(1);
  }
  m_oStart.notify_all();
  TakeBlocks();
  auto finished = [&] { return m_nBusy.load() == 0; };
  if (!SpinUntil(finished)) {
    std::unique_lock<std::mutex> lock(m_oMutex);
    m_oDone.wait(lock, finished);
  }
  m_pJob = nullptr;
}
