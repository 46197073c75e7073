// Symbolic links in the Windows layer: a link in a file's place is never written,
// truncated, created or deleted through; folders below a base are passed only where the
// caller allows; temporary files and the registry's atomic save never go through a link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

#include "TempPrefix.h"
#include "zwindows/movefile.h"
#include "zwindows/windows.h"

namespace fs = std::filesystem;
using namespace zwin;

namespace {

class WinLinks : public TempPrefixTest {
 protected:
  void SetUp() override {
    TempPrefixTest::SetUp();
    fs::create_directories(DriveC() / "d");
    WriteHostFile(iRoot / "outside" / "target.txt", "outside bytes");
    WriteHostFile(iRoot / "outside" / "sub" / "deep.txt", "deep bytes");
  }
  fs::path Outside() const { return iRoot / "outside"; }
  // The outside folder, file by file, with their bytes.
  std::map<std::string, std::string> OutsideTree() const {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(Outside())) {
      tree[fs::relative(e.path(), Outside()).string()] = e.is_directory() ? "<dir>" : ReadHostFile(e.path());
    }
    return tree;
  }
  static fs::path Host(const std::string& aWindowsPath) {
    HostPath hp;
    ToHostPath(aWindowsPath, hp);
    return hp.path;
  }
  static bool IsLink(const fs::path& aPath) { return fs::is_symlink(fs::symlink_status(aPath)); }
  static std::string Write(HANDLE aFile, const std::string& aBytes) {
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(aFile, aBytes.data(), static_cast<DWORD>(aBytes.size()), &written));
    CloseHandle(aFile);
    return aBytes;
  }
};

TEST_F(WinLinks, CreatingOrTruncatingReplacesTheLinkItself) {
  const auto before = OutsideTree();
  fs::create_symlink(Outside() / "target.txt", DriveC() / "d" / "live.txt");
  fs::create_symlink(Outside() / "missing.txt", DriveC() / "d" / "dangling.txt");
  fs::create_symlink(Outside() / "target.txt", DriveC() / "d" / "trunc.txt");

  HANDLE h = CreateFile("C:\\d\\LIVE.TXT", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  Write(h, "new");
  h = CreateFile("C:\\d\\dangling.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  Write(h, "dangling");
  h = CreateFile("C:\\d\\trunc.txt", GENERIC_READ | GENERIC_WRITE, 0, TRUNCATE_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  Write(h, "t");

  for (const char* name : {"live.txt", "dangling.txt", "trunc.txt"}) {
    EXPECT_FALSE(IsLink(DriveC() / "d" / name)) << name;
  }
  EXPECT_EQ(ReadHostFile(DriveC() / "d" / "live.txt"), "new");
  EXPECT_EQ(ReadHostFile(DriveC() / "d" / "dangling.txt"), "dangling");
  EXPECT_EQ(ReadHostFile(DriveC() / "d" / "trunc.txt"), "t");
  // Nothing written, created or left over outside or beside.
  EXPECT_EQ(OutsideTree(), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(DriveC() / "d"), fs::directory_iterator()), 3);
}

TEST_F(WinLinks, ALinkExistsReadsFollowAndWritesInPlaceAreDenied) {
  const auto before = OutsideTree();
  fs::create_symlink(Outside() / "target.txt", DriveC() / "d" / "live.txt");
  fs::create_symlink(Outside() / "missing.txt", DriveC() / "d" / "dangling.txt");
  fs::create_directory_symlink(Outside() / "sub", DriveC() / "d" / "folder");

  EXPECT_EQ(CreateFile("C:\\d\\dangling.txt", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  // Opening without truncating would write into what the link names.
  EXPECT_EQ(CreateFile("C:\\d\\live.txt", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(CreateFile("C:\\d\\dangling.txt", GENERIC_WRITE, 0, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  // Reading follows; a dangling link is not created on the way.
  UniqueHandle read(CreateFile("C:\\d\\live.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  ASSERT_TRUE(read.Valid());
  char buffer[32] = {};
  DWORD got = 0;
  ReadFile(read.Get(), buffer, sizeof buffer, &got);
  EXPECT_EQ(std::string(buffer, got), "outside bytes");
  read.Reset();
  EXPECT_EQ(CreateFile("C:\\d\\dangling.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(CreateFile("C:\\d\\folder", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

  EXPECT_EQ(GetFileAttributes("C:\\d\\live.txt"), FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributes("C:\\d\\dangling.txt"), FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributes("C:\\d\\folder"), FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(SetFileAttributes("C:\\d\\live.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_NE(fs::status(Outside() / "target.txt").permissions() & fs::perms::owner_write, fs::perms::none);
  // A directory is made nowhere through a dangling link.
  EXPECT_FALSE(CreateDirectory("C:\\d\\dangling.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

  // Deleting removes the links, never what they name; a link is no folder to remove.
  EXPECT_FALSE(RemoveDirectory("C:\\d\\folder"));
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  for (const char* name : {"C:\\d\\live.txt", "C:\\d\\dangling.txt", "C:\\d\\folder"}) {
    EXPECT_TRUE(DeleteFile(name)) << name;
  }
  EXPECT_TRUE(fs::is_empty(DriveC() / "d"));
  EXPECT_EQ(OutsideTree(), before);
  // A drive's root is no file to delete, though the prefix keeps it as a link.
  EXPECT_FALSE(DeleteFile("C:\\"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(RemoveDirectory("C:\\"));
  EXPECT_TRUE(IsLink(iPrefix / "dosdevices" / "c:"));
}

TEST_F(WinLinks, BelowABaseOnlyTheLinksTheCallerAllowsArePassed) {
  const auto before = OutsideTree();
  fs::create_directories(DriveC() / "base" / "Real" / "Inner");
  WriteHostFile(DriveC() / "base" / "Real" / "Inner" / "f.txt", "mine");
  fs::create_directory_symlink(Outside(), DriveC() / "base" / "Real" / "Swapped");
  fs::create_directory_symlink(Outside(), DriveC() / "base" / "Layout");
  fs::create_symlink(Outside() / "target.txt", DriveC() / "base" / "Real" / "file-link");

  EXPECT_EQ(LinkedFoldersBelow("C:\\base\\", "real\\swapped\\sub\\deep.txt"),
            std::vector<std::string>{"Real\\Swapped"});
  EXPECT_EQ(LinkedFoldersBelow("C:\\base\\", "Real\\Inner\\f.txt"), std::vector<std::string>{});

  std::vector<std::string> asked;
  const FollowLink onlyLayout = [&](std::string_view aFolder) {
    asked.emplace_back(aFolder);
    return aFolder == "Layout";
  };
  // A link that is not allowed counts as a missing folder, and nothing behind it goes.
  EXPECT_FALSE(DeleteFileBelow("C:\\base\\", "Real\\Swapped\\target.txt", onlyLayout));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(DeleteFileBelow("C:\\base\\", "Real\\Swapped\\sub\\deep.txt", {}));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(RemoveDirectoryBelow("C:\\base\\", "Real\\Swapped\\sub", onlyLayout));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(asked, (std::vector<std::string>{"Real\\Swapped", "Real\\Swapped"}));
  EXPECT_EQ(OutsideTree(), before);

  // A link as the last component is deleted itself, and is not a folder to remove.
  EXPECT_FALSE(RemoveDirectoryBelow("C:\\base\\", "Real\\Swapped", onlyLayout));
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  EXPECT_TRUE(DeleteFileBelow("C:\\base\\", "real\\FILE-LINK", {}));
  EXPECT_FALSE(fs::exists(fs::symlink_status(DriveC() / "base" / "Real" / "file-link")));
  EXPECT_EQ(OutsideTree(), before);

  // Real folders are passed whatever the caller says; an allowed link too.
  EXPECT_FALSE(DeleteFileBelow("C:\\base\\", "Real\\Inner\\none.txt", {}));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(DeleteFileBelow("C:\\base\\", "REAL\\inner\\F.TXT", {}));
  EXPECT_TRUE(RemoveDirectoryBelow("C:\\base\\", "Real\\Inner", {}));
  EXPECT_FALSE(fs::exists(DriveC() / "base" / "Real" / "Inner"));
  EXPECT_TRUE(DeleteFileBelow("C:\\base\\", "layout\\sub\\deep.txt", onlyLayout));
  EXPECT_TRUE(RemoveDirectoryBelow("C:\\base\\", "Layout\\sub", onlyLayout));
  EXPECT_FALSE(fs::exists(Outside() / "sub"));
  EXPECT_EQ(ReadHostFile(Outside() / "target.txt"), "outside bytes");
  // The walk never climbs above its base.
  EXPECT_FALSE(DeleteFileBelow("C:\\base\\Real\\", "..\\..\\d", {}));
}

TEST_F(WinLinks, TemporaryFilesAreNewAndTheirOwn) {
  fs::create_symlink(Outside() / "target.txt", DriveC() / "d" / "list.lst.new");
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    std::string temporary;
    HANDLE h = CreateTemporaryFileBeside("C:\\d\\list.lst", temporary);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(temporary.rfind("C:\\d\\list.lst.", 0), 0u) << temporary;
    Write(h, "x");
    names.insert(temporary);
    EXPECT_FALSE(IsLink(Host(temporary)));
  }
  EXPECT_EQ(names.size(), 20u);
  EXPECT_EQ(ReadHostFile(Outside() / "target.txt"), "outside bytes");
  std::string temporary;
  EXPECT_EQ(CreateTemporaryFileBeside("C:\\none\\list.lst", temporary), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  // A host file made exclusively never opens an entry that is there.
  fs::path path;
  const int fd = CreateExclusiveHostFile(DriveC() / "d", "stem", path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(path.parent_path(), DriveC() / "d");
  EXPECT_EQ(path.filename().string().rfind("stem.", 0), 0u);
}

// The registry is saved through a new file beside the hive, renamed over it: a link
// planted at the old temporary name or at the hive itself never receives the text.
TEST_F(WinLinks, RegistrySaveNeverWritesThroughALink) {
  const fs::path hive = iPrefix / "system.reg";
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", 0, "", 0, KEY_WRITE, nullptr, &key, nullptr), 0);
  RegCloseKey(key);
  const std::string saved = ReadHostFile(hive);
  WriteHostFile(Outside() / "hive.reg", saved);
  fs::remove(hive);
  fs::create_symlink(Outside() / "hive.reg", hive);
  for (const std::string& name : {"system.reg.tmp." + std::to_string(::getpid()), std::string("system.reg.new")}) {
    fs::create_symlink(Outside() / "target.txt", iPrefix / name);
  }
  const auto before = OutsideTree();

  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", 0, "", 0, KEY_WRITE, nullptr, &key, nullptr), 0);
  const char value[] = "v";
  ASSERT_EQ(RegSetValueEx(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), 2), 0);
  RegCloseKey(key);

  EXPECT_EQ(OutsideTree(), before);
  EXPECT_FALSE(IsLink(hive));
  EXPECT_NE(ReadHostFile(hive).find("\"Name\"=\"v\""), std::string::npos) << ReadHostFile(hive);
  for (const auto& e : fs::directory_iterator(iPrefix)) {
    EXPECT_EQ(e.path().extension() == ".tmp", false) << "left over: " << e.path();
  }
}

TEST_F(WinLinks, MovingOverALinkReplacesTheLink) {
  fs::create_symlink(Outside() / "target.txt", DriveC() / "d" / "to.txt");
  WriteHostFile(DriveC() / "d" / "from.txt", "moved");
  EXPECT_TRUE(MoveFileEx("C:\\d\\from.txt", "C:\\d\\to.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(IsLink(DriveC() / "d" / "to.txt"));
  EXPECT_EQ(ReadHostFile(DriveC() / "d" / "to.txt"), "moved");
  EXPECT_EQ(ReadHostFile(Outside() / "target.txt"), "outside bytes");
}

}  // namespace
