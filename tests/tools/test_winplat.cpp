#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <string>

#include "Locales.h"
#include "TempPrefix.h"
#include "zwindows/windows.h"

namespace fs = std::filesystem;
using namespace zwin;

namespace {

class WinPaths : public TempPrefixTest {};
class WinFiles : public TempPrefixTest {};
class WinRegistry : public TempPrefixTest {};
class WinProcess : public TempPrefixTest {};
class WinUi : public TempPrefixTest {};

std::string ReadAll(HANDLE aFile) {
  std::string out;
  char buf[5];
  DWORD n = 0;
  while (ReadFile(aFile, buf, sizeof buf, &n) && n > 0) out.append(buf, n);
  return out;
}

TEST_F(WinPaths, DrivesMapIntoThePrefixLikeWine) {
  EXPECT_TRUE(fs::is_directory(iPrefix / "drive_c" / "windows"));
  EXPECT_EQ(fs::read_symlink(iPrefix / "dosdevices" / "c:"), fs::path("../drive_c"));
  EXPECT_EQ(fs::read_symlink(iPrefix / "dosdevices" / "z:"), fs::path("/"));

  fs::create_directories(DriveC() / "Program Files" / "Symbian");
  HostPath hp;
  ASSERT_EQ(ToHostPath("c:\\PROGRAM FILES\\symbian\\New.txt", hp), ERROR_SUCCESS);
  EXPECT_EQ(fs::weakly_canonical(hp.path),
            fs::weakly_canonical(DriveC() / "Program Files" / "Symbian" / "New.txt"));
  EXPECT_FALSE(hp.exists);
  EXPECT_TRUE(hp.parentExists);

  ASSERT_EQ(ToHostPath("C:/Program Files/x/y.txt", hp), ERROR_SUCCESS);
  EXPECT_FALSE(hp.parentExists);
  EXPECT_EQ(MissingError(hp), ERROR_PATH_NOT_FOUND);

  // Z: is the host root, so every host path has a Windows form and back.
  std::string expected = "Z:" + fs::weakly_canonical(iRoot / "work" / "a b.txt").string();
  for (char& c : expected) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(ToWindowsPath(iRoot / "work" / "a b.txt"), expected);
  ASSERT_EQ(ToHostPath(ToWindowsPath(iRoot / "work"), hp), ERROR_SUCCESS);
  EXPECT_EQ(fs::weakly_canonical(hp.path), fs::weakly_canonical(iRoot / "work"));
  EXPECT_EQ(ToWindowsPath(DriveC() / "windows"), "C:\\windows");
  EXPECT_EQ(ToWindowsPath(DriveC()), "C:\\");
}

TEST_F(WinPaths, OtherDrivesRelativePathsAndBadNames) {
  fs::create_directories(iRoot / "ddrive" / "SDK");
  fs::create_directory_symlink(iRoot / "ddrive", iPrefix / "dosdevices" / "d:");
  HostPath hp;
  ASSERT_EQ(ToHostPath("D:\\sdk\\..\\SDK\\.\\file", hp), ERROR_SUCCESS);
  EXPECT_EQ(fs::weakly_canonical(hp.path), fs::weakly_canonical(iRoot / "ddrive" / "SDK" / "file"));
  EXPECT_EQ(ToWindowsPath(iRoot / "ddrive" / "SDK"), "D:\\SDK");

  EXPECT_EQ(ToHostPath("Q:\\nothing", hp), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(ToHostPath("C:\\a<b", hp), ERROR_INVALID_NAME);
  EXPECT_EQ(ToHostPath("C:\\a\\b?\\c", hp), ERROR_INVALID_NAME);
  EXPECT_EQ(ToHostPath(std::string("C:\\a\x01"), hp), ERROR_INVALID_NAME);
  EXPECT_EQ(ToHostPath("\\\\server\\share\\x", hp), ERROR_BAD_NETPATH);
  EXPECT_EQ(ToHostPath("C:\\" + std::string(300, 'a'), hp), ERROR_FILENAME_EXCED_RANGE);
  // Climbing above the root stays at the root, as the system does.
  ASSERT_EQ(ToHostPath("C:\\..\\..\\windows", hp), ERROR_SUCCESS);
  EXPECT_EQ(fs::weakly_canonical(hp.path), fs::weakly_canonical(DriveC() / "windows"));

  // Relative and root-relative paths use the current directory and its drive.
  ASSERT_EQ(ToHostPath("install.lst", hp), ERROR_SUCCESS);
  EXPECT_EQ(fs::weakly_canonical(hp.path), fs::weakly_canonical(iRoot / "work" / "install.lst"));
  fs::current_path(DriveC() / "windows");
  ASSERT_EQ(ToHostPath("\\installed.xml", hp), ERROR_SUCCESS);
  EXPECT_EQ(fs::weakly_canonical(hp.path), fs::weakly_canonical(DriveC() / "installed.xml"));
  EXPECT_EQ(GetCurrentDirectory(), "C:\\windows");

  // Names in the ANSI code page become UTF-8 host names.
  ASSERT_EQ(ToHostPath("C:\\caf\xe9", hp), ERROR_SUCCESS);
  EXPECT_EQ(hp.path.filename().string(), "caf\xc3\xa9");
  EXPECT_EQ(GetWindowsDirectory(), "C:\\windows");
}

TEST_F(WinFiles, CreateReadWriteAndTheirErrors) {
  HANDLE h = CreateFile("C:\\data\\x.bin", GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  h = CreateFile("C:\\x.bin", GENERIC_READ, 0, OPEN_EXISTING);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  ASSERT_TRUE(CreateDirectory("C:\\Data"));
  EXPECT_FALSE(CreateDirectory("c:\\DATA"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectory("C:\\a\\b"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  h = CreateFile("C:\\data\\X.bin", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, "hello\0world", 11, &n));
  EXPECT_EQ(n, 11u);
  ASSERT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(ReadHostFile(DriveC() / "Data" / "X.bin"), std::string("hello\0world", 11));

  EXPECT_EQ(CreateFile("C:\\DATA\\x.BIN", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  h = CreateFile("C:\\DATA\\x.BIN", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(h);
  EXPECT_EQ(ReadHostFile(DriveC() / "Data" / "X.bin"), "");

  WriteHostFile(DriveC() / "Data" / "r.txt", "0123456789");
  h = CreateFile("C:\\Data\\r.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SetFilePointer(h, 4, nullptr, FILE_BEGIN), 4u);
  EXPECT_EQ(ReadAll(h), "456789");
  EXPECT_EQ(SetFilePointer(h, -20, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  // Sharing: a second reader is fine, a writer is not, and the open file cannot be deleted.
  HANDLE h2 = CreateFile("C:\\Data\\r.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(h2, INVALID_HANDLE_VALUE);
  CloseHandle(h2);
  EXPECT_EQ(CreateFile("C:\\Data\\r.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(DeleteFile("C:\\Data\\r.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  DWORD written = 7;
  EXPECT_FALSE(WriteFile(h, "x", 1, &written));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(written, 0u);
  CloseHandle(h);
  EXPECT_TRUE(DeleteFile("C:\\Data\\r.txt"));
  EXPECT_FALSE(DeleteFile("C:\\Data\\r.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(WinFiles, AttributesDirectoriesReadOnlyAndDiskFull) {
  ASSERT_TRUE(CreateDirectory("C:\\d"));
  WriteHostFile(DriveC() / "d" / "f.txt", "x");
  EXPECT_EQ(GetFileAttributes("C:\\D"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes("C:\\D\\F.TXT"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributes("C:\\D\\none"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileAttributes("C:\\none\\none"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  EXPECT_FALSE(RemoveDirectory("C:\\d"));
  EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
  EXPECT_FALSE(RemoveDirectory("C:\\d\\f.txt"));
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  EXPECT_FALSE(DeleteFile("C:\\d"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(CreateFile("C:\\d", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

  ASSERT_TRUE(SetFileAttributes("C:\\d\\f.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributes("C:\\d\\f.txt"), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteFile("C:\\d\\f.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(CreateFile("C:\\d\\f.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  ASSERT_TRUE(SetFileAttributes("C:\\d\\f.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFile("C:\\d\\f.txt"));
  EXPECT_TRUE(RemoveDirectory("C:\\D"));
  EXPECT_FALSE(fs::exists(DriveC() / "d"));

  // The fault switch fails exactly the second write with "disk full".
  HANDLE h = CreateFile("C:\\full.bin", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  FailNthWrite(2);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(h, "ab", 2, &n));
  EXPECT_FALSE(WriteFile(h, "cd", 2, &n));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(n, 0u);
  EXPECT_TRUE(WriteFile(h, "ef", 2, &n));
  CloseHandle(h);
  EXPECT_EQ(ReadHostFile(DriveC() / "full.bin"), "abef");
}

TEST(WinErrors, SystemMessageTexts) {
  EXPECT_EQ(SystemMessage(2), "The system cannot find the file specified.\r\n");
  EXPECT_EQ(SystemMessage(3), "The system cannot find the path specified.\r\n");
  EXPECT_EQ(SystemMessage(5), "Access is denied.\r\n");
  EXPECT_EQ(SystemMessage(32),
            "The process cannot access the file because it is being used by another process.\r\n");
  EXPECT_EQ(SystemMessage(80), "The file exists.\r\n");
  EXPECT_EQ(SystemMessage(112), "There is not enough space on the disk.\r\n");
  EXPECT_EQ(SystemMessage(183), "Cannot create a file when that file already exists.\r\n");
  EXPECT_EQ(SystemMessage(0), "The operation completed successfully.\r\n");
  EXPECT_EQ(SystemMessage(123456), "");
  EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
}

// ---- registry ----------------------------------------------------------------------

std::string QueryString(HKEY aRoot, const char* aKey, const char* aName, LONG* aError = nullptr) {
  HKEY key = 0;
  LONG e = RegOpenKeyEx(aRoot, aKey, 0, KEY_READ, &key);
  std::string result;
  if (e == ERROR_SUCCESS) {
    char buf[1024] = {};
    DWORD size = sizeof buf - 1;
    DWORD type = 0;
    e = RegQueryValueEx(key, aName, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    if (e == ERROR_SUCCESS) result.assign(buf, size);
    RegCloseKey(key);
  }
  if (aError) *aError = e;
  return result;
}

TEST_F(WinRegistry, WritesWineTextFormatAtomically) {
  HKEY key = 0;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Symbian\\EPOC SDKs", 0, "",
                           REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  const char path[] = "C:\\Program Files\\\"Common\" Files\\Symbian\xe9";
  ASSERT_EQ(RegSetValueEx(key, "CommonPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                          sizeof path),
            ERROR_SUCCESS);
  const DWORD number = 0x1234abcd;
  ASSERT_EQ(RegSetValueEx(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("def"), 4),
            ERROR_SUCCESS);
  const BYTE bin[3] = {1, 0xfe, 0};
  ASSERT_EQ(RegSetValueEx(key, "Bin", 0, REG_BINARY, bin, 3), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

  const std::string text = ReadHostFile(iPrefix / "system.reg");
  EXPECT_EQ(text.rfind("WINE REGISTRY Version 2\n", 0), 0u);
  EXPECT_NE(text.find("[SOFTWARE\\\\Symbian\\\\EPOC SDKs] "), std::string::npos);
  EXPECT_NE(text.find("\"CommonPath\"=\"C:\\\\Program Files\\\\\\\"Common\\\" Files\\\\Symbian\\xe9\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\"Count\"=dword:1234abcd\n"), std::string::npos);
  EXPECT_NE(text.find("@=\"def\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"Bin\"=hex:01,fe,00\n"), std::string::npos);
  for (const auto& entry : fs::directory_iterator(iPrefix)) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }

  // Another "process" sees the stored values; names are found without regard to case.
  SetPrefixDirectory(iPrefix);
  EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, "software\\SYMBIAN\\epoc sdks", "commonpath"),
            std::string(path, sizeof path));
  EXPECT_TRUE(QueryString(HKEY_CURRENT_USER, "SOFTWARE\\Symbian\\EPOC SDKs", "CommonPath").empty());
}

TEST_F(WinRegistry, ReadsHandWrittenWineFiles) {
  WriteHostFile(iPrefix / "system.reg",
                "WINE REGISTRY Version 2\n"
                ";; All keys relative to \\\\Machine\n"
                "\n"
                "#arch=win64\n"
                "\n"
                "[Software\\\\Symbian\\\\EPOC SDKs] 1600000000\n"
                "#time=1d7f0a1b2c3d4e5\n"
                "\"CommonPath\"=\"C:\\\\Common\\x00e9\\\"q\\\"\\tz\"\n"
                "@=\"default\"\n"
                "\"Num\"=dword:0000002a\n"
                "\"Exp\"=str(2):\"%PATH%\"\n"
                "\"Long\"=hex:41,42,\\\n"
                "  43,00\n"
                "garbage line\n"
                "\"broken\"=\"unterminated\n"
                "\n"
                "[Software\\\\Other] 1600000000\n"
                "#an option that ends in a backslash \\\n"
                "\"Kept\"=\"yes\"\n");
  // Only values continue on the next line: the option line does not swallow the value.
  EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, "Software\\Other", "Kept"), std::string("yes\0", 4));
  EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, "Software\\Symbian\\EPOC SDKs", "CommonPath"),
            std::string("C:\\Common\xe9\"q\"\tz\0", 16));
  EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, "Software\\Symbian\\EPOC SDKs", ""),
            std::string("default\0", 8));
  EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, "Software\\Symbian\\EPOC SDKs", "Long"),
            std::string("ABC\0", 4));
  LONG error = 0;
  QueryString(HKEY_LOCAL_MACHINE, "Software\\Symbian\\EPOC SDKs", "broken", &error);
  EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);

  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Symbian\\EPOC SDKs", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  DWORD type = 0, number = 0, size = 4;
  ASSERT_EQ(RegQueryValueEx(key, "NUM", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(number, 42u);
  // Size queries and too small buffers.
  size = 0;
  ASSERT_EQ(RegQueryValueEx(key, "Exp", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_EXPAND_SZ);
  EXPECT_EQ(size, 7u);
  char small[3] = {'x', 'x', 'x'};
  size = 3;
  EXPECT_EQ(RegQueryValueEx(key, "Exp", nullptr, &type, reinterpret_cast<BYTE*>(small), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(small[0], 'x');
  // A read-only handle cannot write.
  EXPECT_EQ(RegSetValueEx(key, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("y"), 2),
            ERROR_ACCESS_DENIED);
  RegCloseKey(key);

  // A change keeps the file's preamble and key options and other keys.
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Symbian\\EPOC SDKs", 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValue(key, "Num"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key, "Num"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  const std::string text = ReadHostFile(iPrefix / "system.reg");
  EXPECT_NE(text.find("#arch=win64\n"), std::string::npos) << text;
  EXPECT_NE(text.find("#an option that ends in a backslash \\\n\"Kept\"=\"yes\"\n"), std::string::npos);
  EXPECT_NE(text.find("#time=1d7f0a1b2c3d4e5\n"), std::string::npos);
  EXPECT_NE(text.find("[Software\\\\Other] 1600000000\n"), std::string::npos);
  EXPECT_EQ(text.find("\"Num\""), std::string::npos);
  EXPECT_NE(text.find("\"Exp\"=str(2):\"%PATH%\"\n"), std::string::npos);
}

TEST_F(WinRegistry, WindowsLineBreaksReadAndSaveTheSameEveryTime) {
  WriteHostFile(iPrefix / "system.reg",
                "WINE REGISTRY Version 2\r\n\r\n"
                "[Software\\\\A] 1\r\n"
                "#note\r\r\n"
                "\"v\"=\"1\"\r\n");
  EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, "Software\\A", "v"), std::string("1\0", 2));
  const auto store = [] {
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\A", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "w", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2), ERROR_SUCCESS);
    RegCloseKey(key);
  };
  store();
  const std::string first = ReadHostFile(iPrefix / "system.reg");
  EXPECT_NE(first.find("#note\n\"v\"=\"1\"\n\"w\"=\"2\"\n"), std::string::npos) << first;
  // Read again from the file it wrote, the same change writes the same bytes.
  SetPrefixDirectory(iPrefix);
  store();
  EXPECT_EQ(ReadHostFile(iPrefix / "system.reg"), first);
}

// Key, value and file names match as on Windows, whatever the process's locale: in the
// Turkish one the C library's case mapping does not pair "I" with "i".
TEST_F(WinRegistry, NamesMatchWithoutRegardToCaseInTheTurkishLocale) {
  ZTestHost::ScopedLocale turkish("tr_TR.UTF-8");
  if (!turkish.Active()) GTEST_SKIP() << "the locale tr_TR.UTF-8 is not generated (scripts/test generates it)";
  HKEY key = 0;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT\\WINDOWS", 0, "", REG_OPTION_NON_VOLATILE,
                           KEY_WRITE, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, "ID", 0, REG_SZ, reinterpret_cast<const BYTE*>("big"), 4), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "software\\microsoft\\windows", 0, "", REG_OPTION_NON_VOLATILE,
                           KEY_WRITE, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY) << "a second key was made for another spelling";
  RegCloseKey(key);
  EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, "software\\microsoft\\windows", "id"), std::string("big\0", 4));
  EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows", "Id"), std::string("big\0", 4));
  const std::string text = ReadHostFile(iPrefix / "system.reg");
  EXPECT_NE(text.find("[SOFTWARE\\\\MICROSOFT\\\\WINDOWS]"), std::string::npos) << text;
  EXPECT_EQ(text.find("[software"), std::string::npos) << text;

  // File and folder names in the drives.
  WriteHostFile(DriveC() / "Kit" / "Win.ini", "[windows]\n");
  EXPECT_EQ(GetFileAttributes("C:\\KIT\\WIN.INI"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributes("c:\\kit\\win.ini"), FILE_ATTRIBUTE_ARCHIVE);
  HANDLE h = CreateFile("C:\\KIT\\WIN.INI", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadAll(h), "[windows]\n");
  CloseHandle(h);
  h = CreateFile("C:\\KIT\\WIN.INI", GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "another file was made beside Win.ini";
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
}

TEST_F(WinRegistry, KeysDeletionAndDamagedFiles) {
  HKEY key = 0;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "A\\B", 0, "", 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(fs::exists(iPrefix / "user.reg"));
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "a"), ERROR_ACCESS_DENIED);
  HKEY b = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A\\B", 0, KEY_ALL_ACCESS, &b), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "a\\b"), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(b, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2), ERROR_KEY_DELETED);
  RegCloseKey(b);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "a"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "a"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyEx(12345, "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);

  // A file that is not a registry file reads as empty and is never overwritten.
  const std::string junk("\x7f" "ELF\0\xff\n[x]\n\"a\"=\"b\"\n", 17);
  WriteHostFile(iPrefix / "system.reg", junk);
  LONG error = 0;
  QueryString(HKEY_LOCAL_MACHINE, "x", "a", &error);
  EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "y", 0, "", 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_BADDB);
  EXPECT_EQ(ReadHostFile(iPrefix / "system.reg"), junk);

  // Random bytes after a valid signature do not crash the reader.
  std::string noise = "WINE REGISTRY Version 2\n[k]\n";
  unsigned seed = 7;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245 + 12345;
    noise += static_cast<char>("\"@=\\[]x0:,\n"[(seed >> 16) % 11]);
  }
  WriteHostFile(iPrefix / "system.reg", noise);
  QueryString(HKEY_LOCAL_MACHINE, "k", "a", &error);
  EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_SUCCESS);
}

// ---- processes ----------------------------------------------------------------------

TEST(WinCommandLine, SplitsLikeTheRuntime) {
  EXPECT_EQ(CommandLineToArgv("makmake.bat Game vc6"),
            (std::vector<std::string>{"makmake.bat", "Game", "vc6"}));
  EXPECT_EQ(CommandLineToArgv("  \"C:\\Program Files\\x.exe\" \"a b\" c\\\\\"d e\" f\\\"g h\\i"),
            (std::vector<std::string>{"C:\\Program Files\\x.exe", "a b", "c\\d e", "f\"g", "h\\i"}));
  EXPECT_TRUE(CommandLineToArgv("   ").empty());
}

TEST_F(WinProcess, FindsProgramsOnPathAndRunsThemInTheWorkingDirectory) {
  const fs::path bin = iRoot / "bin";
  WriteHostFile(bin / "MakMake.bat",
                "#!/bin/sh\npwd > \"$PWD/ran.txt\"\nfor a in \"$@\"; do echo \"[$a]\" >> ran.txt; done\n");
  fs::permissions(bin / "MakMake.bat", fs::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);

  ASSERT_TRUE(CreateDirectory("C:\\Game"));
  ProcessInformation info;
  ASSERT_TRUE(CreateProcess("makmake.bat Game vc6", "C:\\game", &info)) << GetLastError();
  EXPECT_EQ(WaitForProcess(info), 0);
  const std::string ran = ReadHostFile(DriveC() / "Game" / "ran.txt");
  EXPECT_NE(ran.find("drive_c/Game\n[Game]\n[vc6]\n"), std::string::npos) << ran;

  EXPECT_FALSE(CreateProcess("makmake.bat Game vc6", "C:\\NoSuchDir", &info));
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  EXPECT_FALSE(CreateProcess("zolv-no-such-program-here.bat x", "C:\\Game", &info));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  ::setenv("PATH", oldPath.c_str(), 1);
  EXPECT_FALSE(CreateProcess("makmake.bat Game vc6", "C:\\Game", &info));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// ---- scripted user interface --------------------------------------------------------

TEST_F(WinUi, ScriptedAnswersRecordsAndTranscript) {
  WriteHostFile(iRoot / "answers.txt",
                "# comment\nyes\n\n  Default  \nRetry\nD:\\My Folder\nCancel\n" +
                    (iRoot / "work").string() + "\n");
  ScriptedUserInterface ui;
  ui.LoadAnswers((iRoot / "answers.txt").string());
  ui.SetTranscript((iRoot / "transcript.txt").string());
  EXPECT_EQ(ui.RemainingAnswers(), 6u);
  EXPECT_EQ(ui.MessageBox("Replace?", "Confirm", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(ui.MessageBox("Sure?", "Notice", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(ui.MessageBox("Disk\r\nfull", "Confirm", MB_ABORTRETRYIGNORE), IDRETRY);
  EXPECT_EQ(ui.BrowseForFolder("Select a folder"), "D:\\My Folder");
  EXPECT_EQ(ui.BrowseForFolder("Select a folder"), "");
  EXPECT_EQ(ui.BrowseForFolder("Select a folder"), ToWindowsPath(iRoot / "work"));
  ASSERT_EQ(ui.Records().size(), 6u);
  EXPECT_EQ(ui.Records()[2].text, "Disk\r\nfull");
  EXPECT_EQ(ui.Records()[2].answer, "Retry");

  // No answer left is an error at once, never a wait.
  EXPECT_THROW(ui.MessageBox("Last", "Error", MB_OK), ScriptError);
  EXPECT_EQ(ui.Records().back().answer, "(no answer left)");
  const std::string transcript = ReadHostFile(iRoot / "transcript.txt");
  EXPECT_NE(transcript.find("message box\n  title: \"Notice\"\n  text: \"Sure?\"\n  buttons: Yes No\n"
                            "  default: No\n  icon: none\n  answer: No\n"),
            std::string::npos)
      << transcript;
  EXPECT_NE(transcript.find("  text: \"Disk\\r\\nfull\"\n  buttons: Abort Retry Ignore\n"),
            std::string::npos);
  EXPECT_NE(transcript.find("folder browser\n  title: \"Select a folder\"\n  answer: \"D:\\\\My Folder\"\n"),
            std::string::npos);
  EXPECT_NE(transcript.find("  answer: (no answer left)\n"), std::string::npos);

  // Answers that do not fit the box are errors too.
  ScriptedUserInterface wrong({"Yes", "No"});
  EXPECT_THROW(wrong.MessageBox("x", "Error", MB_OK), ScriptError);
  EXPECT_THROW(wrong.BrowseForFolder("Select a folder"), ScriptError);
  EXPECT_THROW(ScriptedUserInterface().LoadAnswers((iRoot / "none.txt").string()), ScriptError);
}

}  // namespace
