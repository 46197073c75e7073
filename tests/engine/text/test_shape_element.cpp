// The vector shape element: points numbered from 1, growth, insertion and removal, the
// extent invariant, pen and brush settings and the point transformation.

#include "TextTesting.h"

#include <gtest/gtest.h>

using namespace ZTest;
using namespace ZTextTest;

namespace {

class ShapeElement : public ::testing::Test {
protected:
  CZElement* NewShape() {
    CZElement* e = iH.Controller().ElementShapeAdd(W(u""), W(u"s"));
    EXPECT_NE(e, nullptr);
    return e;
  }
  Harness iH;
};

TEST_F(ShapeElement, SettingBeyondTheEndGrowsWithZeroPoints) {
  CZElement* e = NewShape();
  EXPECT_EQ(ShapeOf(e)->PointCount(), 1);
  EXPECT_EQ(e->Point(3, TPoint(10, 20)), 1);
  EXPECT_EQ(ShapeOf(e)->PointCount(), 3);
  EXPECT_EQ(e->Point(2), TPoint(0, 0));
  EXPECT_EQ(e->Point(3), TPoint(10, 20));
  EXPECT_EQ(e->Width(), 11);
  EXPECT_EQ(e->Height(), 21);
  EXPECT_EQ(ShapeOf(e)->PointList()->Count(), 3);
  // Clamped coordinates.
  EXPECT_EQ(e->Point(1, TPoint(-5, 70000)), 1);
  EXPECT_EQ(e->Point(1), TPoint(0, 65535));
  EXPECT_EQ(e->Height(), 65536);
}

TEST_F(ShapeElement, ExtentFollowsTheLargestPoint) {
  CZElement* e = NewShape();
  e->Point(1, TPoint(30, 5));
  e->Point(2, TPoint(50, 40));
  e->Point(3, TPoint(50, 8));
  EXPECT_EQ(e->Width(), 51);
  // Moving one of two rightmost points left keeps the width; moving the other shrinks it.
  e->Point(2, TPoint(10, 40));
  EXPECT_EQ(e->Width(), 51);
  e->Point(3, TPoint(20, 8));
  EXPECT_EQ(e->Width(), 31);
  e->Point(2, TPoint(10, 2));
  EXPECT_EQ(e->Height(), 9);
  // Removing the widest point.
  EXPECT_EQ(e->PointRemove(1), 1);
  EXPECT_EQ(e->Width(), 21);
  EXPECT_EQ(e->Point(1), TPoint(10, 2));
  // Removing the only points leaves none and a 1 x 1 extent.
  EXPECT_EQ(e->PointRemove(2), 1);
  EXPECT_EQ(e->PointRemove(1), 1);
  EXPECT_EQ(ShapeOf(e)->PointCount(), 0);
  EXPECT_EQ(e->Rect(), TRect(0, 0, 1, 1));
  EXPECT_EQ(ShapeOf(e)->CalculatePoints(TPoint(5, 5), TSize(10, 10), SINE_SCALE, 0), TRect(0, 0, 0, 0));
}

TEST_F(ShapeElement, IndexZeroIsRefusedEverywhere) {
  CZElement* e = NewShape();
  EXPECT_EQ(e->Point(0), TPoint(0, 0));
  EXPECT_EQ(e->Point(0, TPoint(1, 1)), 0);
  EXPECT_EQ(e->PointRemove(0), 0);
  EXPECT_EQ(e->PointInsert(0, TPoint(1, 1)), 0);
  EXPECT_EQ(e->PointRemove(2), 0);
  EXPECT_EQ(e->Point(-1), TPoint(0, 0));
  EXPECT_EQ(ShapeOf(e)->PointCount(), 1);
}

TEST_F(ShapeElement, InsertMovesLaterPointsUp) {
  CZElement* e = NewShape();
  e->Point(1, TPoint(1, 1));
  e->Point(2, TPoint(2, 2));
  EXPECT_EQ(e->PointInsert(2, TPoint(9, 9)), 1);
  EXPECT_EQ(e->Point(1), TPoint(1, 1));
  EXPECT_EQ(e->Point(2), TPoint(9, 9));
  EXPECT_EQ(e->Point(3), TPoint(2, 2));
  EXPECT_EQ(e->Width(), 10);
  // Beyond the end it grows like setting.
  EXPECT_EQ(e->PointInsert(6, TPoint(3, 3)), 1);
  EXPECT_EQ(ShapeOf(e)->PointCount(), 6);
  EXPECT_EQ(e->Point(5), TPoint(0, 0));
  EXPECT_EQ(ShapeOf(e)->PointList()->Count(), 6);
}

TEST_F(ShapeElement, SettingsAndPatternedBrush) {
  CZElement* e = NewShape();
  EXPECT_EQ(e->PenSize(), TSize(1, 1));
  EXPECT_EQ(e->PenStyle(), CGraphicsContext::ESolidPen);
  EXPECT_EQ(e->BrushColor(), TRgb(255, 255, 255));
  EXPECT_EQ(e->BrushStyle(), CGraphicsContext::ENullBrush);
  EXPECT_EQ(e->Color(), TRgb(0, 0, 0));
  EXPECT_EQ(e->BrushStyle(CGraphicsContext::EPatternedBrush), 1);
  EXPECT_EQ(e->BrushStyle(), CGraphicsContext::ESolidBrush);
  ShapeOf(e)->ResetChange();
  e->Color(TRgb(1, 2, 3));
  EXPECT_TRUE(ShapeOf(e)->IsChanged());
  EXPECT_EQ(e->Color(), TRgb(1, 2, 3));
  ShapeOf(e)->ResetChange();
  e->Color(TRgb(1, 2, 3));
  e->Point(1, TPoint(0, 0));
  EXPECT_FALSE(ShapeOf(e)->IsChanged());
  e->PenSize(TSize(3, 4));
  e->PenStyle(CGraphicsContext::EDottedPen);
  e->BrushColor(TRgb(9, 9, 9));
  EXPECT_EQ(e->PenSize(), TSize(3, 4));
  EXPECT_EQ(e->PenStyle(), CGraphicsContext::EDottedPen);
  EXPECT_EQ(e->BrushColor(), TRgb(9, 9, 9));
}

TEST_F(ShapeElement, PointsScaleAroundTheRegistrationPointAndRotate) {
  CZElement* e = NewShape();
  e->Point(1, TPoint(50, 50));
  e->Point(2, TPoint(99, 99));
  e->Point(3, TPoint(0, 99));
  ASSERT_EQ(e->Rect(), TRect(0, 0, 100, 100));
  CZElementShape* s = ShapeOf(e);
  TRect r = s->CalculatePoints(TPoint(10, 20), TSize(200, 200), SINE_SCALE, 0);
  EXPECT_EQ(s->PointList()->At(0), TPoint(110, 120));
  EXPECT_EQ(s->PointList()->At(1), TPoint(208, 218));
  EXPECT_EQ(r, TRect(10, 120, 208, 218));
  // Registration point in the middle, a quarter turn: (x, y) -> (-y, x) around it.
  e->RegPoint(TPoint(50, 50));
  CZPlayer* player = iH.Controller().Player();
  r = s->CalculatePoints(TPoint(0, 0), TSize(100, 100), player->Cos(90), player->Sin(90));
  EXPECT_EQ(s->PointList()->At(0), TPoint(0, 0));
  EXPECT_EQ(s->PointList()->At(1), TPoint(-49, 49));
  EXPECT_EQ(s->PointList()->At(2), TPoint(-49, -50));
  EXPECT_EQ(r, TRect(-49, -50, 0, 49));
  // Sizes are limited to the largest drawn size; a zero size collapses onto the location.
  s->CalculatePoints(TPoint(0, 0), TSize(1 << 30, 0), SINE_SCALE, 0);
  EXPECT_EQ(s->PointList()->At(1), TPoint((49 * 16384) / 100, 0));
}

}  // namespace
