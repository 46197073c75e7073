// Arbitrary bytes as a CSV file and as a number-array file. The first two bytes choose
// the array's width and height (0..15 each); the rest is the file. Every cell of both
// tables is read back, including cells just outside them, and each answer is checked
// against what the tables report about themselves.
#include "FuzzTextEngine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  if (aSize < 2) return 0;
  FuzzText::Engine& engine = FuzzText::TheEngine();
  CZController& c = *engine.iController;
  const TInt wd = aData[0] & 15;
  const TInt ht = aData[1] & 15;
  const std::string bytes(reinterpret_cast<const char*>(aData + 2), aSize - 2);
  engine.SetResource("Data", "f.dat", bytes);
  _LIT(KFile, "f.dat");

  TInt loaded = 0;
  TRAPD(err, loaded = c.LoadFileCSVL(KFile));
  if (err == KErrNone && loaded != 1) std::abort();
  const TInt rows = c.CSVRowCount();
  if (rows < 0 || static_cast<size_t>(rows) > bytes.size()) std::abort();
  for (TInt row = -1; row <= rows; ++row) {
    for (TInt column = -1; column < 40; ++column) {
      TInt error = -7;
      const TPtrC cell = c.CSVCell(column, row, &error);
      if (error != 0 && error != 1) std::abort();
      // Outside the table there is no cell and nothing to read.
      if ((row < 0 || row >= rows || column < 0) && (error != 1 || cell.Length() != 0)) std::abort();
      if (error == 1) break;
      (void)c.CSVCellInt(column, row, &error);
    }
  }
  c.CSVReset();
  if (c.CSVRowCount() != 0) std::abort();

  TRAP(err, loaded = c.LoadFileArrayL(KFile, wd, ht));
  if (err == KErrNone && loaded != 1) std::abort();
  for (TInt y = -1; y <= ht; ++y) {
    for (TInt x = -1; x <= wd; ++x) {
      const TInt value = c.ArrayValue(x, y);
      if ((x < 0 || x >= wd || y < 0 || y >= ht) && value != 0) std::abort();
    }
  }
  c.ArrayReset();
  return 0;
}
