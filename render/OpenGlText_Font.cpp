// The glyphs: FreeType renders each character of the font as a one-bit bitmap, the form
// OpenGL's bitmap display lists take.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>

#include "core/ZR_Log.h"
#include "render/OpenGlText.h"
#include "render/ZR_GlFunctions.h"

namespace {
struct LibraryDeleter {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
}  // namespace

bool OpenGlText::MakeFont(int32_t height) {
  if (!m_pGl || height <= 0) return false;
  DeleteLists();
  m_aGlyphs.clear();
  m_nListBase = m_pGl->GenLists(kCharacterCount);
  if (!m_nListBase) return false;

  FT_Library rawLibrary = nullptr;
  if (FT_Init_FreeType(&rawLibrary) != 0) return false;
  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library(rawLibrary);
  FT_Face rawFace = nullptr;
  if (FT_New_Face(library.get(), m_sFontFile.c_str(), 0, &rawFace) != 0) {
    ZR_Log::Entry("OpenGlText::MakeFont(): cannot read the font ", m_sFontFile);
    return false;
  }
  std::unique_ptr<FT_FaceRec_, FaceDeleter> face(rawFace);
  // The height is the character height in pixels (the em square), as a bitmap font's.
  if (FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(height)) != 0) return false;

  m_aGlyphs.resize(kCharacterCount);
  for (int32_t c = 0; c < kCharacterCount; ++c) {
    Glyph& glyph = m_aGlyphs[static_cast<size_t>(c)];
    const FT_ULong code = static_cast<FT_ULong>(kFirstCharacter + c);
    if (FT_Load_Char(face.get(), code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.fAdvance = static_cast<float>(slot->advance.x) / 64.0f;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.width == 0 || bitmap.rows == 0) continue;
    glyph.nWidth = static_cast<int32_t>(bitmap.width);
    glyph.nRows = static_cast<int32_t>(bitmap.rows);
    glyph.fOriginX = static_cast<float>(-slot->bitmap_left);
    glyph.fOriginY = static_cast<float>(glyph.nRows - slot->bitmap_top);
    // FreeType's rows run top first, a bitmap list's bottom first.
    const size_t rowBytes = (bitmap.width + 7) / 8;
    glyph.aBits.resize(rowBytes * bitmap.rows);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
      std::copy_n(source, rowBytes, glyph.aBits.data() + (bitmap.rows - 1 - row) * rowBytes);
    }
  }
  return true;
}
