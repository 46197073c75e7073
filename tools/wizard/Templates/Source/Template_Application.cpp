// Template_Application.cpp
//
// The Template application object.

#include "Template.h"

TUid CTemplateApplication::AppDllUid() const
    {
    return KUidTemplate;
    }

CApaDocument* CTemplateApplication::CreateDocumentL()
    {
    return CTemplateDocument::NewL(*this);
    }
