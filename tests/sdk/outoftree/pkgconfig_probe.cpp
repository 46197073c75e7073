// Built with `pkg-config --cflags --libs zolvane` alone: the engine and platform headers
// come from one include folder, and the program links and runs against the installed
// libraries.
#include <Zolvane.h>
#include <e32base.h>

#include <cstdio>

int main() {
  // Without an application UI the controller refuses to start, with the abort code.
  TRAPD(error, CZController::NewL(NULL));
  std::printf("NewL(NULL) left with %d\n", error);
  return error == KErrAbort ? 0 : 1;
}
