#include "platform/qtcore/json_values.h"
#include "platform/timed_messages.h"

namespace hw {

std::optional<std::vector<TimedMessage>> ReadTimedMessages(std::string_view text,
                                                           int cycleSeconds) {
  // A demo plays a handful of messages; more are not read.
  constexpr qsizetype kMaxMessages = 100;
  const std::optional<QJsonDocument> document = json::Parse(text);
  if (!document || !document->isArray()) return std::nullopt;
  std::vector<TimedMessage> messages;
  const QJsonArray items = document->array();
  for (qsizetype i = 0; i < items.size() && i < kMaxMessages; ++i) {
    const QJsonObject item = items.at(i).toObject();
    const QJsonValue at = item.value(QLatin1String("at"));
    const QJsonValue message = item.value(QLatin1String("message"));
    if (!at.isDouble() || !message.isObject()) continue;
    const int second = json::WholeNumber(at.toDouble(), -1);
    if (second < 0 || second >= cycleSeconds) continue;
    const QByteArray compact = QJsonDocument(message.toObject()).toJson(QJsonDocument::Compact);
    messages.push_back({second, compact.toStdString()});
  }
  return messages;
}

}  // namespace hw
