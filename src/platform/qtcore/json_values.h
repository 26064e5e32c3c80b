#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// What the readers of the service's messages share: one way to parse a text, the nesting they
// accept, and members read with a type and a length of their own choosing, so that a message
// of any size gives bounded values.
namespace hw::json {

// The service's messages are shallow; a deeper one is not a message of the service.
inline constexpr int kMaxDepth = 32;

// True when no object or array in `value` (at `depth`, the message itself being 0) lies at
// depth kMaxDepth or deeper.
inline bool ShallowEnough(const QJsonValue& value, int depth) {
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
  for (const auto& element : array) {
    if (!ShallowEnough(element, depth + 1)) return false;
  }
  return true;
}

// The document of `text` when it is well-formed JSON (strings in UTF-8) and shallow enough.
inline std::optional<QJsonDocument> Parse(std::string_view text) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(
      QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())), &error);
  if (error.error != QJsonParseError::NoError) return std::nullopt;
  const QJsonValue root =
      document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
  if (!ShallowEnough(root, 0)) return std::nullopt;
  return document;
}

// A number as an int when it is whole and in range, else `fallback`.
inline int WholeNumber(double value, int fallback = 0) {
  const bool whole = std::trunc(value) == value;
  const bool fits =
      value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
  return whole && fits ? static_cast<int>(value) : fallback;
}

// The integer part of a number in range, else `fallback` (the service sends some whole values
// with a decimal point).
inline int IntegerPart(const QJsonValue& value, int fallback) {
  if (!value.isDouble()) return fallback;
  const double number = value.toDouble();
  if (!std::isfinite(number) || number < std::numeric_limits<int>::min() ||
      number > std::numeric_limits<int>::max()) {
    return fallback;
  }
  return static_cast<int>(std::trunc(number));
}

// A finite number, else `fallback`.
inline double Number(const QJsonValue& value, double fallback) {
  return value.isDouble() && std::isfinite(value.toDouble()) ? value.toDouble() : fallback;
}

// A string's first `limit` UTF-16 units (a surrogate pair is never split); empty when the value
// is no string.
inline std::u16string Text(const QJsonValue& value, qsizetype limit) {
  if (!value.isString()) return {};
  QString text = value.toString();
  if (text.size() > limit) {
    qsizetype keep = limit;
    if (keep > 0 && text.at(keep - 1).isHighSurrogate()) --keep;
    text.truncate(keep);
  }
  return text.toStdU16String();
}

// The same for an identifier kept as UTF-8.
inline std::string Utf8Text(const QJsonValue& value, qsizetype limit) {
  const std::u16string text = Text(value, limit);
  return QString::fromStdU16String(text).toStdString();
}

}  // namespace hw::json
