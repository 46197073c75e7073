// A recorded session of an application: what reached it from outside its own code and
// when, as epoc --record writes it and epoc --replay reads it. The text format, version 1,
// is described in docs/live.md.
#ifndef EPOC_SESSION_FILE_H
#define EPOC_SESSION_FILE_H

#include <e32std.h>
#include <w32std.h>

#include <cstdio>
#include <string>
#include <vector>

namespace Epoc {

const TInt KSessionFormatVersion = 1;

struct TSessionEvent {
  enum TKind { EKeyDown, EKey, EKeyUp, EClose, EFocusGained, EFocusLost, EWsOther, EAudio };
  TKind iKind = EKey;
  TInt iOrder = 0;  // 1, 2, ... among the events of its step
  TKeyEvent iKey{};
  TInt iWsType = 0;  // EWsOther: the window-server event type
  TInt iPlayer = 0;  // EAudio: the player's number
  TInt iError = 0;   // EAudio: the playing's end code

  // The event as the window server delivers it (not for EAudio).
  TWsEvent WsEvent() const;
  // The event a window-server event is recorded as.
  static TSessionEvent FromWs(const TWsEvent& aEvent);
};

// Step 0 is the start-up; step K begins with the K-th expiry of one of the application's
// timers (for an engine application, its frame timer) and runs until the next.
struct TSessionStep {
  TInt iTimer = 1;             // which timer expired (1: the first to expire in the run)
  TInt64 iHome = 0;            // home time at the expiry, microseconds after the start
  std::vector<TInt64> iReads;  // the application's reads of the time, after iHome
  std::vector<TSessionEvent> iEvents;
};

struct TSession {
  std::string iApp;     // the application's name
  std::string iModule;  // the application's full name on the device
  TSize iScreen;
  TInt64 iHomeStart = 0;  // home time at the start (microseconds since year 0)
  TInt64 iUtcOffset = 0;  // home time minus universal time
  TInt64 iTicksStart = 0;  // the scheduler's ticks at the start
  TUint32 iSeed = 0;      // the seed of Math::Random
  std::vector<TSessionStep> iSteps = std::vector<TSessionStep>(1);
  TBool iEnded = EFalse;
  TBool iExited = EFalse;  // ended by the application's own exit
  TInt iFrames = 0;        // frames presented in the run
  TInt iAppLine = 0;       // where the application's name was read

  TInt LastStep() const { return static_cast<TInt>(iSteps.size()) - 1; }
};

// Writes a recording as it grows: the header, then each step once it is complete, then
// the end. Write errors are remembered (Ok()).
class TSessionWriter {
public:
  explicit TSessionWriter(std::FILE* aFile) : iFile(aFile) {}
  void Header(const TSession& aSession);
  void Step(const TSessionStep& aStep, TInt aIndex);
  void End(const TSession& aSession);
  TBool Ok() const { return iOk; }

private:
  void Put(const std::string& aLine);
  std::FILE* iFile;
  TBool iOk = ETrue;
};

// The whole recording as text.
std::string SessionText(const TSession& aSession);

// Reads a recording. On failure returns EFalse with aError "FILE:LINE: what is wrong".
TBool ReadSession(const std::string& aPath, TSession& aSession, std::string& aError);
// The same on text already in memory; aName stands for the file in messages.
TBool ParseSession(const std::string& aText, const std::string& aName, TSession& aSession, std::string& aError);

}  // namespace Epoc

#endif
