#include "app/ZR_CliSample.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "app/ZR_CliApp.h"
#include "core/ZR_NumberText.h"
#include "core/ZR_Result.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmUid.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* kCtImageStorage = "1.2.840.10008.5.1.4.1.1.2";

// The project's description, as far as the series needs it.
struct Project {
  int32_t slices = 0, rows = 0, columns = 0;
  double spacing[3] = {0, 0, 0};  // x, y, slice distance (mm)
  std::string modality = "CT";
  std::string matrixFile;
  double windowLevel = 40, windowWidth = 400;
  std::string studyDate;  // YYYYMMDD, "" when the project has none
};

// The text of the element that follows <key>name</key> (searching from `from`), and where
// it ends; "" when there is none.
std::string ValueAfterKey(const std::string& xml, const std::string& name, size_t from = 0, size_t* end = nullptr) {
  const std::string key = "<key>" + name + "</key>";
  size_t at = xml.find(key, from);
  if (at == std::string::npos) return "";
  at = xml.find('<', at + key.size());
  const size_t open = xml.find('>', at);
  if (at == std::string::npos || open == std::string::npos) return "";
  const std::string tag = xml.substr(at + 1, open - at - 1);
  const size_t close = xml.find("</" + tag + ">", open);
  if (close == std::string::npos) return "";
  if (end) *end = close;
  return xml.substr(open + 1, close - open - 1);
}

// The numbers of an <array> of <integer> or <real> elements.
std::vector<double> Numbers(const std::string& array) {
  std::vector<double> values;
  for (size_t at = array.find('>'); at != std::string::npos; at = array.find('>', at + 1)) {
    const size_t next = array.find('<', at);
    if (next == std::string::npos) break;
    const std::string token = array.substr(at + 1, next - at - 1);  // the reader keeps a view of it
    ZR_NumberText text(token);
    double v = 0;
    if (text.NextReal(v)) values.push_back(v);
  }
  return values;
}

bool ReadProject(const fs::path& dir, Project& p, std::string& error) {
  std::ifstream in(dir / "main.plist", std::ios::binary);
  if (!in) {
    error = (dir / "main.plist").string() + ": cannot be read";
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  const std::string xml = text.str();
  size_t matrixEnd = 0;
  const std::string matrix = ValueAfterKey(xml, "matrix", 0, &matrixEnd);
  if (ValueAfterKey(matrix, "dtype") != "int16") {
    error = "the volume is not of signed 16-bit values";
    return false;
  }
  p.matrixFile = ValueAfterKey(matrix, "filename");
  const std::vector<double> shape = Numbers(ValueAfterKey(matrix, "shape"));
  const std::vector<double> spacing = Numbers(ValueAfterKey(xml, "spacing"));
  if (p.matrixFile.empty() || p.matrixFile.find('/') != std::string::npos || shape.size() != 3 ||
      spacing.size() != 3) {
    error = "main.plist does not describe the volume (file, shape, spacing)";
    return false;
  }
  for (double s : shape)
    if (s < 1 || s > 65535 || s != std::floor(s)) {
      error = "the volume's shape is not usable";
      return false;
    }
  for (int i = 0; i < 3; ++i)
    if (!(spacing[i] > 0) || !std::isfinite(spacing[i])) {
      error = "the volume's spacing is not usable";
      return false;
    }
  p.slices = static_cast<int32_t>(shape[0]);
  p.rows = static_cast<int32_t>(shape[1]);
  p.columns = static_cast<int32_t>(shape[2]);
  std::copy(spacing.begin(), spacing.end(), p.spacing);
  // "2012-09-14T15:12:08.790000" becomes the study date 20120914.
  const std::string date = ValueAfterKey(xml, "date");
  if (date.size() >= 10 && date[4] == '-' && date[7] == '-') {
    const std::string digits = date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2);
    if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) p.studyDate = digits;
  }
  const std::string modality = ValueAfterKey(xml, "modality");
  if (!modality.empty()) p.modality = modality;
  const std::vector<double> level = Numbers("<real>" + ValueAfterKey(xml, "window_level") + "</real>");
  const std::vector<double> width = Numbers("<real>" + ValueAfterKey(xml, "window_width") + "</real>");
  if (level.size() == 1 && width.size() == 1 && width[0] > 0) {
    p.windowLevel = level[0];
    p.windowWidth = width[0];
  }
  return true;
}

std::string Decimal(double value) { return ZR_NumberText::Real(static_cast<float>(value)); }

ZR_DcmImage Slice(const Project& p, const std::vector<uint16_t>& stored, int32_t k, int32_t intercept, int32_t bits,
                  const std::string& study, const std::string& series, const std::string& frame) {
  ZR_DcmImage image;
  image.SetSOPClass(kCtImageStorage);
  image.SetInstanceUID(ZR_DcmUid::Generate());
  image.SetStudyUID(study);
  image.SetSeriesUID(series);
  image.SetName("Sample^Head");
  image.SetPatientID("SAMPLE-HEAD");
  image.SetStudyDescription("Head");
  ZR_DcmElements a = image.Attributes();
  // The project names no patient, scanner or exposure: placeholders fill the study lines.
  a.Add(0x0010, 0x0040, "O");
  if (!p.studyDate.empty()) a.Add(0x0008, 0x0020, p.studyDate);
  a.Add(0x0008, 0x0060, p.modality);
  a.Add(0x0008, 0x0070, "Sample Maker");
  a.Add(0x0008, 0x0080, "Sample Institution");
  a.Add(0x0008, 0x1090, "Model CT");
  a.Add(0x0018, 0x0060, "120");
  a.Add(0x0018, 0x1151, 250);
  a.Add(0x0020, 0x0011, 1);
  a.Add(0x0020, 0x0013, k + 1);
  a.Add(0x0020, 0x0052, frame);
  a.Add(0x0028, 0x0002, 1);
  a.Add(0x0028, 0x0004, "MONOCHROME2");
  a.Add(0x0028, 0x0010, p.rows);
  a.Add(0x0028, 0x0011, p.columns);
  a.Add(0x0028, 0x0100, 16);
  a.Add(0x0028, 0x0101, bits);
  a.Add(0x0028, 0x0102, bits - 1);
  a.Add(0x0028, 0x0103, 0);
  a.Add(0x0028, 0x1050, Decimal(p.windowLevel));
  a.Add(0x0028, 0x1051, Decimal(p.windowWidth));
  a.Add(0x0028, 0x1052, intercept);
  a.Add(0x0028, 0x1053, 1);
  // Pixel Spacing: between rows (along y) first, then between columns.
  a.Add(0x0028, 0x0030, std::vector<double>{p.spacing[1], p.spacing[0]});
  a.Add(0x0018, 0x0050, Decimal(p.spacing[2]));
  a.Add(0x0020, 0x0037, std::vector<double>{1, 0, 0, 0, 1, 0});
  // Centred on the axis of the scanner, the first slice at z = 0.
  const double x0 = -0.5 * p.columns * p.spacing[0], y0 = -0.5 * p.rows * p.spacing[1];
  a.Add(0x0020, 0x0032, std::vector<double>{x0, y0, k * p.spacing[2]});
  a.Add(0x0020, 0x1041, Decimal(k * p.spacing[2]));
  const size_t values = size_t(p.rows) * size_t(p.columns);
  image.AllocatePixelSpace(values * 2);
  // The project keeps its rows bottom up (y grows upwards); DICOM rows run top down.
  const uint16_t* lastRow = stored.data() + values * size_t(k) + size_t(p.rows - 1) * size_t(p.columns);
  image.CopyPixelBuffer(lastRow, 1, 2, -static_cast<std::ptrdiff_t>(p.columns) * 2);
  return image;
}
}  // namespace

int ZR_CliSample::Run(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: lumetra-cli sample PROJECT_DIR OUT_DIR\n");
    return ZR_CliApp::kUsageError;
  }
  const fs::path projectDir = args[0], out = args[1];
  Project p;
  std::string error;
  if (!ReadProject(projectDir, p, error)) {
    std::fprintf(stderr, "lumetra-cli sample: %s\n", error.c_str());
    return VR_LD_INVALID_VOLUME;
  }
  const uint64_t count = uint64_t(p.slices) * uint64_t(p.rows) * uint64_t(p.columns);
  std::error_code ec;
  const fs::path matrixPath = projectDir / p.matrixFile;
  if (fs::file_size(matrixPath, ec) != count * 2 || ec) {
    std::fprintf(stderr, "lumetra-cli sample: %s does not hold %llu 16-bit values\n", matrixPath.c_str(),
                 static_cast<unsigned long long>(count));
    return VR_LD_INVALID_VOLUME;
  }
  std::vector<int16_t> raw(count);
  std::ifstream matrix(matrixPath, std::ios::binary);
  if (!matrix.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(count * 2))) {
    std::fprintf(stderr, "lumetra-cli sample: %s cannot be read\n", matrixPath.c_str());
    return VR_LD_INVALID_VOLUME;
  }
  // Stored values from 0; the intercept brings them back to what the project holds.
  const auto [low, high] = std::minmax_element(raw.begin(), raw.end());
  const int32_t intercept = *low, range = *high - *low;
  const int32_t bits = range <= 4095 ? 12 : 16;
  std::vector<uint16_t> stored(count);
  std::transform(raw.begin(), raw.end(), stored.begin(), [&](int16_t v) { return static_cast<uint16_t>(v - intercept); });

  // Written beside the destination and moved there when complete: a broken run leaves no
  // half series behind.
  const fs::path part = out.string() + ".part";
  fs::remove_all(part, ec);
  fs::create_directories(part, ec);
  if (ec) {
    std::fprintf(stderr, "lumetra-cli sample: cannot create %s: %s\n", part.c_str(), ec.message().c_str());
    return ZR_CliApp::kUsageError;
  }
  const std::string study = ZR_DcmUid::Generate(), series = ZR_DcmUid::Generate(), frame = ZR_DcmUid::Generate();
  try {
    for (int32_t k = 0; k < p.slices; ++k) {
      char name[32];
      std::snprintf(name, sizeof name, "IM%04d.dcm", k + 1);
      Slice(p, stored, k, intercept, bits, study, series, frame).WriteFile((part / name).string());
    }
  } catch (const ZR_DcmError& e) {
    std::fprintf(stderr, "lumetra-cli sample: %s\n", e.what());
    fs::remove_all(part, ec);
    return ZR_CliApp::kUsageError;
  }
  fs::remove_all(out, ec);
  fs::rename(part, out, ec);
  if (ec) {
    std::fprintf(stderr, "lumetra-cli sample: cannot move the series to %s: %s\n", out.c_str(), ec.message().c_str());
    return ZR_CliApp::kUsageError;
  }
  std::printf("%s: %d slices of %d x %d, %s mm apart, values %d..%d\n", out.c_str(), p.slices, p.columns, p.rows,
              Decimal(p.spacing[2]).c_str(), *low, *high);
  return 0;
}
