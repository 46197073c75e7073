// UserInterface shown with Qt 6 Widgets.
#pragma once

#include "zwindows/ui.h"

class QWidget;

namespace zwin {

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
