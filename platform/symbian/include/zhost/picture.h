// The image converter's memory budget, and the header reader that holds every picture
// file to it before anything is decoded.
//
// A file is refused when any of its pictures declares a side over KMaxPictureSide or
// more than KMaxPicturePixels pixels (KErrTooBig), or when what decoding it would hold
// at once exceeds KMaxDecodedBytes (KErrTooBig). That amount is counted from the
// headers alone: KDecodedBytesPerPixel bytes for every pixel of every picture (a
// 32-bit pixel, and the same again for the decoder's own working copy), plus
// KPictureOverhead per picture, plus what a format's decoder holds besides (a GIF's
// largest frame image, a TIFF's strip or tile buffer).
// A 4096 x 4096 picture of any accepted format fits; so does an animation whose frames
// together hold no more pixels than that.
//
// Formats accepted: the platform's multi-bitmap files, PNG, JPEG, GIF (every frame),
// BMP, ICO, CUR, TIFF (its first directory), WebP, PCX, PNM (P1..P6), XPM and QOI.
// Not accepted (KErrNotSupported): XCF, whose layers, hierarchies, strings and tile
// tables each declare sizes the decoder allocates as declared, so that a header cannot
// bound them; ILBM/PBM, whose decoder reads every row of every declared plane from the
// body without checking that the body holds them; SVG, which has no pixel size before
// it is parsed whole; TGA and XV, which have no signature to recognise them by; AVIF
// and JPEG XL, which the system's decoder library is built without.
#ifndef ZHOST_PICTURE_H
#define ZHOST_PICTURE_H

#include <e32std.h>

namespace ZHost::Picture {

const TInt KMaxPictureSide = 65535;
const TInt KMaxPicturePixels = 4096 * 4096;
const TInt64 KMaxDecodedBytes = static_cast<TInt64>(160) << 20;
const TInt KDecodedBytesPerPixel = 8;
const TInt KPictureOverhead = 1024;
// A JPEG is decoded at the smallest of the scales 1/8, 2/8 ... 8/8 that still gives at
// least the bitmap's size, and then box-filtered like every other picture.
const TInt KJpegScaleDenominator = 8;
// Progressive JPEGs with more scans than this are refused as corrupt (each scan is a
// pass over the whole picture).
const TInt KMaxJpegScans = 256;

enum TFormat {
  EUnknown,
  EMbm,
  EPng,
  EJpeg,
  EGif,
  EBmp,
  EIco,
  ECur,
  ETiff,
  EWebp,
  EPcx,
  EPnm,
  EXpm,
  EQoi
};

struct TInfo {
  TFormat iFormat = EUnknown;
  TInt iCount = 0;     // pictures in the file (a GIF's frames, counted without decoding)
  TInt iWidth = 0;     // the first picture's size (a GIF's logical screen)
  TInt iHeight = 0;
  TInt64 iDecodedBytes = 0;  // what decoding the file holds at once, by the rule above
};

// The limits in force: KMaxPicturePixels and KMaxDecodedBytes unless lowered for a
// test or a fuzz target (which then meets every limit with small inputs); values of 0
// or less restore the defaults.
IMPORT_C TInt MaxPicturePixels();
IMPORT_C TInt64 MaxDecodedBytes();
IMPORT_C void SetLimitsForTesting(TInt aMaxPicturePixels, TInt64 aMaxDecodedBytes);

// Recognises the format and reads the declared sizes. KErrNone when the file is within
// the budget; KErrTooBig when it is not; KErrNotSupported for a format not accepted;
// KErrCorrupt when the header needed to size the file is missing or inconsistent.
IMPORT_C TInt Probe(const TUint8* aData, TInt aLength, TInfo& aInfo);

// Whether a picture of aWidth x aHeight is within the per-picture limits: KErrNone,
// KErrCorrupt for a side of 0 or less, KErrTooBig over the limits.
IMPORT_C TInt CheckSize(TInt64 aWidth, TInt64 aHeight);

}  // namespace ZHost::Picture

#endif
