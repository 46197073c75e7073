// Watching and steering what reaches an application from outside its own code, so that a
// run can be recorded and played again exactly.
//
// An observer installed with SetObserver sees, on the scheduler's thread:
// - every expiry of one of the application's timers, just before its active object runs
//   (timers are numbered 1, 2, ... in the order they first expire in the run; the
//   platform's own timers, those of the audio players and any marked with
//   MarkTimerInternal, are not counted);
// - every read of the time the application makes (TTime::HomeTime, TTime::UniversalTime,
//   User::TickCount, User::NTickCount), and may answer it with another value;
// - every window-server event handed to the application (keys, the close request,
//   foreground changes), just before it is handed over;
// - every end of an audio player's playing, with its error code, just before the player's
//   call-back (players are numbered 1, 2, ... in the order they are made in the run).
//
// A replaying observer also drives the run on the virtual clock: while it holds events for
// the current place (HoldTimers), the application's timers do not expire; when the outer
// scheduler loop has nothing ready it calls Idle, where the observer delivers the next
// event (DeliverWsEvent, CompleteAudio) or ends the run. With SetAudioDriven the audio
// players do not time their own playing; CompleteAudio ends it.
#ifndef ZHOST_LIVE_H
#define ZHOST_LIVE_H

#include <e32def.h>
#include <w32std.h>

class RTimer;

namespace ZHost::Live {

enum TTimeKind { EHomeTime, EUniversalTime, ETickCount, ENTickCount };

class MObserver {
public:
  // One of the application's timers expired; its active object runs next.
  virtual void TimerExpiry(TInt aTimer) = 0;
  // The application reads the time. aValue is what the clock says (for the tick counts,
  // the scheduler's ticks in microseconds); the result is what the application gets.
  virtual TInt64 TimeRead(TTimeKind aKind, TInt64 aValue) = 0;
  // A window-server event is about to be handed to the application.
  virtual void WsEvent(const TWsEvent& aEvent) = 0;
  // Audio player aPlayer ended its playing with aError; its call-back runs next.
  virtual void AudioCompleted(TInt aPlayer, TInt aError) = 0;
  // The outer scheduler loop has nothing ready to run (virtual clock only). ETrue if the
  // observer delivered something or stopped the scheduler; EFalse lets time move on to
  // the next timer.
  virtual TBool Idle() { return EFalse; }
  // ETrue while the application's timers must not expire (virtual clock only).
  virtual TBool HoldTimers() { return EFalse; }

protected:
  ~MObserver() {}
};

// Installs the observer (NULL removes it). Numbering of timers and players starts again,
// unless aKeepNumbering (one observer takes over from another in the same run).
IMPORT_C void SetObserver(MObserver* aObserver, TBool aKeepNumbering = EFalse);
IMPORT_C MObserver* Observer();

// The platform's own timers (a launcher's time limit, say) are not the application's.
IMPORT_C void MarkTimerInternal(const RTimer& aTimer);

// Delivers a window-server event to the focused window group's session, as the keyboard
// or the desktop would. EFalse if no window group can take it.
IMPORT_C TBool DeliverWsEvent(const TWsEvent& aEvent);

// While on, audio players do not end their playing by themselves; CompleteAudio does.
IMPORT_C void SetAudioDriven(TBool aDriven);
// Ends the playing of audio player aPlayer with aError. KErrNotFound if that player does
// not exist or is not playing.
IMPORT_C TInt CompleteAudio(TInt aPlayer, TInt aError);

// Seeds the generator behind Math::Random, which is otherwise seeded from the system.
IMPORT_C void SeedRandom(TUint32 aSeed);

// ---- used inside the platform ----

// Number for a new audio player (1, 2, ...).
TInt NextAudioPlayer();
// Registers the audio players' timers as the platform's own.
void MarkTimerHandleInternal(TInt aHandle);
TBool IsTimerInternal(TInt aHandle);
// A timer closed: its handle is never used again, so the platform's mark goes with it
// (every audio player made and deleted would otherwise leave one behind).
void ForgetTimerHandle(TInt aHandle);
// The number of an application timer, given when it first expires.
TInt TimerNumber(TInt aHandle);

}  // namespace ZHost::Live

#endif
