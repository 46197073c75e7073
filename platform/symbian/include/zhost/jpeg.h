// JPEG through libjpeg: the header's size, and decoding at a reduced scale (the image
// converter's JPEG codec).
#ifndef ZHOST_JPEG_H
#define ZHOST_JPEG_H

#include <e32std.h>
#include <zhost/mbm.h>

namespace ZHost::Jpeg {

// Receives the decoded picture's size before its rows.
class MScaledSink : public ZHost::Mbm::MRowSink {
public:
  virtual TInt Begin(TInt aWidth, TInt aHeight) = 0;

protected:
  ~MScaledSink() {}
};

// The size the frame header declares. KErrCorrupt if the header cannot be read.
IMPORT_C TInt ReadSize(const TUint8* aData, TInt aLength, TInt& aWidth, TInt& aHeight);

// Decodes at the smallest scale n/8 whose result is at least aMinWidth x aMinHeight
// (whole if none is smaller), after checking the declared size against the budget.
// Rows are TRgb values, top to bottom.
IMPORT_C TInt Decode(const TUint8* aData, TInt aLength, TInt aMinWidth, TInt aMinHeight, MScaledSink& aSink);

}  // namespace ZHost::Jpeg

#endif
