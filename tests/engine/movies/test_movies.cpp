// Movie lists and movie files, each written to the application's folders encrypted
// (XOR) and loaded from disk by the controller, then played through the frame cycle on
// the virtual clock; what the movie did is read back from the sprite channels.
#include <gtest/gtest.h>

#include <ZTestAccess.h>
#include <ZolvaneTesting.h>
#include <zhost/allocfail.h>

#include "MediaTestFiles.h"

#include <string>
#include <vector>

using namespace ZTest;

namespace {

const TUint8 KKey = 0x3C;

// A movie file: header with a frame count (and extra header text), then the frames.
std::string Movie(int aFrameCount, const std::string& aFrames, const std::string& aHeader = "") {
  return "BeginMovie\r\nBHd FrmCt " + std::to_string(aFrameCount) + " " + aHeader + " EHd\r\n" + aFrames +
         "\r\nEndMovie\r\n";
}

// One frame block.
std::string Frame(int aNumber, const std::string& aBody) {
  return "BFrm FrmNr " + std::to_string(aNumber) + "\n" + aBody + "\nEFrm\n";
}

// One sprite record.
std::string Rec(const std::string& aBody) { return " BSp " + aBody + " ESp "; }

MediaTest::MbmPicture Picture12(int aWidth, int aHeight, uint16_t aWord) {
  MediaTest::MbmPicture p;
  p.width = aWidth;
  p.height = aHeight;
  p.bits = 12;
  const int stride = (aWidth + 1) / 2 * 2;
  for (int i = 0; i < stride * aHeight; ++i) MediaTest::Put16(p.data, aWord);
  return p;
}

class Movies : public ::testing::Test {
protected:
  Movies() : h(Opts()) { h.Script().iXorKey = KKey; }
  static Harness::Options Opts() {
    Harness::Options o;
    o.channels = 8;
    return o;
  }

  CZController& C() { return h.Controller(); }
  CZSprite* S(TInt aChannel) { return C().Sprite(aChannel); }

  void WriteMovie(const std::string& aName, const std::string& aText) {
    h.WriteAppFile("Movies\\" + aName + ".movie", Xor(aText, KKey));
  }
  void WriteResource(const std::string& aFolder, const std::string& aName, const std::string& aBytes) {
    h.WriteAppFile(aFolder + "\\" + aName, Xor(aBytes, KKey));
  }
  static TPtrC Des(const std::u16string& aText) {
    return TPtrC(reinterpret_cast<const TText*>(aText.data()), static_cast<TInt>(aText.size()));
  }
  static std::u16string U(const std::string& aText) { return std::u16string(aText.begin(), aText.end()); }

  // Loads a movie list given as text; the leave code.
  TInt LoadList(const std::string& aList) {
    const std::u16string list = U(aList);
    TRAPD(err, C().LoadMovieListL(Des(list)));
    return err;
  }
  // A bitmap element made by the application: kept when a movie load compresses.
  CZElement* AddBitmap(const std::string& aName, TInt aWd, TInt aHt) {
    const std::u16string name = U(aName);
    CZElement* element = C().ElementBitmapAdd(aWd, aHt, Des(name));
    if (element) element->Unload(EFalse);
    return element;
  }
  CZElement* E(const std::string& aName) {
    const std::u16string name = U(aName);
    return C().Element(Des(name));
  }
  TInt Uses(CZElement* aElement) { return TZTestAccess::Base(aElement)->Access(); }
  TInt LifeTime(TInt aChannel) { return TZTestAccess::LifeTime(S(aChannel)); }

  // Movie names seen by FrameEndL with their frame numbers, "name:frame".
  std::vector<std::string> FrameEnds() {
    std::vector<std::string> out;
    for (const ScriptCall& c : h.Script().Calls(ScriptCall::EFrameEnd)) {
      out.push_back(std::string(c.text.begin(), c.text.end()) + ":" + std::to_string(c.frame));
    }
    return out;
  }

  Harness h;
};

// ---- Keywords and values ----

TEST_F(Movies, KeywordsAreFoldedAndLifetimeCountsDown) {
  AddBitmap("m_bmp_1", 4, 4);
  WriteMovie("m", "beginmovie bhd frmct 20 ehd "
                  "bFrM FRMNR 1 " +
                      Rec("C 1 Bmp 1 Lt 3") + Rec("c 2 bmp 1 LT 3") + Rec("C 3 BMP 1 lT 7") + " efrm endmovie");
  ASSERT_EQ(LoadList("m"), KErrNone);
  EXPECT_EQ(C().MovieLength(), 20);
  ASSERT_EQ(h.RunFrames(1), 1);
  for (TInt c = 1; c <= 3; c++) EXPECT_EQ(S(c)->Element(), E("m_bmp_1")) << "channel " << c;
  EXPECT_EQ(LifeTime(1), 3);
  EXPECT_EQ(LifeTime(2), 3);
  EXPECT_EQ(LifeTime(3), 7);
  // Lifetime 3: three more updates, cleared by the third.
  h.RunFrames(2);
  EXPECT_EQ(S(1)->Type(), BITMAP_ELEMENT);
  h.RunFrames(1);
  EXPECT_EQ(S(1)->Type(), 0);
  EXPECT_EQ(S(2)->Type(), 0);
  EXPECT_EQ(S(3)->Type(), BITMAP_ELEMENT);
}

TEST_F(Movies, BitmapRecordWithoutLifetimeShowsOneFrameAndMinusOneStays) {
  AddBitmap("m_bmp_1", 4, 4);
  WriteMovie("m", Movie(30, Frame(1, Rec("C 1 Bmp 1") + Rec("C 2 Bmp 1 LT -1"))));
  ASSERT_EQ(LoadList("m"), KErrNone);
  h.RunFrames(1);
  EXPECT_EQ(S(1)->Type(), BITMAP_ELEMENT);
  EXPECT_EQ(S(2)->Type(), BITMAP_ELEMENT);
  h.RunFrames(1);
  EXPECT_EQ(S(1)->Type(), 0);
  h.RunFrames(10);
  EXPECT_EQ(S(2)->Type(), BITMAP_ELEMENT);
  EXPECT_EQ(LifeTime(2), -1);
}

TEST_F(Movies, LastContentKeywordWins) {
  AddBitmap("m_bmp_2", 4, 4);
  WriteMovie("m", Movie(5, Frame(1, Rec("C 1 Bmp 2 Txt 1 LT -1") +  // a text record: no text, dropped
                                        Rec("C 2 Txt 1 Bmp 2 LT -1") +  // a bitmap record
                                        Rec("C 3 Bmp 2 Rct LT -1") + Rec("C 4 Rct Bmp 2 LT -1") +
                                        Rec("C 5 Shp 1 Bmp 2 Lne LT -1"))));
  ASSERT_EQ(LoadList("m"), KErrNone);
  h.RunFrames(1);
  EXPECT_EQ(S(1)->Type(), 0);
  EXPECT_EQ(S(2)->Element(), E("m_bmp_2"));
  EXPECT_EQ(S(3)->Type(), SHAPE_SPRITE);
  EXPECT_EQ(S(3)->ShapeType(), RECT);
  EXPECT_EQ(S(4)->Type(), BITMAP_ELEMENT);
  EXPECT_EQ(S(5)->ShapeType(), LINE);
}

TEST_F(Movies, ShapeRecordsTakePointsBoxAndLook) {
  WriteMovie("m", Movie(5, Frame(1, Rec("C 1 Lne Pnt 1 2 Pnt 3 4 Pnt 5 6 LT -1") +
                                        Rec("C 2 Rct L 10 20 R 30 40 LT -1") +
                                        Rec("C 3 RRct L 1 1 R 5 5 CSze 2 3 LT -1 BClr 255 BStl 1 PClr 65280 "
                                            "PStl 2 PSze 3 4 B 60 A 45") +
                                        Rec("C 4 Elpse L 0 0 R 8 6 BClr -5 PClr 99999999 PStl 99 BStl -1 LT -1"))));
  ASSERT_EQ(LoadList("m"), KErrNone);
  h.RunFrames(1);
  // The third point is read and ignored.
  EXPECT_EQ(S(1)->ShapeType(), LINE);
  EXPECT_EQ(S(1)->Point1(), TPoint(1, 2));
  EXPECT_EQ(S(1)->Point2(), TPoint(3, 4));
  // "L" is the corner, "R" the extent: (10,20) to (40,60).
  EXPECT_EQ(S(2)->ShapeType(), RECT);
  EXPECT_EQ(S(2)->X(), 10);
  EXPECT_EQ(S(2)->Y(), 20);
  EXPECT_EQ(S(2)->Width(), 30);
  EXPECT_EQ(S(2)->Height(), 40);

  EXPECT_EQ(S(3)->ShapeType(), ROUNDRECT);
  EXPECT_EQ(S(3)->CornerSize(), TSize(2, 3));
  EXPECT_EQ(S(3)->BrushColor().Value(), 255u);
  EXPECT_EQ(S(3)->BrushStyle(), CGraphicsContext::ESolidBrush);
  EXPECT_EQ(S(3)->PenColor().Value(), 65280u);
  EXPECT_EQ(S(3)->PenStyle(), CGraphicsContext::EDottedPen);
  EXPECT_EQ(S(3)->PenSize(), TSize(3, 4));
  EXPECT_EQ(S(3)->Blend(), 60);
  EXPECT_EQ(S(3)->Angle(), 45);
  // Colours are clamped to 24 bits; styles the platform does not have give the defaults.
  EXPECT_EQ(S(4)->ShapeType(), ELLIPSE);
  EXPECT_EQ(S(4)->BrushColor().Value(), 0u);
  EXPECT_EQ(S(4)->PenColor().Value(), 0xFFFFFFu);
  EXPECT_EQ(S(4)->PenStyle(), CGraphicsContext::ESolidPen);
  EXPECT_EQ(S(4)->BrushStyle(), CGraphicsContext::ENullBrush);
}

TEST_F(Movies, BadNumbersGiveDefaultsAndAreConsumed) {
  AddBitmap("m_bmp_1", 4, 4);
  WriteMovie("m", Movie(5, Frame(1, Rec("C 1 Bmp 1 LT -1 B 40 B xyz A 12abc") +  // blend 100, angle 0
                                        Rec("C 2 Bmp 1 LT -1 B L 5 5") +        // "L" is B's value
                                        Rec("C 3 Bmp 1 LT -1 L 7 99999999999") +   // y overflows: 0
                                        Rec("C 4 Bmp 1 LT -1 L +8 -9"))));
  ASSERT_EQ(LoadList("m"), KErrNone);
  h.RunFrames(1);
  EXPECT_EQ(S(1)->Blend(), 100);
  EXPECT_EQ(S(1)->Angle(), 0);
  EXPECT_EQ(S(2)->Blend(), 100);
  EXPECT_EQ(S(2)->X(), 0);
  EXPECT_EQ(S(2)->Y(), 0);
  EXPECT_EQ(S(3)->X(), 7);
  EXPECT_EQ(S(3)->Y(), 0);
  EXPECT_EQ(S(4)->X(), 8);
  EXPECT_EQ(S(4)->Y(), -9);
}

// ---- Frames ----

TEST_F(Movies, FramesOutOfOrderOrRangeAreRefused) {
  AddBitmap("m_bmp_1", 2, 2);
  WriteMovie("m", Movie(10, Frame(7, Rec("C 1 Bmp 1 LT -1")) + Frame(5, Rec("C 2 Bmp 1 LT -1")) +
                                Frame(0, Rec("C 3 Bmp 1 LT -1")) + Frame(11, Rec("C 4 Bmp 1 LT -1")) +
                                Frame(9, Rec("C 5 Bmp 1 LT -1"))));
  ASSERT_EQ(LoadList("m"), KErrNone);
  h.RunFrames(6);
  EXPECT_EQ(S(1)->Type(), 0);  // not due before frame 7
  h.RunFrames(6);
  EXPECT_TRUE(C().MovieIsOver());
  EXPECT_EQ(S(1)->Type(), BITMAP_ELEMENT);
  EXPECT_EQ(S(2)->Type(), 0);
  EXPECT_EQ(S(3)->Type(), 0);
  EXPECT_EQ(S(4)->Type(), 0);
  EXPECT_EQ(S(5)->Type(), BITMAP_ELEMENT);
}

TEST_F(Movies, TempoIsSetOnlyWhenPositiveAndClamped) {
  WriteMovie("m", Movie(9, Frame(2, "Tpo 0") + Frame(3, "Tpo 500") + Frame(4, "tpo 30") + Frame(5, "Tpo x")));
  ASSERT_EQ(LoadList("m"), KErrNone);
  std::vector<TInt> tempos;
  h.Script().iOnEnd = [&](TInt) { tempos.push_back(C().Tempo()); };
  h.RunFrames(5);
  // At 100 frames per second the wait rounds down to 0, so more frames may have run.
  ASSERT_GE(tempos.size(), 5u);
  tempos.resize(5);
  EXPECT_EQ(tempos, (std::vector<TInt>{20, 20, 100, 30, 30}));
}

TEST_F(Movies, EndMovieAndIncompleteStructuresStopTheMovie) {
  AddBitmap("e_bmp_1", 2, 2);
  // A frame block after "EndMovie" is not loaded.
  WriteMovie("e", "BeginMovie BHd FrmCt 5 EHd " + Frame(1, Rec("C 1 Bmp 1 LT -1")) + " EndMovie " +
                      Frame(2, Rec("C 2 Bmp 1 LT -1")));
  ASSERT_EQ(LoadList("e"), KErrNone);
  h.RunFrames(4);
  EXPECT_EQ(S(1)->Type(), BITMAP_ELEMENT);
  EXPECT_EQ(S(2)->Type(), 0);

  // No "BeginMovie": an empty movie, loaded successfully.
  WriteMovie("n", "BHd FrmCt 5 EHd " + Frame(1, Rec("C 3 Bmp 1 LT -1")));
  ASSERT_EQ(LoadList("n"), KErrNone);
  EXPECT_FALSE(C().MovieLoadFailed());
  EXPECT_EQ(C().MovieLength(), 0);

  // No "EHd": no frame count, no background; every frame refused.
  C().BgColor(0x123456);
  WriteMovie("h", "BeginMovie BHd FrmCt 5 BgClr 0 " + Frame(1, Rec("C 3 Bmp 1 LT -1")));
  ASSERT_EQ(LoadList("h"), KErrNone);
  EXPECT_EQ(C().MovieLength(), 0);
  EXPECT_EQ(C().BgColor(), 0x123456);

  // A frame whose data ends inside a record is dropped with the record.
  AddBitmap("t_bmp_1", 2, 2);
  WriteMovie("t", "BeginMovie BHd FrmCt 5 EHd BFrm FrmNr 1 BSp C 4 Bmp 1 LT -1 EFrm");
  ASSERT_EQ(LoadList("t"), KErrNone);
  EXPECT_EQ(C().MovieLength(), 5);
  h.RunFrames(3);
  EXPECT_EQ(S(3)->Type(), 0);
  EXPECT_EQ(S(4)->Type(), 0);
}

TEST_F(Movies, BackgroundColourIsClampedAndDefaultsToWhite) {
  WriteMovie("a", Movie(1, "", "BgClr -5"));
  WriteMovie("b", Movie(1, "", "BgClr 16777216"));
  WriteMovie("c", Movie(1, "", "BgClr 255"));
  WriteMovie("d", Movie(1, ""));
  ASSERT_EQ(LoadList("a"), KErrNone);
  EXPECT_EQ(C().BgColor(), 0);
  ASSERT_EQ(LoadList("b"), KErrNone);
  EXPECT_EQ(C().BgColor(), 16777215);
  ASSERT_EQ(LoadList("c"), KErrNone);
  EXPECT_EQ(C().BgColor(), 255);
  ASSERT_EQ(LoadList("d"), KErrNone);
  EXPECT_EQ(C().BgColor(), 16777215);
}

// ---- Records on channels ----

TEST_F(Movies, RecordsOnAnOccupiedChannelMoveButKeepContentAndSize) {
  AddBitmap("m_bmp_1", 4, 4);
  AddBitmap("m_bmp_2", 10, 10);
  WriteMovie("m", Movie(5, Frame(1, Rec("C 1 Bmp 1 LT -1")) +
                               Frame(2, Rec("C 1 Bmp 2 L 5 6 B 50 A 90 LT 2")) +
                               Frame(3, Rec("C 1 R 8 9"))));
  ASSERT_EQ(LoadList("m"), KErrNone);
  h.RunFrames(2);
  // The content stays; a record without "R" leaves the size alone.
  EXPECT_EQ(S(1)->Element(), E("m_bmp_1"));
  EXPECT_EQ(S(1)->Width(), 4);
  EXPECT_EQ(S(1)->Height(), 4);
  EXPECT_EQ(S(1)->X(), 5);
  EXPECT_EQ(S(1)->Y(), 6);
  EXPECT_EQ(S(1)->Blend(), 50);
  EXPECT_EQ(S(1)->Angle(), 90);
  EXPECT_EQ(LifeTime(1), 2);
  // The second bitmap was only named by a record that is gone: nobody uses it.
  EXPECT_EQ(Uses(E("m_bmp_2")), 0);
  h.RunFrames(1);
  EXPECT_EQ(S(1)->Width(), 8);
  EXPECT_EQ(S(1)->Height(), 9);
}

TEST_F(Movies, BitmapRecordSetsRegistrationPointMaskAndSize) {
  CZElement* bitmap = AddBitmap("m_bmp_1", 6, 6);
  bitmap->RegPoint(TPoint(3, 3));
  WriteMovie("m", Movie(5, Frame(1, Rec("C 1 Bmp 1 RPnt 1 2 M R 12 18 T 3 4 LT -1")) +
                               Frame(2, Rec("C 2 Bmp 1 LT -1 R 5 -1"))));
  ASSERT_EQ(LoadList("m"), KErrNone);
  // Set when the movie loads: the last record loaded for the bitmap decides.
  EXPECT_EQ(bitmap->RegPoint(), TPoint(0, 0));
  h.RunFrames(1);
  EXPECT_TRUE(S(1)->Mask());
  EXPECT_EQ(S(1)->Width(), 12);
  EXPECT_EQ(S(1)->Height(), 18);
  EXPECT_TRUE(S(1)->Zoom());
  EXPECT_EQ(S(1)->Transition(), 3);
  EXPECT_EQ(S(1)->TransitionTime(), 4);
  h.RunFrames(1);
  EXPECT_FALSE(S(2)->Mask());
  EXPECT_EQ(S(2)->Width(), 6);  // a size needs both values
}

TEST_F(Movies, RecordsWithoutChannelOrElementAreDropped) {
  AddBitmap("m_bmp_1", 2, 2);
  WriteMovie("m", Movie(5, Frame(1, Rec("Bmp 1 LT -1") + Rec("C 0 Bmp 1 LT -1") + Rec("C -3 Rct LT -1") +
                                        Rec("C 2 Bmp 7 LT -1") + Rec("C 3 Bmp 0 LT -1") +
                                        Rec("C 99 Bmp 1 LT -1") + Rec("C 4 Bmp 1 LT -1"))));
  ASSERT_EQ(LoadList("m"), KErrNone);
  // Only the two records naming channel 99 and channel 4 were made.
  EXPECT_EQ(Uses(E("m_bmp_1")), 2);
  h.RunFrames(1);
  for (TInt c = 1; c <= 3; c++) EXPECT_EQ(S(c)->Type(), 0) << "channel " << c;
  EXPECT_EQ(S(4)->Type(), BITMAP_ELEMENT);
  // The record of a channel that does not exist went with its frame.
  EXPECT_EQ(Uses(E("m_bmp_1")), 1);
}

// ---- Resources ----

TEST_F(Movies, ResourcesLoadUnderTheMovieNameWithTheUnloadFlag) {
  using namespace MediaTest;
  WriteResource("Pictures", "r.mbm", Mbm({Picture12(3, 2, 0x000F), Picture12(2, 2, 0x00F0)}));
  WriteResource("Sounds", "r_1.wav", WavMono8(800));
  WriteResource("Sounds", "r_2.wav", WavMono8(800));  // beyond the sound count: not loaded
  AddBitmap("r_wav_3", 2, 2);                          // named like a sound, but not one
  WriteMovie("r", Movie(5, Frame(1, Rec("C 1 Bmp 2 LT -1") + "Snd 2") + Frame(2, "Snd 1") + Frame(3, "Snd 3"),
                        "BmpCt 1 SndCt 1"));
  ASSERT_EQ(LoadList("r"), KErrNone);
  ASSERT_FALSE(C().MovieLoadFailed());
  ASSERT_NE(E("r_bmp_1"), nullptr);
  ASSERT_NE(E("r_bmp_2"), nullptr);
  ASSERT_NE(E("r_wav_1"), nullptr);
  EXPECT_EQ(E("r_wav_2"), nullptr);
  EXPECT_EQ(E("r_wav_1")->Type(), SOUND_ELEMENT);
  EXPECT_TRUE(E("r_bmp_1")->Unload());
  EXPECT_TRUE(E("r_wav_1")->Unload());
  EXPECT_EQ(E("r_bmp_2")->Width(), 2);
  // Frame 2 holds the sound; "Snd 3" does not take the bitmap of that name.
  EXPECT_EQ(Uses(E("r_wav_1")), 1);
  EXPECT_EQ(Uses(E("r_wav_3")), 0);
  // Decrypt saw the movie by its name, the resources by their file names.
  std::vector<std::u16string> names;
  for (const ScriptCall& c : h.Script().Calls(ScriptCall::EDecrypt)) names.push_back(c.text);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"r", u"r.mbm", u"r_1.wav"}));

  // The next load frees what no sprite uses: the shown bitmap stays.
  h.RunFrames(1);
  WriteMovie("s", Movie(1, ""));
  ASSERT_EQ(LoadList("s"), KErrNone);
  EXPECT_NE(E("r_bmp_2"), nullptr);
  EXPECT_EQ(E("r_bmp_1"), nullptr);
  EXPECT_NE(E("r_wav_3"), nullptr);  // made without the unload flag
}

TEST_F(Movies, MissingResourceFailsTheWholeMovie) {
  WriteMovie("x", Movie(5, Frame(1, ""), "BmpCt 1"));
  ASSERT_EQ(LoadList("x"), KErrNone);
  EXPECT_TRUE(C().MovieLoadFailed());
  EXPECT_EQ(C().MovieLength(), 0);
}

TEST_F(Movies, LongNamesAreCutTo64CharactersForFilesAndElements) {
  const std::string cut(64, 'n');
  const std::string name = cut + "TAIL";
  WriteResource("Pictures", cut + ".mbm", MediaTest::Mbm({Picture12(2, 2, 1), Picture12(5, 3, 2)}));
  WriteMovie(cut, Movie(5, Frame(1, Rec("C 1 Bmp 2 LT -1")), "BmpCt 1"));
  ASSERT_EQ(LoadList(name), KErrNone);
  ASSERT_FALSE(C().MovieLoadFailed());
  ASSERT_NE(E(cut + "_bmp_2"), nullptr);
  h.RunFrames(1);
  EXPECT_EQ(S(1)->Element(), E(cut + "_bmp_2"));
  // Decrypt and the script see the whole name.
  EXPECT_EQ(h.Script().Calls(ScriptCall::EDecrypt).front().text, U(name));
  EXPECT_EQ(h.Script().Calls(ScriptCall::EFrameBegin).front().text, U(name));
}

// ---- Lists and automatic loading ----

TEST_F(Movies, FileListOfThreeLoopsBackToTheFirst) {
  for (const char* n : {"a", "b", "c"}) {
    WriteMovie(n, Movie(2, Frame(1, "") + Frame(2, "")));
  }
  h.WriteAppFile("list.txt", Xor("a b\r\n\tc\n", KKey));
  C().MovieLoop(ETrue);
  TRAPD(err, C().LoadFileMovieListL(_L("list.txt")));
  ASSERT_EQ(err, KErrNone);
  h.RunFrames(9);
  EXPECT_EQ(FrameEnds(), (std::vector<std::string>{"a:1", "a:2", "b:1", "b:2", "c:1", "c:2", "a:1", "a:2", "b:1"}));
  EXPECT_EQ(h.Script().Calls(ScriptCall::EDecrypt).front().text, u"list.txt");
}

TEST_F(Movies, FailedAutomaticLoadIsReportedForOneFrameEndAndOneFrameBegin) {
  WriteMovie("a", Movie(1, Frame(1, "")));
  C().MovieLoop(ETrue);
  ASSERT_EQ(LoadList("a bad|name"), KErrNone);
  EXPECT_FALSE(C().MovieLoadFailed());
  h.RunFrames(4);
  const auto begins = h.Script().Calls(ScriptCall::EFrameBegin);
  const auto ends = h.Script().Calls(ScriptCall::EFrameEnd);
  ASSERT_EQ(begins.size(), 4u);
  // Frame 2 loads the invalid name.
  EXPECT_FALSE(begins[1].movieLoadFailed);
  EXPECT_TRUE(ends[1].movieLoadFailed);
  EXPECT_EQ(ends[1].text, u"bad|name");
  EXPECT_TRUE(begins[2].movieLoadFailed);
  EXPECT_FALSE(ends[2].movieLoadFailed);
  EXPECT_FALSE(begins[3].movieLoadFailed);
  // No file was read for the invalid name.
  EXPECT_EQ(h.Script().Count(ScriptCall::EDecrypt), 1);
}

TEST_F(Movies, ListLoadsReportInvalidAndMissingMovies) {
  ASSERT_EQ(LoadList("bad|name"), KErrNone);
  EXPECT_TRUE(C().MovieLoadFailed());
  // A missing movie file is a failed load as well.
  h.RunFrames(1);
  ASSERT_EQ(LoadList("nothere"), KErrNone);
  EXPECT_TRUE(C().MovieLoadFailed());
  // From a list file the movie load's leave reaches the caller.
  h.WriteAppFile("l.txt", Xor("nothere", KKey));
  TRAPD(err, C().LoadFileMovieListL(_L("l.txt")));
  EXPECT_EQ(err, KErrNotFound);
}

TEST_F(Movies, FailedListLoadsLeaveTheFrameTimerRunning) {
  h.RunFrames(1);
  TRAPD(err, C().LoadFileMovieListL(_L("missing.txt")));
  EXPECT_EQ(err, KErrNotFound);
  TRAP(err, C().LoadFileMovieListL(_L("bad|list")));
  EXPECT_EQ(err, KErrNone);
  EXPECT_EQ(h.RunFrames(3), 3);
}

// ---- Allocation failures ----

TEST_F(Movies, AllocationFailuresWhileLoadingLeakNothing) {
  using namespace MediaTest;
  WriteResource("Pictures", "f.mbm", Mbm({Picture12(3, 2, 0x000F), Picture12(2, 2, 0x00F0)}));
  WriteResource("Sounds", "f_1.wav", WavMono8(800));
  WriteMovie("f", Movie(5, Frame(1, Rec("C 1 Bmp 1 LT -1") + Rec("C 2 Rct L 1 1 R 3 3") + "Snd 1") +
                               Frame(2, Rec("C 3 Bmp 2") + Rec("C 1 L 4 4")),
                        "BmpCt 1 SndCt 1"));
  // A first load leaves the loaders' own state (the image loader's name) in place.
  ASSERT_EQ(LoadList("f"), KErrNone);
  C().Reset();
  const TInt steps = ZHost::SweepAllocFailures([&] {
    TRAPD(err, C().LoadMovieListL(_L("f")));
    C().MovieEnd();
    C().Reset();
    User::LeaveIfError(err);
  });
  EXPECT_GT(steps, 10);
}

}  // namespace
