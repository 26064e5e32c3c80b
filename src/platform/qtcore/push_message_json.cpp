#include "platform/push_message.h"
#include "platform/qtcore/json_values.h"

namespace hw {

std::optional<PushNotice> ReadPushMessage(std::string_view text) {
  const std::optional<QJsonDocument> document = json::Parse(text);
  if (!document || !document->isObject()) return std::nullopt;
  const QJsonObject message = document->object();
  const QJsonValue code = message.value(QLatin1String("code"));
  if (!code.isDouble()) return std::nullopt;
  PushNotice notice;
  notice.code = json::WholeNumber(code.toDouble());
  const QJsonValue underscoreId = message.value(QLatin1String("_id"));
  const QJsonValue id = underscoreId.isString() ? underscoreId : message.value(QLatin1String("id"));
  notice.id = id.toString().toStdString();
  return notice;
}

}  // namespace hw
