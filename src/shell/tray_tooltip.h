#pragma once

#include <string>

#include "acquisition/report_model.h"
#include "display/feed_state.h"

namespace hw {

// The tray icon's tooltip: the program's name, the report on screen (its maximum intensity,
// time, place, magnitude and depth) and the state of the feed, as the picture's label tells
// it, or that reports arrive. Live arrivals are told to the minute, so that the text changes
// at most once a minute while all is well.
std::u16string TrayToolTipText(const FeedState& feed, const ReportHeader& shown);

}  // namespace hw
