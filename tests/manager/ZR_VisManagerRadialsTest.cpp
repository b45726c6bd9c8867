// Radial series through the manager: frame k of a captured series is the MIP after the start
// angle and k + 1 steps about the axis, as a rotation built here (independently of the loop)
// and rendered directly shows it; the view's own turn comes back afterwards. Movies made by
// the real writer are checked with ffprobe.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "output/ZR_RadialsSettings.h"
#include "output/ZR_SaveInfo.h"
#include "output/ZR_WinMovie.h"
#include "render/ZR_Matrix4.h"
#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/support/ZR_ExternalTool.h"
#include "tests/support/ZR_RecordingSeries.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
class Radials : public ZR_LoadingFixture {
 protected:
  void LoadCube() {
    const std::vector<std::string> files = Files("radials", 12, 32);
    int32_t count = static_cast<int32_t>(files.size());
    ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
    ASSERT_EQ(LoadRange(0, 11), VR_OK);
    ASSERT_TRUE(manager->Show3DScreen());
    manager->SetRenderMode(ZR_RenderMode::Mip, false);
    manager->SetSeriesPause(0);
  }

  // The rotation of frame k: from the volume's axes (z looked along after -90 degrees about
  // x), the start angle and k + 1 steps about the axis.
  static std::array<float, 16> FrameRotation(const ZR_RadialsSettings& s, int32_t k) {
    const double a[3] = {s.nAxis == 0 ? 1.0 : 0.0, s.nAxis == 1 ? 1.0 : 0.0, s.nAxis == 2 ? 1.0 : 0.0};
    ZR_Matrix4 m = ZR_Matrix4::Rotation(s.nAxis == 2 ? -90 : 0, 1, 0, 0);
    m = m * ZR_Matrix4::Rotation(s.nStartAngle + (k + 1) * static_cast<double>(s.fAngleStep), a[0], a[1], a[2]);
    std::array<float, 16> out{};
    m.ToFloats(out.data());
    return out;
  }

  // The share of bytes that differ by more than 2 between a capture and the view drawn now.
  double Differing(const std::vector<uint8_t>& capture) {
    manager->RenderFullQuality();
    int32_t w = 0, h = 0;
    const auto shown = manager->ReadPanel(ZR_Panel::View3D, &w, &h, GL_BGR, GL_UNSIGNED_BYTE, 3, 1, false);
    if (!shown || capture.size() != static_cast<size_t>(w) * h * 3) return 1;
    size_t off = 0;
    for (size_t i = 0; i < capture.size(); ++i) off += std::abs(capture[i] - shown[i]) > 2;
    return static_cast<double>(off) / static_cast<double>(capture.size());
  }
};

TEST_F(Radials, FrameKIsTheMipAfterTheStartAngleAndKPlusOneSteps) {
  LoadCube();
  ZR_RecordingSeries writer;
  manager->SetSeriesWriter(&writer);
  const std::vector<float> before(shared.Rotation(), shared.Rotation() + 16);
  for (int32_t axis : {2, 0}) {
    ZR_RadialsSettings s;
    s.nStartAngle = 30;
    s.fAngleStep = 25;
    s.nFrames = 4;
    s.nAxis = axis;
    ASSERT_EQ(manager->RenderRadials(ZR_VisManager::kRadialStoreAll, s, nullptr), VR_OK);
    ASSERT_EQ(writer.cleared.size(), 4u) << "axis " << axis;
    EXPECT_EQ(std::vector<float>(shared.Rotation(), shared.Rotation() + 16), before);
    // The frames differ from one another, and each is the directly rendered turn.
    for (int32_t k : {0, 3}) {
      const std::array<float, 16> r = FrameRotation(s, k);
      shared.SetRotation(r.data());
      manager->CurrentRenderer()->Invalidate();
      EXPECT_LT(Differing(writer.cleared[static_cast<size_t>(k)].m_aPixels), 0.01) << "axis " << axis << " frame " << k;
    }
    EXPECT_NE(writer.cleared[0].m_aPixels, writer.cleared[3].m_aPixels);
    shared.SetRotation(before.data());
  }
}

TEST_F(Radials, ARadialMovieAndARecordedMovieAreWholeAviFiles) {
  LoadCube();
  ZR_WinMovie movie;
  manager->SetMovie(&movie);
  const fs::path dir = ZR_TestData::ScratchDir("radials-movie");
  ZR_RadialsSettings s;
  s.nFrames = 5;
  s.nOutput = 1;
  const ZR_SaveInfo request{(dir / "radial.avi").string(), 2};
  ASSERT_EQ(manager->RenderRadials(ZR_VisManager::kRadialSaveAll, s, &request), VR_OK) << movie.LastError();
  ASSERT_TRUE(fs::exists(dir / "radial.avi"));

  manager->ToggleMovie(true, "");
  for (int32_t k = 0; k < 3; ++k) {
    manager->LeftDown(ZR_Panel::View3D, 20, 20 + 5 * k);
    manager->PointerMove(ZR_Panel::View3D, 40, 20 + 5 * k);
    manager->LeftUp(ZR_Panel::View3D);
  }
  manager->ToggleMovie(false, (dir / "turn.avi").string());
  ASSERT_TRUE(fs::exists(dir / "turn.avi")) << movie.LastError();
  EXPECT_TRUE(fs::exists(dir / "turn.txt"));

  LMX_REQUIRE_TOOL("ffprobe");
  for (const auto& [name, frames] : {std::pair{"radial.avi", 5}, std::pair{"turn.avi", 3}}) {
    const auto r = ZR_ExternalTool::Execute("ffprobe -v error -count_frames -show_entries stream=nb_read_frames,codec_tag_string "
                                            "-of default=noprint_wrappers=1 '" + (dir / name).string() + "'");
    EXPECT_NE(r.output.find("nb_read_frames=" + std::to_string(frames)), std::string::npos) << name << ": " << r.output;
    EXPECT_NE(r.output.find("codec_tag_string=cvid"), std::string::npos) << name << ": " << r.output;
  }
}
}  // namespace
