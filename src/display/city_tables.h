#pragma once

#include "display/compose_inputs.h"
#include "display/debug_status.h"

namespace hw {

// The city table in grid form ([Table] City.type 1): the places at the report's maximum
// intensity, one per framed cell, in columns of City.maxColumn cells, at most five columns.
void DrawCityGrid(ComposeInputs& in, ComposePass pass);

// The city table in list form (City.type 2): every place, grouped by falling intensity (an
// intensity bar per group) and prefecture, names run together up to City.maxRow characters a
// line. Sorts the report's points in that order. Returns the line after the list, or −1 when
// nothing was drawn; with Comm.type 2 the comment table starts two lines below it.
int DrawCityList(ComposeInputs& in, ComposePass pass);

// The comment table (Comm.type 1 or 2): the report's comment in lines of Comm.maxRow
// characters, starting at line `firstLine`; a U+3000 (a line break of the comment) starts a new
// line.
void DrawCommentTable(ComposeInputs& in, int firstLine);

}  // namespace hw
