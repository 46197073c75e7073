// The parsers' diagnostics hook inside the engine: an observer hears each silent decision
// with file, line and column; what the parsers build is the same with and without an
// observer; no observer means no reports and nothing registered; allocation failures
// with an observer set leak nothing.
#include <gtest/gtest.h>

#include <ZDiagnostics.h>
#include <ZolvaneTesting.h>
#include <zhost/allocfail.h>

#include <string>
#include <vector>

using namespace ZTest;

namespace {

struct Report {
  std::string file;
  TInt line;
  TInt column;
  MZDiagnosticObserver::TKind kind;
  std::string message;
};

class Recorder : public MZDiagnosticObserver {
public:
  void Diagnostic(const TDesC& aFileName, TInt aLine, TInt aColumn, TKind aKind, const TDesC8& aMessage) override {
    iReports.push_back({ToUtf8(aFileName), aLine, aColumn, aKind,
                        std::string(reinterpret_cast<const char*>(aMessage.Ptr()), aMessage.Length())});
  }
  std::vector<Report> iReports;
};

// Sets the observer for the life of the object.
struct ObserverScope {
  explicit ObserverScope(MZDiagnosticObserver* aObserver) { TZDiagnostics::SetObserver(aObserver); }
  ~ObserverScope() { TZDiagnostics::SetObserver(NULL); }
};

TPtrC Des(const std::u16string& aText) {
  return TPtrC(reinterpret_cast<const TText*>(aText.data()), static_cast<TInt>(aText.size()));
}

// What a movie left in the channels after some frames: type, place, blend, size, angle.
std::string Snapshot(Harness& aHarness, TInt aChannels) {
  std::string s = "length " + std::to_string(aHarness.Controller().MovieLength()) + "\n";
  for (TInt c = 1; c <= aChannels; ++c) {
    CZSprite* sp = aHarness.Controller().Sprite(c);
    s += std::to_string(c) + ": " + std::to_string(sp->Type()) + " " + std::to_string(sp->X()) + "," +
         std::to_string(sp->Y()) + " b" + std::to_string(sp->Blend()) + " a" + std::to_string(sp->Angle()) + " " +
         std::to_string(sp->Width()) + "x" + std::to_string(sp->Height()) + " p" + std::to_string(sp->Point1().iX) +
         "," + std::to_string(sp->Point2().iY) + "\n";
  }
  return s;
}

// A movie full of things the parser passes over, and records that do work.
const char KFaultyMovie[] =
    "junk BeginMovie BFrm BHd FrmCt 4 BgClr -3 Tpo 3 EHd\r\n"
    "BFrm FrmNr 1 Tpo 0 BSp C 1 Rct L 1 2 R 5 5 BStl 99 B x ESp BSp C 0 ESp BSp C 2 Bmp 4 ESp EFrm\r\n"
    "BFrm FrmNr 3 BSp C 3 Elpse L 4 4 R 2 2 A 400 Pnt 1 1 Pnt 2 2 Pnt 3 3 ESp EFrm\r\n"
    "BFrm FrmNr 2 BSp C 4 Lne Pnt 0 0 Pnt 9 9 ESp EFrm\r\n"
    "BFrm FrmNr 4 BSp C 1 L 7 7 B 40 ESp BSp C 2 Rct EFrm\r\n"
    "EndMovie BFrm FrmNr 4 EFrm";

std::string PlayFaultyMovie(MZDiagnosticObserver* aObserver) {
  Harness::Options o;
  o.channels = 4;
  Harness h(o);
  h.WriteAppFile("Movies\\f.movie", KFaultyMovie);
  ObserverScope scope(aObserver);
  TRAPD(err, h.Controller().LoadMovieListL(_L("f")));
  EXPECT_EQ(err, KErrNone);
  EXPECT_FALSE(h.Controller().MovieLoadFailed());
  h.Controller().MovieStart();
  h.RunFrames(5);
  return Snapshot(h, 4);
}

TEST(Diagnostics, ObserverChangesNothingTheParsersBuild) {
  Recorder recorder;
  const std::string without = PlayFaultyMovie(NULL);
  const std::string with = PlayFaultyMovie(&recorder);
  EXPECT_EQ(without, with);
  EXPECT_GT(recorder.iReports.size(), 8u);
}

TEST(Diagnostics, ReportsNameTheFileLineAndColumn) {
  Recorder recorder;
  PlayFaultyMovie(&recorder);
  // Every report lies in the movie file, with a position.
  for (const Report& r : recorder.iReports) {
    EXPECT_EQ(r.file, "C:\\System\\Apps\\Test\\Movies\\f.movie") << r.message;
    EXPECT_GE(r.line, 1) << r.message;
    EXPECT_GE(r.column, 1) << r.message;
  }
  auto find = [&](const std::string& aMessage) -> const Report* {
    for (const Report& r : recorder.iReports)
      if (r.message == aMessage) return &r;
    return nullptr;
  };
  const Report* bgClr = find("\"BgClr\" -3 clamped to 0");
  ASSERT_NE(bgClr, nullptr);
  EXPECT_EQ(bgClr->line, 1);
  EXPECT_EQ(bgClr->column, 34);
  EXPECT_EQ(bgClr->kind, MZDiagnosticObserver::EWarning);
  const Report* early = find("\"BFrm\" before the header: skipped");
  ASSERT_NE(early, nullptr);
  EXPECT_EQ(early->column, 17);
  EXPECT_EQ(early->kind, MZDiagnosticObserver::EError);
  const Report* tempo = find("\"Tpo\" inside the header: skipped (\"EHd\" missing?)");
  ASSERT_NE(tempo, nullptr);
  EXPECT_EQ(tempo->column, 43);
  const Report* refused = find("frame 2 after 3 refused: its records are skipped");
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(refused->line, 4);
  EXPECT_EQ(refused->column, 6);
  const Report* unfinished = find("sprite record without \"ESp\" at the end of the data: dropped");
  ASSERT_NE(unfinished, nullptr);
  EXPECT_EQ(unfinished->line, 5);
  EXPECT_EQ(unfinished->column, 37);
  const Report* angleValue = find("\"Pnt\" has no effect on a simple-shape record: ignored");
  EXPECT_EQ(angleValue, nullptr);  // an ellipse is a simple shape: the report names its kind
  EXPECT_NE(find("\"Pnt\" has no effect on this simple-shape record: ignored"), nullptr);
  EXPECT_NE(find("unknown element \"f_bmp_4\": record dropped"), nullptr);
  EXPECT_NE(find("channel 0 below 1: record dropped"), nullptr);
}

TEST(Diagnostics, NoObserverNoReportsAndNothingRegistered) {
  Recorder recorder;
  PlayFaultyMovie(NULL);
  EXPECT_TRUE(recorder.iReports.empty());
  EXPECT_FALSE(TZDiagnostics::Active());
  EXPECT_EQ(TZDiagnostics::FileBytes(), nullptr);
}

TEST(Diagnostics, SourcesEndWithTheirLoadAlsoOnALeave) {
  Recorder recorder;
  Harness h;
  // The text file is missing: the header's load leaves through the movie load.
  h.WriteAppFile("Movies\\m.movie", "BeginMovie BHd FrmCt 1 TxtCt 1 EHd EndMovie");
  {
    ObserverScope scope(&recorder);
    TRAPD(err, h.Controller().LoadFileMovieListL(_L("nolist")));
    EXPECT_NE(err, KErrNone);
    h.WriteAppFile("list", "m");
    TRAP(err, h.Controller().LoadFileMovieListL(_L("list")));
    EXPECT_EQ(err, KErrNotFound);
    EXPECT_EQ(TZDiagnostics::FileBytes(), nullptr);
  }
  ASSERT_EQ(recorder.iReports.size(), 1u);
  EXPECT_EQ(recorder.iReports[0].message, "\"TxtCt\": cannot load \"m.txt\" (error -1): the movie load fails");
  EXPECT_EQ(recorder.iReports[0].column, 24);
}

TEST(Diagnostics, DescriptionsFromTheApplicationHaveNoPlace) {
  Recorder recorder;
  Harness h;
  ObserverScope scope(&recorder);
  const std::u16string text = u"BHd Fnt Futura 12 EHd Hello";
  ASSERT_NE(h.Controller().ElementTextAdd(Des(text), _L("t")), nullptr);
  ASSERT_EQ(recorder.iReports.size(), 1u);
  EXPECT_EQ(recorder.iReports[0].file, "");
  EXPECT_EQ(recorder.iReports[0].line, 0);
  EXPECT_EQ(recorder.iReports[0].message,
            "font \"Futura\" unknown (\"Arial\", \"Courier\" or \"Roman\"): font name unchanged");
}

TEST(Diagnostics, ResourceWordsMapToTheirFilePlaces) {
  Recorder recorder;
  Harness h;
  h.WriteAppFile("Shapes\\s.shp", "BRes\n  #BShp BHd\n   PStl 9 EHd 1 1 #EShp\n#BShp BHd BClr q EHd #EShp");
  ObserverScope scope(&recorder);
  TRAPD(err, h.Controller().LoadFileShapeL(_L("s.shp"), _L("s")));
  EXPECT_EQ(err, KErrNone);
  ASSERT_EQ(recorder.iReports.size(), 2u);
  EXPECT_EQ(recorder.iReports[0].message, "\"PStl\" 9 clamped to 5");
  EXPECT_EQ(recorder.iReports[0].line, 3);
  EXPECT_EQ(recorder.iReports[0].column, 4);
  EXPECT_EQ(recorder.iReports[1].message, "\"q\" is not a number for \"BClr\": 16777215 used");
  EXPECT_EQ(recorder.iReports[1].line, 4);
  EXPECT_EQ(recorder.iReports[1].column, 16);
  EXPECT_NE(h.Controller().Element(_L("s_shp_2")), nullptr);
}

TEST(Diagnostics, LongWordsAreCutInMessages) {
  TZDiagnosticMessage message;
  message.AddWord(_L8("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(message.Ptr()), message.Length()),
            "\"abcdefghijklmnopqrstuvwxyzabcdefghijklmn\"...");
  TZDiagnosticMessage binary;
  binary.AddWord(_L8("a\x01\xff"));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(binary.Ptr()), binary.Length()), "\"a??\"");
  TZDiagnosticMessage full;
  for (int i = 0; i < 100; ++i) full.Add("0123456789");
  EXPECT_EQ(full.Length(), full.MaxLength());
}

TEST(Diagnostics, AllocationFailuresWithAnObserverLeakNothing) {
  Recorder recorder;
  Harness h;
  h.WriteAppFile("Movies\\f.movie", KFaultyMovie);
  h.WriteAppFile("Texts\\f.txt", "BRes #BTxt BHd Fnt X 3 EHd hi #ETxt #BTxt");
  ObserverScope scope(&recorder);
  const TInt steps = ZHost::SweepAllocFailures([&] {
    TRAPD(err, h.Controller().LoadMovieListL(_L("f")));
    TRAPD(err2, h.Controller().LoadFileTextL(_L("f.txt"), _L("f")));
    h.Controller().MovieEnd();
    h.Controller().Reset();
    User::LeaveIfError(err);
    User::LeaveIfError(err2);
  });
  EXPECT_GT(steps, 5);
  EXPECT_EQ(TZDiagnostics::FileBytes(), nullptr);
}

}  // namespace
