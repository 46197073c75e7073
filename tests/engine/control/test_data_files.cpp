// Array and CSV files: read from the application's Data folder through the file server,
// passed through the script's Decrypt (here an XOR that really changes the bytes).

#include <ZolvaneTesting.h>

#include <gtest/gtest.h>

using namespace ZTest;

namespace {

const TUint8 KKey = 0x5A;

class DataFiles : public ::testing::Test {
protected:
  void SetUp() override { h.Script().iXorKey = KKey; }
  // Writes Data\<name> encrypted, so only a decrypted read parses.
  void Write(const std::string& aName, const std::string& aPlain) {
    h.WriteAppFile("Data\\" + aName, Xor(aPlain, KKey));
  }
  TInt LoadCSV(const char16_t* aName) {
    TInt result = -1;
    TRAPD(err, result = h.Controller().LoadFileCSVL(TPtrC(reinterpret_cast<const TText*>(aName))));
    EXPECT_EQ(err, KErrNone);
    return result;
  }
  TInt LoadArray(const char16_t* aName, TInt aWd, TInt aHt, TInt* aLeave = nullptr) {
    TInt result = -1;
    TRAPD(err, result = h.Controller().LoadFileArrayL(
                   TPtrC(reinterpret_cast<const TText*>(aName)), aWd, aHt));
    if (aLeave) {
      *aLeave = err;
    } else {
      EXPECT_EQ(err, KErrNone);
    }
    return result;
  }
  std::u16string Cell(TInt aColumn, TInt aRow, TInt& aError) {
    return ToU16(h.Controller().CSVCell(aColumn, aRow, &aError));
  }
  Harness h;
};

}  // namespace

TEST_F(DataFiles, CSVRowsSplitOnlyAtCarriageReturnLineFeed) {
  Write("t.csv", "a;b\r\n\r\nx\ny;z\rw\r\nlast");
  ASSERT_EQ(LoadCSV(u"t.csv"), 1);
  ASSERT_EQ(h.Controller().CSVRowCount(), 4);
  TInt err = -1;
  EXPECT_EQ(Cell(0, 0, err), u"a");
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Cell(0, 1, err), u"");  // an empty line is an empty row
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Cell(1, 2, err), u"z\rw");  // lone LF and CR stay in the row
  EXPECT_EQ(Cell(0, 3, err), u"last");

  // A final pair adds no empty row; a file with only line feeds is one row.
  Write("u.csv", "1;2\r\n3;4\r\n");
  ASSERT_EQ(LoadCSV(u"u.csv"), 1);
  EXPECT_EQ(h.Controller().CSVRowCount(), 2);
  Write("v.csv", "1\n2\n3\n");
  ASSERT_EQ(LoadCSV(u"v.csv"), 1);
  EXPECT_EQ(h.Controller().CSVRowCount(), 1);
}

TEST_F(DataFiles, CSVCellsColumnsAndQuotes) {
  Write("c.csv", "a;b\r\n\"quoted; not\";\"\";\";x\r\n12abc;letters; 7 ;-3");
  ASSERT_EQ(LoadCSV(u"c.csv"), 1);
  TInt err = -1;
  EXPECT_EQ(Cell(0, 0, err), u"a");
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Cell(1, 0, err), u"b");
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Cell(2, 0, err), u"");  // a row of two fields has no third
  EXPECT_EQ(err, 1);
  err = -1;
  EXPECT_EQ(Cell(-1, 0, err), u"");
  EXPECT_EQ(err, 1);
  err = -1;
  EXPECT_EQ(Cell(0, 3, err), u"");
  EXPECT_EQ(err, 1);
  err = -1;
  EXPECT_EQ(Cell(0, -1, err), u"");
  EXPECT_EQ(err, 1);

  // No quoting of separators; only a first and last quote are removed.
  EXPECT_EQ(Cell(0, 1, err), u"\"quoted");
  EXPECT_EQ(Cell(1, 1, err), u" not\"");
  EXPECT_EQ(Cell(2, 1, err), u"");      // two quotes: empty
  EXPECT_EQ(Cell(3, 1, err), u"\"");    // one quote stays
  EXPECT_EQ(Cell(4, 1, err), u"x");

  EXPECT_EQ(h.Controller().CSVCellInt(0, 2, &err), 12);
  EXPECT_EQ(err, 0);
  err = -1;
  EXPECT_EQ(h.Controller().CSVCellInt(1, 2, &err), 0);
  EXPECT_EQ(err, 0);  // the cell exists; it is just not a number
  EXPECT_EQ(h.Controller().CSVCellInt(3, 2, &err), -3);
  EXPECT_EQ(h.Controller().CSVCellInt(9, 2, &err), 0);
  EXPECT_EQ(err, 1);
  // A null error output is allowed.
  EXPECT_EQ(h.Controller().CSVCellInt(3, 2, NULL), -3);

  h.Controller().CSVReset();
  EXPECT_EQ(h.Controller().CSVRowCount(), 0);
}

TEST_F(DataFiles, CSVLoadDiscardsOldRowsEvenWhenTheNewFileIsMissing) {
  Write("c.csv", "a\r\nb");
  ASSERT_EQ(LoadCSV(u"c.csv"), 1);
  EXPECT_EQ(h.Controller().CSVRowCount(), 2);
  TRAPD(err, h.Controller().LoadFileCSVL(_L("missing.csv")));
  EXPECT_EQ(err, KErrNotFound);
  EXPECT_EQ(h.Controller().CSVRowCount(), 0);
  // An invalid name is not an error: the result is 0.
  EXPECT_EQ(LoadCSV(u"bad<name>.csv"), 0);
  // Empty and binary files load as what they are.
  Write("empty.csv", "");
  EXPECT_EQ(LoadCSV(u"empty.csv"), 1);
  EXPECT_EQ(h.Controller().CSVRowCount(), 0);
  Write("bin.csv", std::string("\0\xff\x01;\x80\r\n\0", 8));
  EXPECT_EQ(LoadCSV(u"bin.csv"), 1);
  EXPECT_EQ(h.Controller().CSVRowCount(), 2);
  TInt e = -1;
  EXPECT_EQ(Cell(1, 0, e), std::u16string(u"\x80"));
}

TEST_F(DataFiles, ArrayFillsRowByRowAndNonNumbersCountAsZero) {
  Write("a.txt", "1 2\n word\t4 99");
  ASSERT_EQ(LoadArray(u"a.txt", 2, 2), 1);
  CZController& c = h.Controller();
  EXPECT_EQ(c.ArrayValue(0, 0), 1);
  EXPECT_EQ(c.ArrayValue(1, 0), 2);
  EXPECT_EQ(c.ArrayValue(0, 1), 0);
  EXPECT_EQ(c.ArrayValue(1, 1), 4);
  EXPECT_EQ(c.ArrayValue(2, 0), 0);   // outside
  EXPECT_EQ(c.ArrayValue(-1, 0), 0);
  EXPECT_EQ(c.ArrayValue(0, 2), 0);

  ASSERT_EQ(LoadArray(u"a.txt", 3, 2), 1);
  EXPECT_EQ(c.ArrayValue(0, 0), 1);
  EXPECT_EQ(c.ArrayValue(2, 0), 0);   // "word"
  EXPECT_EQ(c.ArrayValue(0, 1), 4);
  EXPECT_EQ(c.ArrayValue(1, 1), 99);
  EXPECT_EQ(c.ArrayValue(2, 1), 0);   // no tokens left

  Write("s.txt", "-7 +8 0x10");
  ASSERT_EQ(LoadArray(u"s.txt", 3, 1), 1);
  EXPECT_EQ(c.ArrayValue(0, 0), -7);
  EXPECT_EQ(c.ArrayValue(1, 0), 8);
  EXPECT_EQ(c.ArrayValue(2, 0), 0);   // decimal only: "0x10" reads 0

  c.ArrayReset();
  EXPECT_EQ(c.ArrayValue(0, 0), 0);
}

TEST_F(DataFiles, ArraySizesZeroNegativeOrTooLarge) {
  Write("a.txt", "1 2 3 4");
  CZController& c = h.Controller();
  ASSERT_EQ(LoadArray(u"a.txt", 2, 2), 1);
  EXPECT_EQ(LoadArray(u"a.txt", 0, 5), 1);  // an empty array is a result
  EXPECT_EQ(c.ArrayValue(0, 0), 0);

  ASSERT_EQ(LoadArray(u"a.txt", 2, 2), 1);
  EXPECT_EQ(LoadArray(u"a.txt", -2, -2), 0);  // negative: no array, nothing kept
  EXPECT_EQ(c.ArrayValue(0, 0), 0);
  EXPECT_EQ(LoadArray(u"a.txt", -1, 3), 0);
  EXPECT_EQ(LoadArray(u"a.txt", 65536, 65536), 0);    // product overflows
  EXPECT_EQ(LoadArray(u"a.txt", 0x7fffffff, 2), 0);
  EXPECT_EQ(LoadArray(u"a.txt", 30000, 30000), 0);    // more than memory allows
  EXPECT_EQ(c.ArrayValue(0, 0), 0);
  ASSERT_EQ(LoadArray(u"a.txt", 2, 2), 1);
  EXPECT_EQ(c.ArrayValue(1, 1), 4);
}

TEST_F(DataFiles, ArrayMissingOrInvalidFile) {
  TInt leave = 0;
  EXPECT_EQ(LoadArray(u"missing.txt", 2, 2, &leave), -1);
  EXPECT_EQ(leave, KErrNotFound);
  EXPECT_EQ(LoadArray(u"bad|name.txt", 2, 2), 0);
  // Missing folder below the application: the file server's path error.
  EXPECT_EQ(LoadArray(u"nodir\\x.txt", 2, 2, &leave), -1);
  EXPECT_EQ(leave, KErrPathNotFound);
}

TEST_F(DataFiles, DecryptSeesEveryFileAndItsResultIsIgnored) {
  Write("a.txt", "5 6");
  Write("c.csv", "p;q");
  h.Script().iDecryptResult = KErrCorrupt;
  ASSERT_EQ(LoadArray(u"a.txt", 2, 1), 1);
  ASSERT_EQ(LoadCSV(u"c.csv"), 1);
  const std::vector<ScriptCall> calls = h.Script().Calls(ScriptCall::EDecrypt);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].text, u"a.txt");  // the name exactly as the caller gave it
  EXPECT_EQ(calls[1].text, u"c.csv");
  EXPECT_EQ(h.Controller().ArrayValue(1, 0), 6);
  TInt err = -1;
  EXPECT_EQ(Cell(1, 0, err), u"q");
}

TEST_F(DataFiles, WithoutAScriptBytesAreParsedAsTheyAre) {
  h.Controller().Script(NULL);
  h.WriteAppFile("Data\\plain.csv", "x;y");
  ASSERT_EQ(LoadCSV(u"plain.csv"), 1);
  TInt err = -1;
  EXPECT_EQ(Cell(1, 0, err), u"y");
}

TEST_F(DataFiles, AbsoluteAndRelativeNamesResolveAgainstTheApplication) {
  // A name with its own directory keeps it; the Data level is added below it.
  h.WriteAppFile("Sub\\Data\\n.txt", Xor("42", KKey));
  const std::string root = h.Env().AppFolder();  // ends in a backslash
  std::u16string full;
  for (char ch : root + "Sub\\n.txt") full.push_back(static_cast<char16_t>(ch));
  ASSERT_EQ(LoadArray(full.c_str(), 1, 1), 1);
  EXPECT_EQ(h.Controller().ArrayValue(0, 0), 42);
}
