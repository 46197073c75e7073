// Frames per second of the view on a 640 x 200 scene of 120 channels: 80 bitmap sprites
// of 32 x 32 to 128 x 128 pixels (a quarter scaled, a quarter rotated, a quarter blended,
// a quarter masked), the top 20 moving every frame over a still lower layer. Rendered
// headless through the whole frame cycle, with and without back buffer, and the same
// scene drawn by SDL2's software renderer (SDL_RenderCopyEx into a 16-bit target).

#include <Zolvane.h>
#include <coemain.h>
#include <zhost/clock.h>
#include <zhost_testing.h>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

const TInt KWidth = 640;
const TInt KHeight = 200;
const TInt KChannels = 120;
const TInt KSprites = 80;
const TInt KMoving = 20;

struct SpriteSpec {
  TInt size;        // bitmap side
  TInt kind;        // 0 scaled, 1 rotated, 2 blended, 3 masked
  TInt x, y;        // start
  TInt dx, dy;      // per frame, moving sprites only
  TBool moving;
};

std::vector<SpriteSpec> Scene() {
  std::vector<SpriteSpec> out;
  for (TInt i = 0; i < KSprites; ++i) {
    SpriteSpec s;
    s.size = 32 + (i * 37) % 97;
    s.kind = i % 4;
    s.x = (i * 97) % KWidth;
    s.y = (i * 53) % KHeight;
    s.moving = i >= KSprites - KMoving;
    s.dx = 1 + i % 5;
    s.dy = 1 + i % 3;
    out.push_back(s);
  }
  return out;
}

// A bitmap's pixel: a pattern, with a keyed border ring for masked drawing.
TUint16 Word(TInt aSize, TInt aX, TInt aY, TInt aSeed) {
  const TInt edge = aSize / 8;
  if (aX < edge || aY < edge || aX >= aSize - edge || aY >= aSize - edge) {
    if ((aX + aY) % 3 == 0) return 0x0FFF;
  }
  return static_cast<TUint16>((aSeed * 291 + aX * 5 + aY * 17) & 0x0FFE);
}

class CMoveScript : public CZScript {
public:
  explicit CMoveScript(const std::vector<SpriteSpec>& aSpecs) : iSpecs(aSpecs) {}
  void FrameBeginL(TInt, TPtrC) override {
    iFrame++;
    for (TInt i = 0; i < KSprites; ++i) {
      const SpriteSpec& s = iSpecs[i];
      if (!s.moving) continue;
      Controller()->Sprite(i + 1)->Loc((s.x + s.dx * iFrame) % KWidth, (s.y + s.dy * iFrame) % KHeight);
    }
  }
  void FrameEndL(TInt, TPtrC) override {}
  TKeyResponse KeyEventL(const TKeyEvent&, TEventCode) override { return EKeyWasNotConsumed; }
  TInt Decrypt(TPtr8, TPtrC) override { return KErrNone; }
  const std::vector<SpriteSpec>& iSpecs;
  TInt iFrame = 0;
};

class CHolder : public CCoeControl {
public:
  TInt CountComponentControls() const override { return iView ? 1 : 0; }
  CCoeControl* ComponentControl(TInt) const override { return iView; }
  CZView* iView = NULL;
};

void EngineFrames(benchmark::State& aState, TBool aBackBuffer) {
  const std::vector<SpriteSpec> specs = Scene();
  ZHost::Testing::TestEnvironment env;
  CHolder holder;
  holder.CreateWindowL();
  holder.SetRect(TRect(0, 0, KWidth, KHeight));
  CZController* controller = CZController::NewL(env.AppUi());
  CMoveScript script(specs);
  controller->Script(&script);
  CZView* view = CZView::NewL(TRect(0, 0, KWidth, KHeight), &holder, aBackBuffer);
  holder.iView = view;
  holder.ActivateL();
  controller->View(view);
  controller->SpriteChannelAllocate(KChannels);
  controller->Tempo(100);
  for (TInt i = 0; i < KSprites; ++i) {
    const SpriteSpec& s = specs[i];
    TBuf<16> name;
    name.Format(_L("b%d"), i);
    CZElement* e = controller->ElementBitmapAdd(s.size, s.size, name);
    for (TInt y = 0; y < s.size; ++y)
      for (TInt x = 0; x < s.size; ++x) e->Pixel(x, y, Word(s.size, x, y, i));
    e->Masked(ETrue);
    e->RegPoint(TPoint(s.size / 2, s.size / 2));
    CZSprite* sprite = controller->Sprite(i + 1);
    sprite->Element(e);
    sprite->Loc(s.x, s.y);
    switch (s.kind) {
      case 0: sprite->Size(s.size * 3 / 2, s.size * 3 / 2); break;
      case 1: sprite->Angle(20 + i * 7); break;
      case 2: sprite->Blend(50); break;
      default: sprite->Mask(ETrue); break;
    }
  }
  controller->Start();
  auto frame = [&] {
    const TInt64 due = ZHost::NextTimerDue();
    ZHost::RunFor(due > ZHost::Clock::Ticks() ? due - ZHost::Clock::Ticks() : 0);
  };
  for (TInt i = 0; i < 5; ++i) frame();  // the back buffer fills
  const TInt drawnBefore = view->SpritesDrawn();
  TInt64 frames = 0;
  for (auto _ : aState) {
    frame();
    ++frames;
  }
  aState.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  aState.counters["sprites_per_frame"] =
      frames ? static_cast<double>(view->SpritesDrawn() - drawnBefore) / static_cast<double>(frames) : 0.0;
  delete controller;
  delete view;
}

void BM_ViewBackBuffer(benchmark::State& aState) { EngineFrames(aState, ETrue); }
void BM_ViewNoBackBuffer(benchmark::State& aState) { EngineFrames(aState, EFalse); }

void BM_Sdl2SoftwareRenderer(benchmark::State& aState) {
  const std::vector<SpriteSpec> specs = Scene();
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, KWidth, KHeight, 16, SDL_PIXELFORMAT_XBGR4444);
  SDL_Renderer* renderer = target ? SDL_CreateSoftwareRenderer(target) : NULL;
  if (!renderer) {
    aState.SkipWithError("SDL2 software renderer unavailable");
    return;
  }
  std::vector<SDL_Texture*> textures;
  for (TInt i = 0; i < KSprites; ++i) {
    const SpriteSpec& s = specs[i];
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, s.size, s.size, 16, SDL_PIXELFORMAT_XBGR4444);
    for (TInt y = 0; y < s.size; ++y) {
      Uint16* row = reinterpret_cast<Uint16*>(static_cast<Uint8*>(src->pixels) + y * src->pitch);
      for (TInt x = 0; x < s.size; ++x) row[x] = Word(s.size, x, y, i);
    }
    // The colour key becomes transparency in the texture.
    if (s.kind == 3) SDL_SetColorKey(src, SDL_TRUE, 0x0FFF);
    SDL_Texture* t = SDL_CreateTextureFromSurface(renderer, src);
    SDL_FreeSurface(src);
    if (s.kind == 2) {
      SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
      SDL_SetTextureAlphaMod(t, 128);
    } else if (s.kind != 3) {
      SDL_SetTextureBlendMode(t, SDL_BLENDMODE_NONE);
    }
    textures.push_back(t);
  }
  TInt64 frames = 0;
  TInt frame = 0;
  for (auto _ : aState) {
    ++frame;
    SDL_SetRenderDrawColor(renderer, 255, 255, 255, 255);
    SDL_RenderClear(renderer);
    for (TInt i = 0; i < KSprites; ++i) {
      const SpriteSpec& s = specs[i];
      const TInt x = s.moving ? (s.x + s.dx * frame) % KWidth : s.x;
      const TInt y = s.moving ? (s.y + s.dy * frame) % KHeight : s.y;
      const TInt side = s.kind == 0 ? s.size * 3 / 2 : s.size;
      SDL_Rect dst{x - side / 2, y - side / 2, side, side};
      SDL_RenderCopyEx(renderer, textures[i], NULL, &dst, s.kind == 1 ? -(20.0 + i * 7) : 0.0, NULL, SDL_FLIP_NONE);
    }
    SDL_RenderPresent(renderer);
    ++frames;
  }
  aState.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  for (SDL_Texture* t : textures) SDL_DestroyTexture(t);
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(target);
}

}  // namespace

BENCHMARK(BM_ViewBackBuffer)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_ViewNoBackBuffer)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_Sdl2SoftwareRenderer)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
