// Inside the host's window server: the backend interface and what backends call back.
#ifndef HOST_WS_INTERNAL_H
#define HOST_WS_INTERNAL_H

#include <w32std.h>

namespace ZHost::WsInternal {

// Shows the screen. Open is called when the first session connects, Close when the last
// one goes; Present after drawing with the screen area that changed.
class MBackend {
public:
  virtual ~MBackend() {}
  virtual const char* Name() const = 0;
  // EFalse if the backend cannot work here (the server then falls back to headless).
  virtual TBool Open(TSize aScreenSize) = 0;
  virtual void Present(const TUint16* aPixels, TInt aStride, TSize aSize, const TRect& aDirty) = 0;
  virtual void Close() = 0;
  // Writes what the backend's window shows now as a PNG file (KErrNotSupported when
  // there is no window).
  virtual TInt SaveWindowPng(const char* aPath) = 0;
};

MBackend* NewHeadlessBackend();
// NULL when SDL2 support is not built in.
MBackend* NewSdlBackend();

// Queues an event for the session of the focused window group (scheduler thread only).
// EFalse if there is no focused window group to take it.
TBool QueueEvent(const TWsEvent& aEvent);
// The whole screen changed outside the application (exposed): present it again.
void PresentAll();

}  // namespace ZHost::WsInternal

#endif
