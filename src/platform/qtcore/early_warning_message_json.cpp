#include "platform/early_warning_message.h"
#include "platform/qtcore/json_values.h"

namespace hw {
namespace {

constexpr int kMaxIdLength = 64;
// A serial past this is no serial of the agency's (they count up from 1 per earthquake).
constexpr int kMaxSerial = 100000;

// "12" → 12; 0 unless the text is one to five digits (a number is accepted too).
int SerialOf(const QJsonValue& value) {
  if (value.isDouble()) {
    const int serial = json::WholeNumber(value.toDouble());
    return serial > 0 && serial < kMaxSerial ? serial : 0;
  }
  const QString text = value.toString();
  if (text.isEmpty() || text.size() > 5) return 0;
  int serial = 0;
  for (const QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return 0;
    serial = serial * 10 + (c.unicode() - u'0');
  }
  return serial;
}

EarlyWarningArea AreaOf(const QJsonObject& area) {
  constexpr int kText = EarlyWarningMessage::kMaxText;
  EarlyWarningArea out;
  out.pref = json::Text(area.value(QLatin1String("pref")), kText);
  out.name = json::Text(area.value(QLatin1String("name")), kText);
  out.scaleFrom = json::IntegerPart(area.value(QLatin1String("scaleFrom")), -1);
  out.scaleTo = json::IntegerPart(area.value(QLatin1String("scaleTo")), -1);
  out.kindCode = json::Text(area.value(QLatin1String("kindCode")), kText);
  return out;
}

void ReadEarthquake(const QJsonObject& earthquake, EarlyWarningMessage& message) {
  constexpr int kText = EarlyWarningMessage::kMaxText;
  message.hasEarthquake = true;
  message.originTime = json::Text(earthquake.value(QLatin1String("originTime")), kText);
  message.condition = json::Text(earthquake.value(QLatin1String("condition")), kText);
  const QJsonObject hypocentre = earthquake.value(QLatin1String("hypocenter")).toObject();
  message.hypocentreName = json::Text(hypocentre.value(QLatin1String("name")), kText);
  message.latitude = json::Number(hypocentre.value(QLatin1String("latitude")), -200.0);
  message.longitude = json::Number(hypocentre.value(QLatin1String("longitude")), -200.0);
  message.depth = json::Number(hypocentre.value(QLatin1String("depth")), -1.0);
  message.magnitude = json::Number(hypocentre.value(QLatin1String("magnitude")), -1.0);
}

}  // namespace

std::optional<EarlyWarningMessage> ReadEarlyWarningMessage(std::string_view text) {
  const std::optional<QJsonDocument> document = json::Parse(text);
  if (!document || !document->isObject()) return std::nullopt;
  const QJsonObject object = document->object();
  const QJsonValue code = object.value(QLatin1String("code"));
  const QJsonValue cancelled = object.value(QLatin1String("cancelled"));
  const QJsonObject issue = object.value(QLatin1String("issue")).toObject();
  const QJsonValue eventId = issue.value(QLatin1String("eventId"));
  if (!code.isDouble() || json::WholeNumber(code.toDouble()) != 556 || !cancelled.isBool() ||
      !eventId.isString()) {
    return std::nullopt;
  }
  EarlyWarningMessage message;
  const QJsonValue underscoreId = object.value(QLatin1String("_id"));
  message.id = json::Utf8Text(
      underscoreId.isString() ? underscoreId : object.value(QLatin1String("id")), kMaxIdLength);
  message.test = object.value(QLatin1String("test")).toBool(false);
  message.cancelled = cancelled.toBool();
  message.issueTime = json::Text(issue.value(QLatin1String("time")), EarlyWarningMessage::kMaxText);
  message.eventId = json::Utf8Text(eventId, kMaxIdLength);
  message.serial = SerialOf(issue.value(QLatin1String("serial")));
  if (const QJsonValue earthquake = object.value(QLatin1String("earthquake"));
      earthquake.isObject()) {
    ReadEarthquake(earthquake.toObject(), message);
  }
  const QJsonArray areas = object.value(QLatin1String("areas")).toArray();
  for (const auto& area : areas) {
    if (!area.isObject() || message.areas.size() >= EarlyWarningMessage::kMaxAreas) {
      ++message.areasLeftOut;
      continue;
    }
    message.areas.push_back(AreaOf(area.toObject()));
  }
  return message;
}

}  // namespace hw
