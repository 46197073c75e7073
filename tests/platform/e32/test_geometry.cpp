// Rectangles, colours and maths.
#include <e32math.h>
#include <e32std.h>
#include <gdi.h>
#include <gtest/gtest.h>

TEST(Geometry, RectEdgesAreExclusive) {
  TRect r(10, 20, 30, 25);
  EXPECT_EQ(r.Width(), 20);
  EXPECT_EQ(r.Height(), 5);
  EXPECT_EQ(r.Size(), TSize(20, 5));
  EXPECT_TRUE(r.Contains(TPoint(10, 20)));
  EXPECT_FALSE(r.Contains(TPoint(30, 20)));
  EXPECT_FALSE(r.Contains(TPoint(10, 25)));
  EXPECT_EQ(r.Center(), TPoint(20, 22));
  EXPECT_TRUE(TRect(5, 5, 5, 10).IsEmpty());
  EXPECT_TRUE(TRect(5, 5, 4, 10).IsEmpty());

  // Rectangles that only touch do not intersect.
  EXPECT_FALSE(r.Intersects(TRect(30, 20, 40, 25)));
  EXPECT_TRUE(r.Intersects(TRect(29, 24, 40, 40)));
  EXPECT_FALSE(r.Intersects(TRect(15, 21, 15, 30)));  // empty
  TRect i = r;
  i.Intersection(TRect(25, 0, 100, 22));
  EXPECT_EQ(i, TRect(25, 20, 30, 22));
  i.Intersection(TRect(0, 0, 5, 5));
  EXPECT_TRUE(i.IsEmpty());
  EXPECT_EQ(i.Width(), 0);

  TRect b(0, 0, 10, 10);
  b.BoundingRect(TRect(20, 5, 25, 30));
  EXPECT_EQ(b, TRect(0, 0, 25, 30));
  // An empty rectangle still takes part in the union.
  TRect e(0, 0, 10, 10);
  e.BoundingRect(TRect(50, 50, 50, 50));
  EXPECT_EQ(e, TRect(0, 0, 50, 50));

  TRect m(TPoint(1, 2), TSize(3, 4));
  EXPECT_EQ(m, TRect(1, 2, 4, 6));
  m.Move(TPoint(1, 1));
  m.Grow(1, 2);
  EXPECT_EQ(m, TRect(1, 1, 6, 9));
  m.Shrink(TSize(1, 1));
  m.Resize(2, 0);
  EXPECT_EQ(m, TRect(2, 2, 7, 8));
  TRect n(10, 10, 0, 5);
  EXPECT_FALSE(n.IsNormalized());
  n.Normalize();
  EXPECT_EQ(n, TRect(0, 5, 10, 10));
  EXPECT_EQ(TPoint(1, 2) + TSize(3, 4), TPoint(4, 6));
  EXPECT_EQ(TPoint(5, 5) - TPoint(1, 2), TPoint(4, 3));
  EXPECT_EQ(TSize(5, 5) - TSize(1, 2), TSize(4, 3));
}

TEST(Geometry, RgbLayoutAnd4096Colours) {
  TRgb c(0x12, 0x34, 0x56);
  EXPECT_EQ(c.Value(), 0x563412u);
  EXPECT_EQ(c.Red(), 0x12);
  EXPECT_EQ(c.Green(), 0x34);
  EXPECT_EQ(c.Blue(), 0x56);
  EXPECT_EQ(TRgb(0x563412u), c);
  c.SetGreen(0xff);
  EXPECT_EQ(c.Value(), 0x56ff12u);
  EXPECT_EQ(KRgbWhite.Color4K(), 0x0fff);
  EXPECT_EQ(KRgbRed.Color4K(), 0x000f);
  EXPECT_EQ(KRgbBlue.Color4K(), 0x0f00);
  EXPECT_EQ(TRgb(0x1f, 0x2f, 0x3f).Color4K(), 0x321);
  EXPECT_EQ(TRgb::Color4K(0x0f0), TRgb(0, 255, 0));
  EXPECT_EQ(TRgb::Color4K(0x321), TRgb(0x11, 0x22, 0x33));
  for (TInt v = 0; v < 4096; v += 37) EXPECT_EQ(TRgb::Color4K(v).Color4K(), v);
  EXPECT_EQ(TRgb::Color16M(0x123456), TRgb(0x12, 0x34, 0x56));
  EXPECT_EQ(KRgbBlack.Difference(KRgbWhite), 765);
}

TEST(Geometry, MathAndSeededRandom) {
  TReal r = 0;
  EXPECT_EQ(Math::Sin(r, KPi / 2), KErrNone);
  EXPECT_DOUBLE_EQ(r, 1.0);
  EXPECT_EQ(Math::Sqrt(r, -1.0), KErrArgument);
  EXPECT_EQ(Math::Round(r, 2.345, 2), KErrNone);
  EXPECT_DOUBLE_EQ(r, 2.35);
  EXPECT_EQ(Math::Round(r, -2.5, 0), KErrNone);
  EXPECT_DOUBLE_EQ(r, -3.0);
  TInt32 i = 0;
  EXPECT_EQ(Math::Int(i, -7.9), KErrNone);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(Math::Int(i, 1e12), KErrOverflow);

  TInt64 seedA = 42, seedB = 42;
  TReal sum = 0;
  for (TInt n = 0; n < 10000; ++n) {
    const TReal a = Math::FRand(seedA);
    ASSERT_GE(a, 0.0);
    ASSERT_LT(a, 1.0);
    EXPECT_EQ(a, Math::FRand(seedB));  // same seed, same sequence
    sum += a;
  }
  EXPECT_NEAR(sum / 10000, 0.5, 0.02);
  TInt64 seedC = 43;
  EXPECT_NE(Math::FRand(seedC), Math::FRand(seedA));
  TInt64 s = 1;
  const TInt x = Math::Rand(s);
  EXPECT_GE(x, 0);
  EXPECT_NE(s, 1);
}
