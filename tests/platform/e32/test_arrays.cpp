// Arrays: RArray, RPointerArray, CArrayFixFlat, CArrayPtrFlat, CArrayVarFlat.
#include <e32base.h>
#include <gtest/gtest.h>
#include <zhost/allocfail.h>

namespace {

struct SItem {
  TInt iKey;
  TInt iValue;
};

TInt ByKey(const SItem& aLeft, const SItem& aRight) { return aLeft.iKey - aRight.iKey; }
TBool SameValue(const SItem& aLeft, const SItem& aRight) { return aLeft.iValue == aRight.iValue; }

TInt gDeleted = 0;
class CThing : public CBase {
public:
  explicit CThing(TInt aId) : iId(aId) {}
  ~CThing() override { ++gDeleted; }
  TInt iId;
};

}  // namespace

TEST(Arrays, RArrayOperations) {
  __UHEAP_MARK;
  RArray<SItem> a;
  for (TInt i = 0; i < 20; ++i) ASSERT_EQ(a.Append(SItem{i * 10, i}), KErrNone);
  EXPECT_EQ(a.Count(), 20);
  EXPECT_EQ(a[3].iValue, 3);
  EXPECT_EQ(a.Insert(SItem{-5, 100}, 0), KErrNone);
  EXPECT_EQ(a.Find(SItem{30, 0}), 4);  // matched on the key at offset 0
  EXPECT_EQ(a.Find(SItem{0, 100}, TIdentityRelation<SItem>(SameValue)), 0);
  EXPECT_EQ(a.Find(SItem{31, 0}), KErrNotFound);
  a.Remove(0);
  EXPECT_EQ(a[0].iKey, 0);
  EXPECT_EQ(a.FindInOrder(SItem{150, 0}, TLinearOrder<SItem>(ByKey)), 15);
  EXPECT_EQ(a.InsertInOrder(SItem{150, 0}, TLinearOrder<SItem>(ByKey)), KErrAlreadyExists);
  EXPECT_EQ(a.InsertInOrder(SItem{155, 0}, TLinearOrder<SItem>(ByKey)), KErrNone);
  EXPECT_EQ(a[16].iKey, 155);
  a.Append(a[0]);  // an entry of the array itself, while the buffer may move
  EXPECT_EQ(a[a.Count() - 1].iKey, 0);
  a.Sort(TLinearOrder<SItem>(ByKey));
  for (TInt i = 1; i < a.Count(); ++i) EXPECT_LE(a[i - 1].iKey, a[i].iKey);
  EXPECT_EQ(a.Reserve(100), KErrNone);
  a.Compress();
  a.Close();
  EXPECT_EQ(a.Count(), 0);

  RArray<TInt> ints;
  __UHEAP_FAILNEXT(1);
  EXPECT_EQ(ints.Append(1), KErrNoMemory);
  __UHEAP_RESET;
  EXPECT_EQ(ints.Count(), 0);
  TRAPD(err, ints.AppendL(4));
  EXPECT_EQ(err, KErrNone);
  EXPECT_EQ(ints.Find(4), 0);
  ints.Reset();
  __UHEAP_MARKEND;
  EXPECT_DEATH((void)ints[0], "Panic USER 130");
}

TEST(Arrays, RPointerArrayOwnsNothingUntilResetAndDestroy) {
  __UHEAP_MARK;
  RPointerArray<CThing> p;
  CThing* one = new (ELeave) CThing(1);
  p.AppendL(one);
  p.AppendL(new (ELeave) CThing(2));
  p.InsertL(new (ELeave) CThing(0), 0);
  EXPECT_EQ(p.Find(one), 1);
  EXPECT_EQ(p[2]->iId, 2);
  p.Remove(1);
  EXPECT_EQ(p.Find(one), KErrNotFound);
  delete one;
  gDeleted = 0;
  p.ResetAndDestroy();
  EXPECT_EQ(gDeleted, 2);
  EXPECT_EQ(p.Count(), 0);
  __UHEAP_MARKEND;
}

TEST(Arrays, CArrayFixFlat) {
  __UHEAP_MARK;
  CArrayFixFlat<TInt>* a = new (ELeave) CArrayFixFlat<TInt>(4);
  for (TInt i = 0; i < 10; ++i) a->AppendL(i);
  a->InsertL(0, -1);
  EXPECT_EQ(a->Count(), 11);
  EXPECT_EQ(a->At(0), -1);
  EXPECT_EQ((*a)[10], 9);
  a->Delete(0);
  a->Delete(2, 3);  // removes 2, 3, 4
  EXPECT_EQ(a->Count(), 7);
  EXPECT_EQ(a->At(2), 5);
  a->AppendL(a->At(0), 2);  // replicas of an entry inside the array
  EXPECT_EQ(a->At(8), 0);
  a->ResizeL(12);
  EXPECT_EQ(a->At(11), 0);
  a->ResizeL(3);
  EXPECT_EQ(a->Count(), 3);
  a->SetReserveL(50);
  a->ExtendL() = 77;
  EXPECT_EQ(a->At(3), 77);
  a->Compress();
  a->Reset();
  EXPECT_EQ(a->Count(), 0);
  delete a;
  __UHEAP_MARKEND;
  CArrayFixFlat<TInt> onStack(2);
  EXPECT_DEATH((void)onStack.At(0), "Panic E32USER-CBase 21");
}

TEST(Arrays, PointerAndVariableArraysSurviveAllocationFailures) {
  const TInt steps = ZHost::SweepAllocFailures([] {
    CArrayPtrFlat<CThing>* a = new (ELeave) CArrayPtrFlat<CThing>(2);
    CleanupStack::PushL(a);
    CleanupStack::PushL(TCleanupItem([](TAny* p) { static_cast<CArrayPtrFlat<CThing>*>(p)->ResetAndDestroy(); }, a));
    for (TInt i = 0; i < 5; ++i) {
      CThing* t = new (ELeave) CThing(i);
      CleanupStack::PushL(t);
      a->AppendL(t);
      CleanupStack::Pop(t);
    }
    CArrayVarFlat<TText>* v = new (ELeave) CArrayVarFlat<TText>(2);
    CleanupStack::PushL(v);
    _LIT(KLong, "a longer entry");
    v->AppendL(*_L("ab").Ptr(), 2 * sizeof(TText));
    v->AppendL(*KLong().Ptr(), KLong().Size());
    if (v->Length(1) != KLong().Size() || a->At(4)->iId != 4) User::Leave(KErrCorrupt);
    CleanupStack::PopAndDestroy(3);
  });
  EXPECT_GT(steps, 10);
}
