// A 4096-colour bitmap with a context on it, and pictures of its pixels as text rows:
// '.' for 0, 'P' for the pen colour (red), 'B' for the brush colour (blue), 'g' for the
// guard colour, '?' for anything else.
#ifndef GC_FIXTURE_H
#define GC_FIXTURE_H

#include <bitdev.h>
#include <bitstd.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

const TUint16 KPenWord = 0x000F;
const TUint16 KBrushWord = 0x0F00;
const TUint16 KGuardWord = 0x0123;

typedef std::set<std::pair<TInt, TInt>> TPixelSet;

class GcTest : public ::testing::Test {
protected:
  void SetUp() override { Make(TSize(40, 30)); }
  void TearDown() override { Free(); }

  void Make(const TSize& aSize) {
    Free();
    iBitmap = new CFbsBitmap;
    ASSERT_EQ(iBitmap->Create(aSize, EColor4K), KErrNone);
    iDevice = CFbsBitmapDevice::NewL(iBitmap);
    ASSERT_EQ(iDevice->CreateContext(iGc), KErrNone);
    iGc->SetPenColor(KRgbRed);
    iGc->SetBrushColor(KRgbBlue);
  }
  void Free() {
    delete iGc;
    delete iDevice;
    delete iBitmap;
    iGc = NULL;
    iDevice = NULL;
    iBitmap = NULL;
  }
  TInt Stride() const { return CFbsBitmap::ScanLineLength(iBitmap->SizeInPixels().iWidth, EColor4K) / 2; }
  TUint16* Words() const { return reinterpret_cast<TUint16*>(iBitmap->DataAddress()); }
  TUint16 At(TInt aX, TInt aY) const { return Words()[aY * Stride() + aX]; }
  // Every stored word, padding included, set to aWord.
  void FillAll(TUint16 aWord) {
    for (TInt i = 0; i < Stride() * iBitmap->SizeInPixels().iHeight; ++i) Words()[i] = aWord;
  }
  void Wipe() { FillAll(0); }

  // The rows aTop .. aTop + aRows - 1, columns aLeft .. aLeft + aCols - 1.
  std::vector<std::string> Picture(TInt aLeft, TInt aTop, TInt aCols, TInt aRows) const {
    std::vector<std::string> rows;
    for (TInt y = aTop; y < aTop + aRows; ++y) {
      std::string row;
      for (TInt x = aLeft; x < aLeft + aCols; ++x) {
        const TUint16 w = At(x, y);
        row += w == 0 ? '.' : w == KPenWord ? 'P' : w == KBrushWord ? 'B' : w == KGuardWord ? 'g' : '?';
      }
      rows.push_back(row);
    }
    return rows;
  }
  // The positions holding aWord.
  TPixelSet Holding(TUint16 aWord) const {
    TPixelSet out;
    const TSize size = iBitmap->SizeInPixels();
    for (TInt y = 0; y < size.iHeight; ++y)
      for (TInt x = 0; x < size.iWidth; ++x)
        if (At(x, y) == aWord) out.insert({x, y});
    return out;
  }
  TPixelSet PenPixels() const { return Holding(KPenWord); }

  CFbsBitmap* iBitmap = NULL;
  CFbsBitmapDevice* iDevice = NULL;
  CFbsBitGc* iGc = NULL;
};

#endif
