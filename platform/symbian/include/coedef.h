// Control environment definitions: key responses and control-stack priorities and flags.
#ifndef COEDEF_H
#define COEDEF_H

enum TKeyResponse { EKeyWasNotConsumed, EKeyWasConsumed };

enum {
  ECoeStackPriorityDefault = 0,
  ECoeStackPriorityMenu = 10,
  ECoeStackPriorityDialog = 50,
  ECoeStackPriorityCba = 60,
  ECoeStackPriorityAlert = 200,
  ECoeStackPriorityFep = 250,
  ECoeStackPriorityEnvironmentFilter = 300,
};

enum {
  ECoeStackFlagStandard = 0,
  ECoeStackFlagRefusesAllKeys = 0x04,
  ECoeStackFlagRefusesFocus = 0x08,
  ECoeStackFlagOwnershipTransfered = 0x10,
  ECoeStackFlagSharable = 0x20,
};

enum TDrawNow { ENoDrawNow, EDrawNow };

#endif
