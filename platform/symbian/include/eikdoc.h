// The document class of the application framework: it creates the application user
// interface.
#ifndef EIKDOC_H
#define EIKDOC_H

#include <apparc.h>

class CEikApplication;
class CEikAppUi;

class CEikDocument : public CApaDocument {
public:
  IMPORT_C ~CEikDocument();
  virtual CEikAppUi* CreateAppUiL() = 0;
  IMPORT_C CEikApplication* Application() const;
  CEikAppUi* AppUi() const { return iAppUi; }
  // Host: records the application user interface made by CreateAppUiL (not owned).
  void SetAppUi(CEikAppUi* aAppUi) { iAppUi = aAppUi; }

protected:
  IMPORT_C CEikDocument(CEikApplication& aApp);

  CEikAppUi* iAppUi;
};

#endif
