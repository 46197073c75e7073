// Leaves, traps, the cleanup stack and CBase allocation.
#include <e32base.h>
#include <gtest/gtest.h>
#include <zhost/userlib.h>

#include <new>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;

class CTracked : public CBase {
public:
  explicit CTracked(const char* aName) : iName(aName) {}
  ~CTracked() override { gLog.push_back(std::string("delete ") + iName); }
  const char* iName;
  TInt iUntouched;     // left to the allocator's zero fill
  TAny* iUntouchedPtr;  // likewise
};

class RResource {
public:
  void Close() { gLog.push_back("close"); }
  void Release() { gLog.push_back("release"); }
};

void Note(TAny* aText) { gLog.push_back(static_cast<const char*>(aText)); }

class Leave : public ::testing::Test {
protected:
  void SetUp() override {
    gLog.clear();
    iCells = ZHost::AllocCells();
    iLevel = ZHost::CleanupLevel();
  }
  void TearDown() override {
    EXPECT_EQ(ZHost::AllocCells(), iCells) << "cells leaked";
    EXPECT_EQ(ZHost::CleanupLevel(), iLevel);
  }
  TInt iCells = 0;
  TInt iLevel = 0;
};

}  // namespace

TEST_F(Leave, TrapReportsCodeAndLeaveIfError) {
  TRAPD(err, User::Leave(KErrNotFound));
  EXPECT_EQ(err, KErrNotFound);
  TRAP(err, (void)0);
  EXPECT_EQ(err, KErrNone);
  TInt value = 0;
  TRAP(err, value = User::LeaveIfError(7));
  EXPECT_EQ(err, KErrNone);
  EXPECT_EQ(value, 7);  // positive values pass through
  TRAP(err, User::LeaveIfError(KErrCorrupt));
  EXPECT_EQ(err, KErrCorrupt);
  TRAP(err, User::LeaveIfNull(nullptr));
  EXPECT_EQ(err, KErrNoMemory);
  TRAP(err, throw std::bad_alloc());
  EXPECT_EQ(err, KErrNoMemory);
}

TEST_F(Leave, LeaveUnwindsOnlyToItsOwnTrap) {
  CTracked* outer = new (ELeave) CTracked("outer");
  CleanupStack::PushL(outer);
  TRAPD(err, {
    CTracked* a = new (ELeave) CTracked("a");
    CleanupStack::PushL(a);
    CleanupStack::PushL(TCleanupItem(&Note, const_cast<char*>("item")));
    TRAPD(inner, {
      CleanupStack::PushL(new (ELeave) CTracked("b"));
      User::Leave(KErrAbort);
    });
    gLog.push_back("inner=" + std::to_string(inner));
    User::Leave(KErrGeneral);
  });
  EXPECT_EQ(err, KErrGeneral);
  // Innermost first, and "outer" survives because it was pushed outside the trap.
  const std::vector<std::string> expected{"delete b", "inner=-39", "item", "delete a"};
  EXPECT_EQ(gLog, expected);
  gLog.clear();
  CleanupStack::PopAndDestroy(outer);
  EXPECT_EQ(gLog, std::vector<std::string>{"delete outer"});
}

TEST_F(Leave, PopAndDestroyCountsAndCleanupTemplates) {
  RResource closeMe, releaseMe;
  TRAPD(err, {
    CleanupClosePushL(closeMe);
    CleanupReleasePushL(releaseMe);
    TInt* plain = new (ELeave) TInt(5);
    CleanupDeletePushL(plain);
    TAny* cell = User::AllocLC(16);
    CleanupStack::Check(cell);
    CleanupStack::PopAndDestroy(2);  // cell, plain
    gLog.push_back("popped 2");
    CleanupStack::PopAndDestroy(2, &closeMe);
  });
  EXPECT_EQ(err, KErrNone);
  const std::vector<std::string> expected{"popped 2", "release", "close"};
  EXPECT_EQ(gLog, expected);
  // Pop without destroying leaves the object to its owner.
  CTracked* kept = new (ELeave) CTracked("kept");
  CleanupStack::PushL(kept);
  CleanupStack::Pop(kept);
  EXPECT_EQ(gLog.size(), 3u);
  delete kept;
}

TEST_F(Leave, CBaseIsZeroFilledAndPlainNewReturnsNullOnFailure) {
  CTracked* t = new (ELeave) CTracked("z");
  EXPECT_EQ(t->iUntouched, 0);
  EXPECT_EQ(t->iUntouchedPtr, nullptr);
  EXPECT_EQ(ZHost::AllocCells(), iCells + 1);
  delete t;

  gLog.clear();
  __UHEAP_FAILNEXT(1);
  CTracked* none = new CTracked("never");
  __UHEAP_RESET;
  EXPECT_EQ(none, nullptr);
  EXPECT_TRUE(gLog.empty());

  __UHEAP_FAILNEXT(1);
  TRAPD(err, new (ELeave) CTracked("never"));
  __UHEAP_RESET;
  EXPECT_EQ(err, KErrNoMemory);

  // Non-CBase types: the switch applies to new (ELeave) as well.
  __UHEAP_FAILNEXT(1);
  TRAP(err, delete new (ELeave) TInt(3));
  __UHEAP_RESET;
  EXPECT_EQ(err, KErrNoMemory);
}

TEST_F(Leave, DeepCleanupStackGrowsAndUnwinds) {
  TRAPD(err, {
    for (TInt i = 0; i < 1000; ++i) CleanupStack::PushL(User::AllocL(8));
    User::Leave(KErrOverflow);
  });
  EXPECT_EQ(err, KErrOverflow);
}

using LeaveDeathTest = Leave;

static void PopOfTheWrongItem() {
  TInt a = 0;
  TInt b = 0;
  CleanupStack::PushL(TCleanupItem(&Note, &a));
  CleanupStack::Pop(&b);
}

// A trap whose statement returns with more on the cleanup stack than it found.
static void UnbalancedTrap() {
  TRAPD(err, CleanupStack::PushL(TCleanupItem(&Note, nullptr)));
  (void)err;
}

TEST_F(LeaveDeathTest, MisuseOfTheCleanupStackPanics) {
  EXPECT_DEATH(PopOfTheWrongItem(), "Panic E32USER-CBase 90");
  EXPECT_DEATH(UnbalancedTrap(), "Panic E32USER-CBase 71");
  EXPECT_DEATH(CleanupStack::Pop(iLevel + 1), "Panic E32USER-CBase 63");
}
