// Runs part of a test in another C library locale (LC_ALL), such as tr_TR.UTF-8, where
// the library's own case mapping has "I" and "i" belong to other letters, or de_DE.UTF-8,
// where numbers are written with a decimal comma. The previous locale comes back when the
// object goes.
#ifndef ZOLV_TESTS_LOCALES_H
#define ZOLV_TESTS_LOCALES_H

#include <clocale>
#include <string>

namespace ZTestHost {

class ScopedLocale {
 public:
  explicit ScopedLocale(const char* aName) : iPrevious(std::setlocale(LC_ALL, nullptr)) {
    iActive = std::setlocale(LC_ALL, aName) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, iPrevious.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  // False when the locale is not generated on this machine (scripts/test generates it).
  bool Active() const { return iActive; }

 private:
  std::string iPrevious;
  bool iActive = false;
};

}  // namespace ZTestHost

#endif
