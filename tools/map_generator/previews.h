#pragma once

#include <QImage>
#include <filesystem>
#include <string>

namespace hw::mapgen {

// Writes `map` shrunk to an eighth (area-averaged) as a PNG file.
bool WriteEighthPreview(const QImage& map, const std::filesystem::path& path);

// Loads a written map of Japan the way the program does (its picture decoder) and writes the
// map panel the program would show for a view centred on Tokyo at zoom levels 1, 5 and 10
// with MapXaxisPercent 100, stretched with the program's own StretchBlt, as
// `<stem>-level1.png` … in `directory`. A ring marks where a marker for Tokyo would go.
bool WriteViewPreviews(const std::filesystem::path& mapFile, const std::filesystem::path& directory,
                       const std::string& stem);

}  // namespace hw::mapgen
