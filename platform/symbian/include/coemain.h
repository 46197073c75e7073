// The control environment: one per application thread. It owns the file-server session
// and, unless one is installed already, the thread's active scheduler.
#ifndef COEMAIN_H
#define COEMAIN_H

#include <e32base.h>
#include <f32file.h>
#include <w32std.h>
#include <coedef.h>

class CCoeAppUi;
class CCoeControl;
namespace ZHost {
class CCoeWsLink;
}

class CCoeEnv : public CBase {
public:
  IMPORT_C CCoeEnv();
  IMPORT_C ~CCoeEnv();
  // Connects the file server and installs an active scheduler if the thread has none.
  IMPORT_C void ConstructL();
  // Deletes the application user interface and then the environment.
  IMPORT_C void DestroyEnvironment();
  // The environment of this thread, or NULL.
  IMPORT_C static CCoeEnv* Static();

  RFs& FsSession() const { return const_cast<RFs&>(iFsSession); }
  CCoeAppUi* AppUi() const { return iAppUi; }
  // Offers a key event to the application as if it came from the keyboard.
  IMPORT_C void SimulateKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);

  // The window server connection made by ConstructL: the session, the screen device, the
  // system graphics context that controls draw with, and the application's window group.
  // The environment reads the session's key events (routed like SimulateKeyEventL) and
  // redraws the invalid areas of its controls' windows.
  IMPORT_C RWsSession& WsSession() const;
  IMPORT_C CWsScreenDevice* ScreenDevice() const;
  IMPORT_C CWindowGc& SystemGc() const;
  IMPORT_C RWindowGroup& RootWin() const;
  // Host: the window-server part of the environment (window-owning controls register here).
  ZHost::CCoeWsLink* WsLink() const { return iWsLink; }

protected:
  CCoeAppUi* iAppUi;
  RFs iFsSession;

private:
  CActiveScheduler* iOwnScheduler;
  ZHost::CCoeWsLink* iWsLink;
  friend class CCoeAppUi;
};

#endif
