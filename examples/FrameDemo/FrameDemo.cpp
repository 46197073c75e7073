// FrameDemo: starts the engine in a minimal application on the real clock and plays a
// few seconds of frames. Each frame the script moves the sprites of its channels round
// a circle with the engine's sine table and turns the top sprite; every second it
// prints the frame count, the measured frame rate and the z order it sees.
//
//   framedemo [--frames N] [--tempo FPS]

#include <Zolvane.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>
#include <eikenv.h>
#include <e32math.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const TInt KChannels = 8;
const TUid KUidFrameDemo = {0x01000667};

class CDemoScript : public CZScript {
public:
  CDemoScript(TInt aFrames) : iFramesLeft(aFrames) {}

  void FrameBeginL(TInt /*aFrameNumber*/, TPtrC /*aMovie*/) override {
    CZController* c = Controller();
    if (iFrames == 0) {
      iStart.HomeTime();
    }
    iFrames++;
    for (TInt ch = 1; ch <= c->ChannelCount(); ch++) {
      CZSprite* sprite = c->Sprite(ch);
      const TInt angle = iFrames * 6 + ch * (360 / KChannels);
      // A circle of radius 80 round the middle of a 640 x 200 screen; the sine table
      // gives 14 fraction bits.
      sprite->Loc(320 + 80 * Cos(angle) / SINE_SCALE, 100 + 80 * Sin(angle) / SINE_SCALE);
    }
    // Every half second, the lowest sprite goes to the top.
    if (iFrames % 10 == 0) {
      c->Sprite(1 + (iFrames / 10) % KChannels)->LocZ(c->LocZMax() + 1);
    }
  }

  void FrameEndL(TInt /*aFrameNumber*/, TPtrC /*aMovie*/) override {
    if (iFrames % 20 == 0 || iFramesLeft == iFrames) {
      TTime now;
      now.HomeTime();
      const TInt64 us = now.MicroSecondsFrom(iStart).Int64();
      const double fps = us > 0 ? (iFrames - 1) * 1e6 / static_cast<double>(us) : 0.0;
      std::printf("frame %3d  %6.2f fps  z range %d..%d  sprite 1 at (%d, %d)\n", iFrames,
                  fps, Controller()->LocZMin(), Controller()->LocZMax(),
                  Controller()->Sprite(1)->X(), Controller()->Sprite(1)->Y());
      std::fflush(stdout);
    }
    if (iFrames >= iFramesLeft) {
      CActiveScheduler::Stop();
    }
  }

  TKeyResponse KeyEventL(const TKeyEvent& /*aKeyEvent*/, TEventCode /*aType*/) override {
    return EKeyWasNotConsumed;
  }
  TInt Decrypt(TPtr8 /*aBuffer*/, TPtrC /*aFileName*/) override { return KErrNone; }

private:
  // Sine and cosine in units of 1/SINE_SCALE, as the engine's rotations use them.
  TInt Sin(TInt aAngle) { return Scaled(aAngle, 0); }
  TInt Cos(TInt aAngle) { return Scaled(aAngle, 90); }
  TInt Scaled(TInt aAngle, TInt aShift) {
    TReal result = 0;
    Math::Sin(result, (aAngle + aShift) * 3.14159265 / 180);
    return static_cast<TInt>(result * SINE_SCALE);
  }

  TInt iFrames = 0;
  TInt iFramesLeft;
  TTime iStart;
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

void RunL(TInt aFrames, TInt aTempo) {
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

  CDemoScript* script = new (ELeave) CDemoScript(aFrames);
  CleanupStack::PushL(script);
  CZController* controller = CZController::NewL(appUi);
  CleanupStack::PushL(controller);
  CZView* view = CZView::NewL(TRect(0, 0, 640, 200), NULL);
  CleanupStack::PushL(view);

  controller->Script(script);
  controller->View(view);
  const TInt channels = controller->SpriteChannelAllocate(KChannels);
  controller->Start();
  if (aTempo > 0) {
    controller->Tempo(aTempo);
  }
  std::printf("Zolvane frame demo: %d channels, %d frames at %d frames per second\n", channels,
              aFrames, controller->Tempo());
  CActiveScheduler::Start();

  CleanupStack::Pop(view);
  CleanupStack::PopAndDestroy(controller);  // detaches view and script
  delete view;
  CleanupStack::PopAndDestroy(script);
  CleanupStack::PopAndDestroy(appUi);
  CleanupStack::PopAndDestroy(doc);
  CleanupStack::PopAndDestroy(app);
  CleanupStack::PopAndDestroy(env);
}

}  // namespace

int main(int argc, char** argv) {
  TInt frames = 60;
  TInt tempo = 0;
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      frames = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--tempo") == 0 && i + 1 < argc) {
      tempo = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: framedemo [--frames N] [--tempo FPS]\n");
      return 2;
    }
  }
  if (frames < 1) frames = 1;
  TRAPD(err, RunL(frames, tempo));
  if (err != KErrNone) {
    std::fprintf(stderr, "framedemo: failed with error %d\n", err);
    return 1;
  }
  return 0;
}
