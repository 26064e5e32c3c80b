// The composed pictures of the default theme, kept as PNG files and compared with what the
// composer draws now: the area page (0) and the station page (2) of each report type of the
// demo and of a detailed report with 2,283 points. Fonts and the JPEG decoder are pinned by
// the Debian packages, so the pictures only differ when the drawing does; the tolerance
// absorbs rounding, not a moved box. A failing comparison writes the picture drawn and a
// difference picture (eight times as strong) into the test's folder. With
// HW_UPDATE_REFERENCE_PICTURES=1 the references are written instead (look at each before
// committing it), together with their contact sheet docs/reference-pictures.png.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "headless/headless_display.h"
#include "platform/blit.h"
#include "platform/qt/png_file.h"
#include "platform/qt/qt_text_renderer.h"

namespace hw {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = HW_SOURCE_DIR;
const fs::path kReferences = kSource / "tests" / "fixtures" / "pictures";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Difference {
  double mean = 0;      // mean absolute difference per channel
  long long large = 0;  // pixels with a channel more than 24 apart
};

// Compares a page of the canvas with a reference picture and writes the difference picture.
Difference Compare(const Surface& canvas, int page, const QImage& reference, QImage& diff) {
  Difference d;
  diff = QImage(kPageWidth, kPageHeight, QImage::Format_RGB32);
  long long sum = 0;
  for (int y = 0; y < kPageHeight; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(diff.scanLine(y));
    for (int x = 0; x < kPageWidth; ++x) {
      const COLORREF drawn = canvas.GetPixel(PageX(page) + x, y);
      const int dr = std::abs(static_cast<int>(drawn & 0xFF) - qRed(row[x]));
      const int dg = std::abs(static_cast<int>((drawn >> 8) & 0xFF) - qGreen(row[x]));
      const int db = std::abs(static_cast<int>((drawn >> 16) & 0xFF) - qBlue(row[x]));
      sum += dr + dg + db;
      if (std::max({dr, dg, db}) > 24) ++d.large;
      out[x] = qRgb(std::min(255, 8 * dr), std::min(255, 8 * dg), std::min(255, 8 * db));
    }
  }
  d.mean = static_cast<double>(sum) / (3.0 * kPageWidth * kPageHeight);
  return d;
}

bool Updating() {
  return std::getenv("HW_UPDATE_REFERENCE_PICTURES") != nullptr;
}

// The references side by side at a quarter of their size, a row per report: area page, station
// page.
class ContactSheet {
 public:
  static constexpr int kScale = 4;
  static constexpr int kGap = 8;
  static constexpr int kLabel = 30;
  static constexpr int kRows = 5;

  ContactSheet()
      : sheet_(2 * kPageWidth / kScale + 3 * kGap,
               kRows * (kLabel + kPageHeight / kScale + kGap) + kGap) {
    sheet_.Fill(MakeColorRef(0x2b, 0x2f, 0x36));
    font_ = text_.CreateFont({u"Arial", 22, 0, 400});
  }
  void Add(const Surface& canvas, const std::string& name) {
    const int top = kGap + row_ * (kLabel + kPageHeight / kScale + kGap);
    for (const int column : {0, 1}) {
      const int left = kGap + column * (kPageWidth / kScale + kGap);
      Rect label{left, top, left + kPageWidth / kScale, top + kLabel};
      const std::string caption = name + (column == 0 ? "  area page" : "  station page");
      text_.DrawText(sheet_, font_, MakeColorRef(0xd8, 0xdc, 0xe2),
                     std::u16string(caption.begin(), caption.end()), label,
                     DT_SINGLELINE | DT_VCENTER);
      StretchBlt(sheet_, left, top + kLabel, kPageWidth / kScale, kPageHeight / kScale, canvas,
                 PageX(column == 0 ? AreaPage : StationPage), 0, kPageWidth, kPageHeight);
    }
    ++row_;
  }
  bool Write(const fs::path& path) const {
    return WritePngFile(path.string(), sheet_, {0, 0, sheet_.width(), sheet_.height()});
  }

 private:
  Surface sheet_;
  QtTextRenderer text_;
  FontId font_ = kNoFont;
  int row_ = 0;
};

void Check(const HeadlessDisplay& display, const std::string& name) {
  const bool update = Updating();
  for (const int page : {AreaPage, StationPage}) {
    const std::string file = name + "-page" + std::to_string(page) + ".png";
    const Rect whole{PageX(page), 0, PageX(page) + kPageWidth, kPageHeight};
    if (update) {
      ASSERT_TRUE(WritePngFile((kReferences / file).string(), display.canvas(), whole));
      continue;
    }
    SCOPED_TRACE(file);
    const QImage reference(QString::fromStdString((kReferences / file).string()));
    ASSERT_EQ(reference.width(), kPageWidth) << "no reference picture";
    ASSERT_EQ(reference.height(), kPageHeight);
    QImage diff;
    const Difference d =
        Compare(display.canvas(), page, reference.convertToFormat(QImage::Format_RGB32), diff);
    const bool same = d.mean <= 0.5 && d.large <= 1000;
    if (!same) {
      WritePngFile(
          (fs::current_path() / (name + "-page" + std::to_string(page) + "-drawn.png")).string(),
          display.canvas(), whole);
      diff.save(QString::fromStdString(
          (fs::current_path() / (name + "-page" + std::to_string(page) + "-diff.png")).string()));
    }
    EXPECT_TRUE(same) << "mean difference " << d.mean << ", " << d.large
                      << " pixels far apart; the drawn picture and the difference are in "
                      << fs::current_path();
  }
}

class ReferencePictures : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    display_ = HeadlessDisplay::Open(WorkFolderLayout(Utf16Path(kSource / "runtime")), error);
    ASSERT_NE(display_, nullptr) << error;
  }
  static void TearDownTestSuite() { display_.reset(); }
  static std::u16string Utf16Path(const fs::path& path) { return path.u16string(); }

  // Composes the next body as a fetch; the demo reports are composed in their order, so the
  // same-earthquake memory works as in the rotating demo.
  static void Fetch(const fs::path& body) { ASSERT_TRUE(display_->Fetch(ReadFile(body))) << body; }

  static std::unique_ptr<HeadlessDisplay> display_;
};
std::unique_ptr<HeadlessDisplay> ReferencePictures::display_;

TEST_F(ReferencePictures, DemoReportsAndAReportOfManyPlaces) {
  const fs::path storage = kSource / "runtime" / "Storage";
  const std::pair<const char*, fs::path> reports[] = {
      {"prompt", storage / "demo1.json"},
      {"hypocentre", storage / "demo2.json"},
      {"detail", storage / "demo3.json"},
      {"foreign", storage / "demo4.json"},
      {"detail-2283", kSource / "tests" / "fixtures" / "compose" / "detailscale-2283.json"},
  };
  ContactSheet sheet;
  for (const auto& [name, body] : reports) {
    Fetch(body);
    Check(*display_, name);
    if (Updating()) sheet.Add(display_->canvas(), name);
  }
  if (Updating()) {
    EXPECT_TRUE(sheet.Write(kSource / "docs" / "reference-pictures.png"));
  }
}

}  // namespace
}  // namespace hw
