#include "InstallerDialog.h"

#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "zwindows/codepage.h"

namespace zolv::install {

namespace {
QString FromAnsi(const std::string& aText) { return QString::fromStdString(zwin::AnsiToUtf8(aText)); }

QIcon ProgramIcon(const QWidget* aWidget) {
  return aWidget->style()->standardIcon(QStyle::SP_DriveHDIcon);
}
}  // namespace

QRect InstallerDialog::Units(int aX, int aY, int aWidth, int aHeight) const {
  // The base units of the dialog font ("MS Sans Serif" 8: 6 by 13 pixels at 96 dots per
  // inch). The font that stands in for it here is wider, so it is drawn a little smaller
  // and the layout keeps the original proportions.
  const double scale = logicalDpiX() / 96.0;
  const double bx = 6 * scale;
  const double by = 13 * scale;
  return QRect(qRound(aX * bx / 4), qRound(aY * by / 8), qRound(aWidth * bx / 4),
               qRound(aHeight * by / 8));
}

InstallerDialog::InstallerDialog(InstallerLogic& aLogic, QWidget* aParent)
    : QDialog(aParent), iLogic(aLogic) {
  setWindowTitle(kInstallerTitle);
  setWindowIcon(ProgramIcon(this));
  QFont dialogFont;
  dialogFont.setFamilies({"MS Sans Serif", "DejaVu Sans Condensed", "DejaVu Sans"});
  dialogFont.setStyleHint(QFont::SansSerif);
  dialogFont.setPixelSize(qRound(10 * logicalDpiY() / 96.0));
  setFont(dialogFont);

  auto label = [this](const char* aText, QRect aRect) {
    auto* l = new QLabel(aText, this);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(aRect);
  };
  auto field = [this](int aId, QRect aRect) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::number(aId));
    e->setGeometry(aRect);
    e->setReadOnly(true);
    return e;
  };
  auto button = [this](int aId, const char* aText, QRect aRect) {
    auto* b = new QPushButton(aText, this);
    b->setObjectName(QString::number(aId));
    b->setGeometry(aRect);
    b->setAutoDefault(false);
    return b;
  };

  label("This utility will install/remove the Zolvane Engine C++ SDK on your computer. ",
        Units(13, 10, 171, 19));
  label("INSTALL will copy the required .DLL, .LIB and .H files to Nokia 9200 Communicator series "
        "C++ SDK directory, copy Example Application data files to appropriate sub directories in "
        "Epoc32\\Release\\wins\\udeb\\z\\system\\apps\\, install the",
        Units(14, 33, 195, 32));
  label("Zolvane Engine C++ SDK utilities and add the icons to Start menu.", Units(14, 65, 195, 20));
  label("REMOVE will remove all the installed files and the added Start menu icons.",
        Units(14, 89, 183, 23));
  QPushButton* install = button(1005, "INSTALL", Units(232, 11, 64, 14));
  QPushButton* remove = button(1006, "REMOVE", Units(232, 29, 64, 14));
  QPushButton* close = button(2, "Close", Units(232, 48, 64, 14));
  label("Install Zolvane Engine C++ SDK (800 kB) to", Units(14, 115, 157, 10));
  iInstallDirectory = field(1000, Units(13, 131, 283, 12));
  QPushButton* changeInstall = button(1002, "Change Directory", Units(232, 113, 64, 13));
  label("Nokia 9200 Communicator series C++ SDK directory (320 kB)", Units(14, 150, 203, 10));
  iSdkDirectory = field(1001, Units(13, 166, 283, 12));
  QPushButton* changeSdk = button(1003, "Change Directory", Units(232, 148, 64, 13));
  install->setDefault(true);
  setFixedSize(Units(0, 0, 308, 191).size());

  connect(install, &QPushButton::clicked, this, [this] {
    iLogic.Install();
    Refresh();
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    iLogic.Remove();
    Refresh();
  });
  connect(changeInstall, &QPushButton::clicked, this, [this] {
    iLogic.ChangeInstallDirectory();
    Refresh();
  });
  connect(changeSdk, &QPushButton::clicked, this, [this] {
    iLogic.ChangeSdkDirectory();
    Refresh();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  Refresh();
}

void InstallerDialog::Refresh() {
  iInstallDirectory->setText(FromAnsi(iLogic.InstallDirectoryText()));
  iSdkDirectory->setText(FromAnsi(iLogic.SdkDirectoryText()));
}

void InstallerDialog::paintEvent(QPaintEvent* aEvent) {
  QDialog::paintEvent(aEvent);
  if (!iPainted) {
    iPainted = true;
    QTimer::singleShot(0, this, [this] { emit firstPaintDone(); });
  }
}

void InstallerDialog::contextMenuEvent(QContextMenuEvent* aEvent) {
  // The window system's own menu cannot be extended portably; the about command sits
  // in the dialog's context menu instead, after a separator as it would there.
  QMenu menu(this);
  menu.addSeparator();
  menu.addAction("&About ZolvInstall...", this, &InstallerDialog::ShowAbout);
  menu.exec(aEvent->globalPos());
}

void InstallerDialog::ShowAbout() {
  QDialog about(this);
  about.setWindowTitle("About Zolvane Engine C++ SDK Installer");
  about.setFont(font());
  auto* icon = new QLabel(&about);
  icon->setPixmap(ProgramIcon(this).pixmap(32, 32));
  icon->setGeometry(Units(11, 17, 20, 20));
  auto* text = new QLabel("Zolvane Engine C++ SDK Installer version 1.0", &about);
  text->setGeometry(Units(40, 10, 119, 8));
  auto* ok = new QPushButton("OK", &about);
  ok->setGeometry(Units(178, 7, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, &about, &QDialog::accept);
  about.setFixedSize(Units(0, 0, 235, 55).size());
  about.exec();
}

}  // namespace zolv::install
