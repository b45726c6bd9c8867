#pragma once
// What the radials driver asks of the manager: preview, play, capture or close. The manager
// renders; the driver only keeps the parameters consistent.

#include <cstdint>

struct ZR_SaveInfo;

namespace ZR_RadialCommand {
enum : int32_t {
  Preview = 0,  // render both previews
  Display = 1,  // play the rotation in the 3D view
  Save = 2,     // capture every frame and write it (the request names the output)
  Close = 3,    // the dialog was closed: redraw the 3D view
  Store = 4,    // capture every frame into the series writer without writing
};
}  // namespace ZR_RadialCommand

class ZR_RadialsHost {
 public:
  // `request` is given with Save only (never null then) and is null otherwise.
  virtual void RadialCommand(int32_t command, const ZR_SaveInfo* request) = 0;
  virtual ~ZR_RadialsHost() = default;

 protected:
  ZR_RadialsHost() = default;
  ZR_RadialsHost(const ZR_RadialsHost&) = delete;
  ZR_RadialsHost& operator=(const ZR_RadialsHost&) = delete;
};
