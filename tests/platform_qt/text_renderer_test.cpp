#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/qt/qt_text_renderer.h"
#include "platform/surface.h"

namespace hw {
namespace {

using Metrics = QtTextRenderer::Metrics;

// The bounding box (right and bottom exclusive) and count of the pixels that differ from the
// background.
struct Ink {
  int count = 0;
  int left = INT_MAX;
  int top = INT_MAX;
  int right = INT_MIN;
  int bottom = INT_MIN;
  int Width() const { return count == 0 ? 0 : right - left; }
};

Ink FindInk(const Surface& surface, COLORREF background) {
  Ink ink;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      if (surface.GetPixel(x, y) == background) continue;
      ++ink.count;
      ink.left = std::min(ink.left, x);
      ink.top = std::min(ink.top, y);
      ink.right = std::max(ink.right, x + 1);
      ink.bottom = std::max(ink.bottom, y + 1);
    }
  }
  return ink;
}

std::vector<std::uint32_t> Pixels(const Surface& surface) {
  return {surface.pixels(), surface.pixels() + surface.width() * surface.height()};
}

class TextRendererTest : public ::testing::Test {
 protected:
  FontId Font(std::u16string face, int height, int width = 0, int weight = 400) {
    return renderer_.CreateFont(FontSpec{std::move(face), height, width, weight});
  }

  // Draws onto a fresh black surface and returns where the ink went.
  Ink InkOf(FontId font, std::u16string_view text, Rect rect, unsigned format, int width = 200,
            int height = 80) {
    Surface surface(width, height);
    renderer_.DrawText(surface, font, kWhite, text, rect, format);
    return FindInk(surface, 0x000000);
  }

  int TextWidth(FontId font, std::u16string_view text) {
    Surface none;
    Rect rect{};
    renderer_.DrawText(none, font, kWhite, text, rect, DT_SINGLELINE | DT_CALCRECT);
    return rect.Width();
  }

  QtTextRenderer renderer_;
};

TEST_F(TextRendererTest, CellHeightIsTheRequestedHeight) {
  for (const char16_t* face : {u"Arial", u"Meiryo", u"Arial Black"}) {
    for (int height : {9, 16, 24, 38, 45, 76, 90, 115}) {
      SCOPED_TRACE(testing::Message() << QString::fromUtf16(face).toStdString() << " " << height);
      const FontId font = Font(face, height);
      const Metrics metrics = renderer_.FontMetrics(font);
      EXPECT_NEAR(metrics.height(), height, 1);
      EXPECT_GT(metrics.descent, 0);

      Surface surface(50, 50);
      Rect rect{0, 0, 50, 50};
      EXPECT_EQ(renderer_.DrawText(surface, font, kWhite, u"Ag", rect, DT_SINGLELINE),
                metrics.height());
    }
  }
}

TEST_F(TextRendererTest, ArialCellsAreWindowsCells) {
  // Liberation Sans has Arial's vertical metrics (ascent 1854, descent 434 of 2048 units), so
  // where a whole-pixel em reaches the height exactly the cell splits as on Windows. Heights
  // between two ems (45: 44 or 46) are one pixel off, as GDI's whole-pixel ems are.
  struct Case {
    int height;
    int ascent;
    int descent;
  };
  for (const Case& c : {Case{30, 24, 6}, Case{90, 73, 17}, Case{115, 93, 22}}) {
    const Metrics metrics = renderer_.FontMetrics(Font(u"Arial", c.height));
    EXPECT_EQ(metrics.ascent, c.ascent) << c.height;
    EXPECT_EQ(metrics.descent, c.descent) << c.height;
  }
}

TEST_F(TextRendererTest, AverageWidthIsTheRequestedWidth) {
  struct Case {
    const char16_t* face;
    int height;
    int width;
    int weight;
  };
  for (const Case& c :
       {Case{u"Arial", 90, 30, 700}, Case{u"Arial", 24, 9, 400}, Case{u"Arial Black", 115, 45, 700},
        Case{u"Meiryo", 38, 15, 400}, Case{u"Meiryo", 76, 49, 400}, Case{u"Meiryo", 20, 6, 400}}) {
    SCOPED_TRACE(testing::Message()
                 << QString::fromUtf16(c.face).toStdString() << " " << c.height << "/" << c.width);
    const FontId narrow = Font(c.face, c.height, c.width, c.weight);
    const FontId wide = Font(c.face, c.height, 2 * c.width, c.weight);
    EXPECT_NEAR(renderer_.FontMetrics(narrow).averageCharWidth, c.width, 1);
    EXPECT_NEAR(renderer_.FontMetrics(wide).averageCharWidth, 2 * c.width, 1);
    // The width scales the glyphs, Latin and Japanese alike, not just the reported metric;
    // the height stays.
    for (const char16_t* text : {u"abcdefghijklmnopqrstuvwxyz", u"石川県能登地方"}) {
      EXPECT_NEAR(TextWidth(wide, text), 2.0 * TextWidth(narrow, text),
                  0.02 * TextWidth(wide, text));
    }
    EXPECT_EQ(renderer_.FontMetrics(wide).height(), renderer_.FontMetrics(narrow).height());
  }
}

TEST_F(TextRendererTest, NaturalWidthIsWindowsArialWidth) {
  // Liberation Sans has Arial's advances, so width 0 must give Windows' tmAveCharWidth for
  // Arial (xAvgCharWidth 904/2048 of an 80.6 px em at cell height 90), not the 0.58 em that
  // Liberation's own OS/2 table claims.
  EXPECT_NEAR(renderer_.FontMetrics(Font(u"Arial", 90)).averageCharWidth, 35.6, 1);
}

TEST_F(TextRendererTest, FaceNamesMapOntoInstalledFamilies) {
  // Names of one face, and of one family with one width rule, give the same font.
  const auto same = [&](std::initializer_list<const char16_t*> faces) {
    const int first = TextWidth(Font(*faces.begin(), 38, 15), u"震度５弱 M6.8");
    for (const char16_t* face : faces) {
      SCOPED_TRACE(QString::fromUtf16(face).toStdString());
      EXPECT_EQ(TextWidth(Font(face, 38, 15), u"震度５弱 M6.8"), first);
    }
  };
  same({u"Meiryo", u"メイリオ", u"Meiryo UI"});
  same({u"MS Gothic", u"ＭＳ ゴシック", u"MS PGothic", u"ＭＳ Ｐゴシック", u"MS UI Gothic"});
  EXPECT_EQ(TextWidth(Font(u"arial", 40), u"Heronwatch"),
            TextWidth(Font(u"Arial", 40), u"Heronwatch"));
  // Arial Black is at least black, whatever weight is asked for.
  EXPECT_EQ(TextWidth(Font(u"Arial Black", 40, 0, 400), u"Heronwatch"),
            TextWidth(Font(u"Arial", 40, 0, 900), u"Heronwatch"));
  // A face that is not installed still gives a font of the requested size.
  const FontId unknown = Font(u"No Such Face", 30);
  EXPECT_NEAR(renderer_.FontMetrics(unknown).height(), 30, 1);
  EXPECT_GT(InkOf(unknown, u"Abc", Rect{0, 0, 200, 80}, DT_SINGLELINE).count, 50);
}

TEST_F(TextRendererTest, WidthMeansWhatTheRequestedFaceMeansByIt) {
  // Windows takes the average width from the requested face's own OS/2 table: over English
  // letters for Arial (about half an em), over all glyphs for Meiryo (close to a full em), the
  // half-width advance for the MS Gothic family. A full-width ideograph is therefore about
  // the width for Meiryo and twice the width for the Gothic faces.
  struct Case {
    const char16_t* face;
    int height;
    int width;
    int weight;
    double ideographPerWidth;
  };
  for (const Case& c : {Case{u"Meiryo", 76, 49, 400, 1.0}, Case{u"Meiryo", 38, 24, 700, 1.0},
                        Case{u"Meiryo UI", 62, 40, 700, 1.0}, Case{u"MS Gothic", 38, 12, 400, 2.0},
                        Case{u"MS UI Gothic", 30, 10, 700, 2.0}}) {
    SCOPED_TRACE(testing::Message()
                 << QString::fromUtf16(c.face).toStdString() << " " << c.height << "/" << c.width);
    const FontId font = Font(c.face, c.height, c.width, c.weight);
    EXPECT_NEAR(renderer_.FontMetrics(font).averageCharWidth, c.width, 1);
    const double ideograph = TextWidth(font, u"震度観測点東西南北") / 9.0;
    EXPECT_NEAR(ideograph / c.width, c.ideographPerWidth, 0.1 * c.ideographPerWidth);
  }
  // Half-width katakana of a Gothic face are as wide as the width asked for.
  EXPECT_NEAR(TextWidth(Font(u"ＭＳ ゴシック", 40, 14), u"ｱｲｳｴｵｶｷｸｹｺ") / 10.0, 14, 0.5);
}

TEST_F(TextRendererTest, BoldIsHeavierAndWider) {
  const FontId normal = Font(u"Arial", 40, 0, 400);
  const FontId bold = Font(u"Arial", 40, 0, 700);
  const Rect rect{0, 0, 400, 80};
  EXPECT_GT(InkOf(bold, u"Heronwatch", rect, DT_SINGLELINE, 400).count,
            InkOf(normal, u"Heronwatch", rect, DT_SINGLELINE, 400).count * 5 / 4);
  EXPECT_GT(TextWidth(bold, u"Heronwatch"), TextWidth(normal, u"Heronwatch"));
}

TEST_F(TextRendererTest, CalcRectMeasuresWithoutDrawing) {
  const FontId font = Font(u"Arial", 30);
  const int line = renderer_.FontMetrics(font).height();
  Surface surface(200, 80);
  surface.Fill(0x123456);

  Rect rect{10, 20, 11, 21};
  EXPECT_EQ(renderer_.DrawText(surface, font, kWhite, u"12:45", rect, DT_SINGLELINE | DT_CALCRECT),
            line);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.bottom, 20 + line);
  EXPECT_GT(rect.Width(), 50);
  EXPECT_EQ(FindInk(surface, 0x123456).count, 0);

  // The measured width is where the ink goes (bar a pixel or two of side bearing).
  const Ink ink = InkOf(font, u"12:45", Rect{10, 20, 200, 80}, DT_SINGLELINE);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, rect.right);
  EXPECT_GT(ink.Width(), rect.Width() - 6);

  // Like GDI, no kerning: a pair measures as its two letters.
  const FontId large = Font(u"Arial", 90);
  EXPECT_NEAR(TextWidth(large, u"AV"), TextWidth(large, u"A") + TextWidth(large, u"V"), 1);

  Rect far{INT_MAX - 5, INT_MAX - 5, 0, 0};  // the edges stop at the end of the int range
  renderer_.DrawText(surface, font, kWhite, u"12:45", far, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(far, (Rect{INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX}));

  Rect empty{5, 6, 50, 60};
  renderer_.DrawText(surface, font, kWhite, u"", empty, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(empty, (Rect{5, 6, 5, 6 + line}));
}

TEST_F(TextRendererTest, AlignmentPlacesTheLineInTheRectangle) {
  const FontId font = Font(u"Arial", 30);
  const int line = renderer_.FontMetrics(font).height();
  const std::u16string_view text = u"8:8";
  const int width = TextWidth(font, text);
  const Rect rect{20, 4, 181, 77};  // odd width and height: the halves round down

  const Ink left = InkOf(font, text, rect, DT_SINGLELINE | DT_LEFT);
  ASSERT_GT(left.count, 0);
  EXPECT_GE(left.left, rect.left);
  EXPECT_LE(left.left, rect.left + 3);
  EXPECT_GE(left.top, rect.top);
  EXPECT_LE(left.bottom, rect.top + line);

  // The same glyphs, moved by whole pixels.
  struct Case {
    unsigned format;
    int dx;
    int dy;
  };
  const int centre = (rect.Width() - width) / 2;
  const int middle = (rect.Height() - line) / 2;
  for (const Case& c : {Case{DT_CENTER, centre, 0}, Case{DT_RIGHT, rect.Width() - width, 0},
                        Case{DT_VCENTER, 0, middle}, Case{DT_CENTER | DT_VCENTER, centre, middle},
                        Case{DT_RIGHT | DT_VCENTER, rect.Width() - width, middle}}) {
    SCOPED_TRACE(c.format);
    const Ink ink = InkOf(font, text, rect, DT_SINGLELINE | c.format);
    EXPECT_EQ(ink.count, left.count);
    EXPECT_EQ(ink.left, left.left + c.dx);
    EXPECT_EQ(ink.right, left.right + c.dx);
    EXPECT_EQ(ink.top, left.top + c.dy);
    EXPECT_EQ(ink.bottom, left.bottom + c.dy);
  }
}

TEST_F(TextRendererTest, NothingOutsideTheRectangleChanges) {
  const FontId font = Font(u"Arial", 40, 0, 700);
  constexpr COLORREF kBackground = 0x404040;
  const Rect inside{30, 10, 90, 50};
  for (unsigned format : {0u, DT_CENTER | DT_VCENTER, unsigned{DT_RIGHT}}) {
    SCOPED_TRACE(format);
    Surface surface(120, 60);
    surface.Fill(kBackground);
    Rect rect = inside;
    renderer_.DrawText(surface, font, kWhite, u"WWWWWWWWgj", rect, DT_SINGLELINE | format);
    const Ink ink = FindInk(surface, kBackground);
    EXPECT_GT(ink.count, 100);
    EXPECT_GE(ink.left, inside.left);
    EXPECT_GE(ink.top, inside.top);
    EXPECT_LE(ink.right, inside.right);
    EXPECT_LE(ink.bottom, inside.bottom);
  }
}

TEST_F(TextRendererTest, RectanglesReachingOutsideTheSurfaceAreSafe) {
  const FontId font = Font(u"Arial", 40, 0, 700);
  const unsigned centred = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
  struct Case {
    Rect rect;
    unsigned format;
    bool ink;
  };
  for (const Case& c : {
           Case{{-50, -20, 60, 30}, DT_SINGLELINE, true},   // partly above and left
           Case{{100, 30, 300, 200}, DT_SINGLELINE, true},  // partly below and right
           Case{{0, 0, 120, 60}, DT_SINGLELINE | DT_RIGHT, true},
           Case{{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, centred, true},
           Case{{INT_MAX - 10, 0, INT_MAX, 60}, DT_SINGLELINE | DT_RIGHT, false},
           Case{{INT_MIN, 0, INT_MIN + 10, 60}, DT_SINGLELINE, false},
           Case{{INT_MIN, 0, 120, 60}, DT_SINGLELINE, false},  // text far off to the left
           Case{{200, 0, 300, 60}, DT_SINGLELINE, false},      // beside the surface
           Case{{0, 0, 120, 0}, DT_SINGLELINE, false},         // empty
           Case{{50, 0, 10, 60}, DT_SINGLELINE, false},        // inverted
       }) {
    SCOPED_TRACE(testing::Message() << c.rect.left << "," << c.rect.top << "," << c.rect.right
                                    << "," << c.rect.bottom);
    Surface surface(120, 60);
    Rect rect = c.rect;
    EXPECT_EQ(renderer_.DrawText(surface, font, kWhite, u"W8W8", rect, c.format),
              renderer_.FontMetrics(font).height());
    EXPECT_EQ(rect, c.rect);
    const Ink ink = FindInk(surface, 0x000000);
    EXPECT_EQ(ink.count > 0, c.ink);
  }

  // The far end of the widest surface the program uses.
  Surface ticker(30000, 90);
  Rect end{29900, 0, 30000, 90};
  renderer_.DrawText(ticker, font, kWhite, u"WWWWWW", end, DT_SINGLELINE | DT_RIGHT);
  EXPECT_EQ(FindInk(ticker, 0x000000).right, 30000);
}

TEST_F(TextRendererTest, NothingToDrawLeavesTheSurfaceAlone) {
  const FontId font = Font(u"Arial", 20);
  Surface surface(60, 30);
  surface.Fill(0x123456);
  const auto before = Pixels(surface);
  Rect rect{0, 0, 60, 30};
  EXPECT_EQ(renderer_.DrawText(surface, font, kWhite, u"", rect, DT_SINGLELINE),
            renderer_.FontMetrics(font).height());
  EXPECT_EQ(renderer_.DrawText(surface, kNoFont, kWhite, u"Abc", rect, DT_SINGLELINE), 0);
  EXPECT_EQ(renderer_.DrawText(surface, 1234, kWhite, u"Abc", rect, DT_SINGLELINE), 0);
  EXPECT_EQ(Pixels(surface), before);

  Surface none;
  EXPECT_EQ(renderer_.DrawText(none, font, kWhite, u"Abc", rect, DT_SINGLELINE),
            renderer_.FontMetrics(font).height());
}

TEST_F(TextRendererTest, OnlyGlyphPixelsChangeAndStayOpaque) {
  const FontId font = Font(u"Arial", 60, 0, 700);
  constexpr COLORREF kBackground = 0x996633;
  Surface surface(200, 80);
  surface.Fill(kBackground);
  Rect rect{0, 0, 200, 80};
  renderer_.DrawText(surface, font, kWhite, u"I    I", rect, DT_SINGLELINE);

  const Ink ink = FindInk(surface, kBackground);
  ASSERT_GT(ink.count, 0);
  // Between the two stems and above the caps the background shows through.
  const int gap = (ink.left + ink.right) / 2;
  for (int y = 0; y < surface.height(); ++y) {
    EXPECT_EQ(surface.GetPixel(gap, y), kBackground) << y;
  }
  for (int x = 0; x < surface.width(); ++x) {
    EXPECT_EQ(surface.GetPixel(x, ink.top - 1), kBackground) << x;
  }
  for (std::uint32_t pixel : Pixels(surface))
    ASSERT_EQ(pixel >> 24, 0xFFu);
}

TEST_F(TextRendererTest, GlyphsTakeTheColour) {
  const FontId font = Font(u"Arial", 80, 0, 700);
  for (COLORREF color : {kWhite, COLORREF{0x0000FF}, COLORREF{0x00FF00}, COLORREF{0xFF0000}}) {
    SCOPED_TRACE(color);
    Surface surface(60, 80);
    Rect rect{0, 0, 60, 80};
    renderer_.DrawText(surface, font, color, u"I", rect, DT_SINGLELINE | DT_CENTER);
    const Ink ink = FindInk(surface, 0x000000);
    ASSERT_GT(ink.count, 0);
    // The middle of the stem is fully covered.
    const int x = (ink.left + ink.right) / 2;
    const int y = (ink.top + ink.bottom) / 2;
    EXPECT_EQ(surface.GetPixel(x, y), color);
    EXPECT_EQ(surface.Row(y)[x], PixelFromColorRef(color));
  }
}

TEST_F(TextRendererTest, JapaneseFallsBackToTheJapaneseFamily) {
  // Arial has no Japanese; every glyph must still come out as itself, not as empty space or
  // the same missing-glyph box.
  for (const char16_t* face : {u"Arial", u"Meiryo"}) {
    SCOPED_TRACE(QString::fromUtf16(face).toStdString());
    const FontId font = Font(face, 38, 15);
    const Ink whole = InkOf(font, u"震度５弱", Rect{0, 0, 200, 80}, DT_SINGLELINE);
    EXPECT_GT(whole.Width(), TextWidth(font, u"震度５弱") * 3 / 4);
    std::vector<int> counts;
    for (const char16_t* glyph : {u"震", u"度", u"５", u"弱"}) {
      counts.push_back(InkOf(font, glyph, Rect{0, 0, 200, 80}, DT_SINGLELINE).count);
      EXPECT_GT(counts.back(), 30);
    }
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(std::unique(counts.begin(), counts.end()), counts.end());
  }
}

// HW_TEXT_PNG=file.png writes a few of the display's lines to a picture for a look by eye.
TEST_F(TextRendererTest, SamplePicture) {
  const QString path = qEnvironmentVariable("HW_TEXT_PNG");
  if (path.isEmpty()) GTEST_SKIP() << "set HW_TEXT_PNG to write the sample picture";

  Surface surface(1000, 420);
  surface.Fill(0x302010);
  struct Line {
    FontSpec spec;
    std::u16string_view text;
    Rect rect;
    unsigned format;
    COLORREF color;
  };
  const Line lines[] = {
      {{u"Meiryo", 76, 49, 400}, u"震源・震度情報", {0, 0, 1000, 90}, DT_CENTER, kWhite},
      {{u"Arial", 90, 30, 700}, u"12日03時45分", {10, 95, 990, 195}, DT_LEFT, kWhite},
      {{u"Arial Black", 115, 45, 700}, u"6.8", {10, 195, 990, 320}, DT_RIGHT, 0x00FFFF},
      {{u"Meiryo", 38, 15, 400},
       u"石川県能登地方　震度７",
       {10, 320, 990, 420},
       DT_CENTER | DT_VCENTER,
       0x3030FF},
  };
  for (const Line& line : lines) {
    Rect rect = line.rect;
    surface.FillRect(rect.left, rect.top, rect.Width(), 1, 0x606060);  // top of each box
    renderer_.DrawText(surface, renderer_.CreateFont(line.spec), line.color, line.text, rect,
                       DT_SINGLELINE | line.format);
  }
  const QImage image(reinterpret_cast<const uchar*>(surface.pixels()), surface.width(),
                     surface.height(), surface.pitch() * 4, QImage::Format_RGB32);
  ASSERT_TRUE(image.save(path));
}

}  // namespace
}  // namespace hw
