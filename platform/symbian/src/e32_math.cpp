// Maths functions with the platform's error returns, and the seeded random generator.
#include <e32math.h>
#include <zhost/live.h>

#include <cmath>
#include <random>

namespace {

// Checks a result: NaN means the argument was outside the function's domain, an
// infinity that the argument did not already hold means overflow.
TInt Finish(TReal& aTrg, TReal aValue, TReal aSrc) {
  if (std::isnan(aValue)) {
    aTrg = aValue;
    return KErrArgument;
  }
  aTrg = aValue;
  if (std::isinf(aValue) && !std::isinf(aSrc)) return KErrOverflow;
  return KErrNone;
}

}  // namespace

EXPORT_C TInt Math::Sin(TReal& aTrg, const TReal& aSrc) { return Finish(aTrg, std::sin(aSrc), aSrc); }
EXPORT_C TInt Math::Cos(TReal& aTrg, const TReal& aSrc) { return Finish(aTrg, std::cos(aSrc), aSrc); }
EXPORT_C TInt Math::Tan(TReal& aTrg, const TReal& aSrc) { return Finish(aTrg, std::tan(aSrc), aSrc); }
EXPORT_C TInt Math::ASin(TReal& aTrg, const TReal& aSrc) { return Finish(aTrg, std::asin(aSrc), aSrc); }
EXPORT_C TInt Math::ACos(TReal& aTrg, const TReal& aSrc) { return Finish(aTrg, std::acos(aSrc), aSrc); }
EXPORT_C TInt Math::ATan(TReal& aTrg, const TReal& aSrc) { return Finish(aTrg, std::atan(aSrc), aSrc); }

EXPORT_C TInt Math::ATan(TReal& aTrg, const TReal& aSrcY, const TReal& aSrcX) {
  return Finish(aTrg, std::atan2(aSrcY, aSrcX), aSrcY + aSrcX);
}

EXPORT_C TInt Math::Sqrt(TReal& aTrg, const TReal& aSrc) { return Finish(aTrg, std::sqrt(aSrc), aSrc); }
EXPORT_C TInt Math::Exp(TReal& aTrg, const TReal& aSrc) {
  const TReal v = std::exp(aSrc);
  aTrg = v;
  if (std::isnan(v)) return KErrArgument;
  if (std::isinf(v) && !std::isinf(aSrc)) return KErrOverflow;
  if (v == 0 && !std::isinf(aSrc)) return KErrUnderflow;
  return KErrNone;
}

EXPORT_C TInt Math::Ln(TReal& aTrg, const TReal& aSrc) {
  if (!(aSrc > 0)) {
    aTrg = std::nan("");
    return KErrArgument;
  }
  return Finish(aTrg, std::log(aSrc), aSrc);
}

EXPORT_C TInt Math::Log(TReal& aTrg, const TReal& aSrc) {
  if (!(aSrc > 0)) {
    aTrg = std::nan("");
    return KErrArgument;
  }
  return Finish(aTrg, std::log10(aSrc), aSrc);
}

EXPORT_C TInt Math::Pow(TReal& aTrg, const TReal& aSrc, const TReal& aPower) {
  return Finish(aTrg, std::pow(aSrc, aPower), aSrc * aPower);
}

EXPORT_C TInt Math::Pow10(TReal& aTrg, const TInt aExp) {
  return Finish(aTrg, std::pow(10.0, static_cast<TReal>(aExp)), 0);
}

EXPORT_C TInt Math::Round(TReal& aTrg, const TReal& aSrc, TInt aDecimalPlaces) {
  if (std::isnan(aSrc)) {
    aTrg = aSrc;
    return KErrArgument;
  }
  if (std::isinf(aSrc) || aDecimalPlaces > 300) {
    aTrg = aSrc;
    return KErrNone;
  }
  const TReal scale = std::pow(10.0, static_cast<TReal>(aDecimalPlaces));
  aTrg = std::round(aSrc * scale) / scale;
  return KErrNone;
}

EXPORT_C TInt Math::Int(TReal& aTrg, const TReal& aSrc) {
  aTrg = std::trunc(aSrc);
  return std::isnan(aSrc) ? KErrArgument : KErrNone;
}

EXPORT_C TInt Math::Int(TInt16& aTrg, const TReal& aSrc) {
  if (std::isnan(aSrc)) {
    aTrg = 0;
    return KErrArgument;
  }
  const TReal t = std::trunc(aSrc);
  if (t > KMaxTInt16) {
    aTrg = static_cast<TInt16>(KMaxTInt16);
    return KErrOverflow;
  }
  if (t < KMinTInt16) {
    aTrg = static_cast<TInt16>(KMinTInt16);
    return KErrUnderflow;
  }
  aTrg = static_cast<TInt16>(t);
  return KErrNone;
}

EXPORT_C TInt Math::Int(TInt32& aTrg, const TReal& aSrc) {
  if (std::isnan(aSrc)) {
    aTrg = 0;
    return KErrArgument;
  }
  const TReal t = std::trunc(aSrc);
  if (t > KMaxTInt32) {
    aTrg = KMaxTInt32;
    return KErrOverflow;
  }
  if (t < KMinTInt32) {
    aTrg = KMinTInt32;
    return KErrUnderflow;
  }
  aTrg = static_cast<TInt32>(t);
  return KErrNone;
}

EXPORT_C TInt Math::Frac(TReal& aTrg, const TReal& aSrc) {
  aTrg = aSrc - std::trunc(aSrc);
  return std::isnan(aSrc) ? KErrArgument : KErrNone;
}

EXPORT_C TInt Math::Mod(TReal& aTrg, const TReal& aSrc, const TReal& aModulus) {
  if (aModulus == 0 || std::isinf(aSrc) || std::isnan(aSrc) || std::isnan(aModulus)) {
    aTrg = std::nan("");
    return KErrArgument;
  }
  aTrg = std::fmod(aSrc, aModulus);
  return KErrNone;
}

// A 64-bit linear congruential generator (Knuth's MMIX constants); the high bits,
// which have the longest periods, make the results.
namespace {
inline TUint64 Advance(TInt64& aSeed) {
  const TUint64 s = static_cast<TUint64>(aSeed) * 6364136223846793005ULL + 1442695040888963407ULL;
  aSeed = static_cast<TInt64>(s);
  return s;
}
}  // namespace

EXPORT_C TReal Math::FRand(TInt64& aSeed) {
  return static_cast<TReal>(Advance(aSeed) >> 11) * (1.0 / 9007199254740992.0);
}

EXPORT_C TInt Math::Rand(TInt64& aSeed) { return static_cast<TInt>(Advance(aSeed) >> 33); }

namespace {
std::mt19937& RandomGenerator() {
  static std::mt19937 generator{std::random_device{}()};
  return generator;
}
}  // namespace

EXPORT_C TUint32 Math::Random() { return static_cast<TUint32>(RandomGenerator()()); }

EXPORT_C void ZHost::Live::SeedRandom(TUint32 aSeed) { RandomGenerator().seed(aSeed); }

EXPORT_C TBool Math::IsNaN(const TReal& aVal) { return std::isnan(aVal); }
EXPORT_C TBool Math::IsInfinite(const TReal& aVal) { return std::isinf(aVal); }
EXPORT_C TBool Math::IsFinite(const TReal& aVal) { return std::isfinite(aVal); }
EXPORT_C TBool Math::IsZero(const TReal& aVal) { return aVal == 0; }
