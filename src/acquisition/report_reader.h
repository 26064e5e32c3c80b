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
// compact JSON is understood. Three passes run over the same text:
//   pass −1 (check): finds the newest report's "id" and compares it with LastShownId;
//   pass 0 (latest): fills LatestReport from the first report, with its points and comment;
//   pass 1 (history): fills the history slots from all reports worth keeping.
// Nothing it reads can make it write past a field or a table.
class ReportReader {
 public:
  static constexpr int kPassCheck = -1;
  static constexpr int kPassLatest = 0;
  static constexpr int kPassHistory = 1;

  // Results of ReadReports.
  static constexpr int kFinished = 0;
  static constexpr int kAlreadyShown = 1;
  static constexpr int kNewReport = 2;

  ReportReader(ReportStore& store, std::u16string& newestId, const std::u16string& lastShownId,
               const TimePaddings& paddings)
      : store_(store), newestId_(newestId), lastShownId_(lastShownId), paddings_(paddings) {}

  // One pass over the converted body (the UTF-16 text of its bytes up to the first NUL).
  int ReadReports(std::u16string_view text, int pass);

  // One member: 1 for "code" 551, 2 for "code" 552, −1 for an "id" equal to LastShownId in
  // passes −1 and 0, −2 for any other "id" in pass −1 (stored as NewestId), else 0.
  int ReadMember(int pass, int slot, std::u16string_view key, std::u16string_view value);

  // The members of a nested object, handed to ReadMember with the same pass and slot.
  void ReadObject(int pass, int slot, std::u16string_view text);

  // The "points" array of the newest report.
  void ReadPoints(std::u16string_view text);

 private:
  template <typename Report>
  void ApplyMember(Report& target, bool latest, std::u16string_view key, std::u16string_view value);
  template <typename Report>
  void ApplyTime(Report& target, bool latest, std::u16string_view value);
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
