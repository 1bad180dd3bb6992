#include "script/wz_dynamichelper.h"

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_hostclasses.h"
#include "script/wz_iconst.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

bool IsDispatch(const Variant& v) {
  const rtl::TVarType t = v.Deref().VarType() & rtl::varTypeMask;
  return t == rtl::varDispatch || t == rtl::varUnknown;
}

bool IsIndex(const String& name) { return name == L"["; }

// The class item scripts know for obj: its own class's, else the nearest registered ancestor's.
TwzClassVariable* ClassItemOf(TwzScript* program, const rtl::TObject* obj) {
  if (!program) return nullptr;
  for (const vcl::TClassInfo* c = vcl::ClassOf(obj); c; c = c->ClassParent())
    if (TwzClassVariable* cls = program->FindClass(c->ClassName())) return cls;
  return program->FindClass(obj->ClassName());
}

}  // namespace

TwzDynamicHelper::TwzDynamicHelper(const String& aName) : TwzOLEHelper(aName) {}

bool TwzDynamicHelper::FillParams(TwzCustomVariable* member, int from, int to) const {
  const int given = to - from;
  if (given > member->Count() || given < member->GetNumberOfRequiredParams()) return false;
  for (int i = 0; i < member->Count(); ++i) {
    TwzParamItem* p = member->Params(i);
    p->SetValue(i < given ? Params(from + i)->GetValue() : p->DefValue());
  }
  return true;
}

TwzCustomVariable* TwzDynamicHelper::Member(rtl::TObject* obj, TwzClassVariable*& cls) const {
  cls = ClassItemOf(FProgram, obj);
  if (!cls) throw EwzScriptError(L"Class '" + obj->ClassName() + L"' is not known to scripts");
  TwzCustomVariable* member = IsIndex(FName) ? cls->DefProperty() : cls->Find(FName);
  if (!member) {
    if (IsIndex(FName)) throw EwzScriptError(rtl::Format(SClassError, {cls->Name()}));
    throw EwzScriptError(SIdUndeclared + L"'" + FName + L"'");
  }
  return member;
}

namespace {

// Reads or writes member of the object value holds, its parameters filled already.
Variant Reach(TwzCustomVariable* member, const Variant& value, TwzScript* program, bool needResult,
              const Variant* assigned) {
  if (auto* helper = dynamic_cast<TwzCustomHelper*>(member)) {
    helper->SetParentRef(nullptr);
    helper->SetParentValue(value);
    helper->SetProg(program);
  }
  if (assigned) {
    if (member->IsReadOnly()) throw EwzScriptError(SLeftCantAssigned);
    member->SetValue(*assigned);
    return Variant::Null();
  }
  member->SetNeedResult(needResult);
  return member->GetValue();
}

}  // namespace

Variant TwzDynamicHelper::Index(const Variant& value, int from) {
  const Variant& v = value.Deref();
  const int given = Count() - from;
  if (v.IsString()) {
    if (given != 1) throw EwzScriptError(SIndexRequired);
    const String s = v.AsString();
    const rtl::Int64 i = Params(from)->GetValue().AsInt64();
    wzCheckStringIndex(s, i);
    return Variant(s[static_cast<size_t>(i - 1)]);
  }
  if (v.IsArray()) {
    if (given != v.DimCount()) throw EwzScriptError(SIndexRequired);
    std::vector<rtl::Integer> idx;
    for (int i = from; i < Count(); ++i) idx.push_back(Params(i)->GetValue().AsInteger());
    return v.Element(idx.data(), given);
  }
  throw EwzScriptError(SArrayRequired);
}

Variant TwzDynamicHelper::Access(const Variant* assigned) {
  const Variant value = FParentValue.Deref();
  if (IsDispatch(value)) {
    if (IsIndex(FName)) throw EwzScriptError(L"An automation object is reached by member name, not by index");
    if (assigned) {
      TwzOLEHelper::SetValue(*assigned);
      return Variant::Null();
    }
    return TwzOLEHelper::GetValue();
  }
  const bool objectValue = value.IsNumeric() && !value.IsString();
  if (!objectValue || value.IsEmpty()) {
    if (IsIndex(FName) && !assigned && !value.IsNull() && !value.IsEmpty()) return Index(value, 0);
    if (value.IsNull() || value.IsEmpty()) throw EwzScriptError(L"Cannot reach '" + FName + L"' of a nil value");
    throw EwzScriptError(SClassRequired);
  }
  rtl::TObject* obj = value.AsObject();
  if (!obj) throw EwzScriptError(L"Cannot reach '" + FName + L"' of a nil object");
  TwzClassVariable* cls = nullptr;
  TwzCustomVariable* member = Member(obj, cls);
  if (FillParams(member, 0, Count())) return Reach(member, value, FProgram, FNeedResult, assigned);
  // Brackets after a member that takes none of them index what the member gives.
  if (FParenArgs < Count() && FillParams(member, 0, FParenArgs)) {
    const Variant inner = Reach(member, value, FProgram, true, nullptr);
    const Variant& iv = inner.Deref();
    if (iv.IsNumeric() && !iv.IsString() && !iv.IsNull() && iv.AsObject()) {
      rtl::TObject* innerObj = iv.AsObject();
      TwzClassVariable* innerCls = ClassItemOf(FProgram, innerObj);
      TwzCustomVariable* def = innerCls ? innerCls->DefProperty() : nullptr;
      if (!def) throw EwzScriptError(rtl::Format(SClassError, {innerObj->ClassName()}));
      if (!FillParams(def, FParenArgs, Count())) throw EwzScriptError(SIndexRequired);
      return Reach(def, inner, FProgram, FNeedResult, assigned);
    }
    if (assigned) throw EwzScriptError(SLeftCantAssigned);
    return Index(inner, FParenArgs);
  }
  throw EwzScriptError(Count() < member->GetNumberOfRequiredParams() ? SNotEnoughParams : STooManyParams);
}

Variant TwzDynamicHelper::GetValue() { return Access(nullptr); }

void TwzDynamicHelper::SetValue(const Variant& value) { Access(&value); }
