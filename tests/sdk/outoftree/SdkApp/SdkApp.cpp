// A small engine application: a window-owning control holds the engine's view; the
// script makes a bitmap element and a rectangle and moves them every frame.
#include <Zolvane.h>
#include <eikdoc.h>
#include <eikenv.h>

namespace {

const TUid KUidSdkApp = {0x0ADC0DE5};
const TInt KWidth = 640;
const TInt KHeight = 200;

class CSdkScript : public CZScript {
public:
  void FrameBeginL(TInt, TPtrC) override {
    CZController* controller = Controller();
    if (!controller) return;
    if (!iBall) {
      _LIT(KBall, "ball");
      iBall = controller->ElementBitmapAdd(32, 32, KBall);
      if (!iBall) User::Leave(KErrNoMemory);
      for (TInt y = 0; y < 32; y++) {
        for (TInt x = 0; x < 32; x++) {
          const TInt dx = x - 16, dy = y - 16;
          iBall->Pixel(x, y, dx * dx + dy * dy < 256 ? TUint16(0x00F0 + (y / 2)) : TUint16(0x0FFF));
        }
      }
      controller->Sprite(1)->Element(iBall);
      controller->Sprite(1)->Mask(ETrue);
      controller->Sprite(2)->Rectangle(TPoint(0, 150), TPoint(40, 190));
      controller->Sprite(2)->BrushStyle(CGraphicsContext::ESolidBrush);
      controller->Sprite(2)->BrushColor(TRgb(200, 0, 0));
    }
    ++iStep;
    controller->Sprite(1)->Loc((iStep * 7) % (KWidth - 32), 40 + (iStep * 3) % 80);
    controller->Sprite(2)->Loc((iStep * 11) % (KWidth - 40), 150);
  }
  void FrameEndL(TInt, TPtrC) override {}
  TKeyResponse KeyEventL(const TKeyEvent&, TEventCode) override { return EKeyWasNotConsumed; }
  TInt Decrypt(TPtr8, TPtrC) override { return KErrNone; }

private:
  CZElement* iBall = NULL;
  TInt iStep = 0;
};

// The window that the engine's view draws into.
class CSdkAppView : public CCoeControl {
public:
  void ConstructL(const TRect& aRect) {
    CreateWindowL();
    SetRect(aRect);
    iView = CZView::NewL(TRect(TPoint(0, 0), aRect.Size()), this);
    ActivateL();
  }
  ~CSdkAppView() { delete iView; }
  CZView* View() const { return iView; }
  TInt CountComponentControls() const override { return iView ? 1 : 0; }
  CCoeControl* ComponentControl(TInt aIndex) const override { return aIndex == 0 ? iView : NULL; }

private:
  CZView* iView = NULL;
};

class CSdkAppUi : public CEikAppUi {
public:
  void ConstructL() override {
    BaseConstructL();
    iAppView = new (ELeave) CSdkAppView;
    iAppView->ConstructL(TRect(0, 0, KWidth, KHeight));
    iScript = new (ELeave) CSdkScript;
    iController = CZController::NewL(this);
    iController->SpriteChannelAllocate(4);
    iController->BgColor(0x402000);
    iController->Tempo(50);
    iController->Script(iScript);
    iController->View(iAppView->View());
    iController->Start();
  }
  ~CSdkAppUi() {
    delete iController;
    delete iScript;
    delete iAppView;
  }

private:
  CSdkAppView* iAppView = NULL;
  CSdkScript* iScript = NULL;
  CZController* iController = NULL;
};

class CSdkDocument : public CEikDocument {
public:
  explicit CSdkDocument(CEikApplication& aApp) : CEikDocument(aApp) {}
  CEikAppUi* CreateAppUiL() override { return new (ELeave) CSdkAppUi; }
};

class CSdkApplication : public CEikApplication {
public:
  TUid AppDllUid() const override { return KUidSdkApp; }
  CApaDocument* CreateDocumentL() override { return new (ELeave) CSdkDocument(*this); }
};

}  // namespace

EXPORT_C CApaApplication* NewApplication() { return new CSdkApplication; }
