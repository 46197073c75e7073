// ZController.cpp
//
// The controller: owns the player, the timer and every element, runs the frame cycle
// and loads the data files.

#include <Zolvane.h>
#include <e32std.h>

namespace
    {
    _LIT(KDataDir, "Data");
    const TInt KListGranularity = 16;
    const TInt KAppExtensionLength = 4;     // ".app"
    const TUint8 KCarriageReturn = 13;
    const TUint8 KLineFeed = 10;
    const TText KCSVSeparator = ';';
    const TText KQuote = '"';

    // Widens 8-bit bytes one by one to a new 16-bit buffer.
    HBufC* WidenLC(const TDesC8& aBytes)
        {
        HBufC* buf = HBufC::NewLC(aBytes.Length());
        buf->Des().Copy(aBytes);
        return buf;
        }
    }

// ---------------------------------------------------------------------------------------
// Construction and destruction

CZController::CZController()
    : iTempo(KZTempoDefault), iScreenSaver(ETrue)
    {
    }

EXPORT_C CZController* CZController::NewL(CEikAppUi* aAppUi)
    {
    CZController* self = new (ELeave) CZController();
    CleanupStack::PushL(self);
    self->ConstructL(aAppUi);
    CleanupStack::Pop(self);
    return self;
    }

void CZController::ConstructL(CEikAppUi* aAppUi)
    {
    if (!aAppUi)
        {
        User::Leave(KErrAbort);
        }
    iAppUi = aAppUi;

    // The application's directory plus its base name: its full name without ".app".
    TFileName fullName(iAppUi->Application()->AppFullName());
    if (fullName.Length() > KAppExtensionLength)
        {
        fullName.SetLength(fullName.Length() - KAppExtensionLength);
        }
    iAppFileName = fullName;

    iFsSession.Connect();

    iPlayer = CZPlayer::NewL(this);
    iImageLoader = CZImageLoader::NewL(this);

    iMovieList = new (ELeave) CArrayPtrFlat<HBufC>(KListGranularity);
    iBitmapList = new (ELeave) CArrayPtrFlat<CZElement>(KListGranularity);
    iTextList = new (ELeave) CArrayPtrFlat<CZElement>(KListGranularity);
    iShapeList = new (ELeave) CArrayPtrFlat<CZElement>(KListGranularity);
    iBitmapArrayList = new (ELeave) CArrayPtrFlat<CZElement>(KListGranularity);
    iSoundList = new (ELeave) CArrayPtrFlat<CZElement>(KListGranularity);
    iCSVRowList = new (ELeave) CArrayPtrFlat<HBufC>(KListGranularity);

    iTimer = CZTimer::NewL(this);
    iStarted = EFalse;
    }

EXPORT_C CZController::~CZController()
    {
    // The view and the script belong to the application and may outlive us: leave
    // neither pointing at a controller that is gone.
    if (iView)
        {
        iAppUi->RemoveFromStack(iView);
        iView->Player(NULL);
        iView = NULL;
        }
    if (iScript)
        {
        iScript->Controller(NULL);
        iScript = NULL;
        }

    // Deleting the player deletes every sprite and frame, releasing their element uses.
    SAFE_DELETE(iPlayer);
    SAFE_DELETE(iImageLoader);

    if (iMovieList)
        {
        iMovieList->ResetAndDestroy();
        SAFE_DELETE(iMovieList);
        }
    ElementListDestroy(iBitmapArrayList);
    ElementListDestroy(iBitmapList);
    ElementListDestroy(iTextList);
    ElementListDestroy(iShapeList);
    ElementListDestroy(iSoundList);

    if (iTimer)
        {
        iTimer->Cancel();
        SAFE_DELETE(iTimer);
        }
    iFsSession.Close();
    iArray.Close();
    if (iCSVRowList)
        {
        iCSVRowList->ResetAndDestroy();
        SAFE_DELETE(iCSVRowList);
        }
    }

void CZController::ElementListDestroy(CArrayPtrFlat<CZElement>*& aList)
    {
    if (!aList)
        {
        return;
        }
    for (TInt i = 0; i < aList->Count(); i++)
        {
        delete aList->At(i);
        }
    aList->Reset();
    SAFE_DELETE(aList);
    }

void CZController::ElementListsDestroy()
    {
    CArrayPtrFlat<CZElement>* lists[] =
        { iBitmapArrayList, iBitmapList, iShapeList, iTextList, iSoundList };
    for (CArrayPtrFlat<CZElement>* list : lists)
        {
        for (TInt i = 0; i < list->Count(); i++)
            {
            delete list->At(i);
            }
        list->Reset();
        }
    }

// ---------------------------------------------------------------------------------------
// Engine

EXPORT_C void CZController::Start()
    {
    if (iStarted)
        {
        return;
        }
    iStarted = ETrue;
    iTimer->Cancel();
    iTimer->Start(KZStartPeriod);
    }

EXPORT_C void CZController::View(CZView* aView)
    {
    // Applications always pass their view; a null view keeps the current one.
    if (!aView)
        {
        return;
        }
    if (iView)
        {
        iAppUi->RemoveFromStack(iView);
        iView->Player(NULL);
        }
    iView = aView;
    iView->Player(iPlayer);
    // If the control stack cannot grow, the view still draws but gets no key events.
    TRAP_IGNORE(iAppUi->AddToStackL(iView));
    }

EXPORT_C CZView* CZController::View()
    {
    return iView;
    }

EXPORT_C void CZController::Script(CZScript* aScript)
    {
    if (iScript)
        {
        iScript->Controller(NULL);
        }
    iScript = aScript;
    if (iScript)
        {
        iScript->Controller(this);
        }
    }

EXPORT_C CZScript* CZController::Script()
    {
    return iScript;
    }

EXPORT_C void CZController::Reset()
    {
    iMovieNumber = 0;
    iPlayer->MovieReset();
    iPlayer->ResetAudioPlayer();
    iMovieList->ResetAndDestroy();
    ElementListsDestroy();
    User::CompressAllHeaps();
    if (iView)
        {
        iView->Update();
        }
    }

EXPORT_C void CZController::Compress()
    {
    CArrayPtrFlat<CZElement>* lists[] =
        { iBitmapArrayList, iBitmapList, iTextList, iShapeList, iSoundList };
    for (CArrayPtrFlat<CZElement>* list : lists)
        {
        TInt i = 0;
        while (i < list->Count())
            {
            CZElement* element = list->At(i);
            if (element->Unload() && element->Element()->Access() == 0)
                {
                if (element->Type() == SOUND_ELEMENT)
                    {
                    element->SoundStop(1);
                    }
                list->Delete(i);
                delete element;
                }
            else
                {
                i++;
                }
            }
        }
    }

EXPORT_C TBool CZController::MovieLoadFailed()
    {
    return iMovieLoadFailed;
    }

EXPORT_C CEikAppUi* CZController::AppUi()
    {
    return iAppUi;
    }

EXPORT_C TKeyResponse CZController::OfferKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType)
    {
    if (!iScript)
        {
        return EKeyWasNotConsumed;
        }
    return iScript->KeyEventL(aKeyEvent, aType);
    }

TPtrC CZController::MovieName()
    {
    if (iMovieNumber >= 0 && iMovieNumber < iMovieList->Count())
        {
        return TPtrC(*iMovieList->At(iMovieNumber));
        }
    return TPtrC(KNullDesC);
    }

void CZController::UpdateL()
    {
    if (!iScreenSaver)
        {
        User::ResetInactivityTime();
        }
    iPlayer->FramePrepare();
    if (iScript)
        {
        iScript->FrameBeginL(iPlayer->FrameNumber(), MovieName());
        }
    iMovieLoadFailed = EFalse;
    if (iPlayer->IsOver() && iPlayer->Loop() && iMovieList->Count() > 0)
        {
        // The movie is over and loops: on with the next movie of the list, or the first
        // again after the last.
        iMovieNumber++;
        if (iMovieNumber >= iMovieList->Count())
            {
            iMovieNumber = 0;
            }
        User::CompressAllHeaps();
        if (LoadMovie(*iMovieList->At(iMovieNumber)))
            {
            iPlayer->FrameNumberSet(1);
            }
        else
            {
            iMovieLoadFailed = ETrue;
            }
        }
    iPlayer->Update();
    if (iScript)
        {
        iScript->FrameEndL(iPlayer->FrameNumber(), MovieName());
        }
    iPlayer->FrameExit();
    if (iView)
        {
        iView->Update();
        }
    }

// ---------------------------------------------------------------------------------------
// Settings

EXPORT_C void CZController::ScreenSaver(TBool aScreenSaver)
    {
    iScreenSaver = aScreenSaver;
    }

EXPORT_C TBool CZController::ScreenSaver()
    {
    return iScreenSaver;
    }

EXPORT_C void CZController::BgColor(TInt aColor)
    {
    iPlayer->BgColor(aColor);
    }

EXPORT_C TInt CZController::BgColor()
    {
    return iPlayer->BgColor();
    }

EXPORT_C void CZController::ZBufferMax(TInt aMax)
    {
    iPlayer->ZBufferMaxSet(aMax);
    }

EXPORT_C TInt CZController::ZBufferMax()
    {
    return iPlayer->ZBufferMax();
    }

EXPORT_C TInt CZController::LocZMin()
    {
    return iPlayer->LocZMin();
    }

EXPORT_C TInt CZController::LocZMax()
    {
    return iPlayer->LocZMax();
    }

EXPORT_C void CZController::Sound(TBool aSound)
    {
    iPlayer->SoundSet(aSound);
    }

EXPORT_C TBool CZController::Sound()
    {
    return iPlayer->Sound();
    }

EXPORT_C void CZController::Volume(TInt aVolume)
    {
    iPlayer->Volume(aVolume);
    }

EXPORT_C TInt CZController::Volume()
    {
    return iPlayer->Volume();
    }

EXPORT_C void CZController::Tempo(TInt aTempo)
    {
    if (aTempo < KZTempoMin)
        {
        aTempo = KZTempoMin;
        }
    else if (aTempo > KZTempoMax)
        {
        aTempo = KZTempoMax;
        }
    iTempo = aTempo;
    iTimer->Period(1000000 / iTempo);
    }

EXPORT_C TInt CZController::Tempo()
    {
    return iTempo;
    }

EXPORT_C void CZController::Loc(TInt aX, TInt aY)
    {
    iPlayer->Loc(aX, aY);
    }

EXPORT_C TInt CZController::LocX()
    {
    return iPlayer->LocX();
    }

EXPORT_C TInt CZController::LocY()
    {
    return iPlayer->LocY();
    }

// ---------------------------------------------------------------------------------------
// Movie control

EXPORT_C void CZController::MovieStart()
    {
    iPlayer->Stopped(EFalse);
    }

EXPORT_C void CZController::MovieStop()
    {
    iPlayer->Stopped(ETrue);
    }

EXPORT_C void CZController::MovieEnd()
    {
    iPlayer->MovieEnd();
    }

EXPORT_C void CZController::MovieLoop(TBool aLoop)
    {
    iPlayer->Loop(aLoop);
    }

EXPORT_C TBool CZController::MovieLoop()
    {
    return iPlayer->Loop();
    }

EXPORT_C TInt CZController::MovieLength()
    {
    return iPlayer->FrameCount();
    }

EXPORT_C TBool CZController::MovieIsOver()
    {
    return iPlayer->IsOver();
    }

// ---------------------------------------------------------------------------------------
// Sprite channels

EXPORT_C TInt CZController::SpriteChannelAllocate(TInt aCount)
    {
    return iPlayer->SpriteChannelAllocate(aCount);
    }

EXPORT_C CZSprite* CZController::Sprite(TInt aSpriteChannel)
    {
    return iPlayer->Sprite(aSpriteChannel);
    }

EXPORT_C TInt CZController::ChannelCount()
    {
    return iPlayer->ChannelCount();
    }

// ---------------------------------------------------------------------------------------
// Elements

TBool CZController::ElementFind(TPtrC aName, CArrayPtrFlat<CZElement>*& aList, TInt& aIndex)
    {
    CArrayPtrFlat<CZElement>* lists[] =
        { iBitmapArrayList, iBitmapList, iTextList, iShapeList, iSoundList };
    for (CArrayPtrFlat<CZElement>* list : lists)
        {
        for (TInt i = 0; i < list->Count(); i++)
            {
            if (list->At(i)->Name().CompareF(aName) == 0)
                {
                aList = list;
                aIndex = i;
                return ETrue;
                }
            }
        }
    return EFalse;
    }

EXPORT_C CZElement* CZController::Element(TPtrC aName)
    {
    CArrayPtrFlat<CZElement>* list = NULL;
    TInt index = 0;
    if (!ElementFind(aName, list, index))
        {
        return NULL;
        }
    return list->At(index);
    }

EXPORT_C TInt CZController::ElementRemove(TPtrC aName)
    {
    CArrayPtrFlat<CZElement>* list = NULL;
    TInt index = 0;
    if (!ElementFind(aName, list, index))
        {
        return 0;
        }
    CZElement* element = list->At(index);
    if (element->Element()->Access() > 0)
        {
        return 0;
        }
    list->Delete(index);
    delete element;
    return 1;
    }

// ---------------------------------------------------------------------------------------
// Data tables

EXPORT_C TInt CZController::ArrayValue(TInt aX, TInt aY)
    {
    if (aX < 0 || aX >= iArrayWd || aY < 0 || aY >= iArrayHt)
        {
        return 0;
        }
    return iArray[aX + aY * iArrayWd];
    }

EXPORT_C void CZController::ArrayReset()
    {
    iArray.Reset();
    iArrayWd = 0;
    iArrayHt = 0;
    }

EXPORT_C TPtrC CZController::CSVCell(TInt aColumn, TInt aRow, TInt* aError)
    {
    TInt error = 1;
    TPtrC cell(KNullDesC);
    if (aRow >= 0 && aRow < iCSVRowList->Count() && aColumn >= 0)
        {
        TPtrC rest(*iCSVRowList->At(aRow));
        TBool found = ETrue;
        for (TInt column = 0; column < aColumn; column++)
            {
            TInt sep = rest.Locate(KCSVSeparator);
            if (sep == KErrNotFound)
                {
                found = EFalse;
                break;
                }
            rest.Set(rest.Mid(sep + 1));
            }
        if (found)
            {
            TInt end = rest.Locate(KCSVSeparator);
            cell.Set(end == KErrNotFound ? rest : rest.Left(end));
            if (cell.Length() >= 2 && cell[0] == KQuote && cell[cell.Length() - 1] == KQuote)
                {
                cell.Set(cell.Mid(1, cell.Length() - 2));
                }
            error = 0;
            }
        }
    if (aError)
        {
        *aError = error;
        }
    return cell;
    }

EXPORT_C TInt CZController::CSVCellInt(TInt aColumn, TInt aRow, TInt* aError)
    {
    TLex lex(CSVCell(aColumn, aRow, aError));
    TInt value = 0;
    if (lex.Val(value) != KErrNone)
        {
        value = 0;
        }
    return value;
    }

EXPORT_C TInt CZController::CSVRowCount()
    {
    return iCSVRowList->Count();
    }

EXPORT_C void CZController::CSVReset()
    {
    iCSVRowList->ResetAndDestroy();
    }

// ---------------------------------------------------------------------------------------
// File loading

TInt CZController::ResolvePath(TPtrC aFileName, const TDesC& aSubDir, TFileName& aPath)
    {
    // Whatever the name leaves out (drive, directory, the name itself when empty) comes
    // from the application's base name; the loader's directory is one more level below.
    TParse parse;
    TInt err = parse.Set(aFileName, &iAppFileName, NULL);
    if (err == KErrNone)
        {
        err = parse.AddDir(aSubDir);
        }
    if (err != KErrNone || !iFsSession.IsValidName(parse.FullName()))
        {
        return KErrBadName;
        }
    aPath = parse.FullName();
    return KErrNone;
    }

HBufC8* CZController::ReadFileLC(const TDesC& aPath, TPtrC aFileName)
    {
    RFile file;
    User::LeaveIfError(file.Open(iFsSession, aPath, EFileRead | EFileShareReadersOnly));
    CleanupClosePushL(file);
    TInt size = 0;
    User::LeaveIfError(file.Size(size));
    HBufC8* buffer = HBufC8::NewLC(size);
    TPtr8 bytes(buffer->Des());
    User::LeaveIfError(file.Read(bytes, size));
    CleanupStack::Pop(buffer);
    CleanupStack::PopAndDestroy(&file);
    CleanupStack::PushL(buffer);
    if (iScript)
        {
        // The script may transform the bytes in place; its result and any change it
        // makes to its own view's length are ignored.
        TPtr8 view(buffer->Des());
        iScript->Decrypt(view, aFileName);
        }
    return buffer;
    }

EXPORT_C TInt CZController::LoadFileArrayL(TPtrC aFileName, TInt aWd, TInt aHt)
    {
    TFileName path;
    if (ResolvePath(aFileName, KDataDir, path) != KErrNone)
        {
        return 0;
        }
    HBufC8* bytes = ReadFileLC(path, aFileName);
    HBufC* text = WidenLC(*bytes);

    ArrayReset();
    // A negative size, or one whose product overflows, cannot be an array.
    const TInt64 count = static_cast<TInt64>(aWd) * aHt;
    if (aWd < 0 || aHt < 0 || count > KMaxTInt / static_cast<TInt>(sizeof(TInt)))
        {
        CleanupStack::PopAndDestroy(2, bytes);
        return 0;
        }
    const TInt slots = static_cast<TInt>(count);
    if (iArray.Reserve(slots) != KErrNone)
        {
        CleanupStack::PopAndDestroy(2, bytes);
        return 0;
        }
    for (TInt i = 0; i < slots; i++)
        {
        if (iArray.Append(0) != KErrNone)
            {
            ArrayReset();
            CleanupStack::PopAndDestroy(2, bytes);
            return 0;
            }
        }
    iArrayWd = aWd;
    iArrayHt = aHt;

    TLex lex(*text);
    for (TInt i = 0; i < slots; i++)
        {
        TPtrC token(lex.NextToken());
        if (token.Length() == 0)
            {
            break;
            }
        TLex number(token);
        TInt value = 0;
        if (number.Val(value) != KErrNone)
            {
            value = 0;
            }
        iArray[i] = value;
        }
    CleanupStack::PopAndDestroy(2, bytes);
    return 1;
    }

EXPORT_C TInt CZController::LoadFileCSVL(TPtrC aFileName)
    {
    CSVReset();
    TFileName path;
    if (ResolvePath(aFileName, KDataDir, path) != KErrNone)
        {
        return 0;
        }
    HBufC8* bytes = ReadFileLC(path, aFileName);
    TPtrC8 rest(*bytes);
    while (rest.Length() > 0)
        {
        // Rows end at a carriage return + line feed pair; a lone one does not split.
        TInt end = KErrNotFound;
        for (TInt i = 0; i + 1 < rest.Length(); i++)
            {
            if (rest[i] == KCarriageReturn && rest[i + 1] == KLineFeed)
                {
                end = i;
                break;
                }
            }
        TPtrC8 row(end == KErrNotFound ? rest : rest.Left(end));
        HBufC* wide = WidenLC(row);
        iCSVRowList->AppendL(wide);
        CleanupStack::Pop(wide);
        rest.Set(end == KErrNotFound ? TPtrC8() : rest.Mid(end + 2));
        }
    CleanupStack::PopAndDestroy(bytes);
    return 1;
    }
