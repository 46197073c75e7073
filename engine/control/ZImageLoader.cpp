// ZImageLoader.cpp
//
// CZImageLoader: turns every picture of an image file into a bitmap element. The
// converter works asynchronously; ImageLoad waits in a nested scheduler loop while the
// converter's callbacks open the file and convert one picture after the other, and the
// last callback (or the first error) ends the loop.

#include "Zolvane.h"

namespace
    {
    _LIT(KBitmapSuffix, "_bmp_");
    const TInt KNumberLength = 11;  // the longest decimal TInt
    }

CZImageLoader::CZImageLoader()
    : iUnload(ETrue), iDisplayMode(EColor4K)
    {
    }

CZImageLoader* CZImageLoader::NewL(CZController* aController)
    {
    CZImageLoader* self = new (ELeave) CZImageLoader();
    CleanupStack::PushL(self);
    self->ConstructL(aController);
    CleanupStack::Pop(self);
    return self;
    }

void CZImageLoader::ConstructL(CZController* aController)
    {
    iController = aController;
    iUtility = CMdaImageDescToBitmapUtility::NewL(*this);
    }

CZImageLoader::~CZImageLoader()
    {
    SAFE_DELETE(iName);
    if (iUtility)
        {
        iUtility->Close();
        SAFE_DELETE(iUtility);
        }
    SAFE_DELETE(iBitmap);
    }

TInt CZImageLoader::ImageLoad(TPtrC8 aBuffer, TPtrC aElementName, TBool aUnload)
    {
    // A load started from inside another load's nested loop would take over its state.
    if (iWait.IsStarted())
        {
        return KErrInUse;
        }
    iMdaError = KErrNone;
    iRetValue = KErrNone;
    iFrameCount = 0;
    iCurrentFrame = 0;
    SAFE_DELETE(iName);
    iUnload = aUnload;

    iName = aElementName.Alloc();
    if (!iName)
        {
        return KErrNoMemory;
        }
    TRAP(iMdaError, iUtility->OpenL(aBuffer));
    if (iMdaError != KErrNone)
        {
        return iMdaError;
        }
    iWait.Start();
    // The name is only needed while the pictures are converted.
    SAFE_DELETE(iName);
    return iRetValue;
    }

void CZImageLoader::Finish(TInt aError)
    {
    SAFE_DELETE(iBitmap);
    iRetValue = aError;
    iUtility->Close();
    if (iWait.IsStarted())
        {
        iWait.AsyncStop();
        }
    }

void CZImageLoader::MiuoOpenComplete(TInt aError)
    {
    if (iMdaError != KErrNone || aError != KErrNone)
        {
        Finish(aError != KErrNone ? aError : iMdaError);
        return;
        }
    iFrameCount = iUtility->FrameCount();
    if (iFrameCount <= 0)
        {
        // A file without pictures makes no elements.
        Finish(KErrNone);
        return;
        }
    ImageConvert();
    }

void CZImageLoader::ImageConvert()
    {
    TFrameInfo info;
    iUtility->FrameInfo(iCurrentFrame, info);
    TSize size(info.iOverallSizeInPixels);
    if (size.iWidth > BITMAP_MAX_SIZE)
        {
        size.iWidth = BITMAP_MAX_SIZE;
        }
    if (size.iHeight > BITMAP_MAX_SIZE)
        {
        size.iHeight = BITMAP_MAX_SIZE;
        }
    SAFE_DELETE(iBitmap);
    iBitmap = new CWsBitmap();
    TInt err = iBitmap ? iBitmap->Create(size, iDisplayMode) : KErrNoMemory;
    if (err == KErrNone)
        {
        TRAP(err, iUtility->ConvertL(*iBitmap, iCurrentFrame));
        }
    if (err != KErrNone)
        {
        iMdaError = err;
        Finish(err);
        }
    }

void CZImageLoader::MiuoConvertComplete(TInt aError)
    {
    if (iMdaError != KErrNone || aError != KErrNone)
        {
        Finish(aError != KErrNone ? aError : iMdaError);
        return;
        }
    HBufC* name = HBufC::New(iName->Length() + KBitmapSuffix().Length() + KNumberLength);
    if (!name)
        {
        Finish(KErrNoMemory);
        return;
        }
    TPtr des(name->Des());
    des.Copy(*iName);
    des.Append(KBitmapSuffix);
    des.AppendNum(iCurrentFrame + 1);
    CZElement* element = iController->ElementBitmapAdd(iBitmap, *name);
    delete name;
    if (!element)
        {
        Finish(KErrNoMemory);
        return;
        }
    iBitmap = NULL;     // the element's now
    element->Unload(iUnload);
    iCurrentFrame++;
    iFrameCount = iUtility->FrameCount();
    if (iCurrentFrame < iFrameCount)
        {
        ImageConvert();
        return;
        }
    Finish(KErrNone);
    }

void CZImageLoader::MiuoCreateComplete(TInt /*aError*/)
    {
    }
