// ZR_DicomReader: duplicates, the slice order, distances and directions.
#include <algorithm>
#include <cmath>
#include <map>

#include "core/ZR_Log.h"
#include "dicom/ZR_DicomReader.h"

namespace {
using Vec = std::array<double, 3>;

Vec Position(const ZR_DicomReader::Slice& s) {
  return {s.attributes.imagePosition[0], s.attributes.imagePosition[1], s.attributes.imagePosition[2]};
}
Vec Minus(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Length(const Vec& a) { return std::sqrt(Dot(a, a)); }
Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Positions closer than this are the same position.
constexpr double kSamePosition = 1e-6;

int32_t NextPowerOfTwo(int32_t size) {
  int32_t p = 1;
  while (p < size) p <<= 1;
  return p;
}
}  // namespace

// The same file chosen twice (the same SOP Instance UID at the same place) is read once; the
// same UID at two places is no volume at all.
bool ZR_DicomReader::DropDuplicates(std::vector<Slice>& slices) {
  std::map<std::string, size_t> seen;
  std::vector<Slice> kept;
  kept.reserve(slices.size());
  for (Slice& s : slices) {
    const std::string& uid = s.attributes.instanceUid;
    if (!uid.empty()) {
      auto [it, fresh] = seen.emplace(uid, kept.size());
      if (!fresh) {
        const Slice& first = kept[it->second];
        if (Length(Minus(Position(first), Position(s))) > kSamePosition) {
          return Reject(s.file + ": it shares its SOP Instance UID with " + first.file + " but lies elsewhere");
        }
        ZR_Log::Entry("ReadSeries(): the same image twice, left out: ", s.file);
        continue;
      }
    }
    kept.push_back(std::move(s));
  }
  slices = std::move(kept);
  if (slices.size() < 2) {
    return Reject("a volume needs at least two different images");
  }
  return true;
}

bool ZR_DicomReader::Order(std::vector<Slice>& slices, ZR_DicomVolume& volume) {
  const size_t n = slices.size();
  // The axis along which the positions advance, from the first and last file of the list.
  const Vec span = Minus(Position(slices[n - 1]), Position(slices[0]));
  const double dx = std::fabs(span[0]), dy = std::fabs(span[1]), dz = std::fabs(span[2]);
  int axis = dx > dy ? 0 : 1;
  if (!(std::max(dx, dy) > dz)) axis = 2;

  // Exchange sort: files at equal coordinates keep their relative order unless moved by others.
  for (size_t i = 0; i + 1 < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      if (slices[i].attributes.imagePosition[axis] > slices[j].attributes.imagePosition[axis])
        std::swap(slices[i], slices[j]);

  // The slice direction runs to the first position that differs (the next may coincide).
  const Vec origin = Position(slices[0]);
  Vec direction{0, 0, 0};
  for (size_t k = 1; k < n; ++k) {
    const Vec step = Minus(Position(slices[k]), origin);
    const double length = Length(step);
    if (length > kSamePosition) {
      direction = {step[0] / length, step[1] / length, step[2] / length};
      break;
    }
  }
  if (Length(direction) == 0) {
    return Reject("all files lie at one position");
  }

  // A stack running along its own normal: the distance is the full distance between positions
  // (one coordinate alone is short for a tilted stack). A sheared stack keeps the one coordinate.
  const double* o = slices[0].attributes.imageOrientation;
  const Vec normal = Cross({o[0], o[1], o[2]}, {o[3], o[4], o[5]});
  const double normalLength = Length(normal);
  const bool alongNormal = normalLength > 0 && std::fabs(Dot(direction, normal)) / normalLength > 0.99;

  std::vector<double> distances(n - 1);
  int32_t coinciding = 0;
  for (size_t k = 0; k + 1 < n; ++k) {
    const Vec step = Minus(Position(slices[k + 1]), Position(slices[k]));
    distances[k] = alongNormal ? Length(step) : std::fabs(step[axis]);
    if (distances[k] <= kSamePosition) {
      distances[k] = 0;
      ++coinciding;
    }
  }
  if (coinciding > 4) {
    return Reject(std::to_string(coinciding) + " distances between slices are 0 (at most 4 may be)");
  }
  std::vector<double> sorted = distances;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[(n - 1) / 2];
  if (median < 0.01) {
    return Reject("the slice distance is below 0.01 mm");
  }

  volume.m_nNonUniformSlice = -1;
  for (size_t k = 0; k + 2 < n; ++k) {
    if (std::fabs(distances[k] - distances[k + 1]) >= 0.001 - 1e-9) {
      volume.m_nNonUniformSlice = static_cast<int32_t>(k);
      break;
    }
  }
  volume.m_bNonUniform = volume.m_nNonUniformSlice >= 0;

  const ZR_DicomImageAttributes& first = slices[0].attributes;
  volume.m_nWidth = NextPowerOfTwo(first.columns);
  volume.m_nHeight = NextPowerOfTwo(first.rows);
  // The image is centred in the padded slice (as ReadSlice copies it).
  volume.m_nPadColumn = (volume.m_nWidth - first.columns) / 2;
  volume.m_nPadRow = (volume.m_nHeight - first.rows) / 2;
  volume.m_aSlicePositions.clear();
  for (const Slice& s : slices) volume.m_aSlicePositions.push_back(Position(s));
  volume.m_nSliceCount = static_cast<int32_t>(n);
  volume.m_nFirst = 0;
  volume.m_nLast = static_cast<int32_t>(n) - 1;
  // Pixel Spacing gives the row spacing (along y) first, the column spacing (along x) second.
  volume.m_fPixelSpacingX = static_cast<float>(first.pixelSpacing[1]);
  volume.m_fPixelSpacingY = static_cast<float>(first.pixelSpacing[0]);
  volume.m_fSliceDistance = static_cast<float>(median);
  for (int i = 0; i < 3; ++i) {
    volume.m_afRowDirection[i] = static_cast<float>(first.imageOrientation[i]);
    volume.m_afColumnDirection[i] = static_cast<float>(first.imageOrientation[3 + i]);
    volume.m_afOrigin[i] = static_cast<float>(origin[i]);
    volume.m_afSliceDirection[i] = static_cast<float>(direction[i]);
  }
  return true;
}
