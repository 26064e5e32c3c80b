#include "platform/bitmap_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fakes/bitmap_builder.h"

namespace hw {
namespace {

using test::BitmapSpec;
using test::BuildBitmapFile;
using test::PatternColour;

std::optional<BitmapFileInfo> Inspect(const std::string& file) {
  return InspectBitmapFile(file, file.size());
}

void Poke32(std::string& file, std::size_t at, std::uint32_t value) {
  std::memcpy(&file[at], &value, 4);  // the test machine is little-endian, like the format
}
void Poke16(std::string& file, std::size_t at, std::uint16_t value) {
  std::memcpy(&file[at], &value, 2);
}

TEST(BitmapFile, ReadsTheHeadersOfEveryLayoutInUse) {
  struct Case {
    const char* name;
    BitmapSpec spec;
  };
  for (const Case& c : std::vector<Case>{
           {"24 bits bottom-up", {5, 3, 24, false}},
           {"24 bits top-down", {5, 3, 24, true}},
           {"8 bits with palette", {5, 3, 8, false}},
           {"32 bits V5 header", {5, 3, 32, true, 124}},
           {"24 bits core header", {5, 3, 24, false, 12}},
           {"8 bits run-length", {5, 3, 8, false, 40, true}},
       }) {
    SCOPED_TRACE(c.name);
    const std::string file = BuildBitmapFile(c.spec, PatternColour);
    const auto info = Inspect(file);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, 5);
    EXPECT_EQ(info->height, 3);
    EXPECT_EQ(info->topDown, c.spec.topDown);
    EXPECT_EQ(info->bitsPerPixel, c.spec.bitsPerPixel);
    EXPECT_EQ(info->pixelOffset + info->pixelBytes,
              c.spec.runLength ? info->pixelOffset : file.size());
    if (c.spec.bitsPerPixel == 8) {  // the palette ends where the rows begin
      EXPECT_EQ(info->paletteOffset + std::uint64_t{info->paletteColours} * 4, info->pixelOffset);
    }
  }
}

// Broken or hostile headers are refused without reading or allocating anything more.
TEST(BitmapFile, RefusesBrokenHeaders) {
  const std::string good = BuildBitmapFile({}, PatternColour);
  struct Case {
    const char* name;
    std::string file;
  };
  std::vector<Case> cases;
  const auto with = [&](const char* name, auto change) {
    std::string file = good;
    change(file);
    cases.push_back({name, std::move(file)});
  };
  with("no signature", [](std::string& f) { f[0] = 'X'; });
  with("unknown header size", [](std::string& f) { Poke32(f, 14, 41); });
  with("width 0", [](std::string& f) { Poke32(f, 18, 0); });
  with("negative width", [](std::string& f) { Poke32(f, 18, 0xFFFFFFFB); });
  with("height 0", [](std::string& f) { Poke32(f, 22, 0); });
  with("most negative height", [](std::string& f) { Poke32(f, 22, 0x80000000); });
  with("two planes", [](std::string& f) { Poke16(f, 26, 2); });
  with("7 bits per pixel", [](std::string& f) { Poke16(f, 28, 7); });
  with("run-length at 24 bits", [](std::string& f) { Poke32(f, 30, 1); });
  with("embedded JPEG", [](std::string& f) { Poke32(f, 30, 4); });
  with("one row missing", [](std::string& f) { f.resize(f.size() - 16); });
  with("one byte missing", [](std::string& f) { f.pop_back(); });
  with("60000 x 60000 claimed", [](std::string& f) {
    Poke32(f, 18, 60000);
    Poke32(f, 22, 60000);
  });
  cases.push_back({"headers cut short", good.substr(0, 30)});
  cases.push_back({"empty", ""});
  cases.push_back({"300 palette colours", [] {
                     std::string f = BuildBitmapFile({5, 3, 8}, PatternColour);
                     Poke32(f, 46, 300);
                     return f;
                   }()});
  cases.push_back({"run-length top-down", [] {
                     std::string f = BuildBitmapFile({5, 3, 8, false, 40, true}, PatternColour);
                     Poke32(f, 22, static_cast<std::uint32_t>(-3));
                     return f;
                   }()});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Inspect(c.file).has_value());
  }
  EXPECT_TRUE(Inspect(good).has_value());
}

TEST(BitmapFile, WritesTwentyFourBitBottomUpFiles) {
  Surface surface(5, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x)
      surface.SetPixel(x, y, PatternColour(x, y));
  }
  // The program's writer and the independent test writer agree byte for byte.
  EXPECT_EQ(EncodeBitmapFile(surface), BuildBitmapFile({5, 3, 24}, PatternColour));
  EXPECT_EQ(EncodeBitmapFile(Surface()), "");
}

}  // namespace
}  // namespace hw
