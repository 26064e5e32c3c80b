#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace hw {

// One decompression of a JPEG file held in memory, on libjpeg-turbo, with the parts a region
// decode needs: DCT scaling, column cropping and row skipping.
//
// libjpeg reports a fatal error by calling the error manager's error_exit, which must not
// return. Ours jumps (longjmp) back into the method below that called libjpeg, which then
// returns false: only libjpeg's own C frames lie between, so no C++ object is skipped. After a
// failure every method fails. Damaged or missing picture data is no fatal error to libjpeg:
// it warns and decodes on (a file that ends early shows mid-grey from the first missing block
// on); the warnings are counted, never printed.
class JpegDecompressor {
 public:
  // `bytes` must outlive the decompressor.
  explicit JpegDecompressor(std::string_view bytes);
  ~JpegDecompressor();
  JpegDecompressor(const JpegDecompressor&) = delete;
  JpegDecompressor& operator=(const JpegDecompressor&) = delete;

  // Reads the headers up to the first scan. False when they are broken or incomplete.
  bool ReadHeader();
  // After ReadHeader: the picture's size.
  int width() const;
  int height() const;
  // After ReadHeader: true when the picture is one sequential scan of all its components in
  // grey, YCbCr or RGB, the pictures that can be decoded a band of rows at a time. A
  // progressive picture (or one in several scans) needs coefficient memory for the whole
  // picture first; CMYK needs another colour conversion.
  bool ReadableByRows() const;

  // Starts decoding at 1/scale of the picture's size (scale 1, 2, 4 or 8) into 32-bit pixels
  // B, G, R, X.
  bool Start(int scale);
  // After Start: the size of the decoded picture, ⌈width/scale⌉ × ⌈height/scale⌉.
  int outputWidth() const;
  int outputHeight() const;
  // Decodes only the columns [*first, *first + *count) of the decoded picture from here on,
  // which libjpeg widens to whole blocks: *first and *count receive the columns each row then
  // holds. Before the first row only.
  bool CropColumns(int* first, int* count);
  // Skips `count` rows without converting them (they are still entropy-decoded).
  bool SkipRows(int count);
  // Decodes the next row into `pixels` (the cropped width).
  bool ReadRow(std::uint32_t* pixels);

  // libjpeg's warnings so far (damaged or missing data).
  int warnings() const;

 private:
  struct State;
  bool Fail();

  std::unique_ptr<State> state_;
};

}  // namespace hw
