#pragma once
// The one table of OpenGL entry points. Every OpenGL call of the engine goes through it; the
// headers below are included for their types and tokens only (nothing here links against an
// OpenGL library). The fixed-function core and the framebuffer objects are loaded when the
// context is made; the extension groups are loaded by capability detection, from the
// extension string, because a loader may hand back a pointer for a function that does not
// exist.

#include <functional>

#define GL_GLEXT_PROTOTYPES 1  // declarations only: they give decltype the signatures
#include <GL/gl.h>
#include <GL/glext.h>

using ZR_GlProc = void (*)();
// Looks up one entry point by its OpenGL name (eglGetProcAddress, or the window toolkit's).
using ZR_GlLoader = std::function<ZR_GlProc(const char* name)>;

// OpenGL 1.x fixed-function entry points.
#define ZR_GL_CORE(X)                                                                     \
  X(GetString) X(GetError) X(GetIntegerv) X(GetFloatv) X(GetDoublev) X(IsEnabled)          \
  X(Enable) X(Disable) X(Hint) X(ClearColor) X(ClearDepth) X(Clear) X(Finish) X(Flush)     \
  X(Color3f) X(Color4f) X(Color4fv) X(LineWidth) X(LineStipple) X(PolygonMode)            \
  X(BlendFunc) X(AlphaFunc) X(DepthFunc) X(DepthMask) X(ColorMask) X(Viewport)             \
  X(Scissor) X(MatrixMode) X(LoadIdentity) X(LoadMatrixd) X(LoadMatrixf) X(MultMatrixd)    \
  X(MultMatrixf) X(PushMatrix) X(PopMatrix) X(Ortho) X(Translatef) X(Rotatef) X(Scalef)    \
  X(Begin) X(End) X(Vertex2f) X(Vertex3f) X(TexCoord2f) X(TexCoord3f) X(GenTextures)      \
  X(DeleteTextures) X(BindTexture) X(TexParameteri) X(TexParameterfv) X(TexImage2D)       \
  X(TexSubImage2D) X(GetTexImage) X(TexEnvi) X(AreTexturesResident) X(PixelStorei)        \
  X(ReadPixels) X(ReadBuffer) X(DrawBuffer) X(GenLists) X(DeleteLists) X(NewList)        \
  X(EndList) X(CallList) X(ClipPlane) X(GetClipPlane) X(PushAttrib) X(PopAttrib)          \
  X(RasterPos2f) X(Bitmap) X(ListBase) X(CallLists)

// Framebuffer objects: the headless panels and offscreen buffers.
#define ZR_GL_FRAMEBUFFER(X)                                                               \
  X(GenFramebuffers) X(DeleteFramebuffers) X(BindFramebuffer) X(FramebufferRenderbuffer)  \
  X(CheckFramebufferStatus) X(GenRenderbuffers) X(DeleteRenderbuffers)                   \
  X(BindRenderbuffer) X(RenderbufferStorage) X(BlitFramebuffer)

#define ZR_GL_TEXTURE3D(X) X(TexImage3DEXT) X(TexSubImage3DEXT)
#define ZR_GL_BLEND(X) X(BlendEquationEXT)
#define ZR_GL_MULTITEXTURE(X) X(ActiveTextureARB)
#define ZR_GL_BUFFERS(X) \
  X(MapBuffer) X(UnmapBuffer) X(GenBuffers) X(DeleteBuffers) X(BindBuffer) X(BufferData)
#define ZR_GL_ARB_PROGRAM(X) \
  X(BindProgramARB) X(GenProgramsARB) X(ProgramStringARB) X(DeleteProgramsARB)
#define ZR_GL_GLSL(X)                                                                     \
  X(CreateProgramObjectARB) X(CreateShaderObjectARB) X(ShaderSourceARB)                   \
  X(CompileShaderARB) X(AttachObjectARB) X(LinkProgramARB) X(UseProgramObjectARB)         \
  X(GetUniformLocationARB) X(Uniform1iARB) X(Uniform1fARB) X(Uniform3fvARB)               \
  X(GetObjectParameterivARB) X(GetInfoLogARB) X(DeleteObjectARB)
#define ZR_GL_NV_COMBINERS(X)                                                              \
  X(CombinerParameteriNV) X(CombinerParameterfvNV) X(CombinerInputNV) X(CombinerOutputNV) \
  X(FinalCombinerInputNV)
#define ZR_GL_ATI_SHADER(X)                                                                \
  X(GenFragmentShadersATI) X(BindFragmentShaderATI) X(BeginFragmentShaderATI)            \
  X(EndFragmentShaderATI) X(SampleMapATI) X(ColorFragmentOp1ATI) X(AlphaFragmentOp1ATI)  \
  X(DeleteFragmentShaderATI)

// Every group, for code that walks the whole table (test doubles).
#define ZR_GL_ALL(X)                                                                      \
  ZR_GL_CORE(X) ZR_GL_FRAMEBUFFER(X) ZR_GL_TEXTURE3D(X) ZR_GL_BLEND(X)                    \
  ZR_GL_MULTITEXTURE(X) ZR_GL_BUFFERS(X) ZR_GL_ARB_PROGRAM(X) ZR_GL_GLSL(X)              \
  ZR_GL_NV_COMBINERS(X) ZR_GL_ATI_SHADER(X)

struct ZR_GlFunctions {
#define ZR_GL_MEMBER(name) decltype(&::gl##name) name = nullptr;
  ZR_GL_ALL(ZR_GL_MEMBER)
#undef ZR_GL_MEMBER

  // Pixel-unpack buffer objects are usable (set by capability detection). Without them the
  // upload buffers live in main memory.
  bool bBufferObjects = false;
  // The loader the table was filled from; capability detection loads the extensions with it.
  ZR_GlLoader loader;

  // Loads the fixed-function core and the framebuffer entry points; false names the first
  // one the loader could not find in `missing`.
  [[nodiscard]] bool LoadCore(const ZR_GlLoader& loader, const char** missing = nullptr);

  // Clears every pending error flag and returns the first one (GL_NO_ERROR when none).
  GLenum TakeError() const {
    const GLenum first = GetError();
    if (first != GL_NO_ERROR)
      for (int i = 0; i < 16 && GetError() != GL_NO_ERROR; ++i) {
      }
    return first;
  }

  // Loads one entry point under `glName` into `slot` (which may have a differently suffixed
  // but call-compatible signature); false when the loader has none.
  template <typename Fn>
  static bool LoadAs(const ZR_GlLoader& loader, Fn& slot, const char* glName) {
    slot = reinterpret_cast<Fn>(loader(glName));
    return slot != nullptr;
  }
};
