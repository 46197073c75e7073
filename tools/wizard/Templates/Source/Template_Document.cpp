// Template_Document.cpp
//
// The Template document. The application keeps no document data of its own; the
// document only creates the application user interface.

#include "Template.h"

CTemplateDocument* CTemplateDocument::NewL(CEikApplication& aApp)
    {
    CTemplateDocument* self = new (ELeave) CTemplateDocument(aApp);
    CleanupStack::PushL(self);
    self->ConstructL();
    CleanupStack::Pop(self);
    return self;
    }

CTemplateDocument::CTemplateDocument(CEikApplication& aApp)
    : CEikDocument(aApp)
    {
    }

void CTemplateDocument::ConstructL()
    {
    }

CTemplateDocument::~CTemplateDocument()
    {
    }

CEikAppUi* CTemplateDocument::CreateAppUiL()
    {
    return new (ELeave) CTemplateAppUi;
    }
