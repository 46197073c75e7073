// The window server, in process: sessions, window groups and windows on one screen of
// 4096-colour pixels, the event and redraw queues, and the choice of backend.
#include "host_ws_internal.h"

#include <zhost/clock.h>
#include <zhost/screen.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>

namespace {

using ZHost::WsInternal::MBackend;

const TInt KDefaultScreenWidth = 640;
const TInt KDefaultScreenHeight = 200;
const TInt KMaxScreenSide = 4096;
const TUint16 KScreenInitial = 0x0FFF;  // white, as an empty window

struct TWindowRec {
  TInt iParent = 0;  // 0: a window group (the screen is its parent)
  TInt iSession = 0;
  TUint32 iClient = 0;
  TBool iGroup = EFalse;
  TBool iFocusable = EFalse;
  TPoint iPos;
  TSize iSize;
  TBool iVisible = ETrue;
  TBool iActive = EFalse;
  TBool iInvalid = EFalse;
  TRect iInvalidRect;
  TInt64 iOrder = 0;  // larger is nearer the front among siblings
  TBool iHasBackground = EFalse;
  TUint16 iBackground = KScreenInitial;
};

struct TSessionRec {
  TRequestStatus* iEventStatus = NULL;
  TRequestStatus* iRedrawStatus = NULL;
  // A window became invalid since the last redraw notification.
  TBool iRedrawPending = EFalse;
  std::deque<TWsEvent> iEvents;
};

struct TWsState {
  TInt iNextHandle = 1;
  TInt64 iNextOrder = 1;
  TSize iSize;
  TInt iStride = 0;
  std::vector<TUint16> iPixels;
  std::map<TInt, TWindowRec> iWindows;
  std::map<TInt, TSessionRec> iSessions;
  std::unique_ptr<MBackend> iBackend;
  std::string iChoice;
  std::vector<ZHost::Screen::TBlit> iBlits;
  TInt iBlitCount = 0;
  TInt iPresentCount = 0;
  ZHost::Screen::TPresentObserver iPresentObserver = NULL;
  TAny* iPresentObserverAny = NULL;
  TRect iDirty;
  TInt iFocusGroup = 0;
  TBool iPresentSuspended = EFalse;
};

TWsState& Ws() {
  static TWsState s;
  return s;
}

TRect Union(const TRect& aA, const TRect& aB) {
  if (aA.IsEmpty()) return aB;
  if (aB.IsEmpty()) return aA;
  return TRect(std::min(aA.iTl.iX, aB.iTl.iX), std::min(aA.iTl.iY, aB.iTl.iY), std::max(aA.iBr.iX, aB.iBr.iX),
               std::max(aA.iBr.iY, aB.iBr.iY));
}

TRect Intersection(const TRect& aA, const TRect& aB) {
  TRect r(std::max(aA.iTl.iX, aB.iTl.iX), std::max(aA.iTl.iY, aB.iTl.iY), std::min(aA.iBr.iX, aB.iBr.iX),
          std::min(aA.iBr.iY, aB.iBr.iY));
  if (r.iBr.iX < r.iTl.iX) r.iBr.iX = r.iTl.iX;
  if (r.iBr.iY < r.iTl.iY) r.iBr.iY = r.iTl.iY;
  return r;
}

TWindowRec* Window(TInt aHandle) {
  auto it = Ws().iWindows.find(aHandle);
  return it == Ws().iWindows.end() ? NULL : &it->second;
}

TSessionRec* Session(TInt aHandle) {
  auto it = Ws().iSessions.find(aHandle);
  return it == Ws().iSessions.end() ? NULL : &it->second;
}

TSize ScreenSizeFromEnvironment() {
  TSize size(KDefaultScreenWidth, KDefaultScreenHeight);
  if (const char* v = std::getenv("ZOLV_SCREEN_SIZE")) {
    int w = 0, h = 0;
    if (std::sscanf(v, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= KMaxScreenSide && h <= KMaxScreenSide)
      size = TSize(w, h);
    else
      std::fprintf(stderr, "ZOLV_SCREEN_SIZE=%s ignored (expected WIDTHxHEIGHT)\n", v);
  }
  return size;
}

std::string ChooseBackend() {
  TWsState& s = Ws();
  if (!s.iChoice.empty()) return s.iChoice;
  if (const char* v = std::getenv("ZOLV_SCREEN")) {
    if (std::strcmp(v, "sdl") == 0 || std::strcmp(v, "headless") == 0) return v;
    std::fprintf(stderr, "ZOLV_SCREEN=%s ignored (expected sdl or headless)\n", v);
  }
  if (ZHost::Clock::IsVirtual()) return "headless";
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((display && *display) || (wayland && *wayland)) return "sdl";
  return "headless";
}

void OpenScreen() {
  TWsState& s = Ws();
  s.iSize = ScreenSizeFromEnvironment();
  s.iStride = (s.iSize.iWidth + 1) & ~1;
  s.iPixels.assign(static_cast<size_t>(s.iStride) * static_cast<size_t>(s.iSize.iHeight), KScreenInitial);
  s.iBlits.clear();
  s.iBlitCount = 0;
  s.iPresentCount = 0;
  s.iDirty = TRect();
  const std::string choice = ChooseBackend();
  if (choice == "sdl") {
    s.iBackend.reset(ZHost::WsInternal::NewSdlBackend());
    if (s.iBackend && !s.iBackend->Open(s.iSize)) {
      std::fprintf(stderr, "window server: no SDL2 window here, the screen stays in memory\n");
      s.iBackend.reset();
    }
  }
  if (!s.iBackend) {
    s.iBackend.reset(ZHost::WsInternal::NewHeadlessBackend());
    s.iBackend->Open(s.iSize);
  }
}

void CloseScreen() {
  TWsState& s = Ws();
  if (s.iBackend) s.iBackend->Close();
  s.iBackend.reset();
  s.iWindows.clear();
  s.iFocusGroup = 0;
}

// Shows what changed. A presentation that only shows the same pixels again (the window
// was exposed) is not counted: the count and the observer follow the application's
// drawing, whatever the desktop does.
void Present(TBool aRepeat = EFalse) {
  TWsState& s = Ws();
  if (!s.iBackend || s.iDirty.IsEmpty()) return;
  const TRect dirty = s.iDirty;
  s.iDirty = TRect();
  if (!aRepeat) s.iPresentCount++;
  if (!s.iPresentSuspended) s.iBackend->Present(s.iPixels.data(), s.iStride, s.iSize, dirty);
  if (!aRepeat && s.iPresentObserver) s.iPresentObserver(s.iPresentObserverAny);
}

// Screen position of a window's top-left.
TPoint AbsPos(TInt aHandle) {
  TPoint p;
  for (TWindowRec* w = Window(aHandle); w; w = Window(w->iParent)) {
    if (w->iGroup) break;
    p += w->iPos;
  }
  return p;
}

// The screen area a window may draw in: its rectangle limited by its ancestors' and the
// screen's.
TRect DrawableArea(TInt aHandle) {
  TWsState& s = Ws();
  TRect area(TPoint(0, 0), s.iSize);
  for (TInt h = aHandle; TWindowRec* w = Window(h); h = w->iParent) {
    if (w->iGroup) break;
    if (!w->iVisible) return TRect();
    area = Intersection(area, TRect(AbsPos(h), w->iSize));
  }
  return area;
}

void CompleteRedrawReady(TInt aSession) {
  if (TSessionRec* session = Session(aSession)) {
    session->iRedrawPending = ETrue;
    if (session->iRedrawStatus) {
      session->iRedrawPending = EFalse;
      User::RequestComplete(session->iRedrawStatus, KErrNone);
    }
  }
}

void InvalidateWindow(TInt aHandle, const TRect& aRect) {
  TWindowRec* w = Window(aHandle);
  if (!w || w->iGroup) return;
  const TRect r = Intersection(aRect, TRect(TPoint(0, 0), w->iSize));
  if (r.IsEmpty()) return;
  w->iInvalidRect = w->iInvalid ? Union(w->iInvalidRect, r) : r;
  w->iInvalid = ETrue;
  if (w->iActive) CompleteRedrawReady(w->iSession);
}

// Orders the children of aParent (0: the groups) front to back.
std::vector<TInt> Siblings(TInt aParent, TBool aGroups) {
  std::vector<std::pair<TInt64, TInt>> order;
  for (auto& [handle, w] : Ws().iWindows)
    if (w.iGroup == aGroups && (aGroups || w.iParent == aParent)) order.emplace_back(-w.iOrder, handle);
  std::sort(order.begin(), order.end());
  std::vector<TInt> out;
  for (auto& o : order) out.push_back(o.second);
  return out;
}

}  // namespace

// ---- backend call-backs ----

namespace ZHost::WsInternal {

TBool QueueEvent(const TWsEvent& aEvent) {
  TWsState& s = Ws();
  TWindowRec* group = Window(s.iFocusGroup);
  if (!group) return EFalse;
  TSessionRec* session = Session(group->iSession);
  if (!session) return EFalse;
  TWsEvent event = aEvent;
  event.SetHandle(group->iClient);
  if (event.Time() == 0) event.SetTime(ZHost::Clock::HomeTime());
  session->iEvents.push_back(event);
  if (session->iEventStatus) User::RequestComplete(session->iEventStatus, KErrNone);
  return ETrue;
}

void PresentAll() {
  TWsState& s = Ws();
  if (!s.iBackend) return;
  // Anything drawn but not yet flushed is shown (and counted) first.
  Present();
  s.iDirty = TRect(TPoint(0, 0), s.iSize);
  Present(ETrue);
}

}  // namespace ZHost::WsInternal

// ---- RWsSession ----

EXPORT_C RWsSession::RWsSession() : iHandle(0) {}

EXPORT_C TInt RWsSession::Connect() {
  if (iHandle != 0) return KErrNone;
  TWsState& s = Ws();
  if (s.iSessions.empty()) OpenScreen();
  iHandle = s.iNextHandle++;
  s.iSessions[iHandle] = TSessionRec();
  return KErrNone;
}

EXPORT_C void RWsSession::Close() {
  if (iHandle == 0) return;
  TWsState& s = Ws();
  if (TSessionRec* session = Session(iHandle)) {
    if (session->iEventStatus) User::RequestComplete(session->iEventStatus, KErrCancel);
    if (session->iRedrawStatus) User::RequestComplete(session->iRedrawStatus, KErrCancel);
  }
  s.iSessions.erase(iHandle);
  for (auto it = s.iWindows.begin(); it != s.iWindows.end();) {
    if (it->second.iSession == iHandle)
      it = s.iWindows.erase(it);
    else
      ++it;
  }
  if (s.iFocusGroup && !Window(s.iFocusGroup)) s.iFocusGroup = 0;
  iHandle = 0;
  if (s.iSessions.empty()) CloseScreen();
}

EXPORT_C TInt RWsSession::Flush() {
  if (iHandle == 0) return KErrNotReady;
  Present();
  return KErrNone;
}

EXPORT_C void RWsSession::EventReady(TRequestStatus* aStatus) {
  *aStatus = KRequestPending;
  TSessionRec* session = Session(iHandle);
  if (!session) {
    User::RequestComplete(aStatus, KErrNotReady);
    return;
  }
  session->iEventStatus = aStatus;
  if (!session->iEvents.empty()) User::RequestComplete(session->iEventStatus, KErrNone);
}

EXPORT_C void RWsSession::EventReadyCancel() {
  TSessionRec* session = Session(iHandle);
  if (session && session->iEventStatus) User::RequestComplete(session->iEventStatus, KErrCancel);
}

EXPORT_C void RWsSession::GetEvent(TWsEvent& aEvent) {
  aEvent = TWsEvent();
  TSessionRec* session = Session(iHandle);
  if (!session || session->iEvents.empty()) return;
  aEvent = session->iEvents.front();
  session->iEvents.pop_front();
}

EXPORT_C void RWsSession::RedrawReady(TRequestStatus* aStatus) {
  *aStatus = KRequestPending;
  TSessionRec* session = Session(iHandle);
  if (!session) {
    User::RequestComplete(aStatus, KErrNotReady);
    return;
  }
  session->iRedrawStatus = aStatus;
  if (session->iRedrawPending) {
    session->iRedrawPending = EFalse;
    User::RequestComplete(session->iRedrawStatus, KErrNone);
  }
}

EXPORT_C void RWsSession::RedrawReadyCancel() {
  TSessionRec* session = Session(iHandle);
  if (session && session->iRedrawStatus) User::RequestComplete(session->iRedrawStatus, KErrCancel);
}

EXPORT_C TInt RWsSession::GetFocusWindowGroup() {
  TWindowRec* group = Window(Ws().iFocusGroup);
  return group ? static_cast<TInt>(group->iClient) : 0;
}

// ---- RWindowTreeNode ----

EXPORT_C void RWindowTreeNode::Close() {
  if (iWsHandle == 0) return;
  TWsState& s = Ws();
  // Children go with their parent.
  std::vector<TInt> doomed{iWsHandle};
  for (size_t i = 0; i < doomed.size(); ++i)
    for (auto& [handle, w] : s.iWindows)
      if (w.iParent == doomed[i] && !w.iGroup) doomed.push_back(handle);
  for (TInt h : doomed) s.iWindows.erase(h);
  if (s.iFocusGroup == iWsHandle) {
    s.iFocusGroup = 0;
    for (TInt h : Siblings(0, ETrue))
      if (Window(h)->iFocusable) {
        s.iFocusGroup = h;
        break;
      }
  }
  iWsHandle = 0;
}

EXPORT_C TUint32 RWindowTreeNode::ClientHandle() const {
  const TWindowRec* w = Window(iWsHandle);
  return w ? w->iClient : 0;
}

EXPORT_C TInt RWindowTreeNode::OrdinalPosition() const {
  const TWindowRec* w = Window(iWsHandle);
  if (!w) return KErrNotFound;
  const std::vector<TInt> order = Siblings(w->iParent, w->iGroup);
  return static_cast<TInt>(std::find(order.begin(), order.end(), iWsHandle) - order.begin());
}

EXPORT_C void RWindowTreeNode::SetOrdinalPosition(TInt aPos) {
  TWindowRec* w = Window(iWsHandle);
  if (!w) return;
  std::vector<TInt> order = Siblings(w->iParent, w->iGroup);
  order.erase(std::find(order.begin(), order.end(), iWsHandle));
  // A negative position (or one past the end) sends the window to the back.
  const size_t pos = (aPos < 0 || static_cast<size_t>(aPos) > order.size()) ? order.size() : static_cast<size_t>(aPos);
  order.insert(order.begin() + static_cast<std::ptrdiff_t>(pos), iWsHandle);
  TWsState& s = Ws();
  for (auto it = order.rbegin(); it != order.rend(); ++it) Window(*it)->iOrder = s.iNextOrder++;
}

// ---- RWindowGroup ----

EXPORT_C TInt RWindowGroup::Construct(TUint32 aClientHandle) { return Construct(aClientHandle, ETrue); }

EXPORT_C TInt RWindowGroup::Construct(TUint32 aClientHandle, TBool aIsFocusable) {
  if (!iSession || iSession->Handle() == 0) return KErrNotReady;
  if (iWsHandle != 0) return KErrAlreadyExists;
  TWsState& s = Ws();
  TWindowRec w;
  w.iGroup = ETrue;
  w.iFocusable = aIsFocusable;
  w.iSession = iSession->Handle();
  w.iClient = aClientHandle;
  w.iOrder = s.iNextOrder++;
  w.iSize = s.iSize;
  iWsHandle = s.iNextHandle++;
  s.iWindows[iWsHandle] = w;
  if (aIsFocusable) s.iFocusGroup = iWsHandle;
  return KErrNone;
}

// ---- RWindowBase ----

EXPORT_C void RWindowBase::Activate() {
  TWindowRec* w = Window(iWsHandle);
  if (!w || w->iActive) return;
  w->iActive = ETrue;
  if (w->iHasBackground) {
    const TRect area = DrawableArea(iWsHandle);
    TWsState& s = Ws();
    for (TInt y = area.iTl.iY; y < area.iBr.iY; ++y)
      std::fill_n(&s.iPixels[static_cast<size_t>(y) * s.iStride + area.iTl.iX], area.Width(), w->iBackground);
    s.iDirty = Union(s.iDirty, area);
  }
  InvalidateWindow(iWsHandle, TRect(TPoint(0, 0), w->iSize));
}

EXPORT_C void RWindowBase::SetVisible(TBool aState) {
  if (TWindowRec* w = Window(iWsHandle)) w->iVisible = aState;
}

EXPORT_C void RWindowBase::SetExtent(const TPoint& aPos, const TSize& aSize) { SetExtentErr(aPos, aSize); }

EXPORT_C TInt RWindowBase::SetExtentErr(const TPoint& aPos, const TSize& aSize) {
  TWindowRec* w = Window(iWsHandle);
  if (!w) return KErrNotReady;
  if (aSize.iWidth < 0 || aSize.iHeight < 0) return KErrArgument;
  const TBool grew = aSize.iWidth > w->iSize.iWidth || aSize.iHeight > w->iSize.iHeight;
  w->iPos = aPos;
  w->iSize = aSize;
  if (grew) InvalidateWindow(iWsHandle, TRect(TPoint(0, 0), aSize));
  return KErrNone;
}

EXPORT_C void RWindowBase::SetPosition(const TPoint& aPos) {
  if (TWindowRec* w = Window(iWsHandle)) w->iPos = aPos;
}

EXPORT_C void RWindowBase::SetSize(const TSize& aSize) { SetSizeErr(aSize); }

EXPORT_C TInt RWindowBase::SetSizeErr(const TSize& aSize) {
  TWindowRec* w = Window(iWsHandle);
  if (!w) return KErrNotReady;
  return SetExtentErr(w->iPos, aSize);
}

EXPORT_C TPoint RWindowBase::Position() const {
  const TWindowRec* w = Window(iWsHandle);
  return w ? w->iPos : TPoint();
}

EXPORT_C TSize RWindowBase::Size() const {
  const TWindowRec* w = Window(iWsHandle);
  return w ? w->iSize : TSize();
}

EXPORT_C TPoint RWindowBase::AbsPosition() const { return AbsPos(iWsHandle); }

EXPORT_C TPoint RWindowBase::InquireOffset(const RWindowTreeNode& aWindow) const {
  return AbsPos(iWsHandle) - AbsPos(aWindow.WsHandle());
}

// ---- RWindow ----

EXPORT_C TInt RWindow::Construct(const RWindowTreeNode& aParent, TUint32 aClientHandle) {
  if (!iSession || iSession->Handle() == 0) return KErrNotReady;
  if (iWsHandle != 0) return KErrAlreadyExists;
  TWindowRec* parent = Window(aParent.WsHandle());
  if (!parent || parent->iSession != iSession->Handle()) return KErrArgument;
  TWsState& s = Ws();
  TWindowRec w;
  w.iParent = aParent.WsHandle();
  w.iSession = iSession->Handle();
  w.iClient = aClientHandle;
  w.iOrder = s.iNextOrder++;
  // A new window fills its parent until it is given an extent.
  w.iSize = parent->iSize;
  iWsHandle = s.iNextHandle++;
  s.iWindows[iWsHandle] = w;
  return KErrNone;
}

EXPORT_C void RWindow::Invalidate() {
  if (TWindowRec* w = Window(iWsHandle)) InvalidateWindow(iWsHandle, TRect(TPoint(0, 0), w->iSize));
}

EXPORT_C void RWindow::Invalidate(const TRect& aRect) { InvalidateWindow(iWsHandle, aRect); }

EXPORT_C void RWindow::BeginRedraw() {
  if (TWindowRec* w = Window(iWsHandle)) BeginRedraw(TRect(TPoint(0, 0), w->iSize));
}

EXPORT_C void RWindow::BeginRedraw(const TRect& aRect) {
  TWindowRec* w = Window(iWsHandle);
  if (!w || !w->iInvalid) return;
  const TRect redraw = Intersection(aRect, w->iInvalidRect);
  if (w->iHasBackground && !redraw.IsEmpty()) {
    TWsState& s = Ws();
    TRect area = redraw;
    area.Move(AbsPos(iWsHandle));
    area = Intersection(area, DrawableArea(iWsHandle));
    for (TInt y = area.iTl.iY; y < area.iBr.iY; ++y)
      std::fill_n(&s.iPixels[static_cast<size_t>(y) * s.iStride + area.iTl.iX], area.Width(), w->iBackground);
    s.iDirty = Union(s.iDirty, area);
  }
  // The invalid area is kept as one rectangle: it is valid again only when the redraw
  // covers all of it.
  const TRect& inv = w->iInvalidRect;
  if (aRect.iTl.iX <= inv.iTl.iX && aRect.iTl.iY <= inv.iTl.iY && aRect.iBr.iX >= inv.iBr.iX &&
      aRect.iBr.iY >= inv.iBr.iY) {
    w->iInvalid = EFalse;
    w->iInvalidRect = TRect();
  }
}

EXPORT_C void RWindow::EndRedraw() {}

EXPORT_C TBool RWindow::GetInvalidRect(TRect& aRect) const {
  const TWindowRec* w = Window(iWsHandle);
  if (!w || !w->iInvalid) {
    aRect = TRect();
    return EFalse;
  }
  aRect = w->iInvalidRect;
  return ETrue;
}

EXPORT_C void RWindow::SetBackgroundColor(TRgb aColor) {
  if (TWindowRec* w = Window(iWsHandle)) {
    w->iHasBackground = ETrue;
    w->iBackground = static_cast<TUint16>(aColor.Color4K());
  }
}

// ---- CWsScreenDevice ----

EXPORT_C CWsScreenDevice::CWsScreenDevice() : iSession(NULL) {}
EXPORT_C CWsScreenDevice::CWsScreenDevice(RWsSession& aWs) : iSession(&aWs) {}
EXPORT_C CWsScreenDevice::~CWsScreenDevice() {}

EXPORT_C TInt CWsScreenDevice::Construct() {
  return (iSession && iSession->Handle() != 0) ? KErrNone : KErrNotReady;
}

EXPORT_C TSize CWsScreenDevice::SizeInPixels() const { return Ws().iSize; }

EXPORT_C TDisplayMode CWsScreenDevice::DisplayMode() const { return EColor4K; }

EXPORT_C TInt CWsScreenDevice::CreateContext(CWindowGc*& aGc) {
  aGc = NULL;
  TRAPD(err, aGc = new (ELeave) CWindowGc(this));
  return err;
}

// ---- CWindowGc ----

EXPORT_C CWindowGc::CWindowGc(CWsScreenDevice* aDevice) : iDevice(aDevice), iWindow(NULL) {}
EXPORT_C CWindowGc::~CWindowGc() {}
EXPORT_C TInt CWindowGc::Construct() { return KErrNone; }

EXPORT_C void CWindowGc::Activate(RDrawableWindow& aWindow) {
  iWindow = &aWindow;
  Reset();
}

EXPORT_C void CWindowGc::Deactivate() {
  iWindow = NULL;
  Present();
}

EXPORT_C TBool CWindowGc::Target(ZHost::TGcTarget& aTarget) const {
  if (!iWindow || !::Window(iWindow->WsHandle())) return EFalse;
  TWsState& s = Ws();
  if (s.iPixels.empty()) return EFalse;
  aTarget.iPixels = s.iPixels.data();
  aTarget.iStride = s.iStride;
  aTarget.iBounds = DrawableArea(iWindow->WsHandle());
  aTarget.iOrigin = AbsPos(iWindow->WsHandle());
  return ETrue;
}

EXPORT_C void CWindowGc::Changed(const TRect& aScreenRect, TBool aBitBlt) {
  TWsState& s = Ws();
  s.iDirty = Union(s.iDirty, aScreenRect);
  if (aBitBlt) {
    s.iBlitCount++;
    s.iBlits.push_back(ZHost::Screen::TBlit{aScreenRect});
    // Tests read the recent copies; an application running for hours must not grow.
    if (s.iBlits.size() > 4096) s.iBlits.erase(s.iBlits.begin(), s.iBlits.begin() + 2048);
  }
}

// ---- ZHost::Screen ----

namespace ZHost::Screen {

void SetBackendChoice(const std::string& aName) { Ws().iChoice = aName; }

void SetPresentSuspended(TBool aSuspended) { Ws().iPresentSuspended = aSuspended; }

void ClearPixels() {
  TWsState& s = Ws();
  std::fill(s.iPixels.begin(), s.iPixels.end(), KScreenInitial);
  s.iDirty = TRect();
}

TBool ShowPixels(const std::vector<TUint16>& aPixels) {
  TWsState& s = Ws();
  if (!IsConnected() || aPixels.size() != static_cast<size_t>(s.iSize.iWidth) * s.iSize.iHeight) return EFalse;
  for (TInt y = 0; y < s.iSize.iHeight; ++y)
    std::copy_n(&aPixels[static_cast<size_t>(y) * s.iSize.iWidth], s.iSize.iWidth, &s.iPixels[static_cast<size_t>(y) * s.iStride]);
  s.iDirty = TRect(TPoint(0, 0), s.iSize);
  Present(ETrue);
  return ETrue;
}

std::string BackendName() {
  TWsState& s = Ws();
  return s.iBackend ? s.iBackend->Name() : std::string();
}

TBool IsConnected() { return !Ws().iSessions.empty(); }

TSize Size() { return IsConnected() ? Ws().iSize : TSize(); }
TInt Stride() { return IsConnected() ? Ws().iStride : 0; }
const TUint16* Pixels() { return IsConnected() ? Ws().iPixels.data() : NULL; }

TUint16 Pixel(TInt aX, TInt aY) {
  TWsState& s = Ws();
  if (!IsConnected() || aX < 0 || aY < 0 || aX >= s.iSize.iWidth || aY >= s.iSize.iHeight) return 0;
  return s.iPixels[static_cast<size_t>(aY) * s.iStride + aX];
}

std::vector<TUint16> Copy(const TRect& aRect) {
  std::vector<TUint16> out;
  for (TInt y = aRect.iTl.iY; y < aRect.iBr.iY; ++y)
    for (TInt x = aRect.iTl.iX; x < aRect.iBr.iX; ++x) out.push_back(Pixel(x, y));
  return out;
}

TInt SaveWindowPng(const std::string& aPath) {
  TWsState& s = Ws();
  if (!s.iBackend) return KErrNotReady;
  return s.iBackend->SaveWindowPng(aPath.c_str());
}

TInt BlitCount() { return Ws().iBlitCount; }
std::vector<TBlit> Blits() { return Ws().iBlits; }

void ResetBlits() {
  Ws().iBlits.clear();
  Ws().iBlitCount = 0;
}

TInt PresentCount() { return Ws().iPresentCount; }

void SetPresentObserver(TPresentObserver aObserver, TAny* aAny) {
  Ws().iPresentObserver = aObserver;
  Ws().iPresentObserverAny = aAny;
}

void QueueKeyEvent(const TKeyEvent& aKey, TEventCode aType) {
  TWsEvent event;
  *event.Key() = aKey;
  if (aType == EEventKey) {
    event.SetType(EEventKeyDown);
    event.Key()->iCode = 0;
    ZHost::WsInternal::QueueEvent(event);
    *event.Key() = aKey;
    event.SetType(EEventKey);
    ZHost::WsInternal::QueueEvent(event);
    event.SetType(EEventKeyUp);
    event.Key()->iCode = 0;
    ZHost::WsInternal::QueueEvent(event);
  } else {
    event.SetType(aType);
    ZHost::WsInternal::QueueEvent(event);
  }
}

void QueueCloseRequest() {
  TWsEvent event;
  event.SetType(EEventZHostCloseRequest);
  ZHost::WsInternal::QueueEvent(event);
}

}  // namespace ZHost::Screen
