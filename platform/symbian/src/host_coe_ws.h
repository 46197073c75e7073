// The control environment's window-server part: the session, screen device, system
// graphics context and window group, the active objects that read events and redraw
// windows, and the controls that own windows.
#ifndef HOST_COE_WS_H
#define HOST_COE_WS_H

#include <coecntrl.h>
#include <coemain.h>
#include <w32std.h>

#include <vector>

namespace ZHost {

class CCoeWsLink : public CBase {
public:
  static CCoeWsLink* NewL(CCoeEnv& aEnv);
  ~CCoeWsLink();

  void AddWindowOwnerL(CCoeControl* aControl);
  void RemoveWindowOwner(CCoeControl* aControl);
  TUint32 NextClientHandle() { return ++iLastClientHandle; }
  // Redraws the invalid areas of every window-owning control's window.
  void RedrawAll();
  // Hands every waiting event to the application user interface.
  void DispatchEvents();

  RWsSession iWs;
  CWsScreenDevice* iScreenDevice;  // has-a
  CWindowGc* iSystemGc;            // has-a
  RWindowGroup iRootWin;

private:
  explicit CCoeWsLink(CCoeEnv& aEnv);
  void ConstructL();

  CCoeEnv& iEnv;
  CActive* iEventReader;  // has-a
  CActive* iRedrawer;     // has-a
  std::vector<CCoeControl*> iWindowOwners;
  TUint32 iLastClientHandle;
};

}  // namespace ZHost

#endif
