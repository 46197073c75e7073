// The WAV reader and the sample converter of the audio player utility.
#include <zhost/wav.h>

#include <cstring>

namespace ZHost::Wav {

namespace {

const TUint16 KFormatPcm = 1;
const TUint16 KFormatExtensible = 0xFFFE;

TUint32 U32(const TUint8* aP) {
  return static_cast<TUint32>(aP[0]) | (static_cast<TUint32>(aP[1]) << 8) | (static_cast<TUint32>(aP[2]) << 16) |
         (static_cast<TUint32>(aP[3]) << 24);
}

TUint16 U16(const TUint8* aP) { return static_cast<TUint16>(aP[0] | (aP[1] << 8)); }

// Sample aFrame of channel aChannel as a signed 16-bit value.
TInt Sample(const TWavInfo& aInfo, TInt64 aFrame, TInt aChannel) {
  if (aChannel >= aInfo.iChannels) aChannel = 0;
  const TInt64 index = aFrame * aInfo.iChannels + aChannel;
  if (aInfo.iBitsPerSample == 8) {
    return (static_cast<TInt>(aInfo.iData[index]) - 128) << 8;
  }
  return static_cast<TInt16>(U16(aInfo.iData + 2 * index));
}

}  // namespace

EXPORT_C TInt Parse(const TUint8* aBytes, TInt aLength, TWavInfo& aInfo) {
  std::memset(&aInfo, 0, sizeof(aInfo));
  if (!aBytes || aLength < 12 || std::memcmp(aBytes, "RIFF", 4) != 0 || std::memcmp(aBytes + 8, "WAVE", 4) != 0) {
    return KErrNotSupported;
  }
  TBool haveFormat = EFalse;
  const TUint8* data = NULL;
  TInt64 dataBytes = 0;
  TUint16 format = 0;
  TInt channels = 0;
  TInt64 rate = 0;
  TInt bits = 0;
  TInt64 pos = 12;
  while (pos + 8 <= aLength) {
    const TUint8* chunk = aBytes + pos;
    const TInt64 size = U32(chunk + 4);
    const TInt64 available = aLength - (pos + 8);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
      if (size < 16 || available < 16) return KErrCorrupt;
      format = U16(chunk + 8);
      channels = U16(chunk + 10);
      rate = U32(chunk + 12);
      bits = U16(chunk + 22);
      if (format == KFormatExtensible) {
        // The sub-format GUID starts with the format tag, 24 bytes into the chunk.
        if (size < 40 || available < 40) return KErrCorrupt;
        format = U16(chunk + 8 + 24);
      }
      haveFormat = ETrue;
    } else if (std::memcmp(chunk, "data", 4) == 0 && !data) {
      data = chunk + 8;
      dataBytes = size < available ? size : available;
    }
    // Chunks are padded to an even length.
    pos += 8 + size + (size & 1);
  }
  if (!haveFormat || !data) return KErrCorrupt;
  if (format != KFormatPcm || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate < KMinRate ||
      rate > KMaxRate) {
    return KErrNotSupported;
  }
  const TInt frameBytes = channels * bits / 8;
  aInfo.iChannels = channels;
  aInfo.iRate = static_cast<TInt>(rate);
  aInfo.iBitsPerSample = bits;
  aInfo.iData = data;
  aInfo.iFrames = static_cast<TInt>(dataBytes / frameBytes);
  return KErrNone;
}

EXPORT_C TInt64 Duration(const TWavInfo& aInfo) {
  if (aInfo.iRate <= 0) return 0;
  return static_cast<TInt64>(aInfo.iFrames) * 1000000 / aInfo.iRate;
}

EXPORT_C TInt ConvertToS16Stereo(const TWavInfo& aInfo, TInt aRate, TInt16*& aSamples, TInt& aFrames) {
  aSamples = NULL;
  aFrames = 0;
  if (aInfo.iRate <= 0 || aRate <= 0) return KErrArgument;
  const TInt64 frames = (static_cast<TInt64>(aInfo.iFrames) * aRate + aInfo.iRate - 1) / aInfo.iRate;
  const TInt64 bytes = frames * 4;
  if (bytes > KMaxTInt) return KErrTooBig;
  TInt16* out = static_cast<TInt16*>(User::Alloc(bytes > 0 ? static_cast<TInt>(bytes) : 4));
  if (!out) return KErrNoMemory;
  // Source position in 32.32 fixed point per output frame.
  const TUint64 step = (static_cast<TUint64>(aInfo.iRate) << 32) / static_cast<TUint64>(aRate);
  TUint64 position = 0;
  for (TInt64 i = 0; i < frames; ++i, position += step) {
    const TInt64 index = static_cast<TInt64>(position >> 32);
    const TInt64 fraction = static_cast<TInt64>((position >> 16) & 0xFFFF);
    const TInt64 next = index + 1 < aInfo.iFrames ? index + 1 : index;
    for (TInt c = 0; c < 2; ++c) {
      const TInt64 a = Sample(aInfo, index, c);
      const TInt64 b = Sample(aInfo, next, c);
      out[2 * i + c] = static_cast<TInt16>(a + (((b - a) * fraction) >> 16));
    }
  }
  aSamples = out;
  aFrames = static_cast<TInt>(frames);
  return KErrNone;
}

}  // namespace ZHost::Wav
