#include "platform/qtcore/json_values.h"
#include "platform/tsunami_message.h"

namespace hw {
namespace {

// A list of the history holds a few items; more are not read.
constexpr qsizetype kMaxListItems = 100;
constexpr int kMaxIdLength = 64;

TsunamiGrade GradeOf(const std::u16string& name) {
  if (name == u"MajorWarning") return TsunamiGrade::kMajorWarning;
  if (name == u"Warning") return TsunamiGrade::kWarning;
  if (name == u"Watch") return TsunamiGrade::kWatch;
  return TsunamiGrade::kUnknown;
}

TsunamiRegion RegionOf(const QJsonObject& area) {
  constexpr int kText = TsunamiMessage::kMaxText;
  TsunamiRegion region;
  region.name = json::Text(area.value(QLatin1String("name")), kText);
  region.gradeName = json::Text(area.value(QLatin1String("grade")), kText);
  region.grade = GradeOf(region.gradeName);
  region.immediate = area.value(QLatin1String("immediate")).toBool(false);
  const QJsonObject first = area.value(QLatin1String("firstHeight")).toObject();
  region.arrivalTime = json::Text(first.value(QLatin1String("arrivalTime")), kText);
  region.condition = json::Text(first.value(QLatin1String("condition")), kText);
  const QJsonObject height = area.value(QLatin1String("maxHeight")).toObject();
  region.maxHeight = json::Text(height.value(QLatin1String("description")), kText);
  return region;
}

std::optional<TsunamiMessage> MessageOf(const QJsonObject& object) {
  const QJsonValue code = object.value(QLatin1String("code"));
  const QJsonValue cancelled = object.value(QLatin1String("cancelled"));
  const QJsonValue issue = object.value(QLatin1String("issue"));
  if (!code.isDouble() || json::WholeNumber(code.toDouble()) != 552 || !cancelled.isBool() ||
      !issue.isObject()) {
    return std::nullopt;
  }
  TsunamiMessage message;
  const QJsonValue underscoreId = object.value(QLatin1String("_id"));
  message.id = json::Utf8Text(
      underscoreId.isString() ? underscoreId : object.value(QLatin1String("id")), kMaxIdLength);
  message.issueTime =
      json::Text(issue.toObject().value(QLatin1String("time")), TsunamiMessage::kMaxText);
  message.cancelled = cancelled.toBool();
  const QJsonArray areas = object.value(QLatin1String("areas")).toArray();
  for (const auto& area : areas) {
    if (!area.isObject() || message.regions.size() >= TsunamiMessage::kMaxRegions) {
      ++message.regionsLeftOut;
      continue;
    }
    message.regions.push_back(RegionOf(area.toObject()));
  }
  return message;
}

}  // namespace

std::optional<TsunamiMessage> ReadTsunamiMessage(std::string_view text) {
  const std::optional<QJsonDocument> document = json::Parse(text);
  if (!document || !document->isObject()) return std::nullopt;
  return MessageOf(document->object());
}

std::optional<std::vector<TsunamiMessage>> ReadTsunamiList(std::string_view text) {
  const std::optional<QJsonDocument> document = json::Parse(text);
  if (!document || !document->isArray()) return std::nullopt;
  std::vector<TsunamiMessage> messages;
  const QJsonArray items = document->array();
  for (qsizetype i = 0; i < items.size() && i < kMaxListItems; ++i) {
    if (!items.at(i).isObject()) continue;
    if (std::optional<TsunamiMessage> message = MessageOf(items.at(i).toObject())) {
      messages.push_back(std::move(*message));
    }
  }
  return messages;
}

}  // namespace hw
