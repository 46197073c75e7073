// The clock, the timer queue, active objects and the active scheduler.
//
// Everything here runs on the one scheduler thread, except PostRequestComplete and
// MEventSource::Wake, which may be called from any thread and only touch the posted
// queue under its mutex.
#include <e32base.h>
#include <e32std.h>
#include <zhost/clock.h>
#include <zhost/live.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

namespace {

struct TTimerEntry {
  TInt iHandle;
  TRequestStatus* iStatus;
  TInt64 iDue;
  TUint64 iSeq;
};

struct TClockState {
  bool iVirtual = false;
  TInt64 iVirtualNow = ZHost::Clock::KVirtualStart;
  std::vector<TTimerEntry> iTimers;  // kept sorted by (due, sequence)
  TUint64 iSeq = 0;
  TInt iNextHandle = 1;
  TInt iErrors = 0;
  std::atomic<ZHost::MEventSource*> iSource{nullptr};
  std::mutex iPostMutex;
  std::condition_variable iPostCv;
  std::vector<std::pair<TRequestStatus*, TInt>> iPosted;
  bool iWake = false;
  // Requests completed by an application timer whose object has not run yet, with the
  // timer's handle (see zhost/live.h).
  std::vector<std::pair<TRequestStatus*, TInt>> iExpired;
  // Active objects' RunL calls in progress (nested scheduler loops run inside them).
  TInt iRunDepth = 0;
};

TClockState& State() {
  static TClockState s;
  return s;
}

thread_local CActiveScheduler* tScheduler = NULL;

// How long a virtual-mode wait with no timer pending waits for another thread to post a
// completion before it is reported as a wait that nothing can end.
const int KVirtualStrayWaitMs = 100;

TInt64 MonotonicMicroSeconds() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

TInt64 RealUniversal() {
  using namespace std::chrono;
  return KZHostUnixEpoch + duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

void Panic(TInt aReason) {
  _LIT(KCategory, "E32USER-CBase");
  User::Panic(KCategory, aReason);
}

// Applies completions posted from other threads.
void ApplyPosted() {
  TClockState& s = State();
  std::vector<std::pair<TRequestStatus*, TInt>> posted;
  {
    std::lock_guard<std::mutex> lock(s.iPostMutex);
    posted.swap(s.iPosted);
    s.iWake = false;
  }
  for (auto& p : posted) *p.first = p.second;
}

void ForgetExpired(TRequestStatus* aStatus) {
  auto& expired = State().iExpired;
  expired.erase(std::remove_if(expired.begin(), expired.end(),
                               [aStatus](const std::pair<TRequestStatus*, TInt>& e) { return e.first == aStatus; }),
                expired.end());
}

// While a replaying observer holds them, the application's timers wait (only between
// active objects: inside one, a nested wait may need them).
TBool TimersHeld() {
  ZHost::Live::MObserver* observer = ZHost::Live::Observer();
  return observer && State().iVirtual && State().iRunDepth == 0 && observer->HoldTimers();
}

// Completes every timer due at or before aNow, earliest first.
void CompleteDueTimers(TInt64 aNow) {
  TClockState& s = State();
  const TBool held = TimersHeld();
  const TBool observed = ZHost::Live::Observer() != NULL;
  std::vector<TTimerEntry> due;
  for (auto it = s.iTimers.begin(); it != s.iTimers.end() && it->iDue <= aNow;) {
    if (held && !ZHost::Live::IsTimerInternal(it->iHandle)) {
      ++it;
      continue;
    }
    due.push_back(*it);
    it = s.iTimers.erase(it);
  }
  for (auto& e : due) {
    *e.iStatus = KErrNone;
    if (observed && !ZHost::Live::IsTimerInternal(e.iHandle)) s.iExpired.emplace_back(e.iStatus, e.iHandle);
  }
}

void Poll() {
  ApplyPosted();
  CompleteDueTimers(ZHost::Clock::Ticks());
}

// Real mode: sleeps at most aMax microseconds (-1: no limit), or until another thread
// posts a completion or the event source delivers something.
void Sleep(TInt64 aMax) {
  TClockState& s = State();
  if (ZHost::MEventSource* source = s.iSource.load()) {
    source->WaitForEvents(aMax);
    return;
  }
  std::unique_lock<std::mutex> lock(s.iPostMutex);
  auto ready = [&s] { return s.iWake || !s.iPosted.empty(); };
  if (aMax < 0)
    s.iPostCv.wait(lock, ready);
  else
    s.iPostCv.wait_for(lock, std::chrono::microseconds(aMax), ready);
}

// Real mode: lets the event source deliver what has come (keys, the close button) without
// waiting. The scheduler does it before each active object it runs, so that input is read
// even while the application is always busy (a frame timer that is already due when it
// is re-armed); the input's own active object has the higher priority, as on the device.
void PollEventSource() {
  TClockState& s = State();
  if (s.iVirtual) return;
  if (ZHost::MEventSource* source = s.iSource.load()) source->WaitForEvents(0);
}

// Blocks until something may have completed. In virtual mode time jumps to the next
// timer due. Returns EFalse when nothing can ever complete (virtual mode, no timer).
// aOuter: called by a scheduler loop (not by a wait for one request), where a replaying
// observer may deliver its next event instead.
TBool WaitForSomething(TBool aOuter = EFalse) {
  TClockState& s = State();
  ApplyPosted();
  if (s.iVirtual) {
    ZHost::Live::MObserver* observer = ZHost::Live::Observer();
    if (observer && aOuter && s.iRunDepth == 0 && observer->Idle()) {
      Poll();
      return ETrue;
    }
    if (s.iTimers.empty()) {
      // Only another thread could still complete something: give it a moment of real
      // time before calling the wait hopeless.
      std::unique_lock<std::mutex> lock(s.iPostMutex);
      if (!s.iPostCv.wait_for(lock, std::chrono::milliseconds(KVirtualStrayWaitMs), [&s] { return !s.iPosted.empty(); }))
        return EFalse;
      lock.unlock();
      ApplyPosted();
      return ETrue;
    }
    // The earliest timer that may expire now (held application timers wait).
    const TBool held = TimersHeld();
    auto next = std::find_if(s.iTimers.begin(), s.iTimers.end(), [held](const TTimerEntry& e) {
      return !held || ZHost::Live::IsTimerInternal(e.iHandle);
    });
    if (next == s.iTimers.end()) return EFalse;
    ZHost::Clock::AdvanceTo(next->iDue);
  } else {
    TInt64 wait = -1;
    if (!s.iTimers.empty()) wait = std::max<TInt64>(0, s.iTimers.front().iDue - ZHost::Clock::Ticks());
    if (wait != 0) Sleep(wait);
  }
  Poll();
  return ETrue;
}

void ReportStrayWait() {
  fprintf(stderr, "ZHost: waiting for a request that nothing can complete (no timer pending on the virtual clock)\n");
}

void AddTimer(TInt aHandle, TRequestStatus& aStatus, TInt64 aDue) {
  TClockState& s = State();
  ForgetExpired(&aStatus);
  TTimerEntry e = {aHandle, &aStatus, aDue, s.iSeq++};
  auto pos = std::upper_bound(s.iTimers.begin(), s.iTimers.end(), e,
                              [](const TTimerEntry& a, const TTimerEntry& b) { return a.iDue < b.iDue; });
  s.iTimers.insert(pos, e);
  aStatus = KRequestPending;
}

// Removes a timer request; returns its status (or NULL if none is outstanding).
TRequestStatus* RemoveTimer(TInt aHandle) {
  TClockState& s = State();
  for (auto it = s.iTimers.begin(); it != s.iTimers.end(); ++it) {
    if (it->iHandle == aHandle) {
      TRequestStatus* status = it->iStatus;
      s.iTimers.erase(it);
      return status;
    }
  }
  return NULL;
}

TBool HasTimer(TInt aHandle) {
  for (const TTimerEntry& e : State().iTimers)
    if (e.iHandle == aHandle) return ETrue;
  return EFalse;
}

// Forgets any timer that would complete aStatus (its owner is going away).
void ForgetStatus(TRequestStatus* aStatus) {
  TClockState& s = State();
  ForgetExpired(aStatus);
  s.iTimers.erase(std::remove_if(s.iTimers.begin(), s.iTimers.end(),
                                 [aStatus](const TTimerEntry& e) { return e.iStatus == aStatus; }),
                  s.iTimers.end());
  std::lock_guard<std::mutex> lock(s.iPostMutex);
  s.iPosted.erase(std::remove_if(s.iPosted.begin(), s.iPosted.end(),
                                 [aStatus](const std::pair<TRequestStatus*, TInt>& p) { return p.first == aStatus; }),
                  s.iPosted.end());
}

}  // namespace

// ---- Clock ----

namespace ZHost {

void Clock::UseVirtual() {
  TClockState& s = State();
  s.iVirtual = true;
  s.iVirtualNow = KVirtualStart;
  s.iTimers.clear();
}

void Clock::UseReal() {
  TClockState& s = State();
  s.iVirtual = false;
  s.iTimers.clear();
}

void Clock::ContinueReal() {
  TClockState& s = State();
  if (!s.iVirtual) return;
  const TInt64 now = MonotonicMicroSeconds();
  for (TTimerEntry& e : s.iTimers) e.iDue = now + std::max<TInt64>(0, e.iDue - s.iVirtualNow);
  s.iVirtual = false;
}

TBool Clock::IsVirtual() { return State().iVirtual; }

TInt64 Clock::UniversalTime() {
  TClockState& s = State();
  return s.iVirtual ? s.iVirtualNow : RealUniversal();
}

TInt64 Clock::HomeTime() {
  TClockState& s = State();
  if (s.iVirtual) return s.iVirtualNow;
  TInt64 utc = RealUniversal();
  time_t t = static_cast<time_t>((utc - KZHostUnixEpoch) / 1000000);
  struct tm local;
  if (localtime_r(&t, &local) == NULL) return utc;
  return utc + static_cast<TInt64>(local.tm_gmtoff) * 1000000;
}

TInt64 Clock::Ticks() {
  TClockState& s = State();
  return s.iVirtual ? s.iVirtualNow : MonotonicMicroSeconds();
}

void Clock::Spend(TInt64 aMicroSeconds) {
  TClockState& s = State();
  if (s.iVirtual && aMicroSeconds > 0) s.iVirtualNow += aMicroSeconds;
}

void Clock::AdvanceTo(TInt64 aTicks) {
  TClockState& s = State();
  if (s.iVirtual && aTicks > s.iVirtualNow) s.iVirtualNow = aTicks;
}

TInt RunUntilIdle() {
  CActiveScheduler* scheduler = CActiveScheduler::Current();
  TInt count = 0;
  if (scheduler == NULL) {
    Poll();
    return 0;
  }
  while (scheduler->RunOne(KMinTInt, NULL)) ++count;
  return count;
}

// Runs at one virtual instant after which RunFor gives up as stalled.
const TInt KMaxRunsWithoutTime = 1000000;

TInt RunFor(TInt64 aMicroSeconds) {
  TClockState& s = State();
  const TInt64 end = Clock::Ticks() + std::max<TInt64>(0, aMicroSeconds);
  TInt count = 0;
  for (;;) {
    // Objects that spend virtual time (a long frame) can keep each other ready; the
    // limit still holds: stop once time has passed it.
    CActiveScheduler* scheduler = CActiveScheduler::Current();
    if (scheduler == NULL) {
      Poll();
    } else {
      // In virtual time, objects that keep completing each other without the clock
      // moving (a zero wait after work that takes no time) would spin forever: stop
      // with a clear panic instead of hanging the test.
      TInt64 lastTicks = Clock::Ticks();
      TInt stalled = 0;
      while (!(s.iVirtual && Clock::Ticks() > end) && scheduler->RunOne(KMinTInt, NULL)) {
        ++count;
        if (!s.iVirtual) continue;
        if (Clock::Ticks() != lastTicks) {
          lastTicks = Clock::Ticks();
          stalled = 0;
        } else if (++stalled > KMaxRunsWithoutTime) {
          std::fprintf(stderr, "RunFor: %d active-object runs without virtual time moving\n", stalled);
          User::Panic(_L("ZHOST-RUNFOR"), 1);
        }
      }
    }
    if (s.iVirtual && Clock::Ticks() > end) break;
    ApplyPosted();
    const TInt64 next = s.iTimers.empty() ? -1 : s.iTimers.front().iDue;
    if (s.iVirtual) {
      if (next < 0 || next > end) break;
      Clock::AdvanceTo(next);
      CompleteDueTimers(next);
    } else {
      const TInt64 now = Clock::Ticks();
      if (now >= end) break;
      const TInt64 until = (next < 0) ? end : std::min(next, end);
      if (until > now) Sleep(until - now);
      Poll();
    }
  }
  Clock::AdvanceTo(end);
  return count;
}

TInt SchedulerErrors() { return State().iErrors; }
void ResetSchedulerErrors() { State().iErrors = 0; }

TInt PendingTimers() { return static_cast<TInt>(State().iTimers.size()); }

TInt64 NextTimerDue() {
  TClockState& s = State();
  return s.iTimers.empty() ? -1 : s.iTimers.front().iDue;
}

void PostRequestComplete(TRequestStatus* aStatus, TInt aReason) {
  TClockState& s = State();
  {
    std::lock_guard<std::mutex> lock(s.iPostMutex);
    s.iPosted.emplace_back(aStatus, aReason);
    s.iWake = true;
  }
  s.iPostCv.notify_all();
  if (MEventSource* source = s.iSource.load()) source->Wake();
}

void SetEventSource(MEventSource* aSource) { State().iSource.store(aSource); }

}  // namespace ZHost

// ---- TTime ----

// What the application reads of the time, through the observer when one is installed.
namespace {
TInt64 TimeRead(ZHost::Live::TTimeKind aKind, TInt64 aValue) {
  ZHost::Live::MObserver* observer = ZHost::Live::Observer();
  return observer ? observer->TimeRead(aKind, aValue) : aValue;
}
}  // namespace

EXPORT_C void TTime::HomeTime() { iTime = TimeRead(ZHost::Live::EHomeTime, ZHost::Clock::HomeTime()); }
EXPORT_C void TTime::UniversalTime() {
  iTime = TimeRead(ZHost::Live::EUniversalTime, ZHost::Clock::UniversalTime());
}

EXPORT_C TInt TTime::SecondsFrom(TTime aTime, TTimeIntervalSeconds& aInterval) const {
  const TInt64 seconds = (iTime - aTime.iTime) / 1000000;
  if (seconds > KMaxTInt || seconds < KMinTInt) return KErrOverflow;
  aInterval = static_cast<TInt>(seconds);
  return KErrNone;
}

// ---- RTimer ----

EXPORT_C TInt RTimer::CreateLocal() {
  iHandle = State().iNextHandle++;
  return KErrNone;
}

EXPORT_C void RTimer::Close() {
  if (iHandle == 0) return;
  Cancel();
  ZHost::Live::ForgetTimerHandle(iHandle);
  iHandle = 0;
}

EXPORT_C void RTimer::After(TRequestStatus& aStatus, TTimeIntervalMicroSeconds32 aInterval) {
  if (iHandle == 0) User::Panic(_L("KERN-EXEC"), 0);
  if (HasTimer(iHandle)) User::Panic(_L("KERN-EXEC"), 15);
  AddTimer(iHandle, aStatus, ZHost::Clock::Ticks() + std::max(0, aInterval.Int()));
}

EXPORT_C void RTimer::At(TRequestStatus& aStatus, const TTime& aTime) {
  if (iHandle == 0) User::Panic(_L("KERN-EXEC"), 0);
  if (HasTimer(iHandle)) User::Panic(_L("KERN-EXEC"), 15);
  const TInt64 wait = std::max<TInt64>(0, aTime.Int64() - ZHost::Clock::HomeTime());
  AddTimer(iHandle, aStatus, ZHost::Clock::Ticks() + wait);
}

EXPORT_C void RTimer::AtUTC(TRequestStatus& aStatus, const TTime& aTime) {
  if (iHandle == 0) User::Panic(_L("KERN-EXEC"), 0);
  if (HasTimer(iHandle)) User::Panic(_L("KERN-EXEC"), 15);
  const TInt64 wait = std::max<TInt64>(0, aTime.Int64() - ZHost::Clock::UniversalTime());
  AddTimer(iHandle, aStatus, ZHost::Clock::Ticks() + wait);
}

EXPORT_C void RTimer::Cancel() {
  if (iHandle == 0) return;
  if (TRequestStatus* status = RemoveTimer(iHandle)) *status = KErrCancel;
}

// ---- User: requests and waiting ----

EXPORT_C void User::RequestComplete(TRequestStatus*& aStatus, TInt aReason) {
  if (aStatus == NULL) return;
  *aStatus = aReason;
  aStatus = NULL;
}

EXPORT_C void User::WaitForRequest(TRequestStatus& aStatus) {
  Poll();
  while (aStatus == KRequestPending) {
    if (!WaitForSomething()) {
      ReportStrayWait();
      break;
    }
  }
  // A timer waited for here has no active object to run for it.
  ForgetExpired(&aStatus);
}

EXPORT_C void User::After(TTimeIntervalMicroSeconds32 aInterval) {
  if (aInterval.Int() <= 0) return;
  if (ZHost::Clock::IsVirtual()) {
    ZHost::Clock::Spend(aInterval.Int());
    return;
  }
  struct timespec ts = {aInterval.Int() / 1000000, (aInterval.Int() % 1000000) * 1000};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

// ---- CActive ----

EXPORT_C CActive::CActive(TInt aPriority) : iStatus(KErrNone), iActive(EFalse), iPriority(aPriority), iScheduler(NULL), iNext(NULL) {}

EXPORT_C CActive::~CActive() {
  if (iActive) {
    // Deleting an object with a request outstanding: the request can no longer be
    // cancelled through DoCancel here, so at least make sure nothing writes into
    // this object's status after it is gone.
    fprintf(stderr, "ZHost: active object deleted with a request outstanding\n");
    ForgetStatus(&iStatus);
    iActive = EFalse;
  }
  if (iScheduler) iScheduler->Dequeue(this);
}

EXPORT_C void CActive::Cancel() {
  if (!iActive) return;
  DoCancel();
  Poll();
  if (iStatus == KRequestPending) {
    // DoCancel did not complete the request: report it and drop the request rather
    // than wait for ever.
    fprintf(stderr, "ZHost: DoCancel left its request pending\n");
    ForgetStatus(&iStatus);
    iStatus = KErrCancel;
  }
  iActive = EFalse;
}

EXPORT_C void CActive::Deque() {
  Cancel();
  if (iScheduler) iScheduler->Dequeue(this);
}

EXPORT_C void CActive::SetPriority(TInt aPriority) {
  iPriority = aPriority;
  if (CActiveScheduler* scheduler = iScheduler) {
    scheduler->Dequeue(this);
    scheduler->Enqueue(this);
  }
}

EXPORT_C void CActive::SetActive() {
  if (iActive) Panic(42);
  if (iScheduler == NULL) Panic(46);
  iActive = ETrue;
}

EXPORT_C TInt CActive::RunError(TInt aError) { return aError; }

// ---- CActiveScheduler ----

struct CActiveScheduler::TLoop {
  TBool iStopped;
  TLoop* iOuter;
  CActiveSchedulerWait* iOwner;  // cleared if the owner is deleted while its loop runs
};

EXPORT_C CActiveScheduler::CActiveScheduler() : iQueue(NULL), iLoop(NULL) {}

EXPORT_C CActiveScheduler::~CActiveScheduler() {
  // Objects still added are detached so that their own destructors do not touch us.
  for (CActive* a = iQueue; a; a = a->iNext) a->iScheduler = NULL;
  iQueue = NULL;
  if (tScheduler == this) tScheduler = NULL;
}

EXPORT_C void CActiveScheduler::Install(CActiveScheduler* aScheduler) {
  if (aScheduler && tScheduler) Panic(43);
  tScheduler = aScheduler;
}

EXPORT_C CActiveScheduler* CActiveScheduler::Replace(CActiveScheduler* aNewActiveScheduler) {
  CActiveScheduler* old = tScheduler;
  tScheduler = aNewActiveScheduler;
  return old;
}

EXPORT_C CActiveScheduler* CActiveScheduler::Current() { return tScheduler; }

EXPORT_C void CActiveScheduler::Add(CActive* aActive) {
  CActiveScheduler* s = tScheduler;
  if (s == NULL) Panic(48);
  if (aActive == NULL || aActive->iScheduler) Panic(41);
  s->Enqueue(aActive);
}

void CActiveScheduler::Enqueue(CActive* aActive) {
  CActive** p = &iQueue;
  while (*p && (*p)->iPriority >= aActive->iPriority) p = &(*p)->iNext;
  aActive->iNext = *p;
  *p = aActive;
  aActive->iScheduler = this;
}

void CActiveScheduler::Dequeue(CActive* aActive) {
  for (CActive** p = &iQueue; *p; p = &(*p)->iNext) {
    if (*p == aActive) {
      *p = aActive->iNext;
      break;
    }
  }
  aActive->iNext = NULL;
  aActive->iScheduler = NULL;
}

TBool CActiveScheduler::RunOne(TInt aMinimumPriority, TInt* aError) {
  Poll();
  CActive* a = iQueue;
  while (a && !(a->iActive && a->iStatus != KRequestPending)) a = a->iNext;
  if (a == NULL || a->iPriority < aMinimumPriority) return EFalse;
  a->iActive = EFalse;
  TClockState& s = State();
  if (!s.iExpired.empty()) {
    auto it = std::find_if(s.iExpired.begin(), s.iExpired.end(),
                           [a](const std::pair<TRequestStatus*, TInt>& e) { return e.first == &a->iStatus; });
    if (it != s.iExpired.end()) {
      const TInt handle = it->second;
      s.iExpired.erase(it);
      if (ZHost::Live::MObserver* observer = ZHost::Live::Observer())
        observer->TimerExpiry(ZHost::Live::TimerNumber(handle));
    }
  }
  ++s.iRunDepth;
  TRAPD(error, a->RunL());
  --s.iRunDepth;
  // RunL may have deleted the object; it is touched again only if RunL left.
  if (error != KErrNone) error = a->RunError(error);
  if (aError)
    *aError = error;
  else if (error != KErrNone)
    Error(error);
  return ETrue;
}

EXPORT_C TBool CActiveScheduler::RunIfReady(TInt& aError, TInt aMinimumPriority) {
  aError = KErrNone;
  CActiveScheduler* s = tScheduler;
  return s ? s->RunOne(aMinimumPriority, &aError) : EFalse;
}

EXPORT_C void CActiveScheduler::Start() {
  CActiveScheduler* s = tScheduler;
  if (s == NULL) Panic(44);
  TLoop loop = {EFalse, NULL, NULL};
  s->DoStart(loop);
}

void CActiveScheduler::DoStart(TLoop& aLoop) {
  aLoop.iOuter = iLoop;
  iLoop = &aLoop;
  while (!aLoop.iStopped) {
    PollEventSource();
    if (RunOne(KMinTInt, NULL)) continue;
    if (!WaitForSomething(ETrue)) {
      ReportStrayWait();
      break;
    }
  }
  iLoop = aLoop.iOuter;
}

EXPORT_C void CActiveScheduler::Stop() {
  CActiveScheduler* s = tScheduler;
  if (s == NULL || s->iLoop == NULL) Panic(45);
  s->iLoop->iStopped = ETrue;
}

EXPORT_C void CActiveScheduler::StopOutermost() {
  CActiveScheduler* s = tScheduler;
  if (s == NULL || s->iLoop == NULL) Panic(45);
  TLoop* outer = s->iLoop;
  while (outer->iOuter) outer = outer->iOuter;
  outer->iStopped = ETrue;
}

EXPORT_C TInt CActiveScheduler::StackDepth() const {
  TInt depth = 0;
  for (TLoop* l = iLoop; l; l = l->iOuter) ++depth;
  return depth;
}

EXPORT_C void CActiveScheduler::Error(TInt aError) const {
  ++State().iErrors;
  fprintf(stderr, "Leave %d in active object\n", aError);
}

// ---- CTimer ----

EXPORT_C CTimer::CTimer(TInt aPriority) : CActive(aPriority) {}

EXPORT_C CTimer::~CTimer() {
  Cancel();
  iTimer.Close();
}

EXPORT_C void CTimer::ConstructL() { User::LeaveIfError(iTimer.CreateLocal()); }

EXPORT_C void CTimer::After(TTimeIntervalMicroSeconds32 aInterval) {
  iTimer.After(iStatus, aInterval);
  SetActive();
}

EXPORT_C void CTimer::At(const TTime& aTime) {
  iTimer.At(iStatus, aTime);
  SetActive();
}

EXPORT_C void CTimer::AtUTC(const TTime& aTime) {
  iTimer.AtUTC(iStatus, aTime);
  SetActive();
}

EXPORT_C void CTimer::DoCancel() { iTimer.Cancel(); }

// ---- CActiveSchedulerWait ----

EXPORT_C CActiveSchedulerWait::CActiveSchedulerWait() : iLoop(NULL) {}

EXPORT_C CActiveSchedulerWait::~CActiveSchedulerWait() {
  if (iLoop) {
    iLoop->iStopped = ETrue;
    iLoop->iOwner = NULL;
  }
}

EXPORT_C void CActiveSchedulerWait::Start() {
  CActiveScheduler* s = tScheduler;
  if (s == NULL) Panic(44);
  if (iLoop) Panic(44);
  CActiveScheduler::TLoop loop = {EFalse, NULL, this};
  iLoop = &loop;
  s->DoStart(loop);
  if (loop.iOwner) iLoop = NULL;
}

EXPORT_C void CActiveSchedulerWait::AsyncStop() {
  if (iLoop == NULL) Panic(44);
  iLoop->iStopped = ETrue;
}

// ---- User: the rest of the time services ----

EXPORT_C TInt User::At(const TTime& aTime) {
  RTimer timer;
  timer.CreateLocal();
  TRequestStatus status;
  timer.At(status, aTime);
  WaitForRequest(status);
  timer.Close();
  return status.Int();
}

EXPORT_C void User::WaitForRequest(TRequestStatus& aStatus1, TRequestStatus& aStatus2) {
  Poll();
  while (aStatus1 == KRequestPending && aStatus2 == KRequestPending) {
    if (!WaitForSomething()) {
      ReportStrayWait();
      return;
    }
  }
}

EXPORT_C void User::WaitForAnyRequest() {
  // Completions are found by looking at the request statuses, so waiting for "any"
  // request is one wait for the next thing that can complete.
  Poll();
  if (!WaitForSomething()) ReportStrayWait();
}

// System ticks of 1/64 second, and millisecond ticks.
EXPORT_C TUint User::TickCount() {
  return static_cast<TUint>(TimeRead(ZHost::Live::ETickCount, ZHost::Clock::Ticks()) / 15625);
}
EXPORT_C TUint32 User::NTickCount() {
  return static_cast<TUint32>(TimeRead(ZHost::Live::ENTickCount, ZHost::Clock::Ticks()) / 1000);
}
