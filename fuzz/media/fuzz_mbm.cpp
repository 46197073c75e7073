// The multi-bitmap codec on any bytes: the picture table, every header and the decoding
// of each picture must end with a result, never read outside the buffer.
#include <zhost/mbm.h>

#include <cstddef>
#include <cstdint>

namespace {

class Sink : public ZHost::Mbm::MRowSink {
public:
  TInt Row(TInt aY, const TUint32* aPixels, TInt aWidth) override {
    for (TInt x = 0; x < aWidth; ++x) iSum += aPixels[x];
    // Bound the work of one input: stop pictures with very many rows.
    return aY < 4096 ? KErrNone : KErrTooBig;
  }
  TUint32 iSum = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  if (aSize > (1u << 20)) return 0;
  const TInt length = static_cast<TInt>(aSize);
  ZHost::Mbm::Recognise(aData, length);
  TInt count = 0;
  if (ZHost::Mbm::PictureCount(aData, length, count) != KErrNone) return 0;
  for (TInt k = 0; k < count && k < 16; ++k) {
    ZHost::Mbm::TPictureHeader header;
    if (ZHost::Mbm::ReadHeader(aData, length, k, header) != KErrNone) continue;
    Sink sink;
    ZHost::Mbm::Decode(aData, length, k, sink);
  }
  return 0;
}
