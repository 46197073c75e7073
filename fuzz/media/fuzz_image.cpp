// The image converter on any bytes, as the engine drives it: open (the format's headers
// are held to the memory budget before anything is decoded), then every picture's
// information and its conversion into a 4096-colour bitmap no larger than the engine
// makes, under the converter's limits scaled down. Every cell of the counted heap must
// be freed again. Run with -rss_limit_mb=1024 -malloc_limit_mb=512 (scripts/fuzz does):
// a decoder that allocates what a file claims fails there.
#include <fbs.h>
#include <mdaimageconverter.h>
#include <zhost/picture.h>
#include <zhost/userlib.h>
#include <zhost_testing.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The engine's limit for a bitmap side is 1024; smaller bitmaps keep the runs quick and
// still take every decoder through its scaled paths.
const TInt KBitmapSide = 256;
const TInt KMaxPictures = 8;
const TInt KLimitPixels = 512 * 512;
const TInt64 KLimitBytes = 8 << 20;

class TObserver : public MMdaImageUtilObserver {
public:
  void MiuoCreateComplete(TInt) override {}
  void MiuoOpenComplete(TInt aError) override { iOpen = aError; }
  void MiuoConvertComplete(TInt aError) override { iConvert = aError; }
  TInt iOpen = 1;
  TInt iConvert = 1;
};

ZHost::Testing::TestEnvironment* gEnv = nullptr;

void RunOnce(const TUint8* aData, TInt aLength) {
  TObserver observer;
  CMdaImageDescToBitmapUtility* utility = NULL;
  TRAPD(err, utility = CMdaImageDescToBitmapUtility::NewL(observer));
  if (err != KErrNone) std::abort();
  TPtrC8 data(aData, aLength);
  TRAP(err, utility->OpenL(data));
  gEnv->RunUntilIdle();
  if (err == KErrNone && observer.iOpen == KErrNone) {
    for (TInt k = 0; k < utility->FrameCount() && k < KMaxPictures; ++k) {
      TFrameInfo info;
      utility->FrameInfo(k, info);
      TSize size = info.iOverallSizeInPixels;
      if (size.iWidth > KBitmapSide) size.iWidth = KBitmapSide;
      if (size.iHeight > KBitmapSide) size.iHeight = KBitmapSide;
      CFbsBitmap bitmap;
      if (bitmap.Create(size, EColor4K) != KErrNone) continue;
      observer.iConvert = 1;
      TRAP(err, utility->ConvertL(bitmap, k));
      if (err == KErrNone) gEnv->RunUntilIdle();
      if (err == KErrNone && observer.iConvert == 1) std::abort();  // a conversion never completed
    }
  }
  delete utility;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gEnv = new ZHost::Testing::TestEnvironment("Fuzz");
  // The converter's limits scaled down, so that every limit is met by small inputs in
  // little time: a decoder that escapes them still shows as a large allocation.
  ZHost::Picture::SetLimitsForTesting(KLimitPixels, KLimitBytes);
  // The first run makes what the platform keeps for the rest of the process.
  static const TUint8 KPnm[] = "P5 1 1 255\n\x80";
  RunOnce(KPnm, sizeof(KPnm) - 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  if (aSize > (1u << 22)) return 0;
  const TInt cells = ZHost::AllocCells();
  RunOnce(aData, static_cast<TInt>(aSize));
  const TInt leaked = ZHost::AllocCells() - cells;
  if (leaked != 0) {
    std::fprintf(stderr, "image conversion leaked %d cell(s)\n", leaked);
    std::abort();
  }
  return 0;
}
