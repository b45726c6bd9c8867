// Writes the small committed seed corpus of the DICOM reading fuzz target: one tiny image per
// encoding the reader meets. Run once after changing it:
//   build/debug/tests/dicom/lmx_make_dicom_corpus fuzz/fuzz_dicom_read/corpus
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "dicom/ZR_DcmError.h"
#include "tests/dicom/ZR_DicomFixtures.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 1;
  }
  const fs::path out = argv[1];
  fs::create_directories(out);
  try {
    ZR_DicomFixtures::Grey grey;
    grey.rows = 4;
    grey.columns = 4;
    grey.bitsStored = 12;
    grey.isSigned = true;
    grey.values = {-1024, -1, 0, 1, 258, 2047, -2048, 7, 100, 200, 300, 400, 500, 600, 700, 800};
    using Syntax = ZR_DcmImage::Syntax;
    const struct {
      const char* name;
      Syntax syntax;
    } native[] = {{"explicit_little.dcm", Syntax::ExplicitLittle},
                  {"implicit_little.dcm", Syntax::ImplicitLittle},
                  {"explicit_big.dcm", Syntax::ExplicitBig},
                  {"deflated.dcm", Syntax::Deflated}};
    for (const auto& n : native) {
      ZR_DcmImage image = ZR_DicomFixtures::Image(grey, 1.5);
      image.Attributes().Add(0x0008, 0x0005, "ISO_IR 100");
      image.SetName("Buc^Jérôme");
      ZR_DicomFixtures::Save(out / n.name, image.Encode(n.syntax));
    }
    // The data set alone, without preamble or meta information.
    {
      ZR_DcmImage image = ZR_DicomFixtures::Image(grey);
      const std::vector<uint8_t> file = image.Encode(Syntax::ImplicitLittle);
      uint32_t groupLength = 0;
      std::memcpy(&groupLength, file.data() + 140, 4);
      ZR_DicomFixtures::Save(out / "no_meta.dcm", std::vector<uint8_t>(file.begin() + 144 + groupLength, file.end()));
    }
    // GDCM's JPEG 2000 encoder writes past its buffer when the stream outgrows the raw image,
    // as it does for a 4 x 4 one: the compressed seeds are 16 x 16.
    ZR_DicomFixtures::Grey unsignedGrey = grey;
    unsignedGrey.isSigned = false;
    unsignedGrey.rows = unsignedGrey.columns = 16;
    unsignedGrey.values.clear();
    for (int i = 0; i < 256; ++i) unsignedGrey.values.push_back((i * 37 + (i / 16) * 101) & 0x0FFF);
    const struct {
      const char* name;
      const char* syntax;
    } compressed[] = {{"rle.dcm", "1.2.840.10008.1.2.5"},
                      {"jpeg_lossless.dcm", "1.2.840.10008.1.2.4.70"},
                      {"jpeg_ls.dcm", "1.2.840.10008.1.2.4.80"},
                      {"jpeg2000.dcm", "1.2.840.10008.1.2.4.90"}};
    for (const auto& c : compressed) ZR_DicomFixtures::Save(out / c.name, ZR_DicomFixtures::GdcmFile(unsignedGrey, c.syntax));
    ZR_DicomFixtures::Grey eight = unsignedGrey;
    eight.bitsAllocated = 8;
    eight.bitsStored = 8;
    for (int32_t& v : eight.values) v &= 0xFF;
    ZR_DicomFixtures::Save(out / "jpeg_baseline.dcm", ZR_DicomFixtures::GdcmFile(eight, "1.2.840.10008.1.2.4.50"));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
