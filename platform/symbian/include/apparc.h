// Applications and documents of the application architecture.
#ifndef APPARC_H
#define APPARC_H

#include <e32base.h>
#include <zhost/e32uid.h>

class CApaDocument;

class CApaApplication : public CBase {
public:
  IMPORT_C ~CApaApplication();
  virtual TUid AppDllUid() const = 0;
  // The application's own file: "<drive>:\System\Apps\<Name>\<Name>.app". On the host the
  // name and drive are those given to SetAppFullName, else the running program's file
  // name (without extension) on drive C:.
  IMPORT_C TFileName AppFullName() const;
  virtual CApaDocument* CreateDocumentL() = 0;

  // Host: names the application (aName without folder or extension).
  IMPORT_C void SetAppFullName(const TDesC& aName, TChar aDrive = 'C');

protected:
  IMPORT_C CApaApplication();

private:
  HBufC* iAppFullName;
};

class CApaDocument : public CBase {
public:
  IMPORT_C ~CApaDocument();
  CApaApplication* Application() const { return iApplication; }

protected:
  IMPORT_C CApaDocument(CApaApplication& aApp);

  CApaApplication* iApplication;
};

#endif
