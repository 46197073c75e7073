// Allocation-failure sweeps: run an operation with the 1st, 2nd, 3rd... allocation
// failing until it runs without meeting a failure, checking after every run that no
// cell of the counted heap was leaked.
#ifndef ZHOST_ALLOCFAIL_H
#define ZHOST_ALLOCFAIL_H

#include <e32base.h>
#include <zhost/userlib.h>

#include <cstdio>

namespace ZHost {

struct TSweepResult {
  TInt iSteps = 0;        // runs made, the last one without an injected failure
  TInt iLeakStep = 0;     // first failing allocation after which cells leaked; 0 if none
  TInt iLeakedCells = 0;  // cells leaked at that step
  TInt iLastError = 0;    // leave code of the final run (KErrNone if it completed)
  TBool iCompleted = EFalse;  // EFalse if aMaxSteps ran out first
};

// aOp must release everything it allocates (for example create and delete an object).
// A leave from aOp is trapped; its code is what the run returned.
template <class F>
TSweepResult SweepAllocFailuresEx(F aOp, TInt aMaxSteps = 100000) {
  TSweepResult result;
  for (TInt step = 1; step <= aMaxSteps; ++step) {
    const TInt cells = AllocCells();
    const TInt failed = FailedAllocations();
    __UHEAP_FAILNEXT(step);
    TRAPD(err, aOp());
    __UHEAP_RESET;
    const TBool hit = FailedAllocations() != failed;
    const TInt leaked = AllocCells() - cells;
    result.iSteps = step;
    result.iLastError = err;
    if (leaked != 0 && result.iLeakStep == 0) {
      result.iLeakStep = step;
      result.iLeakedCells = leaked;
      return result;
    }
    if (!hit) {
      result.iCompleted = ETrue;
      return result;
    }
  }
  return result;
}

// The number of runs when every run was leak-free and the last one met no failure;
// otherwise a report on stderr and -(the step that leaked), or 0 if the operation
// kept meeting failures after aMaxSteps runs.
template <class F>
TInt SweepAllocFailures(F aOp, TInt aMaxSteps = 100000) {
  const TSweepResult r = SweepAllocFailuresEx(aOp, aMaxSteps);
  if (r.iLeakStep) {
    std::fprintf(stderr, "allocation-failure sweep: failing allocation %d leaked %d cell(s)\n", r.iLeakStep,
                 r.iLeakedCells);
    return -r.iLeakStep;
  }
  if (!r.iCompleted) {
    std::fprintf(stderr, "allocation-failure sweep: still failing after %d runs\n", r.iSteps);
    return 0;
  }
  return r.iSteps;
}

}  // namespace ZHost

#endif
