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

#include "ZDiagnostics.h"

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
    const TInt KSpritePenSizeMax = 128;     // a sprite's pen size is held to 0..128

    TBool Is(const TDesC8& aToken, const TDesC8& aKeyword)
        {
        return aToken.CompareF(aKeyword) == 0;
        }

    // Tells the observer that aKeyword got its default: its value is missing (aValue
    // empty, at the end of the data) or is not a number.
    void ReportDefault(const TDesC8& aKeyword, const TDesC8& aValue, TInt aDefault)
        {
        TZDiagnosticMessage message;
        if (aValue.Length() == 0)
            {
            message.AddWord(aKeyword).Add(" has no value at the end of the data: ").AddNum(aDefault).Add(" used");
            TZDiagnostics::Warning(aKeyword, message);
            }
        else
            {
            message.AddWord(aValue).Add(" is not a number for ").AddWord(aKeyword).Add(": ").AddNum(aDefault)
                .Add(" used");
            TZDiagnostics::Warning(aValue, message);
            }
        }

    // The next token read as the value of aKeyword. aDefault when the data has ended or
    // the token is not a whole decimal integer (with optional sign) that fits 32 bits;
    // the token is used up either way.
    TInt NextValue(TLex8& aLex, TInt aDefault, const TDesC8& aKeyword)
        {
        TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0)
            {
            if (TZDiagnostics::Active())
                {
                ReportDefault(aKeyword, token, aDefault);
                }
            return aDefault;
            }
        TLex8 number(token);
        TInt value = 0;
        if (number.Val(value) != KErrNone || !number.Eos())
            {
            if (TZDiagnostics::Active())
                {
                ReportDefault(aKeyword, token, aDefault);
                }
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

    // Where aLex stands: in reports only, where the lexer runs over the bytes of the
    // innermost registered file (null otherwise).
    const TUint8* Position(const TLex8& aLex)
        {
        const TUint8* bytes = TZDiagnostics::FileBytes();
        return bytes ? bytes + aLex.Offset() : NULL;
        }

    // The keyword aLex has just read (a keyword of fixed length), for reports.
    TPtrC8 KeywordRead(const TLex8& aLex, const TDesC8& aKeyword)
        {
        const TUint8* at = Position(aLex);
        return at ? TPtrC8(at - aKeyword.Length(), aKeyword.Length()) : TPtrC8();
        }

    TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
        {
        return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
        }

    // ---- Reports to the diagnostics observer (made only while one is set)

    // The blocks of a movie file. EOutside: between the header and the frames, between
    // frames.
    enum TBlock { ENoBlock, EMovieLevel, EHeaderBlock, EFrameBlock, ESpriteBlock, EOutside };

    const TDesC8* const KMovieWords[] = { &KBeginMovie, &KEndMovie };
    const TDesC8* const KHeaderWords[] =
        { &KBeginHeader, &KEndHeader, &KFrameCount, &KBitmapCount, &KTextCount, &KShapeCount, &KSoundCount,
          &KBgColor };
    const TDesC8* const KFrameWords[] =
        { &KBeginFrame, &KEndFrame, &KFrameNumber, &KTempo, &KSound, &KBeginSprite };
    const TDesC8* const KSpriteWords[] =
        { &KEndSprite, &KChannel, &KLocation, &KAngle, &KLifeTime, &KBlend, &KTransition, &KBitmap, &KRegPoint,
          &KMask, &KSize, &KLine, &KArc, &KRect, &KEllipse, &KPie, &KRoundRect, &KBrushColor, &KBrushStyle,
          &KPenColor, &KPenStyle, &KPenSize, &KPoint, &KCornerSize, &KText, &KShape };

    template <TInt N>
    TBool OneOf(const TDesC8& aToken, const TDesC8* const (&aWords)[N])
        {
        for (TInt i = 0; i < N; i++)
            {
            if (Is(aToken, *aWords[i]))
                {
                return ETrue;
                }
            }
        return EFalse;
        }

    // The block whose keyword aToken is; ENoBlock for any other word.
    TBlock BlockOf(const TDesC8& aToken)
        {
        return OneOf(aToken, KSpriteWords) ? ESpriteBlock : OneOf(aToken, KFrameWords) ? EFrameBlock
            : OneOf(aToken, KHeaderWords) ? EHeaderBlock : OneOf(aToken, KMovieWords) ? EMovieLevel : ENoBlock;
        }

    // A word that the parser skips in aWhere: reported when it is a keyword of another
    // block, which the writer meant for that block. Other words are comments. One-letter
    // keywords are reported only inside sprite records: elsewhere they are too common in
    // comments ("a", "c") to be taken for misplaced keywords.
    void ReportSkipped(const TDesC8& aToken, TBlock aWhere)
        {
        const TBlock owner = BlockOf(aToken);
        if (owner == ENoBlock || (aToken.Length() < 2 && aWhere != ESpriteBlock))
            {
            return;
            }
        TZDiagnosticMessage message;
        message.AddWord(aToken);
        switch (aWhere)
            {
            case ESpriteBlock:
                message.Add(" inside a sprite record: skipped (\"ESp\" missing?)");
                break;
            case EFrameBlock:
                message.Add(" inside a frame: skipped")
                    .Add(owner == ESpriteBlock ? " (\"BSp\" missing?)" : " (\"EFrm\" missing?)");
                break;
            case EHeaderBlock:
                message.Add(" inside the header: skipped (\"EHd\" missing?)");
                break;
            case EMovieLevel:
                message.Add(" before the header: skipped");
                break;
            default:
                message.Add(" outside a frame: skipped")
                    .Add(owner == ESpriteBlock ? " (\"BFrm\" or \"BSp\" missing?)"
                         : owner == EFrameBlock ? " (\"BFrm\" missing?)" : "");
                break;
            }
        TZDiagnostics::Error(aToken, message);
        }

    // aKeyword's value aValue held to aMin..aMax by the engine.
    void ReportClamp(const TDesC8& aKeyword, TInt aValue, TInt aMin, TInt aMax)
        {
        if (aValue >= aMin && aValue <= aMax)
            {
            return;
            }
        TZDiagnosticMessage message;
        message.AddWord(aKeyword).Add(" ").AddNum(aValue).Add(" clamped to ").AddNum(aValue < aMin ? aMin : aMax);
        TZDiagnostics::Warning(aKeyword, message);
        }

    // aKeyword's value aValue outside aMin..aMax: the engine uses aDefault instead.
    void ReportOutOfRange(const TDesC8& aKeyword, TInt aValue, TInt aMin, TInt aMax, TInt aDefault)
        {
        if (aValue >= aMin && aValue <= aMax)
            {
            return;
            }
        TZDiagnosticMessage message;
        message.AddWord(aKeyword).Add(" ").AddNum(aValue).Add(" is not one of ").AddNum(aMin).Add("..")
            .AddNum(aMax).Add(": ").AddNum(aDefault).Add(" used");
        TZDiagnostics::Warning(aKeyword, message);
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

    // The words of a sprite record that set its values, for reports. Empty when absent.
    struct TRecordWords
        {
        TPtrC8 iBegin;
        TPtrC8 iChannel;
        TPtrC8 iContent;
        TPtrC8 iBlend;
        TPtrC8 iMask;
        TPtrC8 iSize;
        TPtrC8 iRegPoint;
        TPtrC8 iBrushColor;
        TPtrC8 iBrushStyle;
        TPtrC8 iPenColor;
        TPtrC8 iPenStyle;
        TPtrC8 iPenSize;
        TPtrC8 iPoint;
        TPtrC8 iCornerSize;

        // A content keyword; it replaces any chosen before it.
        void Content(const TDesC8& aKeyword)
            {
            if (TZDiagnostics::Active() && iContent.Length() > 0)
                {
                TZDiagnosticMessage message;
                message.AddWord(aKeyword).Add(" replaces the content ").AddWord(iContent)
                    .Add(" chosen before it in the record");
                TZDiagnostics::Warning(aKeyword, message);
                }
            iContent.Set(aKeyword);
            }
        };

    void ReportUnknownElement(const TDesC8& aKeyword, const TDesC& aName)
        {
        TZDiagnosticMessage message;
        message.Add("unknown element ").AddWord(aName).Add(": record dropped");
        TZDiagnostics::Error(aKeyword, message);
        }

    void ReportNoEffect(const TDesC8& aKeyword, const char* aRecord)
        {
        if (aKeyword.Length() == 0)
            {
            return;
            }
        TZDiagnosticMessage message;
        message.AddWord(aKeyword).Add(" has no effect on ").Add(aRecord).Add(": ignored");
        TZDiagnostics::Warning(aKeyword, message);
        }

    // Values of a complete record that the engine replaces, clamps or does not use.
    void ReportRecordValues(const TSpriteRecord& aRecord, const TRecordWords& aWords)
        {
        const TBool bitmap = aRecord.iBitmap >= 0;
        const TBool simpleShape = !bitmap && aRecord.iShapeType != 0;
        const TBool text = !bitmap && !simpleShape && aRecord.iText >= 0;
        const TBool shape = !bitmap && !simpleShape && !text && aRecord.iShape >= 0;
        const char* kind = bitmap ? "a bitmap record" : simpleShape ? "a simple-shape record"
            : text ? "a text record" : shape ? "a vector-shape record" : "a property record";
        if (aWords.iBlend.Length() > 0)
            {
            ReportClamp(aWords.iBlend, aRecord.iBlend, 0, 100);
            }
        if (!bitmap)
            {
            ReportNoEffect(aWords.iRegPoint, kind);
            }
        if (!bitmap && !shape)
            {
            ReportNoEffect(aWords.iMask, kind);
            }
        if (text)
            {
            ReportNoEffect(aWords.iSize, kind);
            }
        else if (!simpleShape && aWords.iSize.Length() > 0 && !aRecord.SizeGiven())
            {
            TZDiagnosticMessage message;
            message.AddWord(aWords.iSize).Add(" ").AddNum(aRecord.iWidth).Add(" ").AddNum(aRecord.iHeight)
                .Add(": the size is not applied (both values must be 0 or more)");
            TZDiagnostics::Warning(aWords.iSize, message);
            }
        if (!simpleShape)
            {
            ReportNoEffect(aWords.iBrushColor, kind);
            ReportNoEffect(aWords.iBrushStyle, kind);
            ReportNoEffect(aWords.iPenColor, kind);
            ReportNoEffect(aWords.iPenStyle, kind);
            ReportNoEffect(aWords.iPenSize, kind);
            ReportNoEffect(aWords.iPoint, kind);
            ReportNoEffect(aWords.iCornerSize, kind);
            return;
            }
        if (aWords.iBrushColor.Length() > 0)
            {
            ReportClamp(aWords.iBrushColor, aRecord.iBrushColor, 0, KZColorMax);
            }
        if (aWords.iPenColor.Length() > 0)
            {
            ReportClamp(aWords.iPenColor, aRecord.iPenColor, 0, KZColorMax);
            }
        if (aWords.iBrushStyle.Length() > 0)
            {
            ReportOutOfRange(aWords.iBrushStyle, aRecord.iBrushStyle, CGraphicsContext::ENullBrush,
                             CGraphicsContext::EDiamondCrossHatchBrush, CGraphicsContext::ENullBrush);
            }
        if (aWords.iPenStyle.Length() > 0)
            {
            ReportOutOfRange(aWords.iPenStyle, aRecord.iPenStyle, CGraphicsContext::ENullPen,
                             CGraphicsContext::EDotDotDashPen, CGraphicsContext::ESolidPen);
            }
        if (aWords.iPenSize.Length() > 0)
            {
            ReportClamp(aWords.iPenSize, aRecord.iPenSize.iWidth, 0, KSpritePenSizeMax);
            ReportClamp(aWords.iPenSize, aRecord.iPenSize.iHeight, 0, KSpritePenSizeMax);
            }
        const char* shapeKind = aRecord.iShapeType == LINE ? "a line record" : "this simple-shape record";
        if (aRecord.iShapeType != LINE)
            {
            ReportNoEffect(aWords.iPoint, shapeKind);
            }
        if (aRecord.iShapeType != ROUNDRECT)
            {
            ReportNoEffect(aWords.iCornerSize, shapeKind);
            }
        if (aRecord.iShapeType == ARC || aRecord.iShapeType == PIE)
            {
            TZDiagnosticMessage message;
            message.AddWord(aWords.iContent).Add(" carries no geometry: the record only sets the look");
            TZDiagnostics::Warning(aWords.iContent, message);
            }
        }
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
    TZDiagnosticSource source(path, *bytes);
    TLex8 lex(*bytes);
    if (SkipTo(lex, KBeginMovie))
        {
        LoadMovieHeaderL(lex, aMovieName);
        while (LoadMovieFrameL(lex, aMovieName))
            {
            }
        if (TZDiagnostics::Active())
            {
            // Whatever follows "EndMovie" is not read; frames there are lost.
            for (;;)
                {
                const TPtrC8 token(lex.NextToken());
                if (token.Length() == 0)
                    {
                    break;
                    }
                if (Is(token, KBeginFrame))
                    {
                    TZDiagnosticMessage message;
                    message.Add("frame after \"EndMovie\": not loaded");
                    TZDiagnostics::Error(token, message);
                    }
                }
            }
        }
    else if (TZDiagnostics::Active())
        {
        TZDiagnosticMessage message;
        message.Add("\"BeginMovie\" missing: the movie is empty");
        TZDiagnostics::Error(bytes->Left(0), message);
        }
    CleanupStack::PopAndDestroy(bytes);
    return 1;
    }

namespace
    {
    // Looks ahead (on a copy of the lexer) at the words the header search will skip.
    void ReportHeaderSearch(const TLex8& aLex)
        {
        TLex8 probe(aLex);
        const TPtrC8 beginMovie(KeywordRead(aLex, KBeginMovie));
        if (!SkipTo(probe, KBeginHeader))
            {
            TZDiagnosticMessage message;
            message.Add("\"BHd\" missing: nothing is loaded and the movie has no frames");
            TZDiagnostics::Error(beginMovie, message);
            return;
            }
        const TUint8* header = Position(probe);
        probe.Assign(aLex);
        for (;;)
            {
            const TPtrC8 token(probe.NextToken());
            if (token.Ptr() + token.Length() >= header)
                {
                break;
                }
            ReportSkipped(token, EMovieLevel);
            }
        }

    // Runs a resource loader of the header; a leave is told to the observer, then passed on.
    template <class TLoad>
    void LoadReportedL(TLoad aLoad, const TDesC8& aKeyword, const TDesC& aFileName)
        {
        if (!TZDiagnostics::Active())
            {
            aLoad();
            return;
            }
        TZDiagnostics::Anchor(aKeyword);
        TRAPD(err, aLoad());
        if (err != KErrNone)
            {
            TZDiagnosticMessage message;
            message.AddWord(aKeyword).Add(": cannot load ").AddWord(aFileName).Add(" (error ").AddNum(err)
                .Add("): the movie load fails");
            TZDiagnostics::Error(aKeyword, message);
            User::Leave(err);
            }
        }
    }

void CZController::LoadMovieHeaderL(TLex8& aLex, TPtrC aMovieName)
    {
    if (TZDiagnostics::Active())
        {
        ReportHeaderSearch(aLex);
        }
    if (!SkipTo(aLex, KBeginHeader))
        {
        return;
        }
    // The keywords that asked for resources, for reports.
    TPtrC8 beginHeader;
    TPtrC8 bitmapKeyword;
    TPtrC8 textKeyword;
    TPtrC8 shapeKeyword;
    TPtrC8 soundKeyword;
    if (TZDiagnostics::Active())
        {
        beginHeader.Set(KeywordRead(aLex, KBeginHeader));
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
            frameCount = NextValue(aLex, 0, token);
            }
        else if (Is(token, KBitmapCount))
            {
            bitmapCount = NextValue(aLex, 0, token);
            bitmapKeyword.Set(token);
            }
        else if (Is(token, KTextCount))
            {
            textCount = NextValue(aLex, 0, token);
            textKeyword.Set(token);
            }
        else if (Is(token, KShapeCount))
            {
            shapeCount = NextValue(aLex, 0, token);
            shapeKeyword.Set(token);
            }
        else if (Is(token, KSoundCount))
            {
            soundCount = NextValue(aLex, 0, token);
            soundKeyword.Set(token);
            }
        else if (Is(token, KBgColor))
            {
            bgColor = NextValue(aLex, KDefaultBgColor, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, bgColor, 0, KZColorMax);
                }
            }
        else if (TZDiagnostics::Active())
            {
            ReportSkipped(token, EHeaderBlock);
            }
        }

    // A header without its end is no header: nothing is set or loaded, and with a frame
    // count of 0 every frame of the file is refused.
    if (!complete)
        {
        if (TZDiagnostics::Active())
            {
            TZDiagnosticMessage message;
            message.Add("header without \"EHd\" at the end of the data: nothing is loaded and the movie has no frames");
            TZDiagnostics::Error(beginHeader, message);
            }
        return;
        }
    iPlayer->FrameCount(frameCount);
    iPlayer->BgColor(bgColor);

    const TPtrC baseName(aMovieName.Left(KMovieNameMax));
    TResourceFileName fileName;
    if (bitmapCount > 0)
        {
        MakeResourceFileName(fileName, aMovieName, KImageExtension);
        LoadReportedL([&]() { LoadFileImageL(fileName, baseName, ETrue); }, bitmapKeyword, fileName);
        }
    if (textCount > 0)
        {
        MakeResourceFileName(fileName, aMovieName, KTextExtension);
        LoadReportedL([&]() { LoadFileTextL(fileName, baseName, ETrue); }, textKeyword, fileName);
        }
    if (shapeCount > 0)
        {
        MakeResourceFileName(fileName, aMovieName, KShapeExtension);
        LoadReportedL([&]() { LoadFileShapeL(fileName, baseName, ETrue); }, shapeKeyword, fileName);
        }
    for (TInt k = 1; k <= soundCount; k++)
        {
        fileName.Copy(baseName);
        fileName.Append(KSoundSeparator);
        fileName.AppendNum(k);
        fileName.Append(KSoundExtension);
        TElementName elementName;
        MakeElementName(elementName, aMovieName, KSoundInfix, k);
        LoadReportedL([&]() { LoadFileWavL(fileName, elementName, ETrue); }, soundKeyword, fileName);
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
        if (TZDiagnostics::Active())
            {
            ReportSkipped(token, EOutside);
            }
        }

    // The words that made the frame, for reports.
    TPtrC8 beginFrame;
    TPtrC8 numberKeyword;
    if (TZDiagnostics::Active())
        {
        beginFrame.Set(KeywordRead(aLex, KBeginFrame));
        numberKeyword.Set(beginFrame);
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
            frame->FrameNumber(NextValue(aLex, 0, token));
            numberKeyword.Set(token);
            }
        else if (Is(token, KTempo))
            {
            frame->Tempo(NextValue(aLex, KNone, token));
            if (TZDiagnostics::Active())
                {
                if (frame->Tempo() <= 0 && frame->Tempo() != KNone)
                    {
                    TZDiagnosticMessage message;
                    message.AddWord(token).Add(" ").AddNum(frame->Tempo()).Add(": the tempo is left unchanged");
                    TZDiagnostics::Warning(token, message);
                    }
                else
                    {
                    ReportClamp(token, frame->Tempo(), KZTempoMin, KZTempoMax);
                    }
                }
            }
        else if (Is(token, KSound))
            {
            const TInt number = NextValue(aLex, KNone, token);
            if (number > 0)
                {
                TElementName name;
                MakeElementName(name, aMovieName, KSoundInfix, number);
                // Only a sound element is taken; anything else of that name is not.
                CZElement* sound = Element(name);
                frame->Sound(sound);
                if (TZDiagnostics::Active() && (!sound || sound->Type() != SOUND_ELEMENT))
                    {
                    TZDiagnosticMessage message;
                    message.Add("sound ").AddNum(number).Add(" (").AddWord(name)
                        .Add(sound ? ") is not a sound" : ") not loaded").Add(": the frame has no sound");
                    TZDiagnostics::Error(token, message);
                    }
                }
            else if (TZDiagnostics::Active() && number != KNone)
                {
                TZDiagnosticMessage message;
                message.AddWord(token).Add(" ").AddNum(number).Add(": the frame has no sound");
                TZDiagnostics::Warning(token, message);
                }
            }
        else if (Is(token, KBeginSprite))
            {
            LoadMovieSpriteL(aLex, frame, aMovieName);
            }
        else if (TZDiagnostics::Active())
            {
            ReportSkipped(token, EFrameBlock);
            }
        }

    // What the player will say, for the report: it refuses a number out of range or not
    // after the last frame's.
    TInt lastNumber = 0;
    if (TZDiagnostics::Active() && iPlayer->iFrameList->Count() > 0)
        {
        lastNumber = iPlayer->iFrameList->At(iPlayer->iFrameList->Count() - 1)->FrameNumber();
        }
    if (complete && iPlayer->FrameAddL(frame))
        {
        CleanupStack::Pop(frame);   // the player has it
        }
    else
        {
        if (TZDiagnostics::Active())
            {
            TZDiagnosticMessage message;
            const TInt number = frame->FrameNumber();
            if (!complete)
                {
                message.Add("frame without \"EFrm\" at the end of the data: dropped");
                TZDiagnostics::Error(beginFrame, message);
                }
            else
                {
                message.Add("frame ").AddNum(number);
                if (number < 1)
                    {
                    message.Add(" refused (frames are numbered from 1)");
                    }
                else if (number > iPlayer->iFrameCount)
                    {
                    message.Add(" refused (above the frame count ").AddNum(iPlayer->iFrameCount).Add(")");
                    }
                else
                    {
                    message.Add(" after ").AddNum(lastNumber).Add(" refused");
                    }
                message.Add(": its records are skipped");
                TZDiagnostics::Error(numberKeyword, message);
                }
            }
        // Refused (number out of range or not after the last frame's) or unfinished.
        CleanupStack::PopAndDestroy(frame);
        }
    return complete;
    }

void CZController::LoadMovieSpriteL(TLex8& aLex, CZFrame* aFrame, TPtrC aMovieName)
    {
    TSpriteRecord r;
    TRecordWords words;
    if (TZDiagnostics::Active())
        {
        words.iBegin.Set(KeywordRead(aLex, KBeginSprite));
        }
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
            r.iChannel = NextValue(aLex, 0, token);
            words.iChannel.Set(token);
            }
        else if (Is(token, KLocation))
            {
            r.iLoc.iX = NextValue(aLex, 0, token);
            r.iLoc.iY = NextValue(aLex, 0, token);
            }
        else if (Is(token, KAngle))
            {
            r.iAngle = NextValue(aLex, 0, token);
            }
        else if (Is(token, KLifeTime))
            {
            r.iLifeTime = NextValue(aLex, 0, token);
            }
        else if (Is(token, KBlend))
            {
            r.iBlend = NextValue(aLex, 100, token);
            words.iBlend.Set(token);
            }
        else if (Is(token, KTransition))
            {
            r.iTransition = NextValue(aLex, 0, token);
            r.iTransitionTime = NextValue(aLex, 0, token);
            }
        else if (Is(token, KBitmap))
            {
            words.Content(token);
            r.ContentClear();
            r.iBitmap = NextValue(aLex, KNone, token);
            }
        else if (Is(token, KRegPoint))
            {
            r.iRegPoint.iX = NextValue(aLex, 0, token);
            r.iRegPoint.iY = NextValue(aLex, 0, token);
            words.iRegPoint.Set(token);
            }
        else if (Is(token, KMask))
            {
            r.iMask = ETrue;
            words.iMask.Set(token);
            }
        else if (Is(token, KSize))
            {
            r.iWidth = NextValue(aLex, KNone, token);
            r.iHeight = NextValue(aLex, KNone, token);
            words.iSize.Set(token);
            }
        else if (Is(token, KLine) || Is(token, KArc) || Is(token, KRect) || Is(token, KEllipse)
                 || Is(token, KPie) || Is(token, KRoundRect))
            {
            words.Content(token);
            r.ContentClear();
            r.iShapeType = Is(token, KLine) ? LINE : Is(token, KArc) ? ARC : Is(token, KRect) ? RECT
                : Is(token, KEllipse) ? ELLIPSE : Is(token, KPie) ? PIE : ROUNDRECT;
            }
        else if (Is(token, KBrushColor))
            {
            r.iBrushColor = NextValue(aLex, 0, token);
            words.iBrushColor.Set(token);
            }
        else if (Is(token, KBrushStyle))
            {
            r.iBrushStyle = NextValue(aLex, CGraphicsContext::ENullBrush, token);
            words.iBrushStyle.Set(token);
            }
        else if (Is(token, KPenColor))
            {
            r.iPenColor = NextValue(aLex, 0, token);
            words.iPenColor.Set(token);
            }
        else if (Is(token, KPenStyle))
            {
            r.iPenStyle = NextValue(aLex, CGraphicsContext::ESolidPen, token);
            words.iPenStyle.Set(token);
            }
        else if (Is(token, KPenSize))
            {
            r.iPenSize.iWidth = NextValue(aLex, 1, token);
            r.iPenSize.iHeight = NextValue(aLex, 1, token);
            words.iPenSize.Set(token);
            }
        else if (Is(token, KPoint))
            {
            // The first two points count; further ones are read and ignored.
            TPoint point;
            point.iX = NextValue(aLex, 0, token);
            point.iY = NextValue(aLex, 0, token);
            if (words.iPoint.Length() == 0)
                {
                words.iPoint.Set(token);
                }
            if (r.iPoints == 2 && TZDiagnostics::Active())
                {
                TZDiagnosticMessage message;
                message.Add("more than two ").AddWord(token).Add(" in a record: this one is ignored");
                TZDiagnostics::Warning(token, message);
                }
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
            r.iCornerSize.iWidth = NextValue(aLex, 0, token);
            r.iCornerSize.iHeight = NextValue(aLex, 0, token);
            words.iCornerSize.Set(token);
            }
        else if (Is(token, KText))
            {
            words.Content(token);
            r.ContentClear();
            r.iText = NextValue(aLex, KNone, token);
            }
        else if (Is(token, KShape))
            {
            words.Content(token);
            r.ContentClear();
            r.iShape = NextValue(aLex, KNone, token);
            }
        else if (TZDiagnostics::Active())
            {
            ReportSkipped(token, ESpriteBlock);
            }
        }

    if (!complete || r.iChannel < 1)
        {
        if (TZDiagnostics::Active())
            {
            TZDiagnosticMessage message;
            if (!complete)
                {
                message.Add("sprite record without \"ESp\" at the end of the data: dropped");
                TZDiagnostics::Error(words.iBegin, message);
                }
            else if (words.iChannel.Length() == 0)
                {
                message.Add("sprite record without a channel (\"C\"): dropped");
                TZDiagnostics::Error(words.iBegin, message);
                }
            else
                {
                message.Add("channel ").AddNum(r.iChannel).Add(" below 1: record dropped");
                TZDiagnostics::Error(words.iChannel, message);
                }
            }
        return;
        }
    if (TZDiagnostics::Active())
        {
        ReportRecordValues(r, words);
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
            if (TZDiagnostics::Active())
                {
                ReportUnknownElement(words.iContent, name);
                }
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
            if (TZDiagnostics::Active())
                {
                ReportUnknownElement(words.iContent, name);
                }
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
            if (TZDiagnostics::Active())
                {
                ReportUnknownElement(words.iContent, name);
                }
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
