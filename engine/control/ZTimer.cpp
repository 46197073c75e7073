// ZTimer.cpp
//
// The frame timer: one frame per period, the time the frame took subtracted from the
// wait before the next one.

#include <Zolvane.h>

namespace
    {
    const TInt KMicroSecondsPerSecond = 1000000;
    const TInt KTicksPerSecond = 64;
    const TInt KMicroSecondsPerTick = KMicroSecondsPerSecond / KTicksPerSecond;   // 15625
    }

CZTimer::CZTimer()
    : CActive(EPriorityStandard)
    {
    }

CZTimer* CZTimer::NewL(CZController* aController)
    {
    CZTimer* self = new (ELeave) CZTimer();
    CleanupStack::PushL(self);
    self->ConstructL(aController);
    CleanupStack::Pop(self);
    return self;
    }

void CZTimer::ConstructL(CZController* aController)
    {
    iController = aController;
    User::LeaveIfError(iTimer.CreateLocal());
    CActiveScheduler::Add(this);
    }

CZTimer::~CZTimer()
    {
    Cancel();
    iTimer.Close();
    }

void CZTimer::After(TInt aMicroSeconds)
    {
    iTimer.After(iStatus, aMicroSeconds);
    SetActive();
    }

void CZTimer::Start(TTimeIntervalMicroSeconds32 aPeriod)
    {
    iPeriod = aPeriod;
    if (!IsActive())
        {
        After(iPeriod.Int());
        }
    }

void CZTimer::Period(TTimeIntervalMicroSeconds32 aPeriod)
    {
    iPeriod = aPeriod;
    }

void CZTimer::Controller(CZController* aController)
    {
    iController = aController;
    }

void CZTimer::RunL()
    {
    iStartTime.HomeTime();
    TInt err = KErrNone;
    if (iController)
        {
        TRAP(err, iController->UpdateL());
        }
    if (!IsActive())
        {
        TTime now;
        now.HomeTime();
        const TInt elapsed = I64LOW(now.MicroSecondsFrom(iStartTime).Int64());
        TInt64 rest = static_cast<TInt64>(iPeriod.Int()) - elapsed;
        if (rest < 0)
            {
            rest = 0;
            }
        // Whole 1/64-second ticks, rounded down, so the wait never exceeds the remainder.
        rest = (rest * KTicksPerSecond) / KMicroSecondsPerSecond * KMicroSecondsPerTick;
        After(static_cast<TInt>(rest));
        }
    User::LeaveIfError(err);
    }

void CZTimer::DoCancel()
    {
    iTimer.Cancel();
    }
