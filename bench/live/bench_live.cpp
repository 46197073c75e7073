// Live authoring with the Demo, through the launcher as a user runs it:
//
// - BM_ReplayDemo: epoc --headless --replay of the Demo's recorded session through the
//   garden game (700 frames), start-up included; the counter is frames per second.
// - BM_WatchReload/N: epoc --watch on the Demo, brought to frame N of a session; each
//   iteration rewrites a movie and times from the write to epoc's line saying the
//   application is back at its frame (the settling of the write, the checks of the movie,
//   the restart and the catch-up over N frames).
//
// Sessions longer than the recorded one go on with ticks 50 ms apart, without events.
#include "session_file.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& aPath, const std::string& aText) {
  std::ofstream out(aPath, std::ios::binary | std::ios::trunc);
  out << aText;
}

// The recorded session, cut or lengthened to aTicks ticks.
std::string SessionOf(int aTicks) {
  Epoc::TSession s;
  std::string error;
  if (!Epoc::ReadSession(ZOLV_DEMO_SESSION, s, error)) return std::string();
  const int recorded = s.LastStep();
  s.iSteps.resize(static_cast<size_t>(std::min(aTicks, recorded)) + 1);
  for (int k = recorded + 1; k <= aTicks; ++k) {
    Epoc::TSessionStep step = s.iSteps[static_cast<size_t>(recorded - 20 + (k % 20))];
    step.iEvents.clear();
    step.iHome = s.iSteps.back().iHome + 50000;
    s.iSteps.push_back(step);
  }
  s.iExited = EFalse;
  s.iFrames = 0;
  return Epoc::SessionText(s);
}

// A temporary emulator root with the Demo on its drive Z:.
struct TDemoRoot {
  TDemoRoot() {
    char pattern[] = "/tmp/zolv-bench-live-XXXXXX";
    root = ::mkdtemp(pattern);
    apps = root / "epoc32" / "release" / "wins" / "udeb" / "z" / "System" / "Apps";
    fs::create_directories(apps);
    fs::copy(ZOLV_DEMO_APP_DIR, apps / "Demo", fs::copy_options::recursive);
  }
  ~TDemoRoot() {
    std::error_code ec;
    if (!std::getenv("ZOLV_BENCH_KEEP")) fs::remove_all(root, ec);
  }
  fs::path root, apps;
};

void BM_ReplayDemo(benchmark::State& aState) {
  TDemoRoot demo;
  const std::string command = "ZOLVANE_EPOCROOT='" + demo.root.string() + "' SDL_AUDIODRIVER=dummy LC_ALL=C '" +
                              ZOLV_EPOC + "' --headless --replay '" + ZOLV_DEMO_SESSION + "' Demo > /dev/null 2>&1";
  for (auto _ : aState) {
    if (std::system(command.c_str()) != 0) aState.SkipWithError("the replay failed");
  }
  aState.counters["frames/s"] =
      benchmark::Counter(700.0 * static_cast<double>(aState.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayDemo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_WatchReload(benchmark::State& aState) {
  TDemoRoot demo;
  const int ticks = static_cast<int>(aState.range(0));
  const fs::path session = demo.root / "session.txt";
  const fs::path out = demo.root / "out.txt";
  Write(session, SessionOf(ticks));
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    ::setenv("ZOLVANE_EPOCROOT", demo.root.c_str(), 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::setenv("LC_ALL", "C", 1);
    ::execl(ZOLV_EPOC, ZOLV_EPOC, "--watch", "--headless", "--replay", session.c_str(), "Demo", (char*)NULL);
    ::_exit(127);
  }
  // Lines saying the application is back (or caught up) so far.
  auto backs = [&out] {
    const std::string text = Read(out);
    int n = 0;
    for (size_t at = text.find(" at frame "); at != std::string::npos; at = text.find(" at frame ", at + 1)) ++n;
    return n;
  };
  auto waitFor = [&backs](int aCount) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (backs() < aCount && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return backs() >= aCount;
  };
  if (!waitFor(1)) aState.SkipWithError("epoc did not catch up with the session");
  const fs::path movie = demo.apps / "Demo" / "Movies" / "title.movie";
  const std::string text = Read(movie);
  int expected = 1;
  for (auto _ : aState) {
    ++expected;
    const auto start = std::chrono::steady_clock::now();
    Write(movie, text + "\n-- edit " + std::to_string(expected) + "\n");
    if (!waitFor(expected)) {
      static std::string message;
      message = "no reload: " + Read(out);
      aState.SkipWithError(message.c_str());
      break;
    }
    aState.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, NULL, 0);
}
BENCHMARK(BM_WatchReload)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace
