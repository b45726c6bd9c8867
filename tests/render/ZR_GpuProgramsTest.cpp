// Capability detection and program binding, on a recording entry-point table (scripted
// extension strings) and on the real driver.
#include "render/ZR_GpuPrograms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/ZR_Result.h"
#include "render/ZR_EglContext.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RecordingGl.h"

namespace {

TEST(HasExtension, MatchesWholeWordsOnly) {
  struct Case {
    const char* extensions;
    const char* name;
    bool expected;
  };
  const Case cases[] = {
      {"GL_ARB_fragment_program_shadow GL_EXT_blend_minmax", "GL_ARB_fragment_program", false},
      {"GL_ARB_fragment_program_shadow GL_ARB_fragment_program", "GL_ARB_fragment_program", true},
      {"GL_ARB_fragment_program GL_EXT_blend_minmax", "GL_ARB_fragment_program", true},
      {"GL_EXT_blend_minmax GL_ARB_fragment_program", "GL_ARB_fragment_program", true},
      {"XGL_ARB_fragment_program", "GL_ARB_fragment_program", false},
      {"GL_EXT_texture3D", "GL_EXT_texture3D", true},
      {"GL_EXT_texture3D ", "GL_EXT_texture3D", true},
      {"GL_EXT_texture", "GL_EXT_texture3D", false},
      {"", "GL_EXT_texture3D", false},
      {"GL_EXT_texture3D", "", false},
      {"GL_EXT_a GL_EXT_b", "GL_EXT_a GL_EXT_b", false},  // a space: never a match
  };
  for (const Case& c : cases)
    EXPECT_EQ(ZR_GpuPrograms::HasExtension(c.extensions, c.name), c.expected)
        << "'" << c.name << "' in '" << c.extensions << "'";
}

TEST(HasExtension, ReadsTheExtensionStringOnceAndNeverForANameWithASpace) {
  ZR_RecordingGl recorder;
  recorder.extensions = "GL_EXT_blend_minmax";
  recorder.version = "1.1";
  ZR_GpuPrograms programs;
  (void)programs.DetectCapabilities(recorder.Table());
  recorder.Clear();
  EXPECT_TRUE(programs.HasExtension("GL_EXT_blend_minmax"));
  EXPECT_FALSE(programs.HasExtension("GL_EXT blend_minmax"));
  EXPECT_TRUE(recorder.CallsTo("glGetString").empty());
}

struct DetectCase {
  const char* label;
  const char* version;
  const char* extensions;
  int32_t result;
  int32_t path;
  bool canShade;
  bool bufferObjects;
};

const char* const kFull =
    "GL_EXT_blend_minmax GL_EXT_texture3D GL_ARB_multitexture GL_ARB_pixel_buffer_object "
    "GL_ARB_fragment_program GL_ARB_shader_objects GL_ATI_fragment_shader";

TEST(DetectCapabilities, DecidesFromTheExtensionStringNotFromEntryPoints) {
  // The recording loader answers every name with a pointer, as EGL does on Mesa, so only
  // the extension string (or the version that made a feature core) can decide.
  const DetectCase cases[] = {
      {"everything", "2.1", kFull, VR_OK, ZR_GpuPrograms::kShaded, true, true},
      {"no min/max blending on 1.3", "1.3", "GL_EXT_texture3D GL_ARB_multitexture "
       "GL_ARB_fragment_program", VR_OG_NOT_SUPPORTED, 0, false, false},
      {"blending core since 1.4", "1.4", "GL_EXT_texture3D GL_ARB_multitexture "
       "GL_ARB_fragment_program", VR_OK, ZR_GpuPrograms::kArbProgram, false, false},
      {"no 3D textures on 1.1", "1.1", "GL_EXT_blend_minmax GL_ARB_multitexture "
       "GL_ARB_fragment_program", VR_OG_SW_RENDER, 0, false, false},
      {"no multitexture on 1.2", "1.2", "GL_EXT_blend_minmax GL_EXT_texture3D "
       "GL_ARB_fragment_program", VR_OG_SW_RENDER, 0, false, false},
      {"no fragment path", "2.1", "GL_EXT_blend_minmax GL_EXT_texture3D GL_ARB_multitexture",
       VR_OG_SW_RENDER, 0, false, true},
      {"register combiners only", "1.5", "GL_EXT_blend_minmax GL_EXT_texture3D "
       "GL_ARB_multitexture GL_NV_register_combiners", VR_OK, ZR_GpuPrograms::kNvCombiners,
       false, false},
      {"ATI only", "1.5", "GL_EXT_blend_minmax GL_EXT_texture3D GL_ARB_multitexture "
       "GL_ATI_fragment_shader GL_NV_register_combiners_x", VR_OK, ZR_GpuPrograms::kAtiShader,
       false, false},
      {"fragment programs before combiners", "1.5", "GL_EXT_blend_minmax GL_EXT_texture3D "
       "GL_ARB_multitexture GL_NV_register_combiners GL_ARB_fragment_program",
       VR_OK, ZR_GpuPrograms::kArbProgram, false, false},
      {"a shadow extension is not the fragment program", "1.5", "GL_EXT_blend_minmax "
       "GL_EXT_texture3D GL_ARB_multitexture GL_ARB_fragment_program_shadow",
       VR_OG_SW_RENDER, 0, false, false},
  };
  for (const DetectCase& c : cases) {
    ZR_RecordingGl recorder;
    recorder.version = c.version;
    recorder.extensions = c.extensions;
    ZR_GpuPrograms programs;
    EXPECT_EQ(programs.DetectCapabilities(recorder.Table()), c.result) << c.label;
    if (c.result != VR_OK) continue;
    EXPECT_EQ(programs.DetectedPath(), c.path) << c.label;
    EXPECT_EQ(programs.CanShade(), c.canShade) << c.label;
    EXPECT_EQ(recorder.Table().bBufferObjects, c.bufferObjects) << c.label;
  }
}

TEST(DetectCapabilities, LoadsCoreNamesWhereTheExtensionIsMissing) {
  ZR_RecordingGl recorder;
  recorder.version = "2.1";
  recorder.extensions = "GL_ARB_fragment_program";
  ZR_GpuPrograms programs;
  ASSERT_EQ(programs.DetectCapabilities(recorder.Table()), VR_OK);
  for (const char* name : {"glBlendEquation", "glTexImage3D", "glTexSubImage3D", "glActiveTexture",
                           "glMapBuffer", "glBindProgramARB"})
    EXPECT_NE(std::find(recorder.lookups.begin(), recorder.lookups.end(), name), recorder.lookups.end())
        << name;
  EXPECT_EQ(std::find(recorder.lookups.begin(), recorder.lookups.end(), std::string("glTexImage3DEXT")),
            recorder.lookups.end());
}

TEST(DetectCapabilities, ARejectedProgramIsPrintedWithItsPositionAndDropped) {
  ZR_RecordingGl recorder;
  recorder.version = "1.5";
  recorder.extensions = "GL_EXT_blend_minmax GL_EXT_texture3D GL_ARB_multitexture GL_ARB_fragment_program";
  recorder.programError = "line 3, char 6: error: invalid instruction";
  recorder.integers[GL_PROGRAM_ERROR_POSITION_ARB] = 42;
  ZR_GpuPrograms programs;
  // The first error check after glProgramStringARB reports the rejection.
  recorder.errors = {GL_NO_ERROR, GL_INVALID_OPERATION};
  testing::internal::CaptureStdout();
  const int32_t result = programs.DetectCapabilities(recorder.Table());
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, VR_OK);  // program errors do not change the result
  EXPECT_EQ(printed, "line 3, char 6: error: invalid instruction\n @42\n");
  EXPECT_EQ(programs.ArbProgram(), 0u);
}

// "glName(a,b)" as the recorder writes it.
template <typename... A>
std::string Call(const char* name, A... args) {
  std::string text = std::string(name) + "(";
  ((text += std::to_string(args) + ","), ...);
  if (text.back() == ',') text.pop_back();
  return text + ")";
}

TEST(BindProgram, SetsUpEachPathAndProgramOffUndoesIt) {
  struct Case {
    const char* extensions;
    std::vector<std::string> bind;  // calls that must appear, in this order
    std::vector<std::string> off;   // exactly these
  };
  const std::string base = "GL_EXT_blend_minmax GL_EXT_texture3D GL_ARB_multitexture ";
  const Case cases[] = {
      {"GL_ARB_fragment_program",
       {Call("glBindProgramARB", GL_FRAGMENT_PROGRAM_ARB, 0), Call("glEnable", GL_FRAGMENT_PROGRAM_ARB),
        Call("glActiveTextureARB", GL_TEXTURE0_ARB), Call("glBindTexture", GL_TEXTURE_3D, 7),
        Call("glActiveTextureARB", GL_TEXTURE1_ARB), Call("glBindTexture", GL_TEXTURE_2D, 9),
        Call("glActiveTextureARB", GL_TEXTURE0_ARB)},
       {Call("glDisable", GL_FRAGMENT_PROGRAM_ARB), Call("glActiveTextureARB", GL_TEXTURE0_ARB)}},
      {"GL_NV_register_combiners",
       {Call("glBindTexture", GL_TEXTURE_3D, 7),
        Call("glTexEnvi", GL_TEXTURE_SHADER_NV, GL_SHADER_OPERATION_NV, GL_TEXTURE_3D),
        Call("glBindTexture", GL_TEXTURE_2D, 9),
        Call("glTexEnvi", GL_TEXTURE_SHADER_NV, GL_SHADER_OPERATION_NV, GL_DEPENDENT_AR_TEXTURE_2D_NV),
        Call("glTexEnvi", GL_TEXTURE_SHADER_NV, GL_PREVIOUS_TEXTURE_INPUT_NV, GL_TEXTURE0_ARB),
        Call("glCombinerParameteriNV", GL_NUM_GENERAL_COMBINERS_NV, 1),
        Call("glFinalCombinerInputNV", GL_VARIABLE_A_NV, GL_TEXTURE1_ARB, GL_UNSIGNED_IDENTITY_NV, GL_RGB),
        Call("glFinalCombinerInputNV", GL_VARIABLE_G_NV, GL_TEXTURE1_ARB, GL_UNSIGNED_IDENTITY_NV, GL_ALPHA),
        Call("glEnable", GL_TEXTURE_SHADER_NV), Call("glEnable", GL_REGISTER_COMBINERS_NV)},
       {Call("glDisable", GL_TEXTURE_SHADER_NV), Call("glDisable", GL_REGISTER_COMBINERS_NV),
        Call("glActiveTextureARB", GL_TEXTURE0_ARB)}},
      {"GL_ATI_fragment_shader",
       {Call("glBindTexture", GL_TEXTURE_3D, 7), Call("glBindTexture", GL_TEXTURE_2D, 9),
        Call("glEnable", GL_FRAGMENT_SHADER_ATI)},
       {Call("glDisable", GL_FRAGMENT_SHADER_ATI), Call("glActiveTextureARB", GL_TEXTURE1_ARB),
        Call("glDisable", GL_TEXTURE_2D), Call("glActiveTextureARB", GL_TEXTURE0_ARB)}},
  };
  for (const Case& c : cases) {
    ZR_RecordingGl recorder;
    recorder.version = "1.5";
    recorder.extensions = base + c.extensions;
    ZR_GpuPrograms programs;
    ASSERT_EQ(programs.DetectCapabilities(recorder.Table()), VR_OK) << c.extensions;
    programs.SetLutTexture(9);
    programs.SelectDrawPath(false);
    recorder.Clear();
    EXPECT_TRUE(programs.BindProgram(GL_TEXTURE_3D, 7)) << c.extensions;
    auto at = recorder.calls.begin();
    for (const std::string& call : c.bind) {
      at = std::find(at, recorder.calls.end(), call);
      ASSERT_NE(at, recorder.calls.end()) << c.extensions << ": " << call << " missing or out of order";
      ++at;
    }
    recorder.Clear();
    programs.ProgramOff();
    EXPECT_EQ(recorder.calls, c.off) << c.extensions;
  }
}

TEST(BindProgram, ReportsAnOpenGlError) {
  ZR_RecordingGl recorder;
  recorder.version = "1.5";
  recorder.extensions = "GL_EXT_blend_minmax GL_EXT_texture3D GL_ARB_multitexture GL_ARB_fragment_program";
  ZR_GpuPrograms programs;
  ASSERT_EQ(programs.DetectCapabilities(recorder.Table()), VR_OK);
  recorder.errors = {GL_NO_ERROR, GL_INVALID_VALUE};
  EXPECT_FALSE(programs.BindProgram(GL_TEXTURE_3D, 1));
}

TEST(SelectDrawPath, ShadesOnlyWhereCapableAndKeepsANonArbPath) {
  ZR_RecordingGl recorder;
  recorder.version = "2.1";
  recorder.extensions = kFull;
  ZR_GpuPrograms full;
  ASSERT_EQ(full.DetectCapabilities(recorder.Table()), VR_OK);
  full.SelectDrawPath(true);
  EXPECT_EQ(full.Path(), ZR_GpuPrograms::kShaded);
  full.SelectDrawPath(false);
  EXPECT_EQ(full.Path(), ZR_GpuPrograms::kArbProgram);

  recorder.extensions = "GL_EXT_blend_minmax GL_EXT_texture3D GL_ARB_multitexture GL_ATI_fragment_shader";
  ZR_GpuPrograms ati;
  ASSERT_EQ(ati.DetectCapabilities(recorder.Table()), VR_OK);
  ati.SelectDrawPath(true);
  EXPECT_EQ(ati.Path(), ZR_GpuPrograms::kAtiShader);
}

// --- On the real driver ---------------------------------------------------------------------

TEST(GpuProgramsOnDriver, TheLoaderAnswersForFunctionsThatDoNotExist) {
  LMX_REQUIRE_GL(gl);
  // Why detection cannot test entry points for null.
  EXPECT_NE(ZR_EglContext::Loader()("glNoSuchFunctionLMX"), nullptr);
}

TEST(GpuProgramsOnDriver, LlvmpipeGetsTheShadedPathWithBothProgramsBuilt) {
  LMX_REQUIRE_GL(gl);
  EXPECT_EQ(gl->DetectResult(), VR_OK);
  ZR_GpuPrograms& programs = gl->Programs();
  EXPECT_EQ(programs.DetectedPath(), ZR_GpuPrograms::kShaded);
  EXPECT_TRUE(programs.CanShade());
  EXPECT_TRUE(gl->Gl().bBufferObjects);
  EXPECT_NE(programs.ArbProgram(), 0u);
  ASSERT_NE(programs.ShadedProgram(), 0u);
  GLint linked = 0;
  gl->Gl().GetObjectParameterivARB(programs.ShadedProgram(), GL_OBJECT_LINK_STATUS_ARB, &linked);
  EXPECT_EQ(linked, 1);
}

}  // namespace
