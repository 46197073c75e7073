// Unique identifiers (on the device in e32std.h).
#ifndef ZHOST_E32UID_H
#define ZHOST_E32UID_H

#include <e32def.h>

class TUid {
public:
  TBool operator==(const TUid& aUid) const { return iUid == aUid.iUid; }
  TBool operator!=(const TUid& aUid) const { return iUid != aUid.iUid; }
  static TUid Uid(TInt aUid) {
    TUid uid = {aUid};
    return uid;
  }
  static TUid Null() { return Uid(0); }

  TInt32 iUid;
};

const TUid KNullUid = {0};

#endif
