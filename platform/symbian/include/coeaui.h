// The application user interface's base: the control stack that routes key events.
#ifndef COEAUI_H
#define COEAUI_H

#include <e32base.h>
#include <w32std.h>
#include <coedef.h>

#include <vector>

class CCoeEnv;
class CCoeControl;

class CCoeAppUi : public CBase {
public:
  IMPORT_C CCoeAppUi();
  IMPORT_C ~CCoeAppUi();
  // Becomes the environment's application user interface.
  IMPORT_C void ConstructL(CCoeAppUi* aPrevious = NULL);

  // Puts a control on the stack. Key events go to the controls of higher priority
  // first and, among equal priorities, to the one added last first, until one consumes
  // the event. Adding a control that is already on the stack moves it.
  IMPORT_C void AddToStackL(CCoeControl* aControl, TInt aPriority = ECoeStackPriorityDefault,
                            TInt aStackingFlags = ECoeStackFlagStandard);
  IMPORT_C void RemoveFromStack(CCoeControl* aControl);
  IMPORT_C TBool IsOnStack(const CCoeControl* aControl) const;

  // Tells the application it has come to the foreground or gone to the background.
  IMPORT_C virtual void HandleForegroundEventL(TBool aForeground);

  // Routes a key event through the control stack; if no control consumes it,
  // HandleKeyEventL has it. (This is where the window server's key events arrive.)
  IMPORT_C TKeyResponse RouteKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);

  // An event from the window server. Key events are routed (RouteKeyEventL); others are
  // ignored here.
  IMPORT_C virtual void HandleWsEventL(const TWsEvent& aEvent, CCoeControl* aDestination);

protected:
  // Key events no control consumed. Default: not consumed.
  IMPORT_C virtual TKeyResponse HandleKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);

  CCoeEnv* iCoeEnv;

private:
  struct TStackedControl {
    CCoeControl* iControl;
    TInt iPriority;
    TInt iFlags;
  };
  std::vector<TStackedControl> iStack;  // in routing order
};

#endif
