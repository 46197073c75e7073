// Character tables shared by descriptors, TChar and the lexers.
#ifndef E32_CHARTABLES_H
#define E32_CHARTABLES_H

#include <e32def.h>

namespace ZHost {
const TInt KCharTableSize = 0x500;
enum TCharFlag { ECharAlpha = 1, ECharSpace = 2, ECharPunct = 4 };
extern const TUint16 KFoldTable[KCharTableSize];
extern const TUint16 KLowerTable[KCharTableSize];
extern const TUint16 KUpperTable[KCharTableSize];
extern const TUint8 KCharFlags[KCharTableSize];

inline TUint FoldChar(TUint aChar) { return aChar < static_cast<TUint>(KCharTableSize) ? KFoldTable[aChar] : aChar; }
// The 8-bit descriptors hold Latin-1: a fold or case change that leaves it keeps the character.
inline TUint FoldChar8(TUint aChar) {
  const TUint f = KFoldTable[aChar & 0xff];
  return f < 0x100 ? f : aChar;
}
}  // namespace ZHost

#endif
