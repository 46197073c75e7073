// Bitmap elements (pixels, row layout, mask flag, adopting a bitmap) and bitmap-array
// elements (cells and the use counts of their members).

#include <gtest/gtest.h>
#include <zhost/allocfail.h>
#include <zhost/userlib.h>

#include "BitmapTesting.h"

using ZBitmapTest::Bitmap;

namespace {

TEST(BitmapElement, RowsUseAnEvenStride) {
  Bitmap b(3, 2);
  EXPECT_EQ(b->Type(), BITMAP_ELEMENT);
  EXPECT_EQ(b->Width(), 3);
  EXPECT_EQ(b->Height(), 2);
  EXPECT_EQ(b->Rect(), TRect(0, 0, 3, 2));
  TUint16* data = b->DataAddress();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(b->Pixel(2, 1, 0x0ABC), 1);
  EXPECT_EQ(data[6], 0x0ABC);
  data[4] = 0x0123;  // (0,1) written directly
  EXPECT_EQ(b->Pixel(0, 1), 0x0123);
  EXPECT_EQ(data[3], 0);  // the padding word of row 0 is never written
  // The word is stored as given, bits 12..15 included.
  EXPECT_EQ(b->Pixel(1, 0, 0xF00F), 1);
  EXPECT_EQ(b->Pixel(1, 0), 0xF00F);
}

TEST(BitmapElement, PixelsOutsideTheBitmapAreRefused) {
  Bitmap b(3, 2);
  b.Fill({1, 2, 3, 4, 5, 6});
  const TPoint outside[] = {TPoint(3, 0), TPoint(-1, 0), TPoint(0, 2), TPoint(0, -1), TPoint(KMaxTInt, KMaxTInt),
                            TPoint(KMinTInt, 1)};
  for (const TPoint& p : outside) {
    EXPECT_EQ(b->Pixel(p.iX, p.iY), 0);
    EXPECT_EQ(b->Pixel(p.iX, p.iY, 5), 0);
  }
  EXPECT_EQ(b.Pixels(), (std::vector<TUint16>{1, 2, 3, 4, 5, 6}));
  EXPECT_FALSE(b.Base()->IsChanged());
  EXPECT_EQ(b->Pixel(0, 0, 9), 1);
  EXPECT_TRUE(b.Base()->IsChanged());
}

TEST(BitmapElement, ChangedAndMaskFlags) {
  Bitmap b(2, 2);
  EXPECT_EQ(b->Masked(), ETrue);
  // Writing through the data address is not noticed until Changed().
  b->DataAddress()[0] = 7;
  EXPECT_FALSE(b.Base()->IsChanged());
  EXPECT_EQ(b->Changed(), 1);
  EXPECT_TRUE(b.Base()->IsChanged());
  b.Base()->ResetChange();
  EXPECT_EQ(b->Masked(EFalse), 1);
  EXPECT_EQ(b->Masked(), EFalse);
  EXPECT_TRUE(b.Base()->IsChanged());
  EXPECT_EQ(b->RegPoint(TPoint(5000, -3)), 1);
  EXPECT_EQ(b->RegPoint(), TPoint(2, 0));
}

TEST(BitmapElement, BitmapSetAdoptsANewBitmap) {
  const TInt cells = ZHost::AllocCells();
  {
    Bitmap b(4, 4);
    CWsBitmap* first = b.Base()->Bitmap();
    b.Base()->BitmapSet(NULL);
    b.Base()->BitmapSet(first);  // already attached: nothing happens
    EXPECT_EQ(b.Base()->Bitmap(), first);
    EXPECT_FALSE(b.Base()->IsChanged());
    CWsBitmap* second = new CWsBitmap;
    ASSERT_EQ(second->Create(TSize(7, 5), EColor4K), KErrNone);
    b.Base()->BitmapSet(second);  // the first one is freed (the cell count shows it)
    EXPECT_EQ(b.Base()->Bitmap(), second);
    EXPECT_EQ(b->Width(), 7);
    EXPECT_EQ(b->Height(), 5);
    EXPECT_TRUE(b.Base()->IsChanged());
    EXPECT_EQ(b->Pixel(6, 4, 1), 1);
    EXPECT_EQ(reinterpret_cast<TUint16*>(second->DataAddress())[6 + 4 * 8], 1);
  }
  EXPECT_EQ(ZHost::AllocCells(), cells);
  // An element without a bitmap answers like an empty one.
  CZElementBitmap* bare = CZElementBitmap::NewL();
  EXPECT_EQ(bare->DataAddress(), nullptr);
  EXPECT_EQ(bare->PixelSet(0, 0, 1), 0);
  EXPECT_EQ(bare->Pixel(0, 0), 0);
  Bitmap source(2, 2);
  bare->DrawBitmap(source.Base()->Bitmap(), TRect(0, 0, 2, 2), TRect(0, 0, 2, 2));
  delete bare;
}

// A bitmap array in a facade, deleted with the object.
class Array {
public:
  Array() : iBase(CZElementBitmapArray::NewL()), iFacade(TZTestAccess::NewFacadeL(iBase)) {}
  ~Array() { TZTestAccess::DeleteFacade(iFacade); }
  CZElement* operator->() { return iFacade; }
  CZElement* Get() { return iFacade; }
  CZElementBitmapArray* Base() { return iBase; }

private:
  CZElementBitmapArray* iBase;
  CZElement* iFacade;
};

TEST(BitmapArray, CellsCountTheirMembers) {
  Bitmap tile(8, 8);
  Array other;
  {
    Array a;
    EXPECT_EQ(a->Type(), BITMAP_ARRAY_ELEMENT);
    EXPECT_EQ(a->Rect(), TRect(0, 0, 100, 100));
    EXPECT_EQ(a->ArrayWidth(), 0);
    EXPECT_EQ(a->Bitmap(0, 0), nullptr);
    EXPECT_EQ(a->ArrayResize(2, 3), 1);
    EXPECT_EQ(a->ArrayWidth(), 2);
    EXPECT_EQ(a->ArrayHeight(), 3);
    a.Base()->ResetChange();
    // Only bitmap elements go in, only inside the grid.
    EXPECT_EQ(a->Bitmap(0, 0, other.Get()), 0);
    EXPECT_EQ(a->Bitmap(0, 0, NULL), 0);
    EXPECT_EQ(a->Bitmap(2, 0, tile.Get()), 0);
    EXPECT_EQ(a->Bitmap(0, 3, tile.Get()), 0);
    EXPECT_EQ(a->Bitmap(-1, 0, tile.Get()), 0);
    EXPECT_FALSE(a.Base()->IsChanged());
    EXPECT_EQ(tile.Base()->Access(), 0);
    // The same bitmap in four cells is four uses.
    EXPECT_EQ(a->Bitmap(0, 0, tile.Get()), 1);
    EXPECT_EQ(a->Bitmap(1, 0, tile.Get()), 1);
    EXPECT_EQ(a->Bitmap(0, 2, tile.Get()), 1);
    EXPECT_EQ(a->Bitmap(1, 2, tile.Get()), 1);
    EXPECT_TRUE(a.Base()->IsChanged());
    EXPECT_EQ(tile.Base()->Access(), 4);
    EXPECT_EQ(a->Bitmap(1, 2), tile.Get());  // cell x + y * width
    EXPECT_EQ(a->Bitmap(1, 1), nullptr);
    EXPECT_EQ(a->Bitmap(2, 2), nullptr);
    // Refilling a cell swaps one use for another.
    Bitmap second(4, 4);
    EXPECT_EQ(a->Bitmap(0, 0, second.Get()), 1);
    EXPECT_EQ(tile.Base()->Access(), 3);
    EXPECT_EQ(second.Base()->Access(), 1);
    EXPECT_EQ(a->Bitmap(1, 0, tile.Get()), 1);
    EXPECT_EQ(tile.Base()->Access(), 3);
    // Resizing empties every cell.
    a.Base()->ResetChange();
    EXPECT_EQ(a->ArrayResize(2, 3), 1);
    EXPECT_EQ(tile.Base()->Access(), 0);
    EXPECT_EQ(second.Base()->Access(), 0);
    EXPECT_EQ(a->Bitmap(1, 0), nullptr);
    EXPECT_TRUE(a.Base()->IsChanged());
    EXPECT_EQ(a->Bitmap(1, 1, second.Get()), 1);
    EXPECT_EQ(a->Bitmap(0, 0, tile.Get()), 1);
    EXPECT_EQ(a->Bitmap(1, 0, tile.Get()), 1);
    // Destroying the array releases its cells too (second goes before a).
    a->ArrayResize(1, 1);
    EXPECT_EQ(a->Bitmap(0, 0, tile.Get()), 1);
    EXPECT_EQ(tile.Base()->Access(), 1);
  }
  EXPECT_EQ(tile.Base()->Access(), 0);
}

TEST(BitmapArray, EmptyAndNegativeSizes) {
  Bitmap tile(2, 2);
  Array a;
  EXPECT_EQ(a->ArrayResize(0, 5), 1);
  EXPECT_EQ(a->ArrayWidth(), 0);
  EXPECT_EQ(a->ArrayHeight(), 5);
  EXPECT_EQ(a->Bitmap(0, 0), nullptr);
  EXPECT_EQ(a->Bitmap(0, 0, tile.Get()), 0);
  // Two negative sides are no grid at all, not a positive number of cells.
  EXPECT_EQ(a->ArrayResize(-2, -3), 1);
  EXPECT_EQ(a->ArrayWidth(), 0);
  EXPECT_EQ(a->ArrayHeight(), 0);
  EXPECT_EQ(a->Bitmap(0, 0, tile.Get()), 0);
  EXPECT_EQ(tile.Base()->Access(), 0);
  // A grid too large to address: refused, and the array is left empty.
  ASSERT_EQ(a->ArrayResize(1, 1), 1);
  ASSERT_EQ(a->Bitmap(0, 0, tile.Get()), 1);
  EXPECT_EQ(a->ArrayResize(KMaxTInt, KMaxTInt), 0);
  EXPECT_EQ(a->ArrayWidth(), 0);
  EXPECT_EQ(a->ArrayHeight(), 0);
  EXPECT_EQ(tile.Base()->Access(), 0);
}

TEST(BitmapArray, ResizeUnderAllocationFailureLeavesAnEmptyArray) {
  Bitmap tile(2, 2);
  Array a;
  // Making and sizing an array, and filling a cell, leak nothing at any failure.
  const TInt runs = ZHost::SweepAllocFailures([&] {
    CZElementBitmapArray* array = CZElementBitmapArray::NewLC();
    User::LeaveIfError(array->SizeSet(3, 3) ? KErrNone : KErrNoMemory);
    array->BitmapSet(2, 2, tile.Get());
    array->BitmapSet(1, 2, tile.Get());
    CleanupStack::PopAndDestroy(array);
  });
  EXPECT_GT(runs, 2);
  EXPECT_EQ(tile.Base()->Access(), 0);
  TInt failures = 0;
  // Now each failing step of a resize alone.
  for (TInt step = 1; step < 10; step++) {
    ASSERT_EQ(a->ArrayResize(1, 1), 1);
    ASSERT_EQ(a->Bitmap(0, 0, tile.Get()), 1);
    const TInt cells = ZHost::AllocCells();
    __UHEAP_FAILNEXT(step);
    const TInt result = a->ArrayResize(40, 30);
    __UHEAP_RESET;
    EXPECT_EQ(tile.Base()->Access(), 0);
    if (result == 0) {
      failures++;
      EXPECT_EQ(a->ArrayWidth(), 0);
      EXPECT_EQ(a->ArrayHeight(), 0);
      EXPECT_EQ(a->Bitmap(0, 0), nullptr);
      EXPECT_LE(ZHost::AllocCells(), cells);  // the old list went, no partial new one
    } else {
      EXPECT_EQ(a->ArrayWidth(), 40);
      EXPECT_EQ(a->ArrayHeight(), 30);
      break;
    }
  }
  EXPECT_GE(failures, 1);
}

}  // namespace
