// ZolvaneTesting.h
//
// Headless engine harness for tests: a test application environment on the virtual
// clock, a controller with a view and a script that records every call, frame running
// and key events. Example applications' tests use it as well.

#ifndef ZOLVANE_TESTING_H
#define ZOLVANE_TESTING_H

#include <Zolvane.h>
#include <zhost_testing.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ZTest {

std::u16string ToU16(const TDesC& aText);
std::string ToUtf8(const TDesC& aText);

// One call the engine made to the script.
struct ScriptCall {
  enum Kind { EFrameBegin, EFrameEnd, EKey, EDecrypt };
  Kind kind;
  TInt frame = 0;                 // frame functions: frame number
  std::u16string text;            // frame functions: movie name; Decrypt: file name
  TInt64 time = 0;                // home time of the call (virtual clock)
  TKeyEvent key{};                // key events
  TEventCode code = EEventNull;
  TBool movieLoadFailed = EFalse; // MovieLoadFailed() as seen during the call
};

// A script that records every call and can be told what to do in each.
class RecordingScript : public CZScript {
public:
  void FrameBeginL(TInt aFrameNumber, TPtrC aMovie) override;
  void FrameEndL(TInt aFrameNumber, TPtrC aMovie) override;
  TKeyResponse KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) override;
  TInt Decrypt(TPtr8 aBuffer, TPtrC aFileName) override;

  // Calls of one kind, in order.
  std::vector<ScriptCall> Calls(ScriptCall::Kind aKind) const;
  TInt Count(ScriptCall::Kind aKind) const;

  std::vector<ScriptCall> iCalls;
  // Virtual microseconds each FrameBeginL spends (the frame's work).
  TInt64 iSpendInBegin = 0;
  // Leave with this code from the next FrameBeginL / FrameEndL (then reset to 0).
  TInt iLeaveInBegin = 0;
  TInt iLeaveInEnd = 0;
  // Run in the frame functions, after recording (may leave).
  std::function<void(TInt)> iOnBegin;
  std::function<void(TInt)> iOnEnd;
  // Decrypt XORs every byte with this key (0: unchanged) and returns iDecryptResult.
  TUint8 iXorKey = 0;
  TInt iDecryptResult = KErrNone;
  TKeyResponse iKeyResponse = EKeyWasConsumed;
};

// XORs bytes with a key: how tests write files that the recording script decrypts.
std::string Xor(const std::string& aBytes, TUint8 aKey);

// The environment, a controller with the recording script and (optionally) a view.
class Harness {
public:
  struct Options {
    TInt channels = 0;
    TBool view = ETrue;
    TBool backBuffer = EFalse;
    TBool script = ETrue;
  };
  Harness();
  explicit Harness(const Options& aOptions);
  ~Harness();

  CZController& Controller() { return *iController; }
  CZView* View() { return iView; }
  RecordingScript& Script() { return iScript; }
  ZHost::Testing::TestEnvironment& Env() { return *iEnv; }

  // Writes a file of the application's folder, e.g. WriteData("Data\\a.csv", bytes).
  void WriteAppFile(const std::string& aRelativePath, const std::string& aBytes);

  // Starts the controller and runs aFrames more frame cycles; returns the number run.
  // Frames are counted by the installed RecordingScript, or, with another script or
  // none, by timer expiries. Gives up after aMaxMicroSeconds of virtual time.
  TInt RunFrames(TInt aFrames, TInt64 aMaxMicroSeconds = 600000000);
  // Sends a key event through the application's control stack.
  TKeyResponse SendKey(TUint aCode, TInt aScanCode = 0, TEventCode aType = EEventKey);

private:
  std::unique_ptr<ZHost::Testing::TestEnvironment> iEnv;
  RecordingScript iScript;
  CZController* iController = nullptr;
  CZView* iView = nullptr;
};

}  // namespace ZTest

#endif
