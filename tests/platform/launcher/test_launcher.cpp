// The launcher as a user runs it: a small application module started by name from the
// emulator's Z: drive or from a folder, headless, on the real clock.
#include "HostFiles.h"
#include <gtest/gtest.h>
#include <stdlib.h>

#include <zhost/screen.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ZTestHost::ReadHostFile;
using ZTestHost::WriteHostFile;

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zolv-launcher-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    iRoot = pattern;
    iZApps = iRoot / "epoc" / "epoc32" / "release" / "wins" / "udeb" / "z" / "System" / "Apps";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(iRoot, ec);
  }

  // Installs the test module under aName in aFolder/<aName>/<aName>.app.
  fs::path Install(const fs::path& aFolder, const std::string& aName) {
    const fs::path module = aFolder / aName / (aName + ".app");
    fs::create_directories(module.parent_path());
    fs::copy_file(ZOLV_TEST_APP, module, fs::copy_options::overwrite_existing);
    return module.parent_path();
  }

  // Runs epoc with the arguments; its output is in Output().
  int Epoc(const std::string& aArguments) {
    return ZTestHost::Shell("ZOLVANE_EPOCROOT='" + (iRoot / "epoc").string() + "' '" + ZOLV_EPOC + "' " + aArguments +
                            " > '" + (iRoot / "out.txt").string() + "' 2>&1");
  }
  std::string Output() const { return ReadHostFile(iRoot / "out.txt"); }

  fs::path iRoot;
  fs::path iZApps;
};

// The distinct colours of a PNG file; its size in aW, aH.
std::set<Uint32> Colours(const fs::path& aPath, int& aW, int& aH) {
  std::set<Uint32> colours;
  aW = aH = 0;
  SDL_Surface* loaded = IMG_Load(aPath.c_str());
  if (!loaded) return colours;
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (!rgb) return colours;
  aW = rgb->w;
  aH = rgb->h;
  for (int y = 0; y < rgb->h; y++) {
    const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(rgb->pixels) + y * rgb->pitch);
    for (int x = 0; x < rgb->w; x++) colours.insert(row[x]);
  }
  SDL_FreeSurface(rgb);
  return colours;
}

TEST_F(Launcher, RunsByNameFromDriveZAndStopsAfterTheFrames) {
  Install(iZApps, "LauncherTestApp");
  const fs::path png = iRoot / "out.png";
  ASSERT_EQ(Epoc("--headless --frames 50 --png '" + png.string() + "' LauncherTestApp"), 0) << Output();
  // The application would run 200 ticks; the launcher ends it at the 50th screen update.
  EXPECT_NE(Output().find("epoc: LauncherTestApp stopped after 50 frames"), std::string::npos) << Output();
  ASSERT_TRUE(fs::is_regular_file(png));
  int w = 0, h = 0;
  const std::set<Uint32> colours = Colours(png, w, h);
  // Four columns of half-size frames with 4-pixel gaps; the stripes' colours, the
  // background and the gaps make well over a handful of colours.
  EXPECT_GT(w, 4 * 4);
  EXPECT_GT(h, 4);
  EXPECT_GE(colours.size(), 8u) << "the contact sheet is blank";
}

TEST_F(Launcher, FolderOnTheCommandLineAndTheApplicationsOwnExit) {
  const fs::path folder = iRoot / "apps";
  const fs::path appFolder = Install(folder, "LauncherTestApp");
  // The application reads its tick count from its own Data folder, which it finds
  // through its full name: the launcher must report a device name that leads there.
  WriteHostFile(appFolder / "Data" / "ticks.txt", "15");
  ASSERT_EQ(Epoc("--headless --apps '" + folder.string() + "' LauncherTestApp"), 0) << Output();
  const std::string out = Output();
  const size_t at = out.find("epoc: LauncherTestApp exited after ");
  ASSERT_NE(at, std::string::npos) << out;
  const int frames = std::atoi(out.c_str() + at + std::strlen("epoc: LauncherTestApp exited after "));
  // One update per tick, and at most a couple from the first drawing of the window.
  EXPECT_GE(frames, 15) << out;
  EXPECT_LE(frames, 18) << out;
  // The folder may also be the application's own folder.
  ASSERT_EQ(Epoc("--headless --frames 5 --apps '" + appFolder.string() + "' LauncherTestApp"), 0) << Output();
  EXPECT_NE(Output().find("stopped after 5 frames"), std::string::npos) << Output();
}

// The drive that shows a folder given with --apps is a temporary folder whose
// System\Apps\<Name> is a link to the application's folder. The application puts more
// links into it, to a folder and a file outside. When the run ends the drive is gone,
// and everything the links named keeps its bytes.
TEST_F(Launcher, TemporaryDriveGoesWithoutFollowingLinksOutOfIt) {
  const fs::path folder = iRoot / "apps";
  const fs::path appFolder = Install(folder, "LauncherTestApp");
  const fs::path outside = iRoot / "outside";
  WriteHostFile(outside / "file.txt", "outside bytes");
  WriteHostFile(outside / "sub" / "deep.txt", "deep bytes");
  WriteHostFile(appFolder / "Data" / "ticks.txt", "3");
  WriteHostFile(appFolder / "Data" / "outside.txt", outside.string());
  ASSERT_EQ(Epoc("--headless --apps '" + folder.string() + "' LauncherTestApp"), 0) << Output();
  const std::string drive = ReadHostFile(appFolder / "Data" / "drive.txt");
  ASSERT_FALSE(drive.empty()) << "the application did not plant its links";
  std::error_code ec;
  EXPECT_FALSE(fs::exists(fs::symlink_status(drive, ec))) << drive;
  EXPECT_EQ(ReadHostFile(outside / "file.txt"), "outside bytes");
  EXPECT_EQ(ReadHostFile(outside / "sub" / "deep.txt"), "deep bytes");
  EXPECT_TRUE(fs::is_regular_file(appFolder / "LauncherTestApp.app"));
  EXPECT_EQ(ReadHostFile(appFolder / "Data" / "ticks.txt"), "3");
}

TEST_F(Launcher, TimeLimitEndsARunThatWouldGoOnForLong) {
  const fs::path folder = iRoot / "apps";
  const fs::path appFolder = Install(folder, "LauncherTestApp");
  WriteHostFile(appFolder / "Data" / "ticks.txt", "1000000");
  ASSERT_EQ(Epoc("--headless --seconds 1 --apps '" + folder.string() + "' LauncherTestApp"), 0) << Output();
  const std::string out = Output();
  const size_t at = out.find("epoc: LauncherTestApp stopped after ");
  ASSERT_NE(at, std::string::npos) << out;
  // Stopped by the clock: far fewer updates than the application would make.
  const int frames = std::atoi(out.c_str() + at + std::strlen("epoc: LauncherTestApp stopped after "));
  EXPECT_GE(frames, 1) << out;
  EXPECT_LT(frames, 1000000) << out;
  EXPECT_NE(Epoc("--seconds 0 LauncherTestApp"), 0);
  EXPECT_NE(Epoc("--seconds x LauncherTestApp"), 0);
}

TEST_F(Launcher, RefusesWhatItCannotStart) {
  // No such application.
  EXPECT_EQ(Epoc("--headless Missing"), 1);
  EXPECT_NE(Output().find("application Missing not found"), std::string::npos) << Output();
  // A name that would leave the applications' folder.
  EXPECT_EQ(Epoc("--headless ../LauncherTestApp"), 2);
  // Bad options.
  EXPECT_EQ(Epoc("--frames 0 LauncherTestApp"), 2);
  EXPECT_EQ(Epoc("--frames 5x LauncherTestApp"), 2);
  EXPECT_EQ(Epoc("--headless"), 2);
  // A file that is not a module, and a module without NewApplication().
  WriteHostFile(iZApps / "Junk" / "Junk.app", "not a shared object");
  EXPECT_EQ(Epoc("--headless Junk"), 1);
  fs::create_directories(iZApps / "Plain");
  fs::copy_file(ZOLV_EPOC_TEST_LIBRARY, iZApps / "Plain" / "Plain.app");
  EXPECT_EQ(Epoc("--headless Plain"), 1);
  EXPECT_NE(Output().find("does not export NewApplication()"), std::string::npos) << Output();
  // A contact sheet that cannot be written is a failure, not a success.
  Install(iZApps, "LauncherTestApp");
  EXPECT_EQ(Epoc("--headless --frames 3 --png '" + (iRoot / "no" / "such" / "dir.png").string() + "' LauncherTestApp"),
            1);
  EXPECT_NE(Output().find("cannot write the contact sheet"), std::string::npos) << Output();
}

// The sheet writer shared by the launcher and the frame demo: a 2 x 1 grid of two 4 x 2
// frames at full size, with the 4-pixel gaps around them.
TEST(ContactSheet, LaysOutFramesAndRefusesBadOnes) {
  char pattern[] = "/tmp/zolv-sheet-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const fs::path png = fs::path(pattern) / "sheet.png";
  const std::vector<TUint16> red(8, 0x000F), blue(8, 0x0F00);
  EXPECT_EQ(ZHost::Screen::SaveContactSheetPng(png.string(), {red, blue}, TSize(4, 2), 4, 1), KErrNone);
  int w = 0, h = 0;
  const std::set<Uint32> colours = Colours(png, w, h);
  EXPECT_EQ(w, 2 * (4 + 4) + 4);
  EXPECT_EQ(h, 2 + 4 + 4);
  EXPECT_EQ(colours.size(), 3u);  // red, blue, the gaps
  EXPECT_EQ(ZHost::Screen::SaveContactSheetPng(png.string(), {}, TSize(4, 2), 4, 1), KErrArgument);
  EXPECT_EQ(ZHost::Screen::SaveContactSheetPng(png.string(), {red, std::vector<TUint16>(7)}, TSize(4, 2), 4, 1),
            KErrArgument);
  EXPECT_EQ(ZHost::Screen::SaveContactSheetPng(png.string(), {red}, TSize(4, 2), 0, 1), KErrArgument);
  EXPECT_EQ(ZHost::Screen::SaveContactSheetPng((fs::path(pattern) / "no" / "x.png").string(), {red}, TSize(4, 2), 4, 1),
            KErrGeneral);
  std::error_code ec;
  fs::remove_all(pattern, ec);
}

}  // namespace
