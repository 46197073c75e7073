// The platform's system-wide error codes.
#ifndef E32ERR_H
#define E32ERR_H

#include <e32def.h>

const TInt KErrNone = 0;
const TInt KErrNotFound = -1;
const TInt KErrGeneral = -2;
const TInt KErrCancel = -3;
const TInt KErrNoMemory = -4;
const TInt KErrNotSupported = -5;
const TInt KErrArgument = -6;
const TInt KErrTotalLossOfPrecision = -7;
const TInt KErrBadHandle = -8;
const TInt KErrOverflow = -9;
const TInt KErrUnderflow = -10;
const TInt KErrAlreadyExists = -11;
const TInt KErrPathNotFound = -12;
const TInt KErrDied = -13;
const TInt KErrInUse = -14;
const TInt KErrServerTerminated = -15;
const TInt KErrServerBusy = -16;
const TInt KErrCompletion = -17;
const TInt KErrNotReady = -18;
const TInt KErrUnknown = -19;
const TInt KErrCorrupt = -20;
const TInt KErrAccessDenied = -21;
const TInt KErrLocked = -22;
const TInt KErrWrite = -23;
const TInt KErrDisMounted = -24;
const TInt KErrEof = -25;
const TInt KErrDiskFull = -26;
const TInt KErrBadDriver = -27;
const TInt KErrBadName = -28;
const TInt KErrCommsLineFail = -29;
const TInt KErrCommsFrame = -30;
const TInt KErrCommsOverrun = -31;
const TInt KErrCommsParity = -32;
const TInt KErrTimedOut = -33;
const TInt KErrCouldNotConnect = -34;
const TInt KErrCouldNotDisconnect = -35;
const TInt KErrDisconnected = -36;
const TInt KErrBadLibraryEntryPoint = -37;
const TInt KErrBadDescriptor = -38;
const TInt KErrAbort = -39;
const TInt KErrTooBig = -40;
const TInt KErrDivideByZero = -41;
const TInt KErrBadPower = -42;
const TInt KErrDirFull = -43;
const TInt KErrHardwareNotAvailable = -44;

#endif
