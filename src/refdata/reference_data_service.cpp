#include "refdata/reference_data_service.h"

#include "refdata/initial_value.h"

namespace hw {

void ReferenceDataService::ReloadReferenceData() {
  hw::ReloadReferenceData(tables_, themes_, workingFolder_);
}

void ReferenceDataService::LoadStations() {
  CInitalValue(tables_, themes_, workingFolder_).LoadStations();
}

}  // namespace hw
