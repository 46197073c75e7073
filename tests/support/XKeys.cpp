// xkeys: presses keys on the X display as a person at the keyboard would, for tests that
// run an application in a real window under a virtual X server.
//
//   xkeys SECONDS KEY@MS [KEY@MS ...]
//
// Waits at most SECONDS for a top-level window to be mapped, moves the pointer into it and
// gives it the keyboard, then presses and releases each KEY (an X key name: Left, Right,
// Up, Down, Escape, a, ...) MS milliseconds after the window appeared, in the order given
// (times must not decrease); once the window has gone the rest are dropped. Exit code 0
// when the window came, 1 when none did, 2 on bad arguments or without a display or the
// XTEST extension.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// The first mapped top-level window (0 if none).
Window MappedWindow(Display* aDisplay, Window aRoot) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(aDisplay, aRoot, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(aDisplay, children[i], &attributes) && attributes.map_state == IsViewable &&
        attributes.width > 1)
      found = children[i];
  }
  if (children) XFree(children);
  return found;
}

struct TPress {
  KeyCode iCode;
  long iMs;
};

// A window can go between being found and being asked about (a toolkit makes and drops
// one while it starts): such a request's error is noted instead of ending the program.
int gXError = 0;
int NoteXError(Display*, XErrorEvent* aError) {
  gXError = aError->error_code;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: xkeys SECONDS KEY@MS [KEY@MS ...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "xkeys: no X display\n");
    return 2;
  }
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    std::fprintf(stderr, "xkeys: the X server has no XTEST extension\n");
    return 2;
  }
  std::vector<TPress> presses;
  long last = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t at = arg.rfind('@');
    char* end = nullptr;
    const long ms = at == std::string::npos ? -1 : std::strtol(arg.c_str() + at + 1, &end, 10);
    const KeySym sym = at == std::string::npos ? NoSymbol : XStringToKeysym(arg.substr(0, at).c_str());
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
    if (ms < last || !end || *end != '\0' || code == 0) {
      std::fprintf(stderr, "xkeys: bad key press \"%s\" (KEY@MS, times not decreasing)\n", arg.c_str());
      return 2;
    }
    presses.push_back({code, ms});
    last = ms;
  }
  const Window root = DefaultRootWindow(display);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[1]));
  XSetErrorHandler(NoteXError);
  Window window = 0;
  XWindowAttributes attributes;
  for (;;) {
    gXError = 0;
    window = MappedWindow(display, root);
    if (window && XGetWindowAttributes(display, window, &attributes) && (XSync(display, False), gXError == 0)) break;
    if (std::chrono::steady_clock::now() > deadline) {
      std::fprintf(stderr, "xkeys: no window appeared\n");
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const auto appeared = std::chrono::steady_clock::now();
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, root, attributes.width / 2, attributes.height / 2, &x, &y, &child);
  XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
  XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
  XFlush(display);
  size_t sent = 0;
  for (const TPress& p : presses) {
    std::this_thread::sleep_until(appeared + std::chrono::milliseconds(p.iMs));
    // The application has ended: the rest of the keys would go nowhere.
    if (MappedWindow(display, root) != window) break;
    ++sent;
    XTestFakeKeyEvent(display, p.iCode, True, CurrentTime);
    XFlush(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeKeyEvent(display, p.iCode, False, CurrentTime);
    XFlush(display);
  }
  XSync(display, False);
  XCloseDisplay(display);
  std::printf("xkeys: %zu of %zu keys sent\n", sent, presses.size());
  return 0;
}
