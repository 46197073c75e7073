// The sprite intersection test: boxes, scaled registration points and rotated boxes.

#include <gtest/gtest.h>

#include "../elements/ZTestAccess.h"

namespace {

// A player of its own with some channels; no controller, no view.
class Channels {
public:
  explicit Channels(TInt aCount) : iPlayer(CZPlayer::NewL(NULL)) {
    EXPECT_EQ(iPlayer->SpriteChannelAllocate(aCount), aCount);
  }
  ~Channels() { delete iPlayer; }
  CZSprite* operator[](TInt aChannel) { return iPlayer->Sprite(aChannel); }

private:
  CZPlayer* iPlayer;
};

class TestElement {
public:
  TestElement(TInt aType, TInt aWidth, TInt aHeight, TPoint aRegPoint = TPoint(0, 0))
      : iBase(new CTestElement(aType)), iFacade(TZTestAccess::NewFacadeL(iBase)) {
    iBase->WidthSet(aWidth);
    iBase->HeightSet(aHeight);
    iBase->RegPointSet(aRegPoint);
  }
  ~TestElement() { TZTestAccess::DeleteFacade(iFacade); }
  CZElement* Get() { return iFacade; }

private:
  CTestElement* iBase;
  CZElement* iFacade;
};

// Whether a probe rectangle shape at (l,t)-(r,b) meets aSprite, asked both ways.
bool Meets(CZSprite* aSprite, CZSprite* aProbe, TInt aL, TInt aT, TInt aR, TInt aB) {
  aProbe->Rectangle(TPoint(aL, aT), TPoint(aR, aB));
  const bool forward = aSprite->Intersects(aProbe);
  const bool backward = aProbe->Intersects(aSprite);
  EXPECT_EQ(forward, backward) << aL << "," << aT << "," << aR << "," << aB;
  return forward;
}

TEST(SpriteIntersects, NeedsTwoSpritesOfTheSamePlayer) {
  Channels mine(2);
  Channels theirs(1);
  mine[1]->Rectangle(TPoint(0, 0), TPoint(10, 10));
  mine[2]->Rectangle(TPoint(0, 0), TPoint(10, 10));
  theirs[1]->Rectangle(TPoint(0, 0), TPoint(10, 10));
  EXPECT_TRUE(mine[1]->Intersects(mine[2]));
  EXPECT_FALSE(mine[1]->Intersects(NULL));
  EXPECT_FALSE(mine[1]->Intersects(theirs[1]));
  EXPECT_FALSE(theirs[1]->Intersects(mine[1]));

  CZSprite* lone = TZTestAccess::NewSpriteL();
  lone->Rectangle(TPoint(0, 0), TPoint(10, 10));
  EXPECT_FALSE(lone->Intersects(mine[1]));
  EXPECT_FALSE(mine[1]->Intersects(lone));
  TZTestAccess::DeleteSprite(lone);
}

TEST(SpriteIntersects, BoxesThatOnlyShareAnEdgeDoNotMeet) {
  // Elements outlive the sprites that use them, as in the controller.
  TestElement a(BITMAP_ELEMENT, 10, 10);
  TestElement b(BITMAP_ELEMENT, 10, 10);
  Channels c(3);
  c[1]->Element(a.Get());
  c[2]->Element(b.Get());
  c[1]->Loc(0, 0);
  c[2]->Loc(10, 0);
  EXPECT_FALSE(c[1]->Intersects(c[2]));
  c[2]->Loc(9, 9);
  EXPECT_TRUE(c[1]->Intersects(c[2]));
  c[2]->Loc(0, 10);
  EXPECT_FALSE(c[1]->Intersects(c[2]));
  // A sprite of size 0 meets nothing; a cleared sprite neither.
  c[2]->Loc(2, 2);
  c[2]->Size(0, 5);
  EXPECT_FALSE(c[1]->Intersects(c[2]));
  EXPECT_FALSE(c[1]->Intersects(c[3]));
  c[3]->Loc(5, 5);
  EXPECT_FALSE(c[3]->Intersects(c[1]));
}

TEST(SpriteIntersects, RegistrationPointIsScaledWithTheSprite) {
  TestElement e(SHAPE_ELEMENT, 10, 10, TPoint(5, 5));
  TestElement far(SHAPE_ELEMENT, 100000, 100000, TPoint(65535, 65535));
  Channels c(2);
  c[1]->Element(e.Get());
  c[1]->Size(20, 20);
  c[1]->Loc(100, 100);
  // Box (90,90)-(110,110).
  EXPECT_TRUE(Meets(c[1], c[2], 109, 109, 120, 120));
  EXPECT_FALSE(Meets(c[1], c[2], 110, 100, 120, 105));
  EXPECT_FALSE(Meets(c[1], c[2], 80, 80, 90, 90));
  EXPECT_TRUE(Meets(c[1], c[2], 80, 80, 91, 91));
  // Truncation toward zero: 7 * 5 / 10 = 3.
  c[1]->Size(7, 7);
  EXPECT_TRUE(Meets(c[1], c[2], 90, 90, 98, 98));   // box starts at 97
  EXPECT_FALSE(Meets(c[1], c[2], 90, 90, 97, 97));
  // Huge sprites do not overflow the arithmetic.
  c[1]->Element(far.Get());
  c[1]->Size(SPRITE_SIZE_MAX, SPRITE_SIZE_MAX);
  c[1]->Loc(KMaxTInt, KMaxTInt);
  // rx = 1048576 * 65535 / 100000 = 687184: the box starts at KMaxTInt - 687184.
  EXPECT_TRUE(Meets(c[1], c[2], KMaxTInt - 687185, KMaxTInt - 687185, KMaxTInt - 687183, KMaxTInt - 687183));
  EXPECT_FALSE(Meets(c[1], c[2], KMaxTInt - 687190, KMaxTInt - 687190, KMaxTInt - 687184, KMaxTInt - 687184));
}

TEST(SpriteIntersects, RotatedSpritesUseTheBoxOfTheirRotatedRectangle) {
  TestElement square(BITMAP_ELEMENT, 100, 100, TPoint(50, 50));
  Channels c(2);
  c[1]->Element(square.Get());
  c[1]->Loc(200, 100);
  // Unrotated: (150,50)-(250,150).
  EXPECT_FALSE(Meets(c[1], c[2], 260, 95, 280, 105));
  c[1]->Angle(45);
  // 45 degrees about the centre: about 1.41 times as wide, (130,30)-(271,171) with the
  // table's rounding ((x*c + y*s + 8192) / 16384, truncated toward zero).
  EXPECT_TRUE(Meets(c[1], c[2], 260, 95, 280, 105));
  EXPECT_TRUE(Meets(c[1], c[2], 270, 95, 280, 105));
  EXPECT_FALSE(Meets(c[1], c[2], 271, 95, 280, 105));
  EXPECT_TRUE(Meets(c[1], c[2], 120, 95, 131, 105));
  EXPECT_FALSE(Meets(c[1], c[2], 120, 95, 130, 105));
  EXPECT_TRUE(Meets(c[1], c[2], 195, 20, 205, 31));
  EXPECT_FALSE(Meets(c[1], c[2], 195, 20, 205, 30));
  EXPECT_TRUE(Meets(c[1], c[2], 195, 170, 205, 180));
  EXPECT_FALSE(Meets(c[1], c[2], 195, 171, 205, 180));

  // A simple shape rotates about its top-left corner: a 10 x 20 rectangle at 90 degrees
  // covers (0,-9)-(20,0) from its location (the -9 is -9.5 truncated toward zero).
  c[1]->Rectangle(TPoint(0, 0), TPoint(10, 20));
  c[1]->Angle(90);
  EXPECT_TRUE(Meets(c[1], c[2], 0, -10, 5, -8));
  EXPECT_FALSE(Meets(c[1], c[2], 0, -10, 5, -9));
  EXPECT_TRUE(Meets(c[1], c[2], 19, -5, 25, -4));
  EXPECT_FALSE(Meets(c[1], c[2], 20, -5, 25, -4));
  EXPECT_FALSE(Meets(c[1], c[2], 0, 0, 5, 5));
}

}  // namespace
