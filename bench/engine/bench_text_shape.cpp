// Frames of texts and shapes on a 640 x 200 view, drawn headless through the view's
// redraw: 20 text sprites (a paragraph each, wrapped to several lines) and 20 shape
// sprites (rectangles, ellipses, rounded rectangles, lines and turned vector stars with
// solid brushes, some blended, some under transitions).
//
// The font work is measured apart: a frame drawn right after every text was given a font
// of a face, size and style never drawn before in the process (glyphs rasterised on the
// spot, cold cache) against a frame after switching between two fonts already drawn
// (the same layout work, warm glyphs). The difference is the time spent rasterising.

#include <Zolvane.h>
#include <coemain.h>
#include <zhost_testing.h>

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <vector>

namespace {

const TInt KWidth = 640;
const TInt KHeight = 200;
const TInt KTexts = 20;
const TInt KShapes = 20;

TPtrC W(const char16_t* aText) {
  return TPtrC(reinterpret_cast<const TUint16*>(aText), static_cast<TInt>(std::char_traits<char16_t>::length(aText)));
}

const char16_t* const KParagraph =
    u"The quick brown fox jumps over the lazy dog while the frame timer ticks on, "
    u"and every sprite above the buffered layer is drawn again in z order.";

const char16_t* const KFaces[] = {u"SwissA", u"System", u"NewCourier"};

struct Scene {
  Scene() {
    iController = CZController::NewL(iEnv.AppUi());
    iView = CZView::NewL(TRect(0, 0, KWidth, KHeight), NULL, EFalse);
    iController->View(iView);
    iController->SpriteChannelAllocate(KTexts + KShapes);
    iController->BgColor(0x202020);
    for (TInt i = 0; i < KTexts; ++i) {
      TBuf<16> name;
      name.Format(_L("t%d"), i);
      CZElement* t = iController->ElementTextAdd(W(KParagraph), name);
      t->Font(W(u"SwissA"));
      t->FontSize(11);
      t->Width(150);
      t->Color(TRgb(0x40 + 8 * i, 0xC0, 0xFF - 8 * i));
      t->FontAlignment(static_cast<CGraphicsContext::TTextAlign>(i % 3));
      CZSprite* s = iController->Sprite(i + 1);
      s->Element(t);
      s->Loc((i % 4) * 160 + 4, (i / 4) * 40);
      if (i % 5 == 1) s->Blend(60);
      iTexts.push_back(t);
      iTextSprites.push_back(s);
    }
    for (TInt i = 0; i < KShapes; ++i) {
      CZSprite* s = iController->Sprite(KTexts + i + 1);
      const TInt x = (i * 97) % (KWidth - 60);
      const TInt y = (i * 53) % (KHeight - 40);
      switch (i % 5) {
        case 0: s->Rectangle(TPoint(x, y), TPoint(x + 50, y + 30)); break;
        case 1: s->Ellipse(TPoint(x, y), TPoint(x + 60, y + 36)); break;
        case 2: s->RoundRectangle(TPoint(x, y), TPoint(x + 56, y + 28), TSize(8, 8)); break;
        case 3: s->Line(TPoint(x, y), TPoint(x + 60, y + 38)); break;
        default: {
          TBuf<16> name;
          name.Format(_L("star%d"), i);
          CZElement* star = iController->ElementShapeAdd(W(u""), name);
          // A five-pointed star crossing itself: the winding rule fills its middle.
          const TPoint points[] = {TPoint(20, 0), TPoint(32, 38), TPoint(0, 14), TPoint(40, 14), TPoint(8, 38)};
          for (TInt k = 0; k < 5; ++k) star->Point(k + 1, points[k]);
          star->Color(TRgb(255, 255, 0));
          star->BrushColor(TRgb(255, 64, 0));
          star->BrushStyle(CGraphicsContext::ESolidBrush);
          star->RegPoint(TPoint(20, 20));
          s->Element(star);
          s->Loc(x + 20, y + 20);
          s->Angle(i * 17);
          break;
        }
      }
      if (s->Type() == SHAPE_SPRITE) {
        s->PenColor(TRgb(255, 255, 255));
        s->PenSize(TSize(1 + i % 3, 1 + i % 3));
        s->BrushColor(TRgb(40 * (i % 6), 90, 200));
        s->BrushStyle(CGraphicsContext::ESolidBrush);
      }
      if (i % 4 == 1) s->Blend(50);
      if (i % 7 == 2) s->Transition(1, 1000000);
      iShapeSprites.push_back(s);
    }
  }
  ~Scene() {
    delete iController;
    delete iView;
  }
  void ShowTexts(TBool aShow) {
    for (CZSprite* s : iTextSprites) s->Visible(aShow);
  }
  void ShowShapes(TBool aShow) {
    for (CZSprite* s : iShapeSprites) s->Visible(aShow);
  }
  void SetFont(const char16_t* aFace, TInt aSize, TBool aBold, TBool aItalic) {
    for (CZElement* t : iTexts) {
      t->Font(W(aFace));
      t->FontSize(aSize);
      t->FontStrokeWeight(aBold ? EStrokeWeightBold : EStrokeWeightNormal);
      t->FontPosture(aItalic ? EPostureItalic : EPostureUpright);
    }
  }

  ZHost::Testing::TestEnvironment iEnv;
  CZController* iController = NULL;
  CZView* iView = NULL;
  std::vector<CZElement*> iTexts;
  std::vector<CZSprite*> iTextSprites;
  std::vector<CZSprite*> iShapeSprites;
};

void Frames(benchmark::State& aState, TBool aTexts, TBool aShapes) {
  Scene scene;
  scene.ShowTexts(aTexts);
  scene.ShowShapes(aShapes);
  for (TInt i = 0; i < 3; ++i) scene.iView->Update();  // fonts made, glyphs cached
  const TInt drawnBefore = scene.iView->SpritesDrawn();
  TInt64 frames = 0;
  for (auto _ : aState) {
    scene.iView->Update();
    ++frames;
  }
  aState.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  aState.counters["sprites_per_frame"] =
      frames ? static_cast<double>(scene.iView->SpritesDrawn() - drawnBefore) / static_cast<double>(frames) : 0.0;
}

void BM_TextAndShapeFrame(benchmark::State& aState) { Frames(aState, ETrue, ETrue); }
void BM_TextFrame(benchmark::State& aState) { Frames(aState, ETrue, EFalse); }
void BM_ShapeFrame(benchmark::State& aState) { Frames(aState, EFalse, ETrue); }

// Fonts of a face, size and style not made before in this process, one per call; false
// when all are used. Sizes 9 .. 40 in three faces, upright or italic, normal or bold; the
// two fonts of the warm benchmarks (first face, upright, normal, sizes 11 and 12) are
// replaced by sizes 41 and 42.
TInt gNextCold = 0;
const TInt KColdSizes = 32;
const TInt KColdCombos = 3 * 2 * 2 * KColdSizes;

TBool NextColdFont(Scene& aScene) {
  if (gNextCold >= KColdCombos) return EFalse;
  const TInt k = gNextCold++;
  const TInt size = 9 + k % KColdSizes;
  const TInt style = (k / KColdSizes) % 4;
  const TInt face = k / (KColdSizes * 4);
  const TBool warmCombo = face == 0 && style == 0 && (size == 11 || size == 12);
  aScene.SetFont(KFaces[face], warmCombo ? size + 30 : size, style & 1, (style & 2) != 0);
  return ETrue;
}

// Makes every text's font and layout now (what the next draw would do first).
TInt Layout(Scene& aScene) {
  TInt lines = 0;
  for (CZElement* t : aScene.iTexts) lines += t->LineCount();
  return lines;
}

// Thread CPU time in microseconds (the machine may be shared; wall time would count the
// other processes too).
double CpuMicroseconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// A frame of the 20 texts right after they got a new font, so that every glyph drawn is
// rasterised on the spot, and the same frame drawn once more with the glyphs cached. The
// font and the layout are made before either. The timed loop is the cold frame; the
// counters give both frames' CPU time and their difference, the rasterising.
void BM_TextFrameColdVsWarmGlyphs(benchmark::State& aState) {
  Scene scene;
  scene.ShowShapes(EFalse);
  scene.iView->Update();
  double cold = 0, warm = 0;
  TInt64 lines = 0;
  for (auto _ : aState) {
    aState.PauseTiming();
    if (!NextColdFont(scene)) {
      aState.SkipWithError("no unused font left");
      break;
    }
    lines += Layout(scene);
    aState.ResumeTiming();
    const double t0 = CpuMicroseconds();
    scene.iView->Update();
    const double t1 = CpuMicroseconds();
    aState.PauseTiming();
    scene.iView->Update();
    warm += CpuMicroseconds() - t1;
    cold += t1 - t0;
    aState.ResumeTiming();
  }
  const double n = static_cast<double>(aState.iterations());
  aState.counters["cold_frame_us"] = cold / n;
  aState.counters["warm_frame_us"] = warm / n;
  aState.counters["rasterise_us"] = (cold - warm) / n;
  aState.counters["lines_per_frame"] = static_cast<double>(lines) / n;
}

// Making a new font for the 20 texts and laying them out again, without drawing.
void BM_TextNewFontAndLayout(benchmark::State& aState) {
  Scene scene;
  scene.ShowShapes(EFalse);
  scene.iView->Update();
  for (auto _ : aState) {
    if (!NextColdFont(scene)) {
      aState.SkipWithError("no unused font left");
      break;
    }
    benchmark::DoNotOptimize(Layout(scene));
  }
}

}  // namespace

BENCHMARK(BM_TextAndShapeFrame)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_TextFrame)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_ShapeFrame)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_TextFrameColdVsWarmGlyphs)->Unit(benchmark::kMicrosecond)->Iterations(120);
BENCHMARK(BM_TextNewFontAndLayout)->Unit(benchmark::kMicrosecond)->Iterations(90);
