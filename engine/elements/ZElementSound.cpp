// ZElementSound.cpp
//
// CZElementSound: a whole WAV file held in memory and the sound player that plays it.
// Playing and stopping go through the player, which lets one sound play at a time and
// applies its volume and sound switch.

#include "Zolvane.h"

CZElementSound::CZElementSound()
    : CZElementBase(SOUND_ELEMENT), iVolume(KZVolumeDefault)
    {
    }

CZElementSound* CZElementSound::NewLC()
    {
    CZElementSound* self = new (ELeave) CZElementSound();
    CleanupStack::PushL(self);
    return self;
    }

CZElementSound* CZElementSound::NewL()
    {
    CZElementSound* self = NewLC();
    CleanupStack::Pop(self);
    return self;
    }

CZElementSound::~CZElementSound()
    {
    // The sound player refers to the data: it goes first.
    SAFE_DELETE(iSoundPlayer);
    SAFE_DELETE(iData);
    }

TInt CZElementSound::SoundSetL(HBufC8* aSound)
    {
    if (iData)
        {
        return 0;
        }
    iData = aSound;
    TRAPD(err, iSoundPlayer = CZSoundPlayer::NewL(this));
    if (err != KErrNone)
        {
        iSoundPlayer = NULL;
        iData = NULL;
        User::Leave(err);
        }
    return 1;
    }

void CZElementSound::SoundPlay()
    {
    if (iPlayer)
        {
        iPlayer->SoundPlay(this);
        }
    }

void CZElementSound::SoundStop()
    {
    if (iPlayer)
        {
        iPlayer->SoundStop(this);
        }
    }

void CZElementSound::Play()
    {
    if (iSoundPlayer && iPlayer)
        {
        iSoundPlayer->SoundPlay(iPlayer, iVolume);
        AccessAdd();
        }
    }

void CZElementSound::Stop()
    {
    AccessRemove();
    }
