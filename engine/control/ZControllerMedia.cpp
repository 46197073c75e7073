// ZControllerMedia.cpp
//
// The controller's image and sound loaders: pictures from the "Pictures" folder become
// bitmap elements through the image loader, WAV files from the "Sounds" folder sound
// elements.

#include <Zolvane.h>

#include "ZDiagnostics.h"

namespace
    {
    _LIT(KPicturesDir, "Pictures");
    _LIT(KSoundsDir, "Sounds");

    // A sound file that LoadFileWavL passes over without a word.
    void ReportSoundNotLoaded(const TDesC& aFileName, const char* aReason)
        {
        TZDiagnosticMessage message;
        message.Add("sound ").AddWord(aFileName).Add(aReason);
        TZDiagnostics::ReportAtAnchor(MZDiagnosticObserver::EError, aFileName, message);
        }
    }

EXPORT_C void CZController::LoadFileImageL(TPtrC aFileName, TPtrC aElementName, TBool aUnload)
    {
    TFileName path;
    // A name that cannot be a path fails here as it would when opening the file.
    User::LeaveIfError(ResolvePath(aFileName, KPicturesDir, path));
    HBufC8* bytes = ReadFileLC(path, aFileName);
    const TInt result = iImageLoader->ImageLoad(*bytes, aElementName, aUnload);
    CleanupStack::PopAndDestroy(bytes);
    User::LeaveIfError(result);
    }

EXPORT_C void CZController::LoadFileWavL(TPtrC aSoundFileName, TPtrC aElementName, TBool aUnload)
    {
    if (Element(aElementName))
        {
        if (TZDiagnostics::Active())
            {
            ReportSoundNotLoaded(aSoundFileName, " not loaded: its element name is taken");
            }
        return;
        }
    TFileName path;
    if (ResolvePath(aSoundFileName, KSoundsDir, path) != KErrNone)
        {
        if (TZDiagnostics::Active())
            {
            ReportSoundNotLoaded(aSoundFileName, " not loaded: the name is not a valid file name");
            }
        return;
        }
    HBufC8* bytes = ReadFileLC(path, aSoundFileName);
    CZElementSound* sound = CZElementSound::NewLC();
    sound->NameSetL(aElementName);
    // While SoundSetL may leave, the buffer stays the caller's (on the cleanup stack).
    if (sound->SoundSetL(bytes) == 0)
        {
        if (TZDiagnostics::Active())
            {
            ReportSoundNotLoaded(aSoundFileName, " not loaded: the sound element refuses its data");
            }
        CleanupStack::PopAndDestroy(2, bytes);
        return;
        }
    CleanupStack::Pop(sound);
    CleanupStack::Pop(bytes);           // the element's now
    CleanupStack::PushL(sound);

    CZElement* element = new (ELeave) CZElement();
    element->Element(sound);
    CleanupStack::Pop(sound);
    CleanupStack::PushL(element);
    sound->Player(iPlayer);
    iSoundList->AppendL(element);
    CleanupStack::Pop(element);
    element->Unload(aUnload);
    }

EXPORT_C CZElement* CZController::ElementSoundAdd(TInt /*aLength*/, TPtrC /*aName*/)
    {
    return NULL;
    }
