// On-screen text: what reaches the display lists (data only, cut at the buffer, every byte
// a character with a glyph), where study lines go, and what the views show.
#include "render/OpenGlText.h"

#include <gtest/gtest.h>

#include <string>

#include "render/ZR_FramebufferSurface.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RecordingGl.h"
#include "tests/support/ZR_TestImage.h"

namespace {

TEST(OpenGlTextRules, ListTextKeepsDataAsDataAndEveryByteDrawable) {
  struct Case {
    const char* label;
    std::string text;
    std::string expected;
  } cases[] = {
      {"format directives are plain characters", "%n%s%s", "%n%s%s"},
      {"Latin-1", "M\xFCller", "M\xFCller"},
      {"UTF-8 two-byte letter", "M\xC3\xBCller", "M\xFCller"},
      {"beyond Latin-1: one '?' per character", "\xE2\x82\xAC 5 \xF0\x9F\x98\x80", "? 5 ?"},
      {"control characters and C1", std::string("a\x01\tb\x7F\x85", 6), "a??b??"},
      {"a lone continuation byte", "x\x80y", "x?y"},
      {"NUL inside the value", std::string("A\0B", 3), "A?B"},
  };
  for (const Case& c : cases) EXPECT_EQ(OpenGlText::ListText(c.text), c.expected) << c.label;
  EXPECT_EQ(OpenGlText::ListText(std::string(1000, 'A')), std::string(255, 'A'));
  // A multi-byte character counts once against the 255.
  std::string umlauts;
  for (int i = 0; i < 300; ++i) umlauts += "\xC3\xBC";
  EXPECT_EQ(OpenGlText::ListText(umlauts), std::string(255, '\xFC'));
}

TEST(OpenGlTextRules, RightHandStudyLinesKeepTheirPlaceFromTheRightEdge) {
  // A 20-character line at x = 0.9 on a 1272-pixel panel: 0.972, then 1 - 0.028 x 0.5.
  EXPECT_NEAR(OpenGlText::StudyLineX(0.9f, 20, 1272), 0.986f, 1e-5f);
  EXPECT_NEAR((OpenGlText::StudyLineX(0.9f, 20, 1272) - 0.5f) * 2, 0.972f, 1e-5f);
  // On the 636-pixel panel the lines were placed for, only the length moves them.
  EXPECT_NEAR(OpenGlText::StudyLineX(0.6f, 10, 636), 0.624f, 1e-5f);
  // Left-hand lines stay where they are.
  EXPECT_EQ(OpenGlText::StudyLineX(0.03f, 40, 1272), 0.03f);
  EXPECT_EQ(OpenGlText::StudyLineX(0.5f, 40, 300), 0.5f);
}

TEST(OpenGlTextRules, OrientationLabels) {
  EXPECT_STREQ(OpenGlText::OrientationLabel(0), "L");
  EXPECT_STREQ(OpenGlText::OrientationLabel(13), "R/S");
  EXPECT_STREQ(OpenGlText::OrientationLabel(29), "S/A");
  EXPECT_STREQ(OpenGlText::OrientationLabel(30), "");
  EXPECT_STREQ(OpenGlText::OrientationLabel(-1), "");
}

// The font on the driver, in a panel of its own.
class TextOnPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    gl = ZR_GlTestContext::Get();
    ASSERT_NE(gl, nullptr) << ZR_GlTestContext::Error();
    panel = std::make_unique<ZR_FramebufferSurface>(gl->Context(), 96, 64);
    ASSERT_TRUE(panel->Create());
    text.AttachGl(&gl->Gl());
    ASSERT_TRUE(text.MakeFont(14));
    ASSERT_TRUE(text.SetDC(panel.get()));
    Clear();
  }
  void TearDown() override {
    if (gl) {
      (void)gl->Context().MakeCurrent();
      text.DeleteLists();
    }
  }
  void Clear() {
    ASSERT_TRUE(panel->MakeCurrent());
    gl->Gl().Viewport(0, 0, 96, 64);
    gl->Gl().ClearColor(0, 0, 0, 0);
    gl->Gl().Clear(GL_COLOR_BUFFER_BIT);
  }
  ZR_TestImage Read() {
    std::vector<uint8_t> pixels(96 * 64 * 4);
    EXPECT_TRUE(panel->ReadPixels(0, 0, 96, 64, GL_RGBA, GL_UNSIGNED_BYTE, true, pixels.data()));
    return ZR_TestImage::FromBottomUp(96, 64, 4, pixels.data());
  }
  // Lit pixels inside a rectangle (top-left x0, y0 inclusive to x1, y1 exclusive).
  static int Lit(const ZR_TestImage& image, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) count += image.At(x, y)[0] > 128 ? 1 : 0;
    return count;
  }

  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_FramebufferSurface> panel;
  OpenGlText text;
};

TEST_F(TextOnPanel, PrintDrawsAtItsPlaceInTheCurrentColour) {
  gl->Gl().Color4f(1, 1, 1, 1);
  text.Print("Axial", -0.97f, 0.5f);  // the upper left quarter
  const ZR_TestImage image = Read();
  EXPECT_GT(Lit(image, 0, 0, 48, 32), 20);
  EXPECT_EQ(Lit(image, 0, 32, 96, 64), 0);
  EXPECT_EQ(Lit(image, 60, 0, 96, 32), 0);
}

TEST_F(TextOnPanel, LettersBeyondAsciiHaveTheirOwnGlyphs) {
  gl->Gl().Color4f(1, 1, 1, 1);
  text.Print("\xFC", -0.9f, 0);
  const ZR_TestImage umlaut = Read();
  Clear();
  text.Print("?", -0.9f, 0);
  const ZR_TestImage question = Read();
  Clear();
  text.Print("u", -0.9f, 0);
  const ZR_TestImage plain = Read();
  const int lit = Lit(umlaut, 0, 0, 96, 64);
  EXPECT_GT(lit, 10);
  EXPECT_GT(lit, Lit(plain, 0, 0, 96, 64));  // the dots
  EXPECT_NE(umlaut.aPixels, question.aPixels);
}

TEST_F(TextOnPanel, DisabledTextDrawsNothing) {
  text.SetEnabled(false);
  text.Print("Axial", -0.97f, 0.5f);
  text.SetEnabled(true);
  EXPECT_EQ(Lit(Read(), 0, 0, 96, 64), 0);
}

TEST_F(TextOnPanel, PrintHandsTheListsAtMost255DataBytes) {
  ZR_RecordingGl recording(&gl->Gl());
  text.AttachGl(&recording.Table());
  text.Print("%n%s%s", 0.25f, -0.5f);
  text.Print(std::string(1000, 'x'), 0, 0);
  text.AttachGl(&gl->Gl());
  EXPECT_TRUE(recording.Has("glRasterPos2f(0.25,-0.5)"));
  EXPECT_TRUE(recording.Has("glListBase(" + std::to_string(text.ListBase() - 32) + ")"));
  EXPECT_EQ(recording.CallsTo("glCallLists"),
            (std::vector<std::string>{"glCallLists(6,5121,p)", "glCallLists(255,5121,p)"}));
  // Both matrices come back, the model-view one current.
  EXPECT_EQ(recording.CallsTo("glPushMatrix").size(), recording.CallsTo("glPopMatrix").size());
  EXPECT_EQ(recording.calls.back(), "glPopMatrix()");
  EXPECT_EQ(recording.CallsTo("glMatrixMode").back(), "glMatrixMode(5888)");
}

TEST_F(TextOnPanel, ViewLabelsFollowTheLabelsMode) {
  const int32_t labels[6] = {1, 0, 3, 2, 4, 5};  // R L A P I S
  ZR_RecordingGl recording(&gl->Gl());
  text.AttachGl(&recording.Table());
  text.DrawViewLabels(2, 2, labels);  // "None"
  EXPECT_TRUE(recording.CallsTo("glCallLists").empty());
  text.DrawViewLabels(2, 0, labels);  // axial, orientation letters: "Axial", R, L, P, A
  text.AttachGl(&gl->Gl());
  EXPECT_EQ(recording.CallsTo("glCallLists"),
            (std::vector<std::string>{"glCallLists(5,5121,p)", "glCallLists(1,5121,p)",
                                      "glCallLists(1,5121,p)", "glCallLists(1,5121,p)",
                                      "glCallLists(1,5121,p)"}));
  EXPECT_EQ(recording.CallsTo("glRasterPos2f"),
            (std::vector<std::string>{"glRasterPos2f(-0.97,0.925)", "glRasterPos2f(-0.99,0.05)",
                                      "glRasterPos2f(0.83,0.05)", "glRasterPos2f(0,-0.95)",
                                      "glRasterPos2f(0,0.91)"}));
  const ZR_TestImage image = Read();
  EXPECT_GT(Lit(image, 0, 0, 96, 64), 30);
}

TEST_F(TextOnPanel, StudyDetailsPrintValuesAsTheyAreAndTheWindow) {
  const std::vector<ZR_StudyLine> lines = {{0.03f, 0.95f, "%n%s%s"},
                                           {0.9f, 0.95f, std::string(1000, 'D')},
                                           {0.03f, 0.9f, "M\xC3\xBCller"}};
  const ZR_Window window{400, -20};
  ZR_RecordingGl recording(&gl->Gl());
  text.AttachGl(&recording.Table());
  text.DrawStudyDetails(1272, lines, "0.70 x 0.70 x 1.25 mm", &window);
  text.DrawStudyDetails(1272, {}, "", nullptr);
  text.AttachGl(&gl->Gl());
  EXPECT_EQ(recording.CallsTo("glCallLists"),
            (std::vector<std::string>{"glCallLists(6,5121,p)", "glCallLists(255,5121,p)",
                                      "glCallLists(6,5121,p)", "glCallLists(21,5121,p)",
                                      "glCallLists(13,5121,p)",  // "W: 400 L: -20"
                                      "glCallLists(0,5121,p)"}));
  const std::vector<std::string> places = recording.CallsTo("glRasterPos2f");
  ASSERT_EQ(places.size(), 6u);
  EXPECT_EQ(places[0], "glRasterPos2f(-0.94,0.9)");
  EXPECT_EQ(places[3], "glRasterPos2f(-0.95,-0.94)");
  EXPECT_EQ(places[4], "glRasterPos2f(-0.95,-0.88)");
}

}  // namespace
