// Sprites: properties and their clamping, element binding with use counts, simple
// shapes, the per-frame update, the shape copy and the intersection test.

#include <gtest/gtest.h>

#include "../elements/ZTestAccess.h"

namespace {

// A sprite of no player, deleted at the end of the test.
class LoneSprite {
public:
  LoneSprite() : iSprite(TZTestAccess::NewSpriteL()) {}
  ~LoneSprite() { TZTestAccess::DeleteSprite(iSprite); }
  CZSprite* operator->() { return iSprite; }
  CZSprite* Get() { return iSprite; }

private:
  CZSprite* iSprite;
};

// An element facade of the given type and size, with use counts readable.
class TestElement {
public:
  TestElement(TInt aType, TInt aWidth, TInt aHeight, TPoint aRegPoint = TPoint(0, 0))
      : iBase(new CTestElement(aType)), iFacade(TZTestAccess::NewFacadeL(iBase)) {
    iBase->WidthSet(aWidth);
    iBase->HeightSet(aHeight);
    iBase->RegPointSet(aRegPoint);
    iBase->ResetChange();
  }
  ~TestElement() { TZTestAccess::DeleteFacade(iFacade); }
  CZElement* Get() { return iFacade; }
  CTestElement* Base() { return iBase; }
  TInt Uses() const { return iBase->Access(); }

private:
  CTestElement* iBase;
  CZElement* iFacade;
};

TEST(Sprite, ClearKeepsZAngleChannelAndPoints) {
  LoneSprite s;
  // A new sprite starts cleared, with nothing kept yet.
  EXPECT_EQ(s->Type(), 0);
  EXPECT_EQ(s->Width(), -1);
  EXPECT_EQ(s->Z(), 0);
  EXPECT_EQ(s->Channel(), 0);
  EXPECT_EQ(s->PenStyle(), CGraphicsContext::ESolidPen);
  TZTestAccess::Channel(s.Get(), 7);
  s->LocZ(12);
  s->Angle(30);
  s->Line(TPoint(1, 2), TPoint(30, 40));
  s->Loc(5, 6);
  s->Blend(40);
  s->Visible(EFalse);
  s->Mask(ETrue);
  s->PenSize(TSize(4, 4));
  s->BrushStyle(CGraphicsContext::ESolidBrush);
  s->RoundRectangle(TPoint(0, 0), TPoint(10, 10), TSize(3, 3));
  s->Transition(9, 5);
  TZTestAccess::LifeTime(s.Get(), 8);
  s->Clear();
  EXPECT_EQ(s->Z(), 12);
  EXPECT_EQ(s->Angle(), 30);
  EXPECT_EQ(s->Channel(), 7);
  EXPECT_EQ(s->Point1(), TPoint(1, 2));
  EXPECT_EQ(s->Point2(), TPoint(30, 40));
  EXPECT_EQ(s->Type(), 0);
  EXPECT_EQ(s->ShapeType(), 0);
  EXPECT_EQ(s->X(), 0);
  EXPECT_EQ(s->Width(), -1);
  EXPECT_EQ(s->Blend(), 100);
  EXPECT_TRUE(s->Visible());
  EXPECT_FALSE(s->Mask());
  EXPECT_EQ(s->PenSize(), TSize(1, 1));
  EXPECT_EQ(s->BrushStyle(), CGraphicsContext::ENullBrush);
  EXPECT_EQ(s->CornerSize(), TSize(0, 0));
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(TZTestAccess::LifeTime(s.Get()), -1);
}

TEST(Sprite, ChannelSetsTheDefaultZOnlyWhenZIsUnset) {
  LoneSprite fresh;
  TZTestAccess::Channel(fresh.Get(), 4);
  EXPECT_EQ(fresh->Channel(), 4);
  EXPECT_EQ(fresh->Z(), 4);
  LoneSprite placed;
  placed->LocZ(-3);
  TZTestAccess::Channel(placed.Get(), 4);
  EXPECT_EQ(placed->Z(), -3);
}

TEST(Sprite, SettersNormaliseAndClamp) {
  LoneSprite s;
  const std::pair<TInt, TInt> angles[] = {
      {-1, 359}, {360, 0}, {-90, 270}, {725, 5}, {KMinTInt, 232}, {KMaxTInt, 127}};
  for (auto [in, out] : angles) {
    s->Angle(in);
    EXPECT_EQ(s->Angle(), out) << in;
  }
  s->Size(-5, 2000000);
  EXPECT_EQ(s->Width(), 0);
  EXPECT_EQ(s->Height(), SPRITE_SIZE_MAX);
  s->Blend(-1);
  EXPECT_EQ(s->Blend(), 0);
  s->Blend(101);
  EXPECT_EQ(s->Blend(), 100);
  s->PenSize(TSize(200, -1));
  EXPECT_EQ(s->PenSize(), TSize(128, 0));
  s->BrushStyle(CGraphicsContext::EPatternedBrush);
  EXPECT_EQ(s->BrushStyle(), CGraphicsContext::ESolidBrush);
  s->BrushStyle(CGraphicsContext::EDiamondCrossHatchBrush);
  EXPECT_EQ(s->BrushStyle(), CGraphicsContext::EDiamondCrossHatchBrush);
  s->PenColor(TRgb(1, 2, 3));
  EXPECT_EQ(s->PenColor().Value(), 1u + 2u * 256 + 3u * 65536);
  s->Mask(5);  // stored as given
  EXPECT_EQ(s->Mask(), 5);
  s->ClipRect(TRect(-5, -5, 20, 0));
  EXPECT_EQ(s->ClipRect(), TRect(-5, -5, 20, 0));
}

TEST(Sprite, TransitionRunsItsPhasesAndEnds) {
  LoneSprite s;
  s->Transition(7, 0);
  EXPECT_EQ(s->Transition(), 7);
  EXPECT_EQ(s->TransitionTime(), 1);
  EXPECT_EQ(s->TransitionPhase(), 1);
  TZTestAccess::Update(s.Get());
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(s->TransitionTime(), 1);
  EXPECT_EQ(s->TransitionPhase(), 1);

  s->Transition(3, 4);
  for (TInt phase = 2; phase <= 4; phase++) {
    TZTestAccess::Update(s.Get());
    EXPECT_EQ(s->Transition(), 3);
    EXPECT_EQ(s->TransitionPhase(), phase);
  }
  TZTestAccess::Update(s.Get());
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(s->TransitionPhase(), 4);

  // A negative time is stored as given; the phase never advances and never ends it.
  s->Transition(5, -2);
  for (TInt i = 0; i < 3; i++) TZTestAccess::Update(s.Get());
  EXPECT_EQ(s->Transition(), 5);
  EXPECT_EQ(s->TransitionPhase(), 1);
}

TEST(Sprite, UpdateCountsDownPositiveLifeTimesOnly) {
  LoneSprite s;
  TZTestAccess::LifeTime(s.Get(), 2);
  TZTestAccess::Update(s.Get());
  EXPECT_EQ(TZTestAccess::LifeTime(s.Get()), 1);
  TZTestAccess::Update(s.Get());
  TZTestAccess::Update(s.Get());
  EXPECT_EQ(TZTestAccess::LifeTime(s.Get()), 0);
  TZTestAccess::LifeTime(s.Get(), -1);
  TZTestAccess::Update(s.Get());
  EXPECT_EQ(TZTestAccess::LifeTime(s.Get()), -1);
}

TEST(Sprite, ElementBindingCountsEachUserOnce) {
  TestElement bitmap(BITMAP_ELEMENT, 40, 30);
  TestElement array(BITMAP_ARRAY_ELEMENT, 100, 100);
  TestElement sound(SOUND_ELEMENT, 1, 1);
  CZElement* empty = TZTestAccess::NewFacadeL(NULL);
  {
    LoneSprite s;
    LoneSprite t;
    s->Element(bitmap.Get());
    EXPECT_EQ(bitmap.Uses(), 1);
    EXPECT_EQ(s->Type(), BITMAP_ELEMENT);
    EXPECT_EQ(s->Width(), 40);
    EXPECT_EQ(s->Height(), 30);
    s->Element(bitmap.Get());  // already held
    EXPECT_EQ(bitmap.Uses(), 1);
    t->Element(bitmap.Get());
    EXPECT_EQ(bitmap.Uses(), 2);

    // Sounds and empty facades have nothing to show: ignored.
    s->Element(sound.Get());
    s->Element(empty);
    EXPECT_EQ(s->Element(), bitmap.Get());
    EXPECT_EQ(sound.Uses(), 0);

    s->Element(array.Get());
    EXPECT_EQ(bitmap.Uses(), 1);
    EXPECT_EQ(array.Uses(), 1);
    EXPECT_EQ(s->Type(), BITMAP_ARRAY_ELEMENT);
    EXPECT_EQ(s->Width(), 100);

    // Releasing keeps the size.
    s->Size(60, 70);
    s->Element(NULL);
    EXPECT_EQ(array.Uses(), 0);
    EXPECT_EQ(s->Type(), 0);
    EXPECT_EQ(s->Element(), nullptr);
    EXPECT_EQ(s->Width(), 60);
    EXPECT_EQ(s->Height(), 70);
    s->Element(NULL);
    EXPECT_EQ(array.Uses(), 0);

    // Clear, shapes and destruction release too.
    s->Element(array.Get());
    s->Clear();
    EXPECT_EQ(array.Uses(), 0);
    s->Element(array.Get());
    s->Rectangle(TPoint(0, 0), TPoint(5, 5));
    EXPECT_EQ(array.Uses(), 0);
    EXPECT_EQ(s->Type(), SHAPE_SPRITE);
    s->Element(array.Get());
    EXPECT_EQ(s->ShapeType(), 0);
    EXPECT_EQ(array.Uses(), 1);
  }
  EXPECT_EQ(bitmap.Uses(), 0);
  EXPECT_EQ(array.Uses(), 0);
  TZTestAccess::DeleteFacade(empty);
}

TEST(Sprite, ZoomFollowsTheElementSize) {
  TestElement bitmap(BITMAP_ELEMENT, 40, 30);
  LoneSprite s;
  s->Size(10, 10);  // no element: zoom untouched
  EXPECT_FALSE(s->Zoom());
  s->Element(bitmap.Get());
  EXPECT_FALSE(s->Zoom());
  s->Size(80, 30);
  EXPECT_TRUE(s->Zoom());
  s->Size(40, 30);
  EXPECT_FALSE(s->Zoom());
  s->Size(1, 2);
  s->SizeReset();
  EXPECT_FALSE(s->Zoom());
  EXPECT_EQ(s->Width(), 40);
  EXPECT_EQ(s->Height(), 30);
  // Without zoom SizeReset does nothing, even when the size differs from the element's
  // (which only shape setters can cause).
  s->Element(NULL);
  s->Size(5, 5);
  s->SizeReset();
  EXPECT_EQ(s->Width(), 5);
}

TEST(Sprite, SimpleShapesTakeTheirBoxFromTheCorners) {
  LoneSprite s;
  s->Line(TPoint(3, 4), TPoint(1, 1));
  EXPECT_EQ(s->Type(), SHAPE_SPRITE);
  EXPECT_EQ(s->ShapeType(), LINE);
  EXPECT_EQ(s->X(), 1);
  EXPECT_EQ(s->Y(), 1);
  EXPECT_EQ(s->Width(), 2);
  EXPECT_EQ(s->Height(), 3);
  EXPECT_EQ(s->Point1(), TPoint(3, 4));
  EXPECT_EQ(s->Point2(), TPoint(1, 1));

  s->Ellipse(TPoint(10, 20), TPoint(0, 0));
  EXPECT_EQ(s->ShapeType(), ELLIPSE);
  EXPECT_EQ(s->X(), 0);
  EXPECT_EQ(s->Y(), 0);
  EXPECT_EQ(s->Width(), 10);
  EXPECT_EQ(s->Height(), 20);
  EXPECT_EQ(s->Point1(), TPoint(3, 4));  // only Line stores the points
  EXPECT_EQ(s->Point2(), TPoint(1, 1));

  s->Rectangle(TPoint(-5, 7), TPoint(5, -7));
  EXPECT_EQ(s->ShapeType(), RECT);
  EXPECT_EQ(s->X(), -5);
  EXPECT_EQ(s->Y(), -7);
  EXPECT_EQ(s->Width(), 10);
  EXPECT_EQ(s->Height(), 14);

  s->RoundRectangle(TPoint(0, 0), TPoint(8, 9), TSize(2, 3));
  EXPECT_EQ(s->ShapeType(), ROUNDRECT);
  EXPECT_EQ(s->CornerSize(), TSize(2, 3));

  // Extreme corners: the size saturates instead of overflowing.
  s->Line(TPoint(KMinTInt, 0), TPoint(KMaxTInt, 0));
  EXPECT_EQ(s->Width(), KMaxTInt);
  EXPECT_EQ(s->X(), KMinTInt);
}

TEST(Sprite, ShapeLookCopyTakesTheLookButNotThePlacementInZOrTheContent) {
  LoneSprite tmpl;
  tmpl->RoundRectangle(TPoint(1, 2), TPoint(21, 32), TSize(4, 5));
  tmpl->Line(TPoint(7, 8), TPoint(9, 10));
  tmpl->RoundRectangle(TPoint(1, 2), TPoint(21, 32), TSize(4, 5));
  tmpl->PenColor(TRgb(255, 0, 0));
  tmpl->BrushColor(TRgb(0, 255, 0));
  tmpl->PenSize(TSize(3, 2));
  tmpl->PenStyle(CGraphicsContext::EDottedPen);
  tmpl->BrushStyle(CGraphicsContext::EVerticalHatchBrush);
  tmpl->Blend(60);
  tmpl->Angle(45);
  tmpl->Transition(12, 6);
  tmpl->LocZ(50);
  tmpl->Mask(ETrue);
  tmpl->Visible(EFalse);
  tmpl->ClipRect(TRect(1, 1, 5, 5));
  TZTestAccess::LifeTime(tmpl.Get(), 9);

  LoneSprite s;
  s->LocZ(3);
  s->Transition(2, 10);
  TZTestAccess::Update(s.Get());
  TZTestAccess::ShapeLookCopy(s.Get(), tmpl.Get());
  EXPECT_EQ(s->Type(), SHAPE_SPRITE);
  EXPECT_EQ(s->ShapeType(), ROUNDRECT);
  EXPECT_EQ(s->X(), 1);
  EXPECT_EQ(s->Y(), 2);
  EXPECT_EQ(s->Width(), 20);
  EXPECT_EQ(s->Height(), 30);
  EXPECT_EQ(s->Point1(), TPoint(7, 8));
  EXPECT_EQ(s->Point2(), TPoint(9, 10));
  EXPECT_EQ(s->CornerSize(), TSize(4, 5));
  EXPECT_EQ(s->PenColor().Value(), 255u);
  EXPECT_EQ(s->BrushColor().Value(), 255u * 256);
  EXPECT_EQ(s->PenSize(), TSize(3, 2));
  EXPECT_EQ(s->PenStyle(), CGraphicsContext::EDottedPen);
  EXPECT_EQ(s->BrushStyle(), CGraphicsContext::EVerticalHatchBrush);
  EXPECT_EQ(s->Blend(), 60);
  EXPECT_EQ(s->Angle(), 45);
  EXPECT_EQ(s->Transition(), 12);  // restarted with the template's values
  EXPECT_EQ(s->TransitionTime(), 6);
  EXPECT_EQ(s->TransitionPhase(), 1);
  EXPECT_EQ(s->Z(), 3);
  EXPECT_FALSE(s->Mask());
  EXPECT_TRUE(s->Visible());
  EXPECT_EQ(s->ClipRect(), TRect(0, 0, 0, 0));
  EXPECT_EQ(TZTestAccess::LifeTime(s.Get()), -1);

  // A template without transition leaves the running one alone.
  LoneSprite still;
  still->Ellipse(TPoint(0, 0), TPoint(3, 3));
  TZTestAccess::ShapeLookCopy(s.Get(), still.Get());
  EXPECT_EQ(s->ShapeType(), ELLIPSE);
  EXPECT_EQ(s->Transition(), 12);
}

TEST(Sprite, ShapeLookCopyNeverLeavesATypeWithoutItsElement) {
  TestElement bitmap(BITMAP_ELEMENT, 10, 10);
  LoneSprite record;
  record->Element(bitmap.Get());
  LoneSprite empty;
  TZTestAccess::ShapeLookCopy(empty.Get(), record.Get());
  EXPECT_EQ(empty->Type(), 0);  // the element comes only with Element()
  EXPECT_EQ(empty->Element(), nullptr);

  LoneSprite shape;
  shape->Ellipse(TPoint(0, 0), TPoint(4, 4));
  LoneSprite showing;
  showing->Element(bitmap.Get());
  EXPECT_EQ(bitmap.Uses(), 2);
  TZTestAccess::ShapeLookCopy(showing.Get(), shape.Get());
  EXPECT_EQ(showing->Type(), SHAPE_SPRITE);
  EXPECT_EQ(showing->Element(), nullptr);
  EXPECT_EQ(bitmap.Uses(), 1);
}

TEST(Sprite, UpdateReportsAChangedElementOnceAndClearsItsFlag) {
  TestElement bitmap(BITMAP_ELEMENT, 10, 10);
  LoneSprite a;
  a->Element(bitmap.Get());
  bitmap.Base()->Changed();
  TZTestAccess::Update(a.Get());
  EXPECT_FALSE(bitmap.Base()->IsChanged());
}

}  // namespace
