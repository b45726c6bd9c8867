#include "render/ZR_RowWorkers.h"

#include <algorithm>

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

void ZR_RowWorkers::TakeBlocks() {
  for (;;) {
    int32_t first = 0;
    {
      std::lock_guard<std::mutex> lock(m_oMutex);
      if (m_nNext >= m_nCount) return;
      first = m_nNext;
      m_nNext = std::min(m_nCount, m_nNext + m_nBlock);
    }
    (*m_pJob)(first, std::min(m_nCount, first + m_nBlock));
  }
}

void ZR_RowWorkers::Work() {
  uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(m_oMutex);
      m_oStart.wait(lock, [&] { return m_bStop || m_nGeneration != seen; });
      if (m_bStop) return;
      seen = m_nGeneration;
    }
    TakeBlocks();
    {
      std::lock_guard<std::mutex> lock(m_oMutex);
      --m_nBusy;
    }
    m_oDone.notify_one();
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
    ++m_nGeneration;
  }
  m_oStart.notify_all();
  TakeBlocks();
  std::unique_lock<std::mutex> lock(m_oMutex);
  m_oDone.wait(lock, [&] { return m_nBusy == 0; });
  m_pJob = nullptr;
}
