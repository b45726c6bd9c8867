#include "dicom/ZR_DcmVr.h"

#include <gdcmDict.h>
#include <gdcmDictEntry.h>
#include <gdcmDicts.h>
#include <gdcmGlobal.h>
#include <gdcmTag.h>
#include <gdcmVR.h>

namespace {
using V = ZR_DcmVr;

constexpr uint16_t kKnown[] = {V::AE, V::AS, V::AT, V::CS, V::DA, V::DS, V::DT, V::FD, V::FL,
                               V::IS, V::LO, V::LT, V::OB, V::OD, V::OF, V::OL, V::OV, V::OW,
                               V::PN, V::SH, V::SL, V::SQ, V::SS, V::ST, V::SV, V::TM, V::UC,
                               V::UI, V::UL, V::UN, V::UR, V::US, V::UT, V::UV};

uint16_t FromGdcm(gdcm::VR::VRType type) {
  switch (type) {
    case gdcm::VR::US_SS: return V::XS;
    case gdcm::VR::OB_OW: return V::OW;
    case gdcm::VR::US_OW:
    case gdcm::VR::US_SS_OW: return V::OW;
    default: break;
  }
  const char* name = gdcm::VR::GetVRString(type);
  if (!name || name[0] == '\0' || name[1] == '\0' || name[2] != '\0') return V::UN;
  const uint16_t code = V::Code(name[0], name[1]);
  return V::IsKnown(code) ? code : V::UN;
}
}  // namespace

bool ZR_DcmVr::IsKnown(uint16_t vr) {
  for (uint16_t k : kKnown)
    if (k == vr) return true;
  return false;
}

bool ZR_DcmVr::HasLongLength(uint16_t vr) {
  switch (vr) {
    case OB: case OD: case OF: case OL: case OV: case OW: case SQ: case SV: case UC: case UN:
    case UR: case UT: case UV: return true;
    default: return false;
  }
}

bool ZR_DcmVr::IsText(uint16_t vr) {
  switch (vr) {
    case AE: case AS: case CS: case DA: case DS: case DT: case IS: case LO: case LT: case PN:
    case SH: case ST: case TM: case UC: case UI: case UR: case UT: return true;
    default: return false;
  }
}

bool ZR_DcmVr::UsesCharset(uint16_t vr) {
  switch (vr) {
    case LO: case LT: case PN: case SH: case ST: case UC: case UT: return true;
    default: return false;
  }
}

bool ZR_DcmVr::IsSingleValuedText(uint16_t vr) { return vr == LT || vr == ST || vr == UT || vr == UR; }

int ZR_DcmVr::UnitSize(uint16_t vr) {
  switch (vr) {
    case AT: case OW: case SS: case US: case XS: return 2;
    case FL: case OF: case OL: case SL: case UL: return 4;
    case FD: case OD: case OV: case SV: case UV: return 8;
    default: return 0;
  }
}

std::string ZR_DcmVr::Name(uint16_t vr) {
  return std::string{static_cast<char>(vr >> 8), static_cast<char>(vr & 0xff)};
}

uint16_t ZR_DcmVr::ForTag(uint32_t tag) {
  const uint16_t group = static_cast<uint16_t>(tag >> 16);
  const uint16_t element = static_cast<uint16_t>(tag & 0xffff);
  if (element == 0x0000) return UL;  // group length
  if (group & 1) {
    // Private: the creator elements are LO; what a creator's elements hold is unknown here.
    return (element >= 0x0010 && element <= 0x00ff) ? LO : UN;
  }
  const gdcm::Dicts& dicts = gdcm::Global::GetInstance().GetDicts();
  const gdcm::DictEntry& entry = dicts.GetDictEntry(gdcm::Tag(group, element));
  return FromGdcm(entry.GetVR());
}
