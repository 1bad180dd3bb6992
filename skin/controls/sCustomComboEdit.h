#pragma once
// The mask edit that the date edit drops its calendar from. The button glued to its right edge and the popup it
// opens come with the combo edit's own work; until then it is a mask edit with the combo edit's kind code.
#include "skin/controls/sMaskEdit.h"

class TsCustomComboEdit : public TsMaskEdit {
  VCL_CLASS(TsCustomComboEdit, TsMaskEdit)
  explicit TsCustomComboEdit(vcl::TComponent* owner) : TsMaskEdit(owner) { FCommonData->COC = COC_TsComboEdit; }
};
