// Template_AppView.cpp
//
// The Template application's view: a control filling the screen, with the engine's
// view inside it as its only component.

#include "Template.h"

CTemplateAppView* CTemplateAppView::NewL(const TRect& aRect)
    {
    CTemplateAppView* self = new (ELeave) CTemplateAppView;
    CleanupStack::PushL(self);
    self->ConstructL(aRect);
    CleanupStack::Pop(self);
    return self;
    }

CTemplateAppView::CTemplateAppView()
    {
    }

void CTemplateAppView::ConstructL(const TRect& aRect)
    {
    // The control owns the window that the engine's view draws into.
    CreateWindowL();
    SetRect(aRect);
    // The engine draws the whole screen: its view takes all of this control.
    iView = CZView::NewL(TRect(TPoint(0, 0), aRect.Size()), this);
    ActivateL();
    }

CTemplateAppView::~CTemplateAppView()
    {
    SAFE_DELETE(iView);
    }

TInt CTemplateAppView::CountComponentControls() const
    {
    return iView ? 1 : 0;
    }

CCoeControl* CTemplateAppView::ComponentControl(TInt aIndex) const
    {
    return aIndex == 0 ? iView : NULL;
    }
