// The image converter: multi-bitmap files through our own codec, everything else
// through SDL2_image, both resampled into 4096-colour bitmaps by a box filter.
#include <mdaimageconverter.h>
#include <zhost/mbm.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

namespace {

// Streams picture rows into a 4096-colour bitmap of any size. Each bitmap pixel
// averages the picture pixels of the integer rectangle its area covers (at least one
// pixel, so enlarging repeats the nearest pixel); the average's channels are then cut
// to their top four bits.
class TBoxScaler : public ZHost::Mbm::MRowSink {
public:
  TBoxScaler(TInt aSourceWidth, TInt aSourceHeight, CFbsBitmap& aTarget)
      : iSw(aSourceWidth), iSh(aSourceHeight), iTarget(aTarget), iTw(aTarget.SizeInPixels().iWidth),
        iTh(aTarget.SizeInPixels().iHeight) {}

  ~TBoxScaler() {
    User::Free(iColumns);
    User::Free(iSums);
  }

  TInt Init() {
    if (iTw <= 0 || iTh <= 0) {
      return KErrNone;  // nothing to write
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
    if (iTw <= 0 || iTh <= 0 || aWidth != iSw) {
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

  TInt iSw;
  TInt iSh;
  CFbsBitmap& iTarget;
  TInt iTw;
  TInt iTh;
  TInt iTy = 0;
  TInt* iColumns = NULL;
  TUint64* iSums = NULL;
};

// One SDL surface (a picture of any format) streamed row by row, blended over white.
TInt StreamSurface(SDL_Surface* aSurface, ZHost::Mbm::MRowSink& aSink) {
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(aSurface, SDL_PIXELFORMAT_ABGR8888, 0);
  if (!rgba) {
    return KErrNoMemory;
  }
  TInt err = KErrNone;
  TUint32* row = static_cast<TUint32*>(User::Alloc(static_cast<TInt>(sizeof(TUint32)) * (rgba->w > 0 ? rgba->w : 1)));
  if (!row) {
    err = KErrNoMemory;
  }
  if (err == KErrNone && SDL_LockSurface(rgba) != 0) {
    err = KErrGeneral;
  } else if (err == KErrNone) {
    for (TInt y = 0; y < rgba->h && err == KErrNone; ++y) {
      const TUint8* src = static_cast<const TUint8*>(rgba->pixels) + static_cast<TInt64>(rgba->pitch) * y;
      for (TInt x = 0; x < rgba->w; ++x) {
        const TUint8* p = src + 4 * x;
        const TInt a = p[3];
        const TInt r = (p[0] * a + 255 * (255 - a)) / 255;
        const TInt g = (p[1] * a + 255 * (255 - a)) / 255;
        const TInt b = (p[2] * a + 255 * (255 - a)) / 255;
        row[x] = TRgb(r, g, b).Value();
      }
      err = aSink.Row(y, row, rgba->w);
    }
    SDL_UnlockSurface(rgba);
  }
  User::Free(row);
  SDL_FreeSurface(rgba);
  return err;
}

// Whether SDL2_image would recognise the data's format.
TBool SdlRecognises(SDL_RWops* aRw) {
  return IMG_isPNG(aRw) || IMG_isJPG(aRw) || IMG_isBMP(aRw) || IMG_isGIF(aRw) || IMG_isTIF(aRw) || IMG_isWEBP(aRw) ||
         IMG_isPCX(aRw) || IMG_isPNM(aRw) || IMG_isXPM(aRw) || IMG_isLBM(aRw) || IMG_isQOI(aRw) || IMG_isXCF(aRw) ||
         IMG_isICO(aRw) || IMG_isCUR(aRw);
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
    return iAnimation ? iAnimation->count : iMbmCount;
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
    iMbmCount = 0;
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

  TInt Open() {
    if (ZHost::Mbm::Recognise(iData.Ptr(), iData.Length())) {
      return ZHost::Mbm::PictureCount(iData.Ptr(), iData.Length(), iMbmCount);
    }
    SDL_RWops* rw = SDL_RWFromConstMem(iData.Ptr(), iData.Length());
    if (!rw) return KErrNoMemory;
    if (!SdlRecognises(rw)) {
      SDL_RWclose(rw);
      return KErrNotSupported;
    }
    iAnimation = IMG_LoadAnimation_RW(rw, 1);
    if (!iAnimation) return KErrCorrupt;
    if (iAnimation->count <= 0 || iAnimation->w <= 0 || iAnimation->h <= 0) {
      IMG_FreeAnimation(iAnimation);
      iAnimation = NULL;
      return KErrCorrupt;
    }
    return KErrNone;
  }

  TInt Convert() {
    TInt err = KErrNone;
    if (iAnimation) {
      SDL_Surface* frame = iAnimation->frames[iFrame];
      if (!frame) return KErrCorrupt;
      TBoxScaler scaler(frame->w, frame->h, *iBitmap);
      err = scaler.Init();
      if (err == KErrNone) err = StreamSurface(frame, scaler);
      return err;
    }
    ZHost::Mbm::TPictureHeader header;
    err = ZHost::Mbm::ReadHeader(iData.Ptr(), iData.Length(), iFrame, header);
    if (err != KErrNone) return err;
    TBoxScaler scaler(header.iWidth, header.iHeight, *iBitmap);
    err = scaler.Init();
    if (err == KErrNone) err = ZHost::Mbm::Decode(iData.Ptr(), iData.Length(), iFrame, scaler);
    return err;
  }

  MMdaImageUtilObserver& iObserver;
  TState iState = EIdle;
  TPtrC8 iData;
  IMG_Animation* iAnimation = NULL;
  TInt iMbmCount = 0;
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
