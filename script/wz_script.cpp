#include "script/wz_script.h"

#include <algorithm>

#include "platform/rtl/strings.h"
#include "script/wz_hostclasses.h"
#include "script/wz_statements.h"

using rtl::String;
using rtl::Variant;

TwzScript::TwzScript(rtl::TObject* /*aOwner*/) : FStatement(new TwzStatement(this, L"", L"")) {}

TwzScript::~TwzScript() {
  Clear();
  std::vector<Entry> items;
  items.swap(FItems);
  for (Entry& e : items) delete e.item;
  delete FStatement;
}

void TwzScript::Add(const String& name, rtl::TObject* item) {
  auto it = std::lower_bound(FItems.begin(), FItems.end(), name,
                             [](const Entry& e, const String& n) { return wzCompareNames(e.name, n) < 0; });
  FItems.insert(it, Entry{name, item});
  if (auto* v = dynamic_cast<TwzCustomVariable*>(item)) v->SetAddedBy(FAddedBy);
}

rtl::TObject* TwzScript::Items(int index) const {
  if (index < 0 || index >= Count()) throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  return FItems[static_cast<size_t>(index)].item;
}

const String& TwzScript::ItemName(int index) const {
  if (index < 0 || index >= Count()) throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  return FItems[static_cast<size_t>(index)].name;
}

void TwzScript::Remove(rtl::TObject* item) {
  auto it = std::find_if(FItems.begin(), FItems.end(), [item](const Entry& e) { return e.item == item; });
  if (it != FItems.end()) FItems.erase(it);
}

void TwzScript::Clear() {
  std::vector<rtl::TObject*> doomed;
  std::vector<Entry> kept;
  for (Entry& e : FItems) {
    auto* v = dynamic_cast<TwzCustomVariable*>(e.item);
    if (v && v->AddedBy() == wzAddedByRTTI)
      kept.push_back(e);
    else
      doomed.push_back(e.item);
  }
  FItems.swap(kept);
  for (rtl::TObject* obj : doomed) delete obj;
  FStatement->Clear();
  FErrorPos.clear();
  FErrorMsg.clear();
  FErrorUnit.clear();
}

TwzCustomVariable* TwzScript::FindLocal(const String& name) const {
  auto it = std::lower_bound(FItems.begin(), FItems.end(), name,
                             [](const Entry& e, const String& n) { return wzCompareNames(e.name, n) < 0; });
  if (it == FItems.end() || !wzSameName(it->name, name)) return nullptr;
  return dynamic_cast<TwzCustomVariable*>(it->item);
}

TwzCustomVariable* TwzScript::Find(const String& name) const {
  for (const TwzScript* p = this; p; p = p->FParent)
    if (TwzCustomVariable* v = p->FindLocal(name)) return v;
  return nullptr;
}

TwzClassVariable* TwzScript::FindClass(const String& name) const { return dynamic_cast<TwzClassVariable*>(Find(name)); }

Variant TwzScript::GetVariable(const String& name) const {
  TwzCustomVariable* v = Find(name);
  return v ? v->GetValue() : Variant::Null();
}

void TwzScript::SetVariable(const String& name, const Variant& value) {
  if (TwzCustomVariable* v = Find(name)) {
    v->SetValue(value);
    return;
  }
  auto* v = new TwzVariable(name, fvtVariant, L"Variant");
  v->SetOnGetVarValue(FOnGetVarValue);
  v->SetValue(value);
  Add(name, v);
}

void TwzScript::Execute() {
  ExitCalled = false;
  Terminated = false;
  FIsRunning = true;
  FMainProg = true;
  struct Reset {
    TwzScript* self;
    ~Reset() {
      self->ExitCalled = false;
      self->Terminated = false;
      self->FIsRunning = false;
    }
  } reset{this};
  FStatement->Execute();
}

void TwzScript::Terminate() {
  ExitCalled = true;
  Terminated = true;
  for (Entry& e : FItems)
    if (auto* proc = dynamic_cast<TwzProcVariable*>(e.item)) proc->Prog()->Terminate();
}

void TwzScript::RunLine(const String& unitName, const String& sourcePos) {
  for (TwzScript* p = this; p; p = p->FParent)
    if (p->FOnRunLine) {
      p->FOnRunLine(this, unitName, sourcePos);
      return;
    }
}

bool TwzScript::GetUnitText(const String& unitName, String& unitText) {
  if (!FOnGetUnit) return false;
  FOnGetUnit(this, unitName, unitText);
  return true;
}

bool TwzScript::FindTypeCode(const String& name, TwzVarType& typ) const {
  TwzCustomVariable* v = Find(name);
  if (!v) return false;
  typ = v->Typ();
  return true;
}

bool TwzScript::ClassInherits(const String& derived, const String& ancestor) const {
  TwzClassVariable* target = FindClass(ancestor);
  if (!target) return false;
  TwzClassVariable* start = FindClass(derived);
  if (!start) return false;
  // The class registry knows the whole chain, also through classes no script registered.
  if (start->ClassRef() && target->ClassRef()) return start->ClassRef()->InheritsFrom(target->ClassRef());
  // The ancestor names form the chain; a guard stops a chain that loops back on itself.
  int guard = 0;
  for (TwzClassVariable* c = start; c && guard < 1000; ++guard) {
    if (c == target || wzSameName(c->Name(), target->Name())) return true;
    if (c->Ancestor().empty()) return false;
    c = FindClass(c->Ancestor());
  }
  return false;
}
