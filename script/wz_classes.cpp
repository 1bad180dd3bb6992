#include "script/wz_classes.h"

#include <algorithm>
#include <typeinfo>

#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"
#include "script/wz_iconst.h"
#include "script/wz_script.h"
#include "script/wz_statements.h"

using rtl::String;
using rtl::Variant;

namespace {

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

// Upper case by the invariant rules, whatever the user's locale; ASCII letters map exactly as AsciiUpper does, so
// both paths of wzCompareNames order names the same way.
String InvariantUpper(const String& s) {
  if (s.empty()) return s;
  String out(s.size(), L'\0');
  const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, s.c_str(), static_cast<int>(s.size()), out.data(),
                              static_cast<int>(out.size()), nullptr, nullptr, 0);
  if (n != static_cast<int>(s.size())) {
    out = s;
    for (wchar_t& c : out) c = AsciiUpper(c);
  }
  return out;
}

}  // namespace

// Registries compare names on every lookup and insertion: the ASCII case is decided in one pass that stops at the
// first difference. Up to there the characters are ASCII and equal when folded, and the invariant rules fold ASCII
// the same way and keep lengths, so stopping early gives what comparing the folded wholes gives.
int wzCompareNames(const String& a, const String& b) {
  const size_t n = std::min(a.size(), b.size());
  const wchar_t* pa = a.data();
  const wchar_t* pb = b.data();
  size_t i = 0;
  for (; i < n; ++i) {
    const wchar_t x = pa[i], y = pb[i];
    if ((x | y) >= 128) break;
    if (x == y) continue;
    const wchar_t ux = AsciiUpper(x), uy = AsciiUpper(y);
    if (ux != uy) return ux < uy ? -1 : 1;
  }
  if (i == n) return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  const String x = InvariantUpper(a), y = InvariantUpper(b);
  return x == y ? 0 : (x < y ? -1 : 1);
}

String wzUpperName(const String& name) { return rtl::UpperCase(name); }

// --- TwzItemList ---

TwzItemList::~TwzItemList() { TwzItemList::Clear(); }

void TwzItemList::Clear() {
  // Detach first so that an owned object looking back at this list during its destruction finds it consistent.
  std::vector<rtl::TObject*> items;
  items.swap(FItems);
  for (rtl::TObject* obj : items) delete obj;
}

void TwzItemList::Remove(rtl::TObject* obj) {
  auto it = std::find(FItems.begin(), FItems.end(), obj);
  if (it != FItems.end()) FItems.erase(it);
}

rtl::TObject* TwzItemList::GetItem(int index) const {
  if (index < 0 || index >= Count()) throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  return FItems[static_cast<size_t>(index)];
}

// --- TwzCustomVariable ---

TwzCustomVariable::TwzCustomVariable(const String& aName, TwzVarType aTyp, const String& aTypeName)
    : FName(aName), FTyp(aTyp), FTypeName(aTypeName), FUppercaseName(wzUpperName(aName)), FValue(Variant::Null()) {}

void TwzCustomVariable::SetName(const String& value) {
  FName = value;
  FUppercaseName = wzUpperName(value);
}

void TwzCustomVariable::SetValue(const Variant& value) {
  if (!FIsReadOnly) FValue = value;
}

Variant TwzCustomVariable::GetValue() { return FValue; }

TwzParamItem* TwzCustomVariable::Params(int index) const { return static_cast<TwzParamItem*>(GetItem(index)); }

String TwzCustomVariable::GetFullTypeName() const {
  switch (FTyp) {
    case fvtInt: return L"Integer";
    case fvtBool: return L"Boolean";
    case fvtFloat: return L"Extended";
    case fvtChar: return L"Char";
    case fvtString: return L"String";
    case fvtClass: return FTypeName;
    case fvtArray: return L"Array";
    case fvtVariant: return L"Variant";
    case fvtEnum: return FTypeName;
    case fvtConstructor: return L"Variant";
    case fvtInt64: return L"Int64";
  }
  return L"Variant";
}

int TwzCustomVariable::GetNumberOfRequiredParams() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i)
    if (!Params(i)->IsOptional()) ++n;
  return n;
}

// --- TwzVariable ---

void TwzVariable::SetValue(const Variant& value) {
  if (FIsReadOnly) return;
  switch (FTyp) {
    case fvtInt: FValue = Variant(value.AsInteger()); break;
    case fvtBool: FValue = Variant(value.AsBoolean()); break;
    case fvtFloat:
      if ((value.Deref().VarType() & rtl::varTypeMask) == rtl::varDate && !value.IsArray())
        FValue = value.Deref();
      else
        FValue = Variant(value.AsDouble());
      break;
    case fvtString: FValue = Variant(value.AsString()); break;
    case fvtInt64: FValue = Variant(static_cast<long long>(value.AsInt64())); break;
    default: FValue = value; break;
  }
}

Variant TwzVariable::GetValue() {
  if (FOnGetVarValue) {
    Variant v = FOnGetVarValue(FName, FTyp, FValue);
    if (!v.IsNull()) return v;
  }
  return FValue;
}

// --- TwzStringVariable ---

void TwzStringVariable::SetValue(const Variant& value) {
  String text = value.AsString();
  Touch();
  FStr = std::move(text);
}

Variant TwzStringVariable::GetValue() {
  if (FOnGetVarValue) {
    Variant v = FOnGetVarValue(FName, FTyp, Variant(FStr));
    if (!v.IsNull()) return v;
  }
  return Variant(FStr);
}

bool wzIsPlainValueItem(TwzCustomVariable* item) {
  if (!item) return false;
  const std::type_info& type = typeid(*item);
  return type == typeid(TwzVariable) || type == typeid(TwzParamItem);
}

// --- TwzParamItem ---

TwzParamItem::TwzParamItem(const String& aName, TwzVarType aTyp, const String& aTypeName, bool aIsOptional,
                           bool aIsVarParam)
    : TwzCustomVariable(aName, aTyp, aTypeName),
      FDefValue(Variant::Null()),
      FIsOptional(aIsOptional),
      FIsVarParam(aIsVarParam) {
  FItemKind |= wzkParam;
}

// --- TwzProcVariable ---

TwzProcVariable::TwzProcVariable(const String& aName, TwzVarType aTyp, const String& aTypeName, TwzScript* aParent,
                                 bool aIsFunc)
    : TwzCustomVariable(aName, aTyp, aTypeName), FIsFunc(aIsFunc), FProgram(new TwzScript(nullptr)) {
  FItemKind |= wzkProc;
  FIsReadOnly = true;
  FGeneration = &FProgram->Stamp()->Generation;
  FProgram->SetParent(aParent);
  if (aParent) FProgram->SetUseClassLateBinding(aParent->UseClassLateBinding());
  if (aIsFunc) {
    auto* result = new TwzVariable(L"Result", aTyp, aTypeName);
    FProgram->Add(L"Result", result);
    FRefItem = result;
  }
}

TwzProcVariable::~TwzProcVariable() {
  // The parameters are registered in the local program too, but they belong to this item.
  ReleaseParams();
  delete FProgram;
}

void TwzProcVariable::ReleaseParams() {
  for (rtl::TObject* param : FItems) FProgram->Remove(param);
}

void TwzProcVariable::Clear() {
  ReleaseParams();
  TwzCustomVariable::Clear();
}

void TwzProcVariable::AddParam(TwzParamItem* param) {
  Add(param);
  FProgram->Add(param->Name(), param);
}

namespace {

using StackLimitsFunc = void(WINAPI*)(PULONG_PTR low, PULONG_PTR high);

StackLimitsFunc StackLimits() {
  static const StackLimitsFunc func = reinterpret_cast<StackLimitsFunc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetCurrentThreadStackLimits")));
  return func;
}

}  // namespace

// Where the thread's block does not answer the stack's low end (wzCheckCallDepth reads it there first).
bool wzStackNearlyExhaustedSlow() {
  const char here = 0;
  const char* stackBase;
  if (StackLimitsFunc limits = StackLimits()) {
    ULONG_PTR low = 0, high = 0;
    limits(&low, &high);
    stackBase = reinterpret_cast<const char*>(low);
  } else {
    thread_local const char* base = nullptr;
    if (!base) {
      MEMORY_BASIC_INFORMATION info{};
      if (VirtualQuery(&here, &info, sizeof info) == 0) return false;
      base = static_cast<const char*>(info.AllocationBase);
    }
    stackBase = base;
  }
  return static_cast<std::size_t>(&here - stackBase) < kwzStackReserveForHost;
}

void wzRaiseTooManyNestedCalls() { throw EwzScriptError(L"Too many nested procedure calls (stack overflow)"); }

Variant TwzProcVariable::GetValue() {
  Variant value;
  InvokeInline(value);
  return value;
}

void TwzProcVariable::Invoke(Variant& out) { InvokeInline(out); }

void TwzProcVariable::FindMain(std::uint64_t epoch) {
  FMainFound = nullptr;
  for (TwzScript* p = FProgram; p; p = p->Parent())
    if (p->MainProg()) {
      FMainFound = p;
      break;
    }
  FMainEpoch = epoch;
}

// Unassigned converted by the result's type, as its SetValue would convert it, written straight into a plain
// variable.
void TwzProcVariable::ResetResult(bool plain) {
  if (FRefItem->IsReadOnly() || !plain) {
    FRefItem->SetValue(Variant::Unassigned());
    return;
  }
  Variant& stored = *FRefItem->PValue();
  switch (FRefItem->Typ()) {
    case fvtInt: stored = Variant(0); break;
    case fvtBool: stored = Variant(false); break;
    case fvtFloat: stored = Variant(0.0); break;
    case fvtString: stored = Variant(String()); break;
    case fvtInt64: stored = Variant(0LL); break;
    default: stored = Variant::Unassigned(); break;
  }
}

void TwzProcVariable::ListLocals() {
  // Saved blocks still waiting to be restored read their items through the list they were saved with.
  if (FSlotTop > 0) FRetiredLocals.push_back(std::move(FLocals));
  FLocals = {};
  FTextLocals = false;
  const int count = FProgram->Count();
  for (int i = 0; i < count; ++i) {
    auto* item = static_cast<TwzCustomVariable*>(FProgram->Items(i));
    if (item && (item->IsKind(wzkVariable) || item->IsKind(wzkParam))) {
      FLocals.push_back(item);
      if (item->IsKind(wzkStringVariable)) FTextLocals = true;
    }
  }
  FLocalsGeneration = *FGeneration;
  FLocalsKnown = true;
}

void TwzProcVariable::GrowSlots(size_t count) { FSlots.resize(std::max(count, FSlots.size() * 2)); }

TwzProcVariable::LocalsMark TwzProcVariable::SaveLocalsListed() {
  const size_t mark = FSaved.size();
  for (TwzCustomVariable* item : FLocals) {
    if (item->IsKind(wzkStringVariable))
      FSaved.emplace_back(item, Variant(static_cast<TwzStringVariable*>(item)->Text()));
    else
      FSaved.emplace_back(item, *item->PValue());
  }
  LocalsMark saved;
  saved.mark = mark;
  saved.listed = true;
  return saved;
}

void TwzProcVariable::RestoreLocalsListed(size_t mark) noexcept {
  for (size_t i = mark; i < FSaved.size(); ++i) {
    TwzCustomVariable* item = FSaved[i].first;
    if (item->IsKind(wzkStringVariable))
      RestoreText(item, FSaved[i].second);
    else
      *item->PValue() = std::move(FSaved[i].second);
  }
  FSaved.resize(mark);
}

// Written back into the storage itself: going through the typed assignment would reject a local that was never
// assigned (Null in an Integer variable) and would ignore read-only items.
void TwzProcVariable::RestoreText(TwzCustomVariable* item, Variant& value) noexcept {
  static_cast<TwzStringVariable*>(item)->Str() = value.IsNull() ? String() : rtl::VarToStr(value);
}

// --- TwzArrayHelper ---

TwzArrayHelper::TwzArrayHelper(const String& aName, int dimCount, TwzVarType aTyp, const String& aTypeName)
    : TwzCustomHelper(aName, aTyp, aTypeName) {
  const int count = dimCount < 0 ? 3 : dimCount;
  for (int i = 0; i < count; ++i)
    Add(new TwzParamItem(L"Index" + rtl::IntToStr(i), fvtInt, L"", dimCount < 0 && i > 0, false));
}

Variant* TwzArrayHelper::TargetArray() {
  if (FParentRef) {
    Variant* stored = FParentRef->PValue();
    if (stored->IsArray()) return stored;
  }
  // The parent keeps no array of its own (a function result, a property): work on the value it gave.
  if (FParentValue.IsArray()) return &FParentValue;
  throw rtl::EVariantNotAnArrayError(SArrayRequired);
}

void TwzArrayHelper::Indexes(int dimCount, int* indexes) const {
  if (dimCount > Count()) throw EwzScriptError(SNotEnoughParams);
  for (int i = 0; i < dimCount; ++i) indexes[i] = ParamAt(i)->PValue()->AsInteger();
}

Variant TwzArrayHelper::GetValue() {
  Variant* arr = TargetArray();
  const int dims = arr->DimCount();
  if (dims < 1 || dims > 3) return Variant::Null();
  int idx[3];
  Indexes(dims, idx);
  return arr->Element(idx, dims);
}

void TwzArrayHelper::SetValue(const Variant& value) {
  Variant* arr = TargetArray();
  const int dims = arr->DimCount();
  if (dims < 1 || dims > 3) return;
  int idx[3];
  Indexes(dims, idx);
  arr->PutElement(idx, dims, value);
}

// --- TwzStringHelper ---

void wzCheckStringIndex(const String& s, rtl::Int64 index) {
  if (index < 1 || index > static_cast<rtl::Int64>(s.size()))
    throw EwzScriptError(L"String index out of range: " + rtl::IntToStr(index) + L" (length " +
                         rtl::IntToStr(static_cast<rtl::Int64>(s.size())) + L")");
}

TwzStringHelper::TwzStringHelper() : TwzCustomHelper(L"__StringHelper", fvtChar, L"") {
  Add(new TwzParamItem(L"Index", fvtInt, L"", false, false));
}

Variant TwzStringHelper::GetValue() {
  const String s = FParentValue.AsString();
  const rtl::Int64 i = Params(0)->GetValue().AsInt64();
  wzCheckStringIndex(s, i);
  return Variant(s[static_cast<size_t>(i - 1)]);
}

void TwzStringHelper::SetValue(const Variant& value) {
  String s = FParentValue.AsString();
  const rtl::Int64 i = Params(0)->GetValue().AsInt64();
  wzCheckStringIndex(s, i);
  const String v = value.AsString();
  if (v.empty()) throw EwzScriptError(L"Cannot assign an empty string to a character");
  s[static_cast<size_t>(i - 1)] = v[0];
  if (FParentRef) FParentRef->SetValue(Variant(s));
}
