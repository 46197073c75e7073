// Makes one chosen allocation of the test program fail with std::bad_alloc, the way a
// host that runs out of memory would, so that the tools' handling of it can be swept.
#pragma once

namespace installer_test {

// From now on, the aNth allocation through operator new (1 = the next one) throws
// std::bad_alloc; 0 disarms. Only one allocation fails.
void FailNthAllocation(long aNth);
// True when the armed failure has happened since the last FailNthAllocation.
bool AllocationFailed();

}  // namespace installer_test
