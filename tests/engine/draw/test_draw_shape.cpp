// Simple shapes and vector shapes drawn through the graphics context: line transitions,
// the pen-grown clip and the reported area, outlines and fills, blended pen and brush,
// angles, reveals and scrolls, and the shake (twice for lines).

#include "draw_rig.h"

#include <gtest/gtest.h>

#include <set>

using namespace DrawTest;

namespace {

const TUint16 KWhite = 0x0FFF;

CZSprite* WhiteLine(Rig& aRig, TPoint aP1, TPoint aP2, TInt aChannel = 1) {
  CZSprite* s = aRig.Sprite(aChannel);
  s->Line(aP1, aP2);
  s->PenColor(KRgbWhite);
  return s;
}

// A square of side 20 with a white pen and a solid white brush.
CZElement* Square(Rig& aRig) {
  CZElement* e = aRig.Shape({TPoint(0, 0), TPoint(19, 0), TPoint(19, 19), TPoint(0, 19)});
  e->Color(KRgbWhite);
  e->BrushColor(KRgbWhite);
  e->BrushStyle(CGraphicsContext::ESolidBrush);
  return e;
}

}  // namespace

TEST(DrawShape, LineFromTheCentreGrowsToBothPoints) {
  Rig rig;
  CZSprite* s = WhiteLine(rig, TPoint(0, 0), TPoint(10, 10));
  s->Transition(53, 2);
  // Phase 1 of 2: from (3,3) to (7,7), the end point excluded.
  Picture got = rig.Draw();
  EXPECT_EQ(got.Bounds(0), TRect(3, 3, 7, 7));
  for (TInt i = 3; i < 7; ++i) EXPECT_EQ(got.At(i, i), KWhite) << i;
  EXPECT_EQ(got.Count(KWhite), 4);
  // Phase 2: the whole line.
  rig.Frames(1);
  ASSERT_EQ(s->TransitionPhase(), 2);
  EXPECT_EQ(rig.OffScreen().Bounds(0), TRect(0, 0, 10, 10));
  rig.Frames(1);
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(rig.OffScreen().Bounds(0), TRect(0, 0, 10, 10));
}

TEST(DrawShape, LineTransitionsFromEitherEndAndTheirHidingForms) {
  // Time 4, phase 1; the hiding forms use 4 - 1 = 3.
  const std::pair<TInt, TRect> cases[] = {
      {51, TRect(0, 0, 2, 2)},    // (0,0) to (2,2)
      {52, TRect(8, 8, 10, 10)},  // (8,8) to (10,10)
      {61, TRect(0, 0, 7, 7)},    // (0,0) to (7,7)
      {62, TRect(3, 3, 10, 10)},  // (3,3) to (10,10)
      {63, TRect(2, 2, 8, 8)},    // d = -10: e = -5 + (-30 / 4) / 2 = -8, (2,2) to (8,8)
  };
  for (const auto& [number, want] : cases) {
    Rig rig;
    CZSprite* s = WhiteLine(rig, TPoint(0, 0), TPoint(10, 10));
    s->Transition(number, 4);
    EXPECT_EQ(rig.Draw().Bounds(0), want) << number;
  }
}

TEST(DrawShape, ThickLineIsClippedToItsBoxGrownByThePenAndReportsThatArea) {
  // Through the player's offset, and placed directly: the same area.
  for (TBool offset : {TBool(ETrue), TBool(EFalse)}) {
    Rig rig(TSize(100, 60));
    CZSprite* s = offset ? WhiteLine(rig, TPoint(0, 0), TPoint(10, 5)) : WhiteLine(rig, TPoint(20, 20), TPoint(30, 25));
    if (offset) rig.iController->Loc(20, 20);
    s->PenSize(TSize(3, 3));
    const TRect area(17, 17, 33, 28);
    EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), area);
    const TRect ink = rig.Draw().Bounds(0);
    EXPECT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.iTl.iX, area.iTl.iX);
    EXPECT_GE(ink.iTl.iY, area.iTl.iY);
    EXPECT_LE(ink.iBr.iX, area.iBr.iX);
    EXPECT_LE(ink.iBr.iY, area.iBr.iY);
    EXPECT_LT(ink.iTl.iX, 20);  // the pen reaches beyond the line's own box
    // The sprite's clip cuts both.
    s->ClipRect(TRect(0, 0, 25, 60));
    EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(17, 17, 25, 28));
    EXPECT_LE(rig.Draw().Bounds(0).iBr.iX, 25);
  }
}

TEST(DrawShape, LinesWithoutWidthOrHeightAreNotDrawn) {
  Rig rig;
  CZSprite* s = WhiteLine(rig, TPoint(5, 5), TPoint(5, 20));
  EXPECT_EQ(s->Width(), 0);
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(0, 0, 0, 0));
  EXPECT_EQ(rig.Draw().Bounds(0), TRect(0, 0, 0, 0));
}

TEST(DrawShape, RectangleWithANullBrushIsAnOutlineAndASolidBrushFillsIt) {
  Rig rig;
  CZSprite* s = rig.Sprite(1);
  s->Rectangle(TPoint(10, 10), TPoint(30, 20));
  s->PenColor(KRgbRed);
  s->BrushColor(KRgbGreen);
  ASSERT_EQ(s->BrushStyle(), CGraphicsContext::ENullBrush);
  Picture got = rig.Draw();
  EXPECT_EQ(got.At(10, 10), Word(KRgbRed));
  EXPECT_EQ(got.At(29, 19), Word(KRgbRed));
  EXPECT_EQ(got.At(20, 15), 0);
  EXPECT_EQ(got.Bounds(0), TRect(10, 10, 30, 20));
  EXPECT_EQ(got.Count(Word(KRgbRed)), 2 * 20 + 2 * 8);
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(9, 9, 31, 21));

  s->BrushStyle(CGraphicsContext::ESolidBrush);
  got = rig.Draw();
  EXPECT_EQ(got.At(20, 15), Word(KRgbGreen));
  EXPECT_EQ(got.At(10, 10), Word(KRgbRed));

  // Blend 50 over black: (127, 0, 0) and (0, 127, 0).
  s->Blend(50);
  got = rig.Draw();
  EXPECT_EQ(got.At(10, 10), 0x0007);
  EXPECT_EQ(got.At(20, 15), 0x0070);
  // Blend 0: both in the background colour, over whatever lies below.
  rig.iController->BgColor(0x906030);
  CZSprite* below = rig.Sprite(2);
  below->Element(rig.Bitmap(40, 30, 0x0F0F, u"under"));
  below->LocZ(-1);
  s->Blend(0);
  got = rig.Draw();
  EXPECT_EQ(got.At(10, 10), Word(TRgb(0x30, 0x60, 0x90)));
  EXPECT_EQ(got.At(20, 15), Word(TRgb(0x30, 0x60, 0x90)));
  EXPECT_EQ(got.At(35, 15), 0x0F0F);
}

TEST(DrawShape, SimpleShapesKeepTheirFormWhateverTheAngleWhileVectorShapesTurn) {
  Rig rig(TSize(200, 100));
  CZSprite* rect = rig.Sprite(1);
  rect->Rectangle(TPoint(10, 10), TPoint(50, 20));
  rect->PenColor(KRgbWhite);
  CZSprite* ellipse = rig.Sprite(2);
  ellipse->Ellipse(TPoint(10, 40), TPoint(50, 60));
  ellipse->PenColor(KRgbWhite);
  const Picture straight = rig.Draw();
  rect->Angle(45);
  ellipse->Angle(90);
  EXPECT_EQ(rig.Draw().px, straight.px);
  rect->Clear();
  ellipse->Clear();

  // A bar 40 wide and 4 high: lying at angle 0, standing at 90.
  CZElement* bar = rig.Shape({TPoint(0, 0), TPoint(39, 0), TPoint(39, 3), TPoint(0, 3)});
  bar->Color(KRgbWhite);
  CZSprite* s = rig.Sprite(3);
  s->Element(bar);
  s->Loc(100, 30);
  const TRect lying = rig.Draw().Bounds(0);
  EXPECT_GE(lying.Width(), 39);
  EXPECT_LE(lying.Height(), 5);
  s->Angle(90);
  const TRect standing = rig.Draw().Bounds(0);
  EXPECT_LE(standing.Width(), 5);
  EXPECT_GE(standing.Height(), 39);
}

TEST(DrawShape, VectorShapeReportsItsBoundsGrownByThePenTwiceWithinTheClip) {
  Rig rig;
  CZSprite* s = rig.Sprite(1);
  s->Element(Square(rig));
  s->Loc(50, 10);
  // Points (50,10) .. (69,29); bounds (50,10,69,29) grown by the pen for the clip.
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(49, 9, 70, 30));
  const Picture got = rig.Draw();
  EXPECT_EQ(got.At(60, 20), KWhite);
  EXPECT_EQ(got.At(50, 10), KWhite);
  EXPECT_EQ(got.At(48, 20), 0);
}

TEST(DrawShape, ScrollsMoveSimpleShapesInsideTheirClipButNotLines) {
  Rig rig;
  // A 20 x 10 rectangle at (40,10); scroll in from the left, phase 1 of 2: drawn 10 to the
  // left, seen only inside its pen-grown box (39..60).
  CZSprite* s = rig.Sprite(1);
  s->Rectangle(TPoint(40, 10), TPoint(60, 20));
  s->PenColor(KRgbWhite);
  s->Transition(8, 2);
  Picture got = rig.Draw();
  EXPECT_EQ(got.At(49, 15), KWhite);  // the moved right edge
  EXPECT_EQ(got.At(39, 10), KWhite);  // the top edge, from the clip's left
  EXPECT_EQ(got.At(38, 10), 0);
  EXPECT_EQ(got.At(59, 15), 0);
  EXPECT_EQ(got.Bounds(0), TRect(39, 10, 50, 20));
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(39, 9, 51, 21));
  // Reveal from the left, phase 1 of 2: the left 11 of the 22 pen-grown columns.
  s->Transition(1, 2);
  got = rig.Draw();
  EXPECT_EQ(got.Bounds(0), TRect(40, 10, 50, 20));
  EXPECT_EQ(got.At(59, 15), 0);

  // A line is not moved by the scroll; a reveal cuts it.
  s->Clear();
  CZSprite* line = WhiteLine(rig, TPoint(40, 10), TPoint(60, 20), 2);
  const Picture plain = rig.Draw();
  line->Transition(8, 2);
  EXPECT_EQ(rig.Draw().px, plain.px);
  line->Transition(1, 2);
  const TRect cut = rig.Draw().Bounds(0);
  EXPECT_EQ(cut.iTl, TPoint(40, 10));
  EXPECT_EQ(cut.iBr.iX, 50);
}

TEST(DrawShape, ScrolledVectorShapeIsRecomputedAtItsMovedPlace) {
  Rig rig;
  CZSprite* s = rig.Sprite(1);
  s->Element(Square(rig));
  s->Loc(50, 10);
  // Bounds grown by the pen: (49,9,70,30), 21 wide. Scroll in from the right, phase 1
  // of 2: moved right by 21 - 10 = 11, so the square spans 61..80, seen up to 69.
  s->Transition(9, 2);
  const Picture got = rig.Draw();
  EXPECT_EQ(got.At(60, 20), 0);
  EXPECT_EQ(got.At(61, 20), KWhite);
  EXPECT_EQ(got.At(69, 20), KWhite);
  EXPECT_EQ(got.At(70, 20), 0);
  EXPECT_EQ(got.Bounds(0), TRect(61, 10, 70, 30));
  EXPECT_EQ(TZTestAccess::DrawAlone(rig.iView, s), TRect(59, 9, 70, 30));
  rig.Frames(2);
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(rig.OffScreen().Bounds(0), TRect(50, 10, 70, 30));
}

TEST(DrawShape, ShakeMovesShapesByTheOffsetAndLinesByTwiceTheOffset) {
  Rig rig(TSize(100, 60));
  CZSprite* line = WhiteLine(rig, TPoint(20, 20), TPoint(60, 30));
  line->PenSize(TSize(3, 3));
  const TRect lineAt = rig.Draw().Bounds(0);
  line->Clear();
  CZSprite* rect = rig.Sprite(2);
  rect->Rectangle(TPoint(30, 25), TPoint(50, 35));
  rect->PenColor(KRgbWhite);
  const TRect rectAt = rig.Draw().Bounds(0);
  rect->Clear();

  std::set<std::pair<TInt, TInt>> seen;
  for (TInt k = 0; k < 40; ++k) {
    const TInt64 seed = 1000003 * k + 17;
    TZTestAccess::Seed(rig.iView, seed);
    const TPoint shake = TZTestAccess::ShakeOffset(rig.iView);
    seen.insert({shake.iX, shake.iY});
    const TBool isLine = k % 2 == 0;
    CZSprite* s = isLine ? rig.Sprite(1) : rig.Sprite(2);
    if (isLine) {
      s->Line(TPoint(20, 20), TPoint(60, 30));
      s->PenColor(KRgbWhite);
      s->PenSize(TSize(3, 3));
    } else {
      s->Rectangle(TPoint(30, 25), TPoint(50, 35));
      s->PenColor(KRgbWhite);
    }
    s->Transition(100, 1000);
    TZTestAccess::Seed(rig.iView, seed);
    TRect want = isLine ? lineAt : rectAt;
    want.Move(isLine ? shake.iX * 2 : shake.iX, isLine ? shake.iY * 2 : shake.iY);
    if (isLine) {
      // The line moves twice, its clip (the box grown by the pen) once: the ends of the
      // moved line may fall outside it.
      TRect clip(20, 20, 60, 30);
      clip.Move(shake);
      clip.Grow(3, 3);
      want = TRect(std::max(want.iTl.iX, clip.iTl.iX), std::max(want.iTl.iY, clip.iTl.iY),
                   std::min(want.iBr.iX, clip.iBr.iX), std::min(want.iBr.iY, clip.iBr.iY));
    }
    EXPECT_EQ(rig.Draw().Bounds(0), want) << "seed " << seed << (isLine ? " line" : " rectangle");
    s->Clear();
  }
  EXPECT_GT(seen.size(), 8u);
}
