#include "platform/jpeg/jpeg_decompressor.h"

// jpeglib.h needs FILE and size_t declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace hw {
namespace {

// libjpeg needs no more for a picture decoded a band at a time; the cap only matters to a
// file that makes libjpeg ask for whole-picture buffers, which then fails instead.
constexpr long kMaxLibjpegMemory = 64L << 20;

struct ErrorManager {
  jpeg_error_mgr base;  // first, so that libjpeg's pointer to it is a pointer to this
  std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings and trace messages go nowhere; emit_message still counts the warnings.
void Silent(j_common_ptr) {}

}  // namespace

struct JpegDecompressor::State {
  jpeg_decompress_struct info{};
  ErrorManager error{};
  std::string_view bytes;
  bool created = false;
  bool readableByRows = false;
  bool failed = false;
};

JpegDecompressor::JpegDecompressor(std::string_view bytes) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.bytes = bytes;
  s.info.err = jpeg_std_error(&s.error.base);
  s.error.base.error_exit = JumpBack;
  s.error.base.output_message = Silent;
  if (setjmp(s.error.jump) != 0) {
    Fail();
    return;
  }
  jpeg_create_decompress(&s.info);
  s.created = true;
  s.info.mem->max_memory_to_use = kMaxLibjpegMemory;
  jpeg_mem_src(&s.info, reinterpret_cast<const unsigned char*>(s.bytes.data()),
               static_cast<unsigned long>(s.bytes.size()));
}

JpegDecompressor::~JpegDecompressor() {
  // Destroying never calls error_exit.
  if (state_->created) jpeg_destroy_decompress(&state_->info);
}

bool JpegDecompressor::Fail() {
  state_->failed = true;
  return false;
}

bool JpegDecompressor::ReadHeader() {
  State& s = *state_;
  if (s.failed) return false;
  if (setjmp(s.error.jump) != 0) return Fail();
  // A memory source never suspends, so anything but a header is an abbreviated file of tables.
  if (jpeg_read_header(&s.info, TRUE) != JPEG_HEADER_OK) return Fail();
  const bool oneScan = !jpeg_has_multiple_scans(&s.info);
  const J_COLOR_SPACE colour = s.info.jpeg_color_space;
  s.readableByRows =
      oneScan && (colour == JCS_GRAYSCALE || colour == JCS_YCbCr || colour == JCS_RGB);
  return true;
}

int JpegDecompressor::width() const {
  return static_cast<int>(state_->info.image_width);
}

int JpegDecompressor::height() const {
  return static_cast<int>(state_->info.image_height);
}

bool JpegDecompressor::ReadableByRows() const {
  return !state_->failed && state_->readableByRows;
}

bool JpegDecompressor::Start(int scale) {
  State& s = *state_;
  if (s.failed) return false;
  if (setjmp(s.error.jump) != 0) return Fail();
  s.info.scale_num = 1;
  s.info.scale_denom = static_cast<unsigned int>(scale);
  s.info.out_color_space = JCS_EXT_BGRX;
  if (!jpeg_start_decompress(&s.info)) return Fail();
  return true;
}

int JpegDecompressor::outputWidth() const {
  return static_cast<int>(state_->info.output_width);
}

int JpegDecompressor::outputHeight() const {
  return static_cast<int>(state_->info.output_height);
}

bool JpegDecompressor::CropColumns(int* first, int* count) {
  State& s = *state_;
  if (s.failed) return false;
  if (setjmp(s.error.jump) != 0) return Fail();
  auto offset = static_cast<JDIMENSION>(*first);
  auto width = static_cast<JDIMENSION>(*count);
  jpeg_crop_scanline(&s.info, &offset, &width);
  *first = static_cast<int>(offset);
  *count = static_cast<int>(width);
  return true;
}

bool JpegDecompressor::SkipRows(int count) {
  State& s = *state_;
  if (s.failed) return false;
  if (setjmp(s.error.jump) != 0) return Fail();
  if (jpeg_skip_scanlines(&s.info, static_cast<JDIMENSION>(count)) !=
      static_cast<JDIMENSION>(count)) {
    return Fail();
  }
  return true;
}

bool JpegDecompressor::ReadRow(std::uint32_t* pixels) {
  State& s = *state_;
  if (s.failed) return false;
  if (setjmp(s.error.jump) != 0) return Fail();
  auto* row = reinterpret_cast<JSAMPROW>(pixels);
  if (jpeg_read_scanlines(&s.info, &row, 1) != 1) return Fail();
  return true;
}

int JpegDecompressor::warnings() const {
  return static_cast<int>(state_->error.base.num_warnings);
}

}  // namespace hw
