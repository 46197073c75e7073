// Reads a contact sheet written by epoc --png back with SDL2_image.
#pragma once

#include <SDL.h>
#include <SDL_image.h>

#include <cstddef>
#include <filesystem>
#include <set>

namespace zolv_test {

struct ContactSheet {
  int width = 0;
  int height = 0;
  std::size_t colours = 0;  // distinct colours
};

// The size and colour count of the PNG file at aPath; all zero when it cannot be read.
inline ContactSheet ReadContactSheet(const std::filesystem::path& aPath) {
  ContactSheet sheet;
  SDL_Surface* loaded = IMG_Load(aPath.c_str());
  if (!loaded) return sheet;
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (!rgb) return sheet;
  std::set<Uint32> colours;
  for (int y = 0; y < rgb->h; y++) {
    const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(rgb->pixels) + y * rgb->pitch);
    for (int x = 0; x < rgb->w; x++) colours.insert(row[x]);
  }
  sheet.width = rgb->w;
  sheet.height = rgb->h;
  sheet.colours = colours.size();
  SDL_FreeSurface(rgb);
  return sheet;
}

}  // namespace zolv_test
