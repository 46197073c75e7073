// The examples of docs/movies.md, read from the page itself and run through the engine:
// the worked example movie plays as its explanation says, the text and shape files give
// the elements the page describes, and the page's statements about lifetimes and
// property records hold. A change to the page or to the engine that makes them disagree
// fails here.
#include <gtest/gtest.h>

#include <ZTestAccess.h>
#include <ZolvaneTesting.h>

#include "MediaTestFiles.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace ZTest;

namespace {

std::string ReadGuide() {
  const char* source = std::getenv("ZOLV_TEST_SOURCE_DIR");
  std::ifstream in(std::string(source ? source : ZOLV_SOURCE_DIR) + "/docs/movies.md", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The fenced blocks of the page, in order.
std::vector<std::string> Blocks(const std::string& aPage) {
  std::vector<std::string> blocks;
  std::istringstream in(aPage);
  std::string line, block;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line.rfind("```", 0) == 0) {
      if (inside) blocks.push_back(block);
      block.clear();
      inside = !inside;
      continue;
    }
    if (inside) block += line + "\n";
  }
  return blocks;
}

// The one block that holds aMark; empty (and a test failure) when there is not exactly one.
std::string BlockWith(const std::string& aMark) {
  std::string found;
  int count = 0;
  for (const std::string& b : Blocks(ReadGuide())) {
    if (b.find(aMark) != std::string::npos) {
      found = b;
      ++count;
    }
  }
  EXPECT_EQ(count, 1) << "blocks of docs/movies.md holding \"" << aMark << "\"";
  return count == 1 ? found : std::string();
}

std::u16string U(const std::string& aText) { return std::u16string(aText.begin(), aText.end()); }
TPtrC Des(const std::u16string& aText) {
  return TPtrC(reinterpret_cast<const TText*>(aText.data()), static_cast<TInt>(aText.size()));
}

MediaTest::MbmPicture Picture(int aWidth, int aHeight, uint16_t aWord) {
  MediaTest::MbmPicture p;
  p.width = aWidth;
  p.height = aHeight;
  p.bits = 12;
  const int stride = (aWidth + 1) / 2 * 2;
  for (int i = 0; i < stride * aHeight; ++i) MediaTest::Put16(p.data, aWord);
  return p;
}

// What one channel showed at the end of a frame.
struct TShown {
  TInt type = 0;
  CZElement* element = nullptr;
  TInt x = 0, y = 0, width = 0, height = 0, angle = 0, blend = 0;
  TBool mask = EFalse;
};

class MovieGuide : public ::testing::Test {
 protected:
  MovieGuide() : h(Opts()) {}
  static Harness::Options Opts() {
    Harness::Options o;
    o.channels = 10;
    return o;
  }
  CZController& C() { return h.Controller(); }
  CZElement* E(const std::string& aName) {
    const std::u16string name = U(aName);
    return C().Element(Des(name));
  }
  TInt LoadList(const std::string& aList) {
    const std::u16string list = U(aList);
    TRAPD(err, C().LoadMovieListL(Des(list)));
    return err;
  }
  // Records channels 1..4 at the end of every frame, by frame number.
  void Record() {
    h.Script().iOnEnd = [this](TInt aFrame) {
      for (TInt ch = 1; ch <= 4; ++ch) {
        CZSprite* s = C().Sprite(ch);
        TShown shown;
        shown.type = s->Type();
        shown.element = s->Element();
        shown.x = s->X();
        shown.y = s->Y();
        shown.width = s->Width();
        shown.height = s->Height();
        shown.angle = s->Angle();
        shown.blend = s->Blend();
        shown.mask = s->Mask();
        iShown[aFrame][ch] = shown;
      }
    };
  }
  Harness h;
  std::map<TInt, std::map<TInt, TShown>> iShown;
};

TEST_F(MovieGuide, WorkedExamplePlaysAsDescribed) {
  const std::string movie = BlockWith("FrmCt 40");
  ASSERT_FALSE(movie.empty());
  h.WriteAppFile("Movies\\intro.movie", movie);
  h.WriteAppFile("Pictures\\intro.mbm", MediaTest::Mbm({Picture(64, 40, 0x0840), Picture(30, 20, 0x000F)}));
  h.WriteAppFile("Sounds\\intro_1.wav", MediaTest::WavMono8(800));
  Record();
  ASSERT_EQ(LoadList("intro"), KErrNone);
  EXPECT_FALSE(C().MovieLoadFailed());
  EXPECT_EQ(C().MovieLength(), 40);
  EXPECT_EQ(C().BgColor(), 0);
  ASSERT_NE(E("intro_bmp_2"), nullptr);
  ASSERT_NE(E("intro_wav_1"), nullptr);
  EXPECT_EQ(E("intro_wav_1")->Type(), SOUND_ELEMENT);
  ASSERT_EQ(h.RunFrames(45), 45);

  // Frame 1 fills channels 1 and 2; the logo is there, masked and invisible.
  EXPECT_EQ(iShown[1][1].element, E("intro_bmp_1"));
  EXPECT_EQ(iShown[1][2].element, E("intro_bmp_2"));
  EXPECT_TRUE(iShown[1][2].mask);
  EXPECT_EQ(iShown[1][2].blend, 0);
  // Frame 5: half blended at (20, 60). Frame 10: moved, opaque, tilted; the red bar.
  EXPECT_EQ(iShown[4][2].blend, 0);
  EXPECT_EQ(iShown[5][2].blend, 50);
  EXPECT_EQ(iShown[5][2].element, E("intro_bmp_2"));
  EXPECT_EQ(iShown[10][2].x, 60);
  EXPECT_EQ(iShown[10][2].blend, 100);
  EXPECT_EQ(iShown[10][2].angle, 10);
  EXPECT_EQ(iShown[10][3].type, SHAPE_SPRITE);
  EXPECT_EQ(iShown[10][3].width, 640);
  EXPECT_EQ(iShown[10][3].height, 20);
  EXPECT_EQ(iShown[10][3].y, 180);
  // Frame 30: stretched to 120 x 60 and upright again, still the logo.
  EXPECT_EQ(iShown[29][2].angle, 10);
  EXPECT_EQ(iShown[30][2].width, 120);
  EXPECT_EQ(iShown[30][2].height, 60);
  EXPECT_EQ(iShown[30][2].angle, 0);
  EXPECT_EQ(iShown[30][2].element, E("intro_bmp_2"));
  // The white line: on screen in frames 30 to 39.
  EXPECT_EQ(iShown[29][4].type, 0);
  EXPECT_EQ(iShown[30][4].type, SHAPE_SPRITE);
  EXPECT_EQ(iShown[39][4].type, SHAPE_SPRITE);
  EXPECT_EQ(iShown[40][4].type, 0);
  // At frame 40 the movie is over: the frame number stays at 40, and what stays, stays.
  EXPECT_TRUE(C().MovieIsOver());
  EXPECT_EQ(iShown.rbegin()->first, 40);
  EXPECT_EQ(C().Sprite(1)->Element(), E("intro_bmp_1"));
  EXPECT_EQ(C().Sprite(2)->Element(), E("intro_bmp_2"));
  EXPECT_EQ(C().Sprite(3)->Type(), SHAPE_SPRITE);
  EXPECT_EQ(C().Sprite(4)->Type(), 0);
}

TEST_F(MovieGuide, LifetimesAndPropertyRecordsAreAsThePageSays) {
  // "LT n (n of 1 or more) is on screen for n frames ...; LT 0 and LT 1 show it for that
  // frame only; LT -1 keeps it"; "a property record always sets blend and angle".
  const std::u16string name = U("m_bmp_1");
  CZElement* bitmap = C().ElementBitmapAdd(4, 4, Des(name));
  ASSERT_NE(bitmap, nullptr);
  bitmap->Unload(EFalse);
  h.WriteAppFile("Movies\\m.movie",
                 "BeginMovie BHd FrmCt 20 EHd "
                 "BFrm FrmNr 1 BSp C 1 Bmp 1 LT 0 ESp BSp C 2 Bmp 1 LT 1 ESp BSp C 3 Bmp 1 LT 3 ESp "
                 "BSp C 4 Bmp 1 LT -1 A 30 B 40 ESp EFrm "
                 "BFrm FrmNr 6 BSp C 4 L 5 6 ESp EFrm EndMovie");
  Record();
  ASSERT_EQ(LoadList("m"), KErrNone);
  ASSERT_EQ(h.RunFrames(8), 8);
  const TInt expectedFrames[] = {1, 1, 3};
  for (TInt ch = 1; ch <= 3; ++ch) {
    TInt frames = 0;
    for (TInt f = 1; f <= 8; ++f) frames += iShown[f][ch].type == BITMAP_ELEMENT;
    EXPECT_EQ(frames, expectedFrames[ch - 1]) << "channel " << ch;
  }
  EXPECT_EQ(iShown[5][4].angle, 30);
  EXPECT_EQ(iShown[5][4].blend, 40);
  EXPECT_EQ(iShown[6][4].type, BITMAP_ELEMENT);
  EXPECT_EQ(iShown[6][4].x, 5);
  EXPECT_EQ(iShown[6][4].angle, 0);
  EXPECT_EQ(iShown[6][4].blend, 100);
  EXPECT_EQ(iShown[8][4].type, BITMAP_ELEMENT);
}

TEST_F(MovieGuide, HidingTransitionWithItsLifetimeGoesWithTheLastPhase) {
  // "`BSp C 2 L 20 60 T 21 10 LT 10 ESp` wipes the channel's sprite (at 20 60) away over
  // ten frames and clears it in the eleventh."
  const std::string record = "BSp C 2 L 20 60 T 21 10 LT 10 ESp";
  ASSERT_NE(ReadGuide().find("`" + record + "`"), std::string::npos) << "the page no longer says " << record;
  const std::u16string name = U("m_bmp_1");
  CZElement* bitmap = C().ElementBitmapAdd(4, 4, Des(name));
  ASSERT_NE(bitmap, nullptr);
  bitmap->Unload(EFalse);
  h.WriteAppFile("Movies\\m.movie", "BeginMovie BHd FrmCt 20 EHd BFrm FrmNr 1 BSp C 2 Bmp 1 L 20 60 LT -1 ESp EFrm "
                                     "BFrm FrmNr 3 " + record + " EFrm EndMovie");
  std::map<TInt, std::pair<TInt, TInt>> transition;  // frame: number, phase
  h.Script().iOnEnd = [&](TInt aFrame) {
    CZSprite* s = C().Sprite(2);
    transition[aFrame] = {s->Type() ? s->Transition() : -1, s->TransitionPhase()};
  };
  ASSERT_EQ(LoadList("m"), KErrNone);
  ASSERT_EQ(h.RunFrames(14), 14);
  EXPECT_EQ(transition[2].first, 0);
  for (TInt f = 3; f <= 12; ++f) {
    EXPECT_EQ(transition[f].first, 21) << "frame " << f;
    EXPECT_EQ(transition[f].second, f - 2) << "frame " << f;
  }
  EXPECT_EQ(transition[13].first, -1) << "cleared in the eleventh frame";
  EXPECT_EQ(C().Sprite(2)->Type(), 0);
}

TEST_F(MovieGuide, TextFileExampleGivesTheDescribedTexts) {
  const std::string file = BlockWith("#BTxt");
  ASSERT_FALSE(file.empty());
  h.WriteAppFile("Texts\\show.txt", file);
  const std::u16string fileName = U("show.txt"), base = U("show");
  TRAPD(err, C().LoadFileTextL(Des(fileName), Des(base), ETrue));
  ASSERT_EQ(err, KErrNone);
  CZElement* title = E("show_txt_1");
  CZElement* lines = E("show_txt_2");
  ASSERT_NE(title, nullptr);
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(E("show_txt_3"), nullptr);
  EXPECT_EQ(ToU16(title->Text()), U("Welcome to the show"));
  EXPECT_EQ(title->FontSize(), 18);
  EXPECT_EQ(title->FontStrokeWeight(), EStrokeWeightBold);
  EXPECT_EQ(title->FontAlignment(), CGraphicsContext::ECenter);
  EXPECT_EQ(title->Width(), 600);
  EXPECT_EQ(title->Color(), TRgb(static_cast<TUint32>(16777215)));
  // The line break is kept: two lines, the second after LFHt more space.
  EXPECT_EQ(ToU16(lines->Text()), U("Line one\nLine two, after a line break"));
  EXPECT_EQ(lines->LineCount(), 2);
  EXPECT_EQ(lines->LineFeedHeight(), 4);
  EXPECT_EQ(lines->FontSize(), 12);
  EXPECT_EQ(lines->Color(), TRgb(static_cast<TUint32>(255)));

  // "Numbers in these headers are read from the start of the word: 18px is 18."
  const std::u16string px = U("BHd Fnt Arial 18px EHd x"), pxName = U("px");
  CZElement* sized = C().ElementTextAdd(Des(px), Des(pxName));
  ASSERT_NE(sized, nullptr);
  EXPECT_EQ(sized->FontSize(), 18);
}

TEST_F(MovieGuide, ShapeFileExampleGivesTheDiamond) {
  const std::string file = BlockWith("#BShp");
  ASSERT_FALSE(file.empty());
  h.WriteAppFile("Shapes\\show.shp", file);
  const std::u16string fileName = U("show.shp"), base = U("show");
  TRAPD(err, C().LoadFileShapeL(Des(fileName), Des(base), ETrue));
  ASSERT_EQ(err, KErrNone);
  CZElement* diamond = E("show_shp_1");
  ASSERT_NE(diamond, nullptr);
  EXPECT_EQ(diamond->Type(), SHAPE_ELEMENT);
  // "41 pixels across", turning about its centre (the registration point).
  EXPECT_EQ(diamond->Width(), 41);
  EXPECT_EQ(diamond->Height(), 41);
  EXPECT_EQ(diamond->RegPoint(), TPoint(20, 20));
  EXPECT_EQ(diamond->Point(1), TPoint(20, 0));
  EXPECT_EQ(diamond->Point(4), TPoint(0, 20));
  EXPECT_EQ(diamond->BrushColor(), TRgb(static_cast<TUint32>(65535)));  // yellow
  EXPECT_EQ(diamond->BrushStyle(), CGraphicsContext::ESolidBrush);
  EXPECT_EQ(diamond->PenSize(), TSize(2, 2));
}

TEST_F(MovieGuide, SimpleShapeAndTransitionExamplesLoadEveryRecord) {
  // Each example record of the two sections, in a movie of its own frame: every record
  // must reach its channel (none is dropped for a typo).
  const std::string shapes = BlockWith("Rct L 10 10 R 100 40");
  const std::string transitions = BlockWith("T 1 10");
  ASSERT_FALSE(shapes.empty());
  ASSERT_FALSE(transitions.empty());
  h.WriteAppFile("Pictures\\ex.mbm", MediaTest::Mbm({Picture(8, 8, 0), Picture(30, 20, 0x000F)}));
  h.WriteAppFile("Texts\\ex.txt", "BRes #BTxt Title #ETxt ERes");
  std::string records;
  int count = 0;
  for (const std::string* block : {&shapes, &transitions}) {
    std::istringstream in(*block);
    std::string line;
    while (std::getline(in, line)) {
      const size_t end = line.find("ESp");
      if (line.find("BSp") == std::string::npos || end == std::string::npos) continue;
      records += line.substr(0, end + 3) + "\n";
      ++count;
    }
  }
  ASSERT_EQ(count, 7);
  h.WriteAppFile("Movies\\ex.movie", "BeginMovie BHd FrmCt 5 BmpCt 1 TxtCt 1 EHd BFrm FrmNr 1\n" + records +
                                          "EFrm EndMovie");
  ASSERT_EQ(LoadList("ex"), KErrNone);
  ASSERT_EQ(h.RunFrames(1), 1);
  EXPECT_EQ(C().Sprite(5)->Type(), SHAPE_SPRITE);
  EXPECT_EQ(C().Sprite(5)->Width(), 100);
  EXPECT_EQ(C().Sprite(6)->Type(), SHAPE_SPRITE);
  EXPECT_EQ(C().Sprite(7)->Type(), SHAPE_SPRITE);
  EXPECT_EQ(C().Sprite(7)->Point2(), TPoint(639, 100));
  // The logo's record wipes it in; the property record after it on the same channel
  // restarts the channel's transition as a fade-out.
  EXPECT_EQ(C().Sprite(2)->Element(), E("ex_bmp_2"));
  EXPECT_EQ(C().Sprite(2)->Transition(), 32);
  EXPECT_EQ(C().Sprite(2)->TransitionTime(), 20);
  EXPECT_EQ(C().Sprite(8)->Element(), E("ex_txt_1"));
  EXPECT_EQ(C().Sprite(8)->Transition(), 51);
  EXPECT_EQ(C().Sprite(9)->Transition(), 51);
}

}  // namespace
