// Benchmarks of whole-bitmap drawing against SDL2's software paths on the same pixels.
//
// Scaled: Draw of a 640 x 200 bitmap element into a 960 x 300 one (x1.5), colour-keyed, against
// SDL_BlitScaled with a colour key between XBGR4444 surfaces of the same sizes and words.
// Rotated: a 640 x 200 bitmap turned by 30 degrees, row by row with the RotatedLine family, against
// SDL_RenderCopyEx of the software renderer drawing the same surface at 30 degrees into a surface.
// Items are source pixels, so items per second compare directly within each group; the ratio is
// printed by ratio_report.py from the JSON output of one run.
#include <benchmark/benchmark.h>

#include <Zolvane.h>

#include <cmath>
#include <random>
#include <vector>

#ifdef ZDRAW_BENCH_SDL
#define SDL_MAIN_HANDLED
#include <SDL.h>
#endif

namespace
    {
    const TInt KSourceWidth = 640;
    const TInt KSourceHeight = 200;
    const TInt KScaledWidth = 960;
    const TInt KScaledHeight = 300;
    const TUint16 KKey = 0x0FFF;
    const TInt KAngle = 30;

    // Sprite-like source words: colour runs and key runs of 1..64 pixels, about 40% key.
    void FillSprite(TUint16* aWords, TInt aWidth, TInt aHeight, TInt aStride, TUint32 aSeed)
        {
        std::mt19937 rng(aSeed);
        for (TInt y = 0; y < aHeight; y++)
            {
            TInt x = 0;
            while (x < aWidth)
                {
                const TBool key = rng() % 10 < 4;
                const TInt run = 1 + rng() % 64;
                for (TInt k = 0; k < run && x < aWidth; k++, x++)
                    aWords[y * aStride + x] = key ? KKey : static_cast<TUint16>(rng() & 0x0FFF);
                }
            }
        }

    // A bitmap element in a facade-free holder: the benchmarks use the element class directly.
    struct TElement
        {
        TElement(TInt aWidth, TInt aHeight)
            {
            CWsBitmap* bitmap = new CWsBitmap;
            bitmap->Create(TSize(aWidth, aHeight), EColor4K);
            iElement = CZElementBitmap::NewL();
            iElement->BitmapSet(bitmap);
            }
        ~TElement() { delete iElement; }
        TInt Stride() const { return (iElement->Width() + 1) & ~1; }
        CZElementBitmap* iElement;
        };

    void ZScaledDraw(benchmark::State& aState)
        {
        TElement source(KSourceWidth, KSourceHeight);
        TElement target(KScaledWidth, KScaledHeight);
        FillSprite(source.iElement->DataAddress(), KSourceWidth, KSourceHeight, source.Stride(), 7);
        for (auto _ : aState)
            {
            target.iElement->DrawBitmap(source.iElement->Bitmap(), TRect(0, 0, KScaledWidth, KScaledHeight),
                                        TRect(0, 0, KSourceWidth, KSourceHeight), ETrue, 100);
            benchmark::ClobberMemory();
            }
        aState.SetItemsProcessed(aState.iterations() * KSourceWidth * KSourceHeight);
        aState.SetLabel("Draw x1.5 masked");
        }
    BENCHMARK(ZScaledDraw)->Name("Scaled/Zolvane_Draw")->Unit(benchmark::kMicrosecond);

    // The rotated picture of a KSourceWidth x KSourceHeight bitmap turned by aAngle degrees about its
    // centre, drawn into the middle of a square target. For each target row, the run of pixels whose
    // sampling points lie inside the source goes to one row routine call (at most 1023 pixels).
    struct TRotation
        {
        TInt iSize;       // target side
        TInt iSin;        // 14 fraction bits
        TInt iCos;
        TRotation(TInt aAngle)
            {
            const double rad = aAngle * 3.14159265358979323846 / 180.0;
            iSin = static_cast<TInt>(std::lround(std::sin(rad) * SINE_SCALE));
            iCos = static_cast<TInt>(std::lround(std::cos(rad) * SINE_SCALE));
            iSize = static_cast<TInt>(std::ceil(std::hypot(KSourceWidth, KSourceHeight))) + 2;
            }
        // Source point (14 fraction bits) of target pixel (x, y): the inverse rotation about both centres.
        void Project(TInt aX, TInt aY, TInt& aU, TInt& aV) const
            {
            const TInt dx = aX - iSize / 2;
            const TInt dy = aY - iSize / 2;
            aU = dx * iCos + dy * iSin + (KSourceWidth / 2) * SINE_SCALE;
            aV = -dx * iSin + dy * iCos + (KSourceHeight / 2) * SINE_SCALE;
            }
        TBool Inside(TInt aX, TInt aY) const
            {
            TInt u, v;
            Project(aX, aY, u, v);
            return u >= 0 && v >= 0 && u / SINE_SCALE < KSourceWidth && v / SINE_SCALE < KSourceHeight;
            }
        };

    struct TRowSpan
        {
        TInt iY, iX, iCount, iProjX, iProjY;
        };

    std::vector<TRowSpan> RotatedSpans(const TRotation& aRot)
        {
        std::vector<TRowSpan> spans;
        for (TInt y = 0; y < aRot.iSize; y++)
            {
            TInt first = -1, last = -1;
            for (TInt x = 0; x < aRot.iSize; x++)
                if (aRot.Inside(x, y))
                    {
                    if (first < 0)
                        first = x;
                    last = x;
                    }
            // The footprint is convex: one run per row.
            for (TInt x = first; x >= 0 && x <= last; x += 1023)
                {
                TRowSpan s;
                s.iY = y;
                s.iX = x;
                s.iCount = std::min(1023, last - x + 1);
                aRot.Project(x, y, s.iProjX, s.iProjY);
                spans.push_back(s);
                }
            }
        return spans;
        }

    enum TRotVariant { EPlain, EMasked, EBlend, EMaskedBlend };

    void ZRotated(benchmark::State& aState, TRotVariant aVariant)
        {
        const TRotation rot(KAngle);
        TElement source(KSourceWidth, KSourceHeight);
        TElement target(rot.iSize, rot.iSize);
        FillSprite(source.iElement->DataAddress(), KSourceWidth, KSourceHeight, source.Stride(), 11);
        const std::vector<TRowSpan> spans = RotatedSpans(rot);
        TUint16* src = source.iElement->DataAddress();
        TUint16* dst = target.iElement->DataAddress();
        const TInt stride = source.Stride();
        const TInt targetStride = target.Stride();
        const TInt dx = rot.iCos, dy = -rot.iSin;
        const TInt weight = 8;
        for (auto _ : aState)
            {
            for (const TRowSpan& s : spans)
                {
                TUint16* to = dst + s.iY * targetStride + s.iX;
                const TInt packed = s.iCount + 1024 * stride;
                switch (aVariant)
                    {
                case EPlain:
                    RotatedLine(src, to, s.iProjX, s.iProjY, dx, dy, packed);
                    break;
                case EMasked:
                    RotatedMaskedLine(src, to, s.iProjX, s.iProjY, dx, dy, packed);
                    break;
                case EBlend:
                    RotatedBlendLine(src, to, s.iProjX, s.iProjY, dx, dy, packed + 67108864 * weight);
                    break;
                case EMaskedBlend:
                    RotatedMaskedBlendLine(src, to, s.iProjX, s.iProjY, dx, dy, packed + 67108864 * weight);
                    break;
                    }
                }
            benchmark::ClobberMemory();
            }
        aState.SetItemsProcessed(aState.iterations() * KSourceWidth * KSourceHeight);
        }
    BENCHMARK_CAPTURE(ZRotated, plain, EPlain)->Name("Rotated/Zolvane_RotatedLine")->Unit(benchmark::kMicrosecond);
    BENCHMARK_CAPTURE(ZRotated, masked, EMasked)->Name("Rotated/Zolvane_RotatedMaskedLine")->Unit(benchmark::kMicrosecond);
    BENCHMARK_CAPTURE(ZRotated, blend, EBlend)->Name("Rotated/Zolvane_RotatedBlendLine")->Unit(benchmark::kMicrosecond);
    BENCHMARK_CAPTURE(ZRotated, maskedBlend, EMaskedBlend)
        ->Name("Rotated/Zolvane_RotatedMaskedBlendLine")
        ->Unit(benchmark::kMicrosecond);

#ifdef ZDRAW_BENCH_SDL
    // SDL draws into our words: a target left all zero means that nothing was drawn.
    TBool Drawn(const std::vector<TUint16>& aWords)
        {
        for (TUint16 w : aWords)
            if (w != 0)
                return ETrue;
        return EFalse;
        }

    SDL_Surface* Surface(std::vector<TUint16>& aWords, TInt aWidth, TInt aHeight)
        {
        return SDL_CreateRGBSurfaceWithFormatFrom(aWords.data(), aWidth, aHeight, 16, aWidth * 2,
                                                  SDL_PIXELFORMAT_XBGR4444);
        }

    void SdlScaled(benchmark::State& aState)
        {
        std::vector<TUint16> sourceWords(KSourceWidth * KSourceHeight), targetWords(KScaledWidth * KScaledHeight);
        FillSprite(sourceWords.data(), KSourceWidth, KSourceHeight, KSourceWidth, 7);
        SDL_Surface* source = Surface(sourceWords, KSourceWidth, KSourceHeight);
        SDL_Surface* target = Surface(targetWords, KScaledWidth, KScaledHeight);
        if (!source || !target)
            {
            aState.SkipWithError(SDL_GetError());
            return;
            }
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        SDL_SetColorKey(source, SDL_TRUE, KKey);
        for (auto _ : aState)
            {
            SDL_Rect rect = {0, 0, KScaledWidth, KScaledHeight};
            SDL_BlitScaled(source, nullptr, target, &rect);
            benchmark::ClobberMemory();
            }
        aState.SetItemsProcessed(aState.iterations() * KSourceWidth * KSourceHeight);
        aState.SetLabel("SDL_BlitScaled colour key XBGR4444");
        if (!Drawn(targetWords))
            aState.SkipWithError("SDL_BlitScaled drew nothing");
        SDL_FreeSurface(source);
        SDL_FreeSurface(target);
        }
    BENCHMARK(SdlScaled)->Name("Scaled/SDL_BlitScaled")->Unit(benchmark::kMicrosecond);

    void SdlRotated(benchmark::State& aState)
        {
        const TRotation rot(KAngle);
        std::vector<TUint16> sourceWords(KSourceWidth * KSourceHeight), targetWords(rot.iSize * rot.iSize);
        FillSprite(sourceWords.data(), KSourceWidth, KSourceHeight, KSourceWidth, 11);
        SDL_Surface* source = Surface(sourceWords, KSourceWidth, KSourceHeight);
        SDL_Surface* target = Surface(targetWords, rot.iSize, rot.iSize);
        SDL_Renderer* renderer = target ? SDL_CreateSoftwareRenderer(target) : nullptr;
        SDL_Texture* texture = renderer && source ? SDL_CreateTextureFromSurface(renderer, source) : nullptr;
        if (!texture)
            {
            aState.SkipWithError(SDL_GetError());
            }
        else
            {
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
            const SDL_Rect rect = {(rot.iSize - KSourceWidth) / 2, (rot.iSize - KSourceHeight) / 2, KSourceWidth,
                                   KSourceHeight};
            for (auto _ : aState)
                {
                SDL_RenderCopyEx(renderer, texture, nullptr, &rect, KAngle, nullptr, SDL_FLIP_NONE);
                SDL_RenderFlush(renderer);
                benchmark::ClobberMemory();
                }
            aState.SetItemsProcessed(aState.iterations() * KSourceWidth * KSourceHeight);
            aState.SetLabel("software SDL_RenderCopyEx 30 degrees");
            if (!Drawn(targetWords))
                aState.SkipWithError("SDL_RenderCopyEx drew nothing");
            }
        if (texture)
            SDL_DestroyTexture(texture);
        if (renderer)
            SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(source);
        SDL_FreeSurface(target);
        }
    BENCHMARK(SdlRotated)->Name("Rotated/SDL_RenderCopyEx")->Unit(benchmark::kMicrosecond);
#endif
    }
