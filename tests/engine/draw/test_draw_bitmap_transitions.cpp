// Transitions on bitmap sprites, phase by phase: the centre reveal, every scroll with its
// source cut, numbers without effect that still count, negative and very long times,
// reveals on the cells of bitmap arrays, and the spread of the shake.

#include "draw_rig.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace DrawTest;

namespace {

// A bitmap whose every pixel is a different non-zero word: x and y can be read back.
CZElement* Numbered(Rig& aRig, TInt aW, TInt aH, const char16_t* aName = u"n") {
  CZElement* e = aRig.iController->ElementBitmapAdd(aW, aH, W(aName));
  for (TInt y = 0; y < aH; ++y)
    for (TInt x = 0; x < aW; ++x) e->Pixel(x, y, static_cast<TUint16>(1 + x + 128 * y));
  return e;
}

TUint16 NumberedWord(TInt aX, TInt aY) { return static_cast<TUint16>(1 + aX + 128 * aY); }

// The columns of row aY of the view that show the numbered bitmap's row aSourceY, as
// source columns, in view order.
std::vector<TInt> SourceColumns(const Picture& aView, TInt aY, TInt aSourceY) {
  std::vector<TInt> out;
  for (TInt x = 0; x < aView.w; ++x) {
    const TInt v = aView.At(x, aY);
    if (v != 0 && (v - 1) / 128 == aSourceY) out.push_back((v - 1) % 128);
  }
  return out;
}

std::vector<TInt> Range(TInt aFrom, TInt aTo) {  // aFrom .. aTo - 1
  std::vector<TInt> out;
  for (TInt i = aFrom; i < aTo; ++i) out.push_back(i);
  return out;
}

}  // namespace

TEST(DrawBitmapTransitions, CentreRevealOnAnOddWidthShowsHalfTheShownWidthEachSide) {
  Rig rig(TSize(200, 10));
  CZSprite* s = rig.Sprite(1);
  s->Element(Numbered(rig, 101, 2));
  s->Loc(10, 3);
  s->Transition(5, 3);
  // Phase 1: 101 / 3 = 33 shown, 16 on each side of column 50.
  Picture got = rig.Draw();
  EXPECT_EQ(SourceColumns(got, 3, 0), Range(34, 66));
  EXPECT_EQ(got.At(10 + 34, 3), NumberedWord(34, 0));  // unmoved: source column x at 10 + x
  // Phase 2: 67 shown, 33 on each side.
  rig.Frames(1);
  ASSERT_EQ(s->TransitionPhase(), 2);
  EXPECT_EQ(SourceColumns(rig.OffScreen(), 3, 0), Range(17, 83));
  // Phase 3: all 101 columns are "shown", but halving loses the last one.
  rig.Frames(1);
  ASSERT_EQ(s->TransitionPhase(), 3);
  EXPECT_EQ(SourceColumns(rig.OffScreen(), 3, 0), Range(0, 100));
  // The transition has ended: the whole bitmap.
  rig.Frames(1);
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(SourceColumns(rig.OffScreen(), 3, 0), Range(0, 101));
  EXPECT_EQ(SourceColumns(rig.OffScreen(), 4, 1), Range(0, 101));
}

TEST(DrawBitmapTransitions, ScrollInFromTheLeftEndsWithTheWholeBitmapInPlace) {
  Rig rig(TSize(200, 20));
  CZSprite* s = rig.Sprite(1);
  s->Element(Numbered(rig, 40, 3));
  s->Loc(50, 5);
  s->Transition(8, 2);
  Picture got = rig.Draw();
  // Phase 1 of 2: the right 20 source columns at x = 50..69, nothing else.
  EXPECT_EQ(SourceColumns(got, 5, 0), Range(20, 40));
  EXPECT_EQ(got.At(50, 5), NumberedWord(20, 0));
  EXPECT_EQ(got.At(69, 5), NumberedWord(39, 0));
  EXPECT_EQ(got.Bounds(0), TRect(50, 5, 70, 8));
  // Phase 2: the whole bitmap at x = 50..89.
  rig.Frames(1);
  ASSERT_EQ(s->TransitionPhase(), 2);
  got = rig.OffScreen();
  EXPECT_EQ(got.Bounds(0), TRect(50, 5, 90, 8));
  EXPECT_EQ(got.At(50, 5), NumberedWord(0, 0));
  rig.Frames(1);
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(rig.OffScreen().Bounds(0), TRect(50, 5, 90, 8));
}

TEST(DrawBitmapTransitions, EveryScrollMovesTheTargetAndCutsTheSourceAtItsFirstPhase) {
  // A 40 x 8 bitmap at (50, 10), time 4, phase 1 (hiding scrolls use 4 - 1 = 3).
  struct Case {
    TInt number;
    TRect source;  // the source pixels shown
    TPoint move;   // where source (0,0) lands, relative to (50, 10)
  };
  const Case cases[] = {
      {8, TRect(30, 0, 40, 8), TPoint(-30, 0)},  {9, TRect(0, 0, 10, 8), TPoint(30, 0)},
      {10, TRect(0, 6, 40, 8), TPoint(0, -6)},   {11, TRect(0, 0, 40, 2), TPoint(0, 6)},
      {28, TRect(10, 0, 40, 8), TPoint(-10, 0)}, {29, TRect(0, 0, 30, 8), TPoint(10, 0)},
      {30, TRect(0, 2, 40, 8), TPoint(0, -2)},   {31, TRect(0, 0, 40, 6), TPoint(0, 2)},
  };
  for (const Case& c : cases) {
    Rig rig(TSize(200, 40));
    CZSprite* s = rig.Sprite(1);
    s->Element(Numbered(rig, 40, 8));
    s->Loc(50, 10);
    s->Transition(c.number, 4);
    const Picture got = rig.Draw();
    for (TInt y = 0; y < got.h; ++y)
      for (TInt x = 0; x < got.w; ++x) {
        const TInt sx = x - 50 - c.move.iX;
        const TInt sy = y - 10 - c.move.iY;
        const bool shown = sx >= c.source.iTl.iX && sx < c.source.iBr.iX && sy >= c.source.iTl.iY && sy < c.source.iBr.iY;
        ASSERT_EQ(got.At(x, y), shown ? NumberedWord(sx, sy) : 0) << "transition " << c.number << " at " << x << "," << y;
      }
  }
}

TEST(DrawBitmapTransitions, NumbersWithoutEffectDrawNormallyButStillCountAndEnd) {
  for (TInt number : {15, 40, 51, 63, 99, 101, -7}) {
    Rig rig(TSize(100, 20));
    CZSprite* s = rig.Sprite(1);
    s->Element(Numbered(rig, 30, 4));
    s->Loc(20, 5);
    const Picture plain = rig.Draw();
    s->Transition(number, 3);
    EXPECT_EQ(rig.Draw().px, plain.px) << number;
    for (TInt phase = 2; phase <= 3; ++phase) {
      rig.Frames(1);
      EXPECT_EQ(s->Transition(), number);
      EXPECT_EQ(s->TransitionPhase(), phase);
      EXPECT_EQ(rig.OffScreen().px, plain.px) << number << " phase " << phase;
    }
    rig.Frames(1);
    EXPECT_EQ(s->Transition(), 0) << number;
  }
}

TEST(DrawBitmapTransitions, NegativeTimeNeverEndsAndComputesWithTheNegativeTime) {
  Rig rig(TSize(100, 20));
  CZSprite* s = rig.Sprite(1);
  s->Element(Numbered(rig, 30, 4));
  s->Loc(20, 5);
  // Reveal and scroll with a negative time: a window of negative width, nothing drawn.
  for (TInt number : {1, 8}) {
    s->Transition(number, -5);
    EXPECT_EQ(rig.Draw().Bounds(0), TRect(0, 0, 0, 0)) << number;
    rig.Frames(3);
    EXPECT_EQ(s->Transition(), number);
    EXPECT_EQ(s->TransitionTime(), -5);
    EXPECT_EQ(s->TransitionPhase(), 1);
    EXPECT_EQ(rig.OffScreen().Bounds(0), TRect(0, 0, 0, 0)) << number;
  }
  // Fades take a time of 1: fully in, or fully out.
  s->Blend(40);
  s->Transition(12, -5);
  rig.Draw();
  EXPECT_EQ(s->Blend(), 100);
  s->Transition(32, -5);
  rig.Draw();
  EXPECT_EQ(s->Blend(), 0);
}

TEST(DrawBitmapTransitions, FadesOfAVeryLongTimeComputeTheBlendWithoutOverflow) {
  Rig rig(TSize(100, 20));
  CZSprite* s = rig.Sprite(1);
  s->Element(Numbered(rig, 30, 4));
  s->Transition(32, 100000000);
  rig.Draw();
  EXPECT_EQ(s->Blend(), 99);  // (10^8 - 1) * 100 / 10^8
  s->Transition(12, 2000000000);
  rig.Draw();
  EXPECT_EQ(s->Blend(), 0);
  s->Transition(21, -2147483647 - 1);  // time minus phase below the 32-bit range
  rig.Draw();
}

TEST(DrawBitmapTransitions, RevealsCutEveryCellOfABitmapArray) {
  Rig rig(TSize(100, 20));
  CZElement* left = rig.Bitmap(20, 10, 0x0F00, u"l");
  CZElement* right = rig.Bitmap(20, 10, 0x00F0, u"r");
  CZElement* array = rig.iController->ElementBitmapArrayAdd(2, 1, W(u"a"));
  array->Bitmap(0, 0, left);
  array->Bitmap(1, 0, right);
  CZSprite* s = rig.Sprite(1);
  s->Element(array);
  s->Size(40, 10);
  s->Loc(10, 5);
  s->Transition(1, 2);
  const Picture got = rig.Draw();
  for (TInt x = 0; x < 100; ++x) {
    const TUint16 want = (x >= 10 && x < 20) ? 0x0F00 : (x >= 30 && x < 40) ? 0x00F0 : 0;
    EXPECT_EQ(got.At(x, 7), want) << x;
  }
}

TEST(DrawBitmapTransitions, ShakeOffsetsSpreadOverMinusTwoToTwoWithZeroTwiceAsLikely) {
  Rig rig(TSize(20, 20));
  CZSprite* s = rig.Sprite(1);
  s->Element(rig.Bitmap(2, 2, 0x0ABC, u"b"));
  s->Loc(9, 9);
  s->Transition(100, 1000000);
  std::map<TInt, TInt> xs, ys;
  std::set<std::pair<TInt, TInt>> pairs;
  const TInt draws = 3000;
  for (TInt i = 0; i < draws; ++i) {
    const TRect r = rig.Draw().Bounds(0);
    ASSERT_EQ(r.Width(), 2);
    ASSERT_EQ(r.Height(), 2);
    xs[r.iTl.iX - 9]++;
    ys[r.iTl.iY - 9]++;
    pairs.insert({r.iTl.iX, r.iTl.iY});
  }
  for (const auto* axis : {&xs, &ys}) {
    ASSERT_EQ(axis->size(), 5u);
    EXPECT_EQ(axis->begin()->first, -2);
    EXPECT_EQ(axis->rbegin()->first, 2);
    TInt others = 0;
    for (const auto& [offset, n] : *axis)
      if (offset != 0) others += n;
    const double ratio = axis->at(0) / (others / 4.0);
    EXPECT_GT(ratio, 1.7);
    EXPECT_LT(ratio, 2.3);
  }
  EXPECT_EQ(pairs.size(), 25u);  // the two axes vary independently
}
