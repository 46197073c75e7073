// The audio player utility on SDL2 audio.
//
// Each utility converts its WAV clip to the output's format (signed 16-bit stereo at
// ZHost::Audio::KOutputRate) when it opens it, then mixes it into the one shared output
// while it plays. The end of playing is timed with a timer of the clip's duration on the
// scheduler's clock, so that completions come through the active scheduler in order
// with everything else, on the virtual clock as on the real one.
#include <mdaaudiosampleplayer.h>
#include <zhost/audio.h>
#include <zhost/clock.h>
#include <zhost/live.h>
#include <zhost/wav.h>

#include <SDL.h>

#include <cstring>
#include <mutex>

namespace {

// Longest single timer wait (the timer takes 32-bit microseconds).
const TInt64 KMaxTimerChunk = 2000000000;

// While on, a playing clip waits for ZHost::Live::CompleteAudio instead of its timer.
TBool gAudioDriven = EFalse;

// One clip being mixed. Lives inside its utility; linked into the mixer while playing.
struct TVoice {
  const TInt16* iSamples;
  TInt iFrames;
  TInt iPosition;
  TInt iVolume;
  TVoice* iNext;
};

// The shared output: the device, the utilities that use it and the voices it mixes.
struct TMixer {
  std::mutex iLock;             // guards the voices; the device's thread mixes under it
  TVoice* iVoices = NULL;
  SDL_AudioDeviceID iDevice = 0;
  TBool iSdlAudio = EFalse;     // the audio subsystem is initialised by us
  TInt iUsers = 0;
  char iDriver[32] = {0};
};

TMixer& Mixer() {
  static TMixer mixer;
  return mixer;
}

void MixCallback(void* aUserData, Uint8* aStream, int aLength) {
  TMixer& mixer = *static_cast<TMixer*>(aUserData);
  TInt16* out = reinterpret_cast<TInt16*>(aStream);
  const TInt samples = aLength / 2;
  std::memset(aStream, 0, static_cast<size_t>(aLength));
  std::lock_guard<std::mutex> lock(mixer.iLock);
  for (TVoice* v = mixer.iVoices; v; v = v->iNext) {
    const TInt frames = samples / 2;
    for (TInt i = 0; i < frames && v->iPosition < v->iFrames; ++i, ++v->iPosition) {
      for (TInt c = 0; c < 2; ++c) {
        const TInt s = v->iSamples[2 * v->iPosition + c] * v->iVolume / ZHost::Audio::KMaxVolume;
        TInt sum = out[2 * i + c] + s;
        sum = sum > 32767 ? 32767 : (sum < -32768 ? -32768 : sum);
        out[2 * i + c] = static_cast<TInt16>(sum);
      }
    }
  }
}

TBool TryOpen(TMixer& aMixer, const char* aDriver) {
  if (aDriver) {
    SDL_SetHint(SDL_HINT_AUDIODRIVER, aDriver);
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    return EFalse;
  }
  SDL_AudioSpec want;
  SDL_AudioSpec have;
  SDL_zero(want);
  want.freq = ZHost::Audio::KOutputRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = MixCallback;
  want.userdata = &aMixer;
  // No changes allowed: SDL converts our format to the device's when they differ.
  aMixer.iDevice = SDL_OpenAudioDevice(NULL, 0, &want, &have, 0);
  if (aMixer.iDevice == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return EFalse;
  }
  aMixer.iSdlAudio = ETrue;
  const char* name = SDL_GetCurrentAudioDriver();
  std::strncpy(aMixer.iDriver, name ? name : "", sizeof(aMixer.iDriver) - 1);
  SDL_PauseAudioDevice(aMixer.iDevice, 0);
  return ETrue;
}

void AddUser() {
  TMixer& mixer = Mixer();
  if (mixer.iUsers++ > 0) {
    return;
  }
  // Tests run on the virtual clock and stay silent; elsewhere the default device is
  // tried first and the silent driver is the fallback.
  const TBool opened = (!ZHost::Clock::IsVirtual() && TryOpen(mixer, NULL)) || TryOpen(mixer, "dummy");
  if (!opened) {
    mixer.iDriver[0] = 0;
  }
}

void RemoveUser() {
  TMixer& mixer = Mixer();
  if (--mixer.iUsers > 0) {
    return;
  }
  if (mixer.iDevice != 0) {
    SDL_CloseAudioDevice(mixer.iDevice);
    mixer.iDevice = 0;
  }
  if (mixer.iSdlAudio) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mixer.iSdlAudio = EFalse;
  }
  mixer.iDriver[0] = 0;
}

void AddVoice(TVoice* aVoice) {
  TMixer& mixer = Mixer();
  std::lock_guard<std::mutex> lock(mixer.iLock);
  aVoice->iNext = mixer.iVoices;
  mixer.iVoices = aVoice;
}

void RemoveVoice(TVoice* aVoice) {
  TMixer& mixer = Mixer();
  std::lock_guard<std::mutex> lock(mixer.iLock);
  for (TVoice** link = &mixer.iVoices; *link; link = &(*link)->iNext) {
    if (*link == aVoice) {
      *link = aVoice->iNext;
      aVoice->iNext = NULL;
      return;
    }
  }
}

void SetVoiceVolume(TVoice* aVoice, TInt aVolume) {
  std::lock_guard<std::mutex> lock(Mixer().iLock);
  aVoice->iVolume = aVolume;
}

}  // namespace

// The utility's working part: an active object that completes the open, then times
// each play.
class CMdaAudioPlayerUtilityImpl : public CActive {
public:
  enum TState { EOpening, EOpen, EPlaying, EFailed, EClosed };

  CMdaAudioPlayerUtilityImpl(const TDesC8& aClip, MMdaAudioPlayerCallback& aCallback, TInt aPriority)
      : CActive(aPriority), iClip(aClip), iCallback(aCallback), iVolume(ZHost::Audio::KMaxVolume) {}

  ~CMdaAudioPlayerUtilityImpl() {
    Cancel();
    Unplug();
    User::Free(iSamples);
    iTimer.Close();
    Unlink();
    if (iUser) {
      RemoveUser();
    }
  }

  void ConstructL() {
    User::LeaveIfError(iTimer.CreateLocal());
    // The clip's timer is the platform's, not the application's.
    ZHost::Live::MarkTimerHandleInternal(iTimer.Handle());
    iNumber = ZHost::Live::NextAudioPlayer();
    CActiveScheduler::Add(this);
    AddUser();
    iUser = ETrue;
    iNextImpl = gFirst;
    gFirst = this;
    // The clip is read when the scheduler next runs: the open completes asynchronously.
    iState = EOpening;
    Complete(KErrNone);
  }

  void Play() {
    if (iState != EOpen && iState != EPlaying) {
      return;
    }
    Cancel();
    Unplug();
    iVoice.iSamples = iSamples;
    iVoice.iFrames = iFrames;
    iVoice.iPosition = 0;
    iVoice.iVolume = iVolume;
    AddVoice(&iVoice);
    iInMixer = ETrue;
    iState = EPlaying;
    iRemaining = iDuration.Int64();
    WaitChunk();
  }

  void Stop() {
    if (iState != EPlaying) {
      return;
    }
    Cancel();
    Unplug();
    iState = EOpen;
  }

  void Close() {
    Cancel();
    Unplug();
    iState = EClosed;
  }

  void SetVolume(TInt aVolume) {
    iVolume = aVolume < 0 ? 0 : (aVolume > ZHost::Audio::KMaxVolume ? ZHost::Audio::KMaxVolume : aVolume);
    if (iInMixer) {
      SetVoiceVolume(&iVoice, iVolume);
    }
  }

  // Ends a playing that waits to be ended from outside (audio driven from outside).
  TBool CompleteDriven(TInt aError) {
    if (iState != EPlaying || !iDrivenWait) return EFalse;
    iDrivenWait = EFalse;
    iRemaining = 0;
    TRequestStatus* status = &iStatus;
    User::RequestComplete(status, aError);
    return ETrue;
  }
  TInt Number() const { return iNumber; }

  // Ends playing now with aError.
  void CompleteNow(TInt aError) {
    if (iState != EPlaying) {
      return;
    }
    Cancel();
    iRemaining = 0;
    Complete(aError);
  }

  TInt Volume() const { return iVolume; }
  const TTimeIntervalMicroSeconds& Duration() const { return iDuration; }
  TBool Playing() const { return iState == EPlaying; }

  static CMdaAudioPlayerUtilityImpl* gFirst;
  CMdaAudioPlayerUtilityImpl* iNextImpl = NULL;

protected:
  void RunL() override {
    const TInt status = iStatus.Int();
    if (iState == EOpening) {
      const TInt err = OpenClip();
      iState = err == KErrNone ? EOpen : EFailed;
      iCallback.MapcInitComplete(err, iDuration);  // may delete this utility
      return;
    }
    if (iState == EPlaying) {
      if (status == KErrNone && iRemaining > 0) {
        WaitChunk();
        return;
      }
      Unplug();
      iState = EOpen;
      if (ZHost::Live::MObserver* observer = ZHost::Live::Observer()) observer->AudioCompleted(iNumber, status);
      iCallback.MapcPlayComplete(status);  // may delete this utility
    }
  }

  void DoCancel() override {
    iTimer.Cancel();
    if (iDrivenWait) {
      iDrivenWait = EFalse;
      TRequestStatus* status = &iStatus;
      User::RequestComplete(status, KErrCancel);
    }
  }

private:
  void Complete(TInt aError) {
    iStatus = KRequestPending;
    SetActive();
    TRequestStatus* status = &iStatus;
    User::RequestComplete(status, aError);
  }

  void WaitChunk() {
    if (gAudioDriven) {
      iStatus = KRequestPending;
      iDrivenWait = ETrue;
      SetActive();
      return;
    }
    const TInt64 chunk = iRemaining < KMaxTimerChunk ? iRemaining : KMaxTimerChunk;
    iRemaining -= chunk;
    iTimer.After(iStatus, static_cast<TInt>(chunk));
    SetActive();
  }

  TInt OpenClip() {
    ZHost::Wav::TWavInfo info;
    TInt err = ZHost::Wav::Parse(iClip.Ptr(), iClip.Length(), info);
    if (err == KErrNone) {
      err = ZHost::Wav::ConvertToS16Stereo(info, ZHost::Audio::KOutputRate, iSamples, iFrames);
    }
    if (err == KErrNone) {
      iDuration = ZHost::Wav::Duration(info);
    }
    return err;
  }

  void Unplug() {
    if (iInMixer) {
      RemoveVoice(&iVoice);
      iInMixer = EFalse;
    }
  }

  void Unlink() {
    for (CMdaAudioPlayerUtilityImpl** link = &gFirst; *link; link = &(*link)->iNextImpl) {
      if (*link == this) {
        *link = iNextImpl;
        return;
      }
    }
  }

  TPtrC8 iClip;
  MMdaAudioPlayerCallback& iCallback;
  TState iState = EOpening;
  RTimer iTimer;
  TInt16* iSamples = NULL;
  TInt iFrames = 0;
  TTimeIntervalMicroSeconds iDuration;
  TInt64 iRemaining = 0;
  TInt iVolume;
  TVoice iVoice{};
  TBool iInMixer = EFalse;
  TBool iUser = EFalse;
  TBool iDrivenWait = EFalse;
  TInt iNumber = 0;
};

CMdaAudioPlayerUtilityImpl* CMdaAudioPlayerUtilityImpl::gFirst = NULL;

// ---- CMdaAudioPlayerUtility ----

CMdaAudioPlayerUtility::CMdaAudioPlayerUtility() {}

EXPORT_C CMdaAudioPlayerUtility* CMdaAudioPlayerUtility::NewDesPlayerL(TDes8& aData, MMdaAudioPlayerCallback& aCallback,
                                                                       TInt aPriority, TMdaPriorityPreference aPref,
                                                                       CMdaServer* aServer) {
  return NewDesPlayerReadOnlyL(aData, aCallback, aPriority, aPref, aServer);
}

EXPORT_C CMdaAudioPlayerUtility* CMdaAudioPlayerUtility::NewDesPlayerReadOnlyL(const TDesC8& aData,
                                                                               MMdaAudioPlayerCallback& aCallback,
                                                                               TInt aPriority, TMdaPriorityPreference,
                                                                               CMdaServer*) {
  CMdaAudioPlayerUtility* self = new (ELeave) CMdaAudioPlayerUtility();
  CleanupStack::PushL(self);
  // The media server's priorities span -100..100; the active object runs at the
  // standard priority whatever the clip's priority is.
  (void)aPriority;
  self->iImpl = new (ELeave) CMdaAudioPlayerUtilityImpl(aData, aCallback, CActive::EPriorityStandard);
  self->iImpl->ConstructL();
  CleanupStack::Pop(self);
  return self;
}

EXPORT_C CMdaAudioPlayerUtility::~CMdaAudioPlayerUtility() { delete iImpl; }

EXPORT_C void CMdaAudioPlayerUtility::Play() { iImpl->Play(); }

EXPORT_C void CMdaAudioPlayerUtility::Stop() { iImpl->Stop(); }

EXPORT_C TInt CMdaAudioPlayerUtility::SetVolume(TInt aVolume) {
  iImpl->SetVolume(aVolume);
  return KErrNone;
}

EXPORT_C TInt CMdaAudioPlayerUtility::MaxVolume() { return ZHost::Audio::KMaxVolume; }

EXPORT_C TInt CMdaAudioPlayerUtility::GetVolume(TInt& aVolume) {
  aVolume = iImpl->Volume();
  return KErrNone;
}

EXPORT_C const TTimeIntervalMicroSeconds& CMdaAudioPlayerUtility::Duration() { return iImpl->Duration(); }

EXPORT_C void CMdaAudioPlayerUtility::Close() { iImpl->Close(); }

// ---- host access ----

namespace ZHost::Audio {

EXPORT_C TInt PlayingCount() {
  TInt count = 0;
  for (CMdaAudioPlayerUtilityImpl* u = CMdaAudioPlayerUtilityImpl::gFirst; u; u = u->iNextImpl) {
    if (u->Playing()) ++count;
  }
  return count;
}

EXPORT_C TInt LastStartedVolume() {
  TMixer& mixer = Mixer();
  std::lock_guard<std::mutex> lock(mixer.iLock);
  // Voices are added at the head of the list.
  return mixer.iVoices ? mixer.iVoices->iVolume : -1;
}

EXPORT_C const char* DriverName() { return Mixer().iDriver; }

EXPORT_C void CompletePlaying(TInt aError) {
  for (CMdaAudioPlayerUtilityImpl* u = CMdaAudioPlayerUtilityImpl::gFirst; u; u = u->iNextImpl) {
    u->CompleteNow(aError);
  }
}

}  // namespace ZHost::Audio

namespace ZHost::Live {

EXPORT_C void SetAudioDriven(TBool aDriven) { gAudioDriven = aDriven; }

EXPORT_C TInt CompleteAudio(TInt aPlayer, TInt aError) {
  for (CMdaAudioPlayerUtilityImpl* u = CMdaAudioPlayerUtilityImpl::gFirst; u; u = u->iNextImpl) {
    if (u->Number() == aPlayer) return u->CompleteDriven(aError) ? KErrNone : KErrNotFound;
  }
  return KErrNotFound;
}

}  // namespace ZHost::Live
