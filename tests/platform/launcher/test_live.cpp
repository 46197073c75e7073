// Recording a run and replaying it (epoc --record, --replay, --hashes, --expect), on a
// small application that draws from the home time and from random numbers, so that any
// real time or real randomness leaking into a replay shows in its frames.
#include "HostFiles.h"
#include "session_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ZTestHost::ReadHostFile;
using ZTestHost::Shell;
using ZTestHost::WriteHostFile;

std::vector<std::string> Lines(const std::string& aText) {
  std::vector<std::string> lines;
  std::istringstream in(aText);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Join(const std::vector<std::string>& aLines) {
  std::string text;
  for (const std::string& l : aLines) text += l + "\n";
  return text;
}

// Index of the line that starts with aStart (-1 if none).
int Find(const std::vector<std::string>& aLines, const std::string& aStart) {
  for (size_t i = 0; i < aLines.size(); ++i)
    if (aLines[i].compare(0, aStart.size(), aStart) == 0) return static_cast<int>(i);
  return -1;
}

class Live : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/zolv-live-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    iRoot = pattern;
    // The runs work in a folder whose name has a space and a letter beyond ASCII.
    iWork = iRoot / "work d\xC3\xA9";
    iApps = iRoot / "apps";
    fs::create_directories(iWork);
    fs::create_directories(iApps / "LiveTestApp");
    fs::copy_file(ZOLV_LIVE_TEST_APP, iApps / "LiveTestApp" / "LiveTestApp.app");
    Ticks(60);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(iRoot, ec);
  }

  void Ticks(int aTicks) { WriteHostFile(iApps / "LiveTestApp" / "Data" / "ticks.txt", std::to_string(aTicks)); }

  // Runs epoc headless on the test application in the work folder; output in Output().
  int Epoc(const std::string& aArguments, const std::string& aName = "LiveTestApp") {
    const std::string command = "cd '" + iWork.string() + "' && LC_ALL=C SDL_AUDIODRIVER=dummy '" + ZOLV_EPOC +
                                "' --headless --apps '" + iApps.string() + "' " + aArguments + " " + aName + " > '" +
                                (iRoot / "out.txt").string() + "' 2>&1";
    return Shell(command);
  }
  std::string Output() const { return ReadHostFile(iRoot / "out.txt"); }
  fs::path Work(const std::string& aName) const { return iWork / aName; }

  // Records a run on the real clock with its frame hashes.
  void Record() {
    ASSERT_EQ(Epoc("--record rec.txt --hashes live.txt"), 0) << Output();
    ASSERT_NE(Output().find("recording: rec.txt"), std::string::npos) << Output();
  }

  fs::path iRoot, iWork, iApps;
};

TEST_F(Live, AReplayDrawsEveryFrameOfTheRecordedRun) {
  Record();
  const std::vector<std::string> rec = Lines(ReadHostFile(Work("rec.txt")));
  EXPECT_EQ(rec[1], "zolvane-session 1");
  EXPECT_NE(Find(rec, "app LiveTestApp"), -1);
  EXPECT_NE(Find(rec, "module Y:\\System\\Apps\\LiveTestApp\\LiveTestApp.app"), -1);
  EXPECT_NE(Find(rec, "screen 640x200"), -1);
  // The application reads the time on every tick, and ended itself at its 60th.
  const int tick = Find(rec, "tick 30 ");
  ASSERT_NE(tick, -1);
  EXPECT_NE(rec[tick].find(" +"), std::string::npos) << rec[tick];
  EXPECT_EQ(rec.back().compare(0, 16, "end 60 exited fr"), 0) << rec.back();

  ASSERT_EQ(Epoc("--replay rec.txt --hashes replay.txt --expect live.txt"), 0) << Output();
  const std::string live = ReadHostFile(Work("live.txt"));
  EXPECT_EQ(ReadHostFile(Work("replay.txt")), live);
  // One line per frame after the comment: the frames of 60 ticks.
  EXPECT_GE(Lines(live).size(), 61u);
  // A second replay gives the same again.
  ASSERT_EQ(Epoc("--replay rec.txt --hashes replay2.txt"), 0) << Output();
  EXPECT_EQ(ReadHostFile(Work("replay2.txt")), live);
}

TEST_F(Live, AnEditedTimeIsCaughtAtItsFrameWithAPicture) {
  Record();
  std::vector<std::string> rec = Lines(ReadHostFile(Work("rec.txt")));
  // Tick 20 a quarter of a second later: that frame's background changes.
  const int tick = Find(rec, "tick 20 ");
  ASSERT_NE(tick, -1);
  std::istringstream words(rec[tick]);
  std::string word, k, home, rest;
  words >> word >> k >> home;
  std::getline(words, rest);
  rec[tick] = "tick 20 " + std::to_string(std::stoll(home) + 250000) + rest;
  WriteHostFile(Work("edited.txt"), Join(rec));
  EXPECT_EQ(Epoc("--replay edited.txt --expect live.txt"), 1) << Output();
  const std::string out = Output();
  const size_t at = out.find("epoc: frame ");
  ASSERT_NE(at, std::string::npos) << out;
  const int frame = std::atoi(out.c_str() + at + std::strlen("epoc: frame "));
  EXPECT_GE(frame, 19) << out;
  EXPECT_LE(frame, 22) << out;
  EXPECT_NE(out.find("differs from live.txt"), std::string::npos) << out;
  EXPECT_TRUE(fs::is_regular_file(Work("LiveTestApp-frame-" + std::to_string(frame) + ".png"))) << out;
}

TEST_F(Live, KeysAndSoundEndsWrittenIntoARecordingArriveAtTheirPlace) {
  Record();
  std::vector<std::string> rec = Lines(ReadHostFile(Work("rec.txt")));
  const int tick5 = Find(rec, "tick 5 ");
  ASSERT_NE(tick5, -1);
  // A key at tick 5 starts a clip (player 1); its end is delivered at tick 12.
  rec.insert(rec.begin() + tick5 + 1, {"key 5.1 down code=0 scan=65 mod=0x0 rep=0",
                                       "key 5.2 key code=97 scan=65 mod=0x0 rep=0",
                                       "key 5.3 up code=0 scan=65 mod=0x0 rep=0"});
  const int tick12 = Find(rec, "tick 12 ");
  ASSERT_NE(tick12, -1);
  rec.insert(rec.begin() + tick12 + 1, "audio 12.1 player=1 err=0");
  WriteHostFile(Work("keys.txt"), Join(rec));
  ASSERT_EQ(Epoc("--replay keys.txt --hashes keys1.txt"), 0) << Output();
  ASSERT_EQ(Epoc("--replay keys.txt --hashes keys2.txt"), 0) << Output();
  const std::vector<std::string> live = Lines(ReadHostFile(Work("live.txt")));
  const std::vector<std::string> keys = Lines(ReadHostFile(Work("keys1.txt")));
  EXPECT_EQ(ReadHostFile(Work("keys2.txt")), Join(keys));
  // The clip's end draws one frame more; the same frames up to the key, different ones
  // from it on (the markers moved).
  ASSERT_EQ(keys.size(), live.size() + 1);
  size_t first = 0;
  while (first < keys.size() && keys[first] == live[first]) ++first;
  EXPECT_GE(first, 5u);
  EXPECT_LE(first, 8u);

  // The end of a clip that never started has nowhere to go: the replay says where it
  // stopped fitting.
  rec[tick12 + 1] = "audio 12.1 player=2 err=0";
  WriteHostFile(Work("bad-audio.txt"), Join(rec));
  EXPECT_EQ(Epoc("--replay bad-audio.txt"), 3) << Output();
  EXPECT_NE(Output().find("no longer fits LiveTestApp from frame "), std::string::npos) << Output();
  EXPECT_NE(Output().find("player 2, which is not playing"), std::string::npos) << Output();
}

TEST_F(Live, AnApplicationThatExitsBeforeTheRecordingEndsIsNamedWithItsFrame) {
  Record();
  Ticks(20);
  EXPECT_EQ(Epoc("--replay rec.txt"), 3) << Output();
  const std::string out = Output();
  EXPECT_NE(out.find("no longer fits LiveTestApp from frame "), std::string::npos) << out;
  EXPECT_NE(out.find("exited at tick 20; the recording goes on to tick 60"), std::string::npos) << out;
}

TEST_F(Live, BadRecordingsAreRefusedWithTheirLineAndNothingRuns) {
  Record();
  const std::vector<std::string> rec = Lines(ReadHostFile(Work("rec.txt")));
  struct TCase {
    std::string iName;
    std::vector<std::string> iLines;
    std::string iMessage;
  };
  std::vector<TCase> cases;
  cases.push_back({"cut.txt", std::vector<std::string>(rec.begin(), rec.end() - 1),
                   "cut.txt:" + std::to_string(rec.size()) + ": the recording ends without its \"end\" line"});
  std::vector<std::string> nonsense = rec;
  nonsense[12] = "tick tock 5";
  cases.push_back({"nonsense.txt", nonsense, "nonsense.txt:13: \"tock\" is not a number"});
  std::vector<std::string> version = rec;
  version[1] = "zolvane-session 2";
  cases.push_back({"v2.txt", version, "v2.txt:2: a session recording of format version 2"});
  std::vector<std::string> other = rec;
  other[Find(rec, "app ")] = "app Other";
  cases.push_back({"other.txt", other, "other.txt:3: recorded with the application Other, not LiveTestApp"});
  std::vector<std::string> order = rec;
  order.insert(order.begin() + Find(rec, "tick 3 ") + 1, {"close 3.2", "close 3.1"});
  cases.push_back({"order.txt", order, "order.txt:" + std::to_string(Find(rec, "tick 3 ") + 3) +
                                           ": event 3.1 comes after event 3.2"});
  cases.push_back({"binary.txt", {std::string("\x7f" "ELF\x01\x02", 6)}, "binary.txt:1: not a session recording"});
  for (const TCase& c : cases) {
    WriteHostFile(Work(c.iName), Join(c.iLines));
    EXPECT_EQ(Epoc("--replay " + c.iName), 2) << c.iName << ": " << Output();
    EXPECT_NE(Output().find("epoc: " + c.iMessage), std::string::npos) << Output();
    EXPECT_EQ(Output().find("epoc: screen:"), std::string::npos) << c.iName << " ran: " << Output();
  }
  // Hashes that are not hashes are refused the same way.
  WriteHostFile(Work("junk.txt"), "1 0123456789abcdef\n2 xyz\n");
  EXPECT_EQ(Epoc("--expect junk.txt"), 2) << Output();
  EXPECT_NE(Output().find("junk.txt:2: expected a frame number"), std::string::npos) << Output();
  EXPECT_EQ(Epoc("--record a.txt --replay rec.txt"), 2);
  EXPECT_EQ(Epoc("--replay"), 2);
}

// ---- the format itself ----

Epoc::TSession SampleSession() {
  Epoc::TSession s;
  s.iApp = "Sample";
  s.iModule = "Z:\\System\\Apps\\Sample\\Sample.app";
  s.iScreen = TSize(320, 240);
  s.iHomeStart = 63963950107046367LL;
  s.iUtcOffset = 3600000000LL;
  s.iTicksStart = 12345;
  s.iSeed = 4000000000u;
  s.iSteps[0].iReads = {5, 9};
  for (int k = 1; k <= 4; ++k) {
    Epoc::TSessionStep step;
    step.iHome = 50000 * k;
    step.iTimer = k == 3 ? 2 : 1;
    step.iReads = {3, -1, 800};
    s.iSteps.push_back(step);
  }
  Epoc::TSessionEvent e;
  e.iKind = Epoc::TSessionEvent::EKeyDown;
  e.iKey = {0, 16, 0x401, 0};
  e.iOrder = 1;
  s.iSteps[1].iEvents.push_back(e);
  e.iKind = Epoc::TSessionEvent::EKey;
  e.iKey = {63495, 16, 0x401, 2};
  e.iOrder = 2;
  s.iSteps[1].iEvents.push_back(e);
  e = Epoc::TSessionEvent();
  e.iKind = Epoc::TSessionEvent::EFocusLost;
  e.iOrder = 1;
  s.iSteps[2].iEvents.push_back(e);
  e.iKind = Epoc::TSessionEvent::EAudio;
  e.iPlayer = 3;
  e.iError = -9;
  e.iOrder = 4;
  s.iSteps[2].iEvents.push_back(e);
  e = Epoc::TSessionEvent();
  e.iKind = Epoc::TSessionEvent::EWsOther;
  e.iWsType = 77;
  e.iOrder = 1;
  s.iSteps[4].iEvents.push_back(e);
  e.iKind = Epoc::TSessionEvent::EClose;
  e.iOrder = 2;
  s.iSteps[4].iEvents.push_back(e);
  s.iEnded = ETrue;
  s.iExited = ETrue;
  s.iFrames = 7;
  return s;
}

TEST(SessionFormat, WhatIsWrittenReadsBackTheSame) {
  const std::string text = Epoc::SessionText(SampleSession());
  Epoc::TSession read;
  std::string error;
  ASSERT_TRUE(Epoc::ParseSession(text, "s.txt", read, error)) << error << "\n" << text;
  EXPECT_EQ(Epoc::SessionText(read), text);
  EXPECT_EQ(read.iSteps[3].iTimer, 2);
  EXPECT_EQ(read.iSteps[1].iEvents[1].iKey.iCode, 63495u);
  EXPECT_EQ(read.iSteps[1].iEvents[1].iKey.iModifiers, 0x401u);
  EXPECT_EQ(read.iSteps[2].iEvents[1].iError, -9);
  EXPECT_EQ(read.iSeed, 4000000000u);
  // Comments, blank lines and carriage returns are allowed anywhere.
  std::string edited;
  for (const std::string& line : Lines(text)) edited += "  " + line + "  # note\r\n\n";
  ASSERT_TRUE(Epoc::ParseSession(edited, "e.txt", read, error)) << error;
  EXPECT_EQ(Epoc::SessionText(read), text);
}

TEST(SessionFormat, EveryCutAndDamagedRecordingIsRefusedWithItsLine) {
  const std::string text = Epoc::SessionText(SampleSession());
  Epoc::TSession read;
  std::string error;
  // Cut anywhere before the end line: refused, naming a line.
  const size_t endAt = text.rfind("end ");
  for (size_t cut = 0; cut < endAt; ++cut) {
    error.clear();
    EXPECT_FALSE(Epoc::ParseSession(text.substr(0, cut), "cut", read, error)) << cut;
    EXPECT_EQ(error.compare(0, 4, "cut:"), 0) << error;
  }
  // Damaged bytes never crash the reader; what it refuses it explains.
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string damaged = text;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int c = 0; c < changes; ++c) damaged[random() % damaged.size()] = static_cast<char>(random() % 256);
    error.clear();
    if (!Epoc::ParseSession(damaged, "d", read, error)) {
      EXPECT_EQ(error.compare(0, 2, "d:"), 0) << error;
    }
  }
}

}  // namespace
