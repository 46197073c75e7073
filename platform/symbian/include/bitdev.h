// A graphics device on a bitmap: contexts made from it draw into the bitmap's pixels.
#ifndef BITDEV_H
#define BITDEV_H

#include <bitstd.h>

class CFbsBitmapDevice : public CBase {
public:
  // The bitmap stays the caller's; it must outlive the device. Leaves with KErrArgument
  // for a null bitmap.
  IMPORT_C static CFbsBitmapDevice* NewL(CFbsBitmap* aFbsBitmap);
  IMPORT_C ~CFbsBitmapDevice();
  // A new context, activated on this device; the caller owns it.
  IMPORT_C TInt CreateContext(CFbsBitGc*& aGc);
  IMPORT_C TSize SizeInPixels() const;
  IMPORT_C TDisplayMode DisplayMode() const;
  CFbsBitmap* Bitmap() const { return iBitmap; }

private:
  CFbsBitmapDevice();
  CFbsBitmap* iBitmap;  // uses-a
};

#endif
