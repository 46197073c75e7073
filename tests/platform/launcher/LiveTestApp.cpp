// An application module for the tests of recording and replay: everything it draws comes
// from what a replay must give back exactly. On every tick of a 20 ms timer it reads the
// home time and draws from it and from random numbers (Math::Random, and Math::Rand seeded
// with the home time at start-up); each key press moves a marker and starts a short clip,
// and each end of a clip moves another marker. It ends itself (Exit) after the number of
// ticks in Data\ticks.txt of its own folder (200 without the file), or at Escape. With
// Data\work.txt each tick also keeps the processor busy for that many milliseconds.
#include <coecntrl.h>
#include <e32math.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>
#include <eikenv.h>
#include <f32file.h>
#include <mdaaudiosampleplayer.h>

#include <ctime>

namespace {

const TUid KUidLiveTestApp = {0x0ADC0DE2};
const TInt KTick = 20000;
const TInt KDefaultTicks = 200;
const TInt KRate = 8000;
const TInt KClipSamples = KRate / 20;  // 50 ms
// The background's blue: a second build of the module with another tint tells the builds
// apart on the screen.
#ifndef ZOLV_LIVE_TINT
#define ZOLV_LIVE_TINT 96
#endif

class CPicture : public CCoeControl {
public:
  void ConstructL() {
    CreateWindowL();
    SetRect(TRect(TPoint(0, 0), CCoeEnv::Static()->ScreenDevice()->SizeInPixels()));
    TTime start;
    start.HomeTime();
    iSeed = start.Int64();
    ActivateL();
  }
  void Step() {
    TTime now;
    now.HomeTime();
    iNow = now.Int64();
    iRandom = Math::Random();
    iRand = Math::Rand(iSeed);
    DrawNow();
  }
  TInt iKeys = 0;
  TUint iLastCode = 0;
  TInt iSounds = 0;

private:
  void Draw(const TRect&) const override {
    CWindowGc& gc = SystemGc();
    const TRect r = Rect();
    // The background follows the home time to the millisecond.
    const TInt ms = static_cast<TInt>((iNow / 1000) % 1000);
    gc.SetBrushColor(TRgb(ms % 256, (ms / 4) % 256, ZOLV_LIVE_TINT));
    gc.Clear(r);
    // Bars placed by the random numbers.
    for (TInt i = 0; i < 6; i++) {
      const TInt x = static_cast<TInt>(((iRandom >> (i * 5)) & 0x1FF) % (r.Width() > 24 ? r.Width() - 24 : 1));
      gc.SetBrushColor(TRgb((iRand >> (i * 4)) & 0xFF, 64 + i * 30, i * 40));
      gc.Clear(TRect(x, 20, x + 24, r.Height() - 20));
    }
    // Markers: keys pressed (and the last key's code) and clips played to their end.
    gc.SetBrushColor(TRgb(255, 255, 255));
    gc.Clear(TRect(iKeys * 10 % r.Width(), 0, iKeys * 10 % r.Width() + 8, 10));
    gc.SetBrushColor(TRgb(static_cast<TInt>(iLastCode & 0xFF), 0, 0));
    gc.Clear(TRect(0, 10, 40, 20));
    gc.SetBrushColor(TRgb(0, 255, 0));
    gc.Clear(TRect(iSounds * 10 % r.Width(), r.Height() - 10, iSounds * 10 % r.Width() + 8, r.Height()));
  }
  TInt64 iSeed = 0;
  TInt64 iNow = 0;
  TUint32 iRandom = 0;
  TInt iRand = 0;
};

class CTicker;

class CLiveAppUi : public CEikAppUi, public MMdaAudioPlayerCallback {
public:
  ~CLiveAppUi();
  void ConstructL() override;
  void TickL();

protected:
  TKeyResponse HandleKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) override;

private:
  void MapcInitComplete(TInt aError, const TTimeIntervalMicroSeconds&) override {
    if (aError == KErrNone && iPlayer) iPlayer->Play();
  }
  void MapcPlayComplete(TInt) override {
    ++iPicture->iSounds;
    iPicture->DrawNow();
  }
  TInt ReadNumber(const TDesC& aFile, TInt aDefault);
  void MakeClip();

  CPicture* iPicture = NULL;
  CTicker* iTicker = NULL;
  CMdaAudioPlayerUtility* iPlayer = NULL;
  TBuf8<44 + 2 * KClipSamples> iClip;
  TInt iTicks = 0;
  TInt iTicksLeft = KDefaultTicks;
  TInt iWorkMs = 0;
};

class CTicker : public CTimer {
public:
  explicit CTicker(CLiveAppUi& aAppUi) : CTimer(EPriorityStandard), iAppUi(aAppUi) {}
  void ConstructL() {
    CTimer::ConstructL();
    CActiveScheduler::Add(this);
    After(KTick);
  }

private:
  void RunL() override {
    After(KTick);
    iAppUi.TickL();
  }
  CLiveAppUi& iAppUi;
};

CLiveAppUi::~CLiveAppUi() {
  delete iPlayer;
  delete iTicker;
  delete iPicture;
}

void CLiveAppUi::ConstructL() {
  BaseConstructL();
  iTicksLeft = ReadNumber(_L("Data\\ticks.txt"), KDefaultTicks);
  iWorkMs = ReadNumber(_L("Data\\work.txt"), 0);
  MakeClip();
  iPicture = new (ELeave) CPicture;
  iPicture->ConstructL();
  iTicker = new (ELeave) CTicker(*this);
  iTicker->ConstructL();
}

// A 16-bit mono WAV clip of a rising tone.
void CLiveAppUi::MakeClip() {
  auto put32 = [this](TUint32 aValue) {
    for (TInt i = 0; i < 4; i++) iClip.Append(static_cast<TUint8>(aValue >> (8 * i)));
  };
  auto put16 = [this](TUint16 aValue) {
    iClip.Append(static_cast<TUint8>(aValue));
    iClip.Append(static_cast<TUint8>(aValue >> 8));
  };
  iClip.Append(_L8("RIFF"));
  put32(36 + 2 * KClipSamples);
  iClip.Append(_L8("WAVEfmt "));
  put32(16);
  put16(1);
  put16(1);
  put32(KRate);
  put32(KRate * 2);
  put16(2);
  put16(16);
  iClip.Append(_L8("data"));
  put32(2 * KClipSamples);
  for (TInt i = 0; i < KClipSamples; i++) put16(static_cast<TUint16>(((i * (8 + i / 50)) % 64 - 32) * 256));
}

TKeyResponse CLiveAppUi::HandleKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) {
  if (aType != EEventKey) return EKeyWasNotConsumed;
  if (aKeyEvent.iCode == EKeyEscape) {
    Exit();
    return EKeyWasConsumed;
  }
  ++iPicture->iKeys;
  iPicture->iLastCode = aKeyEvent.iCode;
  delete iPlayer;
  iPlayer = NULL;
  iPlayer = CMdaAudioPlayerUtility::NewDesPlayerReadOnlyL(iClip, *this);
  return EKeyWasConsumed;
}

// A number from a file in the application's folder.
TInt CLiveAppUi::ReadNumber(const TDesC& aFile, TInt aDefault) {
  TParse parse;
  const TFileName full = Application()->AppFullName();
  parse.Set(aFile, &full, NULL);
  RFile file;
  if (file.Open(CEikonEnv::Static()->FsSession(), parse.FullName(), EFileRead) != KErrNone) return aDefault;
  TBuf8<16> text;
  const TInt err = file.Read(text);
  file.Close();
  TInt ticks = 0;
  for (TInt i = 0; err == KErrNone && i < text.Length() && text[i] >= '0' && text[i] <= '9'; i++)
    ticks = ticks * 10 + (text[i] - '0');
  return ticks > 0 ? ticks : aDefault;
}

void CLiveAppUi::TickL() {
  // Busy on the processor's own clock, which neither a recording nor a replay touches.
  if (iWorkMs > 0) {
    const clock_t until = clock() + static_cast<clock_t>(iWorkMs) * CLOCKS_PER_SEC / 1000;
    while (clock() < until) {
    }
  }
  iPicture->Step();
  if (++iTicks >= iTicksLeft) Exit();
}

class CLiveDocument : public CEikDocument {
public:
  explicit CLiveDocument(CEikApplication& aApp) : CEikDocument(aApp) {}
  CEikAppUi* CreateAppUiL() override { return new (ELeave) CLiveAppUi; }
};

class CLiveApplication : public CEikApplication {
public:
  TUid AppDllUid() const override { return KUidLiveTestApp; }
  CApaDocument* CreateDocumentL() override { return new (ELeave) CLiveDocument(*this); }
};

}  // namespace

EXPORT_C CApaApplication* NewApplication() { return new CLiveApplication; }
