// demo_xshot: waits until the X screen shows a picture, then saves it as a PNG file.
//
//   demo_xshot OUT.png [SECONDS]
//
// It reads the root window of $DISPLAY every 200 ms. The screen counts as showing a
// picture when a top-level window exists and a sample of the screen holds at least 24
// different colours (an empty X screen holds one or two). Exit code 0 with the file
// written, 1 when the screen stayed blank for SECONDS (default 30), 2 on bad arguments
// or without a display.
#include <SDL.h>
#include <SDL_image.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

namespace {

int TopLevelWindows(Display* aDisplay, Window aRoot) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(aDisplay, aRoot, &root, &parent, &children, &count)) return 0;
  int mapped = 0;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(aDisplay, children[i], &attributes) && attributes.map_state == IsViewable) ++mapped;
  }
  if (children) XFree(children);
  return mapped;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: demo_xshot OUT.png [SECONDS]\n");
    return 2;
  }
  const int seconds = argc == 3 ? std::atoi(argv[2]) : 30;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "demo_xshot: no X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  XWindowAttributes rootAttributes;
  XGetWindowAttributes(display, root, &rootAttributes);
  const int width = rootAttributes.width, height = rootAttributes.height;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int colours = 0, windows = 0, mostWindows = 0, mostColours = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    windows = TopLevelWindows(display, root);
    mostWindows = std::max(mostWindows, windows);
    XImage* image = windows > 0 ? XGetImage(display, root, 0, 0, width, height, AllPlanes, ZPixmap) : nullptr;
    if (image) {
      std::set<unsigned long> seen;
      for (int y = 0; y < height; y += 3)
        for (int x = 0; x < width; x += 3) seen.insert(XGetPixel(image, x, y) & 0xFFFFFF);
      colours = int(seen.size());
      mostColours = std::max(mostColours, colours);
      if (colours >= 24) {
        std::vector<Uint32> pixels(size_t(width) * height);
        for (int y = 0; y < height; ++y)
          for (int x = 0; x < width; ++x) pixels[size_t(y) * width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
        XDestroyImage(image);
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32, width * 4,
                                                                  SDL_PIXELFORMAT_RGB888);
        const int saved = surface ? IMG_SavePNG(surface, argv[1]) : -1;
        if (surface) SDL_FreeSurface(surface);
        XCloseDisplay(display);
        if (saved != 0) {
          std::fprintf(stderr, "demo_xshot: cannot write %s\n", argv[1]);
          return 1;
        }
        std::printf("demo_xshot: %d window(s), %d colours, saved %s\n", windows, colours, argv[1]);
        return 0;
      }
      XDestroyImage(image);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  XCloseDisplay(display);
  std::fprintf(stderr, "demo_xshot: the screen stayed blank (at most %d window(s) and %d colours seen)\n",
               mostWindows, mostColours);
  return 1;
}
