// The real wizard dialog under a virtual display (xvfb-run), saved as PNG files in this
// test's build folder: wizard-dialog.png with an SDK set up, and wizard-nosdk.png with
// its three "Failed to locate" boxes (wizard-nosdk-box1.png ...) without one.
#include "HostFiles.h"
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <set>
#include <string>

#include "TempPrefix.h"

namespace fs = std::filesystem;

namespace {

using ZTestHost::Shell;

class WizardScreenshot : public TempPrefixTest {
 protected:
  void SetUp() override {
    TempPrefixTest::SetUp();
    if (Shell("command -v xvfb-run > /dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
  }
  void RegisterSdkWithEngine() {
    WriteHostFile(iPrefix / "system.reg",
                  "WINE REGISTRY Version 2\n\n[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1\n"
                  "\"CommonPath\"=\"C:\\\\Symbian\"\n");
    const fs::path sdk = DriveC() / "Symbian";
    WriteHostFile(sdk / "installed.xml",
                  "<sdk><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
                  "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>C:\\Symbian"
                  "</ESDKNonSharedPath></sdk>");
    WriteHostFile(sdk / "Epoc32" / "Include" / "Zolvane.h", "h");
    WriteHostFile(sdk / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.lib", "l");
    WriteHostFile(sdk / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.dll", "d");
  }
  // Runs the wizard in screenshot mode; the time limit keeps a box nobody answers from
  // hanging the test.
  int Screenshot(const fs::path& aFile) {
    for (int i = 0; i <= 4; ++i) {
      fs::remove(i == 0 ? aFile : fs::path(aFile.string().substr(0, aFile.string().size() - 4) + "-box" +
                                           std::to_string(i) + ".png"));
    }
    // The system's D-Bus library keeps a buffer to the end; in sanitizer builds that is
    // not ours to report.
    WriteHostFile(iRoot / "lsan.supp", "leak:libdbus-1.so\n");
    return Shell("timeout 120 xvfb-run -a env LSAN_OPTIONS=suppressions='" + (iRoot / "lsan.supp").string() +
                 "' ZOLVANE_PREFIX='" + iPrefix.string() + "' '" + ZOLV_WIZARD +
                 "' --screenshot '" + aFile.string() + "' > '" + (iRoot / "log").string() + "' 2>&1");
  }
  static fs::path Artifact(const std::string& aName) { return fs::path(ZOLV_ARTIFACT_DIR) / aName; }

  // Distinct colours, and the share of dark pixels (text and frames).
  static void Look(const QImage& aImage, std::size_t& aColours, double& aDark) {
    std::set<QRgb> colours;
    long dark = 0;
    for (int y = 0; y < aImage.height(); ++y) {
      for (int x = 0; x < aImage.width(); ++x) {
        const QRgb c = aImage.pixel(x, y);
        colours.insert(c);
        dark += qGray(c) < 100;
      }
    }
    aColours = colours.size();
    aDark = static_cast<double>(dark) / (aImage.width() * aImage.height());
  }
};

TEST_F(WizardScreenshot, TheDialogWithAnSdkShowsNoBox) {
  RegisterSdkWithEngine();
  const fs::path file = Artifact("wizard-dialog.png");
  ASSERT_EQ(Screenshot(file), 0) << ReadHostFile(iRoot / "log");
  EXPECT_FALSE(fs::exists(Artifact("wizard-dialog-box1.png")));
  QImage image(QString::fromStdString(file.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_GE(image.width(), 300);
  EXPECT_LE(image.width(), 1200);
  EXPECT_GE(image.height(), 150);
  EXPECT_LE(image.height(), 600);
  std::size_t colours = 0;
  double dark = 0;
  Look(image, colours, dark);
  EXPECT_GT(colours, 8u);  // labels, edit fields and buttons drawn with antialiased text
  EXPECT_GT(dark, 0.005);
  EXPECT_LT(dark, 0.5);
}

TEST_F(WizardScreenshot, MissingEngineFilesGiveThreeBoxesBeforeTheDialogIsSaved) {
  const fs::path file = Artifact("wizard-nosdk.png");
  ASSERT_EQ(Screenshot(file), 0) << ReadHostFile(iRoot / "log");
  EXPECT_TRUE(fs::exists(file));
  for (int i = 1; i <= 3; ++i) {
    QImage box(QString::fromStdString(Artifact("wizard-nosdk-box" + std::to_string(i) + ".png").string()));
    ASSERT_FALSE(box.isNull()) << i;
    EXPECT_GT(box.width(), 200) << i;
  }
  EXPECT_FALSE(fs::exists(Artifact("wizard-nosdk-box4.png")));
}

}  // namespace
