// The test program's own global operator new and delete, on malloc and free, with a
// one-shot failure that a test can arm.
#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gCountdown{0};
std::atomic<bool> gFailed{false};

void* Allocate(std::size_t aSize) {
  if (gCountdown.load(std::memory_order_relaxed) > 0 && gCountdown.fetch_sub(1) == 1) {
    gFailed = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(aSize ? aSize : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

namespace installer_test {

void FailNthAllocation(long aNth) {
  gFailed = false;
  gCountdown = aNth;
}

bool AllocationFailed() { return gFailed; }

}  // namespace installer_test

void* operator new(std::size_t aSize) { return Allocate(aSize); }
void* operator new[](std::size_t aSize) { return Allocate(aSize); }
void operator delete(void* aPointer) noexcept { std::free(aPointer); }
void operator delete[](void* aPointer) noexcept { std::free(aPointer); }
void operator delete(void* aPointer, std::size_t) noexcept { std::free(aPointer); }
void operator delete[](void* aPointer, std::size_t) noexcept { std::free(aPointer); }
