#pragma once
// Shared by the variant's own source files only.
#include "platform/rtl/variant.h"

namespace rtl {

struct VariantAccess {
  static auto& Val(Variant& v) { return v.val_; }
  static const auto& Val(const Variant& v) { return v.val_; }
  static const String& Str(const Variant& v) { return v.Text(); }
  static void SetType(Variant& v, TVarType t) { v.type_ = t; }
};

namespace varimpl {
bool IsStrType(TVarType t);
bool IsIntType(TVarType t);
}  // namespace varimpl

}  // namespace rtl
