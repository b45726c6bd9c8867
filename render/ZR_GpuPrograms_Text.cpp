// The program texts: the dependent lookup through the colour table, and the head-light
// shaded variant.
#include <initializer_list>
#include <string>

#include "render/ZR_GpuPrograms.h"

namespace {
// Lines joined by newlines; the body lines (between the braces) are indented deeper.
std::string JoinShader(std::initializer_list<const char*> lines) {
  std::string text;
  bool inBody = false;
  bool first = true;
  for (const char* line : lines) {
    const std::string_view view(line);
    if (view == "}") inBody = false;
    if (!first) text += '\n';
    first = false;
    text += inBody ? "            " : "        ";
    text += view;
    if (view == "{") inBody = true;
  }
  return text;
}
}  // namespace

std::string ZR_GpuPrograms::ArbProgramText() {
  return "!!ARBfp1.0\n"
         "TEMP dataTexCoord, dataColor;\n"
         "TEX  dataTexCoord, fragment.texcoord, texture[0], 3D;\n"
         "TEX  result.color, dataTexCoord, texture[1], 2D;\n"
         "END\n";
}

std::string ZR_GpuPrograms::VertexShaderText() {
  return JoinShader({
      "varying vec3 viewVec;",
      "varying vec3 lightVec;",
      "uniform vec3 voxelSize;",
      "uniform float brightness;",
      "uniform float contrast;",
      "uniform float gloss;",
      "void main()",
      "{",
      "gl_Position = ftransform();",
      "gl_ClipVertex = gl_ModelViewMatrix * gl_Vertex;",
      "gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;",
      "//viewVec = vec3(gl_TextureMatrix[0][0][2], gl_TextureMatrix[0][1][2], gl_TextureMatrix[0][2][2]);",
      "viewVec = vec3(gl_TextureMatrixInverse[0][0][2], gl_TextureMatrixInverse[0][1][2], gl_TextureMatrixInverse[0][2][2]);",
      "lightVec = -viewVec;",
      "}",
  });
}

std::string ZR_GpuPrograms::FragmentShaderText() {
  return JoinShader({
      "uniform sampler3D volTex;",
      "uniform sampler2D lutTex;",
      "varying vec3 viewVec;",
      "varying vec3 lightVec;",
      "uniform vec3 voxelSize;",
      "uniform float brightness;",
      "uniform float contrast;",
      "uniform float gloss;",
      "void main()",
      "{",
      "vec3 stp = gl_TexCoord[0].stp;",
      "float val = float(texture3D(volTex, stp));",
      "vec2 intensity = vec2(val, 0.0);",
      "vec4 voxColour = texture2D(lutTex, intensity);",
      "vec3 gradient;",
      "gradient.r = texture3D(volTex, (stp + vec3(voxelSize[0], 0, 0))).r;",
      "gradient.g = texture3D(volTex, (stp + vec3(0, voxelSize[1], 0))).r;",
      "gradient.b = texture3D(volTex, (stp + vec3(0, 0, voxelSize[2]))).r;",
      "vec3 gradient_back;",
      "gradient_back.r = texture3D(volTex, (stp - vec3(voxelSize[0], 0, 0))).r;",
      "gradient_back.g = texture3D(volTex, (stp - vec3(0, voxelSize[1], 0))).r;",
      "gradient_back.b = texture3D(volTex, (stp - vec3(0, 0, voxelSize[2]))).r;",
      "gradient = (gradient - gradient_back)/2.0;",
      // A flat region has no gradient to normalise: it is lit fully instead of with NaN.
      "float gradientLength = length(gradient);",
      "gradient = gradient / max(gradientLength, 1e-6);",
      "//vec3 halfAngle = normalize(lightVec + viewVec);",
      "float NdotL = dot(lightVec, gradient);",
      "float NdotH = clamp(dot(viewVec, gradient), 0.0, 1.0);",
      "float lum = clamp(NdotL, 0.0, 1.0);",
      "float spec = clamp(pow(NdotH, gloss), 0.0, 0.4);",
      "lum = clamp(lum + spec, 0.0, 1.0);",
      "if (gradientLength < 1e-6) lum = 1.0;",
      "float r = clamp(contrast*(lum*voxColour[0]-.5)+ .5*brightness, 0.0, 1.0);",
      "float g = clamp(contrast*(lum*voxColour[1]-.5)+ .5*brightness, 0.0, 1.0);",
      "float b = clamp(contrast*(lum*voxColour[2]-.5)+ .5*brightness, 0.0, 1.0);",
      "float a = voxColour[3];",
      "gl_FragColor = vec4(r, g, b, a);",
      "}",
  });
}
