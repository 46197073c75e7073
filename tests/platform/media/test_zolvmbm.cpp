// zolvmbm's round trip: pictures written as PNG files, built into multi-bitmap files at
// every depth, plain and compressed, then read back by the platform's codec.
#include <gtest/gtest.h>

#include <gdi.h>
#include <zhost/mbm.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "HostFiles.h"
#include "MediaTestFiles.h"

namespace {

namespace fs = std::filesystem;

// Colours every depth holds exactly in colour: black, white, red, green, blue.
const uint32_t kColours[5] = {0xFF000000u, 0xFFFFFFFFu, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};

uint32_t PixelAt(int x, int y) {
  // Runs in the left part of each row, alternating colours on the right.
  return x < 4 ? kColours[y % 5] : kColours[(x + y) % 5];
}

class Zolvmbm : public ::testing::Test {
protected:
  void SetUp() override {
    iDir = fs::temp_directory_path() / ("zolvmbm-" + std::to_string(::getpid()));
    fs::create_directories(iDir);
    Write("a.png", MediaTest::Encode(MediaTest::Surface(9, 3, PixelAt), MediaTest::Format::Png));
    Write("b.png", MediaTest::Encode(MediaTest::Surface(5, 2, [](int x, int y) { return PixelAt(x + 2, y + 1); }),
                                     MediaTest::Format::Png));
  }
  void TearDown() override { fs::remove_all(iDir); }

  void Write(const std::string& aName, const std::string& aBytes) {
    std::ofstream(iDir / aName, std::ios::binary) << aBytes;
  }
  std::string Read(const std::string& aName) {
    std::ifstream f(iDir / aName, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  }
  // Runs the tool with aArgs; its exit status and standard output.
  int Run(const std::string& aArgs, std::string* aOutput = nullptr) {
    const std::string command = ZTestHost::kCLocale + Q(ZOLVMBM_PATH) + " " + aArgs + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    while (fgets(buffer, sizeof(buffer), pipe)) out += buffer;
    const int status = pclose(pipe);
    if (aOutput) *aOutput = out;
    return WEXITSTATUS(status);
  }
  // A path in the temporary folder, quoted for the shell.
  std::string P(const std::string& aName) { return Q((iDir / aName).string()); }
  static std::string Q(const std::string& aPath) { return "'" + aPath + "'"; }

  fs::path iDir;
};

class Rows : public ZHost::Mbm::MRowSink {
public:
  TInt Row(TInt, const TUint32* aPixels, TInt aWidth) override {
    iPixels.insert(iPixels.end(), aPixels, aPixels + aWidth);
    return KErrNone;
  }
  std::vector<TUint32> iPixels;
};

// What a picture's pixel reads back as at a depth.
TUint32 Expected(uint32_t aArgb, int aBits, bool aColour) {
  const int r = (aArgb >> 16) & 0xFF, g = (aArgb >> 8) & 0xFF, b = aArgb & 0xFF;
  if (aColour) return TRgb(r, g, b).Value();
  const int grey = ((r * 2 + g * 5 + b) / 8) >> (8 - aBits);
  const int level = grey * 255 / ((1 << aBits) - 1);
  return TRgb(level, level, level).Value();
}

TEST_F(Zolvmbm, EveryDepthPlainAndCompressedReadsBackThroughTheCodec) {
  const struct {
    const char* depth;
    int bits;
    bool colour;
  } depths[] = {{"c4", 4, true},  {"c8", 8, true},  {"c12", 12, true}, {"c16", 16, true}, {"c24", 24, true},
                {"g1", 1, false}, {"g2", 2, false}, {"g4", 4, false},  {"g8", 8, false}};
  for (const auto& d : depths) {
    for (const char* mode : {"-u", "-r"}) {
      SCOPED_TRACE(std::string(d.depth) + " " + mode);
      ASSERT_EQ(0, Run("build " + P("out.mbm") + " -d " + d.depth + " " + mode + " " + P("a.png") + " " + P("b.png")));
      const std::string file = Read("out.mbm");
      const TUint8* data = reinterpret_cast<const TUint8*>(file.data());
      TInt count = 0;
      ASSERT_EQ(KErrNone, ZHost::Mbm::PictureCount(data, static_cast<TInt>(file.size()), count));
      ASSERT_EQ(2, count);
      for (TInt k = 0; k < 2; ++k) {
        ZHost::Mbm::TPictureHeader header;
        ASSERT_EQ(KErrNone, ZHost::Mbm::ReadHeader(data, static_cast<TInt>(file.size()), k, header));
        EXPECT_EQ(d.bits, header.iBitsPerPixel);
        EXPECT_EQ(std::string(mode) == "-r" ? 1 : 0, header.iCompression != 0);
        Rows rows;
        ASSERT_EQ(KErrNone, ZHost::Mbm::Decode(data, static_cast<TInt>(file.size()), k, rows));
        const int w = k == 0 ? 9 : 5, h = k == 0 ? 3 : 2;
        ASSERT_EQ(static_cast<size_t>(w * h), rows.iPixels.size());
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) {
            const uint32_t argb = k == 0 ? PixelAt(x, y) : PixelAt(x + 2, y + 1);
            EXPECT_EQ(Expected(argb, d.bits, d.colour), rows.iPixels[y * w + x]) << k << ": " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST_F(Zolvmbm, ListsThePicturesAndRefusesBadInput) {
  ASSERT_EQ(0, Run("build " + P("x.mbm") + " " + P("a.png") + " -d c24 -r " + P("b.png")));
  std::string out;
  ASSERT_EQ(0, Run("list " + P("x.mbm"), &out));
  EXPECT_EQ("1: 9 x 3, 12 bits, colour, none\n2: 5 x 2, 24 bits, colour, 24-bit runs\n", out);
  EXPECT_NE(0, Run("build " + P("y.mbm") + " " + P("missing.png")));
  EXPECT_NE(0, Run("build " + P("y.mbm") + " -d c7 " + P("a.png")));
  Write("junk.mbm", "not a multi-bitmap file");
  EXPECT_NE(0, Run("list " + P("junk.mbm")));
}

}  // namespace
