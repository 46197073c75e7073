// Demo.h
//
// The Demo application: a looping presentation of the engine (a title, a sprite show,
// wipes and scrolls, a small garden game, a closing card) played from the movie list
// movies.lst beside the application, with a script that runs the garden game: the arrow
// keys move the hero, who collects the stars listed in Data\items.csv and bumps into the
// hedges of the map in Data\level.txt.

#ifndef DEMO_H
#define DEMO_H

#include <e32base.h>
#include <coecntrl.h>
#include <eikapp.h>
#include <eikdoc.h>
#include <eikappui.h>
#include <eikon.hrh>
#include <Zolvane.h>

// The application's UID.
const TUid KUidDemo = { 0x01000670 };

// The Communicator's screen, which the view fills.
const TInt KDemoScreenWidth = 640;
const TInt KDemoScreenHeight = 200;

// Sprite channels allocated for the application.
const TInt KDemoChannels = 120;

class CDemoAppView;
class CDemoScript;

// ---------------------------------------------------------------------------------------
// CDemoApplication: the application object the system creates first.

class CDemoApplication : public CEikApplication
    {
public:
    TUid AppDllUid() const;

protected:
    CApaDocument* CreateDocumentL();
    };

// ---------------------------------------------------------------------------------------
// CDemoDocument: the document; it only creates the application user interface.

class CDemoDocument : public CEikDocument
    {
public:
    static CDemoDocument* NewL(CEikApplication& aApp);
    ~CDemoDocument();
    CEikAppUi* CreateAppUiL();

private:
    CDemoDocument(CEikApplication& aApp);
    };

// ---------------------------------------------------------------------------------------
// CDemoAppUi: owns the engine's controller, the view and the script, and starts the
// engine.

class CDemoAppUi : public CEikAppUi
    {
public:
    CDemoAppUi();
    ~CDemoAppUi();
    void ConstructL();
    void HandleCommandL(TInt aCommand);

private:
    CDemoAppView* iAppView;         // has-a
    CDemoScript* iScript;           // has-a
    CZController* iController;      // has-a
    };

// ---------------------------------------------------------------------------------------
// CDemoAppView: the full-screen control that hosts the engine's view.

class CDemoAppView : public CCoeControl
    {
public:
    static CDemoAppView* NewL(const TRect& aRect);
    ~CDemoAppView();

    CZView* View() const { return iView; }
    TInt CountComponentControls() const;
    CCoeControl* ComponentControl(TInt aIndex) const;

private:
    CDemoAppView();
    void ConstructL(const TRect& aRect);

private:
    CZView* iView;                  // has-a
    };

// ---------------------------------------------------------------------------------------
// CDemoScript: starts the movie list, tidies the channels between movies, and plays the
// garden game while the movie "garden" runs.

class CDemoScript : public CZScript
    {
public:
    // Sprite channels. Movies use the low channels and, in the garden, the overlay
    // channels above the game; the game has the channels in between.
    enum TChannel
        {
        EChannelMovieLast = 59,
        EChannelMap = 61,
        EChannelItemFirst = 62,
        EChannelItemLast = 77,
        EChannelHero = 80,
        EChannelPipFirst = 84,
        EChannelPipLast = 99,
        EChannelOverlayFirst = 100,
        EChannelOverlayLast = 110,
        EChannelScore = 112
        };

    static CDemoScript* NewL();
    ~CDemoScript();

    void FrameBeginL(TInt aFrameNumber, TPtrC aMovie);
    void FrameEndL(TInt aFrameNumber, TPtrC aMovie);
    TKeyResponse KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);
    TInt Decrypt(TPtr8 aBuffer, TPtrC aFileName);

    // What the game has done, for the application's tests.
    TInt Frames() const { return iFrames; }
    TInt Passes() const { return iPasses; }
    TBool GameActive() const { return iGameActive; }
    TInt Score() const { return iScore; }
    TInt Collected() const { return iCollected; }
    TInt Bumps() const { return iBumps; }
    TInt ItemCount() const { return iItemCount; }
    TPoint HeroPosition() const { return iHero; }
    // The game's hero takes its own way after this many frames without an arrow key.
    static const TInt KAutopilotDelay = 60;

private:
    CDemoScript();
    void StartL();
    void ChannelsClear(TInt aFirst, TInt aLast);
    void GameSetupL();
    void GameDataLoadL();
    void GameEnd();
    void GameUpdate();
    void ItemsPlace();
    TBool Blocked(TInt aX, TInt aY);
    TBool HeroStep(TInt aDx, TInt aDy, TBool aByKey);
    void ItemsCollect();
    void Autopilot();
    void ScoreShow();
    void SoundPlay(const TDesC& aName);
    CZSprite* Sprite(TInt aChannel);

private:
    // The largest number of items the game places.
    static const TInt KItemMax = EChannelItemLast - EChannelItemFirst + 1;

    TBool iStarted;
    TBool iGameDataLoaded;
    TBool iGameDataFailed;
    TBool iGameActive;
    TInt iFrames;
    TInt iPasses;                   // times the movie list came back to its first movie
    TInt iScore;
    TInt iCollected;                // items collected since the game began
    TInt iBumps;
    TInt iIdleFrames;               // frames since the last arrow key
    TInt iRespawnIn;                // frames until the collected items come back, 0: none
    TInt iDetour;                   // autopilot: frames left on a sideways detour
    TInt iDetourDx;
    TInt iDetourDy;
    TPoint iHero;
    TPoint iHeroStart;
    TInt iItemCount;
    TPoint iItemPos[KItemMax];
    TInt iItemPoints[KItemMax];
    TBool iItemTaken[KItemMax];
    HBufC* iFirstMovie;             // has-a: the list's first movie, to count passes
    HBufC* iLastMovie;              // has-a: the movie of the previous frame
    };

#endif // DEMO_H
