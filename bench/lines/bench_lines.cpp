// Benchmarks of the pixel row routines: against memcpy of the same bytes, against their plain versions and,
// when SDL2 is present, against SDL's blits on 12-bit surfaces.
//
// Names: <routine>/<instruction set>/<shape>/<working set>
//   shape       row1023: one call of 1023 pixels per iteration; bitmap640x200: a whole 640x200 bitmap per iteration
//   working set cached: the same source and target every time; 16MiB: successive iterations walk through
//               16 MiB of sources and targets, so the data comes from memory
// Throughput (bytes per second) counts the target bytes written; ratios between routines of the same shape
// and working set are what matters (bench/lines/line_ratios.py prints them from the JSON output).
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "ZLineRoutinesImpl.h"

#ifdef ZLINE_BENCH_SDL
#define SDL_MAIN_HANDLED
#include <SDL.h>
#endif

namespace
    {
    using ZLineImpl::TIsa;

    const TInt KBitmapWidth = 640;
    const TInt KBitmapHeight = 200;
    const TInt KRowCount = 1023;
    const TInt KWeight = 8;
    const size_t KLargeBytes = 16u << 20;   // sources and targets together

    enum TShape { ERow, EBitmap };
    enum TSet { ECached, ELarge };

    // Source pixels shaped like sprite rows: colour runs and colour-key runs of 1..64 pixels, about 40% key.
    void FillSprite(std::vector<TUint16>& aWords, TUint32 aSeed)
        {
        std::mt19937 rng(aSeed);
        size_t i = 0;
        while (i < aWords.size())
            {
            const TBool key = rng() % 10 < 4;
            const size_t run = 1 + rng() % 64;
            for (size_t k = 0; k < run && i < aWords.size(); k++, i++)
                aWords[i] = key ? ZLine::KColourKey : static_cast<TUint16>(rng() & 0x0FFF);
            }
        }

    // Sources and targets: one item is one row (stride 1024) or one bitmap (640 x 200, stride 640).
    struct TWork
        {
        TWork(TShape aShape, TSet aSet)
            {
            iItemWords = aShape == ERow ? 1024 : KBitmapWidth * KBitmapHeight;
            iItems = aSet == ECached ? 1 : KLargeBytes / (2 * iItemWords * sizeof(TUint16));
            iSource.resize(iItems * iItemWords);
            iTarget.resize(iItems * iItemWords);
            FillSprite(iSource, 1);
            FillSprite(iTarget, 2);
            for (TUint16& w : iTarget)
                w &= 0x0FFF;
            }
        TUint16* Source(size_t aItem) { return iSource.data() + aItem * iItemWords; }
        TUint16* Target(size_t aItem) { return iTarget.data() + aItem * iItemWords; }

        size_t iItemWords;
        size_t iItems;
        std::vector<TUint16> iSource, iTarget;
        };

    // A row operation: source row, target row, pixel count.
    typedef std::function<void(TUint16*, TUint16*, TInt)> TRowOp;
    // A whole-bitmap operation: source bitmap, target bitmap (640 x 200, stride 640).
    typedef std::function<void(TUint16*, TUint16*)> TBitmapOp;

    // Runs with aIsa forced (EIsaCount: leave the start-up choice) and labels the run with the set in use.
    class TIsaRun
        {
    public:
        TIsaRun(benchmark::State& aState, TIsa aIsa) : iOk(ETrue)
            {
            if (aIsa != ZLineImpl::EIsaCount)
                iOk = ZLineImpl::ForceIsa(aIsa);
            if (!iOk)
                aState.SkipWithError("instruction set not available");
            else
                aState.SetLabel(ZLineImpl::IsaName(ZLineImpl::CurrentIsa()));
            }
        ~TIsaRun() { ZLineImpl::UseBestIsa(); }
        TBool Ok() const { return iOk; }

    private:
        TBool iOk;
        };

    void RunRows(benchmark::State& aState, TShape aShape, TSet aSet, TIsa aIsa, const TRowOp& aOp)
        {
        TIsaRun isa(aState, aIsa);
        if (!isa.Ok())
            return;
        TWork work(aShape, aSet);
        size_t item = 0;
        for (auto _ : aState)
            {
            TUint16* s = work.Source(item);
            TUint16* t = work.Target(item);
            if (aShape == ERow)
                aOp(s, t, KRowCount);
            else
                for (TInt y = 0; y < KBitmapHeight; y++)
                    aOp(s + y * KBitmapWidth, t + y * KBitmapWidth, KBitmapWidth);
            benchmark::ClobberMemory();
            if (++item == work.iItems)
                item = 0;
            }
        const TInt pixels = aShape == ERow ? KRowCount : KBitmapWidth * KBitmapHeight;
        aState.SetBytesProcessed(static_cast<int64_t>(aState.iterations()) * pixels * 2);
        }

    void RunBitmaps(benchmark::State& aState, TSet aSet, TIsa aIsa, const TBitmapOp& aOp)
        {
        TIsaRun isa(aState, aIsa);
        if (!isa.Ok())
            return;
        TWork work(EBitmap, aSet);
        size_t item = 0;
        for (auto _ : aState)
            {
            aOp(work.Source(item), work.Target(item));
            benchmark::ClobberMemory();
            if (++item == work.iItems)
                item = 0;
            }
        aState.SetBytesProcessed(static_cast<int64_t>(aState.iterations()) * KBitmapWidth * KBitmapHeight * 2);
        }

    const char* ShapeName(TShape aShape) { return aShape == ERow ? "row1023" : "bitmap640x200"; }
    const char* SetName(TSet aSet) { return aSet == ECached ? "cached" : "16MiB"; }
    const char* IsaLabel(TIsa aIsa) { return aIsa == ZLineImpl::EIsaCount ? "best" : ZLineImpl::IsaName(aIsa); }

    std::string Name(const char* aRoutine, TIsa aIsa, TShape aShape, TSet aSet)
        {
        return std::string(aRoutine) + "/" + IsaLabel(aIsa) + "/" + ShapeName(aShape) + "/" + SetName(aSet);
        }

    void AddRows(const char* aRoutine, TIsa aIsa, TShape aShape, TSet aSet, TRowOp aOp)
        {
        benchmark::RegisterBenchmark(Name(aRoutine, aIsa, aShape, aSet).c_str(),
                                     [=](benchmark::State& aState) { RunRows(aState, aShape, aSet, aIsa, aOp); });
        }

    void AddBitmap(const char* aRoutine, TIsa aIsa, TSet aSet, TBitmapOp aOp)
        {
        benchmark::RegisterBenchmark(Name(aRoutine, aIsa, EBitmap, aSet).c_str(),
                                     [=](benchmark::State& aState) { RunBitmaps(aState, aSet, aIsa, aOp); });
        }

    // Scaled and rotated arguments for a row of KRowCount target pixels out of a 1024-word source row
    // (rotated: a diagonal across a 32 x 32 source of stride 32, which fits in one 1024-word row).
    const TInt KScaleDX = 60000;                      // slightly enlarging
    const TInt KScaleSkip = 5;
    const TInt KRotStride = 32;
    const TInt KRotDX = 496, KRotDY = 480;            // 1022 steps reach (30.9, 29.9)

    // Hides a constant argument from the optimiser, so that the plain versions, which are inline, are not
    // specialised for the benchmark's constants while the library routines cannot be.
    template <class T> T Opaque(T aValue)
        {
        benchmark::DoNotOptimize(aValue);
        return aValue;
        }

    void RegisterAll()
        {
        const TIsa best = ZLineImpl::EIsaCount;
        const TShape shapes[] = {ERow, EBitmap};
        const TSet sets[] = {ECached, ELarge};
        std::vector<TIsa> isas = {best};
        for (TInt i = ZLineImpl::EIsaScalar; i < ZLineImpl::EIsaCount; i++)
            if (ZLineImpl::IsaAvailable(static_cast<TIsa>(i)))
                isas.push_back(static_cast<TIsa>(i));

        // The routines that whole rows and bitmaps go through, against memcpy of the same bytes.
        for (TShape shape : shapes)
            for (TSet set : sets)
                {
                AddRows("memcpy", best, shape, set,
                        [](TUint16* s, TUint16* t, TInt n) { std::memcpy(t, s, static_cast<size_t>(n) * 2); });
                AddRows("CopyLine", best, shape, set, [](TUint16* s, TUint16* t, TInt n) { CopyLine(s, t, n); });
                if (shape == ERow)
                    AddRows("WordCopy", best, shape, set, [](TUint16* s, TUint16* t, TInt n) {
                        WordCopy(reinterpret_cast<TUint32*>(s), reinterpret_cast<TUint32*>(t), n / 2);
                    });
                for (TIsa isa : isas)
                    {
                    AddRows("MaskedLine", isa, shape, set, [](TUint16* s, TUint16* t, TInt n) { MaskedLine(s, t, n); });
                    AddRows("BlendLine", isa, shape, set,
                            [](TUint16* s, TUint16* t, TInt n) { BlendLine(s, t, KWeight, n); });
                    AddRows("BlendLineMasked", isa, shape, set,
                            [](TUint16* s, TUint16* t, TInt n) { BlendLineMasked(s, t, KWeight, n); });
                    }
                }
        // Whole bitmaps as single block copies.
        for (TSet set : sets)
            {
            AddBitmap("memcpy_block", best, set,
                      [](TUint16* s, TUint16* t) { std::memcpy(t, s, KBitmapWidth * KBitmapHeight * 2); });
            AddBitmap("WordCopy_block", best, set, [](TUint16* s, TUint16* t) {
                WordCopy(reinterpret_cast<TUint32*>(s), reinterpret_cast<TUint32*>(t), KBitmapWidth * KBitmapHeight / 2);
            });
            }

        // Every row routine in use against its plain version, on a cached 1023-pixel row (scaled: 1023 pixels
        // from 940 source pixels; rotated: a diagonal across 32 x 32 source pixels).
        struct TPair
            {
            const char* iName;
            TRowOp iFast, iRef;
            };
        const TInt scaled = 1023 + 1024 * KScaleSkip;
        const TInt scaledBlend = scaled + 16777216 * KWeight;
        const TInt rotated = 1023 + 1024 * KRotStride;
        const TInt rotatedBlend = rotated + 67108864 * KWeight;
        const TPair pairs[] = {
            {"MaskedLine", [](TUint16* s, TUint16* t, TInt n) { MaskedLine(s, t, n); },
             [](TUint16* s, TUint16* t, TInt n) { ZLineRef::MaskedLine(s, t, n); }},
            {"BlendLine", [](TUint16* s, TUint16* t, TInt n) { BlendLine(s, t, Opaque(KWeight), n); },
             [](TUint16* s, TUint16* t, TInt n) { ZLineRef::BlendLine(s, t, Opaque(KWeight), n); }},
            {"BlendLineMasked", [](TUint16* s, TUint16* t, TInt n) { BlendLineMasked(s, t, Opaque(KWeight), n); },
             [](TUint16* s, TUint16* t, TInt n) { ZLineRef::BlendLineMasked(s, t, Opaque(KWeight), n); }},
            {"CopyLine", [](TUint16* s, TUint16* t, TInt n) { CopyLine(s, t, n); },
             [](TUint16* s, TUint16* t, TInt n) { ZLineRef::CopyLine(s, t, n); }},
            {"WordCopy",
             [](TUint16* s, TUint16* t, TInt n) {
                 WordCopy(reinterpret_cast<TUint32*>(s), reinterpret_cast<TUint32*>(t), n / 2);
             },
             [](TUint16* s, TUint16* t, TInt n) {
                 // The plain loop over 32-bit words, with the words moved through memcpy so no alias is broken.
                 for (TInt i = 0; i < n / 2; i++)
                     {
                     TUint32 w;
                     std::memcpy(&w, s + 2 * i, 4);
                     std::memcpy(t + 2 * i, &w, 4);
                     }
             }},
            {"ScaledLine", [=](TUint16* s, TUint16* t, TInt) { ScaledLine(s, t, Opaque(scaled), Opaque(KScaleDX)); },
             [=](TUint16* s, TUint16* t, TInt) { ZLineRef::ScaledLine(s, t, Opaque(scaled), Opaque(KScaleDX)); }},
            {"ScaledMaskedLine", [=](TUint16* s, TUint16* t, TInt) { ScaledMaskedLine(s, t, Opaque(scaled), Opaque(KScaleDX)); },
             [=](TUint16* s, TUint16* t, TInt) { ZLineRef::ScaledMaskedLine(s, t, Opaque(scaled), Opaque(KScaleDX)); }},
            {"ScaledBlendLine", [=](TUint16* s, TUint16* t, TInt) { ScaledBlendLine(s, t, Opaque(scaledBlend), Opaque(KScaleDX)); },
             [=](TUint16* s, TUint16* t, TInt) { ZLineRef::ScaledBlendLine(s, t, Opaque(scaledBlend), Opaque(KScaleDX)); }},
            {"ScaledMaskedBlendLine",
             [=](TUint16* s, TUint16* t, TInt) { ScaledMaskedBlendLine(s, t, Opaque(scaledBlend), Opaque(KScaleDX)); },
             [=](TUint16* s, TUint16* t, TInt) { ZLineRef::ScaledMaskedBlendLine(s, t, Opaque(scaledBlend), Opaque(KScaleDX)); }},
            {"RotatedLine",
             [=](TUint16* s, TUint16* t, TInt) { RotatedLine(s, t, Opaque(0), Opaque(0), Opaque(KRotDX), Opaque(KRotDY), Opaque(rotated)); },
             [=](TUint16* s, TUint16* t, TInt) { ZLineRef::RotatedLine(s, t, Opaque(0), Opaque(0), Opaque(KRotDX), Opaque(KRotDY), Opaque(rotated)); }},
            {"RotatedMaskedLine",
             [=](TUint16* s, TUint16* t, TInt) { RotatedMaskedLine(s, t, Opaque(0), Opaque(0), Opaque(KRotDX), Opaque(KRotDY), Opaque(rotated)); },
             [=](TUint16* s, TUint16* t, TInt) {
                 ZLineRef::RotatedMaskedLine(s, t, Opaque(0), Opaque(0), Opaque(KRotDX), Opaque(KRotDY), Opaque(rotated));
             }},
            {"RotatedBlendLine",
             [=](TUint16* s, TUint16* t, TInt) { RotatedBlendLine(s, t, Opaque(0), Opaque(0), Opaque(KRotDX), Opaque(KRotDY), Opaque(rotatedBlend)); },
             [=](TUint16* s, TUint16* t, TInt) {
                 ZLineRef::RotatedBlendLine(s, t, Opaque(0), Opaque(0), Opaque(KRotDX), Opaque(KRotDY), Opaque(rotatedBlend));
             }},
            {"RotatedMaskedBlendLine",
             [=](TUint16* s, TUint16* t, TInt) {
                 RotatedMaskedBlendLine(s, t, Opaque(0), Opaque(0), Opaque(KRotDX), Opaque(KRotDY), Opaque(rotatedBlend));
             },
             [=](TUint16* s, TUint16* t, TInt) {
                 ZLineRef::RotatedMaskedBlendLine(s, t, Opaque(0), Opaque(0), Opaque(KRotDX), Opaque(KRotDY), Opaque(rotatedBlend));
             }},
        };
        for (const TPair& p : pairs)
            {
            const std::string fast = std::string("fast/") + p.iName;
            const std::string ref = std::string("plain/") + p.iName;
            // Names must outlive registration only as std::string copies; RegisterBenchmark copies them.
            TRowOp f = p.iFast, r = p.iRef;
            benchmark::RegisterBenchmark((fast + "/best/row1023/cached").c_str(),
                                         [=](benchmark::State& aState) { RunRows(aState, ERow, ECached, best, f); });
            benchmark::RegisterBenchmark((ref + "/scalar/row1023/cached").c_str(), [=](benchmark::State& aState) {
                RunRows(aState, ERow, ECached, ZLineImpl::EIsaScalar, r);
            });
            }
        }

#ifdef ZLINE_BENCH_SDL
    // SDL's blits of a whole 640x200 surface onto another of the same 12-bit format, over our pixel words.
    enum TSdlBlit { ESdlCopy, ESdlKey, ESdlAlpha, ESdlKeyAlpha };

    void RunSdl(benchmark::State& aState, TSet aSet, Uint32 aFormat, TSdlBlit aBlit)
        {
        TWork work(EBitmap, aSet);
        if (aFormat == SDL_PIXELFORMAT_ARGB4444)
            for (TUint16& w : work.iSource)
                w |= 0xF000;   // opaque pixels; the surface-wide alpha does the blending
        std::vector<SDL_Surface*> sources, targets;
        for (size_t i = 0; i < work.iItems; i++)
            {
            SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(work.Source(i), KBitmapWidth, KBitmapHeight, 16,
                                                                KBitmapWidth * 2, aFormat);
            SDL_Surface* t = SDL_CreateRGBSurfaceWithFormatFrom(work.Target(i), KBitmapWidth, KBitmapHeight, 16,
                                                                KBitmapWidth * 2, aFormat);
            if (!s || !t)
                {
                aState.SkipWithError(SDL_GetError());
                return;
                }
            const TBool alpha = aBlit == ESdlAlpha || aBlit == ESdlKeyAlpha;
            SDL_SetSurfaceBlendMode(s, alpha ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
            SDL_SetSurfaceAlphaMod(s, alpha ? static_cast<Uint8>(KWeight * 16) : 255);
            if (aBlit == ESdlKey || aBlit == ESdlKeyAlpha)
                SDL_SetColorKey(s, SDL_TRUE, aFormat == SDL_PIXELFORMAT_ARGB4444 ? 0xFFFF : ZLine::KColourKey);
            sources.push_back(s);
            targets.push_back(t);
            }
        aState.SetLabel(SDL_GetPixelFormatName(aFormat));
        size_t item = 0;
        for (auto _ : aState)
            {
            SDL_BlitSurface(sources[item], nullptr, targets[item], nullptr);
            benchmark::ClobberMemory();
            if (++item == work.iItems)
                item = 0;
            }
        for (size_t i = 0; i < sources.size(); i++)
            {
            SDL_FreeSurface(sources[i]);
            SDL_FreeSurface(targets[i]);
            }
        aState.SetBytesProcessed(static_cast<int64_t>(aState.iterations()) * KBitmapWidth * KBitmapHeight * 2);
        }

    void RegisterSdl()
        {
        struct TFormat { Uint32 iFormat; const char* iName; };
        const TFormat formats[] = {{SDL_PIXELFORMAT_XBGR4444, "XBGR4444"}, {SDL_PIXELFORMAT_ARGB4444, "ARGB4444"}};
        struct TBlit { TSdlBlit iBlit; const char* iName; };
        const TBlit blits[] = {{ESdlCopy, "SDL_copy"}, {ESdlKey, "SDL_colourkey"}, {ESdlAlpha, "SDL_alpha"},
                               {ESdlKeyAlpha, "SDL_colourkey_alpha"}};
        for (TSet set : {ECached, ELarge})
            for (const TFormat& f : formats)
                for (const TBlit& b : blits)
                    {
                    const std::string name = std::string(b.iName) + "/" + f.iName + "/bitmap640x200/" + SetName(set);
                    const Uint32 format = f.iFormat;
                    const TSdlBlit blit = b.iBlit;
                    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& aState) {
                        RunSdl(aState, set, format, blit);
                    });
                    }
        }
#endif

    struct TRegistration
        {
        TRegistration()
            {
            RegisterAll();
#ifdef ZLINE_BENCH_SDL
            RegisterSdl();
#endif
            }
        };
    const TRegistration KRegistration;
    }
