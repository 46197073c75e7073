// ZControllerText.cpp
//
// Texts and vector shapes from their description strings, and the resource files that
// hold any number of such strings.
//
// A description string is tokens separated by white space. An optional header between
// "BHd" and "EHd" holds keywords with their values (keywords folded; a missing value
// gives the keyword's default, a value that is not a number its bad-value result). After
// the header comes the content: the text itself, or the points of the shape as x y pairs.
//
// A resource file holds, after "BRes", resources between "#BTxt" and "#ETxt" (shapes:
// "#BShp" and "#EShp"); each resource is a description string, byte by byte widened.

#include "Zolvane.h"

#include "ZDiagnostics.h"

namespace
{
_LIT(KTextsDir, "Texts");
_LIT(KShapesDir, "Shapes");
_LIT(KTextSuffix, "_txt_");
_LIT(KShapeSuffix, "_shp_");
_LIT(KHeaderBegin, "BHd");
_LIT(KHeaderEnd, "EHd");

// Text header.
_LIT(KFont, "Fnt");
_LIT(KItalic, "I");
_LIT(KBold, "B");
_LIT(KAlign, "Alg");
_LIT(KRect, "R");
_LIT(KColor, "Clr");
_LIT(KLineHeight, "LHt");
_LIT(KLineFeedHeight, "LFHt");
_LIT(KAlignLeft, "Lt");
_LIT(KAlignCenter, "Cr");
_LIT(KAlignRight, "Rt");
_LIT(KFontArial, "Arial");
_LIT(KFontCourier, "Courier");
_LIT(KFontRoman, "Roman");
const TInt KTextFontSizeDefault = 12;
const TInt KTextWidthDefault = 200;
const TInt KTextWidthBad = 1;
const TInt KTextLineFeedDefault = 10;
const TInt KTextLineHeightMax = 200;    // the text element holds line heights to 0..200

// Shape header.
_LIT(KBrushColor, "BClr");
_LIT(KBrushStyle, "BStl");
_LIT(KPenColor, "PClr");
_LIT(KPenStyle, "PStl");
_LIT(KPenSize, "PSze");
_LIT(KRegPoint, "RPnt");
_LIT(KPointCount, "PntCt");
const TInt KBrushStyleMax = 8;
const TInt KPenStyleMax = 5;
const TInt KPenSizeMax = 128;
// A new shape is made with at most this many points from its header alone; more points
// come only from the point data itself, so the header cannot make the engine allocate
// what the data does not hold.
const TInt KPointCountMax = ELEMENT_POINT_MAX + 1;

// Resource files.
_LIT8(KResourcesBegin, "BRes");
_LIT8(KTextBegin, "#BTxt");
_LIT8(KTextEnd, "#ETxt");
_LIT8(KShapeBegin, "#BShp");
_LIT8(KShapeEnd, "#EShp");
const TInt KBaseNameMax = 64;
const TInt KElementNameMax = 80;

inline TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
    {
    return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
    }

// ---- Reports to the diagnostics observer (made only while one is set)

void ReportWarning(const TDesC& aWord, const TZDiagnosticMessage& aMessage)
    {
    TZDiagnostics::Warning(aWord, aMessage);
    }

// aKeyword's value aValue held to aMin..aMax.
void ReportClamp(const TDesC& aKeyword, TInt aValue, TInt aMin, TInt aMax)
    {
    if (aValue >= aMin && aValue <= aMax)
        {
        return;
        }
    TZDiagnosticMessage message;
    message.AddWord(aKeyword).Add(" ").AddNum(aValue).Add(" clamped to ").AddNum(aValue < aMin ? aMin : aMax);
    ReportWarning(aKeyword, message);
    }

// The next token as the value of aKeyword: aMissing when there is no token, aBad when
// the token does not start with a number (it is consumed all the same).
TInt NextNumber(TLex& aLex, TInt aMissing, TInt aBad, const TDesC& aKeyword)
    {
    const TPtrC token(aLex.NextToken());
    if (token.Length() == 0)
        {
        if (TZDiagnostics::Active())
            {
            TZDiagnosticMessage message;
            message.AddWord(aKeyword).Add(" has no value at the end of the description: ").AddNum(aMissing)
                .Add(" used");
            ReportWarning(aKeyword, message);
            }
        return aMissing;
        }
    TLex number(token);
    TInt value = 0;
    if (number.Val(value) == KErrNone)
        {
        return value;
        }
    if (TZDiagnostics::Active())
        {
        TZDiagnosticMessage message;
        message.AddWord(token).Add(" is not a number for ").AddWord(aKeyword).Add(": ").AddNum(aBad).Add(" used");
        ReportWarning(token, message);
        }
    return aBad;
    }

// Skips tokens up to and including the header's begin keyword; EFalse if there is none.
TBool SkipToHeader(TLex& aLex)
    {
    for (;;)
        {
        const TPtrC token(aLex.NextToken());
        if (token.Length() == 0)
            {
            return EFalse;
            }
        if (token.CompareF(KHeaderBegin) == 0)
            {
            return ETrue;
            }
        }
    }

// What a text header sets.
struct TTextHeader
    {
    TPtrC iFontName;
    TInt iFontSize;
    TBool iBold;
    TBool iItalic;
    TInt iAlignment;
    TInt iWidth;
    TInt iColor;
    TInt iLineHeight;
    TInt iLineFeedHeight;
    };

// Reads header keywords up to "EHd"; ETrue when "EHd" was reached.
TBool ReadTextHeader(TLex& aLex, TTextHeader& aHeader)
    {
    for (;;)
        {
        const TPtrC token(aLex.NextToken());
        if (token.Length() == 0)
            {
            return EFalse;
            }
        if (token.CompareF(KHeaderEnd) == 0)
            {
            return ETrue;
            }
        if (token.CompareF(KFont) == 0)
            {
            const TPtrC name(aLex.NextToken());
            if (name.CompareF(KFontArial) == 0 || name.CompareF(KFontCourier) == 0 || name.CompareF(KFontRoman) == 0)
                {
                aHeader.iFontName.Set(name);
                }
            else if (TZDiagnostics::Active())
                {
                TZDiagnosticMessage message;
                if (name.Length() == 0)
                    {
                    message.AddWord(token).Add(" has no font name at the end of the description: font name unchanged");
                    ReportWarning(token, message);
                    }
                else
                    {
                    message.Add("font ").AddWord(name)
                        .Add(" unknown (\"Arial\", \"Courier\" or \"Roman\"): font name unchanged");
                    ReportWarning(name, message);
                    }
                }
            aHeader.iFontSize = NextNumber(aLex, KTextFontSizeDefault, KTextFontSizeDefault, token);
            }
        else if (token.CompareF(KItalic) == 0)
            {
            aHeader.iItalic = ETrue;
            }
        else if (token.CompareF(KBold) == 0)
            {
            aHeader.iBold = ETrue;
            }
        else if (token.CompareF(KAlign) == 0)
            {
            const TPtrC word(aLex.NextToken());
            if (word.CompareF(KAlignLeft) == 0)
                {
                aHeader.iAlignment = CGraphicsContext::ELeft;
                }
            else if (word.CompareF(KAlignCenter) == 0)
                {
                aHeader.iAlignment = CGraphicsContext::ECenter;
                }
            else if (word.CompareF(KAlignRight) == 0)
                {
                aHeader.iAlignment = CGraphicsContext::ERight;
                }
            else if (TZDiagnostics::Active())
                {
                TZDiagnosticMessage message;
                message.Add("alignment ").AddWord(word).Add(" unknown (\"Lt\", \"Cr\" or \"Rt\"): alignment unchanged");
                ReportWarning(word.Length() > 0 ? word : token, message);
                }
            }
        else if (token.CompareF(KRect) == 0)
            {
            aHeader.iWidth = NextNumber(aLex, KTextWidthDefault, KTextWidthBad, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iWidth, 1, KMaxTInt);
                }
            aLex.NextToken();   // the height: read and not used
            }
        else if (token.CompareF(KColor) == 0)
            {
            aHeader.iColor = NextNumber(aLex, 0, 0, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iColor, 0, KZColorMax);
                }
            }
        else if (token.CompareF(KLineHeight) == 0)
            {
            aHeader.iLineHeight = NextNumber(aLex, 0, 0, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iLineHeight, 0, KTextLineHeightMax);
                }
            }
        else if (token.CompareF(KLineFeedHeight) == 0)
            {
            aHeader.iLineFeedHeight = NextNumber(aLex, KTextLineFeedDefault, KTextLineFeedDefault, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iLineFeedHeight, 0, KTextLineHeightMax);
                }
            }
        }
    }

// The words before a text header's "BHd" (discarded), and a header that does not end.
// aLex stands just after "BHd".
void ReportTextHeaderStart(const TDesC& aText, const TLex& aLex)
    {
    TLex before(aText);
    before.SkipSpace();
    const TPtrC first(before.Remainder());
    TLex probe(aLex);
    const TPtrC rest(probe.Remainder());
    const TInt headerAt = aText.Length() - rest.Length() - KHeaderBegin().Length();
    if (first.Length() - rest.Length() - KHeaderBegin().Length() > 0)
        {
        TZDiagnosticMessage message;
        message.Add("text before \"BHd\" discarded");
        TZDiagnostics::Error(first, message);
        }
    TBool complete = EFalse;
    for (;;)
        {
        const TPtrC token(probe.NextToken());
        if (token.Length() == 0)
            {
            break;
            }
        if (token.CompareF(KHeaderEnd) == 0)
            {
            complete = ETrue;
            break;
            }
        }
    if (!complete)
        {
        TZDiagnosticMessage message;
        message.Add("text header without \"EHd\": the text is empty and the header is ignored");
        TZDiagnostics::Error(aText.Mid(headerAt), message);
        }
    }

// What a shape header sets.
struct TShapeHeader
    {
    TInt iBrushColor;
    TInt iBrushStyle;
    TInt iPenColor;
    TInt iPenStyle;
    TInt iPenSize;
    TInt iRegX;
    TInt iRegY;
    TInt iPointCount;
    };

// Reads header keywords up to "EHd"; ETrue when "EHd" was reached.
TBool ReadShapeHeader(TLex& aLex, TShapeHeader& aHeader)
    {
    for (;;)
        {
        const TPtrC token(aLex.NextToken());
        if (token.Length() == 0)
            {
            return EFalse;
            }
        if (token.CompareF(KHeaderEnd) == 0)
            {
            return ETrue;
            }
        if (token.CompareF(KBrushColor) == 0)
            {
            aHeader.iBrushColor = NextNumber(aLex, KZColorMax, KZColorMax, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iBrushColor, 0, KZColorMax);
                }
            }
        else if (token.CompareF(KBrushStyle) == 0)
            {
            aHeader.iBrushStyle = NextNumber(aLex, CGraphicsContext::ENullBrush, CGraphicsContext::ENullBrush, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iBrushStyle, 0, KBrushStyleMax);
                }
            }
        else if (token.CompareF(KPenColor) == 0)
            {
            aHeader.iPenColor = NextNumber(aLex, 0, 0, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iPenColor, 0, KZColorMax);
                }
            }
        else if (token.CompareF(KPenStyle) == 0)
            {
            aHeader.iPenStyle = NextNumber(aLex, CGraphicsContext::ESolidPen, CGraphicsContext::ESolidPen, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iPenStyle, 0, KPenStyleMax);
                }
            }
        else if (token.CompareF(KPenSize) == 0)
            {
            aHeader.iPenSize = NextNumber(aLex, 1, 1, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iPenSize, 0, KPenSizeMax);
                }
            }
        else if (token.CompareF(KRegPoint) == 0)
            {
            aHeader.iRegX = NextNumber(aLex, 0, 0, token);
            aHeader.iRegY = NextNumber(aLex, 0, 0, token);
            }
        else if (token.CompareF(KPointCount) == 0)
            {
            aHeader.iPointCount = NextNumber(aLex, 1, 1, token);
            if (TZDiagnostics::Active())
                {
                ReportClamp(token, aHeader.iPointCount, 1, KPointCountMax);
                }
            }
        }
    }

// One x y pair of the point data: the point's number and its value. A token that is not
// a number takes the place of a coordinate and leaves its point number unused.
struct TPointReader
    {
    // aReport: tell the diagnostics observer about words that are not coordinates.
    TPointReader(TPtrC aData, TBool aReport) : iLex(aData), iIndex(0), iReport(aReport) {}
    // EFalse at the end of the data.
    TBool Next(TInt& aIndex, TPoint& aPoint)
        {
        for (;;)
            {
            const TPtrC xToken(iLex.NextToken());
            if (xToken.Length() == 0)
                {
                return EFalse;
                }
            iIndex++;
            TLex x(xToken);
            if (x.Val(aPoint.iX) != KErrNone)
                {
                Stray(xToken);
                continue;
                }
            const TPtrC yToken(iLex.NextToken());
            if (yToken.Length() == 0)
                {
                if (iReport)
                    {
                    TZDiagnosticMessage message;
                    message.Add("point ").AddNum(iIndex).Add(" has no y value: dropped");
                    TZDiagnostics::Error(xToken, message);
                    }
                return EFalse;
                }
            TLex y(yToken);
            if (y.Val(aPoint.iY) != KErrNone)
                {
                Stray(yToken);
                continue;
                }
            if (iReport)
                {
                Range(xToken, aPoint.iX);
                Range(yToken, aPoint.iY);
                }
            aIndex = iIndex;
            return ETrue;
            }
        }
    void Stray(const TDesC& aWord)
        {
        if (iReport)
            {
            TZDiagnosticMessage message;
            message.AddWord(aWord).Add(" is not a number: point ").AddNum(iIndex)
                .Add(" is left unused and the pairing of the following coordinates shifts by one");
            TZDiagnostics::Error(aWord, message);
            }
        }
    void Range(const TDesC& aWord, TInt aValue)
        {
        if (aValue < ELEMENT_POINT_MIN || aValue > ELEMENT_POINT_MAX)
            {
            TZDiagnosticMessage message;
            message.Add("coordinate ").AddNum(aValue).Add(" of point ").AddNum(iIndex).Add(" clamped to ")
                .AddNum(aValue < ELEMENT_POINT_MIN ? ELEMENT_POINT_MIN : ELEMENT_POINT_MAX);
            TZDiagnostics::Warning(aWord, message);
            }
        }
    TLex iLex;
    TInt iIndex;
    TBool iReport;
    };

// base + aSuffix + aNumber, the base cut to 64 characters.
void ResourceName(TDes& aName, TPtrC aBase, const TDesC& aSuffix, TInt aNumber)
    {
    aName.Copy(aBase.Left(KBaseNameMax));
    aName.Append(aSuffix);
    aName.AppendNum(aNumber);
    }
}

// ---------------------------------------------------------------------------------------
// Texts

EXPORT_C CZElement* CZController::ElementTextAdd(TPtrC aText, TPtrC aName)
    {
    TTextHeader header;
    header.iFontName.Set(KFontCourier);
    header.iFontSize = KTextFontSizeDefault;
    header.iBold = EFalse;
    header.iItalic = EFalse;
    header.iAlignment = CGraphicsContext::ELeft;
    header.iWidth = KTextWidthDefault;
    header.iColor = 0;
    header.iLineHeight = 0;
    header.iLineFeedHeight = KTextLineFeedDefault;

    TLex lex(aText);
    TBool complete = EFalse;
    TPtrC content;
    if (SkipToHeader(lex))
        {
        if (TZDiagnostics::Active())
            {
            ReportTextHeaderStart(aText, lex);
            }
        complete = ReadTextHeader(lex, header);
        if (complete)
            {
            lex.SkipSpace();
            content.Set(lex.Remainder());
            }
        }
    else
        {
        TLex whole(aText);
        whole.SkipSpace();
        content.Set(whole.Remainder());
        }

    CZElement* element = Element(aName);
    CZElementText* text = NULL;
    TBool isNew = EFalse;
    if (element)
        {
        if (element->Type() != TEXT_ELEMENT)
            {
            return NULL;
            }
        text = static_cast<CZElementText*>(element->Element());
        }
    else
        {
        TRAPD(err,
            {
            CZElementText* created = CZElementText::NewLC();
            element = new (ELeave) CZElement;
            element->Element(created);
            CleanupStack::Pop(created);
            });
        if (err != KErrNone)
            {
            return NULL;
            }
        text = static_cast<CZElementText*>(element->Element());
        isNew = ETrue;
        }

    // The content first: it is the only step that can fail, so an existing element that
    // cannot take the new content keeps its content and its settings.
    TRAPD(err, text->TextSetDesL(content));
    if (err != KErrNone)
        {
        if (isNew)
            {
            delete element;
            }
        return NULL;
        }
    if (complete)
        {
        text->WidthSet(header.iWidth);
        text->ColorSet(TRgb(static_cast<TUint32>(Clamp(header.iColor, 0, KZColorMax))));
        text->AlignmentSet(static_cast<CGraphicsContext::TTextAlign>(Clamp(header.iAlignment, 0, 2)));
        text->FontSet(header.iFontName, header.iFontSize, header.iBold ? EStrokeWeightBold : EStrokeWeightNormal,
                      header.iItalic ? EPostureItalic : EPostureUpright);
        text->LineHeightSet(header.iLineHeight);
        text->LineFeedHeightSet(header.iLineFeedHeight);
        }
    else if (text->Font())
        {
        text->HeightSet(text->Font()->HeightInPixels());
        }

    if (isNew)
        {
        if (!element->Name(aName))
            {
            delete element;
            return NULL;
            }
        TRAP(err, iTextList->AppendL(element));
        if (err != KErrNone)
            {
            delete element;
            return NULL;
            }
        }
    return element;
    }

// ---------------------------------------------------------------------------------------
// Vector shapes

EXPORT_C CZElement* CZController::ElementShapeAdd(TPtrC aText, TPtrC aName)
    {
    CZElement* element = Element(aName);
    if (element && element->Type() != SHAPE_ELEMENT)
        {
        return NULL;
        }

    TShapeHeader header;
    header.iBrushColor = KZColorMax;
    header.iBrushStyle = CGraphicsContext::ENullBrush;
    header.iPenColor = 0;
    header.iPenStyle = CGraphicsContext::ESolidPen;
    header.iPenSize = 1;
    header.iRegX = 0;
    header.iRegY = 0;
    header.iPointCount = 1;

    TLex lex(aText);
    TPtrC points;
    if (SkipToHeader(lex))
        {
        const TBool complete = ReadShapeHeader(lex, header);
        points.Set(lex.Remainder());
        if (!complete && TZDiagnostics::Active())
            {
            TZDiagnosticMessage message;
            message.Add("shape header without \"EHd\": no points are read");
            TZDiagnostics::Error(aText.Left(0), message);
            }
        }
    else if (TZDiagnostics::Active())
        {
        TZDiagnosticMessage message;
        message.Add("shape without \"BHd\": no points are read, the shape has default look and one point");
        TZDiagnostics::Error(aText.Left(0), message);
        }
    header.iBrushColor = Clamp(header.iBrushColor, 0, KZColorMax);
    header.iBrushStyle = Clamp(header.iBrushStyle, 0, KBrushStyleMax);
    header.iPenColor = Clamp(header.iPenColor, 0, KZColorMax);
    header.iPenStyle = Clamp(header.iPenStyle, 0, KPenStyleMax);
    header.iPenSize = Clamp(header.iPenSize, 0, KPenSizeMax);
    header.iPointCount = Clamp(header.iPointCount, 1, KPointCountMax);

    // The highest point number the data sets, so that the point lists can be given their
    // room before anything changes: an existing shape that cannot take the new points
    // stays as it was.
    TInt highest = 0;
        {
        TPointReader reader(points, EFalse);
        TInt index = 0;
        TPoint point;
        while (reader.Next(index, point))
            {
            highest = index;
            }
        }

    CZElementShape* shape = NULL;
    const TBool isNew = (element == NULL);
    if (isNew)
        {
        TRAPD(err,
            {
            CZElementShape* created = CZElementShape::NewLC();
            created->ConstructL(header.iPointCount);
            element = new (ELeave) CZElement;
            element->Element(created);
            CleanupStack::Pop(created);
            });
        if (err != KErrNone)
            {
            return NULL;
            }
        }
    shape = static_cast<CZElementShape*>(element->Element());
    TRAPD(err, shape->PointReserveL(highest));
    if (err != KErrNone)
        {
        if (isNew)
            {
            delete element;
            }
        return NULL;
        }

    shape->BrushColorSet(TRgb(static_cast<TUint32>(header.iBrushColor)));
    shape->BrushStyleSet(static_cast<CGraphicsContext::TBrushStyle>(header.iBrushStyle));
    shape->PenColorSet(TRgb(static_cast<TUint32>(header.iPenColor)));
    shape->PenStyleSet(static_cast<CGraphicsContext::TPenStyle>(header.iPenStyle));
    shape->PenSizeSet(TSize(header.iPenSize, header.iPenSize));

    TPointReader reader(points, TZDiagnostics::Active());
    TInt index = 0;
    TPoint point;
    while (reader.Next(index, point))
        {
        if (!shape->PointSet(index, point))
            {
            if (isNew)
                {
                delete element;
                }
            return NULL;
            }
        }
    shape->RegPointSet(TPoint(header.iRegX, header.iRegY));

    if (isNew)
        {
        if (!element->Name(aName))
            {
            delete element;
            return NULL;
            }
        TRAP(err, iShapeList->AppendL(element));
        if (err != KErrNone)
            {
            delete element;
            return NULL;
            }
        }
    return element;
    }

// ---------------------------------------------------------------------------------------
// Resource files

namespace
{
// Finds the next resource between aBegin and aEnd in aLex: its description string (from
// the first non-white-space character after aBegin to the end of the last token before
// aEnd). EFalse when the data ends before a whole resource.
// Resource keywords met where the parser does not look for them: between resources any
// but the begin keyword (aBegin), inside a resource the begin keyword (a nested or
// unfinished resource). aInside: the token lies inside a resource.
void ReportResourceWord(const TDesC8& aToken, const TDesC8& aBegin, const TDesC8& aEnd, TBool aInside)
    {
    const TBool resourceWord = aToken.CompareF(KTextBegin) == 0 || aToken.CompareF(KTextEnd) == 0
        || aToken.CompareF(KShapeBegin) == 0 || aToken.CompareF(KShapeEnd) == 0;
    if (!resourceWord)
        {
        return;
        }
    TZDiagnosticMessage message;
    if (aInside)
        {
        if (aToken.CompareF(aBegin) != 0)
            {
            return;
            }
        message.AddWord(aToken).Add(" inside a resource: taken as part of its description (")
            .AddWord(aEnd).Add(" missing?)");
        }
    else if (aToken.CompareF(aEnd) == 0)
        {
        message.AddWord(aToken).Add(" without ").AddWord(aBegin).Add(": skipped");
        }
    else
        {
        message.AddWord(aToken).Add(aBegin.CompareF(KTextBegin) == 0 ? " in a text resource file" :
                                    " in a shape resource file").Add(": skipped");
        }
    TZDiagnostics::Error(aToken, message);
    }

TBool NextResource(TLex8& aLex, const TDesC8& aBegin, const TDesC8& aEnd, TPtrC8& aResource)
    {
    TPtrC8 begin;
    for (;;)
        {
        const TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0)
            {
            return EFalse;
            }
        if (token.CompareF(aBegin) == 0)
            {
            begin.Set(token);
            break;
            }
        if (TZDiagnostics::Active())
            {
            ReportResourceWord(token, aBegin, aEnd, EFalse);
            }
        }
    aLex.SkipSpace();
    TLexMark8 start;
    aLex.Mark(start);
    TPtrC8 resource(aLex.MarkedToken(start));
    for (;;)
        {
        const TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0)
            {
            if (TZDiagnostics::Active())
                {
                TZDiagnosticMessage message;
                message.Add("resource without ").AddWord(aEnd).Add(" at the end of the data: dropped");
                TZDiagnostics::Error(begin, message);
                }
            return EFalse;
            }
        if (token.CompareF(aEnd) == 0)
            {
            aResource.Set(resource);
            return ETrue;
            }
        if (TZDiagnostics::Active())
            {
            ReportResourceWord(token, aBegin, aEnd, ETrue);
            }
        resource.Set(aLex.MarkedToken(start));
        }
    }

// The element of a resource could not be made: the file load fails.
void ReportResourceFailed(const TDesC8& aResource, TPtrC aElementName)
    {
    TZDiagnosticMessage message;
    message.Add("element ").AddWord(aElementName)
        .Add(" could not be made (the name is taken by another kind of element, or memory ran out): the file load fails");
    TZDiagnostics::Error(aResource, message);
    }

// Widens a resource's bytes one by one to 16-bit characters, on the cleanup stack.
HBufC* WidenLC(const TDesC8& aBytes)
    {
    HBufC* wide = HBufC::NewLC(aBytes.Length());
    wide->Des().Copy(aBytes);
    return wide;
    }

// Reads the next resource between aBegin and aEnd and makes (or updates) its element
// with aAdd(description); the resource's text and shape forms differ only in those.
// A resource that cannot be made leaves with KErrNoMemory.
template <typename TAdd>
void LoadResourceL(TLex8& aLex, const TDesC8& aBegin, const TDesC8& aEnd, TPtrC aElementName, TBool aUnload, TAdd aAdd)
    {
    TPtrC8 resource;
    if (!NextResource(aLex, aBegin, aEnd, resource))
        {
        return;
        }
    HBufC* description = WidenLC(resource);
    CZElement* element = NULL;
        {
        // Reports on the description name the places of its words in the file.
        TZDiagnosticSource source(resource, *description);
        element = aAdd(*description);
        }
    CleanupStack::PopAndDestroy(description);
    if (!element)
        {
        if (TZDiagnostics::Active())
            {
            ReportResourceFailed(resource, aElementName);
            }
        User::Leave(KErrNoMemory);
        }
    element->Unload(aUnload);
    }
}

void CZController::LoadResourceTxtL(TLex8& aLex, TPtrC aElementName, TBool aUnload)
    {
    LoadResourceL(aLex, KTextBegin, KTextEnd, aElementName, aUnload,
                  [&](const TDesC& aDescription) { return ElementTextAdd(aDescription, aElementName); });
    }

void CZController::LoadResourceShpL(TLex8& aLex, TPtrC aElementName, TBool aUnload)
    {
    LoadResourceL(aLex, KShapeBegin, KShapeEnd, aElementName, aUnload,
                  [&](const TDesC& aDescription) { return ElementShapeAdd(aDescription, aElementName); });
    }

namespace
{
// Skips tokens up to and including "BRes"; EFalse if there is none.
TBool SkipToResources(TLex8& aLex)
    {
    for (;;)
        {
        const TPtrC8 token(aLex.NextToken());
        if (token.Length() == 0)
            {
            return EFalse;
            }
        if (token.CompareF(KResourcesBegin) == 0)
            {
            return ETrue;
            }
        }
    }
}

void CZController::LoadResourceFileL(TPtrC aFileName, TPtrC aElementName, TBool aUnload,
                                     const TDesC& aDir, const TDesC& aSuffix,
                                     TResourceParserL aParser)
    {
    TFileName path;
    if (ResolvePath(aFileName, aDir, path) != KErrNone)
        {
        return;
        }
    HBufC8* bytes = ReadFileLC(path, aFileName);
    TZDiagnosticSource source(path, *bytes);
    TLex8 lex(*bytes);
    if (SkipToResources(lex))
        {
        TBuf<KElementNameMax> name;
        for (TInt k = 1; !lex.Eos(); k++)
            {
            ResourceName(name, aElementName, aSuffix, k);
            (this->*aParser)(lex, name, aUnload);
            }
        }
    else if (TZDiagnostics::Active())
        {
        TZDiagnosticMessage message;
        message.Add("\"BRes\" missing: file ignored");
        TZDiagnostics::Error(bytes->Left(0), message);
        }
    CleanupStack::PopAndDestroy(bytes);
    }

EXPORT_C void CZController::LoadFileTextL(TPtrC aFileName, TPtrC aElementName, TBool aUnload)
    {
    LoadResourceFileL(aFileName, aElementName, aUnload, KTextsDir, KTextSuffix,
                      &CZController::LoadResourceTxtL);
    }

EXPORT_C void CZController::LoadFileShapeL(TPtrC aFileName, TPtrC aElementName, TBool aUnload)
    {
    LoadResourceFileL(aFileName, aElementName, aUnload, KShapesDir, KShapeSuffix,
                      &CZController::LoadResourceShpL);
    }
