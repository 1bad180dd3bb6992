#include "script/wz_evalcache.h"

#include "script/wz_classes.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

Variant wzCompileTimeValue(TwzCustomVariable* item) {
  if (dynamic_cast<TwzVariable*>(item) || dynamic_cast<TwzParamItem*>(item)) return item->GetValue();
  return *item->PValue();
}

String wzValueKind(const Variant& value) {
  const Variant& v = value.Deref();
  if (v.IsNull() || v.IsEmpty()) return L"nil";
  if (v.IsString()) return L"string";
  if (v.IsArray()) return L"array";
  const rtl::TVarType type = v.VarType() & rtl::varTypeMask;
  if (type == rtl::varDispatch || type == rtl::varUnknown) return L"dispatch";
  try {
    const rtl::TObject* obj = v.AsObject();
    return obj ? obj->ClassName() : String(L"nil");
  } catch (const rtl::Exception&) {
    return L"value";
  }
}

void wzNoteVariantBinding(TwzScript* scope, TwzCustomVariable* item, const Variant& value) {
  for (TwzScript* p = scope; p; p = p->Parent())
    if (TwzBindingLog* log = p->BindingLog()) {
      log->Bindings.push_back(TwzVariantBinding{item, wzValueKind(value)});
      return;
    }
}

TwzScopeSnapshot::TwzScopeSnapshot(const TwzScript* scope) {
  for (const TwzScript* p = scope; p; p = p->Parent()) FChain.push_back(Link{p->Stamp(), p->Stamp()->Generation});
}

bool TwzScopeSnapshot::StillFits(const TwzScript* scope, const TwzBindingLog* log) const {
  // Stamps first: only a chain of living, unchanged registries may be walked and its items read.
  for (const Link& link : FChain)
    if (!link.Stamp->Alive || link.Stamp->Generation != link.Generation) return false;
  size_t i = 0;
  for (const TwzScript* p = scope; p; p = p->Parent(), ++i)
    if (i >= FChain.size() || FChain[i].Stamp != p->Stamp()) return false;
  if (i != FChain.size()) return false;
  if (log)
    for (const TwzVariantBinding& b : log->Bindings)
      if (wzValueKind(wzCompileTimeValue(b.Item)) != b.Kind) return false;
  return true;
}
