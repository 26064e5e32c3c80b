#pragma once

#include <memory>

#include "platform/picture_output.h"

namespace hw {

// The picture outputs' worker on Qt's image encoders: stretches with smooth (area averaged)
// scaling, makes the key colour transparent, encodes PNG and replaces the file atomically.
std::unique_ptr<PictureOutputWorker> MakePngOutputWorker();

// The same work done on the calling thread, for tests and benchmarks.
OutputResult EncodeOutputFrame(OutputFrame frame);

}  // namespace hw
