// Reading every accepted picture format's declared sizes without decoding, and holding
// them to the converter's budget (zhost/picture.h). Each reader follows what the
// format's decoder will allocate from the same fields, so that nothing the decoder
// sizes from the file escapes the count.
#include <zhost/jpeg.h>
#include <zhost/mbm.h>
#include <zhost/picture.h>

#include <SDL.h>
#include <SDL_image.h>

#include <string_view>
#include <unordered_set>

namespace ZHost::Picture {

namespace {

// Bounds-checked reads of the file's bytes.
class TBytes {
public:
  TBytes(const TUint8* aData, TInt aLength) : iData(aData), iLength(aLength) {}
  TBool Has(TInt64 aPos, TInt64 aCount) const { return aPos >= 0 && aCount >= 0 && aPos + aCount <= iLength; }
  TUint32 U8(TInt64 aPos) const { return Has(aPos, 1) ? iData[aPos] : 0; }
  TUint32 Le16(TInt64 aPos) const { return U8(aPos) | (U8(aPos + 1) << 8); }
  TUint32 Be16(TInt64 aPos) const { return (U8(aPos) << 8) | U8(aPos + 1); }
  TUint32 Le32(TInt64 aPos) const { return Le16(aPos) | (Le16(aPos + 2) << 16); }
  TUint32 Be32(TInt64 aPos) const { return (Be16(aPos) << 16) | Be16(aPos + 2); }
  TBool Is(TInt64 aPos, const char* aText) const {
    for (TInt i = 0; aText[i]; ++i) {
      if (!Has(aPos + i, 1) || iData[aPos + i] != static_cast<TUint8>(aText[i])) return EFalse;
    }
    return ETrue;
  }
  TInt Length() const { return iLength; }

private:
  const TUint8* iData;
  TInt iLength;
};

TInt64 PictureBytes(TInt64 aWidth, TInt64 aHeight) {
  return aWidth * aHeight * KDecodedBytesPerPixel + KPictureOverhead;
}

// One picture of aWidth x aHeight plus aExtra bytes of the decoder's own.
TInt Single(TInfo& aInfo, TInt64 aWidth, TInt64 aHeight, TInt64 aExtra = 0) {
  const TInt err = CheckSize(aWidth, aHeight);
  if (err != KErrNone) return err;
  aInfo.iCount = 1;
  aInfo.iWidth = static_cast<TInt>(aWidth);
  aInfo.iHeight = static_cast<TInt>(aHeight);
  aInfo.iDecodedBytes = PictureBytes(aWidth, aHeight) + aExtra;
  return KErrNone;
}

TInt ProbeMbm(const TUint8* aData, TInt aLength, TInfo& aInfo) {
  TInt count = 0;
  TInt err = ZHost::Mbm::PictureCount(aData, aLength, count);
  if (err != KErrNone) return err;
  aInfo.iCount = count;
  for (TInt k = 0; k < count; ++k) {
    ZHost::Mbm::TPictureHeader header;
    err = ZHost::Mbm::ReadHeader(aData, aLength, k, header);
    if (err == KErrTooBig) return err;
    aInfo.iDecodedBytes += KPictureOverhead;
    if (err != KErrNone) continue;  // reported when that picture is converted
    if (k == 0) {
      aInfo.iWidth = header.iWidth;
      aInfo.iHeight = header.iHeight;
    }
    aInfo.iDecodedBytes += PictureBytes(header.iWidth, header.iHeight) - KPictureOverhead;
    // The table may name one picture many times: stop counting once over.
    if (aInfo.iDecodedBytes > MaxDecodedBytes()) return KErrTooBig;
  }
  return KErrNone;
}

TInt ProbePng(const TBytes& aB, TInfo& aInfo) {
  // The signature, then the IHDR chunk: length, type, width, height.
  if (!aB.Has(8, 16) || !aB.Is(12, "IHDR")) return KErrCorrupt;
  return Single(aInfo, aB.Be32(16), aB.Be32(20));
}

TInt ProbeJpeg(const TUint8* aData, TInt aLength, TInfo& aInfo) {
  TInt width = 0, height = 0;
  const TInt err = ZHost::Jpeg::ReadSize(aData, aLength, width, height);
  if (err != KErrNone) return err;
  // Decoded at a reduced scale; a progressive picture's coefficients are whole-size.
  return Single(aInfo, width, height);
}

// Checks an image's LZW data, from its code size byte to its block terminator: the codes
// must be valid, give exactly aPixels pixels and end with the end code in the last
// block (at most the rest of its bytes after it). The decoder reads damaged streams
// otherwise than the blocks say and then frees memory it does not own.
TBool GifImageDataClean(const TBytes& aB, TInt64& aPos, TInt64 aPixels) {
  const TInt minimum = static_cast<TInt>(aB.U8(aPos++));
  const TInt clear = 1 << minimum;
  const TInt end = clear + 1;
  TInt size = minimum + 1;
  TInt next = clear + 2;
  TInt previous = -1;
  TInt lengths[4096];
  for (TInt i = 0; i < clear; ++i) lengths[i] = 1;
  TInt64 pixels = 0;
  TUint32 bits = 0;
  TInt count = 0;
  TBool ended = EFalse;
  while (aB.Has(aPos, 1)) {
    const TInt block = static_cast<TInt>(aB.U8(aPos++));
    if (block == 0) return ended && pixels == aPixels;
    if (ended || !aB.Has(aPos, block)) return EFalse;
    for (TInt i = 0; i < block && !ended; ++i) {
      bits |= aB.U8(aPos + i) << count;
      count += 8;
      while (count >= size && !ended) {
        const TInt code = static_cast<TInt>(bits & ((1u << size) - 1));
        bits >>= size;
        count -= size;
        if (code == clear) {
          size = minimum + 1;
          next = clear + 2;
          previous = -1;
          continue;
        }
        if (code == end) {
          ended = ETrue;
          break;
        }
        if (previous < 0) {
          if (code >= clear) return EFalse;
          pixels += 1;
        } else {
          if (code > next || (code == next && next >= 4096)) return EFalse;
          const TInt length = code < next ? lengths[code] : lengths[previous] + 1;
          if (next < 4096) {
            lengths[next] = lengths[previous] + 1;
            ++next;
            if (next == (1 << size) && size < 12) ++size;
          }
          pixels += length;
        }
        if (pixels > aPixels) return EFalse;
        previous = code;
      }
    }
    aPos += block;
  }
  return EFalse;
}

// Walks the blocks. The decoder would skip bytes that start no block and read on after
// unknown extensions, and on such files it frees memory it does not own: the walk takes
// only the format's own grammar (images, the four extensions, the trailer), and a file
// that strays from it, or ends before its trailer, is corrupt.
TInt ProbeGif(const TBytes& aB, TInfo& aInfo) {
  if (!aB.Has(0, 13)) return KErrCorrupt;
  const TInt64 width = aB.Le16(6);
  const TInt64 height = aB.Le16(8);
  TInt err = CheckSize(width, height);
  if (err != KErrNone) return err;
  TInt64 pos = 13;
  const TUint32 flags = aB.U8(10);
  if (flags & 0x80) pos += 3 * (2 << (flags & 7));
  TInt64 frames = 0;
  TInt64 frameBytes = 0;
  TInt64 largestImage = 0;
  const auto skipSubBlocks = [&aB](TInt64& aPos) -> TBool {
    while (aB.Has(aPos, 1)) {
      const TUint32 size = aB.U8(aPos);
      aPos += 1 + size;
      if (size == 0) return ETrue;
    }
    return EFalse;
  };
  for (;;) {
    if (!aB.Has(pos, 1)) return KErrCorrupt;
    const TUint32 c = aB.U8(pos++);
    if (c == ';') break;
    if (c == '!') {
      const TUint32 label = aB.U8(pos++);
      if (label != 0xF9 && label != 0xFE && label != 0x01 && label != 0xFF) return KErrCorrupt;
      if (label == 0xF9 && aB.U8(pos) != 4) return KErrCorrupt;
      if (!skipSubBlocks(pos)) return KErrCorrupt;
      continue;
    }
    if (c != ',' || !aB.Has(pos, 9)) return KErrCorrupt;
    // Each frame's image is decoded at its own declared size before it is placed.
    const TInt64 left = aB.Le16(pos);
    const TInt64 top = aB.Le16(pos + 2);
    const TInt64 w = aB.Le16(pos + 4);
    const TInt64 h = aB.Le16(pos + 6);
    err = CheckSize(w > 0 ? w : 1, h > 0 ? h : 1);
    if (err != KErrNone) return err;
    if (w * h > largestImage) largestImage = w * h;
    const TUint32 local = aB.U8(pos + 8);
    pos += 9;
    if (local & 0x80) pos += 3 * (2 << (local & 7));
    // The decoder mishandles (and frees memory it does not own on) an image that
    // reaches outside the logical screen, has no colour table at all or a code size
    // outside 2..8: such files are refused.
    if (left + w > width || top + h > height) return KErrCorrupt;
    if (!(flags & 0x80) && !(local & 0x80)) return KErrCorrupt;
    if (aB.Has(pos, 1) && (aB.U8(pos) < 2 || aB.U8(pos) > 8)) return KErrCorrupt;
    if (!GifImageDataClean(aB, pos, w * h)) return KErrCorrupt;
    ++frames;
    // Each frame is kept as a picture of at most the logical screen's size.
    frameBytes += PictureBytes(width, height);
    if (frameBytes + largestImage > MaxDecodedBytes()) return KErrTooBig;
  }
  if (frames == 0) return KErrCorrupt;
  aInfo.iCount = static_cast<TInt>(frames);
  aInfo.iWidth = static_cast<TInt>(width);
  aInfo.iHeight = static_cast<TInt>(height);
  // The frames, and the largest frame's own image as it is read.
  aInfo.iDecodedBytes = frameBytes + largestImage;
  return KErrNone;
}

TInt ProbeBmp(const TBytes& aB, TInfo& aInfo) {
  if (!aB.Has(14, 4)) return KErrCorrupt;
  const TUint32 headerSize = aB.Le32(14);
  TInt64 width = 0, height = 0;
  if (headerSize == 12) {
    if (!aB.Has(18, 4)) return KErrCorrupt;
    width = aB.Le16(18);
    height = aB.Le16(20);
  } else if (headerSize >= 40) {
    if (!aB.Has(18, 8)) return KErrCorrupt;
    width = static_cast<TInt32>(aB.Le32(18));
    height = static_cast<TInt32>(aB.Le32(22));
    if (height < 0) height = -height;  // stored top-down
  } else {
    return KErrCorrupt;
  }
  return Single(aInfo, width, height);
}

// The decoder takes the directory entry with the most colours (the first of equals)
// and reads that bitmap's own header; its height counts the mask as well.
TInt ProbeIcon(const TBytes& aB, TInfo& aInfo) {
  if (!aB.Has(0, 6)) return KErrCorrupt;
  const TInt count = static_cast<TInt>(aB.Le16(4));
  TUint32 most = 0;
  TInt64 offset = -1;
  for (TInt i = 0; i < count; ++i) {
    const TInt64 entry = 6 + 16 * static_cast<TInt64>(i);
    if (!aB.Has(entry, 16)) return KErrCorrupt;
    TUint32 colours = aB.U8(entry + 2);
    if (colours == 0) colours = 256;
    if (colours > most) {
      most = colours;
      offset = aB.Le32(entry + 12);
    }
  }
  if (offset < 0 || !aB.Has(offset, 40) || aB.Le32(offset) != 40) return KErrCorrupt;
  const TInt64 width = static_cast<TInt32>(aB.Le32(offset + 4));
  const TInt64 height = static_cast<TInt32>(aB.Le32(offset + 8)) >> 1;
  const TUint32 bits = aB.Le16(offset + 14);
  const TUint32 used = aB.Le32(offset + 32);
  if (bits <= 8 && used > 256) return KErrCorrupt;  // more colours than its palette
  return Single(aInfo, width, height);
}

// The first directory: the size, and the strip or tile buffer the decoder reads into.
TInt ProbeTiff(const TBytes& aB, TInfo& aInfo) {
  const TBool big = aB.Is(0, "MM");
  const auto u16 = [&](TInt64 aPos) { return big ? aB.Be16(aPos) : aB.Le16(aPos); };
  const auto u32 = [&](TInt64 aPos) { return big ? aB.Be32(aPos) : aB.Le32(aPos); };
  const TInt64 ifd = u32(4);
  if (!aB.Has(ifd, 2)) return KErrCorrupt;
  const TInt entries = static_cast<TInt>(u16(ifd));
  TInt64 width = -1, height = -1, samples = 1, bits = 1, rows = -1, tileWidth = 0, tileHeight = 0;
  for (TInt i = 0; i < entries; ++i) {
    const TInt64 e = ifd + 2 + 12 * static_cast<TInt64>(i);
    if (!aB.Has(e, 12)) return KErrCorrupt;
    const TUint32 tag = u16(e);
    const TUint32 type = u16(e + 2);
    const TInt64 count = u32(e + 4);
    // SHORT or LONG values; a single one is held in the entry itself.
    TInt64 value = 0;
    if (type == 3) {
      value = count <= 2 ? u16(e + 8) : u16(u32(e + 8));
      if (tag == 258 && count > 1) {
        // Bits per sample, one per sample: the widest counts.
        const TInt64 at = count <= 2 ? e + 8 : u32(e + 8);
        for (TInt64 s = 0; s < count && s < 65536; ++s) {
          if (!aB.Has(at + 2 * s, 2)) return KErrCorrupt;
          if (u16(at + 2 * s) > value) value = u16(at + 2 * s);
        }
      }
    } else if (type == 4) {
      value = count <= 1 ? u32(e + 8) : u32(u32(e + 8));
    } else {
      continue;
    }
    switch (tag) {
      case 256: width = value; break;
      case 257: height = value; break;
      case 258: bits = value; break;
      case 277: samples = value; break;
      case 278: rows = value; break;
      case 322: tileWidth = value; break;
      case 323: tileHeight = value; break;
      default: break;
    }
  }
  if (width < 0 || height < 0) return KErrCorrupt;
  TInt err = CheckSize(width, height);
  if (err != KErrNone) return err;
  if (bits <= 0 || bits > 64 || samples <= 0) return KErrCorrupt;
  const TInt64 bytesPerPixel = samples * ((bits + 7) / 8);
  TInt64 buffer = 0;
  if (tileWidth > 0 || tileHeight > 0) {
    err = CheckSize(tileWidth, tileHeight);
    if (err != KErrNone) return err;
    buffer = tileWidth * tileHeight * bytesPerPixel;
  } else {
    if (rows <= 0 || rows > height) rows = height;
    buffer = width * rows * bytesPerPixel;
  }
  // The decoder also keeps a row or two of the picture at its own depth.
  if (buffer > MaxDecodedBytes() || width * bytesPerPixel * 2 > MaxDecodedBytes()) return KErrTooBig;
  return Single(aInfo, width, height, buffer + width * bytesPerPixel * 2);
}

TInt ProbeWebp(const TBytes& aB, TInfo& aInfo) {
  if (!aB.Has(12, 8)) return KErrCorrupt;
  if (aB.Is(12, "VP8X")) {
    if (!aB.Has(24, 6)) return KErrCorrupt;
    const TInt64 width = 1 + (aB.Le32(24) & 0xFFFFFF);
    const TInt64 height = 1 + (aB.Le32(27) & 0xFFFFFF);
    return Single(aInfo, width, height);
  }
  if (aB.Is(12, "VP8L")) {
    if (!aB.Has(21, 4) || aB.U8(20) != 0x2F) return KErrCorrupt;
    const TUint32 bits = aB.Le32(21);
    return Single(aInfo, 1 + (bits & 0x3FFF), 1 + ((bits >> 14) & 0x3FFF));
  }
  if (aB.Is(12, "VP8 ")) {
    if (!aB.Has(20, 10) || aB.U8(23) != 0x9D || aB.U8(24) != 0x01 || aB.U8(25) != 0x2A) return KErrCorrupt;
    return Single(aInfo, aB.Le16(26) & 0x3FFF, aB.Le16(28) & 0x3FFF);
  }
  return KErrCorrupt;
}

TInt ProbePcx(const TBytes& aB, TInfo& aInfo) {
  if (!aB.Has(0, 128)) return KErrCorrupt;
  const TInt64 width = static_cast<TInt64>(static_cast<TInt16>(aB.Le16(8))) - static_cast<TInt16>(aB.Le16(4)) + 1;
  const TInt64 height = static_cast<TInt64>(static_cast<TInt16>(aB.Le16(10))) - static_cast<TInt16>(aB.Le16(6)) + 1;
  // One line of all planes is read at a time.
  return Single(aInfo, width, height, static_cast<TInt64>(aB.U8(65)) * aB.Le16(66));
}

// The header's decimal numbers, with '#' comments up to a line's end as white space.
TInt ProbePnm(const TBytes& aB, TInfo& aInfo) {
  TInt64 pos = 2;
  TInt64 values[2] = {0, 0};
  for (TInt64& value : values) {
    TUint32 c = 0;
    do {
      if (!aB.Has(pos, 1)) return KErrCorrupt;
      c = aB.U8(pos++);
      if (c == '#') {
        do {
          if (!aB.Has(pos, 1)) return KErrCorrupt;
          c = aB.U8(pos++);
        } while (c != '\r' && c != '\n');
      }
    } while (c == ' ' || (c >= '\t' && c <= '\r'));
    if (c < '0' || c > '9') return KErrCorrupt;
    while (c >= '0' && c <= '9') {
      if (value <= KMaxTInt) value = value * 10 + (c - '0');
      if (!aB.Has(pos, 1)) break;
      c = aB.U8(pos++);
    }
  }
  return Single(aInfo, values[0], values[1]);
}

// Reads the file's strings as the decoder does: a string starts after the next '"'; a
// description or colour string ends at the following '"'; a pixel row is taken as
// exactly width x characters-per-pixel bytes, followed by 3 more bytes that must exist.
class TXpmReader {
public:
  explicit TXpmReader(const TBytes& aB) : iB(aB) {}
  // The next string up to its closing quote; EFalse at the end of the data.
  TBool Quoted(TInt64& aStart, TInt64& aLength) {
    if (!Open()) return EFalse;
    aStart = iPos;
    while (iB.Has(iPos, 1) && iB.U8(iPos) != '"') ++iPos;
    if (!iB.Has(iPos, 1)) return EFalse;
    aLength = iPos++ - aStart;
    return ETrue;
  }
  TBool Row(TInt64 aLength, TInt64& aStart) {
    if (!Open() || !iB.Has(iPos, aLength + 3)) return EFalse;
    aStart = iPos;
    iPos += aLength + 3;
    return ETrue;
  }

private:
  TBool Open() {
    while (iB.Has(iPos, 1) && iB.U8(iPos) != '"') ++iPos;
    if (!iB.Has(iPos, 1)) return EFalse;
    ++iPos;
    return ETrue;
  }
  const TBytes& iB;
  TInt64 iPos = 0;
};

// The first string holds the width, height, colour count and characters per pixel.
// The colour table and each row of pixels are strings of the file, so a file too short
// to hold them is corrupt before anything is made for them. The decoder cannot take a
// pixel whose characters name no colour of the table (it fails on a missing entry), so
// every pixel is looked up here first.
TInt ProbeXpm(const TUint8* aData, const TBytes& aB, TInfo& aInfo) {
  for (TInt i = 0; i < aB.Length(); ++i) {
    if (aData[i] == 0) return KErrCorrupt;  // the decoder's strings end at a zero byte
  }
  TXpmReader reader(aB);
  TInt64 start = 0, length = 0;
  if (!reader.Quoted(start, length)) return KErrCorrupt;
  TInt64 values[4] = {0, 0, 0, 0};
  TInt64 pos = start;
  const TInt64 end = start + length;
  for (TInt64& value : values) {
    while (pos < end && (aB.U8(pos) == ' ' || (aB.U8(pos) >= '\t' && aB.U8(pos) <= '\r'))) ++pos;
    TBool negative = EFalse;
    if (pos < end && (aB.U8(pos) == '-' || aB.U8(pos) == '+')) negative = aB.U8(pos++) == '-';
    if (pos >= end || aB.U8(pos) < '0' || aB.U8(pos) > '9') return KErrCorrupt;
    while (pos < end && aB.U8(pos) >= '0' && aB.U8(pos) <= '9') {
      if (value <= KMaxTInt) value = value * 10 + (aB.U8(pos) - '0');
      ++pos;
    }
    if (negative) value = -value;
  }
  const TInt64 width = values[0];
  const TInt64 height = values[1];
  const TInt64 colours = values[2];
  const TInt64 chars = values[3];
  if (colours <= 0 || chars <= 0) return KErrCorrupt;
  const TInt err = CheckSize(width, height);
  if (err != KErrNone) return err;
  // Each factor is held to the file's length first, so the products cannot overflow.
  if (colours > aB.Length() || chars > aB.Length() || colours * chars > aB.Length() || width * chars > aB.Length())
    return KErrCorrupt;
  std::unordered_set<std::string_view> keys;
  const char* text = reinterpret_cast<const char*>(aData);
  for (TInt64 c = 0; c < colours; ++c) {
    if (!reader.Quoted(start, length) || length < chars) return KErrCorrupt;
    keys.insert(std::string_view(text + start, static_cast<size_t>(chars)));
  }
  for (TInt64 y = 0; y < height; ++y) {
    if (!reader.Row(width * chars, start)) return KErrCorrupt;
    for (TInt64 x = 0; x < width; ++x) {
      if (!keys.count(std::string_view(text + start + x * chars, static_cast<size_t>(chars)))) return KErrCorrupt;
    }
  }
  return Single(aInfo, width, height, colours * (chars + 64) + width * chars);
}

TInt ProbeQoi(const TBytes& aB, TInfo& aInfo) {
  if (!aB.Has(4, 8)) return KErrCorrupt;
  return Single(aInfo, aB.Be32(4), aB.Be32(8));
}

TFormat Recognise(const TUint8* aData, TInt aLength) {
  if (ZHost::Mbm::Recognise(aData, aLength)) return EMbm;
  SDL_RWops* rw = SDL_RWFromConstMem(aData, aLength);
  if (!rw) return EUnknown;
  TFormat format = EUnknown;
  if (IMG_isPNG(rw)) format = EPng;
  else if (IMG_isJPG(rw)) format = EJpeg;
  else if (IMG_isGIF(rw)) format = EGif;
  else if (IMG_isBMP(rw)) format = EBmp;
  else if (IMG_isICO(rw)) format = EIco;
  else if (IMG_isCUR(rw)) format = ECur;
  else if (IMG_isTIF(rw)) format = ETiff;
  else if (IMG_isWEBP(rw)) format = EWebp;
  else if (IMG_isPCX(rw)) format = EPcx;
  else if (IMG_isPNM(rw)) format = EPnm;
  else if (IMG_isXPM(rw)) format = EXpm;
  else if (IMG_isQOI(rw)) format = EQoi;
  SDL_RWclose(rw);
  return format;
}

}  // namespace

namespace {
TInt gMaxPicturePixels = KMaxPicturePixels;
TInt64 gMaxDecodedBytes = KMaxDecodedBytes;
}  // namespace

EXPORT_C TInt MaxPicturePixels() { return gMaxPicturePixels; }

EXPORT_C TInt64 MaxDecodedBytes() { return gMaxDecodedBytes; }

EXPORT_C void SetLimitsForTesting(TInt aMaxPicturePixels, TInt64 aMaxDecodedBytes) {
  gMaxPicturePixels = aMaxPicturePixels > 0 ? aMaxPicturePixels : KMaxPicturePixels;
  gMaxDecodedBytes = aMaxDecodedBytes > 0 ? aMaxDecodedBytes : KMaxDecodedBytes;
}

EXPORT_C TInt CheckSize(TInt64 aWidth, TInt64 aHeight) {
  if (aWidth <= 0 || aHeight <= 0) return KErrCorrupt;
  if (aWidth > KMaxPictureSide || aHeight > KMaxPictureSide || aWidth * aHeight > MaxPicturePixels()) {
    return KErrTooBig;
  }
  return KErrNone;
}

EXPORT_C TInt Probe(const TUint8* aData, TInt aLength, TInfo& aInfo) {
  aInfo = TInfo();
  if (!aData || aLength <= 0) return KErrNotSupported;
  aInfo.iFormat = Recognise(aData, aLength);
  const TBytes b(aData, aLength);
  TInt err = KErrNotSupported;
  switch (aInfo.iFormat) {
    case EMbm: err = ProbeMbm(aData, aLength, aInfo); break;
    case EPng: err = ProbePng(b, aInfo); break;
    case EJpeg: err = ProbeJpeg(aData, aLength, aInfo); break;
    case EGif: err = ProbeGif(b, aInfo); break;
    case EBmp: err = ProbeBmp(b, aInfo); break;
    case EIco:
    case ECur: err = ProbeIcon(b, aInfo); break;
    case ETiff: err = ProbeTiff(b, aInfo); break;
    case EWebp: err = ProbeWebp(b, aInfo); break;
    case EPcx: err = ProbePcx(b, aInfo); break;
    case EPnm: err = ProbePnm(b, aInfo); break;
    case EXpm: err = ProbeXpm(aData, b, aInfo); break;
    case EQoi: err = ProbeQoi(b, aInfo); break;
    case EUnknown: break;
  }
  if (err == KErrNone && aInfo.iDecodedBytes > MaxDecodedBytes()) err = KErrTooBig;
  if (err != KErrNone) {
    const TFormat format = aInfo.iFormat;
    aInfo = TInfo();
    aInfo.iFormat = format;
  }
  return err;
}

}  // namespace ZHost::Picture
