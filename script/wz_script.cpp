#include "script/wz_script.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "script/wz_hostclasses.h"
#include "script/wz_iclassesrtti.h"
#include "script/wz_idialogsrtti.h"
#include "script/wz_iformsrtti.h"
#include "script/wz_igraphicsrtti.h"
#include "script/wz_iinirtti.h"
#include "script/wz_iilparser.h"
#include "script/wz_iilprogram.h"
#include "script/wz_isysrtti.h"
#include "script/wz_lowered.h"
#include "script/wz_statements.h"

using rtl::String;
using rtl::Variant;

VCL_REGISTER(TwzScript) {}

// --- module list ---

namespace {

struct ModuleList {
  std::unique_ptr<std::vector<TwzRTTIModuleClass>> list;
  bool destroyed = false;
  ~ModuleList() {
    list.reset();
    destroyed = true;
  }
};

ModuleList& Modules() {
  static ModuleList modules;
  return modules;
}

}  // namespace

std::vector<TwzRTTIModuleClass>* wzRTTIModules() {
  ModuleList& m = Modules();
  if (m.destroyed) return nullptr;
  if (!m.list) {
    m.list = std::make_unique<std::vector<TwzRTTIModuleClass>>();
    // Listed from the start, so a program never lacks its type names and the other modules can declare with them.
    // Registering here rather than from the modules' own files keeps those files linked in from a static library.
    // Each module names the classes of the ones before it as ancestors and parameter types.
    m.list->push_back(wzSysFunctionsModule());
    m.list->push_back(wzClassesModule());
    m.list->push_back(wzGraphicsModule());
    m.list->push_back(wzFormsModule());
    m.list->push_back(wzDialogsModule());
    m.list->push_back(wzIniModule());
  }
  return m.list.get();
}

void wzRegisterRTTIModule(TwzRTTIModuleClass moduleClass, bool first) {
  std::vector<TwzRTTIModuleClass>* list = wzRTTIModules();
  if (!list || !moduleClass || std::find(list->begin(), list->end(), moduleClass) != list->end()) return;
  if (first)
    list->insert(list->begin(), moduleClass);
  else
    list->push_back(moduleClass);
}

void wzRegisterRTTIModuleAfter(TwzRTTIModuleClass moduleClass, TwzRTTIModuleClass after) {
  std::vector<TwzRTTIModuleClass>* list = wzRTTIModules();
  if (!list || !moduleClass || std::find(list->begin(), list->end(), moduleClass) != list->end()) return;
  auto it = std::find(list->begin(), list->end(), after);
  list->insert(it == list->end() ? it : it + 1, moduleClass);
}

void wzUnregisterRTTIModule(TwzRTTIModuleClass moduleClass) {
  std::vector<TwzRTTIModuleClass>* list = wzRTTIModules();
  if (!list) return;
  list->erase(std::remove(list->begin(), list->end(), moduleClass), list->end());
}

// --- program ---

TwzScript::TwzScript(vcl::TComponent* aOwner) : vcl::TComponent(aOwner), FStatement(new TwzStatement(this, L"", L"")) {
  BumpChainEpoch();
}

TwzScript::~TwzScript() {
  BumpChainEpoch();
  CountHook(false);
  FStamp->Alive = false;
  DropEvaluations();
  FRetiredEvaluations.clear();
  Clear();
  ClearRTTI();
  Settle();
  std::vector<Entry> items;
  items.swap(FItems);
  FSorted = 0;
  for (Entry& e : items) delete e.item;
  delete FStatement;
}

namespace {

// Registration fills a program with hundreds of entries in a row; they wait in an unsorted tail, which lookups
// search from its newest entry, and join the sorted part in one merge once the tail is this long (or when the
// registry is read in order).
constexpr size_t kUnsortedTail = 64;

}  // namespace

void TwzScript::Add(const String& name, rtl::TObject* item) {
  DropEvaluations();
  FItems.push_back(Entry{name, item});
  if (FItems.size() - FSorted >= kUnsortedTail) Settle();
  if (auto* v = dynamic_cast<TwzCustomVariable*>(item)) v->SetAddedBy(FAddedBy);
}

void TwzScript::Settle() const {
  if (FSorted == FItems.size()) return;
  const auto less = [](const Entry& a, const Entry& b) { return wzCompareNames(a.name, b.name) < 0; };
  // The newest of equal names first: reversed, then sorted keeping that order, then merged in front of the older
  // entries of the same name.
  const auto tail = FItems.begin() + static_cast<std::ptrdiff_t>(FSorted);
  std::reverse(tail, FItems.end());
  std::stable_sort(tail, FItems.end(), less);
  std::vector<Entry> merged;
  merged.reserve(FItems.size());
  std::merge(std::make_move_iterator(tail), std::make_move_iterator(FItems.end()),
             std::make_move_iterator(FItems.begin()), std::make_move_iterator(tail), std::back_inserter(merged), less);
  FItems.swap(merged);
  FSorted = FItems.size();
}

rtl::TObject* TwzScript::Items(int index) const {
  if (index < 0 || index >= Count()) throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  Settle();
  return FItems[static_cast<size_t>(index)].item;
}

const String& TwzScript::ItemName(int index) const {
  if (index < 0 || index >= Count()) throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
  Settle();
  return FItems[static_cast<size_t>(index)].name;
}

void TwzScript::Remove(rtl::TObject* item) {
  DropEvaluations();
  Settle();
  auto it = std::find_if(FItems.begin(), FItems.end(), [item](const Entry& e) { return e.item == item; });
  if (it != FItems.end()) {
    FItems.erase(it);
    FSorted = FItems.size();
  }
}

void TwzScript::RemoveItems(TwzAddedBy owner) {
  DropEvaluations();
  DropCode();
  Settle();
  std::vector<rtl::TObject*> doomed;
  for (size_t i = FItems.size(); i-- > 0;) {
    auto* v = dynamic_cast<TwzCustomVariable*>(FItems[i].item);
    if (v && v->AddedBy() == owner) {
      doomed.push_back(v);
      FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  // An event adapter goes with its handler: the host's event must not reach a freed procedure.
  for (size_t i = FItems.size(); i-- > 0;) {
    auto* adapter = dynamic_cast<TwzCustomEvent*>(FItems[i].item);
    if (adapter && std::find(doomed.begin(), doomed.end(), static_cast<rtl::TObject*>(adapter->Handler())) !=
                       doomed.end()) {
      doomed.push_back(adapter);
      FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  FSorted = FItems.size();
  for (rtl::TObject* obj : doomed) delete obj;
}

void TwzScript::ClearItems(TwzAddedBy owner) {
  RemoveItems(owner);
  FStatement->Clear();
  FUnitLines.clear();
}

void TwzScript::Clear() {
  DropEvaluations();
  DropCode();
  Settle();
  std::vector<rtl::TObject*> doomed;
  std::vector<Entry> kept;
  for (Entry& e : FItems) {
    auto* v = dynamic_cast<TwzCustomVariable*>(e.item);
    if ((v && v->AddedBy() == wzAddedByRTTI) || dynamic_cast<TwzRTTIModule*>(e.item))
      kept.push_back(e);
    else
      doomed.push_back(e.item);
  }
  FItems.swap(kept);
  FSorted = FItems.size();
  // The statements go first: they may refer to items, never the other way round.
  FStatement->Clear();
  for (rtl::TObject* obj : doomed) delete obj;
  FUnitLines.clear();
  FErrorPos.clear();
  FErrorMsg.clear();
  FErrorUnit.clear();
}

TwzCustomVariable* TwzScript::FindLocal(const String& name) const {
  for (size_t i = FItems.size(); i-- > FSorted;)
    if (wzSameName(FItems[i].name, name)) return dynamic_cast<TwzCustomVariable*>(FItems[i].item);
  const auto sortedEnd = FItems.begin() + static_cast<std::ptrdiff_t>(FSorted);
  auto it = std::lower_bound(FItems.begin(), sortedEnd, name,
                             [](const Entry& e, const String& n) { return wzCompareNames(e.name, n) < 0; });
  if (it == sortedEnd || !wzSameName(it->name, name)) return nullptr;
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
  // Through the registration dispatch, so a program class that intercepts AddVariable sees this one too.
  AddVariable(name, L"Variant", value);
}

void TwzScript::Execute() {
  ExitCalled = false;
  Terminated = false;
  FIsRunning = true;
  SetMainProg(true);
  struct Reset {
    TwzScript* self;
    ~Reset() {
      self->ExitCalled = false;
      self->Terminated = false;
      self->FIsRunning = false;
    }
  } reset{this};
  RunStatement();
}

void TwzScript::RunTrees() { FStatement->Execute(); }

void TwzScript::DropCode() {
  if (!FCode) return;
  if (FCodeRunning > 0)
    FRetiredCode.push_back(std::move(FCode));
  else
    FCode.reset();
}

void TwzScript::LowerCode() {
  DropCode();
  Settle();
  FCode = wzLowerStatementList(FStatement);
  for (Entry& e : FItems) {
    auto* proc = dynamic_cast<TwzProcVariable*>(e.item);
    // A routine keeps the code made when it was compiled: its statements do not change afterwards.
    if (proc && !proc->Prog()->FCode) proc->Prog()->LowerCode();
  }
}

void TwzScript::Terminate() {
  ExitCalled = true;
  Terminated = true;
  Settle();
  for (Entry& e : FItems)
    if (auto* proc = dynamic_cast<TwzProcVariable*>(e.item)) proc->Prog()->Terminate();
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

// --- registration ---

TwzClassVariable* TwzScript::AddClass(const vcl::TClassInfo* aClass, const String& ancestor) {
  if (!aClass || Find(aClass->ClassName())) return nullptr;
  auto* cls = new TwzClassVariable(aClass, ancestor);
  cls->SetProgram(this);
  if (auto* parent = dynamic_cast<TwzClassVariable*>(Find(ancestor))) cls->SetDefProperty(parent->DefProperty());
  Add(cls->Name(), cls);
  return cls;
}

void TwzScript::AddConst(const String& name, const String& typ, const Variant& value) {
  if (Find(name)) return;
  auto item = std::make_unique<TwzVariable>(name, StrToVarType(typ, this), typ);
  item->SetValue(value);
  item->SetIsReadOnly(true);
  Add(name, item.release());
}

namespace {

std::vector<String> CommaEntries(const String& names) {
  rtl::TStringList list;
  list.SetCommaText(names);
  std::vector<String> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(rtl::Trim(list[i]));
  return out;
}

}  // namespace

void TwzScript::AddEnum(const String& typ, const String& names) {
  Add(typ, new TwzVariable(typ, fvtEnum, typ));
  int value = 0;
  for (const String& name : CommaEntries(names)) {
    auto* item = new TwzVariable(name, fvtEnum, typ);
    item->SetValue(Variant(value++));
    item->SetIsReadOnly(true);
    Add(name, item);
  }
}

void TwzScript::AddEnumSet(const String& typ, const String& names) {
  Add(typ, new TwzVariable(typ, fvtEnum, typ));
  int value = 1;
  for (const String& name : CommaEntries(names)) {
    auto* item = new TwzVariable(name, fvtEnum, typ);
    item->SetValue(Variant(value));
    value *= 2;
    item->SetIsReadOnly(true);
    Add(name, item);
  }
}

void TwzScript::AddComponent(vcl::TComponent* form) {
  if (!form) return;
  auto* cls = FindClass(form->ClassName());
  if (!cls) {
    String ancestor;
    for (const wchar_t* base : {L"TForm", L"TDataModule", L"TFrame"}) {
      for (const vcl::TClassInfo* c = form->ClassType(); c && ancestor.empty(); c = c->ClassParent())
        if (wzSameName(c->ClassName(), base)) ancestor = base;
      if (!ancestor.empty()) break;
    }
    if (ancestor.empty()) return;
    cls = AddClass(form->ClassType(), ancestor);
    if (!cls) return;
  }
  for (int i = 0; i < form->ComponentCount(); ++i) cls->AddComponent(form->Components(i));
  AddObject(form->Name(), form);
}

void TwzScript::AddForm(vcl::TComponent* form) { AddComponent(form); }

TwzMethodHelper* TwzScript::AddMethod(const String& syntax, TwzCallMethodNewEvent callEvent, const String& category,
                                      const String& description) {
  auto* m = new TwzMethodHelper(syntax, this);
  m->SetOnCallNew(std::move(callEvent));
  m->SetCategory(category);
  m->SetDescription(description.empty() ? m->Name() : description);
  Add(m->Name(), m);
  return m;
}

TwzMethodHelper* TwzScript::AddMethod(const String& syntax, TwzCallMethodEvent callEvent, const String& category,
                                      const String& description) {
  auto* m = new TwzMethodHelper(syntax, this);
  m->SetOnCall(std::move(callEvent));
  m->SetCategory(category);
  m->SetDescription(description.empty() ? m->Name() : description);
  Add(m->Name(), m);
  return m;
}

void TwzScript::AddObject(const String& name, rtl::TObject* obj) {
  if (!obj) throw EwzScriptError(L"Cannot register a nil object as '" + name + L"'");
  AddVariable(name, obj->ClassName(), Variant::FromObject(obj));
}

void TwzScript::AddVariable(const String& name, const String& typ, const Variant& value) {
  if (Find(name)) return;
  const TwzVarType code = StrToVarType(typ, this);
  std::unique_ptr<TwzVariable> item;
  if (code == fvtString || code == fvtChar)
    item = std::make_unique<TwzStringVariable>(name, code, typ);
  else
    item = std::make_unique<TwzVariable>(name, code, typ);
  item->SetValue(value);
  item->SetOnGetVarValue(FOnGetVarValue);
  Add(name, item.release());
}

void TwzScript::AddType(const String& typeName, TwzVarType parentType) {
  if (Find(typeName)) return;
  Add(typeName, new TwzTypeVariable(typeName, parentType));
}

void TwzScript::AddRTTI() {
  if (FRTTIAdded) return;
  std::vector<TwzRTTIModuleClass>* modules = wzRTTIModules();
  FAddedBy = wzAddedByRTTI;
  struct Restore {
    TwzScript* self;
    ~Restore() { self->FAddedBy = nullptr; }
  } restore{this};
  if (modules)
    for (TwzRTTIModuleClass moduleClass : std::vector<TwzRTTIModuleClass>(*modules)) Add(String(), moduleClass(this));
  FRTTIAdded = true;
}

void TwzScript::ClearRTTI() {
  if (!FRTTIAdded) return;
  DropEvaluations();
  DropCode();
  Settle();
  std::vector<rtl::TObject*> doomed;
  std::vector<Entry> kept;
  for (Entry& e : FItems) {
    auto* v = dynamic_cast<TwzCustomVariable*>(e.item);
    if ((v && v->AddedBy() == wzAddedByRTTI) || dynamic_cast<TwzRTTIModule*>(e.item))
      doomed.push_back(e.item);
    else
      kept.push_back(e);
  }
  FItems.swap(kept);
  FSorted = FItems.size();
  for (rtl::TObject* obj : doomed) delete obj;
  FRTTIAdded = false;
}

void TwzScript::SetLines(const rtl::TStrings& value) { FLines.Assign(&value); }

// --- compiling ---

bool TwzScript::Translate(TwzILParser& parser) {
  parser.SelectLanguage(FSyntaxType);
  if (parser.MakeILScript(FLines.Text())) return true;
  // A translation that failed without a grammar message must not pass for an empty program.
  if (FErrorMsg.empty()) {
    FErrorMsg = L"Syntax error";
    if (FErrorPos.empty()) FErrorPos = L"1:1";
  }
  return false;
}

bool TwzScript::Compile() {
  FErrorMsg.clear();
  FErrorPos.clear();
  FErrorUnit.clear();
  DropEvaluations();
  DropCode();
  {
    TwzILParser parser(this);
    if (Translate(parser)) {
      TwzILBuilder builder(parser, this);
      builder.ParseILScript();
    }
  }
  if (!FErrorMsg.empty()) return false;
  FErrorPos.clear();
  if (wzLoweringEnabled()) LowerCode();
  return true;
}

bool TwzScript::Run() {
  if (!Compile()) return false;
  Execute();
  return true;
}

bool TwzScript::GetILCode(rtl::TStream& stream) {
  FErrorMsg.clear();
  FErrorPos.clear();
  FErrorUnit.clear();
  TwzILParser parser(this);
  if (!Translate(parser)) return false;
  parser.ILScript()->SaveToStream(stream);
  FErrorPos.clear();
  return true;
}

bool TwzScript::SetILCode(rtl::TStream& stream) {
  FErrorMsg.clear();
  FErrorPos.clear();
  FErrorUnit.clear();
  DropEvaluations();
  TwzILParser parser(this);
  parser.SelectLanguage(FSyntaxType);
  try {
    parser.ILScript()->LoadFromStream(stream);
  } catch (const rtl::Exception& e) {
    FErrorMsg = e.Message();
    return false;
  }
  DropCode();
  TwzILBuilder builder(parser, this);
  builder.ParseILScript();
  if (!FErrorMsg.empty()) return false;
  FErrorPos.clear();
  if (wzLoweringEnabled()) LowerCode();
  return true;
}

// --- calling ---

namespace {

// A routine the host calls while it runs already (from a handler the routine itself called) keeps the running
// level's locals, as a call from the script does: saved before the parameters are set, restored when the call
// has ended and its parameters have been read back.
struct HostCallLocals {
  TwzProcVariable* proc = nullptr;
  TwzProcVariable::LocalsMark mark;
  explicit HostCallLocals(TwzProcVariable* func) {
    if (func->Executing()) {
      mark = func->SaveLocals();
      proc = func;
    }
  }
  ~HostCallLocals() {
    if (proc) proc->RestoreLocals(mark);
  }
  HostCallLocals(const HostCallLocals&) = delete;
  HostCallLocals& operator=(const HostCallLocals&) = delete;
};

}  // namespace

Variant TwzScript::CallFunction2(TwzProcVariable* func, const Variant& params) {
  if (!func) return Variant::Null();
  HostCallLocals locals(func);
  return CallSaved(func, params);
}

Variant TwzScript::CallSaved(TwzProcVariable* func, const Variant& params) {
  // A host may call routines without ever running the main block; the program still anchors the chain, so
  // Evaluate from a handler sees the routine that runs.
  if (!FParent) SetMainProg(true);
  if (params.IsArray()) {
    const int high = params.HighBound(1);
    const int low = params.LowBound(1);
    for (int i = low; i <= high; ++i) func->Params(i - low)->SetValue(params.Element({i}));
  }
  return func->GetValue();
}

Variant TwzScript::CallFunction(const String& name, const Variant& params, bool global) {
  auto* func = dynamic_cast<TwzProcVariable*>(global ? Find(name) : FindLocal(name));
  if (!func) return Variant::Null();
  return CallFunction2(func, params);
}

Variant TwzScript::CallFunction1(const String& name, Variant& params, bool global) {
  auto* func = dynamic_cast<TwzProcVariable*>(global ? Find(name) : FindLocal(name));
  if (!func) return Variant::Null();
  HostCallLocals locals(func);
  Variant result = CallSaved(func, params);
  if (params.IsArray()) {
    const int high = params.HighBound(1);
    const int low = params.LowBound(1);
    for (int i = low; i <= high; ++i) params.PutElement({i}, func->Params(i - low)->GetValue());
  }
  return result;
}

// --- evaluating ---

String TwzScript::EvaluationText(const String& expression) const {
  if (wzSameName(FSyntaxType, L"ZuvizaVuruze"))
    return L"function wzEvaluateFUNC: Variant; begin Result := " + expression + L" end; begin end.";
  if (wzSameName(FSyntaxType, L"R++Aradod")) return L"Variant wzEvaluateFUNC() { return " + expression + L"; } {}";
  if (wzSameName(FSyntaxType, L"DizizOzazoz"))
    return L"function wzEvaluateFUNC\r\nreturn " + expression + L"\r\nend function";
  if (wzSameName(FSyntaxType, L"JScript")) return L"function wzEvaluateFUNC() { return (" + expression + L"); }";
  return String();
}

void TwzScript::DropEvaluations() {
  // Every change of the registry comes here: evaluations kept by child programs learn of it through the stamp.
  ++FStamp->Generation;
  if (FEvaluations.empty()) return;
  std::vector<CachedEvaluation> doomed;
  doomed.swap(FEvaluations);
  if (FEvaluating > 0) {
    for (CachedEvaluation& c : doomed) FRetiredEvaluations.push_back(std::move(c.program));
    return;
  }
  doomed.clear();
}

Variant TwzScript::Evaluate(const String& expression) {
  FEvaluteRiseError = false;
  TwzScript* scope = FProgRunning ? FProgRunning : this;

  TwzRunLineEvent savedHook = std::move(FOnRunLine);
  FOnRunLine = nullptr;
  ++FEvaluating;
  struct Restore {
    TwzScript* self;
    TwzRunLineEvent& hook;
    ~Restore() {
      self->FOnRunLine = std::move(hook);
      if (--self->FEvaluating == 0) self->FRetiredEvaluations.clear();
    }
  } restore{this, savedHook};

  TwzScript* program = nullptr;
  TwzProcVariable* func = nullptr;
  std::unique_ptr<TwzScript> once;
  auto matches = [&](const CachedEvaluation& c) {
    return c.scope == scope && c.expression == expression && c.program->SyntaxType() == FSyntaxType;
  };
  size_t found = FEvaluations.size();
  if (FLastEvaluation < FEvaluations.size() && matches(FEvaluations[FLastEvaluation])) {
    found = FLastEvaluation;
  } else {
    for (size_t i = 0; i < FEvaluations.size(); ++i)
      if (matches(FEvaluations[i])) {
        found = i;
        break;
      }
  }
  if (found < FEvaluations.size()) {
    CachedEvaluation& c = FEvaluations[found];
    // Kept code is reused only while what it was bound to is unchanged: parent registries and Variant paths.
    if (c.snapshot.StillFits(scope, c.program->BindingLog())) {
      program = c.program.get();
      func = c.func;
      FLastEvaluation = found;
    } else {
      if (FEvaluating > 1) FRetiredEvaluations.push_back(std::move(c.program));
      FEvaluations.erase(FEvaluations.begin() + static_cast<std::ptrdiff_t>(found));
    }
  }
  if (!func || func->Executing()) {
    // A fresh program: the first evaluation of this text here, or the same text evaluated from inside itself.
    auto fresh = std::make_unique<TwzScript>(nullptr);
    fresh->FBindingLog = std::make_unique<TwzBindingLog>();
    if (!scope->FRTTIAdded && !FRTTIAdded) fresh->AddRTTI();
    fresh->SetParent(scope);
    fresh->SetOnGetVarValue(scope->OnGetVarValue());
    fresh->SetSyntaxType(FSyntaxType);
    fresh->SetText(EvaluationText(expression));
    if (!fresh->Compile()) {
      FEvaluteRiseError = true;
      return Variant(fresh->ErrorMsg());
    }
    func = dynamic_cast<TwzProcVariable*>(fresh->FindLocal(L"wzEvaluateFUNC"));
    if (!func) {
      FEvaluteRiseError = true;
      return Variant(String(L"Language '") + FSyntaxType + L"' cannot evaluate expressions");
    }
    if (program) {
      once = std::move(fresh);
    } else {
      program = fresh.get();
      FLastEvaluation = FEvaluations.size();
      FEvaluations.push_back(CachedEvaluation{scope, expression, std::move(fresh), TwzScopeSnapshot(scope), func});
    }
  }
  return func->GetValue();
}

// --- debugger support ---

void TwzScript::AddCodeLine(const String& unitName, const String& pos) {
  const size_t colon = pos.find(L':');
  const int line = static_cast<int>(rtl::StrToIntDef(pos.substr(0, colon), -1));
  if (line < 0) return;
  auto it = std::find_if(FUnitLines.begin(), FUnitLines.end(),
                         [&unitName](const UnitLines& u) { return wzSameName(u.unit, unitName); });
  if (it == FUnitLines.end()) {
    FUnitLines.push_back(UnitLines{unitName, {}});
    it = FUnitLines.end() - 1;
  }
  auto at = std::lower_bound(it->lines.begin(), it->lines.end(), line);
  if (at == it->lines.end() || *at != line) it->lines.insert(at, line);
}

bool TwzScript::IsExecutableLine(int lineN, const String& unitName) const {
  auto it = std::find_if(FUnitLines.begin(), FUnitLines.end(),
                         [&unitName](const UnitLines& u) { return wzSameName(u.unit, unitName); });
  return it != FUnitLines.end() && std::binary_search(it->lines.begin(), it->lines.end(), lineN);
}
