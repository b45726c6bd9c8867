// The platform layer: headless panels behave like double-buffered windows; the matrix
// helper follows OpenGL's conventions.
#include <gtest/gtest.h>

#include <vector>

#include "render/ZR_FramebufferSurface.h"
#include "render/ZR_Matrix4.h"
#include "tests/support/ZR_GlTestContext.h"

namespace {

std::vector<uint8_t> ReadAll(ZR_FramebufferSurface& surface, bool fromBack) {
  std::vector<uint8_t> pixels(size_t(surface.Width()) * surface.Height() * 4, 7);
  EXPECT_TRUE(surface.ReadPixels(0, 0, surface.Width(), surface.Height(), GL_RGBA, GL_UNSIGNED_BYTE,
                                 fromBack, pixels.data()));
  return pixels;
}

TEST(FramebufferSurface, SwapShowsTheBackBufferInTheFrontBuffer) {
  LMX_REQUIRE_GL(gl);
  ZR_FramebufferSurface surface(gl->Context(), 6, 5);
  ASSERT_TRUE(surface.Create());
  EXPECT_EQ(ReadAll(surface, false)[0], 0);  // a new panel is black
  ASSERT_TRUE(surface.MakeCurrent());
  gl->Gl().ClearColor(1, 0, 0, 1);
  gl->Gl().Clear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(ReadAll(surface, true)[0], 255);
  EXPECT_EQ(ReadAll(surface, false)[0], 0);  // not shown before the swap
  // The swap copies the whole buffer, whatever scissor the drawing left on.
  gl->Gl().Enable(GL_SCISSOR_TEST);
  gl->Gl().Scissor(0, 0, 1, 1);
  ASSERT_TRUE(surface.SwapBuffers());
  gl->Gl().Disable(GL_SCISSOR_TEST);
  const std::vector<uint8_t> front = ReadAll(surface, false);
  EXPECT_EQ(front[0], 255);
  EXPECT_EQ(front[front.size() - 4], 255);
}

TEST(FramebufferSurface, RefusesBadSizesAndReadsOutsideTheBuffer) {
  LMX_REQUIRE_GL(gl);
  ZR_FramebufferSurface empty(gl->Context(), 0, 4);
  EXPECT_FALSE(empty.Create());
  EXPECT_FALSE(empty.MakeCurrent());
  ZR_FramebufferSurface surface(gl->Context(), 4, 4);
  ASSERT_TRUE(surface.Create());
  std::vector<uint8_t> pixels(4 * 4 * 4);
  EXPECT_FALSE(surface.ReadPixels(1, 0, 4, 4, GL_RGBA, GL_UNSIGNED_BYTE, true, pixels.data()));
  EXPECT_FALSE(surface.ReadPixels(0, 0, 4, 4, GL_RGBA, GL_UNSIGNED_BYTE, true, nullptr));
  ASSERT_TRUE(surface.Resize(3, 2));
  EXPECT_EQ(surface.Width(), 3);
  // Odd row lengths are packed without padding.
  std::vector<uint8_t> rgb(3 * 2 * 3 + 1, 9);
  EXPECT_TRUE(surface.ReadPixels(0, 0, 3, 2, GL_RGB, GL_UNSIGNED_BYTE, true, rgb.data()));
  EXPECT_EQ(rgb.back(), 9);
}

TEST(Matrix4, FollowsOpenGlsConventions) {
  const ZR_Matrix4 rotation = ZR_Matrix4::Rotation(90, 0, 0, 2);  // the axis need not be unit
  const auto turned = rotation.TransformPoint(1, 0, 0);
  EXPECT_NEAR(turned[0], 0, 1e-12);
  EXPECT_NEAR(turned[1], 1, 1e-12);
  // Translation * Rotation rotates first, as glTranslate followed by glRotate does.
  const auto moved = (ZR_Matrix4::Translation(5, 0, 0) * rotation).TransformPoint(1, 0, 0);
  EXPECT_NEAR(moved[0], 5, 1e-12);
  EXPECT_NEAR(moved[1], 1, 1e-12);
  // Column-major: the translation sits in elements 12..14.
  EXPECT_EQ(ZR_Matrix4::Translation(1, 2, 3)[13], 2);
  EXPECT_EQ(rotation.Transposed().At(0, 1), rotation.At(1, 0));
  const ZR_Matrix4 withTranslation = ZR_Matrix4::Translation(1, 2, 3) * rotation;
  EXPECT_EQ(withTranslation.UpperLeft3x3()[12], 0);
  EXPECT_NEAR(withTranslation.UpperLeft3x3()[1], 1, 1e-12);
}

}  // namespace
