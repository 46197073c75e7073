// Mathematical functions of the user library. Results come back through the first
// argument; the return value is an error code.
#ifndef E32MATH_H
#define E32MATH_H

#include <e32std.h>

const TReal KPi = 3.14159265358979323846;
const TReal KPiInv = 0.31830988618379067154;
const TReal KPiBy2 = 1.57079632679489661923;
const TReal KDrpi = 0.63661977236758134308;
const TReal KSqrt2 = 1.41421356237309504880;
const TReal KSqrtInv2 = 0.70710678118654752440;
const TReal KRadToDeg = 57.2957795130823208768;
const TReal KDegToRad = 0.01745329251994329577;
const TReal KLogE = 0.43429448190325182765;
const TReal KLog2 = 0.30102999566398119521;
const TReal KLn2 = 0.69314718055994530942;
const TReal KLn10 = 2.30258509299404568402;

class Math {
public:
  IMPORT_C static TInt Sin(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Cos(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Tan(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt ASin(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt ACos(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt ATan(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt ATan(TReal& aTrg, const TReal& aSrcY, const TReal& aSrcX);
  IMPORT_C static TInt Sqrt(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Exp(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Ln(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Log(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Pow(TReal& aTrg, const TReal& aSrc, const TReal& aPower);
  IMPORT_C static TInt Pow10(TReal& aTrg, const TInt aExp);
  // Rounds half away from zero to the given number of decimal places.
  IMPORT_C static TInt Round(TReal& aTrg, const TReal& aSrc, TInt aDecimalPlaces);
  // The integer part, truncated toward zero.
  IMPORT_C static TInt Int(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Int(TInt16& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Int(TInt32& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Frac(TReal& aTrg, const TReal& aSrc);
  IMPORT_C static TInt Mod(TReal& aTrg, const TReal& aSrc, const TReal& aModulus);
  // Uniform values from a 64-bit seed that each call advances: FRand in [0, 1), Rand a
  // non-negative TInt. The same seed always gives the same sequence.
  IMPORT_C static TReal FRand(TInt64& aSeed);
  IMPORT_C static TInt Rand(TInt64& aSeed);
  IMPORT_C static TUint32 Random();
  IMPORT_C static TBool IsNaN(const TReal& aVal);
  IMPORT_C static TBool IsInfinite(const TReal& aVal);
  IMPORT_C static TBool IsFinite(const TReal& aVal);
  IMPORT_C static TBool IsZero(const TReal& aVal);
};

#endif
