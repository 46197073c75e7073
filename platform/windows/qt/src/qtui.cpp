#include "zwindows/qtui.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <clocale>
#include <map>

#include "zwindows/codepage.h"
#include "zwindows/paths.h"

namespace zwin {

void UseFixedLocale() {
  std::setlocale(LC_ALL, "C");
  if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "C.utf8");
  QLocale::setDefault(QLocale::c());
}

namespace {
QString FromAnsi(std::string_view aText) {
  // Line breaks in the system's texts come as "\r\n"; a label shows "\n" alone.
  std::string utf8 = AnsiToUtf8(aText);
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    out += utf8[i];
  }
  return QString::fromStdString(out);
}

QMessageBox::StandardButton StandardButton(int aId) {
  switch (aId) {
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::Ok;
  }
}
}  // namespace

int QtUserInterface::MessageBox(std::string_view aText, std::string_view aTitle, UINT aType) {
  QMessageBox box(iOwner);
  box.setWindowTitle(FromAnsi(aTitle));
  box.setText(FromAnsi(aText));
  box.setTextFormat(Qt::PlainText);
  switch (aType & MB_ICONMASK) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  std::map<QAbstractButton*, int> ids;
  for (int id : ButtonsOf(aType)) ids[box.addButton(StandardButton(id))] = id;
  for (auto& [button, id] : ids) {
    if (id == DefaultButtonOf(aType)) box.setDefaultButton(static_cast<QPushButton*>(button));
    // Only a box with a Cancel button (or a single OK) can be closed without a choice.
    if (id == IDCANCEL || (aType & MB_TYPEMASK) == MB_OK) box.setEscapeButton(button);
  }
  box.exec();
  auto it = ids.find(box.clickedButton());
  if (it != ids.end()) return it->second;
  return (aType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

std::string QtUserInterface::BrowseForFolder(std::string_view aTitle) {
  const QString folder = QFileDialog::getExistingDirectory(
      iOwner, FromAnsi(aTitle), QDir::homePath(), QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return {};
  return ToWindowsPath(folder.toStdString());
}

}  // namespace zwin
