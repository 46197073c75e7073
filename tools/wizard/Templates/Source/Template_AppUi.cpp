// Template_AppUi.cpp
//
// The Template application user interface. It builds the engine: the controller, 120
// sprite channels, the script and the full-screen view, then starts the frame timer.
// Losing the foreground opens the script's pause menu.

#include "Template.h"

CTemplateAppUi::CTemplateAppUi()
    {
    }

void CTemplateAppUi::ConstructL()
    {
    BaseConstructL();

    const TRect screen(0, 0, KTemplateScreenWidth, KTemplateScreenHeight);
    iAppView = CTemplateAppView::NewL(screen);
    iScript = CTemplateScript::NewL();
    iController = CZController::NewL(this);
    iController->SpriteChannelAllocate(KTemplateChannels);
    iController->Script(iScript);
    iController->View(iAppView->View());
    iController->Start();
    }

CTemplateAppUi::~CTemplateAppUi()
    {
    // The controller lets go of the view and the script before they are deleted.
    SAFE_DELETE(iController);
    SAFE_DELETE(iScript);
    SAFE_DELETE(iAppView);
    }

void CTemplateAppUi::HandleCommandL(TInt aCommand)
    {
    switch (aCommand)
        {
        case EEikCmdExit:
            Exit();
            break;
        case ETemplateCmdPause:
            if (iScript)
                {
                iScript->Pause();
                }
            break;
        case ETemplateCmdContinue:
            if (iScript)
                {
                iScript->Continue();
                }
            break;
        default:
            break;
        }
    }

void CTemplateAppUi::HandleForegroundEventL(TBool aForeground)
    {
    CEikAppUi::HandleForegroundEventL(aForeground);
    // The game holds while another application is in front; the user continues it
    // from the pause menu on coming back.
    if (!aForeground && iScript)
        {
        iScript->Pause();
        }
    }
