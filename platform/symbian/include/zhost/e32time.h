// Time values, time intervals, asynchronous request status and the relative timer.
// On the device these live in e32std.h; e32std.h includes this header at its end.
#ifndef ZHOST_E32TIME_H
#define ZHOST_E32TIME_H

#include <e32std.h>

// The value a request status holds while its request is outstanding.
const TInt KRequestPending = -KMaxTInt;

// A status word that an asynchronous service completes with an error code.
class TRequestStatus {
public:
  TRequestStatus() : iStatus(KErrNone) {}
  TRequestStatus(TInt aVal) : iStatus(aVal) {}
  TInt operator=(TInt aVal) { iStatus = aVal; return aVal; }
  TBool operator==(TInt aVal) const { return iStatus == aVal; }
  TBool operator!=(TInt aVal) const { return iStatus != aVal; }
  TBool operator>=(TInt aVal) const { return iStatus >= aVal; }
  TBool operator<=(TInt aVal) const { return iStatus <= aVal; }
  TBool operator>(TInt aVal) const { return iStatus > aVal; }
  TBool operator<(TInt aVal) const { return iStatus < aVal; }
  TInt Int() const { return iStatus; }

private:
  TInt iStatus;
};

// 32-bit intervals: microseconds, seconds.
class TTimeIntervalBase {
public:
  TInt Int() const { return iInterval; }
  TBool operator==(TTimeIntervalBase a) const { return iInterval == a.iInterval; }
  TBool operator!=(TTimeIntervalBase a) const { return iInterval != a.iInterval; }
  TBool operator>=(TTimeIntervalBase a) const { return iInterval >= a.iInterval; }
  TBool operator<=(TTimeIntervalBase a) const { return iInterval <= a.iInterval; }
  TBool operator>(TTimeIntervalBase a) const { return iInterval > a.iInterval; }
  TBool operator<(TTimeIntervalBase a) const { return iInterval < a.iInterval; }

protected:
  TTimeIntervalBase() : iInterval(0) {}
  explicit TTimeIntervalBase(TInt aInterval) : iInterval(aInterval) {}
  TInt iInterval;
};

class TTimeIntervalMicroSeconds32 : public TTimeIntervalBase {
public:
  TTimeIntervalMicroSeconds32() {}
  TTimeIntervalMicroSeconds32(TInt aInterval) : TTimeIntervalBase(aInterval) {}
  TTimeIntervalMicroSeconds32& operator=(TInt aInterval) { iInterval = aInterval; return *this; }
};

class TTimeIntervalSeconds : public TTimeIntervalBase {
public:
  TTimeIntervalSeconds() {}
  TTimeIntervalSeconds(TInt aInterval) : TTimeIntervalBase(aInterval) {}
  TTimeIntervalSeconds& operator=(TInt aInterval) { iInterval = aInterval; return *this; }
};

// 64-bit interval in microseconds.
class TTimeIntervalMicroSeconds {
public:
  TTimeIntervalMicroSeconds() : iInterval(0) {}
  TTimeIntervalMicroSeconds(const TInt64& aInterval) : iInterval(aInterval) {}
  TTimeIntervalMicroSeconds& operator=(const TInt64& aInterval) { iInterval = aInterval; return *this; }
  const TInt64& Int64() const { return iInterval; }
  TBool operator==(const TTimeIntervalMicroSeconds& a) const { return iInterval == a.iInterval; }
  TBool operator!=(const TTimeIntervalMicroSeconds& a) const { return iInterval != a.iInterval; }
  TBool operator>=(const TTimeIntervalMicroSeconds& a) const { return iInterval >= a.iInterval; }
  TBool operator<=(const TTimeIntervalMicroSeconds& a) const { return iInterval <= a.iInterval; }
  TBool operator>(const TTimeIntervalMicroSeconds& a) const { return iInterval > a.iInterval; }
  TBool operator<(const TTimeIntervalMicroSeconds& a) const { return iInterval < a.iInterval; }

private:
  TInt64 iInterval;
};

// A point in time: microseconds since 00:00 on 1 January of year 0 (Gregorian).
// Home time and universal time come from ZHost::Clock: the host's clock in
// applications, a virtual clock in tests.
class TTime {
public:
  TTime() : iTime(0) {}
  TTime(const TInt64& aTime) : iTime(aTime) {}
  TTime& operator=(const TInt64& aTime) { iTime = aTime; return *this; }
  IMPORT_C void HomeTime();
  IMPORT_C void UniversalTime();
  const TInt64& Int64() const { return iTime; }
  TTimeIntervalMicroSeconds MicroSecondsFrom(TTime aTime) const { return TTimeIntervalMicroSeconds(iTime - aTime.iTime); }
  IMPORT_C TInt SecondsFrom(TTime aTime, TTimeIntervalSeconds& aInterval) const;

  TTime operator+(TTimeIntervalMicroSeconds a) const { return TTime(iTime + a.Int64()); }
  TTime operator+(TTimeIntervalMicroSeconds32 a) const { return TTime(iTime + a.Int()); }
  TTime operator+(TTimeIntervalSeconds a) const { return TTime(iTime + static_cast<TInt64>(a.Int()) * 1000000); }
  TTime operator-(TTimeIntervalMicroSeconds a) const { return TTime(iTime - a.Int64()); }
  TTime operator-(TTimeIntervalMicroSeconds32 a) const { return TTime(iTime - a.Int()); }
  TTime operator-(TTimeIntervalSeconds a) const { return TTime(iTime - static_cast<TInt64>(a.Int()) * 1000000); }
  TTime& operator+=(TTimeIntervalMicroSeconds a) { iTime += a.Int64(); return *this; }
  TTime& operator+=(TTimeIntervalMicroSeconds32 a) { iTime += a.Int(); return *this; }
  TTime& operator+=(TTimeIntervalSeconds a) { iTime += static_cast<TInt64>(a.Int()) * 1000000; return *this; }
  TTime& operator-=(TTimeIntervalMicroSeconds a) { iTime -= a.Int64(); return *this; }
  TTime& operator-=(TTimeIntervalMicroSeconds32 a) { iTime -= a.Int(); return *this; }
  TTime& operator-=(TTimeIntervalSeconds a) { iTime -= static_cast<TInt64>(a.Int()) * 1000000; return *this; }
  TBool operator==(TTime a) const { return iTime == a.iTime; }
  TBool operator!=(TTime a) const { return iTime != a.iTime; }
  TBool operator>=(TTime a) const { return iTime >= a.iTime; }
  TBool operator<=(TTime a) const { return iTime <= a.iTime; }
  TBool operator>(TTime a) const { return iTime > a.iTime; }
  TBool operator<(TTime a) const { return iTime < a.iTime; }

private:
  TInt64 iTime;
};

// The zero of the host's own time scale (1 January 1970, proleptic Gregorian calendar)
// on the device's scale.
const TInt64 KZHostUnixEpoch = 62167219200000000LL;

// A thread-local timer. A request completes through the active scheduler at its due
// time: on the host's clock, or on the virtual clock when tests drive time.
class RTimer : public RHandleBase {
public:
  IMPORT_C TInt CreateLocal();
  IMPORT_C void Close();
  // Completes aStatus with KErrNone after the interval (a negative interval counts as 0).
  IMPORT_C void After(TRequestStatus& aStatus, TTimeIntervalMicroSeconds32 aInterval);
  // Completes aStatus with KErrNone when home time reaches aTime.
  IMPORT_C void At(TRequestStatus& aStatus, const TTime& aTime);
  // Completes aStatus with KErrNone when universal time reaches aTime.
  IMPORT_C void AtUTC(TRequestStatus& aStatus, const TTime& aTime);
  // Completes an outstanding request with KErrCancel; does nothing if none is outstanding.
  IMPORT_C void Cancel();
};

#endif
