// The media server's image converter: decodes pictures held in memory into bitmaps.
//
// On this host the converter reads the platform's multi-bitmap files (.mbm, see
// zhost/mbm.h) with a codec of its own and every format SDL2_image recognises from the
// data (PNG, JPEG, BMP, GIF with every frame a picture, and others). Opening and
// converting are asynchronous: the observer hears of their completion through the
// active scheduler.
//
// Conversion writes 4096-colour bitmaps (EColor4K). Each channel keeps its top four
// bits (truncation), so white stays 0x0FFF, the colour key. Transparent and
// half-transparent pixels are blended over white, so fully transparent ones become the
// colour key. A bitmap whose size differs from the picture's receives the picture
// resampled to the bitmap's size with a box filter: each bitmap pixel is the average of
// the picture pixels its area covers (the nearest picture pixel when enlarging).
#ifndef MDAIMAGECONVERTER_H
#define MDAIMAGECONVERTER_H

#include <e32base.h>
#include <e32std.h>
#include <fbs.h>

class CMdaServer;
class TMdaClipFormat;
class TMdaPackage;
class CMdaImageDescToBitmapUtilityImpl;

// What the converter knows of one picture of the open file.
class TFrameInfo {
public:
  enum TFrameInfoFlags {
    EColor = 0x00000001,
    ETransparencyPossible = 0x00000002,
    EFullyScaleable = 0x00000004,
    EConstantAspectRatio = 0x00000008,
    ECanDither = 0x00000010,
    EAlphaChannel = 0x00000020,
    ELeaveInPlace = 0x00000040,
    ERestoreToBackground = 0x00000080,
    ERestoreToPrevious = 0x00000100
  };
  TRect iFrameCoordsInPixels;
  TSize iFrameSizeInTwips;
  TInt iBitsPerPixel;
  TTimeIntervalMicroSeconds iDelay;
  TUint32 iFlags;
  TSize iOverallSizeInPixels;
};

class MMdaImageUtilObserver {
public:
  virtual void MiuoCreateComplete(TInt aError) = 0;
  virtual void MiuoOpenComplete(TInt aError) = 0;
  virtual void MiuoConvertComplete(TInt aError) = 0;

protected:
  virtual ~MMdaImageUtilObserver() {}
};

class IMPORT_C CMdaImageDescToBitmapUtility : public CBase {
public:
  IMPORT_C static CMdaImageDescToBitmapUtility* NewL(MMdaImageUtilObserver& aObserver, CMdaServer* aServer = NULL);
  IMPORT_C ~CMdaImageDescToBitmapUtility();

  // Starts opening the picture file in aDescriptor, which must live until Close; the
  // format is recognised from the data. Leaves with KErrInUse if a file is open.
  // MiuoOpenComplete reports KErrNotSupported for data of no known format and
  // KErrCorrupt for a file that is damaged.
  IMPORT_C void OpenL(const TDesC8& aDescriptor, TMdaClipFormat* aFormat = NULL, TMdaPackage* aCodec = NULL,
                      TMdaPackage* aExtra = NULL);
  // Pictures in the open file (0 when none is open).
  IMPORT_C TInt FrameCount() const;
  // Information on picture aFrame; all zero for a picture that cannot be read.
  IMPORT_C void FrameInfo(TInt aFrame, TFrameInfo& aInfo) const;
  // Starts converting picture aFrame into aBitmap (EColor4K, any size); leaves with
  // KErrNotReady when no file is open, KErrInUse while converting, KErrArgument for a
  // picture number outside the file and KErrNotSupported for another display mode.
  // MiuoConvertComplete reports the result.
  IMPORT_C void ConvertL(CFbsBitmap& aBitmap, TInt aFrameNumber = 0);
  IMPORT_C void CancelConvertL();
  // Forgets the open file; no callback follows.
  IMPORT_C void Close();

private:
  CMdaImageDescToBitmapUtility();
  CMdaImageDescToBitmapUtilityImpl* iImpl;  // has-a
};

#endif
