// Shared by the user library's own sources; not installed.
#ifndef E32_INTERNAL_H
#define E32_INTERNAL_H

#include <e32std.h>
#include <string>

namespace ZE32 {
// UTF-8 form of a 16-bit or 8-bit (Latin-1) descriptor, for messages on stderr.
std::string ToUtf8(const TDesC16& aDes);
std::string ToUtf8(const TDesC8& aDes);
// Applies the failure switch to one allocation attempt; true if it must fail.
bool AllocShouldFail();
[[noreturn]] void Panic(const char* aCategory, TInt aReason);
}  // namespace ZE32

#endif
