#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/report_source.h"

namespace hw {

// What a viewer must be told about the data behind the picture: where the report on screen
// came from (recorded when a composition replaces the picture, so that it follows the picture
// rather than the mode chosen since), and whether the selected service has stopped answering.
struct FeedState {
  // The source of the report on screen; empty until the first report is composed.
  std::optional<ReportSource> shown;
  // When the list on screen was received: for a list kept from an earlier run, when that run
  // received it.
  std::tm shownReceived{};
  // No whole list came from the selected service for longer than the stale period.
  bool stale = false;
  // When the last whole list came from a service in this run; empty before the first.
  std::optional<std::tm> lastSuccess;
};

// The label on the picture: its lines (none for live reports of a service that answers), each
// short enough for the free corner of the default theme, and whether it tells of a failure.
struct PictureLabel {
  std::vector<std::u16string> lines;
  bool failure = false;
  bool operator==(const PictureLabel&) const = default;
};

// The label for a feed state: the demo, the sandbox and a list kept from an earlier run always
// say so; a live picture says so only when the service has stopped answering, and the
// picture before any report says that it waits for one.
PictureLabel PictureLabelFor(const FeedState& feed);

// "hh:mm:ss" and "MM/DD hh:mm", as the label shows times.
std::u16string ClockText(const std::tm& time);
std::u16string DayAndMinuteText(const std::tm& time);

}  // namespace hw
