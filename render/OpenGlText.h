#pragma once
// Text in the views: one bitmap font as OpenGL display lists, made once and shared by every
// panel (they share one rendering context). The glyphs come from a monospace bold TrueType
// font rendered by FreeType; the lists cover the printable ASCII and Latin-1 characters.
//
// Every text is data: nothing here interprets it as a format, and what Print draws is cut at
// 255 characters.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "presets/ZR_Lut.h"
#include "render/ZR_ViewRecords.h"

struct ZR_GlFunctions;
class ZR_DrawSurface;

class OpenGlText {
 public:
  static constexpr const char* kDefaultFontFile =
      "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf";
  static constexpr int32_t kFirstCharacter = 32;
  static constexpr int32_t kCharacterCount = 256 - kFirstCharacter;  // 32..255
  static constexpr size_t kBufferSize = 256;                          // 255 characters and the end
  static constexpr int32_t kLabelCount = 30;

  static OpenGlText& Instance();
  OpenGlText() = default;
  OpenGlText(const OpenGlText&) = delete;
  OpenGlText& operator=(const OpenGlText&) = delete;

  void AttachGl(ZR_GlFunctions* gl) { m_pGl = gl; }
  void SetFontFile(std::string path) { m_sFontFile = std::move(path); }
  const std::string& FontFile() const { return m_sFontFile; }

  // Reserves the display lists and renders the glyphs at `height` pixels; true when the font
  // could be read (the context must be current).
  [[nodiscard]] bool MakeFont(int32_t height);
  // Builds the glyphs into the lists with the shared context current on `surface`; false
  // without a font, a surface or a context.
  [[nodiscard]] bool SetDC(ZR_DrawSurface* surface);
  void SetEnabled(bool on) { m_bEnabled = on; }
  bool Enabled() const { return m_bEnabled; }
  uint32_t ListBase() const { return m_nListBase; }
  // Frees the display lists (the context must be current).
  void DeleteLists();

  // Draws `text` at (x, y) in normalised device coordinates (-1..1), in the current colour.
  void Print(std::string_view text, float x, float y);
  // Title and side letters of an orthogonal slice (axis 0 sagittal, 1 coronal, 2 axial);
  // `labels` are the volume's six orientation-label indices (-x, +x, -y, +y, -z, +z).
  void DrawViewLabels(int32_t axis, int32_t labelsMode, const int32_t labels[6]);
  // The study lines placed for a panel of `panelWidth` pixels, the voxel-size text and, when
  // given, the grey window.
  void DrawStudyDetails(int32_t panelWidth, const std::vector<ZR_StudyLine>& lines,
                        std::string_view voxelSize, const ZR_Window* greyWindow);

  // --- The rules, for the tests ---------------------------------------------------------------
  // The bytes Print hands to the lists: UTF-8 and Latin-1 letters become their Latin-1 code,
  // any character without a glyph becomes '?', and the text is cut at 255 characters.
  static std::string ListText(std::string_view text);
  // Where a study line starts across a panel: lines on the right-hand half move left with
  // their length and keep their distance from the right edge as the panel widens.
  static float StudyLineX(float x, size_t length, int32_t panelWidth);
  // The orientation-label text of an index (0..29), "" for any other.
  static const char* OrientationLabel(int32_t index);

 private:
  struct Glyph {
    int32_t nWidth = 0;
    int32_t nRows = 0;
    float fOriginX = 0;
    float fOriginY = 0;
    float fAdvance = 0;
    std::vector<uint8_t> aBits;  // rows bottom first, each padded to whole bytes
  };

  ZR_GlFunctions* m_pGl = nullptr;
  std::string m_sFontFile = kDefaultFontFile;
  std::vector<Glyph> m_aGlyphs;  // characters 32..255
  uint32_t m_nListBase = 0;
  ZR_DrawSurface* m_pSurface = nullptr;
  bool m_bEnabled = true;
};
