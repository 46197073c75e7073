// Basic types and macros of the platform's user library.
#ifndef E32DEF_H
#define E32DEF_H

#include <cstddef>
#include <cstdint>

typedef void TAny;
typedef int8_t TInt8;
typedef uint8_t TUint8;
typedef int16_t TInt16;
typedef uint16_t TUint16;
typedef int32_t TInt32;
typedef uint32_t TUint32;
typedef int64_t TInt64;
typedef uint64_t TUint64;
typedef int TInt;
typedef unsigned int TUint;
typedef float TReal32;
typedef double TReal64;
typedef double TReal;
typedef unsigned char TText8;
typedef unsigned short TText16;
typedef TText16 TText;
typedef int TBool;
typedef TUint32 TLinAddr;

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif
enum TFalse { EFalse = FALSE };
enum TTrue { ETrue = TRUE };

#ifndef NULL
#define NULL 0
#endif

// A library exports exactly the operations marked with these.
#define IMPORT_C __attribute__((visibility("default")))
#define EXPORT_C __attribute__((visibility("default")))
#define IMPORT_D __attribute__((visibility("default")))
#define EXPORT_D __attribute__((visibility("default")))
#define NONSHARABLE_CLASS(x) class __attribute__((visibility("hidden"))) x
#define NONSHARABLE_STRUCT(x) struct __attribute__((visibility("hidden"))) x
#define GLREF_C extern
#define GLDEF_C
#define LOCAL_C static
#define LOCAL_D static
#define GLREF_D extern
#define GLDEF_D
#define IMPORT_C_DATA
#define _FOFF(c, f) (offsetof(c, f))
#define __DECLARE_TEST friend class TTestFriend
#define __NO_THROW noexcept
#define __ASSERT_COMPILE(x) static_assert(x, #x)
#define UNUSED_VAR(a) ((void)(a))
#define __E32_ALIGN4(n) (((n) + 3) & ~3)

#ifdef NDEBUG
// Not evaluated, but still compiled, so variables used only in assertions stay used.
#define __ASSERT_DEBUG(c, p) ((void)sizeof((c) || ((p), 0)))
#else
#define __ASSERT_DEBUG(c, p) ((void)((c) || ((p), 0)))
#endif
#define __ASSERT_ALWAYS(c, p) ((void)((c) || ((p), 0)))

const TInt KMaxTInt8 = 0x7f;
const TInt KMinTInt8 = -128;
const TUint KMaxTUint8 = 0xffu;
const TInt KMaxTInt16 = 0x7fff;
const TInt KMinTInt16 = -32768;
const TUint KMaxTUint16 = 0xffffu;
const TInt KMaxTInt32 = 0x7fffffff;
const TInt KMinTInt32 = static_cast<TInt>(0x80000000u);
const TUint KMaxTUint32 = 0xffffffffu;
const TInt KMaxTInt = 0x7fffffff;
const TInt KMinTInt = static_cast<TInt>(0x80000000u);
const TUint KMaxTUint = 0xffffffffu;
const TInt64 KMaxTInt64 = INT64_MAX;
const TInt64 KMinTInt64 = INT64_MIN;
const TUint64 KMaxTUint64 = UINT64_MAX;
const TReal KMaxTReal = 1.79769313486231570815e+308;
const TReal KMinTReal = 2.2250738585072015e-308;

#define I64LIT(x) x##LL
#define UI64LIT(x) x##ULL
#define MAKE_TINT64(h, l) ((static_cast<TInt64>(h) << 32) | static_cast<TUint32>(l))
#define I64INT(x) (static_cast<TInt>(x))
#define I64LOW(x) (static_cast<TUint32>(x))
#define I64HIGH(x) (static_cast<TUint32>(static_cast<TUint64>(x) >> 32))

#endif
