#pragma once
// A script program: the registry and scope of named items, the owner of the compiled statements and the holder of
// the run-time control flags. Programs chain through Parent; name lookup falls back to the parent.
#include <functional>
#include <utility>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/variant.h"
#include "script/wz_classes.h"
#include "script/wz_itools.h"

class TwzStatement;
class TwzClassVariable;

// The line hook a debugger uses: called before each statement runs.
using TwzRunLineEvent =
    std::function<void(TwzScript* sender, const rtl::String& unitName, const rtl::String& sourcePos)>;

// Asked by the front end for the text of a used unit.
using TwzGetUnitEvent = std::function<void(TwzScript* sender, const rtl::String& unitName, rtl::String& unitText)>;

class TwzScript : public rtl::TObject, public TwzCompilerHost {
public:
  explicit TwzScript(rtl::TObject* aOwner = nullptr);
  ~TwzScript() override;
  rtl::String ClassName() const override { return L"TwzScript"; }

  // Registry. Entries are kept sorted by name (ordinal case rules) and a new entry goes in front of the entries of
  // the same name, so the newest registration wins lookups. The program owns every entry.
  void Add(const rtl::String& name, rtl::TObject* item);
  int Count() const { return static_cast<int>(FItems.size()); }
  rtl::TObject* Items(int index) const;
  const rtl::String& ItemName(int index) const;
  // Takes item out of the registry without freeing it.
  void Remove(rtl::TObject* item);
  // Frees and removes every entry except items registered by binding modules; frees the top-level statements.
  void Clear();
  TwzCustomVariable* FindLocal(const rtl::String& name) const;
  TwzCustomVariable* Find(const rtl::String& name) const;
  TwzClassVariable* FindClass(const rtl::String& name) const;
  // Reading gives Null for an unknown name; writing an unknown name registers a Variant variable here.
  rtl::Variant GetVariable(const rtl::String& name) const;
  void SetVariable(const rtl::String& name, const rtl::Variant& value);

  // Runs the main statement. The exit and termination flags are cleared afterwards, also when an exception escapes.
  void Execute();
  // Stops this program and every procedure in it at the next statement boundary.
  void Terminate();
  // Calls the first OnRunLine handler up the parent chain with this program as sender.
  void RunLine(const rtl::String& unitName, const rtl::String& sourcePos);

  TwzStatement* Statement() const { return FStatement; }
  TwzScript* Parent() const { return FParent; }
  void SetParent(TwzScript* value) { FParent = value; }
  TwzScript* ProgRunning() const { return FProgRunning; }
  void SetProgRunning(TwzScript* value) { FProgRunning = value; }
  bool MainProg() const { return FMainProg; }
  void SetMainProg(bool value) { FMainProg = value; }
  bool IsRunning() const { return FIsRunning; }
  void SetIsRunning(bool value) { FIsRunning = value; }
  TwzAddedBy AddedBy() const { return FAddedBy; }
  void SetAddedBy(TwzAddedBy value) { FAddedBy = value; }
  bool UseClassLateBinding() const { return FUseClassLateBinding; }
  void SetUseClassLateBinding(bool value) { FUseClassLateBinding = value; }
  const TwzRunLineEvent& OnRunLine() const { return FOnRunLine; }
  void SetOnRunLine(TwzRunLineEvent value) { FOnRunLine = std::move(value); }
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

  // Control flags: a statement sets them, statement lists test them after each child.
  bool BreakCalled = false;
  bool ContinueCalled = false;
  bool ExitCalled = false;
  bool Terminated = false;

private:
  struct Entry {
    rtl::String name;
    rtl::TObject* item;
  };

  TwzAddedBy FAddedBy = nullptr;
  rtl::String FErrorMsg;
  rtl::String FErrorPos;
  rtl::String FErrorUnit;
  bool FExtendedCharset = false;
  std::vector<rtl::String> FIncludePath{rtl::String()};
  std::vector<Entry> FItems;
  bool FIsRunning = false;
  bool FMainProg = false;
  TwzScript* FParent = nullptr;
  TwzScript* FProgRunning = nullptr;
  TwzStatement* FStatement;
  bool FUseClassLateBinding = false;
  TwzRunLineEvent FOnRunLine;
  TwzGetVariableValueEvent FOnGetVarValue;
  TwzGetUnitEvent FOnGetUnit;
};
