// The WAV reader and the sample converter on any bytes.
#include <zhost/wav.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  if (aSize > (1u << 20)) return 0;
  ZHost::Wav::TWavInfo info;
  if (ZHost::Wav::Parse(aData, static_cast<TInt>(aSize), info) != KErrNone) return 0;
  ZHost::Wav::Duration(info);
  TInt16* samples = NULL;
  TInt frames = 0;
  if (ZHost::Wav::ConvertToS16Stereo(info, 44100, samples, frames) == KErrNone) {
    volatile TInt16 last = frames > 0 ? samples[2 * frames - 1] : 0;
    (void)last;
    User::Free(samples);
  }
  return 0;
}
