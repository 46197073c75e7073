// DemoApp.cpp
//
// The Demo application's framework classes: the application, its document, the user
// interface that builds the engine, and the full-screen view control.

#include "Demo.h"

// ---------------------------------------------------------------------------------------
// Application and document

TUid CDemoApplication::AppDllUid() const
    {
    return KUidDemo;
    }

CApaDocument* CDemoApplication::CreateDocumentL()
    {
    return CDemoDocument::NewL(*this);
    }

CDemoDocument* CDemoDocument::NewL(CEikApplication& aApp)
    {
    return new (ELeave) CDemoDocument(aApp);
    }

CDemoDocument::CDemoDocument(CEikApplication& aApp)
    : CEikDocument(aApp)
    {
    }

CDemoDocument::~CDemoDocument()
    {
    }

CEikAppUi* CDemoDocument::CreateAppUiL()
    {
    return new (ELeave) CDemoAppUi;
    }

// ---------------------------------------------------------------------------------------
// Application user interface

CDemoAppUi::CDemoAppUi()
    {
    }

void CDemoAppUi::ConstructL()
    {
    BaseConstructL();
    const TRect screen(0, 0, KDemoScreenWidth, KDemoScreenHeight);
    iAppView = CDemoAppView::NewL(screen);
    iScript = CDemoScript::NewL();
    iController = CZController::NewL(this);
    iController->SpriteChannelAllocate(KDemoChannels);
    iController->Script(iScript);
    iController->View(iAppView->View());
    // A presentation: the screen saver stays away while it plays.
    iController->ScreenSaver(EFalse);
    iController->Start();
    }

CDemoAppUi::~CDemoAppUi()
    {
    // The controller lets go of the view and the script before they are deleted.
    SAFE_DELETE(iController);
    SAFE_DELETE(iScript);
    SAFE_DELETE(iAppView);
    }

void CDemoAppUi::HandleCommandL(TInt aCommand)
    {
    if (aCommand == EEikCmdExit)
        {
        Exit();
        }
    }

// ---------------------------------------------------------------------------------------
// View control

CDemoAppView* CDemoAppView::NewL(const TRect& aRect)
    {
    CDemoAppView* self = new (ELeave) CDemoAppView;
    CleanupStack::PushL(self);
    self->ConstructL(aRect);
    CleanupStack::Pop(self);
    return self;
    }

CDemoAppView::CDemoAppView()
    {
    }

void CDemoAppView::ConstructL(const TRect& aRect)
    {
    // The control owns the window the engine's view draws into.
    CreateWindowL();
    SetRect(aRect);
    // The backgrounds of the movies stay still under moving sprites: the back buffer
    // keeps them drawn.
    iView = CZView::NewL(TRect(TPoint(0, 0), aRect.Size()), this, ETrue);
    ActivateL();
    }

CDemoAppView::~CDemoAppView()
    {
    SAFE_DELETE(iView);
    }

TInt CDemoAppView::CountComponentControls() const
    {
    return iView ? 1 : 0;
    }

CCoeControl* CDemoAppView::ComponentControl(TInt aIndex) const
    {
    return aIndex == 0 ? iView : NULL;
    }

// ---------------------------------------------------------------------------------------
// Entry point

// Creates the application object; the system then asks it for its document.
EXPORT_C CApaApplication* NewApplication()
    {
    return new CDemoApplication;
    }
