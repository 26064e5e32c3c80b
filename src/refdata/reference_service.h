#pragma once

namespace hw {

// How the main loop and start-up reach the reference data: the station list refresh and the
// reference files. The program's tables implement it; tests use recording fakes.
class ReferenceService {
 public:
  virtual ~ReferenceService() = default;
  virtual void RefreshStationFile() = 0;
  virtual void ReloadReferenceData() = 0;
  virtual void LoadStations() = 0;
};

}  // namespace hw
