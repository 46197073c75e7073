// Template.h
//
// The Template application: a Zolvane engine application with a full-screen view,
// 120 sprite channels and a script. The script animates a few simple shapes; the
// arrow keys move the player's box. When the application loses the foreground the
// script shows its pause menu (Continue, Quit), which the arrow keys, Enter and
// Escape operate.

#ifndef Template_H
#define Template_H

#include <e32base.h>
#include <coecntrl.h>
#include <eikapp.h>
#include <eikdoc.h>
#include <eikappui.h>
#include <eikon.hrh>
#include <Zolvane.h>

#include "Template.hrh"

// The application's UID (the second UID of its project definition).
const TUid KUidTemplate = { 0x01000666 };

// The Communicator's screen, which the view fills.
const TInt KTemplateScreenWidth = 640;
const TInt KTemplateScreenHeight = 200;

// Sprite channels allocated for the application.
const TInt KTemplateChannels = 120;

class CTemplateAppView;
class CTemplateScript;

// ---------------------------------------------------------------------------------------
// CTemplateApplication: the application object the system creates first.

class CTemplateApplication : public CEikApplication
    {
public:
    TUid AppDllUid() const;

protected:
    CApaDocument* CreateDocumentL();
    };

// ---------------------------------------------------------------------------------------
// CTemplateDocument: the document; it creates the application user interface.

class CTemplateDocument : public CEikDocument
    {
public:
    static CTemplateDocument* NewL(CEikApplication& aApp);
    ~CTemplateDocument();

    CEikAppUi* CreateAppUiL();

private:
    CTemplateDocument(CEikApplication& aApp);
    void ConstructL();
    };

// ---------------------------------------------------------------------------------------
// CTemplateAppUi: the application user interface. It owns the engine's controller, the
// view and the script, and starts the engine.

class CTemplateAppUi : public CEikAppUi
    {
public:
    CTemplateAppUi();
    ~CTemplateAppUi();
    void ConstructL();

    void HandleCommandL(TInt aCommand);
    void HandleForegroundEventL(TBool aForeground);

    CZController* Controller() const { return iController; }
    CTemplateScript* Script() const { return iScript; }
    CTemplateAppView* AppView() const { return iAppView; }

private:
    CTemplateAppView* iAppView;     // has-a
    CTemplateScript* iScript;       // has-a
    CZController* iController;      // has-a
    };

// ---------------------------------------------------------------------------------------
// CTemplateAppView: the full-screen control that hosts the engine's view.

class CTemplateAppView : public CCoeControl
    {
public:
    static CTemplateAppView* NewL(const TRect& aRect);
    ~CTemplateAppView();

    CZView* View() const { return iView; }

    TInt CountComponentControls() const;
    CCoeControl* ComponentControl(TInt aIndex) const;

private:
    CTemplateAppView();
    void ConstructL(const TRect& aRect);

private:
    CZView* iView;                  // has-a
    };

// ---------------------------------------------------------------------------------------
// CTemplateScript: the application's script. The engine calls it at the start and end
// of every frame, for every key event and for every file it reads.

class CTemplateScript : public CZScript
    {
public:
    // The items of the pause menu, from the top.
    enum TMenuItem
        {
        EMenuContinue,
        EMenuQuit,
        EMenuItemCount
        };

    static CTemplateScript* NewL();
    ~CTemplateScript();

    void FrameBeginL(TInt aFrameNumber, TPtrC aMovie);
    void FrameEndL(TInt aFrameNumber, TPtrC aMovie);
    TKeyResponse KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);
    TInt Decrypt(TPtr8 aBuffer, TPtrC aFileName);

    // Shows the pause menu and holds the animation and any movie.
    void Pause();
    // Hides the pause menu and lets everything go on.
    void Continue();
    TBool IsPaused() const { return iPaused; }
    TInt MenuSelection() const { return iMenuSelection; }
    TInt Frames() const { return iFrames; }

private:
    CTemplateScript();
    void SceneSetup();
    void SceneUpdate();
    void MenuShow(TBool aVisible);
    void MenuSelect(TInt aItem);
    void MenuChooseL();
    CZSprite* Sprite(TInt aChannel);

private:
    TBool iSceneReady;
    TBool iPaused;
    TBool iMoviePlaying;            // set when the script starts a movie with MovieStart
    TInt iMenuSelection;
    TInt iFrames;
    TInt iBallX;
    TInt iBallY;
    TInt iBallDx;
    TInt iBallDy;
    TInt iBoxX;
    TInt iBoxY;
    };

#endif // Template_H
