// Sound elements with the player's arbitration, and the image and sound loaders, on the
// real media utilities (SDL's silent audio driver, SDL2_image and the multi-bitmap codec).
#include <gtest/gtest.h>

#include <ZTestAccess.h>
#include <ZolvaneTesting.h>
#include <zhost/allocfail.h>
#include <zhost/audio.h>

#include "MediaTestFiles.h"

using namespace MediaTest;

namespace {

const TInt KClipFrames = 80000;  // ten seconds at 8000 Hz: longer than any test's frames

CZElementSound* Sound(CZElement* aElement) {
  CZElementBase* base = aElement ? TZTestAccess::Base(aElement) : NULL;
  return base && base->Type() == SOUND_ELEMENT ? static_cast<CZElementSound*>(base) : NULL;
}

TInt Volume(CZSoundPlayer* aPlayer) {
  TInt volume = -1;
  aPlayer->Utility()->GetVolume(volume);
  return volume;
}

class MediaEngine : public ::testing::Test {
protected:
  MediaEngine() : iHarness(Options()) {}
  static ZTest::Harness::Options Options() {
    ZTest::Harness::Options o;
    o.channels = 4;
    return o;
  }
  CZController& C() { return iHarness.Controller(); }
  CZPlayer* Player() { return C().Player(); }

  CZElement* LoadSound(const char* aFile, const char* aName, const std::string& aBytes) {
    iHarness.WriteAppFile(std::string("Sounds\\") + aFile, aBytes);
    TBuf<64> file, name;
    file.Copy(TPtrC8(reinterpret_cast<const TUint8*>(aFile)));
    name.Copy(TPtrC8(reinterpret_cast<const TUint8*>(aName)));
    TRAPD(err, C().LoadFileWavL(file, name));
    EXPECT_EQ(KErrNone, err);
    return C().Element(name);
  }
  // Loads a picture file; the leave code.
  TInt LoadImage(const char* aFile, const char* aName, const std::string& aBytes, TBool aUnload = ETrue) {
    iHarness.WriteAppFile(std::string("Pictures\\") + aFile, aBytes);
    TBuf<64> file, name;
    file.Copy(TPtrC8(reinterpret_cast<const TUint8*>(aFile)));
    name.Copy(TPtrC8(reinterpret_cast<const TUint8*>(aName)));
    TRAPD(err, C().LoadFileImageL(file, name, aUnload));
    return err;
  }
  CZElement* E(const char* aName) {
    TBuf<80> name;
    name.Copy(TPtrC8(reinterpret_cast<const TUint8*>(aName)));
    return C().Element(name);
  }

  ZTest::Harness iHarness;
};

MbmPicture Picture12(int aWidth, int aHeight, uint16_t aWord) {
  MbmPicture p;
  p.width = aWidth;
  p.height = aHeight;
  p.bits = 12;
  const int stride = (aWidth + 1) / 2 * 2;
  for (int i = 0; i < stride * aHeight; ++i) Put16(p.data, aWord);
  return p;
}

// ---- Sounds ----

TEST_F(MediaEngine, LoadedSoundIsASoundElementWithoutGeometry) {
  CZElement* a = LoadSound("a.wav", "snd", WavMono8(KClipFrames));
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(SOUND_ELEMENT, a->Type());
  EXPECT_EQ(0, a->Width());
  EXPECT_EQ(TRect(0, 0, 0, 0), a->Rect());
  EXPECT_EQ(0, a->RegPoint(TPoint(1, 1)));
  ASSERT_NE(nullptr, Sound(a)->AudioPlayerCallBack());
  EXPECT_TRUE(Sound(a)->AudioPlayerCallBack()->InitComplete());
  EXPECT_FALSE(Sound(a)->AudioPlayerCallBack()->ErrorInit());
  EXPECT_EQ(nullptr, C().ElementSoundAdd(100, _L("x")));
}

TEST_F(MediaEngine, PlayingBStopsAAndRestoresItsAccessCount) {
  CZElement* a = LoadSound("a.wav", "a", WavMono8(KClipFrames));
  CZElement* b = LoadSound("b.wav", "b", WavMono8(KClipFrames));
  CZSoundPlayer* pa = Sound(a)->AudioPlayerCallBack();
  CZSoundPlayer* pb = Sound(b)->AudioPlayerCallBack();
  ASSERT_EQ(1, a->SoundPlay(5, 0));
  EXPECT_EQ(1, Sound(a)->Access());
  EXPECT_FALSE(pa->PlayComplete());
  EXPECT_EQ(1, ZHost::Audio::PlayingCount());
  // The channel and volume arguments change nothing: the player's volume (20) applies.
  EXPECT_EQ(20 * ZHost::Audio::KMaxVolume / 100, Volume(pa));

  ASSERT_EQ(1, b->SoundPlay());
  EXPECT_EQ(0, Sound(a)->Access());
  EXPECT_TRUE(pa->PlayComplete());
  EXPECT_EQ(1, Sound(b)->Access());
  EXPECT_FALSE(pb->PlayComplete());
  EXPECT_EQ(1, ZHost::Audio::PlayingCount());

  // Stopping A (not the current sound) does nothing; stopping B releases it.
  EXPECT_EQ(1, a->SoundStop());
  EXPECT_EQ(1, Sound(b)->Access());
  EXPECT_EQ(1, b->SoundStop());
  EXPECT_EQ(0, Sound(b)->Access());
  EXPECT_EQ(0, ZHost::Audio::PlayingCount());
}

TEST_F(MediaEngine, VolumeAndSoundSwitchApplyToThePlayingSound) {
  CZElement* a = LoadSound("a.wav", "a", WavMono8(KClipFrames));
  CZSoundPlayer* pa = Sound(a)->AudioPlayerCallBack();
  C().Sound(EFalse);
  a->SoundPlay();
  EXPECT_EQ(0, ZHost::Audio::LastStartedVolume());  // sound off still plays, at 0
  C().Sound(ETrue);
  EXPECT_EQ(20 * ZHost::Audio::KMaxVolume / 100, Volume(pa));
  C().Volume(150);
  EXPECT_EQ(100, C().Volume());
  EXPECT_EQ(ZHost::Audio::KMaxVolume, ZHost::Audio::LastStartedVolume());

  pa->SoundPlay(Player(), 150);
  EXPECT_EQ(ZHost::Audio::KMaxVolume, Volume(pa));
  pa->SoundPlay(Player(), -5);
  EXPECT_EQ(0, Volume(pa));
}

TEST_F(MediaEngine, ASecondSoundSetKeepsTheFirstClip) {
  CZElement* a = LoadSound("a.wav", "a", WavMono8(100));
  const HBufC8* first = Sound(a)->Data();
  HBufC8* other = HBufC8::NewL(10);
  EXPECT_EQ(0, Sound(a)->SoundSetL(other));
  EXPECT_EQ(first, Sound(a)->Data());
  delete other;
}

TEST_F(MediaEngine, UnderflowKeepsTheSoundCurrentAndReplaysItNextFrame) {
  CZElement* a = LoadSound("a.wav", "a", WavMono8(KClipFrames));
  CZSoundPlayer* pa = Sound(a)->AudioPlayerCallBack();
  a->SoundPlay();
  ZHost::Audio::CompletePlaying(KErrUnderflow);
  iHarness.Env().RunUntilIdle();
  EXPECT_TRUE(pa->Underflow());
  EXPECT_FALSE(pa->PlayComplete());
  EXPECT_EQ(1, Sound(a)->Access());
  EXPECT_EQ(0, ZHost::Audio::PlayingCount());
  ASSERT_EQ(1, iHarness.RunFrames(1));
  EXPECT_FALSE(pa->Underflow());
  EXPECT_EQ(1, ZHost::Audio::PlayingCount());
  EXPECT_EQ(1, Sound(a)->Access());
}

TEST_F(MediaEngine, TheEndOfPlayingOrAnErrorReleasesTheSound) {
  CZElement* a = LoadSound("a.wav", "a", WavMono8(800));  // 0.1 s
  CZSoundPlayer* pa = Sound(a)->AudioPlayerCallBack();
  a->SoundPlay();
  iHarness.Env().RunFor(100000);
  EXPECT_TRUE(pa->PlayComplete());
  EXPECT_EQ(0, Sound(a)->Access());
  EXPECT_EQ(0, ZHost::Audio::PlayingCount());

  a->SoundPlay();
  ZHost::Audio::CompletePlaying(KErrGeneral);
  iHarness.Env().RunUntilIdle();
  EXPECT_TRUE(pa->ErrorPlay());
  EXPECT_EQ(0, Sound(a)->Access());
  // The released sound can be compressed away.
  C().Compress();
  EXPECT_EQ(nullptr, E("a"));
}

TEST_F(MediaEngine, AClipThatCannotBeOpenedIgnoresPlayRequests) {
  CZElement* bad = LoadSound("bad.wav", "bad", std::string("RIFF\x04\0\0\0WAVE", 12));
  ASSERT_NE(nullptr, bad);
  EXPECT_TRUE(Sound(bad)->AudioPlayerCallBack()->ErrorInit());
  EXPECT_EQ(1, bad->SoundPlay());
  EXPECT_EQ(0, ZHost::Audio::PlayingCount());
  bad->SoundStop();
  EXPECT_EQ(0, Sound(bad)->Access());
}

TEST_F(MediaEngine, ANameInUseLoadsNoSound) {
  ASSERT_NE(nullptr, C().ElementBitmapAdd(2, 2, _L("taken")));
  iHarness.WriteAppFile("Sounds\\a.wav", WavMono8(100));
  TRAPD(err, C().LoadFileWavL(_L("a.wav"), _L("TAKEN")));
  EXPECT_EQ(KErrNone, err);
  EXPECT_EQ(BITMAP_ELEMENT, E("taken")->Type());
  // Missing files leave with the file server's error; invalid names load nothing.
  TRAP(err, C().LoadFileWavL(_L("missing.wav"), _L("m")));
  EXPECT_EQ(KErrNotFound, err);
  TRAP(err, C().LoadFileWavL(_L("a<>.wav"), _L("m")));
  EXPECT_EQ(KErrNone, err);
  EXPECT_EQ(nullptr, E("m"));
}

TEST_F(MediaEngine, SoundLoadingUnderAllocationFailureLeaksNothing) {
  iHarness.WriteAppFile("Sounds\\a.wav", WavMono8(400));
  // One run first, so that the sound list's buffer exists before counting cells.
  C().LoadFileWavL(_L("a.wav"), _L("s"));
  C().ElementRemove(_L("s"));
  const TInt steps = ZHost::SweepAllocFailures([&] {
    C().LoadFileWavL(_L("a.wav"), _L("s"));
    CZElement* s = E("s");
    if (s) {
      s->SoundPlay();
      s->SoundStop();
    }
    C().ElementRemove(_L("s"));
  });
  EXPECT_GT(steps, 3);
}

// ---- Images ----

TEST_F(MediaEngine, EveryPictureOfAMultiBitmapFileBecomesABitmapElement) {
  const std::string file = Mbm({Picture12(3, 2, 0x000F), Picture12(4, 1, 0x00F0), Picture12(1, 1, 0x0F00)});
  ASSERT_EQ(KErrNone, LoadImage("x.mbm", "x", file, EFalse));
  const TUint16 words[3] = {0x000F, 0x00F0, 0x0F00};
  CZElement* elements[3];
  for (int k = 0; k < 3; ++k) {
    const std::string name = "x_bmp_" + std::to_string(k + 1);
    elements[k] = E(name.c_str());
    ASSERT_NE(nullptr, elements[k]) << name;
    EXPECT_EQ(BITMAP_ELEMENT, elements[k]->Type());
    EXPECT_FALSE(elements[k]->Unload());
    EXPECT_EQ(words[k], elements[k]->Pixel(0, 0));
  }
  EXPECT_EQ(3, elements[0]->Width());
  EXPECT_EQ(2, elements[0]->Height());
  EXPECT_EQ(nullptr, E("x_bmp_4"));

  // Loading again under the same name refills the same elements.
  const std::string again = Mbm({Picture12(2, 2, 0x0123), Picture12(4, 1, 0x0456), Picture12(1, 1, 0x0789)});
  ASSERT_EQ(KErrNone, LoadImage("x.mbm", "x", again, ETrue));
  EXPECT_EQ(elements[0], E("x_bmp_1"));
  EXPECT_EQ(elements[2], E("x_bmp_3"));
  EXPECT_EQ(2, elements[0]->Width());
  EXPECT_EQ(0x0123, elements[0]->Pixel(1, 1));
  EXPECT_EQ(0x0789, elements[2]->Pixel(0, 0));
  EXPECT_TRUE(elements[1]->Unload());
}

TEST_F(MediaEngine, LargePicturesAreFittedAndGifFramesEachMakeAnElement) {
  ASSERT_EQ(KErrNone, LoadImage("wide.png", "w",
                                Encode(Surface(2000, 100, [](int, int) { return 0xFF00FF00u; }), Format::Png)));
  CZElement* wide = E("w_bmp_1");
  ASSERT_NE(nullptr, wide);
  EXPECT_EQ(1024, wide->Width());
  EXPECT_EQ(100, wide->Height());
  EXPECT_EQ(0x00F0, wide->Pixel(1023, 99));

  ASSERT_EQ(KErrNone, LoadImage("anim.gif", "g", Gif(6, 3, {1, 2, 3, 1})));
  const TUint16 expected[4] = {0x000F, 0x00F0, 0x0F00, 0x000F};
  for (int k = 0; k < 4; ++k) {
    CZElement* frame = E(("g_bmp_" + std::to_string(k + 1)).c_str());
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(6, frame->Width());
    EXPECT_EQ(expected[k], frame->Pixel(5, 2));
  }
}

TEST_F(MediaEngine, HostileImagesLeaveWithAnErrorAndKeepWhatWasConverted) {
  MbmPicture broken = Picture12(2, 2, 0);
  broken.compression = 2;
  broken.data = std::string("\xFF\xFF", 2);  // 16 pixels where the picture holds 4
  MbmPicture huge = Picture12(1, 1, 0);
  huge.width = 0x7FFFFFFF;
  EXPECT_EQ(KErrCorrupt, LoadImage("h.mbm", "h", Mbm({Picture12(2, 2, 0x0AAA), broken})));
  ASSERT_NE(nullptr, E("h_bmp_1"));
  EXPECT_EQ(0x0AAA, E("h_bmp_1")->Pixel(1, 1));
  EXPECT_EQ(nullptr, E("h_bmp_2"));
  EXPECT_EQ(KErrTooBig, LoadImage("z.mbm", "z", Mbm({huge})));
  std::string truncated = Mbm({Picture12(2, 2, 0)});
  truncated.resize(30);
  EXPECT_EQ(KErrCorrupt, LoadImage("t.mbm", "t", truncated));
  EXPECT_EQ(KErrNotSupported, LoadImage("n.png", "n", "no picture here"));
  EXPECT_EQ(nullptr, E("n_bmp_1"));
  TRAPD(err, C().LoadFileImageL(_L("absent.png"), _L("a")));
  EXPECT_EQ(KErrNotFound, err);
  // A name taken by another type cannot hold the picture.
  iHarness.WriteAppFile("Sounds\\s.wav", WavMono8(10));
  C().LoadFileWavL(_L("s.wav"), _L("q_bmp_1"));
  EXPECT_EQ(KErrNoMemory, LoadImage("q.mbm", "q", Mbm({Picture12(1, 1, 0)})));
}

TEST_F(MediaEngine, ImageLoadingUnderAllocationFailureLeaksNothing) {
  iHarness.WriteAppFile("Pictures\\x.mbm", Mbm({Picture12(3, 2, 0x000F), Picture12(2, 2, 0x00F0)}));
  // One run first, so that the bitmap list's buffer exists before counting cells.
  C().LoadFileImageL(_L("x.mbm"), _L("x"));
  C().ElementRemove(_L("x_bmp_1"));
  C().ElementRemove(_L("x_bmp_2"));
  const TInt steps = ZHost::SweepAllocFailures([&] {
    TRAPD(err, C().LoadFileImageL(_L("x.mbm"), _L("x")));
    C().ElementRemove(_L("x_bmp_1"));
    C().ElementRemove(_L("x_bmp_2"));
    User::LeaveIfError(err);
  });
  EXPECT_GT(steps, 5);
}

TEST_F(MediaEngine, PictureBombsLeaveWithTooBigAndKeepThePicturesLoadedBefore) {
  auto colour = [](int, int) { return 0xFF0000FFu; };
  ASSERT_EQ(KErrNone, LoadImage("p.png", "p", Encode(Surface(3, 2, colour), Format::Png)));
  CZElement* before = E("p_bmp_1");
  ASSERT_NE(nullptr, before);
  const std::string bombs[] = {
      PngDeclaring(Encode(Surface(8, 8, colour), Format::Png), 30000, 30000),
      JpegDeclaring(Encode(Surface(16, 16, colour), Format::Jpg), 30000, 30000),
      BmpDeclaring(Encode(Surface(8, 8, colour), Format::Bmp), 30000, 30000),
      GifDeclaring(2000, 2000, 3000),
  };
  for (const std::string& bomb : bombs) {
    EXPECT_EQ(KErrTooBig, LoadImage("p.png", "p", bomb));
    EXPECT_EQ(before, E("p_bmp_1"));
    EXPECT_EQ(3, before->Width());
    EXPECT_EQ(0x0F00, before->Pixel(2, 1));
    EXPECT_EQ(nullptr, E("p_bmp_2"));
  }
  // A multi-bitmap file whose second picture is too big: nothing of it is converted.
  MbmPicture huge = Picture12(1, 1, 0);
  huge.width = huge.height = 30000;
  huge.compression = 2;
  huge.data = std::string(30000 * 30000 * 2 / 32 / 128 * 2, '\xFF');
  EXPECT_EQ(KErrTooBig, LoadImage("m.mbm", "m", Mbm({Picture12(2, 2, 0x0AAA), huge})));
  EXPECT_EQ(nullptr, E("m_bmp_1"));
}

TEST_F(MediaEngine, APictureOf4096SquareIsScaledTo1024) {
  // Top half green, bottom half blue.
  auto halves = [](int, int y) -> uint32_t { return y < 2048 ? 0xFF00FF00u : 0xFF0000FFu; };
  ASSERT_EQ(KErrNone, LoadImage("big.png", "png", Encode(Surface(4096, 4096, halves), Format::Png)));
  ASSERT_EQ(KErrNone, LoadImage("big.jpg", "jpg", Encode(Surface(4096, 4096, halves), Format::Jpg)));
  for (const char* name : {"png_bmp_1", "jpg_bmp_1"}) {
    CZElement* e = E(name);
    ASSERT_NE(nullptr, e) << name;
    EXPECT_EQ(1024, e->Width());
    EXPECT_EQ(1024, e->Height());
    EXPECT_EQ(0x00F0, e->Pixel(500, 10) & 0x0CFC) << name;
    EXPECT_EQ(0x0F00, e->Pixel(500, 1000) & 0x0FCC) << name;
  }
}

TEST_F(MediaEngine, RefusingAPictureBombUnderAllocationFailureLeaksNothing) {
  iHarness.WriteAppFile("Pictures\\bomb.gif", GifDeclaring(2000, 2000, 3000));
  TInt last = KErrNone;
  const ZHost::TSweepResult result = ZHost::SweepAllocFailuresEx([&] {
    TRAP(last, C().LoadFileImageL(_L("bomb.gif"), _L("b")));
    User::LeaveIfError(last);
  });
  EXPECT_TRUE(result.iCompleted);
  EXPECT_GT(result.iSteps, 2);  // the file's buffer and the name were made to fail
  EXPECT_EQ(0, result.iLeakStep);
  EXPECT_EQ(KErrTooBig, last);
  EXPECT_EQ(nullptr, E("b_bmp_1"));
}

}  // namespace
