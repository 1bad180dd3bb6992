#include "script/wz_itools.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strings.h"
#include "script/wz_iconst.h"
#include "script/wz_ilanguages.h"

using rtl::String;

namespace {

struct LanguageEntry {
  String Name;
  String Grammar;
};

std::vector<LanguageEntry>& Registry() {
  static std::vector<LanguageEntry> registry;
  static bool standardRegistered = false;
  if (!standardRegistered) {
    // Set first: registering the standard languages comes back here.
    standardRegistered = true;
    wzRegisterStandardLanguages();
  }
  return registry;
}

}  // namespace

void wzRegisterLanguage(const String& name, const String& grammar) {
  auto& registry = Registry();
  for (auto& entry : registry) {
    if (rtl::SameText(entry.Name, name)) {
      entry.Name = name;
      entry.Grammar = grammar;
      return;
    }
  }
  registry.push_back({name, grammar});
}

String wzGetLanguage(const String& name) {
  for (const auto& entry : Registry())
    if (rtl::SameText(entry.Name, name)) return entry.Grammar;
  throw rtl::Exception(rtl::Format(SLangNotFound, {name}));
}

std::vector<String> wzLanguageNames() {
  std::vector<String> names;
  for (const auto& entry : Registry()) names.push_back(entry.Name);
  return names;
}

TwzVarType StrToVarType(const String& typeName, const TwzCompilerHost* script) {
  TwzVarType typ = fvtClass;
  if (script && script->FindTypeCode(typeName, typ)) return typ;
  return fvtClass;
}

bool ClassesCompatible(const String& first, const String& second, const TwzCompilerHost* script) {
  return script && script->ClassInherits(second, first);
}

bool TypesCompatible(const TwzTypePair& target, const TwzTypePair& source, const TwzCompilerHost* script) {
  const TwzVarType s = source.Typ;
  switch (target.Typ) {
    case fvtInt:
    case fvtInt64:
      return s == fvtInt || s == fvtFloat || s == fvtVariant || s == fvtEnum || s == fvtInt64;
    case fvtFloat:
      return s == fvtInt || s == fvtFloat || s == fvtVariant;
    case fvtBool:
      return s == fvtBool || s == fvtVariant;
    case fvtChar:
    case fvtString:
      return s == fvtChar || s == fvtString || s == fvtVariant;
    case fvtClass:
      if (s == fvtVariant) return true;
      return s == fvtClass && ClassesCompatible(target.TypeName, source.TypeName, script);
    case fvtArray:
      return s == fvtArray || s == fvtVariant;
    case fvtVariant:
      return true;
    case fvtEnum:
      if (s == fvtInt || s == fvtVariant || s == fvtInt64) return true;
      return s == fvtEnum && rtl::SameText(target.TypeName, source.TypeName);
    case fvtConstructor:
      return false;
  }
  return false;
}

bool AssignCompatible(const TwzTypePair& target, const TwzTypePair& source, const TwzCompilerHost* script) {
  if (target.Typ == fvtInt && source.Typ == fvtFloat) return false;
  return TypesCompatible(target, source, script);
}

rtl::Variant ParserStringToVariant(const String& s) {
  if (s.empty()) return rtl::Variant::Null();
  if (s[0] == L'\'') return rtl::Variant(s.size() >= 2 ? s.substr(1, s.size() - 2) : String());
  rtl::Int64 value = 0;
  int code = 0;
  rtl::Val(s, value, code);
  if (code == 0) {
    if (value >= INT32_MIN && value <= INT32_MAX) return rtl::Variant(static_cast<int>(value));
    return rtl::Variant(static_cast<long long>(value));
  }
  String real = s;
  const wchar_t separator = rtl::FormatSettings.DecimalSeparator;
  const size_t stop = real.find(L'.');
  if (stop != String::npos && separator != L'.') real[stop] = separator;
  return rtl::Variant(rtl::StrToFloat(real));
}

rtl::Variant VarRecToVariant(const rtl::TVarRec& arg) {
  using Kind = rtl::TVarRec::Kind;
  switch (arg.kind()) {
    case Kind::Integer:
      return rtl::Variant(static_cast<int>(arg.AsInt64()));
    case Kind::Int64:
      return rtl::Variant(static_cast<long long>(arg.AsInt64()));
    case Kind::Float:
      return rtl::Variant(arg.AsFloat());
    case Kind::String:
    case Kind::Char:
      return rtl::Variant(arg.AsString());
    case Kind::Boolean:
      return rtl::Variant(arg.AsInt64() != 0);
    case Kind::Pointer:
      break;
  }
  return rtl::Variant::Null();
}

std::vector<rtl::TVarRec> VariantToVarRec(const rtl::Variant& args) {
  std::vector<rtl::TVarRec> result;
  const rtl::Variant& array = args.Deref();
  if (!array.IsArray()) return result;
  const rtl::Integer high = array.HighBound(1);
  for (rtl::Integer i = std::max<rtl::Integer>(0, array.LowBound(1)); i <= high; ++i) {
    const rtl::Variant& element = array[i].Deref();
    switch (element.VarType() & rtl::varTypeMask) {
      case rtl::varSmallint:
      case rtl::varInteger:
      case rtl::varShortInt:
      case rtl::varByte:
      case rtl::varWord:
        result.emplace_back(static_cast<int>(element.AsInteger()));
        break;
      case rtl::varLongWord:
        result.emplace_back(static_cast<long long>(element.AsInt64()));
        break;
      case rtl::varSingle:
      case rtl::varDouble:
      case rtl::varCurrency:
      case rtl::varDate:
        result.emplace_back(element.AsDouble());
        break;
      case rtl::varOleStr:
      case rtl::varString:
      case rtl::varUString:
        result.emplace_back(element.AsString());
        break;
      case rtl::varBoolean:
        result.emplace_back(element.AsBoolean());
        break;
      case rtl::varInt64:
        result.emplace_back(static_cast<long long>(element.AsInt64()));
        break;
      default:
        result.emplace_back(0);
        break;
    }
  }
  return result;
}

void ClearVarRec(std::vector<rtl::TVarRec>& args) { args.clear(); }

TwzPoint wzPosToPoint(const String& pos) {
  TwzPoint point;
  if (pos.empty()) return point;
  const size_t colon = pos.find(L':');
  point.Y = rtl::StrToInt(pos.substr(0, colon));
  point.X = rtl::StrToInt(colon == String::npos ? String() : pos.substr(colon + 1, 255));
  return point;
}
