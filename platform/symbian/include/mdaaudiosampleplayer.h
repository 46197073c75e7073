// The media server's audio player utility: plays a sound clip held in memory.
//
// On this host a clip is a WAV file (see zhost/wav.h). Opening is asynchronous: the
// utility reports MapcInitComplete through the active scheduler. Playing mixes the clip
// into the one SDL2 audio output shared by all utilities; when the clip's duration has
// passed (on the clock the scheduler uses, so tests on the virtual clock are
// deterministic) the utility reports MapcPlayComplete.
#ifndef MDAAUDIOSAMPLEPLAYER_H
#define MDAAUDIOSAMPLEPLAYER_H

#include <e32base.h>
#include <e32std.h>

class CMdaServer;
class CMdaAudioPlayerUtilityImpl;

enum TMdaPriority {
  EMdaPriorityMin = -100,
  EMdaPriorityNormal = 0,
  EMdaPriorityMax = 100
};

enum TMdaPriorityPreference {
  EMdaPriorityPreferenceNone = 0,
  EMdaPriorityPreferenceTime = 1,
  EMdaPriorityPreferenceQuality = 2,
  EMdaPriorityPreferenceTimeAndQuality = 3
};

// The observer of an audio player utility.
class MMdaAudioPlayerCallback {
public:
  // The clip has been opened (aError 0) or could not be.
  virtual void MapcInitComplete(TInt aError, const TTimeIntervalMicroSeconds& aDuration) = 0;
  // Playing has ended: 0 at the clip's end, KErrUnderflow when the output ran dry,
  // another error when playing failed.
  virtual void MapcPlayComplete(TInt aError) = 0;

protected:
  virtual ~MMdaAudioPlayerCallback() {}
};

class IMPORT_C CMdaAudioPlayerUtility : public CBase {
public:
  // A player of the clip in aData, which must live as long as the utility.
  IMPORT_C static CMdaAudioPlayerUtility* NewDesPlayerL(TDes8& aData, MMdaAudioPlayerCallback& aCallback,
                                                        TInt aPriority = EMdaPriorityNormal,
                                                        TMdaPriorityPreference aPref = EMdaPriorityPreferenceTimeAndQuality,
                                                        CMdaServer* aServer = NULL);
  IMPORT_C static CMdaAudioPlayerUtility* NewDesPlayerReadOnlyL(const TDesC8& aData, MMdaAudioPlayerCallback& aCallback,
                                                                TInt aPriority = EMdaPriorityNormal,
                                                                TMdaPriorityPreference aPref = EMdaPriorityPreferenceTimeAndQuality,
                                                                CMdaServer* aServer = NULL);
  IMPORT_C ~CMdaAudioPlayerUtility();

  // Starts playing from the beginning (ignored unless the clip is open; restarts a clip
  // that is playing).
  IMPORT_C void Play();
  // Stops playing; no MapcPlayComplete follows.
  IMPORT_C void Stop();
  // 0..MaxVolume(); values outside are clamped. Applies at once to a playing clip.
  IMPORT_C TInt SetVolume(TInt aVolume);
  IMPORT_C TInt MaxVolume();
  IMPORT_C TInt GetVolume(TInt& aVolume);
  IMPORT_C const TTimeIntervalMicroSeconds& Duration();
  // Stops and forgets the clip; the utility can then only be deleted.
  IMPORT_C void Close();

private:
  CMdaAudioPlayerUtility();
  CMdaAudioPlayerUtilityImpl* iImpl;  // has-a
};

#endif
