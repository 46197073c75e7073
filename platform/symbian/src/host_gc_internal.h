// Shared by the bitmap contexts' sources: filling runs of 16-bit pixel words.
#ifndef HOST_GC_INTERNAL_H
#define HOST_GC_INTERNAL_H

#include <e32def.h>

#include <cstdint>
#include <cstring>

namespace ZHost {

// Sets aCount words from aPixels to aWord, eight bytes at a time where it can.
inline void FillWords(TUint16* aPixels, TInt64 aCount, TUint16 aWord) {
  if (aCount < 16) {
    for (TInt64 i = 0; i < aCount; ++i) aPixels[i] = aWord;
    return;
  }
  while (reinterpret_cast<std::uintptr_t>(aPixels) & 7) {
    *aPixels++ = aWord;
    --aCount;
  }
  const TUint64 pattern = aWord * 0x0001000100010001ULL;
  unsigned char* bytes = reinterpret_cast<unsigned char*>(aPixels);
  const TInt64 blocks = aCount / 4;
  for (TInt64 i = 0; i < blocks; ++i) std::memcpy(bytes + 8 * i, &pattern, 8);
  for (TInt64 i = blocks * 4; i < aCount; ++i) aPixels[i] = aWord;
}

}  // namespace ZHost

#endif
