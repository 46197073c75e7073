// Tests of the pixel row routines: known results, every fast path against the plain versions on random rows
// for each instruction set this processor has, and the blend over every colour pair and weight.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ZLineRoutinesImpl.h"

namespace
    {
    using ZLineImpl::TIsa;

    const TUint16 KKey = 0x0FFF;

    // Per-channel definition of the blend: floor((s*b + d*(16-b)) / 16) for each 4-bit channel.
    TUint16 ChannelBlend(TUint16 aS, TUint16 aD, TInt aB)
        {
        TUint16 r = 0;
        for (TInt shift = 0; shift < 12; shift += 4)
            {
            const TInt s = (aS >> shift) & 15;
            const TInt d = (aD >> shift) & 15;
            r = static_cast<TUint16>(r | (((s * aB + d * (16 - aB)) / 16) << shift));
            }
        return r;
        }

    // Uses one instruction set for the lifetime of the object.
    class TIsaScope
        {
    public:
        explicit TIsaScope(TIsa aIsa) : iOk(ZLineImpl::ForceIsa(aIsa)) {}
        ~TIsaScope() { ZLineImpl::UseBestIsa(); }
        TBool Ok() const { return iOk; }

    private:
        TBool iOk;
        };

    std::string IsaParamName(const testing::TestParamInfo<TIsa>& aInfo)
        {
        return ZLineImpl::IsaName(aInfo.param);
        }

    class LineIsaTest : public testing::TestWithParam<TIsa>
        {
    protected:
        void SetUp() override
            {
            if (!ZLineImpl::IsaAvailable(GetParam()))
                GTEST_SKIP() << ZLineImpl::IsaName(GetParam()) << " is not available on this processor";
            ASSERT_TRUE(ZLineImpl::ForceIsa(GetParam()));
            }
        void TearDown() override { ZLineImpl::UseBestIsa(); }
        };

    INSTANTIATE_TEST_SUITE_P(Isa, LineIsaTest,
                             testing::Values(ZLineImpl::EIsaScalar, ZLineImpl::EIsaSse2, ZLineImpl::EIsaAvx2,
                                             ZLineImpl::EIsaAvx512),
                             IsaParamName);

    // ---- known results ----

    TEST_P(LineIsaTest, BlendKnownValuesAndBitsAboveColour)
        {
        struct TCase { TUint16 s, d; TInt b; TUint16 expected; };
        const TCase cases[] = {
            {0x0F00, 0x00F0, 8, 0x0770},
            {0x0FFF, 0x0000, 15, 0x0EEE},
            {0x1234, 0x5678, 16, 0x0234},   // bits 12..15 are dropped
            {0x1234, 0x5678, 0, 0x0678},    // weight 0 keeps the target colour, without bits 12..15
            {0x000F, 0x0000, 1, 0x0000},    // 15/16 rounds down
            {0x0F0F, 0x0F0F, 5, 0x0F0F},
        };
        for (const TCase& c : cases)
            {
            TUint16 bg = c.d;
            TUint16 s = c.s;
            BlendIt(&s, &bg, c.b);
            EXPECT_EQ(bg, c.expected) << "BlendIt " << c.s << " over " << c.d << " b=" << c.b;
            // The same pair in the middle of a row, so that the vector path handles it.
            std::vector<TUint16> src(40, c.s), dst(40, c.d);
            BlendLine(src.data(), dst.data(), c.b, 40);
            for (TUint16 w : dst)
                ASSERT_EQ(w, c.expected) << "BlendLine " << c.s << " over " << c.d << " b=" << c.b;
            }
        }

    TEST_P(LineIsaTest, MaskedRoutinesCompareTheWholeWordWithTheKey)
        {
        TUint16 s = KKey;
        TUint16 bg = 0x0123;
        BlendItMasked(&s, &bg, 8);
        EXPECT_EQ(bg, 0x0123);
        s = 0xFFFF;   // the same colour with bits 12..15 set is not the key
        BlendItMasked(&s, &bg, 16);
        EXPECT_EQ(bg, 0x0FFF);

        const TUint16 row[3] = {0x0001, KKey, 0x0002};
        TUint16 target[4] = {0xAAAA, 0xBBBB, 0xCCCC, 0xDDDD};
        MaskedLine(const_cast<TUint16*>(row), target, 3);
        EXPECT_EQ(target[0], 0x0001);
        EXPECT_EQ(target[1], 0xBBBB);
        EXPECT_EQ(target[2], 0x0002);
        EXPECT_EQ(target[3], 0xDDDD);

        // Rows long enough for the vector paths: keys, almost-keys and colours mixed.
        std::vector<TUint16> src(50), dst(50, 0x0555), blended(50, 0x0555);
        for (size_t i = 0; i < src.size(); i++)
            src[i] = (i % 3 == 0) ? KKey : (i % 3 == 1 ? 0xFFFF : 0x0F00);
        MaskedLine(src.data(), dst.data(), 50);
        BlendLineMasked(src.data(), blended.data(), 8, 50);
        for (size_t i = 0; i < src.size(); i++)
            {
            EXPECT_EQ(dst[i], i % 3 == 0 ? 0x0555 : src[i]) << i;
            EXPECT_EQ(blended[i], i % 3 == 0 ? 0x0555 : (i % 3 == 1 ? 0x0AAA : 0x0A22)) << i;
            }
        }

    TEST_P(LineIsaTest, ScaledStepping)
        {
        std::vector<TUint16> src(64);
        for (size_t i = 0; i < src.size(); i++)
            src[i] = static_cast<TUint16>(i);
        // Source half as wide as the target, two target pixels skipped: columns 1, 1, 2.
        TUint16 t[4] = {0x0EEE, 0x0EEE, 0x0EEE, 0x0EEE};
        ScaledLine(src.data(), t, 3 + 1024 * 2, 32768);
        EXPECT_EQ(t[0], 1);
        EXPECT_EQ(t[1], 1);
        EXPECT_EQ(t[2], 2);
        EXPECT_EQ(t[3], 0x0EEE);

        // A full-weight scaled blend writes what the scaled copy writes (source colours only).
        std::vector<TUint16> a(37, 0x0333), b(37, 0x0999);
        ScaledLine(src.data(), a.data(), 37 + 1024 * 5, 70000);
        ScaledBlendLine(src.data(), b.data(), 37 + 1024 * 5 + 16777216 * 16, 70000);
        EXPECT_EQ(a, b);
        // Weight 0 leaves the target colours.
        ScaledMaskedBlendLine(src.data(), b.data(), 37 + 1024 * 5, 70000);
        EXPECT_EQ(a, b);

        // The position wraps at 32 bits and the index is its upper half taken as unsigned:
        // skip 65535 with a step of 2 source pixels starts at 0x1FFFE0000 mod 2^32, column 0xFFFE.
        std::vector<TUint16> wide(65536);
        wide[0xFFFE] = 0x0111;
        wide[0] = 0x0222;
        wide[2] = 0x0333;
        TUint16 w[3] = {};
        ScaledLine(wide.data(), w, 3 + 1024 * 65535, 2 * 65536);
        EXPECT_EQ(w[0], 0x0111);
        EXPECT_EQ(w[1], 0x0222);
        EXPECT_EQ(w[2], 0x0333);
        }

    TEST_P(LineIsaTest, RotatedStepping)
        {
        std::vector<TUint16> src(200);
        for (size_t i = 0; i < src.size(); i++)
            src[i] = static_cast<TUint16>(i);
        std::vector<TUint16> t(20, 0x0EEE);
        // Half a pixel into row 3 of a stride-10 source, one pixel per step to the right: words 30, 31, 32, ...
        RotatedLine(src.data(), t.data(), 8192, 16384 * 3 + 8192, 16384, 0, 18 + 1024 * 10);
        for (TInt i = 0; i < 18; i++)
            EXPECT_EQ(t[i], 30 + i) << i;
        EXPECT_EQ(t[18], 0x0EEE);

        // Straight down a column; coordinates just below 0 truncate toward zero, to column 0.
        // (y = -0.5 and y = +0.5 both give row 0, where rounding down would give row -1 first).
        RotatedLine(src.data(), t.data(), -16383, -8192, 0, 16384, 5 + 1024 * 10);
        const TUint16 column[5] = {0, 0, 10, 20, 30};
        for (TInt i = 0; i < 5; i++)
            EXPECT_EQ(t[i], column[i]) << i;

        // Blend variants take the weight from bits 26..31 and the stride from bits 10..25.
        std::vector<TUint16> a(20, 0x0EEE), b(20, 0x0EEE);
        RotatedLine(src.data(), a.data(), 16384 * 2, 16384, 8192, 4096, 17 + 1024 * 10);
        RotatedBlendLine(src.data(), b.data(), 16384 * 2, 16384, 8192, 4096, 17 + 1024 * 10 + 67108864 * 16);
        EXPECT_EQ(a, b);
        RotatedMaskedBlendLine(src.data(), b.data(), 0, 0, 16384, 16384, 17 + 1024 * 10 + 67108864 * 0);
        EXPECT_EQ(a, b);
        }

    TEST_P(LineIsaTest, ZeroCountWritesNothing)
        {
        std::vector<TUint16> src(64, 0x0123);
        std::vector<TUint16> dst(64, 0x0EEE);
        const std::vector<TUint16> before = dst;
        TUint16* s = src.data();
        TUint16* d = dst.data();
        WordCopy(reinterpret_cast<TUint32*>(s), reinterpret_cast<TUint32*>(d), 0);
        CopyLine(s, d, 0);
        MaskedLine(s, d, 0);
        BlendLine(s, d, 8, 0);
        BlendLineMasked(s, d, 8, 0);
        ScaledLine(s, d, 1024 * 7, 65536);
        ScaledMaskedLine(s, d, 1024 * 7, 65536);
        ScaledBlendLine(s, d, 1024 * 7 + 16777216 * 8, 65536);
        ScaledMaskedBlendLine(s, d, 1024 * 7 + 16777216 * 8, 65536);
        RotatedLine(s, d, 0, 0, 16384, 0, 1024 * 8);
        RotatedMaskedLine(s, d, 0, 0, 16384, 0, 1024 * 8);
        RotatedBlendLine(s, d, 0, 0, 16384, 0, 1024 * 8 + 67108864 * 8);
        RotatedMaskedBlendLine(s, d, 0, 0, 16384, 0, 1024 * 8 + 67108864 * 8);
        EXPECT_EQ(dst, before);
        }

    TEST(LineCopyTest, CopiesWholeWordsAndOverlappingRows)
        {
        std::vector<TUint16> row(100);
        for (size_t i = 0; i < row.size(); i++)
            row[i] = static_cast<TUint16>(0x1000 + i);
        std::vector<TUint16> expected = row;

        // Forward overlap (target above source) and backward overlap copy as if through a temporary row.
        CopyLine(row.data(), row.data() + 3, 60);
        std::memmove(expected.data() + 3, expected.data(), 60 * sizeof(TUint16));
        EXPECT_EQ(row, expected);
        CopyLine(row.data() + 5, row.data(), 70);
        std::memmove(expected.data(), expected.data() + 5, 70 * sizeof(TUint16));
        EXPECT_EQ(row, expected);

        std::vector<TUint32> words(50);
        for (size_t i = 0; i < words.size(); i++)
            words[i] = 0xABCD0000u + static_cast<TUint32>(i);
        std::vector<TUint32> ref = words;
        WordCopy(words.data(), words.data() + 1, 40);
        ZLineRef::WordCopy(ref.data(), ref.data() + 1, 40);
        EXPECT_EQ(words, ref);
        EXPECT_EQ(words[1], 0xABCD0000u);
        EXPECT_EQ(words[40], 0xABCD0027u);
        EXPECT_EQ(words[41], 0xABCD0029u);

        // Negative counts are caller errors; they copy nothing rather than a huge block.
        WordCopy(words.data(), words.data() + 10, -1);
        CopyLine(row.data(), row.data() + 10, -5);
        EXPECT_EQ(words, ref);
        EXPECT_EQ(row, expected);
        }

    TEST(LineIsaSwitchTest, ForcingAndFallingBack)
        {
        EXPECT_TRUE(ZLineImpl::IsaAvailable(ZLineImpl::EIsaScalar));
        EXPECT_FALSE(ZLineImpl::IsaAvailable(ZLineImpl::EIsaCount));
        const TIsa best = ZLineImpl::CurrentIsa();
        for (TInt i = 0; i < ZLineImpl::EIsaCount; i++)
            {
            if (ZLineImpl::IsaAvailable(static_cast<TIsa>(i)))
                {
                EXPECT_LE(i, static_cast<TInt>(best)) << "start-up choice is not the best available";
                }
            }
        EXPECT_FALSE(ZLineImpl::ForceIsa(ZLineImpl::EIsaCount));
        EXPECT_EQ(ZLineImpl::CurrentIsa(), best);
        {
        TIsaScope scalar(ZLineImpl::EIsaScalar);
        ASSERT_TRUE(scalar.Ok());
        EXPECT_EQ(ZLineImpl::CurrentIsa(), ZLineImpl::EIsaScalar);
        }
        EXPECT_EQ(ZLineImpl::CurrentIsa(), best);
#if defined(__x86_64__)
        EXPECT_TRUE(ZLineImpl::IsaAvailable(ZLineImpl::EIsaSse2));
#endif
        EXPECT_STREQ(ZLineImpl::IsaName(ZLineImpl::EIsaAvx2), "avx2");
        EXPECT_STREQ(ZLineImpl::IsaName(ZLineImpl::EIsaAvx512), "avx512");
        }

    // ---- every fast path against the plain versions ----

    // Random rows: a third of the words are the key, some carry bits 12..15 (including 0xFFFF and 0x1FFF,
    // which are not the key), the rest are colours.
    class TRowMaker
        {
    public:
        explicit TRowMaker(TUint32 aSeed) : iRng(aSeed) {}

        TUint16 Word()
            {
            switch (iRng() % 8)
                {
            case 0: case 1: case 2:
                return KKey;
            case 3:
                return static_cast<TUint16>(iRng());
            case 4:
                return (iRng() & 1) ? 0xFFFF : 0x1FFF;
            default:
                return static_cast<TUint16>(iRng() & 0x0FFF);
                }
            }

        // A row where keys come in runs, as in real sprites, or scattered.
        void Fill(std::vector<TUint16>& aRow)
            {
            const TBool runs = (iRng() & 1) != 0;
            TUint16 w = Word();
            for (TUint16& x : aRow)
                {
                if (!runs || iRng() % 16 == 0)
                    w = Word();
                x = (runs && w != KKey) ? static_cast<TUint16>(iRng() & 0x0FFF) : w;
                }
            }

        TInt Count()
            {
            static const TInt edges[] = {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 1022, 1023};
            if (iRng() % 4 == 0)
                return edges[iRng() % (sizeof(edges) / sizeof(edges[0]))];
            return static_cast<TInt>(iRng() % 1024);
            }

        TInt Weight() { return static_cast<TInt>(iRng() % 17); }
        TUint32 Next() { return iRng(); }
        TInt Between(TInt aLow, TInt aHigh)   // inclusive
            {
            return aLow + static_cast<TInt>(iRng() % static_cast<TUint32>(aHigh - aLow + 1));
            }

    private:
        std::mt19937 iRng;
        };

    // Target rows with guard words on both sides and a random start offset, so that unaligned rows and
    // writes outside the row are caught.
    const TInt KGuard = 24;
    const TInt KTargetWords = 1023 + 2 * KGuard + 16;

    struct TTargets
        {
        std::vector<TUint16> iFast, iRef;
        TInt iOffset;
        TUint16* Fast() { return iFast.data() + iOffset; }
        TUint16* Ref() { return iRef.data() + iOffset; }
        };

    TTargets MakeTargets(TRowMaker& aMaker)
        {
        TTargets t;
        t.iFast.resize(KTargetWords);
        aMaker.Fill(t.iFast);
        t.iRef = t.iFast;
        t.iOffset = KGuard + aMaker.Between(0, 15);
        return t;
        }

    const TInt KTrials = 600;

    TEST_P(LineIsaTest, RowCopiesMatchPlainVersions)
        {
        TRowMaker maker(1000 + GetParam());
        std::vector<TUint16> src(1023 + 16);
        std::vector<TUint32> src32(520);
        for (TInt trial = 0; trial < KTrials; trial++)
            {
            maker.Fill(src);
            TUint16* s = src.data() + maker.Between(0, 15);
            const TInt count = maker.Count();
            const TInt b = maker.Weight();
            SCOPED_TRACE(testing::Message() << "trial " << trial << " count " << count << " b " << b);

            TTargets t = MakeTargets(maker);
            MaskedLine(s, t.Fast(), count);
            ZLineRef::MaskedLine(s, t.Ref(), count);
            ASSERT_EQ(t.iFast, t.iRef) << "MaskedLine";

            t = MakeTargets(maker);
            BlendLine(s, t.Fast(), b, count);
            ZLineRef::BlendLine(s, t.Ref(), b, count);
            ASSERT_EQ(t.iFast, t.iRef) << "BlendLine";

            t = MakeTargets(maker);
            BlendLineMasked(s, t.Fast(), b, count);
            ZLineRef::BlendLineMasked(s, t.Ref(), b, count);
            ASSERT_EQ(t.iFast, t.iRef) << "BlendLineMasked";

            t = MakeTargets(maker);
            CopyLine(s, t.Fast(), count);
            ZLineRef::CopyLine(s, t.Ref(), count);
            ASSERT_EQ(t.iFast, t.iRef) << "CopyLine";

            const TInt words = count / 2;
            for (TUint32& w : src32)
                w = maker.Next();
            std::vector<TUint32> fast32(520 + 16, 0xDEADBEEFu);
            std::vector<TUint32> ref32 = fast32;
            const TInt at = maker.Between(0, 7);
            WordCopy(src32.data() + at, fast32.data() + 8, words);
            ZLineRef::WordCopy(src32.data() + at, ref32.data() + 8, words);
            ASSERT_EQ(fast32, ref32) << "WordCopy";

            // The same row as source and target.
            t = MakeTargets(maker);
            BlendLineMasked(t.Fast(), t.Fast(), b, count);
            ZLineRef::BlendLineMasked(t.Ref(), t.Ref(), b, count);
            ASSERT_EQ(t.iFast, t.iRef) << "BlendLineMasked in place";
            }
        }

    TEST_P(LineIsaTest, ScaledRowsMatchPlainVersions)
        {
        TRowMaker maker(2000 + GetParam());
        // Every 16-bit index lies inside a source of 65536 words, so any skip and step is a valid input.
        std::vector<TUint16> src(65536);
        maker.Fill(src);
        for (TInt trial = 0; trial < KTrials; trial++)
            {
            const TInt count = maker.Count();
            const TInt b = maker.Weight();
            TInt dx;
            switch (maker.Next() % 4)
                {
            case 0:
                dx = maker.Between(0, 65536);             // enlarging
                break;
            case 1:
                dx = maker.Between(65536, 8 * 65536);     // shrinking
                break;
            case 2:
                dx = 65536;
                break;
            default:
                dx = static_cast<TInt>(maker.Next());    // anything, including negative steps
                break;
                }
            const TInt skip = (maker.Next() % 2) ? maker.Between(0, 64) : maker.Between(0, 16383);
            const TInt bigSkip = maker.Between(0, (1 << 21) - 1);
            SCOPED_TRACE(testing::Message() << "trial " << trial << " count " << count << " b " << b << " dx " << dx
                                            << " skip " << skip);
            if (trial % 50 == 0)
                maker.Fill(src);
            TUint16* s = src.data();

            TTargets t = MakeTargets(maker);
            ScaledLine(s, t.Fast(), count + 1024 * bigSkip, dx);
            ZLineRef::ScaledLine(s, t.Ref(), count + 1024 * bigSkip, dx);
            ASSERT_EQ(t.iFast, t.iRef) << "ScaledLine";

            t = MakeTargets(maker);
            ScaledMaskedLine(s, t.Fast(), count + 1024 * bigSkip, dx);
            ZLineRef::ScaledMaskedLine(s, t.Ref(), count + 1024 * bigSkip, dx);
            ASSERT_EQ(t.iFast, t.iRef) << "ScaledMaskedLine";

            const TInt packed = count + 1024 * skip + 16777216 * b;
            t = MakeTargets(maker);
            ScaledBlendLine(s, t.Fast(), packed, dx);
            ZLineRef::ScaledBlendLine(s, t.Ref(), packed, dx);
            ASSERT_EQ(t.iFast, t.iRef) << "ScaledBlendLine";

            t = MakeTargets(maker);
            ScaledMaskedBlendLine(s, t.Fast(), packed, dx);
            ZLineRef::ScaledMaskedBlendLine(s, t.Ref(), packed, dx);
            ASSERT_EQ(t.iFast, t.iRef) << "ScaledMaskedBlendLine";
            }
        }

    // A start and end point inside a source dimension of aSize pixels, in 14-bit fixed point. Coordinates
    // in (-16384, 0) truncate to 0, so they are inside too.
    void RandomSpan(TRowMaker& aMaker, TInt aSize, TInt aCount, TInt& aStart, TInt& aStep)
        {
        const TInt low = -16383;
        const TInt high = aSize * 16384 - 1;
        aStart = aMaker.Between(low, high);
        const TInt end = (aMaker.Next() % 4 == 0) ? aStart : aMaker.Between(low, high);
        // Every point start + i * step for i < count lies between start and end.
        aStep = aCount > 1 ? (end - aStart) / (aCount - 1) : static_cast<TInt>(aMaker.Next() % 70000) - 35000;
        }

    TEST_P(LineIsaTest, RotatedRowsMatchPlainVersions)
        {
        TRowMaker maker(3000 + GetParam());
        // Large enough for every stride and height below.
        std::vector<TUint16> src(65535 * 8);
        for (TInt trial = 0; trial < KTrials; trial++)
            {
            if (trial % 50 == 0)
                maker.Fill(src);
            const TInt count = maker.Count();
            const TInt b = maker.Weight();
            // Source width up to the stride; narrow and wide strides, up to the 16-bit field's range.
            const TInt stride = (maker.Next() % 8 == 0) ? maker.Between(1, 65535) : maker.Between(1, 1100);
            const TInt width = maker.Between(1, stride);
            const TInt height = maker.Between(1, stride > 1700 ? 8 : 300);
            TInt x, dx, y, dy;
            RandomSpan(maker, width, count, x, dx);
            RandomSpan(maker, height, count, y, dy);
            SCOPED_TRACE(testing::Message() << "trial " << trial << " count " << count << " b " << b << " stride "
                                            << stride << " x " << x << " dx " << dx << " y " << y << " dy " << dy);
            TUint16* s = src.data();
            const TInt plain = count + 1024 * stride;
            const TInt blend = plain + 67108864 * b;

            TTargets t = MakeTargets(maker);
            RotatedLine(s, t.Fast(), x, y, dx, dy, plain);
            ZLineRef::RotatedLine(s, t.Ref(), x, y, dx, dy, plain);
            ASSERT_EQ(t.iFast, t.iRef) << "RotatedLine";

            t = MakeTargets(maker);
            RotatedMaskedLine(s, t.Fast(), x, y, dx, dy, plain);
            ZLineRef::RotatedMaskedLine(s, t.Ref(), x, y, dx, dy, plain);
            ASSERT_EQ(t.iFast, t.iRef) << "RotatedMaskedLine";

            t = MakeTargets(maker);
            RotatedBlendLine(s, t.Fast(), x, y, dx, dy, blend);
            ZLineRef::RotatedBlendLine(s, t.Ref(), x, y, dx, dy, blend);
            ASSERT_EQ(t.iFast, t.iRef) << "RotatedBlendLine";

            t = MakeTargets(maker);
            RotatedMaskedBlendLine(s, t.Fast(), x, y, dx, dy, blend);
            ZLineRef::RotatedMaskedBlendLine(s, t.Ref(), x, y, dx, dy, blend);
            ASSERT_EQ(t.iFast, t.iRef) << "RotatedMaskedBlendLine";
            }
        }

    // Weights above 16 are caller errors; they still give the words of the 32-bit arithmetic.
    TEST_P(LineIsaTest, WeightsAbove16GiveThePlainResult)
        {
        TRowMaker maker(4000 + GetParam());
        std::vector<TUint16> src(1100);
        maker.Fill(src);
        for (TInt b : {17, 31, 63, 200, 255, -1})
            {
            SCOPED_TRACE(testing::Message() << "b " << b);
            TTargets t = MakeTargets(maker);
            BlendLine(src.data(), t.Fast(), b, 1000);
            ZLineRef::BlendLine(src.data(), t.Ref(), b, 1000);
            ASSERT_EQ(t.iFast, t.iRef) << "BlendLine";
            t = MakeTargets(maker);
            BlendLineMasked(src.data(), t.Fast(), b, 1000);
            ZLineRef::BlendLineMasked(src.data(), t.Ref(), b, 1000);
            ASSERT_EQ(t.iFast, t.iRef) << "BlendLineMasked";
            if (b < 0)
                continue;
            t = MakeTargets(maker);
            // The weight field reaches the sign bit, so the argument is built unsigned.
            const TInt scaled = static_cast<TInt>(1000u + 1024u * 3 + 16777216u * static_cast<TUint32>(b));
            ScaledMaskedBlendLine(src.data(), t.Fast(), scaled, 60000);
            ZLineRef::ScaledMaskedBlendLine(src.data(), t.Ref(), scaled, 60000);
            ASSERT_EQ(t.iFast, t.iRef) << "ScaledMaskedBlendLine";
            if (b >= 64)
                continue;
            t = MakeTargets(maker);
            const TInt rotated = static_cast<TInt>(1000u + 1024u * 1100 + 67108864u * static_cast<TUint32>(b));
            RotatedBlendLine(src.data(), t.Fast(), 0, 0, 16384, 0, rotated);
            ZLineRef::RotatedBlendLine(src.data(), t.Ref(), 0, 0, 16384, 0, rotated);
            ASSERT_EQ(t.iFast, t.iRef) << "RotatedBlendLine";
            }
        }

    // ---- the blend arithmetic over every colour pair ----

    // For each weight and target colour, a source row holding every 12-bit colour in order is blended over a
    // row of that target colour with BlendLine (calls of at most 1023 pixels) and compared with a row built
    // from per-channel results. Raw pointers keep the checking cheap in unoptimised, sanitised builds.
    TEST_P(LineIsaTest, BlendOfEveryColourPairAndWeightIsTheChannelFloor)
        {
        std::vector<TUint16> colours(4096), dstRow(4096), expectedRow(4096);
        for (TInt i = 0; i < 4096; i++)
            colours[i] = static_cast<TUint16>(i);
        TUint16* src = colours.data();
        TUint16* dst = dstRow.data();
        TUint16* expected = expectedRow.data();
        TInt failures = 0;
        for (TInt b = 0; b <= 16 && failures < 5; b++)
            {
            // channel[d][s] = floor((s*b + d*(16-b)) / 16)
            TUint16 channel[16][16];
            for (TInt d = 0; d < 16; d++)
                for (TInt s = 0; s < 16; s++)
                    channel[d][s] = static_cast<TUint16>((s * b + d * (16 - b)) / 16);
            for (TInt d = 0; d < 4096 && failures < 5; d++)
                {
                for (TInt i = 0; i < 4096; i++)
                    dst[i] = static_cast<TUint16>(d);
                for (TInt at = 0; at < 4096; at += 1023)
                    BlendLine(src + at, dst + at, b, std::min(1023, 4096 - at));
                const TUint16* red = channel[d & 15];
                const TUint16* green = channel[(d >> 4) & 15];
                const TUint16* blue = channel[d >> 8];
                TUint16* e = expected;
                for (TInt sb = 0; sb < 16; sb++)
                    for (TInt sg = 0; sg < 16; sg++, e += 16)
                        {
                        const TUint16 high = static_cast<TUint16>((blue[sb] << 8) | (green[sg] << 4));
                        for (TInt sr = 0; sr < 16; sr++)
                            e[sr] = static_cast<TUint16>(high | red[sr]);
                        }
                if (std::memcmp(dst, expected, sizeof(TUint16) * 4096) != 0)
                    {
                    failures++;
                    for (TInt s = 0; s < 4096; s++)
                        if (dst[s] != expected[s])
                            {
                            ADD_FAILURE() << "s=" << s << " d=" << d << " b=" << b << ": " << dst[s] << " instead of "
                                          << expected[s];
                            break;
                            }
                    }
                }
            }
        }

    // Bits 12..15 of either word never reach the result, whose own bits 12..15 are 0.
    TEST_P(LineIsaTest, BitsAboveTheColourAreIgnored)
        {
        std::mt19937 rng(5000 + GetParam());
        std::vector<TUint16> src(1000), dst(1000), orig(1000);
        for (TInt round = 0; round < 60; round++)
            {
            for (TInt i = 0; i < 1000; i++)
                {
                src[i] = static_cast<TUint16>(rng() | 0x1000u);   // never the key
                dst[i] = static_cast<TUint16>(rng());
                }
            orig = dst;
            const TInt b = round % 17;
            if (round % 2)
                BlendLineMasked(src.data(), dst.data(), b, 1000);
            else
                BlendLine(src.data(), dst.data(), b, 1000);
            for (TInt i = 0; i < 1000; i++)
                ASSERT_EQ(dst[i], ChannelBlend(src[i], orig[i], b))
                    << "s=" << src[i] << " d=" << orig[i] << " b=" << b;
            }
        }
    }
