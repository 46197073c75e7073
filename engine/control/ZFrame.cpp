// ZFrame.cpp
//
// One movie frame: the sprite records to apply at its frame number, a tempo and a sound.

#include <Zolvane.h>

namespace
    {
    const TInt KListGranularity = 16;
    }

CZFrame::CZFrame()
    {
    }

CZFrame* CZFrame::NewLC()
    {
    CZFrame* self = new (ELeave) CZFrame();
    CleanupStack::PushL(self);
    self->ConstructL();
    return self;
    }

CZFrame* CZFrame::NewL()
    {
    CZFrame* self = NewLC();
    CleanupStack::Pop(self);
    return self;
    }

void CZFrame::ConstructL()
    {
    iSpriteList = new (ELeave) CArrayPtrFlat<CZSprite>(KListGranularity);
    }

CZFrame::~CZFrame()
    {
    if (iSpriteList)
        {
        for (TInt i = 0; i < iSpriteList->Count(); i++)
            {
            delete iSpriteList->At(i);
            }
        iSpriteList->Reset();
        SAFE_DELETE(iSpriteList);
        }
    if (iSound)
        {
        iSound->Element()->AccessRemove();
        }
    }

void CZFrame::Sound(CZElement* aSound)
    {
    if (aSound && aSound->Type() == SOUND_ELEMENT)
        {
        if (iSound)
            {
            iSound->Element()->AccessRemove();
            }
        iSound = aSound;
        iSound->Element()->AccessAdd();
        }
    }

TInt CZFrame::SpriteAddL(CZSprite* aSprite)
    {
    if (!iSpriteList)
        {
        return 0;
        }
    iSpriteList->AppendL(aSprite);
    return 1;
    }

CZSprite* CZFrame::SpriteAddNewL(TInt aChannel, TInt aLifeTime)
    {
    CZSprite* record = new (ELeave) CZSprite();
    CleanupStack::PushL(record);
    record->Channel(aChannel);
    record->LifeTime(aLifeTime);
    iSpriteList->AppendL(record);
    CleanupStack::Pop(record);
    return record;
    }
