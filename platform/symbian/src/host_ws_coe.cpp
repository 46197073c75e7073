// The control environment's window-server part, and the window side of controls.
#include "host_coe_ws.h"

#include <coeaui.h>
#include <zhost/live.h>

#include <algorithm>

namespace ZHost {

namespace {

// Reads the session's events and hands them to the application user interface.
class CEventReader : public CActive {
public:
  explicit CEventReader(CCoeWsLink& aLink) : CActive(EPriorityUserInput), iLink(aLink) {
    CActiveScheduler::Add(this);
  }
  ~CEventReader() { Cancel(); }
  void Start() {
    iLink.iWs.EventReady(&iStatus);
    SetActive();
  }

private:
  void RunL() override {
    if (iStatus.Int() != KErrNone) return;  // the session is closing
    Start();
    iLink.DispatchEvents();
  }
  void DoCancel() override { iLink.iWs.EventReadyCancel(); }
  CCoeWsLink& iLink;
};

// Redraws invalid window areas when the server reports them.
class CRedrawer : public CActive {
public:
  explicit CRedrawer(CCoeWsLink& aLink) : CActive(EPriorityHigh), iLink(aLink) { CActiveScheduler::Add(this); }
  ~CRedrawer() { Cancel(); }
  void Start() {
    iLink.iWs.RedrawReady(&iStatus);
    SetActive();
  }

private:
  void RunL() override {
    if (iStatus.Int() != KErrNone) return;
    iLink.RedrawAll();
    Start();
  }
  void DoCancel() override { iLink.iWs.RedrawReadyCancel(); }
  CCoeWsLink& iLink;
};

}  // namespace

CCoeWsLink::CCoeWsLink(CCoeEnv& aEnv) : iScreenDevice(NULL), iSystemGc(NULL), iRootWin(iWs), iEnv(aEnv),
                                         iEventReader(NULL), iRedrawer(NULL), iLastClientHandle(0) {}

CCoeWsLink* CCoeWsLink::NewL(CCoeEnv& aEnv) {
  CCoeWsLink* self = new (ELeave) CCoeWsLink(aEnv);
  CleanupStack::PushL(self);
  self->ConstructL();
  CleanupStack::Pop(self);
  return self;
}

void CCoeWsLink::ConstructL() {
  User::LeaveIfError(iWs.Connect());
  iScreenDevice = new (ELeave) CWsScreenDevice(iWs);
  User::LeaveIfError(iScreenDevice->Construct());
  User::LeaveIfError(iScreenDevice->CreateContext(iSystemGc));
  User::LeaveIfError(iRootWin.Construct(NextClientHandle()));
  if (CActiveScheduler::Current()) {
    CEventReader* reader = new (ELeave) CEventReader(*this);
    iEventReader = reader;
    CRedrawer* redrawer = new (ELeave) CRedrawer(*this);
    iRedrawer = redrawer;
    reader->Start();
    redrawer->Start();
  }
}

CCoeWsLink::~CCoeWsLink() {
  delete iEventReader;
  delete iRedrawer;
  delete iSystemGc;
  delete iScreenDevice;
  iRootWin.Close();
  iWs.Close();
}

void CCoeWsLink::AddWindowOwnerL(CCoeControl* aControl) {
  try {
    iWindowOwners.push_back(aControl);
  } catch (const std::bad_alloc&) {
    User::LeaveNoMemory();
  }
}

void CCoeWsLink::RemoveWindowOwner(CCoeControl* aControl) {
  iWindowOwners.erase(std::remove(iWindowOwners.begin(), iWindowOwners.end(), aControl), iWindowOwners.end());
}

void CCoeWsLink::RedrawAll() {
  // A control may create or delete windows while it draws: work on a copy and skip
  // controls that have gone.
  const std::vector<CCoeControl*> owners = iWindowOwners;
  for (CCoeControl* control : owners) {
    if (std::find(iWindowOwners.begin(), iWindowOwners.end(), control) == iWindowOwners.end()) continue;
    RWindow* window = static_cast<RWindow*>(control->DrawableWindow());
    TRect rect;
    if (!window || !window->GetInvalidRect(rect)) continue;
    if (control->IsActivated() && control->IsVisible()) {
      control->HandleRedrawEvent(rect);
    } else {
      window->BeginRedraw(rect);
      window->EndRedraw();
    }
  }
}

void CCoeWsLink::DispatchEvents() {
  for (;;) {
    TWsEvent event;
    iWs.GetEvent(event);
    if (event.Type() == EEventNull) break;
    if (CCoeAppUi* appUi = iEnv.AppUi()) {
      if (ZHost::Live::MObserver* observer = ZHost::Live::Observer()) observer->WsEvent(event);
      TRAP_IGNORE(appUi->HandleWsEventL(event, NULL));
    }
  }
}

}  // namespace ZHost

// ---- CCoeEnv: the window server ----

EXPORT_C RWsSession& CCoeEnv::WsSession() const { return iWsLink->iWs; }
EXPORT_C CWsScreenDevice* CCoeEnv::ScreenDevice() const { return iWsLink ? iWsLink->iScreenDevice : NULL; }
EXPORT_C CWindowGc& CCoeEnv::SystemGc() const { return *iWsLink->iSystemGc; }
EXPORT_C RWindowGroup& CCoeEnv::RootWin() const { return iWsLink->iRootWin; }

// ---- CCoeControl: windows ----

void CCoeControl::CreateWindowInL(const RWindowTreeNode& aParent) {
  if (iCoeEnv == NULL || iCoeEnv->WsLink() == NULL) User::Leave(KErrNotReady);
  if (iWin) User::Leave(KErrAlreadyExists);
  ZHost::CCoeWsLink* link = iCoeEnv->WsLink();
  RWindow* window = new (ELeave) RWindow(link->iWs);
  CleanupStack::PushL(window);
  User::LeaveIfError(window->Construct(aParent, link->NextClientHandle()));
  link->AddWindowOwnerL(this);
  CleanupStack::Pop(window);
  iWin = window;
  iFlags |= EOwnsWindow;
  window->SetExtent(iPosition, iSize);
}

EXPORT_C void CCoeControl::CreateWindowL() { CreateWindowL(static_cast<const CCoeControl*>(NULL)); }

EXPORT_C void CCoeControl::CreateWindowL(const CCoeControl* aParent) {
  if (aParent && aParent->iWin) {
    CreateWindowInL(*aParent->iWin);
    return;
  }
  if (iCoeEnv == NULL || iCoeEnv->WsLink() == NULL) User::Leave(KErrNotReady);
  CreateWindowInL(iCoeEnv->RootWin());
}

EXPORT_C void CCoeControl::CreateWindowL(RWindowGroup& aParent) { CreateWindowInL(aParent); }

EXPORT_C void CCoeControl::SetContainerWindowL(const CCoeControl& aContainer) {
  if (aContainer.iWin == NULL) User::Leave(KErrNotReady);
  CloseWindow();
  iWin = aContainer.iWin;
}

EXPORT_C void CCoeControl::CloseWindow() {
  if (OwnsWindow()) {
    if (iCoeEnv && iCoeEnv->WsLink()) iCoeEnv->WsLink()->RemoveWindowOwner(this);
    RWindow* window = static_cast<RWindow*>(iWin);
    window->Close();
    delete window;
  }
  iWin = NULL;
  iFlags &= ~EOwnsWindow;
}

EXPORT_C void CCoeControl::Invalidate(const TRect& aRect) const {
  if (iWin) Window().Invalidate(aRect);
}

EXPORT_C void CCoeControl::ActivateGc() const {
  if (iWin && iCoeEnv && iCoeEnv->WsLink()) SystemGc().Activate(*iWin);
}

EXPORT_C void CCoeControl::DeactivateGc() const {
  if (iCoeEnv && iCoeEnv->WsLink()) SystemGc().Deactivate();
}

EXPORT_C CWindowGc& CCoeControl::SystemGc() const { return iCoeEnv->SystemGc(); }

void CCoeControl::DrawComponents(const TRect& aRect) const {
  for (TInt i = 0; i < CountComponentControls(); ++i) {
    const CCoeControl* c = ComponentControl(i);
    // Components with windows of their own are redrawn through those.
    if (!c || c->OwnsWindow() || !c->IsVisible() || c->iWin != iWin) continue;
    TRect r = c->Rect();
    r.Intersection(aRect);
    if (r.IsEmpty()) continue;
    c->Draw(r);
    c->DrawComponents(r);
  }
}

EXPORT_C void CCoeControl::HandleRedrawEvent(const TRect& aRect) const {
  if (iWin == NULL) return;
  ActivateGc();
  Window().BeginRedraw(aRect);
  Draw(aRect);
  DrawComponents(aRect);
  Window().EndRedraw();
  DeactivateGc();
}
