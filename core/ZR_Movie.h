#pragma once
// The movie writer: frames of the 3D view into a video file. The order of the operations is
// fixed (the slot table that the writer and the recording double follow).

#include <cstdint>
#include <string>

class ZR_Movie {
 public:
  virtual bool Open(const std::string& fileName, int32_t width, int32_t height, int32_t bitsPerPixel) = 0;  // 0
  virtual bool AddFrame(const uint8_t* pixels, int32_t frame) = 0;                                          // 1
  virtual void Close() = 0;                                                                                 // 2
  // The compressor's four-character code, the quality in percent and the frames per second.
  virtual void SetOptions(uint32_t compressor, int32_t quality, int32_t frameRate) = 0;                    // 3
  virtual ~ZR_Movie() = default;                                                                            // 4
  // A movie that is not to be kept (cancelled, or a frame failed): nothing is left under its
  // name. A writer that cannot take a movie back closes it.
  virtual void Abandon() { Close(); }                                                                       // 5

 protected:
  ZR_Movie() = default;
  ZR_Movie(const ZR_Movie&) = delete;
  ZR_Movie& operator=(const ZR_Movie&) = delete;
};
