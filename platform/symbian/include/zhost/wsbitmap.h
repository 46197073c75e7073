// The window server's bitmap: a bitmap that the window server can also reach. In memory
// on this host it is a plain bitmap.
#ifndef ZHOST_WSBITMAP_H
#define ZHOST_WSBITMAP_H

#include <fbs.h>

class RWsSession;

class IMPORT_C CWsBitmap : public CFbsBitmap {
public:
  IMPORT_C CWsBitmap();
  IMPORT_C explicit CWsBitmap(RWsSession& aWs);
  IMPORT_C ~CWsBitmap();
};

#endif
