// UserInterface shown with Qt 6 Widgets.
#pragma once

#include "zwindows/ui.h"

class QWidget;

namespace zwin {

// Constructing the QApplication sets the C library's locale from the environment. The
// tools' files, registry, uninstall lists and messages must be the same bytes in every
// locale (no decimal commas, no Turkish case rules), so this sets every category back to
// "C" (character handling stays UTF-8, which Qt relies on) and Qt's default locale to C.
// Call it right after constructing the QApplication.
void UseFixedLocale();

class QtUserInterface : public UserInterface {
 public:
  // Boxes are modal to aOwner (none: application-modal without an owner).
  explicit QtUserInterface(QWidget* aOwner = nullptr) : iOwner(aOwner) {}
  void SetOwner(QWidget* aOwner) { iOwner = aOwner; }

  int MessageBox(std::string_view aText, std::string_view aTitle, UINT aType) override;
  std::string BrowseForFolder(std::string_view aTitle) override;

 private:
  QWidget* iOwner;
};

}  // namespace zwin
