// Bitmaps in memory: strides, pixel storage, sharing by handle, resizing, and allocation
// failures reaching the pixel store.
#include <fbs.h>
#include <gtest/gtest.h>
#include <w32std.h>
#include <zhost/allocfail.h>
#include <zhost/userlib.h>

TEST(Fbs, ScanLineLengthRoundsToWholeWords) {
  // 16-bit modes: the width rounded up to an even number of pixels.
  EXPECT_EQ(CFbsBitmap::ScanLineLength(1, EColor4K), 4);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(2, EColor4K), 4);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(3, EColor4K), 8);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(640, EColor4K), 1280);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(5, EColor64K), 12);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(3, EColor16M), 12);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(33, EGray2), 8);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(0, EColor4K), 0);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(-4, EColor4K), 0);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(10, ENone), 0);
  EXPECT_EQ(CFbsBitmap::ScanLineLength(KMaxTInt, ERgb), 0);  // overflow, not a wrapped value
}

TEST(Fbs, CreateGivesZeroFilledRowsAtTheStride) {
  CFbsBitmap* bmp = new CFbsBitmap;
  EXPECT_EQ(bmp->Handle(), 0);
  EXPECT_EQ(bmp->DataAddress(), nullptr);
  EXPECT_EQ(bmp->DisplayMode(), ENone);
  ASSERT_EQ(bmp->Create(TSize(3, 2), EColor4K), KErrNone);
  EXPECT_EQ(bmp->SizeInPixels(), TSize(3, 2));
  EXPECT_EQ(bmp->DisplayMode(), EColor4K);
  EXPECT_NE(bmp->Handle(), 0);
  TUint16* words = reinterpret_cast<TUint16*>(bmp->DataAddress());
  ASSERT_NE(words, nullptr);
  for (TInt i = 0; i < 8; ++i) EXPECT_EQ(words[i], 0) << i;
  // Row 1 starts at word 4 (stride 4 pixels).
  words[4] = 0x0f00;  // blue at (0,1)
  words[2] = 0x000f;  // red at (2,0)
  TRgb c;
  bmp->GetPixel(c, TPoint(0, 1));
  EXPECT_EQ(c, KRgbBlue);
  bmp->GetPixel(c, TPoint(2, 0));
  EXPECT_EQ(c, KRgbRed);
  bmp->GetPixel(c, TPoint(3, 0));  // the padding pixel is outside
  EXPECT_EQ(c, KRgbBlack);
  bmp->GetPixel(c, TPoint(0, -1));
  EXPECT_EQ(c, KRgbBlack);

  TBuf8<16> line;
  bmp->GetScanLine(line, TPoint(1, 1), 10, EColor4K);
  EXPECT_EQ(line.Length(), 4);  // pixels 1 and 2 only
  bmp->GetScanLine(line, TPoint(-1, 0), 10, EColor4K);
  ASSERT_EQ(line.Length(), 6);
  EXPECT_EQ(line[4], 0x0f);
  bmp->GetScanLine(line, TPoint(0, 2), 10, EColor4K);
  EXPECT_EQ(line.Length(), 0);

  bmp->LockHeap();
  bmp->UnlockHeap();
  bmp->Reset();
  EXPECT_EQ(bmp->SizeInPixels(), TSize(0, 0));
  EXPECT_EQ(bmp->DataAddress(), nullptr);
  delete bmp;
}

TEST(Fbs, CreateRejectsBadArguments) {
  CFbsBitmap bmp;
  EXPECT_EQ(bmp.Create(TSize(-1, 4), EColor4K), KErrArgument);
  EXPECT_EQ(bmp.Create(TSize(4, 4), ENone), KErrArgument);
  EXPECT_EQ(bmp.Create(TSize(KMaxTInt, 1), ERgb), KErrTooBig);
  EXPECT_EQ(bmp.Create(TSize(1 << 16, 1 << 16), EColor4K), KErrNoMemory);  // 8 GiB: over a cell's limit
  EXPECT_EQ(bmp.Handle(), 0);
  EXPECT_EQ(bmp.Create(TSize(0, 0), EColor4K), KErrNone);
  EXPECT_EQ(bmp.SizeInPixels(), TSize(0, 0));
}

TEST(Fbs, DuplicateSharesPixelsUntilTheLastReset) {
  const TInt cells = ZHost::AllocCells();
  {
    CFbsBitmap a;
    ASSERT_EQ(a.Create(TSize(4, 4), EColor4K), KErrNone);
    CWsBitmap b;  // the window server's kind is a bitmap too
    EXPECT_EQ(b.Duplicate(a.Handle()), KErrNone);
    EXPECT_EQ(b.DataAddress(), a.DataAddress());
    EXPECT_EQ(b.Handle(), a.Handle());
    EXPECT_EQ(ZHost::AllocCells(), cells + 1);
    a.Reset();
    reinterpret_cast<TUint16*>(b.DataAddress())[5] = 0x123;  // still alive
    EXPECT_EQ(b.SizeInPixels(), TSize(4, 4));
    CFbsBitmap c;
    EXPECT_EQ(c.Duplicate(0), KErrUnknown);
    EXPECT_EQ(c.Duplicate(b.Handle() + 1000), KErrUnknown);
    const TInt handle = b.Handle();
    b.Reset();
    EXPECT_EQ(ZHost::AllocCells(), cells);
    EXPECT_EQ(c.Duplicate(handle), KErrUnknown);  // the store is gone
  }
  EXPECT_EQ(ZHost::AllocCells(), cells);
}

TEST(Fbs, ResizeKeepsTheCommonArea) {
  CFbsBitmap a;
  ASSERT_EQ(a.Create(TSize(3, 3), EColor4K), KErrNone);
  TUint16* w = reinterpret_cast<TUint16*>(a.DataAddress());
  for (TInt y = 0; y < 3; ++y)
    for (TInt x = 0; x < 3; ++x) w[y * 4 + x] = static_cast<TUint16>(y * 16 + x + 1);
  CFbsBitmap dup;
  ASSERT_EQ(dup.Duplicate(a.Handle()), KErrNone);
  ASSERT_EQ(a.Resize(TSize(5, 2)), KErrNone);
  EXPECT_NE(a.Handle(), dup.Handle());
  EXPECT_EQ(dup.SizeInPixels(), TSize(3, 3));
  w = reinterpret_cast<TUint16*>(a.DataAddress());
  const TUint16 expected[2][6] = {{1, 2, 3, 0, 0, 0}, {17, 18, 19, 0, 0, 0}};
  for (TInt y = 0; y < 2; ++y)
    for (TInt x = 0; x < 6; ++x) EXPECT_EQ(w[y * 6 + x], expected[y][x]) << x << "," << y;
  CFbsBitmap empty;
  EXPECT_NE(empty.Resize(TSize(2, 2)), KErrNone);
  EXPECT_EQ(a.Resize(TSize(-1, 2)), KErrArgument);
}

TEST(Fbs, AllocationFailuresReachThePixelStore) {
  const TInt cells = ZHost::AllocCells();
  CFbsBitmap a;
  __UHEAP_FAILNEXT(1);
  EXPECT_EQ(a.Create(TSize(8, 8), EColor4K), KErrNoMemory);
  __UHEAP_RESET;
  EXPECT_EQ(a.Handle(), 0);
  EXPECT_EQ(ZHost::AllocCells(), cells);
  ASSERT_EQ(a.Create(TSize(8, 8), EColor4K), KErrNone);
  TUint32* before = a.DataAddress();
  __UHEAP_FAILNEXT(1);
  EXPECT_EQ(a.Resize(TSize(16, 16)), KErrNoMemory);
  __UHEAP_RESET;
  EXPECT_EQ(a.DataAddress(), before);  // unchanged on failure
  EXPECT_EQ(a.SizeInPixels(), TSize(8, 8));

  const TInt runs = ZHost::SweepAllocFailures([] {
    CFbsBitmap* b = new (ELeave) CFbsBitmap;
    CleanupStack::PushL(b);
    User::LeaveIfError(b->Create(TSize(10, 10), EColor4K));
    User::LeaveIfError(b->Resize(TSize(20, 20)));
    CleanupStack::PopAndDestroy(b);
  });
  EXPECT_EQ(runs, 4);
}
