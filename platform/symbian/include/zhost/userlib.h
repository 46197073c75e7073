// Host-only views into the user library: counters that tests read and the panic hook.
#ifndef ZHOST_USERLIB_H
#define ZHOST_USERLIB_H

#include <e32std.h>

namespace ZHost {

// Live cells of the counted heap (User::Alloc*, CBase objects, heap descriptors,
// array buffers).
IMPORT_C TInt AllocCells();
// Allocations that the failure switch has made fail since the program started.
IMPORT_C TInt FailedAllocations();
// Allocation attempts through the counted heap and new (ELeave) since the program started.
IMPORT_C TInt AllocAttempts();
// Calls of User::ResetInactivityTime() and User::CompressAllHeaps().
IMPORT_C TInt InactivityResets();
IMPORT_C TInt HeapCompressions();

// What a panic does. The default prints "Panic <category> <reason>" to stderr and
// aborts the process. A test may install a handler that throws instead; the handler
// must not return.
typedef void (*TPanicHandler)(const TDesC& aCategory, TInt aReason);
IMPORT_C TPanicHandler SetPanicHandler(TPanicHandler aHandler);

}  // namespace ZHost

#endif
