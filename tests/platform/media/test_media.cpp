// The media server on the host: the WAV reader, the audio player utility on SDL's
// silent driver, the multi-bitmap codec and the image converter.
#include <gtest/gtest.h>

#include <fbs.h>
#include <mdaaudiosampleplayer.h>
#include <mdaimageconverter.h>
#include <zhost/allocfail.h>
#include <zhost/audio.h>
#include <zhost/jpeg.h>
#include <zhost/mbm.h>
#include <zhost/picture.h>
#include <zhost/wav.h>
#include <zhost_testing.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "MediaTestFiles.h"

using namespace MediaTest;

namespace {

const TUint8* Bytes(const std::string& aS) { return reinterpret_cast<const TUint8*>(aS.data()); }
TInt Len(const std::string& aS) { return static_cast<TInt>(aS.size()); }

class MediaTest : public ::testing::Test {
protected:
  ZHost::Testing::TestEnvironment iEnv;
};

// ---- WAV reader ----

TEST(WavReader, ReadsPcmFormatsAndConvertsToTheOutputFormat) {
  // 16-bit stereo at the output rate comes out unchanged.
  std::string samples;
  for (int i = 0; i < 4; ++i) {
    Put16(samples, static_cast<uint16_t>(1000 * i));
    Put16(samples, static_cast<uint16_t>(-1000 * i));
  }
  const std::string stereo = Wav(2, 44100, 16, samples);
  ZHost::Wav::TWavInfo info;
  ASSERT_EQ(KErrNone, ZHost::Wav::Parse(Bytes(stereo), Len(stereo), info));
  EXPECT_EQ(2, info.iChannels);
  EXPECT_EQ(4, info.iFrames);
  TInt16* out = NULL;
  TInt frames = 0;
  ASSERT_EQ(KErrNone, ZHost::Wav::ConvertToS16Stereo(info, 44100, out, frames));
  ASSERT_EQ(4, frames);
  EXPECT_EQ(3000, out[6]);
  EXPECT_EQ(-3000, out[7]);
  User::Free(out);

  // 8-bit mono at half the rate: twice the frames, both channels, interpolated.
  const std::string mono = Wav(1, 22050, 8, std::string("\x80\xC0", 2));
  ASSERT_EQ(KErrNone, ZHost::Wav::Parse(Bytes(mono), Len(mono), info));
  EXPECT_EQ(90, ZHost::Wav::Duration(info));
  ASSERT_EQ(KErrNone, ZHost::Wav::ConvertToS16Stereo(info, 44100, out, frames));
  ASSERT_EQ(4, frames);
  EXPECT_EQ(0, out[0]);
  EXPECT_EQ(0, out[1]);
  EXPECT_EQ(0x2000, out[2]);  // halfway to 0x4000
  EXPECT_EQ(0x4000, out[4]);
  EXPECT_EQ(0x4000, out[7]);
  User::Free(out);
}

TEST(WavReader, RefusesWhatItCannotPlay) {
  ZHost::Wav::TWavInfo info;
  const std::string pcm = std::string(8, '\0');
  EXPECT_EQ(KErrNotSupported, ZHost::Wav::Parse(Bytes(std::string("RIFX")), 4, info));
  EXPECT_EQ(KErrNotSupported, ZHost::Wav::Parse(Bytes(Wav(3, 8000, 16, pcm)), Len(Wav(3, 8000, 16, pcm)), info));
  EXPECT_EQ(KErrNotSupported, ZHost::Wav::Parse(Bytes(Wav(1, 8000, 24, pcm)), Len(Wav(1, 8000, 24, pcm)), info));
  EXPECT_EQ(KErrNotSupported, ZHost::Wav::Parse(Bytes(Wav(1, 500, 8, pcm)), Len(Wav(1, 500, 8, pcm)), info));
  EXPECT_EQ(KErrNotSupported, ZHost::Wav::Parse(Bytes(Wav(1, 8000, 8, pcm, 2)), Len(Wav(1, 8000, 8, pcm, 2)), info));
  // No data chunk.
  std::string noData = Wav(1, 8000, 8, "");
  noData.resize(noData.size() - 8);
  EXPECT_EQ(KErrCorrupt, ZHost::Wav::Parse(Bytes(noData), Len(noData), info));
  // A data chunk claiming more than the file holds is cut to the frames present.
  std::string cut = Wav(2, 8000, 16, std::string(400, '\0'));
  cut.resize(cut.size() - 103);
  ASSERT_EQ(KErrNone, ZHost::Wav::Parse(Bytes(cut), Len(cut), info));
  EXPECT_EQ(74, info.iFrames);  // 297 bytes: 74 whole frames of 4 bytes
}

// ---- Audio player utility ----

class Observer : public MMdaAudioPlayerCallback {
public:
  void MapcInitComplete(TInt aError, const TTimeIntervalMicroSeconds& aDuration) override {
    ++iInits;
    iInitError = aError;
    iDuration = aDuration.Int64();
  }
  void MapcPlayComplete(TInt aError) override {
    ++iPlays;
    iPlayError = aError;
  }
  TInt iInits = 0, iInitError = 1, iPlays = 0, iPlayError = 1;
  TInt64 iDuration = 0;
};

TEST_F(MediaTest, AudioUtilityOpensPlaysAndCompletesOnTheSchedulersClock) {
  const std::string clip = WavMono8(8000);  // one second
  TPtrC8 data(Bytes(clip), Len(clip));
  Observer observer;
  std::unique_ptr<CMdaAudioPlayerUtility> utility(CMdaAudioPlayerUtility::NewDesPlayerReadOnlyL(data, observer));
  EXPECT_EQ(0, observer.iInits);  // the open completes asynchronously
  iEnv.RunUntilIdle();
  ASSERT_EQ(1, observer.iInits);
  EXPECT_EQ(KErrNone, observer.iInitError);
  EXPECT_EQ(1000000, observer.iDuration);
  EXPECT_STREQ("dummy", ZHost::Audio::DriverName());
  EXPECT_EQ(ZHost::Audio::KMaxVolume, utility->MaxVolume());

  utility->SetVolume(1000);
  TInt volume = 0;
  utility->GetVolume(volume);
  EXPECT_EQ(ZHost::Audio::KMaxVolume, volume);
  utility->SetVolume(51);
  utility->Play();
  EXPECT_EQ(1, ZHost::Audio::PlayingCount());
  EXPECT_EQ(51, ZHost::Audio::LastStartedVolume());
  iEnv.RunFor(999000);
  EXPECT_EQ(0, observer.iPlays);
  iEnv.RunFor(2000);
  EXPECT_EQ(1, observer.iPlays);
  EXPECT_EQ(KErrNone, observer.iPlayError);
  EXPECT_EQ(0, ZHost::Audio::PlayingCount());

  // Stopping ends playing without a completion; an output that runs dry reports it.
  utility->Play();
  utility->Stop();
  iEnv.RunFor(2000000);
  EXPECT_EQ(1, observer.iPlays);
  utility->Play();
  ZHost::Audio::CompletePlaying(KErrUnderflow);
  iEnv.RunUntilIdle();
  EXPECT_EQ(2, observer.iPlays);
  EXPECT_EQ(KErrUnderflow, observer.iPlayError);
  EXPECT_EQ(0, ZHost::Audio::PlayingCount());
}

TEST_F(MediaTest, AudioUtilityReportsAClipItCannotOpenAndIgnoresPlay) {
  const std::string junk("RIFF\x10\0\0\0WAVEjunk", 16);
  TPtrC8 data(Bytes(junk), Len(junk));
  Observer observer;
  std::unique_ptr<CMdaAudioPlayerUtility> utility(CMdaAudioPlayerUtility::NewDesPlayerReadOnlyL(data, observer));
  iEnv.RunUntilIdle();
  EXPECT_EQ(KErrCorrupt, observer.iInitError);
  utility->Play();
  EXPECT_EQ(0, ZHost::Audio::PlayingCount());
}

TEST_F(MediaTest, AudioUtilityCreationUnderAllocationFailureLeaksNothing) {
  const std::string clip = WavMono8(800);
  TPtrC8 data(Bytes(clip), Len(clip));
  const TInt steps = ZHost::SweepAllocFailures([&] {
    Observer observer;
    CMdaAudioPlayerUtility* utility = CMdaAudioPlayerUtility::NewDesPlayerReadOnlyL(data, observer);
    iEnv.RunUntilIdle();  // the open converts the clip: its buffer may fail too
    if (observer.iInitError == KErrNone) utility->Play();
    delete utility;
  });
  EXPECT_GT(steps, 2);
}

// ---- Multi-bitmap codec ----

class Collector : public ZHost::Mbm::MRowSink {
public:
  TInt Row(TInt aY, const TUint32* aPixels, TInt aWidth) override {
    EXPECT_EQ(static_cast<TInt>(iRows.size()), aY);
    iRows.emplace_back(aPixels, aPixels + aWidth);
    return KErrNone;
  }
  std::vector<std::vector<TUint32>> iRows;
};

TUint32 Rgb(int r, int g, int b) { return TRgb(r, g, b).Value(); }

std::vector<std::vector<TUint32>> DecodeAll(const std::string& aFile, TInt aIndex = 0, TInt* aError = NULL) {
  Collector c;
  const TInt err = ZHost::Mbm::Decode(Bytes(aFile), Len(aFile), aIndex, c);
  if (aError) *aError = err;
  else EXPECT_EQ(KErrNone, err);
  return c.iRows;
}

struct DepthCase {
  const char* name;
  MbmPicture picture;
  std::vector<std::vector<TUint32>> expected;
};

TEST(MbmCodec, DecodesEveryDepthAndCompressionLaidOutByHand) {
  std::vector<DepthCase> cases;
  auto pic = [](int w, int h, int bits, int color, int compression, std::string data) {
    MbmPicture p;
    p.width = w;
    p.height = h;
    p.bits = bits;
    p.color = color;
    p.compression = compression;
    p.data = std::move(data);
    return p;
  };
  const TUint32 K = Rgb(0, 0, 0), W = Rgb(255, 255, 255);
  // 1-bit grey, 3 x 2: rows padded to 4 bytes, low bits first.
  cases.push_back({"grey1", pic(3, 2, 1, 0, 0, std::string("\x05\0\0\0\x02\0\0\0", 8)), {{W, K, W}, {K, W, K}}});
  // The same with byte runs: 1 literal byte, then a run of 3 zero bytes, ...
  cases.push_back({"grey1 rle", pic(3, 2, 1, 0, 1, std::string("\xFF\x05\x02\x00\xFF\x02\x02\x00", 8)),
                   {{W, K, W}, {K, W, K}}});
  // 2-bit grey: 0, 1, 2, 3 in one byte.
  cases.push_back({"grey2", pic(4, 1, 2, 0, 0, std::string("\xE4\0\0\0", 4)),
                   {{K, Rgb(85, 85, 85), Rgb(170, 170, 170), W}}});
  // 4-bit grey and colour: low nibble first.
  cases.push_back({"grey4", pic(2, 1, 4, 0, 0, std::string("\xF1\0\0\0", 4)), {{Rgb(17, 17, 17), W}}});
  cases.push_back({"colour4", pic(2, 1, 4, 1, 0, std::string("\x9B\0\0\0", 4)),
                   {{KRgbBlue.Value(), KRgbGreen.Value()}}});
  // 8-bit grey and colour (cube index 5 = red 255; 215 = white; 216 = black grey).
  cases.push_back({"grey8", pic(2, 1, 8, 0, 1, std::string("\x03\x40", 2)), {{Rgb(64, 64, 64), Rgb(64, 64, 64)}}});
  cases.push_back({"colour8", pic(3, 1, 8, 1, 0, std::string("\x05\xD7\xFF\0", 4)),
                   {{Rgb(255, 0, 0), W, W}}});
  // 12-bit: red in the low nibble; the odd width leaves a padding pixel.
  cases.push_back({"c12", pic(1, 2, 12, 1, 0, std::string("\x0F\x00\0\0\xF0\x0F\0\0", 8)),
                   {{Rgb(255, 0, 0)}, {Rgb(0, 255, 255)}}});
  // 12-bit runs: 4 pixels of 0x0F00 (blue) then 4 of 0x0FFF, crossing rows (3 + pad each).
  cases.push_back({"c12 rle", pic(3, 2, 12, 1, 2, std::string("\x00\x3F\xFF\x3F", 4)),
                   {{Rgb(0, 0, 255), Rgb(0, 0, 255), Rgb(0, 0, 255)}, {W, W, W}}});
  // 16-bit 5-6-5 and its runs.
  cases.push_back({"c16", pic(2, 1, 16, 1, 0, std::string("\x00\xF8\x1F\x00", 4)), {{Rgb(255, 0, 0), Rgb(0, 0, 255)}}});
  cases.push_back({"c16 rle", pic(2, 1, 16, 1, 3, std::string("\x01\xE0\x07", 3)), {{Rgb(0, 255, 0), Rgb(0, 255, 0)}}});
  // 24-bit blue, green, red bytes; rows padded to 4 bytes; and its runs (a run of 2
  // pixels, then a literal pixel and the padding as a second literal unit).
  cases.push_back({"c24", pic(1, 1, 24, 1, 0, std::string("\x10\x20\x30\x00", 4)), {{Rgb(0x30, 0x20, 0x10)}}});
  cases.push_back({"c24 rle", pic(3, 1, 24, 1, 4, std::string("\x01\x00\x00\xFF\xFE\x11\x22\x33\x00\x00\x00", 11)),
                   {{Rgb(255, 0, 0), Rgb(255, 0, 0), Rgb(0x33, 0x22, 0x11)}}});
  for (const DepthCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = Mbm({c.picture});
    TInt count = 0;
    ASSERT_EQ(KErrNone, ZHost::Mbm::PictureCount(Bytes(file), Len(file), count));
    ASSERT_EQ(1, count);
    EXPECT_EQ(c.expected, DecodeAll(file));
  }
}

TEST(MbmCodec, RefusesHostileFilesWithAnError) {
  MbmPicture good;
  good.width = 2;
  good.height = 1;
  good.bits = 16;
  good.data = std::string(4, '\0');
  const std::string file = Mbm({good});
  TInt count = 0;
  TInt err = 0;
  ZHost::Mbm::TPictureHeader header;

  // Not a multi-bitmap file; a trailer past the end; a count of millions.
  EXPECT_EQ(KErrNotSupported, ZHost::Mbm::PictureCount(Bytes(std::string(40, 'x')), 40, count));
  std::string bad = file;
  Set32(bad, 16, 0x7FFFFFF0);
  EXPECT_EQ(KErrCorrupt, ZHost::Mbm::PictureCount(Bytes(bad), Len(bad), count));
  bad = file;
  Set32(bad, bad.size() - 8, 5000000);
  EXPECT_EQ(KErrCorrupt, ZHost::Mbm::PictureCount(Bytes(bad), Len(bad), count));
  // A picture offset past the end.
  bad = file;
  Set32(bad, bad.size() - 4, 0xFFFFFFF0);
  EXPECT_EQ(KErrCorrupt, ZHost::Mbm::ReadHeader(Bytes(bad), Len(bad), 0, header));
  // Sizes of 0 and 2^31 - 1 (over the converter's limits whatever the data holds), a
  // size past the file, an unknown depth or compression.
  auto withPicture = [&](auto aChange) {
    MbmPicture p = good;
    aChange(p);
    return Mbm({p});
  };
  const std::string zero = withPicture([](MbmPicture& p) { p.width = 0; });
  EXPECT_EQ(KErrCorrupt, ZHost::Mbm::ReadHeader(Bytes(zero), Len(zero), 0, header));
  const std::string huge = withPicture([](MbmPicture& p) { p.width = 0x7FFFFFFF; p.height = 0x7FFFFFFF; });
  EXPECT_EQ(KErrTooBig, ZHost::Mbm::ReadHeader(Bytes(huge), Len(huge), 0, header));
  // 24 bits a pixel: rows times height would pass the 64-bit range.
  const std::string hugeDeep = withPicture([](MbmPicture& p) { p.width = 0x7FFFFFFF; p.height = 0x7FFFFFFF; p.bits = 24; });
  EXPECT_EQ(KErrTooBig, ZHost::Mbm::ReadHeader(Bytes(hugeDeep), Len(hugeDeep), 0, header));
  const std::string hugeRle = withPicture([](MbmPicture& p) { p.width = 0x7FFFFFFF; p.compression = 3; });
  EXPECT_EQ(KErrTooBig, ZHost::Mbm::ReadHeader(Bytes(hugeRle), Len(hugeRle), 0, header));
  const std::string past = withPicture([](MbmPicture& p) { p.bitmapSize = 0x10000; });
  EXPECT_EQ(KErrCorrupt, ZHost::Mbm::ReadHeader(Bytes(past), Len(past), 0, header));
  const std::string depth = withPicture([](MbmPicture& p) { p.bits = 7; });
  EXPECT_EQ(KErrNotSupported, ZHost::Mbm::ReadHeader(Bytes(depth), Len(depth), 0, header));
  const std::string method = withPicture([](MbmPicture& p) { p.compression = 4; });
  EXPECT_EQ(KErrNotSupported, ZHost::Mbm::ReadHeader(Bytes(method), Len(method), 0, header));
  // Runs that pass the end of the picture, and data that ends too soon.
  const std::string overflow = withPicture([](MbmPicture& p) { p.compression = 3; p.data = std::string("\x7F\x00\x00", 3); });
  DecodeAll(overflow, 0, &err);
  EXPECT_EQ(KErrCorrupt, err);
  const std::string shortRun = withPicture([](MbmPicture& p) { p.compression = 3; p.data = std::string("\x00\x00\x00", 3); });
  DecodeAll(shortRun, 0, &err);
  EXPECT_EQ(KErrCorrupt, err);
  const std::string literal = withPicture([](MbmPicture& p) { p.compression = 1; p.data = std::string("\x80\x00", 2); });
  DecodeAll(literal, 0, &err);
  EXPECT_EQ(KErrCorrupt, err);
}

// ---- Image converter ----

class ImageObserver : public MMdaImageUtilObserver {
public:
  void MiuoCreateComplete(TInt) override {}
  void MiuoOpenComplete(TInt aError) override { iOpen = aError; }
  void MiuoConvertComplete(TInt aError) override { iConvert = aError; }
  TInt iOpen = 1, iConvert = 1;
};

class ConverterTest : public MediaTest {
protected:
  // Opens aFile; the converter's open result.
  TInt Open(const std::string& aFile) {
    iFile = aFile;
    iData.Set(Bytes(iFile), Len(iFile));
    iUtility.reset(CMdaImageDescToBitmapUtility::NewL(iObserver));
    iUtility->OpenL(iData);
    iEnv.RunUntilIdle();
    return iObserver.iOpen;
  }
  // Converts picture aIndex into a new bitmap of aSize (default: the picture's).
  TInt Convert(TInt aIndex, CFbsBitmap& aBitmap, TSize aSize = TSize(-1, -1)) {
    TFrameInfo info;
    iUtility->FrameInfo(aIndex, info);
    if (aSize.iWidth < 0) aSize = info.iOverallSizeInPixels;
    EXPECT_EQ(KErrNone, aBitmap.Create(aSize, EColor4K));
    iObserver.iConvert = 1;
    iUtility->ConvertL(aBitmap, aIndex);
    iEnv.RunUntilIdle();
    return iObserver.iConvert;
  }
  static TUint16 Word(CFbsBitmap& aBitmap, TInt aX, TInt aY) {
    const TInt stride = CFbsBitmap::ScanLineLength(aBitmap.SizeInPixels().iWidth, EColor4K);
    return reinterpret_cast<TUint16*>(reinterpret_cast<TUint8*>(aBitmap.DataAddress()) + stride * aY)[aX];
  }

  std::string iFile;
  TPtrC8 iData;
  ImageObserver iObserver;
  std::unique_ptr<CMdaImageDescToBitmapUtility> iUtility;
};

TEST_F(ConverterTest, ConvertsMultiBitmapPicturesToTruncated4096Colours) {
  MbmPicture a;
  a.width = 2;
  a.height = 1;
  a.bits = 24;
  a.data = std::string("\xFF\xFF\xFF\x1F\x2F\x3F\0\0", 8);  // white, then (0x3F,0x2F,0x1F)
  MbmPicture b;
  b.width = 1;
  b.height = 1;
  b.bits = 8;
  b.color = 0;
  b.data = std::string("\xEF\0\0\0", 4);
  ASSERT_EQ(KErrNone, Open(Mbm({a, b})));
  EXPECT_EQ(2, iUtility->FrameCount());
  TFrameInfo info;
  iUtility->FrameInfo(0, info);
  EXPECT_EQ(TSize(2, 1), info.iOverallSizeInPixels);
  EXPECT_EQ(TRect(0, 0, 2, 1), info.iFrameCoordsInPixels);
  EXPECT_EQ(24, info.iBitsPerPixel);
  CFbsBitmap first, second;
  ASSERT_EQ(KErrNone, Convert(0, first));
  EXPECT_EQ(0x0FFF, Word(first, 0, 0));  // white stays the colour key
  EXPECT_EQ(0x0123, Word(first, 1, 0));  // each channel's top four bits, red lowest
  ASSERT_EQ(KErrNone, Convert(1, second));
  EXPECT_EQ(0x0EEE, Word(second, 0, 0));
  // Errors of the requests themselves.
  CFbsBitmap other;
  other.Create(TSize(1, 1), EColor64K);
  TRAPD(mode, iUtility->ConvertL(other, 0));
  EXPECT_EQ(KErrNotSupported, mode);
  TRAPD(range, iUtility->ConvertL(first, 2));
  EXPECT_EQ(KErrArgument, range);
  TRAPD(inUse, iUtility->OpenL(iData));
  EXPECT_EQ(KErrInUse, inUse);
}

TEST_F(ConverterTest, ReadsPngBmpJpegAndEveryGifFrame) {
  auto colour = [](int x, int y) -> uint32_t { return x < 2 ? 0xFF102030u : 0xFFF0E0D0u; };
  for (Format format : {Format::Png, Format::Bmp}) {
    ASSERT_EQ(KErrNone, Open(Encode(Surface(4, 3, colour), format)));
    EXPECT_EQ(1, iUtility->FrameCount());
    CFbsBitmap bitmap;
    ASSERT_EQ(KErrNone, Convert(0, bitmap));
    EXPECT_EQ(TSize(4, 3), bitmap.SizeInPixels());
    EXPECT_EQ(0x0321, Word(bitmap, 1, 2));
    EXPECT_EQ(0x0DEF, Word(bitmap, 3, 0));
    iUtility->Close();
  }
  // JPEG is lossy: a flat picture stays close to its colour.
  ASSERT_EQ(KErrNone, Open(Encode(Surface(16, 16, [](int, int) { return 0xFF808080u; }), Format::Jpg)));
  CFbsBitmap jpeg;
  ASSERT_EQ(KErrNone, Convert(0, jpeg));
  const TUint16 grey = Word(jpeg, 8, 8);
  EXPECT_NEAR(8, grey & 15, 1);
  EXPECT_NEAR(8, (grey >> 8) & 15, 1);
  iUtility->Close();

  ASSERT_EQ(KErrNone, Open(Gif(5, 4, {1, 2, 3})));
  ASSERT_EQ(3, iUtility->FrameCount());
  const TUint16 expected[3] = {0x000F, 0x00F0, 0x0F00};
  for (TInt k = 0; k < 3; ++k) {
    CFbsBitmap frame;
    ASSERT_EQ(KErrNone, Convert(k, frame));
    EXPECT_EQ(TSize(5, 4), frame.SizeInPixels());
    EXPECT_EQ(expected[k], Word(frame, 4, 3));
  }
}

TEST_F(ConverterTest, TransparentPixelsBecomeTheColourKey) {
  ASSERT_EQ(KErrNone, Open(Encode(Surface(2, 1, [](int x, int) { return x == 0 ? 0x00000000u : 0x80000000u; }),
                                  Format::Png)));
  CFbsBitmap bitmap;
  ASSERT_EQ(KErrNone, Convert(0, bitmap));
  EXPECT_EQ(0x0FFF, Word(bitmap, 0, 0));
  EXPECT_EQ(0x0777, Word(bitmap, 1, 0));  // half black over white: 127
}

TEST_F(ConverterTest, ABitmapSmallerThanThePictureGetsItBoxFiltered) {
  // 2000 x 100: columns alternate black and white in pairs; the left half is red.
  auto colour = [](int x, int) -> uint32_t { return x < 1000 ? 0xFFFF0000u : ((x / 2) % 2 ? 0xFFFFFFFFu : 0xFF000000u); };
  ASSERT_EQ(KErrNone, Open(Encode(Surface(2000, 100, colour), Format::Png)));
  CFbsBitmap bitmap;
  ASSERT_EQ(KErrNone, Convert(0, bitmap, TSize(1024, 100)));
  EXPECT_EQ(0x000F, Word(bitmap, 0, 0));
  EXPECT_EQ(0x000F, Word(bitmap, 510, 99));
  // On the right each bitmap pixel covers about two picture pixels of the 4-pixel
  // pattern: black, white or grey, never red.
  for (TInt x = 520; x < 1024; ++x) {
    const TUint16 w = Word(bitmap, x, 50);
    EXPECT_TRUE((w & 15) == ((w >> 4) & 15) && (w & 15) == ((w >> 8) & 15)) << x;
  }
  // Enlarging repeats the nearest pixel.
  ASSERT_EQ(KErrNone, Open(Mbm({[] {
    MbmPicture p;
    p.width = 2;
    p.height = 1;
    p.bits = 12;
    p.data = std::string("\x0F\x00\xF0\x00", 4);
    return p;
  }()})));
  CFbsBitmap big;
  ASSERT_EQ(KErrNone, Convert(0, big, TSize(4, 2)));
  EXPECT_EQ(0x000F, Word(big, 1, 1));
  EXPECT_EQ(0x00F0, Word(big, 2, 0));
}

TEST_F(ConverterTest, ReportsUnknownAndDamagedFiles) {
  EXPECT_EQ(KErrNotSupported, Open("this is not a picture at all"));
  EXPECT_EQ(0, iUtility->FrameCount());
  std::string png = Encode(Surface(8, 8, [](int, int) { return 0xFF000000u; }), Format::Png);
  png.resize(40);
  EXPECT_EQ(KErrCorrupt, Open(png));
  // A multi-bitmap file whose second picture is damaged: the first still converts.
  MbmPicture ok;
  ok.bits = 24;
  ok.data = std::string(4, '\0');
  MbmPicture broken = ok;
  broken.compression = 1;
  broken.data = std::string("\x7F\x00", 2);
  ASSERT_EQ(KErrNone, Open(Mbm({ok, broken})));
  CFbsBitmap first, second;
  EXPECT_EQ(KErrNone, Convert(0, first));
  EXPECT_EQ(KErrCorrupt, Convert(1, second));
}

TEST_F(ConverterTest, ConversionUnderAllocationFailureLeaksNothing) {
  MbmPicture p;
  p.width = 3;
  p.height = 2;
  p.bits = 16;
  p.compression = 3;
  p.data = std::string("\x07\x1F\x00", 3);
  const std::string file = Mbm({p});
  TPtrC8 data(Bytes(file), Len(file));
  const TInt steps = ZHost::SweepAllocFailures([&] {
    ImageObserver observer;
    CMdaImageDescToBitmapUtility* utility = CMdaImageDescToBitmapUtility::NewL(observer);
    CleanupStack::PushL(utility);
    utility->OpenL(data);
    iEnv.RunUntilIdle();
    CFbsBitmap* bitmap = new (ELeave) CFbsBitmap();
    CleanupStack::PushL(bitmap);
    User::LeaveIfError(bitmap->Create(TSize(3, 2), EColor4K));
    utility->ConvertL(*bitmap, 0);
    iEnv.RunUntilIdle();
    User::LeaveIfError(observer.iConvert);
    CleanupStack::PopAndDestroy(2, utility);
  });
  EXPECT_GT(steps, 3);
}

TEST_F(ConverterTest, EveryAcceptedFormatOpensAndConverts) {
  struct TSample {
    const char* iFile;
    TInt iCount;
    TSize iSize;
  };
  const TSample samples[] = {
      {"png_rgba.png", 1, TSize(8, 6)},        {"png_palette.png", 1, TSize(7, 5)},
      {"jpeg_baseline.jpg", 1, TSize(16, 12)}, {"jpeg_progressive.jpg", 1, TSize(24, 16)},
      {"jpeg_grey.jpg", 1, TSize(9, 9)},       {"jpeg_cmyk.jpg", 1, TSize(8, 8)},
      {"gif_animated.gif", 3, TSize(5, 4)},    {"gif_frames.gif", 4, TSize(2, 3)},
      {"bmp_24.bmp", 1, TSize(5, 3)},          {"bmp_32.bmp", 1, TSize(5, 3)},
      {"bmp_palette.bmp", 1, TSize(7, 5)},     {"ico.ico", 1, TSize(4, 4)},
      {"cur.cur", 1, TSize(4, 4)},             {"tiff_strips.tif", 1, TSize(16, 16)},
      {"tiff_tiles.tif", 1, TSize(16, 16)},    {"webp_lossless.webp", 1, TSize(6, 5)},
      {"webp_lossy.webp", 1, TSize(8, 3)},     {"pcx_8.pcx", 1, TSize(4, 2)},
      {"pnm_p1.pbm", 1, TSize(3, 2)},          {"pnm_p2.pgm", 1, TSize(2, 2)},
      {"pnm_p3.ppm", 1, TSize(2, 1)},          {"pnm_p4.pbm", 1, TSize(9, 2)},
      {"pnm_p5.pgm", 1, TSize(3, 1)},          {"pnm_p6.ppm", 1, TSize(1, 2)},
      {"xpm.xpm", 1, TSize(4, 3)},             {"qoi.qoi", 1, TSize(3, 2)},
      {"mbm.mbm", 2, TSize(3, 2)},
  };
  // Sizes are the decoder's: an animated GIF takes its first frame's image size.
  for (const TSample& sample : samples) {
    SCOPED_TRACE(sample.iFile);
    std::ifstream in(std::string(ZOLV_IMAGE_SAMPLES) + "/" + sample.iFile, std::ios::binary);
    ASSERT_TRUE(in.good());
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(KErrNone, Open(file));
    ASSERT_EQ(sample.iCount, iUtility->FrameCount());
    TFrameInfo info;
    iUtility->FrameInfo(0, info);
    EXPECT_EQ(sample.iSize, info.iOverallSizeInPixels);
    for (TInt k = 0; k < sample.iCount; ++k) {
      CFbsBitmap bitmap;
      EXPECT_EQ(KErrNone, Convert(k, bitmap)) << k;
    }
    iUtility->Close();
  }
  // GIFs on which the decoder frees memory it does not own: stray bytes between blocks,
  // images without a colour table, an image outside the logical screen, image data
  // that does not decode to exactly its pixels within its blocks.
  for (const char* strays : {"gif-bad-free-after-stray-bytes", "gif-bad-free-without-colour-table",
                             "gif-bad-free-frame-outside-the-screen", "gif-double-free-lzw-past-its-block"}) {
    std::ifstream in(std::string(ZOLV_IMAGE_SAMPLES) + "/" + strays, std::ios::binary);
    ASSERT_TRUE(in.good()) << strays;
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(KErrCorrupt, Open(file)) << strays;
  }
  EXPECT_EQ(KErrCorrupt, Open(GifDeclaring(16, 16, 1, 17, 1)));
  std::string shortData = GifDeclaring(16, 16, 1, 1, 1);
  shortData[32] = 2;  // a 2 x 1 image whose data holds one pixel
  EXPECT_EQ(KErrCorrupt, Open(shortData));
  std::string noEnd = GifDeclaring(16, 16, 1, 1, 1);
  noEnd[39] = '\x0C';  // the end code replaced: the data stops without it
  EXPECT_EQ(KErrCorrupt, Open(noEnd));
  EXPECT_EQ(KErrNone, Open(GifDeclaring(16, 16, 1, 16, 16)));
  iUtility->Close();
  // Formats that SDL2_image decodes but the converter does not take.
  for (const char* refused : {"lbm_ilbm.lbm", "lbm_pbm.lbm", "lbm-planes-past-the-body"}) {
    std::ifstream in(std::string(ZOLV_IMAGE_SAMPLES) + "/" + refused, std::ios::binary);
    ASSERT_TRUE(in.good()) << refused;
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(KErrNotSupported, Open(file)) << refused;
  }
  // A few colours that show each decoder's pixels arrive: PNM's white and black, XPM's
  // transparent and red, and red in the PPM.
  const std::string pbm = "P1 2 1 0 1";
  ASSERT_EQ(KErrNone, Open(pbm));
  CFbsBitmap bits;
  ASSERT_EQ(KErrNone, Convert(0, bits));
  EXPECT_EQ(0x0FFF, Word(bits, 0, 0));
  EXPECT_EQ(0x0000, Word(bits, 1, 0));
  iUtility->Close();
  const std::string xpm = "/* XPM */\n\"2 1 2 1\",\n\"  c None\",\n\". c #FF0000\",\n\" .\"};\n";
  // A pixel naming no colour of the table, a row shorter than the width, a zero byte.
  for (const std::string& bad : {std::string("/* XPM */\n\"2 1 2 1\",\n\"  c None\",\n\". c #FF0000\",\n\" z\"};\n"),
                                  std::string("/* XPM */\n\"2 1 2 1\",\n\"  c None\",\n\". c #FF0000\",\n\" \"\n"),
                                  std::string("/* XPM */\n\"2 1 2 1\",\n\"  c None\",\n\". c #FF0000\",\n\" .\"};\0", 50)}) {
    EXPECT_EQ(KErrCorrupt, Open(bad)) << bad;
  }
  ASSERT_EQ(KErrNone, Open(xpm));
  CFbsBitmap keyed;
  ASSERT_EQ(KErrNone, Convert(0, keyed));
  EXPECT_EQ(0x0FFF, Word(keyed, 0, 0));
  EXPECT_EQ(0x000F, Word(keyed, 1, 0));
}

// ---- Pictures that declare more than the budget ----

// The process's resident size and its peak since the last reset, in KiB.
TInt64 StatusKib(const char* aField) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string field = std::string(aField) + ":";
  while (std::getline(status, line)) {
    if (line.compare(0, field.size(), field) == 0) return std::atoll(line.c_str() + field.size());
  }
  return -1;
}

// Lowers the peak resident size to the current one; EFalse where the system cannot.
TBool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return clear.good() && StatusKib("VmHWM") - StatusKib("VmRSS") < 1024;
}

struct TBomb {
  const char* iName;
  std::string iBytes;
};

std::vector<TBomb> Bombs() {
  auto small = [](int, int) { return 0xFF336699u; };
  MbmPicture rle;  // 30000 x 30000 at 12 bits: 1.8 GB of pixels from a few bytes
  rle.width = rle.height = 30000;
  rle.bits = 12;
  rle.compression = 2;
  rle.data = std::string(15 * 1024 * 1024 / 128, '\xFF');
  // One 1024 x 1024 picture named 200 times by the file's table: 800 MB of pictures.
  MbmPicture square;
  square.width = square.height = 1024;
  square.bits = 12;
  square.compression = 2;
  square.data = std::string(1024 * 1024 / 16 * 2, '\xFF');
  std::string repeated = Mbm({square});
  const uint32_t first = static_cast<uint32_t>(repeated.size() - 4);
  const uint32_t offset = static_cast<uint8_t>(repeated[first]) | (static_cast<uint8_t>(repeated[first + 1]) << 8) |
                          (static_cast<uint8_t>(repeated[first + 2]) << 16) |
                          (static_cast<uint32_t>(static_cast<uint8_t>(repeated[first + 3])) << 24);
  Set32(repeated, first - 4, 200);
  for (int k = 1; k < 200; ++k) Put32(repeated, offset);
  // One frame whose image descriptor (after the header, the table and the graphic
  // control block) declares 65535 x 65535 on a 16 x 16 screen.
  std::string hugeImage = GifDeclaring(16, 16, 1);
  hugeImage[32] = hugeImage[33] = hugeImage[34] = hugeImage[35] = '\xFF';
  return {
      {"PNG 30000 x 30000", PngDeclaring(Encode(Surface(8, 8, small), Format::Png), 30000, 30000)},
      {"PNG 70000 x 1", PngDeclaring(Encode(Surface(8, 8, small), Format::Png), 70000, 1)},
      {"JPEG 30000 x 30000", JpegDeclaring(Encode(Surface(16, 16, small), Format::Jpg), 30000, 30000)},
      {"BMP 30000 x 30000", BmpDeclaring(Encode(Surface(8, 8, small), Format::Bmp), 30000, 30000)},
      {"BMP 30000 x -30000", BmpDeclaring(Encode(Surface(8, 8, small), Format::Bmp), 30000, static_cast<uint32_t>(-30000))},
      {"GIF 3000 frames of 2000 x 2000", GifDeclaring(2000, 2000, 3000)},
      {"GIF frame image of 65535 x 65535", hugeImage},
      {"MBM 30000 x 30000", Mbm({rle})},
      {"MBM 200 x the same 1024 x 1024", repeated},
  };
}

TEST_F(ConverterTest, PictureBombsAreRefusedFromTheirHeadersWithLittleMemory) {
  for (const TBomb& bomb : Bombs()) {
    SCOPED_TRACE(bomb.iName);
    ASSERT_TRUE(ResetPeak());
    const TInt64 before = StatusKib("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(KErrTooBig, Open(bomb.iBytes));
    const auto took = std::chrono::steady_clock::now() - start;
    const TInt64 grew = StatusKib("VmHWM") - before;
    EXPECT_EQ(0, iUtility->FrameCount());
    // Generous: decoding any of these would take gigabytes.
    EXPECT_LT(grew, 16 * 1024) << "KiB";
    std::printf("%-36s %7zu bytes: refused in %.3f ms, peak resident size +%lld KiB\n", bomb.iName,
                bomb.iBytes.size(), std::chrono::duration<double, std::milli>(took).count(),
                static_cast<long long>(grew));
    iUtility->Close();
  }
  // A GIF whose decoder, reading the image data its own way, would meet a frame of
  // hundreds of megabytes that the blocks do not show: the blocks stray from the
  // format's grammar, and the decoder is held to the budget besides.
  std::ifstream in(std::string(ZOLV_IMAGE_SAMPLES) + "/gif-descriptor-read-from-image-data", std::ios::binary);
  const std::string hidden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(632u, hidden.size());
  ASSERT_TRUE(ResetPeak());
  const TInt64 before = StatusKib("VmRSS");
  const TInt hiddenErr = Open(hidden);
  EXPECT_TRUE(hiddenErr == KErrCorrupt || hiddenErr == KErrTooBig) << hiddenErr;
  EXPECT_LT(StatusKib("VmHWM") - before, 200 * 1024) << "KiB";
  iUtility->Close();
  // The same file once within the limits opens.
  ASSERT_EQ(KErrNone, Open(GifDeclaring(100, 100, 20)));
  EXPECT_EQ(20, iUtility->FrameCount());
}

TEST_F(ConverterTest, BudgetCountsEveryPictureOfAFile) {
  using namespace ZHost::Picture;
  ZHost::Picture::TInfo info;
  // 4096 x 4096 is the largest square picture; one pixel more in area is not.
  EXPECT_EQ(KErrNone, CheckSize(4096, 4096));
  EXPECT_EQ(KErrTooBig, CheckSize(4097, 4096));
  EXPECT_EQ(KErrTooBig, CheckSize(KMaxPictureSide + 1, 1));
  EXPECT_EQ(KErrCorrupt, CheckSize(0, 5));
  const std::string gif = GifDeclaring(640, 480, 7);
  ASSERT_EQ(KErrNone, Probe(Bytes(gif), Len(gif), info));
  EXPECT_EQ(EGif, info.iFormat);
  EXPECT_EQ(7, info.iCount);  // counted without decoding
  EXPECT_EQ(640, info.iWidth);
  // As many frames as the budget holds, and one more.
  const TInt64 frame = 640 * 480 * KDecodedBytesPerPixel + KPictureOverhead;
  const int fit = static_cast<int>((KMaxDecodedBytes - 1) / frame);  // 1 x 1 images
  const std::string full = GifDeclaring(640, 480, fit);
  EXPECT_EQ(KErrNone, Probe(Bytes(full), Len(full), info));
  const std::string over = GifDeclaring(640, 480, fit + 1);
  EXPECT_EQ(KErrTooBig, Probe(Bytes(over), Len(over), info));
  // Formats the converter does not take.
  const std::string xcf = std::string("gimp xcf v001\0", 14) + std::string(16, '\0');
  EXPECT_EQ(KErrNotSupported, Probe(Bytes(xcf), Len(xcf), info));
  const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"9\" height=\"9\"></svg>";
  EXPECT_EQ(KErrNotSupported, Probe(Bytes(svg), Len(svg), info));
}

// Receives the size a JPEG is decoded at.
class TSizeSink : public ZHost::Jpeg::MScaledSink {
public:
  TInt Begin(TInt aWidth, TInt aHeight) override {
    iSize = TSize(aWidth, aHeight);
    return KErrNone;
  }
  TInt Row(TInt, const TUint32* aPixels, TInt) override {
    iLast = aPixels[0];
    ++iRows;
    return KErrNone;
  }
  TSize iSize;
  TUint32 iLast = 0;
  TInt iRows = 0;
};

TEST_F(ConverterTest, LargePicturesLoadAndJpegDecodesAtTheBitmapsScale) {
  // Left half red, right half blue.
  auto halves = [](int x, int) -> uint32_t { return x < 2048 ? 0xFFFF0000u : 0xFF0000FFu; };
  const std::string jpeg = Encode(Surface(4096, 4096, halves), Format::Jpg);
  TSizeSink sink;
  ASSERT_EQ(KErrNone, ZHost::Jpeg::Decode(Bytes(jpeg), Len(jpeg), 1024, 1024, sink));
  EXPECT_EQ(TSize(1024, 1024), sink.iSize);
  EXPECT_EQ(1024, sink.iRows);
  ASSERT_EQ(KErrNone, ZHost::Jpeg::Decode(Bytes(jpeg), Len(jpeg), 1000, 1025, sink));
  EXPECT_EQ(TSize(1536, 1536), sink.iSize);  // 3/8 is the smallest scale covering both
  ASSERT_EQ(KErrNone, ZHost::Jpeg::Decode(Bytes(jpeg), Len(jpeg), 4096, 1, sink));
  EXPECT_EQ(TSize(4096, 4096), sink.iSize);
  for (const std::string& file : {jpeg, Encode(Surface(4096, 4096, halves), Format::Png)}) {
    ASSERT_EQ(KErrNone, Open(file));
    TFrameInfo info;
    iUtility->FrameInfo(0, info);
    EXPECT_EQ(TSize(4096, 4096), info.iOverallSizeInPixels);
    CFbsBitmap bitmap;
    ASSERT_EQ(KErrNone, Convert(0, bitmap, TSize(1024, 1024)));
    EXPECT_EQ(0x000F, Word(bitmap, 10, 1000) & 0x0CCF);  // red, give or take JPEG's losses
    EXPECT_EQ(0x0F00, Word(bitmap, 1000, 10) & 0x0FCC);
    iUtility->Close();
  }
}

TEST_F(ConverterTest, AProgressiveJpegOfTooManyScansIsRefused) {
  std::ifstream in(std::string(ZOLV_IMAGE_SAMPLES) + "/jpeg_progressive.jpg", std::ios::binary);
  const std::string jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Its last scan (a start-of-scan segment up to the end of the picture), sent again.
  const size_t last = jpeg.rfind("\xFF\xDA");
  ASSERT_NE(std::string::npos, last);
  const std::string scan = jpeg.substr(last, jpeg.size() - 2 - last);
  auto withScans = [&](int aExtra) {
    std::string out = jpeg.substr(0, jpeg.size() - 2);
    for (int i = 0; i < aExtra; ++i) out += scan;
    return out + "\xFF\xD9";
  };
  TSizeSink sink;
  const std::string some = withScans(10);
  EXPECT_EQ(KErrNone, ZHost::Jpeg::Decode(Bytes(some), Len(some), 1, 1, sink));
  const std::string many = withScans(ZHost::Picture::KMaxJpegScans);
  EXPECT_EQ(KErrCorrupt, ZHost::Jpeg::Decode(Bytes(many), Len(many), 1, 1, sink));
  ASSERT_EQ(KErrNone, Open(many));
  CFbsBitmap bitmap;
  EXPECT_EQ(KErrCorrupt, Convert(0, bitmap));
}

TEST_F(ConverterTest, RefusingABombUnderAllocationFailureLeaksNothing) {
  const std::string bomb = GifDeclaring(2000, 2000, 3000);
  TPtrC8 data(Bytes(bomb), Len(bomb));
  const ZHost::TSweepResult result = ZHost::SweepAllocFailuresEx([&] {
    ImageObserver observer;
    CMdaImageDescToBitmapUtility* utility = CMdaImageDescToBitmapUtility::NewL(observer);
    CleanupStack::PushL(utility);
    utility->OpenL(data);
    iEnv.RunUntilIdle();
    User::LeaveIfError(observer.iOpen);
    CleanupStack::PopAndDestroy(utility);
  });
  EXPECT_TRUE(result.iCompleted);
  EXPECT_EQ(0, result.iLeakStep);
  EXPECT_EQ(KErrTooBig, result.iLastError);
}

}  // namespace
