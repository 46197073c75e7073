// ZElementText.cpp
//
// CZElementText: a text with its font settings and its division into display lines.
// Setters only record what changed; Update() makes the font and divides the lines when
// they are due, so a text that is edited several times in a frame is laid out once.

#include "Zolvane.h"

#include <coemain.h>
#include <fbs.h>

namespace
{
_LIT(KDefaultFontName, "NewCourier");
const TInt KDefaultFontSize = 14;
const TInt KDefaultWrapWidth = 200;
const TInt KDefaultLineFeedHeight = 10;
const TInt KFontSizeMin = 1;
const TInt KFontSizeMax = 100;
const TInt KLineHeightMax = 200;
// The longest content a descriptor can hold.
const TInt KTextLengthMax = 0x0FFFFFFF;
const TText KCarriageReturn = 13;
const TText KLineFeed = 10;

// Requested names that stand for the device's own typefaces.
struct TFontAlias
    {
    const TText* iRequested;
    const TText* iStored;
    };
const TFontAlias KFontAliases[] =
    {
    { reinterpret_cast<const TText*>(u"Arial"), reinterpret_cast<const TText*>(u"SwissA") },
    { reinterpret_cast<const TText*>(u"Roman"), reinterpret_cast<const TText*>(u"System") },
    { reinterpret_cast<const TText*>(u"Courier"), reinterpret_cast<const TText*>(u"Terminal") },
    };

inline TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
    {
    return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
    }

inline TInt Min(TInt aLeft, TInt aRight)
    {
    return aLeft < aRight ? aLeft : aRight;
    }

inline TBool IsBreak(TText aChar)
    {
    return aChar == KCarriageReturn || aChar == KLineFeed;
    }

inline TBool IsSpace(TText aChar)
    {
    return TChar(aChar).IsSpace();
    }
}

CZElementText::CZElementText()
    : CZElementBase(TEXT_ELEMENT),
      iFontName(KDefaultFontName),
      iFontSize(KDefaultFontSize),
      iStrokeWeight(EStrokeWeightNormal),
      iPosture(EPostureUpright),
      iAlignment(CGraphicsContext::ELeft),
      iColor(KRgbBlack),
      iNeedFontUpdate(ETrue),
      iNeedLineUpdate(EFalse),
      iLineFeedHeight(KDefaultLineFeedHeight)
    {
    iWidth = KDefaultWrapWidth;
    }

CZElementText* CZElementText::NewL()
    {
    CZElementText* self = NewLC();
    CleanupStack::Pop(self);
    return self;
    }

CZElementText* CZElementText::NewLC()
    {
    CZElementText* self = new (ELeave) CZElementText();
    CleanupStack::PushL(self);
    return self;
    }

CZElementText::~CZElementText()
    {
    if (iFont && iFontDevice)
        {
        iFontDevice->ReleaseFont(iFont);
        }
    iFont = NULL;
    SAFE_DELETE(iText);
    }

// ---------------------------------------------------------------------------------------
// Content

void CZElementText::ContentSet(HBufC* aText)
    {
    delete iText;
    iText = aText;
    iNeedLineUpdate = ETrue;
    Changed();
    }

TPtrC CZElementText::Text() const
    {
    return iText ? TPtrC(*iText) : TPtrC();
    }

void CZElementText::TextSetDesL(TPtrC aText)
    {
    HBufC* copy = aText.AllocL();
    ContentSet(copy);
    Mem::FillZ(iLineStart, sizeof(iLineStart));
    Mem::FillZ(iLineEnd, sizeof(iLineEnd));
    iLineCount = 0;
    }

void CZElementText::TextInsertL(TPtrC aText, TInt aPos)
    {
    if (!iText)
        {
        return;
        }
    const TInt length = iText->Length();
    const TInt pos = aPos == -1 ? length : Clamp(aPos, 0, length);
    if (static_cast<TInt64>(length) + aText.Length() > KTextLengthMax)
        {
        User::Leave(KErrNoMemory);
        }
    HBufC* text = HBufC::NewL(length + aText.Length());
    TPtr des(text->Des());
    des.Copy(iText->Left(pos));
    des.Append(aText);
    des.Append(iText->Mid(pos));
    ContentSet(text);
    }

void CZElementText::TextRemoveL(TInt aPos, TInt aCount)
    {
    if (!iText)
        {
        return;
        }
    const TInt length = iText->Length();
    const TInt pos = Clamp(aPos, 0, length);
    const TInt count = Clamp(aCount, 0, length - pos);
    HBufC* text = HBufC::NewL(length - count);
    TPtr des(text->Des());
    des.Copy(iText->Left(pos));
    des.Append(iText->Mid(pos + count));
    ContentSet(text);
    }

// ---------------------------------------------------------------------------------------
// Settings

void CZElementText::FontSet(TPtrC aFontName)
    {
    TPtrC name(aFontName.Left(KZTextFontNameMax));
    for (const TFontAlias& alias : KFontAliases)
        {
        if (aFontName.CompareF(TPtrC(alias.iRequested)) == 0)
            {
            name.Set(TPtrC(alias.iStored));
            break;
            }
        }
    if (name.Compare(iFontName) != 0)
        {
        iFontName = name;
        Changed();
        iNeedFontUpdate = ETrue;
        }
    }

void CZElementText::FontSet(TPtrC aFontName, TInt aFontSize, TFontStrokeWeight aStrokeWeight, TFontPosture aPosture)
    {
    // The size is taken as given here: the description formats bound it themselves.
    if (aFontSize != iFontSize)
        {
        iFontSize = aFontSize;
        Changed();
        iNeedFontUpdate = ETrue;
        }
    FontStrokeWeightSet(aStrokeWeight);
    FontPostureSet(aPosture);
    FontSet(aFontName);
    }

void CZElementText::FontSizeSet(TInt aFontSize)
    {
    const TInt size = Clamp(aFontSize, KFontSizeMin, KFontSizeMax);
    if (size != iFontSize)
        {
        iFontSize = size;
        Changed();
        iNeedFontUpdate = ETrue;
        }
    }

void CZElementText::FontStrokeWeightSet(TFontStrokeWeight aStrokeWeight)
    {
    if (aStrokeWeight != iStrokeWeight)
        {
        iStrokeWeight = aStrokeWeight;
        Changed();
        iNeedFontUpdate = ETrue;
        }
    }

void CZElementText::FontPostureSet(TFontPosture aPosture)
    {
    if (aPosture != iPosture)
        {
        iPosture = aPosture;
        Changed();
        iNeedFontUpdate = ETrue;
        }
    }

void CZElementText::AlignmentSet(CGraphicsContext::TTextAlign aAlignment)
    {
    if (aAlignment != iAlignment)
        {
        iAlignment = aAlignment;
        Changed();
        }
    }

void CZElementText::ColorSet(TRgb aColor)
    {
    if (aColor != iColor)
        {
        iColor = aColor;
        Changed();
        }
    }

// The components are summed into one colour value, not cut to a byte each, and the sum is
// clamped like every other colour setting; it is formed in 64 bits so it cannot overflow.
void CZElementText::ColorSet(TInt aRed, TInt aGreen, TInt aBlue)
    {
    TInt64 value = TInt64(aRed) + TInt64(aGreen) * 256 + TInt64(aBlue) * 65536;
    if (value < 0)
        {
        value = 0;
        }
    else if (value > KZColorMax)
        {
        value = KZColorMax;
        }
    ColorSet(TRgb(static_cast<TUint32>(value)));
    }

void CZElementText::WidthSet(TInt aWidth)
    {
    CZElementBase::WidthSet(aWidth);
    iNeedLineUpdate = ETrue;
    }

void CZElementText::LineHeightSet(TInt aLineHeight)
    {
    const TInt height = Clamp(aLineHeight, 0, KLineHeightMax);
    if (height != iLineHeight)
        {
        iLineHeight = height;
        Changed();
        }
    }

void CZElementText::LineFeedHeightSet(TInt aLineFeedHeight)
    {
    const TInt height = Clamp(aLineFeedHeight, 0, KLineHeightMax);
    if (height != iLineFeedHeight)
        {
        iLineFeedHeight = height;
        Changed();
        }
    }

// ---------------------------------------------------------------------------------------
// Font and layout

TPtrC CZElementText::FontName()
    {
    Update();
    return TPtrC(iFontName);
    }

TInt CZElementText::LineHeight()
    {
    Update();
    if (!iFont)
        {
        return 1;
        }
    if (iLineHeight != 0)
        {
        return iLineHeight;
        }
    return (iFont->HeightInPixels() * 11 + 5) / 10 + 2;
    }

TInt CZElementText::LineCount()
    {
    Update();
    return iLineCount;
    }

TPtrC CZElementText::Line(TInt aNumber, TBool& aCRLF)
    {
    aCRLF = EFalse;
    Update();
    const TPtrC text(Text());
    if (aNumber < 0 || aNumber >= iLineCount)
        {
        return TPtrC();
        }
    const TInt start = iLineStart[aNumber];
    const TInt end = Min(iLineEnd[aNumber], text.Length());
    if (start >= end)
        {
        return TPtrC();
        }
    if (aNumber > 0)
        {
        const TInt previousEnd = iLineEnd[aNumber - 1];
        if (previousEnd >= 0 && previousEnd < text.Length() && IsBreak(text[previousEnd]))
            {
            aCRLF = ETrue;
            }
        }
    return text.Mid(start, end - start);
    }

TInt CZElementText::Height()
    {
    const TInt lineHeight = LineHeight();
    const TInt count = LineCount();
    const TPtrC text(Text());
    TInt64 height = static_cast<TInt64>(lineHeight) * (count - 1) + iHeight;
    for (TInt i = 1; i < count; i++)
        {
        const TInt previousEnd = iLineEnd[i - 1];
        if (previousEnd >= 0 && previousEnd < text.Length() && IsBreak(text[previousEnd]))
            {
            height += iLineFeedHeight;
            }
        }
    return static_cast<TInt>(height);
    }

TInt CZElementText::Update()
    {
    TInt result = 1;
    if (iNeedFontUpdate)
        {
        iNeedFontUpdate = EFalse;
        iNeedLineUpdate = ETrue;
        TRAPD(err, FontSetL());
        if (err != KErrNone)
            {
            iNeedFontUpdate = ETrue;
            result = 0;
            }
        }
    if (iNeedLineUpdate)
        {
        iNeedLineUpdate = EFalse;
        LineDivide();
        }
    return result;
    }

void CZElementText::FontSetL()
    {
    // The nearest screen font of the control environment's screen device.
    CCoeEnv* env = CCoeEnv::Static();
    CGraphicsDevice* device = env ? env->ScreenDevice() : NULL;
    if (!device)
        {
        User::Leave(KErrNotReady);
        }
    TFontSpec fontSpec(iFontName, device->VerticalPixelsToTwips(iFontSize));
    fontSpec.iFontStyle.SetStrokeWeight(iStrokeWeight);
    fontSpec.iFontStyle.SetPosture(iPosture);
    CFont* font = NULL;
    User::LeaveIfError(device->GetNearestFontInTwips(font, fontSpec));
    if (iFont && iFontDevice)
        {
        iFontDevice->ReleaseFont(iFont);
        }
    iFont = static_cast<CFbsFont*>(font);
    iFontDevice = device;
    iFontName = iFont->FontSpecInTwips().iTypeface.Name().Left(KZTextFontNameMax);
    if (iText)
        {
        HeightSet(iFont->HeightInPixels());
        }
    Changed();
    }

TPtrC CZElementText::FirstLine(TPtrC aText, TInt& aBreakLength)
    {
    const TInt length = aText.Length();
    for (TInt i = 0; i < length; i++)
        {
        if (aText[i] == KCarriageReturn)
            {
            aBreakLength = (i + 1 < length && aText[i + 1] == KLineFeed) ? 2 : 1;
            return aText.Left(i);
            }
        if (aText[i] == KLineFeed)
            {
            aBreakLength = 1;
            return aText.Left(i);
            }
        }
    aBreakLength = 0;
    return aText;
    }

// Divides the content into lines. Widths are those of the font for the exact run; the
// host's fonts do not kern, so the width of a run is the sum of the widths of its parts
// and runs are measured by adding up pieces instead of measuring from the line's start
// again for every token, which keeps the work linear in the length of the text.
void CZElementText::LineDivide()
    {
    if (!iFont)
        {
        return;
        }
    Mem::FillZ(iLineStart, sizeof(iLineStart));
    Mem::FillZ(iLineEnd, sizeof(iLineEnd));
    iLineCount = 0;
    const TPtrC text(Text());
    const TInt length = text.Length();
    const TInt width = iWidth;
    TInt i = 0;

    if (iFont->TextWidthInPixels(text) <= width)
        {
        // Everything fits: one line per paragraph.
        TInt pos = 0;
        do
            {
            TInt breakLength = 0;
            const TPtrC paragraph(FirstLine(text.Mid(pos), breakLength));
            iLineStart[i] = pos;
            iLineEnd[i] = pos + paragraph.Length();
            i++;
            pos += paragraph.Length() + breakLength;
            }
        while (pos < length && i < KZTextLinesMax);
        iLineCount = i;
        return;
        }

    // Wrapping, paragraph by paragraph.
    auto measure = [this, &text](TInt aFrom, TInt aTo) -> TInt64
        {
        return aTo > aFrom ? iFont->TextWidthInPixels(text.Mid(aFrom, aTo - aFrom)) : 0;
        };
    TInt pos = 0;
    while (pos < length && i < KZTextLinesMax)
        {
        TInt breakLength = 0;
        const TPtrC paragraph(FirstLine(text.Mid(pos), breakLength));
        const TInt paragraphEnd = pos + paragraph.Length();
        if (paragraph.Length() == 0)
            {
            iLineStart[i] = pos;
            iLineEnd[i] = pos;
            i++;
            }
        else
            {
            TInt c = pos;           // token cursor
            TInt s = pos;           // start of the line being made
            TInt b = pos;           // break point: end of the longest fitting run
            TInt next = pos;        // start of the following line
            TInt64 runWidth = 0;    // width of s..c
            TInt64 fitWidth = 0;    // width of s..b while b > s
            while (i < KZTextLinesMax - 1 && c < paragraphEnd)
                {
                while (runWidth < width)
                    {
                    b = c;
                    fitWidth = runWidth;
                    if (c >= paragraphEnd)
                        {
                        break;
                        }
                    // Over the next token: white space, then non-white space.
                    TInt t = c;
                    while (t < paragraphEnd && IsSpace(text[t]))
                        {
                        t++;
                        }
                    while (t < paragraphEnd && !IsSpace(text[t]))
                        {
                        t++;
                        }
                    runWidth += measure(c, t);
                    c = t;
                    }
                if (b > s)
                    {
                    iLineStart[i] = s;
                    iLineEnd[i] = b;
                    next = b;
                    while (next < paragraphEnd && IsSpace(text[next]))
                        {
                        next++;
                        }
                    runWidth -= fitWidth + measure(b, next);
                    }
                else
                    {
                    // Nothing fitted: the longest run from s narrower than the width,
                    // but at least one character.
                    TInt k = s;
                    TInt64 w = 0;
                    while (k < paragraphEnd)
                        {
                        const TInt64 charWidth = measure(k, k + 1);
                        if (w + charWidth >= width)
                            {
                            break;
                            }
                        w += charWidth;
                        k++;
                        }
                    if (k == s)
                        {
                        w = measure(s, s + 1);
                        k = s + 1;
                        }
                    b = k;
                    iLineStart[i] = s;
                    iLineEnd[i] = b;
                    next = b;
                    runWidth -= w;
                    }
                s = next;
                i++;
                }
            if (b < paragraphEnd && i < KZTextLinesMax)
                {
                // The rest of the paragraph, whatever its width.
                iLineStart[i] = next;
                iLineEnd[i] = paragraphEnd;
                i++;
                }
            }
        pos = paragraphEnd + breakLength;
        }
    iLineCount = i;
    }
