#pragma once

#include "display/compose_inputs.h"
#include "display/map_layer.h"

namespace hw {

// The cell of the history badge sheet for a slot: 0 no intensity (also an empty slot), 1–9
// the intensity codes 10 … 70, 10 a foreign earthquake, 11 any other code.
int HistoryBadgeCell(const QuakeReport& slot);

// The history table: one row per history slot from slot 1, at most HistIntensity.quantity
// (and 20) rows, each a badge and the event's time pieces, epicentre, depth and magnitude,
// every element moved down by the badge height per row. `remembered` is the same-earthquake
// memory's epicentre, which says whether a prompt report's epicentre is still unknown.
void DrawHistoryTable(ComposeInputs& in, const QuakeMemory::Epicentre& remembered);

}  // namespace hw
