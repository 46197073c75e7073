// Allocation failures: every allocation of an operation is made to fail in turn; each
// failing step must end in a clean leave or a 0 result and leak nothing.

#include <ZolvaneTesting.h>
#include <zhost/userlib.h>

#include <gtest/gtest.h>

using namespace ZTest;

namespace {

// Runs aOp with the n-th allocation failing, for n = 1, 2, ... until a run completes
// without the failure being hit. aOp returns its leave code (or KErrNone) and must free
// whatever a successful run keeps. Returns the number of failing steps seen.
template <class F>
TInt SweepAllocations(const char* aWhat, F aOp, std::vector<TInt>* aCodes = nullptr) {
  for (TInt n = 1; n < 100000; n++) {
    const TInt cells = ZHost::AllocCells();
    const TInt failedBefore = ZHost::FailedAllocations();
    __UHEAP_FAILNEXT(n);
    const TInt code = aOp();
    __UHEAP_RESET;
    const TBool hit = ZHost::FailedAllocations() != failedBefore;
    EXPECT_EQ(ZHost::AllocCells(), cells) << aWhat << ": leak at step " << n;
    if (!hit) {
      EXPECT_EQ(code, KErrNone) << aWhat << ": failed with no allocation failing";
      return n - 1;
    }
    if (aCodes) aCodes->push_back(code);
  }
  ADD_FAILURE() << aWhat << ": sweep did not end";
  return 0;
}

}  // namespace

TEST(AllocFailures, ControllerConstruction) {
  Harness::Options options;
  options.view = EFalse;
  options.script = EFalse;
  Harness h(options);
  std::vector<TInt> codes;
  const TInt steps = SweepAllocations("NewL", [&] {
    CZController* c = NULL;
    TRAPD(err, c = CZController::NewL(h.Env().AppUi()));
    delete c;
    return err;
  }, &codes);
  EXPECT_GT(steps, 5);  // player, lists, sine table, timer...
  for (TInt code : codes) {
    EXPECT_EQ(code, KErrNoMemory);
  }
}

TEST(AllocFailures, NullApplicationIsAnAbort) {
  CZController* c = NULL;
  TRAPD(err, c = CZController::NewL(NULL));
  EXPECT_EQ(err, KErrAbort);
  EXPECT_EQ(c, nullptr);
}

TEST(AllocFailures, LoadersLeaveCleanlyOrReturnZero) {
  Harness h;
  h.Script().iXorKey = 0x21;
  h.WriteAppFile("Data\\a.txt", Xor("1 2 3\n4 5 6", 0x21));
  h.WriteAppFile("Data\\c.csv", Xor("a;b\r\nc;d\r\n\"e\";f", 0x21));
  CZController& c = h.Controller();

  const TInt arraySteps = SweepAllocations("LoadFileArrayL", [&] {
    TInt result = -1;
    TRAPD(err, result = c.LoadFileArrayL(_L("a.txt"), 3, 2));
    if (err == KErrNone && result == 1) {
      EXPECT_EQ(c.ArrayValue(2, 1), 6);
    } else if (err == KErrNone) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(c.ArrayValue(0, 0), 0);  // a failed load leaves no array
      err = KErrNoMemory;
    }
    c.ArrayReset();
    return err;
  });
  EXPECT_GT(arraySteps, 2);

  const TInt csvSteps = SweepAllocations("LoadFileCSVL", [&] {
    TInt result = -1;
    TRAPD(err, result = c.LoadFileCSVL(_L("c.csv")));
    if (err == KErrNone) {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(c.CSVRowCount(), 3);
    }
    c.CSVReset();
    return err;
  });
  EXPECT_GT(csvSteps, 3);
}
