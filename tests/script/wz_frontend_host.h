#pragma once
// A script program stand-in for the compiler front end's tests: error fields, units from a map, a few types.
#include <map>

#include "platform/rtl/strings.h"
#include "script/wz_itools.h"

class TestCompilerHost : public TwzCompilerHost {
public:
  bool Extended = false;
  rtl::String ErrorMsg, ErrorPos, Unit;
  std::map<rtl::String, rtl::String> Units;  // unit name (upper case) to its source
  bool HasUnitHandler = true;
  std::vector<rtl::String> Paths{L""};
  int UnitRequests = 0;
  // Class name (upper case) to its ancestor's name.
  std::map<rtl::String, rtl::String> Classes;
  std::map<rtl::String, TwzVarType> Types;

  bool ExtendedCharset() const override { return Extended; }
  void SetErrorMsg(const rtl::String& value) override { ErrorMsg = value; }
  void SetErrorPos(const rtl::String& value) override { ErrorPos = value; }
  rtl::String ErrorUnit() const override { return Unit; }
  void SetErrorUnit(const rtl::String& value) override { Unit = value; }
  bool GetUnitText(const rtl::String& unitName, rtl::String& unitText) override {
    if (!HasUnitHandler) return false;
    ++UnitRequests;
    auto it = Units.find(rtl::UpperCase(unitName));
    if (it != Units.end()) unitText = it->second;
    return true;
  }
  std::vector<rtl::String> IncludePath() const override { return Paths; }
  bool FindTypeCode(const rtl::String& name, TwzVarType& typ) const override {
    auto it = Types.find(rtl::UpperCase(name));
    if (it == Types.end()) return false;
    typ = it->second;
    return true;
  }
  bool ClassInherits(const rtl::String& derived, const rtl::String& ancestor) const override {
    rtl::String name = rtl::UpperCase(derived);
    if (!Classes.count(name) || !Classes.count(rtl::UpperCase(ancestor))) return false;
    while (!name.empty()) {
      if (name == rtl::UpperCase(ancestor)) return true;
      auto it = Classes.find(name);
      name = it == Classes.end() ? rtl::String() : rtl::UpperCase(it->second);
    }
    return false;
  }
};
