// Template_Main.cpp
//
// The entry points through which the system starts the Template application.

#include "Template.h"

// Creates the application object; the system then asks it for its document.
EXPORT_C CApaApplication* NewApplication()
    {
    return new CTemplateApplication;
    }

#if defined(__SYMBIAN32__)
// The device loads the application as a DLL and calls this when it does.
GLDEF_C TInt E32Dll(TDllReason /*aReason*/)
    {
    return KErrNone;
    }
#endif
