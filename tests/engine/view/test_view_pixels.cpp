// Bitmap sprites drawn by the view, pixel for pixel against the reference renderer:
// placement by registration point, unscaled, scaled and rotated drawing, masks, blends,
// clips, the player's location offset, bitmap arrays, size limits and wide views.

#include "view_rig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

using namespace ViewTest;

namespace {

// Reports where two pictures differ.
::testing::AssertionResult Same(const Picture& aGot, const Picture& aWant) {
  if (aGot.w != aWant.w || aGot.h != aWant.h) return ::testing::AssertionFailure() << "sizes differ";
  TInt diffs = 0;
  TInt fx = -1, fy = -1;
  for (TInt y = 0; y < aGot.h; ++y)
    for (TInt x = 0; x < aGot.w; ++x)
      if (aGot.At(x, y) != aWant.At(x, y)) {
        if (diffs < 8) std::printf("  differs at (%d,%d): got 0x%04x want 0x%04x\n", x, y, aGot.At(x, y), aWant.At(x, y));
        if (diffs++ == 0) {
          fx = x;
          fy = y;
        }
      }
  if (diffs == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << diffs << " pixels differ, first at (" << fx << "," << fy << "): got 0x"
                                       << std::hex << aGot.At(fx, fy) << " want 0x" << aWant.At(fx, fy);
}

// Shows aElement on channel aChannel with the reference's description aRef (whose
// bitmap, masking and registration point describe the element).
CZSprite* Show(Rig& aRig, TInt aChannel, CZElement* aElement, RefSprite& aRef) {
  CZSprite* s = aRig.iController->Sprite(aChannel);
  s->Element(aElement);
  aElement->RegPoint(aRef.reg);
  aElement->Masked(aRef.elementMasked);
  s->Loc(aRef.x, aRef.y);
  if (aRef.w != aRef.bitmap->w || aRef.h != aRef.bitmap->h || aRef.zoom) {
    s->Size(aRef.w, aRef.h);
  }
  aRef.zoom = s->Zoom();
  s->Angle(aRef.angle);
  s->Blend(aRef.blend);
  s->Mask(aRef.mask);
  s->ClipRect(aRef.clip);
  return s;
}

RefSprite Describe(const Picture& aPicture, TInt aX, TInt aY) {
  RefSprite r;
  r.bitmap = &aPicture;
  r.x = aX;
  r.y = aY;
  r.w = aPicture.w;
  r.h = aPicture.h;
  return r;
}

// A picture with a colour-keyed (0x0FFF) diagonal band.
Picture Keyed(TInt aW, TInt aH) {
  Picture p = Pattern(aW, aH, 5);
  for (TInt y = 0; y < aH; ++y)
    for (TInt x = 0; x < aW; ++x)
      if ((x + y) % 5 < 2) p.At(x, y) = 0x0FFF;
  return p;
}

}  // namespace

TEST(ViewPixels, UnscaledSpritesWithRegistrationPointsMasksBlendsAndClips) {
  Rig rig(TSize(200, 120));
  rig.iController->BgColor(0x204060);
  const Picture a = Pattern(30, 20, 1);
  const Picture k = Keyed(25, 25);
  const Picture c = Pattern(40, 40, 3);
  Reference ref = rig.MakeReference();

  RefSprite ra = Describe(a, 10, 10);
  ra.reg = TPoint(5, 4);                  // drawn from (5, 6)
  RefSprite rk = Describe(k, 20, 15);
  rk.mask = ETrue;
  rk.elementMasked = ETrue;
  RefSprite rk2 = Describe(k, 60, 15);    // sprite masks, element does not: drawn unmasked
  rk2.mask = ETrue;
  RefSprite rb6 = Describe(c, 100, 5);
  rb6.blend = 6;                          // weight 1/16
  RefSprite rb96 = Describe(c, 150, 5);
  rb96.blend = 96;                        // opaque
  RefSprite rb5 = Describe(c, 100, 60);
  rb5.blend = 5;                          // nothing
  RefSprite rclip = Describe(c, 170, 90); // off the right and bottom edges, clipped
  rclip.clip = TRect(175, 95, 300, 300);
  RefSprite rneg = Describe(a, -12, -7);  // off the top-left corner
  rneg.blend = 50;
  rneg.mask = ETrue;
  rneg.elementMasked = ETrue;

  RefSprite* all[] = {&ra, &rk, &rk2, &rb6, &rb96, &rb5, &rclip, &rneg};
  const char* names[] = {"a", "k", "k2", "b6", "b96", "b5", "clip", "neg"};
  TInt ch = 1;
  for (RefSprite* r : all) {
    Show(rig, ch, rig.Bitmap(*r->bitmap, names[ch - 1]), *r);
    ch++;
  }
  rig.iView->Update();
  for (RefSprite* r : all) ref.Draw(*r);
  EXPECT_TRUE(Same(rig.OffScreen(), ref.iView));
  // Blend 5 really left the background.
  EXPECT_EQ(rig.OffScreen().At(110, 70), static_cast<TUint16>(TRgb(0x204060u).Color4K()));
}

TEST(ViewPixels, ScaledSpritesSampleByTargetColumnsAndSameSizeZoomMatchesUnscaled) {
  Rig rig(TSize(240, 160));
  const Picture p = Pattern(17, 13, 2);
  const Picture k = Keyed(16, 16);
  Reference ref = rig.MakeReference();
  RefSprite up = Describe(p, 5, 5);
  up.w = 50;
  up.h = 31;
  RefSprite down = Describe(p, 80, 5);
  down.w = 7;
  down.h = 9;
  RefSprite maskedBlend = Describe(k, 100, 40);
  maskedBlend.w = 41;
  maskedBlend.h = 37;
  maskedBlend.mask = ETrue;
  maskedBlend.elementMasked = ETrue;
  maskedBlend.blend = 60;
  RefSprite clipped = Describe(p, 200, 120);  // reaches past both edges
  clipped.w = 70;
  clipped.h = 70;
  clipped.reg = TPoint(8, 6);
  RefSprite* all[] = {&up, &down, &maskedBlend, &clipped};
  TInt ch = 1;
  for (RefSprite* r : all) {
    Show(rig, ch, rig.Bitmap(*r->bitmap, std::string("s") + char('0' + ch)), *r);
    EXPECT_TRUE(rig.iController->Sprite(ch)->Zoom());
    ch++;
  }
  rig.iView->Update();
  for (RefSprite* r : all) ref.Draw(*r);
  EXPECT_TRUE(Same(rig.OffScreen(), ref.iView));

  // A sprite of its element's size with the zoom flag set (Size to another size and
  // back) goes through the scaled path and draws exactly what the unscaled path draws.
}

TEST(ViewPixels, ZoomFlagWithTheElementsOwnSizeDrawsAsUnscaled) {
  // A sprite of its element's size whose zoom flag is set (its size was set while the
  // element had another size) goes through the scaled path and draws exactly what the
  // unscaled path draws.
  const Picture p = Pattern(17, 13, 2);
  Rig plain(TSize(64, 48));
  CZElement* e = plain.Bitmap(Pattern(5, 5, 1), "p");
  CZSprite* s = plain.iController->Sprite(1);
  s->Element(e);
  s->Loc(9, 7);
  s->Size(p.w, p.h);
  ASSERT_TRUE(s->Zoom());
  ASSERT_EQ(plain.Bitmap(p, "p"), e);  // the same element, now 17 x 13
  ASSERT_TRUE(s->Zoom());
  plain.iView->Update();
  const Picture zoomed = plain.OffScreen();
  s->SizeReset();
  ASSERT_FALSE(s->Zoom());
  plain.iView->Update();
  EXPECT_TRUE(Same(zoomed, plain.OffScreen()));
  EXPECT_EQ(zoomed.At(9, 7), p.At(0, 0));
}

TEST(ViewPixels, QuarterTurnAboutTheCentreOfASquareTurnsItCounterClockwise) {
  Rig rig(TSize(100, 100));
  const TInt n = 16;
  const Picture sq = Pattern(n, n, 7);
  RefSprite r = Describe(sq, 50, 40);
  r.reg = TPoint(n / 2, n / 2);
  r.angle = 90;
  Show(rig, 1, rig.Bitmap(sq), r);
  rig.iView->Update();
  const Picture got = rig.OffScreen();
  // The square (42..57, 32..47) is covered again; its top row now holds the source's
  // right column read downwards... turned counter-clockwise: target (tx, ty) shows
  // source (n - 1 - ty, tx).
  for (TInt ty = 0; ty < n; ++ty)
    for (TInt tx = 0; tx < n; ++tx)
      ASSERT_EQ(got.At(42 + tx, 32 + ty), sq.At(n - 1 - ty, tx)) << "at " << tx << "," << ty;
  const TUint16 bg = got.At(0, 0);
  for (TInt i = 0; i < n; ++i) {
    EXPECT_EQ(got.At(41, 32 + i), bg);
    EXPECT_EQ(got.At(58, 32 + i), bg);
    EXPECT_EQ(got.At(42 + i, 31), bg);
    EXPECT_EQ(got.At(42 + i, 48), bg);
  }
  Reference ref = rig.MakeReference();
  ref.Draw(r);
  EXPECT_TRUE(Same(got, ref.iView));
}

TEST(ViewPixels, RotatedScaledMaskedAndBlendedSpritesMatchTheReference) {
  Rig rig(TSize(220, 180));
  const Picture p = Pattern(33, 21, 4);  // odd width: the padding column is never sampled
  const Picture k = Keyed(24, 30);
  Reference ref = rig.MakeReference();
  std::vector<RefSprite> sprites;
  const TInt angles[] = {30, 135, 200, 271, 359, -45};
  TInt i = 0;
  for (TInt angle : angles) {
    RefSprite r = Describe(i % 2 ? k : p, 30 + (i % 3) * 70, 40 + (i / 3) * 90);
    r.angle = angle;
    r.reg = TPoint(r.bitmap->w / 3, r.bitmap->h / 2);
    r.w = r.bitmap->w * (2 + i % 2) / 2;
    r.h = r.bitmap->h * (3 - i % 2) / 2;
    r.mask = ETrue;
    r.elementMasked = (i % 2) == 1;
    r.blend = (i == 2) ? 40 : 100;
    if (i == 4) r.clip = TRect(150, 0, 190, 150);
    sprites.push_back(r);
    ++i;
  }
  TInt ch = 1;
  for (RefSprite& r : sprites) {
    Show(rig, ch, rig.Bitmap(*r.bitmap, std::string("r") + char('0' + ch)), r);
    ch++;
  }
  rig.iView->Update();
  for (RefSprite& r : sprites) ref.Draw(r);
  EXPECT_TRUE(Same(rig.OffScreen(), ref.iView));
}

TEST(ViewPixels, PlayerLocationMovesEverySpriteKindIncludingRotationCentresAndCells) {
  auto scene = [](TPoint aLoc) {
    Rig rig(TSize(300, 200));
    rig.iController->Loc(aLoc.iX, aLoc.iY);
    const Picture p = Pattern(20, 20, 9);
    CZElement* e = rig.Bitmap(p, "p");
    CZSprite* plain = rig.iController->Sprite(1);
    plain->Element(e);
    plain->Loc(30, 30);
    CZSprite* scaled = rig.iController->Sprite(2);
    scaled->Element(e);
    scaled->Loc(60, 30);
    scaled->Size(35, 27);
    CZSprite* turned = rig.iController->Sprite(3);
    turned->Element(e);
    turned->Loc(120, 50);
    turned->Angle(33);
    CZElement* arr = rig.iController->ElementBitmapArrayAdd(2, 1, _L("arr"));
    arr->Bitmap(0, 0, e);
    arr->Bitmap(1, 0, e);
    CZSprite* cells = rig.iController->Sprite(4);
    cells->Element(arr);
    cells->Loc(150, 100);
    cells->Size(80, 40);
    rig.iView->Update();
    return rig.OffScreen();
  };
  const Picture at0 = scene(TPoint(0, 0));
  const Picture at10 = scene(TPoint(10, 0));
  TInt drawn = 0;
  for (TInt y = 0; y < at0.h; ++y)
    for (TInt x = 0; x + 10 < at0.w; ++x) {
      ASSERT_EQ(at10.At(x + 10, y), at0.At(x, y)) << "at " << x << "," << y;
      if (at0.At(x, y) != at0.At(0, 0)) drawn++;
    }
  EXPECT_GT(drawn, 20 * 20 + 35 * 27 + 80 * 40);
}

TEST(ViewPixels, BitmapArrayOfThreeByTwoCellsOnA300By200Sprite) {
  Rig rig(TSize(400, 260));
  std::vector<Picture> cells;
  for (TInt i = 0; i < 6; ++i) cells.push_back(Pattern(50 + i * 10, 40 + i * 5, static_cast<TUint16>(20 + i)));
  CZElement* arr = rig.iController->ElementBitmapArrayAdd(3, 2, _L("grid"));
  for (TInt i = 0; i < 6; ++i) {
    CZElement* e = rig.Bitmap(cells[i], std::string("c") + char('0' + i));
    e->RegPoint(TPoint(7, 7));  // cells are drawn from their top-left whatever it is
    arr->Bitmap(i % 3, i / 3, e);
  }
  arr->RegPoint(TPoint(10, 50));  // 10% of 300 = 30, 50% of 200 = 100
  CZSprite* s = rig.iController->Sprite(1);
  s->Element(arr);
  s->Loc(60, 120);  // array box (30, 20)-(330, 220)
  s->Size(300, 200);
  // Only the left column and part of the middle one lie inside the clip.
  s->ClipRect(TRect(0, 0, 150, 260));
  rig.iView->Update();

  Reference ref = rig.MakeReference();
  for (TInt i = 0; i < 6; ++i) {
    RefSprite r = Describe(cells[i], 30 + (i % 3) * 100, 20 + (i / 3) * 100);
    r.w = 100;
    r.h = 100;
    r.zoom = ETrue;
    r.clip = TRect(0, 0, 150, 260);
    ref.Draw(r);
  }
  EXPECT_TRUE(Same(rig.OffScreen(), ref.iView));
  // The sprite is as it was, and the cells' registration points were not touched.
  EXPECT_EQ(s->Element(), arr);
  EXPECT_EQ(s->Width(), 300);
  EXPECT_EQ(s->X(), 60);
  EXPECT_EQ(arr->Bitmap(0, 0)->RegPoint(), TPoint(7, 7));
  EXPECT_FALSE(rig.iView->LastCopyRect().IsEmpty());
}

TEST(ViewPixels, ZeroSizeDrawsNothingAndHugeSizesAreDrawnAt16384) {
  Rig rig(TSize(400, 50));
  Picture two;
  two.w = 2;
  two.h = 1;
  two.px = {0x000F, 0x0F00};
  CZElement* e = rig.Bitmap(two);
  CZSprite* s = rig.iController->Sprite(1);
  s->Element(e);
  s->Size(0, 10);
  const TInt before = rig.iView->SpritesDrawn();
  rig.iView->Update();
  EXPECT_EQ(rig.iView->SpritesDrawn(), before);
  const TUint16 bg = rig.OffScreen().At(0, 0);
  EXPECT_NE(bg, 0x000F);
  EXPECT_NE(bg, 0x0F00);

  // 20000 wide is drawn 16384 wide: the colour changes at 8192.
  s->Size(20000, 10);
  s->Loc(-8000, 0);
  rig.iView->Update();
  const Picture got = rig.OffScreen();
  EXPECT_EQ(got.At(191, 5), 0x000F);
  EXPECT_EQ(got.At(192, 5), 0x0F00);
  EXPECT_EQ(got.At(399, 9), 0x0F00);
  s->Loc(-16384 + 100, 0);
  rig.iView->Update();
  EXPECT_EQ(rig.OffScreen().At(99, 5), 0x0F00);
  EXPECT_EQ(rig.OffScreen().At(100, 5), bg);  // the drawn width ends here
}

TEST(ViewPixels, ViewsWiderThan1023PixelsDrawWholeRows) {
  Rig rig(TSize(1500, 40), EFalse, 8, TPoint(0, 0), EFalse);
  const Picture big = Pattern(1024, 8, 11);
  const Picture small = Keyed(40, 8);
  Reference ref = rig.MakeReference();
  RefSprite plain = Describe(big, 300, 1);
  RefSprite stretched = Describe(small, 0, 12);
  stretched.w = 1500;
  stretched.h = 9;
  stretched.blend = 70;
  stretched.mask = ETrue;
  stretched.elementMasked = ETrue;
  RefSprite turned = Describe(big, 700, 30);
  turned.angle = 2;
  turned.w = 1400;
  turned.h = 4;
  turned.reg = TPoint(512, 4);
  RefSprite* all[] = {&plain, &stretched, &turned};
  TInt ch = 1;
  for (RefSprite* r : all) {
    Show(rig, ch, rig.Bitmap(*r->bitmap, std::string("w") + char('0' + ch)), *r);
    ch++;
  }
  rig.iView->Update();
  for (RefSprite* r : all) ref.Draw(*r);
  EXPECT_TRUE(Same(rig.OffScreen(), ref.iView));
  EXPECT_EQ(rig.OffScreen().At(1323, 1), big.At(1023, 0));
}

TEST(ViewPixels, ScrollTransitionSlidesThePictureInsideTheSpritesRectangle) {
  Rig rig(TSize(200, 40));
  const Picture p = Pattern(40, 10, 12);
  CZSprite* s = rig.iController->Sprite(1);
  s->Element(rig.Bitmap(p));
  s->Loc(50, 5);
  s->Transition(8, 2);
  rig.iView->Update();
  const Picture got = rig.OffScreen();
  const TUint16 bg = got.At(0, 0);
  // Phase 1 of 2: the right 20 source columns at x = 50..69.
  for (TInt x = 0; x < 20; ++x) EXPECT_EQ(got.At(50 + x, 5), p.At(20 + x, 0));
  EXPECT_EQ(got.At(49, 5), bg);
  EXPECT_EQ(got.At(70, 5), bg);
}

namespace {
// Columns of row aY from aX0 that hold the picture's pixels of row 0.
TInt DrawnWidth(const Picture& aView, const Picture& aPicture, TInt aX0, TInt aY) {
  TInt n = 0;
  while (n < aPicture.w && aView.At(aX0 + n, aY) == aPicture.At(n, 0)) n++;
  return n;
}
}  // namespace

TEST(ViewPixels, RevealAndHideTransitionsCutTheSourceWindowPhaseByPhase) {
  for (TInt number : {1, 21}) {
    Rig rig(TSize(200, 20));
    const Picture p = Pattern(100, 4, 13);
    CZSprite* s = rig.iController->Sprite(1);
    s->Element(rig.Bitmap(p));
    s->Loc(10, 2);
    s->Transition(number, 4);
    std::vector<TInt> widths;
    for (TInt frame = 0; frame < 6; ++frame) {
      rig.Frames(1);
      const TInt phase = s->TransitionPhase();
      const TInt shownPhase = number == 1 ? phase : 4 - phase;
      const TInt want = s->Transition() ? 100 * shownPhase / 4 : 100;
      widths.push_back(DrawnWidth(rig.OffScreen(), p, 10, 2));
      EXPECT_EQ(widths.back(), want) << number << " frame " << frame << " phase " << phase;
    }
    EXPECT_EQ(widths.back(), 100);
    EXPECT_EQ(s->Transition(), 0);
  }
}

TEST(ViewPixels, FadesSetTheSpritesBlendAndShakeStaysWithinTwoPixels) {
  Rig rig(TSize(100, 40));
  const Picture p = Pattern(10, 10, 14);
  CZSprite* s = rig.iController->Sprite(1);
  s->Element(rig.Bitmap(p));
  s->Loc(40, 15);
  s->Transition(32, 10);
  rig.Frames(12);
  EXPECT_EQ(s->Blend(), 0);
  s->Transition(12, 10);
  rig.Frames(12);
  EXPECT_EQ(s->Blend(), 100);

  s->Transition(100, 40);
  std::set<std::pair<TInt, TInt>> offsets;
  for (TInt i = 0; i < 30; ++i) {
    rig.iView->Update();
    const Picture got = rig.OffScreen();
    TInt fx = -1, fy = -1;
    for (TInt y = 10; y < 22 && fx < 0; ++y)
      for (TInt x = 35; x < 48; ++x)
        if (got.At(x, y) == p.At(0, 0) && got.At(x + 1, y) == p.At(1, 0)) {
          fx = x;
          fy = y;
          break;
        }
    ASSERT_GE(fx, 38);
    ASSERT_LE(fx, 42);
    ASSERT_GE(fy, 13);
    ASSERT_LE(fy, 17);
    offsets.insert({fx - 40, fy - 15});
  }
  EXPECT_GT(offsets.size(), 3u);  // it does shake
}
