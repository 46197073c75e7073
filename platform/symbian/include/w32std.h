// The window server's client side: the session, window groups and windows, the screen
// device, the window graphics context, and the events (keys, redraws) the server sends.
//
// On this host the server lives in the application's process. The screen is one 4096-
// colour pixel store of the device's screen size (640 x 200 unless ZOLV_SCREEN_SIZE says
// otherwise); windows are rectangles of it, and drawing into a window writes the screen's
// pixels clipped to the window. A backend shows the screen: a real SDL2 window, or the
// headless one that only keeps it in memory (zhost/screen.h).
#ifndef W32STD_H
#define W32STD_H

#include <e32std.h>
#include <e32keys.h>
#include <zhost/wsbitmap.h>
#include <bitstd.h>

enum TEventCode {
  EEventNull,
  EEventKey,
  EEventKeyUp,
  EEventKeyDown,
  EEventModifiersChanged,
  EEventPointer,
  EEventPointerEnter,
  EEventPointerExit,
  EEventPointerBufferReady,
  EEventDragDrop,
  EEventFocusLost,
  EEventFocusGained,
  EEventSwitchOn,
  EEventPassword,
  EEventWindowGroupsChanged,
  EEventErrorMessage,
  EEventMessageReady,
  EEventMarkInvalid,
  EEventSwitchOff,
  EEventKeySwitchOff,
  EEventScreenDeviceChanged,
  EEventFocusGroupChanged,
  EEventCaseOpened,
  EEventCaseClosed,
  EEventUser = 1000,
};

// One key event: the character code (TKeyCode or a character), the standard scan code
// (TStdScanCode), the modifiers held (TEventModifier bits) and the repeat count.
struct TKeyEvent {
  TUint iCode;
  TInt iScanCode;
  TUint iModifiers;
  TInt iRepeats;
};

// Events the server queues for a session: key events for its focused window group, and
// the host's request to close the application's window (the desktop's close button).
const TInt EEventZHostCloseRequest = EEventUser + 0x7A00;

class TWsEvent {
public:
  TWsEvent() : iType(EEventNull), iHandle(0), iTime(0), iKey() {}
  TInt Type() const { return iType; }
  TUint32 Handle() const { return iHandle; }
  TInt64 Time() const { return iTime; }
  TKeyEvent* Key() { return &iKey; }
  const TKeyEvent* Key() const { return &iKey; }
  void SetType(TInt aType) { iType = aType; }
  void SetHandle(TUint32 aHandle) { iHandle = aHandle; }
  void SetTime(TInt64 aTime) { iTime = aTime; }

private:
  TInt iType;
  TUint32 iHandle;
  TInt64 iTime;
  TKeyEvent iKey;
};

class RWindowTreeNode;
class CWsScreenDevice;
class CWindowGc;

// A connection to the window server. The first connection of the process creates the
// screen and its backend; the last one to close shuts the backend down.
class RWsSession {
public:
  IMPORT_C RWsSession();
  IMPORT_C TInt Connect();
  IMPORT_C void Close();
  TInt Handle() const { return iHandle; }
  // Shows what has been drawn since the last flush (the backend presents the screen).
  IMPORT_C TInt Flush();
  // aStatus completes when an event is waiting for this session.
  IMPORT_C void EventReady(TRequestStatus* aStatus);
  IMPORT_C void EventReadyCancel();
  // Takes the oldest waiting event; EEventNull if there is none.
  IMPORT_C void GetEvent(TWsEvent& aEvent);
  // aStatus completes when a window of this session has an invalid area to redraw.
  IMPORT_C void RedrawReady(TRequestStatus* aStatus);
  IMPORT_C void RedrawReadyCancel();
  // The client handle of the window group that has the keyboard focus (0: none).
  IMPORT_C TInt GetFocusWindowGroup();

private:
  TInt iHandle;
};

// Window groups and windows. The handle names the server's window record; the client
// handle is the application's own number for the window.
class RWindowTreeNode {
public:
  IMPORT_C void Close();
  IMPORT_C TUint32 ClientHandle() const;
  // Position among the siblings, 0 the front.
  IMPORT_C TInt OrdinalPosition() const;
  IMPORT_C void SetOrdinalPosition(TInt aPos);
  TInt WsHandle() const { return iWsHandle; }

protected:
  RWindowTreeNode() : iSession(NULL), iWsHandle(0) {}
  explicit RWindowTreeNode(RWsSession& aWs) : iSession(&aWs), iWsHandle(0) {}
  RWsSession* iSession;
  TInt iWsHandle;
};

class RWindowGroup : public RWindowTreeNode {
public:
  RWindowGroup() {}
  explicit RWindowGroup(RWsSession& aWs) : RWindowTreeNode(aWs) {}
  // Creates the group in front of the session's other groups; it takes the focus.
  IMPORT_C TInt Construct(TUint32 aClientHandle);
  IMPORT_C TInt Construct(TUint32 aClientHandle, TBool aIsFocusable);
};

class RWindowBase : public RWindowTreeNode {
public:
  // Makes the window visible; its whole area becomes invalid (it must be drawn).
  IMPORT_C void Activate();
  IMPORT_C void SetVisible(TBool aState);
  IMPORT_C void SetExtent(const TPoint& aPos, const TSize& aSize);
  IMPORT_C TInt SetExtentErr(const TPoint& aPos, const TSize& aSize);
  IMPORT_C void SetPosition(const TPoint& aPos);
  IMPORT_C void SetSize(const TSize& aSize);
  IMPORT_C TInt SetSizeErr(const TSize& aSize);
  // Position relative to the parent window, and size.
  IMPORT_C TPoint Position() const;
  IMPORT_C TSize Size() const;
  // Position of the window's top-left on the screen.
  IMPORT_C TPoint AbsPosition() const;
  // The offset of this window's origin from aWindow's origin.
  IMPORT_C TPoint InquireOffset(const RWindowTreeNode& aWindow) const;

protected:
  RWindowBase() {}
  explicit RWindowBase(RWsSession& aWs) : RWindowTreeNode(aWs) {}
};

class RDrawableWindow : public RWindowBase {
protected:
  RDrawableWindow() {}
  explicit RDrawableWindow(RWsSession& aWs) : RWindowBase(aWs) {}
};

// A window whose content the application redraws when the server asks (the invalid
// area). BeginRedraw(rect) validates rect; drawing outside a redraw is allowed too.
class RWindow : public RDrawableWindow {
public:
  RWindow() {}
  explicit RWindow(RWsSession& aWs) : RDrawableWindow(aWs) {}
  // aParent: a window group or a window of the same session.
  IMPORT_C TInt Construct(const RWindowTreeNode& aParent, TUint32 aClientHandle);
  IMPORT_C void Invalidate();
  IMPORT_C void Invalidate(const TRect& aRect);
  IMPORT_C void BeginRedraw();
  IMPORT_C void BeginRedraw(const TRect& aRect);
  IMPORT_C void EndRedraw();
  // The smallest rectangle holding the invalid area, in window coordinates; ETrue
  // if there is one.
  IMPORT_C TBool GetInvalidRect(TRect& aRect) const;
  IMPORT_C void SetBackgroundColor(TRgb aColor);
};

// The screen as a graphics device.
class CWsScreenDevice : public CGraphicsDevice {
public:
  IMPORT_C CWsScreenDevice();
  IMPORT_C explicit CWsScreenDevice(RWsSession& aWs);
  IMPORT_C ~CWsScreenDevice();
  IMPORT_C TInt Construct();
  IMPORT_C TSize SizeInPixels() const;
  IMPORT_C TDisplayMode DisplayMode() const;
  IMPORT_C TInt CreateContext(CWindowGc*& aGc);
  RWsSession* Session() const { return iSession; }

private:
  RWsSession* iSession;
};

// Draws into a window: the window's pixels on the screen, clipped to the window (and to
// the clipping rectangle). Coordinates are relative to the window's top-left plus the
// origin.
class CWindowGc : public CBitmapContext {
public:
  IMPORT_C explicit CWindowGc(CWsScreenDevice* aDevice);
  IMPORT_C ~CWindowGc();
  IMPORT_C TInt Construct();
  IMPORT_C void Activate(RDrawableWindow& aWindow);
  IMPORT_C void Deactivate();
  RDrawableWindow* Window() const { return iWindow; }
  CWsScreenDevice* Device() const { return iDevice; }

protected:
  IMPORT_C TBool Target(ZHost::TGcTarget& aTarget) const override;
  IMPORT_C void Changed(const TRect& aScreenRect, TBool aBitBlt) override;

private:
  CWsScreenDevice* iDevice;
  RDrawableWindow* iWindow;
};

#endif
