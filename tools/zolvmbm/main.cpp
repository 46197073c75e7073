// zolvmbm: makes the multi-bitmap files that movies use, and lists their pictures.
//
//   zolvmbm build OUT.mbm [-d DEPTH] [-r | -u] PICTURE...
//       Each PICTURE (PNG, or any format SDL2_image reads) becomes one picture of OUT.mbm,
//       in the order given. -d sets the depth of the pictures that follow: c4, c8, c12
//       (the default, the engine's own 4096 colours), c16, c24, g1, g2, g4, g8 (c colour,
//       g grey). -r compresses the pictures that follow with runs, -u stores them plain.
//   zolvmbm list FILE.mbm
//       One line per picture: number, size, depth and compression.
#include "CommandLine.h"
#include "MbmWriter.h"

#include <SDL.h>
#include <SDL_image.h>
#include <zhost/mbm.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

const zolv::cli::Program kCommandLine{
    "zolvmbm",
    "usage: zolvmbm build OUT.mbm [-d c4|c8|c12|c16|c24|g1|g2|g4|g8] [-r|-u] PICTURE...\n"
    "       zolvmbm list FILE.mbm\n"
    "  build: each PICTURE (PNG, or any format SDL2_image reads) becomes one picture of OUT.mbm\n"
    "  -d DEPTH  the depth of the pictures that follow (default c12, the engine's 4096 colours)\n"
    "  -r, -u    the pictures that follow are compressed with runs (-r) or stored plain (-u)\n"
    "  list: one line per picture of FILE.mbm: number, size, depth and compression\n",
    {{"-d", true}, {"-r"}, {"-u"}}};

int Usage(const std::string& aWhy) { return zolv::cli::UsageError(kCommandLine, aWhy); }

bool ReadPicture(const std::string& path, zolvmbm::Picture& picture) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) {
    std::cerr << "zolvmbm: cannot read " << path << ": " << IMG_GetError() << "\n";
    return false;
  }
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!rgba) {
    std::cerr << "zolvmbm: cannot convert " << path << "\n";
    return false;
  }
  picture.width = rgba->w;
  picture.height = rgba->h;
  picture.pixels.resize(static_cast<size_t>(rgba->w) * rgba->h);
  for (int y = 0; y < rgba->h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch);
    for (int x = 0; x < rgba->w; ++x) {
      // Transparency is blended over white, as the engine's converter does.
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      uint32_t rgb = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = (p >> shift) & 0xFF;
        rgb |= ((c * a + 255 * (255 - a)) / 255) << shift;
      }
      picture.pixels[static_cast<size_t>(y) * rgba->w + x] = rgb;
    }
  }
  SDL_FreeSurface(rgba);
  return true;
}

int Build(int argc, char** argv) {
  if (argc < 3) return Usage("missing OUT.mbm");
  const std::string out = argv[2];
  zolvmbm::Depth depth;
  std::vector<zolvmbm::Picture> pictures;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-d") {
      if (i + 1 >= argc || !zolvmbm::ParseDepth(argv[i + 1], depth))
        return Usage(std::string("unknown depth ") + (i + 1 < argc ? argv[i + 1] : ""));
      ++i;
    } else if (arg == "-r") {
      depth.compressed = true;
    } else if (arg == "-u") {
      depth.compressed = false;
    } else {
      zolvmbm::Picture picture;
      if (!ReadPicture(arg, picture)) return 1;
      picture.depth = depth;
      pictures.push_back(std::move(picture));
    }
  }
  if (pictures.empty()) return Usage("missing PICTURE");
  const std::string bytes = zolvmbm::EncodeFile(pictures);
  std::ofstream file(out, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file.good()) {
    std::cerr << "zolvmbm: cannot write " << out << "\n";
    return 1;
  }
  return 0;
}

int List(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "zolvmbm: cannot read " << path << "\n";
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const TUint8* data = reinterpret_cast<const TUint8*>(bytes.data());
  const TInt length = bytes.size() > static_cast<size_t>(KMaxTInt) ? KMaxTInt : static_cast<TInt>(bytes.size());
  TInt count = 0;
  if (ZHost::Mbm::PictureCount(data, length, count) != KErrNone) {
    std::cerr << "zolvmbm: " << path << " is not a readable multi-bitmap file\n";
    return 1;
  }
  static const char* const kCompression[] = {"none", "byte runs", "12-bit runs", "16-bit runs", "24-bit runs"};
  int status = 0;
  for (TInt k = 0; k < count; ++k) {
    ZHost::Mbm::TPictureHeader h;
    const TInt err = ZHost::Mbm::ReadHeader(data, length, k, h);
    if (err != KErrNone) {
      std::printf("%d: unreadable (error %d)\n", k + 1, err);
      status = 1;
      continue;
    }
    std::printf("%d: %d x %d, %d bits, %s, %s\n", k + 1, h.iWidth, h.iHeight, h.iBitsPerPixel,
                h.iColor ? "colour" : "grey", kCompression[h.iCompression]);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> answered = zolv::cli::Check(kCommandLine, argc, argv)) return *answered;
  if (argc < 2) return Usage("missing command (build or list)");
  const std::string command = argv[1];
  if (command == "build") return Build(argc, argv);
  if (command != "list") return Usage("unknown command " + command);
  if (argc < 3) return Usage("missing FILE.mbm");
  if (argc > 3) return Usage(std::string("unexpected argument ") + argv[3]);
  return List(argv[2]);
}
