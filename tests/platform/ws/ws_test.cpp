// The window server on the host: windows on the screen, window graphics contexts and
// bitmap contexts, framework redraws through controls, key events and the close request,
// the SDL keyboard mapping and saving the screen as PNG.
#include <bitdev.h>
#include <coecntrl.h>
#include <coemain.h>
#include <w32std.h>
#include <zhost/screen.h>
#include <zhost_testing.h>

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using ZHost::Testing::TestEnvironment;

namespace {

const TUint16 KWhite = 0x0FFF;

// A 4096-colour bitmap filled with one word.
CFbsBitmap* FilledBitmap(TSize aSize, TUint16 aWord) {
  CFbsBitmap* bitmap = new CFbsBitmap;
  EXPECT_EQ(bitmap->Create(aSize, EColor4K), KErrNone);
  TUint16* p = reinterpret_cast<TUint16*>(bitmap->DataAddress());
  const TInt stride = CFbsBitmap::ScanLineLength(aSize.iWidth, EColor4K) / 2;
  for (TInt i = 0; i < stride * aSize.iHeight; ++i) p[i] = aWord;
  return bitmap;
}

TUint16 BitmapWord(const CFbsBitmap& aBitmap, TInt aX, TInt aY) {
  const TInt stride = CFbsBitmap::ScanLineLength(aBitmap.SizeInPixels().iWidth, EColor4K) / 2;
  return reinterpret_cast<const TUint16*>(aBitmap.DataAddress())[aY * stride + aX];
}

// A window-owning control that records its redraws and paints its area with BitBlt.
class CRecordingControl : public CCoeControl {
public:
  void Draw(const TRect& aRect) const override {
    iDraws.push_back(aRect);
    if (iPaint) SystemGc().BitBlt(aRect.iTl, iPaint, TRect(TPoint(0, 0), aRect.Size()));
  }
  TInt CountComponentControls() const override { return iChild ? 1 : 0; }
  CCoeControl* ComponentControl(TInt) const override { return iChild; }
  mutable std::vector<TRect> iDraws;
  CFbsBitmap* iPaint = NULL;
  CCoeControl* iChild = NULL;
};

class CKeyControl : public CCoeControl {
public:
  TKeyResponse OfferKeyEventL(const TKeyEvent& aKey, TEventCode aType) override {
    iEvents.emplace_back(aType, aKey.iCode);
    return EKeyWasConsumed;
  }
  std::vector<std::pair<TEventCode, TUint>> iEvents;
};

}  // namespace

TEST(WsScreen, TestsGetAHeadlessScreenOfTheDeviceSize) {
  TestEnvironment env;
  EXPECT_EQ(ZHost::Screen::BackendName(), "headless");
  EXPECT_EQ(ZHost::Screen::Size(), TSize(640, 200));
  EXPECT_EQ(env.Env()->ScreenDevice()->SizeInPixels(), TSize(640, 200));
  EXPECT_EQ(env.Env()->ScreenDevice()->DisplayMode(), EColor4K);
  EXPECT_EQ(ZHost::Screen::Pixel(0, 0), KWhite);
  EXPECT_EQ(ZHost::Screen::Pixel(639, 199), KWhite);
  EXPECT_EQ(ZHost::Screen::Pixel(640, 0), 0);  // outside
}

TEST(WsScreen, BitBltToNestedWindowsLandsAtTheirScreenPositionClippedToTheWindow) {
  TestEnvironment env;
  RWsSession& ws = env.Env()->WsSession();
  RWindow outer(ws), inner(ws);
  ASSERT_EQ(outer.Construct(env.Env()->RootWin(), 1), KErrNone);
  outer.SetExtent(TPoint(100, 50), TSize(200, 100));
  ASSERT_EQ(inner.Construct(outer, 2), KErrNone);
  inner.SetExtent(TPoint(10, 20), TSize(30, 10));
  EXPECT_EQ(inner.AbsPosition(), TPoint(110, 70));
  EXPECT_EQ(inner.InquireOffset(outer), TPoint(10, 20));

  CFbsBitmap* red = FilledBitmap(TSize(50, 50), 0x000F);
  CWindowGc& gc = env.Env()->SystemGc();
  ZHost::Screen::ResetBlits();
  gc.Activate(inner);
  gc.BitBlt(TPoint(-5, 2), red);  // reaches past every edge but the top
  gc.Deactivate();
  // Window (110,70)-(140,80); the bitmap covers window x -5.., y 2..
  EXPECT_EQ(ZHost::Screen::Pixel(110, 72), 0x000F);
  EXPECT_EQ(ZHost::Screen::Pixel(139, 79), 0x000F);
  EXPECT_EQ(ZHost::Screen::Pixel(110, 71), KWhite);  // above the bitmap
  EXPECT_EQ(ZHost::Screen::Pixel(140, 75), KWhite);  // right of the window
  EXPECT_EQ(ZHost::Screen::Pixel(109, 75), KWhite);  // left of the window
  EXPECT_EQ(ZHost::Screen::Pixel(120, 80), KWhite);  // below the window
  ASSERT_EQ(ZHost::Screen::BlitCount(), 1);
  EXPECT_EQ(ZHost::Screen::Blits()[0].iRect, TRect(110, 72, 140, 80));

  // A source rectangle partly outside the bitmap copies only what exists, in place.
  gc.Activate(outer);
  CFbsBitmap* blue = FilledBitmap(TSize(4, 4), 0x0F00);
  gc.BitBlt(TPoint(0, 0), blue, TRect(-2, -2, 6, 6));
  gc.Deactivate();
  EXPECT_EQ(ZHost::Screen::Pixel(101, 51), KWhite);
  EXPECT_EQ(ZHost::Screen::Pixel(102, 52), 0x0F00);
  EXPECT_EQ(ZHost::Screen::Pixel(105, 55), 0x0F00);
  EXPECT_EQ(ZHost::Screen::Pixel(106, 56), KWhite);
  EXPECT_EQ(ZHost::Screen::Blits().back().iRect, TRect(102, 52, 106, 56));
  delete red;
  delete blue;
  inner.Close();
  outer.Close();
}

TEST(WsBitmapGc, ClearUsesTheBrushColourWithinClipAndOrigin) {
  TestEnvironment env;
  CFbsBitmap* bitmap = FilledBitmap(TSize(7, 3), 0);
  CFbsBitmapDevice* device = CFbsBitmapDevice::NewL(bitmap);
  CFbsBitGc* gc = NULL;
  ASSERT_EQ(device->CreateContext(gc), KErrNone);
  gc->SetBrushColor(TRgb(0xF0, 0x80, 0x10));  // 4096 colours: 0x18F
  gc->Clear();
  EXPECT_EQ(BitmapWord(*bitmap, 0, 0), 0x018F);
  EXPECT_EQ(BitmapWord(*bitmap, 6, 2), 0x018F);
  // The row padding of an odd width stays untouched.
  EXPECT_EQ(reinterpret_cast<TUint16*>(bitmap->DataAddress())[7], 0);

  gc->SetBrushColor(KRgbBlack);
  gc->SetOrigin(TPoint(1, 0));
  gc->SetClippingRect(TRect(0, 0, 3, 2));  // device (1,0)-(4,2)
  gc->Clear(TRect(-10, -10, 100, 100));
  EXPECT_EQ(BitmapWord(*bitmap, 0, 0), 0x018F);
  EXPECT_EQ(BitmapWord(*bitmap, 1, 0), 0);
  EXPECT_EQ(BitmapWord(*bitmap, 3, 1), 0);
  EXPECT_EQ(BitmapWord(*bitmap, 4, 1), 0x018F);
  EXPECT_EQ(BitmapWord(*bitmap, 1, 2), 0x018F);

  // Bitmap to bitmap, a part of the source.
  gc->CancelClippingRect();
  gc->SetOrigin();
  CFbsBitmap* source = FilledBitmap(TSize(3, 3), 0x0ABC);
  gc->BitBlt(TPoint(5, 1), source, TRect(1, 1, 3, 3));
  EXPECT_EQ(BitmapWord(*bitmap, 5, 1), 0x0ABC);
  EXPECT_EQ(BitmapWord(*bitmap, 6, 2), 0x0ABC);
  EXPECT_EQ(BitmapWord(*bitmap, 4, 1), 0x018F);
  delete source;
  delete gc;
  delete device;
  delete bitmap;
}

TEST(WsControls, ActivationAndInvalidationBringFrameworkRedrawsToControlAndComponents) {
  TestEnvironment env;
  CRecordingControl* parent = new CRecordingControl;
  parent->CreateWindowL();
  parent->SetRect(TRect(20, 10, 120, 60));
  EXPECT_TRUE(parent->OwnsWindow());
  EXPECT_EQ(parent->Rect(), TRect(0, 0, 100, 50));  // window coordinates
  EXPECT_EQ(parent->DrawableWindow()->AbsPosition(), TPoint(20, 10));

  CRecordingControl* child = new CRecordingControl;
  child->SetContainerWindowL(*parent);
  child->SetRect(TRect(5, 5, 15, 10));
  EXPECT_FALSE(child->OwnsWindow());
  EXPECT_EQ(child->DrawableWindow(), parent->DrawableWindow());
  CFbsBitmap* green = FilledBitmap(TSize(10, 5), 0x00F0);
  child->iPaint = green;
  parent->iChild = child;

  // Nothing is drawn before activation; activation makes the whole window invalid.
  env.RunUntilIdle();
  EXPECT_TRUE(parent->iDraws.empty());
  parent->ActivateL();
  env.RunUntilIdle();
  ASSERT_EQ(parent->iDraws.size(), 1u);
  EXPECT_EQ(parent->iDraws[0], TRect(0, 0, 100, 50));
  ASSERT_EQ(child->iDraws.size(), 1u);
  EXPECT_EQ(child->iDraws[0], TRect(5, 5, 15, 10));
  EXPECT_EQ(ZHost::Screen::Pixel(25, 15), 0x00F0);  // child's paint, in the parent's window
  EXPECT_EQ(ZHost::Screen::Pixel(34, 19), 0x00F0);
  EXPECT_EQ(ZHost::Screen::Pixel(35, 15), KWhite);

  // A redraw of a part reaches only the components that it touches, limited to it.
  parent->Invalidate(TRect(0, 0, 8, 8));
  env.RunUntilIdle();
  ASSERT_EQ(parent->iDraws.size(), 2u);
  EXPECT_EQ(parent->iDraws[1], TRect(0, 0, 8, 8));
  ASSERT_EQ(child->iDraws.size(), 2u);
  EXPECT_EQ(child->iDraws[1], TRect(5, 5, 8, 8));
  parent->Invalidate(TRect(50, 30, 60, 40));
  env.RunUntilIdle();
  EXPECT_EQ(parent->iDraws.size(), 3u);
  EXPECT_EQ(child->iDraws.size(), 2u);

  // DrawDeferred waits for the scheduler; DrawNow draws at once; a validated window
  // brings no further redraw.
  parent->DrawDeferred();
  EXPECT_EQ(parent->iDraws.size(), 3u);
  env.RunUntilIdle();
  EXPECT_EQ(parent->iDraws.size(), 4u);
  parent->DrawNow();
  EXPECT_EQ(parent->iDraws.size(), 5u);
  env.RunUntilIdle();
  EXPECT_EQ(parent->iDraws.size(), 5u);

  // An invisible control is not drawn, and its window is validated all the same.
  parent->MakeVisible(EFalse);
  parent->Invalidate(TRect(0, 0, 10, 10));
  env.RunUntilIdle();
  EXPECT_EQ(parent->iDraws.size(), 5u);
  parent->MakeVisible(ETrue);
  env.RunUntilIdle();
  EXPECT_EQ(parent->iDraws.size(), 5u);

  delete child;
  delete parent;
  delete green;
  // A redraw pending for a deleted control's window does nothing.
  env.RunUntilIdle();
}

TEST(WsControls, ControlWithoutWindowStillDrawsDirectlyAndCannotLendAWindow) {
  TestEnvironment env;
  CRecordingControl plain;
  plain.SetRect(TRect(1, 2, 3, 4));
  plain.ActivateL();
  plain.DrawNow();
  ASSERT_EQ(plain.iDraws.size(), 1u);
  EXPECT_EQ(plain.iDraws[0], TRect(1, 2, 3, 4));
  CRecordingControl other;
  TRAPD(err, other.SetContainerWindowL(plain));
  EXPECT_EQ(err, KErrNotReady);
}

TEST(WsEvents, KeyEventsFromTheServerReachTheControlStackInOrder) {
  TestEnvironment env;
  CKeyControl* control = new CKeyControl;
  env.AppUi()->AddToStackL(control);
  TKeyEvent key{};
  key.iCode = 'a';
  key.iScanCode = 'A';
  ZHost::Screen::QueueKeyEvent(key, EEventKey);
  EXPECT_TRUE(control->iEvents.empty());  // delivered by the scheduler, not at once
  env.RunUntilIdle();
  ASSERT_EQ(control->iEvents.size(), 3u);
  EXPECT_EQ(control->iEvents[0], std::make_pair(EEventKeyDown, 0u));
  EXPECT_EQ(control->iEvents[1], std::make_pair(EEventKey, static_cast<TUint>('a')));
  EXPECT_EQ(control->iEvents[2], std::make_pair(EEventKeyUp, 0u));
  env.AppUi()->RemoveFromStack(control);
  delete control;
}

TEST(WsEvents, TheHostCloseRequestIsTheExitCommand) {
  TestEnvironment env;
  EXPECT_FALSE(env.AppUi()->ExitRequested());
  ZHost::Screen::QueueCloseRequest();
  env.RunUntilIdle();
  EXPECT_TRUE(env.AppUi()->ExitRequested());
}

TEST(WsWindowGroups, NewGroupsComeToTheFrontAndTakeTheFocus) {
  TestEnvironment env;
  RWsSession& ws = env.Env()->WsSession();
  RWindowGroup& root = env.Env()->RootWin();
  EXPECT_EQ(root.OrdinalPosition(), 0);
  RWindowGroup other(ws);
  ASSERT_EQ(other.Construct(77), KErrNone);
  EXPECT_EQ(other.OrdinalPosition(), 0);
  EXPECT_EQ(root.OrdinalPosition(), 1);
  EXPECT_EQ(ws.GetFocusWindowGroup(), 77);
  root.SetOrdinalPosition(0);
  EXPECT_EQ(root.OrdinalPosition(), 0);
  EXPECT_EQ(other.OrdinalPosition(), 1);
  other.Close();
  EXPECT_EQ(ws.GetFocusWindowGroup(), static_cast<TInt>(root.ClientHandle()));
  // A window cannot be built on a closed parent.
  RWindow orphan(ws);
  EXPECT_EQ(orphan.Construct(other, 5), KErrArgument);
}

TEST(WsKeyboard, SdlKeysMapToThePlatformsCodes) {
  TKeyEvent e;
  ASSERT_TRUE(ZHost::Screen::MapSdlKey(SDLK_a, 0, KMOD_NONE, e));
  EXPECT_EQ(e.iCode, static_cast<TUint>('a'));
  EXPECT_EQ(e.iScanCode, 'A');
  ASSERT_TRUE(ZHost::Screen::MapSdlKey(SDLK_a, 0, KMOD_LSHIFT, e));
  EXPECT_EQ(e.iCode, static_cast<TUint>('A'));
  EXPECT_TRUE(e.iModifiers & EModifierShift);
  EXPECT_TRUE(e.iModifiers & EModifierLeftShift);
  ASSERT_TRUE(ZHost::Screen::MapSdlKey(SDLK_a, 0, KMOD_CAPS | KMOD_LSHIFT, e));
  EXPECT_EQ(e.iCode, static_cast<TUint>('a'));
  ASSERT_TRUE(ZHost::Screen::MapSdlKey(SDLK_c, 0, KMOD_LCTRL, e));
  EXPECT_EQ(e.iCode, 3u);
  ASSERT_TRUE(ZHost::Screen::MapSdlKey(SDLK_LEFT, 0, KMOD_NONE, e));
  EXPECT_EQ(e.iCode, static_cast<TUint>(EKeyLeftArrow));
  EXPECT_EQ(e.iScanCode, EStdKeyLeftArrow);
  ASSERT_TRUE(ZHost::Screen::MapSdlKey(SDLK_RETURN, 0, KMOD_NONE, e));
  EXPECT_EQ(e.iCode, static_cast<TUint>(EKeyEnter));
  ASSERT_TRUE(ZHost::Screen::MapSdlKey(SDLK_F3, 0, KMOD_NONE, e));
  EXPECT_EQ(e.iCode, static_cast<TUint>(EKeyF3));
  EXPECT_EQ(e.iScanCode, EStdKeyF1 + 2);
  ASSERT_TRUE(ZHost::Screen::MapSdlKey(SDLK_7, 0, KMOD_NONE, e));
  EXPECT_EQ(e.iCode, static_cast<TUint>('7'));
  EXPECT_FALSE(ZHost::Screen::MapSdlKey(SDLK_VOLUMEUP, 0, KMOD_NONE, e));
}

TEST(WsScreen, SavePngWritesTheScreensColours) {
  TestEnvironment env;
  RWindow window(env.Env()->WsSession());
  ASSERT_EQ(window.Construct(env.Env()->RootWin(), 9), KErrNone);
  window.SetExtent(TPoint(0, 0), TSize(640, 200));
  CFbsBitmap* bitmap = FilledBitmap(TSize(2, 1), 0x0F80);  // blue 15, green 8, red 0
  CWindowGc& gc = env.Env()->SystemGc();
  gc.Activate(window);
  gc.BitBlt(TPoint(3, 4), bitmap);
  gc.Deactivate();
  const std::string path = env.Root() + "/screen.png";
  ASSERT_EQ(ZHost::Screen::SavePng(path), KErrNone);
  SDL_Surface* loaded = IMG_Load(path.c_str());
  ASSERT_NE(loaded, nullptr);
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
  ASSERT_NE(rgb, nullptr);
  EXPECT_EQ(rgb->w, 640);
  EXPECT_EQ(rgb->h, 200);
  const Uint8* px = static_cast<const Uint8*>(rgb->pixels) + 4 * rgb->pitch + 3 * 3;
  EXPECT_EQ(px[0], 0x00);
  EXPECT_EQ(px[1], 0x88);
  EXPECT_EQ(px[2], 0xFF);
  const Uint8* white = static_cast<const Uint8*>(rgb->pixels);
  EXPECT_EQ(white[0], 0xFF);
  SDL_FreeSurface(rgb);
  SDL_FreeSurface(loaded);
  EXPECT_EQ(ZHost::Screen::SavePng(env.Root() + "/no/such/folder/x.png"), KErrGeneral);
  delete bitmap;
  window.Close();
}

TEST(WsScreen, NoScreenWithoutASession) {
  EXPECT_FALSE(ZHost::Screen::IsConnected());
  EXPECT_EQ(ZHost::Screen::SavePng("/tmp/never.png"), KErrNotReady);
  EXPECT_EQ(ZHost::Screen::Pixels(), nullptr);
}
