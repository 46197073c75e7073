// Element model: the common element base and the facade's neutral answers.

#include <gtest/gtest.h>

#include <zhost/userlib.h>

#include "ZTestAccess.h"

namespace {

_LIT(KName, "Hero_bmp_1");
_LIT(KOther, "villain");

// A type number that no type-specific operation acts on.
const TInt KPlainType = 99;

// Owns a facade around a CTestElement for the length of a test.
class Facade {
public:
  explicit Facade(TInt aType, TBool* aDestroyed = NULL)
      : iElement(new CTestElement(aType, aDestroyed)),
        iFacade(TZTestAccess::NewFacadeL(iElement)) {}
  Facade() : iElement(NULL), iFacade(TZTestAccess::NewFacadeL(NULL)) {}
  ~Facade() { TZTestAccess::DeleteFacade(iFacade); }
  CZElement* operator->() { return iFacade; }
  CZElement* Get() { return iFacade; }
  CTestElement* Base() { return iElement; }

private:
  CTestElement* iElement;
  CZElement* iFacade;
};

bool Same(const TDesC& aA, const TDesC& aB) { return aA.Compare(aB) == 0; }

// Every type-specific operation, checked for its neutral answer. Used on the empty
// facade and on elements of types that none of these operations acts on.
void ExpectTypeSpecificNeutral(CZElement* aElement, CZElement* aOtherBitmap) {
  // Bitmap operations
  EXPECT_EQ(aElement->Masked(ETrue), 0);
  EXPECT_EQ(aElement->Masked(EFalse), 0);
  EXPECT_EQ(aElement->Masked(), ETrue);
  EXPECT_EQ(aElement->Pixel(0, 0, 0x0123), 0);
  EXPECT_EQ(aElement->Pixel(0, 0), 0);
  EXPECT_EQ(aElement->DataAddress(), nullptr);
  EXPECT_EQ(aElement->Changed(), 0);
  EXPECT_EQ(aElement->Draw(aOtherBitmap, TRect(0, 0, 10, 10), TRect(0, 0, 10, 10)), 0);
  EXPECT_EQ(aElement->Draw(NULL, TRect(0, 0, 10, 10), TRect(0, 0, 10, 10), EFalse, 50), 0);
  // Bitmap-array operations
  EXPECT_EQ(aElement->ArrayResize(3, 2), 0);
  EXPECT_EQ(aElement->ArrayWidth(), 0);
  EXPECT_EQ(aElement->ArrayHeight(), 0);
  EXPECT_EQ(aElement->Bitmap(0, 0, aOtherBitmap), 0);
  EXPECT_EQ(aElement->Bitmap(0, 0), nullptr);
  // Text operations
  EXPECT_EQ(aElement->Text(TPtrC(KOther)), 0);
  EXPECT_EQ(aElement->Text(42), 0);
  EXPECT_EQ(aElement->Text().Length(), 0);
  EXPECT_EQ(aElement->TextInsert(TPtrC(KOther)), 0);
  EXPECT_EQ(aElement->TextInsert(7, 0), 0);
  EXPECT_EQ(aElement->TextRemove(0, 1), 0);
  EXPECT_EQ(aElement->Width(300), 0);
  EXPECT_EQ(aElement->LineHeight(12), 0);
  EXPECT_EQ(aElement->LineHeight(), 0);
  EXPECT_EQ(aElement->LineFeedHeight(12), 0);
  EXPECT_EQ(aElement->LineFeedHeight(), 0);
  EXPECT_EQ(aElement->LineCount(), 0);
  EXPECT_EQ(aElement->Line(0).Length(), 0);
  EXPECT_EQ(aElement->Font(TPtrC(KOther)), 0);
  EXPECT_EQ(aElement->Font().Length(), 0);
  EXPECT_EQ(aElement->FontSize(20), 0);
  EXPECT_EQ(aElement->FontSize(), 0);
  EXPECT_EQ(aElement->FontStrokeWeight(EStrokeWeightBold), 0);
  EXPECT_EQ(aElement->FontStrokeWeight(), EStrokeWeightNormal);
  EXPECT_EQ(aElement->FontPosture(EPostureItalic), 0);
  EXPECT_EQ(aElement->FontPosture(), EPostureUpright);
  EXPECT_EQ(aElement->FontAlignment(CGraphicsContext::ECenter), 0);
  EXPECT_EQ(aElement->FontAlignment(), CGraphicsContext::ELeft);
  // Shape operations
  EXPECT_EQ(aElement->Point(0, TPoint(1, 2)), 0);
  EXPECT_EQ(aElement->Point(0), TPoint(0, 0));
  EXPECT_EQ(aElement->PointInsert(0, TPoint(1, 2)), 0);
  EXPECT_EQ(aElement->PointRemove(0), 0);
  EXPECT_EQ(aElement->PenSize(TSize(3, 3)), 0);
  EXPECT_EQ(aElement->PenSize(), TSize(0, 0));
  EXPECT_EQ(aElement->PenStyle(CGraphicsContext::EDashedPen), 0);
  EXPECT_EQ(aElement->PenStyle(), CGraphicsContext::ENullPen);
  EXPECT_EQ(aElement->BrushColor(TRgb(10, 20, 30)), 0);
  EXPECT_EQ(aElement->BrushColor().Value(), 0u);
  EXPECT_EQ(aElement->BrushStyle(CGraphicsContext::ESolidBrush), 0);
  EXPECT_EQ(aElement->BrushStyle(), CGraphicsContext::ENullBrush);
  // Text and shape
  EXPECT_EQ(aElement->Color(TRgb(10, 20, 30)), 0);
  EXPECT_EQ(aElement->Color().Value(), 0u);
  // Sound operations
  EXPECT_EQ(aElement->SoundPlay(), 0);
  EXPECT_EQ(aElement->SoundPlay(5, 0), 0);
  EXPECT_EQ(aElement->SoundStop(), 0);
}

TEST(ElementFacade, EmptyFacadeAnswersEveryOperationWithItsNeutralValue) {
  Facade empty;
  Facade other(KPlainType);
  EXPECT_EQ(empty->Name(TPtrC(KName)), 0);
  EXPECT_EQ(empty->Name().Length(), 0);
  EXPECT_EQ(empty->Type(), 0);
  EXPECT_EQ(empty->Unload(EFalse), 0);
  EXPECT_EQ(empty->Unload(), EFalse);
  EXPECT_EQ(empty->Rect(), TRect(0, 0, 0, 0));
  EXPECT_EQ(empty->Width(), 0);
  EXPECT_EQ(empty->Height(), 0);
  EXPECT_EQ(empty->RegPoint(TPoint(1, 1)), 0);
  EXPECT_EQ(empty->RegPoint(), TPoint(0, 0));
  ExpectTypeSpecificNeutral(empty.Get(), other.Get());
  // Drawing an empty facade into another element does nothing either.
  EXPECT_EQ(other->Draw(empty.Get(), TRect(0, 0, 5, 5), TRect(0, 0, 5, 5)), 0);
}

TEST(ElementFacade, CommonOperationsActOnAnyPictureTypeAndTheRestAreNeutral) {
  Facade plain(KPlainType);
  plain.Base()->WidthSet(40);
  plain.Base()->HeightSet(30);
  EXPECT_EQ(plain->Type(), KPlainType);
  EXPECT_EQ(plain->Name(TPtrC(KName)), 1);
  EXPECT_TRUE(Same(plain->Name(), KName));
  EXPECT_EQ(plain->Unload(), ETrue);  // new elements may be compressed away
  EXPECT_EQ(plain->Unload(EFalse), 1);
  EXPECT_EQ(plain->Unload(), EFalse);
  EXPECT_EQ(plain->Rect(), TRect(0, 0, 40, 30));
  EXPECT_EQ(plain->Width(), 40);
  EXPECT_EQ(plain->Height(), 30);
  EXPECT_EQ(plain->RegPoint(TPoint(20, 15)), 1);
  EXPECT_EQ(plain->RegPoint(), TPoint(20, 15));
  Facade source(KPlainType);
  ExpectTypeSpecificNeutral(plain.Get(), source.Get());
  // None of the neutral calls marked the element changed; only the reg point did.
  plain.Base()->ResetChange();
  ExpectTypeSpecificNeutral(plain.Get(), source.Get());
  EXPECT_FALSE(plain.Base()->IsChanged());
}

TEST(ElementFacade, SoundHasNameTypeAndUnloadFlagButNoGeometry) {
  Facade sound(SOUND_ELEMENT);
  EXPECT_EQ(sound->Type(), 10);
  EXPECT_EQ(sound->Width(), 0);
  EXPECT_EQ(sound->Height(), 0);
  EXPECT_EQ(sound->Rect(), TRect(0, 0, 0, 0));
  EXPECT_EQ(sound->RegPoint(TPoint(5000, -3)), 0);
  EXPECT_EQ(sound->RegPoint(), TPoint(0, 0));
  EXPECT_EQ(sound.Base()->RegPoint(), TPoint(0, 0));
  EXPECT_EQ(sound->Unload(EFalse), 1);
  EXPECT_EQ(sound->Unload(), EFalse);
  EXPECT_EQ(sound->Name(TPtrC(KOther)), 1);
  EXPECT_TRUE(Same(sound->Name(), KOther));
}

TEST(ElementFacade, OnlyBitmapsKeepAMaskFlag) {
  Facade array(BITMAP_ARRAY_ELEMENT);
  array.Base()->WidthSet(100);
  array.Base()->HeightSet(100);
  array.Base()->ResetChange();
  EXPECT_EQ(array->Masked(ETrue), 0);
  EXPECT_EQ(array->Masked(EFalse), 0);
  EXPECT_EQ(array->Masked(), ETrue);
  EXPECT_FALSE(array.Base()->IsChanged());
  EXPECT_EQ(array->Rect(), TRect(0, 0, 100, 100));
}

// Elements are CBase objects and live on the heap, as on the device.
class Owned {
public:
  explicit Owned(TInt aType) : iElement(new CTestElement(aType)) {}
  ~Owned() { delete iElement; }
  CTestElement& operator*() { return *iElement; }

private:
  CTestElement* iElement;
};

TEST(ElementBase, RegPointIsClampedToTheElementAndTheElementPointRange) {
  Owned owned(BITMAP_ELEMENT);
  CTestElement& element = *owned;
  element.WidthSet(100);
  element.HeightSet(50);
  element.ResetChange();

  Facade facade(BITMAP_ELEMENT);
  facade.Base()->WidthSet(100);
  facade.Base()->HeightSet(50);
  EXPECT_EQ(facade->RegPoint(TPoint(5000, -3)), 1);
  EXPECT_EQ(facade->RegPoint(), TPoint(100, 0));

  // The far edge is allowed, one beyond is not.
  element.RegPointSet(TPoint(100, 50));
  EXPECT_EQ(element.RegPoint(), TPoint(100, 50));
  EXPECT_TRUE(element.IsChanged());
  element.ResetChange();
  element.RegPointSet(TPoint(101, 51));
  EXPECT_EQ(element.RegPoint(), TPoint(100, 50));
  EXPECT_FALSE(element.IsChanged());  // clamped to the stored point: no change
  element.RegPointSet(TPoint(KMinTInt, KMinTInt));
  EXPECT_EQ(element.RegPoint(), TPoint(0, 0));
  EXPECT_TRUE(element.IsChanged());

  // The element point range applies before the size: a huge element still stops at 65535.
  Owned ownedHuge(SHAPE_ELEMENT);
  CTestElement& huge = *ownedHuge;
  huge.WidthSet(100000);
  huge.HeightSet(70000);
  huge.RegPointSet(TPoint(KMaxTInt, 65536));
  EXPECT_EQ(huge.RegPoint(), TPoint(ELEMENT_POINT_MAX, ELEMENT_POINT_MAX));

  // The point is not re-clamped when the size shrinks later.
  huge.WidthSet(10);
  EXPECT_EQ(huge.RegPoint(), TPoint(ELEMENT_POINT_MAX, ELEMENT_POINT_MAX));
}

TEST(ElementBase, SizeIsAtLeastOneAndMarksChangeOnlyWhenItChanges) {
  Owned owned(BITMAP_ELEMENT);
  CTestElement& element = *owned;
  EXPECT_EQ(element.Width(), 1);
  EXPECT_EQ(element.Height(), 1);
  EXPECT_FALSE(element.IsChanged());
  element.WidthSet(0);
  element.HeightSet(-20);
  EXPECT_EQ(element.Width(), 1);
  EXPECT_EQ(element.Height(), 1);
  EXPECT_FALSE(element.IsChanged());
  element.WidthSet(64);
  EXPECT_TRUE(element.IsChanged());
  element.ResetChange();
  element.WidthSet(64);
  EXPECT_FALSE(element.IsChanged());
  element.HeightSet(2);
  EXPECT_EQ(element.Height(), 2);
  EXPECT_TRUE(element.IsChanged());
  // The unload flag is no change to what is drawn.
  element.ResetChange();
  element.UnloadSet(EFalse);
  EXPECT_FALSE(element.Unload());
  EXPECT_FALSE(element.IsChanged());
}

TEST(ElementBase, AccessCountNeverGoesBelowZero) {
  Owned owned(BITMAP_ELEMENT);
  CTestElement& element = *owned;
  EXPECT_EQ(element.Access(), 0);
  element.AccessRemove();
  EXPECT_EQ(element.Access(), 0);
  element.AccessAdd();
  element.AccessAdd();
  EXPECT_EQ(element.Access(), 2);
  element.AccessRemove();
  element.AccessRemove();
  element.AccessRemove();
  EXPECT_EQ(element.Access(), 0);
  element.AccessAdd();
  EXPECT_EQ(element.Access(), 1);
}

TEST(ElementBase, NameIsReplacedAndAnyLengthIsKept) {
  Owned owned(TEXT_ELEMENT);
  CTestElement& element = *owned;
  EXPECT_EQ(element.Name().Length(), 0);
  element.NameSetL(TPtrC(KName));
  EXPECT_TRUE(Same(element.Name(), KName));
  element.NameSetL(TPtrC(KOther));
  EXPECT_TRUE(Same(element.Name(), KOther));
  HBufC* longName = HBufC::NewL(5000);
  longName->Des().Fill('x', 5000);
  element.NameSetL(TPtrC(*longName));
  EXPECT_EQ(element.Name().Length(), 5000);
  delete longName;
  element.NameSetL(TPtrC());
  EXPECT_EQ(element.Name().Length(), 0);
}

TEST(ElementFacade, DeletingTheFacadeDeletesItsElement) {
  TBool destroyed = EFalse;
  {
    Facade facade(BITMAP_ELEMENT, &destroyed);
    facade->Name(TPtrC(KName));
    EXPECT_FALSE(destroyed);
  }
  EXPECT_TRUE(destroyed);

  // Attaching another element to a facade frees the one it held, and only that one.
  TBool first = EFalse;
  TBool second = EFalse;
  CZElement* facade = TZTestAccess::NewFacadeL(new CTestElement(KPlainType, &first));
  TZTestAccess::Attach(facade, new CTestElement(KPlainType, &second));
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  EXPECT_EQ(facade->Type(), KPlainType);
  TZTestAccess::DeleteFacade(facade);
  EXPECT_TRUE(second);
}

// Naming through the facade under every allocation failure: a failed copy answers 0,
// leaves the element nameless (the old name is gone) and leaks nothing.
TEST(ElementFacade, NamingSurvivesEveryAllocationFailure) {
  TInt failures = 0;
  for (TInt n = 1; n < 100; n++) {
    Facade facade(KPlainType);
    ASSERT_EQ(facade->Name(TPtrC(KOther)), 1);
    const TInt cells = ZHost::AllocCells();
    const TInt failedBefore = ZHost::FailedAllocations();
    __UHEAP_FAILNEXT(n);
    const TInt result = facade->Name(TPtrC(KName));
    __UHEAP_RESET;
    if (ZHost::FailedAllocations() == failedBefore) {
      EXPECT_EQ(result, 1);
      EXPECT_TRUE(Same(facade->Name(), KName));
      EXPECT_EQ(ZHost::AllocCells(), cells);  // one name replaced by another
      break;
    }
    failures++;
    EXPECT_EQ(result, 0) << "failing allocation " << n;
    EXPECT_EQ(facade->Name().Length(), 0);
    EXPECT_EQ(ZHost::AllocCells(), cells - 1);  // only the old name was freed
  }
  EXPECT_GE(failures, 1);
}

}  // namespace
