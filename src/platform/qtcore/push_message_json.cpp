#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cmath>
#include <limits>

#include "platform/push_message.h"

namespace hw {
namespace {

// The service's messages are shallow; a deeper one is not a message of the service.
constexpr int kMaxDepth = 32;

// True when no object or array in `value` (at `depth`, the message itself being 0) lies at
// depth kMaxDepth or deeper.
bool ShallowEnough(const QJsonValue& value, int depth) {
  if (!value.isObject() && !value.isArray()) return true;
  if (depth >= kMaxDepth) return false;
  if (value.isObject()) {
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
      if (!ShallowEnough(it.value(), depth + 1)) return false;
    }
    return true;
  }
  const QJsonArray array = value.toArray();
  for (const QJsonValue& element : array) {
    if (!ShallowEnough(element, depth + 1)) return false;
  }
  return true;
}

int WholeNumber(double value) {
  const bool whole = std::trunc(value) == value;
  const bool fits =
      value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
  return whole && fits ? static_cast<int>(value) : 0;
}

}  // namespace

std::optional<PushNotice> ReadPushMessage(std::string_view text) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(
      QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())), &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
  const QJsonObject message = document.object();
  if (!ShallowEnough(QJsonValue(message), 0)) return std::nullopt;
  const QJsonValue code = message.value(QLatin1String("code"));
  if (!code.isDouble()) return std::nullopt;
  PushNotice notice;
  notice.code = WholeNumber(code.toDouble());
  const QJsonValue underscoreId = message.value(QLatin1String("_id"));
  const QJsonValue id = underscoreId.isString() ? underscoreId : message.value(QLatin1String("id"));
  notice.id = id.toString().toStdString();
  return notice;
}

}  // namespace hw
