// The counted heap, the failure switch, heap marks and the sweep helper.
#include <e32base.h>
#include <gtest/gtest.h>
#include <zhost/allocfail.h>
#include <zhost/userlib.h>

#include <vector>

namespace {

class CPair : public CBase {
public:
  static CPair* NewL(const TDesC& aName) {
    CPair* self = new (ELeave) CPair;
    CleanupStack::PushL(self);
    self->ConstructL(aName);
    CleanupStack::Pop(self);
    return self;
  }
  ~CPair() override {
    delete iName;
    delete iNumbers;
  }

private:
  void ConstructL(const TDesC& aName) {
    iName = aName.AllocL();
    iNumbers = new (ELeave) CArrayFixFlat<TInt>(2);
    for (TInt i = 0; i < 10; ++i) iNumbers->AppendL(i);
  }
  HBufC* iName;
  CArrayFixFlat<TInt>* iNumbers;
};

// Forgets its second buffer when the third allocation fails: a deliberate leak. The
// test keeps the forgotten buffers in gForgotten so that it can free them afterwards.
std::vector<HBufC*> gForgotten;

void LeakyOperationL() {
  HBufC* a = HBufC::NewLC(4);
  HBufC* b = HBufC::NewL(4);  // not on the cleanup stack
  gForgotten.push_back(b);
  HBufC* c = HBufC::NewL(4);
  gForgotten.pop_back();
  delete c;
  delete b;
  CleanupStack::PopAndDestroy(a);
}

}  // namespace

TEST(Alloc, CellsAreCountedAndSized) {
  const TInt before = ZHost::AllocCells();
  TAny* p = User::AllocL(10);
  EXPECT_EQ(User::AllocLen(p), 10);
  p = User::ReAllocL(p, 100);
  EXPECT_EQ(User::AllocLen(p), 100);
  EXPECT_EQ(ZHost::AllocCells(), before + 1);
  User::Free(p);
  EXPECT_EQ(ZHost::AllocCells(), before);
  TAny* empty = User::Alloc(0);
  EXPECT_NE(empty, nullptr) << "zero-sized cells are real cells";
  User::Free(empty);
}

TEST(Alloc, FailNextFailsOnceAndDeterministicFailsEveryNth) {
  const TInt failed = ZHost::FailedAllocations();
  __UHEAP_FAILNEXT(3);
  TAny* a = User::Alloc(1);
  TAny* b = User::Alloc(1);
  TAny* c = User::Alloc(1);  // the third from the switch: fails
  TAny* d = User::Alloc(1);  // and only once
  EXPECT_TRUE(a && b && d);
  EXPECT_EQ(c, nullptr);
  EXPECT_EQ(ZHost::FailedAllocations(), failed + 1);
  User::Free(a);
  User::Free(b);
  User::Free(d);

  __UHEAP_SETFAIL(RHeap::EDeterministic, 2);
  TInt nulls = 0;
  for (TInt i = 0; i < 6; ++i) {
    TAny* p = User::Alloc(4);
    if (!p) ++nulls;
    User::Free(p);
  }
  __UHEAP_RESET;
  EXPECT_EQ(nulls, 3);
  TAny* p = User::Alloc(4);
  EXPECT_NE(p, nullptr);
  User::Free(p);
  // A failing ReAlloc keeps the old cell.
  TAny* q = User::AllocL(8);
  __UHEAP_FAILNEXT(1);
  EXPECT_EQ(User::ReAlloc(q, 64), nullptr);
  __UHEAP_RESET;
  EXPECT_EQ(User::AllocLen(q), 8);
  User::Free(q);
}

TEST(Alloc, HeapMarkDetectsLeakedCells) {
  __UHEAP_MARK;
  HBufC* h = HBufC::NewL(3);
  delete h;
  __UHEAP_MARKEND;
  EXPECT_DEATH(
      {
        __UHEAP_MARK;
        (void)User::Alloc(5);
        (void)User::Alloc(5);
        __UHEAP_MARKEND;
      },
      "2 cell\\(s\\) leaked");
}

TEST(Alloc, SweepPassesTwoPhaseConstructionWithoutLeaks) {
  const TInt steps = ZHost::SweepAllocFailures([] { delete CPair::NewL(_L("pair")); });
  // The object, its name, and the array with its buffer growing: at least four
  // allocations were each made to fail once before the clean run.
  EXPECT_GE(steps, 5);
}

TEST(Alloc, SweepFindsTheDeliberateLeak) {
  const ZHost::TSweepResult r = ZHost::SweepAllocFailuresEx([] { LeakyOperationL(); });
  EXPECT_EQ(r.iLeakStep, 3);
  EXPECT_EQ(r.iLeakedCells, 1);
  EXPECT_EQ(r.iLastError, KErrNoMemory);
  EXPECT_EQ(ZHost::SweepAllocFailures([] { LeakyOperationL(); }), -3);
  EXPECT_EQ(gForgotten.size(), 2u);
  for (HBufC* h : gForgotten) delete h;
  gForgotten.clear();
}

TEST(Alloc, CountersForInactivityAndCompression) {
  const TInt resets = ZHost::InactivityResets();
  const TInt compressions = ZHost::HeapCompressions();
  User::ResetInactivityTime();
  User::ResetInactivityTime();
  User::CompressAllHeaps();
  EXPECT_EQ(ZHost::InactivityResets(), resets + 2);
  EXPECT_EQ(ZHost::HeapCompressions(), compressions + 1);
}
