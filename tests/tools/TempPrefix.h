// A temporary prefix and working folder for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "HostFiles.h"
#include "zwindows/paths.h"

class TempPrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zolv-tools-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    iRoot = pattern;
    iPrefix = iRoot / "prefix";
    std::filesystem::create_directories(iRoot / "work");
    iOldCwd = std::filesystem::current_path();
    std::filesystem::current_path(iRoot / "work");
    zwin::SetPrefixDirectory(iPrefix);
    (void)zwin::PrefixDirectory();
  }
  void TearDown() override {
    std::filesystem::current_path(iOldCwd);
    zwin::SetPrefixDirectory({});
    std::error_code ec;
    std::filesystem::permissions(iRoot, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(iRoot, ec);
  }

  std::filesystem::path DriveC() const { return iPrefix / "drive_c"; }

  static void WriteHostFile(const std::filesystem::path& aPath, const std::string& aBytes) {
    ZTestHost::WriteHostFile(aPath, aBytes);
  }
  static std::string ReadHostFile(const std::filesystem::path& aPath) { return ZTestHost::ReadHostFile(aPath); }

  std::filesystem::path iRoot;
  std::filesystem::path iPrefix;
  std::filesystem::path iOldCwd;
};
