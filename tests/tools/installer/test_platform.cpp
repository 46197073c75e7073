// The Windows-layer pieces the installer adds: shell links, the Programs folder,
// replacing renames and read-only folders.
#include <sys/stat.h>

#include <string>

#include "InstallerFixture.h"

namespace installer_test {
namespace {

class ShellAndFiles : public TempPrefixTest {};

TEST_F(ShellAndFiles, ShellLinkLayoutAndRoundTrip) {
  ASSERT_EQ(zwin::CreateShellLink("C:\\Prog\\tool.exe", "C:\\t.lnk", "Caf\xe9 tool"), zwin::S_OK);
  const std::string bytes = ReadHostFile(DriveC() / "t.lnk");
  ASSERT_EQ(bytes.size(), 76u + 0x1Cu + 0x11u + 17u + 1u + 2u + 2u * 9u + 4u);
  EXPECT_EQ(bytes.substr(0, 20),
            std::string("\x4c\0\0\0\x01\x14\x02\0\0\0\0\0\xc0\0\0\0\0\0\0\x46", 20));
  EXPECT_EQ(static_cast<unsigned char>(bytes[20]), 0x86u);  // link info, name, Unicode
  // The target as the local base path of the link information.
  EXPECT_EQ(bytes.substr(76 + 0x1C + 0x11, 18), std::string("C:\\Prog\\tool.exe\0", 18));
  std::string target, description;
  ASSERT_EQ(zwin::ReadShellLink("C:\\t.lnk", target, description), zwin::S_OK);
  EXPECT_EQ(target, "C:\\Prog\\tool.exe");
  EXPECT_EQ(description, "Caf\xe9 tool");

  // Failures come back as statuses: missing folder, a path too long, a full disk.
  EXPECT_EQ(zwin::CreateShellLink("x", "C:\\no\\t.lnk", ""), zwin::HResultFromWin32(zwin::ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(zwin::CreateShellLink("x", "C:\\" + std::string(260, 'l'), ""), zwin::E_INVALIDARG);
  zwin::FailNthWrite(1);
  EXPECT_EQ(zwin::CreateShellLink("x", "C:\\full.lnk", ""), zwin::HResultFromWin32(zwin::ERROR_DISK_FULL));
  zwin::FailNthWrite(0);
  EXPECT_FALSE(std::filesystem::exists(DriveC() / "full.lnk"));
  WriteHostFile(DriveC() / "bad.lnk", "not a link");
  EXPECT_NE(zwin::ReadShellLink("C:\\bad.lnk", target, description), zwin::S_OK);
  WriteHostFile(DriveC() / "cut.lnk", bytes.substr(0, 100));
  EXPECT_NE(zwin::ReadShellLink("C:\\cut.lnk", target, description), zwin::S_OK);
}

TEST_F(ShellAndFiles, ProgramsFolderIsRegisteredOnceAndFound) {
  ::setenv("USER", "someone", 1);
  const std::string folder = zwin::RegisterProgramsFolder();
  EXPECT_EQ(folder, "C:\\users\\someone\\Start Menu\\Programs");
  EXPECT_TRUE(std::filesystem::is_directory(DriveC() / "users/someone/Start Menu/Programs"));
  EXPECT_EQ(zolv::install::InstallEngine::FindProgramsFolder(), folder + "\\");
  ::setenv("USER", "other", 1);
  EXPECT_EQ(zwin::RegisterProgramsFolder(), folder);
  // The all-users folder comes first.
  zwin::HKEY key = 0;
  ASSERT_EQ(zwin::RegCreateKeyEx(zwin::HKEY_LOCAL_MACHINE, zwin::kShellFoldersKey, 0, "", 0,
                                 zwin::KEY_WRITE, nullptr, &key, nullptr), 0);
  const std::string common = "C:\\Common\\Programs\\";
  zwin::RegSetValueEx(key, "Common Programs", 0, zwin::REG_SZ,
                      reinterpret_cast<const zwin::BYTE*>(common.c_str()),
                      static_cast<zwin::DWORD>(common.size() + 1));
  zwin::RegCloseKey(key);
  EXPECT_EQ(zolv::install::InstallEngine::FindProgramsFolder(), common);
}

TEST_F(ShellAndFiles, ReplacingRenameAndReadOnlyFolders) {
  WriteHostFile(DriveC() / "a.txt", "new");
  WriteHostFile(DriveC() / "b.txt", "old");
  EXPECT_FALSE(zwin::MoveFileEx("C:\\a.txt", "C:\\b.txt", 0));
  EXPECT_EQ(zwin::GetLastError(), zwin::ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(zwin::MoveFileEx("C:\\a.txt", "C:\\b.txt",
                               zwin::MOVEFILE_REPLACE_EXISTING | zwin::MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(ReadHostFile(DriveC() / "b.txt"), "new");
  EXPECT_FALSE(std::filesystem::exists(DriveC() / "a.txt"));
  EXPECT_FALSE(zwin::MoveFileEx("C:\\a.txt", "C:\\c.txt", 0));
  EXPECT_EQ(zwin::GetLastError(), zwin::ERROR_FILE_NOT_FOUND);

  // A folder its owner may not write takes no new entries and loses none.
  std::filesystem::create_directories(DriveC() / "ro" / "sub");
  WriteHostFile(DriveC() / "ro" / "f.txt", "f");
  ::chmod((DriveC() / "ro").c_str(), 0555);
  EXPECT_EQ(zwin::CreateFile("C:\\ro\\new.txt", zwin::GENERIC_WRITE, 0, zwin::CREATE_ALWAYS),
            zwin::INVALID_HANDLE_VALUE);
  EXPECT_EQ(zwin::GetLastError(), zwin::ERROR_ACCESS_DENIED);
  EXPECT_FALSE(zwin::CreateDirectory("C:\\ro\\d"));
  EXPECT_EQ(zwin::GetLastError(), zwin::ERROR_ACCESS_DENIED);
  EXPECT_FALSE(zwin::DeleteFile("C:\\ro\\f.txt"));
  EXPECT_FALSE(zwin::RemoveDirectory("C:\\ro\\sub"));
  EXPECT_FALSE(zwin::MoveFileEx("C:\\b.txt", "C:\\ro\\b.txt", 0));
  // Existing files in it can still be rewritten.
  zwin::UniqueHandle h(zwin::CreateFile("C:\\ro\\f.txt", zwin::GENERIC_WRITE, 0, zwin::CREATE_ALWAYS));
  EXPECT_TRUE(h.Valid());
  h.Reset();
  ::chmod((DriveC() / "ro").c_str(), 0755);
  EXPECT_TRUE(zwin::DeleteFile("C:\\ro\\f.txt"));
}

}  // namespace
}  // namespace installer_test
