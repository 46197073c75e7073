// Drawing one bitmap element into another: the blend levels, clipping against the clip
// rectangle and the destination, scaling, and a randomized comparison with a per-pixel
// model of the same drawing.

#include <gtest/gtest.h>

#include <random>

#include "BitmapTesting.h"

using ZBitmapTest::Bitmap;
using ZBitmapTest::BlendModel;

namespace ZBitmapTest {

void DrawModel(std::vector<TUint16>& aDest, TInt aDestWidth, TInt aDestHeight, const std::vector<TUint16>& aSource,
               TInt aSourceWidth, TInt aSourceHeight, TRect aTarget, TRect aClip, TBool aMask, TInt aBlend) {
  const TInt blend = aBlend < 0 ? 0 : (aBlend > 100 ? 100 : aBlend);
  const TInt level = blend / 6 > 16 ? 16 : blend / 6;
  const TInt64 tw = static_cast<TInt64>(aTarget.iBr.iX) - aTarget.iTl.iX;
  const TInt64 th = static_cast<TInt64>(aTarget.iBr.iY) - aTarget.iTl.iY;
  if (level == 0 || tw < 1 || th < 1) return;
  const TInt64 xstep = static_cast<TInt64>(aSourceWidth) * 65536 / tw;
  const TInt64 ystep = static_cast<TInt64>(aSourceHeight) * 65536 / th;
  const TInt64 left = std::max<TInt64>(aClip.iTl.iX, 0), right = std::min<TInt64>(aClip.iBr.iX, aSourceWidth);
  const TInt64 top = std::max<TInt64>(aClip.iTl.iY, 0), bottom = std::min<TInt64>(aClip.iBr.iY, aSourceHeight);
  for (TInt y = 0; y < aDestHeight; y++) {
    const TInt64 r = y - static_cast<TInt64>(aTarget.iTl.iY);
    if (r < 0 || r >= th) continue;
    const TInt64 cy = (ystep / 2 + r * ystep) >> 16;
    if (cy < top || cy >= bottom) continue;
    for (TInt x = 0; x < aDestWidth; x++) {
      const TInt64 k = x - static_cast<TInt64>(aTarget.iTl.iX);
      if (k < 0 || k >= tw) continue;
      const TInt64 cx = (xstep / 2 + k * xstep) >> 16;
      if (cx < left || cx >= right) continue;
      const TUint16 s = aSource[((r * ystep) >> 16) * aSourceWidth + ((k * xstep) >> 16)];
      if (aMask && s == 0x0FFF) continue;
      TUint16& d = aDest[y * aDestWidth + x];
      d = level == 16 ? s : BlendModel(s, d, level);
    }
  }
}

}  // namespace ZBitmapTest

namespace {

// Pixels 0x0abc-style, distinct per position, with bits 12..15 set on some.
std::vector<TUint16> Pattern(TInt aWidth, TInt aHeight, TUint16 aSeed) {
  std::vector<TUint16> v;
  for (TInt y = 0; y < aHeight; y++)
    for (TInt x = 0; x < aWidth; x++) v.push_back(static_cast<TUint16>((aSeed + x * 7 + y * 131) & 0x7FFF));
  return v;
}

TEST(BitmapDraw, BlendFiveChangesNothingButMarksTheTarget) {
  Bitmap source(4, 4), dest(4, 4);
  source.Fill(Pattern(4, 4, 0x123));
  dest.Fill(Pattern(4, 4, 0x0F0F));
  const std::vector<TUint16> before = dest.Pixels();
  EXPECT_EQ(dest->Draw(source.Get(), TRect(0, 0, 4, 4), TRect(0, 0, 4, 4), EFalse, 5), 1);
  EXPECT_EQ(dest.Pixels(), before);
  EXPECT_TRUE(dest.Base()->IsChanged());
  dest.Base()->ResetChange();
  EXPECT_EQ(dest->Draw(source.Get(), TRect(0, 0, 8, 8), TRect(0, 0, 4, 4), ETrue, -40), 1);  // scaled, 0
  EXPECT_EQ(dest.Pixels(), before);
  EXPECT_TRUE(dest.Base()->IsChanged());
  // A target of no area draws nothing and is no change.
  dest.Base()->ResetChange();
  EXPECT_EQ(dest->Draw(source.Get(), TRect(2, 2, 2, 6), TRect(0, 0, 4, 4)), 1);
  EXPECT_EQ(dest.Pixels(), before);
  EXPECT_FALSE(dest.Base()->IsChanged());
}

TEST(BitmapDraw, BlendNinetySixCopiesLikeAHundred) {
  Bitmap source(5, 3), a(5, 3), b(5, 3);
  source.Fill(Pattern(5, 3, 0x9000));  // bits 12..15 set: a copy keeps them
  for (TInt scale = 1; scale <= 2; scale++) {
    a.Fill(std::vector<TUint16>(15, 0x0222));
    b.Fill(std::vector<TUint16>(15, 0x0222));
    const TRect target(0, 0, 5 * scale, 3 * scale);
    a->Draw(source.Get(), target, TRect(0, 0, 5, 3), EFalse, 96);
    b->Draw(source.Get(), target, TRect(0, 0, 5, 3), EFalse, 100);
    EXPECT_EQ(a.Pixels(), b.Pixels());
    b->Draw(source.Get(), target, TRect(0, 0, 5, 3), EFalse, 250);  // clamped to 100
    EXPECT_EQ(a.Pixels(), b.Pixels());
  }
  a.Fill(std::vector<TUint16>(15, 0));
  a->Draw(source.Get(), TRect(0, 0, 5, 3), TRect(0, 0, 5, 3), EFalse, 99);
  EXPECT_EQ(a.Pixels(), source.Pixels());
}

TEST(BitmapDraw, HalfBlendAndColourKey) {
  Bitmap source(2, 1), dest(2, 1);
  source.Fill({0x0F00, 0x0FFF});
  dest.Fill({0x00F0, 0x0123});
  dest->Draw(source.Get(), TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), ETrue, 50);  // level 8
  EXPECT_EQ(dest->Pixel(0, 0), 0x0770);
  EXPECT_EQ(dest->Pixel(1, 0), 0x0123);  // key pixel skipped
  dest.Fill({0x00F0, 0x0123});
  dest->Draw(source.Get(), TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), ETrue, 100);
  EXPECT_EQ(dest->Pixel(0, 0), 0x0F00);
  EXPECT_EQ(dest->Pixel(1, 0), 0x0123);
  dest->Draw(source.Get(), TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), EFalse, 100);
  EXPECT_EQ(dest->Pixel(1, 0), 0x0FFF);  // unmasked: the key is a colour like any other
}

TEST(BitmapDraw, TargetPartlyOutsideDrawsTheVisiblePartInPlace) {
  Bitmap source(4, 4), dest(6, 6);
  source.Fill(Pattern(4, 4, 0x100));
  dest.Fill(std::vector<TUint16>(36, 0));
  dest->Draw(source.Get(), TRect(-2, -1, 2, 3), TRect(0, 0, 4, 4), EFalse, 100);
  // Source (2,1) lands on (0,0), (3,3) on (1,2); nothing else is touched.
  EXPECT_EQ(dest->Pixel(0, 0), source->Pixel(2, 1));
  EXPECT_EQ(dest->Pixel(1, 0), source->Pixel(3, 1));
  EXPECT_EQ(dest->Pixel(1, 2), source->Pixel(3, 3));
  EXPECT_EQ(dest->Pixel(2, 0), 0);
  EXPECT_EQ(dest->Pixel(0, 3), 0);
  // Right and bottom: source (0,0) at (4,5), only the row y = 5 and columns 4, 5.
  dest.Fill(std::vector<TUint16>(36, 0));
  dest->Draw(source.Get(), TRect(4, 5, 8, 9), TRect(0, 0, 4, 4), ETrue, 100);
  EXPECT_EQ(dest->Pixel(4, 5), source->Pixel(0, 0));
  EXPECT_EQ(dest->Pixel(5, 5), source->Pixel(1, 0));
  EXPECT_EQ(dest->Pixel(4, 4), 0);
  // Far outside in any direction, and a clip outside the source: nothing.
  const std::vector<TUint16> before = dest.Pixels();
  dest->Draw(source.Get(), TRect(-100, 0, -96, 4), TRect(0, 0, 4, 4));
  dest->Draw(source.Get(), TRect(KMaxTInt - 4, 0, KMaxTInt, 4), TRect(0, 0, 4, 4));
  dest->Draw(source.Get(), TRect(0, 0, 4, 4), TRect(4, 0, 10, 4));
  dest->Draw(source.Get(), TRect(0, 0, 4, 4), TRect(3, 3, 1, 1));
  EXPECT_EQ(dest.Pixels(), before);
}

TEST(BitmapDraw, ClipSelectsPartOfTheSourceWithoutMovingIt) {
  Bitmap source(4, 4), dest(4, 4);
  source.Fill(Pattern(4, 4, 0x200));
  dest.Fill(std::vector<TUint16>(16, 0));
  dest->Draw(source.Get(), TRect(0, 0, 4, 4), TRect(1, 2, 3, 100), EFalse, 100);
  for (TInt y = 0; y < 4; y++)
    for (TInt x = 0; x < 4; x++)
      EXPECT_EQ(dest->Pixel(x, y), (x >= 1 && x < 3 && y >= 2) ? source->Pixel(x, y) : 0) << x << "," << y;
}

TEST(BitmapDraw, TenByTenIntoTwentyByTwentyDoublesEveryPixel) {
  Bitmap source(10, 10), dest(20, 20);
  source.Fill(Pattern(10, 10, 0x0345));
  for (TInt mask = 0; mask <= 1; mask++) {
    dest.Fill(std::vector<TUint16>(400, 0));
    EXPECT_EQ(dest->Draw(source.Get(), TRect(0, 0, 20, 20), TRect(0, 0, 10, 10), mask, 100), 1);
    for (TInt y = 0; y < 20; y++)
      for (TInt x = 0; x < 20; x++)
        ASSERT_EQ(dest->Pixel(x, y), source->Pixel(x / 2, y / 2)) << x << "," << y << " mask " << mask;
  }
}

TEST(BitmapDraw, WideDestinationRowsArePassedInPieces) {
  // A 1024-pixel row is one more than a row routine takes at once.
  Bitmap source(512, 2), dest(1024, 4);
  source.Fill(Pattern(512, 2, 0x0111));
  for (TInt blend : {100, 60}) {
    dest.Fill(std::vector<TUint16>(1024 * 4, 0x0808));
    std::vector<TUint16> expected = dest.Pixels();
    dest->Draw(source.Get(), TRect(0, 0, 1024, 4), TRect(0, 0, 512, 2), EFalse, blend);
    ZBitmapTest::DrawModel(expected, 1024, 4, source.Pixels(), 512, 2, TRect(0, 0, 1024, 4), TRect(0, 0, 512, 2),
                           EFalse, blend);
    ASSERT_EQ(dest.Pixels(), expected) << blend;
    if (blend == 100) {
      EXPECT_EQ(dest->Pixel(1023, 3), source->Pixel(511, 1));
    }
  }
}

TEST(BitmapDraw, HugeTargetsShowTheRightPart) {
  // A target far wider than the destination: its visible columns lie tens of thousands
  // of target pixels into the scaled row.
  Bitmap source(64, 8), dest(40, 8);
  source.Fill(Pattern(64, 8, 0x0222));
  const TRect targets[] = {TRect(-50000, 0, 100000, 8), TRect(-3000000, -1, 3000000, 9), TRect(-20, -30000, 20, 30000)};
  for (const TRect& target : targets) {
    for (TInt blend : {100, 50}) {
      for (TInt mask = 0; mask <= 1; mask++) {
        dest.Fill(std::vector<TUint16>(40 * 8, 0x0333));
        std::vector<TUint16> expected = dest.Pixels();
        dest->Draw(source.Get(), target, TRect(0, 0, 64, 8), mask, blend);
        ZBitmapTest::DrawModel(expected, 40, 8, source.Pixels(), 64, 8, target, TRect(0, 0, 64, 8), mask, blend);
        ASSERT_EQ(dest.Pixels(), expected) << target.iTl.iX << " " << blend << " " << mask;
      }
    }
  }
}

TEST(BitmapDraw, RandomDrawsMatchThePerPixelModel) {
  std::mt19937 rng(20261207);
  auto pick = [&](TInt aLo, TInt aHi) { return std::uniform_int_distribution<TInt>(aLo, aHi)(rng); };
  for (TInt round = 0; round < 400; round++) {
    const TInt sw = pick(1, 40), sh = pick(1, 30), dw = pick(1, 50), dh = pick(1, 40);
    Bitmap source(sw, sh), dest(dw, dh);
    std::vector<TUint16> src(sw * sh), dst(dw * dh);
    for (auto& p : src) p = pick(0, 5) == 0 ? 0x0FFF : static_cast<TUint16>(pick(0, 0xFFFF));
    for (auto& p : dst) p = static_cast<TUint16>(pick(0, 0xFFFF));
    source.Fill(src);
    dest.Fill(dst);
    const TBool scaled = pick(0, 2) != 0;
    const TInt tw = scaled ? pick(1, 90) : sw, th = scaled ? pick(1, 70) : sh;
    const TInt tx = pick(-tw, dw), ty = pick(-th, dh);
    const TRect target(tx, ty, tx + tw, ty + th);
    const TInt cl = pick(-5, sw), ct = pick(-5, sh);
    const TRect clip(cl, ct, pick(cl, sw + 5), pick(ct, sh + 5));
    const TBool mask = pick(0, 1);
    const TInt blend = pick(0, 3) == 0 ? 100 : pick(-10, 110);
    dest->Draw(source.Get(), target, clip, mask, blend);
    ZBitmapTest::DrawModel(dst, dw, dh, src, sw, sh, target, clip, mask, blend);
    ASSERT_EQ(dest.Pixels(), dst) << "round " << round << " source " << sw << "x" << sh << " dest " << dw << "x"
                                  << dh << " target " << tx << "," << ty << " " << tw << "x" << th << " blend "
                                  << blend << " mask " << mask;
  }
}

TEST(BitmapDraw, OnlyBitmapsDrawAndAreDrawn) {
  Bitmap dest(4, 4);
  CZElementBitmapArray* arrayBase = CZElementBitmapArray::NewL();
  CZElement* array = TZTestAccess::NewFacadeL(arrayBase);
  const std::vector<TUint16> before = dest.Pixels();
  EXPECT_EQ(dest->Draw(NULL, TRect(0, 0, 4, 4), TRect(0, 0, 4, 4)), 0);
  EXPECT_EQ(dest->Draw(array, TRect(0, 0, 4, 4), TRect(0, 0, 4, 4)), 0);
  EXPECT_EQ(array->Draw(dest.Get(), TRect(0, 0, 4, 4), TRect(0, 0, 4, 4)), 0);
  EXPECT_EQ(dest.Pixels(), before);
  EXPECT_FALSE(dest.Base()->IsChanged());
  // A source in another display mode is not read as 4096-colour words.
  CWsBitmap* other = new CWsBitmap;
  ASSERT_EQ(other->Create(TSize(4, 4), EColor16M), KErrNone);
  dest.Base()->DrawBitmap(other, TRect(0, 0, 4, 4), TRect(0, 0, 4, 4));
  EXPECT_EQ(dest.Pixels(), before);
  delete other;
  TZTestAccess::DeleteFacade(array);
}

}  // namespace
