// The application class of the application framework.
#ifndef EIKAPP_H
#define EIKAPP_H

#include <apparc.h>

class CEikApplication : public CApaApplication {
public:
  IMPORT_C ~CEikApplication();

protected:
  IMPORT_C CEikApplication();
};

#endif
