// End to end on this host: in a temporary prefix with a registered SDK holding the
// engine, the wizard generates a project, the SDK's project tool (started by the wizard)
// turns it into a CMake project, the project builds against the SDK with warnings as
// errors and every symbol resolved, the launcher epoc runs it headless for a few hundred
// frames, and the application runs on the virtual clock inside the test: 120 channels,
// the animation, the arrow keys, the pause menu and the quit command.
#include "HostFiles.h"
#include <gtest/gtest.h>
#include <stdlib.h>

#include <Zolvane.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>
#include <eikenv.h>
#include <zhost/apploader.h>
#include <zhost/clock.h>

#include <unistd.h>

#include "installer/ContactSheet.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

// Reaches the application's own objects; compiled into the generated application.
const char kProbe[] = R"(// Game_Probe.cpp: lets the test see inside the application.
#include "Game.h"

extern "C" EXPORT_C CZController* GameProbeController(CEikAppUi* aAppUi)
    {
    return static_cast<CGameAppUi*>(aAppUi)->Controller();
    }

extern "C" EXPORT_C TInt GameProbeScript(CEikAppUi* aAppUi, TInt aWhat)
    {
    CGameScript* script = static_cast<CGameAppUi*>(aAppUi)->Script();
    switch (aWhat)
        {
        case 0: return script->Frames();
        case 1: return script->IsPaused();
        default: return script->MenuSelection();
        }
    }
)";

using ZTestHost::ReadHostFile;
using ZTestHost::WriteHostFile;
using ZTestHost::Shell;

// The wizard and makmake run as programs of their own in a prefix of this test.
class WizardProject : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zolv-wizard-project-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    iRoot = pattern;
    iPrefix = iRoot / "prefix";
    iSdk = DriveC() / "Symbian";
    const fs::path include = iSdk / "Epoc32" / "Include";
    const fs::path release = iSdk / "Epoc32" / "Release" / "wins" / "udeb";
    fs::create_directories(include);
    fs::create_directories(release);
    fs::create_directories(iSdk / "Epoc32" / "Tools");
    fs::copy(fs::path(ZOLV_SOURCE_DIR) / "platform/symbian/include", include, fs::copy_options::recursive);
    fs::copy_file(fs::path(ZOLV_SOURCE_DIR) / "engine/include/Zolvane.h", include / "Zolvane.h");
    // The engine as the SDK holds it: the library, its import library and, for the
    // loader, the name that programs linked against it record.
    for (const char* name : {"Zolvane.dll", "Zolvane.lib", "libZolvane.so", ZOLV_ENGINE_SONAME}) {
      if (!fs::exists(release / name)) fs::create_symlink(ZOLV_ENGINE_LIBRARY, release / name);
    }
    for (const char* name : {"libzsymbian.so", ZOLV_PLATFORM_SONAME}) {
      if (!fs::exists(release / name)) fs::create_symlink(ZOLV_PLATFORM_LIBRARY, release / name);
    }
    fs::create_symlink(ZOLV_MAKMAKE, iSdk / "Epoc32" / "Tools" / "makmake.bat");
    WriteHostFile(iPrefix / "system.reg",
                  "WINE REGISTRY Version 2\n\n[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1\n"
                  "\"CommonPath\"=\"C:\\\\Symbian\"\n");
    WriteHostFile(iSdk / "installed.xml",
                  "<sdk><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
                  "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>C:\\Symbian"
                  "</ESDKNonSharedPath></sdk>");
    WriteHostFile(iRoot / "answers", "OK\n");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(iRoot, ec);
  }

  fs::path DriveC() const { return iPrefix / "drive_c"; }

  std::string Environment() const {
    return "ZOLVANE_PREFIX='" + iPrefix.string() + "' PATH='" + (iSdk / "Epoc32" / "Tools").string() +
           ":/usr/bin:/bin' ";
  }

  fs::path iRoot;
  fs::path iPrefix;
  fs::path iSdk;
};

TEST_F(WizardProject, GeneratedApplicationBuildsAndRuns) {
  if (Shell("cmake --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "cmake is not installed";

  // The wizard, as a user would run it without a display.
  const fs::path transcript = iRoot / "transcript";
  ASSERT_EQ(Shell(Environment() + "'" + ZOLV_WIZARD + "' --name Game --uid 1234ABCD --answers '" +
                  (iRoot / "answers").string() + "' --transcript '" + transcript.string() + "'"),
            0);
  EXPECT_EQ(ReadHostFile(transcript),
            "message box\n  title: \"Success\"\n  text: \"Application template successfully created!\"\n"
            "  buttons: OK\n  default: OK\n  icon: information\n  answer: OK\n");
  const fs::path project = DriveC() / "Game";
  // Without a display the wizard waits for the project tool, so its project file is
  // there the moment the wizard returns.
  ASSERT_GT(fs::file_size(project / "CMakeLists.txt"), 0u) << "the wizard did not wait for makmake";
  const std::string header = ReadHostFile(project / "Source" / "Game.h");
  EXPECT_NE(header.find("class CGameAppUi : public CEikAppUi"), std::string::npos);
  EXPECT_NE(header.find("const TUid KUidGame = { 0x1234ABCD };"), std::string::npos);
  EXPECT_EQ(header.find("Template"), std::string::npos);
  EXPECT_EQ(ReadHostFile(project / "Game.mmp").find("Template"), std::string::npos);

  // The probe joins the project definition; makmake runs again as a developer would.
  WriteHostFile(project / "Source" / "Game_Probe.cpp", kProbe);
  std::string mmp = ReadHostFile(project / "Game.mmp");
  WriteHostFile(project / "Game.mmp", mmp + "SOURCE          Game_Probe.cpp\n");
  ASSERT_EQ(Shell("cd '" + project.string() + "' && " + Environment() + "makmake.bat Game vc6 > /dev/null"), 0);
  EXPECT_NE(ReadHostFile(project / "CMakeLists.txt").find("Source/Game_Probe.cpp"), std::string::npos);

  const fs::path build = project / "build";
  const std::string generator = Shell("ninja --version > /dev/null 2>&1") == 0 ? "-G Ninja " : "";
  ASSERT_EQ(Shell("cmake -S '" + project.string() + "' -B '" + build.string() + "' " + generator +
                  "-DCMAKE_BUILD_TYPE=Debug '-DCMAKE_CXX_FLAGS=-Wall -Wextra -Werror' > '" +
                  (iRoot / "configure.log").string() + "' 2>&1"),
            0)
      << ReadHostFile(iRoot / "configure.log");
  ASSERT_EQ(Shell("cmake --build '" + build.string() + "' -j2 > '" + (iRoot / "build.log").string() + "' 2>&1"), 0)
      << ReadHostFile(iRoot / "build.log");
  const fs::path module = build / "z" / "System" / "Apps" / "Game" / "Game.app";
  ASSERT_TRUE(fs::is_regular_file(module));

  // The launcher runs it as a user would, on the real clock without a window, and stops it
  // after 300 screen updates; the contact sheet shows the moving scene.
  const fs::path sheet = iRoot / "sheet.png";
  const fs::path epocLog = iRoot / "epoc.log";
  ASSERT_EQ(Shell("ZOLVANE_EPOCROOT='" + (iRoot / "epoc").string() + "' '" + ZOLV_EPOC + "' --apps '" +
                  (build / "z" / "System" / "Apps").string() + "' --headless --frames 300 --png '" +
                  sheet.string() + "' Game > '" + epocLog.string() + "' 2>&1"),
            0)
      << ReadHostFile(epocLog);
  EXPECT_NE(ReadHostFile(epocLog).find("epoc: Game stopped after 300 frames"), std::string::npos)
      << ReadHostFile(epocLog);
  const zolv_test::ContactSheet contact = zolv_test::ReadContactSheet(sheet);
  EXPECT_GT(contact.width, 640);
  EXPECT_GT(contact.height, 100);
  // Background, ball, box and the gaps between the frames at the least.
  EXPECT_GE(contact.colours, 3u) << "the contact sheet is uniform";

  // Run it: the application framework's start-up, as the device does it.
  ZHost::RAppModule library;
  ASSERT_EQ(library.Open(module.string()), KErrNone) << library.Error();
  using ControllerFunction = CZController* (*)(CEikAppUi*);
  using ScriptFunction = TInt (*)(CEikAppUi*, TInt);
  auto controllerOf = reinterpret_cast<ControllerFunction>(library.Symbol("GameProbeController"));
  auto script = reinterpret_cast<ScriptFunction>(library.Symbol("GameProbeScript"));
  ASSERT_TRUE(controllerOf && script);

  ::setenv("ZOLVANE_EPOCROOT", (iRoot / "epoc").c_str(), 1);
  ZHost::Clock::UseVirtual();
  CEikonEnv* env = new CEikonEnv;
  TRAPD(err, env->ConstructL());
  ASSERT_EQ(err, KErrNone);
  CApaApplication* app = NULL;
  TRAP(err, app = library.NewApplicationL());
  ASSERT_EQ(err, KErrNone);
  EXPECT_EQ(app->AppDllUid().iUid, 0x1234ABCD);
  app->SetAppFullName(_L("Game"));
  CEikDocument* doc = NULL;
  CEikAppUi* appUi = NULL;
  TRAP(err, ZHost::StartApplicationL(*app, doc, appUi));
  ASSERT_EQ(err, KErrNone);
  CZController* controller = controllerOf(appUi);
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->ChannelCount(), 120);

  auto press = [&](TUint aCode) {
    TKeyEvent key = {aCode, 0, 0, 0};
    TRAPD(keyError, env->SimulateKeyEventL(key, EEventKey));
    EXPECT_EQ(keyError, KErrNone);
  };
  const TInt frame = 50000;  // the default tempo, 20 frames per second

  // A few hundred frames (the timer's waits are rounded down to 1/64 s, so a little more
  // than one per 50 ms): the ball moves round the screen, bouncing.
  ZHost::RunFor(frame + 300 * frame);
  const TInt frames = script(appUi, 0);
  EXPECT_GE(frames, 301);
  EXPECT_LE(frames, 330);
  CZSprite* ball = controller->Sprite(1);
  EXPECT_EQ(ball->Type(), SHAPE_SPRITE);
  EXPECT_EQ(ball->ShapeType(), ELLIPSE);
  EXPECT_TRUE(ball->X() >= 0 && ball->X() <= 640 - 16 && ball->Y() >= 0 && ball->Y() <= 200);
  EXPECT_FALSE(ball->X() == 40 && ball->Y() == 40);

  // The arrow keys move the box.
  const TInt boxX = controller->Sprite(2)->X();
  press(EKeyLeftArrow);
  EXPECT_EQ(controller->Sprite(2)->X(), boxX - 8);

  // Losing the foreground opens the pause menu on top of everything; the scene holds.
  TRAP(err, appUi->HandleForegroundEventL(EFalse));
  EXPECT_EQ(err, KErrNone);
  EXPECT_EQ(script(appUi, 1), 1);
  for (TInt channel = 114; channel <= 120; channel++) {
    EXPECT_TRUE(controller->Sprite(channel)->Visible()) << channel;
    EXPECT_GT(controller->Sprite(channel)->Z(), controller->Sprite(113)->Z()) << channel;
  }
  const TInt ballX = ball->X();
  ZHost::RunFor(10 * frame);
  EXPECT_EQ(script(appUi, 0), frames);
  EXPECT_EQ(ball->X(), ballX);

  // Escape continues; the menu goes away and the scene moves again.
  press(EKeyEscape);
  EXPECT_EQ(script(appUi, 1), 0);
  EXPECT_FALSE(controller->Sprite(114)->Visible());
  ZHost::RunFor(10 * frame);
  EXPECT_GE(script(appUi, 0), frames + 10);

  // Escape opens the menu again; "quit" is the second item and ends the application.
  press(EKeyEscape);
  EXPECT_EQ(script(appUi, 1), 1);
  EXPECT_EQ(script(appUi, 2), 0);
  EXPECT_FALSE(appUi->ExitRequested());
  press(EKeyDownArrow);
  EXPECT_EQ(script(appUi, 2), 1);
  press(EKeyEnter);
  EXPECT_TRUE(appUi->ExitRequested());

  delete appUi;
  delete doc;
  delete app;
  delete env;
  ZHost::Clock::UseReal();
  library.Close();
}

}  // namespace
