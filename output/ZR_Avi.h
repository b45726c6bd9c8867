#pragma once
// Writing one AVI file: a single video stream of equal-sized 24-bit frames, compressed on the
// way by the encoder that a four-character code names (FFmpeg underneath). Frames come in
// bottom-up B, G, R as OpenGL reads them back and are stored upright.
//
// The file is written under a temporary name in the destination folder and takes its own
// name only when Close finishes it, so a movie that fails or is discarded leaves nothing
// behind, neither under its name nor under the temporary one. Every failure leaves the
// object closed and says why in LastError().

#include <cstdint>
#include <string>

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;

class ZR_Avi {
 public:
  // The 40-byte bitmap information header that describes the frames handed in.
  struct FrameHeader {
    uint32_t nSize = 40;
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    uint16_t nPlanes = 1;
    uint16_t nBitCount = 24;
    uint32_t nCompression = 0;  // uncompressed RGB
    uint32_t nSizeImage = 0;    // bytes of one frame
    int32_t nXPelsPerMeter = 0;
    int32_t nYPelsPerMeter = 0;
    uint32_t nClrUsed = 0;
    uint32_t nClrImportant = 0;
  };

  // Four-character codes read as little-endian 32-bit values, as the settings store them.
  static constexpr uint32_t FourCc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
  }
  static constexpr uint32_t kCinepak = 'c' | 'v' << 8 | 'i' << 16 | static_cast<uint32_t>('d') << 24;
  static constexpr uint32_t kUncompressed = 0;

  static constexpr const char* kUncompressedWarning =
      "Unable apply the selected Compression.AVI would be saved without any compression";

  ZR_Avi() = default;
  // An unfinished file is discarded: only Close makes a movie.
  virtual ~ZR_Avi();
  ZR_Avi(const ZR_Avi&) = delete;
  ZR_Avi& operator=(const ZR_Avi&) = delete;

  // Compressor code, quality in percent (0..100, clamped) and frames per second; they apply
  // to the next stream created and persist between movies.
  void SetOptions(uint32_t compressor, int32_t quality, int32_t frameRate);
  uint32_t Compressor() const { return m_nCompressor; }
  int32_t Quality() const { return m_nQuality; }
  int32_t FrameRate() const { return m_nFrameRate; }

  // Starts a file that Close will save under `fileName` (replacing what is there). A file
  // still open is discarded first.
  [[nodiscard]] bool OpenFile(const std::string& fileName);
  // The video stream for frames as `header` describes them (24 bits, positive sides), at
  // frameRate / scale frames per second, compressed by the chosen compressor. Compressor 0
  // stores the frames uncompressed and leaves kUncompressedWarning in Warning().
  [[nodiscard]] bool CreateStream(const FrameHeader& header, int32_t scale);
  // Frame `frame` (numbers must increase) of the stream's size. Any failure, a frame of
  // another size included, discards the file.
  [[nodiscard]] bool WriteFrame(const uint8_t* pixels, int32_t frame);
  [[nodiscard]] bool WriteFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t frame);
  // Finishes the file and gives it its name; false (the file discarded) when that fails.
  // Nothing open: true, nothing happens.
  bool Close();
  // Closes without keeping anything: the temporary file is removed.
  void Discard();

  bool IsOpen() const { return m_pFormat != nullptr; }
  bool HasStream() const { return m_pCodec != nullptr; }
  int32_t FramesWritten() const { return m_nFramesWritten; }
  // Why the last operation failed; cleared by OpenFile.
  const std::string& LastError() const { return m_sLastError; }
  // The warning of the stream last created ("" when none).
  const std::string& Warning() const { return m_sWarning; }
  // The temporary name the open file is written under ("" when none).
  const std::string& TemporaryName() const { return m_sTempName; }

 private:
  bool Fail(const std::string& message);
  bool Encode(const AVFrame* frame);  // nullptr drains the encoder
  void Release();

  uint32_t m_nCompressor = kCinepak;
  int32_t m_nQuality = 100;
  int32_t m_nFrameRate = 25;

  std::string m_sFileName;
  std::string m_sTempName;
  std::string m_sLastError;
  std::string m_sWarning;
  AVFormatContext* m_pFormat = nullptr;
  AVCodecContext* m_pCodec = nullptr;
  AVStream* m_pStream = nullptr;
  AVFrame* m_pFrame = nullptr;
  AVPacket* m_pPacket = nullptr;
  SwsContext* m_pScaler = nullptr;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_nLastFrame = -1;
  int32_t m_nFramesWritten = 0;
};
