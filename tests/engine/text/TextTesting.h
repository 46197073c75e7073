// Helpers shared by the text and shape tests: 16-bit literals, the concrete elements
// behind facades.
#ifndef TEXT_TESTING_H
#define TEXT_TESTING_H

#include <ZTestAccess.h>
#include <ZolvaneTesting.h>

#include <string>

namespace ZTextTest {

inline TPtrC W(const char16_t* aText) {
  return TPtrC(reinterpret_cast<const TUint16*>(aText), static_cast<TInt>(std::char_traits<char16_t>::length(aText)));
}

inline std::string S(const TDesC& aText) { return ZTest::ToUtf8(aText); }

inline CZElementText* TextOf(CZElement* aElement) {
  return static_cast<CZElementText*>(TZTestAccess::Base(aElement));
}

inline CZElementShape* ShapeOf(CZElement* aElement) {
  return static_cast<CZElementShape*>(TZTestAccess::Base(aElement));
}

}  // namespace ZTextTest

#endif
