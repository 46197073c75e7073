// The observer of what reaches the application from outside its own code: its state, and
// the numbering of the application's timers and audio players (see zhost/live.h).
#include <e32std.h>
#include <zhost/live.h>

#include "host_ws_internal.h"

#include <map>
#include <set>

namespace {

struct TLiveState {
  ZHost::Live::MObserver* iObserver = NULL;
  std::set<TInt> iInternalTimers;
  std::map<TInt, TInt> iTimerNumbers;  // timer handle -> number in the run
  TInt iAudioPlayers = 0;
};

TLiveState& LiveState() {
  static TLiveState s;
  return s;
}

}  // namespace

namespace ZHost::Live {

EXPORT_C void SetObserver(MObserver* aObserver, TBool aKeepNumbering) {
  TLiveState& s = LiveState();
  s.iObserver = aObserver;
  if (aKeepNumbering) return;
  s.iTimerNumbers.clear();
  s.iAudioPlayers = 0;
}

EXPORT_C MObserver* Observer() { return LiveState().iObserver; }

EXPORT_C void MarkTimerInternal(const RTimer& aTimer) { MarkTimerHandleInternal(aTimer.Handle()); }

void MarkTimerHandleInternal(TInt aHandle) {
  if (aHandle != 0) LiveState().iInternalTimers.insert(aHandle);
}

TBool IsTimerInternal(TInt aHandle) { return LiveState().iInternalTimers.count(aHandle) > 0; }

void ForgetTimerHandle(TInt aHandle) { LiveState().iInternalTimers.erase(aHandle); }

TInt TimerNumber(TInt aHandle) {
  TLiveState& s = LiveState();
  auto it = s.iTimerNumbers.find(aHandle);
  if (it != s.iTimerNumbers.end()) return it->second;
  const TInt number = static_cast<TInt>(s.iTimerNumbers.size()) + 1;
  s.iTimerNumbers.emplace(aHandle, number);
  return number;
}

TInt NextAudioPlayer() { return ++LiveState().iAudioPlayers; }

EXPORT_C TBool DeliverWsEvent(const TWsEvent& aEvent) { return ZHost::WsInternal::QueueEvent(aEvent); }

}  // namespace ZHost::Live
