// ZR_DicomReader: reading and decoding the files, on several threads.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <thread>

#include "core/ZR_ProgressBar.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DicomReader.h"

namespace {
int32_t NextPowerOfTwo(int32_t size) {
  int32_t p = 1;
  while (p < size) p <<= 1;
  return p;
}

bool Differs(const double* a, const double* b, int count, double tolerance) {
  for (int i = 0; i < count; ++i)
    if (std::fabs(a[i] - b[i]) > tolerance) return true;
  return false;
}

// Copies one frame into its place in the padded slice and finds its range, in one pass. With
// a rescale that differs from the first file's, each value is brought to the first file's scale.
// The padding around the frame is zeroed here (the slice is not zeroed beforehand).
template <typename T>
void CopyFrame(const uint8_t* frame, int32_t columns, int32_t rows, int32_t width, int32_t height, uint16_t* slice,
               bool convert, double factor, double offset, int32_t& minimum, int32_t& maximum) {
  const int32_t x0 = (width - columns) / 2, y0 = (height - rows) / 2;
  T low = std::numeric_limits<T>::max(), high = std::numeric_limits<T>::min();
  std::fill(slice, slice + static_cast<size_t>(y0) * width, uint16_t{0});
  std::fill(slice + static_cast<size_t>(y0 + rows) * width, slice + static_cast<size_t>(height) * width, uint16_t{0});
  for (int32_t y = 0; y < rows; ++y) {
    const T* src = reinterpret_cast<const T*>(frame) + static_cast<size_t>(y) * columns;
    uint16_t* line = slice + static_cast<size_t>(y + y0) * width;
    std::fill(line, line + x0, uint16_t{0});
    std::fill(line + x0 + columns, line + width, uint16_t{0});
    T* dst = reinterpret_cast<T*>(line + x0);
    if (convert) {
      for (int32_t x = 0; x < columns; ++x) {
        const double v = std::nearbyint(src[x] * factor + offset);
        const T t = static_cast<T>(
            std::clamp(v, double(std::numeric_limits<T>::min()), double(std::numeric_limits<T>::max())));
        dst[x] = t;
        low = std::min(low, t);
        high = std::max(high, t);
      }
    } else {
      for (int32_t x = 0; x < columns; ++x) {
        const T t = src[x];
        dst[x] = t;
        low = std::min(low, t);
        high = std::max(high, t);
      }
    }
  }
  minimum = low;
  maximum = high;
}
}  // namespace

bool ZR_DicomReader::ReadSlice(const std::string& file, const Slice* reference, Slice& slice,
                               std::string& error) const {
  slice.file = file;
  auto refuse = [&](const std::string& why) {
    error = file + ": " + why;
    return false;
  };
  try {
    ZR_DcmImages images;
    m_pSource->ReadFile(images, file);
    ZR_DcmImage* image = images.Item(1);
    if (!image) return refuse("the file holds no image");
    ZR_DicomImageAttributes& a = slice.attributes;
    if (!Extract(*image, file, a, error)) return false;

    ZR_DcmElements attributes = image->Attributes();
    if (reference) {
      // One volume: the same matrix, orientation, pixel spacing and series as the first file.
      const ZR_DicomImageAttributes& r = reference->attributes;
      if (a.rows != r.rows || a.columns != r.columns)
        return refuse("its matrix " + std::to_string(a.columns) + " x " + std::to_string(a.rows) +
                       " differs from the first file's");
      if (Differs(a.imageOrientation, r.imageOrientation, 6, kOrientationTolerance))
        return refuse("its image orientation differs from the first file's");
      if (Differs(a.pixelSpacing, r.pixelSpacing, 2, kSpacingTolerance))
        return refuse("its pixel spacing differs from the first file's");
      if (a.seriesUid != r.seriesUid) return refuse("it belongs to another series");
    }
    if (!attributes.Item(0x0028, 0x0103).Exists()) return refuse("Pixel Representation is missing");
    if (!attributes.Item(0x0008, 0x0060).Exists()) return refuse("Modality is missing");
    slice.pixelRepresentation = attributes.Item(0x0028, 0x0103).Value().AsNumber() == 1 ? 1 : 0;
    slice.notCt = attributes.Item(0x0008, 0x0060).Value().AsText() != "CT";
    if (attributes.Item(0x0028, 0x1053).Exists()) slice.slope = attributes.Item(0x0028, 0x1053).Value().AsNumber();
    if (attributes.Item(0x0028, 0x1052).Exists())
      slice.intercept = attributes.Item(0x0028, 0x1052).Value().AsNumber();
    if (!(slice.slope != 0.0 && std::isfinite(slice.slope))) return refuse("its rescale slope is 0");
    if (a.bitsStored <= 8) return refuse("8-bit images cannot form a volume");
    // Slices hold 16-bit values; nothing here could narrow wider ones faithfully.
    if (a.bitsStored > 16) return refuse("more than 16 bits stored");
    if (reference && slice.pixelRepresentation != reference->pixelRepresentation)
      return refuse("its pixel representation differs from the first file's");

    const void* frame = image->PixelAddress();
    const ZR_DcmPixelFormat& format = image->Format();
    if (format.samples != 1 || format.bitsAllocated != 16)
      return refuse("the pixels are not 16-bit grey values");

    const int32_t width = NextPowerOfTwo(a.columns), height = NextPowerOfTwo(a.rows);
    slice.pixels.reset(new uint16_t[static_cast<size_t>(width) * height]);  // CopyFrame writes every value
    const bool convert = reference && (slice.slope != reference->slope || slice.intercept != reference->intercept);
    const double factor = reference ? slice.slope / reference->slope : 1.0;
    const double offset = reference ? (slice.intercept - reference->intercept) / reference->slope : 0.0;
    if (convert) slice.note = "ReadSeries(): values brought to the first file's rescale: " + file;
    const uint8_t* bytes = static_cast<const uint8_t*>(frame);
    if (slice.pixelRepresentation == 1)
      CopyFrame<int16_t>(bytes, a.columns, a.rows, width, height, slice.pixels.get(), convert, factor, offset,
                         slice.minimum, slice.maximum);
    else
      CopyFrame<uint16_t>(bytes, a.columns, a.rows, width, height, slice.pixels.get(), convert, factor, offset,
                          slice.minimum, slice.maximum);
    return true;
  } catch (const ZR_DcmError& e) {
    // The component's errors end here: the caller sees a refusal with this reason.
    error = e.what();
    if (error.rfind(file, 0) != 0) error = file + ": " + error;
  } catch (const std::bad_alloc&) {
    slice.pixels.reset();
    throw;  // becomes VR_NO_MEMORY
  } catch (const std::exception& e) {
    // Nothing else may leave a worker thread either (that would end the program).
    error = file + ": " + e.what();
  }
  slice.pixels.reset();
  return false;
}

bool ZR_DicomReader::ReadRest(const std::vector<std::string>& files, std::vector<Slice>& slices) {
  const size_t n = files.size();
  std::atomic<size_t> next{1};
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable changed;
  size_t done = 1;                    // files finished (file 0 is)
  size_t failedAt = n;                // lowest index refused
  std::string failure;
  bool outOfMemory = false;

  auto work = [&](bool reports) {
    size_t reported = 1;
    while (!stop.load()) {
      const size_t i = next.fetch_add(1);
      if (i >= n) break;
      std::string error;
      bool ok = false;
      bool memory = false;
      try {
        ok = ReadSlice(files[i], &slices[0], slices[i], error);
      } catch (const std::bad_alloc&) {
        memory = true;
        slices[i].pixels.reset();
      } catch (...) {
        error = files[i] + ": cannot be read";
      }
      {
        std::lock_guard<std::mutex> lock(mutex);
        ++done;
        if (!ok) {
          stop = true;
          outOfMemory = outOfMemory || memory;
          if (i < failedAt) {
            failedAt = i;
            failure = memory ? files[i] + ": out of memory" : error;
          }
        }
      }
      changed.notify_all();
      if (reports && m_pProgress) {
        size_t now;
        {
          std::lock_guard<std::mutex> lock(mutex);
          now = done;
        }
        if (now > reported) m_pProgress->Step(static_cast<int32_t>(now - reported));
        reported = now;
      }
    }
    return reported;
  };

  std::vector<std::thread> workers;
  const int32_t threads = std::min<int32_t>(Threads(), static_cast<int32_t>(n - 1));
  for (int32_t t = 1; t < threads; ++t) workers.emplace_back(work, false);
  // The calling thread decodes too, and is the only one that reports progress.
  size_t reported = work(true);
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (true) {
      const size_t now = done;
      if (now > reported && m_pProgress) {
        lock.unlock();
        m_pProgress->Step(static_cast<int32_t>(now - reported));
        lock.lock();
      }
      reported = now;
      const bool finished = stop ? true : done >= n;
      if (finished) break;
      changed.wait(lock);
    }
  }
  for (std::thread& t : workers) t.join();
  if (outOfMemory) throw std::bad_alloc();
  if (failedAt < n) {
    return Reject(failure);
  }
  return true;
}
