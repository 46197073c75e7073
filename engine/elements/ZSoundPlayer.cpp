// ZSoundPlayer.cpp
//
// CZSoundPlayer: connects a sound element's clip to the platform's audio player
// utility. Construction waits in a nested scheduler loop until the utility has opened
// the clip; playing reports its end through MapcPlayComplete, which hands the sound back
// to the player (except after an underflow, which the player answers by playing the
// sound again in its next frame).

#include "Zolvane.h"

namespace
    {
    const TInt KZSoundPriority = 100;
    }

CZSoundPlayer::CZSoundPlayer()
    : iPlayComplete(ETrue)
    {
    }

CZSoundPlayer* CZSoundPlayer::NewL(CZElementSound* aSound)
    {
    CZSoundPlayer* self = new (ELeave) CZSoundPlayer();
    CleanupStack::PushL(self);
    self->ConstructL(aSound);
    CleanupStack::Pop(self);
    return self;
    }

void CZSoundPlayer::ConstructL(CZElementSound* aSound)
    {
    iSound = aSound;
    const HBufC8* data = aSound ? aSound->Data() : NULL;
    if (!data)
        {
        User::Leave(KErrArgument);
        }
    iUtility = CMdaAudioPlayerUtility::NewDesPlayerReadOnlyL(*data, *this, KZSoundPriority,
        EMdaPriorityPreferenceTimeAndQuality);
    // The open completes through the scheduler; MapcInitComplete ends this loop.
    if (!iInitComplete)
        {
        iWait.Start();
        }
    }

CZSoundPlayer::~CZSoundPlayer()
    {
    SAFE_DELETE(iUtility);
    }

void CZSoundPlayer::MapcInitComplete(TInt aError, const TTimeIntervalMicroSeconds& /*aDuration*/)
    {
    if (iWait.IsStarted())
        {
        iWait.AsyncStop();
        }
    iInitComplete = ETrue;
    if (aError != KErrNone)
        {
        iErrorInit = ETrue;
        }
    }

void CZSoundPlayer::MapcPlayComplete(TInt aError)
    {
    if (aError == KErrNone)
        {
        iPlayComplete = ETrue;
        }
    else if (aError == KErrUnderflow)
        {
        // The sound stays the player's current one; the player plays it again.
        iUnderflow = ETrue;
        return;
        }
    else
        {
        iErrorPlay = ETrue;
        }
    if (iPlayer)
        {
        iPlayer->ResetAudioPlayer();
        }
    }

TInt CZSoundPlayer::UtilityVolume(TInt aVolume)
    {
    if (aVolume < 0)
        {
        aVolume = 0;
        }
    else if (aVolume > KZVolumeMax)
        {
        aVolume = KZVolumeMax;
        }
    return aVolume * iUtility->MaxVolume() / KZVolumeMax;
    }

void CZSoundPlayer::SoundPlay(CZPlayer* aMoviePlayer, TInt aVolume)
    {
    if (!Ready())
        {
        return;
        }
    iPlayComplete = EFalse;
    iUnderflow = EFalse;
    iUtility->SetVolume(UtilityVolume(aVolume));
    iUtility->Play();
    iPlayer = aMoviePlayer;
    }

void CZSoundPlayer::VolumeSet(TInt aVolume)
    {
    if (!Ready())
        {
        return;
        }
    iUtility->SetVolume(UtilityVolume(aVolume));
    }

void CZSoundPlayer::SoundStop()
    {
    if (iInitComplete && !iPlayComplete && iUtility)
        {
        iUtility->Stop();
        iPlayComplete = ETrue;
        }
    if (iSound)
        {
        iSound->Stop();
        }
    iPlayer = NULL;
    }
