#pragma once
// Value representations as two-letter codes packed into 16 bits ('P' << 8 | 'N'), what the
// parser and the encoder need to know about each, and the data dictionary (through GDCM) for
// files that do not spell the representation out.

#include <cstdint>
#include <string>

namespace lmx_detail {
constexpr uint16_t VrCode(char a, char b) {
  return static_cast<uint16_t>((static_cast<uint8_t>(a) << 8) | static_cast<uint8_t>(b));
}
}  // namespace lmx_detail

class ZR_DcmVr {
 public:
  static constexpr uint16_t Code(char a, char b) { return lmx_detail::VrCode(a, b); }
  static constexpr uint16_t AE = lmx_detail::VrCode('A', 'E'), AS = lmx_detail::VrCode('A', 'S'), AT = lmx_detail::VrCode('A', 'T'),
                            CS = lmx_detail::VrCode('C', 'S'), DA = lmx_detail::VrCode('D', 'A'), DS = lmx_detail::VrCode('D', 'S'),
                            DT = lmx_detail::VrCode('D', 'T'), FD = lmx_detail::VrCode('F', 'D'), FL = lmx_detail::VrCode('F', 'L'),
                            IS = lmx_detail::VrCode('I', 'S'), LO = lmx_detail::VrCode('L', 'O'), LT = lmx_detail::VrCode('L', 'T'),
                            OB = lmx_detail::VrCode('O', 'B'), OD = lmx_detail::VrCode('O', 'D'), OF = lmx_detail::VrCode('O', 'F'),
                            OL = lmx_detail::VrCode('O', 'L'), OV = lmx_detail::VrCode('O', 'V'), OW = lmx_detail::VrCode('O', 'W'),
                            PN = lmx_detail::VrCode('P', 'N'), SH = lmx_detail::VrCode('S', 'H'), SL = lmx_detail::VrCode('S', 'L'),
                            SQ = lmx_detail::VrCode('S', 'Q'), SS = lmx_detail::VrCode('S', 'S'), ST = lmx_detail::VrCode('S', 'T'),
                            SV = lmx_detail::VrCode('S', 'V'), TM = lmx_detail::VrCode('T', 'M'), UC = lmx_detail::VrCode('U', 'C'),
                            UI = lmx_detail::VrCode('U', 'I'), UL = lmx_detail::VrCode('U', 'L'), UN = lmx_detail::VrCode('U', 'N'),
                            UR = lmx_detail::VrCode('U', 'R'), US = lmx_detail::VrCode('U', 'S'), UT = lmx_detail::VrCode('U', 'T'),
                            UV = lmx_detail::VrCode('U', 'V');
  // "US or SS" in the dictionary: decided by the data set's Pixel Representation.
  static constexpr uint16_t XS = lmx_detail::VrCode('x', 's');

  static bool IsKnown(uint16_t vr);
  // Explicit encodings give these a 4-byte length after two reserved bytes.
  static bool HasLongLength(uint16_t vr);
  // Values that are text (every character-string representation).
  static bool IsText(uint16_t vr);
  // Text whose bytes follow the Specific Character Set (the others are plain ASCII).
  static bool UsesCharset(uint16_t vr);
  // Text holding one value only, where '\' is an ordinary character.
  static bool IsSingleValuedText(uint16_t vr);
  // Size of one binary unit for byte swapping (2 for US, 4 for FL, ...); 0 for text and bytes.
  static int UnitSize(uint16_t vr);
  static std::string Name(uint16_t vr);

  // The representation the dictionary gives a tag; UN when it knows none.
  static uint16_t ForTag(uint32_t tag);
};
