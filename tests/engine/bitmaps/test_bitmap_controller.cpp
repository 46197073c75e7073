// Bitmap and bitmap-array elements made by name through the controller: the size limit,
// reuse of an existing element, names taken by another type, allocation failures, and
// the rules for removing and compressing elements that are in use.

#include <gtest/gtest.h>
#include <zhost/allocfail.h>
#include <zhost/userlib.h>

#include <ZolvaneTesting.h>

#include "ZTestAccess.h"

namespace {

_LIT(KHero, "hero");
_LIT(KHeroCaps, "HERO");
_LIT(KTiles, "tiles");

TEST(BitmapController, BitmapsAreLimitedAndReusedByName) {
  ZTest::Harness h;
  CZController& c = h.Controller();
  CZElement* e = c.ElementBitmapAdd(2000, 10, TPtrC(KHero));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Type(), BITMAP_ELEMENT);
  EXPECT_EQ(e->Width(), 1024);
  EXPECT_EQ(e->Height(), 10);
  EXPECT_EQ(e->Pixel(1023, 9, 0x0ABC), 1);
  EXPECT_EQ(e->Pixel(1023, 9), 0x0ABC);
  EXPECT_EQ(c.Element(TPtrC(KHeroCaps)), e);
  // Again under the same name (in other letters): the same element with a new, blank bitmap.
  const TInt cells = ZHost::AllocCells();
  CZElement* again = c.ElementBitmapAdd(5, 3000, TPtrC(KHeroCaps));
  EXPECT_EQ(again, e);
  EXPECT_EQ(e->Width(), 5);
  EXPECT_EQ(e->Height(), 1024);
  EXPECT_EQ(e->Pixel(4, 9), 0);
  EXPECT_EQ(ZHost::AllocCells(), cells);  // the old bitmap was freed
  EXPECT_TRUE(e->Name().Compare(TPtrC(KHero)) == 0);  // the first name stays
  // Sizes below 1 are not raised: an empty bitmap, or none at all for a negative side.
  CZElement* empty = c.ElementBitmapAdd(0, 0, TPtrC(_L("empty")));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->Width(), 0);
  EXPECT_EQ(empty->Pixel(0, 0, 1), 0);
  EXPECT_EQ(c.ElementBitmapAdd(-1, 4, TPtrC(_L("negative"))), nullptr);
  EXPECT_EQ(c.Element(TPtrC(_L("negative"))), nullptr);
}

TEST(BitmapController, ArraysAreReusedAndEmptiedByName) {
  ZTest::Harness h;
  CZController& c = h.Controller();
  CZElement* tile = c.ElementBitmapAdd(16, 16, TPtrC(KHero));
  CZElement* a = c.ElementBitmapArrayAdd(3, 2, TPtrC(KTiles));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Type(), BITMAP_ARRAY_ELEMENT);
  EXPECT_EQ(a->ArrayWidth(), 3);
  EXPECT_EQ(a->ArrayHeight(), 2);
  EXPECT_EQ(a->Bitmap(2, 1, tile), 1);
  EXPECT_EQ(c.ElementBitmapArrayAdd(4, 4, TPtrC(_L("TILES"))), a);
  EXPECT_EQ(a->ArrayWidth(), 4);
  EXPECT_EQ(a->Bitmap(2, 1), nullptr);
  EXPECT_EQ(TZTestAccess::Base(tile)->Access(), 0);
  // A name taken by another type gives null and leaves that element alone.
  EXPECT_EQ(c.ElementBitmapArrayAdd(3, 3, TPtrC(KHero)), nullptr);
  EXPECT_EQ(c.Element(TPtrC(KHero)), tile);
  EXPECT_EQ(tile->Width(), 16);
  EXPECT_EQ(c.ElementBitmapAdd(8, 8, TPtrC(KTiles)), nullptr);
  EXPECT_EQ(c.Element(TPtrC(KTiles)), a);
  EXPECT_EQ(a->ArrayWidth(), 4);
  // Arrays are looked up before bitmaps.
  EXPECT_NE(c.ElementBitmapAdd(8, 8, TPtrC(_L("shared"))), nullptr);
  EXPECT_EQ(c.ElementBitmapArrayAdd(1, 1, TPtrC(_L("shared"))), nullptr);
}

// Creating an element under every allocation failure: null whenever an allocation
// failed, nothing leaked, and the element made once nothing fails.
template <class F>
void SweepCreation(CZController& aController, F aCreate) {
  _LIT(KSwept, "swept");
  // The element lists grow their buffers on first use; let that happen before counting.
  CZElement* warm = aCreate(aController, TPtrC(KSwept));
  ASSERT_NE(warm, nullptr);
  ASSERT_EQ(aController.ElementRemove(TPtrC(KSwept)), 1);
  TInt nulls = 0;
  const TInt runs = ZHost::SweepAllocFailures([&] {
    const TInt failed = ZHost::FailedAllocations();
    CZElement* e = aCreate(aController, TPtrC(KSwept));
    const TBool hit = ZHost::FailedAllocations() != failed;
    EXPECT_EQ(e == NULL, hit);
    if (e) {
      EXPECT_EQ(aController.Element(TPtrC(KSwept)), e);
      aController.ElementRemove(TPtrC(KSwept));
    } else {
      nulls++;
      EXPECT_EQ(aController.Element(TPtrC(KSwept)), nullptr);
    }
  });
  EXPECT_GT(runs, 1);
  EXPECT_EQ(nulls, runs - 1);
}

TEST(BitmapController, CreationUnderAllocationFailure) {
  ZTest::Harness h;
  SweepCreation(h.Controller(), [](CZController& c, TPtrC n) { return c.ElementBitmapAdd(30, 20, n); });
  SweepCreation(h.Controller(), [](CZController& c, TPtrC n) { return c.ElementBitmapArrayAdd(5, 4, n); });
  // Refilling an existing element: a failure gives null and keeps the element as it was.
  CZElement* e = h.Controller().ElementBitmapAdd(4, 4, TPtrC(KHero));
  ASSERT_NE(e, nullptr);
  e->Pixel(0, 0, 0x0123);
  __UHEAP_FAILNEXT(1);
  EXPECT_EQ(h.Controller().ElementBitmapAdd(9, 9, TPtrC(KHero)), nullptr);
  __UHEAP_RESET;
  EXPECT_EQ(e->Width(), 4);
  EXPECT_EQ(e->Pixel(0, 0), 0x0123);
}

TEST(BitmapController, ElementsInUseAreNeitherRemovedNorCompressed) {
  ZTest::Harness::Options options;
  options.channels = 2;
  ZTest::Harness h(options);
  CZController& c = h.Controller();
  CZElement* e = c.ElementBitmapAdd(10, 10, TPtrC(KHero));
  CZSprite* s = c.Sprite(1);
  s->Element(e);
  EXPECT_EQ(c.ElementRemove(TPtrC(KHero)), 0);
  c.Compress();
  EXPECT_EQ(c.Element(TPtrC(KHero)), e);
  s->Clear();
  // Released, but kept by its unload flag.
  EXPECT_EQ(e->Unload(EFalse), 1);
  c.Compress();
  EXPECT_EQ(c.Element(TPtrC(KHero)), e);
  e->Unload(ETrue);
  c.Compress();
  EXPECT_EQ(c.Element(TPtrC(KHero)), nullptr);

  // A cell of an array is a use too; removing the array releases it.
  CZElement* tile = c.ElementBitmapAdd(10, 10, TPtrC(KHero));
  CZElement* a = c.ElementBitmapArrayAdd(2, 2, TPtrC(KTiles));
  a->Bitmap(0, 0, tile);
  s->Element(a);
  EXPECT_EQ(c.ElementRemove(TPtrC(KHero)), 0);
  EXPECT_EQ(c.ElementRemove(TPtrC(KTiles)), 0);
  c.Compress();
  EXPECT_EQ(c.Element(TPtrC(KTiles)), a);
  EXPECT_EQ(c.Element(TPtrC(KHero)), tile);
  s->Element(NULL);
  EXPECT_EQ(c.ElementRemove(TPtrC(KHero)), 0);  // still in the array's cell
  EXPECT_EQ(c.ElementRemove(TPtrC(KTiles)), 1);
  EXPECT_EQ(c.ElementRemove(TPtrC(KHero)), 1);
  EXPECT_EQ(c.ElementRemove(TPtrC(KHero)), 0);  // gone
}

}  // namespace
