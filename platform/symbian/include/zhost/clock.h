// The host's clock and the means to drive the active scheduler from tests.
//
// Real mode (the default, used by applications): home time is the host's local time,
// timers are measured on the host's monotonic clock and the scheduler sleeps until
// the next timer is due or another thread posts a completion.
//
// Virtual mode (used by tests): time starts at KVirtualStart and moves only when a
// test advances it (RunFor, Advance, Spend) or when the scheduler has nothing ready
// and must wait for a timer (a nested wait, User::WaitForRequest, User::After).
// Nothing sleeps; each timer completes exactly at its due time.
#ifndef ZHOST_CLOCK_H
#define ZHOST_CLOCK_H

#include <e32def.h>

class TRequestStatus;

namespace ZHost {

class Clock {
public:
  // 12:00:00 on 1 June 2001 (universal and home time are equal in virtual mode).
  static constexpr TInt64 KVirtualStart = 63158616000000000LL;

  // Switches to the virtual clock and sets it to KVirtualStart. Pending timers are
  // dropped (their requests stay pending): call it before creating timers.
  IMPORT_C static void UseVirtual();
  // Switches back to the host's clock. Pending timers are dropped as above.
  IMPORT_C static void UseReal();
  // Switches from the virtual clock to the host's and keeps the pending timers: each is
  // due as far from now on the host's clock as it was on the virtual one.
  IMPORT_C static void ContinueReal();
  IMPORT_C static TBool IsVirtual();

  // Current time on the device's scale (microseconds since year 0).
  IMPORT_C static TInt64 HomeTime();
  IMPORT_C static TInt64 UniversalTime();

  // The scheduler's time base: virtual time, or the host's monotonic clock in
  // microseconds. Only differences are meaningful.
  IMPORT_C static TInt64 Ticks();

  // Declares that aMicroSeconds of work have been done. Virtual mode: advances the
  // clock without completing or running anything (so a test can say "this frame took
  // 10000 us"); timers that become due complete at the next scheduler pass. Real mode:
  // does nothing, the work has really taken its time.
  IMPORT_C static void Spend(TInt64 aMicroSeconds);
  // Virtual mode: moves the clock forward to aTicks if it is later (no events run).
  IMPORT_C static void AdvanceTo(TInt64 aTicks);
};

// Runs the installed active scheduler for aMicroSeconds of (virtual or real) time:
// every ready active object runs, then time moves to the next timer due (never past the
// limit), the timers due complete and their objects run, until the limit; the clock
// then stands at the limit. Returns the number of RunL calls made.
IMPORT_C TInt RunFor(TInt64 aMicroSeconds);
// Runs every active object that is ready, and every one that becomes ready, without
// moving time. Returns the number of RunL calls made.
IMPORT_C TInt RunUntilIdle();
// Number of errors the default CActiveScheduler::Error has reported.
IMPORT_C TInt SchedulerErrors();
IMPORT_C void ResetSchedulerErrors();
// Number of timer requests outstanding, and the ticks of the earliest (-1 if none).
IMPORT_C TInt PendingTimers();
IMPORT_C TInt64 NextTimerDue();

// Completes aStatus with aReason from any thread. The completion is applied on the
// scheduler's thread at its next pass, and wakes a scheduler sleeping in real mode.
IMPORT_C void PostRequestComplete(TRequestStatus* aStatus, TInt aReason);

// Something outside the scheduler that delivers events while it waits, for example a
// window backend pumping the host's input events. Installed with SetEventSource.
class MEventSource {
public:
  // Waits at most aMaxMicroSeconds (-1: no limit) for host events, delivers any that
  // came (typically by completing requests), and returns. Called in real mode only.
  virtual void WaitForEvents(TInt64 aMaxMicroSeconds) = 0;
  // Interrupts a WaitForEvents in progress; called from any thread.
  virtual void Wake() = 0;

protected:
  ~MEventSource() {}
};
IMPORT_C void SetEventSource(MEventSource* aSource);

}  // namespace ZHost

#endif
