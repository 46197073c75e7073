// The player: sine table, channels and z order, frames and their records, lifetimes,
// the movie states and the z-buffer counts.

#include <ZolvaneTesting.h>
#include <zhost/userlib.h>

#include "ZTestAccess.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ZTest;

namespace {

// Channel numbers in z order.
std::vector<TInt> ZOrder(CZPlayer* aPlayer) {
  std::vector<TInt> order;
  CArrayPtrFlat<CZSprite>* list = aPlayer->SpriteList();
  for (TInt i = 0; i < list->Count(); i++) {
    order.push_back(list->At(i)->Channel());
  }
  return order;
}

// A player with a movie of aFrameCount frames, playing.
class PlayerTest : public ::testing::Test {
protected:
  void SetUp() override {
    player = h.Controller().Player();
    ASSERT_EQ(h.Controller().SpriteChannelAllocate(5), 5);
  }
  void Movie(TInt aFrameCount) {
    player->Clear();
    player->FrameCount(aFrameCount);
    player->Stopped(EFalse);
  }
  // A frame with one empty record for aChannel with lifetime aLifeTime.
  CZSprite* AddFrame(TInt aNumber, TInt aChannel, TInt aLifeTime, TInt* aAccepted = nullptr) {
    CZFrame* frame = CZFrame::NewL();
    frame->FrameNumber(aNumber);
    CZSprite* record = frame->SpriteAddNewL(aChannel, aLifeTime);
    const TInt accepted = player->FrameAddL(frame);
    if (!accepted) {
      delete frame;
      record = nullptr;
    }
    if (aAccepted) *aAccepted = accepted;
    return record;
  }
  // One frame cycle of the player as the controller runs it.
  void Cycle() {
    player->FramePrepare();
    player->Update();
    player->FrameExit();
  }
  Harness h;
  CZPlayer* player = nullptr;
};

}  // namespace

TEST_F(PlayerTest, SineTableAndAngles) {
  EXPECT_EQ(player->Sin(-90), -16384);
  EXPECT_EQ(player->Sin(450), 16384);
  EXPECT_EQ(player->Sin(181), -285);
  EXPECT_EQ(player->Cos(0), 16384);
  EXPECT_EQ(player->Cos(180), -16384);
  const std::pair<TInt, TInt> table[] = {{0, 0},        {1, 285},     {30, 8191}, {45, 11585},
                                         {60, 14188},   {89, 16381},  {90, 16384}};
  for (const auto& [angle, value] : table) {
    EXPECT_EQ(player->Sin(angle), value) << angle;
    EXPECT_EQ(player->Sin(180 - angle), value) << angle;
    EXPECT_EQ(player->Sin(180 + angle), -value) << angle;
    EXPECT_EQ(player->Sin(360 - angle) , angle == 0 ? 0 : -value) << angle;
    EXPECT_EQ(player->Cos(angle - 90), value) << angle;
  }
  // Extreme angles normalise without overflow.
  EXPECT_EQ(player->Sin(KMaxTInt), player->Sin(KMaxTInt % 360));
  EXPECT_EQ(player->Cos(KMinTInt), player->Cos(((KMinTInt % 360) + 360) % 360));
}

TEST_F(PlayerTest, ChannelsAllocateInChannelOrderAndReallocationClears) {
  CZController& c = h.Controller();
  EXPECT_EQ(c.SpriteChannelAllocate(10), 10);
  EXPECT_EQ(c.ChannelCount(), 10);
  for (TInt ch = 1; ch <= 10; ch++) {
    EXPECT_EQ(c.Sprite(ch)->Channel(), ch);
    EXPECT_EQ(c.Sprite(ch)->Z(), ch);
    c.Sprite(ch)->Rectangle(TPoint(ch, ch), TPoint(ch + 10, ch + 10));
  }
  EXPECT_EQ(ZOrder(player), (std::vector<TInt>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(c.Sprite(0), nullptr);
  EXPECT_EQ(c.Sprite(11), nullptr);
  EXPECT_EQ(c.Sprite(-1), nullptr);
  EXPECT_EQ(c.LocZMin(), 1);
  EXPECT_EQ(c.LocZMax(), 10);

  CZSprite* five = c.Sprite(5);
  EXPECT_EQ(c.SpriteChannelAllocate(4), 10);  // never shrinks
  for (TInt ch = 1; ch <= 4; ch++) {
    EXPECT_EQ(c.Sprite(ch)->Type(), 0) << ch;
  }
  for (TInt ch = 5; ch <= 10; ch++) {
    EXPECT_EQ(c.Sprite(ch)->Type(), SHAPE_SPRITE) << ch;
  }
  EXPECT_EQ(c.Sprite(5), five);  // the same sprite objects stay
}

TEST(PlayerNoChannels, LocZOfNoChannelIsZero) {
  Harness h;
  EXPECT_EQ(h.Controller().LocZMin(), 0);
  EXPECT_EQ(h.Controller().LocZMax(), 0);
}

TEST_F(PlayerTest, EqualZMovesStopAboveWhenMovingDownAndBelowWhenMovingUp) {
  CZController& c = h.Controller();
  c.Sprite(5)->LocZ(2);  // moving down: stops above the sprite with z 2
  EXPECT_EQ(ZOrder(player), (std::vector<TInt>{1, 2, 5, 3, 4}));
  c.Sprite(1)->LocZ(2);  // meets 2 when moving up: stays below it
  EXPECT_EQ(ZOrder(player), (std::vector<TInt>{1, 2, 5, 3, 4}));
  c.Sprite(3)->LocZ(4);  // moving up past nothing lower: stops below 4
  EXPECT_EQ(ZOrder(player), (std::vector<TInt>{1, 2, 5, 3, 4}));
  c.Sprite(3)->LocZ(5);
  EXPECT_EQ(ZOrder(player), (std::vector<TInt>{1, 2, 5, 4, 3}));
  c.Sprite(3)->LocZ(-7);
  EXPECT_EQ(ZOrder(player), (std::vector<TInt>{3, 1, 2, 5, 4}));
  EXPECT_EQ(c.LocZMin(), -7);
  EXPECT_EQ(c.LocZMax(), 4);
}

TEST_F(PlayerTest, FramesAreRefusedOutOfRangeOrOutOfOrder) {
  Movie(10);
  TInt accepted = -1;
  AddFrame(0, 1, -1, &accepted);
  EXPECT_EQ(accepted, 0);
  AddFrame(11, 1, -1, &accepted);
  EXPECT_EQ(accepted, 0);
  AddFrame(5, 1, -1, &accepted);
  EXPECT_EQ(accepted, 1);
  AddFrame(5, 1, -1, &accepted);
  EXPECT_EQ(accepted, 0);
  AddFrame(4, 1, -1, &accepted);
  EXPECT_EQ(accepted, 0);
  AddFrame(10, 1, -1, &accepted);
  EXPECT_EQ(accepted, 1);
}

TEST_F(PlayerTest, OneDueFramePerCycle) {
  Movie(10);
  AddFrame(5, 1, -1)->Rectangle(TPoint(0, 0), TPoint(5, 5));
  AddFrame(6, 2, -1)->Rectangle(TPoint(0, 0), TPoint(6, 6));
  player->FrameNumberSet(6);  // both are due now
  player->Update();
  EXPECT_EQ(h.Controller().Sprite(1)->Type(), SHAPE_SPRITE);
  EXPECT_EQ(h.Controller().Sprite(2)->Type(), 0);
  player->Update();
  EXPECT_EQ(h.Controller().Sprite(2)->Type(), SHAPE_SPRITE);
  EXPECT_EQ(h.Controller().Sprite(2)->Width(), 6);
}

TEST_F(PlayerTest, LifetimeZeroShowsForExactlyOneFrame) {
  Movie(10);
  AddFrame(2, 1, 0)->Rectangle(TPoint(0, 0), TPoint(4, 4));
  AddFrame(3, 1, 0)->Ellipse(TPoint(0, 0), TPoint(8, 8));
  CZSprite* s = h.Controller().Sprite(1);
  Cycle();  // frame 1
  EXPECT_EQ(s->Type(), 0);
  Cycle();  // frame 2: applied
  EXPECT_EQ(s->ShapeType(), RECT);
  Cycle();  // frame 3: the rectangle is cleared, so the ellipse lands on an empty channel
  EXPECT_EQ(s->ShapeType(), ELLIPSE);
  Cycle();  // frame 4
  EXPECT_EQ(s->Type(), 0);

  // A lifetime of n keeps the sprite n more updates.
  Movie(10);
  AddFrame(1, 2, 2)->Rectangle(TPoint(0, 0), TPoint(4, 4));
  CZSprite* two = h.Controller().Sprite(2);
  Cycle();
  EXPECT_EQ(two->Type(), SHAPE_SPRITE);
  Cycle();
  EXPECT_EQ(two->Type(), SHAPE_SPRITE);
  Cycle();
  EXPECT_EQ(two->Type(), 0);
}

TEST_F(PlayerTest, RecordOnOccupiedChannelMovesButKeepsTheContent) {
  CZElement* element = TZTestAccess::NewFacadeL(new CTestElement(BITMAP_ELEMENT));
  CZSprite* s = h.Controller().Sprite(3);
  s->Element(element);
  s->Loc(1, 1);
  EXPECT_EQ(TZTestAccess::Base(element)->Access(), 1);

  Movie(5);
  CZSprite* record = AddFrame(1, 3, 7);
  record->Loc(40, 50);
  record->Blend(30);
  record->Angle(90);
  record->Transition(12, 3);
  Cycle();
  EXPECT_EQ(s->Element(), element);
  EXPECT_EQ(s->Type(), BITMAP_ELEMENT);
  EXPECT_EQ(s->X(), 40);
  EXPECT_EQ(s->Y(), 50);
  EXPECT_EQ(s->Blend(), 30);
  EXPECT_EQ(s->Angle(), 90);
  EXPECT_EQ(s->Transition(), 12);
  EXPECT_EQ(TZTestAccess::LifeTime(s), 7);
  // Records handled are gone; the element's use count is only the sprite's.
  EXPECT_EQ(TZTestAccess::Base(element)->Access(), 1);
  s->Element(NULL);
  EXPECT_EQ(TZTestAccess::Base(element)->Access(), 0);
  TZTestAccess::DeleteFacade(element);
}

TEST_F(PlayerTest, RecordOnEmptyChannelTakesEverythingAndHoldsTheElement) {
  CZElement* element = TZTestAccess::NewFacadeL(new CTestElement(BITMAP_ELEMENT));
  TZTestAccess::Base(element)->WidthSet(30);
  TZTestAccess::Base(element)->HeightSet(20);
  Movie(5);
  CZSprite* record = AddFrame(1, 4, -1);
  record->Element(element);  // takes the element's size
  record->Loc(7, 8);
  record->Mask(ETrue);
  record->Blend(50);
  EXPECT_EQ(TZTestAccess::Base(element)->Access(), 1);  // held by the record
  Cycle();
  CZSprite* s = h.Controller().Sprite(4);
  EXPECT_EQ(s->Element(), element);
  EXPECT_EQ(s->Width(), 30);
  EXPECT_EQ(s->Height(), 20);
  EXPECT_EQ(s->X(), 7);
  EXPECT_TRUE(s->Mask());
  EXPECT_EQ(s->Blend(), 50);
  EXPECT_EQ(TZTestAccess::Base(element)->Access(), 1);  // record deleted, sprite holds it
  // In use: the element cannot go while the sprite shows it.
  s->Clear();
  EXPECT_EQ(TZTestAccess::Base(element)->Access(), 0);
  TZTestAccess::DeleteFacade(element);
}

TEST_F(PlayerTest, RecordOnEmptyChannelTakesItsTransitionAsItStands) {
  struct Case {
    TInt number, time, updates;  // the record's transition and how far it has run
  };
  // None at all, one that has run to its end (number 0, time and phase kept), and one
  // part way through (phase 3 of 6).
  const Case cases[] = {{0, 0, 0}, {7, 2, 2}, {9, 6, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    Movie(5);
    CZSprite* s = h.Controller().Sprite(2);
    s->Clear();
    s->Transition(5, 10);  // left running on the empty channel
    CZSprite* record = AddFrame(1, 2, -1);
    if (c.number != 0) record->Transition(c.number, c.time);
    for (TInt i = 0; i < c.updates; ++i) TZTestAccess::Update(record);
    const TInt number = record->Transition();
    const TInt time = record->TransitionTime();
    const TInt phase = record->TransitionPhase();
    Cycle();
    EXPECT_EQ(s->Transition(), number);
    EXPECT_EQ(s->TransitionTime(), time);
    EXPECT_EQ(s->TransitionPhase(), phase);
  }
}

TEST_F(PlayerTest, RecordsForMissingChannelsGoWithTheFrame) {
  Movie(5);
  AddFrame(1, 99, -1)->Rectangle(TPoint(0, 0), TPoint(2, 2));
  const TInt cells = ZHost::AllocCells();
  Cycle();
  EXPECT_LT(ZHost::AllocCells(), cells);  // frame and record freed
}

TEST_F(PlayerTest, FrameTempoReachesTheController) {
  Movie(5);
  CZFrame* frame = CZFrame::NewL();
  frame->FrameNumber(1);
  frame->Tempo(7);
  ASSERT_EQ(player->FrameAddL(frame), 1);
  Cycle();
  EXPECT_EQ(h.Controller().Tempo(), 7);
}

TEST_F(PlayerTest, StoppedMovieFreezesLifetimesButInfiniteSpritesKeepTransitions) {
  Movie(10);
  AddFrame(1, 1, -1)->Rectangle(TPoint(0, 0), TPoint(2, 2));
  AddFrame(1 + 1, 2, 5)->Rectangle(TPoint(0, 0), TPoint(2, 2));
  Cycle();
  Cycle();
  CZSprite* forever = h.Controller().Sprite(1);
  CZSprite* five = h.Controller().Sprite(2);
  forever->Transition(3, 10);
  five->Transition(3, 10);
  EXPECT_EQ(TZTestAccess::LifeTime(five), 5);

  h.Controller().MovieStop();
  const TInt frame = player->FrameNumber();
  Cycle();
  Cycle();
  EXPECT_EQ(player->FrameNumber(), frame);
  EXPECT_EQ(forever->TransitionPhase(), 3);
  EXPECT_EQ(five->TransitionPhase(), 1);
  EXPECT_EQ(TZTestAccess::LifeTime(five), 5);

  h.Controller().MovieStart();
  Cycle();
  EXPECT_EQ(player->FrameNumber(), frame + 1);
  EXPECT_EQ(five->TransitionPhase(), 2);
  EXPECT_EQ(TZTestAccess::LifeTime(five), 4);
}

TEST_F(PlayerTest, MovieEndAppliesEverythingAndLeavesTheMovieOver) {
  Movie(100);
  AddFrame(10, 1, -1)->Rectangle(TPoint(0, 0), TPoint(2, 2));
  AddFrame(50, 2, -1)->Rectangle(TPoint(0, 0), TPoint(3, 3));
  AddFrame(100, 3, -1)->Rectangle(TPoint(0, 0), TPoint(4, 4));
  Cycle();
  Cycle();
  Cycle();
  EXPECT_EQ(player->FrameNumber(), 3);
  h.Controller().MovieStop();
  h.Controller().MovieEnd();
  EXPECT_TRUE(h.Controller().MovieIsOver());
  EXPECT_EQ(player->FrameNumber(), 100);
  EXPECT_FALSE(player->Stopped());
  for (TInt ch = 1; ch <= 3; ch++) {
    EXPECT_EQ(h.Controller().Sprite(ch)->Width(), ch + 1) << ch;
  }
  EXPECT_EQ(player->ZBuffered(), 0);
  EXPECT_EQ(player->ZBufferedOld(), 0);
  // An over movie stays where it is.
  Cycle();
  EXPECT_EQ(player->FrameNumber(), 100);
  EXPECT_EQ(h.Controller().MovieLength(), 100);
}

TEST_F(PlayerTest, SettingsClampAndResetTheZBuffer) {
  CZController& c = h.Controller();
  EXPECT_EQ(c.BgColor(), 16777215);
  c.BgColor(-5);
  EXPECT_EQ(c.BgColor(), 0);
  c.BgColor(16777216);
  EXPECT_EQ(c.BgColor(), 16777215);
  c.Volume(150);
  EXPECT_EQ(c.Volume(), 100);
  c.Volume(-5);
  EXPECT_EQ(c.Volume(), 0);
  c.Sound(EFalse);
  EXPECT_FALSE(c.Sound());
  c.Loc(3, -4);
  EXPECT_EQ(c.LocX(), 3);
  EXPECT_EQ(c.LocY(), -4);
  c.ZBufferMax(2);
  EXPECT_EQ(c.ZBufferMax(), 2);
  c.MovieLoop(ETrue);
  EXPECT_TRUE(c.MovieLoop());
}

// A back-buffered scene of five static shapes: changes to one sprite drop the counts to
// exactly that sprite for the frame in which it changes, and they recover the next frame.
TEST(PlayerZBuffer, CountsFollowTheChangedSpriteFrameByFrame) {
  Harness::Options options;
  options.channels = 5;
  options.backBuffer = ETrue;
  Harness h(options);
  CZController& c = h.Controller();
  CZPlayer* player = c.Player();
  for (TInt ch = 1; ch <= 5; ch++) {
    c.Sprite(ch)->Rectangle(TPoint(0, 0), TPoint(10 * ch, 10));
  }
  struct Seen {
    TInt buffered, old, start;
  };
  std::vector<Seen> seen;
  TInt changeChannel = 0;
  h.Script().iOnBegin = [&](TInt) {
    if (changeChannel) {
      c.Sprite(changeChannel)->Loc(c.Sprite(changeChannel)->X() + 1, 0);
    }
  };
  h.Script().iOnEnd = [&](TInt) {
    seen.push_back({player->ZBuffered(), player->ZBufferedOld(), player->ZBufferStart()});
  };
  h.RunFrames(2);
  changeChannel = 4;
  h.RunFrames(1);
  changeChannel = 0;
  h.RunFrames(2);
  changeChannel = 2;
  h.RunFrames(1);
  changeChannel = 0;
  h.RunFrames(1);
  ASSERT_EQ(seen.size(), 7u);
  // The first frame has no back buffer yet (old 0); then everything is buffered.
  EXPECT_EQ(seen[0].buffered, 5);
  EXPECT_EQ(seen[0].old, 0);
  EXPECT_EQ(seen[1].buffered, 5);
  EXPECT_EQ(seen[1].old, 5);
  // Sprite 4 (z position 3) changes: only the three below it stay buffered, and the back
  // buffer, which holds sprite 4, must be rebuilt.
  EXPECT_EQ(seen[2].buffered, 3);
  EXPECT_EQ(seen[2].old, 0);
  EXPECT_EQ(seen[3].buffered, 5);
  EXPECT_EQ(seen[3].old, 3);
  EXPECT_EQ(seen[4].buffered, 5);
  EXPECT_EQ(seen[4].old, 5);
  EXPECT_EQ(seen[5].buffered, 1);
  EXPECT_EQ(seen[5].old, 0);
  EXPECT_EQ(seen[6].buffered, 5);
  EXPECT_EQ(seen[6].old, 1);
  for (const Seen& s : seen) {
    EXPECT_EQ(s.start, 1);
  }

}

// A buffered sprite that changes between frames (from a key event, for instance) makes
// the next frame rebuild the back buffer, which still holds its old drawing.
TEST(PlayerZBuffer, ChangeBetweenFramesRebuildsTheBackBuffer) {
  Harness::Options options;
  options.channels = 3;
  options.backBuffer = ETrue;
  Harness h(options);
  CZController& c = h.Controller();
  for (TInt ch = 1; ch <= 3; ch++) {
    c.Sprite(ch)->Rectangle(TPoint(0, 0), TPoint(10, 10));
  }
  std::vector<TInt> old;
  h.Script().iOnEnd = [&](TInt) { old.push_back(c.Player()->ZBufferedOld()); };
  h.RunFrames(2);
  c.Sprite(2)->Loc(5, 5);  // between frames
  h.RunFrames(2);
  ASSERT_EQ(old.size(), 4u);
  EXPECT_EQ(old[1], 3);
  EXPECT_EQ(old[2], 0);
  EXPECT_EQ(old[3], 3);
}

TEST(PlayerZBuffer, WithoutABackBufferTheCountsReadZero) {
  Harness::Options options;
  options.channels = 3;
  Harness h(options);
  CZController& c = h.Controller();
  c.Sprite(1)->Rectangle(TPoint(0, 0), TPoint(5, 5));
  c.Player()->FramePrepare();
  EXPECT_EQ(c.Player()->ZBuffered(), 0);
  EXPECT_EQ(c.Player()->ZBufferStart(), 1);  // stored values still read as they are
  // A null view is ignored: the current view stays.
  CZView* view = c.View();
  c.View(NULL);
  EXPECT_EQ(c.View(), view);
}

TEST(PlayerZBuffer, AnimatedOrArraySpritesEndTheBufferedRun) {
  Harness::Options options;
  options.channels = 4;
  options.backBuffer = ETrue;
  Harness h(options);
  CZController& c = h.Controller();
  CZPlayer* player = c.Player();
  // Channel 1 empty, 2 and 3 static, 4 with a running transition.
  c.Sprite(2)->Rectangle(TPoint(0, 0), TPoint(5, 5));
  c.Sprite(3)->Rectangle(TPoint(0, 0), TPoint(5, 5));
  c.Sprite(4)->Rectangle(TPoint(0, 0), TPoint(5, 5));
  c.Sprite(4)->Transition(5, 100);
  player->FramePrepare();
  EXPECT_EQ(player->ZBufferStart(), 2);
  EXPECT_EQ(player->ZBuffered(), 3);
  c.ZBufferMax(2);
  player->FramePrepare();
  EXPECT_EQ(player->ZBuffered(), 2);
  EXPECT_EQ(player->ZBufferStart(), 2);
}

TEST(PlayerAllocFailures, ChannelAllocationReportsTheCountReached) {
  Harness::Options options;
  options.view = EFalse;
  Harness h(options);
  TInt failures = 0;
  for (TInt n = 1; n < 1000; n++) {
    const TInt cells = ZHost::AllocCells();
    const TInt failed = ZHost::FailedAllocations();
    CZPlayer* player = NULL;
    TRAPD(err, player = CZPlayer::NewL(&h.Controller()));
    TInt count = -1;
    if (err == KErrNone) {
      __UHEAP_FAILNEXT(n);
      count = player->SpriteChannelAllocate(40);
      __UHEAP_RESET;
      // Exactly the channels reported exist, in order.
      EXPECT_EQ(player->ChannelCount(), count);
      EXPECT_EQ(player->SpriteList()->Count(), count);
      for (TInt ch = 1; ch <= count; ch++) {
        EXPECT_EQ(player->Sprite(ch)->Channel(), ch);
      }
      delete player;
    }
    EXPECT_EQ(ZHost::AllocCells(), cells) << "step " << n;
    if (ZHost::FailedAllocations() == failed) {
      EXPECT_EQ(count, 40);
      break;
    }
    failures++;
    EXPECT_LT(count, 40);
  }
  EXPECT_GT(failures, 40);
}
