#pragma once
// A step of a path that goes on from a value known only when the path runs: the result of a function or method
// declared as Variant (CreateOleObject('X').Visible, MakeList.Add('a')). Each time the step runs it looks at what
// the value holds: an automation object is called by name, a host object through the class item of its class, a
// text or an array is indexed.
#include "script/wz_olehelper.h"

class TwzClassVariable;

class TwzDynamicHelper : public TwzOLEHelper {
 public:
  // aName is the member as written, or "[" for indexing the value itself. The front end adds one Variant parameter
  // per argument: first those in parentheses, then, from bracketArgs on, those in brackets after the member.
  explicit TwzDynamicHelper(const rtl::String& aName);
  rtl::String ClassName() const override { return L"TwzDynamicHelper"; }

  rtl::Variant GetValue() override;
  void SetValue(const rtl::Variant& value) override;

  // How many arguments came in parentheses; the rest came in brackets.
  int ParenArgs() const { return FParenArgs; }
  void SetParenArgs(int value) { FParenArgs = value; }

 private:
  // The member of the object's class the step names; raises the script's errors for nil, an unknown class or name.
  TwzCustomVariable* Member(rtl::TObject* obj, TwzClassVariable*& cls) const;
  // Hands arguments from..to-1 to member's parameters (defaults for the rest); false when they do not fit.
  bool FillParams(TwzCustomVariable* member, int from, int to) const;
  rtl::Variant Index(const rtl::Variant& value, int from);
  rtl::Variant Access(const rtl::Variant* assigned);

  int FParenArgs = 0;
};
