#include "MbmWriter.h"

#include <zhost/mbm.h>

#include <climits>

namespace zolvmbm {

namespace {

void Put32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

int Red(uint32_t rgb) { return (rgb >> 16) & 0xFF; }
int Green(uint32_t rgb) { return (rgb >> 8) & 0xFF; }
int Blue(uint32_t rgb) { return rgb & 0xFF; }

// The palette entry nearest to rgb (TRgb values in the palette: red lowest).
int Nearest(uint32_t rgb, int count, uint32_t (*palette)(TInt)) {
  int best = 0;
  long bestDistance = LONG_MAX;
  for (int i = 0; i < count; ++i) {
    const uint32_t p = palette(i);
    const long dr = Red(rgb) - static_cast<long>(p & 0xFF);
    const long dg = Green(rgb) - static_cast<long>((p >> 8) & 0xFF);
    const long db = Blue(rgb) - static_cast<long>((p >> 16) & 0xFF);
    const long distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

uint32_t Palette16(TInt i) { return ZHost::Mbm::Palette16(i); }
uint32_t Palette256(TInt i) { return ZHost::Mbm::Palette256(i); }

// The value stored for one pixel at the picture's depth.
uint32_t Value(uint32_t rgb, const Depth& depth) {
  const int r = Red(rgb), g = Green(rgb), b = Blue(rgb);
  switch (depth.bits) {
    case 24:
      return static_cast<uint32_t>(b | (g << 8) | (r << 16));  // stored blue, green, red
    case 16:
      return static_cast<uint32_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    case 12:
      return static_cast<uint32_t>((r >> 4) | ((g >> 4) << 4) | ((b >> 4) << 8));
    default:
      break;
  }
  if (depth.colour && depth.bits == 4) return static_cast<uint32_t>(Nearest(rgb, 16, Palette16));
  if (depth.colour && depth.bits == 8) return static_cast<uint32_t>(Nearest(rgb, 256, Palette256));
  const int grey = (r * 2 + g * 5 + b) / 8;
  return static_cast<uint32_t>(grey >> (8 - depth.bits));
}

// Run-length coding of whole units of `unit` bytes: a control byte c < 128 repeats the
// next unit c + 1 times; c >= 128 is followed by 256 - c literal units. A last partial
// unit is padded with zero bytes.
std::string RunLength(const std::string& raw, size_t unit) {
  std::string data = raw;
  while (data.size() % unit) data.push_back(0);
  const size_t units = data.size() / unit;
  auto same = [&](size_t a, size_t b) { return data.compare(a * unit, unit, data, b * unit, unit) == 0; };
  std::string out;
  size_t i = 0;
  while (i < units) {
    size_t run = 1;
    while (i + run < units && run < 128 && same(i, i + run)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<char>(run - 1));
      out.append(data, i * unit, unit);
      i += run;
      continue;
    }
    size_t literal = 1;
    while (i + literal < units && literal < 128 && !(i + literal + 1 < units && same(i + literal, i + literal + 1))) {
      ++literal;
    }
    out.push_back(static_cast<char>(256 - literal));
    out.append(data, i * unit, literal * unit);
    i += literal;
  }
  return out;
}

// 12-bit runs: 16-bit words, the repeat count - 1 in the top four bits.
std::string TwelveBitRuns(const std::string& raw) {
  std::string out;
  const size_t words = raw.size() / 2;
  auto word = [&](size_t i) {
    return static_cast<uint16_t>(static_cast<uint8_t>(raw[2 * i]) | (static_cast<uint8_t>(raw[2 * i + 1]) << 8));
  };
  size_t i = 0;
  while (i < words) {
    size_t run = 1;
    while (i + run < words && run < 16 && word(i + run) == word(i)) ++run;
    const uint16_t code = static_cast<uint16_t>(((run - 1) << 12) | (word(i) & 0x0FFF));
    out.push_back(static_cast<char>(code & 0xFF));
    out.push_back(static_cast<char>(code >> 8));
    i += run;
  }
  return out;
}

}  // namespace

bool ParseDepth(const std::string& text, Depth& depth) {
  static const struct {
    const char* name;
    int bits;
    bool colour;
  } kDepths[] = {{"c4", 4, true},  {"c8", 8, true},  {"c12", 12, true}, {"c16", 16, true}, {"c24", 24, true},
                 {"g1", 1, false}, {"g2", 2, false}, {"g4", 4, false},  {"g8", 8, false}};
  for (const auto& d : kDepths) {
    if (text == d.name) {
      depth.bits = d.bits;
      depth.colour = d.colour;
      return true;
    }
  }
  return false;
}

std::string EncodeData(const Picture& picture) {
  const Depth& depth = picture.depth;
  const size_t rowBytes = static_cast<size_t>(ZHost::Mbm::RowBytes(picture.width, depth.bits));
  std::string raw(rowBytes * static_cast<size_t>(picture.height), '\0');
  const int stored = depth.bits == 12 ? 16 : depth.bits;
  for (int y = 0; y < picture.height; ++y) {
    char* row = raw.data() + rowBytes * static_cast<size_t>(y);
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t v = Value(picture.pixels[static_cast<size_t>(y) * picture.width + x], depth);
      const size_t bit = static_cast<size_t>(x) * stored;
      if (stored < 8) {
        row[bit / 8] = static_cast<char>(static_cast<uint8_t>(row[bit / 8]) | (v << (bit % 8)));
      } else {
        for (int byte = 0; byte < stored / 8; ++byte) row[bit / 8 + byte] = static_cast<char>((v >> (8 * byte)) & 0xFF);
      }
    }
  }
  if (!depth.compressed) return raw;
  switch (depth.bits) {
    case 12:
      return TwelveBitRuns(raw);
    case 16:
      return RunLength(raw, 2);
    case 24:
      return RunLength(raw, 3);
    default:
      return RunLength(raw, 1);
  }
}

static int Compression(const Depth& depth) {
  if (!depth.compressed) return ZHost::Mbm::ENoCompression;
  switch (depth.bits) {
    case 12:
      return ZHost::Mbm::ETwelveBitRle;
    case 16:
      return ZHost::Mbm::ESixteenBitRle;
    case 24:
      return ZHost::Mbm::ETwentyFourBitRle;
    default:
      return ZHost::Mbm::EByteRle;
  }
}

std::string EncodeFile(const std::vector<Picture>& pictures) {
  std::string out;
  Put32(out, ZHost::Mbm::KUid1);
  Put32(out, ZHost::Mbm::KUid2);
  Put32(out, ZHost::Mbm::KUid3);
  Put32(out, ZHost::Mbm::KUidChecksum);
  Put32(out, 0);  // trailer offset
  std::vector<uint32_t> offsets;
  for (const Picture& p : pictures) {
    const std::string data = EncodeData(p);
    offsets.push_back(static_cast<uint32_t>(out.size()));
    Put32(out, static_cast<uint32_t>(ZHost::Mbm::KPictureHeaderSize + data.size()));
    Put32(out, ZHost::Mbm::KPictureHeaderSize);
    Put32(out, static_cast<uint32_t>(p.width));
    Put32(out, static_cast<uint32_t>(p.height));
    // Twips at the screen's 15 twips per pixel.
    Put32(out, static_cast<uint32_t>(p.width * 15));
    Put32(out, static_cast<uint32_t>(p.height * 15));
    Put32(out, static_cast<uint32_t>(p.depth.bits));
    Put32(out, p.depth.colour ? 1 : 0);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(Compression(p.depth)));
    out += data;
  }
  const uint32_t trailer = static_cast<uint32_t>(out.size());
  for (int i = 0; i < 4; ++i) out[16 + i] = static_cast<char>((trailer >> (8 * i)) & 0xFF);
  Put32(out, static_cast<uint32_t>(offsets.size()));
  for (uint32_t o : offsets) Put32(out, o);
  return out;
}

}  // namespace zolvmbm
