// The file server: drive mapping, case-insensitive lookup, reading, writing, error codes.
#include <f32file.h>
#include <zhost/files.h>

#include <gtest/gtest.h>

#include "Locales.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TFileName D(const std::string& aText) {
  TFileName name;
  ZHost::FromUtf8(aText, name);
  return name;
}

void Put(const fs::path& aPath, const std::string& aBytes) {
  fs::create_directories(aPath.parent_path());
  std::ofstream(aPath, std::ios::binary) << aBytes;
}

class FilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zolvane-files-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    iRoot = pattern;
    ZHost::SetEpocRoot(iRoot.string());
    ZHost::SetDrivePath('C', "");
    ZHost::SetDrivePath('Z', "");
    unsetenv("ZOLVANE_DRIVE_C");
    unsetenv("ZOLVANE_DRIVE_Z");
    iC = iRoot / "epoc32/wins/c";
    iZ = iRoot / "epoc32/release/wins/udeb/z";
    fs::create_directories(iC);
    fs::create_directories(iZ);
    ASSERT_EQ(iFs.Connect(), KErrNone);
  }
  void TearDown() override {
    iFs.Close();
    ZHost::SetEpocRoot("");
    fs::remove_all(iRoot);
  }
  std::string ReadAll(const std::string& aName, TInt* aError = NULL) {
    RFile file;
    TInt error = file.Open(iFs, D(aName), EFileShareReadersOnly | EFileRead);
    if (aError) *aError = error;
    if (error != KErrNone) return "";
    TInt size = 0;
    EXPECT_EQ(file.Size(size), KErrNone);
    std::string bytes(static_cast<size_t>(size), '\0');
    TPtr8 des(reinterpret_cast<TUint8*>(bytes.data()), size);
    EXPECT_EQ(file.Read(des), KErrNone);
    bytes.resize(static_cast<size_t>(des.Length()));
    file.Close();
    return bytes;
  }

  fs::path iRoot, iC, iZ;
  RFs iFs;
};

TEST_F(FilesTest, DrivesMapToTheEmulatorLayoutAndCanBeOverridden) {
  std::string path;
  ASSERT_EQ(ZHost::DrivePath('c', path), KErrNone);
  EXPECT_EQ(path, iC.string());
  ASSERT_EQ(ZHost::DrivePath('Z', path), KErrNone);
  EXPECT_EQ(path, iZ.string());
  EXPECT_EQ(ZHost::DrivePath('E', path), KErrNotReady);
  RFile file;
  EXPECT_EQ(file.Open(iFs, D("E:\\a.txt"), EFileRead), KErrNotReady);

  // The environment places a drive; a program override wins over it.
  const fs::path elsewhere = iRoot / "elsewhere";
  Put(elsewhere / "e.txt", "from E");
  setenv("ZOLVANE_DRIVE_E", elsewhere.c_str(), 1);
  EXPECT_EQ(ReadAll("E:\\E.TXT"), "from E");
  const fs::path other = iRoot / "other";
  Put(other / "e.txt", "override");
  ZHost::SetDrivePath('E', other.string());
  EXPECT_EQ(ReadAll("E:\\e.txt"), "override");
  ZHost::SetDrivePath('E', "");
  unsetenv("ZOLVANE_DRIVE_E");
  EXPECT_EQ(ZHost::DrivePath('E', path), KErrNotReady);

  // Without an override the root comes from ZOLVANE_EPOCROOT.
  ZHost::SetEpocRoot("");
  setenv("ZOLVANE_EPOCROOT", "/some/root", 1);
  ASSERT_EQ(ZHost::DrivePath('C', path), KErrNone);
  EXPECT_EQ(path, "/some/root/epoc32/wins/c");
  unsetenv("ZOLVANE_EPOCROOT");
  // The emulator folders below the root are found whatever their letter case; folders
  // that do not exist keep the lower-case form.
  const fs::path sdk = iRoot / "sdk";
  Put(sdk / "Epoc32/Release/wins/UDEB/z/System/z.txt", "from an SDK tree");
  ZHost::SetEpocRoot(sdk.string());
  ASSERT_EQ(ZHost::DrivePath('Z', path), KErrNone);
  EXPECT_EQ(path, (sdk / "Epoc32/Release/wins/UDEB/z").string());
  ASSERT_EQ(ZHost::DrivePath('C', path), KErrNone);
  EXPECT_EQ(path, (sdk / "Epoc32/wins/c").string());
  EXPECT_EQ(ReadAll("Z:\\system\\Z.TXT"), "from an SDK tree");
  ZHost::SetEpocRoot(iRoot.string());
}

TEST_F(FilesTest, LookupIgnoresLetterCaseInEveryComponent) {
  Put(iC / "system/Apps/A.txt", "hello");
  EXPECT_EQ(ReadAll("C:\\System\\APPS\\a.TXT"), "hello");
  // Session-relative names resolve on the session path (C:\).
  EXPECT_EQ(ReadAll("\\SYSTEM\\apps\\a.txt"), "hello");
  // An exact match wins over a case-insensitive one.
  Put(iC / "system/Apps/a.TXT", "exact");
  EXPECT_EQ(ReadAll("C:\\system\\Apps\\a.TXT"), "exact");
  // Letters beyond ASCII are folded too.
  Put(iZ / "Ä.dat", "umlaut");
  EXPECT_EQ(ReadAll("Z:\\ä.DAT"), "umlaut");
}

// In the Turkish locale the C library does not pair "I" with "i"; the device's lookup
// must not care: the drive folders of the emulator layout and every name in them match
// as in any other locale.
TEST_F(FilesTest, LookupIsTheSameInTheTurkishLocale) {
  ZTestHost::ScopedLocale turkish("tr_TR.UTF-8");
  if (!turkish.Active()) GTEST_SKIP() << "the locale tr_TR.UTF-8 is not generated (scripts/test generates it)";
  // The emulator's folders spelt in capitals: C: is EPOC32/WINS/C.
  fs::remove_all(iRoot / "epoc32");
  Put(iRoot / "EPOC32/WINS/C/System/Apps/Info.ini", "c drive");
  Put(iRoot / "EPOC32/RELEASE/WINS/UDEB/Z/SYSTEM/DATA/LIST.INI", "z drive");
  EXPECT_EQ(ReadAll("c:\\system\\apps\\info.ini"), "c drive");
  EXPECT_EQ(ReadAll("C:\\SYSTEM\\APPS\\INFO.INI"), "c drive");
  EXPECT_EQ(ReadAll("z:\\system\\data\\list.ini"), "z drive");
  EXPECT_EQ(ReadAll("Z:\\System\\Data\\List.Ini"), "z drive");
  TInt error = KErrNone;
  ReadAll("C:\\SYSTEM\\APPS\\INFO.INX", &error);
  EXPECT_EQ(error, KErrNotFound);
}

TEST_F(FilesTest, ErrorsAreTheFileServerCodesAndNeverCrash) {
  Put(iC / "dir/file.txt", "x");
  TInt error = KErrNone;
  ReadAll("C:\\dir\\missing.txt", &error);
  EXPECT_EQ(error, KErrNotFound);
  ReadAll("C:\\nodir\\file.txt", &error);
  EXPECT_EQ(error, KErrPathNotFound);
  ReadAll("C:\\dir\\file.txt\\below.txt", &error);  // a file used as a folder
  EXPECT_EQ(error, KErrPathNotFound);
  ReadAll("C:\\dir\\a<b.txt", &error);
  EXPECT_EQ(error, KErrBadName);
  ReadAll("C:\\..\\..\\etc\\passwd", &error);
  EXPECT_EQ(error, KErrBadName);
  ReadAll("C:\\dir", &error);  // a folder
  EXPECT_EQ(error, KErrAccessDenied);
  ReadAll("C:\\dir\\", &error);
  EXPECT_EQ(error, KErrBadName);
  // A pipe would block a reader: refused at once.
  ASSERT_EQ(mkfifo((iC / "fifo").c_str(), 0600), 0);
  ReadAll("C:\\fifo", &error);
  EXPECT_EQ(error, KErrAccessDenied);

  RFile file;
  ASSERT_EQ(file.Open(iFs, D("C:\\dir\\file.txt"), EFileShareReadersOnly | EFileRead), KErrNone);
  TBuf8<4> small;
  EXPECT_EQ(file.Read(small, 5), KErrOverflow);
  EXPECT_EQ(file.Read(small, -1), KErrArgument);
  EXPECT_EQ(file.Write(_L8("no")), KErrAccessDenied);
  file.Close();
  file.Close();  // closing twice is harmless
  EXPECT_EQ(file.Read(small), KErrBadHandle);

  RFs unconnected;
  EXPECT_EQ(file.Open(unconnected, D("C:\\dir\\file.txt"), EFileRead), KErrBadHandle);
}

TEST_F(FilesTest, AFileTooBigForADescriptorFailsCleanly) {
  const fs::path huge = iC / "huge.bin";
  { std::ofstream(huge).put('x'); }
  ASSERT_EQ(truncate(huge.c_str(), 3LL * 1024 * 1024 * 1024), 0);  // sparse, 3 GB
  RFile file;
  ASSERT_EQ(file.Open(iFs, D("C:\\huge.bin"), EFileRead), KErrNone);
  TInt size = -1;
  EXPECT_EQ(file.Size(size), KErrTooBig);
  EXPECT_EQ(size, -1);
  TEntry entry;
  ASSERT_EQ(iFs.Entry(D("C:\\huge.bin"), entry), KErrNone);
  EXPECT_EQ(entry.iSize, KMaxTInt);
  file.Close();
}

TEST_F(FilesTest, ReadingInPiecesAndAtPositions) {
  Put(iC / "data.bin", "0123456789");
  RFile file;
  ASSERT_EQ(file.Open(iFs, D("C:\\data.bin"), EFileShareReadersOnly), KErrNone);
  TBuf8<4> buf;
  ASSERT_EQ(file.Read(buf), KErrNone);
  EXPECT_TRUE(buf == _L8("0123"));
  ASSERT_EQ(file.Read(buf, 3), KErrNone);
  EXPECT_TRUE(buf == _L8("456"));
  ASSERT_EQ(file.Read(buf), KErrNone);
  EXPECT_TRUE(buf == _L8("789"));
  ASSERT_EQ(file.Read(buf), KErrNone);  // at the end: nothing, no error
  EXPECT_EQ(buf.Length(), 0);
  ASSERT_EQ(file.Read(2, buf, 2), KErrNone);
  EXPECT_TRUE(buf == _L8("23"));
  TInt pos = 0;
  ASSERT_EQ(file.Seek(ESeekCurrent, pos), KErrNone);
  EXPECT_EQ(pos, 4);
  pos = -3;
  ASSERT_EQ(file.Seek(ESeekEnd, pos), KErrNone);
  EXPECT_EQ(pos, 7);
  file.Close();
}

TEST_F(FilesTest, ContentsInMemoryReplaceOnlyWhatReadingGives) {
  Put(iC / "Dir/In.txt", "on disk");
  const std::string host = (iC / "Dir/In.txt").string();
  ZHost::SetMemoryContents(host, std::string("from\0memory", 11));
  // Found through the same lookup (any letter case); each open starts at the beginning.
  EXPECT_EQ(ReadAll("C:\\dir\\IN.TXT"), std::string("from\0memory", 11));
  RFile first, second;
  ASSERT_EQ(first.Open(iFs, D("C:\\Dir\\In.txt"), EFileRead), KErrNone);
  ASSERT_EQ(second.Open(iFs, D("C:\\Dir\\In.txt"), EFileRead), KErrNone);
  TBuf8<4> buf;
  ASSERT_EQ(first.Read(buf), KErrNone);
  EXPECT_TRUE(buf == _L8("from"));
  ASSERT_EQ(second.Read(buf, 2), KErrNone);
  EXPECT_TRUE(buf == _L8("fr"));
  first.Close();
  second.Close();
  // A name that does not exist on the host stays missing; other files keep their bytes.
  ZHost::SetMemoryContents((iC / "Dir/none.txt").string(), "x");
  TInt error = KErrNone;
  ReadAll("C:\\Dir\\none.txt", &error);
  EXPECT_EQ(error, KErrNotFound);
  Put(iC / "Dir/other.txt", "other");
  EXPECT_EQ(ReadAll("C:\\Dir\\other.txt"), "other");
  // Opening for writing reaches the file on disk, which the memory does not hide from it.
  RFile file;
  ASSERT_EQ(file.Open(iFs, D("C:\\Dir\\In.txt"), EFileWrite), KErrNone);
  TBuf8<16> disk;
  ASSERT_EQ(file.Read(disk), KErrNone);
  EXPECT_TRUE(disk == _L8("on disk"));
  file.Close();
  ZHost::SetMemoryContents(host, "");
  EXPECT_EQ(ReadAll("C:\\Dir\\In.txt"), "");
  ZHost::ClearMemoryContents(host);
  EXPECT_EQ(ReadAll("C:\\Dir\\In.txt"), "on disk");
  ZHost::SetMemoryContents(host, "again");
  ZHost::ClearMemoryContents();
  EXPECT_EQ(ReadAll("C:\\Dir\\In.txt"), "on disk");
}

TEST_F(FilesTest, CreateReplaceWriteAndFolderOperations) {
  RFile file;
  EXPECT_EQ(file.Create(iFs, D("C:\\New\\Sub\\n.txt"), EFileWrite), KErrPathNotFound);
  ASSERT_EQ(iFs.MkDirAll(D("C:\\New\\Sub\\n.txt")), KErrNone);
  EXPECT_EQ(iFs.MkDirAll(D("C:\\new\\sub\\")), KErrAlreadyExists);
  EXPECT_TRUE(fs::is_directory(iC / "New/Sub"));
  ASSERT_EQ(file.Create(iFs, D("C:\\NEW\\sub\\n.txt"), EFileWrite), KErrNone);
  ASSERT_EQ(file.Write(_L8("abc")), KErrNone);
  file.Close();
  // Created under the existing folders' own names.
  EXPECT_TRUE(fs::exists(iC / "New/Sub/n.txt"));
  EXPECT_EQ(file.Create(iFs, D("C:\\New\\Sub\\N.TXT"), EFileWrite), KErrAlreadyExists);
  ASSERT_EQ(file.Replace(iFs, D("C:\\New\\Sub\\N.TXT"), EFileWrite), KErrNone);
  ASSERT_EQ(file.Write(_L8("xy")), KErrNone);
  ASSERT_EQ(file.Write(5, _L8("z")), KErrNone);
  TInt size = 0;
  ASSERT_EQ(file.Size(size), KErrNone);
  EXPECT_EQ(size, 6);
  file.Close();
  EXPECT_EQ(ReadAll("C:\\new\\sub\\n.txt"), std::string("xy\0\0\0z", 6));

  TEntry entry;
  ASSERT_EQ(iFs.Entry(D("C:\\new\\SUB"), entry), KErrNone);
  EXPECT_TRUE(entry.IsDir());
  EXPECT_EQ(ZHost::ToUtf8(entry.iName), "Sub");
  ASSERT_EQ(iFs.Entry(D("C:\\new\\sub\\n.txt"), entry), KErrNone);
  EXPECT_FALSE(entry.IsDir());
  EXPECT_EQ(entry.iSize, 6);

  EXPECT_EQ(iFs.RmDir(D("C:\\New\\Sub\\")), KErrInUse);
  EXPECT_EQ(iFs.Delete(D("C:\\New\\Sub")), KErrAccessDenied);
  ASSERT_EQ(iFs.Rename(D("C:\\new\\sub\\n.txt"), D("C:\\new\\sub\\m.txt")), KErrNone);
  EXPECT_EQ(iFs.Delete(D("C:\\new\\sub\\n.txt")), KErrNotFound);
  ASSERT_EQ(iFs.Delete(D("C:\\NEW\\SUB\\M.TXT")), KErrNone);
  ASSERT_EQ(iFs.RmDir(D("C:\\new\\sub\\")), KErrNone);
  EXPECT_FALSE(fs::exists(iC / "New/Sub"));
  ASSERT_EQ(iFs.MkDir(D("C:\\New\\Other\\")), KErrNone);
  EXPECT_EQ(iFs.MkDir(D("C:\\Missing\\Other\\")), KErrPathNotFound);
  EXPECT_EQ(iFs.MkDir(D("C:\\New\\other\\")), KErrAlreadyExists);
}

TEST_F(FilesTest, TextConvertsBetweenDeviceAndHost) {
  TBuf<8> text;
  ZHost::FromUtf8("a\xC3\xA9\xF0\x9F\x98\x80\xFF", text);  // a, e-acute, an emoji, a bad byte
  ASSERT_EQ(text.Length(), 5);
  EXPECT_EQ(text[1], 0xE9);
  EXPECT_EQ(text[2], 0xD83D);
  EXPECT_EQ(text[3], 0xDE00);
  EXPECT_EQ(text[4], 0xFFFD);
  EXPECT_EQ(ZHost::ToUtf8(text.Left(4)), "a\xC3\xA9\xF0\x9F\x98\x80");
  TBuf<2> tiny;
  ZHost::FromUtf8("abc", tiny);  // cut at the descriptor's size, no overflow
  EXPECT_EQ(tiny.Length(), 2);
}

}  // namespace
