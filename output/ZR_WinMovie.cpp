#include "output/ZR_WinMovie.h"

bool ZR_WinMovie::Open(const std::string& fileName, int32_t width, int32_t height, int32_t bitsPerPixel) {
  Abandon();
  m_sLastError.clear();
  const int32_t bytesPerPixel = (bitsPerPixel + 7) / 8;
  m_oHeader = ZR_Avi::FrameHeader{};
  m_oHeader.nWidth = width;
  m_oHeader.nHeight = height;
  m_oHeader.nBitCount = static_cast<uint16_t>(bitsPerPixel);
  m_oHeader.nSizeImage = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * static_cast<uint32_t>(bytesPerPixel);
  if (!m_oAvi.OpenFile(fileName)) {
    m_sLastError = m_oAvi.LastError();
    return false;
  }
  if (!m_oAvi.CreateStream(m_oHeader, 1)) {
    m_sLastError = m_oAvi.LastError() + "\n" + kStreamFailed;
    return false;
  }
  m_bOpened = true;
  return true;
}

bool ZR_WinMovie::AddFrame(const uint8_t* pixels, int32_t frame) {
  return AddFrame(pixels, m_oHeader.nWidth, m_oHeader.nHeight, frame);
}

bool ZR_WinMovie::AddFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t frame) {
  if (!m_bOpened) {
    if (m_sLastError.empty()) m_sLastError = "No movie is open.";
    return false;
  }
  if (m_oAvi.WriteFrame(pixels, width, height, frame)) return true;
  // The writer has already removed the file: the movie is over.
  m_bOpened = false;
  m_sLastError = m_oAvi.LastError();
  return false;
}

void ZR_WinMovie::Close() {
  if (!m_bOpened) return;
  m_bOpened = false;
  if (!m_oAvi.Close()) m_sLastError = m_oAvi.LastError();
}

void ZR_WinMovie::Abandon() {
  m_bOpened = false;
  m_oAvi.Discard();
}

void ZR_WinMovie::SetOptions(uint32_t compressor, int32_t quality, int32_t frameRate) {
  m_oAvi.SetOptions(compressor, quality, frameRate);
}
