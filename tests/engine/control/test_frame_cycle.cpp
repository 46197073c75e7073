// The controller's frame cycle on the virtual clock: when frames come, in which order
// the script is called, and what a leaving script does to the cycle.

#include <ZolvaneTesting.h>
#include <zhost/clock.h>

#include <gtest/gtest.h>

using namespace ZTest;

namespace {

// Home times of the frames' FrameBeginL calls, relative to aStart.
std::vector<TInt64> BeginTimes(const RecordingScript& aScript, TInt64 aStart) {
  std::vector<TInt64> times;
  for (const ScriptCall& call : aScript.Calls(ScriptCall::EFrameBegin)) {
    times.push_back(call.time - aStart);
  }
  return times;
}

// Gaps between consecutive frame starts.
std::vector<TInt64> Gaps(const std::vector<TInt64>& aTimes) {
  std::vector<TInt64> gaps;
  for (size_t i = 1; i < aTimes.size(); i++) {
    gaps.push_back(aTimes[i] - aTimes[i - 1]);
  }
  return gaps;
}

}  // namespace

TEST(FrameCycle, FirstFrameFiftyMillisecondsAfterStartAndSecondStartChangesNothing) {
  Harness h;
  const TInt64 start = ZHost::Clock::HomeTime();
  h.Controller().Start();
  ZHost::RunFor(30000);
  h.Controller().Start();  // must not restart the 50 ms wait
  ZHost::RunFor(19999);
  EXPECT_EQ(h.Script().Count(ScriptCall::EFrameBegin), 0);
  ZHost::RunFor(1);
  ASSERT_EQ(h.Script().Count(ScriptCall::EFrameBegin), 1);
  EXPECT_EQ(BeginTimes(h.Script(), start)[0], 50000);
}

TEST(FrameCycle, CallsScriptInOrderAndRedrawsOncePerFrame) {
  Harness h;
  h.RunFrames(3);
  std::vector<ScriptCall::Kind> kinds;
  for (const ScriptCall& call : h.Script().iCalls) {
    kinds.push_back(call.kind);
  }
  const std::vector<ScriptCall::Kind> expected = {
      ScriptCall::EFrameBegin, ScriptCall::EFrameEnd, ScriptCall::EFrameBegin,
      ScriptCall::EFrameEnd, ScriptCall::EFrameBegin, ScriptCall::EFrameEnd};
  EXPECT_EQ(kinds, expected);
  EXPECT_EQ(h.View()->UpdateCount(), 3);
  // No movie: frame number 0 and an empty movie name.
  for (const ScriptCall& call : h.Script().iCalls) {
    EXPECT_EQ(call.frame, 0);
    EXPECT_TRUE(call.text.empty());
  }
}

TEST(FrameCycle, RemainingWaitIsRoundedDownToSixtyFourthsOfASecond) {
  struct Case {
    TInt64 spent;
    TInt64 gap;
  };
  // Period 50 000 us: the wait is (50 000 - spent) rounded down to 15 625 us steps.
  const Case cases[] = {
      {0, 46875},          // 3 ticks
      {10000, 41250},      // 10 000 + 31 250
      {20000, 35625},      // 20 000 + 15 625
      {40000, 40000},      // 10 000 left: less than a tick, no wait
      {60000, 60000},      // longer than the period: wait 0
  };
  for (const Case& c : cases) {
    Harness h;
    h.Script().iSpendInBegin = c.spent;
    const TInt64 start = ZHost::Clock::HomeTime();
    h.RunFrames(4);
    const std::vector<TInt64> times = BeginTimes(h.Script(), start);
    ASSERT_EQ(times.size(), 4u) << "spent " << c.spent;
    EXPECT_EQ(times[0], 50000);
    for (TInt64 gap : Gaps(times)) {
      EXPECT_EQ(gap, c.gap) << "spent " << c.spent;
    }
  }
}

TEST(FrameCycle, TempoClampsAndTakesEffectFromTheNextRearming) {
  Harness h;
  CZController& c = h.Controller();
  EXPECT_EQ(c.Tempo(), 20);
  c.Tempo(0);
  EXPECT_EQ(c.Tempo(), 1);
  c.Tempo(250);
  EXPECT_EQ(c.Tempo(), 100);

  // A tempo set before Start is stored, but Start arms the timer with a 50 000 us
  // period, which stays until Tempo is called again.
  c.Tempo(10);
  EXPECT_EQ(c.Tempo(), 10);
  const TInt64 start = ZHost::Clock::HomeTime();
  h.RunFrames(3);
  const std::vector<TInt64> early = BeginTimes(h.Script(), start);
  ASSERT_EQ(early.size(), 3u);
  EXPECT_EQ(early[0], 50000);
  EXPECT_EQ(early[1] - early[0], 46875);
  EXPECT_EQ(early[2] - early[1], 46875);

  // Set inside a frame, the new period is used when that frame re-arms the timer.
  h.Script().iCalls.clear();
  h.Script().iOnBegin = [&](TInt) {
    if (h.Script().Count(ScriptCall::EFrameBegin) == 1) {
      c.Tempo(4);  // 250 000 us
    }
  };
  const TInt64 t0 = ZHost::Clock::HomeTime();
  h.RunFrames(3);
  const std::vector<TInt64> gaps = Gaps(BeginTimes(h.Script(), t0));
  ASSERT_EQ(gaps.size(), 2u);
  EXPECT_EQ(gaps[0], 250000);
  EXPECT_EQ(gaps[1], 250000);
}

TEST(FrameCycle, PeriodChangeDoesNotShortenTheWaitInProgress) {
  Harness h;
  h.Script().iSpendInBegin = 2000;
  const TInt64 start = ZHost::Clock::HomeTime();
  h.RunFrames(1);  // frame at 50 000 takes 2 000, timer re-armed for 46 875
  ZHost::RunFor(10000);
  h.Controller().Tempo(100);  // 10 000 us: applies only after the next frame
  h.RunFrames(2);
  const std::vector<TInt64> times = BeginTimes(h.Script(), start);
  ASSERT_EQ(times.size(), 3u);
  EXPECT_EQ(times[1] - times[0], 2000 + 46875);
  // 8 000 us left of the new period is less than a tick: the next frame follows at once.
  EXPECT_EQ(times[2] - times[1], 2000);
}

TEST(FrameCycle, LeaveInFrameBeginSkipsFrameEndAndRedrawButFramesGoOn) {
  Harness h;
  ZHost::ResetSchedulerErrors();
  h.RunFrames(1);
  h.Script().iLeaveInBegin = KErrGeneral;
  const TInt64 t0 = ZHost::Clock::HomeTime();
  h.RunFrames(2);
  EXPECT_EQ(ZHost::SchedulerErrors(), 1);
  // Frame 2 left: no FrameEndL, no redraw. Frame 3 ran whole.
  EXPECT_EQ(h.Script().Count(ScriptCall::EFrameBegin), 3);
  EXPECT_EQ(h.Script().Count(ScriptCall::EFrameEnd), 2);
  EXPECT_EQ(h.View()->UpdateCount(), 2);
  const std::vector<ScriptCall> begins = h.Script().Calls(ScriptCall::EFrameBegin);
  EXPECT_EQ(begins[2].time - begins[1].time, 46875);
  EXPECT_GE(begins[1].time, t0);
}

TEST(FrameCycle, LeaveInFrameEndSkipsRedraw) {
  Harness h;
  ZHost::ResetSchedulerErrors();
  h.Script().iLeaveInEnd = KErrNoMemory;
  h.RunFrames(2);
  EXPECT_EQ(ZHost::SchedulerErrors(), 1);
  EXPECT_EQ(h.Script().Count(ScriptCall::EFrameEnd), 2);
  EXPECT_EQ(h.View()->UpdateCount(), 1);
}

TEST(FrameCycle, ScreenSaverOffResetsInactivityOncePerFrame) {
  Harness h;
  const TInt before = ZHost::InactivityResets();
  h.RunFrames(2);
  EXPECT_EQ(ZHost::InactivityResets(), before);
  h.Controller().ScreenSaver(EFalse);
  EXPECT_FALSE(h.Controller().ScreenSaver());
  h.RunFrames(3);
  EXPECT_EQ(ZHost::InactivityResets(), before + 3);
}

TEST(FrameCycle, ReplacingTheScriptDetachesTheOldOne) {
  Harness h;
  RecordingScript second;
  EXPECT_EQ(h.Script().Controller(), &h.Controller());
  h.Controller().Script(&second);
  EXPECT_EQ(h.Script().Controller(), nullptr);
  EXPECT_EQ(second.Controller(), &h.Controller());
  EXPECT_EQ(h.Controller().Script(), &second);
  h.RunFrames(1);
  EXPECT_EQ(h.Script().Count(ScriptCall::EFrameBegin), 0);
  EXPECT_EQ(second.Count(ScriptCall::EFrameBegin), 1);
  h.Controller().Script(NULL);
  EXPECT_EQ(second.Controller(), nullptr);
  h.RunFrames(1);  // frames go on without a script
  EXPECT_EQ(second.Count(ScriptCall::EFrameBegin), 1);
}

TEST(FrameCycle, KeyEventsReachTheScriptThroughTheView) {
  Harness h;
  h.Script().iKeyResponse = EKeyWasConsumed;
  EXPECT_EQ(h.SendKey('a', 30), EKeyWasConsumed);
  const std::vector<ScriptCall> keys = h.Script().Calls(ScriptCall::EKey);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].key.iCode, static_cast<TUint>('a'));
  EXPECT_EQ(keys[0].key.iScanCode, 30);
  EXPECT_EQ(keys[0].code, EEventKey);

  h.Controller().Script(NULL);
  EXPECT_EQ(h.SendKey('b'), EKeyWasNotConsumed);
}

TEST(FrameCycle, ControllerGoneLeavesViewAndScriptDetached) {
  Harness::Options options;
  options.view = EFalse;
  Harness h(options);
  RecordingScript script;
  CZView* view = CZView::NewL(TRect(0, 0, 64, 32), NULL);
  {
    CZController* c = CZController::NewL(h.Env().AppUi());
    c->Script(&script);
    c->View(view);
    delete c;
  }
  EXPECT_EQ(script.Controller(), nullptr);
  // The view is off the control stack and no longer reaches the controller.
  EXPECT_EQ(h.SendKey('x'), EKeyWasNotConsumed);
  EXPECT_EQ(view->OfferKeyEventL(TKeyEvent{'x', 0, 0, 0}, EEventKey), EKeyWasNotConsumed);
  delete view;
}
