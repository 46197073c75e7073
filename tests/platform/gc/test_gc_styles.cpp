// Pen patterns along lines and outlines, and the brush styles' repeat patterns.
#include "gc_fixture.h"

#include <e32base.h>

namespace {

struct TPenCase {
  CGraphicsContext::TPenStyle iStyle;
  const char* iPattern;  // one repeat, 'X' drawn
};

const TPenCase KPenCases[] = {
    {CGraphicsContext::ESolidPen, "X"},
    {CGraphicsContext::EDottedPen, "X.."},
    {CGraphicsContext::EDashedPen, "XXXXXX.."},
    {CGraphicsContext::EDotDashPen, "XXXXXX..X.."},
    {CGraphicsContext::EDotDotDashPen, "XXXXXX..X..X.."},
};

bool On(const char* aPattern, TInt aIndex) {
  const TInt n = static_cast<TInt>(std::char_traits<char>::length(aPattern));
  return aPattern[aIndex % n] == 'X';
}

}  // namespace

TEST_F(GcTest, PenStylesRepeatAlongALine) {
  for (const TPenCase& c : KPenCases) {
    Wipe();
    iGc->SetPenStyle(c.iStyle);
    iGc->DrawLine(TPoint(0, 0), TPoint(40, 0));
    iGc->DrawLine(TPoint(1, 29), TPoint(1, 1));  // upwards: the pattern starts at the start
    for (TInt x = 0; x < 40; ++x) EXPECT_EQ(At(x, 0) == KPenWord, On(c.iPattern, x)) << c.iPattern << " x " << x;
    for (TInt i = 0; i < 28; ++i) EXPECT_EQ(At(1, 29 - i) == KPenWord, On(c.iPattern, i)) << c.iPattern << " " << i;
  }
  Wipe();
  iGc->SetPenStyle(CGraphicsContext::ENullPen);
  iGc->DrawLine(TPoint(0, 0), TPoint(40, 0));
  iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  iGc->DrawRect(TRect(2, 2, 5, 5));
  EXPECT_TRUE(PenPixels().empty());
  EXPECT_EQ(Holding(KBrushWord).size(), 9u);
}

TEST_F(GcTest, PenPatternContinuesAcrossSegments) {
  iGc->SetPenStyle(CGraphicsContext::EDashedPen);
  const TPoint path[] = {TPoint(0, 5), TPoint(5, 5), TPoint(5, 15), TPoint(2, 15)};
  iGc->DrawPolyLine(path, 4);
  // Steps along the path: (0..4, 5), (5, 5..14), (5..3, 15), then the last point (2, 15).
  std::vector<std::pair<TInt, TInt>> steps;
  for (TInt x = 0; x < 5; ++x) steps.push_back({x, 5});
  for (TInt y = 5; y < 15; ++y) steps.push_back({5, y});
  for (TInt x = 5; x > 2; --x) steps.push_back({x, 15});
  steps.push_back({2, 15});
  TPixelSet expected;
  for (size_t i = 0; i < steps.size(); ++i)
    if (On("XXXXXX..", static_cast<TInt>(i))) expected.insert(steps[i]);
  EXPECT_EQ(PenPixels(), expected);

  // A polygon's outline continues through its closing edge.
  Wipe();
  iGc->SetPenStyle(CGraphicsContext::EDottedPen);
  const TPoint tri[] = {TPoint(0, 0), TPoint(4, 0), TPoint(4, 4)};
  iGc->DrawPolygon(tri, 3);
  // Steps: (0..3, 0), (4, 0..3), (4,4), (3,3), (2,2), (1,1): 12 steps, every third drawn.
  EXPECT_EQ(PenPixels(), (TPixelSet{{0, 0}, {3, 0}, {4, 2}, {3, 3}}));
}

TEST_F(GcTest, ClosedOutlinesCarryOnePatternAllRound) {
  // One pattern all round: a dotted outline of n pixels draws ceil(n / 3) of them, no
  // two of them touching.
  for (int shape = 0; shape < 3; ++shape) {
    auto draw = [&]() {
      if (shape == 0) iGc->DrawRect(TRect(1, 1, 11, 11));
      if (shape == 1) iGc->DrawEllipse(TRect(1, 1, 25, 19));
      if (shape == 2) iGc->DrawRoundRect(TRect(1, 1, 30, 20), TSize(5, 4));
    };
    Wipe();
    iGc->SetPenStyle(CGraphicsContext::ESolidPen);
    draw();
    const size_t n = PenPixels().size();
    Wipe();
    iGc->SetPenStyle(CGraphicsContext::EDottedPen);
    draw();
    const TPixelSet dots = PenPixels();
    EXPECT_EQ(dots.size(), (n + 2) / 3) << shape;
    for (auto [x, y] : dots)
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (dx || dy) {
            EXPECT_FALSE(dots.count({x + dx, y + dy})) << shape << ": " << x << "," << y;
          }
  }
}

TEST_F(GcTest, ArcPatternStartsAtTheStartRay) {
  Make(TSize(40, 40));
  iGc->SetPenStyle(CGraphicsContext::EDashedPen);
  // A quarter from north round to west: the dash starts at the top of the circle.
  iGc->DrawArc(TRect(0, 0, 21, 21), TPoint(10, 0), TPoint(0, 10));
  EXPECT_EQ(At(10, 0), KPenWord);
  EXPECT_EQ(At(9, 0), KPenWord);
  // Started at the other end, the first six steps from the west point are drawn.
  Wipe();
  iGc->DrawArc(TRect(0, 0, 21, 21), TPoint(0, 10), TPoint(10, 0));
  EXPECT_EQ(At(0, 10), KPenWord);
  EXPECT_EQ(At(0, 11), KPenWord);
  // An arc through angle 0 (south round by east to north) keeps one pattern: of its n
  // pixels, the dashes draw 6 in every 8 from the start.
  const TRect box(0, 0, 31, 31);
  for (const auto& ends : {std::make_pair(TPoint(15, 30), TPoint(15, 0)), std::make_pair(TPoint(15, 0), TPoint(15, 30))}) {
    Wipe();
    iGc->SetPenStyle(CGraphicsContext::ESolidPen);
    iGc->DrawArc(box, ends.first, ends.second);
    const size_t n = PenPixels().size();
    Wipe();
    iGc->SetPenStyle(CGraphicsContext::EDashedPen);
    iGc->DrawArc(box, ends.first, ends.second);
    size_t on = 0;
    for (size_t i = 0; i < n; ++i) on += On("XXXXXX..", static_cast<TInt>(i));
    EXPECT_EQ(PenPixels().size(), on);
    EXPECT_EQ(At(ends.first.iX, ends.first.iY), KPenWord);
    // The last pixel before the end is where the pattern puts it.
    EXPECT_EQ(At(ends.second.iX, ends.second.iY) == KPenWord, On("XXXXXX..", static_cast<TInt>(n - 1)));
  }
}

namespace {

struct TBrushCase {
  CGraphicsContext::TBrushStyle iStyle;
  bool (*iOn)(TInt aX, TInt aY);  // x, y relative to the origin
};

TInt Mod8(TInt aV) { return ((aV % 8) + 8) % 8; }

const TBrushCase KBrushCases[] = {
    {CGraphicsContext::ESolidBrush, [](TInt, TInt) { return true; }},
    {CGraphicsContext::EPatternedBrush, [](TInt, TInt) { return true; }},
    {CGraphicsContext::EVerticalHatchBrush, [](TInt x, TInt) { return Mod8(x) == 0; }},
    {CGraphicsContext::EHorizontalHatchBrush, [](TInt, TInt y) { return Mod8(y) == 0; }},
    {CGraphicsContext::EForwardDiagonalHatchBrush, [](TInt x, TInt y) { return Mod8(x + y) == 0; }},
    {CGraphicsContext::ERearwardDiagonalHatchBrush, [](TInt x, TInt y) { return Mod8(x - y) == 0; }},
    {CGraphicsContext::ESquareCrossHatchBrush, [](TInt x, TInt y) { return Mod8(x) == 0 || Mod8(y) == 0; }},
    {CGraphicsContext::EDiamondCrossHatchBrush,
     [](TInt x, TInt y) { return Mod8(x + y) == 0 || Mod8(x - y) == 0; }},
};

}  // namespace

TEST_F(GcTest, BrushStylesRepeatEveryEightPixelsFromTheOrigin) {
  iGc->SetPenStyle(CGraphicsContext::ENullPen);
  for (const TPoint origin : {TPoint(0, 0), TPoint(3, 2), TPoint(-5, 7)}) {
    for (const TBrushCase& c : KBrushCases) {
      FillAll(KGuardWord);  // hatches leave the pixels between their lines alone
      iGc->SetOrigin(origin);
      iGc->SetBrushStyle(c.iStyle);
      iGc->DrawRect(TRect(-origin.iX + 1, -origin.iY + 1, -origin.iX + 33, -origin.iY + 25));
      for (TInt y = 0; y < 30; ++y)
        for (TInt x = 0; x < 40; ++x) {
          const bool inside = x >= 1 && x < 33 && y >= 1 && y < 25;
          const TUint16 expected = inside && c.iOn(x - origin.iX, y - origin.iY) ? KBrushWord : KGuardWord;
          ASSERT_EQ(At(x, y), expected) << "style " << c.iStyle << " at " << x << "," << y << " origin "
                                        << origin.iX << "," << origin.iY;
        }
    }
  }
  // The null brush fills nothing.
  Wipe();
  iGc->SetOrigin();
  iGc->SetBrushStyle(CGraphicsContext::ENullBrush);
  iGc->DrawRect(TRect(0, 0, 10, 10));
  EXPECT_TRUE(Holding(KBrushWord).empty());
}

TEST_F(GcTest, HatchedShapesUseTheSamePattern) {
  Make(TSize(40, 40));
  iGc->SetPenStyle(CGraphicsContext::ENullPen);
  iGc->SetBrushStyle(CGraphicsContext::EForwardDiagonalHatchBrush);
  iGc->DrawEllipse(TRect(0, 0, 40, 40));
  const TPoint tri[] = {TPoint(0, 0), TPoint(39, 0), TPoint(0, 39)};
  iGc->DrawPolygon(tri, 3);
  iGc->DrawPie(TRect(0, 0, 40, 40), TPoint(40, 20), TPoint(20, 40));
  const TPixelSet hatched = Holding(KBrushWord);
  EXPECT_GT(hatched.size(), 100u);
  for (auto [x, y] : hatched) EXPECT_EQ((x + y) % 8, 0) << x << "," << y;
}
