// Capability detection and the per-draw binding of the fragment paths.
#include "render/ZR_GpuPrograms.h"

#include <cctype>
#include <cstdio>

#include "core/ZR_Log.h"
#include "core/ZR_Result.h"

bool ZR_GpuPrograms::HasExtension(std::string_view extensions, std::string_view name) {
  if (name.empty() || name.find(' ') != std::string_view::npos) return false;
  for (size_t at = extensions.find(name); at != std::string_view::npos;
       at = extensions.find(name, at + 1)) {
    const bool starts = at == 0 || extensions[at - 1] == ' ';
    const size_t end = at + name.size();
    const bool ends = end == extensions.size() || extensions[end] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

bool ZR_GpuPrograms::HasExtension(std::string_view name) {
  if (name.empty() || name.find(' ') != std::string_view::npos) return false;
  if (!m_bExtensionsRead && m_pGl && m_pGl->GetString) {
    const GLubyte* text = m_pGl->GetString(GL_EXTENSIONS);
    m_sExtensions = text ? reinterpret_cast<const char*>(text) : "";
    m_bExtensionsRead = true;
  }
  return HasExtension(m_sExtensions, name);
}

int32_t ZR_GpuPrograms::ParseVersion(const char* version) {
  if (!version) return 0;
  int major = 0, minor = 0;
  if (std::sscanf(version, "%d.%d", &major, &minor) != 2 || major < 0 || minor < 0 || minor > 9)
    return 0;
  return major * 10 + minor;
}

namespace {
// One entry point under the extension's name or, where the feature became core, under the
// core name; the table's slot keeps the extension's (call-compatible) signature.
template <typename Fn>
bool LoadOne(const ZR_GlLoader& loader, Fn& slot, const char* name) {
  return ZR_GlFunctions::LoadAs(loader, slot, name);
}
}  // namespace

int32_t ZR_GpuPrograms::DetectCapabilities(ZR_GlFunctions& gl) {
  DeletePrograms();  // those of an earlier detection, through the table that made them
  if (m_pGl != &gl) m_bExtensionsRead = false;
  m_pGl = &gl;
  m_bArbAvailable = false;
  m_bCanShade = false;
  m_nDetectedPath = kArbProgram;
  m_nPath = kArbProgram;
  const ZR_GlLoader& load = gl.loader;
  if (!load) return VR_OG_SW_RENDER;
  const GLubyte* versionText = gl.GetString ? gl.GetString(GL_VERSION) : nullptr;
  const int32_t version = ParseVersion(reinterpret_cast<const char*>(versionText));

  // 1. Minimum and maximum blending. A loader answers for any name, so the extension string
  // (or the version that made the feature core) decides, not the pointer.
  bool blending = false;
  if (HasExtension("GL_EXT_blend_minmax"))
    blending = LoadOne(load, gl.BlendEquationEXT, "glBlendEquationEXT");
  else if (version >= 14)
    blending = LoadOne(load, gl.BlendEquationEXT, "glBlendEquation");
  if (!blending) return VR_OG_NOT_SUPPORTED;

  // 2. 3D textures and multitexture.
  bool textures = false;
  if (HasExtension("GL_EXT_texture3D"))
    textures = LoadOne(load, gl.TexImage3DEXT, "glTexImage3DEXT") &&
               LoadOne(load, gl.TexSubImage3DEXT, "glTexSubImage3DEXT");
  else if (version >= 12)
    textures = LoadOne(load, gl.TexImage3DEXT, "glTexImage3D") &&
               LoadOne(load, gl.TexSubImage3DEXT, "glTexSubImage3D");
  bool multitexture = false;
  if (HasExtension("GL_ARB_multitexture"))
    multitexture = LoadOne(load, gl.ActiveTextureARB, "glActiveTextureARB");
  else if (version >= 13)
    multitexture = LoadOne(load, gl.ActiveTextureARB, "glActiveTexture");
  if (!textures || !multitexture) return VR_OG_SW_RENDER;

  // 3. Buffer objects for the pixel uploads; without them the upload buffers stay in main
  // memory, so their absence does not decide the result.
  const bool pixelBuffers = version >= 21 || HasExtension("GL_ARB_pixel_buffer_object") ||
                            HasExtension("GL_EXT_pixel_buffer_object");
  // Every entry point of a group, under its own name or with the ARB suffix; `loaded`
  // turns false at the first one missing.
  bool loaded = true;
#define ZR_GL_LOAD(name) loaded = loaded && LoadOne(load, gl.name, "gl" #name);
#define ZR_GL_LOAD_WITH_ARB(name) loaded = loaded && LoadOne(load, gl.name, "gl" #name "ARB");
  bool buffers = false;
  if (version >= 15) {
    ZR_GL_BUFFERS(ZR_GL_LOAD)
    buffers = loaded;
  } else if (HasExtension("GL_ARB_vertex_buffer_object")) {
    ZR_GL_BUFFERS(ZR_GL_LOAD_WITH_ARB)
    buffers = loaded;
  }
  gl.bBufferObjects = buffers && pixelBuffers;

  // 4..6. The fragment path, in order of preference.
  loaded = true;
  if (HasExtension("GL_ARB_fragment_program") && [&] {
        ZR_GL_ARB_PROGRAM(ZR_GL_LOAD)
        return loaded;
      }()) {
    m_bArbAvailable = true;
    m_nDetectedPath = kArbProgram;
    if (HasExtension("GL_ARB_shader_objects")) {
      ZR_GL_GLSL(ZR_GL_LOAD)
      if (loaded) {
        m_nDetectedPath = kShaded;
        m_bCanShade = true;
      }
    }
  } else if (HasExtension("GL_NV_register_combiners")) {
    ZR_GL_NV_COMBINERS(ZR_GL_LOAD)
    if (!loaded) return VR_OG_SW_RENDER;
    m_nDetectedPath = kNvCombiners;
  } else if (HasExtension("GL_ATI_fragment_shader")) {
    ZR_GL_ATI_SHADER(ZR_GL_LOAD)
    if (!loaded) return VR_OG_SW_RENDER;
    m_nDetectedPath = kAtiShader;
  } else {
    return VR_OG_SW_RENDER;
  }
#undef ZR_GL_LOAD
#undef ZR_GL_LOAD_WITH_ARB
  m_nPath = m_nDetectedPath;

  // 7. The programs of the chosen path; a failure here leaves drawing without a program
  // but does not change the result.
  if (m_bArbAvailable) {
    BuildArbProgram();
    if (m_bCanShade) BuildShadedProgram();
  } else if (m_nDetectedPath == kAtiShader) {
    BuildAtiShader();
  }
  gl.TakeError();
  return VR_OK;
}

void ZR_GpuPrograms::DeletePrograms() {
  if (!m_pGl) return;
  const ZR_GlFunctions& gl = *m_pGl;
  if (m_nArbProgram && gl.DeleteProgramsARB) gl.DeleteProgramsARB(1, &m_nArbProgram);
  if (gl.DeleteObjectARB) {
    for (uint32_t shader : m_aShaders)
      if (shader) gl.DeleteObjectARB(shader);
    if (m_nGlslProgram) gl.DeleteObjectARB(m_nGlslProgram);
  }
  if (m_nAtiShader && gl.DeleteFragmentShaderATI) gl.DeleteFragmentShaderATI(m_nAtiShader);
  m_nArbProgram = 0;
  m_nGlslProgram = 0;
  m_aShaders[0] = m_aShaders[1] = 0;
  m_nAtiShader = 0;
}

void ZR_GpuPrograms::SelectDrawPath(bool shaded) {
  if (shaded && m_bCanShade)
    m_nPath = kShaded;
  else if (m_bArbAvailable)
    m_nPath = kArbProgram;
  else
    m_nPath = m_nDetectedPath;
}

void ZR_GpuPrograms::BindLookupTextures(GLenum target, uint32_t texture) {
  const ZR_GlFunctions& gl = *m_pGl;
  gl.ActiveTextureARB(GL_TEXTURE0_ARB);
  gl.BindTexture(target, texture);
  gl.ActiveTextureARB(GL_TEXTURE1_ARB);
  gl.BindTexture(GL_TEXTURE_2D, m_nLutTexture);
}

bool ZR_GpuPrograms::BindProgram(GLenum target, uint32_t texture) {
  if (!m_pGl || !m_pGl->ActiveTextureARB) return false;
  const ZR_GlFunctions& gl = *m_pGl;
  gl.TakeError();
  switch (m_nPath) {
    case kArbProgram:
    case kShaded:
      if (gl.BindProgramARB) {
        gl.BindProgramARB(GL_FRAGMENT_PROGRAM_ARB, m_nArbProgram);
        gl.Enable(GL_FRAGMENT_PROGRAM_ARB);
      }
      BindLookupTextures(target, texture);
      gl.ActiveTextureARB(GL_TEXTURE0_ARB);
      break;
    case kNvCombiners: {
      gl.ActiveTextureARB(GL_TEXTURE0_ARB);
      gl.BindTexture(target, texture);
      gl.TexEnvi(GL_TEXTURE_SHADER_NV, GL_SHADER_OPERATION_NV, static_cast<GLint>(target));
      gl.ActiveTextureARB(GL_TEXTURE1_ARB);
      gl.BindTexture(GL_TEXTURE_2D, m_nLutTexture);
      gl.TexEnvi(GL_TEXTURE_SHADER_NV, GL_SHADER_OPERATION_NV, GL_DEPENDENT_AR_TEXTURE_2D_NV);
      gl.TexEnvi(GL_TEXTURE_SHADER_NV, GL_PREVIOUS_TEXTURE_INPUT_NV, GL_TEXTURE0_ARB);
      for (GLenum unit : {GL_TEXTURE2_ARB, GL_TEXTURE3_ARB}) {
        gl.ActiveTextureARB(unit);
        gl.TexEnvi(GL_TEXTURE_SHADER_NV, GL_SHADER_OPERATION_NV, GL_NONE);
      }
      const GLfloat white[4] = {1, 1, 1, 1};
      gl.CombinerParameteriNV(GL_NUM_GENERAL_COMBINERS_NV, 1);
      gl.CombinerParameterfvNV(GL_CONSTANT_COLOR0_NV, white);
      gl.FinalCombinerInputNV(GL_VARIABLE_A_NV, GL_TEXTURE1_ARB, GL_UNSIGNED_IDENTITY_NV, GL_RGB);
      gl.FinalCombinerInputNV(GL_VARIABLE_B_NV, GL_CONSTANT_COLOR0_NV, GL_UNSIGNED_IDENTITY_NV,
                              GL_RGB);
      for (GLenum variable : {GL_VARIABLE_C_NV, GL_VARIABLE_D_NV, GL_VARIABLE_E_NV, GL_VARIABLE_F_NV})
        gl.FinalCombinerInputNV(variable, GL_ZERO, GL_UNSIGNED_IDENTITY_NV, GL_RGB);
      gl.FinalCombinerInputNV(GL_VARIABLE_G_NV, GL_TEXTURE1_ARB, GL_UNSIGNED_IDENTITY_NV, GL_ALPHA);
      gl.Enable(GL_TEXTURE_SHADER_NV);
      gl.Enable(GL_REGISTER_COMBINERS_NV);
      gl.ActiveTextureARB(GL_TEXTURE0_ARB);
      break;
    }
    case kAtiShader:
      // The shader samples each unit through the target enabled there.
      BindLookupTextures(target, texture);
      gl.Enable(GL_TEXTURE_2D);
      gl.ActiveTextureARB(GL_TEXTURE0_ARB);
      gl.Enable(target);
      gl.BindFragmentShaderATI(m_nAtiShader);
      gl.Enable(GL_FRAGMENT_SHADER_ATI);
      gl.ActiveTextureARB(GL_TEXTURE0_ARB);
      break;
    default:
      return false;
  }
  return gl.TakeError() == GL_NO_ERROR;
}

void ZR_GpuPrograms::ProgramOff() {
  if (!m_pGl || !m_pGl->ActiveTextureARB) return;
  const ZR_GlFunctions& gl = *m_pGl;
  switch (m_nPath) {
    case kArbProgram:
    case kShaded:
      gl.Disable(GL_FRAGMENT_PROGRAM_ARB);
      break;
    case kNvCombiners:
      gl.Disable(GL_TEXTURE_SHADER_NV);
      gl.Disable(GL_REGISTER_COMBINERS_NV);
      break;
    case kAtiShader:
      gl.Disable(GL_FRAGMENT_SHADER_ATI);
      gl.ActiveTextureARB(GL_TEXTURE1_ARB);
      gl.Disable(GL_TEXTURE_2D);
      break;
    default:
      break;
  }
  gl.ActiveTextureARB(GL_TEXTURE0_ARB);
}

void ZR_GpuPrograms::BindShadedProgram(const ZR_ShadingParameters& parameters) {
  if (!m_pGl || !m_bCanShade) return;
  const ZR_GlFunctions& gl = *m_pGl;
  gl.UseProgramObjectARB(m_nGlslProgram);
  gl.ActiveTextureARB(GL_TEXTURE0_ARB);
  gl.BindTexture(GL_TEXTURE_3D, parameters.nVolumeTexture);
  gl.ActiveTextureARB(GL_TEXTURE1_ARB);
  gl.BindTexture(GL_TEXTURE_2D, parameters.nLutTexture);
  gl.Uniform1iARB(gl.GetUniformLocationARB(m_nGlslProgram, "volTex"), 0);
  gl.Uniform1iARB(gl.GetUniformLocationARB(m_nGlslProgram, "lutTex"), 1);
  const GLfloat voxelSize[3] = {1.0f / static_cast<float>(parameters.aTextureDimensions[0]),
                                1.0f / static_cast<float>(parameters.aTextureDimensions[1]),
                                1.0f / static_cast<float>(parameters.aTextureDimensions[2])};
  gl.Uniform3fvARB(gl.GetUniformLocationARB(m_nGlslProgram, "voxelSize"), 1, voxelSize);
  gl.Uniform1fARB(gl.GetUniformLocationARB(m_nGlslProgram, "brightness"), parameters.fBrightness);
  gl.Uniform1fARB(gl.GetUniformLocationARB(m_nGlslProgram, "contrast"), parameters.fContrast);
  gl.Uniform1fARB(gl.GetUniformLocationARB(m_nGlslProgram, "gloss"), parameters.fGloss);
  gl.ActiveTextureARB(GL_TEXTURE0_ARB);
}

void ZR_GpuPrograms::BuildArbProgram() {
  const ZR_GlFunctions& gl = *m_pGl;
  const std::string text = ArbProgramText();
  gl.TakeError();
  gl.GenProgramsARB(1, &m_nArbProgram);
  gl.BindProgramARB(GL_FRAGMENT_PROGRAM_ARB, m_nArbProgram);
  gl.ProgramStringARB(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
                      static_cast<GLsizei>(text.size()), text.data());
  if (gl.TakeError() != GL_NO_ERROR) {
    const GLubyte* error = gl.GetString(GL_PROGRAM_ERROR_STRING_ARB);
    GLint position = -1;
    gl.GetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
    const char* message = error ? reinterpret_cast<const char*>(error) : "";
    std::printf("%s\n", message);
    std::printf(" @%d\n", position);
    std::fflush(stdout);
    ZR_Log::Entry("BuildArbProgram(): program rejected: ", message);
    ZR_Log::Entry("BuildArbProgram(): error position ", position);
    gl.DeleteProgramsARB(1, &m_nArbProgram);
    m_nArbProgram = 0;
  }
  gl.BindProgramARB(GL_FRAGMENT_PROGRAM_ARB, 0);
}

namespace {
// A shader the driver rejected is reported with its log; drawing goes on without it.
void ReportShaderLog(const ZR_GlFunctions& gl, GLhandleARB object, GLenum status, const char* what) {
  GLint ok = 1;
  gl.GetObjectParameterivARB(object, status, &ok);
  if (ok) return;
  char log[1024] = {};
  GLsizei length = 0;
  gl.GetInfoLogARB(object, sizeof log - 1, &length, log);
  std::printf("%s: %s\n", what, log);
  std::fflush(stdout);
  ZR_Log::Entry(std::string("BuildShadedProgram(): ") + what + ": ", log);
}
}  // namespace

void ZR_GpuPrograms::BuildShadedProgram() {
  const ZR_GlFunctions& gl = *m_pGl;
  const std::string vertex = VertexShaderText();
  const std::string fragment = FragmentShaderText();
  m_nGlslProgram = gl.CreateProgramObjectARB();
  m_aShaders[0] = gl.CreateShaderObjectARB(GL_VERTEX_SHADER_ARB);
  m_aShaders[1] = gl.CreateShaderObjectARB(GL_FRAGMENT_SHADER_ARB);
  const GLcharARB* sources[2] = {vertex.c_str(), fragment.c_str()};
  for (int i = 0; i < 2; ++i) {
    gl.ShaderSourceARB(m_aShaders[i], 1, &sources[i], nullptr);
    gl.CompileShaderARB(m_aShaders[i]);
    ReportShaderLog(gl, m_aShaders[i], GL_OBJECT_COMPILE_STATUS_ARB,
                    i == 0 ? "vertex shader rejected" : "fragment shader rejected");
  }
  gl.AttachObjectARB(m_nGlslProgram, m_aShaders[0]);
  gl.AttachObjectARB(m_nGlslProgram, m_aShaders[1]);
  gl.LinkProgramARB(m_nGlslProgram);
  ReportShaderLog(gl, m_nGlslProgram, GL_OBJECT_LINK_STATUS_ARB, "program not linked");
}

void ZR_GpuPrograms::BuildAtiShader() {
  const ZR_GlFunctions& gl = *m_pGl;
  m_nAtiShader = gl.GenFragmentShadersATI(1);
  gl.BindFragmentShaderATI(m_nAtiShader);
  gl.BeginFragmentShaderATI();
  // Pass 1: the voxel value into register 1.
  gl.SampleMapATI(GL_REG_0_ATI, GL_TEXTURE0_ARB, GL_SWIZZLE_STR_ATI);
  gl.ColorFragmentOp1ATI(GL_MOV_ATI, GL_REG_1_ATI, GL_NONE, GL_NONE, GL_REG_0_ATI, GL_NONE, GL_NONE);
  // Pass 2: the value as the coordinate into the colour table; the table's opacity too, so
  // that this path blends like the others.
  gl.SampleMapATI(GL_REG_1_ATI, GL_REG_1_ATI, GL_SWIZZLE_STR_ATI);
  gl.ColorFragmentOp1ATI(GL_MOV_ATI, GL_REG_0_ATI, GL_NONE, GL_NONE, GL_REG_1_ATI, GL_NONE, GL_NONE);
  gl.AlphaFragmentOp1ATI(GL_MOV_ATI, GL_REG_0_ATI, GL_NONE, GL_REG_1_ATI, GL_NONE, GL_NONE);
  gl.EndFragmentShaderATI();
  gl.BindFragmentShaderATI(0);
}
