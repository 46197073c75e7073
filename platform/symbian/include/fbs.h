// The font and bitmap server's client side: bitmaps held in memory.
#ifndef FBS_H
#define FBS_H

#include <e32base.h>
#include <gdi.h>
#include <zhost/fonts.h>

class TFbsBitmapData;

// A bitmap of a given size and display mode. The pixels are stored row by row, top to
// bottom; each row takes ScanLineLength() bytes, a whole number of 32-bit words (for the
// 16-bit modes: the width rounded up to an even number of pixels). The pixel memory
// comes from the counted heap, so allocation-failure tests reach it. Duplicated bitmaps
// share one pixel store, which lives until the last of them is reset or deleted.
class IMPORT_C CFbsBitmap : public CBase {
public:
  IMPORT_C CFbsBitmap();
  IMPORT_C ~CFbsBitmap();

  // Makes a new, zero-filled pixel store. KErrArgument for a negative size or ENone,
  // KErrNoMemory when the store cannot be allocated; the bitmap is then empty.
  IMPORT_C TInt Create(const TSize& aSizeInPixels, TDisplayMode aDispMode);
  // Shares the pixel store of the bitmap whose handle is aHandle. KErrUnknown if no
  // live bitmap has that handle.
  IMPORT_C TInt Duplicate(TInt aHandle);
  // Changes the size, keeping the pixels of the common area and zero-filling the rest.
  // The store becomes this bitmap's own (other duplicates keep the old one).
  IMPORT_C TInt Resize(const TSize& aSizeInPixels);
  // Releases the pixel store; the bitmap becomes empty (size 0 x 0, mode ENone).
  IMPORT_C void Reset();

  IMPORT_C TSize SizeInPixels() const;
  IMPORT_C TDisplayMode DisplayMode() const;
  // The first word of the first row, or NULL for an empty bitmap.
  IMPORT_C TUint32* DataAddress() const;
  // A number unique to this pixel store while it lives; 0 for an empty bitmap.
  IMPORT_C TInt Handle() const;
  // Bytes per row of aLength pixels in aDispMode (0 for ENone or a negative length).
  IMPORT_C static TInt ScanLineLength(TInt aLength, TDisplayMode aDispMode);
  // Bits per pixel of aDispMode, 0 for ENone.
  IMPORT_C static TInt BitsPerPixel(TDisplayMode aDispMode);

  // Reads one pixel; black outside the bitmap.
  IMPORT_C void GetPixel(TRgb& aColor, const TPoint& aPixel) const;
  // Copies up to aLength pixels of row aPoint.iY from column aPoint.iX into aBuf, in the
  // bitmap's own format (the pixels clipped to the row).
  IMPORT_C void GetScanLine(TDes8& aBuf, const TPoint& aPoint, TInt aLength, TDisplayMode aDispMode) const;

  // The bitmap heap never moves pixel stores here, so locking is not needed.
  inline void LockHeap(TBool aAlways = EFalse) const { (void)aAlways; }
  inline void UnlockHeap(TBool aAlways = EFalse) const { (void)aAlways; }

private:
  TFbsBitmapData* iData;  // shared pixel store (has-a, counted)
};

#endif
