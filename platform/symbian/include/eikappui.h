// The application user interface of the application framework.
#ifndef EIKAPPUI_H
#define EIKAPPUI_H

#include <coeaui.h>
#include <eikon.hrh>

class CEikApplication;
class CEikDocument;

class CEikAppUi : public CCoeAppUi {
public:
  IMPORT_C CEikAppUi();
  IMPORT_C ~CEikAppUi();
  IMPORT_C void BaseConstructL(TInt aAppUiFlags = 0);
  IMPORT_C virtual void ConstructL();
  IMPORT_C CEikApplication* Application() const;
  CEikDocument* Document() const { return iDocument; }
  IMPORT_C void SetDocument(CEikDocument* aDocument);
  // Default: EEikCmdExit exits; other commands are ignored.
  IMPORT_C virtual void HandleCommandL(TInt aCommand);
  // Ends the application: marks it as exiting and stops the scheduler loop it runs in.
  IMPORT_C void Exit();
  // The host's close request (the desktop window's close button) is the exit command.
  IMPORT_C void HandleWsEventL(const TWsEvent& aEvent, CCoeControl* aDestination) override;
  // Host: Exit has been called.
  TBool ExitRequested() const { return iExitRequested; }

protected:
  CEikDocument* iDocument;

private:
  TBool iExitRequested;
};

#endif
