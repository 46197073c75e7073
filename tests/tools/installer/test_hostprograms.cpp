// Installed programs can be run on this host: files that start like a program become
// runnable when the installer writes them; other files, and files it did not write, keep
// their permissions.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "HostPrograms.h"
#include "InstallerFixture.h"

namespace installer_test {
namespace {

using zolv::install::InstallEngine;
using zolv::install::MakeRunnableWhenProgram;
using zwin::ScriptedUserInterface;

mode_t Mode(const fs::path& aPath) {
  struct stat st = {};
  ::lstat(aPath.c_str(), &st);
  return st.st_mode & 07777;
}

class HostPrograms : public InstallerTest {};

TEST_F(HostPrograms, InstalledProgramsAndScriptsBecomeRunnableOtherFilesDoNot) {
  const std::string elf = std::string("\x7f" "ELF", 4) + std::string(8, '\0');
  const std::string script = "#!/bin/sh\nexit 0\n";
  const std::string text = "plain";
  const std::string almost = std::string("\x7f" "EL", 3);  // too short to be a program
  WriteInstallation(Header() +
                        "<package><name>P</name>"
                        "<file>bin\\prog</file><size>" + std::to_string(elf.size()) + "</size>"
                        "<file>bin\\run.sh</file><size>" + std::to_string(script.size()) + "</size>"
                        "<file>doc\\readme.txt</file><size>" + std::to_string(text.size()) + "</size>"
                        "<file>doc\\short</file><size>" + std::to_string(almost.size()) + "</size>"
                        "<file>doc\\old</file><size>2</size>"
                        "</package>",
                    elf + script + text + almost + "#!");
  // A file that was there before and is kept ("No" to replacing it) is not the installer's.
  WriteHostFile(DriveC() / "Kestrelon" / "ZolvaneSDK" / "Nokia9200" / "doc" / "old", "#!/bin/true\n");
  fs::permissions(DriveC() / "Kestrelon" / "ZolvaneSDK" / "Nokia9200" / "doc" / "old", fs::perms(0640));
  ScriptedUserInterface ui({"No", "OK"});
  InstallEngine engine(ui);
  Targets(engine);
  ASSERT_TRUE(engine.Install("install.lst"));

  const fs::path t0 = DriveC() / "Kestrelon" / "ZolvaneSDK" / "Nokia9200";
  const mode_t created = Mode(t0 / "doc" / "readme.txt");
  EXPECT_EQ(created & 0111, 0u);
  // Run permission follows read permission.
  EXPECT_EQ(Mode(t0 / "bin" / "prog"), created | ((created & 0444) >> 2));
  EXPECT_EQ(Mode(t0 / "bin" / "run.sh"), created | ((created & 0444) >> 2));
  EXPECT_EQ(::access((t0 / "bin" / "run.sh").c_str(), X_OK), 0);
  EXPECT_EQ(Mode(t0 / "doc" / "short"), created);
  EXPECT_EQ(Mode(t0 / "doc" / "old"), 0640u);
  EXPECT_EQ(ReadHostFile(t0 / "doc" / "old"), "#!/bin/true\n");
}

TEST_F(HostPrograms, OnlyRegularFilesThatCanBeReadAreChanged) {
  // Missing files, folders and links are left alone.
  EXPECT_FALSE(MakeRunnableWhenProgram("C:\\missing"));
  fs::create_directories(DriveC() / "folder");
  EXPECT_FALSE(MakeRunnableWhenProgram("C:\\folder"));
  WriteHostFile(DriveC() / "target", "#!/bin/sh\n");
  fs::permissions(DriveC() / "target", fs::perms(0644));
  fs::create_symlink(DriveC() / "target", DriveC() / "link");
  EXPECT_FALSE(MakeRunnableWhenProgram("C:\\link"));
  EXPECT_EQ(Mode(DriveC() / "target"), 0644u);
  // An empty file is no program; a program already runnable needs no change.
  WriteHostFile(DriveC() / "empty", "");
  EXPECT_FALSE(MakeRunnableWhenProgram("C:\\empty"));
  EXPECT_TRUE(MakeRunnableWhenProgram("C:\\target"));
  EXPECT_EQ(Mode(DriveC() / "target"), 0755u);
  EXPECT_FALSE(MakeRunnableWhenProgram("C:\\target"));
  // Letter case of the name does not matter, as everywhere on drive C:.
  WriteHostFile(DriveC() / "Tool", "\x7f" "ELF....");
  fs::permissions(DriveC() / "Tool", fs::perms(0600));
  EXPECT_TRUE(MakeRunnableWhenProgram("C:\\TOOL"));
  EXPECT_EQ(Mode(DriveC() / "Tool"), 0700u);
}

}  // namespace
}  // namespace installer_test
