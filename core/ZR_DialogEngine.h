#pragma once
// Base of the engine objects a dialog sends its events to (subset preview, radial series, ...);
// a dialog contract's SetEngine slot receives one.

class ZR_DialogEngine {
 public:
  virtual ~ZR_DialogEngine() = default;

 protected:
  ZR_DialogEngine() = default;
};
