#include "acquisition/report_texts.h"

#include "platform/number_text.h"

namespace hw {
namespace {

std::u16string_view Field(std::u16string_view digits, std::size_t offset, std::size_t length) {
  if (offset >= digits.size()) return {};
  return digits.substr(offset, length);
}

std::int32_t FieldValue(std::u16string_view digits, std::size_t offset, std::size_t length) {
  return LeadingInt(Field(digits, offset, length));
}

// Two digits with the tens digit blanked when it is "0" and the theme asks for no padding.
std::u16string TwoDigits(std::u16string_view digits, std::size_t offset, int padding) {
  std::u16string text(Field(digits, offset, 2));
  if (!text.empty() && text[0] == u'0' && padding == 0) text[0] = u' ';
  return text;
}

}  // namespace

std::int32_t TimeKey(std::u16string_view digits) {
  const std::int64_t key = std::int64_t{FieldValue(digits, 1, 3)} * 16338240 +
                           std::int64_t{FieldValue(digits, 4, 2)} * 44640 +
                           std::int64_t{FieldValue(digits, 6, 2)} * 1440 +
                           std::int64_t{FieldValue(digits, 8, 2)} * 60 + FieldValue(digits, 10, 2);
  return static_cast<std::int32_t>(key);  // wraps only for years past 2131, as stored keys do
}

std::u16string YearMonthText(std::u16string_view digits, int padding) {
  return std::u16string(Field(digits, 0, 4)) + u"年" + TwoDigits(digits, 4, padding) + u"月";
}

std::u16string DayTimeText(std::u16string_view digits, int padding) {
  return TwoDigits(digits, 6, padding) + u"日" + TwoDigits(digits, 8, padding) + u"時" +
         std::u16string(Field(digits, 10, 2)) + u"分";
}

std::u16string DepthText(std::u16string_view depthValue) {
  if (!depthValue.empty() && depthValue[0] == u'0') return u"ごく浅い";
  if (!depthValue.empty() && depthValue[0] == u'-') return u"---";
  return std::u16string(depthValue) + u"km";
}

}  // namespace hw
