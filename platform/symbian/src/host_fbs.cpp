// Bitmaps in memory. Each pixel store is one cell of the counted heap: a small header
// followed by the rows. Live stores are kept in a list so that Duplicate can find one by
// its handle.
#include <fbs.h>
#include <zhost/wsbitmap.h>

#include <algorithm>
#include <cstring>

class TFbsBitmapData {
public:
  TFbsBitmapData* iNext;
  TInt iHandle;
  TInt iRefs;
  TSize iSize;
  TDisplayMode iMode;
  TInt iStride;
  // The rows follow, aligned to 8 bytes.
  TUint32* Pixels() { return reinterpret_cast<TUint32*>(this + 1); }
};

static_assert(sizeof(TFbsBitmapData) % 8 == 0, "pixel rows must start 8-byte aligned");

namespace {

TFbsBitmapData* gStores = NULL;
TInt gLastHandle = 0;

TFbsBitmapData* NewStore(const TSize& aSize, TDisplayMode aMode) {
  const TInt stride = CFbsBitmap::ScanLineLength(aSize.iWidth, aMode);
  const TInt64 bytes = static_cast<TInt64>(stride) * aSize.iHeight;
  if (bytes > KMaxTInt - static_cast<TInt64>(sizeof(TFbsBitmapData))) {
    return NULL;
  }
  TAny* cell = User::Alloc(static_cast<TInt>(sizeof(TFbsBitmapData) + bytes));
  if (!cell) {
    return NULL;
  }
  TFbsBitmapData* store = static_cast<TFbsBitmapData*>(cell);
  store->iNext = gStores;
  // Handles stay positive and are not reused while any store with that handle lives
  // (wrapping would need 2^31 creations in one run).
  if (gLastHandle == KMaxTInt) {
    gLastHandle = 0;
  }
  store->iHandle = ++gLastHandle;
  store->iRefs = 1;
  store->iSize = aSize;
  store->iMode = aMode;
  store->iStride = stride;
  std::memset(store->Pixels(), 0, static_cast<size_t>(bytes));
  gStores = store;
  return store;
}

void ReleaseStore(TFbsBitmapData* aStore) {
  if (!aStore || --aStore->iRefs > 0) {
    return;
  }
  for (TFbsBitmapData** link = &gStores; *link; link = &(*link)->iNext) {
    if (*link == aStore) {
      *link = aStore->iNext;
      break;
    }
  }
  User::Free(aStore);
}

}  // namespace

EXPORT_C CFbsBitmap::CFbsBitmap() : iData(NULL) {}

EXPORT_C CFbsBitmap::~CFbsBitmap() {
  Reset();
}

EXPORT_C TInt CFbsBitmap::BitsPerPixel(TDisplayMode aDispMode) {
  switch (aDispMode) {
    case EGray2:
      return 1;
    case EGray4:
      return 2;
    case EGray16:
    case EColor16:
      return 4;
    case EGray256:
    case EColor256:
      return 8;
    case EColor4K:
    case EColor64K:
      return 16;
    case EColor16M:
      return 24;
    case ERgb:
      return 32;
    default:
      return 0;
  }
}

EXPORT_C TInt CFbsBitmap::ScanLineLength(TInt aLength, TDisplayMode aDispMode) {
  const TInt bpp = BitsPerPixel(aDispMode);
  if (aLength <= 0 || bpp == 0) {
    return 0;
  }
  const TInt64 words = (static_cast<TInt64>(aLength) * bpp + 31) / 32;
  const TInt64 bytes = words * 4;
  return bytes > KMaxTInt ? 0 : static_cast<TInt>(bytes);
}

EXPORT_C TInt CFbsBitmap::Create(const TSize& aSizeInPixels, TDisplayMode aDispMode) {
  Reset();
  if (aSizeInPixels.iWidth < 0 || aSizeInPixels.iHeight < 0 || BitsPerPixel(aDispMode) == 0) {
    return KErrArgument;
  }
  if (aSizeInPixels.iWidth > 0 && ScanLineLength(aSizeInPixels.iWidth, aDispMode) == 0) {
    return KErrTooBig;
  }
  iData = NewStore(aSizeInPixels, aDispMode);
  return iData ? KErrNone : KErrNoMemory;
}

EXPORT_C TInt CFbsBitmap::Duplicate(TInt aHandle) {
  for (TFbsBitmapData* store = gStores; store; store = store->iNext) {
    if (store->iHandle == aHandle && aHandle != 0) {
      if (store != iData) {
        ++store->iRefs;
        Reset();
        iData = store;
      }
      return KErrNone;
    }
  }
  return KErrUnknown;
}

EXPORT_C TInt CFbsBitmap::Resize(const TSize& aSizeInPixels) {
  if (!iData) {
    return KErrGeneral;
  }
  if (aSizeInPixels.iWidth < 0 || aSizeInPixels.iHeight < 0) {
    return KErrArgument;
  }
  if (aSizeInPixels.iWidth > 0 && ScanLineLength(aSizeInPixels.iWidth, iData->iMode) == 0) {
    return KErrTooBig;
  }
  TFbsBitmapData* store = NewStore(aSizeInPixels, iData->iMode);
  if (!store) {
    return KErrNoMemory;
  }
  const TInt rows = std::min(aSizeInPixels.iHeight, iData->iSize.iHeight);
  const TInt width = std::min(aSizeInPixels.iWidth, iData->iSize.iWidth);
  const TInt rowBytes = static_cast<TInt>((static_cast<TInt64>(width) * BitsPerPixel(iData->iMode) + 7) / 8);
  const TUint8* from = reinterpret_cast<const TUint8*>(iData->Pixels());
  TUint8* to = reinterpret_cast<TUint8*>(store->Pixels());
  for (TInt y = 0; y < rows; ++y) {
    std::memcpy(to + static_cast<size_t>(y) * store->iStride, from + static_cast<size_t>(y) * iData->iStride,
                static_cast<size_t>(rowBytes));
  }
  ReleaseStore(iData);
  iData = store;
  return KErrNone;
}

EXPORT_C void CFbsBitmap::Reset() {
  ReleaseStore(iData);
  iData = NULL;
}

EXPORT_C TSize CFbsBitmap::SizeInPixels() const {
  return iData ? iData->iSize : TSize(0, 0);
}

EXPORT_C TDisplayMode CFbsBitmap::DisplayMode() const {
  return iData ? iData->iMode : ENone;
}

EXPORT_C TUint32* CFbsBitmap::DataAddress() const {
  return iData ? iData->Pixels() : NULL;
}

EXPORT_C TInt CFbsBitmap::Handle() const {
  return iData ? iData->iHandle : 0;
}

namespace {

// The value of pixel aX of a row in a mode of at most 32 bits per pixel.
TUint32 PixelValue(const TUint8* aRow, TInt aX, TInt aBpp) {
  switch (aBpp) {
    case 16:
      return reinterpret_cast<const TUint16*>(aRow)[aX];
    case 24: {
      const TUint8* p = aRow + aX * 3;
      return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    case 32:
      return reinterpret_cast<const TUint32*>(aRow)[aX];
    case 8:
      return aRow[aX];
    default: {
      const TInt bit = aX * aBpp;
      return (aRow[bit / 8] >> (bit % 8)) & ((1u << aBpp) - 1);
    }
  }
}

}  // namespace

EXPORT_C void CFbsBitmap::GetPixel(TRgb& aColor, const TPoint& aPixel) const {
  aColor = KRgbBlack;
  if (!iData || aPixel.iX < 0 || aPixel.iY < 0 || aPixel.iX >= iData->iSize.iWidth ||
      aPixel.iY >= iData->iSize.iHeight) {
    return;
  }
  const TUint8* row = reinterpret_cast<const TUint8*>(iData->Pixels()) + static_cast<size_t>(aPixel.iY) * iData->iStride;
  const TUint32 v = PixelValue(row, aPixel.iX, BitsPerPixel(iData->iMode));
  switch (iData->iMode) {
    case EGray2:
      aColor = TRgb::Gray2(static_cast<TInt>(v));
      break;
    case EGray4:
      aColor = TRgb::Gray4(static_cast<TInt>(v));
      break;
    case EGray16:
      aColor = TRgb::Gray16(static_cast<TInt>(v));
      break;
    case EGray256:
      aColor = TRgb::Gray256(static_cast<TInt>(v));
      break;
    case EColor4K:
      aColor = TRgb::Color4K(static_cast<TInt>(v));
      break;
    case EColor64K:
      aColor = TRgb::Color64K(static_cast<TInt>(v));
      break;
    case EColor16M:
    case ERgb:
      aColor = TRgb::Color16M(static_cast<TInt>(v & 0xffffff));
      break;
    default:
      // Palette modes keep the index as grey levels here.
      aColor = TRgb::Gray256(static_cast<TInt>(v));
      break;
  }
}

EXPORT_C void CFbsBitmap::GetScanLine(TDes8& aBuf, const TPoint& aPoint, TInt aLength, TDisplayMode aDispMode) const {
  aBuf.Zero();
  (void)aDispMode;
  if (!iData || aPoint.iY < 0 || aPoint.iY >= iData->iSize.iHeight || aLength <= 0) {
    return;
  }
  const TInt bpp = BitsPerPixel(iData->iMode);
  if (bpp % 8 != 0) {
    return;  // sub-byte modes are not read row-wise on this host
  }
  const TInt x = std::max(0, aPoint.iX);
  const TInt64 wanted = static_cast<TInt64>(aPoint.iX) + aLength;
  const TInt end = static_cast<TInt>(std::min<TInt64>(iData->iSize.iWidth, wanted));
  if (end <= x) {
    return;
  }
  const TInt bytesPer = bpp / 8;
  const TInt count = std::min((end - x) * bytesPer, aBuf.MaxLength()) / bytesPer * bytesPer;
  const TUint8* row = reinterpret_cast<const TUint8*>(iData->Pixels()) + static_cast<size_t>(aPoint.iY) * iData->iStride;
  aBuf.Copy(TPtrC8(row + x * bytesPer, count));
}

EXPORT_C CWsBitmap::CWsBitmap() {}

EXPORT_C CWsBitmap::CWsBitmap(RWsSession& aWs) {
  (void)aWs;
}

EXPORT_C CWsBitmap::~CWsBitmap() {}
