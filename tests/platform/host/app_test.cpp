// Controls, the control stack's key routing and the headless test environment.
#include <coecntrl.h>
#include <eikenv.h>
#include <zhost/files.h>
#include <zhost_testing.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using ZHost::Testing::TestEnvironment;

std::vector<std::string> gOffers;

class CKeyControl : public CCoeControl {
public:
  CKeyControl(const std::string& aName, TBool aConsume) : iName(aName), iConsume(aConsume) {}
  TKeyResponse OfferKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) override {
    gOffers.push_back(iName);
    iLastCode = aKeyEvent.iCode;
    iLastType = aType;
    if (iOnKey) iOnKey();
    return iConsume ? EKeyWasConsumed : EKeyWasNotConsumed;
  }
  void Draw(const TRect& aRect) const override {
    ++iDraws;
    iDrawnRect = aRect;
  }
  std::string iName;
  TBool iConsume;
  TUint iLastCode = 0;
  TEventCode iLastType = EEventNull;
  std::function<void()> iOnKey;
  mutable TInt iDraws = 0;
  mutable TRect iDrawnRect;
};

TEST(AppTest, TheEnvironmentHasTheApplicationAndItsFolders) {
  std::string root;
  {
    TestEnvironment env;
    root = env.Root();
    EXPECT_EQ(ZHost::ToUtf8(env.AppFullName()), "C:\\System\\Apps\\Test\\Test.app");
    EXPECT_EQ(env.AppFolder(), "C:\\System\\Apps\\Test\\");
    EXPECT_EQ(CEikonEnv::Static(), env.Env());
    EXPECT_EQ(CCoeEnv::Static()->AppUi(), env.AppUi());
    EXPECT_EQ(env.Env()->EikAppUi(), env.AppUi());
    EXPECT_EQ(env.AppUi()->Application(), env.Application());
    EXPECT_NE(CActiveScheduler::Current(), nullptr);
    EXPECT_TRUE(ZHost::Clock::IsVirtual());
    for (const char* folder : {"Movies", "Pictures", "Sounds", "Texts", "Shapes", "Data"}) {
      EXPECT_TRUE(std::filesystem::is_directory(root + "/epoc32/wins/c/System/Apps/Test/" + folder)) << folder;
    }
    EXPECT_TRUE(std::filesystem::is_directory(root + "/epoc32/release/wins/udeb/z"));

    // Files written by the test are read through the file server, under any case.
    ASSERT_TRUE(env.WriteResource("Data", "level.csv", "a;b\r\n"));
    RFile file;
    ASSERT_EQ(file.Open(env.Fs(), _L("C:\\SYSTEM\\apps\\test\\data\\LEVEL.CSV"), EFileShareReadersOnly | EFileRead), KErrNone);
    TBuf8<16> bytes;
    ASSERT_EQ(file.Read(bytes), KErrNone);
    EXPECT_TRUE(bytes == _L8("a;b\r\n"));
    file.Close();
    EXPECT_EQ(env.HostPath("C:\\system\\apps\\TEST\\data\\level.csv"), root + "/epoc32/wins/c/System/Apps/Test/Data/level.csv");
    EXPECT_EQ(env.HostPath("C:\\bad<name"), "");
    EXPECT_FALSE(env.WriteFile("Q:\\nowhere.txt", "x"));

    env.RunFor(123456);
    EXPECT_EQ(env.Elapsed(), 123456);
  }
  EXPECT_FALSE(std::filesystem::exists(root));
  EXPECT_EQ(CCoeEnv::Static(), nullptr);
  EXPECT_EQ(CActiveScheduler::Current(), nullptr);
  EXPECT_FALSE(ZHost::Clock::IsVirtual());
}

TEST(AppTest, AnotherNameGivesAnotherApplicationFile) {
  TestEnvironment env("Demo");
  EXPECT_EQ(ZHost::ToUtf8(env.AppFullName()), "C:\\System\\Apps\\Demo\\Demo.app");
  EXPECT_TRUE(std::filesystem::is_directory(env.Root() + "/epoc32/wins/c/System/Apps/Demo/Pictures"));
}

TEST(AppTest, KeysGoToHigherPrioritiesFirstThenToTheLastAdded) {
  TestEnvironment env;
  gOffers.clear();
  CKeyControl first("first", EFalse), second("second", EFalse), menu("menu", EFalse), deaf("deaf", ETrue);
  CCoeAppUi* ui = env.AppUi();
  ui->AddToStackL(&first);
  ui->AddToStackL(&menu, ECoeStackPriorityMenu);
  ui->AddToStackL(&second);
  ui->AddToStackL(&deaf, ECoeStackPriorityDialog, ECoeStackFlagRefusesAllKeys);
  TKeyEvent key = {EKeyLeftArrow, EStdKeyLeftArrow, 0, 0};
  EXPECT_EQ(env.SendKey(key, EEventKey), EKeyWasNotConsumed);
  EXPECT_EQ(gOffers, (std::vector<std::string>{"menu", "second", "first"}));
  EXPECT_EQ(env.AppUi()->UnconsumedKeys(), 1);
  EXPECT_EQ(first.iLastCode, static_cast<TUint>(EKeyLeftArrow));
  EXPECT_EQ(first.iLastType, EEventKey);

  // A consumer stops the routing.
  gOffers.clear();
  second.iConsume = ETrue;
  EXPECT_EQ(env.PressKey(EKeyUpArrow, EStdKeyUpArrow), EKeyWasConsumed);
  EXPECT_EQ(gOffers, (std::vector<std::string>{"menu", "second", "menu", "second", "menu", "second"}));
  EXPECT_EQ(second.iLastType, EEventKeyUp);

  // Removed, re-added (moves to the front of its priority), deleted.
  gOffers.clear();
  second.iConsume = EFalse;
  ui->RemoveFromStack(&second);
  ui->AddToStackL(&first);
  CKeyControl* temp = new CKeyControl("temp", EFalse);
  ui->AddToStackL(temp);
  delete temp;  // leaves the stack by itself
  env.SendKey(key, EEventKey);
  EXPECT_EQ(gOffers, (std::vector<std::string>{"menu", "first"}));
  ui->RemoveFromStack(&first);
  ui->RemoveFromStack(&menu);
  ui->RemoveFromStack(&deaf);
}

TEST(AppTest, AControlMayChangeTheStackWhileItHandlesAKey) {
  TestEnvironment env;
  gOffers.clear();
  CKeyControl a("a", EFalse);
  CKeyControl* b = new CKeyControl("b", EFalse);
  CKeyControl* c = new CKeyControl("c", EFalse);
  env.AppUi()->AddToStackL(&a);
  env.AppUi()->AddToStackL(b);
  env.AppUi()->AddToStackL(c);
  // c, the first to be offered, deletes b: b is not offered, a still is.
  c->iOnKey = [&b] {
    delete b;
    b = NULL;
  };
  TKeyEvent key = {'x', 'X', 0, 0};
  env.SendKey(key);
  EXPECT_EQ(gOffers, (std::vector<std::string>{"c", "a"}));
  // A leave in a handler is trapped and reported.
  a.iOnKey = [] { User::Leave(KErrCorrupt); };
  c->iOnKey = nullptr;
  EXPECT_EQ(env.SendKey(key), EKeyWasNotConsumed);
  EXPECT_EQ(env.LastKeyError(), KErrCorrupt);
  delete c;
  env.AppUi()->RemoveFromStack(&a);
}

TEST(AppTest, ControlGeometryVisibilityAndDrawing) {
  TestEnvironment env;
  CKeyControl c("c", EFalse);
  EXPECT_EQ(c.ControlEnv(), env.Env());
  c.SetRect(TRect(10, 20, 110, 70));
  EXPECT_EQ(c.Position(), TPoint(10, 20));
  EXPECT_EQ(c.Size(), TSize(100, 50));
  c.SetPosition(TPoint(0, 0));
  EXPECT_EQ(c.Rect(), TRect(0, 0, 100, 50));
  c.DrawNow();
  EXPECT_EQ(c.iDraws, 0);  // not activated yet
  c.ActivateL();
  c.DrawNow();
  EXPECT_EQ(c.iDraws, 1);
  EXPECT_EQ(c.iDrawnRect, TRect(0, 0, 100, 50));
  c.MakeVisible(EFalse);
  EXPECT_FALSE(c.IsVisible());
  c.DrawNow();
  EXPECT_EQ(c.iDraws, 1);
}

TEST(AppTest, ExitStopsTheApplicationLoop) {
  TestEnvironment env;
  class CExiter : public CActive {
  public:
    CExiter(CEikAppUi* aUi) : CActive(0), iUi(aUi) {
      CActiveScheduler::Add(this);
      iTimer.CreateLocal();
      iTimer.After(iStatus, 40000);
      SetActive();
    }
    ~CExiter() {
      Cancel();
      iTimer.Close();
    }
    void RunL() override { iUi->HandleCommandL(EEikCmdExit); }
    void DoCancel() override { iTimer.Cancel(); }
    CEikAppUi* iUi;
    RTimer iTimer;
  } exiter(env.AppUi());
  CActiveScheduler::Start();
  EXPECT_TRUE(env.AppUi()->ExitRequested());
  EXPECT_EQ(env.Elapsed(), 40000);
}

}  // namespace
