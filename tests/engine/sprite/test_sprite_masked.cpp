// The pixel-exact collision test of masked, unrotated bitmap sprites, with real bitmap
// elements made by the controller.

#include <ZolvaneTesting.h>

#include <gtest/gtest.h>

using namespace ZTest;

namespace {

const TUint16 KKey = 0x0FFF;
const TUint16 KSolid = 0x0123;

class MaskedIntersects : public ::testing::Test {
protected:
  MaskedIntersects() : h(Options()) {}
  static Harness::Options Options() {
    Harness::Options o;
    o.channels = 2;
    return o;
  }
  // A w x h bitmap element filled with aPixel, its mask flag on.
  CZElement* Bitmap(const TDesC& aName, TInt aW, TInt aH, TUint16 aPixel) {
    CZElement* e = h.Controller().ElementBitmapAdd(aW, aH, aName);
    EXPECT_NE(e, nullptr);
    for (TInt y = 0; y < aH; y++)
      for (TInt x = 0; x < aW; x++) e->Pixel(x, y, aPixel);
    e->Masked(ETrue);
    return e;
  }
  CZSprite* Show(TInt aChannel, CZElement* aElement, TInt aX, TInt aY, TBool aMask) {
    CZSprite* s = h.Controller().Sprite(aChannel);
    s->Element(aElement);
    s->Loc(aX, aY);
    s->Mask(aMask);
    return s;
  }
  Harness h;
};

}  // namespace

TEST_F(MaskedIntersects, KeyPixelsDoNotCollideAndOneSolidPixelDoes) {
  CZElement* ghost = Bitmap(_L("ghost"), 10, 10, KKey);
  CZElement* wall = Bitmap(_L("wall"), 20, 20, KSolid);
  CZSprite* a = Show(1, ghost, 5, 5, ETrue);
  CZSprite* b = Show(2, wall, 0, 0, EFalse);
  EXPECT_FALSE(a->Intersects(b));
  EXPECT_FALSE(b->Intersects(a));
  ghost->Pixel(9, 9, KSolid);  // at (14, 14), inside the wall
  EXPECT_TRUE(a->Intersects(b));
  EXPECT_TRUE(b->Intersects(a));
  // Move the wall so that the solid pixel is just outside it.
  b->Loc(-6, -6);  // wall covers 0..13 on both axes: (14, 14) is outside
  EXPECT_FALSE(a->Intersects(b));
  // Unmasked, the box decides.
  a->Mask(EFalse);
  EXPECT_TRUE(a->Intersects(b));
  // Rotated, the box decides even when masked.
  a->Mask(ETrue);
  EXPECT_FALSE(a->Intersects(b));
  a->Angle(10);
  EXPECT_TRUE(a->Intersects(b));
}

TEST_F(MaskedIntersects, BothMaskedNeedAPointSolidInBoth) {
  CZElement* left = Bitmap(_L("left"), 8, 8, KKey);
  CZElement* right = Bitmap(_L("right"), 8, 8, KKey);
  // Solid columns: left's column 6, right's column 1. Overlap when right is at x=4:
  // global columns 4..7, left solid at 6, right solid at 5: never both.
  for (TInt y = 0; y < 8; y++) {
    left->Pixel(6, y, KSolid);
    right->Pixel(1, y, KSolid);
  }
  CZSprite* a = Show(1, left, 0, 0, ETrue);
  CZSprite* b = Show(2, right, 4, 0, ETrue);
  EXPECT_FALSE(a->Intersects(b));
  b->Loc(5, 0);  // right's column 1 lands on global 6
  EXPECT_TRUE(a->Intersects(b));
  // The element's own mask flag off: that sprite counts as solid everywhere.
  b->Loc(4, 0);
  right->Masked(EFalse);
  EXPECT_TRUE(a->Intersects(b));
}

TEST_F(MaskedIntersects, ZoomedSpritesSampleTheElementScaled) {
  CZElement* dot = Bitmap(_L("dot"), 4, 4, KKey);
  dot->Pixel(3, 3, KSolid);  // bottom-right element pixel
  CZElement* probe = Bitmap(_L("probe"), 1, 1, KSolid);
  CZSprite* a = Show(1, dot, 0, 0, ETrue);
  a->Size(8, 8);  // element pixel (3,3) covers sprite pixels 6..7
  CZSprite* b = Show(2, probe, 5, 5, EFalse);
  EXPECT_FALSE(a->Intersects(b));
  b->Loc(6, 7);
  EXPECT_TRUE(a->Intersects(b));
  b->Loc(7, 5);
  EXPECT_FALSE(a->Intersects(b));
}
