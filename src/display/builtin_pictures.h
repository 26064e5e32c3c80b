#pragma once

#include "platform/surface.h"
#include "platform/text_renderer.h"

namespace hw {

// The program's own pictures, drawn when a theme lacks a sprite file, under the numbers the
// theme loading table gives them. Pure blue is transparent in all of them.
enum BuiltinPicture : int {
  kBlankUserPicture = 148,     // 8 × 8 pure blue: a user box shows nothing
  kMidIntensityPicture = 149,  // 640 × 64: ten 64 × 64 cells, cell 0 blank, 1–9 square badges
  kMinIntensityPicture = 150,  // 1620 × 162: ten 162 × 162 cells, cell 0 blank, 1–9 round badges
  kBlankBoxPicture = 151,      // 8 × 8 pure blue: a box shows nothing
  kEpicentrePicture = 152,     // 74 × 74: a red cross with a yellow outline
  kCityTablePicture = 153,     // 351 × 78: the framed table cell of the city grid
  // 480 × 400: ten rows of 40 pixels indexed like the intensity sheets (row 0 blank, rows 1–9
  // the intensities 1 to 7), each a rounded bar and a thin line in the intensity's colour.
  kBarIntensityPicture = 154,
};

// Draws one built-in picture; labels are rasterised by `text`. An unknown number gives an
// empty surface.
Surface DrawBuiltinPicture(int picture, TextRenderer& text);

}  // namespace hw
