// The platform's multi-bitmap files (.mbm): reading on the host.
//
// Layout (all numbers little-endian 32-bit):
//   0   UID1 0x10000037, UID2 0x10000042, UID3 0, UID checksum 0x47396439
//   16  offset of the trailer
//   ... the pictures, each a 40-byte header followed by its data
//   trailer: picture count N, then N offsets of the pictures' headers
// Picture header: total size (header + data), header size (40), width, height, width and
// height in twips, bits per pixel (1, 2, 4, 8, 12, 16, 24), colour flag (0 grey, 1
// colour), palette entries (not used), compression (0 none, 1 byte runs, 2 12-bit runs,
// 3 16-bit runs, 4 24-bit runs).
// Data: rows top to bottom, each padded to a whole number of 32-bit words; 12-bit
// pixels take 16 bits. Pixels narrower than a byte fill each byte from its low bits.
// 12-bit pixels hold red in bits 0..3, green 4..7, blue 8..11 (the 4096-colour mode);
// 16-bit pixels are 5-6-5 with red in the top bits; 24-bit pixels are blue, green, red
// bytes. Grey pixels of n bits span black to white evenly. 4-bit colour pixels index
// the 16 standard colours of gdi.h (KRgbBlack, KRgbDarkGray, KRgbDarkRed,
// KRgbDarkGreen, KRgbDarkYellow, KRgbDarkBlue, KRgbDarkMagenta, KRgbDarkCyan, KRgbRed,
// KRgbGreen, KRgbYellow, KRgbBlue, KRgbMagenta, KRgbCyan, KRgbGray, KRgbWhite); 8-bit
// colour pixels index a 6 x 6 x 6 colour cube (index = r + 6 g + 36 b, levels 0, 51,
// ..., 255) followed by 40 greys from black to white.
// Compressed data is one stream over the whole padded data, rows following each other:
//   byte runs: a control byte c; c < 128: the next byte repeated c + 1 times; otherwise
//     256 - c literal bytes follow.
//   16- and 24-bit runs: the same control bytes, counting 2- or 3-byte units.
//   12-bit runs: 16-bit words; the top four bits are the repeat count - 1, the low 12
//     bits the pixel.
// A run that reaches a whole unit past the end of the picture's data makes the picture
// corrupt (a last unit that only partly fits is cut).
#ifndef ZHOST_MBM_H
#define ZHOST_MBM_H

#include <e32std.h>

namespace ZHost::Mbm {

const TUint32 KUid1 = 0x10000037;
const TUint32 KUid2 = 0x10000042;
const TUint32 KUid3 = 0;
const TUint32 KUidChecksum = 0x47396439;
const TInt KFileHeaderSize = 20;
const TInt KPictureHeaderSize = 40;

enum TCompression {
  ENoCompression = 0,
  EByteRle = 1,
  ETwelveBitRle = 2,
  ESixteenBitRle = 3,
  ETwentyFourBitRle = 4
};

struct TPictureHeader {
  TInt iBitmapSize;
  TInt iStructSize;
  TInt iWidth;
  TInt iHeight;
  TInt iTwipsWidth;
  TInt iTwipsHeight;
  TInt iBitsPerPixel;
  TInt iColor;
  TInt iPaletteEntries;
  TInt iCompression;
};

// Receives a decoded picture one row at a time, top to bottom. Pixels are TRgb values
// (red + green * 256 + blue * 65536).
class MRowSink {
public:
  // Returns KErrNone to go on, or an error that ends the decoding with that error.
  virtual TInt Row(TInt aY, const TUint32* aPixels, TInt aWidth) = 0;

protected:
  ~MRowSink() {}
};

// Whether the bytes start with the multi-bitmap file's UIDs.
IMPORT_C TBool Recognise(const TUint8* aData, TInt aLength);
// The number of pictures. KErrNotSupported if the UIDs are not there, KErrCorrupt for a
// trailer outside the file or a count that the file cannot hold.
IMPORT_C TInt PictureCount(const TUint8* aData, TInt aLength, TInt& aCount);
// Reads and checks picture aIndex's header: KErrCorrupt for a header or data outside
// the file, a size of 0 or less, or data too short for the size; KErrTooBig for a size
// over the image converter's per-picture limits (zhost/picture.h); KErrNotSupported for
// a depth, colour flag or compression that the codec does not read.
IMPORT_C TInt ReadHeader(const TUint8* aData, TInt aLength, TInt aIndex, TPictureHeader& aHeader);
// Decodes picture aIndex row by row into aSink. Row buffers come from the counted heap
// (KErrNoMemory when they cannot be had).
IMPORT_C TInt Decode(const TUint8* aData, TInt aLength, TInt aIndex, MRowSink& aSink);
// Bytes per padded row of aWidth pixels at aBitsPerPixel (12 counts as 16).
IMPORT_C TInt64 RowBytes(TInt64 aWidth, TInt aBitsPerPixel);
// The colour of index aIndex of the 16- and 256-colour palettes described above.
IMPORT_C TUint32 Palette16(TInt aIndex);
IMPORT_C TUint32 Palette256(TInt aIndex);

}  // namespace ZHost::Mbm

#endif
