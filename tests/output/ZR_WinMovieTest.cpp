// The movies written: probed and decoded by FFmpeg's own command-line tools (frame count, rate,
// codec tag, the first picture upright); movies that fail, are refused or abandoned leaving
// nothing behind; and the frame size holding for the whole movie.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "output/ZR_Avi.h"
#include "output/ZR_WinMovie.h"
#include "tests/support/ZR_ExternalTool.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 48;

// A frame as OpenGL reads it back (B, G, R, bottom row first): the top eight rows red, below
// them blocks whose colours move with the frame number, so that frames differ and a picture
// stored upside down or out of order shows.
std::vector<uint8_t> Frame(int32_t frame, int32_t width = kWidth, int32_t height = kHeight) {
  std::vector<uint8_t> bgr(static_cast<size_t>(width) * height * 3);
  for (int32_t y = 0; y < height; ++y)  // y counted from the top
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &bgr[(static_cast<size_t>(height - 1 - y) * width + x) * 3];
      if (y < 8) {
        p[0] = 0, p[1] = 0, p[2] = 255;
      } else {
        const int32_t block = (x / 16 + y / 16 + frame) % 4;
        p[0] = static_cast<uint8_t>(40 + 60 * block);
        p[1] = static_cast<uint8_t>(200 - 40 * block);
        p[2] = static_cast<uint8_t>(block % 2 ? 30 : 90);
      }
    }
  return bgr;
}

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  if (!fs::exists(dir)) return names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// What a movie named clip.avi may have left in a folder (others may be writing there too).
std::vector<std::string> Leftovers(const fs::path& dir) {
  std::vector<std::string> names = Entries(dir);
  names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return n.rfind("clip.avi", 0); }),
              names.end());
  return names;
}

// The video stream as ffprobe reads it, key by key; frames counted by decoding them all.
std::map<std::string, std::string> Probe(const std::string& file) {
  const ZR_ExternalTool::Run r = ZR_ExternalTool::Execute(
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
      "stream=codec_name,codec_tag_string,r_frame_rate,nb_frames,nb_read_frames,width,height "
      "-of default=noprint_wrappers=1 '" +
      file + "'");
  std::map<std::string, std::string> values;
  std::istringstream lines(r.output);
  for (std::string line; std::getline(lines, line);) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    else values["!"] += line + "\n";  // what ffprobe complained about
  }
  return values;
}

// The first picture as FFmpeg decodes it: B, G, R, top row first.
std::vector<uint8_t> FirstDecoded(const std::string& file, const fs::path& dir) {
  const fs::path out = dir / "first.bgr";
  const ZR_ExternalTool::Run r = ZR_ExternalTool::Execute("ffmpeg -v error -y -i '" + file +
                                                          "' -frames:v 1 -f rawvideo -pix_fmt bgr24 '" +
                                                          out.string() + "'");
  EXPECT_EQ(r.status, 0) << r.output;
  const std::string bytes = ZR_TestData::ReadText(out);
  fs::remove(out);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// The largest and mean difference between a decoded (top-down) picture and a given frame
// (bottom-up).
struct Difference {
  int largest = 0;
  double mean = 0;
};
Difference Compare(const std::vector<uint8_t>& decoded, const std::vector<uint8_t>& given, int32_t width,
                   int32_t height) {
  Difference d;
  const size_t row = static_cast<size_t>(width) * 3;
  for (int32_t y = 0; y < height; ++y)
    for (size_t i = 0; i < row; ++i) {
      const int diff = std::abs(decoded[y * row + i] - given[(height - 1 - y) * row + i]);
      d.largest = std::max(d.largest, diff);
      d.mean += diff;
    }
  d.mean /= static_cast<double>(row) * height;
  return d;
}

}  // namespace

// Written with each kind of compressor, a movie has every frame at the chosen rate, carries the
// chosen code, and plays its first frame as given, upright. Uncompressed frames come back
// exactly; the lossy ones within a tolerance (mean and largest difference per sample) far
// below what tells the pictures apart: neighbouring frames differ by about 58 on average,
// a picture upside down by about 74. At quality 100 these blocks of flat colour come back
// within about 1 on average.
TEST(WinMovie, AMovieHoldsEveryFrameAtItsRateUnderItsCompressorAndPlaysUpright) {
  LMX_REQUIRE_TOOL("ffprobe");
  LMX_REQUIRE_TOOL("ffmpeg");
  struct Case {
    const char* name;
    uint32_t compressor;
    int32_t rate;
    const char* codec;
    const char* tag;
    double meanTolerance;
    int largestTolerance;
    bool required;  // FFmpeg builds without the encoder skip the case
  };
  const Case cases[] = {
      {"uncompressed", ZR_Avi::kUncompressed, 10, "rawvideo", "[0][0][0][0]", 0, 0, true},
      {"cinepak", ZR_Avi::kCinepak, 25, "cinepak", "cvid", 3, 32, true},
      {"mjpeg", ZR_Avi::FourCc('M', 'J', 'P', 'G'), 5, "mjpeg", "MJPG", 2, 24, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = ZR_TestData::ScratchDir(std::string("movie-") + c.name);
    const std::string file = (dir / "clip.avi").string();
    ZR_WinMovie movie;
    movie.SetOptions(c.compressor, 100, c.rate);
    if (!movie.Open(file, kWidth, kHeight, 24)) {
      if (!c.required && movie.LastError().find("A suitable compressor cannot be found.") == 0) {
        std::cout << "[ SKIPPED  ] " << c.name << ": this FFmpeg has no such encoder\n";
        continue;
      }
      ADD_FAILURE() << movie.LastError();
      continue;
    }
    EXPECT_EQ(movie.Warning(), c.compressor == 0 ? ZR_Avi::kUncompressedWarning : "");
    constexpr int32_t kFrames = 7;
    for (int32_t i = 0; i < kFrames; ++i) ASSERT_TRUE(movie.AddFrame(Frame(i).data(), i)) << movie.LastError();
    movie.Close();
    EXPECT_EQ(movie.LastError(), "");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"clip.avi"});

    auto probe = Probe(file);
    EXPECT_EQ(probe["!"], "");
    EXPECT_EQ(probe["codec_name"], c.codec);
    EXPECT_EQ(probe["codec_tag_string"], c.tag);
    EXPECT_EQ(probe["width"], std::to_string(kWidth));
    EXPECT_EQ(probe["height"], std::to_string(kHeight));
    EXPECT_EQ(probe["r_frame_rate"], std::to_string(c.rate) + "/1");
    EXPECT_EQ(probe["nb_frames"], std::to_string(kFrames));       // as the file's index says
    EXPECT_EQ(probe["nb_read_frames"], std::to_string(kFrames));  // as decoded

    const std::vector<uint8_t> first = FirstDecoded(file, dir);
    ASSERT_EQ(first.size(), static_cast<size_t>(kWidth) * kHeight * 3);
    const Difference d = Compare(first, Frame(0), kWidth, kHeight);
    EXPECT_LE(d.mean, c.meanTolerance) << "largest difference " << d.largest;
    EXPECT_LE(d.largest, c.largestTolerance) << "mean difference " << d.mean;
    // The red band on top: the top row is red, the bottom one is not.
    const uint8_t* top = &first[(kWidth / 2) * 3];
    EXPECT_GT(top[2], 200);
    EXPECT_LT(top[0], 60);
    EXPECT_LT(top[1], 60);
    const uint8_t* bottom = &first[(static_cast<size_t>(kHeight - 1) * kWidth + kWidth / 2) * 3];
    EXPECT_LT(bottom[2], 120);
  }
}

TEST(WinMovie, LowerQualityMakesASmallerMovie) {
  // A noisy picture, so that the compressor's quantiser decides the size.
  std::vector<uint8_t> noise(static_cast<size_t>(kWidth) * kHeight * 3);
  uint32_t seed = 12345;
  for (uint8_t& b : noise) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  const fs::path dir = ZR_TestData::ScratchDir("movie-quality");
  std::map<int32_t, uintmax_t> sizes;
  for (int32_t quality : {100, 10}) {
    const std::string file = (dir / ("q" + std::to_string(quality) + ".avi")).string();
    ZR_WinMovie movie;
    movie.SetOptions(ZR_Avi::FourCc('M', 'J', 'P', 'G'), quality, 25);
    if (!movie.Open(file, kWidth, kHeight, 24)) GTEST_SKIP() << "no MJPEG encoder: " << movie.LastError();
    for (int32_t i = 0; i < 3; ++i) ASSERT_TRUE(movie.AddFrame(noise.data(), i)) << movie.LastError();
    movie.Close();
    ASSERT_EQ(movie.LastError(), "");
    sizes[quality] = fs::file_size(file);
  }
  EXPECT_LT(sizes[10] * 2, sizes[100]);
}

// While the movie is being written its name stays free; the frames go to a temporary file
// beside it, which becomes the movie on Close and replaces what was there.
TEST(WinMovie, TheMovieTakesItsNameOnlyWhenFinished) {
  const fs::path dir = ZR_TestData::ScratchDir("movie-temporary");
  const fs::path file = dir / "clip.avi";
  ZR_TestData::WriteText(file, "an older movie");
  ZR_WinMovie movie;
  movie.SetOptions(ZR_Avi::kUncompressed, 100, 25);
  ASSERT_TRUE(movie.Open(file.string(), kWidth, kHeight, 24)) << movie.LastError();
  ASSERT_TRUE(movie.AddFrame(Frame(0).data(), 0));
  EXPECT_EQ(ZR_TestData::ReadText(file), "an older movie");
  EXPECT_EQ(Entries(dir).size(), 2u);  // the old movie and the one being written
  movie.Close();
  EXPECT_EQ(Entries(dir), std::vector<std::string>{"clip.avi"});
  EXPECT_NE(ZR_TestData::ReadText(file).substr(0, 4), "an o");
  EXPECT_EQ(ZR_TestData::ReadText(file).substr(0, 4), "RIFF");
}

// Every way of not finishing a movie leaves the folder as it was, the older movie under the
// name included.
TEST(WinMovie, AMovieNotFinishedLeavesNothingBehind) {
  struct Case {
    const char* name;
    void (*end)(ZR_WinMovie& movie);
  };
  const Case cases[] = {
      {"abandoned", [](ZR_WinMovie& m) { m.Abandon(); }},
      {"abandoned through the contract", [](ZR_WinMovie& m) { static_cast<ZR_Movie&>(m).Abandon(); }},
      {"cancelled after a frame", [](ZR_WinMovie& m) {
         ASSERT_TRUE(m.AddFrame(Frame(3).data(), 3));
         m.Abandon();
         m.Close();  // a Close after the cancel must not bring it back
       }},
      {"a frame refused", [](ZR_WinMovie& m) {
         EXPECT_FALSE(m.AddFrame(nullptr, 3));
         m.Close();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = ZR_TestData::ScratchDir("movie-unfinished");
    ZR_TestData::WriteText(dir / "kept.avi", "kept");
    ZR_WinMovie movie;
    ASSERT_TRUE(movie.Open((dir / "clip.avi").string(), kWidth, kHeight, 24)) << movie.LastError();
    for (int32_t i = 0; i < 3; ++i) ASSERT_TRUE(movie.AddFrame(Frame(i).data(), i));
    c.end(movie);
    EXPECT_FALSE(movie.IsOpen());
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"kept.avi"});
  }
  // A writer that goes away, or opens another movie, before Close drops the unfinished one.
  const fs::path dir = ZR_TestData::ScratchDir("movie-dropped");
  {
    ZR_WinMovie movie;
    ASSERT_TRUE(movie.Open((dir / "gone.avi").string(), kWidth, kHeight, 24));
    ASSERT_TRUE(movie.AddFrame(Frame(0).data(), 0));
  }
  EXPECT_EQ(Entries(dir), std::vector<std::string>{});
  ZR_WinMovie movie;
  ASSERT_TRUE(movie.Open((dir / "first.avi").string(), kWidth, kHeight, 24));
  ASSERT_TRUE(movie.AddFrame(Frame(0).data(), 0));
  ASSERT_TRUE(movie.Open((dir / "second.avi").string(), kWidth, kHeight, 24));
  ASSERT_TRUE(movie.AddFrame(Frame(0).data(), 0));
  movie.Close();
  EXPECT_EQ(Entries(dir), std::vector<std::string>{"second.avi"});
}

// The size given to Open holds for the whole movie: a frame of any other size, even one of the
// same number of bytes, ends it, and so does any frame that cannot be written. The first
// failure is reported, nothing is left, and no later frame is taken.
TEST(WinMovie, AFrameThatCannotBeWrittenEndsTheMovieWithAReason) {
  struct Case {
    const char* name;
    std::vector<uint8_t> pixels;
    int32_t width, height, frame;
    const char* reason;
  };
  const Case cases[] = {
      {"wider", Frame(2, kWidth + 4, kHeight), kWidth + 4, kHeight, 2, "68x48, the movie's frames are 64x48"},
      {"same bytes, other shape", Frame(2, kHeight, kWidth), kHeight, kWidth, 2, "48x64, the movie's frames are 64x48"},
      {"no pixels", {}, kWidth, kHeight, 2, "no pixels"},
      {"frame number again", Frame(1), kWidth, kHeight, 1, "frame 1 was written already"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = ZR_TestData::ScratchDir("movie-bad-frame");
    ZR_WinMovie movie;
    ASSERT_TRUE(movie.Open((dir / "clip.avi").string(), kWidth, kHeight, 24)) << movie.LastError();
    ASSERT_TRUE(movie.AddFrame(Frame(0).data(), kWidth, kHeight, 0));
    ASSERT_TRUE(movie.AddFrame(Frame(1).data(), 1));
    EXPECT_FALSE(movie.AddFrame(c.pixels.empty() ? nullptr : c.pixels.data(), c.width, c.height, c.frame));
    const std::string reason = movie.LastError();
    EXPECT_NE(reason.find("Unable to write frame " + std::to_string(c.frame) + " of the AVI"), std::string::npos)
        << reason;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    EXPECT_EQ(Entries(dir), std::vector<std::string>{});
    // The movie is over: a good frame is no longer taken and Close makes nothing.
    EXPECT_FALSE(movie.AddFrame(Frame(3).data(), 3));
    movie.Close();
    EXPECT_EQ(movie.LastError(), reason);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{});
  }
}

// A movie that cannot be started, or whose stream cannot be made, is not made: false, the
// message, nothing in the folder. The writer is then good for the next movie.
TEST(WinMovie, AMovieThatCannotBeStartedSaysWhyAndLeavesNothing) {
  const std::string noDisk = "Unable to Open AVI. Disk error while opening the file.";
  const std::string stream = std::string("\n") + ZR_WinMovie::kStreamFailed;
  struct Case {
    const char* name;
    std::string folder;  // "" : a scratch folder
    uint32_t compressor;
    int32_t width, height, bits, rate;
    std::string start;  // the message starts so
    std::string end;    // and ends so
  };
  const fs::path scratch = ZR_TestData::ScratchDir("movie-refused");
  const Case cases[] = {
      {"missing folder", (scratch / "no" / "such").string(), ZR_Avi::kCinepak, 64, 48, 24, 25, noDisk, ")"},
      // Nobody may create files there, root included.
      {"system folder", "/proc", ZR_Avi::kCinepak, 64, 48, 24, 25, noDisk, ")"},
      {"unknown compressor", "", ZR_Avi::FourCc('Z', 'Z', 'Z', 'Z'), 64, 48, 24, 25,
       "A suitable compressor cannot be found. (ZZZZ)", stream},
      {"a decoder only", "", ZR_Avi::FourCc('I', 'V', '5', '0'), 64, 48, 24, 25,
       "A suitable compressor cannot be found.", stream},
      {"cinepak, sides not multiples of 4", "", ZR_Avi::kCinepak, 62, 48, 24, 25,
       "Compression not supported for this type of data.", stream},
      {"32 bits per pixel", "", ZR_Avi::kUncompressed, 64, 48, 32, 25, "Only 24-bit frames", stream},
      {"empty frames", "", ZR_Avi::kUncompressed, 0, 48, 24, 25, "Only 24-bit frames", stream},
      {"no frame rate", "", ZR_Avi::kUncompressed, 64, 48, 24, 0, "The frame rate must be at least 1", stream},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = c.folder.empty() ? ZR_TestData::ScratchDir("movie-refused-case") : fs::path(c.folder);
    ZR_WinMovie movie;
    movie.SetOptions(c.compressor, 75, c.rate);
    EXPECT_FALSE(movie.Open((dir / "clip.avi").string(), c.width, c.height, c.bits));
    EXPECT_FALSE(movie.IsOpen());
    const std::string& why = movie.LastError();
    EXPECT_EQ(why.substr(0, c.start.size()), c.start) << why;
    ASSERT_GE(why.size(), c.end.size());
    EXPECT_EQ(why.substr(why.size() - c.end.size()), c.end) << why;
    EXPECT_EQ(Leftovers(dir), std::vector<std::string>{});
    EXPECT_FALSE(movie.AddFrame(Frame(0).data(), 0));
    EXPECT_EQ(movie.LastError(), why);  // the first failure stays the one reported
    // The same writer makes the next movie.
    const fs::path good = ZR_TestData::ScratchDir("movie-refused-next");
    movie.SetOptions(ZR_Avi::kUncompressed, 100, 25);
    ASSERT_TRUE(movie.Open((good / "next.avi").string(), kWidth, kHeight, 24)) << movie.LastError();
    EXPECT_EQ(movie.LastError(), "");
    EXPECT_TRUE(movie.AddFrame(Frame(0).data(), 0));
    movie.Close();
    EXPECT_EQ(Entries(good), std::vector<std::string>{"next.avi"});
  }
}

TEST(WinMovie, AReadOnlyFolderRefusesTheMovie) {
  const fs::path dir = ZR_TestData::ScratchDir("movie-readonly");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  if (access(dir.c_str(), W_OK) == 0) {
    fs::permissions(dir, fs::perms::owner_all);
    GTEST_SKIP() << "this user writes into read-only folders (root): the /proc case stands in for it";
  }
  ZR_WinMovie movie;
  EXPECT_FALSE(movie.Open((dir / "clip.avi").string(), kWidth, kHeight, 24));
  EXPECT_EQ(movie.LastError().rfind("Unable to Open AVI. Disk error while opening the file.", 0), 0u)
      << movie.LastError();
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_EQ(Entries(dir), std::vector<std::string>{});
}

// When the finished file cannot take its name (here a folder has it, which stops root too),
// Close reports it and removes the frames written; the folder stays.
TEST(WinMovie, AMovieThatCannotTakeItsNameLeavesNothing) {
  const fs::path dir = ZR_TestData::ScratchDir("movie-name-taken");
  fs::create_directories(dir / "clip.avi");
  ZR_TestData::WriteText(dir / "clip.avi" / "inside.txt", "kept");
  ZR_WinMovie movie;
  ASSERT_TRUE(movie.Open((dir / "clip.avi").string(), kWidth, kHeight, 24)) << movie.LastError();
  ASSERT_TRUE(movie.AddFrame(Frame(0).data(), 0));
  movie.Close();
  EXPECT_EQ(movie.LastError().rfind("Unable to save the AVI under its name", 0), 0u) << movie.LastError();
  EXPECT_EQ(Entries(dir), std::vector<std::string>{"clip.avi"});
  EXPECT_TRUE(fs::is_directory(dir / "clip.avi"));
  EXPECT_EQ(ZR_TestData::ReadText(dir / "clip.avi" / "inside.txt"), "kept");
}

// The writer keeps its options from movie to movie, and the header it describes the frames
// with is the bitmap header of an uncompressed 24-bit frame.
TEST(WinMovie, OptionsPersistAndTheFrameHeaderDescribesTheFrames) {
  LMX_REQUIRE_TOOL("ffprobe");
  const fs::path dir = ZR_TestData::ScratchDir("movie-options");
  ZR_WinMovie movie;
  movie.SetOptions(ZR_Avi::kUncompressed, 100, 12);
  for (const char* name : {"one.avi", "two.avi"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(movie.Open((dir / name).string(), kWidth, kHeight, 24)) << movie.LastError();
    const ZR_Avi::FrameHeader& h = movie.Header();
    EXPECT_EQ(h.nSize, 40u);
    EXPECT_EQ(h.nWidth, kWidth);
    EXPECT_EQ(h.nHeight, kHeight);
    EXPECT_EQ(h.nPlanes, 1);
    EXPECT_EQ(h.nBitCount, 24);
    EXPECT_EQ(h.nCompression, 0u);
    EXPECT_EQ(h.nSizeImage, static_cast<uint32_t>(kWidth * kHeight * 3));
    ASSERT_TRUE(movie.AddFrame(Frame(0).data(), 0));
    movie.Close();
    EXPECT_EQ(Probe((dir / name).string())["r_frame_rate"], "12/1");
  }
}
