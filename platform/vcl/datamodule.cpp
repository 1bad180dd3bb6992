#include "platform/vcl/datamodule.h"

namespace vcl {

VCL_REGISTER(TDataModule) {}

}  // namespace vcl
