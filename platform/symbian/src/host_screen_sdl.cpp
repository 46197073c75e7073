// The SDL2 screen backend: a real window of the screen's size, scaled up by a whole
// factor to suit the desktop, showing the 4096-colour pixels directly as an XBGR4444
// texture. It is also the scheduler's event source: while the application waits, it
// waits for SDL's events and turns keys into the platform's key events.
#include "host_ws_internal.h"

#include <zhost/clock.h>
#include <zhost/screen.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>

namespace {

TUint Modifiers(TUint aSdlMod) {
  TUint m = 0;
  if (aSdlMod & KMOD_LSHIFT) m |= EModifierLeftShift | EModifierShift;
  if (aSdlMod & KMOD_RSHIFT) m |= EModifierRightShift | EModifierShift;
  if (aSdlMod & KMOD_LCTRL) m |= EModifierLeftCtrl | EModifierCtrl;
  if (aSdlMod & KMOD_RCTRL) m |= EModifierRightCtrl | EModifierCtrl;
  if (aSdlMod & KMOD_LALT) m |= EModifierLeftAlt | EModifierAlt;
  if (aSdlMod & KMOD_RALT) m |= EModifierRightAlt | EModifierAlt;
  if (aSdlMod & KMOD_CAPS) m |= EModifierCapsLock;
  if (aSdlMod & KMOD_NUM) m |= EModifierNumLock;
  return m;
}

class TSdlBackend : public ZHost::WsInternal::MBackend, public ZHost::MEventSource {
public:
  const char* Name() const override { return "sdl"; }

  TBool Open(TSize aScreenSize) override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
      std::fprintf(stderr, "SDL2: %s\n", SDL_GetError());
      return EFalse;
    }
    // The largest whole factor that keeps the window within 90% of the desktop.
    TInt scale = 1;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
      const TInt sx = desktop.w * 9 / 10 / std::max(1, aScreenSize.iWidth);
      const TInt sy = desktop.h * 9 / 10 / std::max(1, aScreenSize.iHeight);
      scale = std::max(1, std::min(sx, sy));
    }
    iScale = scale;
    iWindow = SDL_CreateWindow("Zolvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, aScreenSize.iWidth * scale,
                               aScreenSize.iHeight * scale, SDL_WINDOW_SHOWN);
    if (iWindow) iRenderer = SDL_CreateRenderer(iWindow, -1, 0);
    if (iRenderer) {
      SDL_RenderSetLogicalSize(iRenderer, aScreenSize.iWidth, aScreenSize.iHeight);
      SDL_RenderSetIntegerScale(iRenderer, SDL_TRUE);
      iTexture = SDL_CreateTexture(iRenderer, SDL_PIXELFORMAT_XBGR4444, SDL_TEXTUREACCESS_STREAMING,
                                   aScreenSize.iWidth, aScreenSize.iHeight);
    }
    if (!iTexture) {
      std::fprintf(stderr, "SDL2: %s\n", SDL_GetError());
      Close();
      return EFalse;
    }
    iWakeEvent = SDL_RegisterEvents(1);
    ZHost::SetEventSource(this);
    return ETrue;
  }

  void Present(const TUint16* aPixels, TInt aStride, TSize, const TRect&) override {
    if (!iTexture) return;
    // The whole screen is one small texture: upload it all.
    SDL_UpdateTexture(iTexture, NULL, aPixels, aStride * 2);
    SDL_RenderClear(iRenderer);
    SDL_RenderCopy(iRenderer, iTexture, NULL, NULL);
    SDL_RenderPresent(iRenderer);
  }

  void Close() override {
    ZHost::SetEventSource(NULL);
    if (iTexture) SDL_DestroyTexture(iTexture);
    if (iRenderer) SDL_DestroyRenderer(iRenderer);
    if (iWindow) SDL_DestroyWindow(iWindow);
    iTexture = NULL;
    iRenderer = NULL;
    iWindow = NULL;
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    // With no other part of SDL2 in use, let it release its helpers (the desktop bus
    // connection among them) too.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }

  TInt SaveWindowPng(const char* aPath) override {
    if (!iRenderer) return KErrNotReady;
    // Draw the screen again and read the window's pixels before they are shown.
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(iRenderer, &w, &h) != 0) return KErrGeneral;
    SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormat(0, w, h, 24, SDL_PIXELFORMAT_RGB24);
    if (!shot) return KErrNoMemory;
    SDL_RenderClear(iRenderer);
    SDL_RenderCopy(iRenderer, iTexture, NULL, NULL);
    SDL_RenderSetViewport(iRenderer, NULL);
    const int rc = SDL_RenderReadPixels(iRenderer, NULL, SDL_PIXELFORMAT_RGB24, shot->pixels, shot->pitch);
    SDL_RenderPresent(iRenderer);
    const int saved = rc == 0 ? IMG_SavePNG(shot, aPath) : -1;
    SDL_FreeSurface(shot);
    return saved == 0 ? KErrNone : KErrGeneral;
  }

  // ---- MEventSource: runs on the scheduler's thread ----

  void WaitForEvents(TInt64 aMaxMicroSeconds) override {
    SDL_Event event;
    int timeout = -1;
    if (aMaxMicroSeconds >= 0) timeout = static_cast<int>(std::min<TInt64>((aMaxMicroSeconds + 999) / 1000, 1 << 30));
    if (SDL_WaitEventTimeout(&event, timeout)) {
      Handle(event);
      while (SDL_PollEvent(&event)) Handle(event);
    }
  }

  void Wake() override {
    SDL_Event event{};
    event.type = iWakeEvent;
    SDL_PushEvent(&event);
  }

private:
  void Handle(const SDL_Event& aEvent) {
    switch (aEvent.type) {
      case SDL_QUIT:
        ZHost::Screen::QueueCloseRequest();
        break;
      case SDL_WINDOWEVENT:
        if (aEvent.window.event == SDL_WINDOWEVENT_EXPOSED) ZHost::WsInternal::PresentAll();
        // The window taking or losing the keyboard brings the application to the
        // foreground or sends it to the background.
        if (aEvent.window.event == SDL_WINDOWEVENT_FOCUS_GAINED || aEvent.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          TWsEvent ws;
          ws.SetType(aEvent.window.event == SDL_WINDOWEVENT_FOCUS_GAINED ? EEventFocusGained : EEventFocusLost);
          ZHost::WsInternal::QueueEvent(ws);
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        TKeyEvent key{};
        if (!ZHost::Screen::MapSdlKey(aEvent.key.keysym.sym, aEvent.key.keysym.scancode, aEvent.key.keysym.mod, key))
          break;
        TWsEvent ws;
        if (aEvent.type == SDL_KEYDOWN) {
          key.iRepeats = aEvent.key.repeat ? 1 : 0;
          if (!aEvent.key.repeat) {
            ws.SetType(EEventKeyDown);
            *ws.Key() = key;
            ws.Key()->iCode = 0;
            ZHost::WsInternal::QueueEvent(ws);
          }
          ws.SetType(EEventKey);
          *ws.Key() = key;
        } else {
          ws.SetType(EEventKeyUp);
          *ws.Key() = key;
          ws.Key()->iCode = 0;
        }
        ZHost::WsInternal::QueueEvent(ws);
        break;
      }
      default:
        break;
    }
  }

  SDL_Window* iWindow = NULL;
  SDL_Renderer* iRenderer = NULL;
  SDL_Texture* iTexture = NULL;
  Uint32 iWakeEvent = 0;
  TInt iScale = 1;
};

}  // namespace

namespace ZHost::WsInternal {
MBackend* NewSdlBackend() { return new TSdlBackend; }
}  // namespace ZHost::WsInternal

namespace ZHost::Screen {

TBool MapSdlKey(TInt aSdlKey, TInt aSdlScancode, TUint aSdlMod, TKeyEvent& aEvent) {
  (void)aSdlScancode;
  aEvent = TKeyEvent{};
  aEvent.iModifiers = Modifiers(aSdlMod);
  const TBool shift = (aSdlMod & KMOD_SHIFT) != 0;
  const TBool caps = (aSdlMod & KMOD_CAPS) != 0;
  struct TMap {
    TInt iSdl;
    TUint iCode;
    TInt iScan;
  };
  static const TMap KSpecial[] = {
      {SDLK_RETURN, EKeyEnter, EStdKeyEnter},
      {SDLK_KP_ENTER, EKeyEnter, EStdKeyEnter},
      {SDLK_ESCAPE, EKeyEscape, EStdKeyEscape},
      {SDLK_BACKSPACE, EKeyBackspace, EStdKeyBackspace},
      {SDLK_TAB, EKeyTab, EStdKeyTab},
      {SDLK_SPACE, EKeySpace, EStdKeySpace},
      {SDLK_DELETE, EKeyDelete, EStdKeyDelete},
      {SDLK_INSERT, EKeyInsert, EStdKeyInsert},
      {SDLK_HOME, EKeyHome, EStdKeyHome},
      {SDLK_END, EKeyEnd, EStdKeyEnd},
      {SDLK_PAGEUP, EKeyPageUp, EStdKeyPageUp},
      {SDLK_PAGEDOWN, EKeyPageDown, EStdKeyPageDown},
      {SDLK_LEFT, EKeyLeftArrow, EStdKeyLeftArrow},
      {SDLK_RIGHT, EKeyRightArrow, EStdKeyRightArrow},
      {SDLK_UP, EKeyUpArrow, EStdKeyUpArrow},
      {SDLK_DOWN, EKeyDownArrow, EStdKeyDownArrow},
      {SDLK_LSHIFT, EKeyLeftShift, EStdKeyLeftShift},
      {SDLK_RSHIFT, EKeyRightShift, EStdKeyRightShift},
      {SDLK_LCTRL, EKeyLeftCtrl, EStdKeyLeftCtrl},
      {SDLK_RCTRL, EKeyRightCtrl, EStdKeyRightCtrl},
      {SDLK_LALT, EKeyLeftAlt, EStdKeyLeftAlt},
      {SDLK_RALT, EKeyRightAlt, EStdKeyRightAlt},
      {SDLK_CAPSLOCK, EKeyCapsLock, EStdKeyCapsLock},
      {SDLK_MENU, EKeyMenu, EStdKeyNull},
      {SDLK_PRINTSCREEN, EKeyPrintScreen, EStdKeyPrintScreen},
      {SDLK_PAUSE, EKeyPause, EStdKeyPause},
      {SDLK_COMMA, ',', EStdKeyComma},
      {SDLK_PERIOD, '.', EStdKeyFullStop},
      {SDLK_SLASH, '/', EStdKeyForwardSlash},
      {SDLK_BACKSLASH, '\\', EStdKeyBackSlash},
      {SDLK_SEMICOLON, ';', EStdKeySemiColon},
      {SDLK_QUOTE, '\'', EStdKeySingleQuote},
      {SDLK_HASH, '#', EStdKeyHash},
      {SDLK_LEFTBRACKET, '[', EStdKeySquareBracketLeft},
      {SDLK_RIGHTBRACKET, ']', EStdKeySquareBracketRight},
      {SDLK_MINUS, '-', EStdKeyMinus},
      {SDLK_EQUALS, '=', EStdKeyEquals},
  };
  for (const TMap& m : KSpecial) {
    if (m.iSdl == aSdlKey) {
      aEvent.iCode = m.iCode;
      aEvent.iScanCode = m.iScan;
      return ETrue;
    }
  }
  if (aSdlKey >= SDLK_F1 && aSdlKey <= SDLK_F12) {
    aEvent.iCode = EKeyF1 + static_cast<TUint>(aSdlKey - SDLK_F1);
    aEvent.iScanCode = EStdKeyF1 + (aSdlKey - SDLK_F1);
    return ETrue;
  }
  if (aSdlKey >= SDLK_a && aSdlKey <= SDLK_z) {
    const TInt upper = 'A' + (aSdlKey - SDLK_a);
    aEvent.iScanCode = upper;
    aEvent.iCode = (shift != caps) ? static_cast<TUint>(upper) : static_cast<TUint>(aSdlKey);
    if (aSdlMod & KMOD_CTRL) aEvent.iCode = static_cast<TUint>(upper - 'A' + 1);  // Ctrl+A is 1
    return ETrue;
  }
  if (aSdlKey >= SDLK_0 && aSdlKey <= SDLK_9) {
    aEvent.iScanCode = aSdlKey;
    aEvent.iCode = static_cast<TUint>(aSdlKey);
    return ETrue;
  }
  return EFalse;
}

}  // namespace ZHost::Screen
