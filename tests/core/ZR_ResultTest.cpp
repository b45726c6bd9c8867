#include "core/ZR_Result.h"

#include <gtest/gtest.h>

TEST(ResultMessages, EveryCodeWithATextHasItsExactMessage) {
  const struct {
    int32_t code;
    const char* text;
  } cases[] = {
      {VR_NO_MEMORY,
       "ERROR! Low on memory. Close other applications and reload volume, or reduce number of "
       "slices."},
      {VR_MEMORY_WARNING, "WARNING! Available physical memory may be insufficient."},
      {VR_LD_INVALID_VOLUME,
       "ERROR! Failed to load volume.\nThe selected images may not constitute a valid DICOM "
       "volume.\nSlices must belong to the same series.\nPixel spacing, imaging matrix, image "
       "orientation must be identical across slices."},
      {VR_LD_TOO_FEW_SLICES, "ERROR! Failed to load volume (too few slices)."},
      {VR_LD_MATRIX_NOT_SUPPORTED, "ERROR! Failed to load volume (Imaging Matrix not supported)."},
      {VR_OG_PIXEL_FORMAT, "ERROR! Failed to set OpenGL pixel format."},
      {VR_OG_CONTEXT, "ERROR! OpenGL Rendering Context failed. Check graphics card and drivers."},
      {VR_OG_3D_TEXTURE,
       "ERROR! OpenGL 3D Texturing failed. Try reloading volume or reducing number of slices."},
      {VR_OG_SW_RENDER,
       "WARNING! OpenGL Graphics acceleration not available. Rendering performance will be "
       "lower."},
      {VR_OG_NOT_SUPPORTED, "ERROR! OpenGL support insufficient. Try updating graphics drivers."},
      {VR_OG_SHADING, "ERROR! Failed to enable Shaded Rendering. Try reducing number of slices."},
  };
  for (const auto& c : cases) {
    ASSERT_NE(ZR_Result::Message(c.code), nullptr) << c.code;
    EXPECT_STREQ(ZR_Result::Message(c.code), c.text) << c.code;
    EXPECT_EQ(ZR_Result::DisplayText(c.code), c.text) << c.code;
  }
}

TEST(ResultMessages, CodesWithoutTextGetAGenericErrorNamingTheCode) {
  for (int32_t code : {0, 1, 7, 9, 15, 16, 17, -1, 1000000, INT32_MIN}) {
    EXPECT_EQ(ZR_Result::Message(code), nullptr) << code;
    const std::string text = ZR_Result::DisplayText(code);
    EXPECT_EQ(text.rfind("ERROR! ", 0), 0u) << text;
    EXPECT_NE(text.find("(result code " + std::to_string(code) + ")"), std::string::npos) << text;
  }
}
