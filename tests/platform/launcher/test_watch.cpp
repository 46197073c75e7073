// epoc --watch, with files changed on disk while the application runs: an edited movie, a
// rebuilt module, a module that cannot be loaded and a movie with faults.
#include "HostFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ZTestHost::ReadHostFile;
using ZTestHost::Shell;
using ZTestHost::WriteHostFile;

// Replaces a file the way editors and builds do: written beside it, then renamed over it.
void Replace(const fs::path& aPath, const std::string& aBytes) {
  const fs::path temp = aPath.string() + ".new";
  WriteHostFile(temp, aBytes);
  fs::rename(temp, aPath);
}

// The frames of a hashes file in order: (frame, hash), a frame shown again after a reload
// appearing twice.
std::vector<std::pair<int, std::string>> Hashes(const fs::path& aPath) {
  std::vector<std::pair<int, std::string>> out;
  std::istringstream in(ReadHostFile(aPath));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    int frame = 0;
    std::string hash;
    words >> frame >> hash;
    out.emplace_back(frame, hash);
  }
  return out;
}

class Watching : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/zolv-watch-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    iRoot = pattern;
    iApps = iRoot / "apps dir";
    fs::create_directories(iApps);
  }
  void TearDown() override {
    if (iPid > 0) {
      ::kill(iPid, SIGKILL);
      ::waitpid(iPid, NULL, 0);
    }
    std::error_code ec;
    fs::remove_all(iRoot, ec);
  }

  // Starts epoc --watch headless in the background; its output goes to Output().
  void Start(const std::string& aName, int aFrames, const std::string& aSources = std::string()) {
    iPid = ::fork();
    ASSERT_GE(iPid, 0);
    if (iPid == 0) {
      const int fd = ::open((iRoot / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(fd, 1);
      ::dup2(fd, 2);
      ::chdir(iRoot.c_str());
      ::setenv("LC_ALL", "C", 1);
      ::setenv("SDL_AUDIODRIVER", "dummy", 1);
      const std::string frames = std::to_string(aFrames);
      const std::string apps = iApps.string();
      if (!aSources.empty())
        ::execl(ZOLV_EPOC, ZOLV_EPOC, "--watch", "--headless", "--frames", frames.c_str(), "--record", "session.txt",
                "--hashes", "watch.txt", "--apps", apps.c_str(), "--sources", aSources.c_str(), aName.c_str(),
                (char*)NULL);
      ::execl(ZOLV_EPOC, ZOLV_EPOC, "--watch", "--headless", "--frames", frames.c_str(), "--record", "session.txt",
              "--hashes", "watch.txt", "--apps", apps.c_str(), aName.c_str(), (char*)NULL);
      ::_exit(127);
    }
  }
  std::string Output() const { return ReadHostFile(iRoot / "out.txt"); }

  // Waits (at most a minute) until the output holds aText aCount times.
  bool WaitFor(const std::string& aText, int aCount = 1) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
      const std::string out = Output();
      int found = 0;
      for (size_t at = out.find(aText); at != std::string::npos; at = out.find(aText, at + 1)) ++found;
      if (found >= aCount) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  int Finish() {
    int status = 0;
    ::waitpid(iPid, &status, 0);
    iPid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The frame number of the n-th "back at frame" line.
  int BackAt(int aNth) const {
    const std::string out = Output();
    size_t at = std::string::npos;
    for (int i = 0; i < aNth; ++i) {
      at = out.find("back at frame ", at == std::string::npos ? 0 : at + 1);
      if (at == std::string::npos) return -1;
    }
    return std::atoi(out.c_str() + at + std::strlen("back at frame "));
  }
  // Replays the watch's recording headless with the files as they are now.
  std::vector<std::pair<int, std::string>> Replay(const std::string& aName) {
    const std::string command = "cd '" + iRoot.string() + "' && LC_ALL=C SDL_AUDIODRIVER=dummy '" + ZOLV_EPOC +
                                "' --headless --replay session.txt --hashes replay.txt --apps '" + iApps.string() +
                                "' " + aName + " > replay-out.txt 2>&1";
    EXPECT_EQ(Shell(command), 0) << ReadHostFile(iRoot / "replay-out.txt");
    return Hashes(iRoot / "replay.txt");
  }

  // Checks that frame aFrame was shown twice with different pictures, the second time as
  // a fresh run with today's files shows it.
  void ExpectNewPictureAt(int aFrame, const std::vector<std::pair<int, std::string>>& aFresh) {
    const std::vector<std::pair<int, std::string>> watch = Hashes(iRoot / "watch.txt");
    std::vector<std::string> shown;
    for (const auto& [frame, hash] : watch)
      if (frame == aFrame) shown.push_back(hash);
    ASSERT_GE(shown.size(), 2u) << "frame " << aFrame << " was not shown again";
    EXPECT_NE(shown[shown.size() - 2], shown.back());
    ASSERT_GE(aFresh.size(), static_cast<size_t>(aFrame));
    EXPECT_EQ(aFresh[aFrame - 1].second, shown.back());
  }

  fs::path iRoot, iApps;
  pid_t iPid = -1;
};

TEST_F(Watching, ARebuiltModuleIsLoadedFreshAndAFailingOneKeepsTheSession) {
  const fs::path folder = iApps / "LiveTestApp";
  fs::create_directories(folder);
  fs::copy_file(ZOLV_LIVE_TEST_APP, folder / "LiveTestApp.app");
  WriteHostFile(folder / "Data" / "ticks.txt", "100000");
  Start("LiveTestApp", 350);
  ASSERT_TRUE(WaitFor("epoc: screen: headless")) << Output();
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  // A module that is not one: reported, the session goes on.
  Replace(folder / "LiveTestApp.app", "not a module");
  ASSERT_TRUE(WaitFor("the module cannot be loaded")) << Output();
  EXPECT_NE(Output().find("LiveTestApp.app changed; the module cannot be loaded"), std::string::npos) << Output();
  // The rebuilt module, with another tint, under the same name.
  Replace(folder / "LiveTestApp.app", ReadHostFile(ZOLV_LIVE_TEST_APP_TINTED));
  ASSERT_TRUE(WaitFor("LiveTestApp.app changed: back at frame ")) << Output();
  const int back = BackAt(1);
  EXPECT_GT(back, 1) << Output();
  EXPECT_EQ(Finish(), 0) << Output();
  EXPECT_NE(Output().find("epoc: LiveTestApp stopped after 350 frames"), std::string::npos) << Output();
  ExpectNewPictureAt(back, Replay("LiveTestApp"));
}

#ifdef ZOLV_DEMO_APP_DIR
TEST_F(Watching, AnEditedMovieComesBackAtTheSameFrameWithItsNewPicture) {
  fs::copy(ZOLV_DEMO_APP_DIR, iApps / "Demo", fs::copy_options::recursive);
  const fs::path movie = iApps / "Demo" / "Movies" / "title.movie";
  std::string text = ReadHostFile(movie);
  const size_t at = text.find("L 194 28");
  ASSERT_NE(at, std::string::npos);
  Start("Demo", 250);
  ASSERT_TRUE(WaitFor("epoc: screen: headless")) << Output();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  // The name lower on the title card.
  text.replace(at, 8, "L 194 70");
  Replace(movie, text);
  ASSERT_TRUE(WaitFor("Movies/title.movie changed: back at frame ")) << Output();
  const int back = BackAt(1);
  EXPECT_GT(back, 1) << Output();
  // A movie with faults: the checks say what is wrong, the application comes back.
  std::string faulty = text;
  faulty.insert(faulty.find("BFrm FrmNr 4"), "BFrm FrmNr 3\n  BSp C 0 L 1 1 ESp\nEFrm\n");
  Replace(movie, faulty);
  ASSERT_TRUE(WaitFor("Movies/title.movie changed: back at frame ", 2)) << Output();
  EXPECT_NE(Output().find("Movies/title.movie:"), std::string::npos) << "no checks: " << Output();
  EXPECT_NE(Output().find("channel 0"), std::string::npos) << Output();
  EXPECT_EQ(Finish(), 0) << Output();
  // Put the first edit back alone, and a fresh run shows the frame as the watch did.
  Replace(movie, text);
  ExpectNewPictureAt(back, Replay("Demo"));
}

// An edit in the project's own folder (as the Demo's files/ in the source tree) reaches the
// running application with no build step: --sources copies it beside the module, where
// it is picked up as if it had been edited there; files outside the resource folders stay.
TEST_F(Watching, AnEditInTheProjectFolderReachesTheApplicationWithoutABuild) {
  fs::copy(ZOLV_DEMO_APP_DIR, iApps / "Demo", fs::copy_options::recursive);
  const fs::path sources = iRoot / "project files ü";
  fs::create_directories(sources / "Movies");
  fs::copy_file(iApps / "Demo" / "Movies" / "title.movie", sources / "Movies" / "title.movie");
  std::string text = ReadHostFile(sources / "Movies" / "title.movie");
  const size_t at = text.find("L 194 28");
  ASSERT_NE(at, std::string::npos);
  Start("Demo", 250, sources.string());
  ASSERT_TRUE(WaitFor("epoc: screen: headless")) << Output();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  text.replace(at, 8, "L 194 70");
  Replace(sources / "Movies" / "title.movie", text);
  WriteHostFile(sources / "notes.txt", "not the application's\n");
  ASSERT_TRUE(WaitFor("Movies/title.movie changed: back at frame ")) << Output();
  const int back = BackAt(1);
  EXPECT_GT(back, 1) << Output();
  EXPECT_EQ(ReadHostFile(iApps / "Demo" / "Movies" / "title.movie"), text);
  EXPECT_FALSE(fs::exists(iApps / "Demo" / "notes.txt"));
  EXPECT_EQ(Finish(), 0) << Output();
  ExpectNewPictureAt(back, Replay("Demo"));
}
#endif

}  // namespace
