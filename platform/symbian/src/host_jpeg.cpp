// JPEG through libjpeg directly, so that a large picture is decoded at a reduced
// scale instead of whole. libjpeg reports errors by longjmp: the functions that call it
// hold nothing with a destructor, and free their own buffers on both paths.

#include <gdi.h>
#include <zhost/jpeg.h>
#include <zhost/picture.h>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace ZHost::Jpeg {

namespace {

struct TErrorManager {
  jpeg_error_mgr iPublic;
  std::jmp_buf iJump;
  TInt iError;
};

extern "C" void ErrorExit(j_common_ptr aInfo) {
  TErrorManager* manager = reinterpret_cast<TErrorManager*>(aInfo->err);
  const int code = aInfo->err->msg_code;
  manager->iError = code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE ? KErrNoMemory : KErrCorrupt;
  std::longjmp(manager->iJump, 1);
}

// Warnings (damaged data, which decodes as far as it goes) are not printed.
extern "C" void OutputMessage(j_common_ptr) {}

// Ends decoding of a progressive picture with too many scans.
extern "C" void Progress(j_common_ptr aInfo) {
  if (aInfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(aInfo)->input_scan_number > ZHost::Picture::KMaxJpegScans) {
    TErrorManager* manager = reinterpret_cast<TErrorManager*>(aInfo->err);
    manager->iError = KErrCorrupt;
    std::longjmp(manager->iJump, 1);
  }
}

void Prepare(jpeg_decompress_struct& aInfo, TErrorManager& aErrors, jpeg_progress_mgr& aProgress) {
  aInfo.err = jpeg_std_error(&aErrors.iPublic);
  aErrors.iPublic.error_exit = ErrorExit;
  aErrors.iPublic.output_message = OutputMessage;
  aErrors.iError = KErrNone;
  aProgress.progress_monitor = Progress;
}

void Start(jpeg_decompress_struct& aInfo, jpeg_progress_mgr& aProgress, const TUint8* aData, TInt aLength) {
  jpeg_create_decompress(&aInfo);
  aInfo.progress = &aProgress;
  // Whatever the file claims, libjpeg's own arrays stay within the budget.
  aInfo.mem->max_memory_to_use = static_cast<long>(ZHost::Picture::MaxDecodedBytes());
  jpeg_mem_src(&aInfo, aData, static_cast<unsigned long>(aLength));
  jpeg_read_header(&aInfo, TRUE);
}

}  // namespace

EXPORT_C TInt ReadSize(const TUint8* aData, TInt aLength, TInt& aWidth, TInt& aHeight) {
  aWidth = aHeight = 0;
  if (!aData || aLength <= 0) return KErrCorrupt;
  jpeg_decompress_struct info;
  TErrorManager errors;
  jpeg_progress_mgr progress;
  Prepare(info, errors, progress);
  if (setjmp(errors.iJump)) {
    jpeg_destroy_decompress(&info);
    return errors.iError;
  }
  Start(info, progress, aData, aLength);
  aWidth = static_cast<TInt>(info.image_width);
  aHeight = static_cast<TInt>(info.image_height);
  jpeg_destroy_decompress(&info);
  return KErrNone;
}

EXPORT_C TInt Decode(const TUint8* aData, TInt aLength, TInt aMinWidth, TInt aMinHeight, MScaledSink& aSink) {
  if (!aData || aLength <= 0) return KErrCorrupt;
  jpeg_decompress_struct info;
  TErrorManager errors;
  jpeg_progress_mgr progress;
  Prepare(info, errors, progress);
  // Set before the jump point, freed on both paths.
  TUint32* volatile out = NULL;
  JSAMPLE* volatile samples = NULL;
  if (setjmp(errors.iJump)) {
    jpeg_destroy_decompress(&info);
    User::Free(out);
    User::Free(samples);
    return errors.iError;
  }
  Start(info, progress, aData, aLength);
  TInt err = ZHost::Picture::CheckSize(info.image_width, info.image_height);
  if (err == KErrNone) {
    const TBool cmyk = info.num_components == 4;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    // The smallest scale that still covers the bitmap.
    info.scale_denom = ZHost::Picture::KJpegScaleDenominator;
    for (TInt n = 1; n <= ZHost::Picture::KJpegScaleDenominator; ++n) {
      info.scale_num = static_cast<unsigned int>(n);
      jpeg_calc_output_dimensions(&info);
      if (static_cast<TInt>(info.output_width) >= aMinWidth && static_cast<TInt>(info.output_height) >= aMinHeight) {
        break;
      }
    }
    jpeg_start_decompress(&info);
    const TInt width = static_cast<TInt>(info.output_width);
    const TInt height = static_cast<TInt>(info.output_height);
    const TInt components = info.output_components;
    out = static_cast<TUint32*>(User::Alloc(static_cast<TInt>(sizeof(TUint32)) * (width > 0 ? width : 1)));
    samples = static_cast<JSAMPLE*>(User::Alloc(components * (width > 0 ? width : 1)));
    err = (out && samples) ? aSink.Begin(width, height) : KErrNoMemory;
    for (TInt y = 0; err == KErrNone && y < height; ++y) {
      JSAMPROW row = samples;
      if (jpeg_read_scanlines(&info, &row, 1) != 1) {
        err = KErrCorrupt;
        break;
      }
      for (TInt x = 0; x < width; ++x) {
        const JSAMPLE* p = samples + components * x;
        if (cmyk) {
          // Adobe's CMYK is stored inverted: each ink is 255 - its amount.
          const TInt k = p[3];
          out[x] = TRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255).Value();
        } else {
          out[x] = TRgb(p[0], p[1], p[2]).Value();
        }
      }
      err = aSink.Row(y, out, width);
    }
  }
  jpeg_destroy_decompress(&info);
  User::Free(out);
  User::Free(samples);
  return err;
}

}  // namespace ZHost::Jpeg
