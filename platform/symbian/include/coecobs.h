// Control events and their observer.
#ifndef COECOBS_H
#define COECOBS_H

class CCoeControl;

class MCoeControlObserver {
public:
  enum TCoeEvent {
    EEventRequestExit,
    EEventRequestCancel,
    EEventRequestFocus,
    EEventPrepareFocusTransition,
    EEventStateChanged,
    EEventInteractionRefused,
  };
  virtual void HandleControlEventL(CCoeControl* aControl, TCoeEvent aEventType) = 0;

protected:
  ~MCoeControlObserver() {}
};

#endif
