#pragma once
// Late binding: a member of an automation object that a script reaches through a variant. No class item knows the
// object; each step of the path calls the object through IDispatch at run time, by the name the script wrote.
#include <vector>

#include "script/wz_classes.h"

class TwzOLEHelper : public TwzCustomHelper {
public:
  // The member name as written in the script; the front end adds one Variant parameter per argument.
  explicit TwzOLEHelper(const rtl::String& aName);
  rtl::String ClassName() const override { return L"TwzOLEHelper"; }

  // A method call or property read on the automation object in the parent value; asks for no result when the path is a
  // call statement.
  rtl::Variant GetValue() override;
  // A property write; an automation object as value is put by reference.
  void SetValue(const rtl::Variant& value) override;

  // params in script order. Raises the script's automation error (see the source) for a name the object does not know,
  // without calling anything, and for a failing call.
  void DispatchInvoke(const std::vector<rtl::Variant>& params, rtl::Variant& result, unsigned short flags);
};
