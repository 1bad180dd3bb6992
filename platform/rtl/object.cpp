#include "platform/rtl/object.h"

#include "platform/rtl/exceptions.h"

namespace rtl {

void TPersistent::Assign(const TPersistent* source) {
  if (source)
    source->AssignTo(this);
  else
    throw EConvertError(L"Cannot assign nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError(L"Cannot assign a " + ClassName() + L" to a " + dest->ClassName());
}

String TPersistent::GetNamePath() const { return ClassName(); }

}  // namespace rtl
