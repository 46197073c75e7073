// The image converter: multi-bitmap files through our own codec, JPEG through libjpeg
// at a reduced scale, everything else through SDL2_image, all resampled into
// 4096-colour bitmaps by a box filter. Every file is held to the memory budget of
// zhost/picture.h from its headers before anything of it is decoded.
#include <mdaimageconverter.h>
#include <zhost/jpeg.h>
#include <zhost/mbm.h>
#include <zhost/picture.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

#include <malloc.h>

namespace {

// Streams picture rows into a 4096-colour bitmap of any size. Each bitmap pixel
// averages the picture pixels of the integer rectangle its area covers (at least one
// pixel, so enlarging repeats the nearest pixel); the average's channels are then cut
// to their top four bits.
class TBoxScaler : public ZHost::Jpeg::MScaledSink {
public:
  explicit TBoxScaler(CFbsBitmap& aTarget)
      : iTarget(aTarget), iTw(aTarget.SizeInPixels().iWidth), iTh(aTarget.SizeInPixels().iHeight) {}

  ~TBoxScaler() {
    User::Free(iColumns);
    User::Free(iSums);
  }

  // The picture's size, before its first row.
  TInt Begin(TInt aSourceWidth, TInt aSourceHeight) override {
    iSw = aSourceWidth;
    iSh = aSourceHeight;
    if (iTw <= 0 || iTh <= 0 || iColumns) {
      return KErrNone;  // nothing to write, or already prepared
    }
    iColumns = static_cast<TInt*>(User::Alloc(static_cast<TInt>(sizeof(TInt)) * (iTw + 1)));
    iSums = static_cast<TUint64*>(User::Alloc(static_cast<TInt>(sizeof(TUint64)) * 4 * iTw));
    if (!iColumns || !iSums) {
      return KErrNoMemory;
    }
    for (TInt x = 0; x <= iTw; ++x) {
      iColumns[x] = static_cast<TInt>(static_cast<TInt64>(x) * iSw / iTw);
    }
    std::memset(iSums, 0, sizeof(TUint64) * 4 * iTw);
    return KErrNone;
  }

  TInt Row(TInt aY, const TUint32* aPixels, TInt aWidth) override {
    if (iTw <= 0 || iTh <= 0 || !iColumns || aWidth != iSw) {
      return KErrNone;
    }
    while (iTy < iTh) {
      const TInt y0 = SourceStart(iTy, iSh, iTh);
      const TInt y1 = SourceEnd(iTy, iSh, iTh);
      if (aY < y0) {
        return KErrNone;
      }
      Accumulate(aPixels);
      if (aY + 1 < y1) {
        return KErrNone;
      }
      Emit();
      ++iTy;
    }
    return KErrNone;
  }

private:
  static TInt SourceStart(TInt aT, TInt aSource, TInt aTarget) {
    return static_cast<TInt>(static_cast<TInt64>(aT) * aSource / aTarget);
  }
  static TInt SourceEnd(TInt aT, TInt aSource, TInt aTarget) {
    const TInt start = SourceStart(aT, aSource, aTarget);
    const TInt end = static_cast<TInt>(static_cast<TInt64>(aT + 1) * aSource / aTarget);
    return end > start ? end : start + 1;
  }

  void Accumulate(const TUint32* aPixels) {
    for (TInt x = 0; x < iTw; ++x) {
      const TInt x0 = iColumns[x];
      const TInt x1 = iColumns[x + 1] > x0 ? iColumns[x + 1] : x0 + 1;
      TUint64* sum = iSums + 4 * x;
      for (TInt sx = x0; sx < x1; ++sx) {
        const TUint32 p = aPixels[sx];
        sum[0] += p & 0xFF;
        sum[1] += (p >> 8) & 0xFF;
        sum[2] += (p >> 16) & 0xFF;
      }
      sum[3] += static_cast<TUint64>(x1 - x0);
    }
  }

  void Emit() {
    TUint8* base = reinterpret_cast<TUint8*>(iTarget.DataAddress());
    const TInt stride = CFbsBitmap::ScanLineLength(iTw, EColor4K);
    TUint16* row = reinterpret_cast<TUint16*>(base + static_cast<TInt64>(stride) * iTy);
    for (TInt x = 0; x < iTw; ++x) {
      TUint64* sum = iSums + 4 * x;
      const TUint64 n = sum[3] ? sum[3] : 1;
      const TInt r = static_cast<TInt>(sum[0] / n);
      const TInt g = static_cast<TInt>(sum[1] / n);
      const TInt b = static_cast<TInt>(sum[2] / n);
      row[x] = static_cast<TUint16>(TRgb(r, g, b).Color4K());
      sum[0] = sum[1] = sum[2] = sum[3] = 0;
    }
  }

  TInt iSw = 0;
  TInt iSh = 0;
  CFbsBitmap& iTarget;
  TInt iTw;
  TInt iTh;
  TInt iTy = 0;
  TInt* iColumns = NULL;
  TUint64* iSums = NULL;
};

// Rows of a converted strip are at most this many pixels together.
const TInt KStripPixels = 65536;

// One SDL surface (a picture of any format) streamed row by row, blended over white.
// The surface is converted a strip of rows at a time (through a view that shares its
// pixels, palette and colour key), so no second copy of the whole picture is made.
TInt StreamSurface(SDL_Surface* aSurface, ZHost::Mbm::MRowSink& aSink) {
  const TInt width = aSurface->w;
  const TInt height = aSurface->h;
  TInt err = KErrNone;
  TUint32* row = static_cast<TUint32*>(User::Alloc(static_cast<TInt>(sizeof(TUint32)) * (width > 0 ? width : 1)));
  if (!row) return KErrNoMemory;
  Uint32 key = 0;
  const TBool keyed = SDL_GetColorKey(aSurface, &key) == 0;
  const TInt stripRows = width > 0 && width < KStripPixels ? KStripPixels / width : 1;
  const TBool locked = SDL_LockSurface(aSurface) == 0;
  if (!locked) err = KErrGeneral;
  for (TInt top = 0; err == KErrNone && top < height; top += stripRows) {
    const TInt rows = height - top < stripRows ? height - top : stripRows;
    SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(
        static_cast<TUint8*>(aSurface->pixels) + static_cast<TInt64>(aSurface->pitch) * top, width, rows,
        aSurface->format->BitsPerPixel, aSurface->pitch, aSurface->format->format);
    SDL_Surface* rgba = NULL;
    if (view && (!aSurface->format->palette || SDL_SetSurfacePalette(view, aSurface->format->palette) == 0) &&
        (!keyed || SDL_SetColorKey(view, SDL_TRUE, key) == 0)) {
      rgba = SDL_ConvertSurfaceFormat(view, SDL_PIXELFORMAT_ABGR8888, 0);
    }
    if (!rgba) err = KErrNoMemory;
    for (TInt y = 0; err == KErrNone && y < rows; ++y) {
      const TUint8* src = static_cast<const TUint8*>(rgba->pixels) + static_cast<TInt64>(rgba->pitch) * y;
      for (TInt x = 0; x < width; ++x) {
        const TUint8* p = src + 4 * x;
        const TInt a = p[3];
        const TInt r = (p[0] * a + 255 * (255 - a)) / 255;
        const TInt g = (p[1] * a + 255 * (255 - a)) / 255;
        const TInt b = (p[2] * a + 255 * (255 - a)) / 255;
        row[x] = TRgb(r, g, b).Value();
      }
      err = aSink.Row(top + y, row, width);
    }
    SDL_FreeSurface(rgba);
    SDL_FreeSurface(view);
  }
  if (locked) SDL_UnlockSurface(aSurface);
  User::Free(row);
  return err;
}

// SDL2_image's own decoders (GIF, BMP, ICO, PCX, PNM, XPM, QOI) allocate through
// SDL_malloc. While one of them runs, this counts what it holds on this thread and
// refuses any allocation that would take it past the budget, so that a file whose
// decoder reads it otherwise than its header said still cannot take more.
class TSdlBudget {
public:
  TSdlBudget() {
    Install();
    iHeld = 0;
    iExceeded = EFalse;
    iActive = ETrue;
  }
  ~TSdlBudget() { iActive = EFalse; }
  static TBool Exceeded() { return iExceeded; }

private:
  static void Install() {
    static const TBool installed = [] {
      SDL_GetMemoryFunctions(&iMalloc, &iCalloc, &iRealloc, &iFree);
      SDL_SetMemoryFunctions(Malloc, Calloc, Realloc, Free);
      return ETrue;
    }();
    (void)installed;
  }
  static TBool Admit(size_t aBytes) {
    if (!iActive) return ETrue;
    if (aBytes > static_cast<size_t>(ZHost::Picture::MaxDecodedBytes() - iHeld)) {
      iExceeded = ETrue;
      return EFalse;
    }
    return ETrue;
  }
  static void Count(void* aCell, TBool aAdd) {
    if (iActive && aCell) iHeld += (aAdd ? 1 : -1) * static_cast<TInt64>(malloc_usable_size(aCell));
  }
  static void* SDLCALL Malloc(size_t aSize) {
    if (!Admit(aSize)) return NULL;
    void* cell = iMalloc(aSize);
    Count(cell, ETrue);
    return cell;
  }
  static void* SDLCALL Calloc(size_t aCount, size_t aSize) {
    if (aSize && aCount > static_cast<size_t>(ZHost::Picture::MaxDecodedBytes()) / aSize) {
      if (iActive) iExceeded = ETrue;
      return iActive ? NULL : iCalloc(aCount, aSize);
    }
    if (!Admit(aCount * aSize)) return NULL;
    void* cell = iCalloc(aCount, aSize);
    Count(cell, ETrue);
    return cell;
  }
  static void* SDLCALL Realloc(void* aCell, size_t aSize) {
    if (!Admit(aSize)) return NULL;
    const TInt64 old = iActive && aCell ? static_cast<TInt64>(malloc_usable_size(aCell)) : 0;
    void* cell = iRealloc(aCell, aSize);
    if (cell) {
      Count(cell, ETrue);
      iHeld -= old;
    } else if (aSize == 0) {
      iHeld -= old;  // freed
    }
    return cell;
  }
  static void SDLCALL Free(void* aCell) {
    Count(aCell, EFalse);
    iFree(aCell);
  }

  static inline SDL_malloc_func iMalloc = NULL;
  static inline SDL_calloc_func iCalloc = NULL;
  static inline SDL_realloc_func iRealloc = NULL;
  static inline SDL_free_func iFree = NULL;
  static inline thread_local TBool iActive = EFalse;
  static inline thread_local TBool iExceeded = EFalse;
  static inline thread_local TInt64 iHeld = 0;
};

// Decodes a single-picture format with its own loader (never by guessing again, so the
// decoder is the one whose header was checked).
SDL_Surface* LoadSdl(ZHost::Picture::TFormat aFormat, SDL_RWops* aRw) {
  using namespace ZHost::Picture;
  switch (aFormat) {
    case EPng: return IMG_LoadPNG_RW(aRw);
    case EBmp: return IMG_LoadBMP_RW(aRw);
    case EIco: return IMG_LoadICO_RW(aRw);
    case ECur: return IMG_LoadCUR_RW(aRw);
    case ETiff: return IMG_LoadTIF_RW(aRw);
    case EWebp: return IMG_LoadWEBP_RW(aRw);
    case EPcx: return IMG_LoadPCX_RW(aRw);
    case EPnm: return IMG_LoadPNM_RW(aRw);
    case EXpm: return IMG_LoadXPM_RW(aRw);
    case EQoi: return IMG_LoadQOI_RW(aRw);
    default: return NULL;
  }
}

}  // namespace

class CMdaImageDescToBitmapUtilityImpl : public CActive {
public:
  enum TState { EIdle, EOpening, EOpen, EConverting };

  explicit CMdaImageDescToBitmapUtilityImpl(MMdaImageUtilObserver& aObserver)
      : CActive(CActive::EPriorityStandard), iObserver(aObserver) {
    CActiveScheduler::Add(this);
  }

  ~CMdaImageDescToBitmapUtilityImpl() { Close(); }

  void OpenL(const TDesC8& aData) {
    if (iState != EIdle) {
      User::Leave(KErrInUse);
    }
    iData.Set(aData);
    iState = EOpening;
    Complete();
  }

  TInt FrameCount() const {
    if (iState != EOpen && iState != EConverting) return 0;
    return iAnimation ? iAnimation->count : iCount;
  }

  void FrameInfo(TInt aFrame, TFrameInfo& aInfo) const {
    aInfo = TFrameInfo();
    aInfo.iBitsPerPixel = 0;
    aInfo.iFlags = 0;
    if (aFrame < 0 || aFrame >= FrameCount()) return;
    if (iAnimation) {
      const TSize size(iAnimation->w, iAnimation->h);
      aInfo.iOverallSizeInPixels = size;
      aInfo.iFrameCoordsInPixels = TRect(TPoint(0, 0), size);
      aInfo.iBitsPerPixel = 24;
      aInfo.iDelay = static_cast<TInt64>(iAnimation->delays ? iAnimation->delays[aFrame] : 0) * 1000;
      aInfo.iFlags = TFrameInfo::EColor | TFrameInfo::ETransparencyPossible;
      return;
    }
    if (iInfo.iFormat != ZHost::Picture::EMbm) {
      const TSize size = iSurface ? TSize(iSurface->w, iSurface->h) : TSize(iInfo.iWidth, iInfo.iHeight);
      aInfo.iOverallSizeInPixels = size;
      aInfo.iFrameCoordsInPixels = TRect(TPoint(0, 0), size);
      aInfo.iBitsPerPixel = 24;
      aInfo.iFlags = TFrameInfo::EColor | TFrameInfo::ETransparencyPossible;
      return;
    }
    ZHost::Mbm::TPictureHeader header;
    if (ZHost::Mbm::ReadHeader(iData.Ptr(), iData.Length(), aFrame, header) != KErrNone) return;
    const TSize size(header.iWidth, header.iHeight);
    aInfo.iOverallSizeInPixels = size;
    aInfo.iFrameCoordsInPixels = TRect(TPoint(0, 0), size);
    aInfo.iFrameSizeInTwips = TSize(header.iTwipsWidth, header.iTwipsHeight);
    aInfo.iBitsPerPixel = header.iBitsPerPixel;
    aInfo.iFlags = header.iColor ? TFrameInfo::EColor : 0;
  }

  void ConvertL(CFbsBitmap& aBitmap, TInt aFrame) {
    if (iState == EConverting) User::Leave(KErrInUse);
    if (iState != EOpen) User::Leave(KErrNotReady);
    if (aFrame < 0 || aFrame >= FrameCount()) User::Leave(KErrArgument);
    if (aBitmap.DisplayMode() != EColor4K) User::Leave(KErrNotSupported);
    iBitmap = &aBitmap;
    iFrame = aFrame;
    iState = EConverting;
    Complete();
  }

  void CancelConvert() {
    if (iState == EConverting) {
      Cancel();
      iState = EOpen;
      iBitmap = NULL;
    }
  }

  void Close() {
    Cancel();
    if (iAnimation) {
      IMG_FreeAnimation(iAnimation);
      iAnimation = NULL;
    }
    SDL_FreeSurface(iSurface);
    iSurface = NULL;
    iInfo = ZHost::Picture::TInfo();
    iCount = 0;
    iBitmap = NULL;
    iState = EIdle;
  }

protected:
  void RunL() override {
    if (iState == EOpening) {
      const TInt err = Open();
      iState = err == KErrNone ? EOpen : EIdle;
      iObserver.MiuoOpenComplete(err);  // may close or delete the utility
      return;
    }
    if (iState == EConverting) {
      const TInt err = Convert();
      iState = EOpen;
      iBitmap = NULL;
      iObserver.MiuoConvertComplete(err);  // may start the next conversion
    }
  }

  // Requests complete at once; nothing is outstanding to cancel.
  void DoCancel() override {}

private:
  void Complete() {
    iStatus = KRequestPending;
    SetActive();
    TRequestStatus* status = &iStatus;
    User::RequestComplete(status, KErrNone);
  }

  // Checks the file's declared sizes against the budget, then decodes what SDL2_image
  // reads (a multi-bitmap file and a JPEG are decoded picture by picture instead).
  TInt Open() {
    using namespace ZHost::Picture;
    TInt err = Probe(iData.Ptr(), iData.Length(), iInfo);
    if (err != KErrNone) return err;
    if (iInfo.iFormat == EMbm || iInfo.iFormat == EJpeg) {
      iCount = iInfo.iCount;
      return KErrNone;
    }
    SDL_RWops* rw = SDL_RWFromConstMem(iData.Ptr(), iData.Length());
    if (!rw) return KErrNoMemory;
    TBool exceeded = EFalse;
    {
      TSdlBudget budget;
      if (iInfo.iFormat == EGif) {
        iAnimation = IMG_LoadGIFAnimation_RW(rw);
      } else {
        iSurface = LoadSdl(iInfo.iFormat, rw);
        iCount = 1;
      }
      exceeded = TSdlBudget::Exceeded();
    }
    SDL_RWclose(rw);
    if (exceeded) {
      err = KErrTooBig;
    } else if (iAnimation && iAnimation->count > 0) {
      err = CheckSize(iAnimation->w, iAnimation->h);
    } else if (iSurface) {
      err = CheckSize(iSurface->w, iSurface->h);
    } else {
      err = KErrCorrupt;
    }
    if (err != KErrNone) Close();
    return err;
  }

  TInt Convert() {
    TBoxScaler scaler(*iBitmap);
    if (iAnimation || iSurface) {
      SDL_Surface* picture = iAnimation ? iAnimation->frames[iFrame] : iSurface;
      if (!picture) return KErrCorrupt;
      TInt err = scaler.Begin(picture->w, picture->h);
      if (err == KErrNone) err = StreamSurface(picture, scaler);
      return err;
    }
    if (iInfo.iFormat == ZHost::Picture::EJpeg) {
      const TSize size = iBitmap->SizeInPixels();
      return ZHost::Jpeg::Decode(iData.Ptr(), iData.Length(), size.iWidth, size.iHeight, scaler);
    }
    ZHost::Mbm::TPictureHeader header;
    TInt err = ZHost::Mbm::ReadHeader(iData.Ptr(), iData.Length(), iFrame, header);
    if (err == KErrNone) err = scaler.Begin(header.iWidth, header.iHeight);
    if (err == KErrNone) err = ZHost::Mbm::Decode(iData.Ptr(), iData.Length(), iFrame, scaler);
    return err;
  }

  MMdaImageUtilObserver& iObserver;
  TState iState = EIdle;
  TPtrC8 iData;
  ZHost::Picture::TInfo iInfo;     // the file's format and declared sizes
  IMG_Animation* iAnimation = NULL;  // a GIF's decoded frames
  SDL_Surface* iSurface = NULL;      // another SDL2_image format's decoded picture
  TInt iCount = 0;                   // pictures, for the formats decoded as they are converted
  CFbsBitmap* iBitmap = NULL;
  TInt iFrame = 0;
};

// ---- CMdaImageDescToBitmapUtility ----

CMdaImageDescToBitmapUtility::CMdaImageDescToBitmapUtility() {}

EXPORT_C CMdaImageDescToBitmapUtility* CMdaImageDescToBitmapUtility::NewL(MMdaImageUtilObserver& aObserver,
                                                                         CMdaServer*) {
  CMdaImageDescToBitmapUtility* self = new (ELeave) CMdaImageDescToBitmapUtility();
  CleanupStack::PushL(self);
  self->iImpl = new (ELeave) CMdaImageDescToBitmapUtilityImpl(aObserver);
  CleanupStack::Pop(self);
  return self;
}

EXPORT_C CMdaImageDescToBitmapUtility::~CMdaImageDescToBitmapUtility() { delete iImpl; }

EXPORT_C void CMdaImageDescToBitmapUtility::OpenL(const TDesC8& aDescriptor, TMdaClipFormat*, TMdaPackage*,
                                                  TMdaPackage*) {
  iImpl->OpenL(aDescriptor);
}

EXPORT_C TInt CMdaImageDescToBitmapUtility::FrameCount() const { return iImpl->FrameCount(); }

EXPORT_C void CMdaImageDescToBitmapUtility::FrameInfo(TInt aFrame, TFrameInfo& aInfo) const {
  iImpl->FrameInfo(aFrame, aInfo);
}

EXPORT_C void CMdaImageDescToBitmapUtility::ConvertL(CFbsBitmap& aBitmap, TInt aFrameNumber) {
  iImpl->ConvertL(aBitmap, aFrameNumber);
}

EXPORT_C void CMdaImageDescToBitmapUtility::CancelConvertL() { iImpl->CancelConvert(); }

EXPORT_C void CMdaImageDescToBitmapUtility::Close() { iImpl->Close(); }
