// Sprite change notifications, counted through a real player's z-buffer counts: a
// notification from the sprite at z position p lowers the count of back-buffered
// sprites to p.

#include <gtest/gtest.h>

#include <ZolvaneTesting.h>

#include <functional>

#include "../elements/ZTestAccess.h"

namespace {

const TInt KChannels = 5;

class SpriteNotify : public ::testing::Test {
protected:
  SpriteNotify() : iHarness(Options()) {
    for (TInt ch = 1; ch <= KChannels; ch++) {
      Sprite(ch)->Rectangle(TPoint(ch * 10, 0), TPoint(ch * 10 + 8, 8));
    }
    iPlayer = TZTestAccess::Player(Sprite(1));
  }
  static ZTest::Harness::Options Options() {
    ZTest::Harness::Options o;
    o.channels = KChannels;
    o.backBuffer = ETrue;
    return o;
  }
  CZSprite* Sprite(TInt aChannel) { return iHarness.Controller().Sprite(aChannel); }

  // Runs aChange after a fresh frame preparation and answers the z-buffer count it left:
  // KChannels when nothing was reported.
  TInt CountAfter(const std::function<void()>& aChange) {
    iPlayer->FramePrepare();
    EXPECT_EQ(iPlayer->ZBuffered(), KChannels);
    aChange();
    return iPlayer->ZBuffered();
  }

  ZTest::Harness iHarness;
  CZPlayer* iPlayer = nullptr;
};

TEST_F(SpriteNotify, SettersReportChangesAndStaySilentOnEqualValues) {
  CZSprite* s = Sprite(3);  // z position 2
  const std::function<void()> changes[] = {
      [&] { s->Loc(1, 2); },
      [&] { s->Angle(-1); },
      [&] { s->Size(20, 30); },
      [&] { s->Blend(50); },
      [&] { s->Mask(ETrue); },
      [&] { s->Visible(EFalse); },
      [&] { s->ClipRect(TRect(0, 0, 5, 5)); },
      [&] { s->PenColor(TRgb(9, 9, 9)); },
      [&] { s->BrushColor(TRgb(9, 9, 9)); },
      [&] { s->PenSize(TSize(2, 2)); },
      [&] { s->PenStyle(CGraphicsContext::EDashedPen); },
      [&] { s->BrushStyle(CGraphicsContext::EPatternedBrush); },
  };
  for (const auto& change : changes) {
    EXPECT_EQ(CountAfter(change), 2);
    EXPECT_EQ(CountAfter(change), KChannels);  // the same value again: silent
  }
  // Clamped and normalised values count as equal when their result is.
  EXPECT_EQ(CountAfter([&] { s->Angle(359); }), KChannels);
  EXPECT_EQ(CountAfter([&] { s->Blend(-40); s->Blend(50); }), 2);
  EXPECT_EQ(CountAfter([&] { s->PenSize(TSize(2, 2)); s->PenSize(TSize(2, 2)); }), KChannels);
  EXPECT_EQ(CountAfter([&] { s->BrushStyle(CGraphicsContext::ESolidBrush); }), KChannels);
  // Size compares before clamping, so a clamped request reports again.
  EXPECT_EQ(CountAfter([&] { s->Size(-5, 2000000); }), 2);
  EXPECT_EQ(CountAfter([&] { s->Size(-5, 2000000); }), 2);
  // Player-side bookkeeping is not a visible change.
  EXPECT_EQ(CountAfter([&] { TZTestAccess::LifeTime(s, 4); }), KChannels);
}

TEST_F(SpriteNotify, ContentChangesReport) {
  CZSprite* s = Sprite(2);  // z position 1
  CTestElement* base = new CTestElement(SHAPE_ELEMENT);
  CZElement* element = TZTestAccess::NewFacadeL(base);
  EXPECT_EQ(CountAfter([&] { s->Element(element); }), 1);
  EXPECT_EQ(CountAfter([&] { s->Element(element); }), KChannels);
  EXPECT_EQ(CountAfter([&] { s->Size(4, 4); }), 1);
  EXPECT_EQ(CountAfter([&] { s->SizeReset(); }), 1);
  EXPECT_EQ(CountAfter([&] { s->SizeReset(); }), KChannels);
  EXPECT_EQ(CountAfter([&] { s->Element(NULL); }), 1);
  EXPECT_EQ(s->Type(), 0);
  // An empty sprite is not counted by the frame preparation; give it a shape again.
  s->Ellipse(TPoint(0, 0), TPoint(3, 3));
  EXPECT_EQ(CountAfter([&] { s->Line(TPoint(0, 0), TPoint(3, 3)); }), 1);
  EXPECT_EQ(CountAfter([&] { TZTestAccess::ElementChanged(s); }), 1);
  EXPECT_EQ(CountAfter([&] { s->Clear(); }), 1);
  s->Rectangle(TPoint(0, 0), TPoint(3, 3));
  TZTestAccess::DeleteFacade(element);
}

TEST_F(SpriteNotify, TransitionsReportWhenSetButNotWhenTheyEnd) {
  CZSprite* s = Sprite(4);  // z position 3
  iPlayer->FramePrepare();
  s->Transition(6, 0);
  EXPECT_EQ(iPlayer->ZBuffered(), 3);
  // While it runs, the frame preparation stops below it; its end sends nothing.
  iPlayer->FramePrepare();
  EXPECT_EQ(iPlayer->ZBuffered(), 3);
  TZTestAccess::Update(s);
  EXPECT_EQ(s->Transition(), 0);
  EXPECT_EQ(CountAfter([&] { TZTestAccess::Update(s); }), KChannels);
}

TEST_F(SpriteNotify, AChangedElementIsReportedByTheFirstSpriteUpdated) {
  CTestElement* base = new CTestElement(BITMAP_ELEMENT);
  CZElement* element = TZTestAccess::NewFacadeL(base);
  Sprite(3)->Element(element);
  Sprite(4)->Element(element);
  EXPECT_EQ(base->Access(), 2);
  base->Changed();
  iPlayer->FramePrepare();
  EXPECT_EQ(iPlayer->ZBuffered(), KChannels);
  TZTestAccess::Update(Sprite(4));
  EXPECT_EQ(iPlayer->ZBuffered(), 3);
  EXPECT_FALSE(base->IsChanged());
  TZTestAccess::Update(Sprite(3));
  EXPECT_EQ(iPlayer->ZBuffered(), 3);  // the same change is not reported twice
  EXPECT_EQ(CountAfter([&] { TZTestAccess::Update(Sprite(3)); }), KChannels);
  Sprite(3)->Clear();
  Sprite(4)->Clear();
  EXPECT_EQ(base->Access(), 0);
  TZTestAccess::DeleteFacade(element);
}

TEST_F(SpriteNotify, LocZResortsThroughThePlayer) {
  CZSprite* s = Sprite(1);
  EXPECT_EQ(CountAfter([&] { s->LocZ(10); }), 0);
  CArrayPtrFlat<CZSprite>* zList = iPlayer->SpriteList();
  EXPECT_EQ(zList->At(KChannels - 1), s);
  EXPECT_EQ(CountAfter([&] { s->LocZ(10); }), KChannels);
  // Channels stay fixed once a sprite belongs to a player.
  TZTestAccess::Channel(s, 9);
  EXPECT_EQ(s->Channel(), 1);
}

}  // namespace
