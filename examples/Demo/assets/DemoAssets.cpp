// demo_assets: draws every picture and sound of the Demo application procedurally.
//
//   demo_assets OUTDIR
//
// Pictures are written as 24-bit BMP files whose colours are already reduced to the
// device's 4096 colours (4 bits per channel, ordered dithering for the gradients), so the
// multi-bitmap tool stores exactly what was drawn. Transparent parts of masked pictures
// are pure white, the engine's colour key; opaque pixels never come out pure white.
// Sounds are 16-bit mono PCM WAV files at 22050 Hz.
//
// The files are named <group>_<k>.bmp, k from 1 in the order the pictures go into the
// group's .mbm file, and <name>.wav.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r = 0, g = 0, b = 0;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(const Rgb& a, double k) { return {a.r * k, a.g * k, a.b * k}; }

// A small deterministic generator, so that every build draws the same pictures.
class Random {
public:
  explicit Random(uint32_t aSeed) : iState(aSeed ? aSeed : 1) {}
  uint32_t Next() {
    iState ^= iState << 13;
    iState ^= iState >> 17;
    iState ^= iState << 5;
    return iState;
  }
  double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }

private:
  uint32_t iState;
};

// A picture being drawn: colours in 0..255 per channel, and which pixels are opaque.
class Canvas {
public:
  Canvas(int aWidth, int aHeight, const Rgb& aFill = {0, 0, 0}, bool aOpaque = true)
      : iWidth(aWidth), iHeight(aHeight), iPixels(size_t(aWidth) * aHeight, aFill),
        iOpaque(size_t(aWidth) * aHeight, aOpaque) {}

  int Width() const { return iWidth; }
  int Height() const { return iHeight; }
  bool Inside(int aX, int aY) const { return aX >= 0 && aY >= 0 && aX < iWidth && aY < iHeight; }
  const Rgb& At(int aX, int aY) const { return iPixels[size_t(aY) * iWidth + aX]; }
  bool Opaque(int aX, int aY) const { return iOpaque[size_t(aY) * iWidth + aX]; }

  void Set(int aX, int aY, const Rgb& aColour) {
    if (!Inside(aX, aY)) return;
    iPixels[size_t(aY) * iWidth + aX] = aColour;
    iOpaque[size_t(aY) * iWidth + aX] = true;
  }
  // Paints aColour over the pixel with coverage aAlpha (0..1).
  void Blend(int aX, int aY, const Rgb& aColour, double aAlpha) {
    if (!Inside(aX, aY) || aAlpha <= 0) return;
    const size_t i = size_t(aY) * iWidth + aX;
    iPixels[i] = iOpaque[i] ? Mix(iPixels[i], aColour, aAlpha) : aColour;
    iOpaque[i] = true;
  }
  void Clear(int aX, int aY) {
    if (Inside(aX, aY)) iOpaque[size_t(aY) * iWidth + aX] = false;
  }
  // Runs aShade(x, y) for every pixel and stores its colour.
  void Shade(const std::function<Rgb(int, int)>& aShade) {
    for (int y = 0; y < iHeight; ++y)
      for (int x = 0; x < iWidth; ++x) Set(x, y, aShade(x, y));
  }
  void FillRect(int aX, int aY, int aW, int aH, const Rgb& aColour) {
    for (int y = aY; y < aY + aH; ++y)
      for (int x = aX; x < aX + aW; ++x) Set(x, y, aColour);
  }
  void Disc(double aCx, double aCy, double aRadius, const Rgb& aColour) {
    for (int y = int(aCy - aRadius) - 1; y <= int(aCy + aRadius) + 1; ++y)
      for (int x = int(aCx - aRadius) - 1; x <= int(aCx + aRadius) + 1; ++x)
        if (std::hypot(x + 0.5 - aCx, y + 0.5 - aCy) <= aRadius) Set(x, y, aColour);
  }
  // A filled polygon (even-odd rule, pixel centres).
  void Polygon(const std::vector<std::pair<double, double>>& aPoints, const Rgb& aColour) {
    for (int y = 0; y < iHeight; ++y) {
      const double py = y + 0.5;
      std::vector<double> xs;
      for (size_t i = 0; i < aPoints.size(); ++i) {
        const auto& a = aPoints[i];
        const auto& b = aPoints[(i + 1) % aPoints.size()];
        if ((a.second <= py) != (b.second <= py))
          xs.push_back(a.first + (py - a.second) * (b.first - a.first) / (b.second - a.second));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t i = 0; i + 1 < xs.size(); i += 2)
        for (int x = int(std::ceil(xs[i] - 0.5)); x < int(std::ceil(xs[i + 1] - 0.5)); ++x) Set(x, y, aColour);
    }
  }

  // Writes the picture as a 24-bit BMP in the device's 4096 colours.
  bool SaveBmp(const std::string& aPath) const {
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const int rowBytes = (iWidth * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(rowBytes) * iHeight;
    std::vector<uint8_t> out(54 + dataSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
      for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, uint32_t(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(iWidth));
    put32(22, uint32_t(iHeight));
    out[26] = 1;
    out[28] = 24;
    put32(34, dataSize);
    for (int y = 0; y < iHeight; ++y) {
      uint8_t* row = &out[54 + size_t(iHeight - 1 - y) * rowBytes];
      for (int x = 0; x < iWidth; ++x) {
        int q[3] = {15, 15, 15};
        if (Opaque(x, y)) {
          const Rgb& c = At(x, y);
          const double threshold = (kBayer[y & 3][x & 3] + 0.5) / 16.0;
          const double channels[3] = {c.r, c.g, c.b};
          for (int i = 0; i < 3; ++i) {
            const double level = std::clamp(channels[i], 0.0, 255.0) / 17.0;
            q[i] = std::clamp(int(std::floor(level + threshold - 0.5 + 0.5)), 0, 15);
          }
          // Pure white is the colour key: an opaque pixel must never become transparent.
          if (q[0] == 15 && q[1] == 15 && q[2] == 15) q[2] = 14;
        }
        row[x * 3 + 0] = uint8_t(q[2] * 17);
        row[x * 3 + 1] = uint8_t(q[1] * 17);
        row[x * 3 + 2] = uint8_t(q[0] * 17);
      }
    }
    std::ofstream file(aPath, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    return bool(file);
  }

private:
  int iWidth;
  int iHeight;
  std::vector<Rgb> iPixels;
  std::vector<bool> iOpaque;
};

// ---------------------------------------------------------------------------------------
// A 5 x 7 pixel font for the captions.

struct Glyph {
  char c;
  const char* rows[7];
};

const Glyph kFont[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
};

const Glyph* FindGlyph(char aChar) {
  for (const Glyph& g : kFont)
    if (g.c == aChar) return &g;
  return nullptr;
}

int TextWidth(const std::string& aText, int aScale) { return int(aText.size()) * 6 * aScale - aScale; }

// Draws aText with its top-left at (aX, aY), each font pixel aScale x aScale; the colour
// comes from aShade(x, y) relative to the text's top-left.
void DrawText(Canvas& aCanvas, int aX, int aY, const std::string& aText, int aScale,
              const std::function<Rgb(int, int)>& aShade) {
  for (size_t i = 0; i < aText.size(); ++i) {
    const Glyph* glyph = FindGlyph(aText[i]);
    if (!glyph) continue;
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col) {
        if (glyph->rows[row][col] != '#') continue;
        const int gx = aX + int(i) * 6 * aScale + col * aScale;
        const int gy = aY + row * aScale;
        for (int y = 0; y < aScale; ++y)
          for (int x = 0; x < aScale; ++x) aCanvas.Set(gx + x, gy + y, aShade(gx + x - aX, gy + y - aY));
      }
  }
}

// A caption on a transparent picture: text with a dark drop shadow of aShadow pixels.
Canvas Caption(const std::string& aText, int aScale, int aShadow, const Rgb& aTop, const Rgb& aBottom) {
  const int w = TextWidth(aText, aScale) + aShadow + 2;
  const int h = 7 * aScale + aShadow + 2;
  Canvas canvas(w, h, {255, 255, 255}, false);
  const Rgb shadow{20, 12, 30};
  DrawText(canvas, 1 + aShadow, 1 + aShadow, aText, aScale, [&](int, int) { return shadow; });
  DrawText(canvas, 1, 1, aText, aScale, [&](int, int y) { return Mix(aTop, aBottom, y / double(7 * aScale)); });
  return canvas;
}

// A four-pointed sparkle on a transparent picture.
Canvas Sparkle(int aSize, const Rgb& aCore, const Rgb& aEdge) {
  Canvas canvas(aSize, aSize, {255, 255, 255}, false);
  const double c = (aSize - 1) / 2.0;
  for (int y = 0; y < aSize; ++y)
    for (int x = 0; x < aSize; ++x) {
      const double dx = std::fabs(x - c), dy = std::fabs(y - c);
      const double arm = std::min(dx * dy, 2.2 * c) / (2.2 * c);
      const double d = std::hypot(dx, dy) / c;
      if ((dx < 1.2 || dy < 1.2 || arm < 0.12) && d <= 1.0) canvas.Set(x, y, Mix(aCore, aEdge, d));
    }
  return canvas;
}

// A five-pointed star polygon.
std::vector<std::pair<double, double>> StarPoints(double aCx, double aCy, double aOuter, double aInner, double aTurn) {
  std::vector<std::pair<double, double>> points;
  for (int i = 0; i < 10; ++i) {
    const double a = aTurn + i * kPi / 5 - kPi / 2;
    const double r = (i % 2) ? aInner : aOuter;
    points.push_back({aCx + r * std::cos(a), aCy + r * std::sin(a)});
  }
  return points;
}

Canvas Star(int aSize, const Rgb& aFill, const Rgb& aEdge) {
  Canvas canvas(aSize, aSize, {255, 255, 255}, false);
  const double c = aSize / 2.0;
  canvas.Polygon(StarPoints(c, c + 0.5, c - 0.5, c * 0.45, 0), aEdge);
  canvas.Polygon(StarPoints(c, c + 0.5, c - 2.5, c * 0.45 - 1.5, 0), aFill);
  return canvas;
}

// Stars of a night sky, scattered over the upper part of a picture.
void StarField(Canvas& aCanvas, int aCount, uint32_t aSeed, double aMaxY) {
  Random random(aSeed);
  for (int i = 0; i < aCount; ++i) {
    const int x = int(random.Unit() * aCanvas.Width());
    const int y = int(random.Unit() * random.Unit() * aMaxY);
    const double bright = 0.4 + 0.6 * random.Unit();
    aCanvas.Blend(x, y, {255, 250, 220}, bright);
    if (bright > 0.9) {
      aCanvas.Blend(x + 1, y, {255, 250, 220}, 0.4);
      aCanvas.Blend(x, y + 1, {255, 250, 220}, 0.4);
    }
  }
}

// A ridge line: sum of sines, for hills and mountains.
double Ridge(double aX, double aBase, double aAmp, uint32_t aSeed) {
  Random random(aSeed);
  double y = aBase;
  for (int k = 1; k <= 4; ++k) {
    const double phase = random.Unit() * 2 * kPi;
    y -= aAmp / k * std::sin(aX * 0.006 * k * k + phase);
  }
  return y;
}

// ---------------------------------------------------------------------------------------
// The pictures, group by group.

std::vector<Canvas> TitlePictures() {
  std::vector<Canvas> pictures;
  // 1: a night sky over dark hills.
  Canvas sky(640, 200);
  sky.Shade([](int, int y) { return Mix({8, 10, 42}, {86, 36, 104}, y / 199.0); });
  StarField(sky, 170, 7, 150);
  for (int x = 0; x < 640; ++x) {
    const int top = int(Ridge(x, 176, 14, 3));
    for (int y = top; y < 200; ++y) sky.Set(x, y, Mix({22, 14, 40}, {10, 6, 20}, (y - top) / 30.0));
  }
  pictures.push_back(sky);
  // 2: the name, in warm gold.
  pictures.push_back(Caption("ZOLVANE", 6, 3, {255, 226, 120}, {236, 120, 40}));
  // 3: a sparkle.
  pictures.push_back(Sparkle(15, {255, 255, 230}, {150, 200, 255}));
  // 4: the tag line.
  pictures.push_back(Caption("FRAMES - SPRITES - MOVIES", 2, 1, {170, 230, 255}, {120, 170, 240}));
  return pictures;
}

std::vector<Canvas> SpritesPictures() {
  std::vector<Canvas> pictures;
  // 1: a sunset over three layers of mountains.
  Canvas land(640, 200);
  land.Shade([](int, int y) {
    const double t = y / 199.0;
    return t < 0.5 ? Mix({60, 30, 110}, {230, 90, 90}, t * 2) : Mix({230, 90, 90}, {255, 190, 90}, (t - 0.5) * 2);
  });
  land.Disc(470, 120, 34, {255, 230, 150});
  const Rgb layers[3] = {{130, 60, 110}, {80, 36, 86}, {36, 18, 50}};
  for (int layer = 0; layer < 3; ++layer)
    for (int x = 0; x < 640; ++x) {
      const int top = int(Ridge(x, 120 + layer * 26, 22 - layer * 5, 11 + layer));
      for (int y = std::max(top, 0); y < 200; ++y) land.Set(x, y, layers[layer]);
    }
  pictures.push_back(land);
  // 2: a small rocket pointing right.
  Canvas rocket(48, 24, {255, 255, 255}, false);
  for (int x = 0; x < 14; ++x)
    for (int y = 0; y < 24; ++y) {
      const double flame = std::fabs(y - 11.5) / 5.5 + (13 - x) / 14.0;
      if (flame < 1.0 && x >= 2) rocket.Set(x, y, Mix({255, 240, 120}, {240, 80, 30}, flame));
    }
  rocket.Polygon({{10, 2}, {18, 8}, {18, 16}, {10, 22}}, {200, 40, 50});
  for (int y = 6; y < 18; ++y)
    for (int x = 14; x < 47; ++x) {
      const double dy = (y - 11.5) / 6.0;
      const double nose = x > 36 ? (x - 36) / 11.0 : 0.0;
      if (dy * dy + nose * nose <= 1.0) rocket.Set(x, y, Mix({236, 236, 246}, {120, 130, 160}, std::fabs(dy)));
    }
  rocket.Disc(32, 12, 3.2, {60, 140, 220});
  rocket.Disc(31.2, 11.2, 1.2, {190, 230, 255});
  pictures.push_back(rocket);
  // 3: a ringed planet, tilted so that turning it shows.
  Canvas planet(72, 72, {255, 255, 255}, false);
  const double cx = 36, cy = 36;
  auto ring = [&](bool aFront) {
    for (int y = 0; y < 72; ++y)
      for (int x = 0; x < 72; ++x) {
        const double rx = (x - cx) * 0.94 + (y - cy) * 0.34, ry = -(x - cx) * 0.34 + (y - cy) * 0.94;
        const double d = std::hypot(rx / 34.0, ry / 10.0);
        if (d > 0.72 && d < 1.0 && ((ry > 0) == aFront)) planet.Set(x, y, Mix({250, 220, 160}, {170, 120, 80}, (d - 0.72) / 0.28));
      }
  };
  ring(false);
  for (int y = 0; y < 72; ++y)
    for (int x = 0; x < 72; ++x) {
      const double dx = (x - cx) / 22.0, dy = (y - cy) / 22.0;
      const double d2 = dx * dx + dy * dy;
      if (d2 > 1.0) continue;
      const double light = std::clamp(0.35 + 0.75 * (-(dx * 0.6) - dy * 0.6 + std::sqrt(1 - d2) * 0.55), 0.15, 1.0);
      const double band = 0.5 + 0.5 * std::sin((dy * 0.94 - dx * 0.34) * 9.0);
      planet.Set(x, y, Scale(Mix({90, 150, 230}, {70, 200, 190}, band), light));
    }
  ring(true);
  pictures.push_back(planet);
  // 4: a glass panel for blending.
  Canvas glass(200, 56);
  glass.Shade([](int x, int y) {
    const bool edge = x < 2 || y < 2 || x >= 198 || y >= 54;
    return edge ? Rgb{220, 240, 255} : Mix({40, 150, 190}, {20, 70, 140}, (y + x * 0.1) / 76.0);
  });
  pictures.push_back(glass);
  // 5: a golden star for turning.
  pictures.push_back(Star(48, {255, 210, 60}, {170, 90, 20}));
  return pictures;
}

// A card 72 x 72 with one of seven patterns and its number.
Canvas Card(int aNumber) {
  const Rgb hues[7] = {{230, 80, 80}, {240, 160, 60}, {220, 210, 70}, {90, 200, 110},
                       {70, 170, 230}, {120, 110, 230}, {210, 90, 200}};
  const Rgb base = hues[(aNumber - 1) % 7];
  const Rgb dark = Scale(base, 0.45);
  Canvas card(72, 72);
  card.Shade([&](int x, int y) {
    const double dx = x - 35.5, dy = y - 35.5;
    double t = 0;
    switch (aNumber) {
      case 1: t = 0.5 + 0.5 * std::sin(std::hypot(dx, dy) * 0.55); break;           // rings
      case 2: t = ((x / 9 + y / 9) % 2) ? 1.0 : 0.0; break;                          // checks
      case 3: t = ((x + y) / 8 % 2) ? 1.0 : 0.2; break;                              // stripes
      case 4: t = 0.5 + 0.5 * std::sin(std::atan2(dy, dx) * 8); break;               // burst
      case 5: t = std::hypot(x % 12 - 5.5, y % 12 - 5.5) < 4 ? 1.0 : 0.1; break;     // dots
      case 6: t = 0.5 + 0.5 * std::sin(x * 0.35 + std::sin(y * 0.2) * 3); break;     // waves
      default: t = 1.0 - std::hypot(dx, dy) / 50.0; break;                            // glow
    }
    return x < 3 || y < 3 || x >= 69 || y >= 69 ? Rgb{240, 240, 230} : Mix(dark, base, t);
  });
  const std::string digit(1, char('0' + aNumber));
  DrawText(card, 36 - 10 + 3, 36 - 14 + 3, digit, 4, [](int, int) { return Rgb{20, 16, 30}; });
  DrawText(card, 36 - 10, 36 - 14, digit, 4, [](int, int) { return Rgb{250, 248, 236}; });
  return card;
}

std::vector<Canvas> WipesPictures() {
  std::vector<Canvas> pictures;
  // 1: a dark studio backdrop with soft diagonal stripes and a floor.
  Canvas backdrop(640, 200);
  backdrop.Shade([](int x, int y) {
    const double stripe = ((x + y) / 24 % 2) ? 1.0 : 0.86;
    const Rgb wall = Scale(Mix({40, 44, 70}, {26, 28, 48}, y / 150.0), stripe);
    return y < 160 ? wall : Mix({70, 60, 80}, {30, 26, 40}, (y - 160) / 40.0);
  });
  pictures.push_back(backdrop);
  // 2..8: the seven cards.
  for (int n = 1; n <= 7; ++n) pictures.push_back(Card(n));
  // 9, 10: captions.
  pictures.push_back(Caption("WIPES", 3, 2, {255, 255, 200}, {250, 190, 90}));
  pictures.push_back(Caption("SCROLLS", 3, 2, {200, 255, 230}, {90, 220, 190}));
  return pictures;
}

// A caption on a rounded plate, for banners.
Canvas Banner(const std::string& aText, const Rgb& aPlate, const Rgb& aInk) {
  const int w = TextWidth(aText, 2) + 24, h = 28;
  Canvas banner(w, h, {255, 255, 255}, false);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double rx = std::max({6.0 - x, x - (w - 7.0), 0.0}), ry = std::max({6.0 - y, y - (h - 7.0), 0.0});
      if (rx * rx + ry * ry <= 36.0) banner.Set(x, y, Mix(Scale(aPlate, 1.15), Scale(aPlate, 0.7), y / double(h)));
    }
  DrawText(banner, 13, 8, aText, 2, [](int, int) { return Rgb{20, 20, 30}; });
  DrawText(banner, 12, 7, aText, 2, [&](int, int) { return aInk; });
  return banner;
}

std::vector<Canvas> GardenPictures() {
  return {Banner("COLLECT THE STARS!", {60, 120, 60}, {255, 240, 150}),
          Banner("ARROW KEYS MOVE", {60, 80, 140}, {220, 240, 255})};
}

// Tiles of the garden, 40 x 40 each: grass, hedge wall, flowers, sand path.
std::vector<Canvas> TilePictures() {
  std::vector<Canvas> pictures;
  Random random(42);
  Canvas grass(40, 40);
  grass.Shade([&](int, int) { return Mix({70, 150, 60}, {90, 176, 70}, random.Unit()); });
  for (int i = 0; i < 26; ++i) {
    const int x = int(random.Unit() * 40), y = int(random.Unit() * 38);
    grass.Set(x, y, {50, 118, 44});
    grass.Set(x, y + 1, {50, 118, 44});
  }
  pictures.push_back(grass);
  Canvas hedge(40, 40);
  hedge.Shade([&](int x, int y) {
    const double leaf = 0.5 + 0.5 * std::sin(x * 1.3 + std::sin(y * 0.9) * 2) * std::sin(y * 1.1);
    const Rgb c = Mix({20, 70, 30}, {46, 110, 48}, leaf * 0.8 + random.Unit() * 0.2);
    return x == 0 || y == 0 ? Scale(c, 1.35) : (x == 39 || y == 39 ? Scale(c, 0.6) : c);
  });
  pictures.push_back(hedge);
  Canvas flowers = grass;
  const Rgb petals[3] = {{250, 120, 160}, {250, 230, 110}, {170, 150, 250}};
  for (int i = 0; i < 5; ++i) {
    const double x = 5 + random.Unit() * 30, y = 5 + random.Unit() * 30;
    const Rgb petal = petals[i % 3];
    for (int k = 0; k < 5; ++k) flowers.Disc(x + 2.2 * std::cos(k * 1.2566), y + 2.2 * std::sin(k * 1.2566), 1.6, petal);
    flowers.Disc(x, y, 1.2, {250, 200, 60});
  }
  pictures.push_back(flowers);
  Canvas sand(40, 40);
  sand.Shade([&](int, int) { return Mix({214, 190, 130}, {196, 170, 112}, random.Unit()); });
  for (int i = 0; i < 8; ++i) sand.Disc(random.Unit() * 40, random.Unit() * 40, 1.0, {170, 150, 120});
  pictures.push_back(sand);
  return pictures;
}

// The game's figures: the hero, a star to collect, a small star for the score row.
std::vector<Canvas> GamePictures() {
  std::vector<Canvas> pictures;
  Canvas hero(24, 24, {255, 255, 255}, false);
  hero.Disc(12, 13, 10.5, {40, 40, 90});
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const double dx = (x + 0.5 - 12) / 9.5, dy = (y + 0.5 - 13) / 9.5;
      if (dx * dx + dy * dy <= 1.0) hero.Set(x, y, Mix({120, 200, 255}, {40, 110, 220}, (dx + dy + 1.4) / 2.8));
    }
  hero.Disc(9, 11, 2.6, {250, 250, 240});
  hero.Disc(15, 11, 2.6, {250, 250, 240});
  hero.Disc(9.8, 11.4, 1.2, {20, 20, 40});
  hero.Disc(15.8, 11.4, 1.2, {20, 20, 40});
  for (int x = 9; x <= 15; ++x) hero.Set(x, 17 + (x == 9 || x == 15 ? -1 : 0), {30, 30, 70});
  pictures.push_back(hero);
  pictures.push_back(Star(20, {255, 220, 60}, {190, 110, 10}));
  pictures.push_back(Star(12, {255, 230, 90}, {150, 90, 10}));
  return pictures;
}

std::vector<Canvas> FinalePictures() {
  std::vector<Canvas> pictures;
  // 1: dawn.
  Canvas dawn(640, 200);
  dawn.Shade([](int, int y) {
    const double t = y / 199.0;
    return t < 0.6 ? Mix({30, 40, 100}, {200, 120, 160}, t / 0.6) : Mix({200, 120, 160}, {255, 200, 140}, (t - 0.6) / 0.4);
  });
  StarField(dawn, 60, 99, 60);
  for (int x = 0; x < 640; ++x) {
    const int top = int(Ridge(x, 184, 8, 21));
    for (int y = top; y < 200; ++y) dawn.Set(x, y, {40, 24, 50});
  }
  pictures.push_back(dawn);
  // 2: the big thanks, 3: the signature, 4: a sparkle, 5: a badge.
  pictures.push_back(Caption("THANK YOU!", 5, 3, {255, 250, 210}, {250, 170, 80}));
  pictures.push_back(Caption("MADE WITH ZOLVANE", 2, 1, {230, 230, 255}, {170, 190, 250}));
  pictures.push_back(Sparkle(15, {255, 250, 220}, {255, 170, 120}));
  Canvas badge(40, 40, {255, 255, 255}, false);
  badge.Disc(20, 20, 19.5, {150, 40, 40});
  badge.Disc(20, 20, 16.5, {230, 70, 60});
  badge.Polygon(StarPoints(20, 20.5, 13, 5.8, 0), {255, 220, 90});
  pictures.push_back(badge);
  return pictures;
}

// ---------------------------------------------------------------------------------------
// Sounds.

const int kRate = 22050;

struct Note {
  double start;     // seconds
  double frequency; // Hz
  double length;    // seconds
  double level;     // 0..1
};

// Bell-like notes: a few partials with an exponential decay and a short attack.
std::vector<double> Bells(const std::vector<Note>& aNotes, double aDuration) {
  std::vector<double> out(size_t(aDuration * kRate), 0.0);
  for (const Note& note : aNotes) {
    const size_t first = size_t(note.start * kRate);
    const size_t count = size_t(note.length * kRate);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
      const double t = double(i) / kRate;
      const double env = std::min(1.0, t * 200) * std::exp(-t * 5.0 / note.length);
      const double w = 2 * kPi * note.frequency * t;
      out[first + i] += note.level * env * (std::sin(w) + 0.35 * std::sin(2 * w) + 0.12 * std::sin(3.01 * w));
    }
  }
  return out;
}

// A noise burst swept through a simple low-pass filter: a whoosh or a thud.
std::vector<double> Sweep(double aDuration, double aFrom, double aTo, double aLevel, uint32_t aSeed) {
  std::vector<double> out(size_t(aDuration * kRate), 0.0);
  Random random(aSeed);
  double low = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / out.size();
    const double cutoff = aFrom + (aTo - aFrom) * t;
    const double k = 1 - std::exp(-2 * kPi * cutoff / kRate);
    low += k * ((random.Unit() * 2 - 1) - low);
    out[i] = aLevel * low * std::sin(kPi * t) * 3.0;
  }
  return out;
}

bool SaveWav(const std::string& aPath, const std::vector<double>& aSamples) {
  std::vector<uint8_t> out(44 + aSamples.size() * 2, 0);
  auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = uint8_t(v >> (8 * i));
  };
  const uint32_t dataSize = uint32_t(aSamples.size() * 2);
  std::copy_n("RIFF", 4, out.begin());
  put(4, 36 + dataSize, 4);
  std::copy_n("WAVEfmt ", 8, out.begin() + 8);
  put(16, 16, 4);
  put(20, 1, 2);          // PCM
  put(22, 1, 2);          // mono
  put(24, kRate, 4);
  put(28, kRate * 2, 4);
  put(32, 2, 2);
  put(34, 16, 2);
  std::copy_n("data", 4, out.begin() + 36);
  put(40, dataSize, 4);
  for (size_t i = 0; i < aSamples.size(); ++i) {
    const int v = int(std::lround(std::clamp(aSamples[i], -1.0, 1.0) * 26000));
    put(44 + i * 2, uint32_t(uint16_t(int16_t(v))), 2);
  }
  std::ofstream file(aPath, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: demo_assets OUTDIR\n";
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = true;
  auto group = [&](const std::string& aName, const std::vector<Canvas>& aPictures) {
    for (size_t i = 0; i < aPictures.size(); ++i)
      ok = aPictures[i].SaveBmp(dir + aName + "_" + std::to_string(i + 1) + ".bmp") && ok;
  };
  group("title", TitlePictures());
  group("sprites", SpritesPictures());
  group("wipes", WipesPictures());
  group("garden", GardenPictures());
  group("tile", TilePictures());
  group("game", GamePictures());
  group("finale", FinalePictures());

  // A rising major chord for the title, a whoosh for the rocket, a tick for the cards,
  // a fanfare for the garden, a ding and a thud for the game, and a closing arpeggio.
  ok = SaveWav(dir + "title_1.wav", Bells({{0, 523.25, 1.2, 0.3}, {0.12, 659.25, 1.1, 0.28}, {0.24, 783.99, 1.0, 0.26}, {0.36, 1046.5, 1.2, 0.22}}, 1.6)) && ok;
  ok = SaveWav(dir + "sprites_1.wav", Sweep(0.9, 300, 2500, 0.5, 5)) && ok;
  ok = SaveWav(dir + "wipes_1.wav", Bells({{0, 1318.5, 0.18, 0.3}, {0.06, 1760, 0.16, 0.22}}, 0.3)) && ok;
  ok = SaveWav(dir + "garden_1.wav", Bells({{0, 392, 0.3, 0.3}, {0.15, 523.25, 0.3, 0.3}, {0.3, 659.25, 0.3, 0.3}, {0.45, 783.99, 0.7, 0.3}}, 1.2)) && ok;
  ok = SaveWav(dir + "pickup.wav", Bells({{0, 987.77, 0.25, 0.35}, {0.07, 1318.5, 0.35, 0.3}}, 0.45)) && ok;
  ok = SaveWav(dir + "bump.wav", Sweep(0.18, 900, 120, 0.8, 9)) && ok;
  ok = SaveWav(dir + "finale_1.wav", Bells({{0, 523.25, 0.8, 0.25}, {0.2, 659.25, 0.8, 0.25}, {0.4, 783.99, 0.8, 0.25}, {0.6, 1046.5, 1.4, 0.3}, {0.6, 523.25, 1.4, 0.2}}, 2.2)) && ok;
  if (!ok) {
    std::cerr << "demo_assets: cannot write into " << dir << "\n";
    return 1;
  }
  return 0;
}
