#pragma once
// The progress contract. SetPosition and Step let the window system process pending events,
// which is how long operations stay responsive on the one thread (and why they must expect
// re-entrant events).

#include <cstdint>
#include <string>

class ZR_ProgressBar {
 public:
  virtual void Show(bool plain) = 0;                              // 0
  virtual void SetPosition(int32_t position) = 0;                 // 1
  virtual void SetMax(int32_t max) = 0;                           // 2
  virtual void SetText(const std::string& text) = 0;              // 3
  virtual void Step(int32_t delta) = 0;                           // 4
  virtual void Close() = 0;                                       // 5
  virtual void Move(int32_t left, int32_t top) = 0;               // 6
  virtual void GetSize(int32_t& width, int32_t& height) = 0;      // 7
  virtual ~ZR_ProgressBar() = default;

 protected:
  ZR_ProgressBar() = default;
  ZR_ProgressBar(const ZR_ProgressBar&) = delete;
  ZR_ProgressBar& operator=(const ZR_ProgressBar&) = delete;
};
