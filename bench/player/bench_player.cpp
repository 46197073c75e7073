// The player's per-frame bookkeeping: a frame of 120 channels in which every sprite
// changes z (re-sorting the z list and lowering the z-buffer counts), then the frame
// preparation that recounts them.

#include <ZolvaneTesting.h>

#include <benchmark/benchmark.h>

namespace {

void BM_FrameAllSpritesChangeZ(benchmark::State& aState) {
  const TInt channels = static_cast<TInt>(aState.range(0));
  ZTest::Harness::Options options;
  options.channels = channels;
  options.backBuffer = ETrue;
  ZTest::Harness h(options);
  CZController& c = h.Controller();
  CZPlayer* player = c.Player();
  for (TInt ch = 1; ch <= channels; ch++) {
    c.Sprite(ch)->Rectangle(TPoint(0, 0), TPoint(10, 10));
  }
  TInt frame = 0;
  for (auto _ : aState) {
    player->FramePrepare();
    // Each sprite moves a few places up or down the z list.
    for (TInt ch = 1; ch <= channels; ch++) {
      CZSprite* s = c.Sprite(ch);
      s->LocZ(s->Z() + (((ch + frame) & 1) ? 3 : -3));
      s->Loc(s->X() + 1, s->Y());
    }
    player->Update();
    player->FrameExit();
    frame++;
  }
  aState.SetItemsProcessed(aState.iterations() * channels);
}
BENCHMARK(BM_FrameAllSpritesChangeZ)->Arg(120)->Arg(480);

}  // namespace
