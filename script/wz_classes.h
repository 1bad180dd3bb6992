#pragma once
// Script items: everything a running script can name. Each item reads and writes its value as one variant.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <utility>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/variant.h"
#include "script/wz_vartype.h"

class TwzScript;
class TwzParamItem;

// Asked by variables for their value; a Null answer keeps the stored value.
using TwzGetVariableValueEvent =
    std::function<rtl::Variant(const rtl::String& varName, TwzVarType varTyp, const rtl::Variant& oldValue)>;

// Ownership tag of registered items. The program stamps it on registration; binding modules use wzAddedByRTTI.
using TwzAddedBy = const void*;
inline const TwzAddedBy wzAddedByRTTI = reinterpret_cast<const void*>(std::uintptr_t{1});

// Names of items and members compare with ordinal case rules, never the user's locale: under a Turkish locale
// "Items" must still match "ITEMS". Letters outside ASCII fold with the locale-independent simple mapping.
int wzCompareNames(const rtl::String& a, const rtl::String& b);
// Folding keeps lengths (see wzCompareNames), so names of different lengths differ.
inline bool wzSameName(const rtl::String& a, const rtl::String& b) {
  return a.size() == b.size() && wzCompareNames(a, b) == 0;
}
// The upper-cased form host handlers receive ("ITEMS.GET"): ASCII letters only, so it never depends on the locale.
rtl::String wzUpperName(const rtl::String& name);

// Host objects cross into and out of scripts as integer variants holding the object reference (nil is 0). The
// reference is pointer-sized: a 64-bit integer on this target, never truncated.
inline rtl::Variant wzObjectToVariant(const rtl::TObject* obj) { return rtl::Variant::FromObject(obj); }
// Null, Unassigned and 0 give nil; a value that is no integer raises the variant conversion error.
inline rtl::TObject* wzVariantToObject(const rtl::Variant& value) { return value.AsObject(); }

// An ordered list of owned objects: the base of items, statements and designator steps.
class TwzItemList : public rtl::TObject {
public:
  TwzItemList() = default;
  ~TwzItemList() override;
  rtl::String ClassName() const override { return L"TwzItemList"; }

  // Frees every owned object, first to last, and empties the list.
  virtual void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  void Add(rtl::TObject* obj) { FItems.push_back(obj); }
  // Takes the first occurrence out of the list without freeing it.
  void Remove(rtl::TObject* obj);
  // Raises EListError for an index outside 0..Count-1.
  rtl::TObject* GetItem(int index) const;

protected:
  std::vector<rtl::TObject*> FItems;
};

// What an item is, for the run time's hot paths: a dynamic_cast compares type names on this target and costs more
// than the operation it guards. Each class sets its bit in its constructor; the bits of the bases stay set.
enum TwzItemKind : std::uint8_t {
  wzkVariable = 1,        // TwzVariable and descendants
  wzkStringVariable = 2,  // TwzStringVariable
  wzkParam = 4,           // TwzParamItem
  wzkProc = 8,            // TwzProcVariable
  wzkHelper = 16,         // TwzCustomHelper and descendants
  wzkDesignator = 32,     // TwzDesignator and descendants
};

// The item base. Its owned list holds the item's parameters in declaration order.
class TwzCustomVariable : public TwzItemList {
public:
  TwzCustomVariable(const rtl::String& aName, TwzVarType aTyp, const rtl::String& aTypeName);
  rtl::String ClassName() const override { return L"TwzCustomVariable"; }

  virtual void SetValue(const rtl::Variant& value);
  virtual rtl::Variant GetValue();
  rtl::Variant Value() { return GetValue(); }

  TwzParamItem* Params(int index) const;
  // The parameter without the index check, for callers that loop over Count().
  inline TwzParamItem* ParamAt(int index) const;
  bool IsKind(TwzItemKind kind) const { return (FItemKind & kind) != 0; }
  // The stored value itself; the array helper changes arrays in place through it.
  rtl::Variant* PValue() { return &FValue; }
  rtl::String GetFullTypeName() const;
  int GetNumberOfRequiredParams() const;

  TwzAddedBy AddedBy() const { return FAddedBy; }
  void SetAddedBy(TwzAddedBy value) { FAddedBy = value; }
  bool IsMacro() const { return FIsMacro; }
  void SetIsMacro(bool value) { FIsMacro = value; }
  bool IsReadOnly() const { return FIsReadOnly; }
  void SetIsReadOnly(bool value) { FIsReadOnly = value; }
  const rtl::String& Name() const { return FName; }
  void SetName(const rtl::String& value);
  bool NeedResult() const { return FNeedResult; }
  void SetNeedResult(bool value) { FNeedResult = value; }
  TwzCustomVariable* RefItem() const { return FRefItem; }
  void SetRefItem(TwzCustomVariable* value) { FRefItem = value; }
  const rtl::String& SourcePos() const { return FSourcePos; }
  void SetSourcePos(const rtl::String& value) { FSourcePos = value; }
  const rtl::String& SourceUnit() const { return FSourceUnit; }
  void SetSourceUnit(const rtl::String& value) { FSourceUnit = value; }
  TwzVarType Typ() const { return FTyp; }
  void SetTyp(TwzVarType value) { FTyp = value; }
  const rtl::String& TypeName() const { return FTypeName; }
  void SetTypeName(const rtl::String& value) { FTypeName = value; }
  const rtl::String& UppercaseName() const { return FUppercaseName; }
  const TwzGetVariableValueEvent& OnGetVarValue() const { return FOnGetVarValue; }
  void SetOnGetVarValue(TwzGetVariableValueEvent value) { FOnGetVarValue = std::move(value); }

protected:
  TwzAddedBy FAddedBy = nullptr;
  bool FIsMacro = false;
  bool FIsReadOnly = false;
  rtl::String FName;
  bool FNeedResult = true;
  TwzCustomVariable* FRefItem = nullptr;
  rtl::String FSourcePos;
  rtl::String FSourceUnit;
  TwzVarType FTyp;
  rtl::String FTypeName;
  rtl::String FUppercaseName;
  rtl::Variant FValue;
  TwzGetVariableValueEvent FOnGetVarValue;
  std::uint8_t FItemKind = 0;
};

// Script variables of every type but Char and String, constants (read-only), host variables and constants,
// enumeration values, a function's "Result". Assignment converts by the item's type.
class TwzVariable : public TwzCustomVariable {
public:
  TwzVariable(const rtl::String& aName, TwzVarType aTyp, const rtl::String& aTypeName)
      : TwzCustomVariable(aName, aTyp, aTypeName) {
    FItemKind |= wzkVariable;
  }
  rtl::String ClassName() const override { return L"TwzVariable"; }
  void SetValue(const rtl::Variant& value) override;
  rtl::Variant GetValue() override;
};

// Script variables of type Char or String.
class TwzStringVariable : public TwzVariable {
public:
  TwzStringVariable(const rtl::String& aName, TwzVarType aTyp, const rtl::String& aTypeName)
      : TwzVariable(aName, aTyp, aTypeName) {
    FItemKind |= wzkStringVariable;
  }
  rtl::String ClassName() const override { return L"TwzStringVariable"; }
  void SetValue(const rtl::Variant& value) override;
  rtl::Variant GetValue() override;
  // The text itself, for the string designator's in-place character access (a change, as far as an append in
  // progress is concerned); Text reads it.
  rtl::String& Str() {
    Touch();
    return FStr;
  }
  const rtl::String& Text() const { return FStr; }

  // An append in progress (s := s + e with e still being evaluated): the first change to the variable meanwhile
  // keeps the text it had, which the append then uses instead of appending in place. Appends do not nest: while
  // one is pending, another append to the variable takes the general way.
  bool AppendPending() const { return FAppendPending; }
  void BeginAppend() {
    FAppendPending = true;
    FChangedDuringAppend = false;
  }
  // Ends the append; true, with the text from before in before, when the variable changed meanwhile.
  bool EndAppend(rtl::String& before) {
    FAppendPending = false;
    if (!FChangedDuringAppend) return false;
    FChangedDuringAppend = false;
    before.swap(FBeforeAppend);
    FBeforeAppend.clear();
    return true;
  }
  // Appends in place (amortised constant time).
  void Append(const rtl::String& text) {
    Touch();
    FStr += text;
  }

protected:
  void Touch() {
    if (FAppendPending && !FChangedDuringAppend) {
      FBeforeAppend = FStr;
      FChangedDuringAppend = true;
    }
  }

  rtl::String FStr;
  bool FAppendPending = false;
  bool FChangedDuringAppend = false;
  rtl::String FBeforeAppend;
};

// A named type; its type code is the type the name stands for.
class TwzTypeVariable : public TwzCustomVariable {
public:
  TwzTypeVariable(const rtl::String& aName, TwzVarType aTyp) : TwzCustomVariable(aName, aTyp, rtl::String()) {}
  rtl::String ClassName() const override { return L"TwzTypeVariable"; }
};

// One parameter of a procedure, function, method or helper.
class TwzParamItem : public TwzCustomVariable {
public:
  TwzParamItem(const rtl::String& aName, TwzVarType aTyp, const rtl::String& aTypeName, bool aIsOptional,
               bool aIsVarParam);
  rtl::String ClassName() const override { return L"TwzParamItem"; }
  const rtl::Variant& DefValue() const { return FDefValue; }
  void SetDefValue(const rtl::Variant& value) { FDefValue = value; }
  bool IsOptional() const { return FIsOptional; }
  void SetIsOptional(bool value) { FIsOptional = value; }
  bool IsVarParam() const { return FIsVarParam; }
  void SetIsVarParam(bool value) { FIsVarParam = value; }

protected:
  rtl::Variant FDefValue;
  bool FIsOptional;
  bool FIsVarParam;
};

inline TwzParamItem* TwzCustomVariable::ParamAt(int index) const {
  return static_cast<TwzParamItem*>(FItems[static_cast<size_t>(index)]);
}

// True when item is a variable or parameter of exactly those classes (a descendant may compute its value): without
// a value handler, reading it gives its stored value as it is, and readers on hot paths may skip the virtual call.
bool wzIsPlainValueItem(TwzCustomVariable* item);

// Gives a parameter its argument value: what SetValue does for a parameter (no conversion, nothing when
// read-only), taking the value over instead of copying it.
inline void wzSetParam(TwzParamItem* param, rtl::Variant& value) {
  if (!param->IsReadOnly()) *param->PValue() = std::move(value);
}

// Script procedures nest on the machine stack; a runaway recursion must end as a script error, not a crash. The
// check is on the room left on the stack, so it holds however deep in the host the script was called from.
bool wzStackNearlyExhaustedSlow();
[[noreturn]] void wzRaiseTooManyNestedCalls();
inline constexpr std::size_t kwzStackReserveForHost = 256 * 1024;
// Raises EwzScriptError when the room left on the stack is below the reserve.
[[gnu::always_inline]] inline void wzCheckCallDepth() {
  const char here = 0;
#if defined(__x86_64__) && defined(_WIN32)
  // The low end of the stack's reservation, read where the system reads it (the thread's own block,
  // DeallocationStack): a load instead of a call into the system on every script call.
  const char* low;
  __asm__("movq %%gs:0x1478, %0" : "=r"(low));
  if (low && low < &here) [[likely]] {
    if (static_cast<std::size_t>(&here - low) < kwzStackReserveForHost) [[unlikely]]
      wzRaiseTooManyNestedCalls();
    return;
  }
#endif
  if (wzStackNearlyExhaustedSlow()) wzRaiseTooManyNestedCalls();
}

// A procedure or function declared in a script. Its parameters, locals and body live in its own local program,
// whose parent is the declaring program; that is how recursion and local variables work.
class TwzProcVariable : public TwzCustomVariable {
public:
  TwzProcVariable(const rtl::String& aName, TwzVarType aTyp, const rtl::String& aTypeName, TwzScript* aParent,
                  bool aIsFunc);
  ~TwzProcVariable() override;
  rtl::String ClassName() const override { return L"TwzProcVariable"; }
  void Clear() override;

  // Runs the body with the parameter values already stored; the function's result, or Null for a procedure.
  rtl::Variant GetValue() override;
  // GetValue's work with the value written into out: what the lower form's call node uses (no copy of the result,
  // no virtual dispatch).
  void Invoke(rtl::Variant& out);
  // Invoke's work inline, for the call node that runs a script routine (defined in wz_script.h, where the program's
  // class is complete).
  inline void InvokeInline(rtl::Variant& out);
  // Appends a parameter and registers it in the local program so the body finds it by name.
  void AddParam(TwzParamItem* param);

  TwzScript* Prog() const { return FProgram; }
  bool IsFunc() const { return FIsFunc; }
  bool Executing() const { return FExecuting; }

  // A call of a procedure that is running already (recursion) first saves the variables and parameters of its
  // local program, and restores them when it returns. The usual routine (locals listed, no text variables) saves
  // its locals' values as one block onto a stack of values kept per procedure, and restores them from there by
  // moving each back: one copy per local each way, no test per item, and no allocation once the stack has grown.
  // Routines with text variables save item by item (a text variable keeps its text outside its variant).
  struct LocalsMark {
    TwzCustomVariable* const* items = nullptr;  // the locals of the block, in the order they were saved
    size_t count = 0;
    size_t mark = 0;      // where the saved values start
    bool listed = false;  // saved item by item
  };
  [[gnu::always_inline]] LocalsMark SaveLocals() {
    if (!FLocalsKnown || *FGeneration != FLocalsGeneration) [[unlikely]]
      ListLocals();
    if (FTextLocals) [[unlikely]]
      return SaveLocalsListed();
    const size_t n = FLocals.size();
    const size_t mark = FSlotTop;
    if (FSlots.size() < mark + n) [[unlikely]]
      GrowSlots(mark + n);
    rtl::Variant* slot = SlotAt(mark);
    TwzCustomVariable* const* items = FLocals.data();
    for (size_t i = 0; i < n; ++i) new (slot + i) rtl::Variant(*items[i]->PValue());
    FSlotTop = mark + n;
    return {items, n, mark, false};
  }
  [[gnu::always_inline]] void RestoreLocals(const LocalsMark& saved) noexcept {
    if (saved.listed) [[unlikely]] {
      RestoreLocalsListed(saved.mark);
      return;
    }
    // The saved values are moved back and left empty: an empty variant holds nothing to free, so the slots need
    // no destruction.
    rtl::Variant* slot = SlotAt(saved.mark);
    for (size_t i = 0; i < saved.count; ++i) *saved.items[i]->PValue() = std::move(slot[i]);
    FSlotTop = saved.mark;
    if (saved.mark == 0 && !FRetiredLocals.empty()) [[unlikely]]
      FRetiredLocals.clear();
  }

protected:
  void ReleaseParams();
  // plain: the result is a TwzVariable of that very class, whose storage is written directly.
  void ResetResult(bool plain);
  // Lists the variables and parameters of the local program, kept between calls until its registrations change: a
  // recursive call saves them without walking and testing every item the program holds. A list that saved values
  // still wait on is kept aside (they restore through it) until the outermost saved call has returned.
  void ListLocals();
  LocalsMark SaveLocalsListed();
  void RestoreLocalsListed(size_t mark) noexcept;
  static void RestoreText(TwzCustomVariable* item, rtl::Variant& value) noexcept;
  // The finding of the nearest main program up the local program's chain, for the chain epoch given.
  void FindMain(std::uint64_t epoch);
  // A variant is a type code and a union of pointers: moved bitwise, so the slots are raw storage that the vector
  // may move as bytes when it grows.
  struct alignas(rtl::Variant) VariantSlot {
    unsigned char bytes[sizeof(rtl::Variant)];
  };
  rtl::Variant* SlotAt(size_t index) {
    return std::launder(reinterpret_cast<rtl::Variant*>(FSlots.data() + index));
  }
  void GrowSlots(size_t count);

  bool FExecuting = false;
  bool FIsFunc;
  TwzCustomVariable* FResultChecked = nullptr;  // the result item FResultPlain was found for
  bool FResultPlain = false;                    // that item is of the class TwzVariable itself
  TwzScript* FProgram;
  std::vector<std::pair<TwzCustomVariable*, rtl::Variant>> FSaved;  // item by item
  std::vector<VariantSlot> FSlots;                                  // blocks of values; FSlotTop in use
  size_t FSlotTop = 0;
  std::vector<TwzCustomVariable*> FLocals;
  std::vector<std::vector<TwzCustomVariable*>> FRetiredLocals;
  std::uint64_t FLocalsGeneration = 0;
  std::uint64_t FMainEpoch = 0;      // TwzScript::ChainEpoch when FMainFound was looked up (0: never)
  TwzScript* FMainFound = nullptr;   // the nearest main program up the local program's chain
  const std::uint64_t* FGeneration;  // the local program's registry generation (see TwzScript::Stamp)
  bool FLocalsKnown = false;
  bool FTextLocals = false;  // some of FLocals are text variables
};

// Base of every item whose value depends on the item before it in a designator.
class TwzCustomHelper : public TwzCustomVariable {
public:
  TwzCustomHelper(const rtl::String& aName, TwzVarType aTyp, const rtl::String& aTypeName)
      : TwzCustomVariable(aName, aTyp, aTypeName) {
    FItemKind |= wzkHelper;
  }
  rtl::String ClassName() const override { return L"TwzCustomHelper"; }
  TwzCustomVariable* ParentRef() const { return FParentRef; }
  void SetParentRef(TwzCustomVariable* value) { FParentRef = value; }
  const rtl::Variant& ParentValue() const { return FParentValue; }
  void SetParentValue(const rtl::Variant& value) { FParentValue = value; }
  TwzScript* Prog() const { return FProgram; }
  void SetProg(TwzScript* value) { FProgram = value; }

protected:
  TwzCustomVariable* FParentRef = nullptr;
  rtl::Variant FParentValue;
  TwzScript* FProgram = nullptr;
};

// Element access into a variant array held by the parent item, for arrays of one, two or three dimensions.
class TwzArrayHelper : public TwzCustomHelper {
public:
  // dimCount parameters, all required; -1 makes three of which only the first is required.
  TwzArrayHelper(const rtl::String& aName, int dimCount, TwzVarType aTyp, const rtl::String& aTypeName);
  rtl::String ClassName() const override { return L"TwzArrayHelper"; }
  void SetValue(const rtl::Variant& value) override;
  rtl::Variant GetValue() override;

private:
  rtl::Variant* TargetArray();
  void Indexes(int dimCount, int* indexes) const;
};

// Character access into a string value; the index is 1-based and checked.
class TwzStringHelper : public TwzCustomHelper {
public:
  TwzStringHelper();
  rtl::String ClassName() const override { return L"TwzStringHelper"; }
  void SetValue(const rtl::Variant& value) override;
  rtl::Variant GetValue() override;
};

// The script's run-time error for bad input that the variant layer does not already reject (an index outside a
// string, a call on nil ...). Scripts catch it like any other exception.
class EwzScriptError : public rtl::Exception {
public:
  using rtl::Exception::Exception;
  rtl::String ClassName() const override { return L"EwzScriptError"; }
};

// Checks a 1-based character index against the text; raises EwzScriptError when it lies outside.
void wzCheckStringIndex(const rtl::String& s, rtl::Int64 index);
