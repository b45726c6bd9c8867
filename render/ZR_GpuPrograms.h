#pragma once
// Which fragment path the adapter offers, the programs of that path, and their binding for
// one draw. Capability detection runs once, with the shared context current; it loads the
// extension entry points into the one table.

#include <cstdint>
#include <string>
#include <string_view>

#include "render/ZR_GlFunctions.h"

// What the shaded program reads for one draw.
struct ZR_ShadingParameters {
  uint32_t nVolumeTexture = 0;
  uint32_t nLutTexture = 0;
  int32_t aTextureDimensions[3] = {1, 1, 1};
  float fBrightness = 0;
  float fContrast = 0;
  float fGloss = 0;
};

class ZR_GpuPrograms {
 public:
  // Program paths.
  static constexpr int32_t kArbProgram = 0;
  static constexpr int32_t kNvCombiners = 1;
  static constexpr int32_t kAtiShader = 2;
  static constexpr int32_t kShaded = 3;

  ZR_GpuPrograms() = default;
  ZR_GpuPrograms(const ZR_GpuPrograms&) = delete;
  ZR_GpuPrograms& operator=(const ZR_GpuPrograms&) = delete;

  // The whole-word rule on an extension string: `name` matches where it starts the string
  // or follows a space, and ends the string or is followed by a space. An empty name or one
  // with a space never matches.
  static bool HasExtension(std::string_view extensions, std::string_view name);
  // The same on the adapter's GL_EXTENSIONS, read on the first call and kept.
  bool HasExtension(std::string_view name);

  // Decides the fragment path from the extension string and the OpenGL version, loads the
  // entry points of what is there into `gl` and builds the programs. VR_OK, VR_OG_SW_RENDER
  // (no 3D textures, multitexture or fragment path) or VR_OG_NOT_SUPPORTED (no min/max
  // blending).
  [[nodiscard]] int32_t DetectCapabilities(ZR_GlFunctions& gl);
  // Deletes the programs (the context must be current).
  void DeletePrograms();

  // The path of the next draw. A draw asks for the shaded or the plain lookup; an adapter
  // without ARB fragment programs keeps the path detection found.
  void SelectDrawPath(bool shaded);
  int32_t Path() const { return m_nPath; }
  int32_t DetectedPath() const { return m_nDetectedPath; }
  void SetPath(int32_t path) { m_nPath = path; }

  // The colour-table texture every path reads through texture unit 1.
  void SetLutTexture(uint32_t texture) { m_nLutTexture = texture; }
  // Sets up the current path for one draw of `texture` (bound to `target` on unit 0);
  // true when OpenGL reports no error.
  [[nodiscard]] bool BindProgram(GLenum target, uint32_t texture);
  // Switches the current path off and selects texture unit 0.
  void ProgramOff();
  // Sets up the shaded program and its uniforms for one 3D draw.
  void BindShadedProgram(const ZR_ShadingParameters& parameters);

  void SetShadingRequested(bool on) { m_bShadingRequested = on; }
  bool ShadingRequested() const { return m_bShadingRequested; }
  bool CanShade() const { return m_bCanShade; }

  uint32_t ArbProgram() const { return m_nArbProgram; }
  uint32_t ShadedProgram() const { return m_nGlslProgram; }
  uint32_t AtiShader() const { return m_nAtiShader; }

  // The program texts.
  static std::string ArbProgramText();
  static std::string VertexShaderText();
  static std::string FragmentShaderText();

  // "4.5 (Compatibility Profile) Mesa 22.3.6" -> 45; 0 when unreadable.
  static int32_t ParseVersion(const char* version);

 private:
  void BuildArbProgram();
  void BuildShadedProgram();
  void BuildAtiShader();
  void BindLookupTextures(GLenum target, uint32_t texture);

  ZR_GlFunctions* m_pGl = nullptr;
  std::string m_sExtensions;
  bool m_bExtensionsRead = false;

  int32_t m_nPath = kArbProgram;
  int32_t m_nDetectedPath = kArbProgram;
  bool m_bArbAvailable = false;
  bool m_bCanShade = false;
  bool m_bShadingRequested = false;

  uint32_t m_nLutTexture = 0;
  uint32_t m_nArbProgram = 0;
  uint32_t m_nGlslProgram = 0;
  uint32_t m_aShaders[2] = {0, 0};
  uint32_t m_nAtiShader = 0;
};
