// Media files made in memory for the tests: WAV clips, multi-bitmap files assembled
// field by field, and PNG, BMP, JPEG and animated GIF pictures through SDL2.
#ifndef MEDIA_TEST_FILES_H
#define MEDIA_TEST_FILES_H

#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <string>
#include <vector>

namespace MediaTest {

inline void Put16(std::string& aOut, uint32_t aValue) {
  aOut.push_back(static_cast<char>(aValue & 0xFF));
  aOut.push_back(static_cast<char>((aValue >> 8) & 0xFF));
}

inline void Put32(std::string& aOut, uint32_t aValue) {
  Put16(aOut, aValue & 0xFFFF);
  Put16(aOut, aValue >> 16);
}

inline void Set32(std::string& aOut, size_t aAt, uint32_t aValue) {
  for (int i = 0; i < 4; ++i) aOut[aAt + i] = static_cast<char>((aValue >> (8 * i)) & 0xFF);
}

// A RIFF WAVE file of linear PCM; aSamples holds the raw sample bytes.
inline std::string Wav(int aChannels, int aRate, int aBits, const std::string& aSamples, uint16_t aFormat = 1) {
  std::string fmt;
  Put16(fmt, aFormat);
  Put16(fmt, aChannels);
  Put32(fmt, aRate);
  Put32(fmt, aRate * aChannels * aBits / 8);
  Put16(fmt, aChannels * aBits / 8);
  Put16(fmt, aBits);
  std::string out = "RIFF";
  Put32(out, static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + aSamples.size()));
  out += "WAVE";
  out += "fmt ";
  Put32(out, static_cast<uint32_t>(fmt.size()));
  out += fmt;
  out += "data";
  Put32(out, static_cast<uint32_t>(aSamples.size()));
  out += aSamples;
  if (aSamples.size() & 1) out.push_back(0);
  return out;
}

// aFrames frames of 8-bit mono at 8000 Hz, all of value aValue.
inline std::string WavMono8(int aFrames, uint8_t aValue = 0x80, int aRate = 8000) {
  return Wav(1, aRate, 8, std::string(static_cast<size_t>(aFrames), static_cast<char>(aValue)));
}

// One picture of a multi-bitmap file: header fields and the data bytes as stored.
struct MbmPicture {
  int32_t width = 1;
  int32_t height = 1;
  int32_t bits = 24;
  int32_t color = 1;
  int32_t compression = 0;
  std::string data;
  // Overrides for hostile files (-1: the right value).
  int64_t bitmapSize = -1;
  int64_t structSize = -1;
};

// Bytes of a multi-bitmap file holding the pictures, laid out as the format says.
inline std::string Mbm(const std::vector<MbmPicture>& aPictures) {
  std::string out;
  Put32(out, 0x10000037);
  Put32(out, 0x10000042);
  Put32(out, 0);
  Put32(out, 0x47396439);
  Put32(out, 0);  // trailer offset, set below
  std::vector<uint32_t> offsets;
  for (const MbmPicture& p : aPictures) {
    offsets.push_back(static_cast<uint32_t>(out.size()));
    Put32(out, static_cast<uint32_t>(p.bitmapSize >= 0 ? p.bitmapSize : 40 + p.data.size()));
    Put32(out, static_cast<uint32_t>(p.structSize >= 0 ? p.structSize : 40));
    Put32(out, static_cast<uint32_t>(p.width));
    Put32(out, static_cast<uint32_t>(p.height));
    Put32(out, static_cast<uint32_t>(p.width) * 15u);
    Put32(out, static_cast<uint32_t>(p.height) * 15u);
    Put32(out, static_cast<uint32_t>(p.bits));
    Put32(out, static_cast<uint32_t>(p.color));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(p.compression));
    out += p.data;
  }
  Set32(out, 16, static_cast<uint32_t>(out.size()));
  Put32(out, static_cast<uint32_t>(offsets.size()));
  for (uint32_t o : offsets) Put32(out, o);
  return out;
}

// An RGBA surface of aWidth x aHeight filled by aColour(x, y) -> 0xAARRGGBB.
template <class F>
SDL_Surface* Surface(int aWidth, int aHeight, F aColour) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, aWidth, aHeight, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int y = 0; y < aHeight; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < aWidth; ++x) row[x] = aColour(x, y);
  }
  return s;
}

inline std::string FromRw(SDL_RWops* aRw) {
  const Sint64 size = SDL_RWsize(aRw);
  std::string out(static_cast<size_t>(size), '\0');
  SDL_RWseek(aRw, 0, RW_SEEK_SET);
  SDL_RWread(aRw, out.data(), 1, out.size());
  return out;
}

enum class Format { Png, Bmp, Jpg };

// The surface encoded as a PNG, BMP or JPEG file (and freed).
inline std::string Encode(SDL_Surface* aSurface, Format aFormat) {
  std::vector<char> buffer(64 * 1024 * 1024);
  SDL_RWops* rw = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
  if (aFormat == Format::Png) IMG_SavePNG_RW(aSurface, rw, 0);
  if (aFormat == Format::Bmp) SDL_SaveBMP_RW(aSurface, rw, 0);
  if (aFormat == Format::Jpg) IMG_SaveJPG_RW(aSurface, rw, 0, 95);
  const Sint64 size = SDL_RWtell(rw);
  SDL_RWclose(rw);
  SDL_FreeSurface(aSurface);
  return std::string(buffer.data(), static_cast<size_t>(size));
}

// Appends one GIF frame: a graphic control block (no disposal, 10 ms delay) and an image
// of aWidth x aHeight at the screen's corner filled with palette index aIndex, in 3-bit
// codes with a clear code before every two pixels, so the code size stays fixed.
inline void AppendGifFrame(std::string& out, int aWidth, int aHeight, int aIndex) {
  out += std::string("\x21\xF9\x04\x00\x01\x00\x00\x00", 8);
  out.push_back(0x2C);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, aWidth);
  Put16(out, aHeight);
  out.push_back(0);
  out.push_back(2);  // minimum code size
  std::vector<uint8_t> bytes;
  uint32_t acc = 0;
  int nbits = 0;
  auto emit = [&](int code) {
    acc |= static_cast<uint32_t>(code) << nbits;
    nbits += 3;
    while (nbits >= 8) {
      bytes.push_back(static_cast<uint8_t>(acc & 0xFF));
      acc >>= 8;
      nbits -= 8;
    }
  };
  const int pixels = aWidth * aHeight;
  for (int i = 0; i < pixels; ++i) {
    if (i % 2 == 0) emit(4);
    emit(aIndex);
  }
  emit(5);
  if (nbits > 0) bytes.push_back(static_cast<uint8_t>(acc & 0xFF));
  for (size_t at = 0; at < bytes.size(); at += 255) {
    const size_t n = std::min<size_t>(255, bytes.size() - at);
    out.push_back(static_cast<char>(n));
    out.append(reinterpret_cast<const char*>(bytes.data() + at), n);
  }
  out.push_back(0);
}

// An animated GIF of aWidth x aHeight whose frame k is filled with palette index
// aFrames[k] (palette: black, red, green, blue).
inline std::string Gif(int aWidth, int aHeight, const std::vector<int>& aFrames) {
  std::string out = "GIF89a";
  Put16(out, aWidth);
  Put16(out, aHeight);
  out.push_back(static_cast<char>(0xF1));  // global table, 4 entries
  out.push_back(0);
  out.push_back(0);
  const uint8_t palette[12] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  out.append(reinterpret_cast<const char*>(palette), 12);
  for (int index : aFrames) AppendGifFrame(out, aWidth, aHeight, index);
  out.push_back(0x3B);
  return out;
}


// ---- Pictures that declare more than they hold ----

inline uint32_t Crc32(const std::string& aBytes, size_t aFrom, size_t aCount) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = aFrom; i < aFrom + aCount; ++i) {
    crc ^= static_cast<uint8_t>(aBytes[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

inline void SetBe(std::string& aOut, size_t aAt, uint32_t aValue, int aBytes) {
  for (int i = 0; i < aBytes; ++i) aOut[aAt + i] = static_cast<char>((aValue >> (8 * (aBytes - 1 - i))) & 0xFF);
}

// A real PNG whose IHDR is rewritten to declare aWidth x aHeight (with a valid CRC).
inline std::string PngDeclaring(const std::string& aPng, uint32_t aWidth, uint32_t aHeight) {
  std::string out = aPng;
  SetBe(out, 16, aWidth, 4);
  SetBe(out, 20, aHeight, 4);
  SetBe(out, 29, Crc32(out, 12, 17), 4);
  return out;
}

// A real JPEG whose frame header is rewritten to declare aWidth x aHeight.
inline std::string JpegDeclaring(const std::string& aJpeg, uint32_t aWidth, uint32_t aHeight) {
  std::string out = aJpeg;
  for (size_t i = 2; i + 9 < out.size(); ++i) {
    const uint8_t m = static_cast<uint8_t>(out[i + 1]);
    if (static_cast<uint8_t>(out[i]) == 0xFF && m >= 0xC0 && m <= 0xC2) {
      SetBe(out, i + 5, aHeight, 2);
      SetBe(out, i + 7, aWidth, 2);
      break;
    }
  }
  return out;
}

// A real BMP whose header is rewritten to declare aWidth x aHeight.
inline std::string BmpDeclaring(const std::string& aBmp, uint32_t aWidth, uint32_t aHeight) {
  std::string out = aBmp;
  Set32(out, 18, aWidth);
  Set32(out, 22, aHeight);
  return out;
}

// A GIF with a logical screen of aWidth x aHeight and aFrames frames, each an image of
// aImageWidth x aImageHeight (default 1 x 1) at the screen's corner.
inline std::string GifDeclaring(int aWidth, int aHeight, int aFrames, int aImageWidth = 1, int aImageHeight = 1) {
  std::string out = "GIF89a";
  Put16(out, aWidth);
  Put16(out, aHeight);
  out.push_back(static_cast<char>(0xF0));  // global table, 2 entries
  out.push_back(0);
  out.push_back(0);
  out += std::string("\0\0\0\xFF\xFF\xFF", 6);
  for (int k = 0; k < aFrames; ++k) AppendGifFrame(out, aImageWidth, aImageHeight, 1);
  out.push_back(0x3B);
  return out;
}

}  // namespace MediaTest

#endif
