// The headless application environment for tests.
#include "zhost_testing.h"

#include <zhost/files.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace ZHost::Testing {

namespace {

const TUid KTestAppUid = {0x10005A00};

class CTestDocument : public CEikDocument {
public:
  explicit CTestDocument(CEikApplication& aApp) : CEikDocument(aApp) {}
  CEikAppUi* CreateAppUiL() override { return new (ELeave) CTestAppUi; }
};

class CTestApplication : public CEikApplication {
public:
  TUid AppDllUid() const override { return KTestAppUid; }
  CApaDocument* CreateDocumentL() override { return new (ELeave) CTestDocument(*this); }
};

TFileName ToDes(const std::string& aText) {
  TFileName name;
  ZHost::FromUtf8(aText, name);
  return name;
}

}  // namespace

void CTestAppUi::ConstructL() { BaseConstructL(); }

void CTestAppUi::HandleForegroundEventL(TBool aForeground) {
  ++iForegroundEvents;
  iForeground = aForeground;
}

TKeyResponse CTestAppUi::HandleKeyEventL(const TKeyEvent&, TEventCode) {
  ++iUnconsumedKeys;
  return EKeyWasNotConsumed;
}

TestEnvironment::TestEnvironment(const std::string& aAppName) {
  if (CCoeEnv::Static() != NULL || CActiveScheduler::Current() != NULL)
    throw std::logic_error("TestEnvironment: an environment or a scheduler exists already");
  std::string pattern = (std::filesystem::temp_directory_path() / "zolvane-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == NULL) throw std::runtime_error("TestEnvironment: cannot make a temporary folder");
  iRoot = pattern;
  const std::string c = iRoot + "/epoc32/wins/c";
  const std::string z = iRoot + "/epoc32/release/wins/udeb/z";
  std::filesystem::create_directories(c);
  std::filesystem::create_directories(z);
  ZHost::SetEpocRoot(iRoot);
  ZHost::SetDrivePath('C', c);
  ZHost::SetDrivePath('Z', z);

  ZHost::Clock::UseVirtual();
  ZHost::ResetSchedulerErrors();
  iStart = ZHost::Clock::Ticks();

  TRAPD(error, ConstructL(aAppName));
  if (error != KErrNone) {
    TearDown();
    throw std::runtime_error("TestEnvironment: the application could not be created: " + std::to_string(error));
  }

  for (const char* folder : {"Movies", "Pictures", "Sounds", "Texts", "Shapes", "Data"})
    std::filesystem::create_directories(HostPath(AppFolder() + folder + "\\"));
}

void TestEnvironment::ConstructL(const std::string& aAppName) {
  iEnv = new (ELeave) CEikonEnv;
  iEnv->ConstructL();
  iApplication = new (ELeave) CTestApplication;
  iApplication->SetAppFullName(ToDes(aAppName));
  iDocument = static_cast<CEikDocument*>(iApplication->CreateDocumentL());
  iAppUi = static_cast<CTestAppUi*>(iDocument->CreateAppUiL());
  iAppUi->SetDocument(iDocument);
  iDocument->SetAppUi(iAppUi);
  iAppUi->ConstructL();
}

TestEnvironment::~TestEnvironment() { TearDown(); }

void TestEnvironment::TearDown() {
  delete iAppUi;
  iAppUi = NULL;
  delete iDocument;
  iDocument = NULL;
  delete iApplication;
  iApplication = NULL;
  delete iEnv;  // uninstalls and deletes the scheduler it installed
  iEnv = NULL;
  ZHost::Clock::UseReal();
  ZHost::ClearMemoryContents();
  ZHost::SetDrivePath('C', "");
  ZHost::SetDrivePath('Z', "");
  ZHost::SetEpocRoot("");
  if (!iRoot.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(iRoot, ignored);
    iRoot.clear();
  }
}

std::string TestEnvironment::AppFolder() const {
  TParse parse;
  parse.Set(AppFullName(), NULL, NULL);
  return ZHost::ToUtf8(parse.DriveAndPath());
}

std::string TestEnvironment::HostPath(const std::string& aDeviceName) const {
  std::string host;
  TInt error = ZHost::HostPath(ToDes(aDeviceName), host);
  if (error == KErrBadName || error == KErrNotReady) return std::string();
  return host;
}

bool TestEnvironment::WriteFile(const std::string& aDeviceName, const std::string& aBytes) const {
  std::string host = HostPath(aDeviceName);
  if (host.empty() || host.back() == '/') return false;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(host).parent_path(), error);
  if (error) return false;
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(aBytes.data(), static_cast<std::streamsize>(aBytes.size()));
  return static_cast<bool>(out);
}

bool TestEnvironment::WriteResource(const std::string& aFolder, const std::string& aName, const std::string& aBytes) const {
  return WriteFile(AppFolder() + aFolder + "\\" + aName, aBytes);
}

bool TestEnvironment::WriteFileInMemory(const std::string& aDeviceName, const std::string& aBytes) const {
  std::string host = HostPath(aDeviceName);
  if (host.empty() || host.back() == '/') return false;
  std::error_code error;
  if (!std::filesystem::is_regular_file(host, error)) {
    if (!WriteFile(aDeviceName, std::string())) return false;
    host = HostPath(aDeviceName);
  }
  ZHost::SetMemoryContents(host, aBytes);
  return true;
}

bool TestEnvironment::WriteResourceInMemory(const std::string& aFolder, const std::string& aName,
                                            const std::string& aBytes) const {
  return WriteFileInMemory(AppFolder() + aFolder + "\\" + aName, aBytes);
}

TInt64 TestEnvironment::Elapsed() const { return ZHost::Clock::Ticks() - iStart; }

TKeyResponse TestEnvironment::SendKey(const TKeyEvent& aEvent, TEventCode aType) {
  TKeyResponse response = EKeyWasNotConsumed;
  TRAP(iLastKeyError, response = iAppUi->RouteKeyEventL(aEvent, aType));
  return iLastKeyError == KErrNone ? response : EKeyWasNotConsumed;
}

TKeyResponse TestEnvironment::PressKey(TUint aCode, TInt aScanCode, TUint aModifiers) {
  TKeyEvent event = {0, aScanCode, aModifiers, 0};
  SendKey(event, EEventKeyDown);
  event.iCode = aCode;
  TKeyResponse response = SendKey(event, EEventKey);
  TInt error = iLastKeyError;
  event.iCode = 0;
  SendKey(event, EEventKeyUp);
  if (iLastKeyError == KErrNone) iLastKeyError = error;
  return response;
}

}  // namespace ZHost::Testing
