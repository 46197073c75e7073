// Application modules on the host: a shared module that exports NewApplication(), as the
// project tool builds applications, opened from a host file; and the framework's start-up
// of an application (document, application user interface, ConstructL) as the device
// does it.
#ifndef ZHOST_APPLOADER_H
#define ZHOST_APPLOADER_H

#include <apparc.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>

#include <string>

namespace ZHost {

// An opened application module. Close it only after the application made from it is gone.
class RAppModule {
public:
  RAppModule() = default;
  // Opens the module at aHostPath (a host file name). KErrNone; KErrNotFound if the file
  // does not exist; KErrCorrupt if it cannot be loaded; KErrNotSupported if it does not
  // export NewApplication(); KErrInUse if this handle is already open. Error() then
  // tells why in words.
  IMPORT_C TInt Open(const std::string& aHostPath);
  IMPORT_C void Close();
  TBool IsOpen() const { return iHandle != NULL; }
  const std::string& Error() const { return iError; }
  // The module's own symbol (NULL if it has none, or while closed).
  IMPORT_C TAny* Symbol(const char* aName) const;
  // Makes the application object; leaves with KErrNotReady while closed and KErrNoMemory
  // if the module returns none.
  IMPORT_C CApaApplication* NewApplicationL() const;

private:
  TAny* iHandle = NULL;
  CApaApplication* (*iNewApplication)() = NULL;
  std::string iError;
};

// The framework's start-up of an application whose environment exists: creates the
// document and its application user interface, links them, and constructs the user
// interface. On return the caller owns both (delete the user interface first). On a
// leave nothing is left behind.
IMPORT_C void StartApplicationL(CApaApplication& aApplication, CEikDocument*& aDocument, CEikAppUi*& aAppUi);

}  // namespace ZHost

#endif
