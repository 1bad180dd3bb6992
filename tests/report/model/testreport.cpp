#include "testreport.h"

VCL_REGISTER(TqvxTestReport) {}
