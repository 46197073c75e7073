// File-name parsing against related and default names.
#include <f32file.h>
#include <zhost/files.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string S(const TDesC& aText) { return ZHost::ToUtf8(aText); }

TFileName D(const std::string& aText) {
  TFileName name;
  ZHost::FromUtf8(aText, name);
  return name;
}

TEST(ParseTest, MissingPartsComeFromTheRelatedName) {
  const TFileName related = D("C:\\System\\Apps\\Test\\Test");
  TParse p;
  ASSERT_EQ(p.Set(D("a.txt"), &related, NULL), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\System\\Apps\\Test\\a.txt");
  EXPECT_EQ(S(p.Drive()), "C:");
  EXPECT_EQ(S(p.Path()), "\\System\\Apps\\Test\\");
  EXPECT_EQ(S(p.DriveAndPath()), "C:\\System\\Apps\\Test\\");
  EXPECT_EQ(S(p.Name()), "a");
  EXPECT_EQ(S(p.Ext()), ".txt");
  EXPECT_EQ(S(p.NameAndExt()), "a.txt");

  // An empty name takes the related name itself.
  ASSERT_EQ(p.Set(D(""), &related, NULL), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\System\\Apps\\Test\\Test");
  // A drive alone, an absolute path, a relative path.
  ASSERT_EQ(p.Set(D("D:x.mbm"), &related, NULL), KErrNone);
  EXPECT_EQ(S(p.FullName()), "D:\\System\\Apps\\Test\\x.mbm");
  ASSERT_EQ(p.Set(D("\\Other\\y.txt"), &related, NULL), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\Other\\y.txt");
  ASSERT_EQ(p.Set(D("sub\\z.txt"), &related, NULL), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\System\\Apps\\Test\\sub\\z.txt");
  // A name without extension takes the related extension, if there is one.
  const TFileName app = D("C:\\System\\Apps\\Test\\Test.app");
  ASSERT_EQ(p.Set(D("intro"), &app, NULL), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\System\\Apps\\Test\\intro.app");
  // The default name comes last.
  const TFileName def = D("Z:\\Def\\*.txt");
  ASSERT_EQ(p.Set(D("readme"), &related, &def), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\System\\Apps\\Test\\readme.txt");
  EXPECT_TRUE(p.IsWild() == EFalse);
  ASSERT_EQ(p.Set(D(""), NULL, &def), KErrNone);
  EXPECT_TRUE(p.IsNameWild());
}

TEST(ParseTest, AddDirAndPopDirChangeOnlyThePath) {
  const TFileName related = D("C:\\System\\Apps\\Test\\Test");
  TParse p;
  ASSERT_EQ(p.Set(D("a.txt"), &related, NULL), KErrNone);
  ASSERT_EQ(p.AddDir(D("Pictures")), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\System\\Apps\\Test\\Pictures\\a.txt");
  EXPECT_EQ(S(p.NameAndExt()), "a.txt");
  EXPECT_EQ(p.AddDir(D("..")), KErrBadName);
  EXPECT_EQ(p.AddDir(D("a\\")), KErrBadName);
  ASSERT_EQ(p.PopDir(), KErrNone);
  ASSERT_EQ(p.PopDir(), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\System\\Apps\\a.txt");
  ASSERT_EQ(p.PopDir(), KErrNone);
  ASSERT_EQ(p.PopDir(), KErrNone);
  EXPECT_TRUE(p.IsRoot());
  EXPECT_EQ(p.PopDir(), KErrGeneral);
  EXPECT_EQ(S(p.FullName()), "C:\\a.txt");
  // A name that would grow past the limit is refused and left alone.
  ASSERT_EQ(p.Set(D("C:\\" + std::string(240, 'x') + "\\a.txt"), NULL, NULL), KErrNone);
  EXPECT_NE(p.AddDir(D(std::string(20, 'y'))), KErrNone);
  EXPECT_EQ(p.FullName().Length(), 249);
}

TEST(ParseTest, InvalidNamesGiveKErrBadName) {
  TParse p;
  for (const char* bad : {"1:\\a.txt", "C:\\a<b.txt", "C:\\a\\\\b.txt", "C:\\..\\secret", "C:\\a\\.\\b", "C:a:b",
                          "C:\\x/y.txt", "C:\\a|b", "C:\\tab\t.txt"}) {
    EXPECT_EQ(p.Set(D(bad), NULL, NULL), KErrBadName) << bad;
  }
  EXPECT_EQ(p.SetNoWild(D("C:\\*.txt"), NULL, NULL), KErrBadName);
  EXPECT_EQ(p.Set(D("C:\\*.txt"), NULL, NULL), KErrNone);
  TBuf<400> longName;
  ZHost::FromUtf8("C:\\" + std::string(300, 'a'), longName);
  ASSERT_EQ(longName.Length(), 303);
  EXPECT_EQ(p.Set(longName, NULL, NULL), KErrBadName);
  EXPECT_EQ(p.FullName().Length(), 0);
  const TFileName badRelated = D("C:\\a\\..\\b");
  EXPECT_EQ(p.Set(D("x"), &badRelated, NULL), KErrBadName);
  // Any bytes: every 16-bit value in a name parses without harm.
  TBuf<4> odd;
  for (TUint c = 0; c < 0x10000; c += 7) {
    odd.Zero();
    odd.Append(TChar(c));
    odd.Append(TChar(0xFFFF - c));
    p.Set(odd, NULL, NULL);
  }
}

// Random names built from the characters that matter to the parser: whatever the input,
// a parse either fails or gives parts that make up the full name, within the length limit,
// and a host path never leaves its drive's folder.
TEST(ParseTest, RandomNamesParseConsistentlyAndStayInsideTheDrive) {
  const TUint16 alphabet[] = {'\\', ':', '.', 'a', 'B', '*', '?', '/', ' ', 'C', 'z', 0, 0xD800, 0xE9, '<'};
  std::mt19937 random(1234);
  ZHost::SetDrivePath('C', "/nonexistent/drive-c");
  const TFileName related = D("C:\\System\\Apps\\Test\\Test");
  TInt valid = 0;
  for (int round = 0; round < 20000; ++round) {
    TBuf<300> name;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) name.Append(TChar(alphabet[random() % (sizeof(alphabet) / sizeof(alphabet[0]))]));
    TParse p;
    if (p.Set(name, round % 2 ? &related : NULL, NULL) != KErrNone) continue;
    ++valid;
    ASSERT_LE(p.FullName().Length(), KMaxFileName);
    TFileName joined;
    joined.Append(p.Drive());
    joined.Append(p.Path());
    joined.Append(p.Name());
    joined.Append(p.Ext());
    ASSERT_TRUE(joined == p.FullName());
    ASSERT_TRUE(p.DriveAndPath().Length() + p.NameAndExt().Length() == p.FullName().Length());
    std::string host;
    const TInt error = ZHost::HostPath(p.FullName(), host);
    if (error == KErrBadName || error == KErrNotReady) continue;
    std::string drive;
    ASSERT_EQ(ZHost::DrivePath(p.Drive()[0], drive), KErrNone);
    ASSERT_EQ(host.rfind(drive + "/", 0), 0u) << host;
    ASSERT_EQ(host.find("/../"), std::string::npos) << host;
    ASSERT_EQ(host.find("/./"), std::string::npos) << host;
  }
  ZHost::SetDrivePath('C', "");
  EXPECT_GT(valid, 1000);
}

TEST(ParseTest, ParsePtrCSplitsOneName) {
  TParsePtrC p(D("Z:\\System\\Data\\font.gdr"));
  EXPECT_EQ(p.Error(), KErrNone);
  EXPECT_EQ(S(p.Drive()), "Z:");
  EXPECT_EQ(S(p.Name()), "font");
  EXPECT_EQ(S(p.Ext()), ".gdr");
  TParsePtrC dotfile(D("\\a\\.profile"));
  EXPECT_FALSE(dotfile.NamePresent());
  EXPECT_EQ(S(dotfile.Ext()), ".profile");
  TParsePtrC bad(D("C:\\a<b"));
  EXPECT_EQ(bad.Error(), KErrBadName);
  EXPECT_EQ(bad.FullName().Length(), 0);
}

TEST(ParseTest, FileServerValidatesAndParsesAgainstTheSessionPath) {
  RFs fs;
  ASSERT_EQ(fs.Connect(), KErrNone);
  EXPECT_TRUE(fs.IsValidName(D("C:\\System\\Apps\\Test\\a.txt")));
  EXPECT_TRUE(fs.IsValidName(D("a.txt")));
  EXPECT_FALSE(fs.IsValidName(D("")));
  EXPECT_FALSE(fs.IsValidName(D("C:\\System\\")));
  EXPECT_FALSE(fs.IsValidName(D("C:\\*.txt")));
  EXPECT_FALSE(fs.IsValidName(D("C:\\a?.txt")));
  EXPECT_FALSE(fs.IsValidName(D("C:\\a\"b")));
  TParse p;
  ASSERT_EQ(fs.Parse(D("b.txt"), p), KErrNone);
  EXPECT_EQ(S(p.FullName()), "C:\\b.txt");
  ASSERT_EQ(fs.SetSessionPath(D("Z:\\System\\")), KErrNone);
  ASSERT_EQ(fs.Parse(D("b.txt"), p), KErrNone);
  EXPECT_EQ(S(p.FullName()), "Z:\\System\\b.txt");
  TFileName session;
  ASSERT_EQ(fs.SessionPath(session), KErrNone);
  EXPECT_EQ(S(session), "Z:\\System\\");
  fs.Close();
}

}  // namespace
