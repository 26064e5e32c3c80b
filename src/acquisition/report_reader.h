#pragma once

#include <string>
#include <string_view>

#include "acquisition/report_model.h"

namespace hw {

// The theme's padding values for the time texts (0 blanks a leading zero).
struct TimePaddings {
  int EventTime = 0;   // event time of the newest report
  int HisEvTime = 0;   // event time of a history slot
  int ReportTime = 0;  // announcement time of both
};

// The program's own reader of the report list: a JSON array of compact report objects, newest
// first. It is not a general JSON parser: it splits the text by counting brackets (quotes are
// not tracked), treats each member of a report object as a key text and a value text, and maps
// a fixed set of keys onto the stores. Whitespace between tokens is not skipped, so only
// compact JSON is understood. Three passes (ReadPass) run over the same text.
// Nothing it reads can make it write past a field or a table.
// The passes of the reader over one body.
enum class ReadPass : int {
  kCheck = -1,   // finds the newest report's "id" and compares it with LastShownId
  kLatest = 0,   // fills LatestReport from the first report, with its points and comment
  kHistory = 1,  // fills the history slots from all reports worth keeping
};

// How a pass ended.
enum class ReadResult : int {
  kFinished = 0,      // the text or the pass's reports ran out
  kAlreadyShown = 1,  // the newest "id" equals LastShownId
  kNewReport = 2,     // the check pass found a new newest "id" (stored as NewestId)
};

// What one member told the reader.
enum class MemberResult : int {
  kNothing = 0,
  kCode551 = 1,        // "code" 551, an earthquake report
  kCode552 = 2,        // "code" 552, a tsunami report
  kAlreadyShown = -1,  // an "id" equal to LastShownId, in the check and latest passes
  kNewId = -2,         // any other "id" in the check pass
};

class ReportReader {
 public:
  ReportReader(ReportStore& store, std::u16string& newestId, const std::u16string& lastShownId,
               const TimePaddings& paddings)
      : store_(store), newestId_(newestId), lastShownId_(lastShownId), paddings_(paddings) {}

  // One pass over the converted body (the UTF-16 text of its bytes up to the first NUL).
  ReadResult ReadReports(std::u16string_view text, ReadPass pass);

  // One member of report `slot`, applied to the stores as the pass asks.
  MemberResult ReadMember(ReadPass pass, int slot, std::u16string_view key,
                          std::u16string_view value);

  // The members of a nested object, handed to ReadMember with the same pass and slot.
  void ReadObject(ReadPass pass, int slot, std::u16string_view text);

  // The "points" array of the newest report.
  void ReadPoints(std::u16string_view text);

 private:
  void ApplyMember(ReportHeader& target, bool latest, std::u16string_view key,
                   std::u16string_view value);
  void ApplyTime(ReportHeader& target, bool latest, std::u16string_view value);
  void ComposeCommentLine();
  // Judges the report just read into `slot` at the end of its object in pass 1.
  bool KeepSlot(int slot);

  ReportStore& store_;
  std::u16string& newestId_;
  const std::u16string& lastShownId_;
  TimePaddings paddings_;

  std::u16string firstTime_;
  bool fixUpDone_ = false;
  int objectNesting_ = 0;
};

}  // namespace hw
