#pragma once
// A script program: the registry and scope of named items, the owner of the compiled statements and the holder of
// the run-time control flags. Programs chain through Parent; name lookup falls back to the parent.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <typeinfo>
#include <utility>
#include <vector>

#include <memory>

#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/component.h"
#include "script/wz_lowered.h"
#include "script/wz_classes.h"
#include "script/wz_evalcache.h"
#include "script/wz_hostclasses.h"
#include "script/wz_itools.h"

class TwzStatement;
class TwzClassVariable;
class TwzScript;
class TwzLoweredCode;

// The line hook a debugger uses: called before each statement runs.
using TwzRunLineEvent =
    std::function<void(TwzScript* sender, const rtl::String& unitName, const rtl::String& sourcePos)>;

// Asked by the front end for the text of a used unit.
using TwzGetUnitEvent = std::function<void(TwzScript* sender, const rtl::String& unitName, rtl::String& unitText)>;

// A binding module: its constructor registers types, constants, classes and functions on the program it is given.
class TwzRTTIModule : public rtl::TObject {
public:
  explicit TwzRTTIModule(TwzScript* aScript) : FScript(aScript) {}
  rtl::String ClassName() const override { return L"TwzRTTIModule"; }
  TwzScript* Script() const { return FScript; }

protected:
  TwzScript* FScript;
};

// How the module list names a module class: a factory that constructs it on a program.
using TwzRTTIModuleClass = TwzRTTIModule* (*)(TwzScript* script);

template <class T>
TwzRTTIModule* wzCreateRTTIModule(TwzScript* script) {
  return new T(script);
}

// The process-wide list of binding-module classes in registration order, created on first use; nil once the
// engine has shut down. The standard-function module puts itself first; other binding units append.
std::vector<TwzRTTIModuleClass>* wzRTTIModules();
// Appends (or, with first, inserts in front) unless the class is listed already.
void wzRegisterRTTIModule(TwzRTTIModuleClass moduleClass, bool first = false);
// Inserts right after `after` (appends when `after` is not listed) unless the class is listed already: a module
// that lives in a library above the engine still takes its place among the engine's own modules.
void wzRegisterRTTIModuleAfter(TwzRTTIModuleClass moduleClass, TwzRTTIModuleClass after);
// Takes the class out of the list, when the list still exists.
void wzUnregisterRTTIModule(TwzRTTIModuleClass moduleClass);

class TwzScript : public vcl::TComponent, public TwzCompilerHost {
  VCL_CLASS(TwzScript, vcl::TComponent)
public:
  explicit TwzScript(vcl::TComponent* aOwner = nullptr);
  ~TwzScript() override;

  // Registry. Entries are kept sorted by name (ordinal case rules) and a new entry goes in front of the entries of
  // the same name, so the newest registration wins lookups. The program owns every entry.
  void Add(const rtl::String& name, rtl::TObject* item);
  int Count() const { return static_cast<int>(FItems.size()); }
  rtl::TObject* Items(int index) const;
  const rtl::String& ItemName(int index) const;
  // Takes item out of the registry without freeing it.
  void Remove(rtl::TObject* item);
  // From the last entry to the first, frees and removes every script item registered with owner as AddedBy.
  void RemoveItems(TwzAddedBy owner);
  // RemoveItems(owner), then frees the top-level statements and the executable-line lists.
  void ClearItems(TwzAddedBy owner);
  // Frees and removes every entry except binding modules and their items; frees the top-level statements and the
  // executable-line lists; clears the error fields.
  void Clear();
  TwzCustomVariable* FindLocal(const rtl::String& name) const;
  TwzCustomVariable* Find(const rtl::String& name) const;
  TwzClassVariable* FindClass(const rtl::String& name) const;
  // Reading gives Null for an unknown name; writing an unknown name registers a Variant variable here.
  rtl::Variant GetVariable(const rtl::String& name) const;
  void SetVariable(const rtl::String& name, const rtl::Variant& value);

  // Registration. Type names resolve in this program and its parents. AddType, AddClass, AddConst and AddVariable
  // register nothing when the chain already knows the name; AddMethod, AddEnum and AddEnumSet register regardless,
  // and the newest registration wins lookups.
  virtual TwzClassVariable* AddClass(const vcl::TClassInfo* aClass, const rtl::String& ancestor);
  virtual void AddConst(const rtl::String& name, const rtl::String& typ, const rtl::Variant& value);
  virtual void AddEnum(const rtl::String& typ, const rtl::String& names);
  virtual void AddEnumSet(const rtl::String& typ, const rtl::String& names);
  // Registers a class item for a form, data module or frame with its owned components as members, and the object
  // itself; any other component class is ignored.
  virtual void AddComponent(vcl::TComponent* form);
  virtual void AddForm(vcl::TComponent* form);
  virtual TwzMethodHelper* AddMethod(const rtl::String& syntax, TwzCallMethodNewEvent callEvent,
                                     const rtl::String& category = rtl::String(),
                                     const rtl::String& description = rtl::String());
  virtual TwzMethodHelper* AddMethod(const rtl::String& syntax, TwzCallMethodEvent callEvent,
                                     const rtl::String& category = rtl::String(),
                                     const rtl::String& description = rtl::String());
  // obj must not be nil.
  virtual void AddObject(const rtl::String& name, rtl::TObject* obj);
  virtual void AddVariable(const rtl::String& name, const rtl::String& typ, const rtl::Variant& value);
  virtual void AddType(const rtl::String& typeName, TwzVarType parentType);
  // Instantiates every binding module once per program; ClearRTTI frees them with everything they registered.
  void AddRTTI();
  void ClearRTTI();
  bool RTTIAdded() const { return FRTTIAdded; }

  // Source text and language.
  rtl::TStringList& Lines() { return FLines; }
  void SetLines(const rtl::TStrings& value);
  void SetText(const rtl::String& text) { FLines.SetText(text); }
  const rtl::String& SyntaxType() const { return FSyntaxType; }
  void SetSyntaxType(const rtl::String& value) { FSyntaxType = value; }
  rtl::TStringList& Macros() { return FMacros; }

  // Translates Lines and builds the program. False with ErrorMsg, ErrorPos ("line:column") and ErrorUnit on a
  // syntax or build error; an unknown language, a broken grammar, an unreadable unit and the unit handler's
  // exceptions raise. What the program held before stays: recompiling hosts call Clear or ClearItems first.
  bool Compile();
  // Compile, then Execute when that succeeded.
  bool Run();
  // The intermediate code instead of a built program; and building from intermediate code handed back.
  bool GetILCode(rtl::TStream& stream);
  bool SetILCode(rtl::TStream& stream);

  // Runs the main statement. The exit and termination flags are cleared afterwards, also when an exception escapes.
  void Execute();
  // Runs the main statement's children (what Execute and a routine's call do), through the lower form the last
  // successful compile made when there is one.
  void RunStatement() {
    if (!FCode) [[unlikely]] {
      RunTrees();
      return;
    }
    // Inline: every script routine's call runs through here.
    TwzLoweredCode* code = FCode.get();
    ++FCodeRunning;
    struct Done {
      TwzScript* self;
      ~Done() {
        if (--self->FCodeRunning == 0 && !self->FRetiredCode.empty()) [[unlikely]]
          self->FRetiredCode.clear();
      }
    } done{this};
    code->Run();
  }
  // Calls a script routine with the elements of params (a variant array) as its first arguments; Null when there
  // is no routine of that name. Searches the parent chain when global.
  rtl::Variant CallFunction(const rtl::String& name, const rtl::Variant& params, bool global = false);
  // As CallFunction; afterwards element i of params receives parameter i's value, so var parameters come back.
  rtl::Variant CallFunction1(const rtl::String& name, rtl::Variant& params, bool global = false);
  rtl::Variant CallFunction2(TwzProcVariable* func, const rtl::Variant& params);
  // The value of an expression text in this program's language, seen from the routine running now. A text that
  // does not compile answers the compiler's message and sets EvaluteRiseError; run-time errors raise. Compiled
  // texts are kept and reused until the program's registrations change.
  rtl::Variant Evaluate(const rtl::String& expression);
  bool EvaluteRiseError() const { return FEvaluteRiseError; }

  // Moves on with every change of the registry; compiled evaluations of child programs check it.
  const std::shared_ptr<TwzRegistryStamp>& Stamp() const { return FStamp; }
  // Kept by evaluation programs: the Variant bindings their paths were resolved through.
  TwzBindingLog* BindingLog() const { return FBindingLog.get(); }

  // Debugger support: the lines that hold statements, per unit.
  void AddCodeLine(const rtl::String& unitName, const rtl::String& pos);
  bool IsExecutableLine(int lineN, const rtl::String& unitName) const;
  // Stops this program and every procedure in it at the next statement boundary.
  void Terminate();
  // Calls the first OnRunLine handler up the parent chain with this program as sender.
  void RunLine(const rtl::String& unitName, const rtl::String& sourcePos) {
    // Nearly every program runs without a line hook: one load then spares each statement the walk up the chain.
    if (FHookedPrograms.load(std::memory_order_relaxed) == 0) [[likely]]
      return;
    for (TwzScript* p = this; p; p = p->FParent)
      if (p->FOnRunLine) {
        p->FOnRunLine(this, unitName, sourcePos);
        return;
      }
  }

  TwzStatement* Statement() const { return FStatement; }
  TwzScript* Parent() const { return FParent; }
  void SetParent(TwzScript* value) {
    FParent = value;
    BumpChainEpoch();
  }
  TwzScript* ProgRunning() const { return FProgRunning; }
  void SetProgRunning(TwzScript* value) { FProgRunning = value; }
  bool MainProg() const { return FMainProg; }
  void SetMainProg(bool value) {
    if (FMainProg == value) return;
    FMainProg = value;
    BumpChainEpoch();
  }
  // Changes whenever a program's parent or main-program mark changes, or a program comes or goes: a routine keeps
  // the main program it found up its chain until then, instead of walking the chain on every call.
  static std::uint64_t ChainEpoch() { return FChainEpoch.load(std::memory_order_relaxed); }
  static void BumpChainEpoch() { FChainEpoch.fetch_add(1, std::memory_order_relaxed); }
  bool IsRunning() const { return FIsRunning; }
  void SetIsRunning(bool value) { FIsRunning = value; }
  TwzAddedBy AddedBy() const { return FAddedBy; }
  void SetAddedBy(TwzAddedBy value) { FAddedBy = value; }
  bool UseClassLateBinding() const { return FUseClassLateBinding; }
  void SetUseClassLateBinding(bool value) { FUseClassLateBinding = value; }
  const TwzRunLineEvent& OnRunLine() const { return FOnRunLine; }
  void SetOnRunLine(TwzRunLineEvent value) {
    FOnRunLine = std::move(value);
    CountHook(static_cast<bool>(FOnRunLine));
  }
  const TwzGetVariableValueEvent& OnGetVarValue() const { return FOnGetVarValue; }
  void SetOnGetVarValue(TwzGetVariableValueEvent value) { FOnGetVarValue = std::move(value); }

  // What the compiler asks of the program it compiles for.
  bool ExtendedCharset() const override { return FExtendedCharset; }
  void SetExtendedCharset(bool value) { FExtendedCharset = value; }
  const rtl::String& ErrorMsg() const { return FErrorMsg; }
  void SetErrorMsg(const rtl::String& value) override { FErrorMsg = value; }
  const rtl::String& ErrorPos() const { return FErrorPos; }
  void SetErrorPos(const rtl::String& value) override { FErrorPos = value; }
  rtl::String ErrorUnit() const override { return FErrorUnit; }
  void SetErrorUnit(const rtl::String& value) override { FErrorUnit = value; }
  bool GetUnitText(const rtl::String& unitName, rtl::String& unitText) override;
  std::vector<rtl::String> IncludePath() const override { return FIncludePath; }
  void SetIncludePath(std::vector<rtl::String> value) { FIncludePath = std::move(value); }
  bool FindTypeCode(const rtl::String& name, TwzVarType& typ) const override;
  bool ClassInherits(const rtl::String& derived, const rtl::String& ancestor) const override;
  const TwzGetUnitEvent& OnGetUnit() const { return FOnGetUnit; }
  void SetOnGetUnit(TwzGetUnitEvent value) { FOnGetUnit = std::move(value); }
  // Asked for a used unit's intermediate code; a non-empty answer is built instead of the unit's translation.
  const TwzGetUnitEvent& OnGetILUnit() const { return FOnGetILUnit; }
  void SetOnGetILUnit(TwzGetUnitEvent value) { FOnGetILUnit = std::move(value); }

  // Control flags: a statement sets them, statement lists test them after each child.
  bool BreakCalled = false;
  bool ContinueCalled = false;
  bool ExitCalled = false;
  bool Terminated = false;
  // Whether any of the four is set, in one read: they are neighbours, declared together in one access section.
  bool AnyFlagSet() const {
    std::uint32_t flags;
    std::memcpy(&flags, &BreakCalled, sizeof flags);
    return flags != 0;
  }

private:
  struct Entry {
    rtl::String name;
    rtl::TObject* item;
  };
  struct UnitLines {
    rtl::String unit;
    std::vector<int> lines;  // sorted
  };
  struct CachedEvaluation {
    TwzScript* scope;
    rtl::String expression;
    std::unique_ptr<TwzScript> program;
    TwzScopeSnapshot snapshot;
    TwzProcVariable* func;
  };

  // The programs of the process that have been given a line hook and still hold it (Evaluate's brief removal of the
  // hook leaves the count alone: it may overstate, never understate).
  static inline std::atomic<int> FHookedPrograms{0};
  static inline std::atomic<std::uint64_t> FChainEpoch{1};
  void CountHook(bool hooked) {
    if (hooked == FHookCounted) return;
    FHookCounted = hooked;
    FHookedPrograms.fetch_add(hooked ? 1 : -1, std::memory_order_relaxed);
  }

  // Brings the entries added since the last sort into name order.
  void Settle() const;

  bool Translate(class TwzILParser& parser);
  // Makes the lower form of the main statement and of every routine of the program that has none yet.
  void LowerCode();
  // Drops the lower form of the main statement (kept until the run that uses it ends).
  void DropCode();
  // The main statement run as a tree, when no lower form was made.
  void RunTrees();
  // CallFunction2's call, with the running level's locals already saved by the caller.
  rtl::Variant CallSaved(TwzProcVariable* func, const rtl::Variant& params);
  rtl::String EvaluationText(const rtl::String& expression) const;
  // Drops the compiled evaluations; those still running are freed when the outermost evaluation ends.
  void DropEvaluations();

  TwzAddedBy FAddedBy = nullptr;
  rtl::String FErrorMsg;
  rtl::String FErrorPos;
  rtl::String FErrorUnit;
  bool FExtendedCharset = false;
  std::vector<rtl::String> FIncludePath{rtl::String()};
  // Sorted up to FSorted; the entries after it were added since, oldest first (see Settle).
  mutable std::vector<Entry> FItems;
  mutable size_t FSorted = 0;
  bool FIsRunning = false;
  bool FMainProg = false;
  TwzScript* FParent = nullptr;
  TwzScript* FProgRunning = nullptr;
  TwzStatement* FStatement;
  bool FUseClassLateBinding = false;
  TwzRunLineEvent FOnRunLine;
  bool FHookCounted = false;
  TwzGetVariableValueEvent FOnGetVarValue;
  TwzGetUnitEvent FOnGetUnit;
  TwzGetUnitEvent FOnGetILUnit;
  rtl::TStringList FLines;
  rtl::TStringList FMacros;
  rtl::String FSyntaxType{L"ZuvizaVuruze"};
  bool FRTTIAdded = false;
  bool FEvaluteRiseError = false;
  std::vector<UnitLines> FUnitLines;
  std::vector<CachedEvaluation> FEvaluations;
  size_t FLastEvaluation = 0;  // where the last cached evaluation was found: a report asks for one text per field
  std::vector<std::unique_ptr<TwzScript>> FRetiredEvaluations;
  int FEvaluating = 0;
  std::shared_ptr<TwzRegistryStamp> FStamp = std::make_shared<TwzRegistryStamp>();
  std::unique_ptr<TwzBindingLog> FBindingLog;
  std::unique_ptr<TwzLoweredCode> FCode;
  int FCodeRunning = 0;
  std::vector<std::unique_ptr<TwzLoweredCode>> FRetiredCode;
};

// Runs a script routine (see TwzProcVariable::Invoke). The flags of the local program are cleared, the routine
// marked running and the main program told which program runs; all of it is undone also when an exception escapes.
[[gnu::always_inline]] inline void TwzProcVariable::InvokeInline(rtl::Variant& out) {
  wzCheckCallDepth();
  TwzScript* const prog = FProgram;
  const std::uint64_t epoch = TwzScript::ChainEpoch();
  if (epoch != FMainEpoch) [[unlikely]]
    FindMain(epoch);
  struct Restore {
    TwzProcVariable* self;
    TwzScript* prog;
    TwzScript* mainProg;
    TwzScript* oldRunning;
    bool wasExecuting;
    ~Restore() {
      prog->ExitCalled = false;
      prog->Terminated = false;
      prog->SetIsRunning(false);
      if (mainProg) mainProg->SetProgRunning(oldRunning);
      self->FExecuting = wasExecuting;
    }
  } restore{this, prog, nullptr, nullptr, FExecuting};
  FExecuting = true;

  // A function that never assigns its result must not hand back the value of a previous call.
  TwzCustomVariable* const resultItem = FRefItem;
  if (resultItem != FResultChecked) [[unlikely]] {
    // The class test compares type names on this target: made once per result item, not once per call.
    FResultChecked = resultItem;
    FResultPlain = resultItem && typeid(*resultItem) == typeid(TwzVariable);
  }
  const bool plainResult = FIsFunc && FResultPlain;
  if (FIsFunc && resultItem) {
    if (plainResult && resultItem->Typ() == fvtInt && !resultItem->IsReadOnly()) [[likely]]
      *resultItem->PValue() = rtl::Variant(0);
    else
      ResetResult(plainResult);
  }
  if (TwzScript* mainProg = FMainFound) {
    restore.oldRunning = mainProg->ProgRunning();
    restore.mainProg = mainProg;
    mainProg->SetProgRunning(prog);
  }
  prog->ExitCalled = false;
  prog->Terminated = false;
  prog->SetIsRunning(true);
  prog->RunStatement();
  if (FIsFunc && FRefItem) {
    // A plain result without a value handler is its stored value; anything else answers itself.
    if (plainResult && FRefItem == resultItem && !FRefItem->OnGetVarValue()) [[likely]]
      out = *FRefItem->PValue();
    else
      out = FRefItem->GetValue();
    return;
  }
  out = rtl::Variant::Null();
}

