// The Demo application end to end, headless on the virtual clock: its own files (built
// into <build>/examples/Demo/z/System/Apps/Demo) are copied into a test application
// folder, the engine is set up as the Demo's user interface sets it up, and whole passes
// of its movie list run frame by frame.
//
// Frames are counted by the script's FrameBeginL calls. Frame 1 starts the movie list;
// the first pass then plays title (frames 2..101), sprites (102..261), wipes (262..401),
// garden (402..641) and finale (642..761); frame 762 starts the second pass.
//
// Pixel hashes of chosen frames are kept in frames.txt beside this file. When the
// drawing changes on purpose (texts and shapes are drawn on screen, for example),
// record them again with ZOLV_DEMO_RECORD=1 and look at the PNG files the recording
// writes next to the test binary before keeping the new hashes.

#include "Demo.h"

#include <gtest/gtest.h>
#include <zhost/screen.h>
#include <zhost_testing.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The first frame of each movie in the first pass, and of the second pass.
const TInt KTitleStart = 2;
const TInt KSpritesStart = 102;
const TInt KWipesStart = 262;
const TInt KGardenStart = 402;
const TInt KFinaleStart = 642;
const TInt KSecondPassStart = 762;

const char* const KMovies[] = {"title", "sprites", "wipes", "garden", "finale"};
// What the script loads for the game and keeps.
const char* const KGameElements[] = {"tile_bmp_1", "tile_bmp_2", "tile_bmp_3", "tile_bmp_4",
                                     "game_bmp_1", "game_bmp_2", "game_bmp_3", "game_pickup",
                                     "game_bump",  "game_map",   "game_score"};

TPtrC Name16(const std::string& aName, TBuf<80>& aBuffer) {
  aBuffer.Zero();
  for (char c : aName) aBuffer.Append(TChar(c));
  return TPtrC(aBuffer);
}

// The engine set up as the Demo's user interface sets it up, in a test application
// folder holding the Demo's files, with the Demo's own full-screen view control.
class DemoRun {
public:
  DemoRun() : iEnv("Demo") {
    const fs::path source(ZOLV_DEMO_APP_DIR);
    const fs::path target(iEnv.HostPath(iEnv.AppFolder()));
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
      if (entry.path().extension() == ".app") continue;
      fs::copy(entry.path(), target / entry.path().filename(),
               fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    iController = CZController::NewL(iEnv.AppUi());
    iController->SpriteChannelAllocate(KDemoChannels);
    iScript = CDemoScript::NewL();
    iController->Script(iScript);
    iAppView = CDemoAppView::NewL(TRect(0, 0, KDemoScreenWidth, KDemoScreenHeight));
    iController->View(iAppView->View());
    iController->ScreenSaver(EFalse);
    iController->Start();
  }
  ~DemoRun() {
    delete iController;
    delete iScript;
    delete iAppView;
  }

  CZController& Controller() { return *iController; }
  CDemoScript& Script() { return *iScript; }
  ZHost::Testing::TestEnvironment& Env() { return iEnv; }

  // Runs frames until the script has begun frame aFrame and the frame is drawn.
  void RunTo(TInt aFrame) {
    while (iScript->Frames() < aFrame) {
      const TInt64 due = ZHost::NextTimerDue();
      ASSERT_GE(due, 0) << "no frame timer at frame " << iScript->Frames();
      const TInt64 now = ZHost::Clock::Ticks();
      ZHost::RunFor(due > now ? due - now : 0);
      if (iController->MovieLoadFailed()) iLoadFailures++;
    }
  }

  TKeyResponse Key(TUint aCode) {
    TKeyEvent event{};
    event.iCode = aCode;
    return iEnv.SendKey(event, EEventKey);
  }

  // The names of the elements that exist among those a movie or the game can make.
  std::set<std::string> Elements() {
    std::set<std::string> found;
    TBuf<80> buffer;
    for (const char* movie : KMovies)
      for (const char* kind : {"_bmp_", "_txt_", "_shp_", "_wav_"})
        for (int k = 1; k <= 16; ++k) {
          const std::string name = std::string(movie) + kind + std::to_string(k);
          if (iController->Element(Name16(name, buffer))) found.insert(name);
        }
    for (const char* name : KGameElements)
      if (iController->Element(Name16(name, buffer))) found.insert(name);
    return found;
  }

  TInt iLoadFailures = 0;

private:
  ZHost::Testing::TestEnvironment iEnv;
  CZController* iController = NULL;
  CDemoScript* iScript = NULL;
  CDemoAppView* iAppView = NULL;
};

std::set<std::string> WithPrefix(const std::set<std::string>& aNames, const std::string& aPrefix) {
  std::set<std::string> out;
  for (const std::string& name : aNames)
    if (name.compare(0, aPrefix.size(), aPrefix) == 0) out.insert(name);
  return out;
}

// FNV-1a over the screen's pixel words, row by row.
std::string ScreenHash() {
  const TSize size = ZHost::Screen::Size();
  const TUint16* pixels = ZHost::Screen::Pixels();
  uint64_t hash = 1469598103934665603ull;
  for (TInt y = 0; y < size.iHeight; ++y)
    for (TInt x = 0; x < size.iWidth; ++x) {
      const TUint16 p = pixels[y * ZHost::Screen::Stride() + x];
      hash = (hash ^ (p & 0xFF)) * 1099511628211ull;
      hash = (hash ^ (p >> 8)) * 1099511628211ull;
    }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

TInt ScreenColours() {
  const TSize size = ZHost::Screen::Size();
  std::set<TUint16> colours;
  for (TInt y = 0; y < size.iHeight; ++y)
    for (TInt x = 0; x < size.iWidth; ++x) colours.insert(ZHost::Screen::Pixel(x, y));
  return static_cast<TInt>(colours.size());
}

std::map<TInt, std::string> ReadHashes() {
  std::map<TInt, std::string> hashes;
  std::ifstream file(ZOLV_DEMO_HASHES);
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    TInt frame = 0;
    std::string hash;
    if (line.empty() || line[0] == '#' || !(fields >> frame >> hash)) continue;
    hashes[frame] = hash;
  }
  return hashes;
}

// A frame whose picture is checked, and what it shows.
struct Shot {
  TInt frame;
  const char* shows;
};

}  // namespace

// One pass of the list and the start of the next: the pictures of chosen frames, the
// game played with the arrow keys, and no element left over from a movie.
TEST(DemoEndToEnd, PlaysTheListGameAndWrapsAround) {
  DemoRun run;
  const bool record = std::getenv("ZOLV_DEMO_RECORD") != nullptr;
  const std::map<TInt, std::string> expected = ReadHashes();
  std::map<TInt, std::string> measured;
  std::ostringstream recording;
  recording << "# Pixel hashes of the Demo's screen at chosen frames (tests/demo/test_demo.cpp).\n"
               "# Record again with ZOLV_DEMO_RECORD=1 after a deliberate change of the drawing.\n";
  auto shoot = [&](const Shot& aShot) {
    run.RunTo(aShot.frame);
    SCOPED_TRACE(aShot.shows);
    // A picture, not an empty screen.
    EXPECT_GE(ScreenColours(), 12) << "frame " << aShot.frame;
    const std::string hash = ScreenHash();
    measured[aShot.frame] = hash;
    recording << aShot.frame << " " << hash << "  " << aShot.shows << "\n";
    if (record) {
      ZHost::Screen::SavePng("demo-frame-" + std::to_string(aShot.frame) + ".png");
    } else {
      const auto it = expected.find(aShot.frame);
      if (it == expected.end()) {
        ADD_FAILURE() << "no recorded hash for frame " << aShot.frame << "; record with ZOLV_DEMO_RECORD=1";
      } else {
        EXPECT_EQ(hash, it->second) << "frame " << aShot.frame << " (" << aShot.shows << ") looks different";
      }
    }
  };

  // Title: only title elements are loaded; the keys are not the game's yet.
  shoot({KTitleStart + 14, "title: the sky fading in (three quarters), the name opening from its centre, three sparkles"});
  run.RunTo(KTitleStart + 20);
  const std::set<std::string> titleFirst = run.Elements();
  EXPECT_EQ(titleFirst, WithPrefix(titleFirst, "title_"));
  EXPECT_TRUE(titleFirst.count("title_bmp_4") && titleFirst.count("title_txt_2") && titleFirst.count("title_shp_2") &&
              titleFirst.count("title_wav_1"))
      << "title pictures, texts, shapes and sound";
  EXPECT_EQ(run.Key(EKeyRightArrow), EKeyWasNotConsumed);

  shoot({KSpritesStart + 69, "sprites: sunset, rocket turned on its wave, planet turned and scaled, star orbiting, blended glass, the caption"});
  const std::set<std::string> inSprites = run.Elements();
  EXPECT_EQ(WithPrefix(inSprites, "title_").size(), 0u) << "the title's elements are freed";
  EXPECT_TRUE(inSprites.count("sprites_bmp_5") && inSprites.count("sprites_txt_1") && inSprites.count("sprites_wav_1"));
  // The glass pane is opaque and light: none of its pixels may have become the colour key.
  TBuf<80> name;
  CZElement* glass = run.Controller().Element(Name16("sprites_bmp_4", name));
  ASSERT_TRUE(glass);
  ASSERT_EQ(glass->Width(), 200);
  TInt keyed = 0;
  for (TInt y = 0; y < glass->Height(); y++)
    for (TInt x = 0; x < glass->Width(); x++) keyed += glass->Pixel(x, y) == 0x0FFF;
  EXPECT_EQ(keyed, 0);

  shoot({KWipesStart + 29, "wipes: cards 1 to 6 open or opening, card 7 at the first step of its wipe, the first explanation"});
  EXPECT_TRUE(run.Elements().count("wipes_bmp_10") && run.Elements().count("wipes_txt_2"));
  shoot({KWipesStart + 117, "wipes: the four scroll cards leaving, the second caption, the second explanation scrolling out"});

  // The garden: the game starts with the movie.
  run.RunTo(KGardenStart + 10);
  CDemoScript& script = run.Script();
  ASSERT_TRUE(script.GameActive());
  EXPECT_EQ(script.ItemCount(), 8) << "stars from Data\\items.csv";
  EXPECT_EQ(script.HeroPosition(), TPoint(8, 88)) << "the hero's start from Data\\items.csv";
  EXPECT_EQ(script.Score(), 0);
  CZSprite* hero = run.Controller().Sprite(CDemoScript::EChannelHero);
  CZSprite* map = run.Controller().Sprite(CDemoScript::EChannelMap);
  ASSERT_TRUE(hero && map);
  EXPECT_EQ(map->Type(), BITMAP_ARRAY_ELEMENT);
  EXPECT_EQ(map->Element()->ArrayWidth(), 16);
  EXPECT_EQ(map->Element()->ArrayHeight(), 5);
  // The map's cells are the tiles named by Data\level.txt: (6,0) is a hedge, (2,0) flowers.
  EXPECT_EQ(map->Element()->Bitmap(6, 0), run.Controller().Element(Name16("tile_bmp_2", name)));
  EXPECT_EQ(map->Element()->Bitmap(2, 0), run.Controller().Element(Name16("tile_bmp_3", name)));

  // The hero's picture is masked: white corners, a solid body.
  EXPECT_EQ(hero->Element()->Pixel(0, 0), 0x0FFF);
  EXPECT_NE(hero->Element()->Pixel(12, 13), 0x0FFF);
  EXPECT_TRUE(hero->Mask());

  // Three steps right: the hero's box (24 x 24) ends just left of the first star at
  // (58, 90), nothing is collected yet.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(run.Key(EKeyRightArrow), EKeyWasConsumed);
  EXPECT_EQ(script.HeroPosition(), TPoint(32, 88));
  EXPECT_EQ(hero->X(), 32);
  EXPECT_EQ(script.Score(), 0);
  // The fourth step overlaps it: collected through the sprites' collision test.
  run.Key(EKeyRightArrow);
  EXPECT_EQ(script.Score(), 10);
  EXPECT_EQ(script.Collected(), 1);
  EXPECT_EQ(run.Controller().Sprite(CDemoScript::EChannelItemFirst)->Type(), 0) << "the star is gone";
  EXPECT_EQ(run.Controller().Sprite(CDemoScript::EChannelPipFirst)->Type(), BITMAP_ELEMENT) << "a score pip";
  run.Key(EKeyRightArrow);
  EXPECT_EQ(script.HeroPosition(), TPoint(48, 88));
  EXPECT_EQ(script.Score(), 10) << "a star counts once";
  // Up once onto the sand path, then the hedge at (1,1) stops the hero: a bump.
  run.Key(EKeyUpArrow);
  EXPECT_EQ(script.HeroPosition(), TPoint(48, 80));
  run.Key(EKeyUpArrow);
  EXPECT_EQ(script.HeroPosition(), TPoint(48, 80)) << "the hedge blocks";
  EXPECT_EQ(script.Bumps(), 1);
  EXPECT_EQ(hero->Transition(), 100) << "the hero shakes";
  // The screen's left edge blocks as well.
  for (int i = 0; i < 7; ++i) run.Key(EKeyLeftArrow);
  EXPECT_EQ(script.HeroPosition(), TPoint(0, 80));
  EXPECT_EQ(script.Bumps(), 2);
  // Back to the path the first star was on, for the picture below.
  for (int i = 0; i < 6; ++i) run.Key(EKeyRightArrow);
  EXPECT_EQ(script.HeroPosition(), TPoint(48, 80));
  EXPECT_EQ(script.Score(), 10);

  shoot({KGardenStart + 30, "garden: tiled map, hero beside the taken star, seven stars, one pip, the banner, the score"});

  // Without keys the hero walks on its own and collects more stars.
  run.RunTo(KGardenStart + 220);
  EXPECT_GT(script.Collected(), 2) << "the autopilot collects stars";
  EXPECT_GT(script.Score(), 20);
  const std::set<std::string> inGarden = run.Elements();
  EXPECT_EQ(WithPrefix(inGarden, "wipes_").size(), 0u);
  EXPECT_EQ(WithPrefix(inGarden, "garden_").size(), 3u) << "two banners and the fanfare";

  shoot({KFinaleStart + 25, "finale: dawn, the thanks, the signature rising, sparkles"});
  run.RunTo(KFinaleStart + 60);
  const std::set<std::string> inFinale = run.Elements();
  EXPECT_TRUE(inFinale.count("finale_bmp_5") && inFinale.count("finale_txt_2") && inFinale.count("finale_shp_1"));
  EXPECT_FALSE(script.GameActive()) << "the game ends with its movie";
  for (TInt channel = CDemoScript::EChannelMap; channel <= CDemoScript::EChannelScore; channel++) {
    EXPECT_EQ(run.Controller().Sprite(channel)->Type(), 0) << "game channel " << channel << " cleared";
  }

  // The second pass: the same title, the same elements as in the first pass, and the
  // game's own elements still there.
  shoot({KSecondPassStart + 14, "title again, exactly as in the first pass"});
  EXPECT_EQ(measured[KSecondPassStart + 14], measured[KTitleStart + 14]) << "the second pass starts as the first";
  run.RunTo(KSecondPassStart + 20);
  EXPECT_EQ(script.Passes(), 1);
  const std::set<std::string> titleSecond = run.Elements();
  EXPECT_EQ(WithPrefix(titleSecond, "title_"), titleFirst) << "the same movie elements as in the first pass";
  for (const char* movie : {"sprites_", "wipes_", "garden_", "finale_"}) {
    EXPECT_EQ(WithPrefix(titleSecond, movie).size(), 0u) << movie << " elements left over";
  }
  EXPECT_EQ(titleSecond.size(), titleFirst.size() + std::size(KGameElements));
  EXPECT_FALSE(script.GameActive());

  EXPECT_EQ(run.iLoadFailures, 0);
  EXPECT_EQ(ZHost::SchedulerErrors(), 0) << "no leave reached the scheduler";

  if (record) {
    std::ofstream(ZOLV_DEMO_HASHES) << recording.str();
    std::printf("recorded %zu frame hashes into %s\n", measured.size(), ZOLV_DEMO_HASHES);
  }
}

// The game's data files decide the game: a different table moves the hero's start and
// the stars, and a broken map keeps the game out while the movies go on.
TEST(DemoEndToEnd, GameTakesItsDataFromTheFiles) {
  {
    DemoRun run;
    run.Env().WriteResource("Data", "items.csv", "kind;x;y;points\r\nhero;200;168;0\r\nstar;214;170;25\r\nstar;\r\n");
    run.RunTo(KGardenStart + 2);
    CDemoScript& script = run.Script();
    ASSERT_TRUE(script.GameActive());
    EXPECT_EQ(script.ItemCount(), 1) << "the row without coordinates is skipped";
    EXPECT_EQ(script.HeroPosition(), TPoint(200, 168));
    run.Key(EKeyRightArrow);
    EXPECT_EQ(script.Score(), 25);
  }
  {
    DemoRun run;
    fs::remove(run.Env().HostPath(run.Env().AppFolder() + "Data\\level.txt"));
    run.RunTo(KGardenStart + 2);
    EXPECT_FALSE(run.Script().GameActive());
    EXPECT_EQ(run.Key(EKeyRightArrow), EKeyWasNotConsumed);
    run.RunTo(KFinaleStart + 1);
    EXPECT_EQ(run.iLoadFailures, 0) << "the movies go on";
    EXPECT_EQ(ZHost::SchedulerErrors(), 0);
  }
}
