#include "acquisition/fetch_detail.h"

#include <cstdarg>
#include <cstdio>

#include "platform/text_codec.h"

namespace hw {
namespace {

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
  char text[512];
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// "curl 28: Operation timed out …", the client's code with its words.
std::string ClientError(const FetchDetail& detail) {
  return Format("curl %d: %s", detail.error, detail.errorText.c_str());
}

std::string DetailText(const FetchDetail& detail) {
  switch (detail.problem) {
    case FetchProblem::kNone:
      return {};
    case FetchProblem::kNoSession:
      return "HTTP セッションを作れません (" + ClientError(detail) + ")";
    case FetchProblem::kUnreachable:
      return "応答がありません (" + ClientError(detail) + ")";
    case FetchProblem::kBrokenAnswer:
      return Format("転送が失敗しました (%s; HTTP %d, リダイレクト %d 回, 受信 %zu バイト)",
                    ClientError(detail).c_str(), detail.httpStatus, detail.redirects,
                    detail.received);
    case FetchProblem::kShortAnswer:
      return Format("応答が途中で切れました (受信 %zu バイト, Content-Length %lld バイト)",
                    detail.received, detail.announced);
    case FetchProblem::kHttpStatus:
      if (detail.retryAfterSeconds >= 0) {
        return Format("HTTP %d の応答です (Retry-After %d 秒)", detail.httpStatus,
                      detail.retryAfterSeconds);
      }
      return Format("HTTP %d の応答です", detail.httpStatus);
    case FetchProblem::kTooLarge:
      return Format("本文が上限 %zu バイトに達したので使いません", detail.limit);
    case FetchProblem::kUnreadable:
      return {};  // said by the take-over's own line
    case FetchProblem::kNotAList:
      if (detail.httpStatus == 0) {
        return Format("本文がリストではありません (%zu バイト)", detail.received);
      }
      return Format("HTTP %d の本文がリストではありません (%zu バイト)", detail.httpStatus,
                    detail.received);
  }
  return {};
}

}  // namespace

std::u16string FetchDetailText(const FetchDetail& detail) {
  const std::string text = DetailText(detail);
  return text.empty() ? std::u16string() : u"詳細 … " + Utf8ToUtf16(text);
}

std::u16string NoReportsText(const FetchDetail& detail) {
  if (detail.problem == FetchProblem::kUnreadable) {
    return u"取得結果 … 地震情報として読み取れないリストです (" +
           Utf8ToUtf16(Format("%zu バイト", detail.received)) + u"; 表示と履歴はそのまま)";
  }
  return u"取得結果 … 地震情報のないリストです (表示と履歴はそのまま)";
}

std::u16string RedirectedText(const FetchDetail& detail) {
  return u"取得結果 … " +
         Utf8ToUtf16(Format("リダイレクトを %d 回たどりました (%s)", detail.redirects,
                            detail.finalUrl.c_str())) +
         u"; 行き先が変わらないなら [Net] の取得先を書き換えてください";
}

std::u16string BudgetWaitText(const std::string& address, int requests, int seconds) {
  return u"取得制限 … " +
         Utf8ToUtf16(
             Format("%s へのリクエストが 1 分間に %d 回に達したので、取得を %d 秒ほど待ちます",
                    address.c_str(), requests, seconds));
}

std::u16string HoldOffText(int seconds) {
  return u"次回取得 … " + Utf8ToUtf16(Format("%d 秒後以降", seconds));
}

}  // namespace hw
