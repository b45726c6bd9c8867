#include "output/ZR_Avi.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "core/ZR_Log.h"

namespace {

std::string ErrorText(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, text, sizeof text);
  return text;
}

// FFmpeg passes system errors on as negative errno values; its own codes are large tags.
bool IsSystemError(int error) { return error < 0 && error > -4096; }

// What the user is told when the file cannot be started.
const char* OpenMessage(int error) {
  if (error == AVERROR(ENOMEM)) return "Unable to Open AVI. Insufficient memory.";
  if (error == AVERROR_INVALIDDATA) return "Unable to Open AVI. File format bad.";
  if (error == AVERROR_MUXER_NOT_FOUND) return "Unable to Open AVI. File Handler not found in registry.";
  if (IsSystemError(error)) return "Unable to Open AVI. Disk error while opening the file.";
  return "Unable to Open AVI.";
}

// What the user is told when the compressor cannot take the frames.
const char* CompressMessage(int error) {
  if (error == AVERROR_ENCODER_NOT_FOUND) return "A suitable compressor cannot be found.";
  if (error == AVERROR(ENOMEM)) return "There is not enough memory to complete the operation.";
  return "Compression not supported for this type of data.";
}

std::string FourCcText(uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((code >> (8 * i)) & 0xff);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

// Percent onto the encoders' quantiser scale, 2 (finest) .. 31.
int QScaleOf(int32_t quality) { return 31 - (quality * 29 + 50) / 100; }

}  // namespace

ZR_Avi::~ZR_Avi() { Discard(); }

void ZR_Avi::SetOptions(uint32_t compressor, int32_t quality, int32_t frameRate) {
  m_nCompressor = compressor;
  m_nQuality = std::clamp(quality, 0, 100);
  m_nFrameRate = frameRate;
}

bool ZR_Avi::Fail(const std::string& message) {
  m_sLastError = message;
  ZR_Log::Entry("ZR_Avi(): " + (m_sFileName.empty() ? std::string() : m_sFileName + ": ") + message);
  Discard();
  return false;
}

bool ZR_Avi::OpenFile(const std::string& fileName) {
  Discard();
  m_sLastError.clear();
  m_sWarning.clear();
  m_sFileName = fileName;

  // Beside the final name, so that the rename on Close stays within one file system; never
  // over a file of the same name that is not ours.
  int error = 0;
  for (int attempt = 0; attempt < 100 && m_sTempName.empty(); ++attempt) {
    const std::string name = fileName + ".part" + (attempt ? std::to_string(attempt) : "");
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      m_sTempName = name;
    } else if (errno != EEXIST) {
      error = AVERROR(errno);
      break;
    } else {
      error = AVERROR(EEXIST);
    }
  }
  if (m_sTempName.empty()) return Fail(std::string(OpenMessage(error)) + " (" + ErrorText(error) + ")");

  error = avformat_alloc_output_context2(&m_pFormat, nullptr, "avi", m_sTempName.c_str());
  if (error < 0 || !m_pFormat) return Fail(std::string(OpenMessage(error < 0 ? error : AVERROR_MUXER_NOT_FOUND)));
  error = avio_open(&m_pFormat->pb, m_sTempName.c_str(), AVIO_FLAG_WRITE);
  if (error < 0) return Fail(std::string(OpenMessage(error)) + " (" + ErrorText(error) + ")");
  return true;
}

bool ZR_Avi::CreateStream(const FrameHeader& header, int32_t scale) {
  if (!IsOpen()) return Fail("No AVI file is open.");
  if (HasStream()) return Fail("The AVI already has its video stream.");
  if (header.nBitCount != 24 || header.nWidth <= 0 || header.nHeight <= 0)
    return Fail("Only 24-bit frames of positive width and height can be saved (got " +
                std::to_string(header.nWidth) + "x" + std::to_string(header.nHeight) + ", " +
                std::to_string(header.nBitCount) + " bits).");
  if (m_nFrameRate < 1 || scale < 1) return Fail("The frame rate must be at least 1 frame per second.");
  m_nWidth = header.nWidth;
  m_nHeight = header.nHeight;

  AVCodecID id = AV_CODEC_ID_RAWVIDEO;
  if (m_nCompressor == kUncompressed) {
    m_sWarning = kUncompressedWarning;
  } else {
    const AVCodecTag* const tags[] = {avformat_get_riff_video_tags(), nullptr};
    id = av_codec_get_id(tags, m_nCompressor);
  }
  const AVCodec* encoder = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_encoder(id);
  if (!encoder)
    return Fail(std::string(CompressMessage(AVERROR_ENCODER_NOT_FOUND)) + " (" + FourCcText(m_nCompressor) + ")");

  // The encoder's own format nearest to B, G, R; uncompressed frames stay B, G, R.
  AVPixelFormat format = AV_PIX_FMT_BGR24;
  if (id != AV_CODEC_ID_RAWVIDEO && encoder->pix_fmts)
    format = avcodec_find_best_pix_fmt_of_list(encoder->pix_fmts, AV_PIX_FMT_BGR24, 0, nullptr);

  m_pCodec = avcodec_alloc_context3(encoder);
  if (!m_pCodec) return Fail(CompressMessage(AVERROR(ENOMEM)));
  m_pCodec->width = m_nWidth;
  m_pCodec->height = m_nHeight;
  m_pCodec->pix_fmt = format;
  m_pCodec->time_base = AVRational{scale, m_nFrameRate};
  m_pCodec->framerate = AVRational{m_nFrameRate, scale};
  m_pCodec->codec_tag = m_nCompressor;
  m_pCodec->max_b_frames = 0;  // frames leave the encoder in the order they come
  m_pCodec->flags |= AV_CODEC_FLAG_QSCALE;
  m_pCodec->global_quality = FF_QP2LAMBDA * QScaleOf(m_nQuality);
  if (m_pFormat->oformat->flags & AVFMT_GLOBALHEADER) m_pCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int error = avcodec_open2(m_pCodec, encoder, nullptr);
  if (error < 0)
    return Fail(std::string(CompressMessage(error)) + " (" + FourCcText(m_nCompressor) + ", " +
                std::to_string(m_nWidth) + "x" + std::to_string(m_nHeight) + ": " + ErrorText(error) + ")");

  m_pStream = avformat_new_stream(m_pFormat, nullptr);
  if (!m_pStream) return Fail(CompressMessage(AVERROR(ENOMEM)));
  m_pStream->time_base = m_pCodec->time_base;
  m_pStream->avg_frame_rate = m_pCodec->framerate;
  error = avcodec_parameters_from_context(m_pStream->codecpar, m_pCodec);
  if (error < 0) return Fail(CompressMessage(error));
  error = avformat_write_header(m_pFormat, nullptr);
  if (error < 0) return Fail(std::string(CompressMessage(error)) + " (" + ErrorText(error) + ")");

  m_pFrame = av_frame_alloc();
  m_pPacket = av_packet_alloc();
  if (!m_pFrame || !m_pPacket) return Fail(CompressMessage(AVERROR(ENOMEM)));
  m_pFrame->format = format;
  m_pFrame->width = m_nWidth;
  m_pFrame->height = m_nHeight;
  if (av_frame_get_buffer(m_pFrame, 0) < 0) return Fail(CompressMessage(AVERROR(ENOMEM)));
  m_pScaler = sws_getContext(m_nWidth, m_nHeight, AV_PIX_FMT_BGR24, m_nWidth, m_nHeight, format,
                             SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
  if (!m_pScaler) return Fail(CompressMessage(AVERROR(EINVAL)));
  return true;
}

bool ZR_Avi::WriteFrame(const uint8_t* pixels, int32_t frame) { return WriteFrame(pixels, m_nWidth, m_nHeight, frame); }

bool ZR_Avi::WriteFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t frame) {
  const std::string which = "Unable to write frame " + std::to_string(frame) + " of the AVI: ";
  if (!HasStream()) return Fail(which + "no video stream is open.");
  if (width != m_nWidth || height != m_nHeight)
    return Fail(which + "it is " + std::to_string(width) + "x" + std::to_string(height) + ", the movie's frames are " +
                std::to_string(m_nWidth) + "x" + std::to_string(m_nHeight) + ".");
  if (!pixels) return Fail(which + "no pixels.");
  if (frame <= m_nLastFrame)
    return Fail(which + "frame " + std::to_string(m_nLastFrame) + " was written already.");

  int error = av_frame_make_writable(m_pFrame);
  if (error < 0) return Fail(which + ErrorText(error));
  // Bottom row first in, top row first out: start at the last row and step backwards.
  const int stride = m_nWidth * 3;
  const uint8_t* source[1] = {pixels + static_cast<size_t>(m_nHeight - 1) * static_cast<size_t>(stride)};
  const int sourceStride[1] = {-stride};
  sws_scale(m_pScaler, source, sourceStride, 0, m_nHeight, m_pFrame->data, m_pFrame->linesize);
  m_pFrame->pts = frame;
  m_pFrame->quality = m_pCodec->global_quality;
  m_pFrame->pict_type = AV_PICTURE_TYPE_NONE;
  if (!Encode(m_pFrame)) return Fail(which + m_sLastError);
  m_nLastFrame = frame;
  ++m_nFramesWritten;
  return true;
}

bool ZR_Avi::Encode(const AVFrame* frame) {
  int error = avcodec_send_frame(m_pCodec, frame);
  while (error >= 0) {
    error = avcodec_receive_packet(m_pCodec, m_pPacket);
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return true;
    if (error < 0) break;
    av_packet_rescale_ts(m_pPacket, m_pCodec->time_base, m_pStream->time_base);
    m_pPacket->stream_index = m_pStream->index;
    error = av_interleaved_write_frame(m_pFormat, m_pPacket);
    // A full disk shows only in the output's error state.
    if (error >= 0 && m_pFormat->pb->error < 0) error = m_pFormat->pb->error;
  }
  m_sLastError = ErrorText(error);
  return false;
}

bool ZR_Avi::Close() {
  if (!IsOpen()) return true;
  if (!HasStream()) return Fail("Unable to save the AVI: it has no video stream.");
  if (!Encode(nullptr)) return Fail("Unable to finish the AVI: " + m_sLastError);
  int error = av_write_trailer(m_pFormat);
  if (error < 0) return Fail("Unable to finish the AVI: " + ErrorText(error));
  error = avio_closep(&m_pFormat->pb);
  if (error < 0) return Fail("Unable to finish the AVI: " + ErrorText(error));
  if (std::rename(m_sTempName.c_str(), m_sFileName.c_str()) != 0)
    return Fail("Unable to save the AVI under its name: " + ErrorText(AVERROR(errno)));
  m_sTempName.clear();
  Release();
  return true;
}

void ZR_Avi::Discard() {
  Release();
  if (!m_sTempName.empty()) ::unlink(m_sTempName.c_str());
  m_sTempName.clear();
}

void ZR_Avi::Release() {
  sws_freeContext(m_pScaler);
  m_pScaler = nullptr;
  av_frame_free(&m_pFrame);
  av_packet_free(&m_pPacket);
  avcodec_free_context(&m_pCodec);
  if (m_pFormat) {
    // The trailer is skipped: only a finished file is kept, and this one is removed.
    if (m_pFormat->pb) avio_closep(&m_pFormat->pb);
    avformat_free_context(m_pFormat);
    m_pFormat = nullptr;
  }
  m_pStream = nullptr;
  m_nWidth = m_nHeight = 0;
  m_nLastFrame = -1;
  m_nFramesWritten = 0;
}
