// The clock, timers, active objects and the active scheduler on the virtual clock.
#include <e32base.h>
#include <e32std.h>
#include <zhost/clock.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> gLog;

class SchedulerTest : public ::testing::Test {
protected:
  void SetUp() override {
    gLog.clear();
    ZHost::Clock::UseVirtual();
    ZHost::ResetSchedulerErrors();
    iScheduler = new CActiveScheduler;
    CActiveScheduler::Install(iScheduler);
    iStart = ZHost::Clock::Ticks();
  }
  void TearDown() override {
    CActiveScheduler::Install(NULL);
    delete iScheduler;
    ZHost::Clock::UseReal();
  }
  TInt64 Now() const { return ZHost::Clock::Ticks() - iStart; }

  CActiveScheduler* iScheduler = NULL;
  TInt64 iStart = 0;
};

// A timer that logs the virtual time of each completion and re-arms while aRepeat says so.
class CLogTimer : public CActive {
public:
  CLogTimer(const std::string& aName, TInt aPriority = EPriorityStandard) : CActive(aPriority), iName(aName) {
    iTimer.CreateLocal();
    CActiveScheduler::Add(this);
  }
  ~CLogTimer() {
    Cancel();
    iTimer.Close();
  }
  void After(TInt aMicroSeconds, TInt aRepeat = 0) {
    iPeriod = aMicroSeconds;
    iRepeat = aRepeat;
    iTimer.After(iStatus, aMicroSeconds);
    SetActive();
  }
  std::vector<TInt64> iTimes;
  std::vector<TInt> iStatuses;
  TInt64 iBase = ZHost::Clock::Ticks();
  TInt iLeaveWith = KErrNone;
  CActiveSchedulerWait* iStopWait = NULL;
  TInt64 iSpend = 0;

protected:
  void RunL() override {
    iTimes.push_back(ZHost::Clock::Ticks() - iBase);
    iStatuses.push_back(iStatus.Int());
    gLog.push_back(iName);
    ZHost::Clock::Spend(iSpend);
    if (iStopWait) iStopWait->AsyncStop();
    if (iRepeat-- > 0) After(iPeriod, iRepeat);
    if (iLeaveWith != KErrNone) User::Leave(iLeaveWith);
  }
  void DoCancel() override { iTimer.Cancel(); }

private:
  std::string iName;
  RTimer iTimer;
  TInt iPeriod = 0;
  TInt iRepeat = 0;
};

// Completes its own request at once, so that it is ready at the next scheduler pass.
class CSelfComplete : public CActive {
public:
  CSelfComplete(const std::string& aName, TInt aPriority) : CActive(aPriority), iName(aName) { CActiveScheduler::Add(this); }
  ~CSelfComplete() { Cancel(); }
  void Go() {
    Arm();
    TRequestStatus* status = &iStatus;
    User::RequestComplete(status, KErrNone);
  }
  // Issues a request that someone else completes.
  void Arm() {
    iStatus = KRequestPending;
    SetActive();
  }
  std::function<void()> iOnRun;
  std::function<TInt(TInt)> iOnError;

protected:
  void RunL() override {
    gLog.push_back(iName);
    if (iOnRun) iOnRun();
  }
  TInt RunError(TInt aError) override { return iOnError ? iOnError(aError) : aError; }
  void DoCancel() override {
    TRequestStatus* status = &iStatus;
    User::RequestComplete(status, KErrCancel);
  }

private:
  std::string iName;
};

TEST_F(SchedulerTest, TimersCompleteExactlyAtTheirDueTimeAndNotBefore) {
  CLogTimer t("t");
  t.After(50000);
  EXPECT_EQ(ZHost::RunFor(49999), 0);
  EXPECT_TRUE(t.iTimes.empty());
  EXPECT_EQ(Now(), 49999);
  EXPECT_EQ(ZHost::RunFor(1), 1);
  ASSERT_EQ(t.iTimes.size(), 1u);
  EXPECT_EQ(t.iTimes[0], 50000);
  EXPECT_EQ(t.iStatuses[0], KErrNone);
}

TEST_F(SchedulerTest, RepeatedTimerDoesNotDriftAndRunForStopsAtTheLimit) {
  CLogTimer t("t");
  t.After(30000, 1000);
  ZHost::RunFor(1000000);
  ASSERT_EQ(t.iTimes.size(), 33u);
  for (size_t i = 0; i < t.iTimes.size(); ++i) EXPECT_EQ(t.iTimes[i], 30000 * static_cast<TInt64>(i + 1));
  EXPECT_EQ(Now(), 1000000);
  EXPECT_EQ(ZHost::PendingTimers(), 1);
  EXPECT_EQ(ZHost::NextTimerDue() - iStart, 1020000);
}

TEST_F(SchedulerTest, SpentTimeDelaysTheNextCompletionWithoutRunningEvents) {
  CLogTimer a("a"), b("b");
  a.After(10000);
  b.After(15000);
  a.iSpend = 20000;  // a's RunL "takes" 20 ms, so b runs late, at 30000
  ZHost::RunFor(100000);
  ASSERT_EQ(b.iTimes.size(), 1u);
  EXPECT_EQ(a.iTimes[0], 10000);
  EXPECT_EQ(b.iTimes[0], 30000);
  ZHost::Clock::Spend(5000);
  EXPECT_EQ(Now(), 105000);
  EXPECT_EQ(gLog.size(), 2u);
}

TEST_F(SchedulerTest, RunForEndsWhenWorkKeepsSpendingPastTheLimit) {
  // Each completion "takes" 60 ms and re-arms with no wait, so something is always ready.
  CLogTimer busy("busy");
  busy.iSpend = 60000;
  busy.After(0, 1000000);
  EXPECT_EQ(ZHost::RunFor(200000), 4);
  EXPECT_EQ(busy.iTimes, (std::vector<TInt64>{0, 60000, 120000, 180000}));
  EXPECT_EQ(Now(), 240000);
}

TEST_F(SchedulerTest, ReadyObjectsRunByPriorityThenByOrderOfAdding) {
  CSelfComplete low("low", CActive::EPriorityLow), std1("std1", CActive::EPriorityStandard),
      high("high", CActive::EPriorityHigh), std2("std2", CActive::EPriorityStandard);
  low.Go();
  std2.Go();
  std1.Go();
  high.Go();
  EXPECT_EQ(ZHost::RunUntilIdle(), 4);
  EXPECT_EQ(gLog, (std::vector<std::string>{"high", "std1", "std2", "low"}));

  // A priority change re-sorts the object among the others.
  gLog.clear();
  low.SetPriority(CActive::EPriorityHigh + 1);
  low.Go();
  high.Go();
  ZHost::RunUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"low", "high"}));
}

TEST_F(SchedulerTest, TimersDueAtTheSameTimeRunInPriorityOrder) {
  CLogTimer low("low", CActive::EPriorityLow), high("high", CActive::EPriorityHigh);
  low.After(1000);
  high.After(1000);
  ZHost::RunFor(1000);
  EXPECT_EQ(gLog, (std::vector<std::string>{"high", "low"}));
}

TEST_F(SchedulerTest, LeavingRunLIsReportedAndTheLoopGoesOn) {
  CLogTimer leaver("leaver"), other("other");
  leaver.iLeaveWith = -7;
  leaver.After(1000, 2);
  other.After(5000);
  ::testing::internal::CaptureStderr();
  ZHost::RunFor(10000);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(ZHost::SchedulerErrors(), 3);
  EXPECT_NE(err.find("Leave -7 in active object"), std::string::npos);
  // The leaving timer re-armed before leaving and kept running; the other one ran too.
  EXPECT_EQ(leaver.iTimes, (std::vector<TInt64>{1000, 2000, 3000}));
  EXPECT_EQ(other.iTimes.size(), 1u);
}

TEST_F(SchedulerTest, RunErrorCanHandleTheLeave) {
  CSelfComplete a("a", 0);
  TInt seen = 0;
  a.iOnRun = [] { User::Leave(KErrCorrupt); };
  a.iOnError = [&seen](TInt aError) {
    seen = aError;
    return KErrNone;
  };
  a.Go();
  ZHost::RunUntilIdle();
  EXPECT_EQ(seen, KErrCorrupt);
  EXPECT_EQ(ZHost::SchedulerErrors(), 0);

  // RunIfReady hands the leave to the caller instead.
  a.iOnError = nullptr;
  a.Go();
  TInt error = KErrNone;
  EXPECT_TRUE(CActiveScheduler::RunIfReady(error, CActive::EPriorityIdle));
  EXPECT_EQ(error, KErrCorrupt);
  EXPECT_FALSE(CActiveScheduler::RunIfReady(error, CActive::EPriorityIdle));
  EXPECT_EQ(ZHost::SchedulerErrors(), 0);
}

class CRecordingScheduler : public CActiveScheduler {
public:
  void Error(TInt aError) const override { iErrors.push_back(aError); }
  mutable std::vector<TInt> iErrors;
};

TEST(SchedulerErrorTest, AnOverriddenErrorReceivesTheLeave) {
  ZHost::Clock::UseVirtual();
  ZHost::ResetSchedulerErrors();
  CRecordingScheduler* s = new CRecordingScheduler;
  CActiveScheduler::Install(s);
  {
    CSelfComplete a("a", 0);
    a.iOnRun = [] { User::Leave(KErrNotFound); };
    a.Go();
    ZHost::RunUntilIdle();
  }
  EXPECT_EQ(s->iErrors, (std::vector<TInt>{KErrNotFound}));
  EXPECT_EQ(ZHost::SchedulerErrors(), 0);
  CActiveScheduler::Install(NULL);
  delete s;
  ZHost::Clock::UseReal();
}

TEST_F(SchedulerTest, CancelCompletesWithKErrCancelAndRunLNeverRuns) {
  CLogTimer t("t");
  t.After(1000);
  EXPECT_TRUE(t.IsActive());
  t.Cancel();
  EXPECT_FALSE(t.IsActive());
  EXPECT_EQ(t.iStatus.Int(), KErrCancel);
  EXPECT_EQ(ZHost::PendingTimers(), 0);
  ZHost::RunFor(5000);
  EXPECT_TRUE(t.iTimes.empty());
  // The object can be used again after a cancel, and Cancel when idle does nothing.
  t.Cancel();
  t.After(100);
  ZHost::RunFor(100);
  EXPECT_EQ(t.iTimes.size(), 1u);
}

TEST_F(SchedulerTest, DeletingAnObjectWithATimerOutstandingIsSafe) {
  CLogTimer* t = new CLogTimer("t");
  t->After(1000);
  // A CActive deleted while active (no Cancel in the destructor chain) must not be written
  // to by the timer later; ~CLogTimer cancels, so simulate the careless case directly.
  class CCareless : public CActive {
  public:
    CCareless() : CActive(0) {
      iTimer.CreateLocal();
      CActiveScheduler::Add(this);
      iTimer.After(iStatus, 500);
      SetActive();
    }
    void RunL() override {}
    void DoCancel() override { iTimer.Cancel(); }
    RTimer iTimer;
  };
  CCareless* careless = new CCareless;
  ::testing::internal::CaptureStderr();
  delete careless;
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(ZHost::PendingTimers(), 1);
  delete t;
  EXPECT_EQ(ZHost::PendingTimers(), 0);
  EXPECT_EQ(ZHost::RunFor(2000), 0);
}

TEST_F(SchedulerTest, NestedWaitAdvancesVirtualTimeToTheTimerThatEndsIt) {
  CActiveSchedulerWait wait;
  CLogTimer stopper("stopper");
  stopper.iStopWait = &wait;
  stopper.After(70000);
  EXPECT_FALSE(wait.IsStarted());
  wait.Start();
  EXPECT_FALSE(wait.IsStarted());
  EXPECT_EQ(Now(), 70000);
  EXPECT_EQ(stopper.iTimes, (std::vector<TInt64>{70000}));
}

TEST_F(SchedulerTest, NestedWaitsEndInnermostFirstAndOtherObjectsRunMeanwhile) {
  CActiveSchedulerWait outer, inner;
  CLogTimer outerStop("outerStop"), innerStop("innerStop"), frame("frame");
  outerStop.iStopWait = &outer;
  innerStop.iStopWait = &inner;
  frame.After(10000, 100);
  CSelfComplete starter("starter", 0);
  std::vector<std::string> returned;
  starter.iOnRun = [&] {
    outerStop.After(30000);  // stops the outer wait while the inner one still runs
    innerStop.After(45000);
    EXPECT_EQ(iScheduler->StackDepth(), 1);
    inner.Start();
    returned.push_back("inner");
  };
  starter.Go();
  outer.Start();
  returned.push_back("outer");
  EXPECT_EQ(returned, (std::vector<std::string>{"inner", "outer"}));
  EXPECT_EQ(Now(), 45000);
  // The frame timer kept running during both waits.
  EXPECT_EQ(frame.iTimes, (std::vector<TInt64>{10000, 20000, 30000, 40000}));
  EXPECT_EQ(iScheduler->StackDepth(), 0);
}

TEST_F(SchedulerTest, StartAndStopNest) {
  CSelfComplete a("a", 0), b("b", 0);
  TInt depthInB = 0;
  a.iOnRun = [&] {
    b.Go();
    CActiveScheduler::Start();  // nested; b stops it
    gLog.push_back("a-after-nested");
    CActiveScheduler::Stop();  // stops the outer loop once a returns
  };
  b.iOnRun = [&] {
    depthInB = iScheduler->StackDepth();
    CActiveScheduler::Stop();
  };
  a.Go();
  CActiveScheduler::Start();
  EXPECT_EQ(depthInB, 2);
  EXPECT_EQ(gLog, (std::vector<std::string>{"a", "b", "a-after-nested"}));
}

TEST_F(SchedulerTest, AWaitThatNothingCanEndReturnsInsteadOfHanging) {
  CActiveSchedulerWait wait;
  ::testing::internal::CaptureStderr();
  wait.Start();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(wait.IsStarted());
  EXPECT_NE(err.find("nothing can complete"), std::string::npos);
}

TEST_F(SchedulerTest, AVirtualWaitTakesACompletionPostedByAnotherThread) {
  CActiveSchedulerWait wait;
  CSelfComplete waiter("w", 0);
  waiter.iOnRun = [&wait] { wait.AsyncStop(); };
  waiter.Arm();
  std::thread poster([&waiter] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ZHost::PostRequestComplete(&waiter.iStatus, KErrNone);
  });
  wait.Start();
  poster.join();
  EXPECT_EQ(gLog, (std::vector<std::string>{"w"}));
  EXPECT_EQ(Now(), 0);  // virtual time did not move
}

TEST_F(SchedulerTest, UserWaitForRequestAndAfterMoveVirtualTime) {
  RTimer timer;
  ASSERT_EQ(timer.CreateLocal(), KErrNone);
  TRequestStatus status;
  timer.After(status, 25000);
  EXPECT_EQ(status.Int(), KRequestPending);
  User::WaitForRequest(status);
  EXPECT_EQ(status.Int(), KErrNone);
  EXPECT_EQ(Now(), 25000);
  User::After(5000);
  EXPECT_EQ(Now(), 30000);
  // At: an absolute home time.
  TTime when;
  when.HomeTime();
  when += TTimeIntervalMicroSeconds32(1000);
  timer.At(status, when);
  User::WaitForRequest(status);
  EXPECT_EQ(Now(), 31000);
  // Cancel of an outstanding request completes it with KErrCancel.
  timer.After(status, 1000);
  timer.Cancel();
  EXPECT_EQ(status.Int(), KErrCancel);
  timer.Close();
}

class CTick : public CTimer {
public:
  CTick() : CTimer(EPriorityStandard) {
    ConstructL();
    CActiveScheduler::Add(this);
  }
  void RunL() override { iTimes.push_back(ZHost::Clock::Ticks()); }
  std::vector<TInt64> iTimes;
};

TEST_F(SchedulerTest, CTimerCompletesAfterAndAtAndCancels) {
  CTick tick;
  tick.After(1500);
  ZHost::RunFor(2000);
  TTime at;
  at.UniversalTime();
  at += TTimeIntervalMicroSeconds32(500);
  tick.AtUTC(at);
  ZHost::RunFor(1000);
  EXPECT_EQ(tick.iTimes, (std::vector<TInt64>{iStart + 1500, iStart + 2500}));
  tick.After(100);
  tick.Cancel();
  EXPECT_EQ(tick.iStatus.Int(), KErrCancel);
  ZHost::RunFor(1000);
  EXPECT_EQ(tick.iTimes.size(), 2u);
  tick.After(100);  // deleted while active: the destructor cancels
}

TEST_F(SchedulerTest, TimeArithmeticOnTheVirtualClock) {
  TTime t0;
  t0.HomeTime();
  EXPECT_EQ(t0.Int64(), ZHost::Clock::KVirtualStart);
  TTime u;
  u.UniversalTime();
  EXPECT_EQ(u, t0);
  ZHost::Clock::Spend(2500000);
  TTime t1;
  t1.HomeTime();
  EXPECT_EQ(t1.MicroSecondsFrom(t0).Int64(), 2500000);
  TTimeIntervalSeconds seconds;
  EXPECT_EQ(t1.SecondsFrom(t0, seconds), KErrNone);
  EXPECT_EQ(seconds.Int(), 2);
  EXPECT_EQ(t0 + TTimeIntervalMicroSeconds(2500000), t1);
  EXPECT_EQ(t1 - TTimeIntervalMicroSeconds32(2500000), t0);
  EXPECT_EQ(t0 + TTimeIntervalSeconds(3) - TTimeIntervalMicroSeconds(500000), t1);
  EXPECT_TRUE(t0 < t1);
  EXPECT_EQ(TTime(0).SecondsFrom(TTime(I64LIT(1) << 62), seconds), KErrOverflow);
}

TEST(SchedulerRealClockTest, TimersSleepOnTheHostClockAndOtherThreadsCanComplete) {
  ZHost::Clock::UseReal();
  CActiveScheduler* s = new CActiveScheduler;
  CActiveScheduler::Install(s);
  {
    CLogTimer t("t");
    const auto start = std::chrono::steady_clock::now();
    t.After(20000);
    ZHost::RunFor(40000);
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(t.iTimes.size(), 1u);
    EXPECT_GE(t.iTimes[0], 20000);
    EXPECT_GE(took, 40000);

    // A completion posted from another thread wakes the sleeping scheduler.
    CActiveSchedulerWait wait;
    CSelfComplete waiter("w", 0);
    waiter.iOnRun = [&wait] { wait.AsyncStop(); };
    waiter.Arm();
    std::thread poster([&waiter] {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      ZHost::PostRequestComplete(&waiter.iStatus, KErrNone);
    });
    wait.Start();
    poster.join();
    EXPECT_EQ(gLog.back(), "w");
  }
  CActiveScheduler::Install(NULL);
  delete s;
}

}  // namespace
