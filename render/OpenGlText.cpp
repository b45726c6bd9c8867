// The font's lists and the text of the views.
#include "render/OpenGlText.h"

#include <algorithm>
#include <cstdio>

#include "render/ZR_DrawSurface.h"
#include "render/ZR_GlFunctions.h"

OpenGlText& OpenGlText::Instance() {
  static OpenGlText text;
  return text;
}

void OpenGlText::DeleteLists() {
  if (m_pGl && m_nListBase) m_pGl->DeleteLists(m_nListBase, kCharacterCount);
  m_nListBase = 0;
}

bool OpenGlText::SetDC(ZR_DrawSurface* surface) {
  if (!surface || !m_pGl || !m_nListBase || m_aGlyphs.size() != kCharacterCount) return false;
  if (!surface->MakeCurrent()) return false;
  const ZR_GlFunctions& gl = *m_pGl;
  gl.TakeError();
  GLint alignment = 4;
  gl.GetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);  // glyph rows are whole bytes, not words
  for (int32_t c = 0; c < kCharacterCount; ++c) {
    const Glyph& glyph = m_aGlyphs[static_cast<size_t>(c)];
    gl.NewList(m_nListBase + static_cast<uint32_t>(c), GL_COMPILE);
    gl.Bitmap(glyph.nWidth, glyph.nRows, glyph.fOriginX, glyph.fOriginY, glyph.fAdvance, 0,
              glyph.aBits.empty() ? nullptr : glyph.aBits.data());
    gl.EndList();
  }
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  const bool ok = gl.TakeError() == GL_NO_ERROR;
  if (ok) m_pSurface = surface;
  return ok;
}

std::string OpenGlText::ListText(std::string_view text) {
  std::string out;
  out.reserve(std::min(text.size(), kBufferSize - 1));
  size_t i = 0;
  while (i < text.size() && out.size() < kBufferSize - 1) {
    const auto byte = static_cast<unsigned char>(text[i]);
    uint32_t code = byte;
    size_t length = 1;
    // A two-byte UTF-8 sequence is one character; code points beyond Latin-1 have no glyph.
    if (byte >= 0xC2 && byte <= 0xDF && i + 1 < text.size() &&
        (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      code = ((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      length = 2;
    } else if (byte >= 0xE0 && byte <= 0xF4) {
      const size_t need = byte >= 0xF0 ? 4 : 3;
      size_t k = 1;
      while (k < need && i + k < text.size() &&
             (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80)
        ++k;
      if (k == need) {
        code = 0x100;  // some character beyond Latin-1
        length = need;
      }
    }
    const bool printable = (code >= 32 && code <= 126) || (code >= 160 && code <= 255);
    out.push_back(printable ? static_cast<char>(code) : '?');
    i += length;
  }
  return out;
}

void OpenGlText::Print(std::string_view text, float x, float y) {
  if (!m_bEnabled || !m_pGl || !m_nListBase) return;
  const ZR_GlFunctions& gl = *m_pGl;
  char buffer[kBufferSize];
  const std::string mapped = ListText(text);
  const size_t length = mapped.copy(buffer, kBufferSize - 1);
  buffer[length] = '\0';

  gl.MatrixMode(GL_PROJECTION);
  gl.PushMatrix();
  gl.LoadIdentity();
  gl.MatrixMode(GL_MODELVIEW);
  gl.PushMatrix();
  gl.LoadIdentity();
  gl.RasterPos2f(x, y);
  gl.Disable(GL_DEPTH_TEST);
  gl.PushAttrib(GL_LIST_BIT);
  gl.ListBase(m_nListBase - kFirstCharacter);
  gl.CallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, buffer);
  gl.PopAttrib();
  gl.MatrixMode(GL_PROJECTION);
  gl.PopMatrix();
  gl.MatrixMode(GL_MODELVIEW);
  gl.PopMatrix();
}

const char* OpenGlText::OrientationLabel(int32_t index) {
  static const char* const kLabels[kLabelCount] = {
      "L",   "R",   "P",   "A",   "I",   "S",   "L/P", "L/A", "L/I", "L/S",
      "R/P", "R/A", "R/I", "R/S", "P/L", "P/R", "P/I", "P/S", "A/L", "A/R",
      "A/I", "A/S", "I/L", "I/R", "I/P", "I/A", "S/L", "S/R", "S/P", "S/A"};
  return index >= 0 && index < kLabelCount ? kLabels[index] : "";
}

void OpenGlText::DrawViewLabels(int32_t axis, int32_t labelsMode, const int32_t labels[6]) {
  if (!m_pGl || labelsMode == 2 || axis < 0 || axis > 2) return;
  const ZR_GlFunctions& gl = *m_pGl;
  gl.Disable(GL_TEXTURE_2D);
  gl.Disable(GL_TEXTURE_3D);
  gl.Color4f(1, 1, 1, 1);
  static const char* const kTitles[3] = {"Sagittal", "Coronal", "Axial"};
  // Left, right, bottom, top: the axis letters, and which of the six label slots they show.
  static const char* const kAxisNames[3][4] = {
      {"-Y", "+Y", "-Z", "+Z"}, {"-X", "+X", "-Z", "+Z"}, {"-X", "+X", "+Y", "-Y"}};
  static const int32_t kSlots[3][4] = {{2, 3, 4, 5}, {0, 1, 4, 5}, {0, 1, 3, 2}};
  static const float kPlaces[4][2] = {{-0.99f, 0.05f}, {0.83f, 0.05f}, {0.0f, -0.95f}, {0.0f, 0.91f}};
  Print(kTitles[axis], -0.97f, 0.925f);
  for (int side = 0; side < 4; ++side) {
    const char* text = labelsMode == 1 ? kAxisNames[axis][side]
                                       : OrientationLabel(labels ? labels[kSlots[axis][side]] : -1);
    Print(text, kPlaces[side][0], kPlaces[side][1]);
  }
}

float OpenGlText::StudyLineX(float x, size_t length, int32_t panelWidth) {
  if (x <= 0.5f) return x;
  const float s = panelWidth > 0 ? 636.0f / static_cast<float>(panelWidth) : 1.0f;
  x = (static_cast<float>(length) * 0.004f + 1.0f) * x;
  return 1.0f - (1.0f - x) * s;
}

void OpenGlText::DrawStudyDetails(int32_t panelWidth, const std::vector<ZR_StudyLine>& lines,
                                  std::string_view voxelSize, const ZR_Window* greyWindow) {
  if (!m_pGl) return;
  const ZR_GlFunctions& gl = *m_pGl;
  gl.Disable(GL_TEXTURE_2D);
  gl.Disable(GL_TEXTURE_3D);
  for (int i = 0; i < 6; ++i) gl.Disable(GL_CLIP_PLANE0 + i);
  gl.Color4f(1, 1, 1, 1);
  for (const ZR_StudyLine& line : lines) {
    const float x = StudyLineX(line.x, line.text.size(), panelWidth);
    Print(line.text, (x - 0.5f) * 2, (line.y - 0.5f) * 2);
  }
  Print(voxelSize, -0.95f, -0.94f);
  if (greyWindow) {
    char text[kBufferSize];
    std::snprintf(text, sizeof text, "W: %u L: %d", static_cast<unsigned>(greyWindow->nWidth),
                  greyWindow->nLevel);
    Print(text, -0.95f, -0.88f);
  }
}
