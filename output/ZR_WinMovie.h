#pragma once
// The movie writer: the captured frames of the 3D view into an AVI file. A movie exists only
// once Close has finished it; a movie that fails or is abandoned leaves no file behind. What
// went wrong is in LastError(), for the caller to show.

#include <cstdint>
#include <string>

#include "core/ZR_Movie.h"
#include "output/ZR_Avi.h"

class ZR_WinMovie : public ZR_Movie {
 public:
  static constexpr const char* kStreamFailed = "Unable to Initialize AVI stream, Save Failed";

  ZR_WinMovie() = default;

  // Starts a movie of frames of width x height (fixed for the whole movie) at 24 bits per
  // pixel; a movie still open is abandoned. False: nothing is created, LastError() says why.
  bool Open(const std::string& fileName, int32_t width, int32_t height, int32_t bitsPerPixel) override;
  // Frame `frame` (bottom-up B, G, R at the movie's size). False when no movie is open or the
  // frame cannot be written; the movie is then abandoned and no further frame is taken.
  bool AddFrame(const uint8_t* pixels, int32_t frame) override;
  // The same for a frame that says its size: one of another size than the movie's is refused.
  bool AddFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t frame);
  // Finishes the movie under its name; when that fails nothing is left and LastError() says
  // why. Without an open movie nothing happens.
  void Close() override;
  // Ends the movie without keeping anything of it.
  void Abandon() override;
  void SetOptions(uint32_t compressor, int32_t quality, int32_t frameRate) override;

  bool IsOpen() const { return m_bOpened; }
  // Why the last Open, AddFrame or Close failed (message lines in the order they arose);
  // cleared by Open.
  const std::string& LastError() const { return m_sLastError; }
  // The warning of the movie last opened ("" when none): compressor 0 stores frames
  // uncompressed.
  const std::string& Warning() const { return m_oAvi.Warning(); }
  const ZR_Avi::FrameHeader& Header() const { return m_oHeader; }

 private:
  ZR_Avi m_oAvi;
  ZR_Avi::FrameHeader m_oHeader;
  bool m_bOpened = false;
  std::string m_sLastError;
};
