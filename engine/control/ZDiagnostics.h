// ZDiagnostics.h
//
// Engine-internal (never exported): an observer of the decisions the file parsers make
// without a word. A record dropped, a frame refused, a bad number replaced by its
// default, a value clamped, a resource file without "BRes": each is told to the observer
// with the file, the line and column of the word concerned, a kind and a message saying
// what was found and what the engine does instead.
//
// Applications never set an observer. Every report site then costs one test of a null
// pointer, and nothing a parser decides depends on whether an observer is set. The
// movie checker sets one and runs the engine's own loaders.
//
// Positions: the loaders register the bytes of each file they parse as a source while
// they parse it (TZDiagnosticSource). A report names a pointer into those bytes (the
// first character of the offending word); the line and column are counted from it only
// when the report is made.

#ifndef ZDIAGNOSTICS_H
#define ZDIAGNOSTICS_H

#include <e32base.h>

class MZDiagnosticObserver
    {
public:
    enum TKind
        {
        EError,     // the engine drops or ignores something the file says
        EWarning    // a default, a clamp or a limit replaces a value the file gives
        };
    // aFileName: the file as the engine resolved it (a device name). aLine and aColumn
    // count from 1; both are 0 when the finding has no place in a registered file.
    virtual void Diagnostic(const TDesC& aFileName, TInt aLine, TInt aColumn, TKind aKind,
                            const TDesC8& aMessage) = 0;

protected:
    ~MZDiagnosticObserver() {}
    };

// A message being put together; what does not fit is cut off.
class TZDiagnosticMessage : public TBuf8<256>
    {
public:
    TZDiagnosticMessage& Add(const char* aText);
    TZDiagnosticMessage& Add(const TDesC8& aText);
    TZDiagnosticMessage& AddNum(TInt aValue);
    // A word of the file in double quotes, cut to 40 characters; characters outside
    // printable ASCII are shown as '?'.
    TZDiagnosticMessage& AddWord(const TDesC8& aWord);
    TZDiagnosticMessage& AddWord(const TDesC16& aWord);
    };

class TZDiagnosticSource;

class TZDiagnostics
    {
public:
    static void SetObserver(MZDiagnosticObserver* aObserver);
    static MZDiagnosticObserver* Observer() { return iObserver; }
    // The one test every report site makes first.
    static TBool Active() { return iObserver != NULL; }

    // Reports at the character aAt points to: a pointer into the bytes of a registered
    // source, or into a registered 16-bit copy of part of them.
    static void Report(MZDiagnosticObserver::TKind aKind, const TAny* aAt, const TDesC8& aMessage);
    static void Error(const TDesC8& aWord, const TDesC8& aMessage)
        {
        Report(MZDiagnosticObserver::EError, aWord.Ptr(), aMessage);
        }
    static void Warning(const TDesC8& aWord, const TDesC8& aMessage)
        {
        Report(MZDiagnosticObserver::EWarning, aWord.Ptr(), aMessage);
        }
    static void Error(const TDesC16& aWord, const TDesC8& aMessage)
        {
        Report(MZDiagnosticObserver::EError, aWord.Ptr(), aMessage);
        }
    static void Warning(const TDesC16& aWord, const TDesC8& aMessage)
        {
        Report(MZDiagnosticObserver::EWarning, aWord.Ptr(), aMessage);
        }
    // Reports at the anchor of the innermost file source (see Anchor), for loaders that
    // are called from a parser and see no words of their own. Without a source the
    // report names aFileName with no position.
    static void ReportAtAnchor(MZDiagnosticObserver::TKind aKind, const TDesC& aFileName,
                               const TDesC8& aMessage);
    // The bytes of the innermost registered file; null when there is none.
    static const TUint8* FileBytes();
    // Sets the anchor of the innermost file source: the word that made a parser call a
    // loader.
    static void Anchor(const TDesC8& aWord);

private:
    static MZDiagnosticObserver* iObserver;
    static TZDiagnosticSource* iSources;   // innermost first
    friend class TZDiagnosticSource;
    };

// Registers bytes being parsed for the time the object lives. It is made on the stack
// of the parsing function; a leave unwinds it with the function. Does nothing while no
// observer is set.
class TZDiagnosticSource
    {
public:
    // A file: its resolved name and its bytes (after Decrypt).
    TZDiagnosticSource(const TDesC& aFileName, const TDesC8& aBytes);
    // A 16-bit copy aWide, character for byte, of aBytes, which lie in a registered source.
    TZDiagnosticSource(const TDesC8& aBytes, const TDesC16& aWide);
    ~TZDiagnosticSource();

private:
    TZDiagnosticSource(const TZDiagnosticSource&);
    TZDiagnosticSource& operator=(const TZDiagnosticSource&);

    TBool iRegistered;
    const TDesC* iFileName;     // null for a 16-bit copy
    const TUint8* iBytes;
    TInt iLength;
    const TUint16* iWide;       // a 16-bit copy: its characters
    const TUint8* iAnchor;
    TZDiagnosticSource* iOuter;
    friend class TZDiagnostics;
    };

#endif // ZDIAGNOSTICS_H
