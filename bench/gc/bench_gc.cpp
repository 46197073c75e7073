// The graphics context on a screen-sized 4096-colour bitmap: the shapes and text the
// engine draws for its sprites, each drawn whole once per iteration.
#include <benchmark/benchmark.h>
#include <bitdev.h>
#include <bitstd.h>
#include <zhost/fonts.h>

#include <cmath>
#include <vector>

namespace {

struct TScene {
  TScene() {
    iBitmap = new CFbsBitmap;
    iBitmap->Create(TSize(640, 200), EColor4K);
    iDevice = CFbsBitmapDevice::NewL(iBitmap);
    iDevice->CreateContext(iGc);
    iGc->SetPenColor(KRgbRed);
    iGc->SetBrushColor(KRgbBlue);
    iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  }
  ~TScene() {
    delete iGc;
    delete iDevice;
    delete iBitmap;
  }
  CFbsBitmap* iBitmap = NULL;
  CFbsBitmapDevice* iDevice = NULL;
  CFbsBitGc* iGc = NULL;
};

// A 16-pointed star, 300 x 180, filled by the winding rule and outlined.
void BM_FilledPolygon(benchmark::State& aState) {
  TScene scene;
  std::vector<TPoint> points;
  for (int i = 0; i < 32; ++i) {
    const double a = i * 3.14159265358979 / 16, r = (i & 1) ? 0.45 : 1.0;
    points.push_back(TPoint(320 + static_cast<TInt>(150 * r * std::cos(a)), 100 + static_cast<TInt>(90 * r * std::sin(a))));
  }
  for (auto _ : aState) {
    scene.iGc->DrawPolygon(points.data(), static_cast<TInt>(points.size()), CGraphicsContext::EWinding);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FilledPolygon);

// A filled ellipse nearly the width of the screen, with a solid or a dashed outline.
void BM_WideEllipse(benchmark::State& aState) {
  TScene scene;
  if (aState.range(0)) scene.iGc->SetPenStyle(CGraphicsContext::EDashedPen);
  for (auto _ : aState) {
    scene.iGc->DrawEllipse(TRect(10, 10, 630, 190));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_WideEllipse)->Arg(0)->Arg(1);

// A filled pie, three quarters of a 180-pixel circle.
void BM_Pie(benchmark::State& aState) {
  TScene scene;
  for (auto _ : aState) {
    scene.iGc->DrawPie(TRect(230, 10, 410, 190), TPoint(320, 0), TPoint(640, 100));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Pie);

// A 40-character run in a 14-pixel DejaVu Sans, in a box, as text sprites draw it.
void BM_TextRun40(benchmark::State& aState) {
  TScene scene;
  CGraphicsDevice* fonts = new CGraphicsDevice;
  CFont* font = NULL;
  fonts->GetNearestFontInPixels(font, TFontSpec(_L("SwissA"), 14));
  scene.iGc->UseFont(font);
  scene.iGc->SetBrushStyle(CGraphicsContext::ENullBrush);
  _LIT(KText, "The quick brown fox jumps over a lazy do");
  for (auto _ : aState) {
    scene.iGc->DrawText(KText, TRect(20, 50, 620, 70), font->AscentInPixels(), CGraphicsContext::ECenter);
    benchmark::ClobberMemory();
  }
  scene.iGc->DiscardFont();
  fonts->ReleaseFont(font);
  delete fonts;
}
BENCHMARK(BM_TextRun40);

// A long line with a thick pen.
void BM_ThickLine(benchmark::State& aState) {
  TScene scene;
  scene.iGc->SetPenSize(TSize(3, 3));
  for (auto _ : aState) {
    scene.iGc->DrawLine(TPoint(0, 0), TPoint(639, 199));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ThickLine);

}  // namespace
