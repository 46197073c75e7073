// The host's screen: the pixels of the window server's screen and the backend that shows
// them. Tests read the pixels here; tools save them as PNG.
//
// Backends: "sdl" (a real SDL2 window of the screen's size, scaled up by a whole factor
// to suit the desktop) and "headless" (the screen only in memory). The choice is made
// when the first window-server session connects: ZOLV_SCREEN=sdl|headless if set;
// otherwise headless on the virtual clock (tests) or when there is no display
// (DISPLAY and WAYLAND_DISPLAY unset), SDL2 else. If SDL2 cannot open its window the
// screen falls back to headless.
#ifndef ZHOST_SCREEN_H
#define ZHOST_SCREEN_H

#include <e32std.h>
#include <w32std.h>

#include <string>
#include <vector>

namespace ZHost::Screen {

// Makes the next first connection use this backend ("sdl", "headless"; empty: choose
// by the environment as above).
IMPORT_C void SetBackendChoice(const std::string& aName);
// The backend in use ("sdl" or "headless"), or empty while no session is connected.
IMPORT_C std::string BackendName();
IMPORT_C TBool IsConnected();

// Screen size and pixels (4096-colour words, row stride Stride() pixels). Empty while
// no session is connected.
IMPORT_C TSize Size();
IMPORT_C TInt Stride();
IMPORT_C const TUint16* Pixels();
IMPORT_C TUint16 Pixel(TInt aX, TInt aY);
// A copy of an area of the screen, row by row.
IMPORT_C std::vector<TUint16> Copy(const TRect& aRect);
// Writes the screen (or an area of it) as a 24-bit PNG file. KErrNone, KErrNotReady
// with no screen, KErrGeneral when the file cannot be written.
IMPORT_C TInt SavePng(const std::string& aPath);
IMPORT_C TInt SavePng(const std::string& aPath, const TRect& aRect);
// Writes what the backend's window shows (scaled as on the desktop) as a PNG file:
// KErrNotSupported for the headless backend, KErrNotReady with no screen.
IMPORT_C TInt SaveWindowPng(const std::string& aPath);

// Bookkeeping of the copies of bitmaps to windows (BitBlt through a window context):
// how many there were and where they landed on the screen, clipped.
struct TBlit {
  TRect iRect;
};
IMPORT_C TInt BlitCount();
IMPORT_C std::vector<TBlit> Blits();
IMPORT_C void ResetBlits();
// Presentations made by the backend (flushes with something changed).
IMPORT_C TInt PresentCount();
// Calls aObserver(aAny) after each presentation, when the screen's pixels hold the new
// picture (NULL removes it). One observer at a time; it must not draw.
typedef void (*TPresentObserver)(TAny* aAny);
IMPORT_C void SetPresentObserver(TPresentObserver aObserver, TAny* aAny);

// While suspended, the backend does not show what is drawn (presentations are still
// counted and observed): a run can be brought up to a frame out of sight.
IMPORT_C void SetPresentSuspended(TBool aSuspended);
// Sets every pixel of the screen to the colour of a new screen (white), without showing it.
IMPORT_C void ClearPixels();
// Puts pixels (the whole screen, row by row, as Copy returns them) back on the screen and
// shows them, without counting a presentation. EFalse if they do not fit the screen.
IMPORT_C TBool ShowPixels(const std::vector<TUint16>& aPixels);

// Writes a contact sheet as a 24-bit PNG file: the frames (screen copies of aFrameSize,
// row by row, as Copy returns them) shrunk by aShrink in a grid of aColumns columns with
// a dark gap between them. KErrArgument without frames or with a frame of the wrong
// size, KErrGeneral when the file cannot be written.
IMPORT_C TInt SaveContactSheetPng(const std::string& aPath, const std::vector<std::vector<TUint16>>& aFrames,
                                  TSize aFrameSize, TInt aColumns, TInt aShrink);

// Queues a key event (and the window server's key down / up around it when aType is
// EEventKey) for the focused window group, as the keyboard would.
IMPORT_C void QueueKeyEvent(const TKeyEvent& aKey, TEventCode aType);
// Queues the host's close request (the desktop's close button).
IMPORT_C void QueueCloseRequest();

// Keyboard mapping of the SDL2 backend: an SDL key code (SDL_Keycode) with its modifiers
// (SDL_Keymod) to the platform's key code, scan code and modifiers. ETrue if the key
// means something on the device.
IMPORT_C TBool MapSdlKey(TInt aSdlKey, TInt aSdlScancode, TUint aSdlMod, TKeyEvent& aEvent);

}  // namespace ZHost::Screen

#endif
