// FrameDemo: a minimal application that starts the engine on the real clock and plays a
// few seconds of frames: bitmap sprites moving, scaling, rotating and blending over a
// still background. With a display it opens the screen's window (SDL2); without one
// the screen stays in memory and the demo writes a contact sheet of its frames as a PNG
// file and prints its path.
//
//   framedemo [--frames N] [--tempo FPS] [--sheet PATH] [--screenshot PATH]
//
// --sheet: where the contact sheet goes (default: $TMPDIR/framedemo-frames.png), written
// whatever the backend. --screenshot: saves the last frame's screen as PNG.
// Escape, q or the window's close button end the demo early.

#include <Zolvane.h>
#include <coemain.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>
#include <eikenv.h>
#include <e32math.h>
#include <zhost/screen.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const TUid KUidFrameDemo = {0x01000667};
const TInt KScreenWidth = 640;
const TInt KScreenHeight = 200;
const TInt KSheetColumns = 4;
const TInt KSheetRows = 3;

enum TChannel {
  EBackdrop = 1,
  EBar,
  EBallFirst,  // three balls circling
  EBallLast = EBallFirst + 2,
  ESpinner,
  EPulser,
  EGhost,
  EChannels = EGhost
};

// 12-bit colour from 4-bit channels.
TUint16 Rgb4(TInt aR, TInt aG, TInt aB) {
  return static_cast<TUint16>((aR & 15) | ((aG & 15) << 4) | ((aB & 15) << 8));
}

class CDemoScript : public CZScript {
public:
  CDemoScript(TInt aFrames, std::string aSheet, std::string aScreenshot)
      : iFramesLeft(aFrames), iSheetPath(std::move(aSheet)), iScreenshotPath(std::move(aScreenshot)) {}

  void FrameBeginL(TInt, TPtrC) override {
    if (iFrames == 0) {
      iStart.HomeTime();
      BuildSceneL();
    } else {
      // The screen now shows the previous frame.
      Capture(iFrames);
    }
    iFrames++;
    Animate(iFrames);
  }

  void FrameEndL(TInt, TPtrC) override {
    if (iFrames % 20 == 0 || iFrames == iFramesLeft) {
      TTime now;
      now.HomeTime();
      const TInt64 us = now.MicroSecondsFrom(iStart).Int64();
      const double fps = us > 0 ? (iFrames - 1) * 1e6 / static_cast<double>(us) : 0.0;
      std::printf("frame %3d  %6.2f fps\n", iFrames, fps);
      std::fflush(stdout);
    }
    if (iFrames >= iFramesLeft + 1) CActiveScheduler::Stop();
  }

  TKeyResponse KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) override {
    if (aType == EEventKey && (aKeyEvent.iCode == EKeyEscape || aKeyEvent.iCode == 'q')) {
      CActiveScheduler::Stop();
      return EKeyWasConsumed;
    }
    return EKeyWasNotConsumed;
  }
  TInt Decrypt(TPtr8, TPtrC) override { return KErrNone; }

  // After the run: the contact sheet and the screenshot.
  void Finish() {
    if (!iScreenshotPath.empty()) {
      // The window as the desktop shows it, or the screen's pixels without a window.
      TInt err = ZHost::Screen::SaveWindowPng(iScreenshotPath);
      if (err == KErrNotSupported) err = ZHost::Screen::SavePng(iScreenshotPath);
      if (err == KErrNone)
        std::printf("screenshot: %s\n", iScreenshotPath.c_str());
      else
        std::fprintf(stderr, "framedemo: cannot write %s\n", iScreenshotPath.c_str());
    }
    if (WriteSheet()) std::printf("contact sheet: %s\n", iSheetPath.c_str());
  }

private:
  // Elements: a striped backdrop, a bar, a keyed ball, a square tile and a checker.
  void BuildSceneL() {
    CZController* c = Controller();
    CZElement* backdrop = c->ElementBitmapAdd(KScreenWidth, KScreenHeight, _L("backdrop"));
    CZElement* bar = c->ElementBitmapAdd(256, 24, _L("bar"));
    CZElement* ball = c->ElementBitmapAdd(48, 48, _L("ball"));
    CZElement* tile = c->ElementBitmapAdd(64, 64, _L("tile"));
    CZElement* checker = c->ElementBitmapAdd(96, 96, _L("checker"));
    if (!backdrop || !bar || !ball || !tile || !checker) User::Leave(KErrNoMemory);
    for (TInt y = 0; y < KScreenHeight; y++)
      for (TInt x = 0; x < KScreenWidth; x++)
        backdrop->Pixel(x, y, Rgb4(1 + y / 40, 2 + ((x / 32 + y / 32) & 1), 5 + y / 25));
    for (TInt y = 0; y < 24; y++)
      for (TInt x = 0; x < 256; x++) bar->Pixel(x, y, Rgb4(x / 16, 15 - x / 16, y / 2));
    for (TInt y = 0; y < 48; y++)
      for (TInt x = 0; x < 48; x++) {
        const TInt dx = x - 24, dy = y - 24, d2 = dx * dx + dy * dy;
        // Outside the disc: the colour key, so the ball is round when masked.
        ball->Pixel(x, y, d2 >= 24 * 24 ? 0x0FFF : Rgb4(15 - d2 / 48, 6 + (dx + 24) / 6, 3));
      }
    ball->Masked(ETrue);
    ball->RegPoint(TPoint(24, 24));
    for (TInt y = 0; y < 64; y++)
      for (TInt x = 0; x < 64; x++)
        tile->Pixel(x, y, (x < 4 || y < 4 || x >= 60 || y >= 60) ? Rgb4(15, 15, 0) : Rgb4(x / 4, y / 4, 12));
    tile->RegPoint(TPoint(32, 32));
    for (TInt y = 0; y < 96; y++)
      for (TInt x = 0; x < 96; x++) checker->Pixel(x, y, ((x / 12 + y / 12) & 1) ? Rgb4(15, 15, 15) - 0x111 : Rgb4(12, 0, 6));
    checker->RegPoint(TPoint(48, 48));

    c->Sprite(EBackdrop)->Element(backdrop);
    CZSprite* s = c->Sprite(EBar);
    s->Element(bar);
    s->Loc(192, 168);
    for (TInt ch = EBallFirst; ch <= EBallLast; ch++) {
      s = c->Sprite(ch);
      s->Element(ball);
      s->Mask(ETrue);
    }
    c->Sprite(ESpinner)->Element(tile);
    c->Sprite(ESpinner)->Loc(520, 100);
    s = c->Sprite(EPulser);
    s->Element(tile);
    s->Loc(110, 100);
    s = c->Sprite(EGhost);
    s->Element(checker);
    s->Loc(320, 100);
  }

  void Animate(TInt aFrame) {
    CZController* c = Controller();
    for (TInt i = 0; i <= EBallLast - EBallFirst; i++) {
      const TInt angle = aFrame * 5 + i * 120;
      c->Sprite(EBallFirst + i)->Loc(320 + 150 * Cos(angle) / SINE_SCALE, 100 + 60 * Sin(angle) / SINE_SCALE);
    }
    c->Sprite(ESpinner)->Angle(aFrame * 6);
    const TInt size = 64 + 32 * Sin(aFrame * 8) / SINE_SCALE;
    c->Sprite(EPulser)->Size(size, size);
    c->Sprite(EGhost)->Blend(50 + 50 * Sin(aFrame * 4) / SINE_SCALE);
    c->Sprite(EGhost)->Angle(-aFrame * 2);
  }

  // Sine and cosine in units of 1/SINE_SCALE, as the engine's rotations use them.
  TInt Sin(TInt aAngle) { return Scaled(aAngle, 0); }
  TInt Cos(TInt aAngle) { return Scaled(aAngle, 90); }
  TInt Scaled(TInt aAngle, TInt aShift) {
    TReal result = 0;
    Math::Sin(result, (aAngle + aShift) * 3.14159265358979 / 180);
    return static_cast<TInt>(result * SINE_SCALE);
  }

  // Keeps the screens of the frames that go on the sheet.
  void Capture(TInt aFrame) {
    const TInt slots = KSheetColumns * KSheetRows;
    const TInt step = iFramesLeft / slots > 0 ? iFramesLeft / slots : 1;
    if (aFrame % step != 0 || static_cast<TInt>(iSheetFrames.size()) >= slots) return;
    iSheetFrames.push_back(ZHost::Screen::Copy(TRect(0, 0, KScreenWidth, KScreenHeight)));
    iSheetNumbers.push_back(aFrame);
  }

  // The captured frames at half size in a grid, as a PNG file.
  bool WriteSheet() {
    if (iSheetFrames.empty() || iSheetPath.empty()) return false;
    const bool ok = ZHost::Screen::SaveContactSheetPng(iSheetPath, iSheetFrames, TSize(KScreenWidth, KScreenHeight),
                                                       KSheetColumns, 2) == KErrNone;
    if (!ok) std::fprintf(stderr, "framedemo: cannot write %s\n", iSheetPath.c_str());
    return ok;
  }

  TInt iFrames = 0;
  TInt iFramesLeft;
  TTime iStart;
  std::string iSheetPath;
  std::string iScreenshotPath;
  std::vector<std::vector<TUint16>> iSheetFrames;
  std::vector<TInt> iSheetNumbers;
};

// The application's window: the screen-sized control that holds the view.
class CDemoContainer : public CCoeControl {
public:
  void ConstructL(TBool aBackBuffer) {
    CreateWindowL();
    SetRect(TRect(TPoint(0, 0), CCoeEnv::Static()->ScreenDevice()->SizeInPixels()));
    iView = CZView::NewL(TRect(0, 0, KScreenWidth, KScreenHeight), this, aBackBuffer);
    ActivateL();
  }
  ~CDemoContainer() { delete iView; }
  CZView* View() const { return iView; }
  TInt CountComponentControls() const override { return 1; }
  CCoeControl* ComponentControl(TInt) const override { return iView; }

private:
  CZView* iView = NULL;
};

class CDemoAppUi : public CEikAppUi {};

class CDemoDocument : public CEikDocument {
public:
  explicit CDemoDocument(CEikApplication& aApp) : CEikDocument(aApp) {}
  CEikAppUi* CreateAppUiL() override { return new (ELeave) CDemoAppUi; }
};

class CDemoApplication : public CEikApplication {
public:
  TUid AppDllUid() const override { return KUidFrameDemo; }
  CApaDocument* CreateDocumentL() override { return new (ELeave) CDemoDocument(*this); }
};

void RunL(TInt aFrames, TInt aTempo, const std::string& aSheet, const std::string& aScreenshot) {
  CEikonEnv* env = new (ELeave) CEikonEnv;
  CleanupStack::PushL(env);
  env->ConstructL();
  CDemoApplication* app = new (ELeave) CDemoApplication;
  CleanupStack::PushL(app);
  app->SetAppFullName(_L("FrameDemo"));
  CEikDocument* doc = static_cast<CEikDocument*>(app->CreateDocumentL());
  CleanupStack::PushL(doc);
  CEikAppUi* appUi = doc->CreateAppUiL();
  CleanupStack::PushL(appUi);
  appUi->SetDocument(doc);
  appUi->ConstructL();

  CDemoScript* script = new (ELeave) CDemoScript(aFrames, aSheet, aScreenshot);
  CleanupStack::PushL(script);
  // The view outlives the controller, which detaches it when it goes.
  CDemoContainer* container = new (ELeave) CDemoContainer;
  CleanupStack::PushL(container);
  container->ConstructL(ETrue);
  CZController* controller = CZController::NewL(appUi);
  CleanupStack::PushL(controller);

  controller->Script(script);
  controller->View(container->View());
  const TInt channels = controller->SpriteChannelAllocate(EChannels);
  controller->Start();
  if (aTempo > 0) controller->Tempo(aTempo);
  std::printf("Zolvane frame demo: %d channels, %d frames at %d frames per second, screen: %s\n", channels, aFrames,
              controller->Tempo(), ZHost::Screen::BackendName().c_str());
  std::fflush(stdout);
  CActiveScheduler::Start();
  script->Finish();

  CleanupStack::PopAndDestroy(controller);
  CleanupStack::PopAndDestroy(container);
  CleanupStack::PopAndDestroy(script);
  CleanupStack::PopAndDestroy(appUi);
  CleanupStack::PopAndDestroy(doc);
  CleanupStack::PopAndDestroy(app);
  CleanupStack::PopAndDestroy(env);
}

std::string DefaultSheetPath() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/framedemo-frames.png";
}

}  // namespace

int main(int argc, char** argv) {
  TInt frames = 120;
  TInt tempo = 0;
  std::string sheet = DefaultSheetPath();
  std::string screenshot;
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      frames = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--tempo") == 0 && i + 1 < argc) {
      tempo = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--sheet") == 0 && i + 1 < argc) {
      sheet = argv[++i];
    } else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = argv[++i];
    } else {
      std::fprintf(stderr, "usage: framedemo [--frames N] [--tempo FPS] [--sheet PATH] [--screenshot PATH]\n");
      return 2;
    }
  }
  if (frames < 1) frames = 1;
  TRAPD(err, RunL(frames, tempo, sheet, screenshot));
  if (err != KErrNone) {
    std::fprintf(stderr, "framedemo: failed with error %d\n", err);
    return 1;
  }
  return 0;
}
