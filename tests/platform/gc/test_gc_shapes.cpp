// The context's aliased shapes on a real 4096-colour bitmap: lines, rectangles, rounded
// rectangles, ellipses, arcs, pies and polygons, with the origin, the clipping rectangle
// and the target bounds respected.
#include "gc_fixture.h"

#include <e32base.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <iterator>

namespace {

TPixelSet Row(TInt aY, TInt aX0, TInt aX1) {  // [aX0, aX1] on row aY
  TPixelSet s;
  for (TInt x = aX0; x <= aX1; ++x) s.insert({x, aY});
  return s;
}

TPixelSet Mapped(const TPixelSet& aSet, TInt aA, TInt aB, TInt aC, TInt aD, TInt aTx, TInt aTy) {
  TPixelSet out;
  for (auto [x, y] : aSet) out.insert({aA * x + aB * y + aTx, aC * x + aD * y + aTy});
  return out;
}

// Whether every pixel has at least two 8-neighbours in the set and the set is connected.
bool ClosedCurve(const TPixelSet& aSet) {
  if (aSet.empty()) return false;
  for (auto [x, y] : aSet) {
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if ((dx || dy) && aSet.count({x + dx, y + dy})) ++n;
    if (n < 2) return false;
  }
  TPixelSet seen{*aSet.begin()};
  std::vector<std::pair<TInt, TInt>> todo{*aSet.begin()};
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (aSet.count({x + dx, y + dy}) && seen.insert({x + dx, y + dy}).second) todo.push_back({x + dx, y + dy});
  }
  return seen.size() == aSet.size();
}

}  // namespace

TEST_F(GcTest, LinesLeaveOutTheirEndPoint) {
  iGc->DrawLine(TPoint(2, 1), TPoint(7, 1));
  EXPECT_EQ(PenPixels(), Row(1, 2, 6));
  Wipe();
  iGc->DrawLine(TPoint(7, 3), TPoint(2, 3));  // drawn backwards: starts at 7
  EXPECT_EQ(PenPixels(), Row(3, 3, 7));
  Wipe();
  iGc->DrawLine(TPoint(1, 2), TPoint(1, 6));
  EXPECT_EQ(PenPixels(), (TPixelSet{{1, 2}, {1, 3}, {1, 4}, {1, 5}}));
  Wipe();
  iGc->DrawLine(TPoint(10, 10), TPoint(14, 14));
  iGc->DrawLine(TPoint(24, 10), TPoint(20, 14));
  EXPECT_EQ(PenPixels(), (TPixelSet{{10, 10}, {11, 11}, {12, 12}, {13, 13}, {24, 10}, {23, 11}, {22, 12}, {21, 13}}));
  Wipe();
  // A shallow line: the minor coordinate is rounded to the nearest, halves away from
  // the start.
  iGc->DrawLine(TPoint(0, 20), TPoint(6, 22));
  EXPECT_EQ(PenPixels(), (TPixelSet{{0, 20}, {1, 20}, {2, 21}, {3, 21}, {4, 21}, {5, 22}}));
  Wipe();
  iGc->DrawLine(TPoint(5, 5), TPoint(5, 5));
  EXPECT_TRUE(PenPixels().empty());
}

TEST_F(GcTest, PlotAndPolyLineIncludeTheLastPoint) {
  iGc->Plot(TPoint(3, 4));
  EXPECT_EQ(PenPixels(), (TPixelSet{{3, 4}}));
  Wipe();
  const TPoint pts[] = {TPoint(1, 1), TPoint(4, 1), TPoint(4, 3)};
  iGc->DrawPolyLine(pts, 3);
  EXPECT_EQ(PenPixels(), (TPixelSet{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}));
  Wipe();
  CArrayFixFlat<TPoint>* list = new CArrayFixFlat<TPoint>(2);
  list->AppendL(pts[0]);
  list->AppendL(pts[1]);
  iGc->DrawPolyLine(list);
  EXPECT_EQ(PenPixels(), Row(1, 1, 4));
  delete list;
  iGc->DrawPolyLine(static_cast<const CArrayFix<TPoint>*>(NULL));
  iGc->DrawPolyLine(static_cast<const TPoint*>(NULL), 4);
}

TEST_F(GcTest, OriginAndClippingRectangleApply) {
  iGc->SetOrigin(TPoint(10, 5));
  iGc->DrawLine(TPoint(0, 0), TPoint(3, 0));
  EXPECT_EQ(PenPixels(), Row(5, 10, 12));
  Wipe();
  iGc->SetClippingRect(TRect(1, 0, 2, 1));  // context coordinates at the origin in force
  iGc->DrawLine(TPoint(0, 0), TPoint(3, 0));
  iGc->DrawRect(TRect(-5, -5, 5, 5));
  EXPECT_EQ(PenPixels(), (TPixelSet{{11, 5}}));
  Wipe();
  iGc->CancelClippingRect();
  iGc->DrawLine(TPoint(0, 1), TPoint(3, 1));
  EXPECT_EQ(PenPixels(), Row(6, 10, 12));
}

TEST_F(GcTest, RectangleOutlineLiesInsideAndBrushFills) {
  iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  iGc->DrawRect(TRect(1, 1, 6, 5));
  EXPECT_EQ(Picture(0, 0, 8, 6), (std::vector<std::string>{"........", ".PPPPP..", ".PBBBP..", ".PBBBP..",
                                                             ".PPPPP..", "........"}));
  Wipe();
  iGc->SetPenStyle(CGraphicsContext::ENullPen);
  iGc->DrawRect(TRect(1, 1, 4, 3));
  EXPECT_EQ(Picture(0, 0, 5, 4), (std::vector<std::string>{".....", ".BBB.", ".BBB.", "....."}));
  Wipe();
  iGc->SetPenStyle(CGraphicsContext::ESolidPen);
  iGc->SetBrushStyle(CGraphicsContext::ENullBrush);
  iGc->DrawRect(TRect(2, 2, 3, 5));  // one pixel wide
  iGc->DrawRect(TRect(5, 5, 5, 9));  // empty: nothing
  iGc->DrawRect(TRect(9, 9, 7, 7));  // inverted: nothing
  EXPECT_EQ(PenPixels(), (TPixelSet{{2, 2}, {2, 3}, {2, 4}}));
}

TEST_F(GcTest, RoundedRectangleHasCircularCorners) {
  iGc->DrawRoundRect(TRect(1, 1, 11, 9), TSize(3, 3));
  EXPECT_EQ(Picture(0, 0, 12, 10),
            (std::vector<std::string>{"............", "...PPPPPP...", "..P......P..", ".P........P.", ".P........P.",
                                      ".P........P.", ".P........P.", "..P......P..", "...PPPPPP...", "............"}));
  Wipe();
  // A zero corner is a plain rectangle; a corner larger than the box gives an ellipse.
  iGc->DrawRoundRect(TRect(0, 0, 6, 4), TSize(0, 0));
  const TPixelSet square = PenPixels();
  Wipe();
  iGc->DrawRect(TRect(0, 0, 6, 4));
  EXPECT_EQ(PenPixels(), square);
  Wipe();
  iGc->DrawRoundRect(TRect(0, 0, 7, 7), TSize(50, 50));
  const TPixelSet round = PenPixels();
  Wipe();
  iGc->DrawEllipse(TRect(0, 0, 7, 7));
  EXPECT_EQ(PenPixels(), round);
}

TEST_F(GcTest, SmallCirclesMatchTheMidpointShapes) {
  iGc->DrawEllipse(TRect(1, 1, 7, 7));
  EXPECT_EQ(Picture(1, 1, 6, 6),
            (std::vector<std::string>{"..PP..", ".P..P.", "P....P", "P....P", ".P..P.", "..PP.."}));
  Wipe();
  iGc->DrawEllipse(TRect(1, 1, 6, 6));
  EXPECT_EQ(Picture(1, 1, 5, 5), (std::vector<std::string>{".PPP.", "P...P", "P...P", "P...P", ".PPP."}));
  Wipe();
  iGc->DrawEllipse(TRect(1, 1, 4, 4));
  EXPECT_EQ(Picture(1, 1, 3, 3), (std::vector<std::string>{".P.", "P.P", ".P."}));
  Wipe();
  iGc->DrawEllipse(TRect(1, 1, 2, 2));
  EXPECT_EQ(PenPixels(), (TPixelSet{{1, 1}}));
}

TEST_F(GcTest, EllipsesAreSymmetricClosedAndFillTheirBox) {
  Make(TSize(40, 40));
  for (TInt w = 2; w <= 37; w += 1)
    for (TInt h : {w, 1 + w / 3, 37}) {
      Wipe();
      iGc->SetPenStyle(CGraphicsContext::ESolidPen);
      iGc->SetBrushStyle(CGraphicsContext::ENullBrush);
      iGc->DrawEllipse(TRect(0, 0, w, h));
      const TPixelSet s = PenPixels();
      EXPECT_TRUE(w != h || Mapped(s, 0, 1, 1, 0, 0, 0) == s) << w;  // a circle: diagonal mirror too
      EXPECT_EQ(Mapped(s, -1, 0, 0, 1, w - 1, 0), s) << w << "x" << h;
      EXPECT_EQ(Mapped(s, 1, 0, 0, -1, 0, h - 1), s) << w << "x" << h;
      EXPECT_TRUE(w <= 3 || h <= 3 || ClosedCurve(s)) << w << "x" << h;  // thinner: a line
      // Inside the box and touching all four sides.
      TInt minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
      for (auto [x, y] : s)
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
      EXPECT_TRUE(minX == 0 && minY == 0 && maxX == w - 1 && maxY == h - 1) << w << "x" << h;
      // The brush alone fills one run per row, outline included; with the pen it shows
      // exactly inside the outline.
      Wipe();
      iGc->SetPenStyle(CGraphicsContext::ENullPen);
      iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
      iGc->DrawEllipse(TRect(0, 0, w, h));
      const TPixelSet filled = Holding(KBrushWord);
      for (TInt y = 0; y < h; ++y) {
        const std::string row = Picture(0, y, 40, 1)[0];
        const size_t first = row.find('B'), last = row.rfind('B');
        EXPECT_EQ(row.substr(first, last - first + 1), std::string(last - first + 1, 'B')) << y;
      }
      iGc->SetPenStyle(CGraphicsContext::ESolidPen);
      iGc->DrawEllipse(TRect(0, 0, w, h));
      TPixelSet inside = filled;
      for (auto p : s) EXPECT_EQ(inside.erase(p), 1u);
      EXPECT_EQ(Holding(KBrushWord), inside);
    }
}

TEST_F(GcTest, ArcRunsAnticlockwiseFromStartToEnd) {
  Make(TSize(40, 40));
  const TRect box(0, 0, 21, 21);  // centre pixel (10, 10)
  iGc->DrawEllipse(box);
  const TPixelSet circle = PenPixels();
  TPixelSet topRight, rest;
  for (auto [x, y] : circle) {
    if (x >= 10 && y <= 10) topRight.insert({x, y});
    if (x <= 10 || y >= 10) rest.insert({x, y});
  }
  Wipe();
  iGc->DrawArc(box, TPoint(20, 10), TPoint(10, 0));  // east to north
  EXPECT_EQ(PenPixels(), topRight);
  Wipe();
  iGc->DrawArc(box, TPoint(10, -50), TPoint(100, 10));  // north round to east: three quarters
  EXPECT_EQ(PenPixels(), rest);
  Wipe();
  iGc->DrawArc(box, TPoint(30, 30), TPoint(60, 60));  // the same ray twice: all of it
  EXPECT_EQ(PenPixels(), circle);
}

TEST_F(GcTest, PieAddsRadiiAndFillsOnlyItsSector) {
  Make(TSize(40, 40));
  const TRect box(0, 0, 21, 21);
  iGc->DrawArc(box, TPoint(20, 10), TPoint(10, 0));
  const TPixelSet arc = PenPixels();
  Wipe();
  iGc->DrawPie(box, TPoint(20, 10), TPoint(10, 0));
  TPixelSet expected = arc;
  for (TInt i = 0; i <= 10; ++i) expected.insert({10, i});       // radius to the north end
  for (TInt i = 10; i <= 19; ++i) expected.insert({i, 10});      // radius to the east end
  EXPECT_EQ(PenPixels(), expected);
  EXPECT_TRUE(Holding(KBrushWord).empty());  // null brush (the fill has its own test below)

  // A pie millions of pixels across with its centre on the bitmap: the radii and the
  // fill near the centre are all that shows.
  Wipe();
  iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  const TInt r = 3000000;
  iGc->DrawPie(TRect(20 - r, 15 - r, 21 + r, 16 + r), TPoint(KMaxTInt, 15), TPoint(20, KMinTInt));
  TPixelSet radii;
  for (TInt i = 0; i <= 15; ++i) radii.insert({20, i});
  for (TInt i = 20; i < 40; ++i) radii.insert({i, 15});
  EXPECT_EQ(PenPixels(), radii);
  TPixelSet quarter;
  for (TInt y = 0; y < 15; ++y)
    for (TInt x = 21; x < 40; ++x) quarter.insert({x, y});
  EXPECT_EQ(Holding(KBrushWord), quarter);
}

TEST_F(GcTest, PieFillMatchesAPixelByPixelSectorTest) {
  Make(TSize(40, 40));
  // The sector test on one pixel, in doubled coordinates about the box's centre, y up.
  struct TV {
    long long x, y;
  };
  auto half = [](TV v) { return (v.y > 0 || (v.y == 0 && v.x > 0)) ? 0 : 1; };
  auto less = [&](TV a, TV b) { return half(a) != half(b) ? half(a) < half(b) : a.x * b.y - a.y * b.x > 0; };
  const TPoint ends[][2] = {{TPoint(39, 3), TPoint(2, 30)},  {TPoint(2, 30), TPoint(39, 3)},
                            {TPoint(20, 0), TPoint(21, 0)},  {TPoint(21, 0), TPoint(20, 0)},
                            {TPoint(0, 19), TPoint(35, 19)}, {TPoint(30, 36), TPoint(31, 5)}};
  for (const TRect box : {TRect(1, 2, 38, 37), TRect(0, 0, 40, 31)}) {
    Wipe();
    iGc->SetPenStyle(CGraphicsContext::ENullPen);
    iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
    iGc->DrawEllipse(box);
    const TPixelSet ellipse = Holding(KBrushWord);
    const long long cx2 = box.iTl.iX + box.iBr.iX - 1, cy2 = box.iTl.iY + box.iBr.iY - 1;
    auto dir = [&](long long x, long long y) { return TV{2 * x - cx2, cy2 - 2 * y}; };
    for (const auto& e : ends) {
      const TV s = dir(e[0].iX, e[0].iY), t = dir(e[1].iX, e[1].iY);
      TPixelSet expected;
      for (auto [x, y] : ellipse) {
        const TV d = dir(x, y);
        const int kd = less(d, s) ? 1 : 0, kt = less(t, s) ? 1 : 0;
        if ((d.x == 0 && d.y == 0) || kd < kt || (kd == kt && !less(t, d))) expected.insert({x, y});
      }
      Wipe();
      iGc->DrawPie(box, e[0], e[1]);
      EXPECT_EQ(Holding(KBrushWord), expected) << e[0].iX << "," << e[0].iY << " to " << e[1].iX << "," << e[1].iY;
    }
  }
}

TEST_F(GcTest, PolygonFillsPixelCentresThenOutlines) {
  iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  iGc->SetPenStyle(CGraphicsContext::ENullPen);
  const TPoint square[] = {TPoint(2, 2), TPoint(8, 2), TPoint(8, 6), TPoint(2, 6)};
  EXPECT_EQ(iGc->DrawPolygon(square, 4), KErrNone);
  TPixelSet rect;
  for (TInt y = 2; y < 6; ++y)
    for (TInt x = 2; x < 8; ++x) rect.insert({x, y});
  EXPECT_EQ(Holding(KBrushWord), rect);
  Wipe();
  iGc->SetPenStyle(CGraphicsContext::ESolidPen);
  EXPECT_EQ(iGc->DrawPolygon(square, 4, CGraphicsContext::EWinding), KErrNone);
  EXPECT_EQ(Picture(1, 1, 9, 7), (std::vector<std::string>{".........", ".PPPPPPP.", ".PBBBBBP.", ".PBBBBBP.",
                                                            ".PBBBBBP.", ".PPPPPPP.", "........."}));
  Wipe();
  // A triangle: row centres cut by the slanted edge.
  const TPoint tri[] = {TPoint(0, 0), TPoint(8, 0), TPoint(0, 8)};
  iGc->SetPenStyle(CGraphicsContext::ENullPen);
  iGc->DrawPolygon(tri, 3);
  for (TInt y = 0; y < 8; ++y) {
    // The edge x + y = 8 crosses row y's centre at x = 7.5 - y: pixels 0 .. 6 - y.
    const std::string row = Picture(0, y, 10, 1)[0];
    EXPECT_EQ(row, std::string(7 - y, 'B') + std::string(3 + y, '.')) << y;
  }
  EXPECT_EQ(iGc->DrawPolygon(static_cast<const TPoint*>(NULL), 3), KErrArgument);
  EXPECT_EQ(iGc->DrawPolygon(static_cast<const CArrayFix<TPoint>*>(NULL)), KErrArgument);
  EXPECT_EQ(iGc->DrawPolygon(square, 0), KErrNone);
}

TEST_F(GcTest, WindingAndAlternateRulesDifferOnHoles) {
  Make(TSize(40, 40));
  iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  iGc->SetPenStyle(CGraphicsContext::ENullPen);
  const TPoint star[] = {TPoint(20, 2), TPoint(9, 35), TPoint(37, 14), TPoint(3, 14), TPoint(31, 35)};
  iGc->DrawPolygon(star, 5, CGraphicsContext::EWinding);
  EXPECT_EQ(At(20, 20), KBrushWord);
  EXPECT_EQ(At(20, 6), KBrushWord);  // a point of the star
  Wipe();
  iGc->DrawPolygon(star, 5, CGraphicsContext::EAlternate);
  EXPECT_EQ(At(20, 20), 0);
  EXPECT_EQ(At(20, 6), KBrushWord);
  EXPECT_EQ(At(6, 15), KBrushWord);

  // Two nested squares as one outline: inner loop the same way round, then the other.
  CArrayFixFlat<TPoint>* same = new CArrayFixFlat<TPoint>(4);
  for (TPoint p : {TPoint(2, 2), TPoint(30, 2), TPoint(30, 30), TPoint(2, 30), TPoint(2, 2), TPoint(10, 10),
                   TPoint(20, 10), TPoint(20, 20), TPoint(10, 20), TPoint(10, 10)})
    same->AppendL(p);
  CArrayFixFlat<TPoint>* opposite = new CArrayFixFlat<TPoint>(4);
  for (TPoint p : {TPoint(2, 2), TPoint(30, 2), TPoint(30, 30), TPoint(2, 30), TPoint(2, 2), TPoint(10, 10),
                   TPoint(10, 20), TPoint(20, 20), TPoint(20, 10), TPoint(10, 10)})
    opposite->AppendL(p);
  struct {
    CArrayFix<TPoint>* iPoints;
    CGraphicsContext::TFillRule iRule;
    bool iHoleFilled;
  } cases[] = {{same, CGraphicsContext::EWinding, true},
               {same, CGraphicsContext::EAlternate, false},
               {opposite, CGraphicsContext::EWinding, false},
               {opposite, CGraphicsContext::EAlternate, false}};
  for (const auto& c : cases) {
    Wipe();
    EXPECT_EQ(iGc->DrawPolygon(c.iPoints, c.iRule), KErrNone);
    EXPECT_EQ(At(15, 15), c.iHoleFilled ? KBrushWord : 0);
    EXPECT_EQ(At(5, 25), KBrushWord);
    EXPECT_EQ(At(31, 31), 0);
  }
  delete same;
  delete opposite;
}

TEST_F(GcTest, ThickPenStampsARectangleCentredOnEachPoint) {
  iGc->SetPenSize(TSize(3, 3));
  iGc->DrawLine(TPoint(5, 5), TPoint(10, 5));
  TPixelSet expected;
  for (TInt y = 4; y <= 6; ++y)
    for (TInt x = 4; x <= 10; ++x) expected.insert({x, y});
  EXPECT_EQ(PenPixels(), expected);
  Wipe();
  iGc->SetPenSize(TSize(2, 4));  // even sizes: the extra pixel goes right and down
  iGc->Plot(TPoint(5, 5));
  expected.clear();
  for (TInt y = 3; y <= 6; ++y)
    for (TInt x = 4; x <= 5; ++x) expected.insert({x, y});
  EXPECT_EQ(PenPixels(), expected);
  Wipe();
  iGc->SetPenSize(TSize(0, 0));  // no pen at all
  iGc->DrawRect(TRect(5, 5, 15, 12));
  iGc->DrawLine(TPoint(0, 0), TPoint(9, 9));
  EXPECT_TRUE(PenPixels().empty());
}

TEST_F(GcTest, ThickOutlinesAreTheThinOutlineStamped) {
  Make(TSize(48, 40));
  const TPoint poly[] = {TPoint(4, 30), TPoint(20, 3), TPoint(40, 25), TPoint(30, 36)};
  const std::function<void()> shapes[] = {
      [&] { iGc->DrawLine(TPoint(3, 4), TPoint(44, 21)); },
      [&] { iGc->DrawLine(TPoint(30, 36), TPoint(12, 2)); },
      [&] { iGc->DrawEllipse(TRect(5, 6, 40, 33)); },
      [&] { iGc->DrawRoundRect(TRect(4, 4, 44, 35), TSize(9, 6)); },
      [&] { iGc->DrawRect(TRect(6, 5, 41, 30)); },
      [&] { iGc->DrawPolygon(poly, 4); },
      [&] { iGc->DrawPie(TRect(5, 6, 40, 33), TPoint(40, 10), TPoint(5, 30)); },
      [&] { iGc->DrawArc(TRect(2, 3, 45, 37), TPoint(40, 21), TPoint(40, 17)); },  // all but a wedge east
      [&] { iGc->DrawArc(TRect(2, 3, 45, 37), TPoint(0, 10), TPoint(0, 5)); },     // wraps round angle 0
      [&] { iGc->DrawEllipse(TRect(-20, -30, 90, 38)); },  // partly outside the bitmap
      [&] { iGc->DrawEllipse(TRect(10, 10, 16, 16)); },    // two-pixel top and bottom rows
      [&] { iGc->DrawEllipse(TRect(20, 8, 23, 30)); },     // one pixel wide ends
      [&] { iGc->DrawRect(TRect(30, 2, 31, 12)); },        // one pixel wide
  };
  for (const TSize pen : {TSize(2, 3), TSize(5, 5), TSize(4, 1), TSize(1, 6)}) {
    for (size_t k = 0; k < std::size(shapes); ++k) {
      // The thin outline on a bitmap 10 pixels larger all round: thin pixels just
      // outside the real bitmap also stamp into it.
      Make(TSize(68, 60));
      iGc->SetOrigin(TPoint(10, 10));
      shapes[k]();
      TPixelSet expected;
      for (auto [x, y] : PenPixels())
        for (TInt dy = 0; dy < pen.iHeight; ++dy)
          for (TInt dx = 0; dx < pen.iWidth; ++dx) {
            const TInt sx = x - 10 - pen.iWidth / 2 + dx, sy = y - 10 - pen.iHeight / 2 + dy;
            if (sx >= 0 && sx < 48 && sy >= 0 && sy < 40) expected.insert({sx, sy});
          }
      Make(TSize(48, 40));
      iGc->SetPenSize(pen);
      shapes[k]();
      EXPECT_EQ(PenPixels(), expected) << "shape " << k << " pen " << pen.iWidth << "x" << pen.iHeight;
    }
  }
}

namespace {

// A context over a store larger than its bounds, reporting the areas it changes.
class CGuardedContext : public CBitmapContext {
public:
  static const TInt KSide = 60;
  CGuardedContext() : iStore(KSide * KSide, KGuardWord) {}
  TRect iBounds = TRect(10, 12, 45, 50);
  TPoint iTargetOrigin = TPoint(10, 12);
  std::vector<TUint16> iStore;
  TRect iReported;
  TBool iAny = EFalse;

protected:
  TBool Target(ZHost::TGcTarget& aTarget) const override {
    aTarget.iPixels = const_cast<TUint16*>(iStore.data());
    aTarget.iStride = KSide;
    aTarget.iBounds = iBounds;
    aTarget.iOrigin = iTargetOrigin;
    return ETrue;
  }
  void Changed(const TRect& aRect, TBool) override {
    EXPECT_FALSE(aRect.IsEmpty());
    if (!iAny)
      iReported = aRect;
    else
      iReported = TRect(std::min(iReported.iTl.iX, aRect.iTl.iX), std::min(iReported.iTl.iY, aRect.iTl.iY),
                        std::max(iReported.iBr.iX, aRect.iBr.iX), std::max(iReported.iBr.iY, aRect.iBr.iY));
    iAny = ETrue;
  }
};

// Every drawing operation, with coordinates far outside any store.
void DrawEverythingHuge(CBitmapContext& aGc) {
  const TInt big = KMaxTInt / 2, huge = KMaxTInt;
  aGc.SetBrushStyle(CGraphicsContext::EDiamondCrossHatchBrush);
  aGc.DrawLine(TPoint(-1000000000, -1000000000), TPoint(1000000000, 1000000000));
  aGc.DrawLine(TPoint(KMinTInt, 20), TPoint(huge, 20));
  aGc.DrawLine(TPoint(20, huge), TPoint(20, KMinTInt));
  aGc.DrawLine(TPoint(KMinTInt, KMinTInt), TPoint(huge, huge));
  aGc.Plot(TPoint(huge, KMinTInt));
  aGc.DrawEllipse(TRect(-big, -big, big, big));
  aGc.DrawEllipse(TRect(-big, 5, big, 40));
  aGc.DrawArc(TRect(-big, -big, big, big), TPoint(0, -1), TPoint(1, 0));
  aGc.DrawPie(TRect(KMinTInt, KMinTInt, huge, huge), TPoint(1, 1), TPoint(-1, 1));
  aGc.DrawRoundRect(TRect(-big, -big, big, big), TSize(big, big / 3));
  aGc.DrawRoundRect(TRect(KMinTInt, KMinTInt, huge, huge), TSize(huge, huge));
  const TPoint poly[] = {TPoint(KMinTInt, KMinTInt), TPoint(huge, 0), TPoint(0, huge), TPoint(30, 30)};
  EXPECT_EQ(aGc.DrawPolygon(poly, 4, CGraphicsContext::EWinding), KErrNone);
  aGc.DrawPolyLine(poly, 4);
  aGc.SetPenSize(TSize(7, 5));
  aGc.DrawEllipse(TRect(-30, -30, 90, 90));
  aGc.DrawLine(TPoint(-5, 70), TPoint(70, -5));
  aGc.SetPenStyle(CGraphicsContext::EDotDashPen);
  aGc.DrawEllipse(TRect(-big, -big, big, big));
  aGc.DrawPie(TRect(-big, -big, big, big), TPoint(0, -1), TPoint(1, 0));
  aGc.DrawRect(TRect(-big, -big, big, big));
  aGc.SetPenSize(TSize(100000, 3));
  aGc.DrawLine(TPoint(-200, 20), TPoint(200, 25));
  aGc.SetBrushStyle(CGraphicsContext::ESolidBrush);
  aGc.SetPenSize(TSize(1, 1));
  aGc.DrawRect(TRect(KMinTInt, KMinTInt, huge, huge));
  aGc.SetBrushStyle(CGraphicsContext::ENullBrush);
}

}  // namespace

TEST(GcGuard, NothingIsWrittenOutsideTheBoundsOrTheClip) {
  for (const bool clip : {false, true}) {
    for (const TPoint origin : {TPoint(0, 0), TPoint(-7, 9)}) {
      CGuardedContext gc;
      gc.SetPenColor(KRgbRed);
      gc.SetBrushColor(KRgbBlue);
      gc.SetOrigin(origin);
      TRect allowed = gc.iBounds;  // store coordinates
      if (clip) {
        // The clip is given in context coordinates: store = context + target origin + origin.
        const TRect inContext(8, -3, 20, 19);
        gc.SetClippingRect(inContext);
        TRect c = inContext;
        c.Move(gc.iTargetOrigin + origin);
        allowed.Intersection(c);
      }
      DrawEverythingHuge(gc);
      TRect changed;
      bool any = false;
      for (TInt y = 0; y < CGuardedContext::KSide; ++y)
        for (TInt x = 0; x < CGuardedContext::KSide; ++x) {
          if (gc.iStore[y * CGuardedContext::KSide + x] == KGuardWord) continue;
          EXPECT_TRUE(allowed.Contains(TPoint(x, y))) << x << "," << y << " clip " << clip;
          EXPECT_TRUE(gc.iAny && gc.iReported.Contains(TPoint(x, y))) << x << "," << y;
          any = true;
        }
      EXPECT_TRUE(any);
      // Everything inside was painted over at the end (the last, solid rectangle).
      for (TInt y = allowed.iTl.iY; y < allowed.iBr.iY; ++y)
        for (TInt x = allowed.iTl.iX; x < allowed.iBr.iX; ++x)
          ASSERT_NE(gc.iStore[y * CGuardedContext::KSide + x], KGuardWord) << x << "," << y;
    }
  }
}

TEST_F(GcTest, BitmapPaddingIsNeverWritten) {
  Make(TSize(39, 21));  // stride 40: the last word of every row is padding
  FillAll(KGuardWord);
  DrawEverythingHuge(*iGc);
  for (TInt y = 0; y < 21; ++y) EXPECT_EQ(Words()[y * Stride() + 39], KGuardWord) << y;
  EXPECT_EQ(At(38, 20), KBrushWord);
}

TEST_F(GcTest, ReportsTheAreaItChanges) {
  CGuardedContext gc;
  gc.SetPenSize(TSize(3, 3));
  gc.DrawLine(TPoint(5, 5), TPoint(10, 5));  // store: (14..20, 16..18)
  EXPECT_TRUE(gc.iAny);
  EXPECT_EQ(gc.iReported, TRect(14, 16, 21, 19));
  CGuardedContext quiet;
  quiet.SetClippingRect(TRect(100, 100, 110, 110));
  quiet.DrawEllipse(TRect(0, 0, 20, 20));
  quiet.SetPenStyle(CGraphicsContext::ENullPen);
  quiet.CancelClippingRect();
  quiet.DrawRect(TRect(0, 0, 20, 20));  // null pen, null brush
  EXPECT_FALSE(quiet.iAny);
}

TEST_F(GcTest, ClearBitBltAndClippingTakeAnyCoordinates) {
  CFbsBitmap* src = new CFbsBitmap;
  ASSERT_EQ(src->Create(TSize(4, 4), EColor4K), KErrNone);
  TUint16* s = reinterpret_cast<TUint16*>(src->DataAddress());
  for (TInt i = 0; i < 16; ++i) s[i] = KPenWord;
  // With this origin the full TInt range of context coordinates covers store x from -6
  // on and store y up to 4.
  iGc->SetOrigin(TPoint(KMaxTInt - 5, KMinTInt + 5));
  iGc->Clear(TRect(KMinTInt, KMinTInt, KMaxTInt, KMaxTInt));  // rows 0 .. 3
  iGc->BitBlt(TPoint(KMaxTInt, KMaxTInt), src);                // far right
  iGc->BitBlt(TPoint(KMinTInt, 0), src, TRect(KMinTInt, KMinTInt, 2, 2));  // far right
  iGc->SetClippingRect(TRect(KMinTInt, KMinTInt, KMaxTInt, KMaxTInt));
  iGc->DrawRect(TRect(KMinTInt, KMinTInt, KMaxTInt, KMaxTInt));  // only its bottom edge, row 3, shows
  EXPECT_EQ(Holding(KBrushWord).size(), 40u * 3u);
  EXPECT_EQ(PenPixels(), Row(3, 0, 39));
  // With the origin back at (0,0), a clip far out to one side leaves nothing to draw.
  Wipe();
  iGc->SetOrigin(TPoint(0, 0));
  iGc->SetClippingRect(TRect(KMaxTInt - 10, 0, KMaxTInt, 10));
  iGc->Clear();
  iGc->BitBlt(TPoint(0, 0), src);
  EXPECT_EQ(Holding(0).size(), 40u * 30u);
  // Back in range everything works as usual: the source part (0,0)-(4,4) lands at (3,3).
  iGc->CancelClippingRect();
  iGc->BitBlt(TPoint(2, 2), src, TRect(-1, -1, 4, 4));
  TPixelSet expected;
  for (TInt y = 3; y < 7; ++y)
    for (TInt x = 3; x < 7; ++x) expected.insert({x, y});
  EXPECT_EQ(PenPixels(), expected);
  delete src;
}
