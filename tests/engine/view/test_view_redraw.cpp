// The view's redraw cycle: what each redraw copies to the window with and without a back
// buffer, which sprites it draws again, the full copies after a framework redraw, the
// clip rectangle, direct screen copies, key routing and construction under allocation
// failures.

#include "view_rig.h"

#include <zhost/allocfail.h>

#include <gtest/gtest.h>

using namespace ViewTest;

namespace {

// Channels 1..aStatic hold still bitmap sprites; the top channel a moving one.
void StaticSceneWithMover(Rig& aRig, TInt aStatic, CZElement*& aMoverElement) {
  const Picture p = Pattern(24, 16, 3);
  CZElement* e = aRig.Bitmap(p, "still");
  for (TInt ch = 1; ch <= aStatic; ++ch) {
    CZSprite* s = aRig.iController->Sprite(ch);
    s->Element(e);
    s->Loc(ch * 30, 20 + ch * 5);
  }
  const Picture m = Pattern(10, 10, 8);
  aMoverElement = aRig.Bitmap(m, "mover");
  CZSprite* mover = aRig.iController->Sprite(aStatic + 1);
  mover->Element(aMoverElement);
  mover->Loc(0, 100);
  aRig.iScript.iOnBegin = [&aRig, aStatic](TInt) {
    CZSprite* s = aRig.iController->Sprite(aStatic + 1);
    s->Loc(s->X() + 7, 100);
  };
}

}  // namespace

TEST(ViewRedraw, WithoutBackBufferEveryUpdateCopiesTheWholeViewToItsPlaceInTheWindow) {
  Rig rig(TSize(300, 120), EFalse, 6, TPoint(20, 10));
  CZElement* mover = NULL;
  StaticSceneWithMover(rig, 4, mover);
  EXPECT_FALSE(rig.iView->BackBuffer());
  for (TInt frame = 0; frame < 4; ++frame) {
    ZHost::Screen::ResetBlits();
    const TInt drawnBefore = rig.iView->SpritesDrawn();
    rig.Frames(1);
    EXPECT_EQ(rig.iView->LastCopyRect(), TRect(0, 0, 300, 120));
    ASSERT_EQ(ZHost::Screen::BlitCount(), 1);
    EXPECT_EQ(ZHost::Screen::Blits()[0].iRect, TRect(20, 10, 320, 130));
    EXPECT_EQ(rig.iView->SpritesDrawn() - drawnBefore, 5);  // every sprite, every frame
  }
  // The window shows the off-screen bitmap at the view's place.
  const Picture off = rig.OffScreen();
  for (TInt y = 0; y < 120; y += 7)
    for (TInt x = 0; x < 300; x += 5) ASSERT_EQ(ZHost::Screen::Pixel(20 + x, 10 + y), off.At(x, y));
}

TEST(ViewRedraw, BackBufferKeepsTheStaticLayerAndCopiesOnlyTheMovedAreas) {
  Rig rig(TSize(300, 120), ETrue, 6);
  CZElement* mover = NULL;
  StaticSceneWithMover(rig, 4, mover);
  ASSERT_TRUE(rig.iView->BackBuffer());
  rig.Frames(3);  // the back buffer fills
  for (TInt frame = 0; frame < 5; ++frame) {
    CZSprite* s = rig.iController->Sprite(5);
    const TInt oldX = s->X();
    const TInt drawnBefore = rig.iView->SpritesDrawn();
    ZHost::Screen::ResetBlits();
    rig.Frames(1);
    // Only the mover is drawn again; the copy covers its old and new places.
    EXPECT_EQ(rig.iView->SpritesDrawn() - drawnBefore, 1);
    EXPECT_EQ(rig.iView->LastCopyRect(), TRect(oldX, 100, s->X() + 10, 110));
    ASSERT_EQ(ZHost::Screen::BlitCount(), 1);
    EXPECT_EQ(ZHost::Screen::Blits()[0].iRect, TRect(oldX, 100, s->X() + 10, 110));
  }
  // What the buffered redraws built equals a full redraw of the same scene.
  const Picture buffered = rig.OffScreen();
  rig.iController->ZBufferMax(0);  // no sprite kept in the back buffer: a full redraw
  rig.Frames(1);
  rig.iController->ZBufferMax(1000000);
  Picture full = rig.OffScreen();
  // The full redraw moved the mover once more: compare everything but its rows.
  for (TInt y = 100; y < 110; ++y)
    for (TInt x = 0; x < 300; ++x) full.At(x, y) = buffered.At(x, y);
  EXPECT_EQ(buffered.px, full.px);
  rig.Frames(2);

  // A change inside the buffered layer (made in the frame, where scripts work) brings a
  // full rebuild, and the sprite leaves nothing behind at its old place.
  const Picture before = rig.OffScreen();
  const TUint16 bg = before.At(299, 0);
  ASSERT_NE(before.At(60, 30), bg);
  auto move = rig.iScript.iOnBegin;
  rig.iScript.iOnBegin = [&](TInt aFrame) {
    move(aFrame);
    rig.iController->Sprite(2)->Loc(200, 30);
  };
  const TInt drawnBefore = rig.iView->SpritesDrawn();
  rig.Frames(1);
  EXPECT_EQ(rig.iView->SpritesDrawn() - drawnBefore, 5);
  EXPECT_EQ(rig.iView->LastCopyRect(), TRect(0, 0, 300, 120));
  rig.iScript.iOnBegin = move;
  rig.Frames(2);
  EXPECT_EQ(rig.OffScreen().At(60, 30), bg);
  EXPECT_NE(rig.OffScreen().At(200, 30), bg);
}

TEST(ViewRedraw, AFrameworkRedrawBringsExactlyThreeFullCopies) {
  Rig rig(TSize(300, 120), ETrue, 6);
  CZElement* mover = NULL;
  StaticSceneWithMover(rig, 4, mover);
  rig.Frames(4);
  EXPECT_NE(rig.iView->LastCopyRect(), TRect(0, 0, 300, 120));
  const TInt containerDraws = rig.iContainer->iDraws;
  ZHost::Screen::ResetBlits();
  rig.iContainer->Invalidate(TRect(0, 0, 640, 200));
  rig.iEnv->RunUntilIdle();
  EXPECT_EQ(rig.iContainer->iDraws, containerDraws + 1);
  ASSERT_EQ(ZHost::Screen::BlitCount(), 1);  // the view's Draw copied everything
  EXPECT_EQ(ZHost::Screen::Blits()[0].iRect, TRect(0, 0, 300, 120));
  EXPECT_EQ(TZTestAccess::DrawRectFull(rig.iView), 3);
  for (TInt i = 0; i < 3; ++i) {
    rig.Frames(1);
    EXPECT_EQ(rig.iView->LastCopyRect(), TRect(0, 0, 300, 120)) << "copy " << i;
  }
  rig.Frames(1);
  EXPECT_NE(rig.iView->LastCopyRect(), TRect(0, 0, 300, 120));
  EXPECT_EQ(rig.iView->LastCopyRect().Height(), 10);
}

TEST(ViewRedraw, ADrawWithoutPlayerDoesNothing) {
  ZHost::Testing::TestEnvironment env;
  CZView* view = CZView::NewL(TRect(0, 0, 50, 40), NULL);
  view->Update();
  TZTestAccess::DrawView(view, TRect(0, 0, 50, 40));
  EXPECT_EQ(view->SpritesDrawn(), 0);
  EXPECT_TRUE(view->LastCopyRect().IsEmpty());
  EXPECT_EQ(view->UpdateCount(), 1);
  delete view;
}

TEST(ViewRedraw, ClipRectangleIsKeptInsideTheView) {
  Rig rig(TSize(120, 80));
  TZTestAccess::ClipRectSet(rig.iView, TRect(0, 0, 0, 0));
  EXPECT_EQ(TZTestAccess::ClipRect(rig.iView), TRect(0, 0, 120, 80));
  TZTestAccess::ClipRectSet(rig.iView, TRect(-5, -5, 20, 0));  // width 25: used
  EXPECT_EQ(TZTestAccess::ClipRect(rig.iView), TRect(0, 0, 20, 0));
  TZTestAccess::ClipRectSet(rig.iView, TRect(10, 20, 500, 500));
  EXPECT_EQ(TZTestAccess::ClipRect(rig.iView), TRect(10, 20, 120, 80));

  // A sprite with the (-5,-5,20,0) clip draws nothing and reports nothing.
  CZSprite* s = rig.iController->Sprite(1);
  s->Element(rig.Bitmap(Pattern(8, 8)));
  s->Loc(2, 2);
  s->ClipRect(TRect(-5, -5, 20, 0));
  for (TInt angle : {0, 45}) {
    s->Angle(angle);
    rig.iView->Update();
    const Picture got = rig.OffScreen();
    EXPECT_EQ(got.At(3, 3), got.At(100, 70)) << angle;
    EXPECT_EQ(rig.iView->LastCopyRect(), TRect(0, 0, 120, 80));
  }
}

TEST(ViewRedraw, ForegroundNeedsAFullScreenViewWithScreenMemory) {
  Rig rig(TSize(640, 200));
  rig.iView->Foreground(ETrue);
  EXPECT_FALSE(TZTestAccess::ForegroundFlag(rig.iView));  // no screen memory on this host
  // Not full screen: false even with screen memory.
  std::vector<TUint32> screen(320 * 200);
  CZView* half = CZView::NewL(TRect(0, 0, 320, 200), rig.iContainer);
  TZTestAccess::FakeScreen(half, screen.data(), TSize(640, 200));
  half->Foreground(ETrue);
  EXPECT_FALSE(TZTestAccess::ForegroundFlag(half));
  delete half;
}

TEST(ViewRedraw, DirectScreenCopiesCoverWholePixelPairs) {
  Rig rig(TSize(640, 200));
  CZSprite* s = rig.iController->Sprite(1);
  Picture p = Pattern(16, 2, 6);
  s->Element(rig.Bitmap(p));
  rig.iView->Update();
  std::vector<TUint32> screen(320 * 200, 0xDEADBEEF);
  TZTestAccess::FakeScreen(rig.iView, screen.data(), TSize(640, 200));
  const TUint16* words = reinterpret_cast<const TUint16*>(screen.data());
  TZTestAccess::DrawToScreen(rig.iView, TRect(3, 0, 6, 1));
  for (TInt x = 0; x < 10; ++x) {
    if (x >= 2 && x <= 5)
      EXPECT_EQ(words[x], p.At(x, 0)) << x;
    else
      EXPECT_NE(words[x], p.At(x, 0)) << x;
  }
  EXPECT_EQ(screen[320 + 1], 0xDEADBEEFu);  // row 1 untouched
  std::fill(screen.begin(), screen.end(), 0xDEADBEEF);
  TZTestAccess::DrawToScreen(rig.iView, TRect(4, 0, 5, 1));
  EXPECT_EQ(words[4], p.At(4, 0));
  EXPECT_EQ(words[5], p.At(5, 0));
  EXPECT_NE(words[3], p.At(3, 0));
  EXPECT_NE(words[6], p.At(6, 0));
  // Outside the screen nothing is written.
  std::fill(screen.begin(), screen.end(), 0xDEADBEEF);
  TZTestAccess::DrawToScreen(rig.iView, TRect(-20, -20, 0, 300));
  EXPECT_EQ(std::count(screen.begin(), screen.end(), 0xDEADBEEFu), 320 * 200);
  TZTestAccess::FakeScreen(rig.iView, NULL, TSize(640, 200));
}

TEST(ViewRedraw, KeyEventsGoThroughTheControllerToTheScript) {
  Rig rig(TSize(100, 50));
  TKeyEvent key{};
  key.iCode = 'z';
  EXPECT_EQ(rig.iView->OfferKeyEventL(key, EEventKey), EKeyWasConsumed);
  ASSERT_EQ(rig.iScript.iKeys.size(), 1u);
  EXPECT_EQ(rig.iScript.iKeys[0], static_cast<TUint>('z'));
  // From the window server's keyboard queue, through the control stack.
  ZHost::Screen::QueueKeyEvent(key, EEventKey);
  rig.iEnv->RunUntilIdle();
  EXPECT_EQ(rig.iScript.iKeys.size(), 4u);  // down, key, up
  // A view without player consumes nothing.
  CZView* loose = CZView::NewL(TRect(0, 0, 10, 10), rig.iContainer);
  EXPECT_EQ(loose->OfferKeyEventL(key, EEventKey), EKeyWasNotConsumed);
  delete loose;
}

TEST(ViewRedraw, ConstructionSurvivesEveryAllocationFailureWithoutLeaks) {
  ZHost::Testing::TestEnvironment env;
  CContainer container;
  container.CreateWindowL();
  container.SetRect(TRect(0, 0, 640, 200));
  for (TBool backBuffer : {TBool(EFalse), TBool(ETrue)}) {
    const TInt steps = ZHost::SweepAllocFailures([&] {
      CZView* view = CZView::NewL(TRect(0, 0, 333, 77), &container, backBuffer);
      EXPECT_EQ(view->Width(), 333);
      EXPECT_EQ(view->BackBuffer(), backBuffer);
      EXPECT_EQ(view->DrawBufferBitmap() != NULL, backBuffer);
      delete view;
    });
    EXPECT_GT(steps, 3) << backBuffer;
  }
}
