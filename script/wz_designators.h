#pragma once
// Designators: the run-time form of an access path (a variable, a.b[1].c, f(x).y, TStringList.Create ...). The
// front end resolves each step to an item; at run time the designator walks the steps left to right.
#include <cstdint>
#include <functional>

#include "script/wz_classes.h"

class TwzCustomExpression;
class TwzDesignator;

enum TwzDesignatorKind : std::uint8_t { dkOther = 0, dkVariable = 1, dkStringArray = 2, dkArray = 3 };

// One step of the path. The owned list holds the step's argument expressions, one per parameter of the item.
class TwzDesignatorItem : public TwzItemList {
public:
  TwzDesignatorItem() = default;
  TwzDesignatorItem(TwzCustomVariable* ref, const rtl::String& sourcePos) : FRef(ref), FSourcePos(sourcePos) {}
  rtl::String ClassName() const override { return L"TwzDesignatorItem"; }
  TwzCustomExpression* Items(int index) const;

  // The brackets of this step were consumed as the arguments of an index property of the previous step.
  bool Flag() const { return FFlag; }
  void SetFlag(bool value) { FFlag = value; }
  TwzCustomVariable* Ref() const { return FRef; }
  void SetRef(TwzCustomVariable* value) { FRef = value; }
  const rtl::String& SourcePos() const { return FSourcePos; }
  void SetSourcePos(const rtl::String& value) { FSourcePos = value; }

private:
  bool FFlag = false;
  TwzCustomVariable* FRef = nullptr;
  rtl::String FSourcePos;
};

// Builds, for the program, the designator that a path deferred to run time stands for (the translator does this
// from the saved intermediate code). It raises the front end's error when the path cannot be resolved.
using TwzLateBindingSource = std::function<TwzDesignator*(TwzScript* program)>;

class TwzDesignator : public TwzCustomVariable {
public:
  explicit TwzDesignator(TwzScript* program);
  rtl::String ClassName() const override { return L"TwzDesignator"; }

  TwzDesignatorItem* Items(int index) const { return static_cast<TwzDesignatorItem*>(GetItem(index)); }
  // Sets type, read-only flag and kind from the steps.
  void Finalize();
  // Exchanges step lists with designator and copies its settings; the caller frees designator afterwards.
  void Borrow(TwzDesignator* designator);
  void CheckLateBinding();

  rtl::Variant GetValue() override;
  void SetValue(const rtl::Variant& value) override;

  TwzDesignatorKind Kind() const { return FKind; }
  TwzScript* Program() const { return FProgram; }
  TwzScript* MainProgram() const { return FMainProg; }
  TwzCustomVariable* Ref1() const { return FRef1; }
  TwzDesignatorItem* Ref2() const { return FRef2; }
  bool HasLateBindingSource() const { return static_cast<bool>(FLateBindingXmlSource); }
  void SetLateBindingXmlSource(TwzLateBindingSource value) { FLateBindingXmlSource = std::move(value); }

protected:
  rtl::Variant DoCalc(const rtl::Variant& value, bool assigning);

  TwzDesignatorKind FKind = dkOther;
  TwzScript* FMainProg;
  TwzScript* FProgram;
  TwzCustomVariable* FRef1 = nullptr;
  TwzDesignatorItem* FRef2 = nullptr;
  TwzLateBindingSource FLateBindingXmlSource;
};

// A plain variable: one virtual call per read or write.
class TwzVariableDesignator : public TwzDesignator {
public:
  using TwzDesignator::TwzDesignator;
  rtl::String ClassName() const override { return L"TwzVariableDesignator"; }
  rtl::Variant GetValue() override;
  void SetValue(const rtl::Variant& value) override;
};

// A character of a string variable, changed in place. The index is checked.
class TwzStringDesignator : public TwzDesignator {
public:
  using TwzDesignator::TwzDesignator;
  rtl::String ClassName() const override { return L"TwzStringDesignator"; }
  rtl::Variant GetValue() override;
  void SetValue(const rtl::Variant& value) override;
};

// An element of a declared array variable, through the variable's array helper.
class TwzArrayDesignator : public TwzDesignator {
public:
  using TwzDesignator::TwzDesignator;
  rtl::String ClassName() const override { return L"TwzArrayDesignator"; }
  rtl::Variant GetValue() override;
  void SetValue(const rtl::Variant& value) override;

private:
  TwzCustomHelper* PrepareHelper();
};

// The item a reader or writer of designator may use instead of it: the variable of a plain-variable designator, the
// parameter that a one-step path names (walking such a path only reads or writes that parameter), else designator.
TwzCustomVariable* wzDirectItem(TwzDesignator* designator);

// Replaces a finalized designator whose kind is not dkOther by the matching specialised designator (moving the
// steps over) and frees the original; returns the designator to use.
TwzDesignator* wzSpecializeDesignator(TwzDesignator* designator);
