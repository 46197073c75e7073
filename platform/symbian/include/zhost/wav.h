// WAV files on the host: the reader behind the audio player utility.
//
// Accepted: a RIFF "WAVE" file with a "fmt " chunk of linear PCM (format 1, or the
// extensible format with a PCM sub-format), 1 or 2 channels, 8 bits (unsigned) or 16
// bits (signed, little-endian) per sample, 1000 to 192000 frames per second, and a
// "data" chunk. Chunks may come in any order; unknown chunks are skipped. A data chunk
// that claims more bytes than the file holds is cut to the whole frames present.
#ifndef ZHOST_WAV_H
#define ZHOST_WAV_H

#include <e32std.h>

namespace ZHost::Wav {

const TInt KMinRate = 1000;
const TInt KMaxRate = 192000;

struct TWavInfo {
  TInt iChannels;
  TInt iRate;
  TInt iBitsPerSample;
  const TUint8* iData;  // inside the parsed buffer
  TInt iFrames;
};

// KErrNone, KErrNotSupported (not a RIFF WAVE file, or a format outside the above) or
// KErrCorrupt (no format or data chunk, a format chunk too short).
IMPORT_C TInt Parse(const TUint8* aBytes, TInt aLength, TWavInfo& aInfo);
// Duration in microseconds.
IMPORT_C TInt64 Duration(const TWavInfo& aInfo);
// Converts the samples to interleaved signed 16-bit stereo at aRate frames per second
// (linear interpolation). The buffer comes from the counted heap (User::Free it);
// KErrNoMemory when it cannot be had, KErrTooBig when it would pass 2^31 bytes.
IMPORT_C TInt ConvertToS16Stereo(const TWavInfo& aInfo, TInt aRate, TInt16*& aSamples, TInt& aFrames);

}  // namespace ZHost::Wav

#endif
