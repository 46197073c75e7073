// The window server's client side. For now: key events and their types.
#ifndef W32STD_H
#define W32STD_H

#include <e32std.h>
#include <e32keys.h>

enum TEventCode {
  EEventNull,
  EEventKey,
  EEventKeyUp,
  EEventKeyDown,
  EEventModifiersChanged,
  EEventPointer,
  EEventPointerEnter,
  EEventPointerExit,
  EEventPointerBufferReady,
  EEventDragDrop,
  EEventFocusLost,
  EEventFocusGained,
  EEventSwitchOn,
  EEventPassword,
  EEventWindowGroupsChanged,
  EEventErrorMessage,
  EEventMessageReady,
  EEventMarkInvalid,
  EEventSwitchOff,
  EEventKeySwitchOff,
  EEventScreenDeviceChanged,
  EEventFocusGroupChanged,
  EEventCaseOpened,
  EEventCaseClosed,
  EEventUser = 1000,
};

// One key event: the character code (TKeyCode or a character), the standard scan code
// (TStdScanCode), the modifiers held (TEventModifier bits) and the repeat count.
struct TKeyEvent {
  TUint iCode;
  TInt iScanCode;
  TUint iModifiers;
  TInt iRepeats;
};

#endif
