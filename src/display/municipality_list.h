#pragma once

#include "display/compose_inputs.h"
#include "display/debug_status.h"

namespace hw {

// For a detailed report, turns the report's station points into its municipalities: each
// place of AreaInfo.ini gets the strongest intensity of the points it claims, and when the
// report has an intensity the points become the places, strongest first, each named with its
// prefecture. Pass B first renames points by LandArea.ini and keeps three more islands apart.
// The report's points, pointCount and MaxScalePointCount are replaced; the composer restores
// them. Other report types are left alone.
void BuildMunicipalityList(ComposeInputs& in, ComposePass pass);

}  // namespace hw
