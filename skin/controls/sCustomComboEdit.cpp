#include "skin/controls/sCustomComboEdit.h"

VCL_REGISTER(TsCustomComboEdit) {}
