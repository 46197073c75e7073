// Reading the platform's multi-bitmap files (the layout is described in zhost/mbm.h).
// Every offset and size read from the file is checked against the buffer before use;
// decoding streams one padded row at a time, so memory stays bounded by the row size.
#include <gdi.h>
#include <zhost/mbm.h>
#include <zhost/picture.h>

#include <cstring>

namespace ZHost::Mbm {

namespace {

// A run-length stream never expands its data more than this many times (the largest
// ratio is a 4-byte 24-bit run of 128 units: 384 bytes).
const TInt64 KMaxExpansion = 128;

TUint32 ReadU32(const TUint8* aP) {
  return static_cast<TUint32>(aP[0]) | (static_cast<TUint32>(aP[1]) << 8) | (static_cast<TUint32>(aP[2]) << 16) |
         (static_cast<TUint32>(aP[3]) << 24);
}

TBool DepthSupported(TInt aBits) {
  return aBits == 1 || aBits == 2 || aBits == 4 || aBits == 8 || aBits == 12 || aBits == 16 || aBits == 24;
}

TBool CompressionFits(TInt aCompression, TInt aBits) {
  switch (aCompression) {
    case ENoCompression:
    case EByteRle:
      return ETrue;
    case ETwelveBitRle:
      return aBits == 12;
    case ESixteenBitRle:
      return aBits == 16;
    case ETwentyFourBitRle:
      return aBits == 24;
    default:
      return EFalse;
  }
}

// Fills the picture's padded data, row after row, from the file.
class TDataReader {
public:
  TDataReader(const TUint8* aData, TInt64 aLength, TInt aCompression, TInt64 aTotal)
      : iData(aData), iLength(aLength), iPos(0), iCompression(aCompression), iTotal(aTotal), iDone(0),
        iRepeatLeft(0), iLiteralLeft(0), iUnit(1), iPatternPos(0) {
    switch (aCompression) {
      case ETwelveBitRle:
      case ESixteenBitRle:
        iUnit = 2;
        break;
      case ETwentyFourBitRle:
        iUnit = 3;
        break;
      default:
        iUnit = 1;
        break;
    }
  }

  // Fills aCount bytes; KErrCorrupt when the data ends first or a run passes the end.
  TInt Fill(TUint8* aOut, TInt64 aCount) {
    if (iCompression == ENoCompression) {
      if (iPos + aCount > iLength) return KErrCorrupt;
      std::memcpy(aOut, iData + iPos, static_cast<size_t>(aCount));
      iPos += aCount;
      iDone += aCount;
      return KErrNone;
    }
    while (aCount > 0) {
      if (iRepeatLeft > 0) {
        *aOut++ = iPattern[iPatternPos];
        iPatternPos = (iPatternPos + 1) % iUnit;
        --iRepeatLeft;
        --aCount;
        ++iDone;
        continue;
      }
      if (iLiteralLeft > 0) {
        const TInt64 n = aCount < iLiteralLeft ? aCount : iLiteralLeft;
        std::memcpy(aOut, iData + iPos, static_cast<size_t>(n));
        aOut += n;
        iPos += n;
        iLiteralLeft -= n;
        aCount -= n;
        iDone += n;
        continue;
      }
      const TInt err = NextRun();
      if (err != KErrNone) return err;
    }
    return KErrNone;
  }

private:
  TInt NextRun() {
    TInt64 runBytes = 0;
    if (iCompression == ETwelveBitRle) {
      if (iPos + 2 > iLength) return KErrCorrupt;
      const TUint16 word = static_cast<TUint16>(iData[iPos] | (iData[iPos + 1] << 8));
      iPos += 2;
      const TUint16 pixel = word & 0x0FFF;
      iPattern[0] = static_cast<TUint8>(pixel & 0xFF);
      iPattern[1] = static_cast<TUint8>(pixel >> 8);
      iPatternPos = 0;
      runBytes = static_cast<TInt64>((word >> 12) + 1) * 2;
      iRepeatLeft = runBytes;
    } else {
      if (iPos + 1 > iLength) return KErrCorrupt;
      const TUint8 control = iData[iPos++];
      if (control < 128) {
        if (iPos + iUnit > iLength) return KErrCorrupt;
        std::memcpy(iPattern, iData + iPos, static_cast<size_t>(iUnit));
        iPos += iUnit;
        iPatternPos = 0;
        runBytes = static_cast<TInt64>(control + 1) * iUnit;
        iRepeatLeft = runBytes;
      } else {
        runBytes = static_cast<TInt64>(256 - control) * iUnit;
        if (iPos + runBytes > iLength) return KErrCorrupt;
        iLiteralLeft = runBytes;
      }
    }
    // A run may cross rows but not the end of the picture (its last unit may hold the
    // bytes of the final row's padding that the picture's size does not reach).
    if (iDone + runBytes - iUnit >= iTotal) return KErrCorrupt;
    return KErrNone;
  }

  const TUint8* iData;
  TInt64 iLength;
  TInt64 iPos;
  TInt iCompression;
  TInt64 iTotal;
  TInt64 iDone;
  TInt64 iRepeatLeft;
  TInt64 iLiteralLeft;
  TInt iUnit;
  TInt iPatternPos;
  TUint8 iPattern[3];
};

TUint32 Expand(TInt aValue, TInt aBits) {
  const TInt max = (1 << aBits) - 1;
  const TInt grey = aValue * 255 / max;
  return TRgb(grey, grey, grey).Value();
}

// One padded row of packed pixels into TRgb values.
void UnpackRow(const TPictureHeader& aHeader, const TUint8* aRow, TUint32* aOut) {
  const TInt bits = aHeader.iBitsPerPixel;
  const TInt width = aHeader.iWidth;
  for (TInt x = 0; x < width; ++x) {
    TUint32 rgb = 0;
    switch (bits) {
      case 1:
      case 2:
      case 4: {
        const TInt64 bit = static_cast<TInt64>(x) * bits;
        const TInt value = (aRow[bit / 8] >> (bit % 8)) & ((1 << bits) - 1);
        if (aHeader.iColor != 0 && bits == 4) {
          rgb = Palette16(value);
        } else {
          rgb = Expand(value, bits);
        }
        break;
      }
      case 8:
        rgb = aHeader.iColor != 0 ? Palette256(aRow[x]) : Expand(aRow[x], 8);
        break;
      case 12: {
        const TInt word = aRow[2 * x] | (aRow[2 * x + 1] << 8);
        rgb = TRgb::Color4K(word & 0x0FFF).Value();
        break;
      }
      case 16: {
        const TInt word = aRow[2 * x] | (aRow[2 * x + 1] << 8);
        const TInt r = (word >> 11) & 31;
        const TInt g = (word >> 5) & 63;
        const TInt b = word & 31;
        rgb = TRgb((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)).Value();
        break;
      }
      case 24: {
        const TUint8* p = aRow + 3 * static_cast<TInt64>(x);
        rgb = TRgb(p[2], p[1], p[0]).Value();
        break;
      }
      default:
        break;
    }
    aOut[x] = rgb;
  }
}

}  // namespace

EXPORT_C TInt64 RowBytes(TInt64 aWidth, TInt aBitsPerPixel) {
  const TInt64 bits = aWidth * (aBitsPerPixel == 12 ? 16 : aBitsPerPixel);
  return ((bits + 31) / 32) * 4;
}

EXPORT_C TUint32 Palette16(TInt aIndex) {
  static const TRgb KColors[16] = {KRgbBlack,   KRgbDarkGray, KRgbDarkRed,     KRgbDarkGreen,
                                   KRgbDarkYellow, KRgbDarkBlue, KRgbDarkMagenta, KRgbDarkCyan,
                                   KRgbRed,     KRgbGreen,    KRgbYellow,      KRgbBlue,
                                   KRgbMagenta, KRgbCyan,     KRgbGray,        KRgbWhite};
  return KColors[aIndex & 15].Value();
}

EXPORT_C TUint32 Palette256(TInt aIndex) {
  aIndex &= 255;
  if (aIndex < 216) {
    return TRgb((aIndex % 6) * 51, ((aIndex / 6) % 6) * 51, (aIndex / 36) * 51).Value();
  }
  const TInt grey = (aIndex - 216) * 255 / 39;
  return TRgb(grey, grey, grey).Value();
}

EXPORT_C TBool Recognise(const TUint8* aData, TInt aLength) {
  return aData != NULL && aLength >= 8 && ReadU32(aData) == KUid1 && ReadU32(aData + 4) == KUid2;
}

EXPORT_C TInt PictureCount(const TUint8* aData, TInt aLength, TInt& aCount) {
  aCount = 0;
  if (!Recognise(aData, aLength)) return KErrNotSupported;
  if (aLength < KFileHeaderSize) return KErrCorrupt;
  const TUint32 trailer = ReadU32(aData + 16);
  if (trailer > static_cast<TUint32>(aLength) - 4) return KErrCorrupt;
  const TUint32 count = ReadU32(aData + trailer);
  // The offsets must all be inside the file.
  if (count > (static_cast<TUint32>(aLength) - trailer - 4) / 4) return KErrCorrupt;
  aCount = static_cast<TInt>(count);
  return KErrNone;
}

EXPORT_C TInt ReadHeader(const TUint8* aData, TInt aLength, TInt aIndex, TPictureHeader& aHeader) {
  std::memset(&aHeader, 0, sizeof(aHeader));
  TInt count = 0;
  TInt err = PictureCount(aData, aLength, count);
  if (err != KErrNone) return err;
  if (aIndex < 0 || aIndex >= count) return KErrArgument;
  const TUint32 trailer = ReadU32(aData + 16);
  const TUint32 offset = ReadU32(aData + trailer + 4 + 4 * static_cast<TUint32>(aIndex));
  if (static_cast<TInt64>(offset) + KPictureHeaderSize > aLength) return KErrCorrupt;
  const TUint8* p = aData + offset;
  TInt* fields[] = {&aHeader.iBitmapSize,    &aHeader.iStructSize,  &aHeader.iWidth,
                    &aHeader.iHeight,        &aHeader.iTwipsWidth,  &aHeader.iTwipsHeight,
                    &aHeader.iBitsPerPixel,  &aHeader.iColor,       &aHeader.iPaletteEntries,
                    &aHeader.iCompression};
  for (TInt i = 0; i < 10; ++i) {
    *fields[i] = static_cast<TInt>(ReadU32(p + 4 * i));
  }
  if (aHeader.iStructSize < KPictureHeaderSize || aHeader.iBitmapSize < aHeader.iStructSize ||
      static_cast<TInt64>(offset) + aHeader.iBitmapSize > aLength) {
    return KErrCorrupt;
  }
  if (aHeader.iWidth <= 0 || aHeader.iHeight <= 0) return KErrCorrupt;
  // Whatever the data holds, a picture over the converter's limits is refused.
  const TInt size = ZHost::Picture::CheckSize(aHeader.iWidth, aHeader.iHeight);
  if (size != KErrNone) return size;
  if (!DepthSupported(aHeader.iBitsPerPixel) || (aHeader.iColor != 0 && aHeader.iColor != 1) ||
      !CompressionFits(aHeader.iCompression, aHeader.iBitsPerPixel)) {
    return KErrNotSupported;
  }
  // No file holds more than KMaxTInt bytes of data, which expand at most KMaxExpansion
  // times: rows beyond that are corrupt, and testing first keeps the product in range.
  const TInt64 rowBytes = RowBytes(aHeader.iWidth, aHeader.iBitsPerPixel);
  if (rowBytes > static_cast<TInt64>(KMaxTInt) * KMaxExpansion / aHeader.iHeight) return KErrCorrupt;
  const TInt64 total = rowBytes * aHeader.iHeight;
  const TInt64 dataLength = aHeader.iBitmapSize - aHeader.iStructSize;
  if (aHeader.iCompression == ENoCompression ? dataLength < total : dataLength * KMaxExpansion < total) {
    return KErrCorrupt;
  }
  return KErrNone;
}

EXPORT_C TInt Decode(const TUint8* aData, TInt aLength, TInt aIndex, MRowSink& aSink) {
  TPictureHeader header;
  TInt err = ReadHeader(aData, aLength, aIndex, header);
  if (err != KErrNone) return err;
  const TUint32 trailer = ReadU32(aData + 16);
  const TUint32 offset = ReadU32(aData + trailer + 4 + 4 * static_cast<TUint32>(aIndex));
  const TInt64 rowBytes = RowBytes(header.iWidth, header.iBitsPerPixel);
  const TInt64 pixelBytes = static_cast<TInt64>(header.iWidth) * 4;
  // ReadHeader has bounded the rows by the file's size; the counted heap takes cells
  // up to KMaxTInt bytes.
  if (rowBytes > KMaxTInt || pixelBytes > KMaxTInt) return KErrNoMemory;
  TUint8* row = static_cast<TUint8*>(User::Alloc(static_cast<TInt>(rowBytes)));
  TUint32* pixels = static_cast<TUint32*>(User::Alloc(static_cast<TInt>(pixelBytes)));
  if (!row || !pixels) {
    User::Free(row);
    User::Free(pixels);
    return KErrNoMemory;
  }
  TDataReader reader(aData + offset + header.iStructSize, header.iBitmapSize - header.iStructSize,
                     header.iCompression, rowBytes * header.iHeight);
  for (TInt y = 0; y < header.iHeight && err == KErrNone; ++y) {
    err = reader.Fill(row, rowBytes);
    if (err == KErrNone) {
      UnpackRow(header, row, pixels);
      err = aSink.Row(y, pixels, header.iWidth);
    }
  }
  User::Free(row);
  User::Free(pixels);
  return err;
}

}  // namespace ZHost::Mbm
