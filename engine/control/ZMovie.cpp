// ZMovie.cpp
//
// Movie lists and movie files. A movie list is a run of white-space separated movie
// names; a movie file is a token stream read at three levels: the header (frame count,
// resource counts, background colour), frames (number, tempo, sound) and sprite records
// inside the frames. The records become sprites that are not in any channel; the player
// applies them when their frame is due. The movie's resources (bitmaps, texts, shapes,
// sounds) are loaded with the unload flag set, so Compress frees them once no sprite or
// frame uses them any more.

#include <Zolvane.h>

namespace
    {
    _LIT(KMoviesDir, "Movies");
    _LIT(KMovieExtension, ".movie");
    _LIT(KImageExtension, ".mbm");
    _LIT(KTextExtension, ".txt");
    _LIT(KShapeExtension, ".shp");
    _LIT(KSoundExtension, ".wav");
    _LIT(KSoundSeparator, "_");
    _LIT(KBitmapInfix, "_bmp_");
    _LIT(KTextInfix, "_txt_");
    _LIT(KShapeInfix, "_shp_");
    _LIT(KSoundInfix, "_wav_");

    // Keywords, compared folded.
    _LIT8(KBeginMovie, "BeginMovie");
    _LIT8(KEndMovie, "EndMovie");
    _LIT8(KBeginHeader, "BHd");
    _LIT8(KEndHeader, "EHd");
    _LIT8(KFrameCount, "FrmCt");
    _LIT8(KBitmapCount, "BmpCt");
    _LIT8(KTextCount, "TxtCt");
    _LIT8(KShapeCount, "ShpCt");
    _LIT8(KSoundCount, "SndCt");
    _LIT8(KBgColor, "BgClr");
    _LIT8(KBeginFrame, "BFrm");
    _LIT8(KEndFrame, "EFrm");
    _LIT8(KFrameNumber, "FrmNr");
    _LIT8(KTempo, "Tpo");
    _LIT8(KSound, "Snd");
    _LIT8(KBeginSprite, "BSp");
    _LIT8(KEndSprite, "ESp");
    _LIT8(KChannel, "C");
    _LIT8(KLocation, "L");
    _LIT8(KAngle, "A");
    _LIT8(KLifeTime, "LT");
    _LIT8(KBlend, "B");
    _LIT8(KTransition, "T");
    _LIT8(KBitmap, "Bmp");
    _LIT8(KRegPoint, "RPnt");
    _LIT8(KMask, "M");
    _LIT8(KSize, "R");
    _LIT8(KLine, "Lne");
    _LIT8(KArc, "Arc");
    _LIT8(KRect, "Rct");
    _LIT8(KEllipse, "Elpse");
    _LIT8(KPie, "Pie");
    _LIT8(KRoundRect, "RRct");
    _LIT8(KBrushColor, "BClr");
    _LIT8(KBrushStyle, "BStl");
    _LIT8(KPenColor, "PClr");
    _LIT8(KPenStyle, "PStl");
    _LIT8(KPenSize, "PSze");
    _LIT8(KPoint, "Pnt");
    _LIT8(KCornerSize, "CSze");
    _LIT8(KText, "Txt");
    _LIT8(KShape, "Shp");

    // Only this much of a movie name is used for its files and its element names.
    const TInt KMovieNameMax = 64;
    // Generated element names: the cut movie name, an infix and a decimal number.
    const TInt KElementNameMax = 80;
    typedef TBuf<KElementNameMax> TElementName;
    // The name of a movie's resource file: the cut movie name, "_", a number, extension.
    typedef TBuf<KMovieNameMax + 20> TResourceFileName;

    const TInt KListRestartPeriod = 50000;  // frame period after a movie list load
    const TInt KDefaultBgColor = KZColorMax;
    const TInt KNone = -1;

    TBool Is(const TDesC8& aToken, const TDesC8& aKeyword)
        {
        return aToken.CompareF(aKeyword) == 0;
        }

    // The next token read as a number. aDefault when the data has ended or the token is
    // not a whole decimal integer (with optional sign) that fits 32 bits; the token is
    // used up either way.
    TInt NextValue(TLex8& aLex, TInt aDefault)
        {
        TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0)
            {
            return aDefault;
            }
        TLex8 number(token);
        TInt value = 0;
        if (number.Val(value) != KErrNone || !number.Eos())
            {
            return aDefault;
            }
        return value;
        }

    // Skips tokens up to and including aKeyword. EFalse when the data ended first.
    TBool SkipTo(TLex8& aLex, const TDesC8& aKeyword)
        {
        for (;;)
            {
            TPtrC8 token(aLex.NextToken());
            if (token.Length() == 0)
                {
                return EFalse;
                }
            if (Is(token, aKeyword))
                {
                return ETrue;
                }
            }
        }

    TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
        {
        return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
        }

    // aA + aB held to the 32-bit range, for corners computed from untrusted values.
    TInt SaturatedAdd(TInt aA, TInt aB)
        {
        const TInt64 sum = static_cast<TInt64>(aA) + aB;
        return sum > KMaxTInt ? KMaxTInt : (sum < KMinTInt ? KMinTInt : static_cast<TInt>(sum));
        }

    void MakeElementName(TElementName& aName, TPtrC aMovieName, const TDesC& aInfix, TInt aNumber)
        {
        aName.Copy(aMovieName.Left(KMovieNameMax));
        aName.Append(aInfix);
        aName.AppendNum(aNumber);
        }

    void MakeResourceFileName(TResourceFileName& aName, TPtrC aMovieName, const TDesC& aExtension)
        {
        aName.Copy(aMovieName.Left(KMovieNameMax));
        aName.Append(aExtension);
        }

    // What one sprite record collects before its sprite is made.
    struct TSpriteRecord
        {
        TInt iChannel = 0;
        TPoint iLoc;
        TInt iAngle = 0;
        TInt iLifeTime = 0;
        TInt iBlend = 100;
        TInt iTransition = 0;
        TInt iTransitionTime = 0;
        // Content: at most one of these is chosen, the last content keyword wins.
        TInt iBitmap = KNone;
        TInt iShapeType = 0;
        TInt iText = KNone;
        TInt iShape = KNone;
        TPoint iRegPoint;
        TBool iMask = EFalse;
        TInt iWidth = KNone;
        TInt iHeight = KNone;
        TInt iBrushColor = 0;
        TInt iBrushStyle = CGraphicsContext::ENullBrush;
        TInt iPenColor = 0;
        TInt iPenStyle = CGraphicsContext::ESolidPen;
        TSize iPenSize = TSize(1, 1);
        TPoint iPoint1;
        TPoint iPoint2;
        TInt iPoints = 0;
        TSize iCornerSize;

        void ContentClear()
            {
            iBitmap = KNone;
            iShapeType = 0;
            iText = KNone;
            iShape = KNone;
            }
        TBool SizeGiven() const
            {
            return iWidth > KNone && iHeight > KNone;
            }
        };
    }

// ---------------------------------------------------------------------------------------
// Movie lists

void CZController::MovieListCreateL(TPtrC aData)
    {
    TLex lex(aData);
    for (;;)
        {
        TPtrC token(lex.NextToken());
        if (token.Length() == 0)
            {
            break;
            }
        HBufC* name = token.AllocLC();
        iMovieList->AppendL(name);
        CleanupStack::Pop(name);
        }
    }

namespace
    {
    // Restarts the frame timer when a movie list load ends, also when it leaves or stops
    // early, so that a failed load cannot leave the engine without frames.
    void RestartTimer(TAny* aTimer)
        {
        CZTimer* timer = static_cast<CZTimer*>(aTimer);
        timer->Cancel();
        timer->Start(KListRestartPeriod);
        }
    }

EXPORT_C void CZController::LoadMovieListL(TPtrC aData)
    {
    iTimer->Cancel();
    CleanupStack::PushL(TCleanupItem(RestartTimer, iTimer));
    iMovieList->ResetAndDestroy();
    iMovieNumber = 0;
    iPlayer->MovieEnd();
    MovieListCreateL(aData);
    if (iMovieList->Count() > 0)
        {
        const TInt loaded = LoadMovie(*iMovieList->At(0));
        if (!loaded)
            {
            iMovieLoadFailed = ETrue;
            }
        }
    CleanupStack::PopAndDestroy();  // RestartTimer
    }

EXPORT_C void CZController::LoadFileMovieListL(TPtrC aFileName)
    {
    iTimer->Cancel();
    CleanupStack::PushL(TCleanupItem(RestartTimer, iTimer));
    iMovieList->ResetAndDestroy();
    iMovieNumber = 0;
    iPlayer->MovieEnd();

    // The list file lies in the application's directory itself.
    TFileName path;
    if (ResolvePath(aFileName, KNullDesC, path) == KErrNone)
        {
        HBufC8* bytes = ReadFileLC(path, aFileName);
        HBufC* text = HBufC::NewLC(bytes->Length());
        text->Des().Copy(*bytes);
        MovieListCreateL(*text);
        CleanupStack::PopAndDestroy(2, bytes);
        if (iMovieList->Count() > 0)
            {
            // A leave of the movie load goes to the caller.
            if (!LoadMovieL(*iMovieList->At(0)))
                {
                iMovieLoadFailed = ETrue;
                }
            }
        }
    CleanupStack::PopAndDestroy();  // RestartTimer
    }

// ---------------------------------------------------------------------------------------
// Movie files

TInt CZController::LoadMovie(TPtrC aMovieName)
    {
    TInt loaded = 0;
    TRAPD(err, loaded = LoadMovieL(aMovieName));
    if (err != KErrNone)
        {
        // Frames read before the failure go; elements made stay until compressed.
        iPlayer->Clear();
        return 0;
        }
    return loaded ? 1 : 0;
    }

TInt CZController::LoadMovieL(TPtrC aMovieName)
    {
    TResourceFileName fileName;
    MakeResourceFileName(fileName, aMovieName, KMovieExtension);
    TFileName path;
    const TInt resolved = ResolvePath(fileName, KMoviesDir, path);

    // The previous movie's frames go now, whatever becomes of this load.
    iPlayer->Clear();
    if (resolved != KErrNone)
        {
        return 0;
        }

    HBufC8* bytes = ReadFileLC(path, aMovieName);
    TLex8 lex(*bytes);
    if (SkipTo(lex, KBeginMovie))
        {
        LoadMovieHeaderL(lex, aMovieName);
        while (LoadMovieFrameL(lex, aMovieName))
            {
            }
        }
    CleanupStack::PopAndDestroy(bytes);
    return 1;
    }

void CZController::LoadMovieHeaderL(TLex8& aLex, TPtrC aMovieName)
    {
    if (!SkipTo(aLex, KBeginHeader))
        {
        return;
        }
    TInt frameCount = 0;
    TInt bitmapCount = 0;
    TInt textCount = 0;
    TInt shapeCount = 0;
    TInt soundCount = 0;
    TInt bgColor = KDefaultBgColor;
    TBool complete = EFalse;
    for (;;)
        {
        TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0)
            {
            break;
            }
        if (Is(token, KEndHeader))
            {
            complete = ETrue;
            break;
            }
        if (Is(token, KFrameCount))
            {
            frameCount = NextValue(aLex, 0);
            }
        else if (Is(token, KBitmapCount))
            {
            bitmapCount = NextValue(aLex, 0);
            }
        else if (Is(token, KTextCount))
            {
            textCount = NextValue(aLex, 0);
            }
        else if (Is(token, KShapeCount))
            {
            shapeCount = NextValue(aLex, 0);
            }
        else if (Is(token, KSoundCount))
            {
            soundCount = NextValue(aLex, 0);
            }
        else if (Is(token, KBgColor))
            {
            bgColor = NextValue(aLex, KDefaultBgColor);
            }
        }

    // A header without its end is no header: nothing is set or loaded, and with a frame
    // count of 0 every frame of the file is refused.
    if (!complete)
        {
        return;
        }
    iPlayer->FrameCount(frameCount);
    iPlayer->BgColor(bgColor);

    const TPtrC baseName(aMovieName.Left(KMovieNameMax));
    TResourceFileName fileName;
    if (bitmapCount > 0)
        {
        MakeResourceFileName(fileName, aMovieName, KImageExtension);
        LoadFileImageL(fileName, baseName, ETrue);
        }
    if (textCount > 0)
        {
        MakeResourceFileName(fileName, aMovieName, KTextExtension);
        LoadFileTextL(fileName, baseName, ETrue);
        }
    if (shapeCount > 0)
        {
        MakeResourceFileName(fileName, aMovieName, KShapeExtension);
        LoadFileShapeL(fileName, baseName, ETrue);
        }
    for (TInt k = 1; k <= soundCount; k++)
        {
        fileName.Copy(baseName);
        fileName.Append(KSoundSeparator);
        fileName.AppendNum(k);
        fileName.Append(KSoundExtension);
        TElementName elementName;
        MakeElementName(elementName, aMovieName, KSoundInfix, k);
        LoadFileWavL(fileName, elementName, ETrue);
        }
    }

TBool CZController::LoadMovieFrameL(TLex8& aLex, TPtrC aMovieName)
    {
    // Find the frame's start; "EndMovie" ends the movie, whatever follows it.
    for (;;)
        {
        TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0 || Is(token, KEndMovie))
            {
            return EFalse;
            }
        if (Is(token, KBeginFrame))
            {
            break;
            }
        }

    CZFrame* frame = CZFrame::NewLC();
    TBool complete = EFalse;
    for (;;)
        {
        TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0)
            {
            break;
            }
        if (Is(token, KEndFrame))
            {
            complete = ETrue;
            break;
            }
        if (Is(token, KFrameNumber))
            {
            frame->FrameNumber(NextValue(aLex, 0));
            }
        else if (Is(token, KTempo))
            {
            frame->Tempo(NextValue(aLex, KNone));
            }
        else if (Is(token, KSound))
            {
            const TInt number = NextValue(aLex, KNone);
            if (number > 0)
                {
                TElementName name;
                MakeElementName(name, aMovieName, KSoundInfix, number);
                // Only a sound element is taken; anything else of that name is not.
                frame->Sound(Element(name));
                }
            }
        else if (Is(token, KBeginSprite))
            {
            LoadMovieSpriteL(aLex, frame, aMovieName);
            }
        }

    if (complete && iPlayer->FrameAddL(frame))
        {
        CleanupStack::Pop(frame);   // the player has it
        }
    else
        {
        // Refused (number out of range or not after the last frame's) or unfinished.
        CleanupStack::PopAndDestroy(frame);
        }
    return complete;
    }

void CZController::LoadMovieSpriteL(TLex8& aLex, CZFrame* aFrame, TPtrC aMovieName)
    {
    TSpriteRecord r;
    TBool complete = EFalse;
    for (;;)
        {
        TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0)
            {
            break;
            }
        if (Is(token, KEndSprite))
            {
            complete = ETrue;
            break;
            }
        if (Is(token, KChannel))
            {
            r.iChannel = NextValue(aLex, 0);
            }
        else if (Is(token, KLocation))
            {
            r.iLoc.iX = NextValue(aLex, 0);
            r.iLoc.iY = NextValue(aLex, 0);
            }
        else if (Is(token, KAngle))
            {
            r.iAngle = NextValue(aLex, 0);
            }
        else if (Is(token, KLifeTime))
            {
            r.iLifeTime = NextValue(aLex, 0);
            }
        else if (Is(token, KBlend))
            {
            r.iBlend = NextValue(aLex, 100);
            }
        else if (Is(token, KTransition))
            {
            r.iTransition = NextValue(aLex, 0);
            r.iTransitionTime = NextValue(aLex, 0);
            }
        else if (Is(token, KBitmap))
            {
            r.ContentClear();
            r.iBitmap = NextValue(aLex, KNone);
            }
        else if (Is(token, KRegPoint))
            {
            r.iRegPoint.iX = NextValue(aLex, 0);
            r.iRegPoint.iY = NextValue(aLex, 0);
            }
        else if (Is(token, KMask))
            {
            r.iMask = ETrue;
            }
        else if (Is(token, KSize))
            {
            r.iWidth = NextValue(aLex, KNone);
            r.iHeight = NextValue(aLex, KNone);
            }
        else if (Is(token, KLine) || Is(token, KArc) || Is(token, KRect) || Is(token, KEllipse)
                 || Is(token, KPie) || Is(token, KRoundRect))
            {
            r.ContentClear();
            r.iShapeType = Is(token, KLine) ? LINE : Is(token, KArc) ? ARC : Is(token, KRect) ? RECT
                : Is(token, KEllipse) ? ELLIPSE : Is(token, KPie) ? PIE : ROUNDRECT;
            }
        else if (Is(token, KBrushColor))
            {
            r.iBrushColor = NextValue(aLex, 0);
            }
        else if (Is(token, KBrushStyle))
            {
            r.iBrushStyle = NextValue(aLex, CGraphicsContext::ENullBrush);
            }
        else if (Is(token, KPenColor))
            {
            r.iPenColor = NextValue(aLex, 0);
            }
        else if (Is(token, KPenStyle))
            {
            r.iPenStyle = NextValue(aLex, CGraphicsContext::ESolidPen);
            }
        else if (Is(token, KPenSize))
            {
            r.iPenSize.iWidth = NextValue(aLex, 1);
            r.iPenSize.iHeight = NextValue(aLex, 1);
            }
        else if (Is(token, KPoint))
            {
            // The first two points count; further ones are read and ignored.
            TPoint point;
            point.iX = NextValue(aLex, 0);
            point.iY = NextValue(aLex, 0);
            if (r.iPoints == 0)
                {
                r.iPoint1 = point;
                }
            else if (r.iPoints == 1)
                {
                r.iPoint2 = point;
                }
            if (r.iPoints < 2)
                {
                r.iPoints++;
                }
            }
        else if (Is(token, KCornerSize))
            {
            r.iCornerSize.iWidth = NextValue(aLex, 0);
            r.iCornerSize.iHeight = NextValue(aLex, 0);
            }
        else if (Is(token, KText))
            {
            r.ContentClear();
            r.iText = NextValue(aLex, KNone);
            }
        else if (Is(token, KShape))
            {
            r.ContentClear();
            r.iShape = NextValue(aLex, KNone);
            }
        }

    if (!complete || r.iChannel < 1)
        {
        return;
        }

    // An element record keeps width and height -1 unless the record gives a size, so
    // that on a channel that already shows something only a given size is applied.
    auto SizeNotGiven = [](CZSprite* aRecord)
        {
        aRecord->iWidth = KNone;
        aRecord->iHeight = KNone;
        aRecord->iZoom = EFalse;
        };

    TElementName name;
    if (r.iBitmap >= 0)
        {
        MakeElementName(name, aMovieName, KBitmapInfix, r.iBitmap);
        CZElement* element = Element(name);
        if (!element)
            {
            return;
            }
        // Every bitmap record sets the registration point, so the last one loaded wins.
        element->RegPoint(r.iRegPoint);
        CZSprite* record = aFrame->SpriteAddNewL(r.iChannel, r.iLifeTime);
        record->Element(element);
        SizeNotGiven(record);
        record->Transition(r.iTransition, r.iTransitionTime);
        record->Loc(r.iLoc.iX, r.iLoc.iY);
        record->Angle(r.iAngle);
        record->Blend(r.iBlend);
        if (r.iMask)
            {
            record->Mask(ETrue);
            }
        if (r.SizeGiven())
            {
            record->Size(r.iWidth, r.iHeight);
            }
        }
    else if (r.iShapeType != 0)
        {
        CZSprite* record = aFrame->SpriteAddNewL(r.iChannel, r.iLifeTime);
        record->Transition(r.iTransition, r.iTransitionTime);
        record->BrushColor(TRgb(static_cast<TUint32>(Clamp(r.iBrushColor, 0, KZColorMax))));
        // A style outside the platform's styles is a bad value: the keyword's default.
        const TInt brushStyle = (r.iBrushStyle >= CGraphicsContext::ENullBrush
                                 && r.iBrushStyle <= CGraphicsContext::EDiamondCrossHatchBrush)
            ? r.iBrushStyle : static_cast<TInt>(CGraphicsContext::ENullBrush);
        record->BrushStyle(static_cast<CGraphicsContext::TBrushStyle>(brushStyle));
        record->PenColor(TRgb(static_cast<TUint32>(Clamp(r.iPenColor, 0, KZColorMax))));
        record->PenSize(r.iPenSize);
        const TInt penStyle = (r.iPenStyle >= CGraphicsContext::ENullPen
                               && r.iPenStyle <= CGraphicsContext::EDotDotDashPen)
            ? r.iPenStyle : static_cast<TInt>(CGraphicsContext::ESolidPen);
        record->PenStyle(static_cast<CGraphicsContext::TPenStyle>(penStyle));
        record->Blend(r.iBlend);
        record->Angle(r.iAngle);
        // The box of rectangles and ellipses is "L" and "R"; lines use their points.
        const TPoint corner1(r.iLoc);
        const TPoint corner2(SaturatedAdd(r.iLoc.iX, r.iWidth), SaturatedAdd(r.iLoc.iY, r.iHeight));
        switch (r.iShapeType)
            {
            case LINE:
                record->Line(r.iPoint1, r.iPoint2);
                break;
            case RECT:
                record->Rectangle(corner1, corner2);
                break;
            case ELLIPSE:
                record->Ellipse(corner1, corner2);
                break;
            case ROUNDRECT:
                record->RoundRectangle(corner1, corner2, r.iCornerSize);
                break;
            default:
                // Arcs and pies have no geometry a sprite can take.
                break;
            }
        }
    else if (r.iText >= 0)
        {
        MakeElementName(name, aMovieName, KTextInfix, r.iText);
        CZElement* element = Element(name);
        if (!element)
            {
            return;
            }
        CZSprite* record = aFrame->SpriteAddNewL(r.iChannel, r.iLifeTime);
        record->Element(element);
        SizeNotGiven(record);
        record->Transition(r.iTransition, r.iTransitionTime);
        record->Loc(r.iLoc.iX, r.iLoc.iY);
        record->Blend(r.iBlend);
        record->Angle(r.iAngle);
        }
    else if (r.iShape >= 0)
        {
        MakeElementName(name, aMovieName, KShapeInfix, r.iShape);
        CZElement* element = Element(name);
        if (!element)
            {
            return;
            }
        CZSprite* record = aFrame->SpriteAddNewL(r.iChannel, r.iLifeTime);
        record->Element(element);
        SizeNotGiven(record);
        record->Transition(r.iTransition, r.iTransitionTime);
        record->Loc(r.iLoc.iX, r.iLoc.iY);
        record->Angle(r.iAngle);
        record->Blend(r.iBlend);
        if (r.iMask)
            {
            record->Mask(ETrue);
            }
        if (r.SizeGiven())
            {
            record->Size(r.iWidth, r.iHeight);
            }
        }
    else
        {
        // No content: a property record that moves, fades or resizes what the channel
        // shows, or fills an empty channel with nothing but its values.
        CZSprite* record = aFrame->SpriteAddNewL(r.iChannel, r.iLifeTime);
        record->Loc(r.iLoc.iX, r.iLoc.iY);
        record->Transition(r.iTransition, r.iTransitionTime);
        record->Angle(r.iAngle);
        record->Blend(r.iBlend);
        if (r.SizeGiven())
            {
            record->Size(r.iWidth, r.iHeight);
            }
        }
    }
