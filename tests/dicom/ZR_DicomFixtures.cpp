#include "tests/dicom/ZR_DicomFixtures.h"

#include <gdcmAttribute.h>
#include <gdcmImage.h>
#include <gdcmImageChangeTransferSyntax.h>
#include <gdcmImageReader.h>
#include <gdcmImageWriter.h>
#include <gdcmUIDGenerator.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "dicom/ZR_DcmUid.h"

namespace {
std::vector<uint8_t> Written(gdcm::ImageWriter& writer, const std::string& syntax) {
  std::ostringstream out;
  writer.SetStream(out);
  if (!writer.Write()) throw std::runtime_error("GDCM cannot write " + syntax);
  const std::string s = out.str();
  return std::vector<uint8_t>(s.begin(), s.end());
}
}  // namespace

ZR_DcmImage ZR_DicomFixtures::Image(const Grey& g, double z) {
  ZR_DcmImage image;
  image.SetSOPClass("1.2.840.10008.5.1.4.1.1.2");
  image.SetInstanceUID(ZR_DcmUid::Generate());
  image.SetStudyUID("1.2.3.4");
  image.SetSeriesUID("1.2.3.4.5");
  image.SetName("Test^Patient");
  image.SetPatientID("P1");
  ZR_DcmElements a = image.Attributes();
  a.Add(0x0008, 0x0060, "CT");
  a.Add(0x0028, 0x0002, 1);
  a.Add(0x0028, 0x0004, "MONOCHROME2");
  a.Add(0x0028, 0x0010, g.rows);
  a.Add(0x0028, 0x0011, g.columns);
  a.Add(0x0028, 0x0100, g.bitsAllocated);
  a.Add(0x0028, 0x0101, g.bitsStored);
  a.Add(0x0028, 0x0102, g.bitsStored - 1);
  a.Add(0x0028, 0x0103, g.isSigned ? 1 : 0);
  a.Add(0x0028, 0x0030, std::vector<double>{1.0, 1.0});
  a.Add(0x0020, 0x0032, std::vector<double>{0.0, 0.0, z});
  a.Add(0x0020, 0x0037, std::vector<double>{1, 0, 0, 0, 1, 0});
  const std::vector<uint8_t> bytes = Bytes(g);
  image.AllocatePixelSpace(bytes.size());
  image.CopyPixelBuffer(bytes.data(), 1, g.bitsAllocated / 8, g.columns * (g.bitsAllocated / 8));
  return image;
}

std::vector<uint8_t> ZR_DicomFixtures::Bytes(const Grey& g) {
  const size_t count = static_cast<size_t>(g.rows) * g.columns;
  if (g.values.size() != count) throw std::invalid_argument("fixture values do not match rows x columns");
  std::vector<uint8_t> bytes(count * (g.bitsAllocated / 8));
  for (size_t i = 0; i < count; ++i) {
    if (g.bitsAllocated == 8) {
      bytes[i] = static_cast<uint8_t>(g.values[i]);
    } else {
      const uint16_t v = static_cast<uint16_t>(g.values[i]);
      std::memcpy(&bytes[2 * i], &v, 2);
    }
  }
  return bytes;
}

std::vector<int32_t> ZR_DicomFixtures::Values(ZR_DcmImage& image) {
  const ZR_DcmPixelFormat& f = image.Format();
  const uint8_t* p = static_cast<const uint8_t*>(image.PixelAddress());
  const size_t count = size_t{f.rows} * f.columns * f.samples;
  std::vector<int32_t> values(count);
  for (size_t i = 0; i < count; ++i) {
    if (f.bitsAllocated == 8) {
      values[i] = f.pixelRepresentation ? static_cast<int8_t>(p[i]) : p[i];
    } else {
      uint16_t v;
      std::memcpy(&v, p + 2 * i, 2);
      values[i] = f.pixelRepresentation ? static_cast<int16_t>(v) : v;
    }
  }
  return values;
}

std::vector<uint8_t> ZR_DicomFixtures::GdcmFile(const Grey& g, const std::string& syntax) {
  gdcm::SmartPointer<gdcm::Image> raw = new gdcm::Image;
  raw->SetNumberOfDimensions(2);
  raw->SetDimension(0, static_cast<unsigned>(g.columns));
  raw->SetDimension(1, static_cast<unsigned>(g.rows));
  raw->SetPixelFormat(gdcm::PixelFormat(1, static_cast<unsigned short>(g.bitsAllocated),
                                        static_cast<unsigned short>(g.bitsStored),
                                        static_cast<unsigned short>(g.bitsStored - 1), g.isSigned ? 1 : 0));
  raw->SetPhotometricInterpretation(gdcm::PhotometricInterpretation::MONOCHROME2);
  raw->SetTransferSyntax(gdcm::TransferSyntax::ExplicitVRLittleEndian);
  const std::vector<uint8_t> bytes = Bytes(g);
  gdcm::DataElement pixels(gdcm::Tag(0x7fe0, 0x0010));
  pixels.SetByteValue(reinterpret_cast<const char*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
  pixels.SetVR(g.bitsAllocated > 8 ? gdcm::VR::OW : gdcm::VR::OB);
  raw->SetDataElement(pixels);

  gdcm::ImageChangeTransferSyntax change;
  change.SetTransferSyntax(gdcm::TransferSyntax(gdcm::TransferSyntax::GetTSType(syntax.c_str())));
  change.SetInput(*raw);
  if (!change.Change()) throw std::runtime_error("GDCM cannot encode " + syntax);

  gdcm::ImageWriter writer;
  writer.SetImage(change.GetOutput());
  gdcm::DataSet& ds = writer.GetFile().GetDataSet();
  gdcm::UIDGenerator uid;
  gdcm::Attribute<0x0008, 0x0016> sopClass = {"1.2.840.10008.5.1.4.1.1.7"};
  gdcm::Attribute<0x0008, 0x0018> instance = {uid.Generate()};
  gdcm::Attribute<0x0008, 0x0060> modality = {"OT"};
  ds.Replace(sopClass.GetAsDataElement());
  ds.Replace(instance.GetAsDataElement());
  ds.Replace(modality.GetAsDataElement());
  return Written(writer, syntax);
}

std::vector<uint8_t> ZR_DicomFixtures::GdcmTranscode(const std::vector<uint8_t>& file, const std::string& syntax) {
  std::istringstream in(std::string(file.begin(), file.end()));
  gdcm::ImageReader reader;
  reader.SetStream(in);
  if (!reader.Read()) throw std::runtime_error("GDCM cannot read the file");
  gdcm::ImageChangeTransferSyntax change;
  change.SetTransferSyntax(gdcm::TransferSyntax(gdcm::TransferSyntax::GetTSType(syntax.c_str())));
  change.SetInput(reader.GetImage());
  if (!change.Change()) throw std::runtime_error("GDCM cannot encode " + syntax);
  gdcm::ImageWriter writer;
  writer.SetFile(reader.GetFile());
  writer.SetImage(change.GetOutput());
  return Written(writer, syntax);
}

std::vector<uint8_t> ZR_DicomFixtures::GdcmPixels(const std::vector<uint8_t>& file) {
  std::istringstream in(std::string(file.begin(), file.end()));
  gdcm::ImageReader reader;
  reader.SetStream(in);
  if (!reader.Read()) throw std::runtime_error("GDCM cannot read the file");
  const gdcm::Image& image = reader.GetImage();
  std::vector<uint8_t> pixels(image.GetBufferLength());
  if (!image.GetBuffer(reinterpret_cast<char*>(pixels.data()))) throw std::runtime_error("GDCM cannot decode the file");
  return pixels;
}

void ZR_DicomFixtures::Save(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<uint8_t> ZR_DicomFixtures::Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
