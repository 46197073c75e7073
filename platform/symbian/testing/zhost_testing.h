// A headless application environment for tests.
//
// TestEnvironment makes a temporary folder the emulator root (drives C: and Z: inside
// it), switches the clock to virtual time, creates the control environment (which
// installs an active scheduler), an application named "Test" (full name
// C:\System\Apps\Test\Test.app) with its document and application user interface, and
// the resource folders Movies, Pictures, Sounds, Texts, Shapes and Data beside it.
// Its destructor tears all of it down, removes the folder and returns the clock to real
// time. Only one may exist at a time (one environment per thread).
#ifndef ZHOST_TESTING_H
#define ZHOST_TESTING_H

#include <coecntrl.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>
#include <eikenv.h>
#include <f32file.h>
#include <zhost/clock.h>

#include <string>

namespace ZHost::Testing {

// The application user interface of the test application.
class CTestAppUi : public CEikAppUi {
public:
  void ConstructL() override;
  void HandleForegroundEventL(TBool aForeground) override;
  // Key events that no control on the stack consumed.
  TInt UnconsumedKeys() const { return iUnconsumedKeys; }
  TInt ForegroundEvents() const { return iForegroundEvents; }
  TBool Foreground() const { return iForeground; }

protected:
  TKeyResponse HandleKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) override;

private:
  TInt iUnconsumedKeys = 0;
  TInt iForegroundEvents = 0;
  TBool iForeground = ETrue;
};

class TestEnvironment {
public:
  // aAppName: the application's name (letters and digits).
  explicit TestEnvironment(const std::string& aAppName = "Test");
  ~TestEnvironment();
  TestEnvironment(const TestEnvironment&) = delete;
  TestEnvironment& operator=(const TestEnvironment&) = delete;

  CEikonEnv* Env() const { return iEnv; }
  CTestAppUi* AppUi() const { return iAppUi; }
  CEikApplication* Application() const { return iApplication; }
  RFs& Fs() const { return iEnv->FsSession(); }
  TFileName AppFullName() const { return iApplication->AppFullName(); }
  // The application's folder as a device name, e.g. "C:\System\Apps\Test\".
  std::string AppFolder() const;

  // The temporary emulator root on the host.
  const std::string& Root() const { return iRoot; }
  // The host path of a device name ("C:\System\Apps\Test\Data\a.csv", UTF-8); existing
  // components are matched without regard to case. Empty for an invalid name.
  std::string HostPath(const std::string& aDeviceName) const;
  // Writes a file under a device name, creating the folders on the way. Returns false
  // on failure.
  bool WriteFile(const std::string& aDeviceName, const std::string& aBytes) const;
  // A file in the application's resource folder (e.g. "Data", "a.csv").
  bool WriteResource(const std::string& aFolder, const std::string& aName, const std::string& aBytes) const;
  // Makes reading the file of a device name give aBytes from memory (ZHost::SetMemoryContents),
  // creating an empty file there first if there is none. Nothing is written when the file
  // exists, so one input after another costs no disk writes. Returns false on failure.
  bool WriteFileInMemory(const std::string& aDeviceName, const std::string& aBytes) const;
  bool WriteResourceInMemory(const std::string& aFolder, const std::string& aName, const std::string& aBytes) const;

  // Runs the scheduler for aMicroSeconds of virtual time (ZHost::RunFor).
  TInt RunFor(TInt64 aMicroSeconds) const { return ZHost::RunFor(aMicroSeconds); }
  TInt RunUntilIdle() const { return ZHost::RunUntilIdle(); }
  // Microseconds of virtual time since the environment was made.
  TInt64 Elapsed() const;

  // Offers a key event to the application's control stack (then to the app UI). A leave
  // is trapped: the response is then EKeyWasNotConsumed and LastKeyError() tells the code.
  TKeyResponse SendKey(const TKeyEvent& aEvent, TEventCode aType = EEventKey);
  // Sends key down, key and key up for one key press; returns the response to the key event.
  TKeyResponse PressKey(TUint aCode, TInt aScanCode = 0, TUint aModifiers = 0);
  TInt LastKeyError() const { return iLastKeyError; }

private:
  void ConstructL(const std::string& aAppName);
  void TearDown();

  std::string iRoot;
  TInt64 iStart = 0;
  CEikonEnv* iEnv = NULL;
  CEikApplication* iApplication = NULL;
  CEikDocument* iDocument = NULL;
  CTestAppUi* iAppUi = NULL;
  TInt iLastKeyError = KErrNone;
};

}  // namespace ZHost::Testing

#endif
