// The application framework's environment.
#ifndef EIKENV_H
#define EIKENV_H

#include <coemain.h>

class CEikAppUi;

class CEikonEnv : public CCoeEnv {
public:
  IMPORT_C CEikonEnv();
  IMPORT_C ~CEikonEnv();
  // The thread's environment if it is a CEikonEnv, else NULL.
  IMPORT_C static CEikonEnv* Static();
  IMPORT_C CEikAppUi* EikAppUi() const;
  // Shows a short message; on the host it goes to stderr.
  IMPORT_C void InfoMsg(const TDesC& aText);
};

#endif
