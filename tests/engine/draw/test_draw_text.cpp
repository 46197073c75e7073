// Text sprites drawn through the graphics context in the fixed test face (height 10:
// every character advances 5 pixels and draws as a 4 x 8 box whose top is the line's
// top; the automatic line pitch is 13): placement and the reported area, blended
// colours, missing fonts, hard breaks, typewriter and per-line transitions, whole-box
// scrolls and the shake.

#include "draw_rig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

using namespace DrawTest;

namespace {

const TInt KX = 20;       // where the tests put their text
const TInt KY = 10;
const TInt KAdvance = 5;  // test face of height 10
const TInt KPitch = 13;   // (10 * 11 + 5) / 10 + 2

// Which of the first aCount character cells of line aLine (drawn at the usual pitch from
// (aX, aY)) show ink in the middle of their box.
std::vector<bool> Cells(const Picture& aView, TInt aLine, TInt aCount, TUint16 aBg, TInt aX = KX, TInt aY = KY) {
  std::vector<bool> out;
  for (TInt j = 0; j < aCount; ++j) out.push_back(aView.At(aX + KAdvance * j + 1, aY + KPitch * aLine + 3) != aBg);
  return out;
}

// The rows of column aX that hold ink, as runs [first, last + 1).
std::vector<std::pair<TInt, TInt>> InkRuns(const Picture& aView, TInt aX, TUint16 aBg) {
  std::vector<std::pair<TInt, TInt>> runs;
  for (TInt y = 0; y < aView.h; ++y) {
    if (aView.At(aX, y) == aBg) continue;
    if (!runs.empty() && runs.back().second == y)
      runs.back().second = y + 1;
    else
      runs.push_back({y, y + 1});
  }
  return runs;
}

// "abc defgh" wrapped at 30 pixels: the lines abc and defgh, 8 characters.
CZSprite* TwoLines(Rig& aRig) {
  CZSprite* s = aRig.Sprite(2);
  s->Element(aRig.Text(u"abc defgh", 10, 30));
  s->Loc(KX, KY);
  return s;
}

typedef std::vector<bool> V;

}  // namespace

TEST(DrawText, BoxesLandAtTheLocationMinusTheRegistrationPointAndTheClipIsReported) {
  Rig rig;
  CZSprite* s = TwoLines(rig);
  ASSERT_EQ(s->Element()->LineCount(), 2);
  Picture got = rig.Draw();
  // The first character's box: 4 x 8 from (20, 10).
  EXPECT_EQ(got.At(KX, KY), Word(KRgbWhite));
  EXPECT_EQ(got.At(KX + 3, KY + 7), Word(KRgbWhite));
  EXPECT_EQ(got.At(KX + 4, KY), 0);
  EXPECT_EQ(got.At(KX, KY + 8), 0);
  EXPECT_EQ(got.At(KX - 1, KY), 0);
  EXPECT_EQ(got.Bounds(0), TRect(KX, KY, KX + 5 * 5 - 1, KY + KPitch + 8));
  // Reported: the whole text box, wrapping width by laid-out height (13 + 10).
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(KX, KY, KX + 30, KY + 23));

  // The registration point is taken off (unscaled), the player's offset added.
  s->Element()->RegPoint(TPoint(5, 3));
  rig.iController->Loc(10, 0);
  got = rig.Draw();
  EXPECT_EQ(got.Bounds(0).iTl, TPoint(KX + 10 - 5, KY - 3));
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(KX + 5, KY - 3, KX + 35, KY + 20));

  // A sprite clip cuts the reported area and the ink.
  s->ClipRect(TRect(0, 0, KX + 8, 100));
  got = rig.Draw();
  EXPECT_EQ(got.Bounds(0).iBr.iX, KX + 8);
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(KX + 5, KY - 3, KX + 8, KY + 20));
}

TEST(DrawText, BlendedColoursMoveTowardTheBackgroundTruncatingTowardZero) {
  Rig rig;
  CZSprite* s = TwoLines(rig);
  // White on black at 50: (127, 127, 127), which the 4096-colour pixel holds as 7.
  s->Blend(50);
  EXPECT_EQ(rig.Draw().At(KX, KY), 0x0777);
  // Black on white at 50: 255 + (-255 * 50) / 100 = 128 (not 127): 8.
  rig.iController->BgColor(0xFFFFFF);
  s->Element()->Color(KRgbBlack);
  EXPECT_EQ(rig.Draw().At(KX, KY), 0x0888);
  // White over (0x30, 0x60, 0x90) at 50: (151, 175, 199).
  rig.iController->BgColor(0x906030);
  s->Element()->Color(KRgbWhite);
  EXPECT_EQ(rig.Draw().At(KX, KY), Word(TRgb(151, 175, 199)));
}

TEST(DrawText, BlendZeroDrawsInTheBackgroundColourOverWhatLiesBelow) {
  Rig rig;
  rig.iController->BgColor(0x906030);
  CZSprite* below = rig.Sprite(1);
  below->Element(rig.Bitmap(60, 30, 0x0F00, u"under"));
  below->Loc(KX - 5, KY - 5);
  CZSprite* s = TwoLines(rig);
  s->Blend(0);
  const Picture got = rig.Draw();
  EXPECT_EQ(got.At(KX, KY), Word(TRgb(0x30, 0x60, 0x90)));
  EXPECT_EQ(got.At(KX + 4, KY), 0x0F00);
  EXPECT_EQ(got.Count(Word(TRgb(0x30, 0x60, 0x90))), 200 * 60 - 60 * 30 + 8 * 4 * 8);
}

TEST(DrawText, ATextWithoutAFontDrawsAndReportsNothing) {
  Rig rig;
  CZElement* text = rig.iController->ElementTextAdd(W(u"abc"), W(u"nofont"));
  text->Font(FixedFace());
  text->Color(KRgbWhite);
  CZSprite* s = rig.Sprite(1);
  // Every allocation fails: the font cannot be made while the sprite takes the text and
  // while it is drawn.
  __UHEAP_SETFAIL(RAllocator::EDeterministic, 1);
  s->Element(text);
  s->Size(100, 20);
  const TRect reported = TZTestAccess::DrawAlone(rig.iView, s);
  const Picture got = rig.Draw();
  __UHEAP_RESET;
  EXPECT_EQ(reported, TRect(0, 0, 0, 0));
  EXPECT_EQ(got.Bounds(0), TRect(0, 0, 0, 0));
  // Once the font can be made, the text appears.
  EXPECT_NE(rig.Draw().Bounds(0), TRect(0, 0, 0, 0));
}

TEST(DrawText, HardBreaksAddTheLineFeedHeightToTheLinePitch) {
  Rig rig;
  CZElement* text = rig.Text(u"ab cd\nef", 10, 20);
  text->LineFeedHeight(7);
  CZSprite* s = rig.Sprite(1);
  s->Element(text);
  s->Loc(KX, KY);
  ASSERT_EQ(text->LineCount(), 3);  // ab, cd (wrapped), ef (after the break)
  const Picture got = rig.Draw();
  const std::vector<std::pair<TInt, TInt>> want = {
      {KY, KY + 8}, {KY + KPitch, KY + KPitch + 8}, {KY + 2 * KPitch + 7, KY + 2 * KPitch + 15}};
  EXPECT_EQ(InkRuns(got, KX + 1, 0), want);
}

TEST(DrawText, TypewriterShowsAPartOfAllCharactersCountedOverTheLines) {
  Rig rig;
  CZSprite* s = TwoLines(rig);
  s->Transition(51, 4);
  // Frames show 2, 4, 6 and 8 of the 8 characters.
  const std::vector<std::pair<V, V>> frames = {
      {V{1, 1, 0}, V{0, 0, 0, 0, 0}},
      {V{1, 1, 1}, V{1, 0, 0, 0, 0}},
      {V{1, 1, 1}, V{1, 1, 1, 0, 0}},
      {V{1, 1, 1}, V{1, 1, 1, 1, 1}},
  };
  Picture got = rig.Draw();
  for (size_t f = 0; f < frames.size(); ++f) {
    if (f > 0) {
      rig.Frames(1);
      got = rig.OffScreen();
    }
    ASSERT_EQ(s->TransitionPhase(), static_cast<TInt>(f + 1));
    EXPECT_EQ(Cells(got, 0, 3, 0), frames[f].first) << "frame " << f;
    EXPECT_EQ(Cells(got, 1, 5, 0), frames[f].second) << "frame " << f;
  }
  rig.Frames(1);
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(Cells(rig.OffScreen(), 1, 6, 0), (V{1, 1, 1, 1, 1, 0}));
}

TEST(DrawText, TypewriterFromTheEndAndTheHidingTypewriters) {
  Rig rig;
  CZSprite* s = TwoLines(rig);
  // 52, phase 1 of 4: the last 2 characters, gh; the shortened line is drawn in the
  // line's box, so it starts at the box's left.
  s->Transition(52, 4);
  Picture got = rig.Draw();
  EXPECT_EQ(Cells(got, 0, 3, 0), (V{0, 0, 0}));
  EXPECT_EQ(Cells(got, 1, 5, 0), (V{1, 1, 0, 0, 0}));
  // 61, phase 1 of 4: 3 quarters shown, abc and def.
  s->Transition(61, 4);
  got = rig.Draw();
  EXPECT_EQ(Cells(got, 0, 3, 0), (V{1, 1, 1}));
  EXPECT_EQ(Cells(got, 1, 5, 0), (V{1, 1, 1, 0, 0}));
  // 62, phase 1 of 4: the first 2 hidden, c and defgh.
  s->Transition(62, 4);
  got = rig.Draw();
  EXPECT_EQ(Cells(got, 0, 3, 0), (V{1, 0, 0}));
  EXPECT_EQ(Cells(got, 1, 5, 0), (V{1, 1, 1, 1, 1}));
  // At the last phase of 61 everything is hidden.
  s->Transition(61, 1);
  EXPECT_EQ(rig.Draw().Bounds(0), TRect(0, 0, 0, 0));
}

TEST(DrawText, PerLineTransitionsCutAndMoveEachLineInAStripOfTheFontHeight) {
  struct Case {
    TInt number;
    std::vector<std::pair<TInt, TInt>> runs;  // ink rows of the first column, both lines
  };
  const Case cases[] = {
      // Revealed from its top: the top 5 rows of each strip.
      {53, {{KY, KY + 5}, {KY + KPitch, KY + KPitch + 5}}},
      // Revealed from its bottom: rows 5..9 of each strip; the boxes end at row 7.
      {54, {{KY + 5, KY + 8}, {KY + KPitch + 5, KY + KPitch + 8}}},
      // Scrolled in from above: the text 5 rows up, inside the strip.
      {56, {{KY, KY + 3}, {KY + KPitch, KY + KPitch + 3}}},
      // Scrolled in from below: 5 rows down, cut at the strip's bottom (row 9).
      {57, {{KY + 5, KY + 10}, {KY + KPitch + 5, KY + KPitch + 10}}},
      // Hidden towards its top at phase 1 of 2: the same as 53.
      {63, {{KY, KY + 5}, {KY + KPitch, KY + KPitch + 5}}},
      // Scrolled out to the top at phase 1 of 2: the same as 56.
      {66, {{KY, KY + 3}, {KY + KPitch, KY + KPitch + 3}}},
      // No cut, but still strips of the font height: all 8 rows.
      {58, {{KY, KY + 8}, {KY + KPitch, KY + KPitch + 8}}},
  };
  for (const Case& c : cases) {
    Rig rig;
    CZSprite* s = TwoLines(rig);
    s->Transition(c.number, 2);
    EXPECT_EQ(InkRuns(rig.Draw(), KX + 1, 0), c.runs) << c.number;
  }
  // The areas reported are the strips' clips, one per line.
  Rig rig;
  CZSprite* s = TwoLines(rig);
  s->Transition(53, 2);
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(KX, KY, KX + 30, KY + KPitch + 5));
}

TEST(DrawText, PerLineStripsFollowHardBreaks) {
  Rig rig;
  CZElement* text = rig.Text(u"ab\ncd", 10, 100);
  text->LineFeedHeight(7);
  CZSprite* s = rig.Sprite(1);
  s->Element(text);
  s->Loc(KX, KY);
  s->Transition(53, 2);
  const std::vector<std::pair<TInt, TInt>> want = {{KY, KY + 5}, {KY + KPitch + 7, KY + KPitch + 12}};
  EXPECT_EQ(InkRuns(rig.Draw(), KX + 1, 0), want);
}

TEST(DrawText, AWholeBoxScrollSlidesTheTextUnderAFixedClip) {
  Rig rig;
  CZSprite* s = TwoLines(rig);
  // Scroll in from the top, phase 1 of 2: the box moves up by 23 - 23 / 2 = 12; the
  // first line leaves the clip, the second shows at rows 11..18.
  s->Transition(10, 2);
  const Picture got = rig.Draw();
  const std::vector<std::pair<TInt, TInt>> want = {{KY + KPitch - 12, KY + KPitch - 4}};
  EXPECT_EQ(InkRuns(got, KX + 1, 0), want);
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(KX, KY, KX + 30, KY + 23));
  // Reveal from the left at phase 1 of 2 on the whole box: 15 of the 30 columns, which
  // hold three whole character boxes of each line.
  s->Transition(1, 2);
  EXPECT_EQ(rig.Draw().Bounds(0), TRect(KX, KY, KX + 14, KY + KPitch + 8));
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(KX, KY, KX + 15, KY + 23));
}

TEST(DrawText, ShakenTextStaysWithinTwoPixelsOfItsPlace) {
  Rig rig;
  CZSprite* s = TwoLines(rig);
  s->Transition(100, 1000);
  std::set<std::pair<TInt, TInt>> seen;
  for (TInt i = 0; i < 60; ++i) {
    const TPoint tl = rig.Draw().Bounds(0).iTl;
    ASSERT_LE(std::abs(tl.iX - KX), 2);
    ASSERT_LE(std::abs(tl.iY - KY), 2);
    seen.insert({tl.iX, tl.iY});
  }
  EXPECT_GT(seen.size(), 5u);
}
