// ZPlayer.cpp
//
// The player: sprite channels in channel and z order, the frames of the current movie,
// the movie state, the z-buffer counts that let the view keep static low sprites in its
// back buffer, the sound switch and volume, and the quarter-wave sine table.

#include <Zolvane.h>
#include <e32math.h>

namespace
    {
    const TInt KListGranularity = 16;
    const TReal KSinePi = 3.14159265;
    const TInt KDegreesPerTurn = 360;

    TInt Lesser(TInt aA, TInt aB)
        {
        return aA < aB ? aA : aB;
        }

    TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
        {
        return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
        }

    // Any angle in whole degrees to 0..359.
    TInt NormaliseAngle(TInt aAngle)
        {
        return ((aAngle % KDegreesPerTurn) + KDegreesPerTurn) % KDegreesPerTurn;
        }
    }

// ---------------------------------------------------------------------------------------
// Construction and destruction

CZPlayer::CZPlayer()
    : iStopped(ETrue), iBgColor(KZColorMax), iSound(ETrue), iVolume(KZVolumeDefault),
      iZBufferStart(1), iZBufferStartOld(1), iZBufferMax(KZBufferMaxDefault)
    {
    }

CZPlayer* CZPlayer::NewL(CZController* aController)
    {
    CZPlayer* self = new (ELeave) CZPlayer();
    CleanupStack::PushL(self);
    self->iController = aController;
    self->ConstructL();
    CleanupStack::Pop(self);
    return self;
    }

void CZPlayer::ConstructL()
    {
    iFrameList = new (ELeave) CArrayPtrFlat<CZFrame>(KListGranularity);
    iSpriteList = new (ELeave) CArrayPtrFlat<CZSprite>(KListGranularity);
    iSpriteListZ = new (ELeave) CArrayPtrFlat<CZSprite>(KListGranularity);
    iSin = new (ELeave) CArrayFixFlat<TInt>(KListGranularity);
    for (TInt a = 0; a < KZSineTableSize; a++)
        {
        TReal result = 0;
        const TReal radians = a * KSinePi / 180;
        TInt value = 0;
        if (Math::Sin(result, radians) == KErrNone)
            {
            value = static_cast<TInt>(result * SINE_SCALE);   // truncates toward zero
            }
        iSin->AppendL(value);
        }
    }

CZPlayer::~CZPlayer()
    {
    ResetAudioPlayer();
    if (iSpriteList)
        {
        for (TInt i = 0; i < iSpriteList->Count(); i++)
            {
            delete iSpriteList->At(i);
            }
        iSpriteList->Reset();
        SAFE_DELETE(iSpriteList);
        }
    if (iSpriteListZ)
        {
        iSpriteListZ->Reset();
        SAFE_DELETE(iSpriteListZ);
        }
    if (iFrameList)
        {
        iFrameList->ResetAndDestroy();
        SAFE_DELETE(iFrameList);
        }
    SAFE_DELETE(iSin);
    }

// ---------------------------------------------------------------------------------------
// Frames and channels

TInt CZPlayer::FrameAddL(CZFrame* aFrame)
    {
    const TInt number = aFrame->FrameNumber();
    if (number < 1 || number > iFrameCount)
        {
        return 0;
        }
    const TInt count = iFrameList->Count();
    if (count > 0 && number <= iFrameList->At(count - 1)->FrameNumber())
        {
        return 0;
        }
    iFrameList->AppendL(aFrame);
    return 1;
    }

TInt CZPlayer::SpriteChannelAllocate(TInt aCount)
    {
    ZBufferReset();
    for (TInt n = 1; n <= aCount; n++)
        {
        if (n <= iChannelCount)
            {
            SpriteClear(n);
            continue;
            }
        CZSprite* sprite = new CZSprite();
        if (!sprite)
            {
            break;
            }
        sprite->Channel(n);
        TRAPD(err, SpriteAddL(sprite, n - 1));
        if (err != KErrNone)
            {
            delete sprite;
            break;
            }
        iChannelCount++;
        }
    return iChannelCount;
    }

void CZPlayer::SpriteAddL(CZSprite* aSprite, TInt aIndex)
    {
    aSprite->Player(this);
    iSpriteList->InsertL(aIndex, aSprite);
    TInt position = 0;
    while (position < iChannelCount && iSpriteListZ->At(position)->Z() < aSprite->Z())
        {
        position++;
        }
    TRAPD(err, iSpriteListZ->InsertL(position, aSprite));
    if (err != KErrNone)
        {
        iSpriteList->Delete(aIndex);
        User::Leave(err);
        }
    // Each sprite knows its z-list position, so changes find it without a search.
    for (TInt i = position; i < iSpriteListZ->Count(); i++)
        {
        iSpriteListZ->At(i)->iZIndex = i;
        }
    }

CZSprite* CZPlayer::Sprite(TInt aChannel)
    {
    if (aChannel < 1 || aChannel > iChannelCount)
        {
        return NULL;
        }
    return iSpriteList->At(aChannel - 1);
    }

void CZPlayer::SpriteClear(TInt aChannel)
    {
    CZSprite* sprite = Sprite(aChannel);
    if (sprite)
        {
        sprite->Clear();
        }
    }

void CZPlayer::SpriteChanged(CZSprite* aSprite)
    {
    const TInt i = aSprite->iZIndex;
    if (i < Lesser(iChannelCount, iZBuffered) && iSpriteListZ->At(i) == aSprite)
        {
        iZBuffered = i;
        iZBufferStale = ETrue;
        if (iZBuffered < iZBufferedOld)
            {
            // The back buffer holds this sprite's old drawing: rebuild it.
            iZBufferedOld = 0;
            }
        }
    }

void CZPlayer::SpriteLocZChanged(CZSprite* aSprite)
    {
    TInt j = aSprite->iZIndex;
    if (j < 0 || j >= iChannelCount || iSpriteListZ->At(j) != aSprite)
        {
        return;
        }
    SpriteChanged(aSprite);
    CZSprite** list = &iSpriteListZ->At(0);
    // Up: below every sprite of equal z it meets; down: above every one it meets.
    while (j < iChannelCount - 1 && list[j + 1]->Z() < list[j]->Z())
        {
        list[j] = list[j + 1];
        list[j]->iZIndex = j;
        list[j + 1] = aSprite;
        j++;
        }
    while (j > 0 && list[j - 1]->Z() > list[j]->Z())
        {
        list[j] = list[j - 1];
        list[j]->iZIndex = j;
        list[j - 1] = aSprite;
        j--;
        }
    aSprite->iZIndex = j;
    SpriteChanged(aSprite);
    }

// ---------------------------------------------------------------------------------------
// Settings

void CZPlayer::BgColor(TInt aColor)
    {
    aColor = Clamp(aColor, 0, KZColorMax);
    if (aColor != iBgColor)
        {
        iBgColor = aColor;
        ZBufferReset();
        }
    }

void CZPlayer::Loc(TInt aX, TInt aY)
    {
    if (aX != iLocX || aY != iLocY)
        {
        iLocX = aX;
        iLocY = aY;
        ZBufferReset();
        }
    }

// With no channel there is no sprite to ask: both give 0.
TInt CZPlayer::LocZMin()
    {
    return iChannelCount > 0 ? iSpriteListZ->At(0)->Z() : 0;
    }

TInt CZPlayer::LocZMax()
    {
    return iChannelCount > 0 ? iSpriteListZ->At(iChannelCount - 1)->Z() : 0;
    }

void CZPlayer::Volume(TInt aVolume)
    {
    iVolume = Clamp(aVolume, 0, KZVolumeMax);
    if (iAudioPlayerCallBack)
        {
        iAudioPlayerCallBack->VolumeSet(iSound ? iVolume : 0);
        }
    }

void CZPlayer::SoundSet(TBool aSound)
    {
    iSound = aSound;
    Volume(iVolume);
    }

void CZPlayer::ZBufferMaxSet(TInt aMax)
    {
    if (aMax != iZBufferMax)
        {
        iZBufferMax = aMax;
        ZBufferReset();
        }
    }

void CZPlayer::ZBufferReset()
    {
    iZBuffered = 0;
    iZBufferedOld = 0;
    }

TBool CZPlayer::HasBackBuffer()
    {
    return iController && iController->View() && iController->View()->BackBuffer();
    }

TInt CZPlayer::ZBuffered()
    {
    return HasBackBuffer() ? iZBuffered : 0;
    }

TInt CZPlayer::ZBufferedOld()
    {
    return HasBackBuffer() ? iZBufferedOld : 0;
    }

TInt CZPlayer::Sin(TInt aAngle)
    {
    const TInt a = NormaliseAngle(aAngle);
    if (a <= 90)
        {
        return iSin->At(a);
        }
    if (a <= 180)
        {
        return iSin->At(180 - a);
        }
    if (a <= 270)
        {
        return -iSin->At(a - 180);
        }
    return -iSin->At(360 - a);
    }

TInt CZPlayer::Cos(TInt aAngle)
    {
    // Normalised first so that +90 cannot overflow.
    return Sin(NormaliseAngle(aAngle) + 90);
    }

// ---------------------------------------------------------------------------------------
// Movie and sound

void CZPlayer::Clear()
    {
    iFrameNumber = 0;
    iFrameCount = 0;
    ZBufferReset();
    iIsOver = EFalse;
    iFrameList->ResetAndDestroy();
    if (iController)
        {
        iController->Compress();
        }
    }

void CZPlayer::MovieReset()
    {
    Loc(0, 0);
    SpriteChannelAllocate(iChannelCount);
    Clear();
    }

void CZPlayer::MovieEnd()
    {
    iStopped = EFalse;
    if (iFrameCount != 0)
        {
        Update();
        while (!iIsOver)
            {
            FramePrepare();
            Update();
            }
        }
    ZBufferReset();
    }

void CZPlayer::ResetAudioPlayer()
    {
    if (iAudioPlayerCallBack)
        {
        CZSoundPlayer* current = iAudioPlayerCallBack;
        iAudioPlayerCallBack = NULL;
        current->SoundStop();
        }
    }

void CZPlayer::SoundPlay(CZElementSound* aSound)
    {
    if (!aSound)
        {
        return;
        }
    // One sound at a time: the one playing stops (and releases its element) first.
    ResetAudioPlayer();
    iAudioPlayerCallBack = aSound->AudioPlayerCallBack();
    aSound->Volume(iSound ? iVolume : 0);
    aSound->Play();
    }

void CZPlayer::SoundStop(CZElementSound* aSound)
    {
    if (aSound && iAudioPlayerCallBack && aSound->AudioPlayerCallBack() == iAudioPlayerCallBack)
        {
        ResetAudioPlayer();
        }
    }

// ---------------------------------------------------------------------------------------
// Frame cycle

void CZPlayer::FramePrepare()
    {
    // A change between frames (a key event, say) lowered iZBuffered after the last frame
    // drew the back buffer: that buffer cannot be reused.
    iZBufferedOld = iZBufferStale ? 0 : iZBuffered;
    iZBufferStale = EFalse;
    iZBuffered = 0;
    iZBufferStartOld = iZBufferStart;
    iZBufferStart = 0;
    for (TInt i = 0; i < iChannelCount; i++)
        {
        CZSprite* sprite = iSpriteListZ->At(i);
        const TInt type = sprite->Type();
        if (type == 0)
            {
            continue;
            }
        if (iZBufferStart == 0)
            {
            iZBufferStart = i + 1;
            }
        if (sprite->Transition() != 0 || type == BITMAP_ARRAY_ELEMENT)
            {
            break;
            }
        iZBuffered = i + 1;
        }
    iZBuffered = Lesser(iZBuffered, iZBufferMax);
    iZBufferStart = Lesser(iZBufferStart, iZBufferMax);
    if (!iStopped && iFrameNumber < iFrameCount)
        {
        iFrameNumber++;
        }
    }

void CZPlayer::Update()
    {
    // A sound whose output ran dry is still the current one: it starts again.
    if (iAudioPlayerCallBack && iAudioPlayerCallBack->Underflow())
        {
        iAudioPlayerCallBack->SoundPlay(this, iSound ? iVolume : 0);
        }
    if (iStopped || iFrameCount == 0 || iIsOver)
        {
        // Frozen: only sprites that live forever go on (their transitions run).
        for (TInt i = 0; i < iChannelCount; i++)
            {
            CZSprite* sprite = iSpriteListZ->At(i);
            if (sprite->LifeTime() < 0)
                {
                sprite->Update();
                }
            }
        return;
        }
    for (TInt i = 0; i < iChannelCount; i++)
        {
        CZSprite* sprite = iSpriteListZ->At(i);
        sprite->Update();
        if (sprite->LifeTime() == 0)
            {
            sprite->Clear();
            }
        }
    if (iFrameNumber >= iFrameCount)
        {
        iIsOver = ETrue;
        }
    FrameLoadNext();
    }

void CZPlayer::FrameExit()
    {
    if (iZBufferedOld > iZBuffered)
        {
        iZBufferedOld = 0;
        }
    iZBufferStale = EFalse;
    }

void CZPlayer::SpriteSet(TInt aChannel, CZSprite* aRecord)
    {
    CZSprite* target = Sprite(aChannel);
    target->ShapeLookCopy(aRecord);
    target->LifeTime(aRecord->LifeTime());
    target->Element(aRecord->Element());
    target->Mask(aRecord->Mask());
    // The transition is taken as the record holds it, none included, so the channel's
    // number, time and phase are the record's and nothing left running on the empty
    // channel carries over.
    target->iTransitionNumber = aRecord->iTransitionNumber;
    target->iTransitionTime = aRecord->iTransitionTime;
    target->iTransitionPhase = aRecord->iTransitionPhase;
    target->Notify();
    // -1 keeps the element's own size in that direction.
    const TInt width = aRecord->Width() == -1 ? target->Width() : aRecord->Width();
    const TInt height = aRecord->Height() == -1 ? target->Height() : aRecord->Height();
    target->Size(width, height);
    target->Visible(aRecord->Visible());
    target->Blend(aRecord->Blend());
    target->Angle(aRecord->Angle());
    }

void CZPlayer::FrameLoadNext()
    {
    if (iFrameList->Count() == 0)
        {
        return;
        }
    CZFrame* frame = iFrameList->At(0);
    if (frame->FrameNumber() > iFrameNumber)
        {
        return;
        }
    if (frame->Tempo() > 0 && iController)
        {
        iController->Tempo(frame->Tempo());
        }
    if (frame->Sound())
        {
        frame->Sound()->SoundPlay(1, 100);
        }
    CArrayPtrFlat<CZSprite>* records = frame->SpriteList();
    TInt r = 0;
    while (r < records->Count())
        {
        CZSprite* record = records->At(r);
        CZSprite* target = Sprite(record->Channel());
        if (!target)
            {
            r++;    // no such channel: the record goes with the frame
            continue;
            }
        if (target->Type() == SHAPE_SPRITE && record->Type() == SHAPE_SPRITE)
            {
            target->ShapeLookCopy(record);
            }
        else if (target->Type() == 0)
            {
            SpriteSet(record->Channel(), record);
            }
        else
            {
            // The channel keeps its content; only the record's placement applies.
            if (record->Transition() != 0)
                {
                target->Transition(record->Transition(), record->TransitionTime());
                }
            target->Loc(record->X(), record->Y());
            if (record->Width() > -1 && record->Height() > -1)
                {
                target->Size(record->Width(), record->Height());
                }
            target->Blend(record->Blend());
            target->Angle(record->Angle());
            if (record->LifeTime() > 0)
                {
                target->LifeTime(record->LifeTime());
                }
            }
        records->Delete(r);
        delete record;
        }
    iFrameList->Delete(0);
    delete frame;
    }
