// ZDiagnostics.cpp
//
// The parsers' observer hook and the registry of the bytes being parsed, from which a
// report's line and column are counted.

#include "ZDiagnostics.h"

namespace
    {
    const TInt KWordMax = 40;
    _LIT8(KEllipsis, "...");

    // Line and column (from 1) of aOffset in aBytes. Lines end at line feeds; a carriage
    // return before one belongs to the line it ends.
    void LineAndColumn(const TUint8* aBytes, TInt aOffset, TInt& aLine, TInt& aColumn)
        {
        aLine = 1;
        TInt lineStart = 0;
        for (TInt i = 0; i < aOffset; i++)
            {
            if (aBytes[i] == '\n')
                {
                aLine++;
                lineStart = i + 1;
                }
            }
        aColumn = aOffset - lineStart + 1;
        }

    TBool Within(const TAny* aAt, const TAny* aStart, TInt aBytes)
        {
        const TUint8* at = static_cast<const TUint8*>(aAt);
        const TUint8* start = static_cast<const TUint8*>(aStart);
        return at >= start && at <= start + aBytes;
        }
    }

MZDiagnosticObserver* TZDiagnostics::iObserver = NULL;
TZDiagnosticSource* TZDiagnostics::iSources = NULL;

// ---------------------------------------------------------------------------------------
// Messages

TZDiagnosticMessage& TZDiagnosticMessage::Add(const char* aText)
    {
    while (*aText && Length() < MaxLength())
        {
        TBuf8<256>::Append(TChar(static_cast<TUint8>(*aText++)));
        }
    return *this;
    }

TZDiagnosticMessage& TZDiagnosticMessage::Add(const TDesC8& aText)
    {
    for (TInt i = 0; i < aText.Length() && Length() < MaxLength(); i++)
        {
        TBuf8<256>::Append(TChar(aText[i]));
        }
    return *this;
    }

TZDiagnosticMessage& TZDiagnosticMessage::AddNum(TInt aValue)
    {
    TBuf8<16> number;
    number.Num(static_cast<TInt64>(aValue));
    return Add(number);
    }

TZDiagnosticMessage& TZDiagnosticMessage::AddWord(const TDesC8& aWord)
    {
    TBuf8<KWordMax + 2 + 3> word;
    word.Append(TChar('"'));
    for (TInt i = 0; i < aWord.Length() && i < KWordMax; i++)
        {
        const TUint8 c = aWord[i];
        word.Append(TChar(c >= 0x20 && c < 0x7F ? c : '?'));
        }
    word.Append(TChar('"'));
    if (aWord.Length() > KWordMax)
        {
        word.Append(KEllipsis);
        }
    return Add(word);
    }

TZDiagnosticMessage& TZDiagnosticMessage::AddWord(const TDesC16& aWord)
    {
    TBuf8<KWordMax> narrow;
    const TInt length = aWord.Length() < KWordMax ? aWord.Length() : KWordMax;
    for (TInt i = 0; i < length; i++)
        {
        const TUint c = aWord[i];
        narrow.Append(TChar(c < 0x100 ? c : '?'));
        }
    AddWord(narrow);
    if (aWord.Length() > KWordMax)
        {
        Add(KEllipsis);
        }
    return *this;
    }

// ---------------------------------------------------------------------------------------
// Reports

void TZDiagnostics::SetObserver(MZDiagnosticObserver* aObserver)
    {
    iObserver = aObserver;
    }

void TZDiagnostics::Report(MZDiagnosticObserver::TKind aKind, const TAny* aAt, const TDesC8& aMessage)
    {
    if (!iObserver)
        {
        return;
        }
    const TAny* at = aAt;
    for (TZDiagnosticSource* source = iSources; source; source = source->iOuter)
        {
        if (source->iWide)
            {
            // A 16-bit copy: the same character of the bytes it was made from.
            if (Within(at, source->iWide, source->iLength * 2))
                {
                const TInt index = static_cast<TInt>(static_cast<const TUint16*>(at) - source->iWide);
                at = source->iBytes + index;
                }
            continue;
            }
        if (Within(at, source->iBytes, source->iLength))
            {
            TInt line = 0;
            TInt column = 0;
            LineAndColumn(source->iBytes, static_cast<TInt>(static_cast<const TUint8*>(at) - source->iBytes),
                          line, column);
            iObserver->Diagnostic(*source->iFileName, line, column, aKind, aMessage);
            return;
            }
        }
    iObserver->Diagnostic(KNullDesC, 0, 0, aKind, aMessage);
    }

void TZDiagnostics::ReportAtAnchor(MZDiagnosticObserver::TKind aKind, const TDesC& aFileName,
                                   const TDesC8& aMessage)
    {
    if (!iObserver)
        {
        return;
        }
    for (TZDiagnosticSource* source = iSources; source; source = source->iOuter)
        {
        if (!source->iWide)
            {
            Report(aKind, source->iAnchor ? source->iAnchor : source->iBytes, aMessage);
            return;
            }
        }
    iObserver->Diagnostic(aFileName, 0, 0, aKind, aMessage);
    }

const TUint8* TZDiagnostics::FileBytes()
    {
    for (TZDiagnosticSource* source = iSources; source; source = source->iOuter)
        {
        if (!source->iWide)
            {
            return source->iBytes;
            }
        }
    return NULL;
    }

void TZDiagnostics::Anchor(const TDesC8& aWord)
    {
    for (TZDiagnosticSource* source = iSources; source; source = source->iOuter)
        {
        if (!source->iWide)
            {
            if (Within(aWord.Ptr(), source->iBytes, source->iLength))
                {
                source->iAnchor = aWord.Ptr();
                }
            return;
            }
        }
    }

// ---------------------------------------------------------------------------------------
// Sources

TZDiagnosticSource::TZDiagnosticSource(const TDesC& aFileName, const TDesC8& aBytes)
    : iRegistered(EFalse), iFileName(&aFileName), iBytes(aBytes.Ptr()), iLength(aBytes.Length()),
      iWide(NULL), iAnchor(NULL), iOuter(NULL)
    {
    if (TZDiagnostics::Active())
        {
        iOuter = TZDiagnostics::iSources;
        TZDiagnostics::iSources = this;
        iRegistered = ETrue;
        }
    }

TZDiagnosticSource::TZDiagnosticSource(const TDesC8& aBytes, const TDesC16& aWide)
    : iRegistered(EFalse), iFileName(NULL), iBytes(aBytes.Ptr()), iLength(aBytes.Length()),
      iWide(aWide.Ptr()), iAnchor(NULL), iOuter(NULL)
    {
    if (aWide.Length() < iLength)
        {
        iLength = aWide.Length();
        }
    if (TZDiagnostics::Active())
        {
        iOuter = TZDiagnostics::iSources;
        TZDiagnostics::iSources = this;
        iRegistered = ETrue;
        }
    }

TZDiagnosticSource::~TZDiagnosticSource()
    {
    if (!iRegistered)
        {
        return;
        }
    // Sources end in the reverse order of their making; unlink this one wherever it is,
    // so that an observer set or cleared in between cannot leave a dangling entry.
    TZDiagnosticSource** link = &TZDiagnostics::iSources;
    while (*link && *link != this)
        {
        link = &(*link)->iOuter;
        }
    if (*link)
        {
        *link = iOuter;
        }
    }
