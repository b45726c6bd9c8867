#include "dicom/ZR_DcmImage.h"

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmValueCodec.h"

ZR_DcmImage::ZR_DcmImage() = default;

ZR_DcmImage::ZR_DcmImage(ZR_DcmDataSet meta, ZR_DcmDataSet data, std::string syntax, std::string name)
    : m_oMeta(std::move(meta)),
      m_oData(std::move(data)),
      m_sReceivedSyntax(std::move(syntax)),
      m_sName(std::move(name)) {}

void ZR_DcmImage::Fail(const std::string& what) const {
  throw ZR_DcmError(m_sName.empty() ? what : m_sName + ": " + what);
}

std::string ZR_DcmImage::Text(uint16_t group, uint16_t element) const {
  const ZR_DcmDataSet::Element* e = m_oData.Find(ZR_DcmDataSet::Tag(group, element));
  return e ? m_oData.TextOf(*e) : std::string();
}

void ZR_DcmImage::SetText(uint16_t group, uint16_t element, const std::string& text) {
  Attributes().Add(group, element, ZR_DcmValue(text));
}

std::string ZR_DcmImage::Name() const { return Text(0x0010, 0x0010); }
std::string ZR_DcmImage::Sex() const { return Text(0x0010, 0x0040); }
std::string ZR_DcmImage::StudyDescription() const { return Text(0x0008, 0x1030); }
std::string ZR_DcmImage::PatientID() const { return Text(0x0010, 0x0020); }
std::string ZR_DcmImage::StudyUID() const { return Text(0x0020, 0x000D); }
std::string ZR_DcmImage::SeriesUID() const { return Text(0x0020, 0x000E); }
std::string ZR_DcmImage::SOPClass() const { return Text(0x0008, 0x0016); }
std::string ZR_DcmImage::InstanceUID() const { return Text(0x0008, 0x0018); }

ZR_DcmValue ZR_DcmImage::DateOfBirth() const {
  const ZR_DcmDataSet::Element* e = m_oData.Find(ZR_DcmDataSet::Tag(0x0010, 0x0030));
  return e ? ZR_DcmValueCodec::Decode(m_oData, *e) : ZR_DcmValue();
}

void ZR_DcmImage::SetSOPClass(const std::string& uid) { SetText(0x0008, 0x0016, uid); }
void ZR_DcmImage::SetName(const std::string& name) { SetText(0x0010, 0x0010, name); }
void ZR_DcmImage::SetPatientID(const std::string& id) { SetText(0x0010, 0x0020, id); }
void ZR_DcmImage::SetDateOfBirth(const ZR_DcmValue& date) { Attributes().Add(0x0010, 0x0030, date); }
void ZR_DcmImage::SetStudyDescription(const std::string& text) { SetText(0x0008, 0x1030, text); }
void ZR_DcmImage::SetStudyUID(const std::string& uid) { SetText(0x0020, 0x000D, uid); }
void ZR_DcmImage::SetSeriesUID(const std::string& uid) { SetText(0x0020, 0x000E, uid); }
void ZR_DcmImage::SetInstanceUID(const std::string& uid) { SetText(0x0008, 0x0018, uid); }
