// ZolvaneTesting.cpp

#include "ZolvaneTesting.h"

#include <zhost/clock.h>

namespace ZTest {

std::u16string ToU16(const TDesC& aText) {
  std::u16string out;
  out.reserve(aText.Length());
  for (TInt i = 0; i < aText.Length(); i++) {
    out.push_back(static_cast<char16_t>(aText[i]));
  }
  return out;
}

std::string ToUtf8(const TDesC& aText) {
  std::string out;
  for (TInt i = 0; i < aText.Length(); i++) {
    const TUint c = aText[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string Xor(const std::string& aBytes, TUint8 aKey) {
  std::string out(aBytes);
  for (char& c : out) {
    c = static_cast<char>(static_cast<TUint8>(c) ^ aKey);
  }
  return out;
}

// ---------------------------------------------------------------------------------------
// RecordingScript

namespace {
ScriptCall MakeCall(ScriptCall::Kind aKind, CZController* aController) {
  ScriptCall call;
  call.kind = aKind;
  call.time = ZHost::Clock::HomeTime();
  call.movieLoadFailed = aController ? aController->MovieLoadFailed() : EFalse;
  return call;
}
}  // namespace

void RecordingScript::FrameBeginL(TInt aFrameNumber, TPtrC aMovie) {
  ScriptCall call = MakeCall(ScriptCall::EFrameBegin, Controller());
  call.frame = aFrameNumber;
  call.text = ToU16(aMovie);
  iCalls.push_back(call);
  if (iSpendInBegin > 0) {
    ZHost::Clock::Spend(iSpendInBegin);
  }
  if (iLeaveInBegin != 0) {
    const TInt code = iLeaveInBegin;
    iLeaveInBegin = 0;
    User::Leave(code);
  }
  if (iOnBegin) {
    iOnBegin(aFrameNumber);
  }
}

void RecordingScript::FrameEndL(TInt aFrameNumber, TPtrC aMovie) {
  ScriptCall call = MakeCall(ScriptCall::EFrameEnd, Controller());
  call.frame = aFrameNumber;
  call.text = ToU16(aMovie);
  iCalls.push_back(call);
  if (iLeaveInEnd != 0) {
    const TInt code = iLeaveInEnd;
    iLeaveInEnd = 0;
    User::Leave(code);
  }
  if (iOnEnd) {
    iOnEnd(aFrameNumber);
  }
}

TKeyResponse RecordingScript::KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) {
  ScriptCall call = MakeCall(ScriptCall::EKey, Controller());
  call.key = aKeyEvent;
  call.code = aType;
  iCalls.push_back(call);
  return iKeyResponse;
}

TInt RecordingScript::Decrypt(TPtr8 aBuffer, TPtrC aFileName) {
  ScriptCall call = MakeCall(ScriptCall::EDecrypt, Controller());
  call.text = ToU16(aFileName);
  iCalls.push_back(call);
  if (iXorKey != 0) {
    for (TInt i = 0; i < aBuffer.Length(); i++) {
      aBuffer[i] = static_cast<TUint8>(aBuffer[i] ^ iXorKey);
    }
  }
  return iDecryptResult;
}

std::vector<ScriptCall> RecordingScript::Calls(ScriptCall::Kind aKind) const {
  std::vector<ScriptCall> out;
  for (const ScriptCall& call : iCalls) {
    if (call.kind == aKind) {
      out.push_back(call);
    }
  }
  return out;
}

TInt RecordingScript::Count(ScriptCall::Kind aKind) const {
  return static_cast<TInt>(Calls(aKind).size());
}

// ---------------------------------------------------------------------------------------
// Harness

Harness::Harness() : Harness(Options()) {}

Harness::Harness(const Options& aOptions)
    : iEnv(std::make_unique<ZHost::Testing::TestEnvironment>()) {
  iController = CZController::NewL(iEnv->AppUi());
  if (aOptions.script) {
    iController->Script(&iScript);
  }
  if (aOptions.view) {
    iView = CZView::NewL(TRect(0, 0, 640, 200), NULL, aOptions.backBuffer);
    iController->View(iView);
  }
  if (aOptions.channels > 0) {
    iController->SpriteChannelAllocate(aOptions.channels);
  }
}

Harness::~Harness() {
  delete iController;  // detaches the view and the script
  delete iView;
}

void Harness::WriteAppFile(const std::string& aRelativePath, const std::string& aBytes) {
  iEnv->WriteFile(iEnv->AppFolder() + aRelativePath, aBytes);
}

TInt Harness::RunFrames(TInt aFrames, TInt64 aMaxMicroSeconds) {
  iController->Start();
  // Frames are counted by the installed recording script's FrameBeginL calls; with
  // another script (or none), by the expiries of the scheduler's timers, of which the
  // frame timer is then the only one the engine arms.
  RecordingScript* recorder = dynamic_cast<RecordingScript*>(iController->Script());
  const TInt begunBefore = recorder ? recorder->Count(ScriptCall::EFrameBegin) : 0;
  TInt expiries = 0;
  TInt64 spent = 0;
  auto frames = [&] {
    return recorder ? recorder->Count(ScriptCall::EFrameBegin) - begunBefore : expiries;
  };
  while (frames() < aFrames && spent <= aMaxMicroSeconds) {
    const TInt64 due = ZHost::NextTimerDue();
    if (due < 0) {
      break;
    }
    const TInt64 step = due > ZHost::Clock::Ticks() ? due - ZHost::Clock::Ticks() : 0;
    ZHost::RunFor(step);
    spent += step;
    expiries++;
  }
  return frames();
}

TKeyResponse Harness::SendKey(TUint aCode, TInt aScanCode, TEventCode aType) {
  TKeyEvent event{};
  event.iCode = aCode;
  event.iScanCode = aScanCode;
  return iEnv->SendKey(event, aType);
}

}  // namespace ZTest
