// Active objects and the active scheduler. On the device these live in e32base.h;
// e32base.h includes this header at its end (after CBase).
#ifndef ZHOST_E32ACTIVE_H
#define ZHOST_E32ACTIVE_H

#include <e32base.h>
#include <zhost/e32time.h>

class CActiveScheduler;

// An object that issues one asynchronous request at a time and handles its completion
// in RunL, called by the thread's active scheduler.
class CActive : public CBase {
public:
  enum TPriority {
    EPriorityIdle = -100,
    EPriorityLow = -20,
    EPriorityStandard = 0,
    EPriorityUserInput = 10,
    EPriorityHigh = 20,
  };

  IMPORT_C ~CActive();
  // If a request is outstanding: DoCancel, then wait for the request's completion
  // (DoCancel must complete it, normally with KErrCancel). The object is then idle.
  IMPORT_C void Cancel();
  // Removes the object from its scheduler (cancelling first).
  IMPORT_C void Deque();
  IMPORT_C void SetPriority(TInt aPriority);
  TBool IsActive() const { return iActive; }
  TBool IsAdded() const { return iScheduler != NULL; }
  TInt Priority() const { return iPriority; }

protected:
  IMPORT_C CActive(TInt aPriority);
  // Marks a request as issued; the object must be added to a scheduler and idle.
  IMPORT_C void SetActive();
  virtual void DoCancel() = 0;
  virtual void RunL() = 0;
  // Called when RunL leaves; returning an error passes it to CActiveScheduler::Error.
  IMPORT_C virtual TInt RunError(TInt aError);

public:
  TRequestStatus iStatus;

private:
  TBool iActive;
  TInt iPriority;
  CActiveScheduler* iScheduler;
  CActive* iNext;  // scheduler queue: descending priority, first added first among equals
  friend class CActiveScheduler;
};

// The thread's event loop: runs the RunL of the highest-priority active object whose
// request has completed. Start/Stop nest; CActiveSchedulerWait gives each nested loop
// its own owner.
class CActiveScheduler : public CBase {
public:
  IMPORT_C CActiveScheduler();
  IMPORT_C ~CActiveScheduler();
  // Makes aScheduler the thread's scheduler (NULL uninstalls).
  IMPORT_C static void Install(CActiveScheduler* aScheduler);
  IMPORT_C static CActiveScheduler* Current();
  // Adds to the current scheduler (panics if none is installed or it is already added).
  IMPORT_C static void Add(CActive* aActive);
  // Runs a (nested) loop until Stop is called inside it.
  IMPORT_C static void Start();
  // Ends the innermost loop once the current RunL returns.
  IMPORT_C static void Stop();
  // Runs the highest-priority ready object of at least aMinimumPriority, if any, and
  // reports its leave in aError. Returns whether an object ran.
  IMPORT_C static TBool RunIfReady(TInt& aError, TInt aMinimumPriority);
  IMPORT_C static CActiveScheduler* Replace(CActiveScheduler* aNewActiveScheduler);
  // Nesting depth of Start (and CActiveSchedulerWait::Start) loops now running.
  IMPORT_C TInt StackDepth() const;
  // Handles an error that RunL left with and RunError passed on. The default writes
  // "Leave <code> in active object" to stderr, counts it (ZHost::SchedulerErrors) and
  // the loop goes on.
  IMPORT_C virtual void Error(TInt aError) const;

  // Host: used by ZHost::RunFor / RunUntilIdle and the loops. Runs the first ready
  // object of at least aMinimumPriority; returns EFalse if there is none. A leave that
  // RunError passes on goes to *aError if aError is given, otherwise to Error.
  IMPORT_C TBool RunOne(TInt aMinimumPriority, TInt* aError);
  // Host: ends the outermost loop. Loops nested in it (a wait for an image inside a frame)
  // go on until they end by themselves; the outermost then ends once the RunL that
  // started them returns.
  IMPORT_C static void StopOutermost();

private:
  struct TLoop;
  void DoStart(TLoop& aLoop);
  void Enqueue(CActive* aActive);
  void Dequeue(CActive* aActive);
  CActive* iQueue;
  TLoop* iLoop;  // innermost running loop
  friend class CActive;
  friend class CActiveSchedulerWait;
};

// An active object around a timer: After/At issue the request, the derived class's
// RunL handles the completion.
class CTimer : public CActive {
public:
  IMPORT_C ~CTimer();
  IMPORT_C void After(TTimeIntervalMicroSeconds32 aInterval);
  IMPORT_C void At(const TTime& aTime);
  IMPORT_C void AtUTC(const TTime& aTime);

protected:
  IMPORT_C CTimer(TInt aPriority);
  // Creates the timer; the derived class adds the object to the scheduler.
  IMPORT_C void ConstructL();
  IMPORT_C void DoCancel() override;

private:
  RTimer iTimer;
};

// A nested scheduler loop owned by one waiter: Start runs the loop until AsyncStop is
// called on the same object, however many other loops have nested meanwhile.
class CActiveSchedulerWait : public CBase {
public:
  IMPORT_C CActiveSchedulerWait();
  IMPORT_C ~CActiveSchedulerWait();
  IMPORT_C void Start();
  IMPORT_C void AsyncStop();
  TBool IsStarted() const { return iLoop != NULL; }
  // The loop being stopped by AsyncStop still runs until the current RunL returns.
  TBool CanStopNow() const { return IsStarted(); }

private:
  CActiveScheduler::TLoop* iLoop;
};

#endif
