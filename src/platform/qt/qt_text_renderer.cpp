#include "platform/qt/qt_text_renderer.h"

#include <QColor>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace hw {

namespace {

// Japanese text falls back glyph by glyph to this family whatever the face.
const QString& JapaneseFamily() {
  static const QString family = QStringLiteral("Noto Sans CJK JP");
  return family;
}

constexpr int kMaxCellHeight = 4096;  // far beyond any layout, keeps glyph caches sane
constexpr int kReferencePixelSize = 100;

// How the requested face defines its average character width (GDI's tmAveCharWidth, taken
// from the face's OS/2 xAvgCharWidth), which a width given to CreateFontW refers to.
enum class WidthRule {
  // Arial and its kin: averaged over the English lower-case letters and the space, about half
  // an em.
  kEnglishLetters,
  // Meiryo and Meiryo UI: averaged over all their glyphs, most of them full-width ideographs,
  // so close to a full em.
  kAllGlyphs,
  // The MS Gothic family: its half-width advance, half an em.
  kHalfWidth,
};

struct MappedFace {
  QString family;
  int min_weight = 0;
  WidthRule width_rule = WidthRule::kEnglishLetters;
};

MappedFace MapFace(const std::u16string& face) {
  const QString name = QString::fromStdU16String(face).trimmed();
  const auto is = [&name](const char16_t* candidate) {
    return name.compare(QString::fromUtf16(candidate), Qt::CaseInsensitive) == 0;
  };
  if (is(u"Arial")) return {QStringLiteral("Liberation Sans")};
  // Liberation has no black weight; its bold is the nearest, chosen by the weight alone.
  if (is(u"Arial Black")) return {QStringLiteral("Liberation Sans"), 900};
  for (const char16_t* meiryo : {u"Meiryo", u"メイリオ", u"Meiryo UI"}) {
    if (is(meiryo)) return {JapaneseFamily(), 0, WidthRule::kAllGlyphs};
  }
  for (const char16_t* gothic :
       {u"MS Gothic", u"ＭＳ ゴシック", u"MS PGothic", u"ＭＳ Ｐゴシック", u"MS UI Gothic"}) {
    if (is(gothic)) return {JapaneseFamily(), 0, WidthRule::kHalfWidth};
  }
  return {name};
}

// The English-letter average as Windows reports it for its core fonts: the advances of the
// lower-case letters and the space weighted by their frequency in English. Qt's
// averageCharWidth() reads the OS/2 value of the installed face instead, and Liberation's
// (0.58 em against Arial's 0.44) would squeeze every Arial font far narrower than on Windows.
double EnglishLetterWidth(const QFont& font) {
  static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                       56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
  const QFontMetricsF metrics(font);
  double sum = 0;
  for (int i = 0; i < 27; ++i) {
    const QChar c = i < 26 ? QChar(static_cast<char16_t>(u'a' + i)) : QChar(u' ');
    sum += kWeights[i] * metrics.horizontalAdvance(c);
  }
  return sum / 1000.0;
}

// The substitute's own all-glyph average (its OS/2 xAvgCharWidth) at the font's stretch. Qt
// reports that value for the unstretched face, so it is scaled by how much the stretch widens
// a full-width ideograph.
double AllGlyphWidth(const QFont& font) {
  constexpr QChar kIdeograph(u'\u6C34');  // 水
  QFont natural = font;
  natural.setStretch(100);
  const QFontMetricsF naturalMetrics(natural);
  const double naturalAdvance = naturalMetrics.horizontalAdvance(kIdeograph);
  if (naturalAdvance <= 0) return 0;
  return naturalMetrics.averageCharWidth() * QFontMetricsF(font).horizontalAdvance(kIdeograph) /
         naturalAdvance;
}

// The substitute's half-width advance: a half-width katakana.
double HalfWidth(const QFont& font) {
  return QFontMetricsF(font).horizontalAdvance(QChar(u'\uFF71'));  // ｱ
}

double AverageWidth(const QFont& font, WidthRule rule) {
  switch (rule) {
    case WidthRule::kAllGlyphs:
      return AllGlyphWidth(font);
    case WidthRule::kHalfWidth:
      return HalfWidth(font);
    case WidthRule::kEnglishLetters:
      break;
  }
  return EnglishLetterWidth(font);
}

int CellHeight(const QFont& font) {
  const QFontMetrics metrics(font);
  return metrics.ascent() + metrics.descent();
}

// Walks `value` one step at a time in the direction that brings `error(value)` nearer zero
// and stops at the best value; the estimate is at most a step or two off.
template <typename ErrorAt>
int Refine(int value, int lowest, int highest, ErrorAt error) {
  double current = error(value);
  const int step = current > 0 ? -1 : 1;
  while (current != 0 && value + step >= lowest && value + step <= highest) {
    const double next = error(value + step);
    if (std::abs(next) >= std::abs(current)) break;
    value += step;
    current = next;
  }
  return value;
}

void SizeToCell(QFont& font, int height) {
  font.setPixelSize(kReferencePixelSize);
  const int reference = std::max(1, CellHeight(font));
  const int estimate = std::max(1, static_cast<int>(std::lround(static_cast<double>(height) *
                                                                kReferencePixelSize / reference)));
  const int pixel_size = Refine(estimate, 1, kMaxCellHeight, [&](int size) {
    font.setPixelSize(size);
    return static_cast<double>(CellHeight(font) - height);
  });
  font.setPixelSize(pixel_size);
}

void StretchToWidth(QFont& font, int width, WidthRule rule) {
  font.setStretch(100);
  const double natural = AverageWidth(font, rule);
  if (natural <= 0) return;
  const int estimate = std::clamp(static_cast<int>(std::lround(100.0 * width / natural)), 1, 4000);
  const int stretch = Refine(estimate, 1, 4000, [&](int value) {
    font.setStretch(value);
    return AverageWidth(font, rule) - width;
  });
  font.setStretch(stretch);
}

int Saturate(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

QString View(std::u16string_view text) {
  // No copy: the string only lives for the call that measures or draws it.
  return QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                              static_cast<qsizetype>(text.size()));
}

}  // namespace

FontId QtTextRenderer::CreateFont(const FontSpec& spec) {
  const MappedFace face = MapFace(spec.face);
  QFont font;
  if (face.family == JapaneseFamily()) {
    font.setFamilies({face.family});
  } else {
    font.setFamilies({face.family, JapaneseFamily()});
  }
  // Weight 0 is FW_DONTCARE; Qt's scale runs 1..1000 with the same meaning as Windows'.
  const int weight = std::max(spec.weight > 0 ? std::min(spec.weight, 1000) : 400, face.min_weight);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setStyleStrategy(
      static_cast<QFont::StyleStrategy>(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  font.setHintingPreference(QFont::PreferVerticalHinting);
  font.setKerning(false);

  SizeToCell(font, std::clamp(spec.height, 1, kMaxCellHeight));
  if (spec.width > 0) StretchToWidth(font, std::min(spec.width, kMaxCellHeight), face.width_rule);

  QFontMetrics metrics(font);
  const Metrics cell{metrics.ascent(), metrics.descent(),
                     static_cast<int>(std::lround(AverageWidth(font, face.width_rule)))};
  fonts_.push_back(Font{font, metrics, cell});
  return static_cast<FontId>(fonts_.size() - 1);
}

const QtTextRenderer::Font* QtTextRenderer::Find(FontId font) const {
  if (font < 0 || static_cast<std::size_t>(font) >= fonts_.size()) return nullptr;
  return &fonts_[static_cast<std::size_t>(font)];
}

QtTextRenderer::Metrics QtTextRenderer::FontMetrics(FontId font) const {
  const Font* found = Find(font);
  return found != nullptr ? found->cell : Metrics{};
}

int QtTextRenderer::DrawText(Surface& target, FontId font, COLORREF color, std::u16string_view text,
                             Rect& rect, unsigned format) {
  const Font* found = Find(font);
  if (found == nullptr) return 0;
  const int line_height = found->cell.height();
  const QString string = View(text);
  // Measuring lays the text out once more than drawing it, so it is done only when needed.
  int measured_width = -1;
  const auto text_width = [&] {
    if (measured_width < 0) {
      measured_width = text.empty() ? 0 : found->metrics.horizontalAdvance(string);
    }
    return measured_width;
  };

  if ((format & DT_CALCRECT) != 0) {
    rect.right = Saturate(std::int64_t{rect.left} + text_width());
    rect.bottom = Saturate(std::int64_t{rect.top} + line_height);
    return line_height;
  }
  if (text.empty() || target.empty()) return line_height;

  // 64-bit edges: the rectangle may reach far outside the surface.
  const std::int64_t left = rect.left;
  const std::int64_t top = rect.top;
  const std::int64_t right = rect.right;
  const std::int64_t bottom = rect.bottom;
  const std::int64_t clip_left = std::max<std::int64_t>(left, 0);
  const std::int64_t clip_top = std::max<std::int64_t>(top, 0);
  const std::int64_t clip_right = std::min<std::int64_t>(right, target.width());
  const std::int64_t clip_bottom = std::min<std::int64_t>(bottom, target.height());
  if (clip_left >= clip_right || clip_top >= clip_bottom) return line_height;

  std::int64_t x = left;
  if ((format & DT_CENTER) != 0) {
    x = left + (right - left - text_width()) / 2;
  } else if ((format & DT_RIGHT) != 0) {
    x = right - text_width();
  }
  const std::int64_t y = (format & DT_VCENTER) != 0 ? top + (bottom - top - line_height) / 2 : top;
  // Glyphs may overhang their advances a little (italics, bold); a line height of margin is
  // ample. Beyond it the text cannot touch the clip, and Qt's fixed-point coordinates could
  // not hold the position.
  const std::int64_t margin = line_height;
  if (x - margin >= clip_right || y - margin >= clip_bottom ||
      y + line_height + margin <= clip_top ||
      (x < clip_left && x + text_width() + margin <= clip_left)) {
    return line_height;
  }

  QImage image(reinterpret_cast<uchar*>(target.pixels()), target.width(), target.height(),
               static_cast<qsizetype>(target.pitch()) * 4, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setClipRect(QRect(static_cast<int>(clip_left), static_cast<int>(clip_top),
                            static_cast<int>(clip_right - clip_left),
                            static_cast<int>(clip_bottom - clip_top)));
  painter.setFont(found->font);
  painter.setPen(QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                        static_cast<int>((color >> 16) & 0xFFu)));
  painter.drawText(QPoint(static_cast<int>(x), static_cast<int>(y + found->cell.ascent)), string);
  return line_height;
}

}  // namespace hw
