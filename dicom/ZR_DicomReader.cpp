#include "dicom/ZR_DicomReader.h"

#include <new>

#include "core/ZR_Log.h"
#include "core/ZR_ProgressBar.h"
#include "core/ZR_Result.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_ParallelSlices.h"

namespace {
const ZR_DicomFileSource& DiskSource() {
  static const ZR_DicomFileSource disk;
  return disk;
}

// Values of an element that must hold at least `count` numbers.
bool Numbers(ZR_DcmImage& image, uint16_t group, uint16_t element, const char* name, size_t count, double* out,
             std::string& error) {
  const ZR_DcmAttribute a = image.Attributes().Item(group, element);
  if (!a.Exists()) {
    error = std::string(name) + " is missing";
    return false;
  }
  std::vector<double> values;
  try {
    values = a.Value().AsNumbers();
  } catch (const ZR_DcmError& e) {
    error = std::string(name) + ": " + e.what();
    return false;
  }
  if (values.size() < count) {
    error = std::string(name) + " holds " + std::to_string(values.size()) + " values, " + std::to_string(count) +
            " are needed";
    return false;
  }
  for (size_t i = 0; i < count; ++i) out[i] = values[i];
  return true;
}
}  // namespace

ZR_DicomReader::ZR_DicomReader(const ZR_DicomFileSource* source) : m_pSource(source ? source : &DiskSource()) {}

int32_t ZR_DicomReader::Threads() const {
  return m_nThreads > 0 ? m_nThreads : ZR_ParallelSlices::DefaultThreads();
}

int32_t ZR_DicomReader::Refuse(const std::string& reason) {
  m_sLastError = reason;
  ZR_Log::Entry("ReadSeries(): refused: ", reason);
  return VR_LD_INVALID_VOLUME;
}

void ZR_DicomReader::Progress(int32_t position) {
  if (m_pProgress) m_pProgress->SetPosition(position);
}

bool ZR_DicomReader::Extract(ZR_DcmImage& image, const std::string& file, ZR_DicomImageAttributes& a,
                             std::string& error) const {
  double size[3] = {0, 0, 0};
  std::string reason;
  // Rows and Columns are required: a slice of size 0 breaks everything that divides by it.
  if (!Numbers(image, 0x0028, 0x0010, "Rows (0028,0010)", 1, &size[0], reason) ||
      !Numbers(image, 0x0028, 0x0011, "Columns (0028,0011)", 1, &size[1], reason) ||
      !Numbers(image, 0x0028, 0x0101, "Bits Stored (0028,0101)", 1, &size[2], reason) ||
      !Numbers(image, 0x0028, 0x0030, "Pixel Spacing (0028,0030)", 2, a.pixelSpacing, reason) ||
      !Numbers(image, 0x0020, 0x0032, "Image Position (0020,0032)", 3, a.imagePosition, reason) ||
      !Numbers(image, 0x0020, 0x0037, "Image Orientation (0020,0037)", 6, a.imageOrientation, reason)) {
    error = file + ": " + reason;
    return false;
  }
  if (size[0] < 1 || size[0] > 65535 || size[1] < 1 || size[1] > 65535) {
    error = file + ": the image size is not usable";
    return false;
  }
  a.rows = static_cast<int32_t>(size[0]);
  a.columns = static_cast<int32_t>(size[1]);
  a.bitsStored = static_cast<int32_t>(size[2]);
  a.seriesUid = image.SeriesUID();
  a.instanceUid = image.InstanceUID();
  return true;
}

bool ZR_DicomReader::ReadImageAttributes(const std::string& file, ZR_DicomImageAttributes& attributes) {
  attributes = ZR_DicomImageAttributes();
  m_sLastError.clear();
  try {
    ZR_DcmImages images;
    m_pSource->ReadFile(images, file);
    ZR_DcmImage* image = images.Item(1);
    if (!image) {
      m_sLastError = file + ": the file holds no image";
      return false;
    }
    ZR_DicomImageAttributes a;
    if (!Extract(*image, file, a, m_sLastError)) return false;
    attributes = a;
    return true;
  } catch (const ZR_DcmError& e) {
    m_sLastError = e.what();
  } catch (const std::bad_alloc&) {
    m_sLastError = file + ": out of memory";
  } catch (const std::exception& e) {
    m_sLastError = file + ": " + e.what();
  }
  return false;
}

int32_t ZR_DicomReader::ReadSeries(const std::vector<std::string>& files, ZR_DicomVolume& volume) {
  volume.Clear();
  m_sLastError.clear();
  const int32_t n = static_cast<int32_t>(files.size());
  if (files.size() > static_cast<size_t>(ZR_DicomVolume::kMaxSlices))
    return Refuse(std::to_string(files.size()) + " files: a volume holds at most " +
                  std::to_string(ZR_DicomVolume::kMaxSlices) + " slices");
  if (n < 2) return Refuse("a volume needs at least two files");

  // The window closes whatever happens below.
  struct Closer {
    ZR_ProgressBar* progress;
    ~Closer() {
      if (progress) progress->Close();
    }
  } closer{m_pProgress};
  if (m_pProgress) {
    m_pProgress->SetMax(n + n / 2);
    m_pProgress->SetText("Reading Dicom Files");
    m_pProgress->Show(true);
  }

  int32_t result = VR_OK;
  try {
    std::vector<Slice> slices(files.size());
    std::string error;
    if (!ReadSlice(files[0], nullptr, slices[0], error)) return Refuse(error);
    if (m_pProgress) m_pProgress->Step(1);
    if (!ReadRest(files, slices)) return VR_LD_INVALID_VOLUME;
    for (const Slice& s : slices)
      if (!s.note.empty()) ZR_Log::Entry(s.note);
    if (!DropDuplicates(slices)) return VR_LD_INVALID_VOLUME;
    Progress(n + (n / 2) / 3);
    // The first file of the list is the reference for the values (ordering moves it).
    Slice first;
    first.attributes = slices[0].attributes;
    first.slope = slices[0].slope;
    first.intercept = slices[0].intercept;
    first.pixelRepresentation = slices[0].pixelRepresentation;
    if (!Order(slices, volume)) {
      volume.Clear();
      return VR_LD_INVALID_VOLUME;
    }
    Progress(n + (n / 2) / 2);
    if (!Normalise(slices, first, volume)) {
      volume.Clear();
      return VR_LD_INVALID_VOLUME;
    }
    volume.m_sFileName = files[0];
    volume.m_apSlices.reserve(slices.size());
    for (Slice& s : slices) volume.m_apSlices.push_back(std::move(s.pixels));
    Progress(n + n / 2);
  } catch (const std::bad_alloc&) {
    volume.Clear();
    m_sLastError = "out of memory";
    ZR_Log::Entry("ReadSeries(): failed; VR_NO_MEMORY");
    result = VR_NO_MEMORY;
  }
  return result;
}
