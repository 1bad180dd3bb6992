#include "report/model/qvxEngineIntf.h"

#include "report/model/qvxClassBands.h"
#include "report/model/qvxReport.h"

VCL_REGISTER(TqvxCustomEngine) {}

void TqvxCustomEngine::ShowBandByName(const rtl::String& name) {
  if (auto* band = dynamic_cast<TqvxBand*>(FReport ? FReport->FindObject(name) : nullptr)) ShowBand(band);
}

void TqvxCustomEngine::StopReport() {
  if (FReport) FReport->SetTerminated(true);
}

bool TqvxCustomEngine::DoublePass() const { return FReport && FReport->EngineOptions()->DoublePass; }
