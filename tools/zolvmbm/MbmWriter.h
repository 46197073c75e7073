// Writing multi-bitmap files (.mbm) in the layout that the platform's codec reads
// (platform/symbian/include/zhost/mbm.h).
#ifndef ZOLVMBM_MBM_WRITER_H
#define ZOLVMBM_MBM_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace zolvmbm {

// How a picture is stored: bits per pixel (1, 2, 4, 8, 12, 16, 24), colour or grey, and
// whether its data is run-length compressed.
struct Depth {
  int bits = 12;
  bool colour = true;
  bool compressed = false;
};

// Parses "c4", "c8", "c12", "c16", "c24", "g1", "g2", "g4", "g8"; false if unknown.
bool ParseDepth(const std::string& text, Depth& depth);

// A picture: width x height pixels, each 0xRRGGBB.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  Depth depth;
};

// The stored pixel data of a picture: padded rows, packed, compressed if asked.
std::string EncodeData(const Picture& picture);
// The whole file.
std::string EncodeFile(const std::vector<Picture>& pictures);

}  // namespace zolvmbm

#endif
