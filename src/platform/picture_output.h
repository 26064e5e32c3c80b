#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/colorref.h"
#include "platform/geometry.h"

namespace hw {

// One picture for the outputs of the picture (a PNG file, the local page), handed from the
// user-interface thread to a worker that encodes and writes it there.
struct OutputFrame {
  // The picture's pixels, rows of `width` 0x00RRGGBB words as the surfaces hold them.
  std::vector<std::uint32_t> pixels;
  int width = 0;
  int height = 0;
  // The size the outputs get at most; the picture is stretched (area averaged) to the largest
  // size of its own shape that fits.
  Size size;
  // Pixels of exactly this colour become transparent (the overlay form), when set.
  std::optional<COLORREF> transparentKey;
  // The PNG file to replace (a native path), empty for none.
  std::u16string file;
  // Counts the frames, so that a result can be told from an older one.
  std::uint64_t serial = 0;
};

// What became of a frame.
struct OutputResult {
  std::uint64_t serial = 0;
  // The encoded PNG (null when it could not be encoded).
  std::shared_ptr<const std::string> png;
  // Whether a file was asked for and written; why not, when it was not.
  bool fileAsked = false;
  bool fileWritten = false;
  std::string fileError;
  // The frame's pixel buffer, handed back to be filled again.
  std::vector<std::uint32_t> recycled;
  // The worker's time for the frame, in microseconds (for the log and the benchmarks).
  std::int64_t workMicroseconds = 0;
};

// Encodes and writes frames on a thread of its own, one at a time: a frame offered while the
// last one is still being worked on is refused, so that slow disks drop frames rather than
// queue them and painting never waits.
class PictureOutputWorker {
 public:
  virtual ~PictureOutputWorker() = default;
  virtual bool Busy() const = 0;
  // Takes the frame over; false (the frame refused) while busy.
  virtual bool Offer(OutputFrame frame) = 0;
  // The result of the last frame once it is done, once.
  virtual std::optional<OutputResult> TakeResult() = 0;
};

}  // namespace hw
