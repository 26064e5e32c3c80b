#pragma once

#include "display/compose_inputs.h"

namespace hw {

// The fixed boxes of the picture, steps 3–7 of a composition, each the same on pages 0–3.

// The four free boxes of the theme (frames and captions, no text).
void DrawUserBoxes(ComposeInputs& in);
// The event time box with the event and report time pieces, and the magnitude.
void DrawTimeAndMagnitude(ComposeInputs& in);
// The epicentre name (fitted to its box), the depth and, with a comment, the comment frame.
void DrawInfoBoxes(ComposeInputs& in);
// The box of the domestic tsunami code 1–5.
void DrawTsunamiBox(ComposeInputs& in);
// The maximum-intensity badge: one of the 11 cells of its sheet.
void DrawMaxIntensityBox(ComposeInputs& in);

// The cell of the maximum-intensity sheet: 9 for a foreign report, 0–8 for the intensity codes
// 10 … 70, 10 for any other code.
int MaxIntensityCell(int issueType, int maxScale);

}  // namespace hw
