// Controls, the control environment and the control stack.
#include <coeaui.h>
#include <coecntrl.h>
#include <coemain.h>

#include "host_coe_ws.h"

#include <algorithm>
#include <new>

namespace {
thread_local CCoeEnv* tCoeEnv = NULL;
}

// ---- CCoeControl ----

EXPORT_C CCoeControl::CCoeControl() : iCoeEnv(CCoeEnv::Static()), iFlags(0), iObserver(NULL), iWin(NULL) {}

EXPORT_C CCoeControl::~CCoeControl() {
  CloseWindow();
  CCoeEnv* env = CCoeEnv::Static();
  if (env && env->AppUi()) env->AppUi()->RemoveFromStack(this);
}

EXPORT_C TKeyResponse CCoeControl::OfferKeyEventL(const TKeyEvent&, TEventCode) { return EKeyWasNotConsumed; }

EXPORT_C void CCoeControl::MakeVisible(TBool aVisible) {
  if (aVisible)
    iFlags &= ~EInvisible;
  else
    iFlags |= EInvisible;
  if (OwnsWindow()) iWin->SetVisible(aVisible);
}

EXPORT_C void CCoeControl::SetDimmed(TBool aDimmed) {
  if (aDimmed)
    iFlags |= EDimmed;
  else
    iFlags &= ~EDimmed;
}

EXPORT_C void CCoeControl::ActivateL() {
  iFlags |= EActivated;
  // A window shows when its control is activated; all of it then needs drawing.
  if (OwnsWindow()) iWin->Activate();
  for (TInt i = 0; i < CountComponentControls(); ++i)
    if (CCoeControl* c = ComponentControl(i)) c->ActivateL();
}

EXPORT_C TInt CCoeControl::CountComponentControls() const { return 0; }
EXPORT_C CCoeControl* CCoeControl::ComponentControl(TInt) const { return NULL; }
EXPORT_C TSize CCoeControl::MinimumSize() { return iSize; }

EXPORT_C void CCoeControl::DrawNow() const {
  if (!IsActivated() || !IsVisible()) return;
  if (iWin && iCoeEnv) {
    Window().Invalidate(Rect());
    HandleRedrawEvent(Rect());
    return;
  }
  Draw(Rect());
  for (TInt i = 0; i < CountComponentControls(); ++i)
    if (const CCoeControl* c = ComponentControl(i)) c->DrawNow();
}

EXPORT_C void CCoeControl::DrawDeferred() const {
  if (iWin && iCoeEnv) {
    if (IsActivated() && IsVisible()) Window().Invalidate(Rect());
    return;
  }
  DrawNow();
}

EXPORT_C void CCoeControl::SetRect(const TRect& aRect) { SetExtent(aRect.iTl, aRect.Size()); }

EXPORT_C void CCoeControl::SetExtent(const TPoint& aPosition, const TSize& aSize) {
  iPosition = aPosition;
  iSize = aSize;
  if (OwnsWindow()) iWin->SetExtent(aPosition, aSize);
  SizeChanged();
}

EXPORT_C void CCoeControl::SetSize(const TSize& aSize) {
  iSize = aSize;
  if (OwnsWindow()) iWin->SetSize(aSize);
  SizeChanged();
}

EXPORT_C void CCoeControl::SetPosition(const TPoint& aPosition) {
  iPosition = aPosition;
  if (OwnsWindow()) iWin->SetPosition(aPosition);
  PositionChanged();
}

EXPORT_C void CCoeControl::SetFocus(TBool aFocus, TDrawNow aDrawNow) {
  if (aFocus)
    iFlags |= EFocused;
  else
    iFlags &= ~EFocused;
  FocusChanged(aDrawNow);
}

EXPORT_C void CCoeControl::SetObserver(MCoeControlObserver* aObserver) { iObserver = aObserver; }

EXPORT_C void CCoeControl::Draw(const TRect&) const {}
EXPORT_C void CCoeControl::SizeChanged() {}
EXPORT_C void CCoeControl::PositionChanged() {}
EXPORT_C void CCoeControl::FocusChanged(TDrawNow) {}

EXPORT_C void CCoeControl::ReportEventL(MCoeControlObserver::TCoeEvent aEvent) {
  if (iObserver) iObserver->HandleControlEventL(this, aEvent);
}

// ---- CCoeEnv ----

EXPORT_C CCoeEnv::CCoeEnv() : iAppUi(NULL), iOwnScheduler(NULL), iWsLink(NULL) {
  if (tCoeEnv == NULL) tCoeEnv = this;
}

EXPORT_C CCoeEnv::~CCoeEnv() {
  delete iWsLink;  // its active objects leave the scheduler before the scheduler goes
  iWsLink = NULL;
  iFsSession.Close();
  if (iOwnScheduler) {
    if (CActiveScheduler::Current() == iOwnScheduler) CActiveScheduler::Install(NULL);
    delete iOwnScheduler;
  }
  if (tCoeEnv == this) tCoeEnv = NULL;
}

EXPORT_C void CCoeEnv::ConstructL() {
  User::LeaveIfError(iFsSession.Connect());
  if (CActiveScheduler::Current() == NULL) {
    iOwnScheduler = new (ELeave) CActiveScheduler;
    CActiveScheduler::Install(iOwnScheduler);
  }
  if (iWsLink == NULL) iWsLink = ZHost::CCoeWsLink::NewL(*this);
}

EXPORT_C void CCoeEnv::DestroyEnvironment() {
  CCoeAppUi* appUi = iAppUi;
  iAppUi = NULL;
  delete appUi;
  delete this;
}

EXPORT_C CCoeEnv* CCoeEnv::Static() { return tCoeEnv; }

EXPORT_C void CCoeEnv::SimulateKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) {
  if (iAppUi) iAppUi->RouteKeyEventL(aKeyEvent, aType);
}

// ---- CCoeAppUi ----

EXPORT_C CCoeAppUi::CCoeAppUi() : iCoeEnv(CCoeEnv::Static()) {}

EXPORT_C CCoeAppUi::~CCoeAppUi() {
  if (iCoeEnv && iCoeEnv->iAppUi == this) iCoeEnv->iAppUi = NULL;
}

EXPORT_C void CCoeAppUi::ConstructL(CCoeAppUi*) {
  if (iCoeEnv == NULL) iCoeEnv = CCoeEnv::Static();
  if (iCoeEnv == NULL) User::Leave(KErrNotReady);
  iCoeEnv->iAppUi = this;
}

EXPORT_C void CCoeAppUi::AddToStackL(CCoeControl* aControl, TInt aPriority, TInt aStackingFlags) {
  if (aControl == NULL) User::Leave(KErrArgument);
  RemoveFromStack(aControl);
  // The new entry goes before every entry of the same or lower priority.
  auto pos = std::find_if(iStack.begin(), iStack.end(),
                          [aPriority](const TStackedControl& e) { return e.iPriority <= aPriority; });
  try {
    iStack.insert(pos, TStackedControl{aControl, aPriority, aStackingFlags});
  } catch (const std::bad_alloc&) {
    User::LeaveNoMemory();
  }
}

EXPORT_C void CCoeAppUi::RemoveFromStack(CCoeControl* aControl) {
  iStack.erase(std::remove_if(iStack.begin(), iStack.end(),
                              [aControl](const TStackedControl& e) { return e.iControl == aControl; }),
               iStack.end());
}

EXPORT_C TBool CCoeAppUi::IsOnStack(const CCoeControl* aControl) const {
  return std::any_of(iStack.begin(), iStack.end(), [aControl](const TStackedControl& e) { return e.iControl == aControl; });
}

EXPORT_C void CCoeAppUi::HandleForegroundEventL(TBool) {}

EXPORT_C TKeyResponse CCoeAppUi::HandleKeyEventL(const TKeyEvent&, TEventCode) { return EKeyWasNotConsumed; }

EXPORT_C void CCoeAppUi::HandleWsEventL(const TWsEvent& aEvent, CCoeControl*) {
  switch (aEvent.Type()) {
    case EEventKey:
    case EEventKeyDown:
    case EEventKeyUp:
      RouteKeyEventL(*aEvent.Key(), static_cast<TEventCode>(aEvent.Type()));
      break;
    case EEventFocusGained:
    case EEventFocusLost:
      HandleForegroundEventL(aEvent.Type() == EEventFocusGained);
      break;
    default:
      break;
  }
}

EXPORT_C TKeyResponse CCoeAppUi::RouteKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) {
  // A control may change the stack (or delete itself or another control) while it
  // handles the event: go through a copy, offering only to controls still stacked.
  const std::vector<TStackedControl> snapshot = iStack;
  for (const TStackedControl& e : snapshot) {
    if (e.iFlags & ECoeStackFlagRefusesAllKeys) continue;
    if (!IsOnStack(e.iControl)) continue;
    if (e.iControl->OfferKeyEventL(aKeyEvent, aType) == EKeyWasConsumed) return EKeyWasConsumed;
  }
  return HandleKeyEventL(aKeyEvent, aType);
}
