// ZView.cpp
//
// The view: the control the engine draws on. It is handed to the controller, which
// attaches the player and puts it on the control stack; the controller asks it to
// redraw once per frame, and it passes key events to the controller.

#include <Zolvane.h>

CZView::CZView()
    {
    }

EXPORT_C CZView* CZView::NewL(const TRect& aRect, CCoeControl* aParent, TBool aBackBuffer)
    {
    CZView* self = new (ELeave) CZView();
    CleanupStack::PushL(self);
    self->ConstructL(aRect, aParent, aBackBuffer);
    CleanupStack::Pop(self);
    return self;
    }

void CZView::ConstructL(const TRect& aRect, CCoeControl* /*aParent*/, TBool aBackBuffer)
    {
    iWidth = aRect.Width();
    iHeight = aRect.Height();
    iBackBuffer = aBackBuffer;
    SetRect(aRect);
    }

EXPORT_C CZView::~CZView()
    {
    }

EXPORT_C void CZView::Update() const
    {
    iUpdateCount++;
    }

EXPORT_C TKeyResponse CZView::OfferKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType)
    {
    if (iPlayer && iPlayer->Controller())
        {
        return iPlayer->Controller()->OfferKeyEventL(aKeyEvent, aType);
        }
    return EKeyWasNotConsumed;
    }

EXPORT_C TInt CZView::Width()
    {
    return iWidth;
    }

EXPORT_C TInt CZView::Height()
    {
    return iHeight;
    }

EXPORT_C TBool CZView::BackBuffer()
    {
    return iBackBuffer;
    }
